#include "httptestbase.h"

#include "dbproxy.h"
#include "dbsetting.h"
#include "httpproxyconfig.h"
#include "httptlsconfig.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace vnq::test {
namespace {

proxyconfig::Settings settings(int o0, int o1, int o2, int o3, int port, int auth = 0)
{
    proxyconfig::Settings s;
    s.enabled = 1;
    s.authentication = auth;
    s.octets[0] = o0;
    s.octets[1] = o1;
    s.octets[2] = o2;
    s.octets[3] = o3;
    s.port = port;
    s.user = QStringLiteral("proxyuser");
    s.password = QStringLiteral("secret");
    return s;
}

TEST(ProxyConfig, SettingsGiveAnHttpProxyOnlyForAValidAddressAndPort)
{
    const QNetworkProxy plain = proxyconfig::fromSettings(settings(192, 168, 0, 10, 8080));
    EXPECT_EQ(plain.type(), QNetworkProxy::HttpProxy);
    EXPECT_EQ(plain.hostName(), QStringLiteral("192.168.0.10"));
    EXPECT_EQ(plain.port(), 8080);
    EXPECT_TRUE(plain.user().isEmpty());
    EXPECT_TRUE(plain.password().isEmpty());

    const QNetworkProxy withAuth = proxyconfig::fromSettings(settings(192, 168, 0, 10, 8080, 1));
    EXPECT_EQ(withAuth.user(), QStringLiteral("proxyuser"));
    EXPECT_EQ(withAuth.password(), QStringLiteral("secret"));

    proxyconfig::Settings off = settings(192, 168, 0, 10, 8080);
    off.enabled = 0;
    const proxyconfig::Settings unused[] = {
        off,
        settings(192, 168, 0, -1, 8080),
        settings(256, 168, 0, 10, 8080),
        settings(192, 168, 0, 10, 0),
        settings(192, 168, 0, 10, 70000),
        proxyconfig::Settings(),
    };
    for (const auto& s : unused)
        EXPECT_EQ(proxyconfig::fromSettings(s).type(), QNetworkProxy::NoProxy);
}

// Requests through the loopback proxy as the terminal's settings describe it.
class HttpClientProxy : public HttpClientTest {
protected:
    void SetUp() override
    {
        HttpClientTest::SetUp();
        ASSERT_TRUE(ca.isValid());
        ASSERT_TRUE(board.writeFile(QString::fromLatin1(tlsconfig::boardCaFile), ca.caPem()));
        ASSERT_TRUE(proxy.isListening());
    }

    void useProxy(bool on, bool auth = false, const QString& user = {}, const QString& password = {})
    {
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("プロキシ設定"), on ? 1 : 0));
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("プロキシ認証"), auth ? 1 : 0));
        const int octets[] = {127, 0, 0, 1};
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("プロキシアドレス%1").arg(i), octets[i]));
        ASSERT_TRUE(DBSetting::setSetting(QStringLiteral("プロキシポート番号"), proxy.port()));
        ASSERT_TRUE(DBProxy::setId(QStringLiteral("プロキシ認証"), user));
        ASSERT_TRUE(DBProxy::setPass(QStringLiteral("プロキシ認証"), password));
    }

    void serve(bool tls)
    {
        MockServerOptions options;
        options.tls = tls;
        options.leaf = ca.validLeaf();
        server(options).setHandler("/api", [](const MockRequest&) { return MockAnswer{200, "text/plain", "ok"}; });
    }

    QString target() const { return QStringLiteral("127.0.0.1:%1").arg(mock->port()); }

    TestCa ca;
    ConnectProxy proxy;
};

TEST_F(HttpClientProxy, HttpsTunnelsThroughConnectWithTheConfiguredCredentials)
{
    struct Case {
        const char* name;
        bool asked;
        bool auth;
        QString user, password;
        bool reached;
    };
    const Case cases[] = {
        {"none asked", false, false, QString(), QString(), true},
        {"right credentials", true, true, QStringLiteral("vq"), QStringLiteral("pa:ss"), true},
        {"wrong password", true, true, QStringLiteral("vq"), QStringLiteral("guess"), false},
        {"authentication off", true, false, QStringLiteral("vq"), QStringLiteral("pa:ss"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        serve(true);
        proxy.setCredentials(c.asked ? QStringLiteral("vq") : QString(), QStringLiteral("pa:ss"));
        useProxy(true, c.auth, c.user, c.password);
        log.clear();
        const int code = run(HttpClient::Post, mock->url(QStringLiteral("/api")), {}, QStringLiteral("x"));
        if (c.reached) {
            EXPECT_EQ(code, 0);
            ASSERT_EQ(mock->requests().size(), 1);
            EXPECT_EQ(proxy.log().last().method, "CONNECT");
            EXPECT_EQ(proxy.log().last().target, target().toLatin1());
            EXPECT_EQ(proxy.log().last().user, c.user);
        } else {
            EXPECT_EQ(code, QNetworkReply::ProxyAuthenticationRequiredError);
            EXPECT_TRUE(mock->requests().isEmpty());
        }
        EXPECT_TRUE(log.matching(QStringLiteral("pa:ss")).isEmpty());
    }
}

TEST_F(HttpClientProxy, HttpGoesInAbsoluteFormAndNoProxyMeansNoProxy)
{
    serve(false);
    useProxy(true);
    ASSERT_EQ(run(HttpClient::Post, mock->url(QStringLiteral("/api")), {}, QStringLiteral("x")), 0);
    ASSERT_EQ(proxy.log().size(), 1);
    EXPECT_EQ(proxy.log()[0].method, "POST");
    EXPECT_EQ(proxy.log()[0].target, mock->url(QStringLiteral("/api")).toLatin1());
    EXPECT_EQ(mock->requests().size(), 1);

    // Switched off, the next requests of the same client go straight to the server.
    useProxy(false);
    ASSERT_EQ(run(HttpClient::Post, mock->url(QStringLiteral("/api")), {}, QStringLiteral("x")), 0);
    serve(true);
    ASSERT_EQ(run(HttpClient::Post, mock->url(QStringLiteral("/api")), {}, QStringLiteral("x")), 0);
    EXPECT_EQ(proxy.log().size(), 1);
    EXPECT_EQ(log.matching(QStringLiteral("プロキシ未使用")).size(), 2);
}

TEST(ProxyPeer, RefusesTargetsOutsideLoopback)
{
    ConnectProxy proxy;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, proxy.port());
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write("CONNECT 192.0.2.1:443 HTTP/1.1\r\nHost: 192.0.2.1:443\r\n\r\n");
    QByteArray answer;
    waitUntil([&] {
        answer += socket.readAll();
        return answer.contains("\r\n\r\n");
    });
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 403")) << answer.toStdString();
    ASSERT_EQ(proxy.log().size(), 1);
    EXPECT_EQ(proxy.log()[0].status, 403);
}

}  // namespace
}  // namespace vnq::test
