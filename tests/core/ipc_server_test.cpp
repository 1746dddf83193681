#include "localsocketipcserver.h"
#include "messagecapture.h"
#include "socketpeers.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QSignalSpy>

#include <memory>

namespace {

using vnq::test::ThreadPeer;
using vnq::test::waitUntil;

class LocalSocketServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.makeDir(QStringLiteral("/tmp")));
        server = std::make_unique<LocalSocketIpcServer>(QStringLiteral("/tmp/iccard.uds"), nullptr);
        ASSERT_TRUE(server->isListening());
        messages = std::make_unique<QSignalSpy>(server.get(), &LocalSocketIpcServer::messageReceived);
    }

    QString socketFile() const { return board.path(QStringLiteral("/tmp/iccard.uds")); }

    // Runs the event loop until the server has dropped its connections.
    bool settle(int count)
    {
        return waitUntil([&] { return log.matching(QStringLiteral("delete socket!!!")).size() >= count; });
    }

    vnq::test::TempBoardRoot board;
    vnq::test::MessageCapture log;
    std::unique_ptr<LocalSocketIpcServer> server;
    std::unique_ptr<QSignalSpy> messages;
};

const QByteArray cardMessage =
    "<iccard><ictype>01</ictype><fwver>0100</fwver><type>FeliCa</type><len>8</len>"
    "<id>0123456789abcdef</id></iccard>";

TEST_F(LocalSocketServer, OneConnectionCarriesOneMessage)
{
    QLocalSocket peer;
    peer.connectToServer(socketFile());
    ASSERT_TRUE(peer.waitForConnected(5000));
    peer.write(cardMessage);
    ASSERT_TRUE(peer.waitForBytesWritten(5000));

    ASSERT_TRUE(messages->wait(2000));
    EXPECT_EQ(messages->at(0).at(0).toString(), QString::fromLatin1(cardMessage));

    // A second message on the same connection is never read.
    peer.write("<iccard><id>FFFFFFFFFFFFFFFF</id></iccard>");
    peer.flush();
    ASSERT_TRUE(settle(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(messages->size(), 1);
}

TEST_F(LocalSocketServer, APeerThatPausesAfterTwoBytesIsDeliveredWhole)
{
    ThreadPeer peer(socketFile(), {{0, cardMessage.left(2)}, {150, cardMessage.mid(2)}}, 100);
    ASSERT_TRUE(messages->wait(3000));
    EXPECT_EQ(messages->at(0).at(0).toString(), QString::fromLatin1(cardMessage));
}

TEST_F(LocalSocketServer, SilentOrShortPeersAreDroppedWithoutAMessage)
{
    server->setFirstBytesWaitMs(200);
    QElapsedTimer elapsed;
    {
        // Connected and silent (the server blocks this thread, so the peer cannot speak):
        // released at the bound while still connected.
        QLocalSocket silent;
        silent.connectToServer(socketFile());
        ASSERT_TRUE(silent.waitForConnected(5000));
        elapsed.start();
        ASSERT_TRUE(settle(1));
        EXPECT_LT(elapsed.elapsed(), 1000);
    }
    {
        // Three bytes, then the peer closes: dropped as soon as it is gone.
        server->setFirstBytesWaitMs(LocalSocketIpcServer::FirstBytesWaitMs);
        ThreadPeer shortPeer(socketFile(), {{0, "<ic"}});
        elapsed.restart();
        ASSERT_TRUE(settle(2));
        EXPECT_LT(elapsed.elapsed(), LocalSocketIpcServer::FirstBytesWaitMs - 500);
    }
    EXPECT_EQ(messages->size(), 0);
    EXPECT_EQ(log.matching(QStringLiteral("no message, connection dropped:")).size(), 2);

    // The server goes on with the next connection.
    ThreadPeer card(socketFile(), {{0, cardMessage}});
    ASSERT_TRUE(messages->wait(2000));
    EXPECT_EQ(messages->at(0).at(0).toString(), QString::fromLatin1(cardMessage));
}

TEST(LocalSocketServerStart, ALeftoverSocketFileStopsListening)
{
    vnq::test::TempBoardRoot board;
    vnq::test::MessageCapture log;
    ASSERT_TRUE(board.writeFile(QStringLiteral("/tmp/iccard.uds"), ""));
    LocalSocketIpcServer server(QStringLiteral("/tmp/iccard.uds"), nullptr);
    EXPECT_FALSE(server.isListening());
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).filter(QStringLiteral("Not able to start the Server")).size(), 1);
}

}  // namespace
