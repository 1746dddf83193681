#include "fakeclock.h"
#include "messagecapture.h"
#include "recordingrunner.h"
#include "tempboardroot.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

struct VersionCase {
    const char* buildDate;
    int mode;
    const char* expected;
};

void PrintTo(const VersionCase& c, std::ostream* os)
{
    *os << c.buildDate << " mode " << c.mode;
}

class VersionString : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionString, EncodesYearMonthDayAndEdition)
{
    const VersionCase& c = GetParam();
    EXPECT_EQ(ZSystem::versionString(QLatin1String(c.buildDate), c.mode), QLatin1String(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    BuildDates, VersionString,
    ::testing::Values(VersionCase{"Sep  7 2020", ZSystem::Basic, "Qo02-0907"},
                      VersionCase{"Sep  7 2020", ZSystem::Cloud, "Qo02-0907-C"},
                      VersionCase{"Sep  7 2020", ZSystem::Merid, "Qo02-0907-M"},
                      VersionCase{"Oct 15 2021", ZSystem::Basic, "Qo02-1X15"},
                      VersionCase{"Nov 30 2023", ZSystem::Merid, "Qo02-3Y30-M"},
                      VersionCase{"Dec  1 2019", ZSystem::Cloud, "Qo02-9Z01-C"},
                      VersionCase{"Jan  9 2020", ZSystem::Basic, "Qo02-0109"},
                      VersionCase{"Feb 29 2024", ZSystem::Basic, "Qo02-4229"}));

TEST(ApplicationVersion, ComesFromTheBuildDateInCompilerFormAndTheMode)
{
    const QString date = ZSystem::buildDate();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} [ 123][0-9] [0-9]{4}$")).match(date).hasMatch())
        << date.toStdString();
    EXPECT_EQ(ZSystem::applicationVersion(), ZSystem::versionString(date, ZSystem::Basic));
    ZSystem::setMode(ZSystem::Merid);
    EXPECT_TRUE(ZSystem::applicationVersion().endsWith(QLatin1String("-M")));
    ZSystem::setMode(ZSystem::Basic);
}

struct UpdateCase {
    const char* offered;
    const char* own;
    bool newer;
};

void PrintTo(const UpdateCase& c, std::ostream* os)
{
    *os << '"' << c.offered << "\" against " << c.own;
}

class NeedUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(NeedUpdate, OnlyAStrictlyLaterVersionIsNewer)
{
    const UpdateCase& c = GetParam();
    EXPECT_EQ(ZSystem::isNewerVersion(QLatin1String(c.offered), QLatin1String(c.own)), c.newer);
}

INSTANTIATE_TEST_SUITE_P(Versions, NeedUpdate,
                         ::testing::Values(UpdateCase{"qo02-0908", "Qo02-0907", true},
                                           UpdateCase{"Qo02-0907", "Qo02-0907", false},
                                           UpdateCase{"qo02-0907", "Qo02-0907", false},
                                           UpdateCase{"Qo02-0907-C", "Qo02-0907", true},
                                           UpdateCase{"Qo02-0906-C", "Qo02-0907-C", false},
                                           UpdateCase{"Qo02-0X01", "Qo02-0930", true},
                                           UpdateCase{"", "Qo02-0907", false}));

TEST(NeedUpdate, ComparesWithTheProgramsOwnVersion)
{
    const QString own = ZSystem::applicationVersion();
    EXPECT_FALSE(ZSystem::needUpdate(own));
    EXPECT_FALSE(ZSystem::needUpdate(own.toLower()));
    EXPECT_TRUE(ZSystem::needUpdate(own + QStringLiteral("-C")));
}

class ZSystemFiles : public ::testing::Test {
protected:
    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;
    vnq::test::MessageCapture log;
};

TEST_F(ZSystemFiles, ParameterFilesFillTheLinesThatExist)
{
    QString url = "old", key = "old", cloudKey = "old";
    ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/var/cloud.param"), "https://c.example/ws\n"));
    EXPECT_TRUE(ZSystem::getCloudInfo(&url, &key, &cloudKey));
    EXPECT_EQ(url, QStringLiteral("https://c.example/ws"));
    EXPECT_TRUE(key.isEmpty());
    EXPECT_TRUE(cloudKey.isEmpty());

    ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/var/merid.param"), "https://m.example/\r\nキー1\nunused\n"));
    EXPECT_TRUE(ZSystem::getMeridInfo(&url, &key));
    EXPECT_EQ(url, QStringLiteral("https://m.example/"));
    EXPECT_EQ(key, QStringLiteral("キー1"));
}

TEST_F(ZSystemFiles, MissingParameterFileGivesFalseAndEmptyOutputs)
{
    QString url = "old", key = "old", cloudKey = "old";
    EXPECT_FALSE(ZSystem::getCloudInfo(&url, &key, &cloudKey));
    EXPECT_TRUE(url.isEmpty() && key.isEmpty() && cloudKey.isEmpty());
    EXPECT_FALSE(ZSystem::getMeridInfo(&url, &key));
}

struct SerialCase {
    const char* name;
    bool started;
    QByteArray output;
    QString expected;
    bool logsError;
};

void PrintTo(const SerialCase& c, std::ostream* os)
{
    *os << c.name;
}

class SerialNumber : public ZSystemFiles, public ::testing::WithParamInterface<SerialCase> {};

TEST_P(SerialNumber, ReadsTermidThroughCat)
{
    const SerialCase& c = GetParam();
    const QString command = QStringLiteral("cat ") + board.path(QStringLiteral("/mnt/spi_user/termid"));
    if (!c.started)
        runner.scriptNotStarted(command);
    else
        runner.script(command, c.output.isEmpty() ? 1 : 0, c.output);

    EXPECT_EQ(ZSystem::termSerialNumber(), c.expected);
    ASSERT_EQ(runner.calls().size(), 1);
    EXPECT_EQ(runner.calls().first().form, vnq::test::RecordingRunner::Form::Run);
    EXPECT_EQ(runner.commands().first(), command);
    EXPECT_EQ(log.matching(QStringLiteral("シリアルナンバーが見つかりません:")).size(), c.logsError ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Termid, SerialNumber,
    ::testing::Values(SerialCase{"Plain", true, "VQ-001234\n", QStringLiteral("VQ-001234"), false},
                      SerialCase{"WhiteSpaceSimplified", true, "  VQ 00\t12 \n\n", QStringLiteral("VQ 00 12"), false},
                      SerialCase{"OnlyALineFeed", true, "\n", QString(""), false},
                      SerialCase{"MissingFile", true, "", QStringLiteral("未設定"), true},
                      SerialCase{"CatNotStarted", false, "", QStringLiteral("未設定"), true}),
    [](const ::testing::TestParamInfo<SerialCase>& info) { return std::string(info.param.name); });

TEST_F(ZSystemFiles, WebServiceLockHoldsTheTimeAndUnlockAlwaysSucceeds)
{
    vnq::test::FakeClock clock(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)));
    ASSERT_TRUE(board.makeDir(QStringLiteral("/tmp")));

    EXPECT_TRUE(ZSystem::lockWebSerive());
    EXPECT_EQ(board.readFile(QStringLiteral("/tmp/webservice.lock")), QByteArray("2024/03/05 07:08:09"));
    EXPECT_EQ(log.matching(QStringLiteral("webservice.lock 作成")).size(), 1);

    EXPECT_TRUE(ZSystem::unlockWebSerive());
    EXPECT_FALSE(board.exists(QStringLiteral("/tmp/webservice.lock")));
    EXPECT_TRUE(ZSystem::unlockWebSerive());
    EXPECT_EQ(log.matching(QStringLiteral("webservice.lock 削除")).size(), 2);
}

TEST_F(ZSystemFiles, WebServiceLockFailsSilentlyWhenItCannotBeCreated)
{
    EXPECT_FALSE(ZSystem::lockWebSerive());  // no /tmp under the board root
    EXPECT_TRUE(log.messages().isEmpty());
}

TEST_F(ZSystemFiles, StoragePresenceNeedsBothFlashDirectories)
{
    EXPECT_FALSE(ZSystem::mountUserSpiFlush());
    EXPECT_FALSE(ZSystem::mountSystemUsbmem());
    ASSERT_TRUE(board.makeDir(QStringLiteral("/mnt/spi_user/DB")));
    EXPECT_FALSE(ZSystem::mountUserSpiFlush());
    ASSERT_TRUE(board.makeDir(QStringLiteral("/mnt/spi_user/Log")));
    EXPECT_TRUE(ZSystem::mountUserSpiFlush());
    ASSERT_TRUE(board.writeFile(QStringLiteral("/dev/sda"), ""));
    EXPECT_TRUE(ZSystem::mountSystemUsbmem());
}

TEST_F(ZSystemFiles, ConstructionWritesTheVersionStatusFile)
{
    ASSERT_TRUE(board.makeDir(QStringLiteral("/var/tmp")));
    ZSystem z;
    EXPECT_EQ(board.readFile(QStringLiteral("/var/tmp/vantroqo.status")), ZSystem::applicationVersion().toUtf8());
    EXPECT_TRUE(log.matching(QStringLiteral("システムバージョン書き出し失敗")).isEmpty());
}

TEST_F(ZSystemFiles, UnwritableStatusFileIsLoggedAndConstructionGoesOn)
{
    ZSystem z;  // no /var/tmp under the board root
    EXPECT_EQ(log.matching(QStringLiteral("<ERR>")).filter(QStringLiteral("システムバージョン書き出し失敗")).size(), 1);
    EXPECT_EQ(runner.commands().size(), 2);  // the two inputs were still set up
}

}  // namespace
