/* How the EGL porting layer uses an OpenVG image as a client buffer (a pbuffer made from an
 * image). ctx is the OVGcontext pointer as an opaque value, buffer the image handle; the
 * surface buffers are passed as the addresses of their GPU-address words. Not part of the
 * public OpenVG interface. */
#ifndef OVG_VG_COMMON_VG_EGL_IMAGE_H
#define OVG_VG_COMMON_VG_EGL_IMAGE_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The answers, in the order vgGetVGImage tests them. */
#define OVG_EGL_IMAGE_NOT_AN_IMAGE 16
#define OVG_EGL_IMAGE_BOUND 32
#define OVG_EGL_IMAGE_CHILD 64
#define OVG_EGL_IMAGE_IN_USE 128
#define OVG_EGL_IMAGE_FAILED 256

/* 0 when buffer is an image of ctx's table and not a vendor image, else 16. */
int vgIsImage(void *ctx, VGImage buffer);
/* 0 when the channel sizes are exactly those of the image's format, else 1 (16 for no image);
 * order gets the format's channel order (0 RGBA, 1 ARGB, 2 BGRA, 3 ABGR). */
int vgIsMatchImage(void *ctx, VGImage buffer, VGint r, VGint g, VGint b, VGint a, VGint l, VGint *order);
/* Reports the image's buffer and marks it bound: 0, or 16 no image, 32 already bound, 64 a
 * child, 128 held by something, 256 the layer could not describe it. */
int vgGetVGImage(void *ctx, VGImage buffer, VGint *w, VGint *h, VGint *sw, VGint *sh, VGint *l, VGint *a,
                 VGuint *addr, VGint *order);
/* Makes the image a render target and copies it into the surface buffer whose address sbuf
 * holds; 0 on success, 128 when something holds the image (16 for no image). */
int vgBindVGImage(void *ctx, VGImage buffer, VGuint *pbuf, VGint pstride, VGuint *sbuf, VGint sstride);
/* Copies the surface buffer back into the image and ends the render-target binding. */
void vgUnbindVGImage(void *ctx, VGImage buffer, VGuint *pbuf, VGint pstride, VGuint *sbuf, VGint sstride);
/* Ends EGL's hold on the image (deleting it when it was destroyed meanwhile); addr holds the
 * address of the pbuffer's colour buffer. buffer need not be a handle any more. */
void vgReleaseVGImage(VGImage buffer, VGuint *addr);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_EGL_IMAGE_H */
