#include "simclockboard.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vnq::test {
namespace {

constexpr qint64 kUs = 1000000;

QByteArray millis(qint64 ms)
{
    return QByteArray::number(ms / 1000) + "." +
           QByteArray::number(ms % 1000).rightJustified(3, '0');
}

// RTC -> system. The world starts at 100000.400; the RTC shows that time 9 h and 0.3 s
// behind, so its next second (67601 = 100001 - 32400) begins at 100001.300, where the 20 ms
// polls see it.
struct ReadCase {
    const char* option;
    qint64 msec;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.option << ' ' << c.msec;
}

class RtcsyncRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RtcsyncRead, SetsTheClockToTheRtcSecondEdgePlusTheOffset)
{
    const ReadCase c = GetParam();
    SimClockBoard board;
    board.setRtc("offset -32400.3\n");

    const ToolRun run = board.run(VNQ_RTCSYNC, {c.option, QString::number(c.msec)},
                                  100000 * kUs + 400000);

    const qint64 setMs = 100001 * 1000 + c.msec;
    EXPECT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(run.out, "NOW: 100001.300\r\nSET: " + millis(setMs) + "\r\nRTC: 67601.000\r\n");
    EXPECT_EQ(board.systemClockLog(),
              ("set " + SimClockBoard::seconds(setMs * 1000) + " at 100001.300000\n").toLatin1());
}

INSTANTIATE_TEST_SUITE_P(Offsets, RtcsyncRead, ::testing::Values(
    ReadCase{"-R", 250}, ReadCase{"-R", 0}, ReadCase{"-r", -250}, ReadCase{"-R", 1500},
    ReadCase{"-R", -1250}, ReadCase{"-R", 999}));

// System -> RTC at system time 1000.400: the RTC gets target - 32400 at the first 2 ms poll
// after the moment to write, when system time + msec/1000 is the target.
struct WriteCase {
    const char* option;
    qint64 msec;
    qint64 momentMs;
    qint64 target;
};

void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << c.option << ' ' << c.msec;
}

class RtcsyncWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(RtcsyncWrite, WritesTheTargetSecondOnTheMillisecondEdge)
{
    const WriteCase c = GetParam();
    SimClockBoard board;
    board.setRtc("offset 0\n");

    const ToolRun run = board.run(VNQ_RTCSYNC, {c.option, QString::number(c.msec)},
                                  1000 * kUs + 400000);

    const qint64 writtenMs = c.momentMs + 2;
    EXPECT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(run.out, "NOW: 1000.000\r\nADJ: " + millis(c.momentMs) + "\r\nSET: " +
                           millis(c.target * 1000) + "\r\nNOW: " + millis(writtenMs) + "\r\n");
    const QMap<QString, QString> rtc = board.rtcState();
    EXPECT_EQ(rtc.value("at"), SimClockBoard::seconds(writtenMs * 1000));
    // The RTC now reads the target second, 9 hours back, from the moment of writing.
    EXPECT_EQ(rtc.value("offset").toDouble() + rtc.value("at").toDouble(),
              double(c.target - 32400));
    EXPECT_TRUE(board.systemClockLog().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Offsets, RtcsyncWrite, ::testing::Values(
    WriteCase{"-W", 1500, 1001500, 1003},
    WriteCase{"-W", -1500, 1002500, 1001},
    WriteCase{"-w", 0, 1002000, 1002},
    WriteCase{"-W", 250, 1001750, 1002},
    WriteCase{"-W", 2000, 1002000, 1004},
    WriteCase{"-W", -998, 1002998, 1002}));

TEST(Rtcsync, RefusesCommandLinesOtherThanOneDashROrW)
{
    const QList<QStringList> commandLines = {
        {}, {"-R"}, {"-X", "5"}, {"-RW", "5"}, {"W", "5"}, {"-W", "5", "6"},
    };
    SimClockBoard board;
    board.setRtc("offset 0\n");
    for (const QStringList& args : commandLines) {
        const ToolRun run = board.run(VNQ_RTCSYNC, args, 1000 * kUs);
        EXPECT_EQ(run.status, 255) << args.join(' ').toStdString();
        EXPECT_EQ(run.out,
                  "Argument error\r\n -R <msec>: RTC -> System\r\n -W <msec>: System -> RTC\r\n");
    }
    EXPECT_EQ(board.rtcState().value("offset"), "0");
    EXPECT_TRUE(board.systemClockLog().isEmpty());
}

struct FailureCase {
    const char* name;
    const char* option;
    bool rtcPresent;
    QByteArray rtc;
    QByteArray systemClock;
    const char* errPrefix;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class RtcsyncFailure : public ::testing::TestWithParam<FailureCase> {};

// Every failure ends with -1 and changes neither clock.
TEST_P(RtcsyncFailure, EndsNonZeroAndChangesNoClock)
{
    const FailureCase c = GetParam();
    SimClockBoard board;
    if (c.rtcPresent)
        board.setRtc(c.rtc);
    board.setSystemClockLog(c.systemClock);

    const ToolRun run = board.run(VNQ_RTCSYNC, {c.option, "0"}, 1000 * kUs + 400000);

    EXPECT_EQ(run.status, 255);
    EXPECT_TRUE(run.err.startsWith(c.errPrefix)) << run.err.constData();
    EXPECT_EQ(board.systemClockLog(), c.systemClock);
    if (c.rtcPresent) {
        EXPECT_EQ(board.rtcState().value("at"), QString());
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, RtcsyncFailure, ::testing::Values(
    FailureCase{"ReadNoRtc", "-R", false, "", "", "Failed open rtc: "},
    FailureCase{"WriteNoRtc", "-W", false, "", "", "Failed open rtc: "},
    FailureCase{"RtcReadFails", "-R", true, "offset 0\nfail read\n", "", "Failed ioctl: "},
    FailureCase{"RtcFileEmpty", "-R", true, "", "", "Failed ioctl: Input/output error"},
    FailureCase{"RtcFileGarbage", "-R", true, "offset soon\n", "", "Failed ioctl: Input/output error"},
    FailureCase{"RtcSetFails", "-W", true, "offset 0\nfail set\n", "", "Failed ioctl: "},
    FailureCase{"ClockSetFails", "-R", true, "offset 0\n", "fail settimeofday\n",
                "Failed gettimeofday: "},
    FailureCase{"ClockReadFails", "-W", true, "offset 0\n", "fail gettimeofday\n",
                "Failed gettimeofday: "},
    FailureCase{"RtcStopped", "-R", true, "offset 0\nrate 0\n", "", "Failed rtc read: "}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// The tool waits 2 s for the RTC's next second edge: one just inside that is still taken, one
// just outside is not. On virtual time the bound is exact.
TEST(Rtcsync, WaitsTwoSecondsForTheRtcSecondEdge)
{
    const struct {
        double edgeAfterSeconds;
        int status;
    } cases[] = {{1.99, 0}, {2.01, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edgeAfterSeconds);
        SimClockBoard board;
        // On a second at the start, and a second further after edgeAfterSeconds.
        board.setRtc(QStringLiteral("at 1000.000000\noffset 0\nrate %1\n").arg(1 / c.edgeAfterSeconds, 0, 'g', 12).toLatin1());

        const ToolRun run = board.run(VNQ_RTCSYNC, {"-R", "0"}, 1000 * kUs);

        EXPECT_EQ(run.status, c.status) << run.err.constData();
        if (c.status != 0) {
            EXPECT_TRUE(run.err.startsWith("Failed rtc read: ")) << run.err.constData();
            EXPECT_TRUE(board.systemClockLog().isEmpty());
        }
    }
}

// On real time, too, a stopped RTC cannot hold the tool: it sleeps between its reads (it takes
// no less than most of the 2 s) and gives up. How much longer a loaded machine makes it take
// says nothing about the tool; the 2 s themselves are shown on virtual time above.
TEST(Rtcsync, GivesUpOnAStoppedRtcWithinAboutTwoSeconds)
{
    SimClockBoard board;
    board.setRtc("offset 0\nrate 0\n");

    const ToolRun run = board.run(VNQ_RTCSYNC, {"-R", "0"}, -1);

    EXPECT_EQ(run.status, 255);
    EXPECT_TRUE(run.err.startsWith("Failed rtc read: ")) << run.err.constData();
    EXPECT_GE(run.elapsedMs, 1500);
    EXPECT_TRUE(board.systemClockLog().isEmpty());
}

}  // namespace
}  // namespace vnq::test
