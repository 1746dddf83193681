#pragma once

#include "mockhttpserver.h"

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

    explicit MockJsonService(MockHttpServer* server, QObject* parent = nullptr);

    // The base URL a client joins its paths to (ends with a slash).
    QString serviceUrl() const;
    // The raw request path of an operation as the client sends it.
    static QByteArray pathOf(const QString& operation);

    void addClient(const QString& key, bool enabled = true) { m_clients.insert(key, enabled); }
    // Seconds since 1970 of "now" for the tokens' lifetime; the test's clock in tests.
    void setNow(std::function<qint64()> nowSeconds) { m_now = std::move(nowSeconds); }
    void setUpdateTimes(const QList<UpdateTime>& times) { m_updateTimes = times; }
    // The nth call of an operation (from 1; 0: every call) answers with this result only.
    void scriptResult(const QString& operation, int result, int nth = 0);

    // Operations in the order they arrived ("getToken", "putStamp" ...).
    const QStringList& operations() const { return m_operations; }
    int callCount(const QString& operation) const { return m_operations.count(operation); }
    const QList<StoredStamp>& stamps() const { return m_stamps; }
    QList<Info> lastStatus(const QString& key) const { return m_status.value(key); }
    const QStringList& issuedTokens() const { return m_issued; }
    // Tokens handed out and not yet released.
    int openTokens() const { return m_tokens.size(); }

private:
    struct Token {
        QString clientKey;
        qint64 expiry = 0;
    };

    MockAnswer handle(const QString& operation, const MockRequest& request);
    MockAnswer operate(const QString& operation, const QJsonObject& body);
    MockAnswer putStamp(const QString& clientKey, const QJsonObject& body);

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
};
