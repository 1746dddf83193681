// The port's device calls, answered by the simulated GPU.
#include "lx740_device.h"
#include "simgpu.h"

extern "C" {

int lx740_dev_open(const char* path, int flags)
{
    return simgpu::device().devOpen(path, flags);
}

int lx740_dev_close(int fd)
{
    return simgpu::device().devClose(fd);
}

int lx740_dev_fcntl(int fd, int cmd, int arg)
{
    return simgpu::device().devFcntl(fd, cmd, arg);
}

int lx740_dev_ioctl(int fd, unsigned long request, uintptr_t arg)
{
    return simgpu::device().devIoctl(fd, request, arg);
}

void* lx740_dev_mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset)
{
    (void)addr;
    (void)prot;
    (void)flags;
    return simgpu::device().devMmap(length, fd, static_cast<uint64_t>(offset));
}

int lx740_dev_munmap(void* addr, size_t length)
{
    return simgpu::device().devMunmap(addr, length);
}

word32 lx740_dev_load32(uintptr_t addr)
{
    return simgpu::device().load32(addr);
}

void lx740_dev_store32(uintptr_t addr, word32 value)
{
    simgpu::device().store32(addr, value);
}

}
