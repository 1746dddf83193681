/* The surface clear of vgClear. */
#include "vg/al_lx740/vg_al_lx740_clear.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_pe.h"
#include "vg/al_lx740/vg_al_lx740_scissor.h"

/* Context dirty bits read here. */
#define CTX_SCISSOR 0x10u
#define CTX_CLEAR_COLOR 0x40u
#define CTX_CHANNEL_MASK 0x40000000u

/* The clear colour in the surface's native format (fast clear) and as RGBA8888 (slow clear). */
static word32 surface_clearcolorPE, surface_clearcolorRZ;

static word32 scaled(float c, float steps)
{
    return (word32)(c * steps + 0.5f);
}

static void cache_clear_colours(const OVGcontext *ctx)
{
    const word32 rm = VGALVAL_lx740renderingmode;
    const OVGcolor c = VGALFUNC_lx_target_colour(&ctx->clearColorClamp, (rm & VGAL_RM_LINEAR) != 0,
                                                 (rm & VGAL_RM_LUMINANCE) != 0, (rm & VGAL_RM_PREMULTIPLIED) != 0);
    VGALclearvalues v;
    if (VGALVAL_surface_bpp == 16 && VGALVAL_surface_alphabits == 4)
        v = VGALFUNC_lx_clear_values(VGALVAL_surface_format_lx, scaled(c.r, 15) * 17, scaled(c.g, 15) * 17,
                                     scaled(c.b, 15) * 17, scaled(c.a, 15) * 17, (rm & VGAL_RM_PREMULTIPLIED) != 0);
    else
        v = VGALFUNC_lx_clear_values(VGALVAL_surface_format_lx, scaled(c.r, 255), scaled(c.g, 255), scaled(c.b, 255),
                                     scaled(c.a, 255), (rm & VGAL_RM_PREMULTIPLIED) != 0);
    surface_clearcolorPE = v.native;
    surface_clearcolorRZ = v.rgba;
}

static void fast_clear(const BBOXINFO *bbox, int multisample)
{
    const word32 row = (word32)(VGALVAL_colorbuffer_stride * 8 / VGALVAL_surface_bpp);
    /* The multisample buffer holds four samples a pixel side by side. */
    if (multisample)
        PEW(LX_PE_OVG_CBUF2_FMT, VGALVAL_surface_format_lx | (row * 4) << 16);
    VGALFUNC_lx_fastclear(bbox, surface_clearcolorPE, VGALVAL_surface_flip, (word32)VGALVAL_surface_height,
                          multisample);
    if (multisample)
        PEW(LX_PE_OVG_CBUF2_FMT, VGALVAL_surface_format_lx | row << 16);
}

static void slow_clear(const BBOXINFO *bbox, int multisample)
{
    VGALFUNC_lx_slowclear(bbox, surface_clearcolorRZ, VGALVAL_surface_flip, (word32)VGALVAL_surface_height, 1,
                          multisample);
    lx_colorclamp();
}

void VGALFUNC_lx_clearsurface(const BBOXINFO *bbox)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const int multisample = (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) != 0;

    VGALVAL_lx740_ctxdirty |= (word32)ctx->dirty;
    ctx->dirty = 0;
    XPTW(LX_XPT_SYNC, 0);
    if (VGALVAL_lx740_ctxdirty & CTX_SCISSOR) {
        if (ctx->scissoring)
            VGALVAL_lx740renderingmode |= VGAL_RM_SCISSORING;
        else
            VGALVAL_lx740renderingmode &= ~VGAL_RM_SCISSORING;
        lx_scissor(VGALVAL_surface_flip);
        VGALVAL_lx740_ctxdirty &= ~CTX_SCISSOR;
    }
    if (VGALVAL_lx740renderingmode & VGAL_RM_SCISSOR_EMPTY)
        return;
    if (VGALVAL_lx740_dirty & VGAL_DIRTY_COLORBUFFER)
        lx_colorbuffer();
    if (VGALVAL_lx740_ctxdirty & CTX_CLEAR_COLOR)
        cache_clear_colours(ctx);
    if (VGALVAL_lx740_ctxdirty & CTX_CHANNEL_MASK)
        PEW(LX_PE_OVG_CH_MASK, ctx->channelMask);
    if (!(VGALVAL_lx740renderingmode & VGAL_RM_SCISSORING) && VGALVAL_surface_bpp > 7)
        fast_clear(bbox, multisample);
    else
        slow_clear(bbox, multisample);
    VGALVAL_lx740_dirty &= ~VGAL_DIRTY_COLORBUFFER;
    VGALVAL_lx740_ctxdirty &= ~(CTX_CLEAR_COLOR | CTX_CHANNEL_MASK);
}
