#include "iccardmodule.h"

#include "dbsetting.h"
#include "soundmodule.h"

namespace {

// "音声モード" not 0: the clock-in and clock-out answers are spoken.
bool voiceMode()
{
    int mode = 0;
    DBSetting::getParamJ(QStringLiteral("音声モード"), &mode);
    return mode != 0;
}

}  // namespace

void ICCardModule::playShukkinSound()
{
    const QString sound = voiceMode() ? QStringLiteral("/VnQo/app/Sound/%1/IN.wav")
                                      : QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav");
    SoundModule::play(sound, SoundModule::cardVolume);
}

void ICCardModule::playTaikinSound()
{
    const QString sound = voiceMode() ? QStringLiteral("/VnQo/app/Sound/%1/OUT.wav")
                                      : QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav");
    SoundModule::play(sound, SoundModule::cardVolume);
}

void ICCardModule::playOKSound()
{
    SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/BUTTON.wav"), SoundModule::cardVolume);
}

void ICCardModule::playNGSound()
{
    SoundModule::play(QStringLiteral("/VnQo/app/Sound/%1/ERROR.wav"), SoundModule::cardVolume);
}
