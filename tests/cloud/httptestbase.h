#pragma once

#include "connectproxy.h"
#include "heartbeat.h"
#include "httpclient.h"
#include "messagecapture.h"
#include "mockhttpserver.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"
#include "testca.h"
#include "waituntil.h"

#include <gtest/gtest.h>

#include <QThread>


#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"' << bytes.left(200).toStdString() << (bytes.size() > 200 ? "...\"" : "\"");
}

namespace vnq::test {

// The idle time-out a test holds its client at while exchanges are answered: far off, so that
// however slowly a loaded machine goes no answered exchange ends by it. Only an exchange stalled
// on purpose is ended by the time-out, cut short with endStallByIdleTimeOut.
constexpr int heldIdleTimeOutMs = 60000;

// Sets an HTTP client's idle time-out on the thread the client lives on, and waits for that.
inline void setIdleTimeOut(HttpClient* client, int ms)
{
    const auto set = [client, ms] { client->setInactivityInterval(ms); };
    if (client->thread() == QThread::currentThread())
        set();
    else
        QMetaObject::invokeMethod(client, set, Qt::BlockingQueuedConnection);
}

// Waits for an exchange that has stalled on purpose to end by the client's idle time-out: the
// time-out, held far off until then so that no other exchange can end by it however slowly a
// loaded machine goes, is cut short once stalled() holds. It is back at heldMs as the stalled
// exchange finishes, in the same call on the client's thread, so an exchange its finish starts
// runs with the held time-out (a timer fires only once the thread's event loop runs again).
// Whether ended() came within the bound.
inline bool endStallByIdleTimeOut(HttpClient* client, int heldMs, const std::function<bool()>& stalled,
                                  const std::function<bool()>& ended)
{
    if (!waitUntil([&] { return stalled() || ended(); }, 120000))
        return false;
    auto restore = std::make_shared<QMetaObject::Connection>();
    *restore = QObject::connect(
        client, &HttpClient::finish, client,
        [client, heldMs, restore](int, HttpClient*) {
            client->setInactivityInterval(heldMs);
            QObject::disconnect(*restore);
        },
        Qt::DirectConnection);
    // A running timer starts again with its new interval; that is no restart of the count.
    setIdleTimeOut(client, 1);
    const bool done = waitUntil(ended, 120000);
    QObject::disconnect(*restore);
    setIdleTimeOut(client, heldMs);
    return done;
}

// Waits for ended() with the client's idle time-out held at heldIdleTimeOutMs; an exchange stalled
// on purpose, when stalled is given, is ended by the time-out once stalled() holds. Whether
// ended() came within the bound.
inline bool waitForExchangeEnd(HttpClient* client, const std::function<bool()>& stalled,
                               const std::function<bool()>& ended)
{
    return stalled ? endStallByIdleTimeOut(client, heldIdleTimeOutMs, stalled, ended) : waitUntil(ended, 120000);
}

// What one finish() carried: the code and the receive buffer as the handler saw it.
struct Finished {
    int code;
    QByteArray body;
};

// A board root with the shipped databases and /VnQo/var/fwup, an HTTP client whose finish()
// calls are recorded, and the loopback peers on demand.
class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(installShippedDatabases(board));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/var/fwup")));
        client = std::make_unique<HttpClient>();
        QObject::connect(client.get(), &HttpClient::finish, [this](int code, HttpClient* obj) {
            EXPECT_EQ(obj, client.get());
            finishes.push_back({code, *client->getRecvData()});
            if (onFinish)
                onFinish(code);
        });
    }

    MockHttpServer& server(const MockServerOptions& options = MockServerOptions())
    {
        mock = std::make_unique<MockHttpServer>(options);
        EXPECT_TRUE(mock->isListening());
        return *mock;
    }

    // Starts a request and waits for its finish(); the code, or a marker when none came.
    int run(int method, const QString& url, const QList<QString>& headers = {},
            const QString& body = QString(), int timeoutMs = 60000)
    {
        const size_t before = finishes.size();
        if (client->httpRequest(HttpClient::MethodNum(method), url, headers, body) != 0
            && finishes.size() == before)
            return noFinish;
        if (!waitUntil([&] { return finishes.size() > before; }, timeoutMs))
            return noFinish;
        return finishes.back().code;
    }

    QByteArray tempFile() const { return board.readFile(QString::fromLatin1(HttpClient::tempFilePath)); }
    bool tempFileExists() const { return board.exists(QString::fromLatin1(HttpClient::tempFilePath)); }

    static constexpr int noFinish = -424242;

    TempBoardRoot board;
    MessageCapture log;
    std::unique_ptr<MockHttpServer> mock;
    std::unique_ptr<HttpClient> client;
    std::vector<Finished> finishes;
    std::function<void(int)> onFinish;
};

}  // namespace vnq::test
