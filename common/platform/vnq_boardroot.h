#ifndef VNQ_BOARDROOT_H
#define VNQ_BOARDROOT_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Writes into out the file that holds the board path abs_path: the value of VNQ_ROOT (empty
 * on the board) followed by abs_path. Returns out, or NULL when it does not fit in out_size
 * bytes (out then holds an empty string). */
char* vnq_board_path(char* out, size_t out_size, const char* abs_path);

#ifdef __cplusplus
}
#endif

#endif
