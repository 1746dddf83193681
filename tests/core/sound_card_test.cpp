#include "dbsetting.h"
#include "iccardmodule.h"
#include "recordingrunner.h"
#include "shippeddatabases.h"
#include "soundmodule.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

namespace {

// The file each card answer plays, by the voice setting "音声モード" (-1: not readable).
struct VoiceCase {
    int voiceMode;
    const char* shukkin;
    const char* taikin;
};

void PrintTo(const VoiceCase& c, std::ostream* os)
{
    *os << "voice mode " << c.voiceMode;
}

class CardSounds : public ::testing::TestWithParam<VoiceCase> {};

TEST_P(CardSounds, VoiceModeChoosesTheClockInAndClockOutFiles)
{
    const VoiceCase& c = GetParam();
    vnq::test::TempBoardRoot board;
    vnq::test::RecordingRunner runner;
    if (c.voiceMode >= 0) {
        ASSERT_TRUE(vnq::test::installShippedDatabases(board));
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("音声モード"), c.voiceMode));
    }
    SoundModule::cardVolume = 2;
    SoundModule::touchVolume = 1;

    ICCardModule::playShukkinSound();
    ICCardModule::playTaikinSound();
    ICCardModule::playOKSound();
    ICCardModule::playNGSound();

    const auto aplay = [&](const char* file) {
        return QStringLiteral("nice -n -20 aplay %1/VnQo/app/Sound/2/%2 > /dev/null 2>&1 &")
            .arg(board.root(), QLatin1String(file));
    };
    EXPECT_EQ(runner.commands(),
              (QStringList{aplay(c.shukkin), aplay(c.taikin), aplay("BUTTON.wav"), aplay("ERROR.wav")}));

    // Card answers are silent at card level 0, whatever the touch level.
    runner.clear();
    SoundModule::cardVolume = 0;
    ICCardModule::playShukkinSound();
    ICCardModule::playNGSound();
    EXPECT_TRUE(runner.calls().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(VoiceModes, CardSounds,
                         ::testing::Values(VoiceCase{1, "IN.wav", "OUT.wav"},
                                           VoiceCase{0, "BUTTON.wav", "BUTTON.wav"},
                                           VoiceCase{-1, "BUTTON.wav", "BUTTON.wav"}));

}  // namespace
