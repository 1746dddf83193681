// The developer command ./vq on a board root given as a relative path or as one too long
// for the board's local sockets.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <functional>

namespace {

const QString sourceTree = QStringLiteral(VNQ_SOURCE_TREE);

QProcessEnvironment withRoot(const QString& root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VNQ_ROOT"), root);
    env.insert(QStringLiteral("VNQ_JOBS"), QStringLiteral("1"));
    return env;
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Polls done() every 50 ms of real time: the terminal and its card service are real
// processes with their own clocks.
bool pollUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < timeoutMs)
        QThread::msleep(50);
    return done();
}

TEST(VqScript, RunsTheTerminalOnARelativeBoardRoot)
{
    QTemporaryDir dir(QStringLiteral("/tmp/vnq-rel-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString relative = QDir(sourceTree).relativeFilePath(dir.path());
    ASSERT_FALSE(QFileInfo(relative).isAbsolute());

    // In a session of its own, so the terminal and its helpers end together.
    QProcess vq;
    vq.setWorkingDirectory(sourceTree);
    vq.setProcessEnvironment(withRoot(relative));
    vq.setProcessChannelMode(QProcess::MergedChannels);
    vq.start(QStringLiteral("setsid"), {QStringLiteral("bash"), QStringLiteral("./vq"), QStringLiteral("run")});
    ASSERT_TRUE(vq.waitForStarted(5000));
    const qint64 session = vq.processId();
    const auto stop = [&] {
        ::kill(-pid_t(session), SIGTERM);
        vq.waitForFinished(10000);
    };

    const QString socket = dir.path() + QStringLiteral("/tmp/iccard.uds");
    const bool listening = pollUntil([&] { return QFileInfo(socket).exists(); }, 120000);
    if (!listening) {
        stop();
        FAIL() << "no card socket at " << socket.toStdString() << "\n" << vq.readAll().toStdString();
    }

    // The card service polls once the terminal has written its start gate at its settings load.
    const QString commands = dir.path() + QStringLiteral("/var/log/sim-commands.log");
    EXPECT_TRUE(pollUntil([&] { return fileText(commands).contains(QStringLiteral("SyncFile OK!!")); }, 10000));

    QProcess card;
    card.setWorkingDirectory(sourceTree);
    card.setProcessEnvironment(withRoot(relative));
    card.start(QStringLiteral("bash"), {QStringLiteral("./vq"), QStringLiteral("card"), QStringLiteral("0123456789abcdef")});
    EXPECT_TRUE(card.waitForFinished(10000));
    EXPECT_EQ(card.exitCode(), 0) << card.readAllStandardError().toStdString();

    // The terminal takes the card: its clock check runs for every card event.
    const QString log = dir.path() + QStringLiteral("/var/log/VantroQo.log");
    const bool handled = pollUntil([&] { return fileText(log).contains(QStringLiteral("Tikwarden -D 180")); }, 10000);
    stop();
    EXPECT_TRUE(handled) << vq.readAll().toStdString();
}

TEST(VqScript, RefusesABoardRootTooLongForItsSockets)
{
    const QString root = QStringLiteral("/tmp/vnq-") + QString(80, QLatin1Char('x'));
    QProcess vq;
    vq.setWorkingDirectory(sourceTree);
    vq.setProcessEnvironment(withRoot(root));
    vq.start(QStringLiteral("bash"), {QStringLiteral("./vq"), QStringLiteral("run")});
    ASSERT_TRUE(vq.waitForFinished(10000));
    EXPECT_EQ(vq.exitCode(), 2);
    EXPECT_TRUE(vq.readAllStandardError().contains("vq: board root too long for a local socket"));
    EXPECT_FALSE(QFileInfo::exists(root));
}

TEST(VqScript, TouchRefusesPointsOffTheScreenAndHoldsOutOfRange)
{
    QTemporaryDir dir(QStringLiteral("/tmp/vnq-touch-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QStringList refused[] = {
        {},
        {QStringLiteral("10")},
        {QStringLiteral("480"), QStringLiteral("0")},
        {QStringLiteral("0"), QStringLiteral("272")},
        {QStringLiteral("-1"), QStringLiteral("5")},
        {QStringLiteral("x"), QStringLiteral("5")},
        {QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("0")},
        {QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("60001")},
        {QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("1.5")},
    };
    for (const QStringList& args : refused) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        QProcess vq;
        vq.setWorkingDirectory(sourceTree);
        vq.setProcessEnvironment(withRoot(dir.path()));
        vq.start(QStringLiteral("bash"), QStringList{QStringLiteral("./vq"), QStringLiteral("touch")} + args);
        ASSERT_TRUE(vq.waitForFinished(10000));
        EXPECT_EQ(vq.exitCode(), 2);
        EXPECT_TRUE(vq.readAllStandardError().startsWith("usage: ./vq touch X Y [hold-ms]"));
    }
}

}  // namespace
