#pragma once

#include "form4settei0menubase.h"

class Keypad;

// A menu with a six-digit code keypad drawn over a new screen (the settings menu's password,
// the administrator menu's code), which leaves for the clock on Back.
class CodeKeypadMenu : public Form4Settei0MenuBase {
    Q_OBJECT
public:
    CodeKeypadMenu(QObject* parent, int number);
    ~CodeKeypadMenu() override;

    // Back to the clock, then the file systems are flushed.
    void moveToBack() override;

    void activate();
    void activateKeypad();

protected:
    // The six-digit keypad "パスワード入力", hidden until drawKeypad.
    void createKeypad();
    // The keypad over a new screen with an empty entry, kept for the partial updates.
    void drawKeypad();
    // The menu again with its rows taking touches.
    void closeKeypad();
    // The typed code, or -1 unless exactly six digits were typed.
    int typedCode() const;
    bool entryTooShort() const;
    // Plays the confirmation sound and asks the host for the menu or page.
    void openAfterEntry(bool menu, int number);
    // The entry refused with the message ("エラー" for an empty one).
    void refuseEntry(const QString& message);

    Keypad* keypad = nullptr;
};
