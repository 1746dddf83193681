#include "rtc_port.h"

#include "vnq_simclock.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

/* The simulated RTC is a file: the descriptor only keeps it open like the device node, its
 * requests go to the model by path. */
static char sim_rtc_path[4096];

static int sim_open_rtc(const char* path)
{
    int fd = open(path, O_RDONLY);
    if (fd >= 0 && snprintf(sim_rtc_path, sizeof sim_rtc_path, "%s", path) >= (int)sizeof sim_rtc_path) {
        close(fd);
        errno = ENAMETOOLONG;
        return -1;
    }
    return fd;
}

static int sim_read_rtc(int fd, struct rtc_time* tm)
{
    (void)fd;
    return vnq_sim_rtc_read(sim_rtc_path, tm);
}

static int sim_set_rtc(int fd, const struct rtc_time* tm)
{
    (void)fd;
    return vnq_sim_rtc_set(sim_rtc_path, tm);
}

static void sim_close_rtc(int fd)
{
    close(fd);
}

const struct rtc_port rtc_port_sim = {
    sim_open_rtc, sim_read_rtc, sim_set_rtc, sim_close_rtc,
    vnq_sim_gettimeofday, vnq_sim_settimeofday, vnq_sim_sleep_ms,
};
