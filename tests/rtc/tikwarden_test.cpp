#include "simclockboard.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QDateTime>

#include <ctime>

namespace vnq::test {
namespace {

constexpr qint64 kUs = 1000000;

// "now" on whole seconds, so each case knows the system seconds exactly; the world starts
// 0.4 s into that second.
qint64 nowSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}

// An RTC that is behindS seconds behind the system clock (on top of its 9 h zone offset).
QByteArray rtcBehind(qint64 behindS)
{
    return "offset " + QByteArray::number(-32400 - behindS) + "\n";
}

struct CorrectionCase {
    const char* option;
    qint64 behindS;
    int status;
    const char* verdict;
};

void PrintTo(const CorrectionCase& c, std::ostream* os)
{
    *os << c.option << " 180, RTC " << qAbs(c.behindS) << (c.behindS < 0 ? " s ahead" : " s behind");
}

class TikwardenCorrection : public ::testing::TestWithParam<CorrectionCase> {};

TEST_P(TikwardenCorrection, SetsTheClockOnlyBeyondTheAllowedDifference)
{
    const CorrectionCase c = GetParam();
    SimClockBoard board;
    const qint64 now = nowSeconds();
    const qint64 world = now * kUs + 400000;
    board.setRtc(rtcBehind(c.behindS));

    const ToolRun run = board.run(VNQ_TIKWARDEN, {c.option, "180"}, world);

    const qint64 rtc = now - c.behindS;
    EXPECT_EQ(run.status, c.status) << run.err.constData();
    EXPECT_EQ(run.out, QStringLiteral("%1 - %2 = %3(180)\n%4\n")
                           .arg(rtc).arg(now).arg(qAbs(c.behindS)).arg(c.verdict)
                           .toLatin1());
    if (c.status == 0) {
        EXPECT_TRUE(board.systemClockLog().isEmpty());
        return;
    }
    // The clock was set to the RTC's whole second, and the next check finds them equal.
    EXPECT_EQ(board.systemClockLog(),
              ("set " + SimClockBoard::seconds(rtc * kUs) + " at " +
               SimClockBoard::seconds(world) + "\n").toLatin1());
    const ToolRun again = board.run(VNQ_TIKWARDEN, {c.option, "180"}, world);
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.endsWith("= 0(180)\nOK\n")) << again.out.constData();
}

INSTANTIATE_TEST_SUITE_P(Differences, TikwardenCorrection, ::testing::Values(
    CorrectionCase{"-D", 200, 1, "NG"},
    CorrectionCase{"-D", 100, 0, "OK"},
    CorrectionCase{"-D", 180, 0, "OK"},
    CorrectionCase{"-d", -200, 1, "NG"},
    CorrectionCase{"-d", 181, 1, "NG"}));

TEST(Tikwarden, RefusesCommandLinesOtherThanOneDashDWithAValue)
{
    const QList<QStringList> commandLines = {
        {}, {"-D"}, {"-q", "5"}, {"-DD", "5"}, {"D", "5"}, {"-", "5"}, {"-D", "5", "6"},
    };
    SimClockBoard board;
    board.setRtc(rtcBehind(500));
    for (const QStringList& args : commandLines) {
        const ToolRun run = board.run(VNQ_TIKWARDEN, args, nowSeconds() * kUs);
        EXPECT_EQ(run.status, 255) << args.join(' ').toStdString();
        EXPECT_EQ(run.out, "Argument error\r\n -D <sec>: allowable range\r\n");
        EXPECT_TRUE(run.err.isEmpty());
    }
    EXPECT_TRUE(board.systemClockLog().isEmpty());
}

struct FailureCase {
    const char* name;
    bool rtcPresent;
    QByteArray rtc;
    QByteArray systemClock;
    const char* errPrefix;
    const char* outEnd;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class TikwardenFailure : public ::testing::TestWithParam<FailureCase> {};

// Every failure ends with a non-zero status and leaves the system clock alone.
TEST_P(TikwardenFailure, EndsNonZeroWithoutSettingTheClock)
{
    const FailureCase c = GetParam();
    SimClockBoard board;
    if (c.rtcPresent)
        board.setRtc(c.rtc);
    board.setSystemClockLog(c.systemClock);

    const ToolRun run = board.run(VNQ_TIKWARDEN, {"-D", "180"}, nowSeconds() * kUs + 400000);

    EXPECT_EQ(run.status, 255);
    EXPECT_TRUE(run.err.startsWith(c.errPrefix)) << run.err.constData();
    EXPECT_TRUE(run.out.endsWith(c.outEnd)) << run.out.constData();
    EXPECT_EQ(board.systemClockLog(), c.systemClock);
}

// An RTC that restarted at 2000-01-01 after losing its battery.
QByteArray resetRtc()
{
    return "offset " + QByteArray::number(946684800 - nowSeconds()) + "\n";
}

INSTANTIATE_TEST_SUITE_P(Failures, TikwardenFailure, ::testing::Values(
    FailureCase{"NoRtc", false, "", "", "Failed open rtc: ", ""},
    FailureCase{"RtcReadFails", true, "fail read\n", "", "Failed ioctl: ", ""},
    FailureCase{"RtcFileEmpty", true, "", "", "Failed ioctl: Input/output error", ""},
    FailureCase{"RtcFileGarbage", true, "\x7f" "ELF\x01\x02\n", "", "Failed ioctl: Input/output error", ""},
    FailureCase{"ClockReadFails", true, rtcBehind(0), "fail gettimeofday\n",
                "Failed gettimeofday: ", ""},
    FailureCase{"ClockSetFails", true, rtcBehind(200), "fail settimeofday\n",
                "Failed settimeofday: ", "NG\n"},
    FailureCase{"RtcBeforeBuildDate", true, resetRtc(), "", "",
                "NG\nRTC time is before the build date: system clock not set\n"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// The RTC's fields are local time to mktime, which decides daylight saving itself: in summer
// an hour more is subtracted than in winter.
TEST(Tikwarden, ReadsTheRtcInTheLocalZoneWithDaylightSaving)
{
    struct Case {
        int month;
        qint64 zoneS;
    };
    const Case cases[] = {{7, 7200}, {1, 3600}};
    for (const Case& c : cases) {
        SimClockBoard board;
        const qint64 now = nowSeconds();
        const qint64 fields = QDateTime(QDate(2030, c.month, 15), QTime(12, 0), Qt::UTC)
                                  .toSecsSinceEpoch();
        board.setRtc("offset " + QByteArray::number(fields - now) + "\n");

        const ToolRun run = board.run(VNQ_TIKWARDEN, {"-D", "2000000000"}, now * kUs,
                                      QStringLiteral("CET-1CEST,M3.5.0,M10.5.0/3"));

        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.startsWith(QByteArray::number(fields - c.zoneS + 32400) + " - "))
            << "month " << c.month << ": " << run.out.constData();
    }
}

}  // namespace
}  // namespace vnq::test
