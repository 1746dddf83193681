#include "touchdriver.h"

#include "boardpath.h"
#include "srvlog.h"
#include "touchqueue.h"
#include "touchsource.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <utility>

namespace vistrel {
namespace {

constexpr int kHeldSamplesSkipped = 21;
constexpr int kErrorPauseMs = 100;

struct Driver {
    std::unique_ptr<TouchSource> source;
    ts_queue_s* queue = nullptr;
    std::thread reader;
    int stopPipe[2] = {-1, -1};
};
Driver driver;
std::function<std::unique_ptr<TouchSource>()> sourceMaker;

void readLoop(TouchSource* source, ts_queue_s* queue, int stopFd)
{
    TouchThinning thinning;
    bool failing = false;
    for (;;) {
        pollfd fds[2] = {{source->fd(), POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, failing ? kErrorPauseMs : -1);
        if (ready > 0 && (fds[1].revents & (POLLIN | POLLHUP)))
            return;
        ts_sample sample;
        int got;
        while ((got = source->read(&sample)) > 0) {
            failing = false;
            if (thinning.keep(sample))
                put_ts_q(queue, &sample);
        }
        if (got < 0 && !failing) {
            VISTREL_SRV_ERR() << "touch read failed:" << errno;
            failing = true;
        }
        if (got < 0)
            ::poll(fds + 1, 1, kErrorPauseMs);
    }
}

void release()
{
    if (driver.reader.joinable()) {
        const char stop = 's';
        if (::write(driver.stopPipe[1], &stop, 1) < 0) {
        }
        driver.reader.join();
    }
    for (int& fd : driver.stopPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    if (driver.source)
        driver.source->close();
    driver.source.reset();
    setTouchQueue(nullptr);
    free_ts_q(driver.queue);
    driver.queue = nullptr;
}

}  // namespace

bool TouchThinning::keep(const ts_sample& sample)
{
    const bool pen = sample.pressure != 0;
    if (pen != m_lastPen) {
        m_lastPen = pen;
        m_held = 0;
        return true;
    }
    if (m_held < kHeldSamplesSkipped) {
        ++m_held;
        return false;
    }
    m_held = 0;
    return true;
}

int init_ts_drv()
{
    release();
    const char* name = std::getenv("TSLIB_TSDEVICE");
    const std::string device = boardPath(QString::fromUtf8(name ? name : "/dev/input/event0")).toStdString();
    struct stat info;
    const bool fifo = ::stat(device.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
    driver.source = sourceMaker ? sourceMaker() : fifo ? makeFifoTouchSource() : makeTslibTouchSource();
    if (!driver.source->open(device)) {
        std::perror(device.c_str());
        release();
        return -1;
    }
    if (!driver.source->configure()) {
        std::perror("ts_config");
        release();
        return -2;
    }
    driver.queue = build_ts_q(kTouchQueueSlots);
    if (!driver.queue) {
        std::fprintf(stderr, "ts_q: fail\n");
        release();
        return -4;
    }
    if (::pipe(driver.stopPipe) != 0) {
        std::perror("ts_thread");
        release();
        return -3;
    }
    setTouchQueue(driver.queue);
    driver.reader = std::thread(readLoop, driver.source.get(), driver.queue, driver.stopPipe[0]);
    return 0;
}

void setTouchSourceMaker(std::function<std::unique_ptr<TouchSource>()> maker)
{
    sourceMaker = std::move(maker);
}

int fin_ts_drv()
{
    release();
    return 0;
}

void test_ts_proc()
{
    ts_sample sample;
    if (get_data_ts_drv(&sample) == 0)
        std::printf("%s\n", sample.pressure ? "Pen Down" : "Pen Up");
}

}  // namespace vistrel
