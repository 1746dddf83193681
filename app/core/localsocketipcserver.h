#pragma once

#include "localsockettext.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

class QLocalServer;
class QLocalSocket;

// The listening end of a local socket (the card service's "/tmp/iccard.uds"). Each connection
// carries one unframed message. Connections are never waited for: each has its own buffer,
// filled as its data arrives, and its message is taken once it holds at least 4 bytes and is
// whole (see vnq::IncomingMessage), or once the peer has closed. The message goes
// to messageReceived, whose handlers run before the connection is dropped. A connection that
// stays silent is dropped when its wait has run out, one that closes without a message at once.
class LocalSocketIpcServer : public QObject {
    Q_OBJECT
public:
    // How long a connection may take to deliver its message.
    static constexpr int FirstBytesWaitMs = 2000;

    // Listens at once. An absolute name is a board path; a socket file left there is not
    // removed, so listening then fails (logged).
    LocalSocketIpcServer(QString serverName, QObject* parent);
    ~LocalSocketIpcServer() override;

    bool isListening() const;
    void setFirstBytesWaitMs(int ms) { m_firstBytesWaitMs = ms; }
    int pendingConnections() const { return m_pending.size(); }

public slots:
    void socket_new_connection();
    // Drops the current connection (the newest one).
    void socket_delete();
    // Takes what has arrived on connections whose wait has run out by vnq::clock(): a message
    // if there are at least 4 bytes, otherwise the connection is dropped. Its timer calls it;
    // tests call it after stepping a fake clock.
    void dropSilentConnections();

signals:
    void messageReceived(QString);

private:
    struct Pending {
        std::shared_ptr<vnq::IncomingMessage> message;
        qint64 deadlineMs = 0;
    };

    void readConnection(QLocalSocket* connection);
    void connectionClosed(QLocalSocket* connection);
    // Emits what has arrived on the connection as its message, or drops it when that is
    // less than 4 bytes; the connection is deleted either way.
    void finish(QLocalSocket* connection);
    void dropConnection(QLocalSocket* connection);
    void armSilenceTimer();

    QLocalServer* m_server = nullptr;
    QPointer<QLocalSocket> m_connection;
    QHash<QLocalSocket*, Pending> m_pending;
    QTimer m_silenceTimer;
    int m_firstBytesWaitMs = FirstBytesWaitMs;
};
