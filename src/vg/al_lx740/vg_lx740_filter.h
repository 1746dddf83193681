#ifndef VG_LX740_FILTER_H
#define VG_LX740_FILTER_H

/* The OpenVG image filters on the GPU. Each works on the intersection of the two images' active
 * rectangles anchored at their top left corners, in tiles: a normalise copy of the source tile
 * into a 32-bit work buffer (the context's filter format), the filter pass into a second work
 * buffer, and a store copy into the destination that writes only the channels of the context's
 * filter channel mask. When the work buffers cannot be had, the GPU is drained and the software
 * filter runs instead (a source in an extension format then gives VG_OUT_OF_MEMORY_ERROR).
 * Results: 0, VG_OUT_OF_MEMORY_ERROR, or what the software filter returns. */

#include <VG/openvg.h>

#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The PE table position the lookups load their 256-word table at. */
#define VGAL_LOOKUP_TABLE_POSITION 0x10100u

/* Four 256-entry tables; the results are read in the format linear and pre name. */
int VGALFUNC_lx_lookup(OVGimage *d, OVGimage *s, const VGubyte *red, const VGubyte *gre, const VGubyte *blu,
                       const VGubyte *alp, int linear, int pre);
/* One table of RGBA8888 words (red in bits 31-24) indexed by one source channel; a luminance
 * source indexes with its grey value and an alpha-only source with its alpha, whatever channel
 * names. */
int VGALFUNC_lx_lookup_single(OVGimage *d, OVGimage *s, const VGuint *lut, VGImageChannel channel, int linear,
                              int pre);

#ifdef __cplusplus
}
#endif

#endif
