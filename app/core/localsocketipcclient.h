#pragma once

#include <QLocalSocket>
#include <QObject>
#include <QString>

// The client end of a local socket (the display server's "/tmp/vistrel.uds"). Messages are
// unframed: one send_MessageToServer call writes one text, and every read of the socket is
// delivered as one messageReceived text. A send made while not connected starts a new
// connection attempt and is lost; there is no queue and no reconnection of its own.
class LocalSocketIpcClient : public QObject {
    Q_OBJECT
public:
    // The largest message, in UTF-8 bytes; a longer one is refused.
    static constexpr int SendBufferSize = 131072;
    // Failed writes after which a message is given up.
    static constexpr int MaxWriteFailures = 10;

    // Starts connecting at once. An absolute name is a board path.
    LocalSocketIpcClient(QString serverName, QObject* parent);
    ~LocalSocketIpcClient() override;

    // -1 not connected, 0 connected.
    int connectionState() const { return m_state; }

public slots:
    void send_MessageToServer(QString message);
    void socket_connected();
    void socket_disconnected();
    void socket_readReady();
    void socket_error(QLocalSocket::LocalSocketError err);

signals:
    void messageReceived(QString);

private:
    void connectToServer();

    QString m_serverName;
    QLocalSocket* m_socket = nullptr;
    int m_state = -1;

    // Every message is copied here before it is written (shared by all clients; sends run on
    // the main thread only).
    static char tempBuffer[SendBufferSize];
};
