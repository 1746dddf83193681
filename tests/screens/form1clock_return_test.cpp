#include "dbsetting.h"
#include "fakeclock.h"
#include "form1clock.h"
#include "messagecapture.h"
#include "mytimer.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QSignalSpy>

namespace {

TEST(Form1ClockReturnPage, DestroysThePageAndReleasesTheLockUnlessKept)
{
    vnq::test::TempBoardRoot board;
    vnq::test::MessageCapture log;
    vnq::test::RecordingRunner runner;  // the scheduler it starts switches the backlight
    Form1Clock clock;

    for (const bool keep : {true, false}) {
        ASSERT_TRUE(board.writeFile(QStringLiteral("/tmp/webservice.lock"), "2024/01/01 09:00:00"));
        QPointer<QObject> page = new QObject(&clock);
        clock.returnPage(page, keep);
        EXPECT_TRUE(page.isNull());
        EXPECT_EQ(board.exists(QStringLiteral("/tmp/webservice.lock")), keep) << "keep " << keep;
    }
    clock.returnPage(nullptr, false);
    EXPECT_EQ(log.matching(QStringLiteral("webservice.lock 削除")).size(), 2);
}

TEST(Form1ClockReturnPage, StopsTheReturnToClockDeadline)
{
    vnq::test::TempBoardRoot board;
    ASSERT_TRUE(vnq::test::installShippedDatabases(board));
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("時計に戻る時間"), 1));
    vnq::test::FakeClock time;
    vnq::test::MessageCapture log;
    vnq::test::RecordingRunner runner;
    Form1Clock clock;
    MyTimer* timer = MyTimer::getInstance();
    QSignalSpy clockReturns(timer, &MyTimer::timeoutClockModori);

    for (const bool keep : {true, false}) {
        timer->setClockModori();
        clock.returnPage(nullptr, keep);
        time.advanceMs(60000);
        timer->unlockTimer();  // a normal tick a minute on, not a clock jump
        timer->tickerTask();
        EXPECT_EQ(clockReturns.count(), 0) << "keep " << keep;
    }
    timer->setClockModori();
    time.advanceMs(60000);
    timer->unlockTimer();
    timer->tickerTask();
    EXPECT_EQ(clockReturns.count(), 1) << "armed and not stopped, it fires";
}

}  // namespace
