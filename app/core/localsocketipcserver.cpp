#include "localsocketipcserver.h"

#include "debugline.h"
#include "localsockettext.h"
#include "mydebug.h"
#include "platform/clock.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <algorithm>

namespace {
constexpr int firstBytes = 4;
}

LocalSocketIpcServer::LocalSocketIpcServer(QString serverName, QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    if (!m_server->listen(vnq::localSocketPath(serverName)))
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "Not able to start the Server";
    connect(m_server, &QLocalServer::newConnection, this, &LocalSocketIpcServer::socket_new_connection);
    m_silenceTimer.setSingleShot(true);
    connect(&m_silenceTimer, &QTimer::timeout, this, &LocalSocketIpcServer::dropSilentConnections);
}

LocalSocketIpcServer::~LocalSocketIpcServer()
{
    for (auto it = m_pending.keyBegin(); it != m_pending.keyEnd(); ++it)
        disconnect(*it, nullptr, this, nullptr);
    delete m_server;
}

bool LocalSocketIpcServer::isListening() const
{
    return m_server->isListening();
}

void LocalSocketIpcServer::socket_new_connection()
{
    while (QLocalSocket* connection = m_server->nextPendingConnection()) {
        m_connection = connection;
        m_pending.insert(connection, Pending{ std::make_shared<vnq::IncomingMessage>(),
                                             vnq::clock().monotonicMs() + m_firstBytesWaitMs });
        connect(connection, &QLocalSocket::readyRead, this, [this, connection] { readConnection(connection); });
        connect(connection, &QLocalSocket::disconnected, this, [this, connection] { connectionClosed(connection); });
        readConnection(connection);
    }
    armSilenceTimer();
}

void LocalSocketIpcServer::readConnection(QLocalSocket* connection)
{
    auto pending = m_pending.find(connection);
    if (pending == m_pending.end())
        return;
    const bool whole = pending->message->add(connection->readAll());
    if (whole && pending->message->bytes().size() >= firstBytes)
        finish(connection);
    else if (connection->state() == QLocalSocket::UnconnectedState)
        connectionClosed(connection);
}

void LocalSocketIpcServer::connectionClosed(QLocalSocket* connection)
{
    if (!m_pending.contains(connection))
        return;
    m_pending[connection].message->add(connection->readAll());
    finish(connection);
}

void LocalSocketIpcServer::dropSilentConnections()
{
    const qint64 now = vnq::clock().monotonicMs();
    const QList<QLocalSocket*> connections = m_pending.keys();
    for (QLocalSocket* connection : connections) {
        if (m_pending.contains(connection) && m_pending.value(connection).deadlineMs <= now)
            finish(connection);
    }
    armSilenceTimer();
}

void LocalSocketIpcServer::finish(QLocalSocket* connection)
{
    const QByteArray bytes = m_pending.take(connection).message->bytes();
    disconnect(connection, nullptr, this, nullptr);
    if (bytes.size() >= firstBytes) {
        const QString text = vnq::decodeLocalSocketText(bytes);
        // The text itself is logged once, by the receiver that finds fault with it.
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "message:" << int(bytes.size());
        emit messageReceived(text);
    } else {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "no message, connection dropped:"
                  << int(bytes.size());
    }
    dropConnection(connection);
}

void LocalSocketIpcServer::socket_delete()
{
    if (!m_connection) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "delete socket!!!";
        return;
    }
    QLocalSocket* connection = m_connection;
    m_pending.remove(connection);
    disconnect(connection, nullptr, this, nullptr);
    dropConnection(connection);
}

void LocalSocketIpcServer::dropConnection(QLocalSocket* connection)
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "delete socket!!!";
    if (m_connection == connection)
        m_connection = nullptr;
    connection->deleteLater();
}

void LocalSocketIpcServer::armSilenceTimer()
{
    if (m_pending.isEmpty()) {
        m_silenceTimer.stop();
        return;
    }
    qint64 first = m_pending.constBegin()->deadlineMs;
    for (const Pending& pending : qAsConst(m_pending))
        first = std::min(first, pending.deadlineMs);
    const qint64 left = first - vnq::clock().monotonicMs();
    m_silenceTimer.start(int(std::clamp<qint64>(left, 1, m_firstBytesWaitMs)));
}
