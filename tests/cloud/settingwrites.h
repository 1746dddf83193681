#pragma once

#include "tempboardroot.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace vnq::test {

// Makes setting.db of the board refuse every change of one item (a trigger that aborts the
// statement), as a full or failing disk would, so the test sees whether the other settings of
// the same answer stay as they were.
inline bool refuseSettingWrites(const TempBoardRoot& board, const QString& item)
{
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("settingrefusal"));
        db.setDatabaseName(board.path(QStringLiteral("/VnQo/app/DB/setting.db")));
        if (db.open()) {
            QSqlQuery query(db);
            done = query.exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE UPDATE ON setting WHEN NEW.item = '%1' "
                                             "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                                  .arg(item));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("settingrefusal"));
    return done;
}

}  // namespace vnq::test
