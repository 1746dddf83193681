#include "dbproxy.h"

#include "db.h"

DBProxy::DBProxy(QObject* parent)
    : QObject(parent)
{
}

DBProxy::~DBProxy() = default;

bool DBProxy::execQuery(const QString& sql, QString* col1, QString* col2, QString* col3, const QVariantList& binds)
{
    return DB::getInstance()->execQuery(QStringLiteral("../DB/setting.db"), sql, col1, col2, col3, nullptr, binds);
}

bool DBProxy::getAuth(const QString& jname, QString* id, QString* password)
{
    return execQuery(QStringLiteral("SELECT t.id, t.password FROM proxy t WHERE t.jname = ? "), id, password,
                     nullptr, {jname});
}

bool DBProxy::setId(const QString& jname, const QString& id)
{
    return execQuery(QStringLiteral("UPDATE proxy SET id = ? WHERE jname = ?"), nullptr, nullptr, nullptr,
                     {id, jname});
}

bool DBProxy::setPass(const QString& jname, const QString& password)
{
    return execQuery(QStringLiteral("UPDATE proxy SET password = ? WHERE jname = ?"), nullptr, nullptr, nullptr,
                     {password, jname});
}
