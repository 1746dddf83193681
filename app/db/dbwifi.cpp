#include "dbwifi.h"

#include "db.h"

DBWifi::DBWifi(QObject* parent)
    : QObject(parent)
{
}

DBWifi::~DBWifi() = default;

bool DBWifi::execQuery(const QString& sql, QString* col1, QString* col2, QString* col3, const QVariantList& binds)
{
    return DB::getInstance()->execQuery(QStringLiteral("../DB/setting.db"), sql, col1, col2, col3, nullptr, binds);
}

bool DBWifi::getWifi(const QString& jname, QString* ssid, QString* password, QString* security)
{
    return execQuery(QStringLiteral("SELECT t.ssid, t.password, t.security FROM wifi t WHERE t.jname = ? "), ssid,
                     password, security, {jname});
}

bool DBWifi::setWifiSsid(const QString& jname, const QString& ssid)
{
    return execQuery(QStringLiteral("UPDATE wifi SET ssid = ? WHERE jname = ?"), nullptr, nullptr, nullptr,
                     {ssid, jname});
}

bool DBWifi::setWifiPassword(const QString& jname, const QString& password)
{
    return execQuery(QStringLiteral("UPDATE wifi SET password = ? WHERE jname = ?"), nullptr, nullptr, nullptr,
                     {password, jname});
}

bool DBWifi::setWifiSecurity(const QString& jname, const QString& security)
{
    return execQuery(QStringLiteral("UPDATE wifi SET security = ? WHERE jname = ?"), nullptr, nullptr, nullptr,
                     {security, jname});
}
