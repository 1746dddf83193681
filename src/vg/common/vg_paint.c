/* Holders and deletion of paint records. */
#include "vg/common/vg_paint.h"

#include "vg/common/vg_arena.h"

void VGFUNC_DeletePaint(OVGpaint *paint)
{
    if (paint->refCount >= 1) {
        paint->deleted = VG_TRUE;
        return;
    }
    if (paint->paintPattern)
        VGFUNC_DecImage(paint->paintPattern);
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
