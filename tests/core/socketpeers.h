#pragma once

// Small peers for the local-socket tests: an event-loop wait with a bound, and a peer on its
// own thread that writes to a socket file in timed pieces while the main thread is blocked
// in the server's handler.

#include "waituntil.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace vnq::test {

// Connects to a socket file on its own thread, writes each piece after the pause before it,
// keeps the connection open for holdMs and closes it.
class ThreadPeer {
public:
    struct Piece {
        int pauseMs;
        QByteArray bytes;
    };

    ThreadPeer(const QString& socketFile, QList<Piece> pieces, int holdMs = 0)
        : m_path(socketFile.toLocal8Bit())
        , m_pieces(std::move(pieces))
        , m_holdMs(holdMs)
        , m_thread([this] { run(); })
    {
    }
    ~ThreadPeer() { m_thread.join(); }

    bool connected() const { return m_connected; }

private:
    void run()
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_path.constData(), sizeof(address.sun_path) - 1);
        m_connected = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        if (m_connected) {
            for (const Piece& piece : m_pieces) {
                ::usleep(useconds_t(piece.pauseMs) * 1000);
                if (::write(fd, piece.bytes.constData(), size_t(piece.bytes.size())) != piece.bytes.size())
                    break;
            }
            ::usleep(useconds_t(m_holdMs) * 1000);
        }
        if (fd >= 0)
            ::close(fd);
    }

    QByteArray m_path;
    QList<Piece> m_pieces;
    int m_holdMs;
    std::atomic<bool> m_connected{false};
    std::thread m_thread;
};

}  // namespace vnq::test
