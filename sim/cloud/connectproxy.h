#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;

// An HTTP proxy on 127.0.0.1 for the cloud clients' tests: tunnels CONNECT and forwards
// requests in absolute form, to loopback targets only (403 otherwise). With credentials set it
// answers 407 with "Proxy-Authenticate: Basic" until a request brings them. It stops when it is
// destroyed.
class ConnectProxy : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QByteArray method;
        QByteArray target;
        QString user;  // from Proxy-Authorization, empty without
        int status = 0;
    };

    // Listens on the given port of 127.0.0.1 (0: any free one).
    explicit ConnectProxy(quint16 port = 0, QObject* parent = nullptr);
    ~ConnectProxy() override;

    // Basic credentials the proxy asks for; empty user: none asked.
    void setCredentials(const QString& user, const QString& password);

    bool isListening() const;
    quint16 port() const;
    const QList<Entry>& log() const { return m_log; }

private:
    friend class ProxyConnection;
    bool authorised(const QByteArray& header, QString* user) const;

    QTcpServer* m_listener = nullptr;
    QString m_user;
    QString m_password;
    QList<Entry> m_log;
};
