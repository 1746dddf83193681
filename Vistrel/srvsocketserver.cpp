#include "srvsocketserver.h"

#include "boardpath.h"
#include "srvlog.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstring>

namespace vistrel {

char LocalSocketIpcServer::tempBuffer[SendBufferSize];

namespace {

// Received bytes as text: UTF-8 up to the first NUL byte.
QString textOf(const QByteArray& bytes)
{
    const int nul = bytes.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
}

}  // namespace

LocalSocketIpcServer::LocalSocketIpcServer(QString serverName, QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    const QString path = boardPath(serverName);
    removeStaleSocketFile(path);
    if (!m_server->listen(path))
        VISTREL_SRV_ERR() << m_server->errorString() << "Not able to start the Server";
    connect(m_server, &QLocalServer::newConnection, this, &LocalSocketIpcServer::socket_new_connection);
}

LocalSocketIpcServer::~LocalSocketIpcServer() = default;

void LocalSocketIpcServer::removeStaleSocketFile(const QString& path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return;
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(StaleProbeMs)) {
        probe.disconnectFromServer();
        VISTREL_SRV_ERR() << path << "a server already answers on the socket";
        return;
    }
    QLocalServer::removeServer(path);
}

bool LocalSocketIpcServer::isListening() const
{
    return m_server->isListening();
}

QLocalSocket* LocalSocketIpcServer::currentConnection() const
{
    for (int i = m_connections.size() - 1; i >= 0; --i) {
        if (m_connections[i])
            return m_connections[i];
    }
    return nullptr;
}

void LocalSocketIpcServer::socket_new_connection()
{
    while (QLocalSocket* connection = m_server->nextPendingConnection()) {
        m_connections.append(connection);
        connect(connection, &QLocalSocket::readyRead, this, [this, connection] { socket_receive(connection); });
        connect(connection, &QLocalSocket::disconnected, this, [this, connection] { socket_delete(connection); });
        if (connection->bytesAvailable() > 0)
            socket_receive(connection);
    }
}

void LocalSocketIpcServer::socket_receive(QLocalSocket* connection)
{
    const QByteArray bytes = connection->readAll();
    if (!bytes.isEmpty())
        emit messageReceived(textOf(bytes));
}

void LocalSocketIpcServer::socket_delete(QLocalSocket* connection)
{
    m_connections.removeAll(connection);
    connection->deleteLater();
}

qint64 LocalSocketIpcServer::writeChunk(QLocalSocket* connection, const char* data, qint64 size)
{
    return connection->write(data, size);
}

int LocalSocketIpcServer::socket_send(QString text)
{
    QLocalSocket* connection = currentConnection();
    if (!connection)
        return -1;
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > SendBufferSize) {
        VISTREL_SRV_ERR() << "reply of" << bytes.size() << "bytes exceeds the send buffer, not sent";
        return -1;
    }
    std::memcpy(tempBuffer, bytes.constData(), static_cast<size_t>(bytes.size()));
    const qint64 total = bytes.size();
    qint64 sent = 0;
    qint64 result = 0;
    int failures = 0;
    while (sent < total) {
        result = writeChunk(connection, tempBuffer + sent, total - sent);
        if (result <= 0) {
            VISTREL_SRV_ERR() << "write fail !!";
            if (++failures >= MaxWriteFailures)
                return -1;
            continue;
        }
        if (!connection->flush())
            VISTREL_SRV_ERR() << "flush fail !!";
        sent += result;
    }
    return static_cast<int>(result);
}

}  // namespace vistrel
