#include "recordingrunner.h"

namespace vnq::test {

RecordingRunner::RecordingRunner()
{
    setCommandRunner(this);
}

RecordingRunner::~RecordingRunner()
{
    setCommandRunner(nullptr);
}

void RecordingRunner::script(const QString& commandPrefix, int exitCode, const QByteArray& output)
{
    CommandResult result;
    result.started = true;
    result.finished = true;
    result.exitCode = exitCode;
    result.output = output;
    m_scripts.append({commandPrefix, result});
}

void RecordingRunner::scriptNotStarted(const QString& commandPrefix)
{
    m_scripts.append({commandPrefix, CommandResult{}});
}

void RecordingRunner::scriptTimedOut(const QString& commandPrefix)
{
    CommandResult result;
    result.started = true;
    result.finished = false;
    m_scripts.append({commandPrefix, result});
}

QStringList RecordingRunner::commands() const
{
    QStringList list;
    for (const Call& call : m_calls)
        list << call.command;
    return list;
}

int RecordingRunner::count(const QString& command) const
{
    int n = 0;
    for (const Call& call : m_calls)
        n += call.command == command ? 1 : 0;
    return n;
}

CommandResult RecordingRunner::resultFor(const QString& command) const
{
    const Script* best = nullptr;
    for (const Script& s : m_scripts) {
        if (command.startsWith(s.prefix) && (!best || s.prefix.size() >= best->prefix.size()))
            best = &s;
    }
    if (best)
        return best->result;
    CommandResult ok;
    ok.started = true;
    ok.finished = true;
    ok.exitCode = 0;
    return ok;
}

void RecordingRunner::record(Form form, const QString& command, int timeoutMs)
{
    m_calls.append({form, command, timeoutMs});
    if (onCommand)
        onCommand(command);
}

int RecordingRunner::shell(const QString& line)
{
    record(Form::Shell, line);
    const CommandResult r = resultFor(line);
    return r.started ? r.exitCode : -1;
}

CommandResult RecordingRunner::run(const QString& command, int timeoutMs)
{
    record(Form::Run, command, timeoutMs);
    return resultFor(command);
}

bool RecordingRunner::startDetached(const QString& command)
{
    record(Form::Detached, command);
    return resultFor(command).started;
}

}  // namespace vnq::test
