#include "edition.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <vector>

namespace {

struct EditionCase {
    const char* name;
    std::vector<const char*> arguments;  // after the program name
    ZSystem::_zmode expected;
};

void PrintTo(const EditionCase& c, std::ostream* os)
{
    *os << c.name;
}

class Edition : public ::testing::TestWithParam<EditionCase> {};

TEST_P(Edition, FirstArgumentSelectsItOverSixCharacters)
{
    const EditionCase& c = GetParam();
    std::vector<const char*> argv{"VantroQo"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    EXPECT_EQ(editionFromCommandLine(int(argv.size()), argv.data()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, Edition,
    ::testing::Values(EditionCase{"Basic", {"-Basic"}, ZSystem::Basic},
                      EditionCase{"Cloud", {"-Cloud"}, ZSystem::Cloud},
                      EditionCase{"CloudPrefix", {"-Cloudy"}, ZSystem::Cloud},
                      EditionCase{"Merid", {"-Merid"}, ZSystem::Merid},
                      EditionCase{"CaseMatters", {"-basic"}, ZSystem::Basic},
                      EditionCase{"MeridCaseMatters", {"-merid"}, ZSystem::Basic},
                      EditionCase{"ShortWord", {"-Clo"}, ZSystem::Basic},
                      EditionCase{"OnlyTheFirstCounts", {"-x", "-Cloud"}, ZSystem::Basic},
                      EditionCase{"None", {}, ZSystem::Basic}),
    [](const ::testing::TestParamInfo<EditionCase>& info) { return std::string(info.param.name); });

// The real program on a temporary board: its outside commands are the stub board scripts
// and, first on PATH, the stub system commands.
TEST(VantroQoStartUp, WritesTheVersionWithoutEditionSuffixAndLogsIt)
{
    vnq::test::TempBoardRoot board;
    ASSERT_TRUE(board.makeDir(QStringLiteral("/var/tmp")));
    ASSERT_TRUE(board.makeDir(QStringLiteral("/var/log")));
    ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/bin")));
    const QString source = qEnvironmentVariable("VNQ_SOURCE_DIR");
    for (const char* script : {"vnq_gpio", "vnq_gpio_value"}) {
        ASSERT_TRUE(QFile::copy(source + "/sim/board/VnQo/bin/" + script,
                                board.path(QStringLiteral("/VnQo/bin/") + script)));
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VNQ_ROOT"), board.root());
    env.insert(QStringLiteral("PATH"), source + "/sim/bin:" + env.value(QStringLiteral("PATH")));
    QProcess terminal;
    terminal.setProcessEnvironment(env);
    terminal.setReadChannel(QProcess::StandardError);
    terminal.start(QStringLiteral(VNQ_VANTROQO), {QStringLiteral("-Cloud")});
    ASSERT_TRUE(terminal.waitForStarted(10000));

    QByteArray err;
    while (!err.contains("アプリ:") && terminal.waitForReadyRead(20000))
        err += terminal.readAllStandardError();
    // The cloud edition's start-up blocks (network waits) before the event loop could take a
    // polite end; what is checked here is written before it.
    terminal.kill();
    ASSERT_TRUE(terminal.waitForFinished(10000));
    err += terminal.readAllStandardError();

    const QByteArray status = board.readFile(QStringLiteral("/var/tmp/vantroqo.status"));
    EXPECT_TRUE(status.startsWith("Qo02-")) << status.toStdString();
    EXPECT_FALSE(status.endsWith("-C"));
    EXPECT_TRUE(err.contains("<IFO> int main(int, char**) [")) << err.toStdString();
    EXPECT_TRUE(err.contains("]: アプリ: \"" + status + "\" , シリアル: \"未設定\"")) << err.toStdString();
    EXPECT_TRUE(board.exists(QStringLiteral("/sys/class/gpio/gpio136/value")));
}

}  // namespace
