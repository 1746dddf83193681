#include "mytimer_fixture.h"

#include <QSignalSpy>

namespace {

using vnq::test::MyTimerTest;

struct RequestCase {
    const char* name;
    ZSystem::_zmode edition;
    int startSeconds;
    int cycleSeconds;
    QTime now;
    QTime deadline;
    bool shot;
};

void PrintTo(const RequestCase& c, std::ostream* os)
{
    *os << c.name;
}

class MyTimerDataRequest : public MyTimerTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(MyTimerDataRequest, FiresAtTheNextScheduledTimeWithItsShotFlag)
{
    const RequestCase& c = GetParam();
    ZSystem::setMode(c.edition);
    setting("通信開始秒", c.startSeconds);
    setting("通信周期", c.cycleSeconds);
    MyTimer& t = make();
    QSignalSpy requests(&t, &MyTimer::timeoutDataRequest);
    jumpQuietlyTo(QDateTime(QDate(2024, 1, 1), c.now));
    t.setDataRequest();

    const QDateTime due(QDate(2024, 1, 1), c.deadline);
    jumpQuietlyTo(due.addMSecs(-1));
    tick(0);
    EXPECT_EQ(requests.count(), 0);
    tick(1);
    ASSERT_EQ(requests.count(), 1);
    EXPECT_EQ(requests.first().first().toBool(), c.shot);
    tick();
    EXPECT_EQ(requests.count(), 1) << "disarmed until the receiver re-arms it";
}

INSTANTIATE_TEST_SUITE_P(
    Editions, MyTimerDataRequest,
    ::testing::Values(
        RequestCase{"CloudNextHour", ZSystem::Cloud, 0, 3600, QTime(9, 20), QTime(10, 0), false},
        RequestCase{"CloudStartInThisHour", ZSystem::Cloud, 1800, 3600, QTime(9, 20), QTime(9, 30), false},
        RequestCase{"CloudStartPassedAddsACycle", ZSystem::Cloud, 1800, 7200, QTime(9, 40), QTime(11, 30), false},
        RequestCase{"CloudStartNowIsPassed", ZSystem::Cloud, 1200, 3600, QTime(9, 20), QTime(10, 20), false},
        // A cycle shorter than the hour steps on until the deadline lies ahead, instead of
        // firing at once.
        RequestCase{"CloudShortCycle", ZSystem::Cloud, 0, 600, QTime(9, 35, 10), QTime(9, 40), false},
        RequestCase{"MeridFarAwayGetsAShot", ZSystem::Merid, 0, 3600, QTime(9, 20), QTime(9, 23), true},
        RequestCase{"MeridWithin180s", ZSystem::Merid, 1800, 3600, QTime(9, 27), QTime(9, 30), false},
        RequestCase{"Merid181sAway", ZSystem::Merid, 1800, 3600, QTime(9, 26, 59), QTime(9, 29, 59), true}),
    [](const ::testing::TestParamInfo<RequestCase>& info) { return std::string(info.param.name); });

}  // namespace
