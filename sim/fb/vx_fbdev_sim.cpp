// The window system's framebuffer calls, answered by the simulated framebuffer.
#include "simfb.h"
#include "vx_fbdev.h"

extern "C" {

int vx_fb_open(const char* path, int flags)
{
    return simfb::device().devOpen(path, flags);
}

int vx_fb_close(int fd)
{
    return simfb::device().devClose(fd);
}

int vx_fb_ioctl(int fd, unsigned long request, void* arg)
{
    return simfb::device().devIoctl(fd, request, arg);
}

void* vx_fb_mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset)
{
    return simfb::device().devMmap(addr, length, prot, flags, fd, static_cast<long>(offset));
}

int vx_fb_munmap(void* addr, size_t length)
{
    return simfb::device().devMunmap(addr, length);
}
}
