#include "vnq_simclock.h"

#include "rtc_fields.h"
#include "vnq_boardroot.h"

#include <ctype.h>
#include <errno.h>
#include <limits.h>
#include <linux/rtc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#define US_PER_S 1000000LL

struct sim_rtc {
    long long offset_us;
    long long at_us;
    double rate;
    int fail_read;
    int fail_set;
    int settings;  /* lines read */
    int malformed; /* a line that is no setting */
};

struct sim_systime {
    long long correction_us;
    int fail_get;
    int fail_set;
};

static long long floor_div(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        q--;
    return q;
}

int vnq_sim_parse_seconds(const char* text, long long* us)
{
    const char* p = text;
    int negative = 0;
    long long whole = 0;
    long long fraction = 0;
    long long scale = US_PER_S;
    int digits = 0;

    while (isspace((unsigned char)*p))
        p++;
    if (*p == '-' || *p == '+')
        negative = (*p++ == '-');
    for (; isdigit((unsigned char)*p); p++, digits++) {
        if (whole > (LLONG_MAX / US_PER_S - 9) / 10)
            return -1;
        whole = whole * 10 + (*p - '0');
    }
    if (*p == '.') {
        for (p++; isdigit((unsigned char)*p); p++, digits++) {
            if (scale > 1) {
                scale /= 10;
                fraction += (*p - '0') * scale;
            }
        }
    }
    while (isspace((unsigned char)*p))
        p++;
    if (digits == 0 || *p != '\0')
        return -1;
    *us = whole * US_PER_S + fraction;
    if (negative)
        *us = -*us;
    return 0;
}

void vnq_sim_format_seconds(long long us, char* out, size_t out_size)
{
    long long s = floor_div(us, US_PER_S);
    long long frac = us - s * US_PER_S;

    if (s < 0 && frac != 0) {  /* print -1.5 s as "-1.500000", not as "-2" + 0.5 */
        s++;
        frac = US_PER_S - frac;
    }
    snprintf(out, out_size, "%s%lld.%06lld", (us < 0 && s == 0) ? "-" : "", s, frac);
}

/* ---- world time ---- */

static int world_ready;
static int world_virtual;
static long long world_virtual_us;

static void world_init(void)
{
    const char* start = getenv("VNQ_SIM_TIME");
    if (world_ready)
        return;
    world_ready = 1;
    if (start != NULL && vnq_sim_parse_seconds(start, &world_virtual_us) == 0)
        world_virtual = 1;
}

long long vnq_sim_world_us(void)
{
    struct timespec ts;

    world_init();
    if (world_virtual)
        return world_virtual_us;
    clock_gettime(CLOCK_REALTIME, &ts);
    return (long long)ts.tv_sec * US_PER_S + ts.tv_nsec / 1000;
}

void vnq_sim_sleep_ms(unsigned ms)
{
    struct timespec ts;

    world_init();
    if (world_virtual) {
        world_virtual_us += (long long)ms * 1000;
        return;
    }
    ts.tv_sec = ms / 1000;
    ts.tv_nsec = (long)(ms % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

/* ---- RTC ---- */

/* Splits "key value" lines; calls take(key, value, ctx) for each. Returns -1 with errno when
 * the file cannot be read; a missing file is an error only when required. */
static int read_lines(const char* path, int required,
                      void (*take)(const char*, const char*, void*), void* ctx)
{
    char line[256];
    FILE* f = fopen(path, "r");

    if (f == NULL)
        return (required || errno != ENOENT) ? -1 : 0;
    while (fgets(line, sizeof line, f) != NULL) {
        char* key = line;
        char* value;
        char* end;

        while (isspace((unsigned char)*key))
            key++;
        if (*key == '#' || *key == '\0')
            continue;
        value = key;
        while (*value != '\0' && !isspace((unsigned char)*value))
            value++;
        if (*value != '\0')
            *value++ = '\0';
        while (isspace((unsigned char)*value))
            value++;
        end = value + strlen(value);
        while (end > value && isspace((unsigned char)end[-1]))
            *--end = '\0';
        take(key, value, ctx);
    }
    if (ferror(f)) {
        int saved = errno ? errno : EIO;
        fclose(f);
        errno = saved;
        return -1;
    }
    fclose(f);
    return 0;
}

static void take_rtc(const char* key, const char* value, void* ctx)
{
    struct sim_rtc* rtc = ctx;
    long long us;
    char* end = NULL;

    rtc->settings++;
    if (strcmp(key, "offset") == 0 && vnq_sim_parse_seconds(value, &us) == 0) {
        rtc->offset_us = us;
    } else if (strcmp(key, "at") == 0 && vnq_sim_parse_seconds(value, &us) == 0) {
        rtc->at_us = us;
    } else if (strcmp(key, "rate") == 0) {
        rtc->rate = strtod(value, &end);
        if (end == value || *end != '\0' || !(rtc->rate >= 0 && rtc->rate < 1e6))
            rtc->malformed = 1;
    } else if (strcmp(key, "fail") == 0 && strcmp(value, "read") == 0) {
        rtc->fail_read = 1;
    } else if (strcmp(key, "fail") == 0 && strcmp(value, "set") == 0) {
        rtc->fail_set = 1;
    } else {
        rtc->malformed = 1;
    }
}

/* An RTC file that holds no setting, or a line that is none, is a broken device: every
 * request on it fails with EIO rather than reading as some time. */
static int load_rtc(const char* path, struct sim_rtc* rtc)
{
    memset(rtc, 0, sizeof *rtc);
    rtc->rate = 1.0;
    if (read_lines(path, 1, take_rtc, rtc) < 0)
        return -1;
    if (rtc->settings == 0 || rtc->malformed) {
        errno = EIO;
        return -1;
    }
    return 0;
}

static int save_rtc(const char* path, const struct sim_rtc* rtc)
{
    char offset[40];
    char at[40];
    FILE* f = fopen(path, "w");

    if (f == NULL)
        return -1;
    vnq_sim_format_seconds(rtc->offset_us, offset, sizeof offset);
    vnq_sim_format_seconds(rtc->at_us, at, sizeof at);
    fprintf(f, "offset %s\nat %s\nrate %.12g\n", offset, at, rtc->rate);
    if (rtc->fail_read)
        fputs("fail read\n", f);
    if (rtc->fail_set)
        fputs("fail set\n", f);
    if (fclose(f) != 0)
        return -1;
    return 0;
}

static long long rtc_value_us(const struct sim_rtc* rtc, long long world_us)
{
    double run = (double)(world_us - rtc->at_us) * rtc->rate;
    long long run_us = (long long)(run < 0 ? run - 0.5 : run + 0.5);
    return rtc->at_us + rtc->offset_us + run_us;
}

int vnq_sim_rtc_read(const char* path, struct rtc_time* out)
{
    struct sim_rtc rtc;
    struct tm tm;
    time_t seconds;

    if (load_rtc(path, &rtc) < 0)
        return -1;
    if (rtc.fail_read) {
        errno = EIO;
        return -1;
    }
    seconds = (time_t)floor_div(rtc_value_us(&rtc, vnq_sim_world_us()), US_PER_S);
    if (gmtime_r(&seconds, &tm) == NULL) {
        errno = EINVAL;
        return -1;
    }
    rtc_fields_from_tm(&tm, out);
    return 0;
}

int vnq_sim_rtc_set(const char* path, const struct rtc_time* in)
{
    struct sim_rtc rtc;
    struct tm tm;
    long long world = vnq_sim_world_us();

    if (load_rtc(path, &rtc) < 0)
        return -1;
    if (rtc.fail_set) {
        errno = EIO;
        return -1;
    }
    /* Like the kernel's RTC core, refuse fields that are no calendar time. */
    if (in->tm_sec < 0 || in->tm_sec > 59 || in->tm_min < 0 || in->tm_min > 59 ||
        in->tm_hour < 0 || in->tm_hour > 23 || in->tm_mday < 1 || in->tm_mday > 31 ||
        in->tm_mon < 0 || in->tm_mon > 11) {
        errno = EINVAL;
        return -1;
    }
    rtc_fields_to_tm(in, &tm);
    rtc.offset_us = (long long)timegm(&tm) * US_PER_S - world;
    rtc.at_us = world;
    return save_rtc(path, &rtc);
}

/* ---- system clock ---- */

static void take_systime(const char* key, const char* value, void* ctx)
{
    struct sim_systime* st = ctx;
    char set_text[64];
    char at_text[64];
    long long set_us;
    long long at_us;

    if (strcmp(key, "fail") == 0) {
        if (strcmp(value, "gettimeofday") == 0)
            st->fail_get = 1;
        else if (strcmp(value, "settimeofday") == 0)
            st->fail_set = 1;
    } else if (strcmp(key, "set") == 0 &&
               sscanf(value, "%63s at %63s", set_text, at_text) == 2 &&
               vnq_sim_parse_seconds(set_text, &set_us) == 0 &&
               vnq_sim_parse_seconds(at_text, &at_us) == 0) {
        st->correction_us = set_us - at_us;
    }
}

static int systime_path(char* out, size_t size)
{
    if (vnq_board_path(out, size, VNQ_SIM_SYSTIME_LOG) == NULL) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return 0;
}

static int load_systime(struct sim_systime* st)
{
    char path[4096];

    memset(st, 0, sizeof *st);
    if (systime_path(path, sizeof path) < 0)
        return -1;
    return read_lines(path, 0, take_systime, st);
}

int vnq_sim_gettimeofday(struct timeval* tv)
{
    struct sim_systime st;
    long long now;

    if (load_systime(&st) < 0)
        return -1;
    if (st.fail_get) {
        errno = EINVAL;
        return -1;
    }
    now = vnq_sim_world_us() + st.correction_us;
    tv->tv_sec = (time_t)floor_div(now, US_PER_S);
    tv->tv_usec = (suseconds_t)(now - (long long)tv->tv_sec * US_PER_S);
    return 0;
}

int vnq_sim_settimeofday(const struct timeval* tv)
{
    struct sim_systime st;
    char path[4096];
    char set_text[40];
    char at_text[40];
    FILE* f;

    if (load_systime(&st) < 0 || systime_path(path, sizeof path) < 0)
        return -1;
    if (st.fail_set) {
        errno = EPERM;
        return -1;
    }
    if (tv->tv_usec < 0 || tv->tv_usec >= US_PER_S) {
        errno = EINVAL;
        return -1;
    }
    vnq_sim_format_seconds((long long)tv->tv_sec * US_PER_S + tv->tv_usec, set_text,
                           sizeof set_text);
    vnq_sim_format_seconds(vnq_sim_world_us(), at_text, sizeof at_text);
    f = fopen(path, "a");
    if (f == NULL)
        return -1;
    fprintf(f, "set %s at %s\n", set_text, at_text);
    if (fclose(f) != 0)
        return -1;
    return 0;
}
