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

/* vgColorMatrix: each result channel is a weighted sum of the source's four channels (in the
 * filter format) plus 255 times its offset, m in column-major order, offsets at m[16..19]. */
int VGALFUNC_TVGmemColorMatrix(const OVGimage *d, const OVGimage *s, const VGfloat *matrix);

/* vgConvolve: a kw x kh kernel (column-major, kernel[i * kh + j]) over the source, shifted by
 * (sx, sy), times scale plus 255 times bias. Pixels outside the source's active rectangle come
 * from the tiling mode (VG_TILE_FILL with the context's tile fill colour, PAD, REPEAT; any other
 * value reflects). Kernel sizes 1..15 and a kernel array, else VG_ILLEGAL_ARGUMENT_ERROR. */
int VGALFUNC_TVGmemConvolve(const OVGimage *d, const OVGimage *s, VGint kernelWidth, VGint kernelHeight, VGint shiftX,
                            VGint shiftY, const VGshort *kernel, VGfloat scale, VGfloat bias, VGTilingMode tilingMode);

/* vgSeparableConvolve: the convolution with the outer product of kernelX and kernelY, as a
 * horizontal and a vertical pass. */
int VGALFUNC_TVGmemSeparableConvolve(const OVGimage *d, const OVGimage *s, VGint kernelWidth, VGint kernelHeight,
                                     VGint shiftX, VGint shiftY, const VGshort *kernelX, const VGshort *kernelY,
                                     VGfloat scale, VGfloat bias, VGTilingMode tilingMode);

/* vgGaussianBlur: normalised Gaussian kernels of 2n + 1 taps, n = 4 sigma + 1, as a horizontal
 * and a vertical pass. Deviations in (0, 16], else VG_ILLEGAL_ARGUMENT_ERROR. */
int VGALFUNC_TVGmemGaussianBlur(const OVGimage *d, const OVGimage *s, VGfloat stdDeviationX, VGfloat stdDeviationY,
                                VGTilingMode tilingMode);

/* Test seam: the nth heap allocation of the software filters from now (1 = the next) fails; 0
 * switches it off. */
void VGALFUNC_TVGfailFilterAlloc(int nth);

#ifdef __cplusplus
}
#endif

#endif
