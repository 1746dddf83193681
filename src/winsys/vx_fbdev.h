#ifndef VX_FBDEV_H
#define VX_FBDEV_H

/* How the window system reaches the framebuffer device: the system calls on "/dev/fb0" and
 * its memory. Two builds answer them: the real calls on the board path (VNQ_ROOT prepended),
 * and the simulated framebuffer of sim/fb, a regular file with a sidecar describing the
 * screen. CMake's VNQ_GPU_PORT picks one for the GPU and the framebuffer alike. */

#include <stddef.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VX_FB_DEVICE "/dev/fb0"

/* The framebuffer driver's private requests. */
#define VX_FBIO_OSD_CMD 0x400476A0ul        /* OSD command record (cmd, color) */
#define VX_FBIO_GET_OSD_OFFSET 0x8004763Cul /* 32-bit byte offset of the OSD plane */
#define VX_FBIO_OSD_ENABLE 0x4004763Eul     /* no argument */
#define VX_FBIO_WAIT_VSYNC 0x40047643ul     /* returns at the next vertical sync; 4-byte argument */

/* path is a board path ("/dev/fb0"); the board root is applied by the seam. */
int vx_fb_open(const char* path, int flags);
int vx_fb_close(int fd);
int vx_fb_ioctl(int fd, unsigned long request, void* arg);
void* vx_fb_mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset);
int vx_fb_munmap(void* addr, size_t length);

#ifdef __cplusplus
}
#endif

#endif
