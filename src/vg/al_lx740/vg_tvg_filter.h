#ifndef VG_TVG_FILTER_H
#define VG_TVG_FILTER_H

/* The OpenVG image filters on the CPU, the fallback of the GPU filters when their work memory
 * cannot be had (the caller drains the GPU first). Each works on the intersection of the two
 * images' active rectangles anchored at their top left corners, on CPU copies of both image
 * buffers, and writes the whole destination buffer back at the end; the current context's filter
 * channel mask and filter format apply. Results: 0, VG_OUT_OF_MEMORY_ERROR (nothing written) when
 * a heap block cannot be had, or VG_ILLEGAL_ARGUMENT_ERROR (nothing written) for what OpenVG
 * never hands over: an image without a standard format in GPU memory, an active rectangle outside
 * its buffer, a missing table. */

#include <VG/openvg.h>

#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* vgLookup: each channel of the source, in the filter format, indexes its table; the results
 * are read in the output format (outputLinear, outputPremultiplied). */
int VGALFUNC_TVGmemLookup(const OVGimage *d, const OVGimage *s, const VGubyte *red, const VGubyte *green,
                          const VGubyte *blue, const VGubyte *alpha, VGboolean outputLinear,
                          VGboolean outputPremultiplied);

/* vgLookupSingle: one source channel indexes a table of RGBA8888 words (red in bits 31-24). A
 * luminance source uses its grey value and an alpha-only source its alpha, whatever `channel`
 * names. */
int VGALFUNC_TVGmemLookupSingle(const OVGimage *d, const OVGimage *s, const VGuint *lookupTable,
                                VGImageChannel channel, VGboolean outputLinear, VGboolean outputPremultiplied);

/* Test seam: the nth heap allocation of the software filters from now (1 = the next) fails; 0
 * switches it off. */
void VGALFUNC_TVGfailFilterAlloc(int nth);

#ifdef __cplusplus
}
#endif

#endif
