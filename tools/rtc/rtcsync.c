/* rtcsync -R <msec>: sets the system clock from the RTC, msec milliseconds after the RTC's
 * next second edge. rtcsync -W <msec>: writes the system time plus msec milliseconds to the
 * RTC, on the millisecond edge. Exits 0, or -1 on any failure. */

#include "rtc_tools.h"

#include <stdio.h>
#include <stdlib.h>

#define EDGE_POLL_MS 20
#define EDGE_POLLS_MAX 100  /* give up after 2 s: the RTC is not ticking */
#define MOMENT_POLL_MS 2

static void print_time(const char* label, time_t sec, long ms)
{
    printf("%s: %ld.%03ld\r\n", label, (long)sec, ms);
}

/* Reads the RTC until its seconds field changes; the new reading goes to rtc. */
static int wait_second_edge(const struct rtc_port* port, int fd, struct rtc_time* rtc)
{
    int first_second;
    int polls;

    if (port->read_rtc(fd, rtc) < 0) {
        perror("Failed ioctl");
        return -1;
    }
    first_second = rtc->tm_sec;
    for (polls = 0; polls < EDGE_POLLS_MAX; polls++) {
        port->sleep_ms(EDGE_POLL_MS);
        if (port->read_rtc(fd, rtc) < 0) {
            perror("Failed ioctl");
            return -1;
        }
        if (rtc->tm_sec != first_second)
            return 0;
    }
    fputs("Failed rtc read: the RTC second did not change within 2 s\n", stderr);
    return -1;
}

static int rtc_to_system(const struct rtc_port* port, long msec)
{
    struct rtc_time rtc;
    struct timeval before;
    struct timeval set;
    time_t r0;
    long q = msec / 1000;
    long r = msec % 1000;
    int fd = rtc_open(port);
    int failed;

    if (fd < 0)
        return -1;
    failed = wait_second_edge(port, fd, &rtc);
    port->close_rtc(fd);
    if (failed)
        return -1;

    r0 = rtc_seconds(&rtc);
    if (r >= 0) {
        set.tv_sec = r0 + q + RTC_ZONE_OFFSET;
        set.tv_usec = r * 1000;
    } else {
        set.tv_sec = r0 + q - 1 + RTC_ZONE_OFFSET;
        set.tv_usec = r * 1000 + 1000000;
    }
    if (port->get_time(&before) < 0 || port->set_time(&set) < 0) {
        perror("Failed gettimeofday");
        return -1;
    }
    print_time("NOW", before.tv_sec, (long)(before.tv_usec / 1000));
    print_time("SET", set.tv_sec, (long)(set.tv_usec / 1000));
    print_time("RTC", r0, 0);
    return 0;
}

static int system_to_rtc(const struct rtc_port* port, long msec)
{
    struct timeval now;
    struct rtc_time rtc;
    time_t t;
    time_t target;
    time_t moment_sec;
    long moment_ms;
    long q = msec / 1000;
    long r = msec % 1000;
    int fd;
    int status = 0;

    if (port->get_time(&now) < 0) {
        perror("Failed gettimeofday");
        return -1;
    }
    t = now.tv_sec;
    target = t + q + 2;
    /* At the moment, system time + msec/1000 is exactly target. */
    if (r > 0) {
        moment_sec = t + 1;
        moment_ms = 1000 - r;
    } else {
        moment_sec = t + 2;
        moment_ms = -r;
    }
    print_time("NOW", t, 0);
    print_time("ADJ", moment_sec, moment_ms);
    print_time("SET", target, 0);

    fd = rtc_open(port);
    if (fd < 0)
        return -1;
    for (;;) {
        if (port->get_time(&now) < 0) {
            perror("Failed gettimeofday");
            status = -1;
            break;
        }
        if (rtc_time_after(&now, moment_sec, moment_ms))
            break;
        port->sleep_ms(MOMENT_POLL_MS);
    }
    if (status == 0 && (rtc_fields_for(target, &rtc) < 0 || port->set_rtc(fd, &rtc) < 0)) {
        perror("Failed ioctl");
        status = -1;
    }
    if (status == 0) {
        if (port->get_time(&now) < 0) {
            perror("Failed gettimeofday");
            status = -1;
        } else {
            print_time("NOW", now.tv_sec, (long)(now.tv_usec / 1000));
        }
    }
    port->close_rtc(fd);
    return status;
}

int main(int argc, char** argv)
{
    int option = rtc_option(argc, argv, "RW");
    long msec;

    if (option == 0) {
        puts("Argument error\r");
        puts(" -R <msec>: RTC -> System\r");
        puts(" -W <msec>: System -> RTC\r");
        return -1;
    }
    msec = strtol(argv[2], NULL, 10);
    if (option == 'R')
        return rtc_to_system(rtc_port(), msec);
    return system_to_rtc(rtc_port(), msec);
}
