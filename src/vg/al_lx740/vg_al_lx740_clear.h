#ifndef VG_AL_LX740_CLEAR_H
#define VG_AL_LX740_CLEAR_H

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Sets every byte of a GPU buffer of `height` rows of `stride` bytes to 0 (cval 0) or 0xFF,
 * with the pixel engine's fast clear (rows of whole 8, 16 or 32-bit views) or SPC fills (4 and
 * 1-bit views, in tiles of at most 2048 x 2048). */
void VGALFUNC_lx_clearbuffer(word32 addr, word32 stride, word32 height, word32 cval);

/* One SPC-FIFO command, followed by the terminator when the FIFO expects one. */
void VGALFUNC_lx_spc_command(const word32 *words, word32 count);
/* The SPC sync command, waited for with its interrupt. */
void VGALFUNC_lx_spc_sync(void);

/* After work that reprogrammed the pixel engine behind the drawing state: the colour-buffer and
 * basic registers, the image and the pipeline are written again before the next drawing, and
 * the given context groups too. */
void VGALFUNC_lx_mark_state_stale(word32 ctxdirty);

/* The pixel-engine state every clear starts from (multisample: LX_PE_OVG_MSAA_ENABLE = 1). */
void VGALFUNC_lx_pe_reset(int multisample);

#ifdef __cplusplus
}
#endif

#endif
