#pragma once

#include "platform/commandrunner.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace vnq::test {

// A command runner that starts nothing: it records each command with the form it was run
// in, answers with scripted results and can run a side effect per command (to write the
// file a real script would have written, say). Installed on construction, removed on
// destruction.
class RecordingRunner : public CommandRunner {
public:
    enum class Form { Shell, Run, Detached };
    struct Call {
        Form form;
        QString command;
        int timeoutMs = -1;  // what a waited command was given
    };

    RecordingRunner();
    ~RecordingRunner() override;

    // The result for every command that starts with the given text (the longest matching
    // prefix wins). Commands with no script finish with exit code 0 and no output.
    void script(const QString& commandPrefix, int exitCode, const QByteArray& output = {});
    // Commands with this prefix fail to start (run) or return -1 (shell, detached).
    void scriptNotStarted(const QString& commandPrefix);
    // Commands with this prefix start and do not finish within their time-out (the real
    // runner kills them then).
    void scriptTimedOut(const QString& commandPrefix);

    std::function<void(const QString& command)> onCommand;

    const QList<Call>& calls() const { return m_calls; }
    QStringList commands() const;
    int count(const QString& command) const;
    void clear() { m_calls.clear(); }

    int shell(const QString& line) override;
    CommandResult run(const QString& command, int timeoutMs) override;
    bool startDetached(const QString& command) override;

private:
    struct Script {
        QString prefix;
        CommandResult result;
    };
    CommandResult resultFor(const QString& command) const;
    void record(Form form, const QString& command, int timeoutMs = -1);

    QList<Call> m_calls;
    QList<Script> m_scripts;
};

}  // namespace vnq::test
