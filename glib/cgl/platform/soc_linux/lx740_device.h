#ifndef LX740_DEVICE_H
#define LX740_DEVICE_H

/* How the SoC port reaches the GPU device: the system calls on its device node and the loads
 * and stores on the mapped register window. On the board these are the real calls and plain
 * volatile accesses; a build with CGL_SIMULATED_DEVICE routes all of them to the simulated
 * GPU device (sim/gpu), which answers as the driver and the GPU would. */

#include <stddef.h>
#include <stdint.h>
#include <sys/types.h>

#include "cgl_types.h"

#ifdef __cplusplus
extern "C" {
#endif

int lx740_dev_open(const char* path, int flags);
int lx740_dev_close(int fd);
int lx740_dev_fcntl(int fd, int cmd, int arg);
int lx740_dev_ioctl(int fd, unsigned long request, uintptr_t arg);
void* lx740_dev_mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset);
int lx740_dev_munmap(void* addr, size_t length);

#ifdef CGL_SIMULATED_DEVICE
word32 lx740_dev_load32(uintptr_t addr);
void lx740_dev_store32(uintptr_t addr, word32 value);
#else
static inline word32 lx740_dev_load32(uintptr_t addr)
{
    return *(volatile word32*)addr;
}
static inline void lx740_dev_store32(uintptr_t addr, word32 value)
{
    *(volatile word32*)addr = value;
}
#endif

#ifdef __cplusplus
}
#endif

#endif
