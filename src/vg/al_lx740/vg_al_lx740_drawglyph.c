/* Glyph drawing. Path glyphs reuse the path passes (cached lists per path) and image glyphs the
 * image quad; the glyph's place is given to the vertex processor per glyph as an offset on the
 * glyph matrix (entry 14), so the glyph-user-to-surface matrix is loaded once per call, and the
 * full paint or image state and the paint matrices of a run (entry 35) are set only for the
 * first glyph of a run of the same kind. */
#include <stdint.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/al_lx740/vg_al_lx740_paint.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

/* The paint program's matrix sets of glyph fills and image glyphs, and of glyph strokes. */
#define GLYPH_FILL_SET 24576u
#define GLYPH_STROKE_SET 32768u

/* LX_VP_CTRL0 bits of entry 14: the offset places path glyphs or image glyphs, and moves the
 * fill or stroke paint with the glyph; entry 35 takes the run's kinds. */
#define VP_NO_FLIP 0x80000000u
#define GLYPH_PATHS 1u
#define GLYPH_IMAGES 2u
#define GLYPH_FILL_PAINT 4u
#define GLYPH_STROKE_PAINT 8u
#define RUN_FILL 1u
#define RUN_STROKE 2u
#define RUN_IMAGE 4u

/* Enabled passes. */
#define E_FILL 1u
#define E_STROKE 2u

/* The kind drawn last in the run: none, a path fill, a path stroke, an image. */
#define K_NONE 0
#define K_FILL 1
#define K_STROKE 2
#define K_IMAGE 4


VGALglyphstate VGALVAL_glyphstate = {VGALFUNC_lx_setstate_path, VGALFUNC_lx_setstate_path_minimum,
                                     VGALFUNC_lx_setstate_image, VGALFUNC_lx_setstate_image_minimum};

/* One call's control words and passes. */
typedef struct GlyphRun {
    word32 p, i, r; /* entry 14 for path and image glyphs, entry 35 for path glyphs */
    word32 e;       /* enabled passes; 0 once a glyph's state could not be set up */
    VGbitfield paintModes;
    int k;
    int failed; /* a glyph's state could not be set up */
} GlyphRun;

/* The glyph's offset on entry 14 with the control word `ctrl`. */
static void glyph_offset(word32 ctrl, float dx, float dy)
{
    const word32 packet[3] = {CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, 2), cglFloatTo32F(dx), cglFloatTo32F(dy)};
    VPCTRLW(LX_VP_CTRL0, ctrl);
    VPCTRLW(LX_VP_IADDR, VGAL_VP_GLYPH_OFFSET_ENTRY);
    VGALVAL_lx740vpinstaddr = VGAL_VP_GLYPH_OFFSET_ENTRY;
    VPCTRLW(LX_TE_SYNC, 0);
    SETCMDA(packet, 3);
    VPCTRLW(LX_TE_SYNC, 0);
}

/* A set-up that failed drops the glyph's commands; no later glyph is drawn. */
static void drop_glyph(GlyphRun *run)
{
    VGALVAL_lx740cmdbuffer_count = 0;
    run->e = 0;
    run->failed = 1;
}

static void draw_image_glyph(GlyphRun *run, const OVGimage *image, float dx, float dy)
{
    const int first = run->k != K_IMAGE;
    int filtered, failed;

    VPCTRLW(LX_TE_SYNC, 0);
    if (first)
        VGALFUNC_lx_resetxptbuffer(1);
    filtered = VGALFUNC_image_sampling(image);
    VGALFUNC_lx_setstate(2);
    VGALVAL_setrzmtx = GLYPH_FILL_SET;
    glyph_offset(run->i, dx, dy);
    /* From here the image quad is placed by the glyph: the next image draw must derive its own
     * matrix again, whatever becomes of this glyph. */
    VGALVAL_needmtxupdate |= VGAL_MTX_IMAGE;
    if (first)
        VGALFUNC_vp_run_entry(RUN_IMAGE, VGAL_VP_GLYPH_PAINT_ENTRY);
    VGALFUNC_image_quad(image);
    failed = first ? VGALVAL_glyphstate.image(image, 0, filtered) : VGALVAL_glyphstate.image_minimum(image, filtered);
    if (failed) {
        drop_glyph(run);
        return;
    }
    VGALFUNC_lx_scanimage();
    run->k = K_IMAGE;
}

static void draw_path_glyph(GlyphRun *run, OVGpath *path, float dx, float dy)
{
    const int first = (run->k & (K_FILL | K_STROKE)) == 0;
    int pass;

    VPCTRLW(LX_TE_SYNC, 0);
    if (first)
        VGALFUNC_lx_resetxptbuffer(0);
    glyph_offset(run->p, dx, dy);
    /* The segments are placed by the glyph from here: the next path draw reruns entry 0. */
    VGALVAL_needmtxupdate |= VGAL_MTX_PATH;
    if (first)
        VGALFUNC_vp_run_entry(run->r, VGAL_VP_GLYPH_PAINT_ENTRY);

    for (pass = 0; pass < 2; ++pass) {
        const word32 bit = pass ? E_STROKE : E_FILL;
        int failed;
        if (!(run->paintModes & (pass ? VG_STROKE_PATH : VG_FILL_PATH)) || !(run->e & bit))
            continue;
        VGALFUNC_lx_setstate(pass);
        VGALVAL_setrzmtx = pass ? GLYPH_STROKE_SET : GLYPH_FILL_SET;
        VGALFUNC_pathpass(path, pass);
        /* A stroke after this glyph's fill takes the reduced set-up. */
        failed = (run->k & (K_FILL | K_STROKE)) == 0 ? VGALVAL_glyphstate.path(pass)
                                                     : VGALVAL_glyphstate.path_minimum(pass);
        if (failed) {
            drop_glyph(run);
            return;
        }
        VGALFUNC_lx_scanedges();
        run->k = pass ? K_STROKE : K_FILL;
    }
}

/* The paint-to-user matrices when changed; `pending` are the recomputations they cause. */
static void paint_rows(OVGmatrix *m, word32 constant, word32 pending)
{
    if (!VGFUNC_IsDirty(m))
        return;
    VGALFUNC_vp_matrix_rows(constant, m, 2);
    m->flag &= ~OVG_MATRIX_DIRTY;
    VGALVAL_needmtxupdate |= pending;
}

VGErrorCode VGHAL_ALdrawGlyphs(OVGfont *font, VGint count, const VGuint *indices, const VGfloat *adjustX,
                               const VGfloat *adjustY, VGbitfield paintModes, VGboolean allowAutoHinting)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const word32 flip = VGALVAL_surface_flip == 0 ? VP_NO_FLIP : 0u;
    GlyphRun run;
    float ox, oy;
    VGint n;

    (void)allowAutoHinting; /* hinting is not done */
    for (n = 0; n < count; ++n)
        if (!VGFUNC_FindGlyph(font, indices[n]))
            return VG_ILLEGAL_ARGUMENT_ERROR;

    ox = ctx->glyphOrigin[0];
    oy = ctx->glyphOrigin[1];
    VGALFUNC_lx_checkstate();
    VGALFUNC_setpathucodeentry();
    /* The glyph matrix is loaded at every call: its dirty flag stays set. */
    if (VGFUNC_IsDirty(&ctx->glyphUserToSurface)) {
        VPCTRLW(LX_TE_SYNC, 0);
        VGALFUNC_vp_matrix_rows(LX_VCNST_OVG_GU2S1, &ctx->glyphUserToSurface, 2);
    }

    run.e = 0;
    if (paintModes != 0) {
        run.e = (VGALVAL_lx740renderingmode & VGAL_RM_SCISSOR_EMPTY) ? 0u : E_FILL | E_STROKE;
        XPTW(LX_XPT_SYNC, 0);
        VPCTRLW(LX_TE_SYNC, 0);
        paint_rows(&ctx->fillPaintToUser, LX_VCNST_OVG_FP2U1,
                   VGAL_MTX_IMAGE_PAINT_MATRIX | VGAL_MTX_FILL_PAINT_MATRIX | VGAL_MTX_FILL_PAINT_IMAGE |
                       VGAL_MTX_FILL_PAINT_PATH);
        paint_rows(&ctx->strokePaintToUser, LX_VCNST_OVG_SP2U1,
                   VGAL_MTX_STROKE_PAINT_MATRIX | VGAL_MTX_STROKE_PAINT_PATH);
    }
    /* A width that is not positive and finite strokes nothing. */
    if (!VGALFUNC_strokewidthdrawn(ctx->strokeLineWidth))
        run.e &= ~E_STROKE;

    {
        const int fill = (paintModes & VG_FILL_PATH) && (run.e & E_FILL);
        const int stroke = (paintModes & VG_STROKE_PATH) && (run.e & E_STROKE);
        run.p = GLYPH_PATHS | flip;
        run.i = GLYPH_IMAGES | flip;
        if (!IsColorPaint(ctx->currentFillPaint)) {
            if (fill)
                run.p |= GLYPH_FILL_PAINT;
            if (ctx->imageMode != VG_DRAW_IMAGE_NORMAL)
                run.i |= GLYPH_FILL_PAINT;
        }
        if (!IsColorPaint(ctx->currentStrokePaint) && stroke)
            run.p |= GLYPH_STROKE_PAINT;
        run.r = (fill ? RUN_FILL : 0u) + (stroke ? RUN_STROKE : 0u);
    }
    run.paintModes = paintModes;
    run.k = K_NONE;
    run.failed = 0;
    writeDivisionParameters(&ctx->glyphUserToSurface, ctx->strokeLineWidth);

    for (n = 0; n < count; ++n) {
        const OVGglyph *g = VGFUNC_FindGlyph(font, indices[n]);
        if (g->object && run.e != 0 && paintModes != 0) {
            const float dx = ox - g->origin[0], dy = oy - g->origin[1];
            if (g->type == OVG_GLYPH_IMAGE) {
                if (run.e & E_FILL)
                    draw_image_glyph(&run, (const OVGimage *)(uintptr_t)g->object, dx, dy);
            } else {
                draw_path_glyph(&run, (OVGpath *)(uintptr_t)g->object, dx, dy);
            }
        }
        ox += g->escapement[0];
        oy += g->escapement[1];
        if (adjustX)
            ox += adjustX[n];
        if (adjustY)
            oy += adjustY[n];
    }
    ctx->glyphOrigin[0] = ox;
    ctx->glyphOrigin[1] = oy;
    return run.failed ? VG_OUT_OF_MEMORY_ERROR : VG_NO_ERROR;
}
