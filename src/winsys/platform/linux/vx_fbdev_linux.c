/* The board's framebuffer device: the real system calls on the board path. */
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "vnq_boardroot.h"
#include "vx_fbdev.h"

int vx_fb_open(const char* path, int flags)
{
    char real[PATH_MAX];
    if (!vnq_board_path(real, sizeof real, path)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return open(real, flags);
}

int vx_fb_close(int fd)
{
    return close(fd);
}

int vx_fb_ioctl(int fd, unsigned long request, void* arg)
{
    return ioctl(fd, request, arg);
}

void* vx_fb_mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset)
{
    return mmap(addr, length, prot, flags, fd, offset);
}

int vx_fb_munmap(void* addr, size_t length)
{
    return munmap(addr, length);
}
