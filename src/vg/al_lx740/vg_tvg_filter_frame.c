/* The common frame of the software image filters: CPU copies of both image buffers, the current
 * context's filter parameters, the filter's work memory, the stage selection, the destination
 * rows and the write-back of the destination's whole buffer. */
#include "vg/al_lx740/vg_tvg_filter_frame.h"

#include <stdint.h>
#include <stdlib.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_memory.h"
#include "vg/common/vg_image_format.h"

#define FILTER_LOOKUP_MODE 1

filter_color_type_i filter_edge_color;

static word32 *buffer1, *buffer2;
static int fail_countdown;

void VGALFUNC_TVGfailFilterAlloc(int nth)
{
    fail_countdown = nth > 0 ? nth : 0;
}

void *tvg_filter_alloc(size_t bytes)
{
    if (fail_countdown > 0 && --fail_countdown == 0)
        return NULL;
    return malloc(bytes);
}

/* Whole 32-bit words of an image buffer (rows x stride bytes, rounded up), or 0 when that many
 * cannot be copied in one block. */
static size_t buffer_words(const ALbuffer *b)
{
    const size_t bytes = (size_t)b->height * (size_t)b->stride;
    const size_t words = bytes / 4 + (bytes % 4 != 0);
    if (bytes / (size_t)b->stride != (size_t)b->height || words > (size_t)UINT32_MAX ||
        words > SIZE_MAX / sizeof(word32))
        return 0;
    return words;
}

/* An image the pipeline can walk: a standard format, its buffer in GPU memory, the active
 * rectangle inside the buffer and rows long enough for the buffer's width. */
static int usable(const OVGimage *img)
{
    const ALbuffer *b = img ? img->buffer : NULL;
    const OVGrect *r;
    if (!b || !VGFUNC_IsValidImageFormat(img->format) || b->directimage || b->addr == CGL_NO_ADDRESS)
        return 0;
    r = &img->activeRect;
    if (b->width < 0 || b->height <= 0 || b->stride <= 0 || r->x < 0 || r->y < 0 || r->width < 0 || r->height < 0)
        return 0;
    if ((long long)r->x + r->width > b->width || (long long)r->y + r->height > b->height)
        return 0;
    return (long long)b->width * VGVAL_bitperpixel[img->format & 15] <= (long long)b->stride * 8 &&
           buffer_words(b) != 0;
}

int tvg_filter_set_img(const OVGimage *img, filter_image_info *inf, int buf)
{
    const ALbuffer *b = img->buffer;
    const size_t words = buffer_words(b);
    const int n = img->format & 15;
    word32 *copy = (word32 *)tvg_filter_alloc(words * sizeof(word32));
    if (!copy)
        return 0;
    VGALFUNC_TVGreadMemory32(copy, b->addr, (word32)words);
    if (buf == 0)
        buffer1 = copy;
    else
        buffer2 = copy;
    inf->addr = (unsigned char *)copy + (size_t)b->stride * (size_t)img->activeRect.y;
    inf->width = img->activeRect.width;
    inf->height = img->activeRect.height;
    inf->stride = b->stride;
    inf->format = img->format;
    inf->base = NULL;
    inf->idxbase = img->activeRect.x;
    inf->idx = 0;
    inf->align = VGVAL_imgalign[n];
    inf->alpha_format = n == 2 || n == 9;
    inf->color_space = n > 6;
    inf->luminance = VGVAL_isluminance[n];
    return 1;
}

void tvg_freememory(void)
{
    free(buffer1);
    free(buffer2);
    buffer1 = buffer2 = NULL;
}

void tvg_restore(const OVGimage *img)
{
    const ALbuffer *b = img->buffer;
    VGALFUNC_TVGwriteMemory32(b->addr, buffer2, (word32)buffer_words(b));
    tvg_freememory();
}

int32_t tvg_filter_clamp255(float x)
{
    if (!(x > 0.0f))
        return 0;
    return x >= 255.0f ? 255 : (int32_t)x;
}

/* A colour channel in 0..1 to 0..255, truncated; NaN counts as 0. */
static int32_t channel_255(float v)
{
    return tvg_filter_clamp255(v * 255.0f);
}

void tvg_filter_set_tile_fill_color(const OVGcolor *c)
{
    filter_color_type t = {0};
    t.ir = channel_255(c->r);
    t.ig = channel_255(c->g);
    t.ib = channel_255(c->b);
    t.ia = channel_255(c->a);
    filter_convert_func_out_of_image[(filter_format_linear ? 2 : 0) | (filter_format_pre ? 1 : 0)](&t);
    filter_edge_color.r = t.ir;
    filter_edge_color.g = t.ig;
    filter_edge_color.b = t.ib;
    filter_edge_color.a = t.ia;
}

static void release(const tvg_filter_job *job)
{
    if (job->free_work)
        job->free_work(job->arg);
    tvg_freememory();
}

int tvg_filter_run(const OVGimage *d, const OVGimage *s, const tvg_filter_job *job)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    int w, h, y;
    if (!usable(d) || !usable(s))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    w = d->activeRect.width < s->activeRect.width ? d->activeRect.width : s->activeRect.width;
    h = d->activeRect.height < s->activeRect.height ? d->activeRect.height : s->activeRect.height;
    if (w == 0 || h == 0)
        return VG_NO_ERROR;

    if (!tvg_filter_set_img(s, &filter_src, 0) || !tvg_filter_set_img(d, &filter_dst, 1)) {
        tvg_freememory();
        return VG_OUT_OF_MEMORY_ERROR;
    }

    tvg_filter_set_channel_mask((int)(ctx->filterChannelMask & 15u));
    tvg_filter_set_format_linear(ctx->filterFormatLinear != VG_FALSE);
    tvg_filter_set_format_premultiplied(ctx->filterFormatPremultiplied != VG_FALSE);
    if (job->mode == FILTER_LOOKUP_MODE) {
        tvg_filter_set_output_linear(job->output_linear);
        tvg_filter_set_output_premultiplied(job->output_pre);
    }
    if (job->tile_fill)
        tvg_filter_set_tile_fill_color(&ctx->tileFillColor);

    if (job->alloc_work && !job->alloc_work(job->arg)) {
        release(job);
        return VG_OUT_OF_MEMORY_ERROR;
    }

    if (tvg_filter_select_convert(job->mode)) {
        release(job);
        return VG_NO_ERROR;
    }

    tvg_filter_set_initial_position();
    if (job->prepare)
        job->prepare(job->arg);
    for (y = 0; y < h; ++y) {
        job->row(job->arg, w);
        tvg_filter_line_feed();
    }

    if (job->free_work)
        job->free_work(job->arg);
    tvg_restore(d);
    return VG_NO_ERROR;
}
