#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>

// The wireless profiles of setting.db (table wifi), found by item name; the network
// configuration reads the row "無線LAN設定". Values are bound, never written into the statement,
// so they are stored exactly as given: callers pass the text as typed, apostrophes undoubled.
class DBWifi : public QObject {
    Q_OBJECT
public:
    explicit DBWifi(QObject* parent = nullptr);
    ~DBWifi() override;

    static bool execQuery(const QString& sql, QString* col1, QString* col2, QString* col3,
                          const QVariantList& binds = {});
    static bool getWifi(const QString& jname, QString* ssid, QString* password, QString* security);
    static bool setWifiSsid(const QString& jname, const QString& ssid);
    static bool setWifiPassword(const QString& jname, const QString& password);
    static bool setWifiSecurity(const QString& jname, const QString& security);
};
