#include "touchsource.h"

#include "srvlog.h"

#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vistrel {
namespace {

class TslibTouchSource : public TouchSource {
public:
    ~TslibTouchSource() override { close(); }
    bool open(const std::string& device) override
    {
        m_ts = ts_open(device.c_str(), 1);
        return m_ts != nullptr;
    }
    bool configure() override { return ts_config(m_ts) == 0; }
    int read(ts_sample* sample) override
    {
        const int n = ts_read(m_ts, sample, 1);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return 0;
        return n < 0 ? -1 : (n > 0 ? 1 : 0);
    }
    int fd() const override { return m_ts ? ts_fd(m_ts) : -1; }
    void close() override
    {
        if (m_ts)
            ts_close(m_ts);
        m_ts = nullptr;
    }

private:
    tsdev* m_ts = nullptr;
};

class FifoTouchSource : public TouchSource {
public:
    ~FifoTouchSource() override { close(); }
    bool open(const std::string& device) override
    {
        // Read-write, so writers may come and go without an end of file.
        m_fd = ::open(device.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        return m_fd >= 0;
    }
    bool configure() override { return true; }
    int read(ts_sample* sample) override
    {
        for (;;) {
            const size_t newline = m_pending.find('\n');
            if (newline != std::string::npos) {
                const std::string line = m_pending.substr(0, newline);
                m_pending.erase(0, newline + 1);
                int x, y;
                unsigned pressure;
                char rest;
                if (std::sscanf(line.c_str(), "%d %d %u %c", &x, &y, &pressure, &rest) != 3) {
                    VISTREL_SRV_ERR() << "touch feed line skipped:" << QString::fromStdString(line);
                    continue;
                }
                sample->x = x;
                sample->y = y;
                sample->pressure = pressure;
                gettimeofday(&sample->tv, nullptr);
                return 1;
            }
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0) {
                m_pending.append(buffer, static_cast<size_t>(n));
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return -1;
            return 0;
        }
    }
    int fd() const override { return m_fd; }
    void close() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        m_pending.clear();
    }

private:
    int m_fd = -1;
    std::string m_pending;
};

}  // namespace

std::unique_ptr<TouchSource> makeTslibTouchSource()
{
    return std::make_unique<TslibTouchSource>();
}

std::unique_ptr<TouchSource> makeFifoTouchSource()
{
    return std::make_unique<FifoTouchSource>();
}

}  // namespace vistrel
