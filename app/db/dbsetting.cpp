#include "dbsetting.h"

#include "db.h"
#include "dbsession.h"
#include "debugline.h"
#include "mydebug.h"
#include "platform/clock.h"
#include "zsystem.h"

#include <QSqlQuery>

#include <limits>

namespace {

const QString settingDb = QStringLiteral("../DB/setting.db");

bool isMerid()
{
    return ZSystem::mode() == ZSystem::Merid;
}

QString nowSeconds()
{
    return QString::number(vnq::clock().now().toSecsSinceEpoch());
}

// Keys no cloud service is told about, in every edition.
bool isExcludedKey(const QString& key)
{
    static const QStringList excluded{
        QStringLiteral("bento_uketsuke_jikantai0_start"), QStringLiteral("bento_uketsuke_jikantai0_end"),
        QStringLiteral("bento_uketsuke_jikantai1_start"), QStringLiteral("bento_uketsuke_jikantai1_end"),
        QStringLiteral("bento_uketsuke_jikantai2_start"), QStringLiteral("bento_uketsuke_jikantai2_end"),
        QStringLiteral("bento_uketsuke_jikantai3_start"), QStringLiteral("bento_uketsuke_jikantai3_end"),
        QStringLiteral("bento_uketsuke_nissuu"),          QStringLiteral("shimekirimae_data_soushin"),
        QStringLiteral("shokken_insatsu"),                QStringLiteral("pair_print"),
        QStringLiteral("shokken_youshigire"),             QStringLiteral("modem_method"),
        QStringLiteral("modem_time_start"),               QStringLiteral("modem_time_end"),
        QStringLiteral("ntp_use"),                        QStringLiteral("ntp_server0"),
        QStringLiteral("ntp_server1"),                    QStringLiteral("ntp_server2"),
        QStringLiteral("ntp_server3"),                    QStringLiteral("ntp_time"),
        QStringLiteral("port_number"),                    QStringLiteral("start_sec"),
        QStringLiteral("cycle_sec"),                      QStringLiteral("kojin_dakoku_shoukai"),
        QStringLiteral("kojin_dakoku_insatsu"),           QStringLiteral("unserviced_start"),
        QStringLiteral("unserviced_end"),                 QStringLiteral("modem_method_kirikae"),
    };
    return excluded.contains(key);
}

// The day-change times, which the Merid service does not take.
bool isMeridExcludedKey(const QString& key)
{
    return key == QLatin1String("shukkin_higawari") || key == QLatin1String("taikin_higawari")
        || key == QLatin1String("gaishutsu_sainyuu_higawari");
}

}  // namespace

DBSetting::DBSetting(QObject* parent)
    : QObject(parent)
{
}

bool DBSetting::execQuery(const QString& sql, QString* a, QString* b, QString* c, const QVariantList& binds)
{
    return DB::getInstance()->execQuery(settingDb, sql, a, b, c, nullptr, binds);
}

bool DBSetting::execQuery(const QString& sql, int* a, int* b, int* c, const QVariantList& binds)
{
    return DB::getInstance()->execQuery(settingDb, sql, a, b, c, binds);
}

bool DBSetting::health()
{
    int count = 0;
    return execQuery(QStringLiteral("SELECT count(*) FROM setting"), &count, nullptr, nullptr)
        && execQuery(QStringLiteral("SELECT count(*) FROM manual"), &count, nullptr, nullptr)
        && execQuery(QStringLiteral("SELECT count(*) FROM tsushin"), &count, nullptr, nullptr)
        && execQuery(QStringLiteral("SELECT count(*) FROM wifi"), &count, nullptr, nullptr);
}

bool DBSetting::getSetting(const QString& jname, int* value)
{
    return execQuery(QStringLiteral("SELECT t.value FROM setting t WHERE t.jname = ?"), value, nullptr,
                     nullptr, {jname});
}

bool DBSetting::getSetting(const QString& jname, int* value, int* min, int* max)
{
    return execQuery(QStringLiteral("SELECT t.value, t.min, t.max FROM setting t WHERE t.jname = ? "), value,
                     min, max, {jname});
}

bool DBSetting::getParamRange(const QString& item, int* min, int* max)
{
    QString low, high, key;
    if (!execQuery(QStringLiteral("SELECT t.min, t.max, t.item FROM setting t WHERE t.item = ? "), &low, &high, &key,
                   {item}))
        return false;
    *min = low.isEmpty() ? std::numeric_limits<int>::min() : low.toInt();
    *max = high.isEmpty() ? std::numeric_limits<int>::max() : high.toInt();
    return true;
}

int DBSetting::getParamJ(const QString& jname, int* value)
{
    return getSetting(jname, value) ? 0 : -1;
}

int DBSetting::getParamJ(const QString& jname, int* value, int* min, int* max)
{
    return getSetting(jname, value, min, max) ? 0 : -1;
}

bool DBSetting::setSetting(const QString& jname, int value)
{
    int* none = nullptr;
    if (isMerid()) {
        return execQuery(QStringLiteral("UPDATE setting SET value = ?, update_time = ? WHERE jname = ?"), none,
                         none, none, {QString::number(value), nowSeconds(), jname});
    }
    return execQuery(QStringLiteral("UPDATE setting SET value = ? WHERE jname = ?"), none, none, none,
                     {QString::number(value), jname});
}

bool DBSetting::setSettings(const QList<QPair<QString, int>>& rows)
{
    QList<DB::Statement> statements;
    for (const auto& row : rows) {
        if (isMerid()) {
            statements.append({QStringLiteral("UPDATE setting SET value = ?, update_time = ? WHERE jname = ?"),
                               {QString::number(row.second), nowSeconds(), row.first}, true});
        } else {
            statements.append({QStringLiteral("UPDATE setting SET value = ? WHERE jname = ?"),
                               {QString::number(row.second), row.first}, true});
        }
    }
    if (!DB::getInstance()->execTransaction(settingDb, statements))
        return false;
    for (const auto& row : rows) {
        int stored = 0;
        if (!getSetting(row.first, &stored) || stored != row.second)
            return false;
    }
    return true;
}

namespace {

// The statement and binds that write one setting by its English key.
DB::Statement paramStatement(const DBSetting::ParamWrite& write)
{
    if (isMerid()) {
        const QString time = write.timed ? QString::number(write.updateTime) : nowSeconds();
        return {QStringLiteral("UPDATE setting SET value = ?, update_time = ? WHERE item = ?"),
                {QString::number(write.value), time, write.item}};
    }
    return {QStringLiteral("UPDATE setting SET value = ? WHERE item = ?"), {QString::number(write.value), write.item}};
}

}  // namespace

bool DBSetting::setParam(const QString& item, int* value, qint64* updateTime)
{
    if (!value)
        return false;
    ParamWrite write;
    write.item = item;
    write.value = *value;
    write.timed = updateTime != nullptr;
    write.updateTime = updateTime ? *updateTime : 0;
    const DB::Statement statement = paramStatement(write);
    int* none = nullptr;
    return execQuery(statement.sql, none, none, none, statement.binds);
}

bool DBSetting::setParams(const QList<ParamWrite>& writes)
{
    QList<DB::Statement> statements;
    for (const ParamWrite& write : writes)
        statements.append(paramStatement(write));
    return statements.isEmpty() || DB::getInstance()->execTransaction(settingDb, statements);
}

bool DBSetting::updatableParam(const QString& item, qint64 updateTime)
{
    QString stored;
    if (!execQuery(QStringLiteral("SELECT t.update_time FROM setting t WHERE t.item = ? "), &stored, nullptr,
                   nullptr, {item})) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "更新日時 取得失敗";
        return false;
    }
    if (stored.toLongLong() < updateTime) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "設定更新 必要";
        return true;
    }
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "設定更新 不要";
    return false;
}

int DBSetting::getParamAllForMerid(QString* items, int* values, qint64* updateTimes, int capacity)
{
    int result = -1;
    {
        // Held for the whole scan; a short one, so the watchdog flag stays as it is.
        DBSession session(settingDb, false);
        if (!session.isOpen()) {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "DB open NG";
        } else {
            QSqlQuery query(session.database());
            if (!query.exec(QStringLiteral("select * from setting"))) {
                MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "DB query exec NG";
            } else {
                const bool merid = isMerid();
                int stored = 0;
                while (stored < capacity && query.next()) {
                    const QString key = query.value(0).toString();
                    if (key.isEmpty() || isExcludedKey(key) || (merid && isMeridExcludedKey(key)))
                        continue;
                    items[stored] = key;
                    values[stored] = query.value(1).toInt();
                    if (updateTimes)
                        updateTimes[stored] = query.value(2).toLongLong();
                    ++stored;
                    result = 0;
                }
            }
        }
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "DB close path";
    }
    return result;
}

int DBSetting::getParamAllForCloud(QString* items, int* values, int capacity)
{
    return getParamAllForMerid(items, values, nullptr, capacity);
}

bool DBSetting::getManualAndSetting(const QString& name, QString* keyType, QString* value)
{
    return execQuery(QStringLiteral("SELECT t.keytype, s.value FROM manual t LEFT JOIN setting s ON t.name = "
                                    "s.jname WHERE t.name = ? "),
                     keyType, value, nullptr, {name});
}

bool DBSetting::getManual(const QString& jname, QString* report, QString* method, QString* keyType)
{
    return execQuery(QStringLiteral("SELECT t.report, t.method, t.keytype FROM manual t WHERE t.jname = ? "),
                     report, method, keyType, {jname});
}

bool DBSetting::getKeyType(const QString& name, QString* keyType)
{
    return execQuery(QStringLiteral("SELECT t.keytype FROM manual t WHERE t.name = ? "), keyType, nullptr,
                     nullptr, {name});
}

bool DBSetting::getDataUpdate(int kind, int* count, qint64* updateTime)
{
    QString storedCount, storedTime;
    if (!execQuery(QStringLiteral("SELECT t.count, t.update_time FROM data_update t WHERE t.kind_num = ?"),
                   &storedCount, &storedTime, nullptr, {QString::number(kind)}))
        return false;
    if (count)
        *count = storedCount.toInt();
    if (updateTime)
        *updateTime = storedTime.toLongLong();
    return true;
}

bool DBSetting::setDataUpdate(int kind, int count, qint64 updateTime)
{
    int* none = nullptr;
    return execQuery(QStringLiteral("UPDATE data_update SET update_time = ? , count = ? WHERE kind_num = ?"),
                     none, none, none,
                     {QString::number(updateTime), QString::number(count), QString::number(kind)});
}

bool DBSetting::getUniqueInfo(QString* uniqueKey, QString* servUrl)
{
    return execQuery(QStringLiteral("SELECT t.unique_key, t.serv_url FROM info t "), uniqueKey, servUrl, nullptr);
}

bool DBSetting::getTsushin(const QString& jname, int* updatedTime)
{
    return execQuery(QStringLiteral("SELECT t.updated_time FROM tsushin t WHERE t.jname = ? "), updatedTime,
                     nullptr, nullptr, {jname});
}

bool DBSetting::setTsushin(const QString& jname, int updatedTime)
{
    int* none = nullptr;
    return execQuery(QStringLiteral("UPDATE tsushin SET updated_time = ? WHERE jname = ?"), none, none, none,
                     {QString::number(updatedTime), jname});
}
