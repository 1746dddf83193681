#ifndef VG_AL_LX740_DRAW_H
#define VG_AL_LX740_DRAW_H

/* The path-drawing module's start and end: the work array for a path's coordinates; and the
 * drawing of an image. */

#include <VG/openvg.h>

#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

extern float *coordbuffer;
extern int coordbuffersize; /* capacity in floats */

void VGALFUNC_al_lx740_draw_init(void);
void VGALFUNC_al_lx740_draw_terminate(void);

/* Draws image through the image-user-to-surface matrix with the context's state; 0 or
 * VG_OUT_OF_MEMORY_ERROR. For now it draws nothing and answers 0. */
VGErrorCode VGHAL_ALdrawImage(OVGimage *image);

#ifdef __cplusplus
}
#endif

#endif
