// The key layouts of every key type in every edition, as data.

#include "keypadlayout.h"
#include "zsystem.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// "id x,y wxh" of every key in drawing order.
QString describe(const QVector<KeypadShape>& keys)
{
    QStringList parts;
    for (const KeypadShape& k : keys)
        parts << QStringLiteral("%1 %2,%3 %4x%5").arg(k.id).arg(k.x).arg(k.y).arg(k.w).arg(k.h);
    return parts.join(QStringLiteral("; "));
}

const QString digits159 = QStringLiteral(
    "Sel3x4_7 159,101 35x35; Sel3x4_8 199,101 35x35; Sel3x4_9 239,101 35x35; "
    "Sel3x4_4 159,141 35x35; Sel3x4_5 199,141 35x35; Sel3x4_6 239,141 35x35; "
    "Sel3x4_1 159,181 35x35; Sel3x4_2 199,181 35x35; Sel3x4_3 239,181 35x35; "
    "Sel3x4_0 159,221 35x35; Sel3x4_F 199,221 35x35; Sel3x4_C 239,221 35x35");
const QString digits144 = QStringLiteral(
    "Sel3x4_7 144,101 35x35; Sel3x4_8 184,101 35x35; Sel3x4_9 224,101 35x35; "
    "Sel3x4_4 144,141 35x35; Sel3x4_5 184,141 35x35; Sel3x4_6 224,141 35x35; "
    "Sel3x4_1 144,181 35x35; Sel3x4_2 184,181 35x35; Sel3x4_3 224,181 35x35; "
    "Sel3x4_0 144,221 35x35; Sel3x4_F 184,221 35x35; Sel3x4_C 224,221 35x35");
const QString choiceCommands = QStringLiteral("; Cancel 316,112 43x68; _BG_Enter 316,186 43x68");

TEST(KeypadLayoutTest, KeysOfEveryLayout)
{
    const struct {
        KeypadLayout layout;
        QString keys;
        bool numeric;
    } cases[] = {
        {KeypadLayout::Keypad3x4,
         digits159 + QStringLiteral("; Cancel 276,101 44x75; _BG_Enter 276,181 44x75"), true},
        {KeypadLayout::Keypad3x4IPAddr,
         digits144 + QStringLiteral("; Cancel 261,141 75x35; Delete 261,181 75x35; "
                                    "_BG_Enter 261,221 75x35"), true},
        {KeypadLayout::Keypad3x4IPAddrPing,
         digits144 + QStringLiteral("; Ping 261,101 75x35; Cancel 261,141 75x35; Delete 261,181 75x35; "
                                    "_BG_Enter 261,221 75x35"), true},
        {KeypadLayout::Keypad4_SE,
         QStringLiteral("_BG_Sel4_0 120,112 93x68; _BG_Sel4_1 218,112 93x68; _BG_Sel4_2 120,186 93x68; "
                        "_BG_Sel4_3 218,186 93x68") + choiceCommands, false},
        {KeypadLayout::Keypad4_TermMode,
         QStringLiteral("Sel4_1 120,112 93x68; Sel4_2 218,112 93x68; Sel4_3 120,186 93x68; "
                        "Sel4_4 218,186 93x68") + choiceCommands, false},
        {KeypadLayout::Keypad4,
         QStringLiteral("Sel4_0 120,112 93x68; Sel4_1 218,112 93x68; Sel4_2 120,186 93x68; "
                        "Sel4_3 218,186 93x68") + choiceCommands, false},
        {KeypadLayout::Keypad2_TermMode,
         QStringLiteral("Sel4_1 120,112 190x68; Sel4_2 120,186 190x68") + choiceCommands, false},
        {KeypadLayout::Keypad2_1224,
         QStringLiteral("Sel2_0 120,112 190x68; Sel2_1 120,186 190x68") + choiceCommands, false},
        {KeypadLayout::Keypad2,
         QStringLiteral("Sel2_1 120,112 190x68; Sel2_0 120,186 190x68") + choiceCommands, false},
        {KeypadLayout::Keypad1_Start, QStringLiteral("Start 133,125 192x68"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.layout));
        const QVector<KeypadShape> keys = keypadlayout::shapes(c.layout);
        EXPECT_EQ(describe(keys), c.keys);
        EXPECT_EQ(keypadlayout::isNumeric(c.layout), c.numeric);
        for (const KeypadShape& k : keys)
            EXPECT_TRUE(k.label.isEmpty());  // the key faces are part of the picture
    }
}

TEST(KeypadLayoutTest, LayoutAndPictureOfEveryKeyTypeAndEdition)
{
    const int basic = ZSystem::Basic, cloud = ZSystem::Cloud, merid = ZSystem::Merid;
    const struct {
        const char* keyType;
        int edition;
        KeypadLayout layout;
        const char* picture;
    } cases[] = {
        {"時刻", basic, KeypadLayout::Keypad3x4, "01"},
        {"時刻設定", cloud, KeypadLayout::Keypad3x4, "01"},
        {"時刻なし", basic, KeypadLayout::Keypad3x4, "01"},
        {"時間帯", basic, KeypadLayout::Keypad3x4, "01"},
        {"時間帯なし", merid, KeypadLayout::Keypad3x4, "01"},
        {"年月日設定", basic, KeypadLayout::Keypad3x4, "01"},
        {"アドレス", basic, KeypadLayout::Keypad3x4IPAddr, "07_2"},
        {"アドレスPING", cloud, KeypadLayout::Keypad3x4IPAddrPing, "07"},
        {"分", basic, KeypadLayout::Keypad3x4, "01"},
        {"秒", basic, KeypadLayout::Keypad3x4, "01"},
        {"秒３桁", basic, KeypadLayout::Keypad3x4, "01"},
        {"ポート番号", basic, KeypadLayout::Keypad3x4, "01"},
        {"パスワード", basic, KeypadLayout::Keypad3x4, "01"},
        {"パスワード******", cloud, KeypadLayout::Keypad3x4, "01"},
        {"パスワード********", basic, KeypadLayout::Keypad3x4, "01"},
        {"ID", merid, KeypadLayout::Keypad3x4, "01"},
        {"音量", basic, KeypadLayout::Keypad4_SE, "02"},
        {"動作モード", basic, KeypadLayout::Keypad4_TermMode, "06"},
        {"動作モード", cloud, KeypadLayout::Keypad2_TermMode, "06c"},
        {"動作モード", merid, KeypadLayout::Keypad2_TermMode, "06c"},
        {"音声モード", basic, KeypadLayout::Keypad2_1224, "04a"},
        {"1224", basic, KeypadLayout::Keypad2_1224, "05"},
        {"するしない", basic, KeypadLayout::Keypad2, "03"},
        {"使用するしない", cloud, KeypadLayout::Keypad2, "03a"},
        {"自動手動", merid, KeypadLayout::Keypad2, "03b"},
        {"スタート", basic, KeypadLayout::Keypad1_Start, "01"},
        {"勤務時刻", basic, KeypadLayout::Keypad3x4, "01"},
        {"何か", cloud, KeypadLayout::Keypad3x4, "01"},
    };
    for (const auto& c : cases) {
        const QString keyType = QString::fromUtf8(c.keyType);
        SCOPED_TRACE(QStringLiteral("%1 edition %2").arg(keyType).arg(c.edition).toStdString());
        EXPECT_EQ(keypadlayout::forKeyType(keyType, c.edition), c.layout);
        const QString picture = QString::fromUtf8(c.picture);
        EXPECT_EQ(keypadlayout::imagePath(keyType, c.edition),
                  QStringLiteral("../Parts/06_テンキー画面/テンキー画面%1.png").arg(picture));
    }
}

}  // namespace
