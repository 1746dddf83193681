#pragma once

#include "mockhttpserver.h"
#include "mockidmregistry.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// The Merid edition's JSON service for tests and the simulated board, on a MockHttpServer.
// It reads bodies with QJsonDocument. Clients are known by their key; "getToken" hands out a
// token that every other operation needs until it expires or "releaseToken" ends it.
class MockJsonService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* basePath = "/api/communication/";
    static constexpr int TokenLifetimeSeconds = 600;

    struct StoredStamp {
        QString clientKey;
        int ymd, hms, idCode, kubun, flag;
        bool operator==(const StoredStamp& o) const
        {
            return clientKey == o.clientKey && ymd == o.ymd && hms == o.hms && idCode == o.idCode && kubun == o.kubun
                   && flag == o.flag;
        }
    };
    struct UpdateTime {
        int kind;
        QString time;  // "yyyyMMddhhmmss"
    };
    struct Info {
        QString key, value, updateTime;
    };
    // A user of getVantroUser; an empty idmUpdateTime leaves the member out.
    struct User {
        int idCode;
        QString name;
        int groupNo;
        QString idm, idmUpdateTime;
    };
    // A setting of getVantroUnyou.
    struct Setting {
        QString key;
        int value;
        QString updateTime;  // "yyyyMMddhhmmss"
    };

    explicit MockJsonService(MockHttpServer* server, QObject* parent = nullptr);

    // The base URL a client joins its paths to (ends with a slash).
    QString serviceUrl() const;
    // The raw request path of an operation as the client sends it.
    static QByteArray pathOf(const QString& operation);

    void addClient(const QString& key, bool enabled = true) { m_clients.insert(key, enabled); }
    // Any unknown key is taken as a new, enabled client.
    void setAcceptAnyClient(bool accept) { m_acceptAnyClient = accept; }
    // Seconds since 1970 of "now" for the tokens' lifetime; the test's clock in tests.
    void setNow(std::function<qint64()> nowSeconds) { m_now = std::move(nowSeconds); }
    void setUpdateTimes(const QList<UpdateTime>& times) { m_updateTimes = times; }
    void setUsers(const QList<User>& users) { m_users = users; }
    void setSettings(const QList<Setting>& settings) { m_settings = settings; }
    void setCommCycle(int mmss, int cycle)
    {
        m_commMmss = mmss;
        m_commCycle = cycle;
    }
    void setServiceName(const QString& name) { m_serviceName = name; }
    // The image getVantroFirmwareInfo describes and GET "/firmware/<name>" serves, without a
    // token, as application/octet-stream.
    void setFirmware(const QString& version, const QByteArray& image);
    QString firmwareUrl() const;
    const QByteArray& firmware() const { return m_firmware; }
    // The nth call of an operation (from 1; 0: every call) answers with this result only.
    void scriptResult(const QString& operation, int result, int nth = 0);

    // Registered card IDms (IDm -> user id code in decimal).
    const QHash<QString, QString>& idms() const { return m_idms.idms(); }
    // Operations in the order they arrived ("getToken", "putStamp" ..., "firmware" for a GET
    // of the image).
    const QStringList& operations() const { return m_operations; }
    int callCount(const QString& operation) const { return m_operations.count(operation); }
    const QList<StoredStamp>& stamps() const { return m_stamps; }
    QList<Info> lastStatus(const QString& key) const { return m_status.value(key); }
    const QStringList& issuedTokens() const { return m_issued; }
    // Tokens handed out and not yet released.
    int openTokens() const { return m_tokens.size(); }

signals:
    // Stamps, a status report or a card registration were stored.
    void stored();

private:
    struct Token {
        QString clientKey;
        qint64 expiry = 0;
    };

    MockAnswer handle(const QString& operation, const MockRequest& request);
    MockAnswer operate(const QString& operation, const QJsonObject& body);
    MockAnswer putStamp(const QString& clientKey, const QJsonObject& body);
    MockAnswer putUserIDm(const QJsonObject& body);
    MockAnswer firmwareInfo() const;
    MockAnswer serveFirmware(const MockRequest& request);
    QByteArray firmwarePath() const;

    MockHttpServer* m_server;
    std::function<qint64()> m_now;
    QHash<QString, bool> m_clients;
    QHash<QString, Token> m_tokens;
    QSet<QString> m_ended;
    QList<UpdateTime> m_updateTimes;
    QHash<QString, QList<QPair<int, int>>> m_scripts;
    QStringList m_operations;
    QList<StoredStamp> m_stamps;
    QSet<QString> m_stampKeys;
    QHash<QString, QList<Info>> m_status;
    QStringList m_issued;
    bool m_acceptAnyClient = false;
    QList<User> m_users;
    QList<Setting> m_settings;
    int m_commMmss = 0;
    int m_commCycle = 3600;
    QString m_serviceName = QStringLiteral("VantroQo mock cloud");
    QString m_firmwareVersion = QStringLiteral("QO02-9Z01");
    QByteArray m_firmware = QByteArray("VantroQo firmware image");
    MockIdmRegistry m_idms;
};
