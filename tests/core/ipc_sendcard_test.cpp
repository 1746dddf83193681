#include "localsocketipcserver.h"
#include "socketpeers.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>

namespace {

// Runs the sendcard tool (a test peer of our own, not a board command) and returns its exit
// status while the event loop keeps serving the socket.
int sendcard(const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QStringLiteral(VNQ_SENDCARD), arguments);
    if (!tool.waitForStarted(20000))
        return -100;
    QSignalSpy finished(&tool, qOverload<int, QProcess::ExitStatus>(&QProcess::finished));
    if (!finished.wait(20000))
        return -101;
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -102;
}

class SendCard : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.makeDir(QStringLiteral("/tmp")));
        server = std::make_unique<LocalSocketIpcServer>(QStringLiteral("/tmp/iccard.uds"), nullptr);
        ASSERT_TRUE(server->isListening());
        messages = std::make_unique<QSignalSpy>(server.get(), &LocalSocketIpcServer::messageReceived);
    }

    // The message of the count-th connection, once the server has handled it.
    QString message(int count)
    {
        vnq::test::waitUntil([&] { return messages->size() >= count; }, 10000);
        return messages->size() >= count ? messages->at(count - 1).at(0).toString() : QString();
    }

    vnq::test::TempBoardRoot board;
    std::unique_ptr<LocalSocketIpcServer> server;
    std::unique_ptr<QSignalSpy> messages;
};

TEST_F(SendCard, WritesTheCardServiceMessageToTheBoardSocket)
{
    EXPECT_EQ(sendcard({QStringLiteral("0123456789ABCDEF")}), 0);
    EXPECT_EQ(message(1),
              QStringLiteral("<iccard><ictype>01</ictype><fwver>0100</fwver><type>FeliCa</type><len>8</len>"
                             "<id>0123456789abcdef</id></iccard>"));

    EXPECT_EQ(sendcard({"-t", "TypeA", "-l", "4", "04a1b2c3ffffffff"}), 0);
    EXPECT_EQ(message(2),
              QStringLiteral("<iccard><ictype>01</ictype><fwver>0100</fwver><type>TypeA</type><len>4</len>"
                             "<id>04a1b2c3ffffffff</id></iccard>"));

    EXPECT_EQ(sendcard({"-r", "<iccard><id>%</id></iccard>"}), 0);
    EXPECT_EQ(message(3), QStringLiteral("<iccard><id>%</id></iccard>"));
    EXPECT_EQ(messages->size(), 3);
}

TEST_F(SendCard, RefusesWhatIsNoCardAndReportsAMissingSocket)
{
    const QList<QStringList> usageErrors = {
        {}, {"12345"}, {"0123456789ABCDEG"}, {"0123456789ABCDEF0"}, {"-l", "x", "0123456789ABCDEF"},
        {"-t", "<x>", "0123456789ABCDEF"}, {"-r", "a", "0123456789ABCDEF"},
    };
    for (const QStringList& arguments : usageErrors)
        EXPECT_EQ(sendcard(arguments), 2) << arguments.join(' ').toStdString();
    EXPECT_EQ(sendcard({"-s", board.path(QStringLiteral("/tmp/none.uds")), "0123456789ABCDEF"}), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages->size(), 0);
}

}  // namespace
