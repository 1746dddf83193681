#include "cardpoll_options.h"

#include <stdlib.h>
#include <string.h>

void cardpoll_options_default(cardpoll_options_t* options)
{
    memset(options, 0, sizeof *options);
    options->port_name = "/dev/ttyS0";
    options->speed = 115200;
    options->timeout_ms = 100;
    strcpy(options->server_path, "/tmp/iccard.uds");
    options->wait_ms = 0;
}

/* The option letter an argument names: 'p', 'b', 't', 'a', 'w', or 0. */
static char option_letter(const char* arg)
{
    static const struct {
        const char* dashed;
        const char* bare;
        char letter;
    } known[] = {
        { "-p", "c", 'p' }, { "-b", "b", 'b' }, { "-t", "t", 't' }, { "-a", "a", 'a' }, { "-w", "w", 'w' },
    };
    size_t i;
    for (i = 0; i < sizeof known / sizeof known[0]; i++) {
        if (strcmp(arg, known[i].dashed) == 0 || strcmp(arg, known[i].bare) == 0)
            return known[i].letter;
    }
    return 0;
}

int cardpoll_options_parse(cardpoll_options_t* options, int argc, char** argv)
{
    int i;
    for (i = 1; i < argc; i += 2) {
        const char letter = option_letter(argv[i]);
        const char* value;
        if (letter == 0 || i + 1 >= argc)
            return argv[i][0] == '-' ? -1 : 0;
        value = argv[i + 1];
        switch (letter) {
        case 'p':
            options->port_name = value;
            options->port_given = 1;
            break;
        case 'b':
            options->speed = (uint32_t)strtoul(value, NULL, 0);
            break;
        case 't':
            options->timeout_ms = (uint32_t)strtoul(value, NULL, 0);
            break;
        case 'a':
            /* A longer path would not fit the socket address it is connected through. */
            if (strlen(value) > CARDPOLL_SOCKET_PATH_MAX)
                return -1;
            strcpy(options->server_path, value);
            options->server_given = 1;
            break;
        case 'w':
            options->wait_ms = (int)strtol(value, NULL, 10);
            break;
        }
    }
    return 0;
}

void cardpoll_print_usage(FILE* out, const char* program)
{
    fprintf(out, "Usage: %s [options]\n", program);
    fputs("  -p port\n"
          "   c port\n"
          "  -b UART speed\n"
          "   b UART speed\n"
          "  -t timeout at controller\n"
          "   t timeout at controller\n"
          "  -a server addr\n"
          "   a server addr\n"
          "  -w initialize wait micro second\n"
          "   w initialize wait micro second\n",
          out);
}
