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
