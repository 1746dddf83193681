#include "vg/al_lx740/vg_al_lx740_draw.h"

#include <stdlib.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_paint.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"
#include "vg/common/vg_matrix.h"

#define IMAGE_PAINT_SET 16384u
#define VP_NO_FLIP 0x80000000u
#define VP_IMAGE_MATRIX 1u
#define VP_IMAGE_PAINT 2u
#define QUAD_WORDS 4u

float *coordbuffer;
int coordbuffersize;
word32 VGALVAL_needmtxupdate;
VGRenderingQuality draw_image_previous_quality;

void VGALFUNC_al_lx740_draw_init(void)
{
    coordbuffer = NULL;
    coordbuffersize = 0;
    /* A new start of the layer has no matrix work pending from the one before. */
    VGALVAL_needmtxupdate = 0;
}

void VGALFUNC_al_lx740_draw_terminate(void)
{
    free(coordbuffer);
    coordbuffer = NULL;
    coordbuffersize = 0;
}

int IsColorPaint(const OVGpaint *paint)
{
    if (!paint || paint->paintType == VG_PAINT_TYPE_COLOR)
        return 1;
    return paint->paintType == VG_PAINT_TYPE_PATTERN && !paint->paintPattern;
}

void VGALFUNC_vp_matrix_rows(word32 constant, const OVGmatrix *m, int rows)
{
    const VGvalue *v = VGFUNC_GetMatrix(m);
    int r;
    for (r = 0; r < rows; ++r) {
        const float row[3] = {v[r], v[r + 3], v[r + 6]};
        VPWV(constant + (word32)r, row, 3);
    }
}

void VGALFUNC_vp_run_entry(word32 ctrl, word32 entry)
{
    VPCTRLW(LX_VP_CTRL0, ctrl);
    VPCTRLW(LX_VP_IADDR, entry);
    VGALVAL_lx740vpinstaddr = entry;
    VPCTRLW(LX_TE_SYNC, 0);
    SETCMD(VGAL_VP_START);
    VPCTRLW(LX_TE_SYNC, 0);
}

int VGALFUNC_image_sampling(const OVGimage *image)
{
    const int q = (int)((word32)VGALVAL_LX740_ALcontexthandle->imageQuality & (word32)image->quality);
    const float origin[3] = {q > 1 ? 0.0f : 0.5f, q > 1 ? 0.0f : 0.5f, 1.0f};
    VPWV(LX_VCNST_OVG_IMG_ORIGIN, origin, 3);
    return q > 1;
}

void VGALFUNC_image_quad(const OVGimage *image)
{
    const float width = (float)image->activeRect.width, height = (float)image->activeRect.height;
    const word32 quad[QUAD_WORDS + 1] = {CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, QUAD_WORDS), cglFloatTo32F(width),
                                         cglFloatTo32F(height), cglFloatTo32F(1.0f / width),
                                         cglFloatTo32F(1.0f / height)};
    VPWV(LX_VCNST_TXSHP_TH, VGALFUNC_txc_shape_th(image), 4);
    if (VGALVAL_lx740vpinstaddr != VGAL_VP_IMAGE_QUAD_ENTRY) {
        VPCTRLW(LX_VP_IADDR, VGAL_VP_IMAGE_QUAD_ENTRY);
        VGALVAL_lx740vpinstaddr = VGAL_VP_IMAGE_QUAD_ENTRY;
    }
    VPCTRLW(LX_TE_SYNC, 0);
    SETCMDA(quad, QUAD_WORDS + 1);
}

static int is_projective(const OVGmatrix *m)
{
    if (VGFUNC_IsIdentity(m))
        return 0;
    return m->m[2] != 0.0f || m->m[5] != 0.0f || m->m[8] != 1.0f;
}

VGErrorCode VGHAL_ALdrawImage(OVGimage *image)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    OVGmatrix *m = &ctx->imageUserToSurface;
    OVGmatrix *paint_matrix = &ctx->fillPaintToUser;
    word32 f, p;
    int filtered;

    VGALFUNC_lx_checkstate();
    if (VGALVAL_lx740renderingmode & VGAL_RM_SCISSOR_EMPTY)
        return VG_NO_ERROR;
    VGALFUNC_lx_resetxptbuffer(1);

    if (VGFUNC_IsDirty(m)) {
        VPCTRLW(LX_TE_SYNC, 0);
        VGALFUNC_vp_matrix_rows(LX_VCNST_OVG_IU2S1, m, 3);
        VGALVAL_needmtxupdate |= VGAL_MTX_FILL_PAINT_IMAGE;
        m->flag &= ~OVG_MATRIX_DIRTY;
        f = VP_IMAGE_MATRIX, p = 1;
    } else {
        f = 0, p = 0;
        if (ctx->renderingQuality != draw_image_previous_quality || (VGALVAL_needmtxupdate & VGAL_MTX_IMAGE)) {
            VGALVAL_needmtxupdate &= ~VGAL_MTX_IMAGE;
            f = VP_IMAGE_MATRIX;
        }
    }
    if (VGFUNC_IsDirty(paint_matrix)) {
        VGALFUNC_vp_matrix_rows(LX_VCNST_OVG_FP2U1, paint_matrix, 2);
        paint_matrix->flag &= ~OVG_MATRIX_DIRTY;
        VGALVAL_needmtxupdate |= VGAL_MTX_FILL_PAINT_MATRIX | VGAL_MTX_FILL_PAINT_IMAGE | VGAL_MTX_FILL_PAINT_PATH;
        p = 1;
    } else if (VGALVAL_needmtxupdate & VGAL_MTX_IMAGE_PAINT_MATRIX) {
        VGALVAL_needmtxupdate &= ~VGAL_MTX_IMAGE_PAINT_MATRIX;
        p = 1;
    }
    if (!IsColorPaint(ctx->currentFillPaint) && ctx->imageMode != VG_DRAW_IMAGE_NORMAL &&
        (VGALVAL_needmtxupdate & VGAL_MTX_FILL_PAINT_IMAGE)) {
        VGALVAL_needmtxupdate &= ~VGAL_MTX_FILL_PAINT_IMAGE;
        f |= VP_IMAGE_PAINT;
    }
    VGALVAL_setrzmtx = IMAGE_PAINT_SET;
    draw_image_previous_quality = ctx->renderingQuality;

    filtered = VGALFUNC_image_sampling(image);
    VGALFUNC_setpathucodeentry();
    VGALFUNC_lx_setstate(2);

    if (f != 0)
        VGALFUNC_vp_run_entry(f | (VGALVAL_surface_flip == 0 ? VP_NO_FLIP : 0u), VGAL_VP_IMAGE_MATRIX_ENTRY);
    if (p != 0)
        VGALFUNC_vp_run_entry(0, VGAL_VP_IMAGE_PAINT_ENTRY);
    VGALFUNC_image_quad(image);

    if (VGALFUNC_lx_setstate_image(image, is_projective(m), filtered) != 0) {
        VGALVAL_lx740cmdbuffer_count = 0;
        return VG_OUT_OF_MEMORY_ERROR;
    }
    VGALFUNC_lx_scanimage();
    return VG_NO_ERROR;
}
