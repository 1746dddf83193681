#include "cloudchain.h"

#include "dbmaster.h"

#include <QProcess>

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
                                                   QStringLiteral("60")});
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
        ASSERT_TRUE(waitUntil([&] { return !end.isEmpty(); }, 30000));
        EXPECT_EQ(end, QStringLiteral("success"));
    }
    const QList<QByteArray> stamps = board.readFile(QStringLiteral("/var/mock-cloud/stamps.csv")).split('\n');
    EXPECT_EQ(stamps.size(), 4);  // three lines and the empty rest
    int userId = 0, auth = 0;
    QString name, password;
    EXPECT_TRUE(DBMaster::getUserByCardID(QStringLiteral("0123456789ABCDEF"), &userId, &name, &auth, &password));
    EXPECT_EQ(name, QStringLiteral("山田太郎"));
    const QByteArray log = board.readFile(QStringLiteral("/var/log/mock-cloud.log"));
    EXPECT_TRUE(log.contains("<token>****</token>"));

    ::kill(program.processId(), SIGTERM);
    EXPECT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
}

}  // namespace
}  // namespace vnq::test
