// vnq_mock_cloud: the cloud edition's SOAP service and the Merid edition's JSON service for
// the simulated board, on one port of 127.0.0.1.
//   --root DIR          board root (default VNQ_ROOT)
//   --port N            port to listen on (0, the default: any free one)
//   --plain             plain HTTP instead of TLS
//   --proxy-port N      also a CONNECT proxy on this port (loopback targets only)
//   --proxy-auth U:P    Basic credentials the proxy asks for
//   --max-seconds N     end after N seconds (0, the default: run until SIGINT or SIGTERM)
// At start it makes a fresh CA and writes <root>/VnQo/etc/ssl/cloud-ca.pem and
// <root>/VnQo/var/cloud.param, then <root>/VnQo/var/merid.param; its state goes to <root>/var/mock-cloud/ and its request log,
// with masked tokens, to <root>/var/log/mock-cloud.log.
#include "connectproxy.h"
#include "mockhttpserver.h"
#include "mockjsonservice.h"
#include "mocksoapservice.h"
#include "testca.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

std::atomic<bool> quitRequested{false};

void requestQuit(int)
{
    quitRequested = true;
}

bool writeFile(const QString& path, const QByteArray& content, QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(mode) && file.write(content) == content.size();
}

// Whole or not at all: a reader never sees the file half written.
bool writeFileWhole(const QString& path, const QByteArray& content)
{
    const QString part = path + QStringLiteral(".part");
    QFile::remove(path);
    return writeFile(part, content) && QFile::rename(part, path);
}

QString masked(QString text)
{
    static const QRegularExpression secret(QStringLiteral("<(token|seed)>[^<]*</\\1>"));
    static const QRegularExpression jsonToken(QStringLiteral("\"token\"\\s*:\\s*\"[^\"]*\""));
    return text.replace(secret, QStringLiteral("<\\1>****</\\1>")).replace(jsonToken, QStringLiteral("\"token\":\"****\""));
}

void serveSeedData(MockSoapService& service)
{
    service.setAcceptAnyClient(true);
    service.setUsers({{QStringLiteral("1001"), QStringLiteral("山田太郎"), QStringLiteral("1"), QStringLiteral("0123456789ABCDEF")},
                      {QStringLiteral("1002"), QStringLiteral("佐藤花子"), QStringLiteral("1"), QStringLiteral("04A1B2C300000000")},
                      {QStringLiteral("1003"), QStringLiteral("鈴木一郎"), QStringLiteral("1"), QString()},
                      {QStringLiteral("1004"), QStringLiteral("高橋次郎"), QStringLiteral("1"), QStringLiteral("0123456789ABCD04")}});
    service.setSettings({{QStringLiteral("nijuu_dakoku_sec"), 60}, {QStringLiteral("touch_volume"), 2}});
    service.setCommCycle(0, 3600, -1, -1);
    // The times of this start, so a terminal's first full update downloads everything.
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    service.setUpdateTimes({{1, now, 4}, {5, now, 2}, {6, now, 1}});
    service.setFirmware(QStringLiteral("QO02-9Z31"), QByteArray("VantroQo simulated firmware image\n").repeated(64));
}

// The same users, settings and firmware for the JSON service.
void serveSeedData(const MockSoapService& soap, MockJsonService& service)
{
    service.setAcceptAnyClient(true);
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    QList<MockJsonService::User> users;
    for (const auto& user : soap.users())
        users.append({user.idCode.toInt(), user.name, user.groupCode.toInt(), user.idm, now});
    service.setUsers(users);
    QList<MockJsonService::Setting> settings;
    for (const auto& setting : soap.settings())
        settings.append({setting.first, setting.second, now});
    service.setSettings(settings);
    service.setCommCycle(0, 3600);
    service.setUpdateTimes({{33, now}, {40, now}, {47, now}});
    service.setFirmware(QStringLiteral("QO02-9Z31"), QByteArray("VantroQo simulated firmware image\n").repeated(64));
}

// One line per stamp, idms.txt one per card of either service; status.txt the last SOAP report.
void saveState(const MockSoapService& service, const MockJsonService& json, const QString& stateDir)
{
    QByteArray stamps;
    for (const auto& s : service.stamps())
        stamps += QStringList{s.clientKey, s.idCode, s.kubun, s.stamptime, s.flag}.join(QLatin1Char(',')).toUtf8() + '\n';
    for (const auto& s : json.stamps())
        stamps += QStringLiteral("%1,%2,%3,%4%5,%6\n")
                      .arg(s.clientKey)
                      .arg(s.idCode)
                      .arg(s.kubun)
                      .arg(s.ymd)
                      .arg(s.hms, 6, 10, QLatin1Char('0'))
                      .arg(s.flag)
                      .toUtf8();
    writeFile(stateDir + QStringLiteral("/stamps.csv"), stamps);
    QByteArray status;
    for (const auto& call : service.calls()) {
        if (call.operation != QLatin1String("PutVantroInfo"))
            continue;
        status = "client " + call.clientKey.toUtf8() + "\nversion " + service.lastVersion(call.clientKey).toUtf8() + '\n';
        for (const auto& pair : service.lastStatus(call.clientKey))
            status += pair.first.toUtf8() + ' ' + pair.second.toUtf8() + '\n';
    }
    writeFile(stateDir + QStringLiteral("/status.txt"), status);
    QByteArray idms;
    for (const auto* registry : {&service.idms(), &json.idms()}) {
        for (auto it = registry->begin(); it != registry->end(); ++it)
            idms += it.key().toUtf8() + ' ' + it.value().toUtf8() + '\n';
    }
    writeFile(stateDir + QStringLiteral("/idms.txt"), idms);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption rootOption(QStringLiteral("root"), QStringLiteral("board root"), QStringLiteral("dir"),
                                        qEnvironmentVariable("VNQ_ROOT"));
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("port, 0: any"), QStringLiteral("n"),
                                        QStringLiteral("0"));
    const QCommandLineOption plainOption(QStringLiteral("plain"), QStringLiteral("plain HTTP"));
    const QCommandLineOption proxyPortOption(QStringLiteral("proxy-port"), QStringLiteral("CONNECT proxy port"),
                                             QStringLiteral("n"));
    const QCommandLineOption proxyAuthOption(QStringLiteral("proxy-auth"), QStringLiteral("proxy credentials"),
                                             QStringLiteral("user:password"));
    const QCommandLineOption maxSecondsOption(QStringLiteral("max-seconds"), QStringLiteral("end after n seconds"),
                                              QStringLiteral("n"), QStringLiteral("0"));
    parser.addOptions({rootOption, portOption, plainOption, proxyPortOption, proxyAuthOption, maxSecondsOption});
    parser.process(app);
    const QString root = parser.value(rootOption);
    if (root.isEmpty()) {
        std::fprintf(stderr, "vnq_mock_cloud: no board root (--root or VNQ_ROOT)\n");
        return 2;
    }

    TestCa ca;
    MockServerOptions options;
    options.tls = !parser.isSet(plainOption);
    options.leaf = ca.validLeaf();
    options.port = quint16(parser.value(portOption).toUInt());
    MockHttpServer server(options);
    if (!ca.isValid() || !server.isListening()) {
        std::fprintf(stderr, "vnq_mock_cloud: cannot listen on port %s\n", qPrintable(parser.value(portOption)));
        return 1;
    }
    MockSoapService service(&server);
    serveSeedData(service);
    MockJsonService json(&server);
    serveSeedData(service, json);

    std::unique_ptr<ConnectProxy> proxy;
    if (parser.isSet(proxyPortOption)) {
        proxy = std::make_unique<ConnectProxy>(quint16(parser.value(proxyPortOption).toUInt()));
        if (parser.isSet(proxyAuthOption)) {
            const QString auth = parser.value(proxyAuthOption);
            proxy->setCredentials(auth.section(QLatin1Char(':'), 0, 0), auth.section(QLatin1Char(':'), 1));
        }
    }

    const QString stateDir = root + QStringLiteral("/var/mock-cloud");
    const QString logPath = root + QStringLiteral("/var/log/mock-cloud.log");
    QObject::connect(&service, &MockSoapService::stored, [&] { saveState(service, json, stateDir); });
    QObject::connect(&json, &MockJsonService::stored, [&] { saveState(service, json, stateDir); });
    QObject::connect(&server, &MockHttpServer::requestReceived, [&](const MockRequest& r) {
        const QString line = QStringLiteral("%1 %2 %3 %4 %5\n")
                                 .arg(QDateTime::currentDateTime().toString(Qt::ISODate), QString::fromLatin1(r.method),
                                      QString::fromUtf8(r.path), QString::fromUtf8(r.header("SOAPAction")),
                                      masked(QString::fromUtf8(r.body)));
        writeFile(logPath, line.toUtf8(), QIODevice::Append);
    });
    saveState(service, json, stateDir);

    if (!writeFile(root + QStringLiteral("/VnQo/etc/ssl/cloud-ca.pem"), ca.caPem())
        || !writeFileWhole(root + QStringLiteral("/VnQo/var/cloud.param"),
                      (service.serviceUrl() + QStringLiteral("\n\n") + QLatin1String(MockSoapService::defaultCloudKey)
                       + QLatin1Char('\n'))
                          .toUtf8())
        // The client key line stays empty: the terminal derives its own.
        || !writeFileWhole(root + QStringLiteral("/VnQo/var/merid.param"), (json.serviceUrl() + QStringLiteral("\n\n")).toUtf8())) {
        std::fprintf(stderr, "vnq_mock_cloud: cannot write under %s\n", qPrintable(root));
        return 1;
    }
    std::printf("vnq_mock_cloud: %s %s\n", qPrintable(service.serviceUrl()), qPrintable(json.serviceUrl()));
    std::fflush(stdout);

    std::signal(SIGINT, requestQuit);
    std::signal(SIGTERM, requestQuit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (quitRequested)
            app.quit();
    });
    poll.start(100);
    const int maxSeconds = parser.value(maxSecondsOption).toInt();
    if (maxSeconds > 0)
        QTimer::singleShot(maxSeconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
