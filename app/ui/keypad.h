#pragma once

#include "keypadentry.h"
#include "keypadlayout.h"
#include "labelitemlist.h"

#include <QList>
#include <QObject>
#include <QString>

class MyLabel;

// The on-screen keypad of the operation, settings and network screens: it edits one setting
// value (or a time band, a date, an address) of a key type, draws itself through the MyLabel
// screen client into the screen its owner builds, and takes the touches of its own keys: the
// digit, "F", "C" and choice keys, whose ids begin with "Sel" (the volume keys "_BG_Sel4_0"
// to "_BG_Sel4_3" also preview their level). The command keys "Cancel", "_BG_Enter",
// "Delete", "Ping" and "Start" are left to the owner, which takes them from MyLabel::clicked
// itself, reads the result with getValues() and stores it.
//
// Owners construct it with themselves as parent, call setBackground() and setForeground()
// inside their own screen drawing, and deactivate it while a message window covers it.
class Keypad : public QObject, public KeypadEntry {
    Q_OBJECT
public:
    using KeypadShape = ::KeypadShape;

    Keypad(QObject* parent, short x, short y, QString keyType, QList<int> values, bool imageEnabled,
           QString title);
    ~Keypad() override;

    // Takes the screen client, becomes active with the key type at the origin (x, y), makes
    // the entry fresh from the first value and starts taking key touches.
    void set(short x, short y, QString keyType, bool imageEnabled);
    void setPositionAndKeyType(short x, short y, QString keyType);

    // Keys are drawn and touches taken only while active.
    void activate();
    void deactivate();
    bool active() const;

    // The picture, title and (while active) keys; then the value field.
    void setBackground();
    void setForeground();
    // Redraws the value field over the current screen and sends the update.
    void updateScreen();

    // One key as a touch area at the origin plus its position.
    void setBgKeypad(KeypadShape shape);
    // A picture at a key's position, with no touch area.
    void setFgKeypadMask(KeypadShape shape, QString image);

    // A message shown once in the value field in place of the entry, then cleared.
    QString errorString;

signals:
    // Declared for owners that want the keypad's commands; the commands reach them through
    // MyLabel::clicked instead, so it is not emitted.
    void clickedCommandLabel(MyLabel* obj, QString id);

private slots:
    void clickMyLabel(MyLabel* obj, QString id);

private:
    void updateScreenAndCalc(const QString& key);
    void setKeypadImage();
    void setKeypadTitle();
    void setKeypadLabel();
    void setKeypadValue();
    void playErrorSound() override;
    // Holds MyLabel's secret input while a password keypad is active.
    void updateSecretInput();

    MyLabel* myLabel = nullptr;
    // The one record refilled for every item the keypad draws.
    LabelItemList item;
    bool isActive = false;
    bool holdsSecretInput = false;
    bool imageEnabled = false;
    // Set when the layout is a digit pad: the value field uses the smaller font.
    bool numericLayout = false;
    short originX = 0;
    short originY = 0;
    QString title;
    // Moved by "Up" and "Down" keys, which no layout has yet.
    int pageIndex = 0;
    int pageCount = 0;
};
