#ifndef VG_AL_LX740_TRANSFER_H
#define VG_AL_LX740_TRANSFER_H

/* The transfer descriptor: one process-wide source and destination record, held as separate
 * globals, that the clear, copy and pixel-transfer entry points fill and the software copy and
 * the GPU copy engines read. Addresses are CPU addresses for the software copy (a GPU offset plus
 * CglTxMemBase, or a client pointer) and GPU offsets for the GPU copies. */

#include <stdint.h>

#include <VG/openvg.h>

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

extern uintptr_t VGALVAL_src_addr, VGALVAL_dst_addr;
/* Origin and size of the usable area inside the buffer, in pixels. */
extern int VGALVAL_src_x, VGALVAL_src_y, VGALVAL_src_width, VGALVAL_src_height;
extern int VGALVAL_dst_x, VGALVAL_dst_y, VGALVAL_dst_width, VGALVAL_dst_height;
/* Bytes from one row to the next; negative for a flipped surface. */
extern int VGALVAL_src_stride, VGALVAL_dst_stride;
/* Software pixel format code, colour space (1 linear), premultiplied (1), luminance (2) and
 * bits per pixel. */
extern int VGALVAL_src_format, VGALVAL_src_linear, VGALVAL_src_pre, VGALVAL_src_luminance, VGALVAL_src_bpp;
extern int VGALVAL_dst_format, VGALVAL_dst_linear, VGALVAL_dst_pre, VGALVAL_dst_luminance, VGALVAL_dst_bpp;
/* Sample replication of the destination as a shift: 0 none, 1 double, 2 fourfold. */
extern int VGALVAL_dst_scale_x, VGALVAL_dst_scale_y;
/* GPU copies only: the whole buffer's line length and height in pixels as the texture unit sees
 * them, the GPU format codes, 1 when the buffer's rows are stored top row first (OpenVG's row 0
 * is its last one), the source's OpenVG image format and the channels a GPU copy leaves
 * untouched (LX_PE_OVG_CH_MASK). */
extern int VGALVAL_src_twidth, VGALVAL_src_theight, VGALVAL_dst_twidth, VGALVAL_dst_theight;
extern word32 VGALVAL_src_format_lx, VGALVAL_dst_format_lx;
extern int VGALVAL_src_flip, VGALVAL_dst_flip;
extern VGImageFormat VGALVAL_src_format_vg;
extern word32 VGALVAL_dst_channel_mask;
/* Rounding offset of the software premultiplication: 128 rounds to nearest, 0 truncates. */
extern int VGALVAL_LXDIVOFFSET;
/* 1 when source and destination share one format code: premultiplication is kept as stored. */
extern int VGALVAL_src_dst_same_internal_precision;

/* One side of the descriptor, filled as a whole. */
typedef struct VGALtransferside {
    uintptr_t addr;
    int x, y, width, height, stride;
    int format, linear, pre, luminance, bpp;
    int twidth, theight, flip;
    word32 format_lx;
} VGALtransferside;
void VGALFUNC_set_transfer_source(const VGALtransferside *s);
void VGALFUNC_set_transfer_destination(const VGALtransferside *d);

#ifdef __cplusplus
}
#endif

#endif
