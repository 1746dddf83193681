#define _GNU_SOURCE
#include "cardpoll_event.h"

#include "cardpoll_board.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

/* Exit code of the shell when it could not run the script. */
enum { SHELL_NOT_FOUND = 127 };

static int socket_count_exit_code(void)
{
    char line[4200];
    int result;
    if (cardpoll_board_word(line, sizeof line, "/VnQo/app/Service/iccard_socket_count.sh") == NULL)
        return SHELL_NOT_FOUND;
    result = cardpoll_system(line);
    printf("Socket check (%d)\n", result);
    fflush(stdout);
    return (result >> 8) & 255;
}

cardpoll_send_t cardpoll_send_card_event(const char* server_path, const char* message, size_t len)
{
    struct sockaddr_un address;
    ssize_t sent;
    int fd, exit_code;

    exit_code = socket_count_exit_code();
    if (exit_code > CARDPOLL_MAX_WAITING_SOCKETS && exit_code != SHELL_NOT_FOUND) {
        printf("Over waitting sockets (%d)\n", exit_code);
        fflush(stdout);
        return CARDPOLL_HELD_BACK;
    }
    if (server_path[0] == '\0' || strlen(server_path) >= sizeof address.sun_path) {
        printf("Bad server address (%s)\n", server_path);
        fflush(stdout);
        return CARDPOLL_SEND_FAILED;
    }

    fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        printf("Failed to create socket (%d:%d)\n", fd, errno);
        fflush(stdout);
        return CARDPOLL_SEND_FAILED;
    }
    memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    strcpy(address.sun_path, server_path);
    if (connect(fd, (struct sockaddr*)&address, sizeof address) != 0) {
        printf("Failed to connect (%d:%d)\n", -1, errno);
        fflush(stdout);
        close(fd);
        return CARDPOLL_SEND_FAILED;
    }
    /* send() rather than write(): a server that hung up must not end the service by SIGPIPE. */
    sent = send(fd, message, len, MSG_NOSIGNAL);
    if (sent < 0)
        printf("Failed to send (%d:%d)\n", (int)sent, errno);
    else
        printf("Success to send (%d:%d)\n", (int)sent, errno);
    fflush(stdout);
    close(fd);
    return sent == (ssize_t)len ? CARDPOLL_SENT : CARDPOLL_SEND_FAILED;
}
