#pragma once

#include <QByteArray>
#include <QString>

namespace vnq {

// Outcome of a waited command.
struct CommandResult {
    bool started = false;    // the program could be started at all
    bool finished = false;   // it ended before the time-out
    int exitCode = -1;       // valid when finished
    QByteArray output;       // standard output
    QByteArray errorOutput;  // standard error
};

// Every outside command of the terminal goes through one of these three forms.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;

    // A shell line as system() runs it: "/bin/sh -c line", waited; a line ending in "&"
    // therefore returns at once. Returns system()'s status.
    virtual int shell(const QString& line) = 0;

    // A program with its arguments written as one command text (split the way QProcess
    // splits it), waited for up to timeoutMs with its output captured.
    virtual CommandResult run(const QString& command, int timeoutMs = 30000) = 0;

    // A long-lived program started on its own and not waited for.
    virtual bool startDetached(const QString& command) = 0;
};

// The process-wide runner: the real one unless a test installed another.
CommandRunner& commandRunner();

// Installs a runner (not owned); nullptr restores the real one.
void setCommandRunner(CommandRunner* runner);

// The runner that really starts processes.
class ProcessCommandRunner : public CommandRunner {
public:
    int shell(const QString& line) override;
    CommandResult run(const QString& command, int timeoutMs) override;
    bool startDetached(const QString& command) override;
};

}  // namespace vnq
