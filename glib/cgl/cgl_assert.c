#include "cgl_assert.h"

#include <stdio.h>
#include <stdlib.h>

void cgl_assert_fail(const char* text, const char* file, int line, const char* func)
{
    fflush(stdout);
    fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", file, line, func, text);
    abort();
}
