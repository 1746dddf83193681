#include "keypaddate.h"

#include "platform/clock.h"

#include <QDate>

namespace keypaddate {

bool isYearInRange(int year)
{
    return year >= FirstYear && year <= LastYear;
}

bool isValidEntry(const QString& entry)
{
    if (entry.length() != 8)
        return false;
    for (const QChar c : entry) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const int year = entry.left(4).toInt();
    return isYearInRange(year)
        && QDate::isValid(year, entry.mid(4, 2).toInt(), entry.mid(6, 2).toInt());
}

int currentYearInRange()
{
    return qBound(FirstYear, vnq::clock().now().date().year(), LastYear);
}

}  // namespace keypaddate
