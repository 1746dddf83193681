#pragma once

#include "testca.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

class QTcpServer;

// One request as the mock server read it, with the status it answered (0: none).
struct MockRequest {
    QByteArray method;
    QByteArray target;  // as sent: origin form, with the query
    QByteArray path;    // the target without its query
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int status = 0;
    QByteArray answer;

    // The first header of that name (case-insensitive), or empty.
    QByteArray header(const QByteArray& name) const;
};

struct MockAnswer {
    int status = 200;
    QByteArray contentType = "text/plain; charset=utf-8";
    QByteArray body;
};

// Lets a stalled answer out one piece at a time, when its holder says so.
class MockGate : public QObject {
    Q_OBJECT
public:
    void open() { ++m_pieces; emit opened(); }
    int pieces() const { return m_pieces; }

signals:
    void opened();

private:
    int m_pieces = 0;
};

// A scripted misbehaviour of the server for one request.
struct MockFault {
    enum Kind {
        Answer,            // status and body instead of the handler's answer
        Delay,             // the handler's answer after delayMs
        Stall,             // never answer (or, with `bytes`, only that much of a longer body)
        Close,             // close the connection without an answer
        Truncate,          // announce the whole body, send half of it, close
        Drip,              // the body in pieces of chunkBytes every intervalMs
        Oversize,          // status 200 and `bytes` bytes of body, streamed
        WrongContentType,  // the handler's answer with contentType
    };
    Kind kind = Answer;
    int status = 200;
    QByteArray body;
    int delayMs = 0;
    int chunkBytes = 1;
    int intervalMs = 10;
    qint64 bytes = 0;
    QByteArray contentType;
    std::shared_ptr<MockGate> gate;  // a Stall with bytes: pieces of chunkBytes as it opens

    static MockFault answer(int status, const QByteArray& body) { return make(Answer, [&](MockFault& f) { f.status = status; f.body = body; }); }
    static MockFault delay(int ms) { return make(Delay, [&](MockFault& f) { f.delayMs = ms; }); }
    static MockFault stall(qint64 bytes = 0) { return make(Stall, [&](MockFault& f) { f.bytes = bytes; }); }
    static MockFault stall(qint64 bytes, std::shared_ptr<MockGate> gate, int pieceBytes)
    {
        return make(Stall, [&](MockFault& f) {
            f.bytes = bytes;
            f.gate = std::move(gate);
            f.chunkBytes = pieceBytes;
        });
    }
    static MockFault close() { return make(Close, [](MockFault&) {}); }
    static MockFault truncate() { return make(Truncate, [](MockFault&) {}); }
    static MockFault drip(int chunkBytes, int intervalMs)
    {
        return make(Drip, [&](MockFault& f) { f.chunkBytes = chunkBytes; f.intervalMs = intervalMs; });
    }
    static MockFault oversize(qint64 bytes) { return make(Oversize, [&](MockFault& f) { f.bytes = bytes; }); }
    static MockFault wrongContentType(const QByteArray& type)
    {
        return make(WrongContentType, [&](MockFault& f) { f.contentType = type; });
    }

private:
    template <typename Set>
    static MockFault make(Kind kind, Set set)
    {
        MockFault f;
        f.kind = kind;
        set(f);
        return f;
    }
};

struct MockServerOptions {
    bool tls = false;
    TestCa::Leaf leaf;           // the server's certificate when tls
    bool legacyTlsOnly = false;  // offer TLS 1.1 and nothing else
    quint16 port = 0;            // 0: any free port
};

// An HTTP/1.1 server on 127.0.0.1 only, plain or over TLS, for the cloud clients' tests:
// persistent connections, bodies by Content-Length, one handler per path, a request log and
// scripted faults. Requests above the limits are refused (431, 413, 411) and the connection
// closed. It stops when it is destroyed.
class MockHttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<MockAnswer(const MockRequest&)>;

    static constexpr int MaxHeadBytes = 8 * 1024;
    static constexpr qint64 MaxBodyBytes = 32 * 1024 * 1024;

    using Options = MockServerOptions;

    explicit MockHttpServer(const Options& options = Options(), QObject* parent = nullptr);
    ~MockHttpServer() override;

    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:<port><path>" (https with TLS).
    QString url(const QString& path = QStringLiteral("/")) const;

    // The handler of a path; a path without one answers 404.
    void setHandler(const QByteArray& path, Handler handler);
    // A fault for the nth request to the path (counted from 1), or for every one when nth is 0.
    void addFault(const QByteArray& path, const MockFault& fault, int nth = 0);
    // Asked first for every request: true and a fault to misbehave.
    void setFaultChooser(std::function<bool(const MockRequest&, MockFault*)> chooser)
    {
        m_faultChooser = std::move(chooser);
    }

    const QList<MockRequest>& requests() const { return m_requests; }
    int connectionCount() const { return m_connections; }

signals:
    void requestReceived(const MockRequest& request);

private:
    friend class MockConnection;
    void accept(qintptr descriptor);
    // The answer plan for a request just read; records it in the log.
    int record(const MockRequest& request);
    void setAnswerOf(int index, int status, const QByteArray& answer);
    MockAnswer answerFor(const MockRequest& request) const;
    bool faultFor(const MockRequest& request, MockFault* fault) const;

    Options m_options;
    QTcpServer* m_listener = nullptr;
    QHash<QByteArray, Handler> m_handlers;
    std::function<bool(const MockRequest&, MockFault*)> m_faultChooser;
    QHash<QByteArray, QList<QPair<int, MockFault>>> m_faults;
    QHash<QByteArray, int> m_counts;
    QList<MockRequest> m_requests;
    int m_connections = 0;
};
