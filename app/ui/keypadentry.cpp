#include "keypadentry.h"

#include "debugline.h"
#include "keypaddate.h"
#include "keypadkeytypes.h"

using namespace keypadkeytype;

namespace {

struct DigitLimits {
    int min;
    int max;
};

DigitLimits digitLimitsOf(const QString& t)
{
    if (isTime(t))
        return {3, 4};
    if (isBand(t) || isDate(t))
        return {7, 8};
    if (isAddress(t))
        return {10, 12};
    if (t == QStringLiteral("分") || t == QStringLiteral("秒"))
        return {1, 2};
    if (t == QStringLiteral("秒３桁"))
        return {1, 3};
    if (isPort(t))
        return {1, 5};
    if (t == QStringLiteral("パスワード") || t == QStringLiteral("パスワード******"))
        return {6, 6};
    if (t == QStringLiteral("パスワード********"))
        return {1, 8};
    if (t == QStringLiteral("ID"))
        return {1, 9};
    // The choices, "スタート", "勤務時刻" and any other key type: one digit.
    return {1, 1};
}

QString zeroPadded(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

QString hhmm(int minutes)
{
    return zeroPadded(minutes / 60, 2) + zeroPadded(minutes % 60, 2);
}

int hhmmToMinutes(const QString& hh, const QString& mm)
{
    return hh.toInt() * 60 + mm.toInt();
}

}  // namespace

int KeypadEntry::getMinLength() const
{
    return digitLimitsOf(keyType).min;
}

int KeypadEntry::getMaxLength() const
{
    return digitLimitsOf(keyType).max;
}

void KeypadEntry::setKeyType(const QString& type)
{
    keyType = type;
    minLength = getMinLength();
    maxLength = getMaxLength();
}

void KeypadEntry::setOriginalValue(int value)
{
    if (values.isEmpty())
        values.append(value);
    else
        values[0] = value;
    text = getValueString();
    initialText = text;
    editing = false;
}

void KeypadEntry::setOriginalValues(QList<int> newValues)
{
    values = newValues;
    text = getValueString();
    initialText = text;
    editing = false;
}

int KeypadEntry::valueAt(int index) const
{
    return index < values.size() ? values.at(index) : -1;
}

QString KeypadEntry::getValueString() const
{
    if (isTimeOrBand(keyType)) {
        QString raw;
        for (int v : values)
            raw += v < 0 ? QStringLiteral("-1") : hhmm(v);
        return raw;
    }
    if (isDate(keyType)) {
        const int year = valueAt(0), month = valueAt(1), day = valueAt(2);
        // A date with a missing or negative part has no digits to show.
        if (year < 0 || month < 0 || day < 0)
            return QStringLiteral("-1");
        return zeroPadded(year, 4) + zeroPadded(month, 2) + zeroPadded(day, 2);
    }
    if (isAddress(keyType)) {
        QString raw;
        for (int i = 0; i < 4; ++i) {
            // An address with a missing or negative octet is unset as a whole.
            if (valueAt(i) < 0)
                return QStringLiteral("-1-1-1-1");
            raw += zeroPadded(valueAt(i), 3);
        }
        return raw;
    }
    if (keyType == QStringLiteral("パスワード"))
        return valueAt(0) < 0 ? QString() : zeroPadded(valueAt(0), 6);
    if (keyType == QStringLiteral("ID"))
        return valueAt(0) < 0 ? QStringLiteral("-1") : zeroPadded(valueAt(0), 9);
    return QString::number(valueAt(0));
}

QString KeypadEntry::logged(const QString& entry) const
{
    if (!keypadkeytype::isSecret(keyType))
        return entry;
    return QString(entry.length(), QLatin1Char('*'));
}

bool KeypadEntry::isMinimumOrMore() const
{
    if (text.length() >= minLength || text.contains(QStringLiteral("-1")))
        return true;
    // No address and no band are valid entries.
    return text.isEmpty() && (isAddress(keyType) || keyType == QStringLiteral("時間帯"));
}

bool KeypadEntry::isValidDate() const
{
    return isDate(keyType) && keypaddate::isValidEntry(text);
}

QList<int> KeypadEntry::getValues()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Value: " << logged(text)
                << " len: " << int(text.length()) << "minCount: " << minLength;
    if (!isMinimumOrMore())
        return values;

    auto put = [this](int index, int value) {
        if (index < values.size())
            values[index] = value;
    };
    const bool unset = text.isEmpty() || text.contains(QStringLiteral("-1"));
    if (isTime(keyType)) {
        put(0, unset ? -1 : hhmmToMinutes(text.left(2), text.mid(2)));
    } else if (isBand(keyType)) {
        put(0, unset ? -1 : hhmmToMinutes(text.mid(0, 2), text.mid(2, 2)));
        put(1, unset ? -1 : hhmmToMinutes(text.mid(4, 2), text.mid(6)));
    } else if (isDate(keyType)) {
        // An unset date stays unset as a whole rather than becoming month 0, day 0.
        put(0, unset ? -1 : text.left(4).toInt());
        put(1, unset ? -1 : text.mid(4, 2).toInt());
        put(2, unset ? -1 : text.mid(6).toInt());
    } else if (isAddress(keyType)) {
        put(0, unset ? -1 : text.mid(0, 3).toInt());
        put(1, unset ? -1 : text.mid(3, 3).toInt());
        put(2, unset ? -1 : text.mid(6, 3).toInt());
        put(3, unset ? -1 : text.mid(9).toInt());
    } else {
        put(0, text.toInt());
    }

    for (int i = 0; i < values.size(); ++i)
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Values[" << i << "]: "
                    << logged(values.at(i));
    return values;
}
