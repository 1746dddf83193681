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

/* The pixel-engine state every clear starts from (multisample: LX_PE_OVG_MSAA_ENABLE = 1). */
void VGALFUNC_lx_pe_reset(int multisample);

/* Points the pixel engine's colour buffer at addr with a format word: the CBUF2 register pair
 * when multisampling, else CBUF1 or CBUF0 by the back buffer. */
void VGALFUNC_lx_point_colour_buffer(word32 addr, word32 format);

/* One SPC-FIFO command, followed by the terminator when the FIFO expects one. */
void VGALFUNC_lx_spc_command(const word32 *words, word32 count);
/* Waits until every SPC command sent so far is done (the SPC sync with its interrupt). */
void VGALFUNC_lx_spc_sync(void);

#ifdef __cplusplus
}
#endif

#endif
