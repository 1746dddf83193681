#include "cloudchain.h"

#include "dbmaster.h"
#include "meridapi.h"
#include "meridwarker.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <csignal>

namespace vnq::test {
namespace {

// The mock cloud program on a board root of its own, reached by the SOAP worker over TLS.
TEST(MockCloudProgram, ServesAFullUpdateAndEndsOnSigterm)
{
    TempBoardRoot board;
    ASSERT_TRUE(installShippedDatabases(board));
    ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/var/fwup")));
    FakeClock clock;
    FileCommandRunner runner;
    runner.script(QStringLiteral("cat "), 0, "12345678\n");
    ZSystem::setMode(ZSystem::Cloud);
    QProcess program;
    program.start(QStringLiteral(VNQ_MOCK_CLOUD), {QStringLiteral("--root"), board.root(), QStringLiteral("--max-seconds"),
                                                   QStringLiteral("240")});
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(waitUntil([&] { return board.exists(QStringLiteral("/VnQo/var/cloud.param")); }, 20000));

    const QDateTime stamp(QDate(2024, 1, 1), QTime(9, 0, 0));
    for (int user : {1001, 1002, 1003})
        ASSERT_TRUE(DBDakoku::setDakoku(user, 1, stamp));
    {
        CloudWarker warker(new CloudAPI);
        QString end;
        QObject::connect(&warker, &CloudLink::allUpdateFinish, [&](int, const QString& option) { end = option; });
        ASSERT_TRUE(warker.startDataRequest(1));
        ASSERT_TRUE(waitUntil([&] { return !end.isEmpty(); }, 120000));
        EXPECT_EQ(end, QStringLiteral("success"));
    }
    const QList<QByteArray> stamps = board.readFile(QStringLiteral("/var/mock-cloud/stamps.csv")).split('\n');
    EXPECT_EQ(stamps.size(), 4);  // three lines and the empty rest
    int userId = 0, auth = 0;
    QString name, password;
    EXPECT_TRUE(DBMaster::getUserByCardID(QStringLiteral("0123456789ABCDEF"), &userId, &name, &auth, &password));
    EXPECT_EQ(name, QStringLiteral("山田太郎"));

    // The same program serves the JSON service: a Merid full update on a master made empty.
    ASSERT_TRUE(QFile::remove(board.path(QStringLiteral("/VnQo/app/DB/master.db"))));
    ASSERT_TRUE(QFile::copy(board.path(QStringLiteral("/VnQo/app/DB/def/master.db")),
                            board.path(QStringLiteral("/VnQo/app/DB/master.db"))));
    ASSERT_FALSE(DBMaster::getUserByCardID(QStringLiteral("0123456789ABCDEF"), &userId, &name, &auth, &password));
    ZSystem::setMode(ZSystem::Merid);
    for (int user : {1001, 1004})
        ASSERT_TRUE(DBDakoku::setDakoku(user, 102, stamp));
    clock.advanceMs(3600 * 1000);  // past the double-stamp window
    {
        MeridWarker warker(new MeridAPI);
        bool ended = false;
        QObject::connect(&warker, &CloudLink::allUpdateFinish, [&](int mode, const QString&) { ended = mode == 1; });
        ASSERT_TRUE(warker.startDataRequest(1));
        ASSERT_TRUE(waitUntil([&] { return ended && !warker.busy(); }, 120000));
    }
    const QList<QByteArray> allStamps = board.readFile(QStringLiteral("/var/mock-cloud/stamps.csv")).split('\n');
    EXPECT_EQ(allStamps.size(), 6);  // five lines and the empty rest
    EXPECT_TRUE(allStamps.value(4).contains(",1004,102,"));
    EXPECT_TRUE(DBMaster::getUserByCardID(QStringLiteral("0123456789ABCDEF"), &userId, &name, &auth, &password));
    EXPECT_EQ(name, QStringLiteral("山田太郎"));

    const QByteArray log = board.readFile(QStringLiteral("/var/log/mock-cloud.log"));
    EXPECT_TRUE(log.contains("<token>****</token>"));
    EXPECT_TRUE(log.contains("\"token\":\"****\""));

    ::kill(program.processId(), SIGTERM);
    EXPECT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
}

// The status line of a proxy's answer to one CONNECT request.
QByteArray connectStatus(quint16 proxyPort, const QByteArray& target, const QByteArray& credentials)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, proxyPort);
    if (!socket.waitForConnected(5000))
        return "no connection";
    QByteArray request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n";
    if (!credentials.isEmpty())
        request += "Proxy-Authorization: Basic " + credentials.toBase64() + "\r\n";
    socket.write(request + "\r\n");
    QByteArray answer;
    while (!answer.contains("\r\n") && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    return answer.left(answer.indexOf("\r\n"));
}

// The program's CONNECT proxy asks for the given credentials and reaches only loopback.
TEST(MockCloudProgram, ProxyOptionsGiveAnAuthenticatingLoopbackProxyAndSigintEndsIt)
{
    TempBoardRoot board;
    quint16 proxyPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        proxyPort = probe.serverPort();
    }
    QProcess program;
    program.start(QStringLiteral(VNQ_MOCK_CLOUD),
                  {QStringLiteral("--root"), board.root(), QStringLiteral("--proxy-port"), QString::number(proxyPort),
                   QStringLiteral("--proxy-auth"), QStringLiteral("vq:se:cret"), QStringLiteral("--max-seconds"),
                   QStringLiteral("240")});
    ASSERT_TRUE(program.waitForStarted(10000));
    // The file may be seen before its first line is whole.
    ASSERT_TRUE(waitUntil([&] { return board.readFile(QStringLiteral("/VnQo/var/cloud.param")).contains('\n'); }, 20000));
    const QUrl service(QString::fromUtf8(board.readFile(QStringLiteral("/VnQo/var/cloud.param")).split('\n').first()));
    const QByteArray target = "127.0.0.1:" + QByteArray::number(service.port());

    const struct {
        const char* name;
        QByteArray target;
        QByteArray credentials;
        QByteArray status;
    } cases[] = {
        {"no credentials", target, "", "HTTP/1.1 407"},
        {"wrong password", target, "vq:secret", "HTTP/1.1 407"},
        {"right ones", target, "vq:se:cret", "HTTP/1.1 200"},
        {"outside loopback", "192.0.2.1:443", "vq:se:cret", "HTTP/1.1 403"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(connectStatus(proxyPort, c.target, c.credentials).startsWith(c.status));
    }

    ::kill(program.processId(), SIGINT);
    EXPECT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
}

}  // namespace
}  // namespace vnq::test
