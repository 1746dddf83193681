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

/* The four below refuse with VG_ILLEGAL_ARGUMENT_ERROR what OpenVG never hands over: a missing
 * matrix or kernel, kernel sizes outside 1..15, deviations outside (0, 16]. */
/* 20 floats: each result channel is a weighted sum of the four source channels plus 255 times
 * its offset (m in column-major order, offsets at m[16..19]). */
int VGALFUNC_lx_color_matrix(OVGimage *d, OVGimage *s, const VGfloat *m);
/* A kw x kh kernel of 16-bit taps (column by column, kernel[i * kh + j]) over the source shifted
 * by (sx, sy), times scale plus 255 times bias; pixels outside the source come from the tiling
 * mode. */
int VGALFUNC_lx_convolve(OVGimage *d, OVGimage *s, int kw, int kh, int sx, int sy, const VGshort *kernel,
                         VGfloat scale, VGfloat bias, VGTilingMode tilingMode);
/* The convolution with the outer product of kx (kw taps) and ky (kh taps). */
int VGALFUNC_lx_separable_convolve(OVGimage *d, OVGimage *s, int kw, int kh, int sx, int sy, const VGshort *kx,
                                   const VGshort *ky, VGfloat scale, VGfloat bias, VGTilingMode tilingMode);
/* Normalised Gaussian kernels of 2 n + 1 taps, n = 4 sigma + 1, as a separable convolution;
 * VG_OUT_OF_MEMORY_ERROR at once when the kernel array cannot be had. */
int VGALFUNC_lx_gaussian_blur(OVGimage *d, OVGimage *s, VGfloat stdDevX, VGfloat stdDevY, VGTilingMode tilingMode);

/* 1 when the last Gaussian blur had equal deviations and the two passes share one kernel; 0
 * after any other Gaussian blur or separable convolution. */
extern int gaussian_same_dev;

#ifdef __cplusplus
}
#endif

#endif
