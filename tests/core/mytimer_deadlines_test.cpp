#include "mytimer_fixture.h"

#include <QSignalSpy>
#include <QTimer>

namespace {

using vnq::test::MyTimerTest;

class MyTimerDeadlines : public MyTimerTest {};

TEST_F(MyTimerDeadlines, TheTimerDrivesTheTickEvery300Ms)
{
    MyTimer& t = make();
    const QTimer* ticker = t.findChild<QTimer*>();
    ASSERT_NE(ticker, nullptr);
    EXPECT_TRUE(ticker->isActive());
    EXPECT_EQ(ticker->interval(), 300);
}

TEST_F(MyTimerDeadlines, EachFiresOnceWhenTheClockReachesIt)
{
    setting("時計に戻る時間", 3);
    setting("タッチ選択優先秒数", 0);
    MyTimer& t = make();
    const struct {
        const char* name;
        std::function<void()> arm;
        qint64 afterMs;
        QSignalSpy spy;
    } cases[] = {
        {"lock check", [&] { t.setVnqLock(); }, 5000, QSignalSpy(&t, &MyTimer::timeoutVnqLock)},
        {"hidden menu", [&] { t.setUraMenu(); }, 8000, QSignalSpy(&t, &MyTimer::timeoutUraMenu)},
        {"return to clock", [&] { t.setClockModori(); }, 180000, QSignalSpy(&t, &MyTimer::timeoutClockModori)},
        {"touch priority", [&] { t.setTouchYusen(4); }, 4000, QSignalSpy(&t, &MyTimer::timeoutTouchYusen)},
        // A default of 0 seconds: due on the very next tick.
        {"touch priority default", [&] { t.loadTouchYusen(), t.setTouchYusen(0); }, 0,
         QSignalSpy(&t, &MyTimer::timeoutTouchYusen)},
    };
    for (const auto& c : cases) {
        const QDateTime armedAt = clock.now();
        const int before = c.spy.count();
        c.arm();
        if (c.afterMs > 0) {
            jumpQuietlyTo(armedAt.addMSecs(c.afterMs - 1));
            tick(0);
            EXPECT_EQ(c.spy.count(), before) << c.name << " fired early";
        }
        jumpQuietlyTo(armedAt.addMSecs(c.afterMs));
        tick(0);
        tick();
        EXPECT_EQ(c.spy.count(), before + 1) << c.name;
    }
}

TEST_F(MyTimerDeadlines, StoppedLockedOrSuspendedDeadlinesStaySilent)
{
    setting("時計に戻る時間", 1);
    MyTimer& t = make();
    QSignalSpy lockChecks(&t, &MyTimer::timeoutVnqLock);
    QSignalSpy clockReturns(&t, &MyTimer::timeoutClockModori);

    t.setVnqLock();
    t.stopVnqLock();
    t.setClockModori();
    t.lockClockModori();
    jumpQuietlyTo(at(1, 9, 2));
    tick();
    EXPECT_EQ(lockChecks.count(), 0);
    EXPECT_EQ(clockReturns.count(), 0);

    t.unlockClockModori();  // re-armed from now, 09:02:00.3
    t.setVnqLock();
    t.lock();
    jumpQuietlyTo(at(1, 9, 3, 0, 300));
    tick(0);
    EXPECT_EQ(lockChecks.count(), 0);
    EXPECT_EQ(clockReturns.count(), 0);

    t.unlock();
    tick();
    EXPECT_EQ(lockChecks.count(), 1);
    EXPECT_EQ(clockReturns.count(), 1);
}

TEST_F(MyTimerDeadlines, ClockReturnOffWhenItsSettingIsBelowOne)
{
    setting("時計に戻る時間", 0);
    MyTimer& t = make();
    QSignalSpy clockReturns(&t, &MyTimer::timeoutClockModori);
    t.setClockModori();
    jumpQuietlyTo(at(2, 9, 0));
    tick();
    EXPECT_EQ(clockReturns.count(), 0);
}

TEST_F(MyTimerDeadlines, SntpRunsInTheBasicEditionOnlyWithItsRandomSpread)
{
    setting("NTPサーバーを使用", 1);
    MyTimer& t = make();
    t.setSntpSync();  // 09:00 + 3600 s + 42 s
    ZSystem::setMode(ZSystem::Cloud);
    t.setSntpSync();  // keeps the deadline
    ZSystem::setMode(ZSystem::Basic);

    jumpQuietlyTo(at(1, 10, 0, 41, 999));
    tick(0);
    EXPECT_TRUE(log.matching(QStringLiteral("SNTP同期！！")).isEmpty());
    tick(1);
    EXPECT_EQ(log.matching(QStringLiteral("SNTP同期！！")).size(), 1);
    // Re-armed from the firing time: 10:00:42 + 3642 s is 11:01.
    EXPECT_EQ(log.matching(QStringLiteral("SNTP-> \"01011101\"")).size(), 1);

    setting("NTPサーバーを使用", 0);
    t.setSntpSync();
    jumpQuietlyTo(at(2, 9, 0));
    tick();
    EXPECT_EQ(log.matching(QStringLiteral("SNTP同期！！")).size(), 1);
}

}  // namespace
