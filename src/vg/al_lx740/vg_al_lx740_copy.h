#ifndef VG_AL_LX740_COPY_H
#define VG_AL_LX740_COPY_H

/* Rectangle copies between GPU buffers by the GPU's three copying units: the pixel engine's copy
 * engine (raw block copies of one pixel size, through copy-area entries), the SPC pixel-copy
 * unit (copies that convert formats, premultiply, convert gamma or mirror rows) and the
 * rasteriser (a textured rectangle, for the OpenVG tiling modes). The caller fills the transfer
 * descriptor and picks the variant; each variant clips to both buffers first and does nothing
 * when nothing is left. The copy-engine and SPC variants return with their unit finished (the
 * SPC ones leave a colour-cache flush queued); the rasteriser variant only queues its work.
 * None is re-entrant: the working state below belongs to the copy in progress. */

#include "cgl.h"
#include "vg/common/vg_context.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The copy in progress: source start, destination start and size after clipping. */
typedef struct VGALcopywork {
    int rsx, rsy, rdx, rdy, rw, rh;
} VGALcopywork;
extern VGALcopywork VGALVAL_copywork;

/* The pixel engine's conversion choices of a copy (ChooseFormat). */
typedef struct VGALcopyconversion {
    word32 clamp2a, gammaen, rgb2l, preunpre;
} VGALcopyconversion;
extern VGALcopyconversion VGALVAL_copyconversion;

/* Clips rect (source coordinates) placed at (dx, dy) into VGALVAL_copywork; 1 when nothing is
 * left. Image offsets are not added. */
int CheckRegion(int dx, int dy, const OVGrect *rect);
/* The pixel engine's conversion choices for the descriptor's two formats. */
void ChooseFormat(void);
/* Puts the pixel engine into copy state with texture unit 1 as the source. */
void CopyInit(void);

/* Copy engine: two different buffers of one pixel size; one buffer, overlap allowed (samples
 * of a multisampled surface when VGALVAL_dst_scale_x is set); a whole buffer line by line as
 * stored; a multisampled surface through the scissor rectangles. */
void VGALFUNC_lx_copy_ce(int dx, int dy, const OVGrect *rect);
void VGALFUNC_lx_copy_ce_sameregion(int dx, int dy, const OVGrect *rect);
void VGALFUNC_lx_copy_ce_simple(word32 dst, word32 src, int bits, int linebytes, int rows);
void VGALFUNC_lx_copy_ce_scale_scissor(int dx, int dy, const OVGrect *rect);

/* SPC: a converting copy of any destination size; onto the surface through the scissor
 * rectangles; onto a multisampled surface; both; one line at a time for destinations whose
 * line length the colour-buffer format cannot hold. */
void VGALFUNC_lx_copy_spc(int dx, int dy, const OVGrect *rect);
void VGALFUNC_lx_copy_spc_scissor(int dx, int dy, const OVGrect *rect);
void VGALFUNC_lx_copy_spc_scale(int dx, int dy, const OVGrect *rect);
void VGALFUNC_lx_copy_spc_scale_scissor(int dx, int dy, const OVGrect *rect);
void VGALFUNC_lx_copy_spc_line_by_line(int dx, int dy, const OVGrect *rect);

/* Rasteriser: fills width x height of the destination from the source image, its pixel (sx, sy)
 * at the destination's origin, with an OpenVG tiling mode. The caller flushes. */
void VGALFUNC_lx_copy_xpt(int width, int height, int sx, int sy, int tiling);

/* Shared by the copies and the mask copies: waits for the SPC, flushes the colour cache and
 * marks the drawing state stale for the next drawing. */
void VGALFUNC_lx_spc_copy_end(word32 ctxdirty);

#ifdef __cplusplus
}
#endif

#endif
