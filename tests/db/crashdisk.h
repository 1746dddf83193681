#pragma once

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <ostream>

namespace vnq::test {

// Crash points of one operation, the way SQLite tests itself. A wrapping VFS (registered as
// SQLite's default) and a wrapping vnq::FileCalls table see every write, sync, truncate,
// rename and unlink of the process; runToCrashPoint runs an operation in a forked child that
// is stopped just before its point-th such call. Under PowerLoss the child first puts the
// watched directory back to what a power cut would leave: every file as of its last sync
// (empty if never synced), and the directory's entries as of its last directory sync. Once
// installed, syncs reach only this model, never the disk, so a sweep costs no real flushes.
namespace crashdisk {

enum class Mode { Kill, PowerLoss };

// How GoogleTest names a mode (in test listings and failure messages).
inline void PrintTo(Mode mode, std::ostream* out)
{
    *out << (mode == Mode::Kill ? "Kill" : "PowerLoss");
}

enum class Outcome {
    Stopped,       // the child was stopped at the point (the operation did not return)
    Acknowledged,  // the operation returned true before the point came (under PowerLoss,
                   // the power is cut right after it returned)
    Refused,       // the operation returned false
    Broken,        // the child ended some other way
};

// Registers the wrapping VFS and file-call table; call before any database is opened.
void install();

// Runs op in a child process stopped at the point-th file call (1-based) made under the
// directory dir.
Outcome runToCrashPoint(const QString& dir, int point, Mode mode, const std::function<bool()>& op);

// Calls runToCrashPoint for the points 1, 2, ... until op finishes before its point, and
// check(outcome, point) after each run. restore puts the files back before each run.
void sweep(const QString& dir, Mode mode, const std::function<void()>& restore, const std::function<bool()>& op,
           const std::function<void(Outcome, int)>& check);

// Saves the regular files of dir into a fresh directory, and puts them back.
class Snapshot {
public:
    explicit Snapshot(const QString& dir);
    void restore() const;

private:
    QString m_dir;
    QTemporaryDir m_holder;
    QString m_saved;
};

}  // namespace crashdisk
}  // namespace vnq::test
