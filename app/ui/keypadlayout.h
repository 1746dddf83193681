#pragma once

#include <QString>
#include <QVector>

// One key of a keypad: the id its touch area reports, a label drawn on it (empty in every
// layout: the key faces are part of the keypad's picture), and its position relative to the
// keypad's origin and its size in pixels.
struct KeypadShape {
    QString id;
    QString label;
    short x;
    short y;
    short w;
    short h;
};

// The key arrangements of a keypad, named after the functions that draw them.
enum class KeypadLayout {
    Keypad3x4,            // digits, "F", "C", "Cancel" and "_BG_Enter"
    Keypad3x4IPAddr,      // digits, "Cancel", "Delete", "_BG_Enter"
    Keypad3x4IPAddrPing,  // the same with "Ping"
    Keypad4_SE,           // volume levels 0-3, each previewed at its own level
    Keypad4_TermMode,     // operation modes 1-4 (basic edition)
    Keypad2_TermMode,     // operation modes 1-2 (cloud and Merid editions)
    Keypad4,              // choices 0-3; no key type uses it
    Keypad2,              // yes (1) above, no (0) below
    Keypad2_1224,         // 0 above, 1 below
    Keypad1_Start,        // one "Start" key
};

namespace keypadlayout {

// The layout a key type shows in an edition (ZSystem::mode()).
KeypadLayout forKeyType(const QString& keyType, int edition);

// Whether the layout is one of the digit pads, whose value field uses the smaller font.
bool isNumeric(KeypadLayout layout);

// The keys of a layout in drawing order.
QVector<KeypadShape> shapes(KeypadLayout layout);

// The keypad's background picture for a key type in an edition.
QString imagePath(const QString& keyType, int edition);

}  // namespace keypadlayout
