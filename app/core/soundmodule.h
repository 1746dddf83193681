#pragma once

#include <QObject>
#include <QString>

// Sound answers, played by the outside player "aplay" in the background. Used through its
// static members only. A volume level is 0 (silent) to 3 and names the directory the sound
// files lie in ("/VnQo/app/Sound/<level>/BUTTON.wav", ERROR.wav, IN.wav, OUT.wav).
class SoundModule : public QObject {
    Q_OBJECT
public:
    explicit SoundModule(QObject* parent = nullptr);

    // Level of touch answers and of card answers; both 0 until systemVolume() has run.
    static int touchVolume;
    static int cardVolume;

    // Plays the file whose path template ("%1" for the level) is given, at a level: -1 and
    // nothing played below level 1, else 0 once the player has been started.
    static int play(QString pathTemplate, int volume);

    // Reloads both levels from the settings "タッチ音量" and "カード読取音量"; a setting that
    // cannot be read leaves its level as it was.
    static void systemVolume();

    // The error sound at the touch level.
    static void playTouchNG();
};
