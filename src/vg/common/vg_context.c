/* Construction and deletion of a context record, and its current paints. */
#include "vg/common/vg_context.h"

#include <stdlib.h>

#include "vg/common/vg_share.h"

static void setDefaults(OVGcontext *c)
{
    int i;
    VGFUNC_InitMatrix(&c->pathUserToSurface, VG_MATRIX_PATH_USER_TO_SURFACE);
    VGFUNC_InitMatrix(&c->imageUserToSurface, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    VGFUNC_InitMatrix(&c->fillPaintToUser, VG_MATRIX_FILL_PAINT_TO_USER);
    VGFUNC_InitMatrix(&c->strokePaintToUser, VG_MATRIX_STROKE_PAINT_TO_USER);
    VGFUNC_InitMatrix(&c->glyphUserToSurface, VG_MATRIX_GLYPH_USER_TO_SURFACE);
    c->currentMtx = &c->pathUserToSurface;
    c->matrixMode = VG_MATRIX_PATH_USER_TO_SURFACE;
    c->fillRule = VG_EVEN_ODD;
    c->imageQuality = VG_IMAGE_QUALITY_FASTER;
    c->renderingQuality = VG_RENDERING_QUALITY_BETTER;
    c->blendMode = VG_BLEND_SRC_OVER;
    c->imageMode = VG_DRAW_IMAGE_NORMAL;
    c->strokeLineWidth = 1.0f;
    c->strokeCapStyle = VG_CAP_BUTT;
    c->strokeJoinStyle = VG_JOIN_MITER;
    c->strokeMiterLimit = 4.0f;
    c->strokeDashPhaseReset = VG_FALSE;
    c->masking = VG_FALSE;
    c->scissoring = VG_FALSE;
    c->pixelLayout = VG_PIXEL_LAYOUT_UNKNOWN;
    c->screenLayout = VG_PIXEL_LAYOUT_UNKNOWN;
    c->filterChannelMask = VG_RED | VG_GREEN | VG_BLUE | VG_ALPHA;
    c->error = VG_NO_ERROR;
    c->dirty = -1;
    for (i = 0; i < 4; ++i)
        c->colorTransformValues[i] = c->colorTransformValuesOrig[i] = 1.0f;
    c->blendUnitEXT = VG_EXT_BLEND_UNIT_OPENVG;
    c->blendFuncEXT[0] = c->blendFuncEXT[2] = VG_EXT_BLEND_ONE;
    c->blendFuncEXT[1] = c->blendFuncEXT[3] = VG_EXT_BLEND_ZERO;
    c->blendEquationEXT[0] = c->blendEquationEXT[1] = VG_EXT_BLEND_FUNC_ADD;
}

OVGcontext *VGFUNC_CreateVGContext(OVGcontext *share)
{
    OVGcontext *context = (OVGcontext *)calloc(1, sizeof(OVGcontext));
    if (!context)
        return NULL;
    context->sharedState = share ? share->sharedState : VGFUNC_CreateShare();
    if (!context->sharedState) {
        free(context);
        return NULL;
    }
    VGFUNC_IncShare(context->sharedState);
    setDefaults(context);
    return context;
}

void VGFUNC_DeleteVGContext(OVGcontext *context)
{
    if (context->currentFillPaint)
        VGFUNC_DecPaint(context->currentFillPaint);
    if (context->currentStrokePaint)
        VGFUNC_DecPaint(context->currentStrokePaint);
    VGFUNC_DecShare(context->sharedState);
    VGFUNC_DeleteShare(context->sharedState);
    free(context);
}

OVGmatrix *VGFUNC_GetCurrentMatrix(OVGcontext *context)
{
    return context->currentMtx;
}

OVGpaint *VGFUNC_GetPaint(const OVGcontext *context, VGPaintMode mode)
{
    return mode == VG_FILL_PATH ? context->currentFillPaint : context->currentStrokePaint;
}

/* The new paint is taken before the old one is released, so setting the paint already held
 * never frees it on the way. */
static void holdPaint(OVGpaint **slot, OVGpaint *paint)
{
    OVGpaint *old = *slot;
    if (paint)
        VGFUNC_IncPaint(paint);
    *slot = paint;
    if (old)
        VGFUNC_DecPaint(old);
}

void VGFUNC_SetPaint(OVGcontext *context, OVGpaint *paint, VGbitfield mode)
{
    if (mode & VG_FILL_PATH)
        holdPaint(&context->currentFillPaint, paint);
    if (mode & VG_STROKE_PATH)
        holdPaint(&context->currentStrokePaint, paint);
}
