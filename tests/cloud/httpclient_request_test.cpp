#include "httptestbase.h"

#include "httptlsconfig.h"

#include <QDir>

namespace vnq::test {
namespace {

class HttpClientRequest : public HttpClientTest {
protected:
    void SetUp() override
    {
        HttpClientTest::SetUp();
        server().setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", "ok"}; });
    }
};

TEST_F(HttpClientRequest, HeadersSplitAtTheFirstSeparatorAndLineBreaksAreDropped)
{
    const QList<QString> headers = {
        QStringLiteral("Content-Type: text/xml; charset=utf-8"),
        QStringLiteral("X-A: b: c"),
        QStringLiteral("X-Bad: a\r\nX-Injected: 1"),
        QStringLiteral("X-Lf: a\nb"),
    };
    ASSERT_EQ(run(HttpClient::Post, mock->url(), headers, QStringLiteral("<a/>")), 0);
    const MockRequest got = mock->requests().last();
    EXPECT_EQ(got.header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(got.header("X-A"), "b: c");
    EXPECT_TRUE(got.header("X-Bad").isEmpty());
    EXPECT_TRUE(got.header("X-Injected").isEmpty());
    EXPECT_TRUE(got.header("X-Lf").isEmpty());
    EXPECT_EQ(log.matching(QStringLiteral("header dropped")).size(), 2);
}

TEST_F(HttpClientRequest, OnlyHttpAndHttpsSchemesStart)
{
    TestCa ca;
    ASSERT_TRUE(board.writeFile(QString::fromLatin1(tlsconfig::boardCaFile), ca.caPem()));
    MockServerOptions tls;
    tls.tls = true;
    tls.leaf = ca.validLeaf();
    MockHttpServer secure(tls);
    secure.setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", "secure"}; });
    ASSERT_TRUE(board.writeFile(QStringLiteral("/etc/secret"), "local file"));

    EXPECT_EQ(run(HttpClient::Get, QStringLiteral("HTTPS://127.0.0.1:%1/").arg(secure.port())), 0);
    EXPECT_EQ(finishes.back().body, "secure");
    EXPECT_EQ(run(HttpClient::Get, mock->url().replace(QStringLiteral("http:"), QStringLiteral("Http:"))), 0);

    const QString refused[] = {
        QStringLiteral("file://") + board.path(QStringLiteral("/etc/secret")),
        QStringLiteral("ftp://127.0.0.1:%1/").arg(mock->port()),
        QStringLiteral("data:text/plain,local"),
        QStringLiteral("qrc:/start.xml"),
        QStringLiteral("127.0.0.1/no/scheme"),
        QString(),
    };
    for (const QString& url : refused) {
        SCOPED_TRACE(url.toStdString());
        finishes.clear();
        EXPECT_EQ(client->httpRequest(HttpClient::GetToTempFile, url, {}, QString()), -1);
        ASSERT_EQ(finishes.size(), 1u);
        EXPECT_EQ(finishes[0].code, -1);
        EXPECT_FALSE(tempFileExists());
        EXPECT_FALSE(selfcheckpass);
    }
    EXPECT_EQ(mock->requests().size(), 1);
}

TEST_F(HttpClientRequest, TempFileOperations)
{
    // Nothing received yet.
    EXPECT_EQ(client->getTempFileSize(), -1);
    EXPECT_EQ(client->getTempFileData(0, 4), -1);
    EXPECT_EQ(log.matching(QStringLiteral("Open failed temp file!!")).size(), 2);

    mock->setHandler("/fw", [](const MockRequest&) { return MockAnswer{200, "text/plain", "  0123\n  456789  "}; });
    ASSERT_EQ(run(HttpClient::GetToTempFile, mock->url(QStringLiteral("/fw"))), 0);
    EXPECT_EQ(client->getTempFileSize(), 17);
    EXPECT_EQ(client->getTempFileData(2, 4), 4);
    EXPECT_EQ(*client->getRecvData(), "0123");
    EXPECT_EQ(client->getTempFileData(15, 100), 2);
    EXPECT_EQ(client->getTempFileData(-1, 4), -1);
    EXPECT_EQ(client->getTempFileData(0, -4), -1);
    EXPECT_TRUE(client->getRecvData()->isEmpty());

    // A failed copy keeps the temp file; a good one moves it.
    EXPECT_EQ(client->moveTempFile(board.path(QStringLiteral("/no/such/dir/firm.bin"))), -1);
    EXPECT_TRUE(tempFileExists());
    EXPECT_EQ(client->moveTempFile(board.path(QStringLiteral("/VnQo/var/fwup/firm.bin"))), 0);
    EXPECT_FALSE(tempFileExists());
    EXPECT_EQ(board.readFile(QStringLiteral("/VnQo/var/fwup/firm.bin")), "  0123\n  456789  ");

    mock->setHandler("/", [](const MockRequest&) { return MockAnswer{200, "text/plain", " a \n\t b  "}; });
    ASSERT_EQ(run(HttpClient::Get, mock->url()), 0);
    client->simplifiedRecvData();
    EXPECT_EQ(*client->getRecvData(), "a b");
}

}  // namespace
}  // namespace vnq::test
