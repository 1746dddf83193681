/* The paint entry points: creation and destruction, the context's fill and stroke paints, the
 * packed colour and the pattern image. */
#include <stddef.h>

#include <VG/openvg.h>

#include "vg/common/vg_frame.h"

/* The paint of handle in the current context's table, else null with VG_BAD_HANDLE_ERROR. */
static OVGpaint *findPaint(OVGcontext *c, VGPaint handle)
{
    OVGpaint *paint = VGFUNC_FindPaint(c->sharedState, handle);
    if (!paint)
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
    return paint;
}

VGPaint vgCreatePaint(void)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpaint *paint;
    if (!c)
        return VG_INVALID_HANDLE;
    paint = VGFUNC_CreatePaint();
    if (!paint) {
        VGFUNC_RecordError(c, VG_OUT_OF_MEMORY_ERROR);
        return VG_INVALID_HANDLE;
    }
    VGFUNC_AddPaint(c->sharedState, paint);
    return VGFUNC_HandleOf(paint);
}

void vgDestroyPaint(VGPaint handle)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpaint *paint = c ? findPaint(c, handle) : NULL;
    if (!paint)
        return;
    VGFUNC_RemovePaint(c->sharedState, paint);
    VGFUNC_DeletePaint(paint);
}

void vgSetPaint(VGPaint handle, VGbitfield paintModes)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpaint *paint = NULL;
    if (!c)
        return;
    if ((paintModes == VG_FILL_PATH && handle == VGFUNC_HandleOf(c->currentFillPaint)) ||
        (paintModes == VG_STROKE_PATH && handle == VGFUNC_HandleOf(c->currentStrokePaint)))
        return;
    if (handle != VG_INVALID_HANDLE && !(paint = findPaint(c, handle)))
        return;
    if (paintModes < VG_STROKE_PATH || paintModes > (VG_FILL_PATH | VG_STROKE_PATH)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    VGFUNC_SetPaint(c, paint, paintModes);
}

VGPaint vgGetPaint(VGPaintMode paintMode)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    if (!c)
        return VG_INVALID_HANDLE;
    if (paintMode != VG_STROKE_PATH && paintMode != VG_FILL_PATH) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return VG_INVALID_HANDLE;
    }
    return VGFUNC_HandleOf(VGFUNC_GetPaint(c, paintMode));
}

void vgSetColor(VGPaint handle, VGuint rgba)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpaint *paint = c ? findPaint(c, handle) : NULL;
    if (paint)
        VGFUNC_SetPaintColor(paint, rgba);
}

VGuint vgGetColor(VGPaint handle)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpaint *paint = c ? findPaint(c, handle) : NULL;
    return paint ? VGFUNC_GetPaintColor(paint) : 0;
}

void vgPaintPattern(VGPaint handle, VGImage pattern)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpaint *paint = c ? findPaint(c, handle) : NULL;
    OVGimage *image = NULL;
    if (!paint)
        return;
    if (pattern != VG_INVALID_HANDLE && !(image = VGFUNC_FindImage(c->sharedState, pattern))) {
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
        return;
    }
    if (VGFUNC_IsRenderTarget(image)) {
        VGFUNC_RecordError(c, VG_IMAGE_IN_USE_ERROR);
        return;
    }
    VGFUNC_SetPaintPattern(paint, image);
}
