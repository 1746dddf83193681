#include "clockfixture.h"

#include <QSignalSpy>

namespace {

using Form1ClockReturnPage = ClockFixture;

TEST_F(Form1ClockReturnPage, DestroysThePageAndReleasesTheLockUnlessKept)
{
    startActiveClock();
    for (const bool keep : {true, false}) {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/tmp/webservice.lock"), "2024/01/01 09:00:00"));
        QPointer<QObject> page = new QObject(clock);
        clock->returnPage(page, keep);
        EXPECT_TRUE(page.isNull());
        EXPECT_EQ(board.exists(QStringLiteral("/tmp/webservice.lock")), keep) << "keep " << keep;
    }
}

TEST_F(Form1ClockReturnPage, StopsTheReturnToClockDeadline)
{
    setSetting("時計に戻る時間", 1);
    startActiveClock();
    MyTimer* timer = MyTimer::getInstance();
    QSignalSpy clockReturns(timer, &MyTimer::timeoutClockModori);

    for (const bool keep : {true, false}) {
        timer->setClockModori();
        clock->returnPage(nullptr, keep);
        fakeClock.advanceMs(60000);
        timer->unlockTimer();  // a normal tick a minute on, not a clock jump
        timer->tickerTask();
        EXPECT_EQ(clockReturns.count(), 0) << "keep " << keep;
    }
    timer->setClockModori();
    fakeClock.advanceMs(60000);
    timer->unlockTimer();
    timer->tickerTask();
    EXPECT_EQ(clockReturns.count(), 1) << "armed and not stopped, it fires";
}

}  // namespace
