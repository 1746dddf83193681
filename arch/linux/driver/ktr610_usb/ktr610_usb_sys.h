#ifndef KTR610_USB_SYS_H
#define KTR610_USB_SYS_H

/* The system calls of libktr610_usb, for tests only: no usbdevfs device exists off the board,
 * so a test installs a simulated device in their place. Programs never include this header. */

#include <stddef.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ktr610_usb_syscalls {
    int (*open)(const char* path, int flags);
    ssize_t (*read)(int fd, void* buffer, size_t count);
    int (*close)(int fd);
    /* USBDEVFS_BULK, USBDEVFS_CLEAR_HALT and USBDEVFS_RESET. */
    int (*ioctl)(int fd, unsigned long request, void* argument);
} ktr610_usb_syscalls_t;

/* Routes the library's system calls through table (kept, not copied); NULL restores libc. */
__attribute__((visibility("default"))) void ktr610_usb_set_syscalls(const ktr610_usb_syscalls_t* table);

#ifdef __cplusplus
}
#endif

#endif
