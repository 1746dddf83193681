#ifndef RTC_PORT_H
#define RTC_PORT_H

/* The clock hardware as the RTC tools use it. On the board (VNQ_ROOT empty or unset) these
 * are the Linux calls: open of the RTC node, RTC_RD_TIME and RTC_SET_TIME, gettimeofday,
 * settimeofday and a real sleep. Under a board root they are the simulated board's clock
 * (sim/rtc/vnq_simclock.h), so a tool run on a development machine never reaches the host's
 * RTC or system clock. The choice follows the same variable as every other board path, so
 * the board runs exactly the Linux calls and the simulated board exactly the model. */

#include <linux/rtc.h>
#include <sys/time.h>

struct rtc_port {
    int (*open_rtc)(const char* path);                      /* descriptor, or -1 */
    int (*read_rtc)(int fd, struct rtc_time* tm);           /* RTC_RD_TIME: 0 or -1 */
    int (*set_rtc)(int fd, const struct rtc_time* tm);      /* RTC_SET_TIME: 0 or -1 */
    void (*close_rtc)(int fd);
    int (*get_time)(struct timeval* tv);                    /* gettimeofday: 0 or -1 */
    int (*set_time)(const struct timeval* tv);              /* settimeofday: 0 or -1 */
    void (*sleep_ms)(unsigned ms);
};

extern const struct rtc_port rtc_port_linux;
extern const struct rtc_port rtc_port_sim;

/* The port of this run: rtc_port_sim when VNQ_ROOT is set and not empty. */
const struct rtc_port* rtc_port(void);

#endif
