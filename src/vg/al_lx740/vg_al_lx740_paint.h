#ifndef VG_AL_LX740_PAINT_H
#define VG_AL_LX740_PAINT_H

/* Paint and image state: a paint (colour, gradient or pattern) as rasterizer, vertex-processor
 * and pixel-engine state, with texture unit 0 carrying a pattern, and the image being drawn as
 * texture unit 1. */

#include "cgl.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_paint.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The entry of the drawing microcode that turns paint parameters into rasterizer planes. */
#define VGAL_VP_PAINT_ENTRY 49u

/* The last paint written; the reduced validation re-sends only its VP part. */
extern const OVGpaint *prevpaint;
/* The VP input of the paint program: a linear gradient's four words or a pattern's two. */
extern float setrzparam_save[4];
/* Radial cx, cy, fx, fy, r with the focus pulled inside the circle. */
extern float setrzparam_save_rg[5];
/* Which paint-matrix set the paint program uses: 0 fill, 8192 stroke, 16384 image. */
extern word32 VGALVAL_setrzmtx;
/* Texture-shape thresholds of 32-bit and YUV textures, and of 16-bit ones. */
extern const float VGALVAL_txc_shape_th_32bit[4];
extern const float VGALVAL_txc_shape_th_16bit[4];

/* Always 0; a null paint is drawn as opaque black. */
int lx_paint(const OVGpaint *pnt);
void lx_paint_minimum(void);
/* Texture unit 1 for drawing img; lerp selects filtered sampling. Always 0. */
int lx_image(const OVGimage *img, int lerp);
/* The radial-gradient table from (cx, cy, fx, fy, r). */
void GenRZTable(const float rgrad[5]);
/* A colour packed RGBA8888; pre premultiplies, ct says the colour transform was applied here. */
word32 PaintColor(const OVGcolor *c, int pre, int ct);
/* The threshold table for textures of the image's format and depth. */
const float *VGALFUNC_txc_shape_th(const OVGimage *img);

#ifdef __cplusplus
}
#endif

#endif
