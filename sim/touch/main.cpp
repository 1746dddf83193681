// vnq_sim_touch X Y [hold-ms]: holds a finger on the simulated screen at (X, Y) for hold-ms
// (100 by default): "X Y 200" into the touch feed "<board root>/dev/input/event0" every 10 ms,
// as a 100 Hz panel reports, then "X Y 0".
#include "vnq_boardroot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

bool writeLine(int fd, int x, int y, int pressure)
{
    char line[48];
    const int n = std::snprintf(line, sizeof line, "%d %d %d\n", x, y, pressure);
    return ::write(fd, line, static_cast<size_t>(n)) == n;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: vnq_sim_touch X Y [hold-ms]\n");
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const int holdMs = argc == 4 ? std::atoi(argv[3]) : 100;
    char feed[PATH_MAX];
    if (!vnq_board_path(feed, sizeof feed, "/dev/input/event0")) {
        std::fprintf(stderr, "vnq_sim_touch: board root too long\n");
        return 1;
    }
    const int fd = ::open(feed, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO)
            std::fprintf(stderr, "vnq_sim_touch: no display server reads the touch feed %s\n", feed);
        else
            std::fprintf(stderr, "vnq_sim_touch: %s: %s\n", feed, std::strerror(errno));
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    do {
        if (!writeLine(fd, x, y, 200))
            break;
        next += std::chrono::milliseconds(10);
        std::this_thread::sleep_until(next);
    } while (next - start < std::chrono::milliseconds(holdMs));
    const bool released = writeLine(fd, x, y, 0);
    ::close(fd);
    return released ? 0 : 1;
}
