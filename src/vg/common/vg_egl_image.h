/* How the EGL porting layer uses an OpenVG image as a client buffer (a pbuffer made from an
 * image). ctx is the OVGcontext pointer as an opaque value, buffer the image handle. Not part
 * of the public OpenVG interface. */
#ifndef OVG_VG_COMMON_VG_EGL_IMAGE_H
#define OVG_VG_COMMON_VG_EGL_IMAGE_H

#include <VG/openvg.h>

#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The answer for a handle that is no image of ctx's table. */
#define OVG_EGL_IMAGE_NOT_AN_IMAGE 16

/* 0 when buffer is an image of ctx's table made by vgCreateImage, else 16. */
int vgIsImage(void *ctx, VGImage buffer);
/* 0 when the channel sizes match the image's format (order gets its channel order), else
 * non-zero. */
int vgIsMatchImage(void *ctx, VGImage buffer, VGint r, VGint g, VGint b, VGint a, VGint l, VGint *order);
/* Reports the image's buffer and marks it bound; 0, or why it cannot be bound. */
int vgGetVGImage(void *ctx, VGImage buffer, VGint *w, VGint *h, VGint *sw, VGint *sh, VGint *l, VGint *a,
                 VGuint *addr, VGint *order);
/* Makes the image a render target and copies it into the surface buffer; 0 on success. */
int vgBindVGImage(void *ctx, VGImage buffer, ALbuffer *pbuf, VGint pstride, ALbuffer *sbuf, VGint sstride);
/* Copies the surface buffer back into the image and ends the render-target binding. */
void vgUnbindVGImage(void *ctx, VGImage buffer, ALbuffer *pbuf, VGint pstride, ALbuffer *sbuf, VGint sstride);
/* Ends EGL's hold on the image (deleting it when it was destroyed meanwhile). */
void vgReleaseVGImage(VGImage buffer, ALbuffer *addr);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_EGL_IMAGE_H */
