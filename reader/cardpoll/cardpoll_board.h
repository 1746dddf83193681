#ifndef CARDPOLL_BOARD_H
#define CARDPOLL_BOARD_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The file that holds a board path (under VNQ_ROOT when it is set) written as one shell word:
 * as it is when it holds only letters, digits and "/._-", else in single quotes. NULL (and an
 * empty out) when it does not fit in size bytes. */
char* cardpoll_board_word(char* out, size_t size, const char* board_path);

/* Runs a shell line through system() after flushing standard output, so the program's own
 * lines stay in order with the command's; returns system()'s result. */
int cardpoll_system(const char* line);

/* Runs the logger command with text as its one argument in double quotes. The texts are the
 * program's own constants, never outside input. */
void cardpoll_logger(const char* text);

#ifdef __cplusplus
}
#endif

#endif
