#include "rtc_tools.h"

#include "rtc_fields.h"
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

    rtc_fields_to_tm(rtc, &tm);
    return mktime(&tm);
}

int rtc_fields_for(time_t s, struct rtc_time* rtc)
{
    time_t shown = s - RTC_ZONE_OFFSET;
    struct tm tm;

    if (localtime_r(&shown, &tm) == NULL)
        return -1;
    rtc_fields_from_tm(&tm, rtc);
    return 0;
}

int rtc_time_after(const struct timeval* tv, time_t sec, long ms)
{
    return tv->tv_sec > sec || (tv->tv_sec == sec && tv->tv_usec > ms * 1000L);
}
