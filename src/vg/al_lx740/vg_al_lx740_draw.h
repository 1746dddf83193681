#ifndef VG_AL_LX740_DRAW_H
#define VG_AL_LX740_DRAW_H

/* The path-drawing module's start and end: the work array for a path's coordinates. */

#ifdef __cplusplus
extern "C" {
#endif

extern float *coordbuffer;
extern int coordbuffersize; /* capacity in floats */

void VGALFUNC_al_lx740_draw_init(void);
void VGALFUNC_al_lx740_draw_terminate(void);

#ifdef __cplusplus
}
#endif

#endif
