#include "mytimer_fixture.h"

namespace {

using vnq::test::MyTimerTest;

class MyTimerBacklight : public MyTimerTest {
protected:
    int switched(const char* state) const { return runner.count(script("vnq_backlight") + " " + state); }
};

TEST_F(MyTimerBacklight, GoesOffAtItsDeadlineAndTheNextWakeUpReportsTheDarkScreenOnce)
{
    setting("バックライト点灯時間", 1);
    MyTimer& t = make();  // lit at 09:00: off at 09:01
    EXPECT_FALSE(t.setBacklight(true)) << "already lit: only the deadline moves";

    jumpQuietlyTo(at(1, 9, 0, 59, 900));
    tick(0);
    EXPECT_TRUE(lit());
    tick(100);
    EXPECT_FALSE(lit());
    EXPECT_EQ(switched("off"), 1);
    tick();
    EXPECT_EQ(switched("off"), 1);

    EXPECT_TRUE(t.setBacklight(true));
    EXPECT_TRUE(lit());
    EXPECT_FALSE(t.setBacklight(true));
    EXPECT_EQ(switched("on"), 1);
}

TEST_F(MyTimerBacklight, ChangedTimeCountsFromTheLastSwitchOn)
{
    setting("バックライト点灯時間", 1);
    MyTimer& t = make();  // switched on at 09:00
    jumpQuietlyTo(at(1, 9, 0, 30));
    setting("バックライト点灯時間", 2);
    EXPECT_TRUE(t.setBacklight(false));

    jumpQuietlyTo(at(1, 9, 1, 59, 900));
    tick(0);
    EXPECT_TRUE(lit());
    tick(100);
    EXPECT_FALSE(lit());
}

TEST_F(MyTimerBacklight, ZeroMeansAlwaysOnYetAnArmedDeadlineStillSwitchesOffOnce)
{
    setting("バックライト点灯時間", 1);
    MyTimer& t = make();
    setting("バックライト点灯時間", 0);
    EXPECT_FALSE(t.setBacklight(true));

    jumpQuietlyTo(at(1, 9, 1));
    tick(0);
    EXPECT_FALSE(lit());
    EXPECT_TRUE(t.setBacklight(true));
    jumpQuietlyTo(at(1, 12, 0));
    tick();
    EXPECT_TRUE(lit());
}

TEST_F(MyTimerBacklight, NegativeTimeCountsAsAlwaysOn)
{
    setting("バックライト点灯時間", -5);
    setLight(false);
    MyTimer& t = make();
    EXPECT_TRUE(lit());
    EXPECT_FALSE(t.setBacklight(true));
    tick();
    EXPECT_TRUE(lit()) << "a deadline in the past would darken the screen after every wake-up";
}

TEST_F(MyTimerBacklight, StopKeepsTheLightOnUntilSetAgain)
{
    setting("バックライト点灯時間", 1);
    MyTimer& t = make();
    t.stopBacklight();
    jumpQuietlyTo(at(1, 9, 5));
    tick();
    EXPECT_TRUE(lit());

    t.setBacklight(true);
    jumpQuietlyTo(at(1, 9, 6));
    tick();
    EXPECT_FALSE(lit());
}

}  // namespace
