#include "httptestbase.h"

#include <QDir>

namespace vnq::test {
namespace {

class HttpClientMethods : public HttpClientTest {
protected:
    void SetUp() override
    {
        HttpClientTest::SetUp();
        server().setHandler("/echo", [](const MockRequest& r) {
            return MockAnswer{200, "text/plain", "answer to " + r.method};
        });
    }
};

QByteArray fileBody()
{
    return QByteArray("file\0bytes\xff", 11);
}

TEST_F(HttpClientMethods, EachCodeSendsItsMethodAndBodyAndStoresTheAnswerWhereItSays)
{
    ASSERT_TRUE(board.writeFile(QStringLiteral("/tmp/body.bin"), fileBody()));
    const QString bodyFile = board.path(QStringLiteral("/tmp/body.bin"));
    struct Case {
        int code;
        QByteArray method;
        QByteArray sent;
        bool toTempFile;
    };
    const Case cases[] = {
        {0, "GET", "", false},           {1, "POST", "本文 text", false},
        {2, "PUT", "本文 text", false},  {16, "GET", "", false},
        {17, "POST", fileBody(), false}, {18, "PUT", fileBody(), false},
        {32, "GET", "", true},           {33, "POST", "本文 text", true},
        {34, "PUT", "本文 text", true},  {48, "GET", "", true},
        {49, "POST", fileBody(), true},  {50, "PUT", fileBody(), true},
    };
    int seen = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        // What an earlier exchange left must not survive the next request.
        ASSERT_TRUE(board.writeFile(QString::fromLatin1(HttpClient::tempFilePath), "stale"));
        const QString bodyArgument = (c.code & HttpClient::SendFileBit) ? bodyFile : QStringLiteral("本文 text");
        ASSERT_EQ(run(c.code, mock->url(QStringLiteral("/echo")), {}, bodyArgument), 0);

        ASSERT_EQ(mock->requests().size(), ++seen);
        const MockRequest& got = mock->requests().last();
        EXPECT_EQ(got.method, c.method);
        EXPECT_EQ(got.body, c.sent);
        const QByteArray answer = "answer to " + c.method;
        if (c.toTempFile) {
            EXPECT_EQ(tempFile(), answer);
            EXPECT_TRUE(finishes.back().body.isEmpty());
        } else {
            EXPECT_FALSE(tempFileExists());
            EXPECT_EQ(finishes.back().body, answer);
        }
        EXPECT_FALSE(selfcheckpass);
    }
}

TEST_F(HttpClientMethods, AnUnknownCodeIsRefusedWithoutFinish)
{
    EXPECT_EQ(client->httpRequest(HttpClient::MethodNum(3), mock->url(QStringLiteral("/echo")), {}, QString()), -1);
    EXPECT_EQ(log.matching(QStringLiteral("method指定例外")).size(), 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(finishes.empty());
    EXPECT_FALSE(selfcheckpass);
    EXPECT_TRUE(mock->requests().isEmpty());
}

TEST_F(HttpClientMethods, AMissingBodyFileFinishesWithMinusOneBeforeReturning)
{
    board.writeFile(QString::fromLatin1(HttpClient::tempFilePath), "stale");
    const int ret = client->httpRequest(HttpClient::PostSendFileToTempFile, mock->url(QStringLiteral("/echo")), {},
                                        board.path(QStringLiteral("/tmp/missing.bin")));
    EXPECT_EQ(ret, -1);
    ASSERT_EQ(finishes.size(), 1u);
    EXPECT_EQ(finishes[0].code, -1);
    EXPECT_EQ(log.matching(QStringLiteral("Open failed send file!!")).size(), 1);
    EXPECT_FALSE(tempFileExists());
    EXPECT_FALSE(selfcheckpass);
    waitUntil([] { return false; }, 100);
    EXPECT_TRUE(mock->requests().isEmpty());
}

TEST_F(HttpClientMethods, AnUnopenableTempFileFinishesWithMinusOne)
{
    ASSERT_TRUE(QDir(board.path(QStringLiteral("/VnQo/var/fwup"))).removeRecursively());
    EXPECT_EQ(run(HttpClient::GetToTempFile, mock->url(QStringLiteral("/echo"))), -1);
    EXPECT_EQ(log.matching(QStringLiteral("Open failed temp file!!")).size(), 1);
}

}  // namespace
}  // namespace vnq::test
