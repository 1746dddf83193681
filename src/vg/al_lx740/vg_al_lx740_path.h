#ifndef VG_AL_LX740_PATH_H
#define VG_AL_LX740_PATH_H

/* The layer's answers to the path queries, computed on the CPU with the path subdivision, the
 * same geometry for every datatype. The OpenVG layer has checked the handle, the capabilities,
 * the segment range and the output pointers. */

#include <VG/openvg.h>

#include "vg/common/vg_path.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The box around the path's filled outline in user space, also kept in the path's bbox;
 * (0, 0, -1, -1) for a path without geometry. Null outputs are skipped. 0, or
 * VG_OUT_OF_MEMORY_ERROR (outputs untouched) when the subdivision fails. */
VGErrorCode VGHAL_ALpathBounds(OVGpath *path, VGfloat *minX, VGfloat *minY, VGfloat *width,
                               VGfloat *height);
/* The box around the four corners of the user-space box taken through the affine part of the
 * path-user-to-surface matrix of the layer's context (the identity when none is bound);
 * (0, 0, -1, -1) for a path without geometry.
 * The user-space box is kept in the path's bbox. Null outputs are skipped; the same results. */
VGErrorCode VGHAL_ALpathTransformedBounds(OVGpath *path, VGfloat *minX, VGfloat *minY,
                                          VGfloat *width, VGfloat *height);
/* The length of segments start to start + num - 1. */
VGfloat VGHAL_ALpathLength(OVGpath *path, VGint start, VGint num);
/* The point and unit tangent at distance along segments start to start + num - 1; the point is
 * written when x and y are both given, the tangent when tx and ty are. */
void VGHAL_ALpointAlongPath(OVGpath *path, VGint start, VGint num, VGfloat distance, VGfloat *x,
                            VGfloat *y, VGfloat *tx, VGfloat *ty);

#ifdef __cplusplus
}
#endif

#endif
