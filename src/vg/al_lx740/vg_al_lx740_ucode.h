#ifndef VG_AL_LX740_UCODE_H
#define VG_AL_LX740_UCODE_H

/* The vertex processor's microcode: one copy of each of the four images in GPU memory, the
 * instruction RAM switched between them by DMA, the overlay descriptors of the drawing
 * microcode and the stroke cap and join entry points. */

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Microcode modes (VGALFUNC_al_lx740_ucode_set). */
#define VGAL_UCODE_FILL 1u
#define VGAL_UCODE_STROKE 2u
#define VGAL_UCODE_IMAGE 4u
#define VGAL_UCODE_CAP_BUTT 0x10000u
#define VGAL_UCODE_CAP_ROUND 0x20000u
#define VGAL_UCODE_CAP_SQUARE 0x40000u
#define VGAL_UCODE_JOIN_MITER 0x100000u
#define VGAL_UCODE_JOIN_ROUND 0x200000u
#define VGAL_UCODE_JOIN_BEVEL 0x400000u
#define VGAL_UCODE_COLOR_MATRIX 16u
#define VGAL_UCODE_CONVOLVE 32u
#define VGAL_UCODE_SEPARABLE 64u

extern word32 ucode_path_addr, ucode_cmat_addr, ucode_conv_addr, ucode_sconv_addr;
extern word32 ucode_path_size, ucode_cmat_size, ucode_conv_size, ucode_sconv_size;
extern word32 ucode_path_static_size;
extern word32 currentucodetype;
extern int VGALVAL_resetdivparam;

int VGALFUNC_al_lx740_ucode_init(void);
void VGALFUNC_al_lx740_ucode_terminate(void);
void VGALFUNC_al_lx740_ucode_clear_mode(void);
void VGALFUNC_setpathucodeentry(void);
void VGALFUNC_al_lx740_ucode_set(word32 ucodemode);

#ifdef __cplusplus
}
#endif

#endif
