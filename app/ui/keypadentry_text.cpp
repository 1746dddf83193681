// What a keypad's value field and the setting lists show of a value.

#include "keypadentry.h"

#include "debugline.h"
#include "keypadkeytypes.h"

using namespace keypadkeytype;

namespace {

// Key types whose unset markers show as empty time, band or address fields.
bool showsUnsetAsDashes(const QString& t)
{
    return t == QStringLiteral("時刻") || t == QStringLiteral("時刻設定")
        || t == QStringLiteral("時間帯") || isDate(t) || isAddress(t);
}

// A group of typed digits as a number without leading zeros.
QString number(const QString& digits)
{
    return QString::number(digits.toInt());
}

QString dateWithDelimiters(const QString& digits)
{
    const int n = digits.length();
    if (n == 0)
        return QString();
    if (n < 4)
        return number(digits);
    QString shown = number(digits.left(4)) + QLatin1Char('.');
    if (n == 4)
        return shown;
    shown += number(digits.mid(4, 2));
    if (n == 5)
        return shown;
    shown += QLatin1Char('.');
    if (n == 6)
        return shown;
    return shown + number(digits.mid(6));
}

QString addressWithDelimiters(const QString& digits)
{
    QString shown;
    for (int group = 0; group < 4; ++group) {
        const QString part = group < 3 ? digits.mid(group * 3, 3) : digits.mid(9);
        if (part.isEmpty())
            break;
        shown += number(part);
        if (group < 3 && part.length() == 3)
            shown += QLatin1Char('.');
    }
    return shown;
}

QString bandWithDelimiters(const QString& digits)
{
    const int n = digits.length();
    QString shown = digits.left(2);
    if (n >= 2)
        shown += QLatin1Char(':') + digits.mid(2, 2);
    if (n >= 4)
        shown += QStringLiteral("～") + digits.mid(4, 2);
    if (n >= 6)
        shown += QLatin1Char(':') + digits.mid(6);
    return shown;
}

}  // namespace

QString KeypadEntry::insertDelimiter(const QString& digits) const
{
    if (isBand(keyType))
        return bandWithDelimiters(digits);
    if (isDate(keyType))
        return dateWithDelimiters(digits);
    if (isAddress(keyType))
        return addressWithDelimiters(digits);
    // A time: 12 shows as "12:", 123 as "12:3".
    if (digits.length() >= 2)
        return digits.left(2) + QLatin1Char(':') + digits.mid(2);
    return digits;
}

QString KeypadEntry::getCalcText() const
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Text:" << logged(text)
                << ", KeyType:" << keyType;
    if (text == QStringLiteral("-2"))
        return QStringLiteral("エラー");

    if (showsUnsetAsDashes(keyType)) {
        if (text == QStringLiteral("-1"))
            return QStringLiteral("--:--");
        if (text == QStringLiteral("-1-1"))
            return QStringLiteral("--:--～--:--");
        if (text == QStringLiteral("-1-1-1-1"))
            return QStringLiteral("---.---.---.---");
        return insertDelimiter(text);
    }
    if (keyType == QStringLiteral("時刻なし"))
        return text == QStringLiteral("-1") ? QStringLiteral("なし") : insertDelimiter(text);
    if (keyType == QStringLiteral("時間帯なし")) {
        if (text == QStringLiteral("-1") || text == QStringLiteral("-1-1"))
            return QStringLiteral("なし");
        return insertDelimiter(text);
    }
    if (keyType == QStringLiteral("秒") || keyType == QStringLiteral("秒３桁"))
        return text + QStringLiteral(" 秒");
    if (keyType == QStringLiteral("分"))
        return text + QStringLiteral(" 分");
    if (keyType == QStringLiteral("パスワード") || isPort(keyType))
        return text;
    if (keyType == QStringLiteral("パスワード******"))
        return text == QStringLiteral("-1") ? QString() : QString(text.length(), QLatin1Char('*'));
    if (keyType == QStringLiteral("ID"))
        return text == QStringLiteral("-1") ? QStringLiteral("ID番号入力") : text;
    if (text.isEmpty())
        return QString();
    return toText(keyType, text.toInt(), false);
}

QString KeypadEntry::toText(QString keyType, int value, bool clampNegative)
{
    if (clampNegative && value < 0)
        value = 0;

    if (keyType == QStringLiteral("するしない"))
        return value == 0 ? QStringLiteral("しない") : QStringLiteral("する");
    if (keyType == QStringLiteral("使用するしない"))
        return value == 0 ? QStringLiteral("使用しない") : QStringLiteral("使用する");
    if (keyType == QStringLiteral("自動手動"))
        return value == 0 ? QStringLiteral("手動") : QStringLiteral("自動(DHCP)");
    if (keyType == QStringLiteral("1224"))
        return value == 0 ? QStringLiteral("12H") : QStringLiteral("24H");
    if (keyType == QStringLiteral("音声モード"))
        return value == 0 ? QStringLiteral("効果音") : QStringLiteral("音声");
    if (keyType == QStringLiteral("秒") || keyType == QStringLiteral("秒３桁"))
        return QStringLiteral("%1秒").arg(value);
    if (keyType == QStringLiteral("分"))
        return QStringLiteral("%1分").arg(value);
    if (keyType == QStringLiteral("パスワード"))
        return value < 0 ? QString() : QStringLiteral("%1").arg(value, 6, 10, QLatin1Char('0'));
    if (keyType == QStringLiteral("ID"))
        return QStringLiteral("%1").arg(value, 9, 10, QLatin1Char('0'));
    if (isDate(keyType))
        return value < 0 ? QStringLiteral("--") : QString::number(value);
    if (isAddress(keyType))
        return value < 0 ? QStringLiteral("---") : QString::number(value);
    if (keyType == QStringLiteral("音量"))
        return toTextFromVolume(value);
    if (keyType == QStringLiteral("動作モード"))
        return toTextFromTokeiGamen(value);
    if (keyType == QStringLiteral("時刻なし") || keyType == QStringLiteral("時間帯なし"))
        return value < 0 ? QStringLiteral("なし") : toTextFromMinute(value);
    if (keyType == QStringLiteral("時刻") || keyType == QStringLiteral("時刻設定")
        || keyType == QStringLiteral("時間帯"))
        return value < 0 ? QString() : toTextFromMinute(value);
    return value < 0 ? QString() : QString::number(value);
}

QString KeypadEntry::toTextFromMinute(int minutes)
{
    if (minutes < 0)
        return QStringLiteral("--:--");
    const int hh = minutes / 60;
    const int mm = minutes % 60;
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:"
                << QStringLiteral("val: %1, hh: %2, mm: %3").arg(minutes).arg(hh).arg(mm);
    return QStringLiteral("%1:%2").arg(hh, 2, 10, QLatin1Char('0')).arg(mm, 2, 10, QLatin1Char('0'));
}

QString KeypadEntry::toTextFromVolume(int level)
{
    switch (level) {
    case 1:
        return QStringLiteral("小");
    case 2:
        return QStringLiteral("中");
    case 3:
        return QStringLiteral("大");
    default:
        return QStringLiteral("なし");
    }
}

QString KeypadEntry::toTextFromTokeiGamen(int mode)
{
    switch (mode) {
    case 2:
        return QStringLiteral("日替退");
    case 3:
        return QStringLiteral("電気錠");
    case 4:
        return QStringLiteral("日替退電気錠");
    default:
        return QStringLiteral("標準");
    }
}
