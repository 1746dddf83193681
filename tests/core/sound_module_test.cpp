#include "dbsetting.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "soundmodule.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

QString aplay(const vnq::test::TempBoardRoot& board, int level, const char* file)
{
    return QStringLiteral("nice -n -20 aplay %1/VnQo/app/Sound/%2/%3 > /dev/null 2>&1 &")
        .arg(board.root())
        .arg(level)
        .arg(QLatin1String(file));
}

TEST(SoundModulePlay, TheLevelNamesTheDirectoryAndLevelZeroPlaysNothing)
{
    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;

    for (const int level : {0, -1})
        EXPECT_EQ(SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav"), level), -1);
    EXPECT_TRUE(runner.calls().isEmpty());

    EXPECT_EQ(SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav"), 2), 0);
    ASSERT_EQ(runner.calls().size(), 1);
    EXPECT_EQ(runner.calls().at(0).form, vnq::test::RecordingRunner::Form::Shell);
    EXPECT_EQ(runner.calls().at(0).command, aplay(board, 2, "BUTTON.wav"));
}

TEST(SoundModuleVolumes, LoadedFromTheSettingsAndKeptWhenUnreadable)
{
    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;

    // Nothing sounds before the levels are loaded.
    SoundModule::playTouchNG();
    EXPECT_TRUE(runner.calls().isEmpty());

    ASSERT_TRUE(vnq::test::installShippedDatabases(board));
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("タッチ音量"), 3));
    ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("カード読取音量"), 1));
    SoundModule::systemVolume();
    EXPECT_EQ(SoundModule::touchVolume, 3);
    EXPECT_EQ(SoundModule::cardVolume, 1);
    SoundModule::playTouchNG();
    EXPECT_EQ(runner.commands(), QStringList{aplay(board, 3, "ERROR.wav")});

    ASSERT_TRUE(QFile::remove(board.path(QStringLiteral("/VnQo/app/DB/setting.db"))));
    SoundModule::systemVolume();
    EXPECT_EQ(SoundModule::touchVolume, 3);
    EXPECT_EQ(SoundModule::cardVolume, 1);
}

}  // namespace
