#include "cardpoll_board.h"

#include "vnq_boardroot.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int plain_word(const char* text)
{
    const char* c;
    if (*text == '\0')
        return 0;
    for (c = text; *c; c++) {
        if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
              strchr("/._-", *c) != NULL))
            return 0;
    }
    return 1;
}

char* cardpoll_board_word(char* out, size_t size, const char* board_path)
{
    char path[4096];
    size_t used = 0;
    const char* c;

    if (size == 0)
        return NULL;
    out[0] = '\0';
    if (vnq_board_path(path, sizeof path, board_path) == NULL)
        return NULL;
    if (plain_word(path)) {
        if (strlen(path) >= size)
            return NULL;
        strcpy(out, path);
        return out;
    }
    /* '...' with each ' written as '\'' */
    if (size < 3)
        return NULL;
    out[used++] = '\'';
    for (c = path; *c; c++) {
        const char* piece = *c == '\'' ? "'\\''" : NULL;
        const size_t piece_len = piece ? 4 : 1;
        if (used + piece_len + 2 > size) {
            out[0] = '\0';
            return NULL;
        }
        if (piece)
            memcpy(out + used, piece, piece_len);
        else
            out[used] = *c;
        used += piece_len;
    }
    out[used++] = '\'';
    out[used] = '\0';
    return out;
}

int cardpoll_system(const char* line)
{
    fflush(stdout);
    return system(line);
}

void cardpoll_logger(const char* text)
{
    char line[256];
    snprintf(line, sizeof line, "logger \"%s\"", text);
    cardpoll_system(line);
}
