#ifndef VG_AL_LX740_RECT_H
#define VG_AL_LX740_RECT_H

/* Work memory of the acceleration layer: every GPU buffer it uses is taken with
 * VGALFUNC_VAlloc and given back with VGALFUNC_VFree, which only queues the block; queued blocks
 * are released after a synchronisation has found the GPU idle, so no command buffer already
 * handed over refers to freed memory. */

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

#define VGAL_FREELIST_SIZE 256

extern word32 VGALVAL_freelist[VGAL_FREELIST_SIZE];
extern int VGALVAL_freelistcount;

int VGALFUNC_al_lx740_rect_init(void);
void VGALFUNC_al_lx740_rect_terminate(void);
/* width x height pixels of bpp bits, aligned to `align` bytes; clear fills it with 0 (cval 0)
 * or 0xFF bytes (rows rounded up to 8 pixels); tx adds the padding the texture unit reads past
 * an image. Returns the GPU address or CGL_NO_ADDRESS. */
word32 VGALFUNC_VAlloc(int width, int height, int bpp, int align, int clear, int cval, int tx);
void VGALFUNC_VFree(word32 addr);
/* check: synchronise with the GPU first (skipped while there are no command buffers). */
void VGALFUNC_al_lx740_free_all_list(int check);

/* The texture padding VGALFUNC_VAlloc adds for a w x height image of bpp bits. */
unsigned long long VGALFUNC_lx_texture_padding(unsigned long long w, unsigned long long height, int bpp);

#ifdef __cplusplus
}
#endif

#endif
