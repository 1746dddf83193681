// Typing on a keypad: digits with their checks, the clear key "C" and the fill key "F".

#include "keypadentry.h"

#include "debugline.h"
#include "keypaddate.h"
#include "keypadkeytypes.h"

using namespace keypadkeytype;

namespace {

// The last `count` digits of an entry as a number.
int tail(const QString& entry, int count)
{
    return entry.right(count).toInt();
}

}  // namespace

void KeypadEntry::calc(const QString& key)
{
    if (key == QStringLiteral("C"))
        calcClear();
    else if (key == QStringLiteral("F"))
        calcFree();
    else
        calcValue(key);
}

void KeypadEntry::calcValue(const QString& key)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << logged(text) << logged(initialText)
                << editing;
    if (!editing || maxLength == 1) {
        // The first key replaces the owner's value; on one-digit types every key does.
        text = key;
    } else if (text.contains(QStringLiteral("-1"))) {
        playErrorSound();
    } else {
        appendValue(&text, key);
    }
    editing = true;
}

bool KeypadEntry::passesCheck(const QString& entry) const
{
    const int n = entry.length();
    if (isTimeOrBand(keyType)) {
        if (n == 2 || n == 6)
            return tail(entry, 2) <= 23;
        if (n == 4 || n == 8)
            return tail(entry, 2) <= 59;
        return true;
    }
    if (isDate(keyType)) {
        if (n == 4)
            return keypaddate::isYearInRange(tail(entry, 4));
        if (n == 6)
            return tail(entry, 2) >= 1 && tail(entry, 2) <= 12;
        if (n == 8)
            return keypaddate::isValidEntry(entry);
        return true;
    }
    if (isAddress(keyType)) {
        // The octet being typed: the digits after the last complete group.
        const int group = n % 3 == 0 ? 3 : n % 3;
        return tail(entry, group) <= 255;
    }
    if (isPort(keyType))
        return entry.toInt() <= 65535;
    return true;
}

bool KeypadEntry::appendValue(QString* entry, const QString& key)
{
    // A full entry never grows: the new digit takes the place of the last one, which comes
    // back if the new one is refused.
    QString fallback;
    if (entry->length() >= maxLength) {
        fallback = entry->right(1);
        entry->chop(1);
    }
    entry->append(key);
    if (passesCheck(*entry))
        return true;
    appendNG(entry, fallback);
    return false;
}

void KeypadEntry::appendNG(QString* entry, const QString& fallback)
{
    playErrorSound();
    entry->chop(1);
    entry->append(fallback);
}

void KeypadEntry::calcClear()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Min: " << minLength
                << "Max: " << maxLength << "Len: " << int(text.length()) << logged(text) << logged(initialText)
                << editing;
    if (editing) {
        if (maxLength != 1 && !text.isEmpty() && !text.contains(QStringLiteral("-1"))) {
            removeLastChar(&text);
        } else {
            text = initialText;
            editing = false;
        }
        return;
    }
    // "C" on the owner's value: clear it, or set "none" where the key type has one.
    if (isDate(keyType)) {
        text = QString::number(keypaddate::currentYearInRange());
        editing = true;
    } else if (keyType == QStringLiteral("時刻なし")) {
        text = QStringLiteral("-1");
    } else if (keyType == QStringLiteral("時間帯なし")) {
        text = QStringLiteral("-1-1");
    } else {
        text.clear();
        editing = true;
    }
}

void KeypadEntry::removeLastChar(QString* entry)
{
    entry->chop(1);
    const int n = entry->length();
    if (isDate(keyType)) {
        // A zero put in front of a month or day goes with the digit after it.
        if ((n == 5 || n == 7) && entry->endsWith(QLatin1Char('0')))
            entry->chop(1);
    } else if (isAddress(keyType) && n % 3 != 0) {
        // A partial octet loses the zeros that "F" put in front of it.
        const int start = n - n % 3;
        const int number = entry->mid(start).toInt();
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "アドレスパディング："
                    << start << number;
        entry->truncate(start);
        if (number != 0)
            entry->append(QString::number(number));
    }
}

void KeypadEntry::calcFree()
{
    if (text.contains(QStringLiteral("-1")))
        return;
    const int n = text.length();
    if (isTime(keyType) || keyType == QStringLiteral("勤務時刻")) {
        if (n == 0)
            text = QStringLiteral("00");
        else if (n == 1)
            text.prepend(QLatin1Char('0'));
    } else if (isBand(keyType)) {
        // Completes the start time: 9 gives 0900, 123 gives 1230.
        if (n == 1)
            text.prepend(QLatin1Char('0'));
        while (text.length() < 4) {
            // A start such as 129 cannot take a zero (minute 90): stop at the refusal.
            if (!appendValue(&text, QStringLiteral("0")))
                break;
        }
    } else if (isDate(keyType)) {
        if (!editing || text.isEmpty()) {
            text = QString::number(keypaddate::currentYearInRange());
            editing = true;
        } else if (n == 5) {
            text.insert(4, QLatin1Char('0'));
        }
    } else if (isAddress(keyType)) {
        // Pads the first, second or third octet being typed to three digits.
        if (n % 3 != 0 && n < 9) {
            const int start = n - n % 3;
            text = text.left(start) + text.mid(start).rightJustified(3, QLatin1Char('0'));
        }
    }
}

void KeypadEntry::changeValue(QString* entry, const QString& value)
{
    *entry = value;
}

void KeypadEntry::insertInputBar(QString* entry) const
{
    if (editing && entry->length() < maxLength)
        entry->append(QLatin1Char('|'));
}
