#include "cardpoll_retry.h"

#include <string.h>

/* Units of back-off after the first, the second and every later failure. */
static const uint32_t backoff_units[] = { 1, 2, 4 };

void cardpoll_retry_clear(cardpoll_retry_t* retry)
{
    memset(retry, 0, sizeof *retry);
}

int cardpoll_retry_due(const cardpoll_retry_t* retry, uint32_t now_ms)
{
    return retry->pending && (int32_t)(now_ms - retry->due_ms) >= 0;
}

uint32_t cardpoll_retry_failed(cardpoll_retry_t* retry, uint32_t now_ms, uint32_t unit_ms)
{
    const uint32_t last = sizeof backoff_units / sizeof backoff_units[0] - 1;
    const uint32_t delay = backoff_units[retry->failures < last ? retry->failures : last] * unit_ms;
    retry->pending = 1;
    retry->failures++;
    retry->due_ms = now_ms + delay;
    return delay;
}
