#include "heartbeat.h"
#include "mytimer_fixture.h"

#include <QSignalSpy>

namespace {

using vnq::test::MyTimerTest;

class MyTimerJump : public MyTimerTest {};

TEST_F(MyTimerJump, UnannouncedJumpRunsTheCheckerEachTickAndRearmsOnThe22nd)
{
    ZSystem::setMode(ZSystem::Cloud);
    MyTimer& t = make();
    QSignalSpy lockChecks(&t, &MyTimer::timeoutVnqLock);
    QSignalSpy requests(&t, &MyTimer::timeoutDataRequest);
    t.setVnqLock();
    t.setDataRequest();  // 10:00
    const int heartbeat = selftick;

    clock.setNow(at(1, 10, 0));  // one hour forward: both deadlines lie behind the new time
    for (int i = 1; i <= 21; ++i)
        tick();
    EXPECT_EQ(runner.count(tikwarden()), 21);
    EXPECT_TRUE(log.matching(QStringLiteral("タイマー復帰？")).isEmpty());
    EXPECT_EQ(lockChecks.count(), 0) << "no deadline is tested on a jump tick";
    EXPECT_EQ(requests.count(), 0);
    EXPECT_EQ(log.matching(QStringLiteral("意図していない時計同期")).size(), 21);

    tick();  // the 22nd: takes the new time and re-arms from it
    EXPECT_EQ(runner.count(tikwarden()), 22);
    const QStringList rearmed = log.matching(QStringLiteral("タイマー復帰？"));
    ASSERT_EQ(rearmed.size(), 1);
    EXPECT_TRUE(rearmed.first().startsWith(QStringLiteral("\" <ERR> ")));
    // Now and the last normal tick in seconds, as plain numbers.
    EXPECT_TRUE(rearmed.first().endsWith(QStringLiteral("]: タイマー復帰？ %1 %2\" ")
                                             .arg(at(1, 10, 0, 6).toSecsSinceEpoch())
                                             .arg(at(1, 9, 0).toSecsSinceEpoch())))
        << rearmed.first().toStdString();

    tick();  // normal again; the lock check now lies 5 s after the re-arm
    EXPECT_EQ(runner.count(tikwarden()), 22);
    EXPECT_EQ(lockChecks.count(), 0);
    for (int i = 0; i < 16; ++i)
        tick();
    EXPECT_EQ(lockChecks.count(), 1);
    // Re-armed in the cloud edition from 10:00:06.6: the next hour.
    EXPECT_EQ(requests.count(), 0);
    jumpQuietlyTo(at(1, 11, 0));
    tick(0);
    EXPECT_EQ(requests.count(), 1);
    EXPECT_EQ(selftick - heartbeat, 22 + 17 + 1) << "every tick feeds the watchdog";
}

TEST_F(MyTimerJump, MarkerAnnouncesTheFirstJumpTickOnly)
{
    make();
    ASSERT_TRUE(board.writeFile(QStringLiteral("/var/log/timesync"), ""));
    clock.setNow(at(1, 12, 0));

    tick();
    EXPECT_EQ(runner.count(tikwarden()), 0);
    EXPECT_FALSE(board.exists(QStringLiteral("/var/log/timesync")));
    EXPECT_EQ(log.matching(QStringLiteral("意図した時計同期")).size(), 1);

    tick();
    EXPECT_EQ(runner.count(tikwarden()), 1);
}

TEST_F(MyTimerJump, ElevenSecondsEitherWayIsAJumpTenIsNot)
{
    const struct {
        qint64 stepMs;
        bool jump;
    } cases[] = {{10000, false}, {10999, false}, {11000, true}, {-10000, false}, {-11000, true}, {3600000, true}};
    for (const auto& c : cases) {
        clock.setNow(at(1, 9, 0));
        make();
        runner.clear();
        tick(c.stepMs);
        EXPECT_EQ(runner.count(tikwarden()), c.jump ? 1 : 0) << "step " << c.stepMs << " ms";
    }
}

}  // namespace
