/* Tikwarden -D <sec>: sets the system clock from the RTC when the two differ by more than
 * sec seconds. Exits 1 after a correction, 0 when within range, -1 on any failure. */

#include "rtc_tools.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The day this program was built (00:00 UTC). No correct RTC reading can be older; an RTC
 * that lost its battery restarts at such a date. */
static time_t build_day(void)
{
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char month[4] = "";
    int day = 0;
    int year = 0;
    const char* found;
    struct tm tm;

    if (sscanf(__DATE__, "%3s %d %d", month, &day, &year) != 3)
        return 0;
    found = strstr(months, month);
    memset(&tm, 0, sizeof tm);
    tm.tm_mon = found != NULL ? (int)(found - months) / 3 : 0;
    tm.tm_mday = day;
    tm.tm_year = year - 1900;
    return timegm(&tm);
}

static int correct_clock(const struct rtc_port* port, int fd, long allowed)
{
    struct rtc_time rtc;
    struct timeval now;
    struct timeval corrected;
    time_t r;
    long diff;

    if (port->read_rtc(fd, &rtc) < 0) {
        perror("Failed ioctl");
        return -1;
    }
    r = rtc_seconds(&rtc) + RTC_ZONE_OFFSET;
    if (port->get_time(&now) < 0) {
        perror("Failed gettimeofday");
        return -1;
    }
    diff = labs((long)(r - now.tv_sec));
    printf("%ld - %ld = %ld(%ld)\n", (long)r, (long)now.tv_sec, diff, allowed);
    if (diff <= allowed) {
        puts("OK");
        return 0;
    }
    puts("NG");
    /* A day of margin keeps the board's zone offset out of the comparison. */
    if (r < build_day() - 86400) {
        puts("RTC time is before the build date: system clock not set");
        return -1;
    }
    corrected.tv_sec = r;
    corrected.tv_usec = 0;
    if (port->set_time(&corrected) < 0) {
        perror("Failed settimeofday");
        return -1;
    }
    return 1;
}

int main(int argc, char** argv)
{
    const struct rtc_port* port;
    int fd;
    int status;

    if (rtc_option(argc, argv, "D") == 0) {
        puts("Argument error\r");
        puts(" -D <sec>: allowable range\r");
        return -1;
    }
    port = rtc_port();
    fd = rtc_open(port);
    if (fd < 0)
        return -1;
    status = correct_clock(port, fd, strtol(argv[2], NULL, 10));
    port->close_rtc(fd);
    return status;
}
