#include "keypadlayout.h"

#include "zsystem.h"

namespace keypadlayout {

namespace {

bool isYesNo(const QString& t)
{
    return t == QStringLiteral("するしない") || t == QStringLiteral("使用するしない")
        || t == QStringLiteral("自動手動");
}

KeypadShape key(const char* id, short x, short y, short w, short h)
{
    return KeypadShape{QString::fromLatin1(id), QString(), x, y, w, h};
}

// The twelve 35x35 digit keys in rows of three, pitch 40, starting at column x0.
QVector<KeypadShape> digitKeys(short x0)
{
    static const char* const ids[4][3] = {
        {"Sel3x4_7", "Sel3x4_8", "Sel3x4_9"},
        {"Sel3x4_4", "Sel3x4_5", "Sel3x4_6"},
        {"Sel3x4_1", "Sel3x4_2", "Sel3x4_3"},
        {"Sel3x4_0", "Sel3x4_F", "Sel3x4_C"},
    };
    QVector<KeypadShape> keys;
    for (short row = 0; row < 4; ++row) {
        for (short col = 0; col < 3; ++col)
            keys.append(key(ids[row][col], short(x0 + 40 * col), short(101 + 40 * row), 35, 35));
    }
    return keys;
}

// "Cancel" and "_BG_Enter" to the right of the choice keys.
QVector<KeypadShape> choiceCommands()
{
    return {key("Cancel", 316, 112, 43, 68), key("_BG_Enter", 316, 186, 43, 68)};
}

// Four 93x68 choice keys, two by two.
QVector<KeypadShape> fourChoices(const char* a, const char* b, const char* c, const char* d)
{
    return QVector<KeypadShape>{key(a, 120, 112, 93, 68), key(b, 218, 112, 93, 68),
                                key(c, 120, 186, 93, 68), key(d, 218, 186, 93, 68)}
        + choiceCommands();
}

// Two 190x68 choice keys, one above the other.
QVector<KeypadShape> twoChoices(const char* upper, const char* lower)
{
    return QVector<KeypadShape>{key(upper, 120, 112, 190, 68), key(lower, 120, 186, 190, 68)}
        + choiceCommands();
}

}  // namespace

KeypadLayout forKeyType(const QString& keyType, int edition)
{
    if (isYesNo(keyType))
        return KeypadLayout::Keypad2;
    if (keyType == QStringLiteral("1224") || keyType == QStringLiteral("音声モード"))
        return KeypadLayout::Keypad2_1224;
    if (keyType == QStringLiteral("アドレス"))
        return KeypadLayout::Keypad3x4IPAddr;
    if (keyType == QStringLiteral("アドレスPING"))
        return KeypadLayout::Keypad3x4IPAddrPing;
    if (keyType == QStringLiteral("音量"))
        return KeypadLayout::Keypad4_SE;
    if (keyType == QStringLiteral("動作モード")) {
        return edition == ZSystem::Basic ? KeypadLayout::Keypad4_TermMode
                                         : KeypadLayout::Keypad2_TermMode;
    }
    if (keyType == QStringLiteral("スタート"))
        return KeypadLayout::Keypad1_Start;
    return KeypadLayout::Keypad3x4;
}

bool isNumeric(KeypadLayout layout)
{
    return layout == KeypadLayout::Keypad3x4 || layout == KeypadLayout::Keypad3x4IPAddr
        || layout == KeypadLayout::Keypad3x4IPAddrPing;
}

QVector<KeypadShape> shapes(KeypadLayout layout)
{
    switch (layout) {
    case KeypadLayout::Keypad3x4:
        return digitKeys(159)
            + QVector<KeypadShape>{key("Cancel", 276, 101, 44, 75), key("_BG_Enter", 276, 181, 44, 75)};
    case KeypadLayout::Keypad3x4IPAddr:
        return digitKeys(144)
            + QVector<KeypadShape>{key("Cancel", 261, 141, 75, 35), key("Delete", 261, 181, 75, 35),
                                   key("_BG_Enter", 261, 221, 75, 35)};
    case KeypadLayout::Keypad3x4IPAddrPing:
        return digitKeys(144)
            + QVector<KeypadShape>{key("Ping", 261, 101, 75, 35), key("Cancel", 261, 141, 75, 35),
                                   key("Delete", 261, 181, 75, 35), key("_BG_Enter", 261, 221, 75, 35)};
    case KeypadLayout::Keypad4_SE:
        return fourChoices("_BG_Sel4_0", "_BG_Sel4_1", "_BG_Sel4_2", "_BG_Sel4_3");
    case KeypadLayout::Keypad4_TermMode:
        return fourChoices("Sel4_1", "Sel4_2", "Sel4_3", "Sel4_4");
    case KeypadLayout::Keypad4:
        return fourChoices("Sel4_0", "Sel4_1", "Sel4_2", "Sel4_3");
    case KeypadLayout::Keypad2_TermMode:
        return twoChoices("Sel4_1", "Sel4_2");
    case KeypadLayout::Keypad2_1224:
        return twoChoices("Sel2_0", "Sel2_1");
    case KeypadLayout::Keypad2:
        return twoChoices("Sel2_1", "Sel2_0");
    case KeypadLayout::Keypad1_Start:
        return {key("Start", 133, 125, 192, 68)};
    }
    return {};
}

QString imagePath(const QString& keyType, int edition)
{
    QString suffix = QStringLiteral("01");
    if (keyType == QStringLiteral("するしない"))
        suffix = QStringLiteral("03");
    else if (keyType == QStringLiteral("使用するしない"))
        suffix = QStringLiteral("03a");
    else if (keyType == QStringLiteral("自動手動"))
        suffix = QStringLiteral("03b");
    else if (keyType == QStringLiteral("1224"))
        suffix = QStringLiteral("05");
    else if (keyType == QStringLiteral("アドレス"))
        suffix = QStringLiteral("07_2");
    else if (keyType == QStringLiteral("アドレスPING"))
        suffix = QStringLiteral("07");
    else if (keyType == QStringLiteral("音量"))
        suffix = QStringLiteral("02");
    else if (keyType == QStringLiteral("音声モード"))
        suffix = QStringLiteral("04a");
    else if (keyType == QStringLiteral("動作モード"))
        suffix = edition == ZSystem::Basic ? QStringLiteral("06") : QStringLiteral("06c");
    return QStringLiteral("../Parts/06_テンキー画面/テンキー画面%1.png").arg(suffix);
}

}  // namespace keypadlayout
