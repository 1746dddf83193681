#ifndef VG_AL_LX740_REGION_H
#define VG_AL_LX740_REGION_H

/* Clipping of one rectangle copy to the usable areas of the transfer descriptor's source and
 * destination, shared by the software copy and the GPU copy engines. */

#include "vg/common/vg_context.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A clipped copy: source and destination starts inside the usable areas, and the size. */
typedef struct VGALregion {
    long long sx, sy, dx, dy, w, h;
} VGALregion;

/* Clips r (source coordinates) placed at (dx, dy) to both usable areas, in 64 bits so that
 * rectangles at the ends of the 32-bit range clip instead of wrapping. 1 when pixels are left,
 * 0 when nothing is. */
int VGALFUNC_clip_region(int dx, int dy, const OVGrect *r, VGALregion *c);

#ifdef __cplusplus
}
#endif

#endif
