#include "heartbeat.h"
#include "mytimer_fixture.h"

namespace {

using vnq::test::MyTimerTest;

class MyTimerReboot : public MyTimerTest {};

TEST_F(MyTimerReboot, AnnouncesRunsTheScriptThenExitsWithStatusOne)
{
    setting("リブート時刻", 600);
    MyTimer& t = make();  // arms 10:00 today
    QObject::connect(&t, &MyTimer::apiInfo, [this](int ret, const QString& info) {
        events << QStringLiteral("apiInfo %1 %2").arg(ret).arg(info);
    });
    selfcheckpass = false;

    jumpQuietlyTo(at(1, 9, 59, 59, 900));
    tick(0);
    EXPECT_EQ(exitStatus, -1);
    events.clear();
    tick();

    const QStringList expected{QStringLiteral("apiInfo 1 システム終了中..."), script("vnqo_regular_reboot") + " &",
                               QStringLiteral("exit 1")};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(runner.calls().last().form, vnq::test::RecordingRunner::Form::Shell);
    EXPECT_TRUE(selfcheckpass) << "the watchdog must stand aside while the terminal stops";
    selfcheckpass = false;
}

TEST_F(MyTimerReboot, DeadlineIsTodayOrTomorrowAtTheMinute)
{
    const struct {
        int minute;
        QDateTime now;
        const char* logged;  // the deadline as logged ("MMddhhmm"), or the error
    } cases[] = {
        {600, at(1, 9, 0), "リブート-> \"01011000\""},
        {540, at(1, 9, 0, 1), "リブート-> \"01020900\""},
        {0, at(1, 9, 0), "リブート-> \"01020000\""},
        // Less than 180 ms ahead counts as passed, so a terminal back within that instant
        // does not reboot again.
        {600, at(1, 9, 59, 59, 900), "リブート-> \"01021000\""},
        {600, at(1, 9, 59, 59, 800), "リブート-> \"01011000\""},
        {-1, at(1, 9, 0), "<ERR> void MyTimer::setRebootTime() ["},
    };
    MyTimer& t = make();
    for (const auto& c : cases) {
        setting("リブート時刻", c.minute);
        clock.setNow(c.now);
        log.clear();
        t.setRebootTime();
        EXPECT_EQ(log.matching(QString::fromUtf8(c.logged)).size(), 1) << c.minute << " " << c.logged;
    }
    // The negative minute left nothing armed.
    jumpQuietlyTo(at(2, 10, 0));
    tick();
    EXPECT_EQ(exitStatus, -1);
    EXPECT_EQ(log.matching(QStringLiteral("リブート時刻エラー")).size(), 1);
}

}  // namespace
