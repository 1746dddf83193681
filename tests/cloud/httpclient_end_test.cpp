#include "fakeclock.h"
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

    // Runs a request to `path` whose nth answer stalls after `bytes`, let out a piece at a
    // time. The network layer reports download progress at most every 100 ms of real time,
    // so each piece goes out only once the last one was reported and that much time has
    // passed: a loaded machine moves the pieces along later, never closer together. The
    // time-out is held far off until all of them are in and only then cut short. The
    // interval is as before afterwards. The finish code, or noFinish.
    int runToStall(int method, const QString& path, int nth, qint64 bytes)
    {
        constexpr qint64 piece = 32 * 1024;
        constexpr int reportGapMs = 150;
        auto gate = std::make_shared<MockGate>();
        mock->addFault(path.toLatin1(), MockFault::stall(bytes, gate, int(piece)), nth);

        const int interval = client->inactivityInterval();
        qint64 received = 0;
        QObject progress;
        QObject::connect(client.get(), &HttpClient::downProgress, &progress, [&](int r, int) { received = r; });
        client->setInactivityInterval(60000);
        const size_t before = finishes.size();
        const int requestsBefore = mock->requests().size();
        const auto ended = [&] { return finishes.size() > before; };
        int code = noFinish;
        if (client->httpRequest(HttpClient::MethodNum(method), mock->url(path), {}, QString()) != 0) {
            ADD_FAILURE() << "the request did not go out";
        } else if (!waitUntil([&] { return mock->requests().size() > requestsBefore || ended(); }, 60000)) {
            ADD_FAILURE() << "the request never reached the server";
        } else {
            for (qint64 sent = 0; sent < bytes && !ended();) {
                waitUntil([] { return false; }, reportGapMs);
                gate->open();
                sent = qMin(sent + piece, bytes);
                if (!waitUntil([&] { return received >= sent || ended(); }, 60000)) {
                    ADD_FAILURE() << "download progress reported " << received << " of " << sent << " bytes";
                    break;
                }
            }
            if (ended()) {
                ADD_FAILURE() << "the exchange ended after " << received << " of " << bytes << " bytes";
                code = finishes.back().code;
            } else if (received >= bytes) {
                // A running timer starts again with its new interval; that is no restart of
                // the count.
                client->setInactivityInterval(1);
                if (waitUntil(ended, 60000))
                    code = finishes.back().code;
            }
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Every request of the case misbehaves: the network layer sends a request again
        // once when a kept-alive connection closes before its answer.
        server().setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", "body"}; });
        if (c.faulty)
            mock->addFault("/", c.fault);
        finishes.clear();
        if (c.fault.kind == MockFault::Stall) {
            // Only the stall ends by the idle time-out, and only once it has stalled. The
            // time-out is short afterwards, so a second one of the abandoned exchange would
            // show below.
            ASSERT_EQ(client->httpRequest(HttpClient::Get, mock->url(), {}, QString()), 0);
            EXPECT_TRUE(endStallByIdleTimeOut(client.get(), 1000,
                                              [&] { return !mock->requests().isEmpty(); },
                                              [&] { return !finishes.empty(); }));
            ASSERT_FALSE(finishes.empty());
            EXPECT_EQ(finishes.back().code, c.code);
        } else {
            EXPECT_EQ(run(HttpClient::Get, mock->url()), c.code);
        }
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
    ASSERT_TRUE(waitUntil([&] { return finishes.size() == 2; }, 60000));
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
        EXPECT_EQ(runToStall(HttpClient::Get, QStringLiteral("/"), ++n, c.bytes), HttpClient::TimedOut);
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

    const qint64 halfway = 2 * HttpClient::DrainBlock;
    ASSERT_EQ(runToStall(HttpClient::GetToTempFile, QStringLiteral("/firmware"), 2, halfway), HttpClient::TimedOut);
    EXPECT_EQ(tempFile().size(), halfway);

    ASSERT_EQ(run(HttpClient::Get, mock->url()), 0);
    EXPECT_FALSE(tempFileExists());
}

// A peer that keeps sending a little at a time still meets the exchange's overall deadline,
// which ends it as the idle time-out does. The monotonic clock is stepped; the pieces go out
// only once the last one was reported.
TEST_F(HttpClientEnds, AnExchangeEndsByItsDeadlineHoweverSteadilyThePeerSends)
{
    FakeClock clock;
    // Small enough that each piece is reported whole (the network layer reports progress at
    // most every 100 ms).
    constexpr qint64 piece = 32 * 1024;
    const struct {
        const char* name;
        int method;
        qint64 announced;  // the stall fault announces one byte more than it has
        qint64 deadlineMs;
    } cases[] = {
        {"in memory", HttpClient::Get, 32 * piece, HttpClient::AnswerDeadlineMs},
        {"temp file", HttpClient::GetToTempFile, 256 * piece,
         HttpClient::AnswerDeadlineMs + (256 * piece + 1) * 1000 / HttpClient::SlowRateBytesPerSecond},
    };
    int nth = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto gate = std::make_shared<MockGate>();
        mock->addFault("/", MockFault::stall(c.announced, gate, int(piece)), ++nth);
        client->setInactivityInterval(heldIdleTimeOutMs);
        qint64 received = 0;
        QObject progress;
        QObject::connect(client.get(), &HttpClient::downProgress, &progress, [&](int r, int) { received = r; });
        const size_t before = finishes.size();
        const int requestsBefore = mock->requests().size();
        const auto ended = [&] { return finishes.size() > before; };
        ASSERT_EQ(client->httpRequest(HttpClient::MethodNum(c.method), mock->url(), {}, QString()), 0);
        ASSERT_TRUE(waitUntil([&] { return mock->requests().size() > requestsBefore; }, 60000));
        // One piece at each step: just before the deadline the exchange goes on, just after it ends.
        const qint64 steps[] = {0, c.deadlineMs - 1000, 2000};
        qint64 sent = 0;
        for (qint64 step : steps) {
            clock.advanceMs(step);
            waitUntil([] { return false; }, 150);
            gate->open();
            sent += piece;
            waitUntil([&] { return received >= sent || ended(); }, 60000);
            if (step != 2000)
                EXPECT_FALSE(ended()) << "ended before the deadline, after " << received << " bytes, code "
                                      << (ended() ? finishes.back().code : 0);
        }
        EXPECT_TRUE(waitUntil(ended, 10000)) << "no end by the deadline";
        if (!ended())
            endStallByIdleTimeOut(client.get(), heldIdleTimeOutMs, [] { return true; }, ended);
        ASSERT_TRUE(ended());
        EXPECT_EQ(finishes.back().code, HttpClient::TimedOut);
        EXPECT_EQ(log.matching(QStringLiteral("exchange deadline passed")).size(), nth);
        EXPECT_EQ(client->deadlineMs(), c.deadlineMs);
    }
}

}  // namespace
}  // namespace vnq::test
