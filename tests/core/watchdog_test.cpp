#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

namespace {

struct ProbeCase {
    const char* name;
    const char* steps;  // see tests/core/probe/watchdog_probe.cpp
    bool rebooted;
};

void PrintTo(const ProbeCase& c, std::ostream* os)
{
    *os << c.name << " (" << c.steps << ")";
}

class Watchdog : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(Watchdog, EndsTheProcessOnlyWhenTheHeartbeatStops)
{
    const ProbeCase& c = GetParam();
    QProcess probe;
    probe.start(QStringLiteral(VNQ_WATCHDOG_PROBE), {QString::fromLatin1(c.steps)});
    ASSERT_TRUE(probe.waitForFinished(20000));
    ASSERT_EQ(probe.exitStatus(), QProcess::NormalExit);
    const QString out = QString::fromUtf8(probe.readAllStandardOutput());
    const QString err = QString::fromUtf8(probe.readAllStandardError());

    const QRegularExpression freezeLine(
        QStringLiteral(R"re( <ERR> void\* self_watcher\(void\*\) \[ \d+ \]: アプリフリーズ？: (-?\d+) (-?\d+)")re"));
    QRegularExpressionMatchIterator freezes = freezeLine.globalMatch(err);
    int freezeCount = 0;
    while (freezes.hasNext()) {
        const QRegularExpressionMatch m = freezes.next();
        EXPECT_EQ(m.captured(1), m.captured(2));
        ++freezeCount;
    }

    if (c.rebooted) {
        EXPECT_EQ(probe.exitCode(), 1);
        EXPECT_EQ(out, QStringLiteral("RUN sync\nPAUSE 1000\nRUN reboot &\n"));
        EXPECT_EQ(freezeCount, 1) << err.toStdString();
    } else {
        EXPECT_EQ(probe.exitCode(), 0);
        EXPECT_EQ(out, QStringLiteral("SURVIVED\n"));
        EXPECT_EQ(freezeCount, 0) << err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Probe, Watchdog,
    ::testing::Values(ProbeCase{"MainThreadStops", "ttt-", true},
                      ProbeCase{"NoHeartbeatInTheFirstPeriod", "-", true},
                      ProbeCase{"MainThreadTicks", "tttt", false},
                      ProbeCase{"PassFlagHeldThenHeartbeat", "thhhhhct", false},
                      ProbeCase{"PassFlagClearedWithoutHeartbeat", "thhC", true},
                      ProbeCase{"PassFlagFeedsAcrossTheHeartbeatsWrap", "mhhct", false},
                      ProbeCase{"InterruptedSleepsNeverRebootAlone", "tiiii", false}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.name); });

}  // namespace
