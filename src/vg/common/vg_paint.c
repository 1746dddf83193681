/* Holders and deletion of paint records. */
#include "vg/common/vg_paint.h"

#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_arena.h"

void VGFUNC_DeletePaint(OVGpaint *paint)
{
    if (paint->refCount >= 1) {
        paint->deleted = VG_TRUE;
        return;
    }
    if (paint->paintPattern)
        VGFUNC_DecImage(paint->paintPattern);
    VGHAL_ALdeletePaint(paint);
    VGFUNC_ArenaFree(paint);
}

void VGFUNC_IncPaint(OVGpaint *paint)
{
    paint->refCount++;
}

void VGFUNC_DecPaint(OVGpaint *paint)
{
    paint->refCount--;
    if (paint->deleted && paint->refCount == 0)
        VGFUNC_DeletePaint(paint);
}

VGErrorCode VGFUNC_SetPaintParami(OVGpaint *paint, VGint param, VGint count, const VGint *values, int scalar)
{
    (void)paint, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_SetPaintParamf(OVGpaint *paint, VGint param, VGint count, const VGfloat *values, int scalar)
{
    (void)paint, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_SetPaintParamx(OVGpaint *paint, VGint param, VGint count, const VGfixed *values, int scalar)
{
    (void)paint, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetPaintParami(const OVGpaint *paint, VGint param, VGint count, VGint *values, int scalar)
{
    (void)paint, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetPaintParamf(const OVGpaint *paint, VGint param, VGint count, VGfloat *values, int scalar)
{
    (void)paint, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetPaintParamx(const OVGpaint *paint, VGint param, VGint count, VGfixed *values, int scalar)
{
    (void)paint, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetPaintVector(const OVGpaint *paint, VGint param, VGint *result)
{
    (void)paint, (void)param, (void)result;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}
