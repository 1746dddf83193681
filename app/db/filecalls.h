#pragma once

#include <sys/types.h>

namespace vnq {

// The system calls behind the store's own file steps (the master reload's remove, copy and
// replace). They go through this table so a test can count them and stop the process at any
// one of them, as it does for SQLite's own file work through a wrapping VFS. Each call has
// the meaning and result of the system call of the same name.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buffer, size_t size);
    virtual ssize_t write(int fd, const void* buffer, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int unlink(const char* path);
    virtual int rename(const char* from, const char* to);
};

// The process-wide table: the real calls unless a test installed another.
FileCalls& fileCalls();

// Installs a table (not owned); nullptr restores the real calls.
void setFileCalls(FileCalls* calls);

}  // namespace vnq
