#ifndef VG_AL_LX740_VGIMAGE_H
#define VG_AL_LX740_VGIMAGE_H

/* An OpenVG image lent to EGL as the colour buffer of a pbuffer: its description for EGL, and
 * the GPU copies of its pixels into the surface's buffer at binding and back at unbinding. */

#include <VG/openvg.h>

#include "cgl.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_share.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Size, row length rounded up to 8 pixels, EGL colour space and alpha format, GPU address;
 * returns 0. */
int VGHAL_ALgetVGImage(const OVGimage *img, VGint *w, VGint *h, VGint *sw, VGint *sh, VGint *l, VGint *a,
                       VGuint *addr);
void VGHAL_ALreleaseVGImage(const OVGimage *img, VGuint addr);
/* sbuf holds the surface buffer's GPU address (all ones: nothing to copy); pbuf and pstride are
 * not used. */
void VGHAL_ALbindVGImage(OVGcontext *context, const OVGimage *img, VGuint *pbuf, VGint pstride, VGuint *sbuf,
                         VGint sstride);
void VGHAL_ALunbindVGImage(OVGcontext *context, const OVGimage *img, VGuint *pbuf, VGint pstride, VGuint *sbuf,
                           VGint sstride);

/* A width x height copy on the GPU between an image buffer and a surface buffer, whose rows
 * count four samples a pixel: sample 0 fills the surface buffer dst from the image src with a
 * textured raster fill, sample 1 copies the surface buffer src into the image dst with the copy
 * engine. Strides in bytes, bpp of the image's format. */
void CopyScaleRect(word32 dst, int dstride, word32 src, int sstride, int width, int height, VGImageFormat format,
                   int bpp, int sample);

#ifdef __cplusplus
}
#endif

#endif
