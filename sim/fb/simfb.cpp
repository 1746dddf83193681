#include "simfb.h"

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <climits>
#include <cstdio>
#include <cstring>

#include "simgpu.h"
#include "vnq_boardroot.h"
#include "vx_fbdev.h"

namespace simfb {
namespace {

std::string boardPath(const char* path)
{
    char real[PATH_MAX];
    return vnq_board_path(real, sizeof real, path) ? std::string(real) : std::string();
}

std::string hexRequest(unsigned long request)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%08lx", request);
    return text;
}

bool isPrivateRequest(unsigned long request)
{
    switch (request) {
    case VX_FBIO_OSD_CMD:
    case VX_FBIO_OSD_ENABLE:
    case 0x4004763Ful:
    case 0x40047640ul:
    case 0x40047641ul:
    case VX_FBIO_WAIT_VSYNC:
    case 0x761Cul:
    case 0x761Dul:
        return true;
    default:
        return false;
    }
}

// The driver's OSD command record; only cmd and color are read.
struct OsdCommand {
    int cmd, x0, y0, x0_size, y0_size, color, alpha;
};

void fillScreenInfo(const FbInfo& info, fb_fix_screeninfo& fix)
{
    std::memset(&fix, 0, sizeof fix);
    std::snprintf(fix.id, sizeof fix.id, "vnq-simfb");
    fix.smem_start = info.smemStart;
    fix.smem_len = info.smemLen;
    fix.type = FB_TYPE_PACKED_PIXELS;
    fix.visual = FB_VISUAL_TRUECOLOR;
    fix.line_length = info.lineLength;
}

void fillScreenInfo(const FbInfo& info, fb_var_screeninfo& var)
{
    std::memset(&var, 0, sizeof var);
    var.xres = var.xres_virtual = info.xres;
    var.yres = var.yres_virtual = info.yres;
    var.bits_per_pixel = info.bitsPerPixel;
    var.red = {info.red.offset, info.red.length, 0};
    var.green = {info.green.offset, info.green.length, 0};
    var.blue = {info.blue.offset, info.blue.length, 0};
    var.transp = {info.transp.offset, info.transp.length, 0};
}

}  // namespace

SimFb& device()
{
    static SimFb fb;
    return fb;
}

void SimFb::failRequest(unsigned long request, int err, int times)
{
    for (int i = 0; i < times; ++i)
        failures_[request].push_back(err);
}

bool SimFb::scriptedFailure(unsigned long request)
{
    auto it = failures_.find(request);
    if (it == failures_.end() || it->second.empty())
        return false;
    errno = it->second.front();
    it->second.pop_front();
    return true;
}

int SimFb::requestCount(unsigned long request) const
{
    auto it = counts_.find(request);
    return it == counts_.end() ? 0 : it->second;
}

void SimFb::waitForVsync() const
{
    if (info_.vsyncHz == 0)
        return;
    using namespace std::chrono;
    const auto period = nanoseconds(1000000000ll / info_.vsyncHz);
    const auto now = steady_clock::now().time_since_epoch();
    std::this_thread::sleep_until(steady_clock::time_point((now / period + 1) * period));
}

void SimFb::append(const std::string& line)
{
    log_.push_back(line);
    std::string path = boardPath("/var/log/sim-fb.log");
    if (FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

int SimFb::devOpen(const char* path, int flags)
{
    std::string line = std::string("open ") + path;
    if (scriptedFailure(kOpen)) {
        int err = errno;
        append(line + " failed: " + std::strerror(err));
        errno = err;
        return -1;
    }
    std::string file = boardPath(path);
    FbInfo info;
    int fd = -1;
    if (std::strcmp(path, VX_FB_DEVICE) != 0 || file.empty() || !readFbInfo(file + ".info", info)) {
        errno = ENOENT;
    } else {
        fd = ::open(file.c_str(), (flags & O_ACCMODE) | O_CLOEXEC);
    }
    if (fd < 0) {
        int err = errno;
        append(line + " failed: " + std::strerror(err));
        errno = err;
        return -1;
    }
    if (fds_.empty()) {
        void* memory = mmap(nullptr, info.smemLen, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory == MAP_FAILED) {
            int err = errno;
            ::close(fd);
            append(line + " failed: " + std::strerror(err));
            errno = err;
            return -1;
        }
        info_ = info;
        aperture_ = memory;
        simgpu::device().addAperture(info.smemStart, static_cast<uint8_t*>(memory), info.smemLen);
    }
    fds_.insert(fd);
    append(line);
    return fd;
}

int SimFb::devClose(int fd)
{
    if (fds_.erase(fd) == 0) {
        append("close failed: " + std::string(std::strerror(EBADF)));
        errno = EBADF;
        return -1;
    }
    ::close(fd);
    if (fds_.empty()) {
        simgpu::device().removeAperture(info_.smemStart);
        munmap(aperture_, info_.smemLen);
        aperture_ = nullptr;
    }
    append("close");
    return 0;
}

int SimFb::devIoctl(int fd, unsigned long request, void* arg)
{
    ++counts_[request];
    std::string line = "ioctl " + hexRequest(request);
    if (request == VX_FBIO_OSD_CMD && arg) {
        const OsdCommand* command = static_cast<const OsdCommand*>(arg);
        char text[64];
        std::snprintf(text, sizeof text, " cmd %d color 0x%08x", command->cmd, static_cast<unsigned>(command->color));
        line += text;
    }
    bool logged = isPrivateRequest(request);
    if (fds_.count(fd) == 0) {
        if (logged)
            append(line + " failed: " + std::strerror(EBADF));
        errno = EBADF;
        return -1;
    }
    if (scriptedFailure(request)) {
        int err = errno;
        if (logged)
            append(line + " failed: " + std::strerror(err));
        errno = err;
        return -1;
    }
    switch (request) {
    case FBIOGET_FSCREENINFO:
        fillScreenInfo(info_, *static_cast<fb_fix_screeninfo*>(arg));
        return 0;
    case FBIOGET_VSCREENINFO:
        fillScreenInfo(info_, *static_cast<fb_var_screeninfo*>(arg));
        return 0;
    case VX_FBIO_GET_OSD_OFFSET: {
        uint32_t offset = info_.osdOffset;
        std::memcpy(arg, &offset, sizeof offset);
        return 0;
    }
    default:
        break;
    }
    if (!logged) {
        errno = ENOTTY;
        return -1;
    }
    if (request == VX_FBIO_WAIT_VSYNC)
        waitForVsync();
    append(line);
    return 0;
}

void* SimFb::devMmap(void* addr, size_t length, int prot, int flags, int fd, long offset)
{
    if (fds_.count(fd) == 0) {
        errno = EBADF;
        return MAP_FAILED;
    }
    if (scriptedFailure(kMmap))
        return MAP_FAILED;
    if (offset < 0 || static_cast<uint64_t>(offset) + length > info_.smemLen) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    return mmap(addr, length, prot, flags | MAP_SHARED, fd, offset);
}

int SimFb::devMunmap(void* addr, size_t length)
{
    return munmap(addr, length);
}

}  // namespace simfb
