/* Pixel-engine state for rendering into the mask buffer. */
#include "vg/al_lx740/vg_al_lx740_maskstate.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

#define CTXDIRTY_AFTER_MASK_TARGET 0xC0000010u    /* bits 31, 30 and 4 */
#define CTXDIRTY_AFTER_RENDER_TO_MASK 0xC0001084u /* bits 31, 30, 12, 7 and 2 */
#define DIRTY_ALL (VGAL_DIRTY_COLORBUFFER | VGAL_DIRTY_MASKBUFFER | VGAL_DIRTY_PEBASIC)
#define MODE_SCISSOR 0x8000u
#define MODE_OVERWRITE 0x10000u
#define MODE_MULTISAMPLE 0x80000u
#define XPT_MODE_SCAN_WINDOW 16u
#define XPT_MODE_EVEN_ODD 2u

/* GPU format codes of the 1-, 4- and 8-bit mask views. */
static word32 mask_code(int bpp)
{
    return bpp == 1 ? 64u : bpp == 4 ? 48u : 33u;
}

static int multisampled(void)
{
    return (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) != 0;
}

static int sets_or_intersects(VGMaskOperation op)
{
    return op == VG_SET_MASK || op == VG_INTERSECT_MASK;
}

void VGALFUNC_lx_mask_blend(VGMaskOperation op)
{
    word32 steps[2] = {1, 0x40000u};
    if (op == VG_SET_MASK)
        steps[0] = 0, steps[1] = 0;
    else if (op == VG_UNION_MASK)
        steps[0] = 2, steps[1] = 0x50000u;
    else if (op == VG_INTERSECT_MASK)
        steps[0] = 0x11u;
    PEW(LX_PE_OVG_BLEN_EN, 1);
    VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_BLEN_FUNC_ASTEP1, steps, 2);
}

void VGALFUNC_lx_setstate_mask(const ALbuffer *buf, int force)
{
    const ALbuffer *mask = buf ? buf : VGALVAL_maskbuffer;
    const int view = force ? 1 : mask->bpp == 1 || mask->bpp == 4 ? mask->bpp : 8;
    const word32 row = (word32)mask->stride * 8 / (word32)view;

    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_AMC_INVAL, 1);
    if (!(multisampled() && force))
        VGALFUNC_lx_point_colour_buffer(mask->addr, mask_code(view) | row << 16);
    PEW(LX_PE_OVG_AM_EN, 0);
    PEW(LX_PE_OVG_CH_MASK, 0);
    PEW(LX_PE_OVG_ACOLOR0_EN, 0);
    PEW(LX_PE_OVG_ACOLOR1_EN, 0);
    RZW(LX_RZ_SCI_ENABLE, 0);
    VGALVAL_lx740_dirty = DIRTY_ALL;
    VGALVAL_lx740_ctxdirty |= CTXDIRTY_AFTER_MASK_TARGET;
}

static word32 render_to_mask_mode(VGMaskOperation op)
{
    const int scissored = (VGALVAL_lx740renderingmode & VGAL_RM_SCISSORING) && sets_or_intersects(op);
    if (multisampled())
        return MODE_MULTISAMPLE | (scissored ? MODE_SCISSOR : 0u);
    if (scissored)
        return MODE_SCISSOR;
    return op == VG_SET_MASK ? MODE_OVERWRITE : 0u;
}

void VGALFUNC_lx_setstate_render_to_mask_a2(VGMaskOperation op)
{
    const ALbuffer *mask = VGALVAL_maskbuffer;
    const word32 code = multisampled() ? 64u : mask_code(mask->bpp);
    static const word32 off_before_paint[3] = {LX_PE_OVG_TX0_RED2ALPHA, LX_PE_OVG_TX1_RED2ALPHA, LX_PE_OVG_CTRANS_EN};
    static const word32 off_before_inval[4] = {LX_PE_OVG_PREMALPHA_EN, LX_PE_OVG_GAMMA_EN, LX_PE_OVG_RGB2L_EN,
                                               LX_PE_OVG_AALIAS_EN};
    static const word32 off_last[4] = {LX_PE_OVG_CTEST_EN, LX_PE_OVG_CH_MASK, LX_PE_OVG_ACOLOR0_EN,
                                       LX_PE_OVG_ACOLOR1_EN};
    int i;

    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    VGALFUNC_lx_point_colour_buffer(mask->addr, code | ((word32)mask->stride * 8 / (word32)mask->bpp) << 16);
    RZW(LX_RZ_COLOR, 0xFFFFFFFFu);
    RZW(LX_RZ_VG_MODE, render_to_mask_mode(op));
    PEW(LX_PE_OVG_MSAA_ENABLE, multisampled() ? 1u : 0u);
    for (i = 0; i < 3; ++i)
        PEW(off_before_paint[i], 0);
    PEW(LX_PE_OVG_TX0_PAINT_SEL, 2);
    PEW(LX_PE_OVG_TX0_EN, 0);
    PEW(LX_PE_OVG_TX1_EN, 0);
    PEW(LX_PE_OVG_CCU_MPX_CTRL, 8);
    PEW(LX_PE_OVG_IMGCOMB_FUNC, 3);
    for (i = 0; i < 4; ++i)
        PEW(off_before_inval[i], 0);
    PEW(LX_PE_OVG_AMC_INVAL, 1);
    PEW(LX_PE_OVG_AM_EN, 0);
    PEW(LX_PE_OVG_COV2ALPHA, 2);
    for (i = 0; i < 4; ++i)
        PEW(off_last[i], 0);
    VGALFUNC_lx_mask_blend(op);
    VGALFUNC_lx_after_target_change(CTXDIRTY_AFTER_RENDER_TO_MASK);
    VGALVAL_xptbufstatus = 1;
}

void VGALFUNC_lx_setstate_render_to_mask_b(int mode, VGMaskOperation op)
{
    word32 xpt_mode = VGALVAL_aamode | (sets_or_intersects(op) ? XPT_MODE_SCAN_WINDOW : 0u);
    XPTW(LX_XPT_SYNC, 0);
    VGALFUNC_lx_setstate(mode);
    if (mode == 0 && VGALVAL_LX740_ALcontexthandle->fillRule != VG_NON_ZERO)
        xpt_mode |= XPT_MODE_EVEN_ODD;
    XPTW(LX_XPT_MODE, xpt_mode);
}
