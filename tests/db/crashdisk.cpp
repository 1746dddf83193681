#include "crashdisk.h"

#include "filecalls.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vnq::test::crashdisk {

namespace {

enum ExitCode { StoppedCode = 70, AcknowledgedCode = 71, RefusedCode = 72 };

// One file's storage: its content as of its last sync.
struct Node {
    std::string synced;
};
using NodePtr = std::shared_ptr<Node>;
using Entries = std::map<std::string, NodePtr>;

// What the child knows about the watched directory.
struct Disk {
    bool armed = false;
    Mode mode = Mode::Kill;
    int stopAt = 0;
    int seen = 0;
    std::string dir;  // real path, no trailing slash
    Entries current;  // the directory as it is
    Entries durable;  // the directory as of its last sync
    std::map<int, std::string> openFiles;  // fds of the file calls -> name ("" for dir)
} disk;

std::string readWhole(const std::string& path)
{
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return content;
    char buffer[16384];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, size_t(got));
    ::close(fd);
    return content;
}

void writeWhole(const std::string& path, const std::string& content)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const ssize_t written = ::write(fd, content.data(), content.size());
    (void)written;
    ::close(fd);
}

std::string realDir(const std::string& dir)
{
    char resolved[PATH_MAX];
    return ::realpath(dir.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The name of path inside the watched directory, or "" when it is elsewhere.
std::string watchedName(const char* path)
{
    if (!disk.armed || !path)
        return {};
    const std::string full(path);
    const size_t slash = full.rfind('/');
    if (slash == std::string::npos)
        return {};
    if (realDir(full.substr(0, slash)) != disk.dir)
        return {};
    return full.substr(slash + 1);
}

bool isWatchedDir(const char* path)
{
    return disk.armed && realDir(path) == disk.dir;
}

std::string fullPath(const std::string& name)
{
    return disk.dir + '/' + name;
}

std::vector<std::string> regularFiles(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* entry = ::readdir(d)) {
            struct stat st;
            const std::string name(entry->d_name);
            if (::stat((dir + '/' + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
                names.push_back(name);
        }
        ::closedir(d);
    }
    return names;
}

// Leaves on disk what a power cut would: the durable entries with their synced contents.
void cutPower()
{
    for (const std::string& name : regularFiles(disk.dir))
        ::unlink(fullPath(name).c_str());
    for (const auto& [name, node] : disk.durable)
        writeWhole(fullPath(name), node->synced);
}

[[noreturn]] void endChild(int code)
{
    disk.armed = false;
    if (disk.mode == Mode::PowerLoss)
        cutPower();
    ::_exit(code);
}

// Every counted call passes here before it is made.
void point()
{
    if (disk.armed && ++disk.seen == disk.stopAt)
        endChild(StoppedCode);
}

void created(const std::string& name)
{
    disk.current[name] = std::make_shared<Node>();
}

void synced(const std::string& name)
{
    const auto it = disk.current.find(name);
    if (it != disk.current.end())
        it->second->synced = readWhole(fullPath(name));
}

void dirSynced()
{
    disk.durable = disk.current;
}

// ---- The wrapping VFS ----

sqlite3_vfs* realVfs = nullptr;

struct WrapFile {
    sqlite3_file base;
    std::string* name;       // watched name, or null
    bool dirSyncPending;     // created journal: its first sync also syncs the directory
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

WrapFile* wrap(sqlite3_file* file)
{
    return reinterpret_cast<WrapFile*>(file);
}

int wClose(sqlite3_file* file)
{
    WrapFile* w = wrap(file);
    const int rc = w->real()->pMethods->xClose(w->real());
    delete w->name;
    w->name = nullptr;
    return rc;
}

int wRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset)
{
    return wrap(file)->real()->pMethods->xRead(wrap(file)->real(), buffer, amount, offset);
}

int wWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset)
{
    if (wrap(file)->name)
        point();
    return wrap(file)->real()->pMethods->xWrite(wrap(file)->real(), buffer, amount, offset);
}

int wTruncate(sqlite3_file* file, sqlite3_int64 size)
{
    if (wrap(file)->name)
        point();
    return wrap(file)->real()->pMethods->xTruncate(wrap(file)->real(), size);
}

int wSync(sqlite3_file* file, int flags)
{
    WrapFile* w = wrap(file);
    if (w->name)
        point();
    // The model below is the storage that counts; the real sync would only cost time.
    (void)flags;
    const int rc = SQLITE_OK;
    if (w->name && disk.armed) {
        synced(*w->name);
        if (w->dirSyncPending)
            dirSynced();
        w->dirSyncPending = false;
    }
    return rc;
}

int wFileSize(sqlite3_file* file, sqlite3_int64* size)
{
    return wrap(file)->real()->pMethods->xFileSize(wrap(file)->real(), size);
}

int wLock(sqlite3_file* file, int lock)
{
    return wrap(file)->real()->pMethods->xLock(wrap(file)->real(), lock);
}

int wUnlock(sqlite3_file* file, int lock)
{
    return wrap(file)->real()->pMethods->xUnlock(wrap(file)->real(), lock);
}

int wCheckReservedLock(sqlite3_file* file, int* out)
{
    return wrap(file)->real()->pMethods->xCheckReservedLock(wrap(file)->real(), out);
}

int wFileControl(sqlite3_file* file, int op, void* arg)
{
    return wrap(file)->real()->pMethods->xFileControl(wrap(file)->real(), op, arg);
}

int wSectorSize(sqlite3_file* file)
{
    return wrap(file)->real()->pMethods->xSectorSize(wrap(file)->real());
}

int wDeviceCharacteristics(sqlite3_file* file)
{
    return wrap(file)->real()->pMethods->xDeviceCharacteristics(wrap(file)->real());
}

const sqlite3_io_methods wrapMethods = {
    1, wClose, wRead, wWrite, wTruncate, wSync, wFileSize, wLock, wUnlock, wCheckReservedLock, wFileControl,
    wSectorSize, wDeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int wOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    WrapFile* w = wrap(file);
    w->base.pMethods = nullptr;
    w->name = nullptr;
    w->dirSyncPending = false;
    const std::string watched = watchedName(name);
    const bool existed = !watched.empty() && ::access(name, F_OK) == 0;
    const int rc = realVfs->xOpen(realVfs, name, w->real(), flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;
    w->base.pMethods = &wrapMethods;
    if (!watched.empty()) {
        w->name = new std::string(watched);
        if (!existed) {
            created(watched);
            // The unix VFS syncs the directory on the first sync of a journal it created.
            w->dirSyncPending = (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL)) != 0;
        }
    }
    return rc;
}

int wDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    const std::string watched = watchedName(name);
    if (!watched.empty())
        point();
    const int rc = realVfs->xDelete(realVfs, name, 0);
    if (rc == SQLITE_OK && !watched.empty() && disk.armed) {
        disk.current.erase(watched);
        if (syncDir)
            dirSynced();
    }
    return rc;
}

sqlite3_vfs wrapVfs;

// ---- The wrapping file-call table ----

class WatchedFileCalls : public vnq::FileCalls {
public:
    int open(const char* path, int flags, mode_t mode) override
    {
        const std::string watched = watchedName(path);
        const bool dir = isWatchedDir(path);
        const bool existed = ::access(path, F_OK) == 0;
        const int fd = FileCalls::open(path, flags, mode);
        if (fd >= 0 && disk.armed && (dir || !watched.empty())) {
            disk.openFiles[fd] = dir ? std::string() : watched;
            if (!dir && !existed)
                created(watched);
        }
        return fd;
    }
    ssize_t write(int fd, const void* buffer, size_t size) override
    {
        if (disk.openFiles.count(fd))
            point();
        return FileCalls::write(fd, buffer, size);
    }
    int fsync(int fd) override
    {
        const auto it = disk.openFiles.find(fd);
        if (it != disk.openFiles.end())
            point();
        const int rc = 0;
        if (disk.armed && it != disk.openFiles.end()) {
            if (it->second.empty())
                dirSynced();
            else
                synced(it->second);
        }
        return rc;
    }
    int close(int fd) override
    {
        disk.openFiles.erase(fd);
        return FileCalls::close(fd);
    }
    int unlink(const char* path) override
    {
        const std::string watched = watchedName(path);
        if (!watched.empty())
            point();
        const int rc = FileCalls::unlink(path);
        if (rc == 0 && !watched.empty() && disk.armed)
            disk.current.erase(watched);
        return rc;
    }
    int rename(const char* from, const char* to) override
    {
        const std::string source = watchedName(from);
        const std::string target = watchedName(to);
        if (!source.empty() || !target.empty())
            point();
        const int rc = FileCalls::rename(from, to);
        if (rc == 0 && disk.armed && !source.empty() && !target.empty() && disk.current.count(source)) {
            disk.current[target] = disk.current[source];
            disk.current.erase(source);
        }
        return rc;
    }
};

WatchedFileCalls watchedCalls;

void arm(const QString& dir, int point, Mode mode)
{
    disk.dir = realDir(QFile::encodeName(dir).toStdString());
    disk.mode = mode;
    disk.stopAt = point;
    disk.seen = 0;
    disk.current.clear();
    for (const std::string& name : regularFiles(disk.dir))
        disk.current[name] = std::make_shared<Node>(Node{readWhole(fullPath(name))});
    disk.durable = disk.current;
    disk.armed = true;
}

}  // namespace

void install()
{
    if (realVfs)
        return;
    realVfs = sqlite3_vfs_find(nullptr);
    wrapVfs = *realVfs;
    wrapVfs.iVersion = 1;
    wrapVfs.szOsFile = int(sizeof(WrapFile)) + realVfs->szOsFile;
    wrapVfs.zName = "crashpoints";
    // Everything but opening and deleting is the real VFS's own, called with this copy.
    wrapVfs.xOpen = wOpen;
    wrapVfs.xDelete = wDelete;
    sqlite3_vfs_register(&wrapVfs, 1);
    vnq::setFileCalls(&watchedCalls);
}

Outcome runToCrashPoint(const QString& dir, int point, Mode mode, const std::function<bool()>& op)
{
    const pid_t child = ::fork();
    if (child == 0) {
        arm(dir, point, mode);
        endChild(op() ? AcknowledgedCode : RefusedCode);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return Outcome::Broken;
    switch (WEXITSTATUS(status)) {
    case StoppedCode:
        return Outcome::Stopped;
    case AcknowledgedCode:
        return Outcome::Acknowledged;
    case RefusedCode:
        return Outcome::Refused;
    default:
        return Outcome::Broken;
    }
}

void sweep(const QString& dir, Mode mode, const std::function<void()>& restore, const std::function<bool()>& op,
           const std::function<void(Outcome, int)>& check)
{
    for (int point = 1; point < 10000; ++point) {
        restore();
        const Outcome outcome = runToCrashPoint(dir, point, mode, op);
        check(outcome, point);
        if (outcome != Outcome::Stopped || ::testing::Test::HasFailure())
            return;
    }
}

// Plain copies: QFile::copy would flush each one to the disk.
Snapshot::Snapshot(const QString& dir)
    : m_dir(dir)
{
    m_saved = m_holder.path();
    const std::string from = QFile::encodeName(m_dir).toStdString();
    const std::string to = QFile::encodeName(m_saved).toStdString();
    for (const std::string& name : regularFiles(from))
        writeWhole(to + '/' + name, readWhole(from + '/' + name));
}

void Snapshot::restore() const
{
    const std::string from = QFile::encodeName(m_saved).toStdString();
    const std::string to = QFile::encodeName(m_dir).toStdString();
    for (const std::string& name : regularFiles(to))
        ::unlink((to + '/' + name).c_str());
    for (const std::string& name : regularFiles(from))
        writeWhole(to + '/' + name, readWhole(from + '/' + name));
}

}  // namespace vnq::test::crashdisk
