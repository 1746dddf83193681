#pragma once

#include "fullkeyboardkeys.h"
#include "labelitemlist.h"

#include <QString>

#include <functional>

class Form4Settei0ShosaiBase2;
class MyLabel;

// The full on-screen keyboard of the screens that take free text (the proxy user id and
// password, the wireless SSID and key): three key pages drawn as pictures with bare touch
// areas over them, the input line with its cursor mark, and the title line. It types
// printable ASCII only and never more than its maximum length.
//
// The host screen owns one and keeps its view number in it: 0 is the host's main view, the
// three page values the host chose are the keyboard pages, any other value a view of the
// host's own. While a keyboard page is shown the host draws the page (setBgShownPage) and
// the input line (setFgValue) in place of its own items, and hands the "Full" and
// "Mode_Pad_" touches over (clickKey, clickPadKey). Enter and Cancel call the host's hooks.
class FullKeyboard {
public:
    struct Pages {
        int lower;
        int upper;
        int symbols;
    };

    FullKeyboard(Form4Settei0ShosaiBase2* screen, Pages pages, std::function<void()> save,
                 std::function<void()> cancel);
    ~FullKeyboard();
    FullKeyboard(const FullKeyboard&) = delete;
    FullKeyboard& operator=(const FullKeyboard&) = delete;

    int page() const { return view; }
    // Changes the view without drawing.
    void setPage(int page);
    bool isShown() const;

    // Shows the lower-case page on text with the cursor after its last character. With
    // secret on, touch log lines leave the typed characters out while the keyboard is shown.
    void open(const QString& text, int maxLength, bool secret);

    const QString& buffer() const { return editBuffer; }
    int cursor() const { return cursorIndex; }

    // One key (or a host's button) as a bare touch area at the origin plus its position.
    void setBgKeypad(int x0, int y0, const KeypadShape& shape);
    void setBgKeypadFull(int x0, int y0);
    void setBgKeypadFullUpper(int x0, int y0);
    void setBgKeypadFullSymbol(int x0, int y0);
    // The page shown now, at (0, 0).
    void setBgShownPage();
    // White 22 px at (53, 14); nothing for an empty title.
    void setBgKeypadTitle(const QString& title);
    // The text with the cursor mark: one 24 px line up to 27 characters, else two 14 px lines.
    void setFgValue(int x0, int y0, const QString& text);

    // Each edits at the cursor, then redraws the foreground, also when nothing changed.
    void updateScreenAndInput(const QString& s);
    void updateScreenAndDelete();
    void updateScreenAndLeft();
    void updateScreenAndRight();
    // Each shows its page and redraws the whole screen; buffer and cursor stay.
    void updateScreenInputLower();
    void updateScreenInputUpper();
    void updateScreenInputSymbol();

    // "Mode_Pad_Low", "Mode_Pad_Up" or "Mode_Pad_Sym": false for any other id.
    bool clickPadKey(const QString& id);
    // A touched id beginning with "Full".
    void clickKey(const QString& id);

private:
    void setBgPage(int x0, int y0, fullkeyboardkeys::Layout layout);
    void showPage(int page);
    void updateSecretInput();

    Form4Settei0ShosaiBase2* screen;
    MyLabel* label;
    LabelItemList item;
    const Pages pages;
    const std::function<void()> save;
    const std::function<void()> cancel;
    int view = 0;
    QString editBuffer;
    int cursorIndex = 0;
    int maxLength = 0;
    bool secret = false;
    bool holdsSecretInput = false;
};
