#include "rtc_tools.h"

#include "vnq_boardroot.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>

int rtc_option(int argc, char** argv, const char* letters)
{
    int letter;

    if (argc != 3 || argv[1][0] != '-' || argv[1][1] == '\0' || argv[1][2] != '\0')
        return 0;
    letter = toupper((unsigned char)argv[1][1]);
    return strchr(letters, letter) != NULL ? letter : 0;
}

int rtc_open(const struct rtc_port* port)
{
    char path[4096];
    int fd = -1;

    if (vnq_board_path(path, sizeof path, RTC_DEVICE) == NULL)
        errno = ENAMETOOLONG;
    else
        fd = port->open_rtc(path);
    if (fd < 0) {
        int error = errno;
        perror("Failed open rtc");
        errno = error;
    }
    return fd;
}

time_t rtc_seconds(const struct rtc_time* rtc)
{
    struct tm tm;

    memset(&tm, 0, sizeof tm);
    tm.tm_sec = rtc->tm_sec;
    tm.tm_min = rtc->tm_min;
    tm.tm_hour = rtc->tm_hour;
    tm.tm_mday = rtc->tm_mday;
    tm.tm_mon = rtc->tm_mon;
    tm.tm_year = rtc->tm_year;
    tm.tm_isdst = -1;
    return mktime(&tm);
}

int rtc_fields_for(time_t s, struct rtc_time* rtc)
{
    time_t shown = s - RTC_ZONE_OFFSET;
    struct tm tm;

    if (localtime_r(&shown, &tm) == NULL)
        return -1;
    memset(rtc, 0, sizeof *rtc);
    rtc->tm_sec = tm.tm_sec;
    rtc->tm_min = tm.tm_min;
    rtc->tm_hour = tm.tm_hour;
    rtc->tm_mday = tm.tm_mday;
    rtc->tm_mon = tm.tm_mon;
    rtc->tm_year = tm.tm_year;
    rtc->tm_wday = tm.tm_wday;
    rtc->tm_yday = tm.tm_yday;
    rtc->tm_isdst = tm.tm_isdst;
    return 0;
}

int rtc_time_after(const struct timeval* tv, time_t sec, long ms)
{
    return tv->tv_sec > sec || (tv->tv_sec == sec && tv->tv_usec > ms * 1000L);
}
