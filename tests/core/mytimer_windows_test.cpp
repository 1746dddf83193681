#include "mytimer_fixture.h"

namespace {

using vnq::test::MyTimerTest;

// Records the window signals in the order they come; no daily reboot interferes.
class MyTimerWindows : public MyTimerTest {
protected:
    MyTimer& makeRecording()
    {
        setting("リブート時刻", -1);
        MyTimer& t = make();
        QObject::connect(&t, &MyTimer::timeoutShukinMode, [this](bool enabled, bool update) {
            windows << QStringLiteral("shukin %1 %2").arg(enabled).arg(update);
        });
        QObject::connect(&t, &MyTimer::timeoutTaikinMode,
                         [this](bool enabled) { windows << QStringLiteral("taikin %1").arg(enabled); });
        QObject::connect(&t, &MyTimer::timeoutHigawaritaiMode,
                         [this](bool enabled) { windows << QStringLiteral("higawari %1").arg(enabled); });
        return t;
    }

    QStringList windows;
};

TEST_F(MyTimerWindows, ClockInStartOnClockOutEndFiresInOrderOnceADay)
{
    setting("出勤モード(開始)", 600);  // 10:00
    setting("出勤モード(終了)", 601);  // 10:01, not on the clock-out start
    setting("退勤モード(開始)", 700);
    setting("退勤モード(終了)", 600);  // 10:00, the same second as the clock-in start
    setting("日替退勤有効時刻帯(開始)", -1);
    setting("日替退勤有効時刻帯(終了)", -1);
    MyTimer& t = makeRecording();
    t.setKinmuMode();
    windows.clear();

    jumpQuietlyTo(at(1, 9, 59, 59, 900));
    tick(0);
    EXPECT_TRUE(windows.isEmpty());
    tick(100);  // exactly 10:00:00.000 is due
    EXPECT_EQ(windows, QStringList({"shukin 1 0", "taikin 0"}));
    tick();
    EXPECT_EQ(windows.size(), 2) << "an edge fires once";

    jumpQuietlyTo(at(1, 10, 1));
    tick(0);
    EXPECT_EQ(windows.mid(2), QStringList({"shukin 0 1"}));
    jumpQuietlyTo(at(1, 11, 40));
    tick(0);
    EXPECT_EQ(windows.mid(3), QStringList({"taikin 1"}));

    // Each edge has moved one day later.
    windows.clear();
    jumpQuietlyTo(at(2, 9, 59, 59, 900));
    tick(0);
    EXPECT_TRUE(windows.isEmpty());
    tick();
    EXPECT_EQ(windows, QStringList({"shukin 1 0", "taikin 0"}));
}

TEST_F(MyTimerWindows, NegativeItemDisarmsAnEdgeAndPastMinutesMeanTomorrow)
{
    setting("出勤モード(開始)", 540);  // 09:00, the current minute: already past
    setting("日替退勤有効時刻帯(開始)", 545);
    setting("日替退勤有効時刻帯(終了)", 546);
    MyTimer& t = makeRecording();
    t.setKinmuMode();
    setting("日替退勤有効時刻帯(開始)", -1);
    t.setKinmuMode();

    jumpQuietlyTo(at(1, 9, 46));
    tick(0);
    EXPECT_EQ(windows, QStringList({"higawari 0"}));

    jumpQuietlyTo(at(2, 9, 0));
    tick(0);
    EXPECT_EQ(windows, QStringList({"higawari 0", "shukin 1 1"}));
}

}  // namespace
