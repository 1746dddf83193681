#pragma once

#include <QString>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

// A connection to a local stream socket as cardpoll opens one to the terminal's card socket;
// -1 when it cannot be made.
inline int connectTo(const QString& socketFile)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketFile.toLocal8Bit().constData(), sizeof(address.sun_path) - 1);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
