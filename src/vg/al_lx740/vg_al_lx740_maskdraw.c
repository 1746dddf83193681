/* Mask operations with an image and copies of the mask buffer into mask layers, by SPC
 * rectangle commands and the copy engine. */
#include "vg/al_lx740/vg_al_lx740_maskstate.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_copy.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"
#include "vg/al_lx740/vg_al_lx740_pe.h"
#include "vg/common/vg_image_format.h"

#define CTXDIRTY_AFTER_DRAWMASK 0x1084u           /* bits 12, 7 and 2 */
#define CTXDIRTY_AFTER_LAYER_TARGET 0xC0001084u   /* bits 31, 30, 12, 7 and 2 */
#define TEXTURE_CACHE_MODE 0xF4u
#define TEXTURE_WRAP 0x101u
#define CACHE_LINE 256u
#define COPY_8BPP 0x8000000u
#define COPY_THROUGH_MMU 0xC000u
/* The SPC's pixel-engine writes before a rectangle into CBUF2: LX_PE_OVG_SYNC = 0, the colour
 * cache flush, then LX_PE_OVG_CBUF2_ADDR = the address that follows. */
#define TARGET_WRITES 0x22E002u, 0, 0x3180000u, 0x40000201u, 0x20000u
#define SAMPLE_PIECE 512 /* pixels of one 1-bit multisample block of 256 bytes */
#define TILE 2048

static word32 xy(long long x, long long y)
{
    return (word32)x | (word32)y << 16;
}

static void rectangle(word32 command, word32 dst, long long w, long long h, word32 src)
{
    const word32 words[4] = {command, dst, xy(w - 1, h - 1), src};
    VGALFUNC_lx_spc_command(words, 4);
}

/* A rectangle into the multisample target at addr. */
static void targeted_rectangle(word32 addr, word32 command, word32 dst, long long w, long long h, word32 src)
{
    const word32 target[6] = {TARGET_WRITES, addr};
    VGALFUNC_lx_spc_command(target, 6);
    rectangle(command, dst, w, h, src);
}

static void texture_source(word32 addr, word32 row, word32 height, word32 code)
{
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    PEW(LX_PE_OVG_TXC_MODE, TEXTURE_CACHE_MODE);
    PEW(LX_PE_OVG_TX1_ADDR, addr);
    PEW(LX_PE_OVG_TX0_EN, 0);
    PEW(LX_PE_OVG_TX1_SIZE, row | height << 16);
    PEW(LX_PE_OVG_TX1_FILTER, 0);
    PEW(LX_PE_OVG_TX1_EN, 1);
    PEW(LX_PE_OVG_TX1_CHILDIMG_EN, 0);
    PEW(LX_PE_OVG_TX1_FMT, code);
    PEW(LX_PE_OVG_TX1_WRAP, TEXTURE_WRAP);
    PEW(LX_PE_OVG_TX1_PAINT_SEL, 0);
}

/* A mask layer on a multisampled surface: 1-bit samples, four a pixel, sent in pieces that end
 * at 512-pixel boundaries, each addressed from its own 256-byte block. A 1-pixel-wide rectangle
 * is one piece. */
static void multisample_layer_pieces(long long dx, long long dy, long long sx, long long sy, long long w, long long h)
{
    const long long last = dx + w - 1;
    long long x = dx;
    while (x <= last) {
        const long long end = (x | (SAMPLE_PIECE - 1)) < last ? (x | (SAMPLE_PIECE - 1)) : last;
        const long long piece = end - x + 1;
        targeted_rectangle(VGALVAL_maskbuffer->addr + (word32)(x / SAMPLE_PIECE) * 256u, CGL_SPC_RECT,
                           xy((x & (SAMPLE_PIECE - 1)) * 4, dy), piece * 4, h, (word32)(sy << 16) | (word32)(sx * 4));
        sx += piece;
        x = end + 1;
    }
}

static void multisampled_drawmask(long long dx, long long dy, long long sx, long long sy, long long w, long long h,
                                  const ALbuffer *img)
{
    const word32 mask_stride = (word32)VGALVAL_maskbuffer->stride;
    const int flip = VGALVAL_surface_flip;
    if (flip)
        dy = VGALVAL_colorbuffer_height - dy - h;
    if (img->masklayer) {
        PEW(LX_PE_OVG_CBUF2_FMT, mask_stride << 19 | 64u);
        PEW(LX_PE_OVG_MSAA_ENABLE, 0);
        WAITCMDDONE();
        if (flip)
            sy = img->height - sy - h;
        multisample_layer_pieces(dx, dy, sx, sy, w, h);
        return;
    }
    PEW(LX_PE_OVG_CBUF2_FMT, mask_stride << 17 | 64u);
    PEW(LX_PE_OVG_MSAA_ENABLE, 1);
    PEW(LX_PE_OVG_CTEST_EN, 0);
    WAITCMDDONE();
    targeted_rectangle(VGALVAL_maskbuffer->addr, flip ? CGL_SPC_RECT | CGL_SPC_RECT_FLIP : CGL_SPC_RECT, xy(dx, dy), w, h,
                       xy(sx, sy));
}

static void single_sampled_drawmask(long long dx, long long dy, long long sx, long long sy, long long w, long long h,
                                    const ALbuffer *img)
{
    word32 command = CGL_SPC_RECT;
    PEW(LX_PE_OVG_MSAA_ENABLE, 0);
    WAITCMDDONE();
    if (VGALVAL_surface_flip) {
        dy = VGALVAL_colorbuffer_height - dy - h;
        if (img->masklayer)
            sy = img->height - sy - h;
        else
            command |= CGL_SPC_RECT_FLIP;
    }
    rectangle(command, xy(dx, dy), w, h, xy(sx, sy));
}

int VGALFUNC_lx_drawmask(int dx, int dy, int sx, int sy, int w, int h, const ALbuffer *img, VGImageFormat format,
                         VGMaskOperation op)
{
    const int multisample = (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) != 0;
    const int sample_layer = multisample && img->masklayer;
    const word32 row = (word32)img->stride * 8 / (sample_layer ? 1u : (word32)img->bpp);

    XPTW(LX_XPT_SYNC_H, 0);
    texture_source(img->addr, row, (word32)img->height, sample_layer ? 64u : VGALFUNC_TVGgetLXImageFormat(format));
    PEW(LX_PE_OVG_CCU_MPX_CTRL, 0);
    PEW(LX_PE_OVG_RGB2L_EN, 0);
    PEW(LX_PE_OVG_IMGCOMB_FUNC, 0);
    PEW(LX_PE_OVG_COV2ALPHA, 0);
    PEW(LX_PE_OVG_CTRANS_EN, 0);
    PEW(LX_PE_OVG_TX1_RED2ALPHA, VGVAL_fhavealpha[format & 15] ? 0u : 1u);
    VGALFUNC_lx_mask_blend(op);
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, CACHE_LINE);

    if (multisample)
        multisampled_drawmask(dx, dy, sx, sy, w, h, img);
    else
        single_sampled_drawmask(dx, dy, sx, sy, w, h, img);

    VGALFUNC_lx_spc_copy_end(CTXDIRTY_AFTER_DRAWMASK);
    return 0;
}

static void copy_engine_layer(const ALbuffer *dst, long long dx, long long dy, long long sx, long long sy, long long w,
                              long long h)
{
    const ALbuffer *mask = VGALVAL_maskbuffer;
    word32 entry[4];
    if (VGALVAL_surface_flip) {
        sy = VGALVAL_colorbuffer_height - sy - h;
        dy = dst->height - dy - h;
    }
    entry[0] = (word32)(w - 1) | COPY_8BPP | (word32)(h - 1) << 12;
    entry[1] = ((word32)(mask->stride - w) | (word32)(dst->stride - w) << 16) + (cglGetMmuMode() ? COPY_THROUGH_MMU : 0u);
    entry[2] = mask->addr + (word32)(sy * mask->stride + sx);
    entry[3] = dst->addr + (word32)(dy * dst->stride + dx);
    VGALFUNC_lx_copy_area(entry);
}

static void layer_as_target(const ALbuffer *dst, word32 code)
{
    static const word32 off[] = {
        LX_PE_OVG_CCU_MPX_CTRL, LX_PE_OVG_RGB2L_EN,      LX_PE_OVG_IMGCOMB_FUNC,     LX_PE_OVG_CTRANS_EN,
        LX_PE_OVG_CH_MASK,      LX_PE_OVG_ACOLOR0_EN,    LX_PE_OVG_ACOLOR1_EN,       LX_PE_OVG_PREMALPHA_EN,
        LX_PE_OVG_COLOR_PREMALPHA_EN, LX_PE_OVG_TX1_PREMALPHA_EN, LX_PE_OVG_GAMMA_EN, LX_PE_OVG_AALIAS_EN,
        LX_PE_OVG_CTEST_EN,     LX_PE_OVG_COV2ALPHA,     LX_PE_OVG_AM_EN,            LX_PE_OVG_CCLAMP2ALPHA_EN,
        LX_PE_OVG_TX1_CLAMP2ALPHA, LX_PE_OVG_MSAA_ENABLE, LX_PE_OVG_BLEN_EN,
    };
    const ALbuffer *mask = VGALVAL_maskbuffer;
    size_t i;
    VGALFUNC_lx_point_colour_buffer(dst->addr, code | ((word32)dst->stride * 8 / (word32)dst->bpp) << 16);
    texture_source(mask->addr, (word32)mask->stride * 8 / (word32)mask->bpp, (word32)VGALVAL_surface_height, code);
    PEW(LX_PE_OVG_TX1_RED2ALPHA, 0);
    for (i = 0; i < sizeof off / sizeof off[0]; ++i)
        PEW(off[i], 0);
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, CACHE_LINE);
    WAITCMDDONE();
}

/* Tiles of at most 2048 x 2048 of the layer, each addressed from its own tile origin. On a
 * flipped surface the layer's rows are stored bottom-up like the mask buffer's, as the copy
 * engine's 8-bit layers are: both rows are mirrored. */
static void textured_layer_tiles(const ALbuffer *dst, long long dx, long long dy, long long sx, long long sy,
                                 long long w, long long h)
{
    long long ty, tx;
    if (VGALVAL_surface_flip) {
        sy = VGALVAL_colorbuffer_height - sy - h;
        dy = dst->height - dy - h;
    }
    for (ty = dy; ty < dy + h; ty = (ty | (TILE - 1)) + 1) {
        const long long rows = ((ty | (TILE - 1)) + 1 < dy + h ? (ty | (TILE - 1)) + 1 : dy + h) - ty;
        for (tx = dx; tx < dx + w; tx = (tx | (TILE - 1)) + 1) {
            const long long columns = ((tx | (TILE - 1)) + 1 < dx + w ? (tx | (TILE - 1)) + 1 : dx + w) - tx;
            const word32 tile = dst->addr + (word32)(dst->stride * (ty & ~(TILE - 1LL))) +
                                (word32)((tx & ~(TILE - 1LL)) * dst->bpp / 8);
            targeted_rectangle(tile, CGL_SPC_RECT, xy(tx & (TILE - 1), ty & (TILE - 1)), columns, rows,
                               xy(sx + tx - dx, sy + ty - dy));
        }
    }
}

void VGALFUNC_lx_copymask(const ALbuffer *dst, int dx, int dy, int sx, int sy, int w, int h)
{
    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_AMC_INVAL, 1);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    if (dst->bpp == 8) {
        copy_engine_layer(dst, dx, dy, sx, sy, w, h);
        return;
    }
    layer_as_target(dst, dst->bpp == 1 ? 64u : 48u);
    textured_layer_tiles(dst, dx, dy, sx, sy, w, h);
    /* The layer is the colour buffer now: the next drawing must restore the surface's. */
    VGALFUNC_lx_spc_copy_end(CTXDIRTY_AFTER_LAYER_TARGET);
}
