#include "ktr610_usb_internal.h"
#include "utl.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define TAG "ktr610_usb"
#define DUMP_LIMIT 320u
#define DUMP_LINE 8u

static int debug_enabled(void)
{
    const char* value = getenv("KTR610_USB_DEBUG");
    return value == NULL || strcmp(value, "0") != 0;
}

static unsigned long clock_ms(void)
{
    return (unsigned long)utl_get_time_msec();
}

static const char* base_name(const char* file)
{
    const char* slash = strrchr(file, '/');
    return slash != NULL ? slash + 1 : file;
}

void ktr610_usb_debug(const char* function, const char* format, ...)
{
    va_list args;

    if (!debug_enabled())
        return;
    printf("D:%s:%011lu:%s: ", TAG, clock_ms(), function);
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    putchar('\n');
    fflush(stdout);
}

void ktr610_usb_dump(const char* function, const uint8_t* data, uint32_t len)
{
    uint32_t shown = len < DUMP_LIMIT ? len : DUMP_LIMIT;
    char line[8 + DUMP_LINE * 3 + 1];

    if (!debug_enabled() || data == NULL)
        return;
    for (uint32_t at = 0; at < shown; at += DUMP_LINE) {
        int used = snprintf(line, sizeof line, "%04lX:", (unsigned long)at);
        for (uint32_t i = at; i < shown && i < at + DUMP_LINE; i++)
            used += snprintf(line + used, sizeof line - (size_t)used, " %02X", data[i]);
        ktr610_usb_debug(function, "%s", line);
    }
    if (shown < len)
        ktr610_usb_debug(function, "... (%lu bytes in all)", (unsigned long)len);
}

void ktr610_usb_error(const char* file, int line, const char* function, unsigned long code, const char* what)
{
    printf("E:%s:%011lu:%s:%d:%s: Error (%lu): %s\n", TAG, clock_ms(), base_name(file), line, function, code, what);
    fflush(stdout);
}

void ktr610_usb_argument_error(const char* file, int line, const char* function, unsigned long code,
                               const char* what)
{
    printf("E:%s:%s:%d:%s: Error (%lu): %s\n", TAG, base_name(file), line, function, code, what);
    fflush(stdout);
}

void ktr610_usb_range_error(const char* file, int line, const char* function, unsigned long code,
                            const char* name, unsigned long value, unsigned long limit)
{
    printf("E:%s:%s:%d:%s: Range Error (%lu) (%s=%lu must be <= %lu)\n", TAG, base_name(file), line, function, code,
           name, value, limit);
    fflush(stdout);
}
