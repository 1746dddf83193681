#ifndef VG_AL_LX740_PE_H
#define VG_AL_LX740_PE_H

/* The pixel-engine state writers: each turns the current surface and context state into PE
 * register writes in the command buffer. */

#ifdef __cplusplus
extern "C" {
#endif

#define VGAL_BLEND_UNIT_OPENVG 0x40005100u

void lx_colorbuffer(void);
void lx_maskbuffer(void);
void lx_amu(void);
void lx_pebasic(void);
void lx_blu(void);
void lx_pepipe(void);
/* Resolves the multisample buffer into the colour buffer with the copy engine. */
void VGALFUNC_lx_fsaa(void);

#ifdef __cplusplus
}
#endif

#endif
