#ifndef UTL_H
#define UTL_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(UTL_BUILD)
#define UTL_API __attribute__((visibility("default")))
#else
#define UTL_API
#endif

/* Milliseconds of a monotonic clock (unaffected by setting the date), wrapping at 32 bits. */
UTL_API uint32_t utl_get_time_msec(void);

/* Milliseconds left of a time-out of timeout_ms that started at start_ms (a value of
 * utl_get_time_msec()); 0 once it has run out. Correct across the 32-bit wrap of the clock.
 * When elapsed_out is not NULL it receives the milliseconds elapsed since start_ms. */
UTL_API uint32_t utl_get_rest_timeout(uint32_t start_ms, uint32_t timeout_ms, uint32_t* elapsed_out);

/* Sleeps ms milliseconds, resuming after signals. 0 on success, else a non-zero status. */
UTL_API uint32_t utl_msleep(uint32_t ms);

/* Copies count bytes; the areas may overlap. Returns destination. */
UTL_API void* utl_memcpy(void* destination, const void* source, size_t count);

/* 0 when the count bytes at a and b are equal; else the sign of the first difference. */
UTL_API int utl_memcmp(const void* a, const void* b, size_t count);

#ifdef __cplusplus
}
#endif

#endif
