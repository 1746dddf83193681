/* What every GPU copy shares: clipping, the pixel engine's conversion choices and copy state,
 * and the end of an SPC copy. */
#include "vg/al_lx740/vg_al_lx740_copy.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_region.h"
#include "vg/al_lx740/vg_al_lx740_swpixel.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

#define TEXTURE_CACHE_MODE 244u
#define CACHE_FLUSH_AFTER_SPC 0x40000201u

VGALcopywork VGALVAL_copywork;
VGALcopyconversion VGALVAL_copyconversion;

/* The colour-component class of each software format: two formats of one class hold the same
 * components in the same layout. */
static const unsigned char colorcomp[VGAL_SWFORMAT_COUNT] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1,
                                                             2, 3, 0, 1, 2, 3, 4, 0, 1, 2, 3};

/* (rgb2l, gammaen) by source and destination colour class: linear + luminance, 0 sRGB colour,
 * 1 linear colour, 2 sRGB luminance, 3 linear luminance. gammaen bit 0 converts to linear
 * before the luminance step, bit 1 to sRGB after it. */
static const unsigned char pe_conversion[4][4][2] = {
    {{0, 0}, {0, 1}, {1, 3}, {1, 1}},
    {{0, 2}, {0, 0}, {1, 2}, {1, 0}},
    {{0, 0}, {0, 1}, {0, 0}, {0, 1}},
    {{0, 2}, {0, 0}, {0, 2}, {0, 0}},
};

int CheckRegion(int dx, int dy, const OVGrect *rect)
{
    VGALregion c;
    VGALcopywork *w = &VGALVAL_copywork;
    if (!VGALFUNC_clip_region(dx, dy, rect, &c)) {
        w->rsx = rect->x, w->rsy = rect->y, w->rdx = dx, w->rdy = dy, w->rw = 0, w->rh = 0;
        return 1;
    }
    /* Inside both usable areas now: every value fits. */
    w->rsx = (int)c.sx, w->rsy = (int)c.sy, w->rdx = (int)c.dx, w->rdy = (int)c.dy;
    w->rw = (int)c.w, w->rh = (int)c.h;
    return 0;
}

/* A format number outside the table has no class shared with any other. */
static int colour_class(int format)
{
    return format >= 0 && format < VGAL_SWFORMAT_COUNT ? colorcomp[format] : 100 + format;
}

static int space(int linear, int luminance)
{
    return (linear | luminance) & 3;
}

void ChooseFormat(void)
{
    VGALcopyconversion *v = &VGALVAL_copyconversion;
    const unsigned char *choice;
    v->clamp2a = VGALVAL_src_pre ? 1u : 0u;
    v->preunpre = 0;
    if (colour_class(VGALVAL_src_format) == colour_class(VGALVAL_dst_format) &&
        VGALVAL_src_linear == VGALVAL_dst_linear && VGALVAL_src_pre == VGALVAL_dst_pre) {
        choice = pe_conversion[VGALVAL_src_luminance & 3][VGALVAL_dst_luminance & 3];
    } else {
        choice = pe_conversion[space(VGALVAL_src_linear, VGALVAL_src_luminance)]
                              [space(VGALVAL_dst_linear, VGALVAL_dst_luminance)];
        v->preunpre = (VGALVAL_dst_pre ? 1u : 0u) | (VGALVAL_src_pre ? 2u : 0u);
    }
    v->rgb2l = choice[0];
    v->gammaen = choice[1];
}

void CopyInit(void)
{
    const VGALcopyconversion *v = &VGALVAL_copyconversion;
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_AM_EN, 0);
    PEW(LX_PE_OVG_CTEST_EN, 0);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    PEW(LX_PE_OVG_TXC_MODE, TEXTURE_CACHE_MODE);
    PEW(LX_PE_OVG_MSAA_ENABLE, 0);
    PEW(LX_PE_OVG_TX0_EN, 0);
    PEW(LX_PE_OVG_TX1_FMT, VGALVAL_src_format_lx);
    PEW(LX_PE_OVG_TX1_PAINT_SEL, 0);
    PEW(LX_PE_OVG_TX1_EN, 1);
    PEW(LX_PE_OVG_TX1_CHILDIMG_EN, 0);
    PEW(LX_PE_OVG_TX1_FILTER, 0);
    PEW(LX_PE_OVG_TX1_WRAP, 0);
    PEW(LX_PE_OVG_TX1_RED2ALPHA, 0);
    PEW(LX_PE_OVG_TX1_CLAMP2ALPHA, v->clamp2a);
    PEW(LX_PE_OVG_TX1_PREMALPHA_EN, 0);
    PEW(LX_PE_OVG_IMGCOMB_FUNC, 0);
    PEW(LX_PE_OVG_CTRANS_EN, 0);
    PEW(LX_PE_OVG_PREMALPHA_EN, v->preunpre);
    PEW(LX_PE_OVG_GAMMA_EN, v->gammaen);
    PEW(LX_PE_OVG_RGB2L_EN, v->rgb2l);
    PEW(LX_PE_OVG_CCU_MPX_CTRL, 0);
    PEW(LX_PE_OVG_BLEN_EN, 0);
    PEW(LX_PE_OVG_COV2ALPHA, 0);
    PEW(LX_PE_OVG_COLOR_PREMALPHA_EN, 0);
    PEW(LX_PE_OVG_CCLAMP2ALPHA_EN, 0);
    PEW(LX_PE_OVG_AALIAS_EN, 0);
    PEW(LX_PE_OVG_CH_MASK, VGALVAL_dst_channel_mask);
    PEW(LX_PE_OVG_ACOLOR0_EN, 0);
    PEW(LX_PE_OVG_ACOLOR1_EN, 0);
}

void VGALFUNC_lx_spc_copy_end(word32 ctxdirty)
{
    VGALFUNC_lx_spc_sync();
    PEW(LX_PE_OVG_CCACHE_FLUSH, CACHE_FLUSH_AFTER_SPC);
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, 0);
    VGALFUNC_lx_after_target_change(ctxdirty);
}
