#include "connectproxy.h"

#include "mockhttphead.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QUrl>

namespace {

constexpr int maxHeadBytes = 8 * 1024;

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

}  // namespace

// One client connection: answers proxy requests until it becomes a tunnel or a forward.
class ProxyConnection : public QObject {
public:
    ProxyConnection(ConnectProxy* proxy, QTcpSocket* client)
        : QObject(proxy), m_proxy(proxy), m_client(client)
    {
        client->setParent(this);
        connect(client, &QTcpSocket::readyRead, this, [this] { readClient(); });
        connect(client, &QTcpSocket::disconnected, this, [this] {
            m_closed = true;
            if (m_upstream)
                m_upstream->disconnectFromHost();
            deleteLater();
        });
    }

private:
    // Ends both sides once what is queued for the client has gone out.
    void close()
    {
        if (m_closed)
            return;
        m_closed = true;
        if (m_upstream)
            m_upstream->disconnectFromHost();
        m_client->disconnectFromHost();
        if (m_client->state() == QAbstractSocket::UnconnectedState)
            deleteLater();
    }

    void answer(ConnectProxy::Entry& entry, int status, bool keepOpen, const mockhttp::Headers& extra = {})
    {
        entry.status = status;
        m_proxy->m_log.append(entry);
        mockhttp::Headers headers = extra;
        if (!keepOpen)
            headers.append(qMakePair(QByteArray("Connection"), QByteArray("close")));
        m_client->write(mockhttp::answerHead(status, headers, 0));
        if (!keepOpen)
            close();
    }

    void readClient()
    {
        if (m_upstream) {
            m_upstream->write(m_client->readAll());
            return;
        }
        m_buffer += m_client->readAll();
        while (!m_upstream && !m_closed) {
            mockhttp::Head head;
            int headLength = 0;
            const auto result = mockhttp::parseHead(m_buffer, maxHeadBytes, &head, &headLength);
            if (result == mockhttp::HeadResult::Incomplete)
                return;
            ConnectProxy::Entry entry{head.method, head.target, {}, 0};
            if (result != mockhttp::HeadResult::Complete)
                return answer(entry, 400, false);
            const int length = head.header("Content-Length").toInt();
            if (m_buffer.size() < headLength + length)
                return;
            const QByteArray body = m_buffer.mid(headLength, length);
            m_buffer.remove(0, headLength + length);

            if (!m_proxy->authorised(head.header("Proxy-Authorization"), &entry.user)) {
                answer(entry, 407, true, {{"Proxy-Authenticate", "Basic realm=\"vnq\""}});
                continue;
            }
            if (head.method == "CONNECT")
                tunnel(entry, head);
            else
                forward(entry, head, body);
        }
    }

    void openUpstream(const QString& host, quint16 port)
    {
        m_upstream = new QTcpSocket(this);
        connect(m_upstream, &QTcpSocket::readyRead, this, [this] { m_client->write(m_upstream->readAll()); });
        connect(m_upstream, &QTcpSocket::disconnected, this, [this] { close(); });
        m_upstream->connectToHost(host, port);
    }

    void tunnel(ConnectProxy::Entry& entry, const mockhttp::Head& head)
    {
        const int colon = head.target.lastIndexOf(':');
        const QString host = QString::fromLatin1(head.target.left(colon));
        const quint16 port = quint16(head.target.mid(colon + 1).toUInt());
        if (colon <= 0 || port == 0 || !isLoopbackHost(host))
            return answer(entry, 403, false);
        entry.status = 200;
        m_proxy->m_log.append(entry);
        openUpstream(host, port);
        connect(m_upstream, &QTcpSocket::connected, this, [this] {
            m_client->write("HTTP/1.1 200 Connection established\r\n\r\n");
            if (!m_buffer.isEmpty())
                m_upstream->write(m_buffer);
            m_buffer.clear();
        });
        connect(m_upstream, &QAbstractSocket::errorOccurred, this, [this] {
            if (m_upstream->state() != QAbstractSocket::ConnectedState)
                close();
        });
    }

    // Sends one request on to its server in origin form and its answer back; the connection
    // ends with the answer.
    void forward(ConnectProxy::Entry& entry, const mockhttp::Head& head, const QByteArray& body)
    {
        const QUrl target(QString::fromLatin1(head.target));
        if (target.scheme() != QLatin1String("http") || !isLoopbackHost(target.host()))
            return answer(entry, 403, false);
        entry.status = 200;
        m_proxy->m_log.append(entry);
        QByteArray request = head.method + ' '
                             + target.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) + ' '
                             + head.version + "\r\n";
        for (const auto& h : head.headers) {
            const QByteArray name = h.first.toLower();
            if (name != "proxy-authorization" && name != "proxy-connection" && name != "connection"
                && name != "keep-alive")
                request += h.first + ": " + h.second + "\r\n";
        }
        request += "Connection: close\r\n\r\n" + body;
        openUpstream(target.host(), quint16(target.port(80)));
        connect(m_upstream, &QTcpSocket::connected, this, [this, request] { m_upstream->write(request); });
        connect(m_upstream, &QAbstractSocket::errorOccurred, this, [this] {
            if (m_upstream->state() != QAbstractSocket::ConnectedState)
                close();
        });
    }

    ConnectProxy* m_proxy;
    QTcpSocket* m_client;
    QTcpSocket* m_upstream = nullptr;
    QByteArray m_buffer;
    bool m_closed = false;
};

ConnectProxy::ConnectProxy(quint16 port, QObject* parent)
    : QObject(parent)
    , m_listener(new mockhttp::LoopbackListener(
          [this](qintptr descriptor) {
              auto* socket = new QTcpSocket;
              socket->setSocketDescriptor(descriptor);
              new ProxyConnection(this, socket);
          },
          this))
{
    m_listener->listen(QHostAddress::LocalHost, port);
}

ConnectProxy::~ConnectProxy()
{
    m_listener->close();
}

void ConnectProxy::setCredentials(const QString& user, const QString& password)
{
    m_user = user;
    m_password = password;
}

bool ConnectProxy::isListening() const
{
    return m_listener->isListening();
}

quint16 ConnectProxy::port() const
{
    return m_listener->serverPort();
}

bool ConnectProxy::authorised(const QByteArray& header, QString* user) const
{
    if (header.startsWith("Basic ")) {
        const QString pair = QString::fromUtf8(QByteArray::fromBase64(header.mid(6).trimmed()));
        *user = pair.section(QLatin1Char(':'), 0, 0);
        if (!m_user.isEmpty())
            return pair == m_user + QLatin1Char(':') + m_password;
    }
    return m_user.isEmpty();
}
