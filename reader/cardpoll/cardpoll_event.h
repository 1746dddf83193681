#ifndef CARDPOLL_EVENT_H
#define CARDPOLL_EVENT_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum cardpoll_send {
    CARDPOLL_SEND_FAILED = -1, /* no message went out; the card should be reported again */
    CARDPOLL_SENT = 0,
    CARDPOLL_HELD_BACK = 1     /* too many connections wait at the server: the card is dropped */
} cardpoll_send_t;

/* Socket-count script exit codes above this hold the event back. */
#define CARDPOLL_MAX_WAITING_SOCKETS 10

/* Sends one card event message on a fresh connection to the local stream socket at
 * server_path, unless the board's socket-count script reports too many waiting connections. */
cardpoll_send_t cardpoll_send_card_event(const char* server_path, const char* message, size_t len);

#ifdef __cplusplus
}
#endif

#endif
