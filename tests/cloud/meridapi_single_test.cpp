#include "meridchain.h"

#include <QCryptographicHash>

namespace vnq::test {
namespace {

// The card, service-name and firmware requests of the JSON worker (modes 6 to 9).
class MeridSingle : public MeridChainTest {
protected:
    void SetUp() override
    {
        MeridChainTest::SetUp();
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/var/fwup")));
    }

    static void putIdm(MeridWarker& w, int user, const QString& idm)
    {
        w.putUserIDm(user, idm, QStringLiteral("20240301120000"));
    }
    QList<QByteArray> bodies(const char* operation) const
    {
        QList<QByteArray> found;
        for (const MockRequest& r : cloud->server->requests()) {
            if (r.path == MockJsonService::pathOf(QString::fromLatin1(operation)))
                found << r.body;
        }
        return found;
    }
    // The number the next request to an operation's path will have at the server.
    int nextAt(const char* operation) const
    {
        int n = 1;
        for (const MockRequest& r : cloud->server->requests())
            n += r.path == MockJsonService::pathOf(QString::fromLatin1(operation)) ? 1 : 0;
        return n;
    }
    QByteArray received() const { return board.readFile(QString::fromLatin1(HttpClient::tempFilePath)); }
    // A version answer naming this image URL, with the real image's size and hash.
    QByteArray versionAnswer(const QString& url, qint64 size = -1) const
    {
        const QByteArray& image = service().firmware();
        return "{\"result\":0,\"version\":\"QO02-9Z01\",\"size\":" + QByteArray::number(size < 0 ? image.size() : size)
               + ",\"hash\":\"" + QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex() + "\",\"url\":\""
               + url.toUtf8() + "\"}";
    }
    const MockJsonService& service() const { return *cloud->json; }
    MockJsonService& service() { return *cloud->json; }
};

TEST_F(MeridSingle, CardServiceAndVersionRequestsEndWithTheirSignals)
{
    const QString card = QStringLiteral("0123456789ABCDEF");
    const QString imageHash = QString::fromLatin1(QCryptographicHash::hash(service().firmware(), QCryptographicHash::Md5).toHex());
    const QString version = QStringLiteral("finishedFirmwareVersion 0 QO02-9Z01 %1 %2").arg(service().firmware().size()).arg(imageHash);
    const struct {
        const char* name;
        std::function<void(MockJsonService&, MockHttpServer&)> script;
        std::function<void(MeridWarker&)> start;
        QString end;
        bool stalls = false;  // ends by the idle time-out
    } cases[] = {
        {"card of user 123", [](MockJsonService&, MockHttpServer&) {},
         [&](MeridWarker& w) { putIdm(w, 123, card); }, "finishedPutUserIDm 0"},
        {"the same card for user 124", [](MockJsonService&, MockHttpServer&) {},
         [&](MeridWarker& w) { putIdm(w, 124, card); }, "finishedPutUserIDm -60"},
        {"user 123 gives the card up", [](MockJsonService&, MockHttpServer&) {},
         [&](MeridWarker& w) { putIdm(w, 123, QStringLiteral("CLEAR")); }, "finishedPutUserIDm 0"},
        {"now user 124 may have it", [](MockJsonService&, MockHttpServer&) {},
         [&](MeridWarker& w) { putIdm(w, 124, card); }, "finishedPutUserIDm 0"},
        {"quotes and backslashes in the card text",
         [](MockJsonService&, MockHttpServer&) {},
         [&](MeridWarker& w) { putIdm(w, 7, QStringLiteral("AB\"CD\\EF")); }, "finishedPutUserIDm 0"},
        {"card answer stalls",
         [this](MockJsonService&, MockHttpServer& server) {
             server.addFault(MockJsonService::pathOf(QStringLiteral("putUserIDm")), MockFault::stall(), nextAt("putUserIDm"));
         },
         [&](MeridWarker& w) { putIdm(w, 8, QStringLiteral("0000000000000008")); }, "finishedPutUserIDm -9999", true},
        {"card with the token refused",
         [](MockJsonService& s, MockHttpServer&) { s.scriptResult(QStringLiteral("getToken"), -1004, s.callCount(QStringLiteral("getToken")) + 1); },
         [&](MeridWarker& w) { putIdm(w, 9, QStringLiteral("0000000000000009")); }, "finishedPutUserIDm -1004"},
        {"service name", [](MockJsonService&, MockHttpServer&) {},
         [](MeridWarker& w) { w.getServiceName(); }, "finishedGetServiceName 0"},
        {"service name with the token refused",
         [](MockJsonService& s, MockHttpServer&) { s.scriptResult(QStringLiteral("getToken"), -1003, s.callCount(QStringLiteral("getToken")) + 1); },
         [](MeridWarker& w) { w.getServiceName(); }, "finishedGetServiceName -1003"},
        {"service name after a token answer without a token",
         [](MockJsonService& s, MockHttpServer&) { s.scriptResult(QStringLiteral("getToken"), 0, s.callCount(QStringLiteral("getToken")) + 1); },
         [](MeridWarker& w) { w.getServiceName(); }, "finishedGetServiceName -9999"},
        {"service name refused by the service",
         [](MockJsonService& s, MockHttpServer&) { s.scriptResult(QStringLiteral("getServiceName"), -5, s.callCount(QStringLiteral("getServiceName")) + 1); },
         [](MeridWarker& w) { w.getServiceName(); }, "finishedGetServiceName -5"},
        {"firmware version", [](MockJsonService&, MockHttpServer&) {},
         [](MeridWarker& w) { w.getFirmwareVersion(); },
         version},
        {"firmware version with the token refused",
         [](MockJsonService& s, MockHttpServer&) { s.scriptResult(QStringLiteral("getToken"), -1004, s.callCount(QStringLiteral("getToken")) + 1); },
         [](MeridWarker& w) { w.getFirmwareVersion(); },
         // The fields of the last version answer stay until the next one.
         QString(version).replace(QStringLiteral(" 0 "), QStringLiteral(" -1004 "))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.script(service(), *cloud->server);
        const int cards = nextAt("putUserIDm");
        std::function<bool()> stalled;
        if (c.stalls)
            stalled = [&] { return nextAt("putUserIDm") > cards; };
        EXPECT_EQ(request(c.start, stalled), c.end);
        // A chain started beside the refused request runs to its own end.
        EXPECT_TRUE(waitUntil([&] { return !warker->busy(); }, 10000));
        EXPECT_EQ(service().openTokens(), 0) << "every token handed back";
    }
    EXPECT_EQ(service().idms().value(card), QStringLiteral("124"));
    EXPECT_EQ(service().idms().value(QStringLiteral("AB\"CD\\EF")), QStringLiteral("7"));
    const QList<QByteArray> cards = bodies("putUserIDm");
    ASSERT_EQ(cards.size(), 6);
    EXPECT_TRUE(cards[0].endsWith(R"(,"id_code":"000000123","idm_no":"0123456789ABCDEF"})")) << cards[0].constData();
    EXPECT_TRUE(cards[4].endsWith(R"(,"id_code":"000000007","idm_no":"AB\"CD\\EF"})")) << cards[4].constData();
    EXPECT_FALSE(log.matching(QStringLiteral("\"VantroQo mock cloud\"")).isEmpty()) << "the service name is logged";
}

TEST_F(MeridSingle, AServiceNameRequestedWhileAChainRunsIsRefusedAtOnce)
{
    cloud->server->addFault(MockJsonService::pathOf(QStringLiteral("getVantroDataUpdateTime")), MockFault::delay(300));
    worker().startDataRequest(3);
    worker().getServiceName();
    ASSERT_FALSE(ends.isEmpty());
    EXPECT_EQ(ends.first(), QStringLiteral("finishedGetServiceName -8888"));
    EXPECT_TRUE(waitUntil([&] { return ends.size() == 2 && !warker->busy(); }, 10000));
    EXPECT_EQ(ends.value(1), QStringLiteral("allUpdateFinish 3 success"));
    EXPECT_EQ(service().callCount(QStringLiteral("getServiceName")), 0);
}

TEST_F(MeridSingle, TheFirmwareImageArrivesWholeWithoutAToken)
{
    QByteArray image;
    for (int i = 0; i < 40000; ++i)
        image += QByteArray::number(i * 7919 % 100003) + ',';
    service().setFirmware(QStringLiteral("QO02-9Z77"), image);
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Md5).toHex());
    QList<int> totals;
    EXPECT_EQ(request([](MeridWarker& w) { w.getFirmwareVersion(); }),
              QStringLiteral("finishedFirmwareVersion 0 QO02-9Z77 %1 %2").arg(image.size()).arg(hash));
    QObject::connect(warker.get(), &CloudLink::downProgress, [&](int, int total) { totals << total; });

    const int before = service().operations().size();
    const int requests = cloud->server->requests().size();
    EXPECT_EQ(request([](MeridWarker& w) { w.getFirmwareFile(); }), QStringLiteral("finishedGetFirmware 0"));
    EXPECT_EQ(received(), image);
    EXPECT_EQ(QString::fromLatin1(QCryptographicHash::hash(received(), QCryptographicHash::Md5).toHex()), hash);
    EXPECT_EQ(service().operations().mid(before), QStringList{QStringLiteral("firmware")}) << "no token taken or handed back";
    EXPECT_EQ(cloud->server->requests().size(), requests + 1);
    ASSERT_FALSE(totals.isEmpty());
    EXPECT_EQ(totals.count(image.size()), totals.size());

    // The progress total is the announced size, whatever the transfer says.
    cloud->server->addFault(MockJsonService::pathOf(QStringLiteral("getVantroFirmwareInfo")),
                            MockFault::answer(200, versionAnswer(service().firmwareUrl(), 999999)));
    EXPECT_EQ(request([](MeridWarker& w) { w.getFirmwareVersion(); }),
              QStringLiteral("finishedFirmwareVersion 0 QO02-9Z01 999999 %1").arg(hash));
    totals.clear();
    EXPECT_EQ(request([](MeridWarker& w) { w.getFirmwareFile(); }), QStringLiteral("finishedGetFirmware 0"));
    ASSERT_FALSE(totals.isEmpty());
    EXPECT_EQ(totals.count(999999), totals.size());
}

TEST_F(MeridSingle, OnlyAnHttpsFirmwareUrlIsFetchedUnderAnHttpsService)
{
    const QString https = service().firmwareUrl();
    QString http = https;
    http.replace(QStringLiteral("https:"), QStringLiteral("http:"));
    const struct {
        const char* name;
        QByteArray versionAnswer;  // empty: no version asked for before the download
        QString end;
    } cases[] = {
        {"no version answer yet", QByteArray(), "finishedGetFirmware -9999"},
        {"https", versionAnswer(https), "finishedGetFirmware 0"},
        {"http under an https service", versionAnswer(http), "finishedGetFirmware -9999"},
        {"file", versionAnswer(QStringLiteral("file:///etc/passwd")), "finishedGetFirmware -9999"},
        {"empty", versionAnswer(QString()), "finishedGetFirmware -9999"},
        {"url of the wrong type", R"({"result":0,"version":"x","size":"10","hash":5,"url":["https://127.0.0.1/"]})",
         "finishedGetFirmware -9999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(board.writeFile(QString::fromLatin1(HttpClient::tempFilePath), QByteArray()));
        if (!c.versionAnswer.isEmpty()) {
            cloud->server->addFault(MockJsonService::pathOf(QStringLiteral("getVantroFirmwareInfo")),
                                    MockFault::answer(200, c.versionAnswer), nextAt("getVantroFirmwareInfo"));
            EXPECT_TRUE(request([](MeridWarker& w) { w.getFirmwareVersion(); }).startsWith(QLatin1String("finishedFirmwareVersion 0")));
        }
        const int requests = cloud->server->requests().size();
        EXPECT_EQ(request([](MeridWarker& w) { w.getFirmwareFile(); }), c.end);
        const bool fetched = c.end.endsWith(QLatin1String(" 0"));
        EXPECT_EQ(cloud->server->requests().size(), requests + (fetched ? 1 : 0));
        EXPECT_EQ(received(), fetched ? service().firmware() : QByteArray());
    }
    // Members of the wrong type read as empty and a size as 0.
    EXPECT_EQ(ends.filter(QStringLiteral("finishedFirmwareVersion")).last(), QStringLiteral("finishedFirmwareVersion 0 x 0"));
}

// Under a service reached over plain http, an http firmware URL is fetched too.
TEST_F(MeridSingle, AnHttpFirmwareUrlIsFetchedUnderAnHttpService)
{
    MockHttpServer plain;
    MockJsonService plainService(&plain);
    plainService.addClient(QString::fromLatin1(clientKey));
    ASSERT_TRUE(board.writeFile(QStringLiteral("/VnQo/var/merid.param"), (plainService.serviceUrl() + QStringLiteral("\n\n")).toUtf8()));
    ASSERT_TRUE(plainService.firmwareUrl().startsWith(QLatin1String("http:")));
    EXPECT_TRUE(request([](MeridWarker& w) { w.getFirmwareVersion(); }).startsWith(QLatin1String("finishedFirmwareVersion 0")));
    EXPECT_EQ(request([](MeridWarker& w) { w.getFirmwareFile(); }), QStringLiteral("finishedGetFirmware 0"));
    EXPECT_EQ(received(), plainService.firmware());
}

}  // namespace
}  // namespace vnq::test
