#include "durablefile.h"

#include "filecalls.h"

#include <QFile>
#include <QFileInfo>

#include <errno.h>
#include <fcntl.h>

namespace vnq {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// Closes fd and hands back the first error: the one passed in, else the close's.
int closeKeeping(int fd, int error)
{
    const int closed = fileCalls().close(fd) == 0 ? 0 : errno;
    return error != 0 ? error : closed;
}

int writeAll(int fd, const char* data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = fileCalls().write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= written;
    }
    return 0;
}

int copyContents(int in, int out)
{
    char buffer[16384];
    for (;;) {
        const ssize_t got = fileCalls().read(in, buffer, sizeof buffer);
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (const int error = writeAll(out, buffer, got))
            return error;
    }
}

}  // namespace

int removeFileIfPresent(const QString& path)
{
    if (fileCalls().unlink(native(path).constData()) == 0 || errno == ENOENT)
        return 0;
    return errno;
}

int syncDirectoryOf(const QString& path)
{
    const int fd = fileCalls().open(native(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return errno;
    return closeKeeping(fd, fileCalls().fsync(fd) == 0 ? 0 : errno);
}

int copyFileDurably(const QString& from, const QString& to)
{
    const int in = fileCalls().open(native(from).constData(), O_RDONLY | O_CLOEXEC, 0);
    if (in < 0)
        return errno;
    const int out = fileCalls().open(native(to).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0)
        return closeKeeping(in, errno);
    int error = copyContents(in, out);
    if (error == 0 && fileCalls().fsync(out) != 0)
        error = errno;
    error = closeKeeping(out, error);
    error = closeKeeping(in, error);
    return error != 0 ? error : syncDirectoryOf(to);
}

int renameDurably(const QString& from, const QString& to)
{
    if (fileCalls().rename(native(from).constData(), native(to).constData()) != 0)
        return errno;
    return syncDirectoryOf(to);
}

}  // namespace vnq
