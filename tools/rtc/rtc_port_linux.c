#include "rtc_port.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

static int linux_open_rtc(const char* path)
{
    return open(path, O_RDONLY);
}

static int linux_read_rtc(int fd, struct rtc_time* tm)
{
    return ioctl(fd, RTC_RD_TIME, tm) < 0 ? -1 : 0;
}

static int linux_set_rtc(int fd, const struct rtc_time* tm)
{
    return ioctl(fd, RTC_SET_TIME, tm) < 0 ? -1 : 0;
}

static void linux_close_rtc(int fd)
{
    close(fd);
}

static int linux_get_time(struct timeval* tv)
{
    return gettimeofday(tv, NULL);
}

static int linux_set_time(const struct timeval* tv)
{
    return settimeofday(tv, NULL);
}

static void linux_sleep_ms(unsigned ms)
{
    struct timespec ts;
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = (long)(ms % 1000) * 1000000L;
    nanosleep(&ts, NULL);
}

const struct rtc_port rtc_port_linux = {
    linux_open_rtc, linux_read_rtc, linux_set_rtc, linux_close_rtc,
    linux_get_time, linux_set_time, linux_sleep_ms,
};
