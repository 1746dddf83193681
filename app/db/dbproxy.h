#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>

// The proxy credentials of setting.db (table proxy), found by item name; the network
// configuration and the HTTP client read the row "プロキシ認証". Values are bound, never written
// into the statement, so they are stored exactly as given: callers pass the text as typed,
// apostrophes undoubled.
class DBProxy : public QObject {
    Q_OBJECT
public:
    explicit DBProxy(QObject* parent = nullptr);
    ~DBProxy() override;

    static bool execQuery(const QString& sql, QString* col1, QString* col2, QString* col3,
                          const QVariantList& binds = {});
    static bool getAuth(const QString& jname, QString* id, QString* password);
    static bool setId(const QString& jname, const QString& id);
    static bool setPass(const QString& jname, const QString& password);
};
