#ifndef VG_AL_LX740_FILTER_H
#define VG_AL_LX740_FILTER_H

/* The acceleration layer's filter entries: each runs its GPU filter (which falls back to the
 * software filter itself) on an unscaled destination and returns once the GPU is idle, so the
 * destination image is complete. The result is the filter's VGErrorCode. */

#include <VG/openvg.h>

#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

int VGHAL_ALlookup(OVGimage *d, OVGimage *s, const VGubyte *r, const VGubyte *g, const VGubyte *b, const VGubyte *a,
                   int linear, int pre);
int VGHAL_ALlookupSingle(OVGimage *d, OVGimage *s, const VGuint *lut, VGImageChannel channel, int linear, int pre);
int VGHAL_ALcolorMatrix(OVGimage *d, OVGimage *s, const VGfloat *m);
int VGHAL_ALconvolve(OVGimage *d, OVGimage *s, int kw, int kh, int sx, int sy, const VGshort *kernel, VGfloat scale,
                     VGfloat bias, VGTilingMode tilingMode);
int VGHAL_ALseparableConvolve(OVGimage *d, OVGimage *s, int kw, int kh, int sx, int sy, const VGshort *kx,
                              const VGshort *ky, VGfloat scale, VGfloat bias, VGTilingMode tilingMode);
int VGHAL_ALgaussianBlur(OVGimage *d, OVGimage *s, VGfloat stdDevX, VGfloat stdDevY, VGTilingMode tilingMode);

#ifdef __cplusplus
}
#endif

#endif
