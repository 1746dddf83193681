#pragma once

#include <QByteArray>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

// Leaves a socket file with no server behind it at path, as a run that was killed does.
inline bool makeStaleSocketFile(const QByteArray& path)
{
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}
