#pragma once

#include <QList>
#include <QString>

// The value side of an on-screen keypad: one setting value, or a small group of values that
// belong together (a time band, a date, an address), kept as a string of digits in the key
// type's raw form while it is typed, validated digit by digit and handed back as a list of
// integers. The key type is the settings store's key-type string.
//
// Raw forms: times "HHMM" (a band two of them), a date "YYYYMMDD", an address four groups of
// three digits, other numbers plain decimal digits. "-1" marks an unset value, "-1-1" an unset
// band and "-1-1-1-1" an unset address; "-2" shows as "エラー".
//
// Keypad adds the screen to it; a refused digit plays the error sound through
// playErrorSound().
class KeypadEntry {
public:
    virtual ~KeypadEntry() = default;

    // Digit limits of the current key type.
    int getMinLength() const;
    int getMaxLength() const;

    // Makes the entry fresh again from a new first value or a whole new list: the entry and
    // the starting text are made from the values and the next digit replaces them.
    void setOriginalValue(int value);
    void setOriginalValues(QList<int> values);

    // The values as typed; the owner's values unchanged while the entry is too short. The
    // list keeps the length the owner gave: only existing entries are written.
    QList<int> getValues();
    // Whether the entry is long enough to be taken (an unset marker always is; an empty
    // address or "時間帯" means none and is taken too).
    bool isMinimumOrMore() const;
    // Whether a "年月日設定" entry is a full, valid calendar date from 2016 to 2037.
    bool isValidDate() const;

    // The raw entry made from the values.
    QString getValueString() const;
    // The entry as the value field shows it.
    QString getCalcText() const;

    // Texts with which the setting lists show a value of a key type; clampNegative takes a
    // negative value as 0 first.
    static QString toText(QString keyType, int value, bool clampNegative);
    // "hh:mm" of minutes after midnight (hours not wrapped); "--:--" when negative.
    static QString toTextFromMinute(int minutes);
    // 1 "小", 2 "中", 3 "大", otherwise "なし".
    static QString toTextFromVolume(int level);
    // The operation mode: 2 "日替退", 3 "電気錠", 4 "日替退電気錠", otherwise "標準".
    static QString toTextFromTokeiGamen(int mode);

    // The entry being edited (raw digits or an unset marker), written directly by owner
    // screens that show a message in its place.
    QString text;
    // The entry as it was made from the values.
    QString initialText;
    // Set once a key has changed the entry; while clear, the next digit replaces it.
    bool editing = false;

protected:
    // Sets the key type and its digit limits.
    void setKeyType(const QString& type);
    // Makes the entry fresh from the first value; an empty list counts as one unset value.
    void setOriginalFromFirstValue() { setOriginalValue(values.value(0, -1)); }

    // One key of the pad: "C" clear, "F" fill, anything else a digit (or a choice).
    void calc(const QString& key);

    // What the keypad's own log lines write for a piece of the entry: asterisks for a
    // password type.
    QString logged(const QString& entry) const;
    QString logged(int value) const { return logged(QString::number(value)); }

    // The error sound of a refused key.
    virtual void playErrorSound() = 0;

    void calcValue(const QString& key);
    // Appends a digit under the key type's check; a full entry has its last digit replaced.
    // False (and the error sound) when the digit was refused.
    bool appendValue(QString* entry, const QString& key);
    void appendNG(QString* entry, const QString& fallback);
    void calcClear();
    void calcFree();
    void removeLastChar(QString* entry);
    QString insertDelimiter(const QString& digits) const;

    static void changeValue(QString* entry, const QString& value);
    // Appends the input bar "|" while the entry is being edited and not yet full.
    void insertInputBar(QString* entry) const;

    QString keyType;
    // The values given by the owner, returned by getValues().
    QList<int> values;
    int minLength = 1;
    int maxLength = 1;

private:
    bool passesCheck(const QString& entry) const;
    int valueAt(int index) const;
};
