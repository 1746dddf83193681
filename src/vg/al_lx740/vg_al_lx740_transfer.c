#include "vg/al_lx740/vg_al_lx740_transfer.h"

uintptr_t VGALVAL_src_addr, VGALVAL_dst_addr;
int VGALVAL_src_x, VGALVAL_src_y, VGALVAL_src_width, VGALVAL_src_height;
int VGALVAL_dst_x, VGALVAL_dst_y, VGALVAL_dst_width, VGALVAL_dst_height;
int VGALVAL_src_stride, VGALVAL_dst_stride;
int VGALVAL_src_format, VGALVAL_src_linear, VGALVAL_src_pre, VGALVAL_src_luminance, VGALVAL_src_bpp;
int VGALVAL_dst_format, VGALVAL_dst_linear, VGALVAL_dst_pre, VGALVAL_dst_luminance, VGALVAL_dst_bpp;
int VGALVAL_dst_scale_x, VGALVAL_dst_scale_y;
int VGALVAL_LXDIVOFFSET;
int VGALVAL_src_dst_same_internal_precision;
int VGALVAL_src_twidth, VGALVAL_src_theight, VGALVAL_dst_twidth, VGALVAL_dst_theight;
word32 VGALVAL_src_format_lx, VGALVAL_dst_format_lx;
int VGALVAL_src_flip, VGALVAL_dst_flip;
VGImageFormat VGALVAL_src_format_vg;
word32 VGALVAL_dst_channel_mask;

void VGALFUNC_set_transfer_source(const VGALtransferside *s)
{
    VGALVAL_src_addr = s->addr;
    VGALVAL_src_x = s->x, VGALVAL_src_y = s->y, VGALVAL_src_width = s->width, VGALVAL_src_height = s->height;
    VGALVAL_src_stride = s->stride;
    VGALVAL_src_format = s->format, VGALVAL_src_linear = s->linear, VGALVAL_src_pre = s->pre;
    VGALVAL_src_luminance = s->luminance, VGALVAL_src_bpp = s->bpp;
    VGALVAL_src_twidth = s->twidth, VGALVAL_src_theight = s->theight, VGALVAL_src_flip = s->flip;
    VGALVAL_src_format_lx = s->format_lx;
}

void VGALFUNC_set_transfer_destination(const VGALtransferside *d)
{
    VGALVAL_dst_addr = d->addr;
    VGALVAL_dst_x = d->x, VGALVAL_dst_y = d->y, VGALVAL_dst_width = d->width, VGALVAL_dst_height = d->height;
    VGALVAL_dst_stride = d->stride;
    VGALVAL_dst_format = d->format, VGALVAL_dst_linear = d->linear, VGALVAL_dst_pre = d->pre;
    VGALVAL_dst_luminance = d->luminance, VGALVAL_dst_bpp = d->bpp;
    VGALVAL_dst_twidth = d->twidth, VGALVAL_dst_theight = d->theight, VGALVAL_dst_flip = d->flip;
    VGALVAL_dst_format_lx = d->format_lx;
}
