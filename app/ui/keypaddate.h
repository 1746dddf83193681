#pragma once

#include <QString>

// The date rules of the "年月日設定" keypad: years from 2016 to 2037.
namespace keypaddate {

constexpr int FirstYear = 2016;
constexpr int LastYear = 2037;

// Whether a year may be typed.
bool isYearInRange(int year);
// Whether an entry is exactly 8 digits YYYYMMDD forming a calendar date in those years.
bool isValidEntry(const QString& entry);
// The current year from the clock, limited to those years.
int currentYearInRange();

}  // namespace keypaddate
