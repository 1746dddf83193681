// The texts with which setting lists show a value of each key type.

#include "keypadentry.h"

#include <gtest/gtest.h>

namespace {

TEST(KeypadTextTest, ToTextByKeyType)
{
    const struct {
        const char* keyType;
        int value;
        bool clampNegative;
        const char* text;
    } cases[] = {
        {"するしない", 0, false, "しない"},
        {"するしない", 1, false, "する"},
        {"するしない", -1, false, "する"},
        {"するしない", -1, true, "しない"},
        {"使用するしない", 0, false, "使用しない"},
        {"使用するしない", 2, false, "使用する"},
        {"自動手動", 0, false, "手動"},
        {"自動手動", 1, false, "自動(DHCP)"},
        {"1224", 0, false, "12H"},
        {"1224", 1, false, "24H"},
        {"音声モード", 0, false, "効果音"},
        {"音声モード", 1, false, "音声"},
        {"秒", 30, false, "30秒"},
        {"秒３桁", 120, false, "120秒"},
        {"秒3桁", 120, false, "120"},  // only the full-width digit names the seconds type
        {"分", 5, false, "5分"},
        {"分", -3, true, "0分"},
        {"パスワード", 1234, false, "001234"},
        {"パスワード", -1, false, ""},  // an unset password is no six-digit text
        {"パスワード", -1, true, "000000"},
        {"ID", 42, false, "000000042"},
        {"年月日設定", 2024, false, "2024"},
        {"年月日設定", -1, false, "--"},
        {"アドレス", 192, false, "192"},
        {"アドレスPING", -1, false, "---"},
        {"アドレス", -1, true, "0"},
        {"音量", 0, false, "なし"},
        {"音量", 1, false, "小"},
        {"音量", 2, false, "中"},
        {"音量", 3, false, "大"},
        {"音量", 4, false, "なし"},
        {"動作モード", 1, false, "標準"},
        {"動作モード", 2, false, "日替退"},
        {"動作モード", 3, false, "電気錠"},
        {"動作モード", 4, false, "日替退電気錠"},
        {"動作モード", 0, false, "標準"},
        {"時刻なし", -1, false, "なし"},
        {"時刻なし", 570, false, "09:30"},
        {"時間帯なし", -1, false, "なし"},
        {"時刻", -1, false, ""},
        {"時刻", 570, false, "09:30"},
        {"時刻設定", 0, false, "00:00"},
        {"時間帯", 1500, false, "25:00"},
        {"時間帯", -1, true, "00:00"},
        {"ポート番号", 8080, false, "8080"},
        {"ポート番号", -1, false, ""},
        {"勤務時刻", 7, false, "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3")
                         .arg(QString::fromUtf8(c.keyType))
                         .arg(c.value)
                         .arg(c.clampNegative)
                         .toStdString());
        EXPECT_EQ(KeypadEntry::toText(QString::fromUtf8(c.keyType), c.value, c.clampNegative),
                  QString::fromUtf8(c.text));
    }
}

TEST(KeypadTextTest, MinutesVolumesAndModes)
{
    EXPECT_EQ(KeypadEntry::toTextFromMinute(0), QStringLiteral("00:00"));
    EXPECT_EQ(KeypadEntry::toTextFromMinute(59), QStringLiteral("00:59"));
    EXPECT_EQ(KeypadEntry::toTextFromMinute(1439), QStringLiteral("23:59"));
    EXPECT_EQ(KeypadEntry::toTextFromMinute(6000), QStringLiteral("100:00"));
    EXPECT_EQ(KeypadEntry::toTextFromMinute(-1), QStringLiteral("--:--"));
    EXPECT_EQ(KeypadEntry::toTextFromVolume(-1), QStringLiteral("なし"));
    EXPECT_EQ(KeypadEntry::toTextFromTokeiGamen(5), QStringLiteral("標準"));
}

}  // namespace
