#ifndef CARDPOLL_RETRY_H
#define CARDPOLL_RETRY_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The back-off of a card whose event could not be delivered: it is tried again one unit after
 * the first failure, two after the second, then every four units while it stays on the reader.
 * Times are milliseconds of a monotonic clock that may wrap. */
typedef struct cardpoll_retry {
    uint8_t pending;   /* a card waits for its next try */
    uint32_t due_ms;   /* when it may be sent again */
    uint32_t failures; /* failed sends of that card */
} cardpoll_retry_t;

/* Forgets the waiting card (delivered, or taken away). */
void cardpoll_retry_clear(cardpoll_retry_t* retry);

/* Non-zero when a card waits and its back-off has run out at now_ms. */
int cardpoll_retry_due(const cardpoll_retry_t* retry, uint32_t now_ms);

/* Notes a failed send at now_ms; returns the delay before the next try. */
uint32_t cardpoll_retry_failed(cardpoll_retry_t* retry, uint32_t now_ms, uint32_t unit_ms);

#ifdef __cplusplus
}
#endif

#endif
