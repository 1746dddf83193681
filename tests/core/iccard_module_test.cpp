#include "dbmaster.h"
#include "iccardmodule.h"
#include "localsocketipcserver.h"
#include "messagecapture.h"
#include "mytimer.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "socketpeers.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QSignalSpy>

#include <memory>

namespace {

QByteArray feliCa(const char* id, const char* len = "8")
{
    return QByteArray("<iccard><ictype>01</ictype><fwver>0100</fwver><type>FeliCa</type><len>") + len
        + "</len><id>" + id + "</id></iccard>";
}

// The card receiver on a board with the shipped databases and a fixture master, its socket
// listening under the board root. The recording runner plays the backlight script on the
// backlight state line, as the board does. Cards are presented over a real connection.
class CardReceiver : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vnq::test::installShippedDatabases(board));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/tmp")));
        ZSystem::setMode(ZSystem::Basic);
        setLight(true);
        runner.onCommand = [this](const QString& command) {
            if (command == backlight(true))
                setLight(true);
            else if (command == backlight(false))
                setLight(false);
        };

        ASSERT_TRUE(DBMaster::setUser(5, QStringLiteral("山田 太郎"), 1));
        ASSERT_TRUE(DBMaster::setCard(QStringLiteral("0123456789ABCDEF"), QStringLiteral("FeliCa"), 8, 5));

        // The receiver listens under this test's board root.
        ICCardModule::stopListening();
        module = ICCardModule::getInstance();
        ASSERT_NE(ICCardModule::serverSocket, nullptr);
        ASSERT_TRUE(ICCardModule::serverSocket->isListening());
        handled = std::make_unique<QSignalSpy>(ICCardModule::serverSocket, &LocalSocketIpcServer::messageReceived);
        raw = std::make_unique<QSignalSpy>(module, &ICCardModule::cardTouchRaw);
        touch = std::make_unique<QSignalSpy>(module, &ICCardModule::cardTouch);
    }
    void TearDown() override { ICCardModule::stopListening(); }

    // Writes one message on a fresh connection and waits until the receiver has handled it.
    void present(const QByteArray& message)
    {
        const int before = handled->size();
        QLocalSocket peer;
        peer.connectToServer(board.path(QStringLiteral("/tmp/iccard.uds")));
        ASSERT_TRUE(peer.waitForConnected(5000));
        peer.write(message);
        ASSERT_TRUE(peer.waitForBytesWritten(5000));
        ASSERT_TRUE(vnq::test::waitUntil([&] { return handled->size() > before; }));
    }

    QString backlight(bool on) const
    {
        return board.path(QStringLiteral("/VnQo/bin/vnq_backlight"))
            + (on ? QStringLiteral(" on") : QStringLiteral(" off"));
    }
    QString tikwarden() const { return board.path(QStringLiteral("/VnQo/bin/Tikwarden")) + QStringLiteral(" -D 180"); }
    void setLight(bool on) { board.writeFile(QStringLiteral("/sys/class/gpio/gpio0/value"), on ? "1\n" : "0\n"); }

    static QVariantList args(const QSignalSpy& spy, int i) { return spy.at(i); }

    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;
    vnq::test::MessageCapture log;
    ICCardModule* module = nullptr;
    std::unique_ptr<QSignalSpy> handled;
    std::unique_ptr<QSignalSpy> raw;
    std::unique_ptr<QSignalSpy> touch;
};

TEST_F(CardReceiver, ARegisteredFeliCaCardIsReportedRawThenWithItsUser)
{
    QStringList order;
    QObject listener;  // the receiver outlives the test; the connections must not
    QObject::connect(module, &ICCardModule::cardTouchRaw, &listener, [&] { order << QStringLiteral("raw"); });
    QObject::connect(module, &ICCardModule::cardTouch, &listener, [&] { order << QStringLiteral("touch"); });

    present(feliCa("0123456789abcdef"));

    EXPECT_EQ(runner.commands(), QStringList{tikwarden()});
    EXPECT_EQ(runner.calls().at(0).form, vnq::test::RecordingRunner::Form::Shell);
    EXPECT_EQ(order, (QStringList{"raw", "touch"}));
    ASSERT_EQ(raw->size(), 1);
    EXPECT_EQ(args(*raw, 0), (QVariantList{"0123456789ABCDEF", "FeliCa", "8"}));
    ASSERT_EQ(touch->size(), 1);
    EXPECT_EQ(args(*touch, 0), (QVariantList{true, "0123456789ABCDEF", 0, 5, QStringLiteral("山田 太郎")}));
    EXPECT_EQ(log.matching(QStringLiteral("登録ユーザ!!")).size(), 1);
    EXPECT_TRUE(log.matching(QStringLiteral("未登録ユーザ!!")).isEmpty());
}

TEST_F(CardReceiver, AFaultyMessageIsLoggedOnceOnOneEscapedLine)
{
    present("<iccard><type>FeliCa</type><id>0123456789abcdef</id>\n <ERR> forged</iccard>");
    const QStringList forged = log.matching(QStringLiteral(" <ERR> forged"));
    ASSERT_EQ(forged.size(), 1) << forged.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(forged[0].contains(QStringLiteral("</id>\\n <ERR> forged"))) << forged[0].toStdString();
    for (const QString& line : log.messages())
        EXPECT_FALSE(line.contains(QLatin1Char('\n'))) << line.toStdString();

    // A megabyte without its len element.
    const QByteArray head = "<iccard><type>FeliCa</type><id>0123456789abcdef</id><pad>";
    const QByteArray big = head + QByteArray(1048576 - head.size() - 15, 'x') + "</pad></iccard>";
    ASSERT_EQ(big.size(), 1048576);
    present(big);
    const QStringList filler = log.matching(QStringLiteral("xxxxxxxxxxxxxxxx"));
    ASSERT_EQ(filler.size(), 1);
    EXPECT_LE(filler[0].size(), 600);
    EXPECT_TRUE(filler[0].contains(QStringLiteral("... (1048576 bytes)"))) << filler[0].toStdString();
    EXPECT_EQ(raw->size(), 2);
    EXPECT_EQ(touch->size(), 0);
}

TEST_F(CardReceiver, PermissionEntriesMinusOneAndZeroArriveAsZero)
{
    struct Case {
        const char* id;
        int entry;  // -2: no entry
        int reported;
    };
    const Case cases[] = {
        {"0123456789ABCDEF", -2, 0}, {"1111111111111111", -1, 0}, {"2222222222222222", 0, 0},
        {"3333333333333333", 3, 3},  {"4444444444444444", 1, 1},
    };
    for (const Case& c : cases) {
        if (c.entry != -2) {
            ASSERT_TRUE(DBMaster::setCardAuth(QLatin1String(c.id), QString(), 8, c.entry));
        }
        present(feliCa(c.id));
    }
    ASSERT_EQ(touch->size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(args(*touch, i).at(2).toInt(), cases[i].reported) << cases[i].id;
        EXPECT_EQ(args(*touch, i).at(0).toBool(), i == 0) << cases[i].id;
    }
    // Cards without a user: unregistered, user 0 and no name.
    EXPECT_EQ(args(*touch, 1), (QVariantList{false, "1111111111111111", 0, 0, QString()}));
    EXPECT_EQ(log.matching(QStringLiteral("未登録ユーザ!!")).size(), 4);
}

TEST_F(CardReceiver, MalformedMessagesAreReportedRawButNeverAsATouch)
{
    struct Case {
        QByteArray message;
        QVariantList raw;
    };
    const QList<Case> cases = {
        {"<iccard><type>FeliCa</type><id>0123456789abcdef</id></iccard>", {"0123456789ABCDEF", "FeliCa", ""}},
        {feliCa("%"), {"%", "FeliCa", "8"}},
        {feliCa("12345"), {"12345", "FeliCa", "8"}},
        {feliCa("0123456789ABCDEG"), {"0123456789ABCDEG", "FeliCa", "8"}},
        {feliCa("0123456789ABCDEF0"), {"0123456789ABCDEF0", "FeliCa", "8"}},
        {"no xml at all", {"", "", ""}},
    };
    for (const Case& c : cases)
        present(c.message);

    ASSERT_EQ(raw->size(), cases.size());
    for (int i = 0; i < cases.size(); ++i)
        EXPECT_EQ(args(*raw, i), cases.at(i).raw) << cases.at(i).message.constData();
    EXPECT_EQ(touch->size(), 0);
    const QStringList errors = log.matching(QStringLiteral("ICCared Message Error: "));
    ASSERT_EQ(errors.size(), cases.size());
    EXPECT_TRUE(errors.at(0).contains(QStringLiteral("<ERR>")));
    EXPECT_TRUE(errors.at(0).contains(
        QStringLiteral("\"<iccard><type>FeliCa</type><id>0123456789abcdef</id></iccard>\"")));
}

TEST_F(CardReceiver, ACardOnADarkScreenOnlyWakesIt)
{
    MyTimer::getInstance();  // created while the screen is lit
    setLight(false);

    present(feliCa("0123456789abcdef"));
    EXPECT_EQ(runner.commands(), (QStringList{tikwarden(), backlight(true)}));
    EXPECT_EQ(raw->size(), 0);
    EXPECT_EQ(touch->size(), 0);

    // The same card again, on the lit screen.
    present(feliCa("0123456789abcdef"));
    EXPECT_EQ(runner.commands(), (QStringList{tikwarden(), backlight(true), tikwarden()}));
    EXPECT_EQ(raw->size(), 1);
    EXPECT_EQ(touch->size(), 1);
}

TEST(CardReaderVersion, ReadFromTheStatusFileWithoutLineFeeds)
{
    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;
    vnq::test::MessageCapture log;
    const QString cat = QStringLiteral("cat ") + board.path(QStringLiteral("/tmp/iccard.status"));

    runner.script(cat, 0, "01-0100\n");
    EXPECT_EQ(ICCardModule::getVersion(), QStringLiteral("01-0100"));
    ASSERT_EQ(runner.calls().size(), 1);
    EXPECT_EQ(runner.calls().at(0).form, vnq::test::RecordingRunner::Form::Run);
    EXPECT_EQ(runner.calls().at(0).command, cat);
    EXPECT_TRUE(log.matching(QStringLiteral("非接触カードリーダが未接続")).isEmpty());

    runner.script(cat, 1);
    EXPECT_EQ(ICCardModule::getVersion(), QStringLiteral("未接続"));
    runner.scriptNotStarted(cat);
    EXPECT_EQ(ICCardModule::getVersion(), QStringLiteral("未接続"));
    EXPECT_EQ(log.matching(QStringLiteral("非接触カードリーダが未接続")).size(), 2);
}

}  // namespace
