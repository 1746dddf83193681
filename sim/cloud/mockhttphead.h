#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QTcpServer>

#include <functional>

// The pieces the mock server and the proxy share: reading a request head and listening on
// loopback.
namespace mockhttp {

using Headers = QList<QPair<QByteArray, QByteArray>>;

struct Head {
    QByteArray method;
    QByteArray target;
    QByteArray version;
    Headers headers;
    QByteArray header(const QByteArray& name) const;
};

enum class HeadResult { Incomplete, TooLarge, Malformed, Complete };

// Reads the request head at the start of buffer; *length is its size with the blank line.
HeadResult parseHead(const QByteArray& buffer, int maxBytes, Head* head, int* length);

QByteArray headerValue(const Headers& headers, const QByteArray& name);

// "HTTP/1.1 404 Not Found\r\n", the headers given and Content-Length, then the blank line.
QByteArray answerHead(int status, const Headers& headers, qint64 contentLength);

// A TCP listener on 127.0.0.1 that hands every new connection's descriptor to a function.
class LoopbackListener : public QTcpServer {
public:
    explicit LoopbackListener(std::function<void(qintptr)> onConnection, QObject* parent = nullptr)
        : QTcpServer(parent), m_onConnection(std::move(onConnection)) {}

protected:
    void incomingConnection(qintptr descriptor) override { m_onConnection(descriptor); }

private:
    std::function<void(qintptr)> m_onConnection;
};

}  // namespace mockhttp
