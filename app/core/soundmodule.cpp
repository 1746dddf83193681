#include "soundmodule.h"

#include "commandquote.h"
#include "dbsetting.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"

int SoundModule::touchVolume = 0;
int SoundModule::cardVolume = 0;

SoundModule::SoundModule(QObject* parent)
    : QObject(parent)
{
}

int SoundModule::play(QString pathTemplate, int volume)
{
    if (volume < 1)
        return -1;
    const QString file = vnq::shellWord(vnq::boardPath(pathTemplate.arg(volume)));
    vnq::commandRunner().shell(QStringLiteral("nice -n -20 aplay %1 > /dev/null 2>&1 &").arg(file));
    return 0;
}

void SoundModule::systemVolume()
{
    DBSetting::getParamJ(QStringLiteral("タッチ音量"), &touchVolume);
    DBSetting::getParamJ(QStringLiteral("カード読取音量"), &cardVolume);
}

void SoundModule::playTouchNG()
{
    play(QStringLiteral("/VnQo/app/Sound/%1/ERROR.wav"), touchVolume);
}
