#include "localsocketipcclient.h"

#include "debugline.h"
#include "localsockettext.h"
#include "mydebug.h"

#include <cstring>

char LocalSocketIpcClient::tempBuffer[LocalSocketIpcClient::SendBufferSize];

LocalSocketIpcClient::LocalSocketIpcClient(QString serverName, QObject* parent)
    : QObject(parent)
    , m_serverName(std::move(serverName))
    , m_socket(new QLocalSocket(this))
{
    connect(m_socket, &QLocalSocket::connected, this, &LocalSocketIpcClient::socket_connected);
    connect(m_socket, &QLocalSocket::disconnected, this, &LocalSocketIpcClient::socket_disconnected);
    connect(m_socket, &QLocalSocket::readyRead, this, &LocalSocketIpcClient::socket_readReady);
    connect(m_socket, &QLocalSocket::errorOccurred, this, &LocalSocketIpcClient::socket_error);
    connectToServer();
}

LocalSocketIpcClient::~LocalSocketIpcClient()
{
    m_socket->abort();
    delete m_socket;
}

void LocalSocketIpcClient::connectToServer()
{
    m_socket->connectToServer(vnq::localSocketPath(m_serverName), QIODevice::ReadWrite);
}

void LocalSocketIpcClient::send_MessageToServer(QString message)
{
    if (m_state < 0) {
        DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "connect:" << m_serverName;
        connectToServer();
        return;
    }

    const QByteArray bytes = message.toUtf8();
    if (bytes.size() > SendBufferSize) {
        MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "message too long:" << bytes.size();
        return;
    }
    std::memcpy(tempBuffer, bytes.constData(), size_t(bytes.size()));
    const qint64 length = bytes.size();

    qint64 position = 0;
    int failures = 0;
    do {
        const qint64 written = m_socket->write(tempBuffer + position, length - position);
        if (written > 0) {
            if (!m_socket->flush())
                MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "flush fail !!";
            position += written;
        } else {
            MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "write fail !!";
            if (++failures >= MaxWriteFailures) {
                MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "message given up:"
                          << int(position) << int(length);
                return;
            }
        }
    } while (position < length);
}

void LocalSocketIpcClient::socket_connected()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "socket_connected";
    m_state = 0;
}

void LocalSocketIpcClient::socket_disconnected()
{
    DebugLine() << "<DBG>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "socket_disconnected";
    m_state = -1;
}

void LocalSocketIpcClient::socket_readReady()
{
    emit messageReceived(vnq::decodeLocalSocketText(m_socket->readAll()));
}

void LocalSocketIpcClient::socket_error(QLocalSocket::LocalSocketError err)
{
    MyDebug() << "<ERR>" << Q_FUNC_INFO << "[" << __LINE__ << "]:" << "socket_error" << int(err);
}
