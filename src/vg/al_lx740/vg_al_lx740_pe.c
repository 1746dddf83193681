/* Pixel-engine state writers. */
#include "vg/al_lx740/vg_al_lx740_pe.h"

#include "mathx/mathx.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/common/vg_image_format.h"

#define BLEND_FACTOR_BASE 0x40005300u
#define BLEND_EQUATION_BASE 0x40005400u
#define BLEND_FACTORS 15
#define BLEND_EQUATIONS 3
#define BUSY_AFTER_COPY 0x2A4u

/* Context dirty bits read here. */
#define CTX_BLEND_MODE 0x4u
#define CTX_BLEND_UNIT 0x8000000u
#define CTX_BLEND_FUNCS 0x10000000u
#define CTX_BLEND_COLOR 0x20000000u

/* Blend steps of the ten OpenVG blend modes, from VG_BLEND_SRC. */
static const word32 cstep1[10] = {0, 0, 0, 0x1100, 0x2200, 0x100, 0, 0, 0, 0};
static const word32 cstep2[10] = {0x10000, 0x81100, 0x70001, 0x60000, 0x60000,
                                  0x82011, 0x82200, 0x91101, 0xA1101, 0x70000};
static const word32 astep1[10] = {0, 0x1, 0x12, 0x11, 0x11, 0x1, 0x1, 0x1, 0x1, 0};
static const word32 astep2[10] = {0, 0x80100, 0x83100, 0x40000, 0x40000, 0x80100, 0x80100, 0x80100, 0x80100, 0x83300};

/* Extension blend unit: factor codes of the fifteen factors, placed per table. */
static const word32 factor_code[BLEND_FACTORS] = {0, 1, 10, 11, 4, 5, 6, 7, 2, 3, 15, 12, 13, 8, 9};
static const word32 blequ_c[BLEND_EQUATIONS] = {0, 0x10000, 0x20000};
static const word32 blequ_a[BLEND_EQUATIONS] = {0, 1, 2};

/* (LX_PE_OVG_PREMALPHA_EN, LX_PE_OVG_GAMMA_EN) by (source linear ? 12 : 4) + (surface
 * luminance ? 2 : 0) + (surface linear ? 1 : 0); rows 0-3 and 8-11 are never used. */
static const word32 ccureg_cpaint[16][2] = {
    {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {3, 1}, {3, 3}, {3, 1},
    {0, 0}, {0, 0}, {0, 0}, {0, 0}, {3, 2}, {0, 0}, {3, 2}, {3, 0},
};
static const word32 ccureg_cpaint_trans[16][2] = {
    {0, 0}, {0, 0}, {0, 0}, {0, 0}, {3, 0}, {3, 1}, {3, 3}, {3, 1},
    {0, 0}, {0, 0}, {0, 0}, {0, 0}, {3, 2}, {3, 0}, {3, 2}, {3, 0},
};

static word32 table_index(word32 value, word32 base, word32 count)
{
    word32 i = value - base;
    return i < count ? i : 0;
}

static word32 blfunc(word32 factor, int shift, int destination)
{
    word32 i = table_index(factor, BLEND_FACTOR_BASE, BLEND_FACTORS);
    if (destination && i == 10)
        return 0;
    return factor_code[i] << shift;
}

void lx_colorclamp(void)
{
    if (VGALVAL_lx740renderingmode & VGAL_RM_PREMULTIPLIED) {
        PEW(LX_PE_OVG_CCLAMP2ALPHA_EN, 3);
        PEW(LX_PE_OVG_COLOR_PREMALPHA_EN, 0);
    } else {
        PEW(LX_PE_OVG_CCLAMP2ALPHA_EN, 2);
        PEW(LX_PE_OVG_COLOR_PREMALPHA_EN, 3);
    }
}

void lx_colorbuffer(void)
{
    const word32 format =
        (word32)(VGALVAL_colorbuffer_stride * 8 / VGALVAL_surface_bpp) << 16 | VGALVAL_surface_format_lx;
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    if (VGALVAL_backbuffer == 1) {
        PEW(LX_PE_OVG_CBUF1_ADDR, colorbuffer->addr);
        PEW(LX_PE_OVG_CBUF0_ADDR, frontbuffer->addr);
    } else {
        PEW(LX_PE_OVG_CBUF0_ADDR, colorbuffer->addr);
        PEW(LX_PE_OVG_CBUF1_ADDR, frontbuffer->addr);
    }
    PEW(LX_PE_OVG_CBUF0_FMT, format);
    PEW(LX_PE_OVG_CBUF1_FMT, format);
    if (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) {
        PEW(LX_PE_OVG_CBUF2_ADDR, VGALVAL_surface_addr);
        PEW(LX_PE_OVG_CBUF2_FMT, format);
    }
    lx_colorclamp();
    PEW(LX_PE_OVG_MSAA_ENABLE, VGALVAL_lx740renderingmode >> 31);
}

void lx_maskbuffer(void)
{
    if (!VGALVAL_maskbuffer) {
        PEW(LX_PE_OVG_AM_EN, 0);
        return;
    }
    PEW(LX_PE_OVG_AMC_INVAL, 1);
    PEW(LX_PE_OVG_AMBUF_ADDR, VGALVAL_maskbuffer->addr);
    PEW(LX_PE_OVG_AMBUF_FMT, VGALVAL_maskbuffer->bpp == 1 ? 2u : VGALVAL_maskbuffer->bpp == 4 ? 1u : 0u);
}

void lx_amu(void)
{
    PEW(LX_PE_OVG_CTEST_EN, 1);
    PEW(LX_PE_OVG_ALTCOV_EN, 0);
    PEW(LX_PE_OVG_AM_EN, (VGALVAL_lx740renderingmode & VGAL_RM_MASKING) ? 1u : 0u);
}

void lx_pebasic(void)
{
    PEW(LX_PE_OVG_COV2ALPHA, 0);
    PEW(LX_PE_OVG_TXC_MODE, 0);
    PEW(LX_PE_OVG_TX0_RED2ALPHA, 0);
    PEW(LX_PE_OVG_TX1_RED2ALPHA, 0);
}

void lx_blu(void)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    word32 enable = 1;
    if (ctx->blendUnitEXT != VGAL_BLEND_UNIT_OPENVG) {
        if (VGALVAL_lx740_ctxdirty & CTX_BLEND_FUNCS) {
            PEW(LX_PE_OES_BLEN_EQU,
                blequ_c[table_index(ctx->blendEquationEXT[0], BLEND_EQUATION_BASE, BLEND_EQUATIONS)] |
                    blequ_a[table_index(ctx->blendEquationEXT[1], BLEND_EQUATION_BASE, BLEND_EQUATIONS)]);
            PEW(LX_PE_OES_BLEN_FUNC, blfunc(ctx->blendFuncEXT[0], 16, 0) | blfunc(ctx->blendFuncEXT[1], 24, 1) |
                                         blfunc(ctx->blendFuncEXT[2], 0, 0) | blfunc(ctx->blendFuncEXT[3], 8, 1));
        }
        if (VGALVAL_lx740_ctxdirty & CTX_BLEND_COLOR) {
            PEW(LX_PE_OES_SCOLOR, ctx->blendColorEXT);
            PEW(LX_PE_OES_DCOLOR, ctx->blendColorEXT);
        }
        VGALVAL_lx740_ctxdirty &= ~(CTX_BLEND_UNIT | CTX_BLEND_FUNCS | CTX_BLEND_COLOR);
        enable = 5;
    } else if (VGALVAL_lx740_ctxdirty & CTX_BLEND_MODE) {
        word32 m = table_index((word32)ctx->blendMode, VG_BLEND_SRC, 10);
        const word32 steps[8] = {cstep1[m], cstep2[m], cstep1[m], cstep2[m],
                                 cstep1[m], cstep2[m], astep1[m], astep2[m]};
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_BLEN_FUNC_RSTEP1, steps, 8);
        VGALVAL_lx740_ctxdirty &= ~(CTX_BLEND_MODE | CTX_BLEND_UNIT);
    }
    PEW(LX_PE_OVG_BLEN_EN, enable);
}

/* A colour-transform value for the PE: the 16.16 value with 13 fewer fraction bits, rounded
 * down (so negative values stay defined). */
static word32 ctrans_word(VGvalue v)
{
    Fixed f = mxFloat2Fixed(v);
    return (word32)(f >= 0 ? f / 8192 : -((-(long long)f + 8191) / 8192));
}

void lx_pepipe(void)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const word32 rm = VGALVAL_lx740renderingmode;
    const int luminance_surface = (rm & VGAL_RM_LUMINANCE) != 0;
    const int needs_conversion = (rm & 0xD0u) != 0 || ((rm & VGAL_RM_PAINT_PATTERN) && !(rm & 0x400000u)) ||
                                 color_transform;
    const int image_luminance = VGVAL_isluminance[VGALVAL_currentimageformat & 15];
    word32 mode, mpx, rgb2l_en, imgcomb;
    int source_linear;
    const word32(*pair)[2];
    int index;

    if (rm & VGAL_RM_DRAW_PATH) {
        PEW(LX_PE_OVG_TX1_EN, 0);
        mode = vgmode_paint;
        source_linear = (rm & VGAL_RM_PATTERN_LINEAR) != 0;
        mpx = 8;
        rgb2l_en = luminance_surface && needs_conversion;
        imgcomb = 3;
    } else if (rm & VGAL_RM_DRAW_IMAGE_NORMAL) {
        PEW(LX_PE_OVG_TX1_EN, 1);
        mode = vgmode_image;
        source_linear = (rm & VGAL_RM_IMAGE_LINEAR) != 0;
        mpx = 0;
        rgb2l_en = luminance_surface ? (color_transform ? 1u : 1u - (word32)image_luminance) : 0u;
        imgcomb = 0;
    } else if (rm & VGAL_RM_DRAW_IMAGE_MULTIPLY) {
        PEW(LX_PE_OVG_TX1_EN, 1);
        mode = vgmode_paint | vgmode_image;
        source_linear = (rm & VGAL_RM_IMAGE_LINEAR) != 0;
        mpx = 0;
        rgb2l_en = luminance_surface;
        imgcomb = 1;
    } else {
        PEW(LX_PE_OVG_TX1_EN, 1);
        mode = vgmode_paint | vgmode_image;
        source_linear = (rm & VGAL_RM_PATTERN_LINEAR) != 0;
        mpx = luminance_surface && !image_luminance ? 0x3D : 0x39;
        rgb2l_en = luminance_surface && needs_conversion;
        imgcomb = 2;
    }
    PEW(LX_PE_OVG_CCU_MPX_CTRL, mpx);
    PEW(LX_PE_OVG_RGB2L_EN, rgb2l_en);
    PEW(LX_PE_OVG_IMGCOMB_FUNC, imgcomb);

    index = (source_linear ? 12 : 4) + (luminance_surface ? 2 : 0) + ((rm & VGAL_RM_LINEAR) ? 1 : 0);
    pair = color_transform ? ccureg_cpaint_trans : ccureg_cpaint;
    if (color_transform) {
        const VGvalue *v = ctx->colorTransformValues;
        const word32 words[8] = {ctrans_word(v[0]), ctrans_word(v[4]), ctrans_word(v[1]), ctrans_word(v[5]),
                                 ctrans_word(v[2]), ctrans_word(v[6]), ctrans_word(v[3]), ctrans_word(v[7])};
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_CTRANS_RSCALE, words, 8);
    }
    PEW(LX_PE_OVG_PREMALPHA_EN, pair[index][0]);
    PEW(LX_PE_OVG_CTRANS_EN, color_transform ? 1u : 0u);
    PEW(LX_PE_OVG_GAMMA_EN, pair[index][1]);

    if (rm & VGAL_RM_MULTISAMPLE)
        mode += 0x80000;
    if (!(rm & (VGAL_RM_SCISSORING | VGAL_RM_MASKING)) && ctx->blendUnitEXT == VGAL_BLEND_UNIT_OPENVG &&
        (ctx->blendMode == VG_BLEND_SRC ||
         (!color_transform && (rm & VGAL_RM_PAINT_COLOR) &&
          ((ctx->blendMode == VG_BLEND_SRC_OVER && paintcoloralpha == 255) ||
           (ctx->blendMode == VG_BLEND_DST_IN && paintcoloralpha == 0)))))
        mode += 0x10000;
    RZW(LX_RZ_VG_MODE, mode);
}

void VGALFUNC_lx_copy_area(const word32 entry[4])
{
    PEW(LX_PE_OVG_TABLE_ADDR, 0);
    VGALFUNC_lx_writetable(entry, 4);
    WAITCMDDONE();
    cglWaitBusy(BUSY_AFTER_COPY, 0);
    PEW(LX_PE_OVG_CP_START, 0);
    PEW(LX_PE_OVG_EXT_SYNC, 0x80000000u);
}

void VGALFUNC_lx_fsaa(void)
{
    const word32 row = (word32)(VGALVAL_colorbuffer_stride * 8 / VGALVAL_surface_bpp);
    const word32 gap = row - (word32)VGALVAL_surface_width;
    const word32 entry[4] = {
        ((word32)VGALVAL_surface_width - 1) | VGALVAL_lx740_cmode_msaa | ((word32)VGALVAL_surface_height - 1) << 12,
        (gap << 16 | gap * 4) + (cglGetMmuMode() ? 0xC000u : 0u),
        VGALVAL_surface_addr,
        VGALVAL_colorbuffer_addr,
    };
    PEW(LX_PE_OVG_CE_MODE, 2);
    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    VGALFUNC_lx_copy_area(entry);
    PEW(LX_PE_OVG_CE_MODE, 0);
    WAITCMDDONE();
}
