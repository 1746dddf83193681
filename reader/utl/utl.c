#define _POSIX_C_SOURCE 200809L
#define UTL_BUILD
#include "utl.h"
#include "utl_timeout.h"

#include <errno.h>
#include <string.h>
#include <time.h>

/* Status returned when a system call fails, as the reader libraries count it. */
enum { UTL_SYSCALL_FAILED = 9 };

uint32_t utl_get_time_msec(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
}

uint32_t utl_get_rest_timeout(uint32_t start_ms, uint32_t timeout_ms, uint32_t* elapsed_out)
{
    return utl_rest_timeout_at(utl_get_time_msec(), start_ms, timeout_ms, elapsed_out);
}

uint32_t utl_msleep(uint32_t ms)
{
    struct timespec left = { (time_t)(ms / 1000u), (long)(ms % 1000u) * 1000000L };
    while (nanosleep(&left, &left) != 0) {
        if (errno != EINTR)
            return UTL_SYSCALL_FAILED;
    }
    return 0;
}

void* utl_memcpy(void* destination, const void* source, size_t count)
{
    return memmove(destination, source, count);
}

int utl_memcmp(const void* a, const void* b, size_t count)
{
    return memcmp(a, b, count);
}
