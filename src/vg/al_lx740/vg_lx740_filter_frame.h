#ifndef VG_LX740_FILTER_FRAME_H
#define VG_LX740_FILTER_FRAME_H

/* The frame the GPU filters share, for the filter sources only: the filtered area and channel
 * mask, the work buffers, the drain before the software fallback, the work-buffer copy sides and
 * the store pass. */

#include <VG/openvg.h>

#include "cgl.h"
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"
#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The filtered area (the smaller active width and height of d and s) and the channels to write
 * into d; 0 when there is nothing to do (the call then succeeds without touching anything). */
int VGALFUNC_lx_filter_area(const OVGimage *d, const OVGimage *s, int *w, int *h, int *mask);
/* The two work buffers, nrm of nw x nh and rst of rw x rh pixels (widths rounded up to 8);
 * 0 (with whatever was taken given back) when either cannot be had. */
int VGALFUNC_lx_filter_buffers(int nw, int nh, int rw, int rh, word32 *nrm, word32 *rst);
/* Before the software filter runs in place of the GPU one: VG_OUT_OF_MEMORY_ERROR for a source
 * the software filters cannot read, else 0 with every queued GPU command run and the GPU idle. */
int VGALFUNC_lx_filter_drain(const OVGimage *s);
/* A work buffer of w x h pixels, rows of rw pixels, as a copy side. */
VGALtransferside VGALFUNC_lx_filter_work_side(word32 addr, int w, int h, int rw, int linear, int pre);
/* Both copy sides, the source's format and the channels the copy leaves alone. */
void VGALFUNC_lx_filter_describe(const VGALtransferside *s, const VGALtransferside *d, VGImageFormat source_format,
                                 word32 channel_mask);
/* The copy sides of the normalise pass: s (its active rectangle) into nrm, w x h pixels in the
 * context's filter format, rows of rw pixels. */
void VGALFUNC_lx_filter_normalize_sides(const OVGimage *s, word32 nrm, int w, int h, int rw);
/* The store pass: the result srcaddr (w x h, in the format slinear and spre name) into d at
 * (dx, dy), writing only the channels of mask, tmpaddr scratch of the same size; func 0 writes
 * a VG_A_4 destination by the software copy at full precision. Returns 0 or the copy's error. */
int VGALFUNC_lx_filter_store(const OVGimage *d, word32 srcaddr, word32 tmpaddr, int dx, int dy, int w, int h,
                             int slinear, int spre, int mask, int func);

#ifdef __cplusplus
}
#endif

#endif
