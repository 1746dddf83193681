#ifndef VG_AL_LX740_MASK_H
#define VG_AL_LX740_MASK_H

/* The mask entries: an image or mask layer combined into the surface's mask buffer, a path's
 * fill or stroke rendered into it, the mask buffer copied into a mask layer and a mask layer
 * filled with one coverage value. Each returns the error to record (0 when done or when there
 * was nothing to do); without a mask buffer on the surface every one does nothing. */

#include <VG/openvg.h>

#include "vg/common/vg_context.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_path.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Clear and fill set the rectangle (x, y, w, h) of the mask to 0 or full; set, union, intersect
 * and subtract combine img (an image or a mask layer, its first w x h pixels) into it there. */
VGErrorCode VGHAL_ALmask(const OVGimage *img, VGMaskOperation op, VGint x, VGint y, VGint w, VGint h);
/* Renders the fill (VG_FILL_PATH) and the stroke (VG_STROKE_PATH) of path into the mask with
 * op; VG_ILLEGAL_ARGUMENT_ERROR for an operation that is no mask operation. */
VGErrorCode VGHAL_ALrenderToMask(OVGpath *path, VGbitfield paintModes, VGMaskOperation op);
/* Copies the mask rectangle r to (dx, dy) of the mask layer, clipped to both. */
VGErrorCode VGHAL_ALcopyMask(const OVGimage *layer, VGint dx, VGint dy, const OVGrect *r);
/* Sets the rectangle r of the mask layer (clipped to it) to the coverage value (0 to 1). */
VGErrorCode VGHAL_ALfillMaskLayer(const OVGimage *layer, const OVGrect *r, VGfloat value);

#ifdef __cplusplus
}
#endif

#endif
