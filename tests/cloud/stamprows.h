#pragma once

#include "dbdakoku.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace vnq::test {

// The stamp table as the upload chains see it.

// n unsent stamps of kind 1 with a blank flag, of users firstUser onwards, stamped at 9:00 on
// 1 January 2024 and inserted at insertedAt (seconds since the epoch), in one statement.
inline bool insertUnsentStamps(int n, int firstUser, qint64 insertedAt)
{
    const QDateTime stamp(QDate(2024, 1, 1), QTime(9, 0, 0));
    return DBDakoku::execQuery(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                       "INSERT INTO dakoku (user_id, insert_datetime, date, stamptime, kubun) "
                       "SELECT ? + i, ?, ?, ?, 1 FROM n WHERE i < ?"),
        nullptr, nullptr, nullptr, nullptr,
        {n, firstUser, insertedAt, DBDakoku::toDakokuDate(stamp, 1), stamp.toSecsSinceEpoch(), n});
}

// The number of stamps that match a WHERE clause; -1 when it cannot be read.
inline int stampCountWhere(const QString& where)
{
    int count = -1;
    DBDakoku::getDakokuCountMaxMin(&count, nullptr, nullptr, where);
    return count;
}

}  // namespace vnq::test
