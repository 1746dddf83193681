#ifndef CARDPOLL_OPTIONS_H
#define CARDPOLL_OPTIONS_H

#include <stdint.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Size of the server address field; a socket address holds at most 107 bytes of path. */
#define CARDPOLL_SERVER_PATH_SIZE 128
#define CARDPOLL_SOCKET_PATH_MAX 107

/* The service's settings, from the command line. */
typedef struct cardpoll_options {
    const char* port_name;                      /* -p / c */
    uint32_t speed;                             /* -b / b, bit/s after opening */
    uint32_t timeout_ms;                        /* -t / t, every reader exchange */
    char server_path[CARDPOLL_SERVER_PATH_SIZE]; /* -a / a */
    int wait_ms;                                /* -w / w, pause before initialising */
    int port_given;                             /* the port came from the command line */
    int server_given;                           /* the server address came from the command line */
} cardpoll_options_t;

/* The defaults: "/dev/ttyS0", 115200, 100 ms, "/tmp/iccard.uds", no wait. */
void cardpoll_options_default(cardpoll_options_t* options);

/* Reads option and value pairs, each option dashed ("-p") or a bare letter ("c" for the
 * port). Stops at the first argument that is no known option or lacks its value; returns -1
 * when that argument begins with "-" or a server address does not fit a socket address
 * (the caller prints the usage), else 0 with the values read so far. */
int cardpoll_options_parse(cardpoll_options_t* options, int argc, char** argv);

void cardpoll_print_usage(FILE* out, const char* program);

#ifdef __cplusplus
}
#endif

#endif
