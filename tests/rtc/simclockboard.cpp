#include "simclockboard.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace vnq::test {

namespace {
const char kRtc[] = "/dev/rtc0";
const char kSystemClockLog[] = "/var/log/sim-systime.log";
}  // namespace

SimClockBoard::SimClockBoard()
{
    m_root.makeDir(QStringLiteral("/dev"));
    m_root.makeDir(QStringLiteral("/var/log"));
}

QString SimClockBoard::seconds(qint64 us)
{
    return QString::asprintf("%lld.%06lld", us / 1000000, us % 1000000);
}

void SimClockBoard::setRtc(const QByteArray& lines) const
{
    m_root.writeFile(kRtc, lines);
}

void SimClockBoard::removeRtc() const
{
    QFile::remove(m_root.path(kRtc));
}

QMap<QString, QString> SimClockBoard::rtcState() const
{
    QMap<QString, QString> state;
    for (const QByteArray& line : m_root.readFile(kRtc).split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() == 2)
            state.insert(QString::fromLatin1(parts[0]), QString::fromLatin1(parts[1]));
    }
    return state;
}

void SimClockBoard::setSystemClockLog(const QByteArray& lines) const
{
    m_root.writeFile(kSystemClockLog, lines);
}

QByteArray SimClockBoard::systemClockLog() const
{
    return m_root.readFile(kSystemClockLog);
}

ToolRun SimClockBoard::run(const char* program, const QStringList& args, qint64 worldUs,
                           const QString& tz) const
{
    ToolRun result;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Without a board root the tools would use the host's RTC and clock.
    if (!m_root.isValid() || m_root.root().isEmpty()) {
        ADD_FAILURE() << "no board root";
        return result;
    }
    env.insert(QStringLiteral("VNQ_ROOT"), m_root.root());
    env.insert(QStringLiteral("TZ"), tz);
    if (worldUs >= 0)
        env.insert(QStringLiteral("VNQ_SIM_TIME"), seconds(worldUs));
    else
        env.remove(QStringLiteral("VNQ_SIM_TIME"));

    QProcess process;
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(QString::fromLocal8Bit(program), args);
    if (!process.waitForFinished(15000)) {
        ADD_FAILURE() << program << " did not finish";
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.elapsedMs = timer.elapsed();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit)
        result.status = process.exitCode();
    return result;
}

}  // namespace vnq::test
