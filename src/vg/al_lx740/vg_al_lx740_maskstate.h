#ifndef VG_AL_LX740_MASKSTATE_H
#define VG_AL_LX740_MASKSTATE_H

/* The mask side of the pixel engine: the mask buffer (or a mask layer) becomes the colour
 * buffer and coverage is blended into it with one alpha blend step per mask operation. Each
 * writer marks what it touched dirty, so the next drawing restores the colour-buffer state. */

#include <VG/openvg.h>

#include "cgl.h"
#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Makes buf (the surface's mask buffer when null) the colour buffer for clears and fills;
 * force takes the 1-bit view and, when multisampling, leaves the colour-buffer registers. */
void VGALFUNC_lx_setstate_mask(const ALbuffer *buf, int force);
/* Pixel-engine set-up for rendering a path into the surface's mask buffer. */
void VGALFUNC_lx_setstate_render_to_mask_a2(VGMaskOperation op);
/* Microcode and XPT mode for that rendering: mode 0 fill, 1 stroke. */
void VGALFUNC_lx_setstate_render_to_mask_b(int mode, VGMaskOperation op);
/* Combines the rectangle (sx, sy, w, h) of an image (its buffer and format) into the mask buffer
 * at (dx, dy); the caller has made the mask buffer the colour buffer. Returns 0. */
int VGALFUNC_lx_drawmask(int dx, int dy, int sx, int sy, int w, int h, const ALbuffer *img, VGImageFormat format,
                         VGMaskOperation op);
/* Copies the rectangle (sx, sy, w, h) of the mask buffer to (dx, dy) of the mask layer dst. */
void VGALFUNC_lx_copymask(const ALbuffer *dst, int dx, int dy, int sx, int sy, int w, int h);

/* LX_PE_OVG_BLEN_EN = 1 and the alpha blend steps of a mask operation. */
void VGALFUNC_lx_mask_blend(VGMaskOperation op);

#ifdef __cplusplus
}
#endif

#endif
