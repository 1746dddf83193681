#ifndef VG_AL_LX740_CLEAR_H
#define VG_AL_LX740_CLEAR_H

#include "cgl.h"
#include "vg/common/vg_color.h"
#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A clear rectangle: inclusive columns l..r and rows t..b (t <= b). On a flipped buffer rows
 * count upward from the bottom one. */
typedef struct BBOXINFO {
    word32 l, r, t, b;
} BBOXINFO;

/* The value and the RGBA8888 colour (R in bits 31-24) a clear of a buffer of GPU format `code`
 * stores for 8-bit channels; 4444 codes take the high nibbles. Codes with no layout give 0. */
typedef struct VGALclearvalues {
    word32 native, rgba;
} VGALclearvalues;
VGALclearvalues VGALFUNC_lx_clear_values(word32 code, word32 r, word32 g, word32 b, word32 a, int premultiplied);
/* A clear colour brought into a target's colour space (linear, luminance) and premultiplied. */
OVGcolor VGALFUNC_lx_target_colour(const OVGcolor *c, int linear, int luminance, int premultiplied);

/* Clears a rectangle of the current surface to the context's clear colour. */
void VGALFUNC_lx_clearsurface(const BBOXINFO *bbox);
/* Clears a rectangle of an image buffer of the given format to col; nothing for a null buffer. */
void VGALFUNC_lx_clearimage(const ALbuffer *buf, VGImageFormat format, const BBOXINFO *bbox, const OVGcolor *col);

/* The pixel engine's fast clear: the native value `col` into the box of the colour buffer
 * registered now (mode: flipped, rows counted from buf_height; msaa: four samples a pixel). */
void VGALFUNC_lx_fastclear(const BBOXINFO *bb, word32 col, int mode, word32 buf_height, int msaa);
/* The rasterizer's rectangle fill with an RGBA8888 colour, through the rasterizer scissor when
 * `scissor` is set. */
void VGALFUNC_lx_slowclear(const BBOXINFO *bb, word32 color, int mode, word32 buf_height, int scissor, int msaa);

/* Sets every byte of a GPU buffer of `height` rows of `stride` bytes to 0 (cval 0) or 0xFF,
 * with the pixel engine's fast clear (rows of whole 8, 16 or 32-bit views) or SPC fills (4 and
 * 1-bit views, in tiles of at most 2048 x 2048). */
void VGALFUNC_lx_clearbuffer(word32 addr, word32 stride, word32 height, word32 cval);

/* The pixel-engine state every clear starts from (multisample: LX_PE_OVG_MSAA_ENABLE = 1). */
void VGALFUNC_lx_pe_reset(int multisample);

/* Points the pixel engine's colour buffer at addr with a format word: the CBUF2 register pair
 * when multisampling, else CBUF1 or CBUF0 by the back buffer. */
void VGALFUNC_lx_point_colour_buffer(word32 addr, word32 format);
void VGALFUNC_lx_colour_buffer_registers(word32 *addr_reg, word32 *fmt_reg);

/* Raster fills of a box of a 1- or 4-bit buffer in tiles that end at 2048-pixel boundaries,
 * each addressed from its tile's origin; a box inside the first tile goes as one fill into the
 * registered buffer when untargeted_single is set. */
void VGALFUNC_lx_raster_fill_box(word32 addr, word32 stride, word32 bpp, const BBOXINFO *box, word32 colour,
                                 int untargeted_single);
/* After work that reprogrammed the pixel engine behind the drawing state (a clear, a copy): the
 * colour-buffer and basic PE state, these context bits, the image and the pipeline are to be
 * rewritten before the next drawing. */
void VGALFUNC_lx_mark_state_stale(word32 ctxdirty);
/* The same, with the mask-buffer state too: for writers that pointed the PE at another buffer. */
void VGALFUNC_lx_after_target_change(word32 ctxdirty);

/* One SPC-FIFO command, followed by the terminator when the FIFO expects one. */
void VGALFUNC_lx_spc_command(const word32 *words, word32 count);
/* Waits until every SPC command sent so far is done (the SPC sync with its interrupt). */
void VGALFUNC_lx_spc_sync(void);

#ifdef __cplusplus
}
#endif

#endif
