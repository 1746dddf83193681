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

#ifdef __cplusplus
}
#endif

#endif
