#include "fakeclock.h"
#include "platform/boardroot.h"
#include "platform/commandrunner.h"
#include "platform/processexit.h"
#include "recordingrunner.h"
#include "tempboardroot.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

TEST(BoardRoot, PathsAreUnchangedWithoutARoot)
{
    qunsetenv("VNQ_ROOT");
    EXPECT_EQ(vnq::boardPath(QStringLiteral("/VnQo/app/DB/setting.db")),
              QStringLiteral("/VnQo/app/DB/setting.db"));
    qputenv("VNQ_ROOT", "");
    EXPECT_EQ(vnq::boardPath(QStringLiteral("/tmp/iccard.uds")), QStringLiteral("/tmp/iccard.uds"));
}

TEST(BoardRoot, AbsolutePathsGoUnderTheTemporaryRoot)
{
    vnq::test::TempBoardRoot board;
    ASSERT_TRUE(board.isValid());
    EXPECT_EQ(vnq::boardPath(QStringLiteral("/tmp/iccard.status")), board.root() + "/tmp/iccard.status");
    EXPECT_EQ(vnq::boardPath(QStringLiteral("../DB/dakoku.db")), QStringLiteral("../DB/dakoku.db"));

    qputenv("VNQ_ROOT", (board.root() + "//").toLocal8Bit());
    EXPECT_EQ(vnq::boardPath(QStringLiteral("/etc/resolv.conf")), board.root() + "/etc/resolv.conf");

    ASSERT_TRUE(board.writeFile(QStringLiteral("/mnt/spi_user/termid"), "A123\n"));
    QFile f(vnq::boardPath(QStringLiteral("/mnt/spi_user/termid")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("A123\n"));
}

TEST(RecordingRunner, RecordsEveryFormAndAnswersFromItsScript)
{
    vnq::test::RecordingRunner runner;
    runner.script(QStringLiteral("cat /mnt/spi_user/termid"), 0, "A123\n");
    runner.script(QStringLiteral("ping"), 1, "unreachable");
    runner.scriptNotStarted(QStringLiteral("/VnQo/bin/missing"));
    QStringList sideEffects;
    runner.onCommand = [&](const QString& c) { sideEffects << c; };

    vnq::CommandRunner& r = vnq::commandRunner();
    const vnq::CommandResult cat = r.run(QStringLiteral("cat /mnt/spi_user/termid"), 30000);
    EXPECT_TRUE(cat.started && cat.finished);
    EXPECT_EQ(cat.exitCode, 0);
    EXPECT_EQ(cat.output, QByteArray("A123\n"));

    EXPECT_EQ(r.shell(QStringLiteral("ping -c 1 10.0.0.1")), 1);
    EXPECT_EQ(r.shell(QStringLiteral("reboot &")), 0);
    EXPECT_FALSE(r.run(QStringLiteral("/VnQo/bin/missing x"), 100).started);
    EXPECT_TRUE(r.startDetached(QStringLiteral("/VnQo/bin/vnq_netif_watch_starter")));

    const QStringList expected{"cat /mnt/spi_user/termid", "ping -c 1 10.0.0.1", "reboot &",
                               "/VnQo/bin/missing x", "/VnQo/bin/vnq_netif_watch_starter"};
    EXPECT_EQ(runner.commands(), expected);
    EXPECT_EQ(sideEffects, expected);
    EXPECT_EQ(runner.calls().at(2).form, vnq::test::RecordingRunner::Form::Shell);
    EXPECT_EQ(runner.calls().at(4).form, vnq::test::RecordingRunner::Form::Detached);
    EXPECT_EQ(runner.count(QStringLiteral("reboot &")), 1);
}

TEST(ProcessCommandRunner, RunsCapturesAndTimesOut)
{
    vnq::ProcessCommandRunner real;
    const vnq::CommandResult echo = real.run(QStringLiteral("echo hello world"), 5000);
    EXPECT_TRUE(echo.finished);
    EXPECT_EQ(echo.exitCode, 0);
    EXPECT_EQ(echo.output, QByteArray("hello world\n"));

    const vnq::CommandResult missing = real.run(QStringLiteral("/nonexistent/program"), 1000);
    EXPECT_FALSE(missing.started);

    const vnq::CommandResult slow = real.run(QStringLiteral("sleep 5"), 100);
    EXPECT_TRUE(slow.started);
    EXPECT_FALSE(slow.finished);

    EXPECT_EQ(real.shell(QStringLiteral("exit 3")) >> 8, 3);
}

TEST(FakeClock, StepsWallAndMonotonicTimeWithoutWaiting)
{
    const QDateTime start(QDate(2024, 1, 1), QTime(23, 59, 59));
    vnq::test::FakeClock fake(start);
    vnq::Clock& c = vnq::clock();
    EXPECT_EQ(c.now(), start);
    const qint64 m0 = c.monotonicMs();

    c.sleepMs(1500);
    EXPECT_EQ(c.now(), start.addMSecs(1500));
    EXPECT_EQ(c.monotonicMs() - m0, 1500);

    fake.setNow(QDateTime(QDate(2030, 6, 1), QTime(8, 0)));
    EXPECT_EQ(c.now(), QDateTime(QDate(2030, 6, 1), QTime(8, 0)));
    EXPECT_EQ(c.monotonicMs() - m0, 1500);
}

TEST(FakeClock, RemovedOnDestruction)
{
    { vnq::test::FakeClock fake(QDateTime(QDate(2001, 1, 1), QTime(0, 0))); }
    EXPECT_GT(vnq::clock().now().date().year(), 2020);
}

TEST(ProcessExit, HookReceivesTheStatus)
{
    int seen = -100;
    vnq::setExitHook([&](int status) { seen = status; });
    vnq::exitProcess(1);
    EXPECT_EQ(seen, 1);
    vnq::setExitHook({});
}

TEST(ProcessExitDeathTest, RealExitSkipsStaticDestructors)
{
    EXPECT_EXIT(vnq::exitProcess(7), ::testing::ExitedWithCode(7), "");
}

}  // namespace
