#include "rtc_fields.h"

#include <string.h>

void rtc_fields_to_tm(const struct rtc_time* rtc, struct tm* tm)
{
    memset(tm, 0, sizeof *tm);
    tm->tm_sec = rtc->tm_sec;
    tm->tm_min = rtc->tm_min;
    tm->tm_hour = rtc->tm_hour;
    tm->tm_mday = rtc->tm_mday;
    tm->tm_mon = rtc->tm_mon;
    tm->tm_year = rtc->tm_year;
    tm->tm_isdst = -1;
}

void rtc_fields_from_tm(const struct tm* tm, struct rtc_time* rtc)
{
    memset(rtc, 0, sizeof *rtc);
    rtc->tm_sec = tm->tm_sec;
    rtc->tm_min = tm->tm_min;
    rtc->tm_hour = tm->tm_hour;
    rtc->tm_mday = tm->tm_mday;
    rtc->tm_mon = tm->tm_mon;
    rtc->tm_year = tm->tm_year;
    rtc->tm_wday = tm->tm_wday;
    rtc->tm_yday = tm->tm_yday;
    rtc->tm_isdst = tm->tm_isdst;
}
