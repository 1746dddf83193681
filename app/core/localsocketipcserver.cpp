#include "localsocketipcserver.h"

#include "debugline.h"
#include "localsockettext.h"
#include "mydebug.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
constexpr qint64 firstBytes = 4;
}

LocalSocketIpcServer::LocalSocketIpcServer(QString serverName, QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    if (!m_server->listen(vnq::localSocketPath(serverName)))
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Not able to start the Server";
    connect(m_server, &QLocalServer::newConnection, this, &LocalSocketIpcServer::socket_new_connection);
}

LocalSocketIpcServer::~LocalSocketIpcServer()
{
    delete m_server;
}

bool LocalSocketIpcServer::isListening() const
{
    return m_server->isListening();
}

bool LocalSocketIpcServer::waitForFirstBytes(QLocalSocket* connection) const
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (connection->bytesAvailable() < firstBytes) {
        const qint64 left = m_firstBytesWaitMs - elapsed.elapsed();
        if (left <= 0)
            return false;
        if (!connection->waitForReadyRead(int(left)) && connection->state() != QLocalSocket::ConnectedState)
            return connection->bytesAvailable() >= firstBytes;
    }
    return true;
}

void LocalSocketIpcServer::socket_new_connection()
{
    QLocalSocket* connection = m_server->nextPendingConnection();
    if (!connection)
        return;
    m_connection = connection;

    if (waitForFirstBytes(connection)) {
        const QString text = vnq::decodeLocalSocketText(connection->readAll());
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << text;
        emit messageReceived(text);
    } else {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "no message, connection dropped:"
                  << int(connection->bytesAvailable());
    }

    // A handler may have run an event loop that took further connections meanwhile.
    m_connection = connection;
    disconnect(connection, nullptr, nullptr, nullptr);
    socket_delete();
}

void LocalSocketIpcServer::socket_delete()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "delete socket!!!";
    if (!m_connection)
        return;
    disconnect(m_connection, nullptr, this, nullptr);
    m_connection->deleteLater();
    m_connection = nullptr;
}
