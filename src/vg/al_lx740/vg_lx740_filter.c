/* The GPU image filters: the frame they share (the channel-mask rule, the work buffers, the
 * software fallback, the normalise and store passes), the two lookups, whose filter pass is the
 * pixel engine's lookup table on texture unit 1 during an SPC rectangle, and the colour matrix,
 * whose filter pass is the colour-matrix microcode fed by one data packet a tile. */
#include "vg/al_lx740/vg_lx740_filter.h"

#include "vg/al_lx740/vg_lx740_filter_frame.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_copy.h"
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"
#include "vg/al_lx740/vg_al_lx740_swcopy.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"
#include "vg/al_lx740/vg_tvg_filter.h"

#define EXTENSION_FORMAT 0x40000000u
#define ALL_CHANNELS 15
#define COLOUR_CHANNELS (VG_RED | VG_GREEN | VG_BLUE)
#define LOOKUP_TILE 2048
#define WORK_FORMAT_LX 0u   /* the 32-bit work format as the GPU sees it */
#define WORK_FORMAT_CODE 1  /* ... and as the copies' conversions see it */
#define LX_A_4 48u          /* GPU code of VG_A_4 */
#define CACHE_LINE 256u
#define CACHE_FLUSH_AFTER_SPC 0x40000201u
#define LUT_FOUR_CHANNELS 0x4567u /* each output channel indexed by its own input channel */
#define LUT_RED 0x4444u
#define LUT_GREEN 0x5555u
#define LUT_BLUE 0x6666u
#define LUT_ALPHA 0x7777u
#define LUT_WORDS 256u
#define MATRIX_TILE_W 1024
#define MATRIX_TILE_H 2048
#define MATRIX_WORDS 27u /* the colour-matrix packet */

static int min_int(int a, int b)
{
    return a < b ? a : b;
}

static int round8(int w)
{
    return (w + 7) / 8 * 8;
}

static int is_luminance_format(unsigned f)
{
    return f == VG_sL_8 || f == VG_lL_8 || f == VG_BW_1;
}

static int is_alpha_only_format(unsigned f)
{
    return f == VG_A_8 || f == VG_A_1 || f == VG_A_4;
}

/* Formats (by their low four bits) that hold an alpha channel. */
static int has_alpha(unsigned f)
{
    static const unsigned char alpha[16] = {0, 1, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 1, 1, 0};
    return alpha[f & 15u];
}

/* The channels a filter writes into a destination of format dfmt: a luminance destination is
 * written whole, an alpha-only one only when the mask names alpha; 0 when nothing is to be
 * written. */
static int effective_mask(VGImageFormat dfmt)
{
    const int mask = (int)(VGALVAL_LX740_ALcontexthandle->filterChannelMask & ALL_CHANNELS);
    const unsigned f = (unsigned)dfmt;
    if (f < 15u) {
        if (is_luminance_format(f))
            return ALL_CHANNELS;
        if (is_alpha_only_format(f))
            return (mask & VG_ALPHA) ? mask : 0;
    }
    if (!has_alpha(f) && !(mask & COLOUR_CHANNELS))
        return 0;
    return mask;
}

int VGALFUNC_lx_filter_area(const OVGimage *d, const OVGimage *s, int *w, int *h, int *mask)
{
    *w = min_int(d->activeRect.width, s->activeRect.width);
    *h = min_int(d->activeRect.height, s->activeRect.height);
    if (*w <= 0 || *h <= 0)
        return 0;
    *mask = effective_mask(d->format);
    return *mask != 0;
}

int VGALFUNC_lx_filter_buffers(int nw, int nh, int rw, int rh, word32 *nrm, word32 *rst)
{
    *nrm = VGALFUNC_VAlloc(round8(nw), nh, 32, 32, 0, 0, 1);
    *rst = VGALFUNC_VAlloc(round8(rw), rh, 32, 32, 0, 0, 1);
    if (*nrm != CGL_NO_ADDRESS && *rst != CGL_NO_ADDRESS)
        return 1;
    if (*nrm != CGL_NO_ADDRESS)
        VGALFUNC_VFree(*nrm);
    if (*rst != CGL_NO_ADDRESS)
        VGALFUNC_VFree(*rst);
    return 0;
}

int VGALFUNC_lx_filter_drain(const OVGimage *s)
{
    if ((word32)s->format & EXTENSION_FORMAT)
        return VG_OUT_OF_MEMORY_ERROR;
    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    WAITCMDDONE();
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
    return 0;
}

VGALtransferside VGALFUNC_lx_filter_work_side(word32 addr, int w, int h, int rw, int linear, int pre)
{
    VGALtransferside t;
    t.addr = addr;
    t.x = t.y = 0;
    t.width = w, t.height = h;
    t.stride = rw * 4;
    t.format = WORK_FORMAT_CODE;
    t.linear = linear != 0, t.pre = pre != 0, t.luminance = 0;
    t.bpp = 32;
    t.twidth = rw, t.theight = h, t.flip = 0;
    t.format_lx = WORK_FORMAT_LX;
    return t;
}

void VGALFUNC_lx_filter_describe(const VGALtransferside *s, const VGALtransferside *d, VGImageFormat source_format,
                                 word32 channel_mask)
{
    VGALFUNC_set_transfer_source(s);
    VGALFUNC_set_transfer_destination(d);
    VGALVAL_src_format_vg = source_format;
    VGALVAL_dst_channel_mask = channel_mask;
}

/* The colour-buffer format holds line lengths of whole multiples of 8 pixels (1-bit lines
 * aside): other destinations are written one line at a time. */
static void converting_copy(int dx, int dy, const OVGrect *rect)
{
    if (VGALVAL_dst_twidth % 8 != 0 && VGALVAL_dst_bpp != 1)
        VGALFUNC_lx_copy_spc_line_by_line(dx, dy, rect);
    else
        VGALFUNC_lx_copy_spc(dx, dy, rect);
}

void VGALFUNC_lx_filter_normalize_sides(const OVGimage *s, word32 nrm, int w, int h, int rw)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const VGALtransferside src = VGALFUNC_image_side(s, 0);
    const VGALtransferside work = VGALFUNC_lx_filter_work_side(nrm, w, h, rw, ctx->filterFormatLinear != VG_FALSE,
                                                               ctx->filterFormatPremultiplied != VG_FALSE);
    if (s->format == VG_EXT_YUV422) {
        VGALFUNC_lx_set_yuv_param();
        VGALVAL_lx740_ctxdirty &= ~(word32)OVG_DIRTY_YUV_RGB;
    }
    VGALFUNC_lx_filter_describe(&src, &work, s->format, 0);
}

/* The source tile (x, y, w, h) of s into the top left of nrm, in the filter format. */
static void do_normalize(const OVGimage *s, word32 nrm, int x, int y, int w, int h, int rw)
{
    const OVGrect rect = {x, y, w, h};
    VGALFUNC_lx_filter_normalize_sides(s, nrm, w, h, rw);
    VGALFUNC_lx_copy_spc(0, 0, &rect);
}

int VGALFUNC_lx_filter_store(const OVGimage *d, word32 srcaddr, word32 tmpaddr, int dx, int dy, int w, int h,
                             int slinear, int spre, int mask, int func)
{
    const int rw = round8(w);
    const word32 keep = (word32)(~mask & ALL_CHANNELS);
    const OVGrect whole = {0, 0, w, h};
    const VGALtransferside dst = VGALFUNC_image_side(d, 0);
    const VGALtransferside result = VGALFUNC_lx_filter_work_side(srcaddr, w, h, rw, slinear, spre);
    const unsigned base = (unsigned)d->format & 15u;
    int error = 0;

    if (mask != ALL_CHANNELS && (base == 2u || base == 9u)) {
        /* The masked write into a premultiplied destination is made on its un-premultiplied
         * copy, so the channels kept are not changed by the filter's alpha. */
        const OVGrect area = {dx, dy, w, h};
        VGALtransferside scratch = dst;
        scratch.addr = tmpaddr;
        scratch.x = scratch.y = 0;
        scratch.width = w, scratch.height = h;
        scratch.pre = 0;
        scratch.twidth = rw, scratch.theight = h;
        scratch.stride = dst.bpp * rw / 8;
        scratch.flip = 0;
        VGALFUNC_lx_filter_describe(&dst, &scratch, d->format, 0);
        VGALFUNC_lx_copy_spc(0, 0, &area);
        VGALFUNC_lx_filter_describe(&result, &scratch, d->format, keep);
        VGALFUNC_lx_copy_spc(0, 0, &whole);
        VGALFUNC_lx_filter_describe(&scratch, &dst, d->format, 0);
        converting_copy(dx, dy, &whole);
        return 0;
    }

    VGALFUNC_lx_filter_describe(&result, &dst, d->format, keep);
    if (func == 0 && dst.format_lx == LX_A_4) {
        const VGALtransferside cpu_dst = VGALFUNC_image_side(d, 1);
        VGALtransferside cpu_result = result;
        cpu_result.addr += CglTxMemBase;
        VGALFUNC_lx_filter_describe(&cpu_result, &cpu_dst, d->format, keep);
        VGALVAL_cp_write_a4_high_precision = 1;
        VGALVAL_src_dst_same_internal_precision = 0;
        error = VGALFUNC_TVGmemCopy(dx, dy, &whole, 0);
        VGALVAL_cp_write_a4_high_precision = 0;
    } else {
        converting_copy(dx, dy, &whole);
        /* The masked copy leaves its channel mask in the pixel engine, which the copy engine's
         * copies would meet: put it back to every channel; the next drawing sets the context's
         * own again. */
        if (keep) {
            PEW(LX_PE_OVG_CH_MASK, 0);
            VGALVAL_lx740_ctxdirty |= OVG_DIRTY_CHANNEL_MASK;
        }
    }
    VGALVAL_dst_channel_mask = 0;
    return error;
}

/* Loads the table, then runs the lookup on every tile: normalise, the table pass from nrm into
 * rst, store. */
static int lookup_tiles(OVGimage *d, OVGimage *s, const word32 *table, word32 source_sel, int linear, int pre)
{
    word32 nrm, rst;
    int w, h, mask, posx, posy, error = 0;
    if (!VGALFUNC_lx_filter_area(d, s, &w, &h, &mask))
        return VG_NO_ERROR;
    if (!VGALFUNC_lx_filter_buffers(min_int(w, LOOKUP_TILE), min_int(h, LOOKUP_TILE), min_int(w, LOOKUP_TILE),
                                    min_int(h, LOOKUP_TILE), &nrm, &rst))
        return -1;

    PEW(LX_PE_OVG_TABLE_ADDR, VGAL_LOOKUP_TABLE_POSITION);
    VGALFUNC_lx_writetable(table, LUT_WORDS);

    for (posy = 0; posy < h && !error; posy += LOOKUP_TILE) {
        const int th = min_int(h - posy, LOOKUP_TILE);
        for (posx = 0; posx < w && !error; posx += LOOKUP_TILE) {
            const int tw = min_int(w - posx, LOOKUP_TILE);
            const int rw = round8(tw);
            const word32 rect[4] = {CGL_SPC_RECT, 0, (word32)(tw - 1) | (word32)(th - 1) << 16, 0};

            do_normalize(s, nrm, posx, posy, tw, th, rw);
            PEW(LX_PE_OVG_TXC_INVAL, 3);
            PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
            VGALFUNC_lx_point_colour_buffer(rst, WORK_FORMAT_LX | (word32)rw << 16);
            /* The normalise copy left the source image's format in the texture unit. */
            PEW(LX_PE_OVG_TX1_FMT, WORK_FORMAT_LX);
            PEW(LX_PE_OVG_TX1_ADDR, nrm);
            PEW(LX_PE_OVG_TX1_SIZE, (word32)rw | (word32)th << 16);
            PEW(LX_PE_OVG_TX1_LUT_SRCSEL, source_sel);
            PEW(LX_PE_OVG_TX1_CLAMP2ALPHA, 0);
            PEW(LX_PE_OVG_PREMALPHA_EN, 0);
            PEW(LX_PE_OVG_GAMMA_EN, 0);
            PEW(LX_PE_OVG_RGB2L_EN, 0);
            PEW(LX_PE_OVG_MAX_CCACHE_LLEN, CACHE_LINE);
            WAITCMDDONE();

            VGALFUNC_lx_spc_command(rect, 4);
            VGALFUNC_lx_spc_sync();
            PEW(LX_PE_OVG_CCACHE_FLUSH, CACHE_FLUSH_AFTER_SPC);
            PEW(LX_PE_OVG_MAX_CCACHE_LLEN, 0);
            PEW(LX_PE_OVG_TX1_LUT_SRCSEL, 0);

            error = VGALFUNC_lx_filter_store(d, rst, nrm, posx, posy, tw, th, linear != 0, pre != 0, mask, 1);
        }
    }
    VGALFUNC_VFree(nrm);
    VGALFUNC_VFree(rst);
    return error;
}

int VGALFUNC_lx_lookup(OVGimage *d, OVGimage *s, const VGubyte *red, const VGubyte *gre, const VGubyte *blu,
                       const VGubyte *alp, int linear, int pre)
{
    word32 table[LUT_WORDS];
    unsigned i;
    int result;
    for (i = 0; i < LUT_WORDS; ++i)
        table[i] = (word32)red[i] << 24 | (word32)gre[i] << 16 | (word32)blu[i] << 8 | alp[i];
    result = lookup_tiles(d, s, table, LUT_FOUR_CHANNELS, linear, pre);
    if (result >= 0)
        return result;
    result = VGALFUNC_lx_filter_drain(s);
    if (result)
        return result;
    return VGALFUNC_TVGmemLookup(d, s, red, gre, blu, alp, linear ? VG_TRUE : VG_FALSE, pre ? VG_TRUE : VG_FALSE);
}

/* The input channel that indexes the table, one nibble for each output channel. */
static word32 single_source_sel(VGImageFormat sfmt, VGImageChannel channel)
{
    const unsigned f = (unsigned)sfmt;
    if (f < 15u && is_luminance_format(f))
        return LUT_RED;
    if (f < 15u && is_alpha_only_format(f))
        return LUT_ALPHA;
    switch (channel) {
    case VG_RED: return LUT_RED;
    case VG_GREEN: return LUT_GREEN;
    case VG_BLUE: return LUT_BLUE;
    default: return LUT_ALPHA;
    }
}

int VGALFUNC_lx_lookup_single(OVGimage *d, OVGimage *s, const VGuint *lut, VGImageChannel channel, int linear,
                              int pre)
{
    int result = lookup_tiles(d, s, lut, single_source_sel(s->format, channel), linear, pre);
    if (result >= 0)
        return result;
    result = VGALFUNC_lx_filter_drain(s);
    if (result)
        return result;
    return VGALFUNC_TVGmemLookupSingle(d, s, lut, channel, linear ? VG_TRUE : VG_FALSE, pre ? VG_TRUE : VG_FALSE);
}

/* The colour matrix: the 16 factors by output channel, the offsets in 0..255 units, then the
 * buffers and the tile's size; the colour-matrix microcode reads it in this order. */
static void color_matrix_packet(const VGfloat *m, word32 nrm, word32 rst, int tw, int th)
{
    word32 p[1 + MATRIX_WORDS];
    const word32 stride = (word32)(tw + 7) / 8 * 32;
    int c, k, n = 1;
    p[0] = CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, MATRIX_WORDS);
    for (c = 0; c < 4; ++c)
        for (k = 0; k < 4; ++k)
            p[n++] = cglFloatTo32F(m[c + 4 * k]);
    for (c = 0; c < 4; ++c)
        p[n++] = cglFloatTo32F(m[16 + c] * 255.0f);
    p[n++] = nrm;
    p[n++] = stride;
    p[n++] = rst;
    p[n++] = stride;
    p[n++] = (word32)(tw - 1);
    p[n++] = (word32)((tw - 1) >> 2);
    p[n++] = (word32)(th - 1);
    CHECKAVAIL(1 + MATRIX_WORDS);
    SETCMDA(p, 1 + MATRIX_WORDS);
}

int VGALFUNC_lx_color_matrix(OVGimage *d, OVGimage *s, const VGfloat *m)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    word32 nrm, rst;
    int w, h, mask, posx, posy, result, error = 0;
    if (!m)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (!VGALFUNC_lx_filter_area(d, s, &w, &h, &mask))
        return VG_NO_ERROR;
    if (!VGALFUNC_lx_filter_buffers(min_int(w, MATRIX_TILE_W), min_int(h, MATRIX_TILE_H), min_int(w, MATRIX_TILE_W),
                                    min_int(h, MATRIX_TILE_H), &nrm, &rst)) {
        result = VGALFUNC_lx_filter_drain(s);
        return result ? result : VGALFUNC_TVGmemColorMatrix(d, s, m);
    }
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_COLOR_MATRIX);
    for (posy = 0; posy < h && !error; posy += MATRIX_TILE_H) {
        const int th = min_int(h - posy, MATRIX_TILE_H);
        for (posx = 0; posx < w && !error; posx += MATRIX_TILE_W) {
            const int tw = min_int(w - posx, MATRIX_TILE_W);
            do_normalize(s, nrm, posx, posy, tw, th, round8(tw));
            color_matrix_packet(m, nrm, rst, tw, th);
            WAITCMDDONE();
            error = VGALFUNC_lx_filter_store(d, rst, nrm, posx, posy, tw, th, ctx->filterFormatLinear != VG_FALSE,
                                             ctx->filterFormatPremultiplied != VG_FALSE, mask, 1);
        }
    }
    /* The filter pass used the rasterizer's buffers for its own ends. */
    VGALVAL_xptbufstatus = 1;
    VGALFUNC_VFree(nrm);
    VGALFUNC_VFree(rst);
    return error;
}
