#include "vg/al_lx740/vg_al_lx740_setstate.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_paint.h"
#include "vg/al_lx740/vg_al_lx740_pe.h"
#include "vg/al_lx740/vg_al_lx740_scissor.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

#define RM_DRAW_KIND 0xFu
#define RM_DRAW_IMAGE_STENCIL 0x8u
#define RM_COLOR_TRANSFORM 0x100u
#define RM_EDGE_AA 0x1000u

#define XPT_EVEN_ODD 2u
#define XPT_IMAGE 64u
#define COVERAGE_ON 3u
#define YUV_COEFFICIENTS 9u
#define ALT_COLOR_WORDS 4u

/* Context dirty bits cleared by the path and the image validation. */
#define CTX_AFTER_PATH 0x3BFFEF69u
#define CTX_AFTER_IMAGE 0x3BFFEF40u
#define CTX_BLEND_BITS (OVG_DIRTY_BLEND_MODE | OVG_DIRTY_BLEND_UNIT | OVG_DIRTY_BLEND_FUNCS | OVG_DIRTY_BLEND_COLOR)

static word32 stroke_mode(const OVGcontext *ctx)
{
    const word32 cap = ctx->strokeCapStyle == VG_CAP_BUTT    ? VGAL_UCODE_CAP_BUTT
                       : ctx->strokeCapStyle == VG_CAP_ROUND ? VGAL_UCODE_CAP_ROUND
                                                             : VGAL_UCODE_CAP_SQUARE;
    const word32 join = ctx->strokeJoinStyle == VG_JOIN_MITER    ? VGAL_UCODE_JOIN_MITER
                        : ctx->strokeJoinStyle == VG_JOIN_ROUND ? VGAL_UCODE_JOIN_ROUND
                                                                : VGAL_UCODE_JOIN_BEVEL;
    return cap | join | VGAL_UCODE_STROKE;
}

void VGALFUNC_lx_setstate(int mode)
{
    word32 ucode = VGAL_UCODE_IMAGE;
    if (mode == 0)
        ucode = VGAL_UCODE_FILL;
    else if (mode == 1)
        ucode = stroke_mode(VGALVAL_LX740_ALcontexthandle);
    VGALFUNC_al_lx740_ucode_set(ucode);
}

static void set_rm_bit(word32 bit, int on)
{
    if (on)
        VGALVAL_lx740renderingmode |= bit;
    else
        VGALVAL_lx740renderingmode &= ~bit;
}

void VGALFUNC_lx_setstate_render_to_mask_a(void)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    VGALVAL_lx740_ctxdirty |= (word32)ctx->dirty;
    ctx->dirty = 0;
    if (VGALVAL_lx740_ctxdirty & OVG_DIRTY_SCISSOR) {
        set_rm_bit(VGAL_RM_SCISSORING, ctx->scissoring != VG_FALSE);
        lx_scissor(VGALVAL_surface_flip);
    }
}

void VGALFUNC_lx_checkstate(void)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    VGALFUNC_lx_setstate_render_to_mask_a();
    if (VGALVAL_lx740_ctxdirty & OVG_DIRTY_COLOR_TRANSFORM)
        set_rm_bit(RM_COLOR_TRANSFORM, ctx->colorTransform != VG_FALSE);
    if (VGALVAL_lx740_ctxdirty & OVG_DIRTY_MASKING)
        set_rm_bit(VGAL_RM_MASKING, ctx->masking != VG_FALSE && (VGALVAL_lx740renderingmode & VGAL_RM_MASKBUFFER));
}

/* Sets the drawing kind of the rendering mode's low nibble; a change reprograms the pipeline. */
static void set_draw_kind(word32 kind)
{
    if ((VGALVAL_lx740renderingmode & RM_DRAW_KIND) != kind) {
        VGALVAL_lx740renderingmode = (VGALVAL_lx740renderingmode & ~RM_DRAW_KIND) | kind;
        VGALVAL_changepepipe = 1;
    }
}

static void run_pepipe_if_changed(void)
{
    if (VGALVAL_changepepipe) {
        lx_pepipe();
        VGALVAL_changepepipe = 0;
    }
}

/* The PE state writers whose dirty bits are set, in order. */
static void write_dirty_state(void)
{
    if (VGALVAL_lx740_ctxdirty & OVG_DIRTY_MASKING)
        lx_amu();
    if (VGALVAL_lx740_ctxdirty & CTX_BLEND_BITS)
        lx_blu();
    run_pepipe_if_changed();
    if (VGALVAL_lx740_dirty & VGAL_DIRTY_PEBASIC) {
        lx_pebasic();
        VGALVAL_lx740_dirty &= ~VGAL_DIRTY_PEBASIC;
    }
    if (VGALVAL_lx740_dirty & VGAL_DIRTY_COLORBUFFER) {
        lx_colorbuffer();
        VGALVAL_lx740_dirty &= ~VGAL_DIRTY_COLORBUFFER;
    }
    if (VGALVAL_lx740_dirty & VGAL_DIRTY_MASKBUFFER) {
        lx_maskbuffer();
        VGALVAL_lx740_dirty &= ~VGAL_DIRTY_MASKBUFFER;
    }
}

static void write_coverage(void)
{
    PEW(LX_PE_OVG_AALIAS_EN, (VGALVAL_lx740renderingmode & (VGAL_RM_MASKING | RM_EDGE_AA)) ? COVERAGE_ON : 0u);
}

/* The YUV conversion, channel mask and alternate colours when changed. */
static void write_extension_state(const OVGcontext *ctx)
{
    if (VGALVAL_lx740_ctxdirty & OVG_DIRTY_YUV_RGB) {
        word32 coef[YUV_COEFFICIENTS];
        word32 i;
        PEW(LX_PE_OVG_YUV_CTRL, ctx->yuv2rgbConversion);
        for (i = 0; i < YUV_COEFFICIENTS; ++i)
            coef[i] = ctx->yuv2rgbCoefficient[i];
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_YUV_COEF00, coef, YUV_COEFFICIENTS);
    }
    if (VGALVAL_lx740_ctxdirty & OVG_DIRTY_CHANNEL_MASK)
        PEW(LX_PE_OVG_CH_MASK, ctx->channelMask);
    if (VGALVAL_lx740_ctxdirty & OVG_DIRTY_ALTERNATE_COLOR) {
        word32 words[ALT_COLOR_WORDS];
        word32 i;
        for (i = 0; i < ALT_COLOR_WORDS; ++i)
            words[i] = ctx->altColor[i];
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_ACOLOR0_EN, words, ALT_COLOR_WORDS);
    }
}

static word32 path_xpt_mode(const OVGcontext *ctx, int mode)
{
    return mode == 0 && ctx->fillRule != VG_NON_ZERO ? VGALVAL_aamode | XPT_EVEN_ODD : VGALVAL_aamode;
}

static const OVGpaint *path_paint(const OVGcontext *ctx, int mode)
{
    return mode == 1 ? ctx->currentStrokePaint : ctx->currentFillPaint;
}

/* A failed paint or image set-up: the rasterizer buffers are announced again next time. */
static int failed(void)
{
    VGALVAL_xptbufstatus = 1;
    return 1;
}

int VGALFUNC_lx_setstate_path(int mode)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    set_draw_kind(VGAL_RM_DRAW_PATH);
    XPTW(LX_XPT_SYNC_H, 0);
    if (lx_paint(path_paint(ctx, mode)) != 0)
        return failed();
    write_dirty_state();
    write_coverage();
    XPTW(LX_XPT_MODE, path_xpt_mode(ctx, mode));
    write_extension_state(ctx);
    VGALVAL_lx740_ctxdirty &= CTX_AFTER_PATH;
    ctx->dirty = 0;
    return 0;
}

int VGALFUNC_lx_setstate_image(const OVGimage *image, int mode, int lerp)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const OVGpaint *paint = NULL;
    word32 kind = VGAL_RM_DRAW_IMAGE_NORMAL;
    if (mode == 0 && ctx->imageMode != VG_DRAW_IMAGE_NORMAL) {
        kind = ctx->imageMode == VG_DRAW_IMAGE_MULTIPLY ? VGAL_RM_DRAW_IMAGE_MULTIPLY : RM_DRAW_IMAGE_STENCIL;
        paint = ctx->currentFillPaint;
    }
    set_draw_kind(kind);
    if ((image != VGALVAL_currentimage || (VGALVAL_lx740_ctxdirty & OVG_DIRTY_IMAGE_QUALITY)) &&
        lx_image(image, lerp) != 0)
        return failed();
    if (lx_paint(paint) != 0)
        return failed();
    VGALVAL_currentimage = image;
    XPTW(LX_XPT_SYNC_H, 0);
    write_dirty_state();
    write_coverage();
    write_extension_state(ctx);
    XPTW(LX_XPT_MODE, VGALVAL_aamode | XPT_IMAGE);
    VGALVAL_lx740_ctxdirty &= CTX_AFTER_IMAGE;
    ctx->dirty = 0;
    return 0;
}

int VGALFUNC_lx_setstate_path_minimum(int mode)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const OVGpaint *paint = path_paint(ctx, mode);
    XPTW(LX_XPT_SYNC_H, 0);
    if (paint == prevpaint)
        lx_paint_minimum();
    else if (lx_paint(paint) != 0)
        return failed();
    run_pepipe_if_changed();
    XPTW(LX_XPT_MODE, path_xpt_mode(ctx, mode));
    return 0;
}

int VGALFUNC_lx_setstate_image_minimum(const OVGimage *image, int lerp)
{
    const OVGpaint *paint = VGALVAL_LX740_ALcontexthandle->currentFillPaint;
    if (image != VGALVAL_currentimage && lx_image(image, lerp) != 0)
        return failed();
    if (paint == prevpaint)
        lx_paint_minimum();
    else if (lx_paint(paint) != 0)
        return failed();
    VGALVAL_currentimage = image;
    XPTW(LX_XPT_SYNC_H, 0);
    run_pepipe_if_changed();
    return 0;
}
