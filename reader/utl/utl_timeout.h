#ifndef UTL_TIMEOUT_H
#define UTL_TIMEOUT_H

#include <stdint.h>

/* The time-out arithmetic of utl_get_rest_timeout() for a given clock value. Unsigned
 * subtraction gives the elapsed time even when the clock wrapped past 0xFFFFFFFF since start. */
static inline uint32_t utl_rest_timeout_at(uint32_t now_ms, uint32_t start_ms, uint32_t timeout_ms,
                                           uint32_t* elapsed_out)
{
    uint32_t elapsed = now_ms - start_ms;
    if (elapsed_out)
        *elapsed_out = elapsed;
    return elapsed >= timeout_ms ? 0u : timeout_ms - elapsed;
}

#endif
