#ifndef KTR610_USB_INTERNAL_H
#define KTR610_USB_INTERNAL_H

#define KTR610_USB_BUILD
#include "ktr610_usb.h"
#include "ktr610_usb_sys.h"

/* The system calls in use: libc's, or a test's simulated device. */
const ktr610_usb_syscalls_t* ktr610_usb_sys(void);

/* Debug lines on standard output, "D:<tag>:<11-digit ms clock>:<function>: <text>". The
 * environment variable KTR610_USB_DEBUG=0 silences them; error lines ("E:") always print. */
void ktr610_usb_debug(const char* function, const char* format, ...) __attribute__((format(printf, 2, 3)));
/* A hex dump, eight bytes a line, of at most the first 320 bytes. */
void ktr610_usb_dump(const char* function, const uint8_t* data, uint32_t len);

/* "E:" lines: a failure with the clock, an argument error and a range error without it. code
 * is a status or the failing call's errno. */
void ktr610_usb_error(const char* file, int line, const char* function, unsigned long code, const char* what);
void ktr610_usb_argument_error(const char* file, int line, const char* function, unsigned long code,
                               const char* what);
void ktr610_usb_range_error(const char* file, int line, const char* function, unsigned long code,
                            const char* name, unsigned long value, unsigned long limit);

#define USB_DEBUG(...) ktr610_usb_debug(__func__, __VA_ARGS__)
#define USB_DUMP(data, len) ktr610_usb_dump(__func__, (data), (len))
#define USB_ERROR(code, what) ktr610_usb_error(__FILE__, __LINE__, __func__, (code), (what))
#define USB_ARGUMENT_ERROR(what) \
    ktr610_usb_argument_error(__FILE__, __LINE__, __func__, KTR610_E_ARGUMENT, (what))
#define USB_RANGE_ERROR(name, value, limit) \
    ktr610_usb_range_error(__FILE__, __LINE__, __func__, KTR610_E_ARGUMENT, (name), (value), (limit))

#endif
