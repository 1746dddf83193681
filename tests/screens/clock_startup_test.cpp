#include "clockfixture.h"

#include "soundmodule.h"

#include <QSignalSpy>
#include <QTimer>

namespace {

using vnq::test::transcriptOf;

using ClockStartUp = ClockFixture;

TEST_F(ClockStartUp, BasicEditionBringsUpNetworkStartGateAndClock)
{
    ASSERT_FALSE(board.exists(QStringLiteral("/var/log/iccard_start")));
    setSetting("タッチ音量", 3);
    startClock();

    EXPECT_EQ(log.matching(QStringLiteral("<IFO>")).filter(QStringLiteral("ベーシックモデル")).size(), 1);
    const QStringList commands = runner.commands();
    EXPECT_EQ(commands.filter(QStringLiteral("/VnQo/bin/vnq_lighttpd_reboot")).size(), 1)
        << commands.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(commands.filter(QStringLiteral("/VnQo/etc/network")).isEmpty()) << "the network is set up";
    EXPECT_TRUE(board.exists(QStringLiteral("/var/log/iccard_start")));
    EXPECT_EQ(board.readFile(QStringLiteral("/var/log/iccard_start")), QByteArray());
    EXPECT_EQ(SoundModule::touchVolume, 3);
    EXPECT_EQ(probe->formActive(), 1) << "drawn, waiting for the display server";
    EXPECT_TRUE(transcriptOf(peer.updates().first()).contains(QStringLiteral("時計画面_背景.png")));
}

TEST_F(ClockStartUp, ReadyMovesOnlyADrawnClockToActive)
{
    startClock();
    for (const int state : {0, 1, 2}) {
        probe->formActive() = state;
        clock->readyVistrel();
        EXPECT_EQ(probe->formActive(), state == 1 ? 2 : state) << state;
    }
}

// What the end of each cloud request does on the active clock.
TEST_F(ClockStartUp, EndOfACloudRequest)
{
    const struct {
        int ret;
        const char* option;
        bool redraw;
        bool nextRequest;
    } cases[] = {
        {1, "failed", true, true},   {1, "success", true, true}, {2, "success", false, true},
        {3, "success", true, true},  {3, "failed", false, true}, {4, "success", false, false},
        {5, "failed", false, false},
    };
    startActiveClock();
    MyTimer* timer = MyTimer::getInstance();
    QSignalSpy requests(timer, &MyTimer::timeoutDataRequest);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ret << " " << c.option);
        probe->formActive() = 2;
        timer->stopDataRequest();
        const int before = peer.updates().size();
        log.clear();
        clock->recvAllUpdateFinish(c.ret, QString::fromUtf8(c.option));
        peer.settle();
        const bool redrawn = peer.updates().size() > before;
        EXPECT_EQ(redrawn, c.redraw);
        EXPECT_EQ(!log.matching(QStringLiteral("enter: false")).isEmpty(), c.redraw) << "settings reloaded";
        EXPECT_EQ(!log.matching(QStringLiteral("ありえないパス:")).isEmpty(), c.ret >= 4);

        // The next data-request deadline lies within the hour (the default cycle).
        fakeClock.advanceMs(3600 * 1000);
        timer->unlockTimer();
        timer->tickerTask();
        EXPECT_EQ(requests.count(), c.nextRequest ? 1 : 0);
        requests.clear();
    }
}

TEST_F(ClockStartUp, ASecondFirstLoadConnectsNothingTwice)
{
    startActiveClock();
    clock->recvAllUpdateFinish(1, QStringLiteral("success"));
    ASSERT_TRUE(peer.waitForUpdates(2));

    MyTimer* timer = MyTimer::getInstance();
    log.clear();
    emit timer->timeoutShukinMode(true, false);
    EXPECT_EQ(log.matching(QStringLiteral("timeoutHandlerShukinMode")).size(), 1);
    emit timer->timeoutClockModori();
    EXPECT_EQ(log.matching(QStringLiteral("時計画面戻り")).size(), 1);
    EXPECT_EQ(clock->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly).size(), 1) << "one clock timer";
}

}  // namespace
