#ifndef VG_AL_LX740_XPT_H
#define VG_AL_LX740_XPT_H

/* The edge rasterizer's buffers in GPU memory (two edge, two count and two line-width buffers
 * and a sort buffer, sized by the surface height and the entry count) and the XPT set-up before
 * drawing. */

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* In the order of the registers LX_XPT_XSIZE .. LX_XPT_SORTBUF_BASE. */
typedef struct XPTSIZE {
    word32 xsize;
    word32 numbase0, numbase1;
    word32 bufbase0, bufbase1;
    word32 lwbase0, lwbase1;
    word32 sortbase;
} XPTSIZE;

typedef struct XPTSCISSOR {
    word32 ytop, ybottom, xleft, xright;
} XPTSCISSOR;

extern XPTSIZE xptinfo;
extern XPTSCISSOR xptsci;
extern int xptheight; /* surface height of the set, 0 = none */
extern int xptsample; /* 1 when the set was made for a multisampled surface */
extern int VGALVAL_xptbufstatus;
extern int VGALVAL_currentxptmode;
extern word32 VGALVAL_aamode;

unsigned getXptNum(void);
/* Marks every buffer absent (the layer's start). */
void VGALFUNC_lx_xptclear(void);
int lx_xptinit(unsigned xptnum);
void lx_xptterm(void);
void VGALFUNC_lx_resetxptbuffer(int mode);
/* Queues the scan of the edges sent since the last one (then the edge buffers swap) and runs
 * the command buffer. */
void VGALFUNC_lx_scanedges(void);
/* Queues the scan of the image quad the vertex processor set up and runs the command buffer. */
void VGALFUNC_lx_scanimage(void);

#ifdef __cplusplus
}
#endif

#endif
