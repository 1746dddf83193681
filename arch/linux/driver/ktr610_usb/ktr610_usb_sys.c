#include "ktr610_usb_internal.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

static int libc_open(const char* path, int flags)
{
    return open(path, flags);
}

static int libc_ioctl(int fd, unsigned long request, void* argument)
{
    return ioctl(fd, request, argument);
}

static const ktr610_usb_syscalls_t libc_syscalls = { libc_open, read, close, libc_ioctl };

static const ktr610_usb_syscalls_t* current = &libc_syscalls;

void ktr610_usb_set_syscalls(const ktr610_usb_syscalls_t* table)
{
    current = table != NULL ? table : &libc_syscalls;
}

const ktr610_usb_syscalls_t* ktr610_usb_sys(void)
{
    return current;
}
