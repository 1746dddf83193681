#ifndef VG_AL_LX740_SWCOPY_H
#define VG_AL_LX740_SWCOPY_H

/* The software copy: a rectangle from the transfer descriptor's source to its destination, one
 * row at a time through the line buffer, converting formats, colour spaces and alpha
 * conventions, replicating samples for a multisampled destination and, on request, writing only
 * inside the current context's scissor rectangles. */

#include <stdint.h>

#include "cgl.h"
#include "vg/common/vg_context.h"

#ifdef __cplusplus
extern "C" {
#endif

#define VGAL_AET_ENTRIES 64 /* two edges for each of 32 scissor rectangles */

/* One vertical scissor edge: column, first row covered, first row not covered, +1 for a left
 * edge and -1 for a right one. */
typedef struct VGALaetentry {
    int16_t x, ytop, ybottom, dir;
} VGALaetentry;

extern VGALaetentry VGALVAL_aetitable[VGAL_AET_ENTRIES];
/* Span boundaries of the current row, in (start, end) pairs, end exclusive. */
extern int16_t VGALVAL_edge[VGAL_AET_ENTRIES];

/* Copies r (source usable-area coordinates) to (dx, dy) of the destination's usable area: 0,
 * VG_ILLEGAL_ARGUMENT_ERROR (nothing written) for a format with no software reader or writer,
 * or VG_OUT_OF_MEMORY_ERROR (nothing written) when the line buffer cannot be had. */
int VGALFUNC_TVGmemCopy(int dx, int dy, const OVGrect *r, int scissor);

/* Edges of the scissor rectangles that overlap the region, clipped to it; the number of entries
 * written. Regions lie inside a destination of at most 32767 x 32767 pixels. */
int VGALFUNC_TVGmakeScissorAET(int rdx, int rdy, int rw, int rh);
/* Sorts entries l to r (inclusive) by column. */
void VGALFUNC_TVGsortAET(int l, int r);
/* The span boundaries of row y under the non-zero rule over the first `entries` sorted edges,
 * into VGALVAL_edge; their number. */
int VGALFUNC_TVGscissorSpans(int entries, long long y);

/* Repeats each of the first w line-buffer entries twice (expand 1) or four times (other
 * values), in place. */
void data_expand(int w, int expand);

/* Test seam: the nth line-buffer allocation from now (1 = the next) fails; 0 switches it off. */
void VGALFUNC_TVGfailLineBuffer(int nth);

#ifdef __cplusplus
}
#endif

#endif
