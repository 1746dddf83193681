// What the cloud clients cost over a bare network client: 10,000 unsent stamps uploaded over
// TLS to the mock services running on their own thread, then the same request bodies posted in
// the same order by a plain QNetworkAccessManager. SOAP: mode 3, each body with a fresh seed,
// found by a text search, and its token recomputed. JSON: mode 2, one token for every body.
#include "cloudapi.h"
#include "cloudwarker.h"
#include "dbdakoku.h"
#include "meridapi.h"
#include "meridwarker.h"
#include "mockhttpserver.h"
#include "mockjsonservice.h"
#include "mocksoapservice.h"
#include "shippeddatabases.h"
#include "tempboardroot.h"
#include "testca.h"
#include "zsystem.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int stampCount = 10000;

// The mock service on its own thread; made and destroyed there.
class ThreadedCloud {
public:
    explicit ThreadedCloud(const TestCa& ca)
    {
        thread.start();
        QMetaObject::invokeMethod(
            &anchor,
            [this, &ca] {
                MockServerOptions options;
                options.tls = true;
                options.leaf = ca.validLeaf();
                server = new MockHttpServer(options);
                service = new MockSoapService(server, server);
                json = new MockJsonService(server, server);
            },
            Qt::BlockingQueuedConnection);
    }
    ~ThreadedCloud()
    {
        QMetaObject::invokeMethod(&anchor, [this] { delete server; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }
    // Runs f on the service's thread and waits for it.
    template <typename F>
    void on(F f)
    {
        QMetaObject::invokeMethod(&anchor, f, Qt::BlockingQueuedConnection);
    }

    QThread thread;
    QObject anchor;
    MockHttpServer* server = nullptr;
    MockSoapService* service = nullptr;
    MockJsonService* json = nullptr;

    struct Mover {
        Mover(QObject* o, QThread* t) { o->moveToThread(t); }
    };
    Mover mover{&anchor, &thread};
};

// Runs the event loop until `finished` is emitted, sleeping in the dispatcher meanwhile: a
// busy wait would take processor time from the client's and the mock's threads.
template <typename Sender, typename Signal>
void waitForSignal(Sender* sender, Signal finished)
{
    QEventLoop loop;
    QObject::connect(sender, finished, &loop, &QEventLoop::quit);
    loop.exec();
}

// Like waitForSignal for a condition no signal announces; checked every millisecond.
void waitForCondition(const std::function<bool()>& done)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(1);
    if (!done())
        loop.exec();
}

QByteArray postRequest(QNetworkAccessManager& manager, QNetworkRequest request, const QByteArray& body)
{
    QNetworkReply* reply = manager.post(request, body);
    if (!reply->isFinished())
        waitForSignal(reply, &QNetworkReply::finished);
    const QByteArray answer = reply->readAll();
    reply->deleteLater();
    return answer;
}

QByteArray post(QNetworkAccessManager& manager, const QSslConfiguration& tls, const QString& url,
                const QString& operation, const QByteArray& body)
{
    QNetworkRequest request{QUrl(url)};
    request.setSslConfiguration(tls);
    request.setRawHeader("Content-Type", "text/xml; charset=utf-8");
    request.setRawHeader("SOAPAction", QStringLiteral("\"%1/%2\"").arg(url, operation).toUtf8());
    return postRequest(manager, request, body);
}

QByteArray postJson(QNetworkAccessManager& manager, const QSslConfiguration& tls, const QString& url,
                    const QByteArray& body)
{
    QNetworkRequest request{QUrl(url)};
    request.setSslConfiguration(tls);
    request.setRawHeader("Content-Type", "application/json; charset=utf-8");
    return postRequest(manager, request, body);
}

void printRun(const char* what, qint64 clientMs, qint64 bareMs, int batches, int confirmed)
{
    std::printf("%s: %lld ms, %d batches, %.1f ms per batch\n", what, static_cast<long long>(clientMs), batches,
                batches == 0 ? 0.0 : double(clientMs) / batches);
    std::printf("bare client, same bodies (%d confirmed): %lld ms, %.1f ms per batch\n", confirmed,
                static_cast<long long>(bareMs), batches == 0 ? 0.0 : double(bareMs) / batches);
    std::printf("ratio %.2f (goal: at most 1.2)\n", bareMs > 0 ? double(clientMs) / double(bareMs) : 0.0);
}

QByteArray between(const QByteArray& text, const QByteArray& open, const QByteArray& close)
{
    const int from = text.indexOf(open);
    const int to = from < 0 ? -1 : text.indexOf(close, from + open.size());
    return from < 0 || to < 0 ? QByteArray() : text.mid(from + open.size(), to - from - open.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("VNQ_BUILD_DIR"))
        qputenv("VNQ_BUILD_DIR", VNQ_BUILD_DIR_DEFAULT);
    QCoreApplication app(argc, argv);
    vnq::test::TempBoardRoot board;
    if (!vnq::test::installShippedDatabases(board)) {
        std::fprintf(stderr, "shipped databases missing: build the db target first\n");
        return 1;
    }
    board.makeDir(QStringLiteral("/VnQo/var/fwup"));
    board.writeFile(QStringLiteral("/mnt/spi_user/termid"), "12345678\n");
    ZSystem::setMode(ZSystem::Cloud);

    TestCa ca;
    ThreadedCloud cloud(ca);
    QString url;
    cloud.on([&] {
        url = cloud.service->serviceUrl();
        cloud.service->addClient(QStringLiteral("QOC0125678"));
    });
    board.writeFile(QStringLiteral("/VnQo/etc/ssl/cloud-ca.pem"), ca.caPem());
    board.writeFile(QStringLiteral("/VnQo/var/cloud.param"), (url + QStringLiteral("\n\n\n")).toUtf8());
    const QDateTime stamp(QDate(2024, 1, 1), QTime(9, 0, 0));
    DBDakoku::execQuery(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
                                       "INSERT INTO dakoku (user_id, insert_datetime, date, stamptime, kubun) "
                                       "SELECT 1 + i, ?, ?, ?, 1 FROM n WHERE i < ?"),
                        nullptr, nullptr, nullptr, nullptr,
                        {stampCount, stamp.toSecsSinceEpoch(), DBDakoku::toDakokuDate(stamp, 1),
                         stamp.toSecsSinceEpoch(), stampCount});

    CloudWarker warker(new CloudAPI);
    QString end;
    QObject::connect(&warker, &CloudLink::allUpdateFinish, [&](int, const QString& option) { end = option; });
    QElapsedTimer timer;
    timer.start();
    warker.startDataRequest(3);
    waitForSignal(&warker, &CloudLink::allUpdateFinish);
    const qint64 clientMs = timer.elapsed();

    // Every operation the client sent after its token step, in order.
    QList<QPair<QString, QByteArray>> bodies;
    int batches = 0;
    cloud.on([&] {
        for (const MockRequest& r : cloud.server->requests()) {
            QByteArray action = r.header("SOAPAction");
            action = action.mid(action.lastIndexOf('/') + 1);
            action.chop(1);
            if (action == "GetTokenSeed")
                continue;
            bodies.append({QString::fromLatin1(action), r.body});
            if (action == "PutStampRaw")
                ++batches;
        }
    });

    QNetworkAccessManager manager;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setCaCertificates(QSslCertificate::fromData(ca.caPem()));
    const QByteArray seedRequest = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
        "<soap:Header></soap:Header><soap:Body><GetTokenSeed xmlns=\"%1\"><client_unique_key>QOC0125678"
        "</client_unique_key></GetTokenSeed></soap:Body></soap:Envelope>").arg(url).toUtf8();
    timer.restart();
    int confirmed = 0;
    for (auto operation : bodies) {
        const QByteArray seed = between(post(manager, tls, url, QStringLiteral("GetTokenSeed"), seedRequest), "<seed>", "</seed>");
        const QByteArray token = QCryptographicHash::hash(QByteArray(CloudAPI::defaultCloudKey) + seed,
                                                          QCryptographicHash::Md5).toHex();
        QByteArray& body = operation.second;
        const QByteArray old = between(body, "<token>", "</token>");
        body.replace("<token>" + old + "</token>", "<token>" + token + "</token>");
        if (between(post(manager, tls, url, operation.first, body), "<result>", "</result>") == "0")
            ++confirmed;
    }
    const qint64 bareMs = timer.elapsed();

    const QByteArray soapRun = QStringLiteral("SOAP upload of %1 stamps, mode 3 (%2)").arg(stampCount).arg(end).toUtf8();
    printRun(soapRun.constData(), clientMs, bareMs, int(bodies.size()), confirmed);

    // The JSON client: the same stamps unsent again, mode 2.
    DBDakoku::execQuery(QStringLiteral("UPDATE dakoku SET send = '0'"), nullptr, nullptr, nullptr, nullptr);
    ZSystem::setMode(ZSystem::Merid);
    QString jsonUrl;
    cloud.on([&] {
        jsonUrl = cloud.json->serviceUrl();
        cloud.json->addClient(QStringLiteral("QOM1025678"));
    });
    board.writeFile(QStringLiteral("/VnQo/var/merid.param"), (jsonUrl + QStringLiteral("\n\n")).toUtf8());
    MeridWarker merid(new MeridAPI);
    timer.restart();
    merid.startDataRequest(2);
    waitForSignal(&merid, &CloudLink::allUpdateFinish);
    waitForCondition([&] { return !merid.busy(); });
    const qint64 jsonMs = timer.elapsed();

    QList<QByteArray> jsonBodies;
    cloud.on([&] {
        for (const MockRequest& r : cloud.server->requests()) {
            if (r.path.endsWith("/putStamp"))
                jsonBodies << r.body;
        }
    });
    timer.restart();
    const QByteArray tokenAnswer
        = postJson(manager, tls, jsonUrl + QStringLiteral("getToken"), QByteArrayLiteral("{\"client_key\":\"QOM1025678\"}"));
    const QByteArray token = between(tokenAnswer, "\"token\":\"", "\"");
    int jsonConfirmed = 0;
    for (QByteArray body : jsonBodies) {
        const QByteArray old = between(body, "\"token\":\"", "\"");
        body.replace("\"token\":\"" + old + "\"", "\"token\":\"" + token + "\"");
        const QByteArray answer = postJson(manager, tls, jsonUrl + QStringLiteral("/putStamp"), body);
        if (answer.contains("\"result\":0"))
            ++jsonConfirmed;
    }
    postJson(manager, tls, jsonUrl + QStringLiteral("/releaseToken"),
             "{\"client_key\":\"QOM1025678\",\"token\":\"" + token + "\"}");
    const qint64 jsonBareMs = timer.elapsed();
    const QByteArray jsonRun = QStringLiteral("JSON upload of %1 stamps, mode 2").arg(stampCount).toUtf8();
    printRun(jsonRun.constData(), jsonMs, jsonBareMs, int(jsonBodies.size()), jsonConfirmed);
    return 0;
}
