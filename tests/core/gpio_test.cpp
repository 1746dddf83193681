#include "fakeclock.h"
#include "messagecapture.h"
#include "recordingrunner.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>

namespace {

// A board whose sysfs value files live under a temporary root and whose two GPIO scripts
// are played by the recording runner: vnq_gpio creates a line's value file, vnq_gpio_value
// writes it. Time stands still until the test moves it.
class GpioLines : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        runner.onCommand = [this](const QString& command) { playBoardScript(command); };
    }

    QString valueFile(int line) const { return QStringLiteral("/sys/class/gpio/gpio%1/value").arg(line); }
    void setLine(int line, const QByteArray& content) { ASSERT_TRUE(board.writeFile(valueFile(line), content)); }
    int level(int line) const { return board.readFile(valueFile(line)).trimmed().toInt(); }
    QString script(const char* name) const { return board.path(QStringLiteral("/VnQo/bin/") + QLatin1String(name)); }
    int timeoutLines(const char* output) const { return log.matching(QString::fromUtf8(output) + " タイムアウト！！").size(); }

    void playBoardScript(const QString& command)
    {
        const QStringList words = command.split(QLatin1Char(' '));
        if (!scriptsWork || words.size() != 3)
            return;
        const QString file = valueFile(words[1].toInt());
        if (words[0] == script("vnq_gpio") && !board.exists(file))
            board.writeFile(file, "0\n");
        else if (words[0] == script("vnq_gpio_value"))
            board.writeFile(file, words[2].toUtf8() + '\n');
    }

    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;
    vnq::test::FakeClock clock;
    vnq::test::MessageCapture log;
    bool scriptsWork = true;
};

TEST_F(GpioLines, ConstructionSetsUpTheInputs)
{
    ZSystem z;
    const QStringList expected{script("vnq_gpio") + " 136 in", script("vnq_gpio") + " 137 in"};
    EXPECT_EQ(runner.commands(), expected);
    EXPECT_TRUE(board.exists(valueFile(136)));
}

TEST_F(GpioLines, PulseHoldsTheLineUntilItsDeadline)
{
    setLine(138, "1\n");
    ZSystem own;
    ZSystem* z = &own;

    z->gpio(ZSystem::GPIO138, 0, 3);
    EXPECT_EQ(ZSystem::gpio(ZSystem::GPIO138), 0);

    clock.advanceMs(2900);
    z->tickerTask();
    EXPECT_EQ(level(138), 0);
    EXPECT_EQ(timeoutLines("GPIO1"), 0);

    clock.advanceMs(100);
    z->tickerTask();
    EXPECT_EQ(level(138), 1);
    const QStringList lines = log.matching(QStringLiteral("GPIO1 タイムアウト！！"));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("\" <IFO> void ZSystem::tickerTask() [")));
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("]: GPIO1 タイムアウト！！ 0\" ")));

    // Disarmed: later ticks leave the line alone.
    runner.clear();
    clock.advanceMs(5000);
    z->tickerTask();
    EXPECT_EQ(timeoutLines("GPIO1"), 1);
    EXPECT_TRUE(runner.commands().isEmpty());
}

TEST_F(GpioLines, SecondPulseMovesTheEnd)
{
    setLine(138, "1\n");
    ZSystem own;
    ZSystem* z = &own;

    z->gpio(ZSystem::GPIO138, 0, 3);
    // The output is set up once per process; the second pulse sets nothing up again.
    const int setUps = runner.count(script("vnq_gpio") + " 138 out");
    clock.advanceMs(1000);
    z->gpio(ZSystem::GPIO138, 0, 3);
    clock.advanceMs(2900);
    z->tickerTask();
    EXPECT_EQ(level(138), 0);
    EXPECT_EQ(timeoutLines("GPIO1"), 0);

    clock.advanceMs(100);
    z->tickerTask();
    EXPECT_EQ(level(138), 1);
    EXPECT_EQ(timeoutLines("GPIO1"), 1);
    EXPECT_EQ(runner.count(script("vnq_gpio") + " 138 out"), setUps);
}

TEST_F(GpioLines, OutputIsSetUpOnItsFirstWriteOnly)
{
    ZSystem::gpio(ZSystem::GPIO139, 1);
    EXPECT_EQ(level(139), 1);
    ZSystem::gpio(ZSystem::GPIO139, 0);
    EXPECT_EQ(level(139), 0);
    const QStringList expected{script("vnq_gpio") + " 139 out", script("vnq_gpio_value") + " 139 1",
                               script("vnq_gpio_value") + " 139 0"};
    EXPECT_EQ(runner.commands(), expected);
}

TEST_F(GpioLines, OnlyTheTwoOutputsCanBePulsed)
{
    setLine(137, "0\n");
    ZSystem own;
    ZSystem* z = &own;
    runner.clear();
    z->gpio(ZSystem::GPIO137, 1, 3);
    z->gpio(ZSystem::GPIO33, 1, 3);
    clock.advanceMs(10000);
    z->tickerTask();
    EXPECT_TRUE(runner.commands().isEmpty());
    EXPECT_EQ(level(137), 0);
    EXPECT_TRUE(log.matching(QStringLiteral("タイムアウト")).isEmpty());
}

TEST_F(GpioLines, PulseEndDrivesTheOtherLevelEvenWhenTheLineCannotBeRead)
{
    setLine(139, "0\n");
    ZSystem own;
    ZSystem* z = &own;
    z->gpio(ZSystem::GPIO139, 1, 2);
    ASSERT_EQ(level(139), 1);

    // The value file vanishes and the script stops working: reads give 0 from now on.
    scriptsWork = false;
    ASSERT_TRUE(QFile::remove(board.path(valueFile(139))));
    runner.clear();
    clock.advanceMs(2000);
    z->tickerTask();

    EXPECT_EQ(log.matching(QStringLiteral("GPIO2 タイムアウト！！ 0")).size(), 1);
    EXPECT_EQ(runner.count(script("vnq_gpio_value") + " 139 1"), 0);
    EXPECT_EQ(runner.count(script("vnq_gpio_value") + " 139 0"), 1);
}

TEST_F(GpioLines, WriteThatNeverReadsBackGivesUp)
{
    scriptsWork = false;
    const qint64 start = clock.monotonicMs();
    ZSystem::gpio(ZSystem::GPIO138, 1);
    EXPECT_EQ(runner.count(script("vnq_gpio_value") + " 138 1"), 3);
    EXPECT_EQ(log.matching(QStringLiteral("GPIO 138 出力確認失敗 1")).size(), 1);
    EXPECT_EQ(clock.monotonicMs() - start, 200);  // the pauses between tries
}

TEST_F(GpioLines, InputChangeEmitsOneEventWithTheOldLevel)
{
    setLine(136, "0\n");
    ZSystem own;
    ZSystem* z = &own;
    QSignalSpy events(z, &ZSystem::trigerEvent);

    z->tickerTask();
    EXPECT_EQ(events.count(), 0);

    setLine(136, "1\n");
    z->tickerTask();
    ASSERT_EQ(events.count(), 1);
    EXPECT_EQ(events.first().first().toInt(), 0);
    EXPECT_EQ(log.matching(QStringLiteral("]: GPIO イベント 0\" ")).size(), 1);

    z->tickerTask();
    z->tickerTask();
    EXPECT_EQ(events.count(), 1);
}

TEST_F(GpioLines, LevelPresentAtStartIsNoEvent)
{
    setLine(136, "1\n");
    ZSystem own;
    ZSystem* z = &own;
    QSignalSpy events(z, &ZSystem::trigerEvent);
    z->tickerTask();
    EXPECT_EQ(events.count(), 0);
}

struct ReadCase {
    const char* name;
    bool exists;
    QByteArray content;
    int expected;
    const char* errorLine;  // the expected "<ERR>" part, or nullptr
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class GpioRead : public GpioLines, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(GpioRead, LevelIsTheNumberAtTheStartOfTheValueFile)
{
    const ReadCase& c = GetParam();
    if (c.exists)
        setLine(138, c.content);
    EXPECT_EQ(ZSystem::gpio(ZSystem::GPIO138), c.expected);
    if (c.errorLine) {
        const QStringList errors = log.matching(QLatin1String(c.errorLine));
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().contains(QStringLiteral("<ERR> static int ZSystem::gpio(")));
        EXPECT_TRUE(errors.first().contains(board.path(valueFile(138))));
    } else {
        EXPECT_TRUE(log.messages().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    ValueFiles, GpioRead,
    ::testing::Values(ReadCase{"One", true, "1\n", 1, nullptr},
                      ReadCase{"Zero", true, "0\n", 0, nullptr},
                      ReadCase{"LeadingSpaceAndSign", true, "  -1\n", -1, nullptr},
                      ReadCase{"NoDigits", true, "high\n", 0, nullptr},
                      ReadCase{"Empty", true, "", 0, "GPIO 138 fread failed"},
                      ReadCase{"Missing", false, "", 0, "GPIO 138 fopen failed"},
                      ReadCase{"Exactly128DigitsUnterminated", true, QByteArray(127, '0') + '1', 1, nullptr},
                      ReadCase{"OnlyTheFirst128BytesCount", true, QByteArray(128, '0') + "1\n", 0, nullptr},
                      ReadCase{"HugeNumberSaturates", true, QByteArray(40, '9'), 2147483647, nullptr}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

}  // namespace
