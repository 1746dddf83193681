#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QLocalSocket;

// The listening end of a local socket (the card service's "/tmp/iccard.uds"). Each connection
// carries one unframed message: what has arrived once at least 4 bytes are there. It is read
// and handed to messageReceived, whose handlers run before the connection is dropped;
// connections are handled one at a time on the main thread.
class LocalSocketIpcServer : public QObject {
    Q_OBJECT
public:
    // How long a connection may take to deliver its first 4 bytes; a peer that stays silent or
    // closes before then is dropped without a message.
    static constexpr int FirstBytesWaitMs = 2000;

    // Listens at once. An absolute name is a board path; a socket file left there is not
    // removed, so listening then fails (logged).
    LocalSocketIpcServer(QString serverName, QObject* parent);
    ~LocalSocketIpcServer() override;

    bool isListening() const;
    void setFirstBytesWaitMs(int ms) { m_firstBytesWaitMs = ms; }

public slots:
    void socket_new_connection();
    void socket_delete();

signals:
    void messageReceived(QString);

private:
    bool waitForFirstBytes(QLocalSocket* connection) const;

    QLocalServer* m_server = nullptr;
    QPointer<QLocalSocket> m_connection;
    int m_firstBytesWaitMs = FirstBytesWaitMs;
};
