/* rtcprobe <epoch seconds>: prints how many seconds per day the system clock has gained on
 * the RTC since the given system time, when the RTC was last set. Exits 0, the error number
 * after a failed call, or -1 on an argument error. */

#include "rtc_tools.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

#define SAMPLES 20
#define SAMPLE_STEP_MS 100
#define POLL_MS 2

static int failure(const char* what)
{
    int error = errno;
    perror(what);
    return error != 0 ? error : -1;
}

/* Sums the system and the RTC seconds of the samples; 0 or an exit status. */
static int take_samples(const struct rtc_port* port, int fd, double* system_sum,
                        double* rtc_sum)
{
    struct timeval now;
    struct rtc_time rtc;
    time_t target_sec;
    long target_ms;
    int i;

    if (port->get_time(&now) < 0)
        return failure("Failed gettimeofday");
    target_sec = now.tv_sec;
    target_ms = (long)(now.tv_usec / 1000);
    for (i = 0; i < SAMPLES; i++) {
        target_ms += SAMPLE_STEP_MS;
        target_sec += target_ms / 1000;
        target_ms %= 1000;
        for (;;) {
            if (port->get_time(&now) < 0)
                return failure("Failed gettimeofday");
            if (rtc_time_after(&now, target_sec, target_ms))
                break;
            port->sleep_ms(POLL_MS);
        }
        if (port->read_rtc(fd, &rtc) < 0)
            return failure("Failed ioctl");
        *system_sum += (double)target_sec + (double)target_ms * 0.001;
        *rtc_sum += (double)(rtc_seconds(&rtc) + RTC_ZONE_OFFSET);
    }
    return 0;
}

int main(int argc, char** argv)
{
    const struct rtc_port* port;
    double base;
    double system_sum = 0.0;
    double rtc_sum = 0.0;
    double system_mean;
    int fd;
    int status;

    if (argc != 2) {
        puts("Argument error\r");
        return -1;
    }
    base = (double)strtoll(argv[1], NULL, 10);
    port = rtc_port();
    fd = rtc_open(port);
    if (fd < 0)
        return errno != 0 ? errno : -1;
    status = take_samples(port, fd, &system_sum, &rtc_sum);
    port->close_rtc(fd);
    if (status != 0)
        return status;
    system_mean = system_sum / SAMPLES;
    printf("%8.3lf", 86400.0 * (system_mean - rtc_sum / SAMPLES) / (system_mean - base));
    return 0;
}
