#include "vnq_boardroot.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

char* vnq_board_path(char* out, size_t out_size, const char* abs_path)
{
    const char* root = getenv("VNQ_ROOT");
    size_t root_len;
    int n;

    if (out == NULL || out_size == 0 || abs_path == NULL)
        return NULL;
    if (root == NULL || abs_path[0] != '/')
        root = "";
    root_len = strlen(root);
    while (root_len > 0 && root[root_len - 1] == '/')
        root_len--;
    n = snprintf(out, out_size, "%.*s%s", (int)root_len, root, abs_path);
    if (n < 0 || (size_t)n >= out_size) {
        out[0] = '\0';
        return NULL;
    }
    return out;
}
