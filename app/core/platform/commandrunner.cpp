#include "platform/commandrunner.h"

#include <QProcess>
#include <QStringList>

#include <cstdlib>

namespace vnq {

namespace {
CommandRunner* installedRunner = nullptr;
}

CommandRunner& commandRunner()
{
    static ProcessCommandRunner realRunner;
    return installedRunner ? *installedRunner : realRunner;
}

void setCommandRunner(CommandRunner* runner)
{
    installedRunner = runner;
}

int ProcessCommandRunner::shell(const QString& line)
{
    return std::system(line.toLocal8Bit().constData());
}

CommandResult ProcessCommandRunner::run(const QString& command, int timeoutMs)
{
    CommandResult result;
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty())
        return result;
    const QString program = words.takeFirst();

    QProcess process;
    process.start(program, words);
    result.started = process.waitForStarted(timeoutMs);
    if (!result.started)
        return result;
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(1000);
    } else {
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    result.output = process.readAllStandardOutput();
    result.errorOutput = process.readAllStandardError();
    return result;
}

bool ProcessCommandRunner::startDetached(const QString& command)
{
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty())
        return false;
    const QString program = words.takeFirst();
    return QProcess::startDetached(program, words);
}

}  // namespace vnq
