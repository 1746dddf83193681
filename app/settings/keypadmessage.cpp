#include "keypadmessage.h"

#include "keypad.h"
#include "platform/clock.h"
#include "soundmodule.h"

void showKeypadMessage(Keypad* keypad, const QString& message)
{
    keypad->text = QStringLiteral("-2");
    keypad->errorString = message;
    keypad->updateScreen();
    SoundModule::playTouchNG();
    vnq::clock().sleepMs(2000);
    keypad->text = keypad->initialText;
    keypad->editing = false;
    keypad->updateScreen();
}
