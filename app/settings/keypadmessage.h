#pragma once

#include <QString>

class Keypad;

// Refuses a keypad entry: the message in the keypad's value field ("エラー" for an empty
// one), the error sound at the touch volume, two seconds of blocking, then the entry as it
// was when the keypad's values were last set.
void showKeypadMessage(Keypad* keypad, const QString& message);
