#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace vistrel {

// The display server's end of its local socket. Connections stay open; each chunk a
// connection delivers is handed on as one text (no framing). Replies go to the newest
// connection that is still open; a connection that goes away releases only itself.
class LocalSocketIpcServer : public QObject {
    Q_OBJECT
public:
    static constexpr int SendBufferSize = 4096;
    static constexpr int MaxWriteFailures = 10;
    // How long a socket file found at the name may take to answer before it counts as left
    // over from a run that ended without removing it.
    static constexpr int StaleProbeMs = 200;

    // Listens at once on serverName (an absolute name is a board path). A socket file with no
    // server behind it is removed first; a live server is left alone and listening fails.
    LocalSocketIpcServer(QString serverName, QObject* parent);
    ~LocalSocketIpcServer() override;

    bool isListening() const;
    // The connection replies go to, or null.
    QLocalSocket* currentConnection() const;

    // Sends the text's UTF-8 bytes to the current connection: the result of the last write,
    // -1 without a connection, for a text over the send buffer or after MaxWriteFailures
    // failed writes.
    int socket_send(QString text);

signals:
    void messageReceived(QString message);

public slots:
    void socket_new_connection();

protected:
    // One write of the send loop; tests replace it to make writes fail.
    virtual qint64 writeChunk(QLocalSocket* connection, const char* data, qint64 size);

private:
    void socket_receive(QLocalSocket* connection);
    void socket_delete(QLocalSocket* connection);
    void removeStaleSocketFile(const QString& path);

    QLocalServer* m_server = nullptr;
    QList<QPointer<QLocalSocket>> m_connections;  // oldest first
    static char tempBuffer[SendBufferSize];
};

}  // namespace vistrel
