#ifndef VG_AL_LX740_PIXELCOPY_H
#define VG_AL_LX740_PIXELCOPY_H

/* OpenVG's clears, image copies and pixel transfers between client memory, images and the
 * drawing surface. Each entry point clips, synchronises with the GPU (all but the clears), fills
 * the transfer descriptor and hands the work to a GPU clear, a GPU copy engine or the software
 * copy. Each returns 0, or VG_OUT_OF_MEMORY_ERROR (4098) when a temporary buffer or the software
 * copy's line buffer cannot be had (nothing is copied then). */

#include "vg/al_lx740/vg_al_lx740_transfer.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* rect: the surface or image area to clear. */
int VGHAL_ALclear(const OVGrect *rect);
int VGHAL_ALclearImage(OVGimage *dst, const OVGrect *rect);
/* rect: the source position and the size; (dx, dy): the destination position. dither is
 * accepted and not used. */
int VGHAL_ALcopyImage(OVGimage *dst, int dx, int dy, OVGimage *src, const OVGrect *rect, int dither);
/* rect: the surface position and the size; data, stride, format: the client's pixels. */
int VGHAL_ALreadPixels(void *data, int stride, VGImageFormat format, const OVGrect *rect);
int VGHAL_ALwritePixels(const void *data, int stride, VGImageFormat format, const OVGrect *rect);
/* rect: the position inside the image and the size. */
int VGHAL_ALgetImage(OVGimage *src, void *data, int stride, VGImageFormat format, const OVGrect *rect);
int VGHAL_ALsetImage(OVGimage *dst, const void *data, int stride, VGImageFormat format, const OVGrect *rect);
/* getPixels: rect is the surface area, (dx, dy) the image position; setPixels: rect is the image
 * area, (dx, dy) the surface position; copyPixels: surface to surface. */
int VGHAL_ALgetPixels(OVGimage *dst, int dx, int dy, const OVGrect *rect);
int VGHAL_ALsetPixels(int dx, int dy, OVGimage *src, const OVGrect *rect);
int VGHAL_ALcopyPixels(int dx, int dy, const OVGrect *rect);

/* The descriptor sides of the entry points. cpu: CPU addresses for the software copy (a
 * flipped surface then starts at its last row with the stride negated), else GPU offsets. */
VGALtransferside VGALFUNC_image_side(const OVGimage *img, int cpu);
VGALtransferside VGALFUNC_client_side(const void *data, int stride, VGImageFormat format, const OVGrect *rect);
/* The colour buffer, as read back. */
VGALtransferside VGALFUNC_colourbuffer_side(int cpu);
/* The buffer drawn into (the multisample buffer when there is one), colour-buffer sized. */
VGALtransferside VGALFUNC_drawing_side(int cpu);

/* 1 when scissoring is on with no rectangle: nothing may be written. */
int VGALFUNC_scissored_away(void);
/* Set pixels by the software copy, for the three surface and image format pairs it serves
 * (truncating premultiplication); -1, touching nothing, for every other case. */
int VGALFUNC_set_pixels_by_software(int dx, int dy, OVGimage *src, const OVGrect *rect);

/* Drains the GPU: every queued command run, caches flushed, the copying units idle. resolve: the
 * multisample resolve into the colour buffer does the draining when the surface is
 * multisampled. */
void VGALFUNC_lx_full_sync(int resolve);

#ifdef __cplusplus
}
#endif

#endif
