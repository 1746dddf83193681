#pragma once

#include <QString>

// The key types of the settings store that a keypad edits, grouped by the way their entry is
// typed. Key types are compared as whole strings ("秒３桁" has a full-width digit).
namespace keypadkeytype {

// One time of day as HHMM: "時刻", "時刻設定" and "時刻なし" (-1 = none).
inline bool isTime(const QString& t)
{
    return t == QStringLiteral("時刻") || t == QStringLiteral("時刻設定")
        || t == QStringLiteral("時刻なし");
}

// A start and an end time as HHMMHHMM: "時間帯" and "時間帯なし" (-1 = none).
inline bool isBand(const QString& t)
{
    return t == QStringLiteral("時間帯") || t == QStringLiteral("時間帯なし");
}

// Either of the two above: the hour and minute checks of digit entry apply.
inline bool isTimeOrBand(const QString& t)
{
    return isTime(t) || isBand(t);
}

// The administrator password types, whose entry never goes into a log line.
inline bool isSecret(const QString& t)
{
    return t.startsWith(QStringLiteral("パスワード"));
}

// A date as YYYYMMDD.
inline bool isDate(const QString& t)
{
    return t == QStringLiteral("年月日設定");
}

// An IPv4 address as four zero-padded groups of three digits.
inline bool isAddress(const QString& t)
{
    return t == QStringLiteral("アドレス") || t == QStringLiteral("アドレスPING");
}

inline bool isPort(const QString& t)
{
    return t == QStringLiteral("ポート番号");
}

}  // namespace keypadkeytype
