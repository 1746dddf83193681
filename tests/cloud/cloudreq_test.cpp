#include "fakeclock.h"
#include "httptestbase.h"
#include "mocksoapservice.h"
#include "secretlog.h"

#include "dbdakoku.h"
#include "dbsetting.h"

#include <QProcess>

#include <csignal>

namespace vnq::test {
namespace {

#ifdef VNQ_CLOUDREQ

// The mock cloud program on a board root of its own, and the cloudreq tool run on that board.
class CloudReqTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(board.isValid());
        ASSERT_TRUE(installShippedDatabases(board));
        ASSERT_TRUE(board.makeDir(QStringLiteral("/VnQo/var/fwup")));
        ASSERT_TRUE(board.writeFile(QStringLiteral("/mnt/spi_user/termid"), "12345678\n"));
        int password = boardAdminPassword;
        ASSERT_TRUE(DBSetting::setParam(QStringLiteral("admin_password"), &password));
        program.start(QStringLiteral(VNQ_MOCK_CLOUD),
                      {QStringLiteral("--root"), board.root(), QStringLiteral("--max-seconds"), QStringLiteral("300")});
        ASSERT_TRUE(program.waitForStarted(10000));
        ASSERT_TRUE(waitUntil([&] { return board.readFile(QStringLiteral("/VnQo/var/merid.param")).contains('\n'); }, 20000));
    }

    // The tool's log holds neither the board's password nor the cloud key its tokens are made of.
    void TearDown() override
    {
        ::kill(program.processId(), SIGTERM);
        program.waitForFinished(10000);
        const QString log = QString::fromUtf8(board.readFile(QStringLiteral("/var/log/cloudreq.log")));
        EXPECT_FALSE(log.isEmpty());
        EXPECT_FALSE(log.contains(QString::number(boardAdminPassword)));
        EXPECT_FALSE(log.contains(QString::fromLatin1(MockSoapService::defaultCloudKey)));
    }

    struct Run {
        bool ended = false;
        int status = -1;
        QString lastLine;
    };

    // Runs the tool with the arguments; whether it ended by itself within the bound (far below
    // its own time limit), its exit status and the last line it printed.
    Run cloudreq(const QStringList& args)
    {
        QProcess tool;
        tool.start(QStringLiteral(VNQ_CLOUDREQ), args);
        Run run;
        if (!tool.waitForStarted(10000))
            return run;
        run.ended = waitUntil([&] { return tool.state() == QProcess::NotRunning; }, 120000);
        if (!run.ended) {
            tool.kill();
            tool.waitForFinished(10000);
        }
        run.status = tool.exitCode();
        const QStringList lines = QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        run.lastLine = lines.value(lines.size() - 1);
        return run;
    }

    TempBoardRoot board;
    QProcess program;
};

// Two unsent stamps of the kind, entered two hours ago: past the double-stamp window that the
// tool, on the real clock, holds newer stamps back for.
void addStamps(int kubun, const QDateTime& stamp)
{
    FakeClock earlier(QDateTime::currentDateTime().addSecs(-7200));
    ASSERT_TRUE(DBDakoku::execQuery(QStringLiteral("DELETE FROM dakoku"), nullptr, nullptr, nullptr, nullptr));
    for (int user : {1001, 1002})
        ASSERT_TRUE(DBDakoku::setDakoku(user, kubun, stamp));
}

TEST_F(CloudReqTool, EveryModeEndsWithItsChainsEndSignalAndStatus)
{
    const QDateTime stamp(QDate(2024, 1, 1), QTime(9, 0, 0));
    addStamps(1, stamp);
    const struct {
        QStringList args;
        QString lastLine;
        int status;
    } cases[] = {
        {{QStringLiteral("4")}, QStringLiteral("finishedDakokuSending 0 2"), 0},
        {{QStringLiteral("5")}, QStringLiteral("finishedDakokuSending 0 2"), 0},
        {{QStringLiteral("1")}, QStringLiteral("allUpdateFinish 1 success"), 0},
        {{QStringLiteral("2")}, QStringLiteral("allUpdateFinish 2 failed"), 1},
        {{QStringLiteral("-Merid"), QStringLiteral("4")}, QStringLiteral("finishedDakokuSending 0 2"), 0},
        {{QStringLiteral("-Merid"), QStringLiteral("5")}, QStringLiteral("finishedDakokuSending 0 2"), 0},
        {{QStringLiteral("-Merid"), QStringLiteral("3")}, QStringLiteral("allUpdateFinish 3 success"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        if (c.args.contains(QStringLiteral("-Merid")) && c.args.last() != QLatin1String("3")) {
            // Stamps of the JSON service's kinds, new to it.
            addStamps(102, stamp.addSecs(3600 * c.args.last().toInt()));
        }
        const Run run = cloudreq(c.args);
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(run.lastLine, c.lastLine);
        EXPECT_EQ(run.status, c.status);
    }
}

#endif

}  // namespace
}  // namespace vnq::test
