#include "simclockboard.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace vnq::test {
namespace {

constexpr qint64 kUs = 1000000;
constexpr qint64 kDay = 86400;

// The RTC was set exactly (9 h behind) at system time 1000000 and has run at a known rate
// for ten days since.
TEST(Rtcprobe, ReportsTheDriftOfTheRtcInSecondsPerDay)
{
    struct Case {
        double rate;
        double drift;
    };
    const Case cases[] = {{1.0 - 10.0 / kDay, 10.0}, {1.0 + 5.0 / kDay, -5.0}, {1.0, 0.0}};
    for (const Case& c : cases) {
        SimClockBoard board;
        board.setRtc("offset -32400\nat 1000000\nrate " + QByteArray::number(c.rate, 'g', 15) +
                     "\n");

        const ToolRun run = board.run(VNQ_RTCPROBE, {"1000000"},
                                      (1000000 + 10 * kDay) * kUs + 400000);

        EXPECT_EQ(run.status, 0) << run.err.constData();
        EXPECT_TRUE(QRegularExpression("^ *-?[0-9]+\\.[0-9]{3}$").match(run.out).hasMatch());
        EXPECT_GE(run.out.size(), 8);
        EXPECT_NEAR(run.out.toDouble(), c.drift, 0.1) << "rate " << c.rate;
    }
}

// Samples are taken 2 ms after their targets (x.145 s, x.245 s, ...), but the system mean
// uses the targets: 20 samples from 10000.145 to 10002.045 average 10001.095; the RTC reads
// 10000 nine times, 10001 ten times and 10002 once (mean 10000.6). With the base 99 s back,
// the drift is 86400 * 0.495 / 100.095.
TEST(Rtcprobe, AveragesTheSampleTargetsNotThePollTimes)
{
    SimClockBoard board;
    board.setRtc("offset -32400\n");

    const ToolRun run = board.run(VNQ_RTCPROBE, {"9901"}, 10000 * kUs + 45000);

    EXPECT_EQ(run.status, 0) << run.err.constData();
    EXPECT_EQ(run.out, " 427.274");
}

TEST(Rtcprobe, FailuresEndWithTheErrorNumberOrMinusOne)
{
    struct Case {
        QStringList args;
        bool rtcPresent;
        int status;
        const char* out;
        const char* errPrefix;
    };
    const Case cases[] = {
        {{}, true, 255, "Argument error\r\n", ""},
        {{"1", "2"}, true, 255, "Argument error\r\n", ""},
        {{"1000"}, false, ENOENT, "", "Failed open rtc: "},
    };
    for (const Case& c : cases) {
        SimClockBoard board;
        if (c.rtcPresent)
            board.setRtc("offset 0\n");
        const ToolRun run = board.run(VNQ_RTCPROBE, c.args, 1000 * kUs);
        EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.out, c.out);
        EXPECT_TRUE(run.err.startsWith(c.errPrefix)) << run.err.constData();
    }

    SimClockBoard board;
    board.setRtc("offset 0\nfail read\n");
    const ToolRun run = board.run(VNQ_RTCPROBE, {"1000"}, 1000 * kUs);
    EXPECT_EQ(run.status, EIO);
    EXPECT_TRUE(run.err.startsWith("Failed ioctl: ")) << run.err.constData();
}

}  // namespace
}  // namespace vnq::test
