#ifndef RTC_FIELDS_H
#define RTC_FIELDS_H

/* The RTC's date and time (struct rtc_time of RTC_RD_TIME / RTC_SET_TIME) as a struct tm and
 * back. Shared by the RTC tools and the simulated board's RTC. */

#include <linux/rtc.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Seconds to year only; every other field cleared and tm_isdst -1, so that mktime decides
 * daylight saving itself. */
void rtc_fields_to_tm(const struct rtc_time* rtc, struct tm* tm);

/* All nine fields the two records share. */
void rtc_fields_from_tm(const struct tm* tm, struct rtc_time* rtc);

#ifdef __cplusplus
}
#endif

#endif
