#include "httptestbase.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace vnq::test {
namespace {

// What a raw client gets for one request text: the status line.
QByteArray statusFor(MockHttpServer& server, const QByteArray& request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    if (!socket.waitForConnected(5000))
        return "no connection";
    socket.write(request);
    QByteArray answer;
    waitUntil([&] {
        answer += socket.readAll();
        return answer.contains("\r\n") || socket.state() == QAbstractSocket::UnconnectedState;
    });
    return answer.left(answer.indexOf("\r\n"));
}

TEST(MockHttpServerLimits, OversizedOrUnframedRequestsAreRefused)
{
    MockHttpServer server;
    server.setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", "ok"}; });
    const struct {
        const char* name;
        QByteArray request;
        QByteArray status;
    } cases[] = {
        {"plain GET", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 200 OK"},
        {"unknown path", "GET /nowhere HTTP/1.1\r\n\r\n", "HTTP/1.1 404 Not Found"},
        {"head too large", "GET / HTTP/1.1\r\nX: " + QByteArray(9000, 'a') + "\r\n\r\n",
         "HTTP/1.1 431 Request Header Fields Too Large"},
        {"body too large", "POST / HTTP/1.1\r\nContent-Length: 33554433\r\n\r\n", "HTTP/1.1 413 Payload Too Large"},
        {"no length", "POST / HTTP/1.1\r\n\r\n", "HTTP/1.1 411 Length Required"},
        {"chunked", "POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", "HTTP/1.1 411 Length Required"},
        {"not text", "\x16\x03\x01\x02\x00\x01", "HTTP/1.1 400 Bad Request"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(statusFor(server, c.request), c.status) << c.name;
}

class MockHttpServerFaults : public HttpClientTest {};

TEST_F(MockHttpServerFaults, ScriptedAnswersReachTheClientAsScripted)
{
    const QByteArray body(3000, 'b');
    server().setHandler("/", [&](const MockRequest&) { return MockAnswer{200, "text/xml; charset=utf-8", body}; });
    mock->addFault("/", MockFault::drip(500, 5), 1);
    mock->addFault("/", MockFault::wrongContentType("text/html"), 2);
    mock->addFault("/", MockFault::truncate(), 3);

    ASSERT_EQ(run(HttpClient::Get, mock->url()), 0);
    EXPECT_EQ(finishes.back().body, body);
    ASSERT_EQ(run(HttpClient::Get, mock->url()), 0);
    EXPECT_EQ(finishes.back().body, body);
    EXPECT_EQ(mock->requests().size(), 2);
    EXPECT_NE(run(HttpClient::Get, mock->url()), 0);
    EXPECT_LT(finishes.back().body.size(), body.size());
}

}  // namespace
}  // namespace vnq::test
