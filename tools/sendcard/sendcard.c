/* sendcard: presents one card to the terminal by writing one card event message to its local
 * socket, the way the card service does: a fresh connection, one message, then close.
 *
 *   sendcard [-s socket] [-t type] [-l len] ID   ID: 16 hexadecimal digits (the 8 ID bytes)
 *   sendcard [-s socket] -r text                 writes text as it is
 *
 * The socket defaults to /tmp/iccard.uds under the board root (VNQ_ROOT). Exit status 0 when
 * the message was written, 1 when the socket could not be reached or written, 2 on usage. */
#include "vnq_boardroot.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

enum { ID_DIGITS = 16, MESSAGE_MAX = 4096 };

static int usage(void)
{
    fprintf(stderr,
            "usage: sendcard [-s socket] [-t FeliCa|TypeA] [-l len] ID   (ID: 16 hex digits)\n"
            "       sendcard [-s socket] -r text\n");
    return 2;
}

static int is_card_id(const char* id)
{
    size_t i;
    if (strlen(id) != ID_DIGITS)
        return 0;
    for (i = 0; i < ID_DIGITS; ++i) {
        if (!isxdigit((unsigned char)id[i]))
            return 0;
    }
    return 1;
}

/* The message as the card service writes it: lower-case ID digits, no line break. */
static int format_message(char* out, size_t size, const char* type, int len, const char* id)
{
    char lower[ID_DIGITS + 1];
    size_t i;
    int n;
    for (i = 0; i < ID_DIGITS; ++i)
        lower[i] = (char)tolower((unsigned char)id[i]);
    lower[ID_DIGITS] = '\0';
    n = snprintf(out, size,
                 "<iccard><ictype>%02x</ictype><fwver>%04x</fwver><type>%s</type><len>%d</len><id>%s</id></iccard>",
                 0x01, 0x0100, type, len, lower);
    return n > 0 && (size_t)n < size;
}

static int send_message(const char* path, const char* message)
{
    struct sockaddr_un address;
    size_t length = strlen(message);
    size_t done = 0;
    int fd;

    if (strlen(path) >= sizeof(address.sun_path)) {
        fprintf(stderr, "sendcard: socket path too long: %s\n", path);
        return 1;
    }
    memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, path, strlen(path) + 1);

    fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) {
        perror("sendcard: socket");
        return 1;
    }
    if (connect(fd, (struct sockaddr*)&address, sizeof(address)) < 0) {
        fprintf(stderr, "sendcard: connect %s: %s\n", path, strerror(errno));
        close(fd);
        return 1;
    }
    while (done < length) {
        ssize_t n = write(fd, message + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fprintf(stderr, "sendcard: write: %s\n", n < 0 ? strerror(errno) : "nothing written");
            close(fd);
            return 1;
        }
        done += (size_t)n;
    }
    close(fd);
    return 0;
}

int main(int argc, char** argv)
{
    char default_path[256];
    char message[MESSAGE_MAX];
    const char* path = NULL;
    const char* type = "FeliCa";
    const char* raw = NULL;
    char* end = NULL;
    long len = 8;
    int opt;

    while ((opt = getopt(argc, argv, "s:t:l:r:")) != -1) {
        switch (opt) {
        case 's': path = optarg; break;
        case 't': type = optarg; break;
        case 'r': raw = optarg; break;
        case 'l':
            errno = 0;
            len = strtol(optarg, &end, 10);
            if (errno || *end || len < 0 || len > 255)
                return usage();
            break;
        default: return usage();
        }
    }

    if (raw) {
        if (optind != argc)
            return usage();
        if (strlen(raw) >= sizeof(message)) {
            fprintf(stderr, "sendcard: message longer than %d bytes\n", MESSAGE_MAX - 1);
            return 2;
        }
        strcpy(message, raw);
    } else {
        if (optind != argc - 1 || !is_card_id(argv[optind]))
            return usage();
        if (strlen(type) > 32 || strpbrk(type, "<>&"))
            return usage();
        if (!format_message(message, sizeof(message), type, (int)len, argv[optind]))
            return usage();
    }

    if (!path) {
        path = vnq_board_path(default_path, sizeof(default_path), "/tmp/iccard.uds");
        if (!path) {
            fprintf(stderr, "sendcard: board root too long\n");
            return 1;
        }
    }
    return send_message(path, message);
}
