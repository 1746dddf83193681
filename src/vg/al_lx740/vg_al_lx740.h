#ifndef VG_AL_LX740_H
#define VG_AL_LX740_H

/* The acceleration layer's global state of the GPU as OpenVG sees it: one rendering-mode
 * word, the dirty words that say which GPU state must be rewritten before the next drawing, and
 * the draw-buffer selection. */

#include "cgl.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_surface.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Rendering-mode bits. */
#define VGAL_RM_MULTISAMPLE 0x80000000u
#define VGAL_RM_LUMINANCE 0x40000000u
#define VGAL_RM_LINEAR 0x20000000u
#define VGAL_RM_PREMULTIPLIED 0x10000000u
#define VGAL_RM_EMPTY 0x04000000u
#define VGAL_RM_MASKBUFFER 0x01000000u
#define VGAL_RM_PATTERN_LINEAR 0x200000u
#define VGAL_RM_IMAGE_LINEAR 0x20000u
#define VGAL_RM_SCISSOR_EMPTY 0x800u /* no scissor rectangle is visible: nothing is drawn */
#define VGAL_RM_MASKING 0x400u
#define VGAL_RM_SCISSORING 0x200u
#define VGAL_RM_PAINT_COLOR 0x10u
#define VGAL_RM_PAINT_PATTERN 0x20u
#define VGAL_RM_DRAW_PATH 0x1u
#define VGAL_RM_DRAW_IMAGE_NORMAL 0x2u
#define VGAL_RM_DRAW_IMAGE_MULTIPLY 0x4u

/* VGALVAL_lx740_dirty bits. */
#define VGAL_DIRTY_COLORBUFFER 0x1u
#define VGAL_DIRTY_MASKBUFFER 0x2u
#define VGAL_DIRTY_PEBASIC 0x4u

extern word32 VGALVAL_lx740renderingmode;
extern word32 VGALVAL_lx740_dirty;
extern word32 VGALVAL_lx740_ctxdirty;
extern int VGALVAL_backbuffer;
extern const void *VGALVAL_currentimage;
/* The radial-gradient paint whose table the GPU holds; null makes the next drawing resend it. */
extern const struct OVGpaint *currentpaint;
extern int VGALVAL_changepepipe;
/* The vertex-processor entry last written to LX_VP_IADDR; all ones forces a resend. */
extern word32 VGALVAL_lx740vpinstaddr;

/* The current context and the buffers of its surface (set at make-current). */
extern OVGcontext *VGALVAL_LX740_ALcontexthandle;
extern ALbuffer *colorbuffer;
extern ALbuffer *frontbuffer;
extern ALbuffer *VGALVAL_maskbuffer;
/* The buffer the pixel engine renders into: the multisample buffer when there is one. */
extern word32 VGALVAL_surface_addr;
extern int VGALVAL_surface_width, VGALVAL_surface_height, VGALVAL_surface_stride, VGALVAL_surface_bpp;
extern int VGALVAL_surface_alphabits, VGALVAL_surface_flip;
extern int VGALVAL_surface_format;    /* software pixel format */
extern word32 VGALVAL_surface_format_lx; /* GPU colour-buffer format code */
extern word32 VGALVAL_lx740_cmode_msaa;
/* The draw buffer itself (always single-sample). */
extern word32 VGALVAL_colorbuffer_addr;
extern int VGALVAL_colorbuffer_width, VGALVAL_colorbuffer_height, VGALVAL_colorbuffer_stride;

/* Written by the paint and image state set-up, read by the pipeline writer. */
extern word32 vgmode_paint;     /* rasterizer paint mode value */
extern word32 vgmode_image;     /* rasterizer image mode value */
extern int color_transform;     /* the context's colour transform is on */
extern word32 paintcoloralpha;  /* alpha 0..255 of a colour paint */
extern VGImageFormat VGALVAL_currentimageformat; /* format of the image being drawn */

/* Set to 0 at start; the filter store raises it around one software copy into an A_4 image. */
extern int VGALVAL_cp_write_a4_high_precision;

/* Rasterizer overflow callbacks: (current entry count, LX_XPT_NUMMAX) -> new count, 0 keeps it. */
typedef int (*ALcallbackXPT)(int count, int nummax);

/* 1 when the layer is up, 0 when it could not start (everything taken is given back). */
int VGHAL_ALcreate(void);
int VGHAL_ALdestroy(void);
/* 1, or 0 when the rasterizer buffers for the surface could not be made. */
int VGHAL_ALmakeCurrent(OVGcontext *context);
/* Appends LX_XPT_SYNC_H = 0 and a colour-cache flush and hands the buffer over, without waiting. */
void VGHAL_ALflush(void);
/* 0, or 1 when a callback asked for a new entry count whose buffers could not be made. */
int VGHAL_ALfinish(void);
void VGHAL_ALswapBuffers(OVGcontext *context);
void ALextSetCallbackXPTOVF(ALcallbackXPT callback);
void ALextSetCallbackXPTNOVF(ALcallbackXPT callback);

/* The surface formats of make-current: GPU colour-buffer code, software pixel format and the
 * resolve colour mode (unchanged for 4 and 1-bit surfaces: cmode_msaa is not written). */
typedef struct VGALsurfaceformat {
    word32 code;
    int software;
    word32 cmode_msaa;
    int keeps_cmode;
} VGALsurfaceformat;
VGALsurfaceformat VGALFUNC_lx_surfaceformat(int bpp, int alphabits, int colororder, int luminance);

#ifdef __cplusplus
}
#endif

#endif
