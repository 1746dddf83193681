#ifndef VG_AL_LX740_H
#define VG_AL_LX740_H

/* The acceleration layer's global state of the GPU as OpenVG sees it: one rendering-mode
 * word, the dirty words that say which GPU state must be rewritten before the next drawing, and
 * the draw-buffer selection. */

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Rendering-mode bits. */
#define VGAL_RM_MULTISAMPLE 0x80000000u

/* VGALVAL_lx740_dirty bits. */
#define VGAL_DIRTY_COLORBUFFER 0x1u
#define VGAL_DIRTY_MASKBUFFER 0x2u
#define VGAL_DIRTY_PEBASIC 0x4u

extern word32 VGALVAL_lx740renderingmode;
extern word32 VGALVAL_lx740_dirty;
extern word32 VGALVAL_lx740_ctxdirty;
extern int VGALVAL_backbuffer;
extern const void *VGALVAL_currentimage;
extern int VGALVAL_changepepipe;

/* Appends LX_XPT_SYNC_H = 0 and a colour-cache flush and hands the buffer over, without waiting. */
void VGHAL_ALflush(void);

#ifdef __cplusplus
}
#endif

#endif
