#include "db.h"

#include "dbsession.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace {

// One registered connection per thread, removed again when the thread ends.
class ThreadConnection {
public:
    ThreadConnection()
        : m_name(QStringLiteral("vnq_db_%1").arg(++s_counter))
        , m_db(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name))
    {
    }
    ~ThreadConnection()
    {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase* database() { return &m_db; }

private:
    static std::atomic<int> s_counter;
    QString m_name;
    QSqlDatabase m_db;
};

std::atomic<int> ThreadConnection::s_counter{0};

void bindValues(QSqlQuery& query, const QVariantList& binds)
{
    for (const QVariant& value : binds) {
        // A null text is stored as '' (as a quoted literal would be), never as NULL.
        if (value.userType() == QMetaType::QString && value.toString().isNull())
            query.addBindValue(QString(QLatin1String("")));
        else
            query.addBindValue(value);
    }
}

QVariantList textRow(const QSqlQuery& query, int columns)
{
    QVariantList row;
    for (int c = 0; c < columns; ++c)
        row.append(QVariant(query.value(c).toString()));
    return row;
}

}  // namespace

DB::DB()
    : QObject(nullptr)
{
}

DB* DB::getInstance()
{
    static DB* instance = new DB();
    return instance;
}

QSqlDatabase* DB::getDBBase()
{
    thread_local ThreadConnection connection;
    return connection.database();
}

bool DB::runStatement(QSqlQuery& query, const QString& sql, const QVariantList& binds, const char* function,
                      int line)
{
    bool ok = query.prepare(sql);
    if (ok) {
        bindValues(query, binds);
        ok = query.exec();
    }
    if (!ok) {
        DebugLine() << "<DBG>" << function << "[" << line << "]:" << query.lastError().text();
        DebugLine() << "<DBG>" << function << "[" << line << "]:" << sql;
    }
    return ok;
}

QString DB::filePath(const QString& dbPath)
{
    if (QDir::isAbsolutePath(dbPath))
        return vnq::boardPath(dbPath);
    return QDir::cleanPath(vnq::boardPath(QStringLiteral("/VnQo/app/App")) + QLatin1Char('/') + dbPath);
}

bool DB::execQueryBase(const QString& dbPath, const QString& sql, QVariantList* row,
                       const QVariantList& binds)
{
    DBSession session(dbPath);
    if (!session.isOpen())
        return false;
    QSqlQuery query(session.database());
    if (!runStatement(query, sql, binds, Q_FUNC_INFO, __LINE__))
        return false;
    if (!query.isSelect())
        return true;
    const int columns = query.record().count();
    bool found = false;
    while (query.next()) {
        found = true;
        if (row)
            *row = textRow(query, columns);
    }
    return found;
}

bool DB::execQuery(const QString& dbPath, const QString& sql, int* col1, int* col2, int* col3,
                   const QVariantList& binds)
{
    QVariantList row;
    if (!execQueryBase(dbPath, sql, &row, binds))
        return false;
    int* out[] = {col1, col2, col3};
    for (int k = 0; k < 3; ++k) {
        if (out[k] && row.size() > k)
            *out[k] = row.at(k).toInt();
    }
    return true;
}

bool DB::execQuery(const QString& dbPath, const QString& sql, QString* col1, QString* col2,
                   QString* col3, QString* col4, const QVariantList& binds)
{
    QVariantList row;
    if (!execQueryBase(dbPath, sql, &row, binds))
        return false;
    QString* out[] = {col1, col2, col3, col4};
    for (int k = 0; k < 4; ++k) {
        if (out[k] && row.size() > k)
            *out[k] = row.at(k).toString();
    }
    return true;
}

bool DB::selectQueryBase(const QString& dbPath, const QString& sql, QList<QStringList>* rows,
                         const QVariantList& binds)
{
    DBSession session(dbPath);
    if (!session.isOpen()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "DB: open NG" << dbPath;
        return false;
    }
    QSqlQuery query(session.database());
    if (!runStatement(query, sql, binds, Q_FUNC_INFO, __LINE__))
        return false;
    if (!query.isSelect()) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "DB: not select";
        return false;
    }
    const int columns = query.record().count();
    bool found = false;
    while (query.next()) {
        found = true;
        QStringList texts;
        for (int c = 0; c < columns; ++c)
            texts.append(query.value(c).toString());
        if (rows)
            rows->append(texts);
    }
    return found;
}

bool DB::execTransaction(const QString& dbPath, const QList<Statement>& statements)
{
    DBSession session(dbPath);
    if (!session.isOpen())
        return false;
    QSqlDatabase& db = session.database();
    if (!db.transaction()) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << db.lastError().text();
        return false;
    }
    for (const Statement& statement : statements) {
        QSqlQuery query(db);
        if (!runStatement(query, statement.sql, statement.binds, Q_FUNC_INFO, __LINE__)
            || (statement.changesOneRow && query.numRowsAffected() != 1)) {
            query.finish();
            db.rollback();
            return false;
        }
        query.finish();
    }
    if (!db.commit()) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

void DB::sync()
{
    vnq::commandRunner().shell(QStringLiteral("sync"));
}
