#include "filecalls.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace vnq {

namespace {

FileCalls* installed = nullptr;

}  // namespace

int FileCalls::open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileCalls::read(int fd, void* buffer, size_t size)
{
    return ::read(fd, buffer, size);
}

ssize_t FileCalls::write(int fd, const void* buffer, size_t size)
{
    return ::write(fd, buffer, size);
}

int FileCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int FileCalls::close(int fd)
{
    return ::close(fd);
}

int FileCalls::unlink(const char* path)
{
    return ::unlink(path);
}

int FileCalls::rename(const char* from, const char* to)
{
    return ::rename(from, to);
}

FileCalls& fileCalls()
{
    static FileCalls real;
    return installed ? *installed : real;
}

void setFileCalls(FileCalls* calls)
{
    installed = calls;
}

}  // namespace vnq
