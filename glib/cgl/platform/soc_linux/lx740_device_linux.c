/* The board's GPU device: the kernel driver behind /dev/tolvek. */
#include "lx740_device.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "vnq_boardroot.h"

int lx740_dev_open(const char* path, int flags)
{
    char file[256];
    if (!vnq_board_path(file, sizeof file, path))
        return -1;
    return open(file, flags);
}

int lx740_dev_close(int fd)
{
    return close(fd);
}

int lx740_dev_fcntl(int fd, int cmd, int arg)
{
    return fcntl(fd, cmd, arg);
}

int lx740_dev_ioctl(int fd, unsigned long request, uintptr_t arg)
{
    return ioctl(fd, request, arg);
}

void* lx740_dev_mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset)
{
    return mmap(addr, length, prot, flags, fd, offset);
}

int lx740_dev_munmap(void* addr, size_t length)
{
    return munmap(addr, length);
}
