#pragma once

// The simulated framebuffer device. "/dev/fb0" under the board root is a regular file of the
// framebuffer memory, described by its sidecar "/dev/fb0.info" (fb_info.h). The screen
// information requests are answered from the sidecar, mmap maps the file shared, and the
// driver's private requests are accepted and logged. As a real framebuffer device it may be
// open several times at once (the display server opens it beside the window system); while
// any descriptor is open its memory is a physical aperture of the simulated GPU at
// smem_start, so GPU copies can write the screen.
//
// Every open, close and private request is appended to "<board root>/var/log/sim-fb.log" and
// kept in log() for tests, one line each:
//   open /dev/fb0            close
//   ioctl 0x400476a0 cmd 2 color 0x0000fc08      (the OSD command record)
//   ioctl 0x4004763e         (any other private request)
// A request that fails (scripted) ends its line with " failed: <errno>".
//
// The vertical-sync wait (VX_FBIO_WAIT_VSYNC) returns at the next 1/vsync_hz boundary of the
// monotonic clock, at once when the sidecar has no vsync_hz (as in tests). Every ioctl
// request, answered or failed, is counted for tests.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fb_info.h"

namespace simfb {

class SimFb {
public:
    // Pseudo requests for scripting failures of the calls that are not ioctls.
    static constexpr unsigned long kOpen = 0xFFFF0001ul;
    static constexpr unsigned long kMmap = 0xFFFF0002ul;

    // The next `times` calls of request (an ioctl number, kOpen or kMmap) fail with err.
    void failRequest(unsigned long request, int err, int times = 1);

    const std::vector<std::string>& log() const { return log_; }
    void clearLog() { log_.clear(); }
    // How many times request was asked since the process started or the counts were reset.
    int requestCount(unsigned long request) const;
    void resetRequestCounts() { counts_.clear(); }
    bool isOpen() const { return !fds_.empty(); }
    const FbInfo& info() const { return info_; }

    int devOpen(const char* path, int flags);
    int devClose(int fd);
    int devIoctl(int fd, unsigned long request, void* arg);
    void* devMmap(void* addr, size_t length, int prot, int flags, int fd, long offset);
    int devMunmap(void* addr, size_t length);

private:
    bool scriptedFailure(unsigned long request);
    void append(const std::string& line);
    void waitForVsync() const;

    std::vector<std::string> log_;
    std::map<unsigned long, std::deque<int>> failures_;
    std::map<unsigned long, int> counts_;
    std::set<int> fds_;  // every open descriptor of the device; it may be opened several times
    FbInfo info_;
    void* aperture_ = nullptr;  // the GPU's view of the framebuffer memory
};

// The one simulated framebuffer of the process.
SimFb& device();

}  // namespace simfb
