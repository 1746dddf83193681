#include "dbmaster.h"

#include "db.h"
#include "dbsession.h"
#include "debugline.h"
#include "durablefile.h"
#include "mydebug.h"

#include <QFileInfo>
#include <QMutexLocker>
#include <QSqlQuery>

#include <errno.h>
#include <string.h>

namespace {

const QString masterDb = QStringLiteral("../DB/master.db");
const QString masterTempDb = QStringLiteral("../DB/master.temp.db");
const QString templateDb = QStringLiteral("/VnQo/app/DB/def/master.db");

QString journalOf(const QString& file)
{
    return file + QStringLiteral("-journal");
}

// Logs a file step (as its shell line) and its outcome; true when error is 0.
bool stepDone(const char* function, int line, const QString& step, int error)
{
    if (error != 0) {
        MyDebug() << "<ERR>" << function << "[" << line << "]:" << step << QString::fromLocal8Bit(strerror(error));
        return false;
    }
    DebugLine() << "<DBG>" << function << "[" << line << "]:" << step;
    return true;
}

// Removes the reload copy, its journal first: a journal is never left beside a copy it does
// not belong to. Called with the database mutex held.
bool removeReloadCopy(const char* function)
{
    const QString copy = DB::filePath(masterTempDb);
    int error = vnq::removeFileIfPresent(journalOf(copy));
    if (error == 0)
        error = vnq::removeFileIfPresent(copy);
    if (error == 0)
        error = vnq::syncDirectoryOf(copy);
    return stepDone(function, __LINE__, QStringLiteral("rm ") + copy, error);
}

// Opens a database file and reads its schema, which makes SQLite roll back a hot journal onto
// the file it belongs to (and remove the journal). False when the file is not a readable
// database.
bool settle(const QString& dbPath)
{
    DBSession session(dbPath);
    if (!session.isOpen())
        return false;
    QSqlQuery query(session.database());
    return query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && query.next();
}

}  // namespace

bool DBMaster::removeMasterReloadCopy()
{
    QMutexLocker lock(&DB::getInstance()->mutex);
    return removeReloadCopy(Q_FUNC_INFO);
}

bool DBMaster::makeMasterReloadCopy()
{
    QMutexLocker lock(&DB::getInstance()->mutex);
    if (!removeReloadCopy(Q_FUNC_INFO))
        return false;
    const QString source = DB::filePath(templateDb);
    const QString copy = DB::filePath(masterTempDb);
    return stepDone(Q_FUNC_INFO, __LINE__, QStringLiteral("cp %1 %2").arg(source, copy),
                    vnq::copyFileDurably(source, copy));
}

bool DBMaster::replaceMasterByReloadCopy()
{
    const QString copy = DB::filePath(masterTempDb);
    const QString master = DB::filePath(masterDb);
    const QString step = QStringLiteral("mv %1 %2").arg(copy, master);
    if (!settle(masterTempDb))
        return stepDone(Q_FUNC_INFO, __LINE__, step, EINVAL);
    // The old master may be unreadable; the new one replaces it all the same.
    settle(masterDb);

    QMutexLocker lock(&DB::getInstance()->mutex);
    if (QFileInfo::exists(journalOf(copy)))
        return stepDone(Q_FUNC_INFO, __LINE__, step, EBUSY);
    // Whatever journal of master.db is left now was not hot for the old file; it must not
    // become hot for the new one either.
    int error = 0;
    if (QFileInfo::exists(journalOf(master))) {
        error = vnq::removeFileIfPresent(journalOf(master));
        if (error == 0)
            error = vnq::syncDirectoryOf(master);
    }
    if (error == 0)
        error = vnq::renameDurably(copy, master);
    return stepDone(Q_FUNC_INFO, __LINE__, step, error);
}
