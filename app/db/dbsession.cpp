#include "dbsession.h"

#include "db.h"
#include "heartbeat.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QUrl>

namespace {

// Opens an existing file read-write. The URI form with mode=rw makes SQLite refuse to create
// a missing file (plain open would create an empty database in its place).
bool openExisting(QSqlDatabase& db, const QString& file)
{
    if (!QFileInfo(file).isFile())
        return false;
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db.setDatabaseName(QStringLiteral("file:%1?mode=rw")
                           .arg(QString::fromLatin1(QUrl::toPercentEncoding(file, "/"))));
    if (!db.open())
        return false;
    // A commit removes its rollback journal; EXTRA also syncs the directory after the
    // removal, so a committed transaction is on storage before it is reported. Without that,
    // a power loss can bring the journal back and roll an acknowledged stamp back. A file the
    // pragma fails on cannot be read at all, so its own statement will fail and report it.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=EXTRA"));
    return true;
}

}  // namespace

DBSession::DBSession(const QString& dbPath, bool pauseWatchdog)
    : m_lock(&DB::getInstance()->mutex)
    , m_db(DB::getInstance()->getDBBase())
    , m_pauseWatchdog(pauseWatchdog)
{
    if (m_pauseWatchdog)
        selfcheckpass = true;
    m_open = openExisting(*m_db, DB::filePath(dbPath));
}

DBSession::~DBSession()
{
    m_db->close();
    if (m_pauseWatchdog)
        selfcheckpass = false;
}
