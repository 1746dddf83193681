#include "mockhttpserver.h"

#include "mockhttphead.h"

#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTimer>

using mockhttp::Headers;

QByteArray MockRequest::header(const QByteArray& name) const
{
    return mockhttp::headerValue(headers, name);
}

// One client connection: reads requests one after another and carries out their answers.
class MockConnection : public QObject {
public:
    MockConnection(MockHttpServer* server, QTcpSocket* socket)
        : QObject(server), m_server(server), m_socket(socket)
    {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this] { readMore(); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { finishConnection(); });
        connect(socket, &QAbstractSocket::errorOccurred, this, [this] {
            if (m_socket->state() != QAbstractSocket::ConnectedState)
                finishConnection();
        });
    }

private:
    void finishConnection()
    {
        if (m_closing)
            return;
        m_closing = true;
        m_pump.reset();
        deleteLater();
    }

    void readMore()
    {
        m_buffer += m_socket->readAll();
        serveBuffered();
    }

    void serveBuffered()
    {
        while (!m_busy && !m_closing) {
            mockhttp::Head head;
            int headLength = 0;
            switch (mockhttp::parseHead(m_buffer, MockHttpServer::MaxHeadBytes, &head, &headLength)) {
            case mockhttp::HeadResult::Incomplete:
                return;
            case mockhttp::HeadResult::TooLarge:
                return refuse(431);
            case mockhttp::HeadResult::Malformed:
                return refuse(400);
            case mockhttp::HeadResult::Complete:
                break;
            }
            qint64 length = 0;
            const QByteArray lengthText = head.header("Content-Length");
            if (!lengthText.isEmpty()) {
                bool ok = false;
                length = lengthText.toLongLong(&ok);
                if (!ok || length < 0)
                    return refuse(400);
            } else if (!head.header("Transfer-Encoding").isEmpty()
                       || head.method == "POST" || head.method == "PUT") {
                return refuse(411);
            }
            if (length > MockHttpServer::MaxBodyBytes)
                return refuse(413);
            if (m_buffer.size() < headLength + length)
                return;
            MockRequest request;
            request.method = head.method;
            request.target = head.target;
            request.path = head.target.left(head.target.indexOf('?') < 0 ? head.target.size()
                                                                         : head.target.indexOf('?'));
            request.headers = head.headers;
            request.body = m_buffer.mid(headLength, int(length));
            m_buffer.remove(0, headLength + int(length));
            m_busy = true;
            serve(request);
        }
    }

    void refuse(int status)
    {
        m_socket->write(mockhttp::answerHead(status, {{"Connection", "close"}}, 0));
        closeAfterWrite();
    }

    void closeAfterWrite()
    {
        m_closing = true;
        m_socket->disconnectFromHost();
    }

    void serve(const MockRequest& request)
    {
        const int index = m_server->record(request);
        MockFault fault;
        const bool faulty = m_server->faultFor(request, &fault);
        emit m_server->requestReceived(request);
        MockAnswer answer = m_server->answerFor(request);
        if (!faulty) {
            answerWith(index, answer);
            return;
        }
        switch (fault.kind) {
        case MockFault::Answer:
            answer.status = fault.status;
            answer.body = fault.body;
            answerWith(index, answer);
            break;
        case MockFault::WrongContentType:
            answer.contentType = fault.contentType;
            answerWith(index, answer);
            break;
        case MockFault::Delay: {
            QPointer<MockConnection> self(this);
            QTimer::singleShot(fault.delayMs, this, [self, index, answer] {
                if (self && self->m_socket->state() == QAbstractSocket::ConnectedState)
                    self->answerWith(index, answer);
            });
            break;
        }
        case MockFault::Stall:
            if (fault.bytes > 0 && fault.gate) {
                m_socket->write(head(answer, fault.bytes + 1));
                openGate(fault.gate, fault.bytes, fault.chunkBytes);
            } else if (fault.bytes > 0) {
                // In pieces a little apart, so the client hears of each one.
                m_socket->write(head(answer, fault.bytes + 1));
                pump(fault.bytes, stallPieceIntervalMs, [total = fault.bytes](qint64 at) {
                    return QByteArray(int(qMin<qint64>(stallPieceBytes, total - at)), 'x');
                }, true);
            }
            break;
        case MockFault::Close:
            m_socket->abort();
            finishConnection();
            break;
        case MockFault::Truncate:
            m_server->setAnswerOf(index, answer.status, answer.body);
            m_socket->write(head(answer, answer.body.size()) + answer.body.left(answer.body.size() / 2));
            closeAfterWrite();
            break;
        case MockFault::Drip:
            m_server->setAnswerOf(index, answer.status, answer.body);
            m_socket->write(head(answer, answer.body.size()));
            pump(answer.body.size(), fault.intervalMs, [body = answer.body, chunk = fault.chunkBytes](qint64 at) {
                return body.mid(int(at), chunk);
            });
            break;
        case MockFault::Oversize:
            m_server->setAnswerOf(index, 200, QByteArray());
            answer.status = 200;
            m_socket->write(head(answer, fault.bytes));
            pump(fault.bytes, 1, [total = fault.bytes](qint64 at) {
                return QByteArray(int(qMin<qint64>(64 * 1024, total - at)), 'x');
            });
            break;
        }
    }

    // The network layer reports download progress at most every 100 ms.
    static constexpr int stallPieceIntervalMs = 300;
    static constexpr qint64 stallPieceBytes = 65536;

    static QByteArray head(const MockAnswer& answer, qint64 length)
    {
        return mockhttp::answerHead(answer.status, {{"Content-Type", answer.contentType}}, length);
    }

    void answerWith(int index, const MockAnswer& answer)
    {
        m_server->setAnswerOf(index, answer.status, answer.body);
        m_socket->write(head(answer, answer.body.size()) + answer.body);
        m_busy = false;
        serveBuffered();
    }

    // Writes a piece of `total` body bytes each time the gate opens (also for openings before
    // the request came), then stalls.
    void openGate(const std::shared_ptr<MockGate>& gate, qint64 total, int pieceBytes)
    {
        auto sent = std::make_shared<qint64>(0);
        auto send = [this, gate, total, pieceBytes, sent] {
            while (*sent < total && *sent < qint64(gate->pieces()) * pieceBytes) {
                const QByteArray data(int(qMin<qint64>(pieceBytes, total - *sent)), 'x');
                m_socket->write(data);
                *sent += data.size();
            }
        };
        connect(gate.get(), &MockGate::opened, this, send);
        send();
    }

    // Writes `total` body bytes piece by piece, never holding much more than a piece queued.
    void pump(qint64 total, int intervalMs, std::function<QByteArray(qint64)> piece, bool thenStall = false)
    {
        m_pump.reset(new QTimer);
        qint64* sent = new qint64(0);
        connect(m_pump.get(), &QObject::destroyed, [sent] { delete sent; });
        connect(m_pump.get(), &QTimer::timeout, this, [this, total, piece, sent, thenStall] {
            while (*sent < total && m_socket->bytesToWrite() < 256 * 1024) {
                const QByteArray data = piece(*sent);
                if (data.isEmpty())
                    break;
                m_socket->write(data);
                *sent += data.size();
                if (m_pump->interval() > 1)
                    break;
            }
            if (*sent >= total) {
                m_pump->stop();
                if (thenStall)
                    return;
                m_busy = false;
                serveBuffered();
            }
        });
        m_pump->start(intervalMs);
    }

    MockHttpServer* m_server;
    QTcpSocket* m_socket;
    QByteArray m_buffer;
    bool m_busy = false;
    bool m_closing = false;
    std::unique_ptr<QTimer> m_pump;
};

MockHttpServer::MockHttpServer(const Options& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_listener(new mockhttp::LoopbackListener([this](qintptr d) { accept(d); }, this))
{
    m_listener->listen(QHostAddress::LocalHost, options.port);
}

MockHttpServer::~MockHttpServer()
{
    m_listener->close();
}

bool MockHttpServer::isListening() const
{
    return m_listener->isListening();
}

quint16 MockHttpServer::port() const
{
    return m_listener->serverPort();
}

QString MockHttpServer::url(const QString& path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_options.tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port())
        .arg(path);
}

void MockHttpServer::setHandler(const QByteArray& path, Handler handler)
{
    m_handlers.insert(path, std::move(handler));
}

void MockHttpServer::addFault(const QByteArray& path, const MockFault& fault, int nth)
{
    m_faults[path].append({nth, fault});
}

void MockHttpServer::accept(qintptr descriptor)
{
    ++m_connections;
    if (!m_options.tls) {
        auto* socket = new QTcpSocket;
        socket->setSocketDescriptor(descriptor);
        new MockConnection(this, socket);
        return;
    }
    auto* socket = new QSslSocket;
    socket->setSocketDescriptor(descriptor);
    socket->setLocalCertificate(QSslCertificate(m_options.leaf.certificatePem, QSsl::Pem));
    socket->setPrivateKey(QSslKey(m_options.leaf.keyPem, QSsl::Ec, QSsl::Pem));
    socket->setProtocol(m_options.legacyTlsOnly ? QSsl::TlsV1_1 : QSsl::TlsV1_2OrLater);
    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
    new MockConnection(this, socket);
    socket->startServerEncryption();
}

int MockHttpServer::record(const MockRequest& request)
{
    ++m_counts[request.path];
    m_requests.append(request);
    return m_requests.size() - 1;
}

void MockHttpServer::setAnswerOf(int index, int status, const QByteArray& answer)
{
    m_requests[index].status = status;
    m_requests[index].answer = answer;
}

MockAnswer MockHttpServer::answerFor(const MockRequest& request) const
{
    const auto handler = m_handlers.find(request.path);
    if (handler == m_handlers.end())
        return MockAnswer{404, "text/plain; charset=utf-8", "not found"};
    return handler.value()(request);
}

bool MockHttpServer::faultFor(const MockRequest& request, MockFault* fault) const
{
    if (m_faultChooser && m_faultChooser(request, fault))
        return true;
    const int nth = m_counts.value(request.path);
    for (const auto& entry : m_faults.value(request.path)) {
        if (entry.first == 0 || entry.first == nth) {
            *fault = entry.second;
            return true;
        }
    }
    return false;
}
