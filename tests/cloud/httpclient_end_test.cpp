#include "httptestbase.h"

#include <QTcpServer>

namespace vnq::test {
namespace {

// How every kind of exchange end reaches the caller.
class HttpClientEnds : public HttpClientTest {
protected:
    void SetUp() override
    {
        HttpClientTest::SetUp();
        server().setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", "body"}; });
    }

    // Runs a request whose answer stalls after `bytes`: the time-out is held far off until
    // all of them are in and only then cut short, so how fast a loaded machine moves the
    // pieces along does not decide where the exchange ends. The interval is as before
    // afterwards. The finish code, or noFinish.
    int runToStall(int method, const QString& url, qint64 bytes)
    {
        const int interval = client->inactivityInterval();
        qint64 received = 0;
        QObject progress;
        QObject::connect(client.get(), &HttpClient::downProgress, &progress, [&](int r, int) { received = r; });
        client->setInactivityInterval(60000);
        const size_t before = finishes.size();
        int code = noFinish;
        if (client->httpRequest(HttpClient::MethodNum(method), url, {}, QString()) != 0) {
            ADD_FAILURE() << "the request did not go out";
        } else if (!waitUntil([&] { return received >= bytes || finishes.size() > before; }, 10000)) {
            ADD_FAILURE() << "download progress reported " << received << " of " << bytes << " bytes";
        } else if (finishes.size() > before) {
            ADD_FAILURE() << "the exchange ended after " << received << " of " << bytes << " bytes";
            code = finishes.back().code;
        } else {
            // A running timer starts again with its new interval; that is no restart of the
            // count.
            client->setInactivityInterval(1);
            if (waitUntil([&] { return finishes.size() > before; }, 10000))
                code = finishes.back().code;
        }
        client->setInactivityInterval(interval);
        return code;
    }
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

TEST_F(HttpClientEnds, EachEndGivesItsCodeAndBodyAndClearsTheWatchdogPass)
{
    struct Case {
        const char* name;
        MockFault fault;
        bool faulty;
        int code;
        QByteArray body;
    };
    const Case cases[] = {
        {"200", {}, false, 0, "body"},
        {"404", MockFault::answer(404, "no such page"), true, QNetworkReply::ContentNotFoundError, "no such page"},
        {"500", MockFault::answer(500, "server fault"), true, QNetworkReply::InternalServerError, "server fault"},
        {"close", MockFault::close(), true, QNetworkReply::RemoteHostClosedError, ""},
        {"oversize", MockFault::oversize(HttpClient::MaxBufferedAnswer + 1), true, QNetworkReply::UnknownContentError, ""},
        {"stall", MockFault::stall(), true, HttpClient::TimedOut, ""},
    };
    client->setInactivityInterval(1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Every request of the case misbehaves: the network layer sends a request again
        // once when a kept-alive connection closes before its answer.
        server().setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", "body"}; });
        if (c.faulty)
            mock->addFault("/", c.fault);
        finishes.clear();
        EXPECT_EQ(run(HttpClient::Get, mock->url()), c.code);
        ASSERT_FALSE(finishes.empty());
        EXPECT_EQ(finishes.back().body, c.body);
        EXPECT_FALSE(selfcheckpass);
    }
    // The stalled exchange was reported once, then abandoned.
    waitUntil([] { return false; }, 1200);
    EXPECT_EQ(finishes.size(), 1u);

    finishes.clear();
    EXPECT_EQ(run(HttpClient::Get, QStringLiteral("http://127.0.0.1:%1/").arg(closedPort())),
              QNetworkReply::ConnectionRefusedError);
    EXPECT_FALSE(selfcheckpass);
}

TEST_F(HttpClientEnds, ALateAnswerOfAnAbandonedExchangeNeverReachesTheNextOne)
{
    int served = 0;
    mock->setHandler("/slow", [&](const MockRequest&) {
        return MockAnswer{200, "text/plain", ++served == 1 ? "A" : "B"};
    });
    mock->addFault("/slow", MockFault::delay(1600), 1);
    client->setInactivityInterval(800);
    onFinish = [this](int code) {
        if (code == HttpClient::TimedOut)
            client->httpRequest(HttpClient::GetToTempFile, mock->url(QStringLiteral("/slow")), {}, QString());
    };
    client->httpRequest(HttpClient::GetToTempFile, mock->url(QStringLiteral("/slow")), {}, QString());
    ASSERT_TRUE(waitUntil([&] { return finishes.size() == 2; }, 10000));
    waitUntil([] { return false; }, 1800);

    ASSERT_EQ(finishes.size(), 2u);
    EXPECT_EQ(finishes[0].code, HttpClient::TimedOut);
    EXPECT_EQ(finishes[1].code, 0);
    EXPECT_EQ(tempFile(), "B");
    EXPECT_FALSE(selfcheckpass);
}

TEST_F(HttpClientEnds, DownloadProgressPushesTheTimeOutBackOncePerNewBlock)
{
    const struct {
        qint64 bytes;
        int restarts;
    } cases[] = {{131071, 0}, {131072, 1}, {262144, 2}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        mock->addFault("/", MockFault::stall(c.bytes), ++n);
        EXPECT_EQ(runToStall(HttpClient::Get, mock->url(), c.bytes), HttpClient::TimedOut);
        EXPECT_EQ(client->inactivityRestarts(), c.restarts);
    }
}

TEST_F(HttpClientEnds, ATempFileDownloadIsDrainedWholeAndAPartialOneStaysUntilTheNextRequest)
{
    QByteArray image(1536 * 1024, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + i / 4096);
    mock->setHandler("/firmware", [&](const MockRequest&) { return MockAnswer{200, "application/octet-stream", image}; });
    ASSERT_EQ(run(HttpClient::GetToTempFile, mock->url(QStringLiteral("/firmware"))), 0);
    EXPECT_EQ(tempFile(), image);
    EXPECT_TRUE(finishes.back().body.isEmpty());

    const MockFault halfway = MockFault::stall(2 * HttpClient::DrainBlock);
    mock->addFault("/firmware", halfway, 2);
    ASSERT_EQ(runToStall(HttpClient::GetToTempFile, mock->url(QStringLiteral("/firmware")), halfway.bytes),
              HttpClient::TimedOut);
    EXPECT_EQ(tempFile().size(), halfway.bytes);

    ASSERT_EQ(run(HttpClient::Get, mock->url()), 0);
    EXPECT_FALSE(tempFileExists());
}

}  // namespace
}  // namespace vnq::test
