/* How the EGL porting layer drives the OpenVG library: start and stop it, create, bind, swap
 * and delete contexts. A context is handed around as an opaque pointer (its OVGcontext record).
 * Not part of the public OpenVG interface. */
#ifndef OVG_VG_COMMON_VG_LIFECYCLE_H
#define OVG_VG_COMMON_VG_LIFECYCLE_H

#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Brings the acceleration layer up once; non-zero when it is up. */
int vgInit(void);
/* Takes the acceleration layer down; non-zero on success (then no context is current). */
int vgTerminate(void);
/* A new context sharing objects with share (or null); null when the library is not up or
 * memory runs out. */
void *vgCreateContext(void *share);
/* Waits for the GPU first when ctx is current; null does nothing. */
void vgDeleteContext(void *ctx);
/* Makes ctx current drawing into draw; 1 on success. ctx, draw and read all null releases
 * the current context (and returns 0). */
int vgMakeCurrent(void *ctx, ALsurface *draw, ALsurface *read);
/* Exchanges the colour and front buffers of the current context's surface. */
void vgSwapBuffers(void *ctx);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_LIFECYCLE_H */
