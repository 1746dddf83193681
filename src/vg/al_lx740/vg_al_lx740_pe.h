#ifndef VG_AL_LX740_PE_H
#define VG_AL_LX740_PE_H

/* The pixel-engine state writers: each turns the current surface and context state into PE
 * register writes in the command buffer. */

#ifdef __cplusplus
extern "C" {
#endif

#define VGAL_BLEND_UNIT_OPENVG 0x40005100u

#include "cgl.h"

void lx_colorbuffer(void);
/* The colour clamp and premultiplication of the PE output for the surface's alpha format. */
void lx_colorclamp(void);
void lx_maskbuffer(void);
void lx_amu(void);
void lx_pebasic(void);
void lx_blu(void);
void lx_pepipe(void);
/* Runs copy-area entry 0 on the copy engine and waits until it is done. */
void VGALFUNC_lx_copy_area(const word32 entry[4]);
/* Resolves the multisample buffer into the colour buffer with the copy engine. */
void VGALFUNC_lx_fsaa(void);

#ifdef __cplusplus
}
#endif

#endif
