/* The OpenVG library's image operations for pbuffers made from OpenVG images. Each answers 0
 * on success or an OpenVG image status code: 16 no image of the context, 32 bound to EGL,
 * 64 a child image, 128 in use, 256 no GPU buffer. */
#ifndef EGL_PORTING_VGIMAGE_H
#define EGL_PORTING_VGIMAGE_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

int vgIsImage(void *ctx, VGImage buffer);
int vgIsMatchImage(void *ctx, VGImage buffer, int r, int g, int b, int a, int l, int *order);
int vgGetVGImage(void *ctx, VGImage buffer, int *w, int *h, int *sw, int *sh, int *l, int *a, VGuint *addr,
                 int *order);
int vgBindVGImage(void *ctx, VGImage buffer, VGuint *pbuf, int pstride, VGuint *sbuf, int sstride);
int vgUnbindVGImage(void *ctx, VGImage buffer, VGuint *pbuf, int pstride, VGuint *sbuf, int sstride);
void vgReleaseVGImage(VGImage buffer, VGuint *addr);

#ifdef __cplusplus
}
#endif

#endif
