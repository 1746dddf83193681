#include "httptestbase.h"

#include "httptlsconfig.h"

#include <QThread>

namespace vnq::test {
namespace {

// TLS against the mock server with certificates of a CA made for the test; the board's
// trust anchor file holds that CA.
class HttpClientTls : public HttpClientTest {
protected:
    void SetUp() override
    {
        HttpClientTest::SetUp();
        ASSERT_TRUE(ca.isValid());
        ASSERT_TRUE(board.writeFile(QString::fromLatin1(tlsconfig::boardCaFile), ca.caPem()));
    }

    MockHttpServer& tlsServer(const TestCa::Leaf& leaf, bool legacyOnly = false)
    {
        MockServerOptions options;
        options.tls = true;
        options.leaf = leaf;
        options.legacyTlsOnly = legacyOnly;
        MockHttpServer& s = server(options);
        s.setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", "secure"}; });
        return s;
    }

    TestCa ca;
};

TEST_F(HttpClientTls, OnlyAVerifiedModernServerIsAccepted)
{
    struct Case {
        const char* name;
        TestCa::Leaf leaf;
        bool legacyOnly;
        bool plain;
        bool accepted;
        bool certificateRefused;
    };
    const Case cases[] = {
        {"valid leaf", ca.validLeaf(), false, false, true, false},
        {"expired", ca.expiredLeaf(), false, false, false, true},
        {"other name", ca.otherNameLeaf(), false, false, false, true},
        {"self-signed", ca.selfSignedLeaf(), false, false, false, true},
        {"untrusted CA", ca.untrustedLeaf(), false, false, false, true},
        {"TLS 1.1 only", ca.validLeaf(), true, false, false, false},
        {"plain server", {}, false, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        QString url;
        if (c.plain) {
            server().setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", "plain"}; });
            url = mock->url().replace(QStringLiteral("http://"), QStringLiteral("https://"));
        } else {
            url = tlsServer(c.leaf, c.legacyOnly).url();
        }
        const int code = run(HttpClient::Post, url, {}, QStringLiteral("x"));
        if (c.accepted) {
            EXPECT_EQ(code, 0);
            EXPECT_EQ(finishes.back().body, "secure");
        } else {
            EXPECT_NE(code, 0);
            EXPECT_NE(code, noFinish);
            EXPECT_TRUE(mock->requests().isEmpty());
        }
        if (c.certificateRefused) {
            EXPECT_FALSE(log.matching(QStringLiteral("sslret:")).isEmpty());
        }
        EXPECT_FALSE(selfcheckpass);
    }
}

TEST_F(HttpClientTls, AClientLivingOnAWorkerThreadRunsItsExchangeThere)
{
    tlsServer(ca.validLeaf());
    QThread worker;
    worker.start();
    auto* threaded = new HttpClient;
    threaded->moveToThread(&worker);
    std::atomic<int> code{noFinish};
    QByteArray body;
    QObject::connect(threaded, &HttpClient::finish, threaded, [&](int ret, HttpClient* obj) {
        body = *obj->getRecvData();
        code = ret;
    });
    const QString url = mock->url();
    QMetaObject::invokeMethod(threaded, [threaded, url] {
        threaded->httpRequest(HttpClient::Post, url, {QStringLiteral("Content-Type: text/plain")},
                              QStringLiteral("from the worker"));
    });
    EXPECT_TRUE(waitUntil([&] { return code != noFinish; }, 10000));
    QMetaObject::invokeMethod(threaded, [threaded] { delete threaded; }, Qt::BlockingQueuedConnection);
    worker.quit();
    worker.wait();

    EXPECT_EQ(code, 0);
    EXPECT_EQ(body, "secure");
    ASSERT_EQ(mock->requests().size(), 1);
    EXPECT_EQ(mock->requests()[0].body, "from the worker");
    EXPECT_TRUE(log.matching(QStringLiteral("thread")).isEmpty()) << log.matching(QStringLiteral("thread")).join('\n').toStdString();
}

}  // namespace
}  // namespace vnq::test
