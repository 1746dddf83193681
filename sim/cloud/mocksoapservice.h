#pragma once

#include "mockhttpserver.h"
#include "mockidmregistry.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// The cloud edition's SOAP service for tests and the simulated board, on a MockHttpServer.
// It reads requests with its own XML code and answers any deviation from the service's
// format with HTTP 500 and a SOAP 1.1 Fault. Clients are known by their unique key; every
// operation but GetTokenSeed needs a token made from a fresh seed of that key.
class MockSoapService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* servicePath = "/vqcloud/WebService";
    static constexpr const char* defaultCloudKey = "pzorbitHx4n7dRw";
    static constexpr int SeedLifetimeSeconds = 120;
    static constexpr int MaxOpenSeeds = 16;

    struct StoredStamp {
        QString clientKey, idCode, kubun, stamptime, flag;
        bool operator==(const StoredStamp& o) const
        {
            return clientKey == o.clientKey && idCode == o.idCode && kubun == o.kubun && stamptime == o.stamptime
                   && flag == o.flag;
        }
    };
    struct UpdateTime {
        int kind;
        QString time;  // "yyyy-MM-dd hh:mm:ss"
        int count;
    };
    // One operation as the service handled it.
    struct Call {
        QString operation;
        QString clientKey;
        QString result;  // empty: refused as a fault
    };

    explicit MockSoapService(MockHttpServer* server, QObject* parent = nullptr);

    QString serviceUrl() const;

    void addClient(const QString& key, const QString& cloudKey = QString::fromLatin1(defaultCloudKey),
                   bool enabled = true);
    void setClientEnabled(const QString& key, bool enabled);
    void removeClient(const QString& key) { m_clients.remove(key); }
    // Any unknown key is taken as a new, enabled client with the default cloud key.
    void setAcceptAnyClient(bool accept) { m_acceptAnyClient = accept; }
    // Calls of an operation so far, whatever became of them.
    int callCount(const QString& operation) const { return m_callCounts.value(operation); }
    // Seconds since 1970 of "now" for the seeds' lifetime; the test's clock in tests.
    void setNow(std::function<qint64()> nowSeconds) { m_now = std::move(nowSeconds); }
    void setUpdateTimes(const QList<UpdateTime>& times) { m_updateTimes = times; }
    // What GetVantroSetting hands out (name, value) and GetCommCycle's four values.
    void setSettings(const QList<QPair<QString, int>>& settings) { m_settings = settings; }
    const QList<QPair<QString, int>>& settings() const { return m_settings; }
    struct User {
        QString idCode, name, groupCode, idm;
    };
    // The user master GetVantroUser hands out.
    void setUsers(const QList<User>& users) { m_users = users; }
    const QList<User>& users() const { return m_users; }
    // The firmware GetFirmwareVersion describes and GetFirmwareFile hands out.
    void setFirmware(const QString& version, const QByteArray& image)
    {
        m_firmwareVersion = version;
        m_firmware = image;
    }
    // Registered card IDms (IDm -> user id code).
    const QHash<QString, QString>& idms() const { return m_idms.idms(); }
    void setCommCycle(int startSec, int cycleSec, int unservicedStart, int unservicedEnd)
    {
        m_commCycle = {startSec, cycleSec, unservicedStart, unservicedEnd};
    }

    // The nth call of an operation (from 1; 0: every call) answers with this result and
    // nothing else.
    void scriptResult(const QString& operation, const QString& result, int nth = 0);
    // The nth call of an operation gets this HTTP-level behaviour instead.
    void scriptFault(const QString& operation, const MockFault& fault, int nth = 0);
    void clearScripts()
    {
        m_resultScripts.clear();
        m_faultScripts.clear();
    }

    const QList<StoredStamp>& stamps() const { return m_stamps; }
    // The settings of the client's last PutVantroInfo (name, value) and its version.
    QList<QPair<QString, QString>> lastStatus(const QString& key) const { return m_status.value(key); }
    QString lastVersion(const QString& key) const { return m_versions.value(key); }
    const QList<Call>& calls() const { return m_calls; }
    QStringList operations() const;
    // Every seed handed out and every token accepted, for checks that none reached a log.
    const QStringList& issuedSeeds() const { return m_issuedSeeds; }
    const QStringList& acceptedTokens() const { return m_acceptedTokens; }

signals:
    // Stamps, a status report or a card registration were stored.
    void stored();

private:
    struct Client {
        QString cloudKey;
        bool enabled = true;
        QList<QPair<QString, qint64>> seeds;  // seed, expiry
    };
    struct Parsed;

    MockAnswer handle(const MockRequest& request);
    bool chooseFault(const MockRequest& request, MockFault* fault);
    MockAnswer answer(const QString& operation, const QString& result, const QString& elements = QString()) const;
    MockAnswer soapFault(const QString& reason) const;
    QString checkToken(Client* client, const QString& token);

    MockHttpServer* m_server;
    std::function<qint64()> m_now;
    QHash<QString, Client> m_clients;
    QList<UpdateTime> m_updateTimes;
    QList<QPair<QString, int>> m_settings;
    QList<int> m_commCycle = {0, 3600, -1, -1};
    QString m_firmwareVersion = QStringLiteral("QO02-9Z01");
    QByteArray m_firmware = QByteArray("VantroQo firmware image");
    MockIdmRegistry m_idms;
    QList<User> m_users;
    bool m_acceptAnyClient = false;
    QHash<QString, QList<QPair<int, QString>>> m_resultScripts;
    QHash<QString, QList<QPair<int, MockFault>>> m_faultScripts;
    QHash<QString, int> m_callCounts;
    int m_currentCount = 0;
    QList<StoredStamp> m_stamps;
    QSet<QString> m_stampKeys;
    QHash<QString, QList<QPair<QString, QString>>> m_status;
    QHash<QString, QString> m_versions;
    QList<Call> m_calls;
    QStringList m_issuedSeeds;
    QStringList m_acceptedTokens;
};
