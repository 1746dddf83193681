#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariantList>

// The settings of setting.db: integer items addressed by Japanese item name (jname) or English
// item key (item), the key-type manual of the settings screens, the per-data-kind update
// counters of the cloud download, the communication times and the terminal identity. In the
// Merid edition every change of a setting also stamps its update_time.
class DBSetting : public QObject {
    Q_OBJECT
public:
    explicit DBSetting(QObject* parent = nullptr);

    // Room of the arrays that the cloud clients hand to the settings scans.
    static constexpr int ParamListCapacity = 128;

    static bool health();

    // true / 0 when the item exists; the out-values are untouched otherwise.
    static bool getSetting(const QString& jname, int* value);
    static bool getSetting(const QString& jname, int* value, int* min, int* max);
    static int getParamJ(const QString& jname, int* value);
    static int getParamJ(const QString& jname, int* value, int* min, int* max);

    static bool setSetting(const QString& jname, int value);
    // Writes every row of one item (a band, a date, an address) in one transaction, then
    // reads each row back: true only when every row exists and holds its value. A missing
    // row leaves all of them as they were.
    static bool setSettings(const QList<QPair<QString, int>>& rows);
    // Writes a setting by its English key; in the Merid edition also its update time
    // (updateTime when given, else now). Update times are seconds since 1970 in 64 bits.
    static bool setParam(const QString& item, int* value, qint64* updateTime = nullptr);
    // Writes several settings by their English keys in one transaction, each as setParam
    // would: either every row is written or none. A key that no row has changes nothing.
    struct ParamWrite {
        QString item;
        int value = 0;
        bool timed = false;       // the update time below rather than now (Merid edition)
        qint64 updateTime = 0;
    };
    static bool setParams(const QList<ParamWrite>& writes);
    // Whether a server's setting time is newer than the stored one.
    static bool updatableParam(const QString& item, qint64 updateTime);

    // Lists the settings a cloud service is told about into parallel arrays of `capacity`
    // entries, stopping when they are full. 0 when at least one entry was stored, else -1.
    static int getParamAllForMerid(QString* items, int* values, qint64* updateTimes,
                                   int capacity = ParamListCapacity);
    static int getParamAllForCloud(QString* items, int* values, int capacity = ParamListCapacity);

    static bool getManualAndSetting(const QString& name, QString* keyType, QString* value);
    static bool getManual(const QString& jname, QString* report, QString* method, QString* keyType);
    static bool getKeyType(const QString& name, QString* keyType);

    // The stored bounds of a setting by its English key; a bound the row leaves NULL is none:
    // INT_MIN or INT_MAX. False when no row has the key.
    static bool getParamRange(const QString& item, int* min, int* max);

    // A data kind's recorded count and update time (seconds since 1970, 64 bits).
    static bool getDataUpdate(int kind, int* count, qint64* updateTime);
    static bool setDataUpdate(int kind, int count, qint64 updateTime);

    static bool getUniqueInfo(QString* uniqueKey, QString* servUrl);

    static bool getTsushin(const QString& jname, int* updatedTime);
    static bool setTsushin(const QString& jname, int updatedTime);

private:
    static bool execQuery(const QString& sql, QString* a, QString* b, QString* c,
                          const QVariantList& binds = {});
    static bool execQuery(const QString& sql, int* a, int* b, int* c, const QVariantList& binds = {});
};
