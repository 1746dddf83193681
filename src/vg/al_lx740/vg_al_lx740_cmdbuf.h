#ifndef VG_AL_LX740_CMDBUF_H
#define VG_AL_LX740_CMDBUF_H

/* The acceleration layer's command buffers: three buffers of 2048 words in GPU work memory,
 * filled in turn with command packets and handed to the GPU's command master through
 * LX_CM_ADDR and LX_CM_WCOUNT. A packet that would not fit hands the buffer over first. */

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

#define VGAL_CMDBUFFER_COUNT 3
#define VGAL_CMDBUFFER_WORDS 2048u
#define VGAL_VP_START 0xA0000000u /* runs the vertex processor from LX_VP_IADDR, no data */

extern word32 VGALVAL_lx740cmdbuffer_addr[VGAL_CMDBUFFER_COUNT];
extern int VGALVAL_lx740cmdbuffer_sel;
extern word32 VGALVAL_lx740cmdbuffer;
extern word32 *VGALVAL_lx740cmdbuffer_direct; /* GPU address + CglTxMemBase */
extern word32 VGALVAL_lx740cmdbuffer_size;
extern word32 VGALVAL_lx740cmdbuffer_count;

/* Takes the three buffers from work memory (1) or gives back what it could take (0); the layer's
 * start and end call them. */
int VGALFUNC_lx_cmdbuffer_alloc(void);
void VGALFUNC_lx_cmdbuffer_free(void);

/* Hands the current buffer to the GPU when `words` more would not fit. */
void CHECKAVAIL(word32 words);
/* Raw words: one packet, at most a whole buffer (a longer one is an assertion). */
void SETCMD(word32 word);
void SETCMDA(const word32 *words, word32 count);

/* One register of a unit: a two-word packet. */
void PEW(word32 reg, word32 value);
void XPTW(word32 reg, word32 value);
void RZW(word32 reg, word32 value);
void VPCTRLW(word32 reg, word32 value);
void VPCNSTW(word32 component, word32 value); /* constant x 4 + component */
void CFW(word32 reg, word32 value);
/* count (at most 4) floats into the components of one VP constant, one packet. */
void VPWV(word32 constant, const float *values, word32 count);
/* A run of registers of one unit (packet opcode), split into packets that fit a buffer; edge
 * unit runs never cross LX_XPT_SWAP. */
void VGALFUNC_lx_writeregs(word32 opcode, word32 first, const word32 *values, word32 count);
/* Pixel-engine table words at the position set in LX_PE_OVG_TABLE_ADDR. */
void VGALFUNC_lx_writetable(const word32 *words, word32 count);

/* Hands the current buffer to the GPU and moves to the next one, without waiting. An empty
 * buffer is not handed over. */
void RUNCME(void);
/* Hands the current buffer over with a pixel-engine sync and waits until the GPU has run it. */
void WAITCMDDONE(void);

#ifdef __cplusplus
}
#endif

#endif
