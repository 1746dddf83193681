#ifndef VG_TVG_FILTER_FRAME_H
#define VG_TVG_FILTER_FRAME_H

/* The frame every software image filter runs in: the image copies, the filter parameters of the
 * current context, the filter's own work memory, the stage selection, the destination rows and
 * the write-back. A filter describes itself by a job. */

#include <stddef.h>

#include "vg/al_lx740/vg_tvg_filter_pipeline.h"
#include "vg/common/vg_color.h"
#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tvg_filter_job {
    int mode;                      /* 1 for the lookups: the destination side is in the output format */
    int output_linear, output_pre; /* the lookups' output format */
    int tile_fill;                 /* 1: filter_edge_color from the context's tile fill colour */
    /* Optional. Work memory, taken after the image copies: 0 when some cannot be had; free_work
     * then releases whatever was taken, as it does at the end. */
    int (*alloc_work)(void *arg);
    void (*free_work)(void *arg);
    /* Optional. Runs once the positions are set, before the first row. */
    void (*prepare)(void *arg);
    /* One destination row of w pixels, each through tvg_filter_set_dst or
     * tvg_filter_set_dst_rgba8888. */
    void (*row)(void *arg, int w);
    void *arg;
} tvg_filter_job;

/* The whole frame: 0, VG_OUT_OF_MEMORY_ERROR or VG_ILLEGAL_ARGUMENT_ERROR as the filters
 * return them. */
int tvg_filter_run(const OVGimage *d, const OVGimage *s, const tvg_filter_job *job);

/* A CPU copy of the image's whole buffer as buffer1 (buf 0, the source) or buffer2 (buf 1, the
 * destination) and the descriptor of its active rectangle in it; 1, or 0 when the copy cannot be
 * had. */
int tvg_filter_set_img(const OVGimage *img, filter_image_info *inf, int buf);
/* buffer2 over the image's whole buffer, then tvg_freememory. */
void tvg_restore(const OVGimage *img);
/* Frees whichever image copies are held. */
void tvg_freememory(void);

/* The context's tile fill colour (non-premultiplied sRGB floats) in the filter format,
 * integers 0..255. */
extern filter_color_type_i filter_edge_color;
void tvg_filter_set_tile_fill_color(const OVGcolor *c);

/* ---- Work arrays of the convolutions: one entry a pixel of the source's active rectangle,
 * row after row ---- */

/* VG_TILE_FILL, PAD or REPEAT; any other value reflects. */
extern int filter_tiling_mode;
/* What a VG_TILE_FILL read of a float work array returns outside the source. */
extern filter_color_type_f filter_conv_tile_color;

/* Every pixel of the source's active rectangle in the filter format into `c`; needs the stages
 * chosen. */
void tvg_filter_get_src_all_i(filter_color_type_i *c);
/* The entry of `src` at source coordinates (x, y), anywhere: outside the active rectangle the
 * tiling mode decides (the fill colours for VG_TILE_FILL). */
void tvg_filter_get_tmpbuf_i(filter_color_type_i *dst, int64_t x, int64_t y, const filter_color_type_i *src);
void tvg_filter_get_tmpbuf_f(filter_color_type_f *dst, int64_t x, int64_t y, const filter_color_type_f *src);

/* A channel value in 0..255 units, truncated toward zero and limited to 0..255; NaN and the
 * infinities are limited like any other value (NaN counts as 0), so no conversion overflows. */
int32_t tvg_filter_clamp255(float x);

/* The heap of the software filters, with the test seam's failures. */
void *tvg_filter_alloc(size_t bytes);

/* Taps to either side of the centre of a Gaussian kernel for a deviation in (0, 16]. */
int tvg_filter_gauss_reach(VGfloat sigma);
/* The 2 n + 1 taps exp(-t^2 / (2 sigma^2)) into k with the centre at k[n] (n the reach), and
 * their normalising factor 1 / sum. A deviation so small that 2 sigma^2 is 0 gives the
 * identity kernel. The software and the GPU blur build their kernels here. */
float tvg_filter_gauss_kernel(float *k, VGfloat sigma);

#ifdef __cplusplus
}
#endif

#endif
