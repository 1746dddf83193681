#ifndef RTC_TOOLS_H
#define RTC_TOOLS_H

/* What rtcprobe, rtcsync and Tikwarden share: the RTC's place and zone, option parsing and
 * the conversions between RTC fields and seconds. */

#include "rtc_port.h"

#include <time.h>

/* The RTC holds the time 9 hours behind the system's wall-clock reading. */
#define RTC_ZONE_OFFSET 32400

#define RTC_DEVICE "/dev/rtc0"

/* "-X <value>" with X one of letters (upper case; either case is accepted) and exactly these
 * two arguments: returns the upper-case letter, or 0 for any other command line. */
int rtc_option(int argc, char** argv, const char* letters);

/* Opens the RTC (read-only, under the board root); on failure prints "Failed open rtc" with
 * the reason and returns -1. */
int rtc_open(const struct rtc_port* port);

/* mktime of the RTC's date and time, with no zone offset added and DST left to mktime. */
time_t rtc_seconds(const struct rtc_time* rtc);

/* The RTC date and time that shows system second s (localtime of s - RTC_ZONE_OFFSET). */
int rtc_fields_for(time_t s, struct rtc_time* rtc);

/* Whether tv is strictly later than second sec plus ms milliseconds. */
int rtc_time_after(const struct timeval* tv, time_t sec, long ms);

#endif
