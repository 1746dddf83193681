// Typing on a keypad, one table per family of key types: (key type, owner's values, keys
// typed) gives (value field text, values taken, number of error sounds).

#include "keypadentry.h"

#include "fakeclock.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>

namespace {

class TypedEntry : public KeypadEntry {
public:
    TypedEntry(const QString& type, const QList<int>& start)
    {
        values = start;
        setKeyType(type);
        setOriginalFromFirstValue();
    }

    // Each character is one key: a digit, "F" or "C".
    void press(const QString& keys)
    {
        for (const QChar key : keys)
            calc(QString(key));
    }

    int errorSounds = 0;

protected:
    void playErrorSound() override { ++errorSounds; }
};

struct Case {
    const char* keyType;
    QList<int> start;
    const char* keys;
    const char* shown;
    QList<int> taken;
    int errorSounds;
};

void runTable(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        const QString keyType = QString::fromUtf8(c.keyType);
        SCOPED_TRACE(QStringLiteral("%1 keys \"%2\"").arg(keyType, c.keys).toStdString());
        TypedEntry entry(keyType, c.start);
        entry.press(QString::fromLatin1(c.keys));
        EXPECT_EQ(entry.getCalcText(), QString::fromUtf8(c.shown));
        EXPECT_EQ(entry.getValues(), c.taken);
        EXPECT_EQ(entry.errorSounds, c.errorSounds);
    }
}

TEST(KeypadEntryTest, TimesTakeHoursUpTo23AndMinutesUpTo59)
{
    runTable({
        {"時刻", {570}, "", "09:30", {570}, 0},
        {"時刻", {570}, "1", "1", {570}, 0},  // too short: the owner's value stays
        {"時刻", {570}, "12", "12:", {570}, 0},
        {"時刻", {570}, "123", "12:3", {723}, 0},
        {"時刻", {570}, "99", "9", {570}, 1},
        {"時刻", {570}, "19", "19:", {570}, 0},
        {"時刻", {570}, "12349", "12:39", {759}, 0},  // a full value has its last digit replaced
        {"時刻", {570}, "1267", "12:6", {726}, 1},
        {"時刻", {570}, "23599", "23:59", {1439}, 0},
        {"時刻", {-1}, "", "--:--", {-1}, 0},
        {"時刻", {1500}, "", "25:00", {1500}, 0},
        {"時刻", {570}, "C", "", {570}, 0},
        {"時刻", {570}, "12C", "1", {570}, 0},
        {"時刻", {570}, "1CC", "09:30", {570}, 0},  // "C" on an empty entry brings the value back
        {"時刻", {570}, "9F", "09:", {570}, 0},
        {"時刻", {570}, "CF", "00:", {570}, 0},
        {"時刻設定", {0}, "", "00:00", {0}, 0},
        {"時刻設定", {0}, "2400", "20:0", {1200}, 1},
        {"時刻なし", {570}, "C", "なし", {-1}, 0},
        {"時刻なし", {-1}, "", "なし", {-1}, 0},
        {"時刻なし", {-1}, "0815", "08:15", {495}, 0},
        {"時刻なし", {570}, "CF", "なし", {-1}, 0},  // "F" leaves "none" alone
    });
}

TEST(KeypadEntryTest, TimeBandsTakeTwoTimes)
{
    runTable({
        {"時間帯", {540, 1080}, "", "09:00～18:00", {540, 1080}, 0},
        {"時間帯", {-1, -1}, "", "--:--～--:--", {-1, -1}, 0},
        {"時間帯", {-1, -1}, "9F", "09:00～", {-1, -1}, 0},
        {"時間帯", {-1, -1}, "9F1800", "09:00～18:00", {540, 1080}, 0},
        {"時間帯", {-1, -1}, "123F", "12:30～", {-1, -1}, 0},
        {"時間帯", {-1, -1}, "CF", "00:00～", {-1, -1}, 0},
        {"時間帯", {540, 1080}, "C", "", {-1, -1}, 0},  // an empty band is taken as none
        {"時間帯", {540, 1080}, "090018009", "09:00～18:09", {540, 1089}, 0},
        {"時間帯", {540, 1080}, "0960", "09:6", {540, 1080}, 1},
        {"時間帯", {540, 1080}, "0900250", "09:00～20:", {540, 1080}, 1},
        {"時間帯", {540, 1080}, "09001860", "09:00～18:6", {540, 1086}, 1},
        // A start of 12:9 cannot be completed with zeros: "F" stops at the refused digit.
        {"時間帯", {540, 1080}, "129F", "12:9", {540, 1080}, 1},
        {"時間帯なし", {540, 1080}, "C", "なし", {-1, -1}, 0},
        {"時間帯なし", {-1, -1}, "", "なし", {-1, -1}, 0},
        {"時間帯なし", {-1, -1}, "08301730", "08:30～17:30", {510, 1050}, 0},
        {"時間帯なし", {540, 1080}, "1C", "", {540, 1080}, 0},  // empty is too short here
    });
}

TEST(KeypadEntryTest, DatesTakeYears2016To2037AndCalendarDays)
{
    vnq::test::FakeClock clock(QDateTime(QDate(2024, 6, 1), QTime(9, 0)));
    runTable({
        {"年月日設定", {2024, 1, 5}, "", "2024.1.5", {2024, 1, 5}, 0},
        {"年月日設定", {2024, 12, 31}, "", "2024.12.31", {2024, 12, 31}, 0},
        {"年月日設定", {2024, 1, 5}, "2015", "201", {2024, 1, 5}, 1},
        {"年月日設定", {2024, 1, 5}, "2038", "203", {2024, 1, 5}, 1},
        {"年月日設定", {2024, 1, 5}, "2037", "2037.", {2024, 1, 5}, 0},
        {"年月日設定", {2024, 1, 5}, "202413", "2024.1", {2024, 1, 5}, 1},
        {"年月日設定", {2024, 1, 5}, "202400", "2024.0", {2024, 1, 5}, 1},
        {"年月日設定", {2024, 1, 5}, "20240230", "2024.2.3", {2024, 2, 3}, 1},
        {"年月日設定", {2024, 1, 5}, "20240229", "2024.2.29", {2024, 2, 29}, 0},
        {"年月日設定", {2024, 1, 5}, "20250229", "2025.2.2", {2025, 2, 2}, 1},
        {"年月日設定", {2024, 1, 5}, "202401059", "2024.1.9", {2024, 1, 9}, 0},
        {"年月日設定", {2024, 1, 5}, "C", "2024.", {2024, 1, 5}, 0},
        {"年月日設定", {2024, 1, 5}, "F", "2024.", {2024, 1, 5}, 0},
        {"年月日設定", {2024, 1, 5}, "C1F", "2024.1.", {2024, 1, 5}, 0},
        {"年月日設定", {2024, 1, 5}, "C1FC", "2024.", {2024, 1, 5}, 0},  // the padding zero goes too
        {"年月日設定", {2024, 1, 5}, "C1F1C", "2024.1.", {2024, 1, 5}, 0},
        {"年月日設定", {2024, 1, 31}, "202401312", "2024.1.31", {2024, 1, 31}, 1},
        {"年月日設定", {-1, -1, -1}, "", "--:--", {-1, -1, -1}, 0},  // unset, not month 0 day 0
    });
}

TEST(KeypadEntryTest, DateClearUsesTheClocksYearWithinRange)
{
    const struct {
        int year;
        const char* shown;
    } cases[] = {{2010, "2016."}, {2030, "2030."}, {2040, "2037."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.year);
        vnq::test::FakeClock clock(QDateTime(QDate(c.year, 3, 1), QTime(12, 0)));
        TypedEntry entry(QStringLiteral("年月日設定"), {2024, 1, 5});
        entry.press(QStringLiteral("C"));
        EXPECT_EQ(entry.getCalcText(), QString::fromUtf8(c.shown));
        EXPECT_TRUE(entry.editing);
    }
}

TEST(KeypadEntryTest, AddressesTakeOctetsUpTo255)
{
    runTable({
        {"アドレス", {192, 168, 1, 1}, "", "192.168.1.1", {192, 168, 1, 1}, 0},
        {"アドレス", {-1, -1, -1, -1}, "", "---.---.---.---", {-1, -1, -1, -1}, 0},
        {"アドレス", {192, -1, -1, -1}, "", "---.---.---.---", {-1, -1, -1, -1}, 0},
        {"アドレス", {-1, -1, -1, -1}, "192168001001", "192.168.1.1", {192, 168, 1, 1}, 0},
        {"アドレス", {-1, -1, -1, -1}, "256", "25", {-1, -1, -1, -1}, 1},
        {"アドレス", {-1, -1, -1, -1}, "255", "255.", {-1, -1, -1, -1}, 0},
        {"アドレス", {-1, -1, -1, -1}, "1F", "1.", {-1, -1, -1, -1}, 0},
        {"アドレス", {-1, -1, -1, -1}, "1921F", "192.1.", {-1, -1, -1, -1}, 0},
        {"アドレス", {-1, -1, -1, -1}, "1FC", "", {-1, -1, -1, -1}, 0},  // the padding goes too
        {"アドレス", {-1, -1, -1, -1}, "1921FC", "192.", {-1, -1, -1, -1}, 0},
        {"アドレス", {-1, -1, -1, -1}, "1921F1C", "192.1.", {-1, -1, -1, -1}, 0},
        {"アドレス", {10, 0, 0, 1}, "C", "", {-1, -1, -1, -1}, 0},  // empty means no address
        {"アドレス", {-1, -1, -1, -1}, "192168001999", "192.168.1.99", {192, 168, 1, 99}, 1},
        {"アドレス", {-1, -1, -1, -1}, "1921680012509", "192.168.1.250", {192, 168, 1, 250}, 1},
        {"アドレス", {-1, -1, -1, -1}, "1921680010019", "192.168.1.9", {192, 168, 1, 9}, 0},
        {"アドレス", {-1, -1, -1, -1}, "19216800", "192.168.0", {-1, -1, -1, -1}, 0},
        {"アドレス", {-1, -1, -1, -1}, "192168001F", "192.168.1.", {-1, -1, -1, -1}, 0},
        {"アドレスPING", {-1, -1, -1, -1}, "8F8F8F8", "8.8.8.8", {8, 8, 8, 8}, 0},
        {"アドレスPING", {8, 8, 8, 8}, "", "8.8.8.8", {8, 8, 8, 8}, 0},
        {"アドレスPING", {-1, -1, -1, -1}, "300", "30", {-1, -1, -1, -1}, 1},
    });
}

TEST(KeypadEntryTest, NumbersTakeTheirDigitLimits)
{
    runTable({
        {"ポート番号", {8080}, "", "8080", {8080}, 0},
        {"ポート番号", {8080}, "65535", "65535", {65535}, 0},
        {"ポート番号", {8080}, "65536", "6553", {6553}, 1},
        {"ポート番号", {8080}, "70000", "7000", {7000}, 1},
        {"ポート番号", {8080}, "655359", "65535", {65535}, 1},
        {"ポート番号", {8080}, "123456", "12346", {12346}, 0},
        {"秒", {30}, "", "30 秒", {30}, 0},
        {"秒", {30}, "5", "5 秒", {5}, 0},
        {"秒", {30}, "123", "13 秒", {13}, 0},
        {"秒３桁", {100}, "1234", "124 秒", {124}, 0},
        {"分", {5}, "", "5 分", {5}, 0},
        {"パスワード", {-1}, "", "", {-1}, 0},
        {"パスワード", {1234}, "", "001234", {1234}, 0},
        {"パスワード", {1234}, "12345", "12345", {1234}, 0},
        {"パスワード******", {-1}, "", "", {-1}, 0},
        {"パスワード******", {-1}, "12345", "*****", {-1}, 0},
        {"パスワード******", {-1}, "1234567", "******", {123457}, 0},
        {"パスワード********", {0}, "00123", "123", {123}, 0},
        {"ID", {-1}, "", "ID番号入力", {-1}, 0},
        {"ID", {42}, "", "000000042", {42}, 0},
        {"ID", {-1}, "123", "123", {123}, 0},
        {"勤務時刻", {5}, "78", "8", {8}, 0},
        {"勤務時刻", {5}, "F", "5", {5}, 0},
    });
}

TEST(KeypadEntryTest, EveryChoiceKeyReplacesTheChoice)
{
    runTable({
        {"音量", {1}, "", "小", {1}, 0},
        {"音量", {1}, "2", "中", {2}, 0},
        {"音量", {1}, "23", "大", {3}, 0},
        {"音量", {1}, "0", "なし", {0}, 0},
        {"音量", {1}, "3C", "小", {1}, 0},  // "C" after a change brings the owner's value back
        {"動作モード", {1}, "", "標準", {1}, 0},
        {"動作モード", {1}, "4", "日替退電気錠", {4}, 0},
        {"動作モード", {1}, "32", "日替退", {2}, 0},
        {"音声モード", {0}, "", "効果音", {0}, 0},
        {"音声モード", {0}, "1", "音声", {1}, 0},
        {"1224", {1}, "", "24H", {1}, 0},
        {"1224", {1}, "0", "12H", {0}, 0},
        {"するしない", {1}, "0", "しない", {0}, 0},
        {"使用するしない", {0}, "1", "使用する", {1}, 0},
        {"自動手動", {1}, "0", "手動", {0}, 0},
        {"自動手動", {0}, "1", "自動(DHCP)", {1}, 0},
    });
}

TEST(KeypadEntryTest, AnEmptyValueListIsTakenAsUnset)
{
    runTable({
        {"時刻", {}, "", "--:--", {-1}, 0},
        {"ID", {}, "", "ID番号入力", {-1}, 0},
        {"ポート番号", {}, "80", "80", {80}, 0},
        {"時間帯", {}, "09001800", "09:00～18:00", {540}, 0},  // only existing entries are written
        {"アドレス", {}, "", "---.---.---.---", {-1}, 0},
    });
}

TEST(KeypadEntryTest, ADigitOnAnUnsetMarkerAfterAChangeIsRefused)
{
    TypedEntry entry(QStringLiteral("時刻なし"), {570});
    entry.press(QStringLiteral("1"));
    entry.text = QStringLiteral("-1");  // an owner put the marker back without a fresh start
    entry.press(QStringLiteral("2"));
    EXPECT_EQ(entry.text, QStringLiteral("-1"));
    EXPECT_EQ(entry.errorSounds, 1);
}

TEST(KeypadEntryTest, SetOriginalValueStartsAFreshEntry)
{
    TypedEntry entry(QStringLiteral("時刻"), {570});
    entry.press(QStringLiteral("12"));
    entry.setOriginalValue(-1);
    EXPECT_FALSE(entry.editing);
    EXPECT_EQ(entry.text, QStringLiteral("-1"));
    EXPECT_EQ(entry.initialText, QStringLiteral("-1"));
    entry.press(QStringLiteral("8"));  // the first digit replaces the fresh value
    EXPECT_EQ(entry.getCalcText(), QStringLiteral("8"));

    entry.setOriginalValues({600});
    EXPECT_EQ(entry.getCalcText(), QStringLiteral("10:00"));
    EXPECT_FALSE(entry.editing);
}

TEST(KeypadEntryTest, ErrorMarkerShowsAsError)
{
    TypedEntry entry(QStringLiteral("パスワード******"), {-1});
    entry.text = QStringLiteral("-2");
    EXPECT_EQ(entry.getCalcText(), QStringLiteral("エラー"));
}

TEST(KeypadEntryTest, MinimumLengthAndDateCheck)
{
    const struct {
        const char* keyType;
        const char* text;
        bool minimumOrMore;
    } cases[] = {
        {"時刻", "123", true},       {"時刻", "12", false},        {"時刻", "", false},
        {"時刻", "-1", true},        {"時間帯", "", true},         {"時間帯なし", "", false},
        {"アドレス", "", true},      {"アドレスPING", "", true},   {"アドレス", "192168001", false},
        {"アドレス", "1921680011", true}, {"パスワード", "12345", false}, {"パスワード", "123456", true},
        {"ID", "", false},           {"ID", "1", true},            {"年月日設定", "2024011", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 \"%2\"").arg(QString::fromUtf8(c.keyType), c.text).toStdString());
        TypedEntry entry(QString::fromUtf8(c.keyType), {0, 0, 0, 0});
        entry.text = QString::fromLatin1(c.text);
        EXPECT_EQ(entry.isMinimumOrMore(), c.minimumOrMore);
    }

    TypedEntry date(QStringLiteral("年月日設定"), {2024, 2, 29});
    EXPECT_TRUE(date.isValidDate());
    date.text = QStringLiteral("20230229");
    EXPECT_FALSE(date.isValidDate());
    date.text = QStringLiteral("2024022");
    EXPECT_FALSE(date.isValidDate());
    TypedEntry notADate(QStringLiteral("時間帯"), {540, 1080});
    notADate.text = QStringLiteral("20240229");
    EXPECT_FALSE(notADate.isValidDate());
}

}  // namespace
