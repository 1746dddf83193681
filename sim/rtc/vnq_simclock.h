#ifndef VNQ_SIMCLOCK_H
#define VNQ_SIMCLOCK_H

/* The simulated board's clock hardware: an RTC and a system clock that never touch the
 * host's own.
 *
 * World time is the host's real time or, when VNQ_SIM_TIME holds "<seconds>[.<fraction>]", a
 * virtual time that starts there and moves only through vnq_sim_sleep_ms(), so the tools'
 * millisecond timing runs instantly and exactly under test.
 *
 * The RTC is a text file (the board's /dev/rtc0 under VNQ_ROOT) of "key value" lines:
 *   offset <s>       how far the RTC is ahead of the world time at `at` (default 0)
 *   at <s>           world time of the last setting (default 0)
 *   rate <r>         RTC seconds per world second (default 1; 0 is a stopped RTC)
 *   fail read|set    that request fails with EIO
 * A file with none of these lines, or with a line that is none of them, fails every request
 * with EIO.
 * Its date and time are the UTC calendar fields of at + offset + (world - at) * rate. Setting
 * it rewrites offset and at, so `at` records the moment of writing.
 *
 * The system clock is the world time plus the correction of the last "set <s> at <world s>"
 * line of the board's /var/log/sim-systime.log; setting it appends such a line instead of
 * changing the host's clock. A line "fail gettimeofday" or "fail settimeofday" in that file
 * makes that call fail. Seconds are written as decimals with up to six fraction digits. */

#include <stddef.h>
#include <sys/time.h>

struct rtc_time;

#ifdef __cplusplus
extern "C" {
#endif

#define VNQ_SIM_SYSTIME_LOG "/var/log/sim-systime.log"

long long vnq_sim_world_us(void);
void vnq_sim_sleep_ms(unsigned ms);

/* RTC requests on the file at path; 0, or -1 with errno set. */
int vnq_sim_rtc_read(const char* path, struct rtc_time* out);
int vnq_sim_rtc_set(const char* path, const struct rtc_time* in);

/* The simulated system clock; 0, or -1 with errno set. */
int vnq_sim_gettimeofday(struct timeval* tv);
int vnq_sim_settimeofday(const struct timeval* tv);

/* "-12.5" <-> -12500000 microseconds. Parsing returns 0, or -1 for text that is no number. */
int vnq_sim_parse_seconds(const char* text, long long* us);
void vnq_sim_format_seconds(long long us, char* out, size_t out_size);

#ifdef __cplusplus
}
#endif

#endif
