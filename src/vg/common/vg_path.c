/* Deletion of path records. */
#include "vg/common/vg_path.h"

#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_arena.h"

void VGFUNC_DeletePath(OVGpath *path)
{
    if (path->refCount >= 1) {
        path->deleted = VG_TRUE;
        return;
    }
    VGHAL_ALdeletePath(path);
    VGFUNC_ArenaFree(path);
}

VGErrorCode VGFUNC_SetPathParami(OVGpath *path, VGint param, VGint count, const VGint *values, int scalar)
{
    (void)path, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_SetPathParamf(OVGpath *path, VGint param, VGint count, const VGfloat *values, int scalar)
{
    (void)path, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetPathParami(const OVGpath *path, VGint param, VGint count, VGint *values, int scalar)
{
    (void)path, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetPathParamf(const OVGpath *path, VGint param, VGint count, VGfloat *values, int scalar)
{
    (void)path, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetPathParamx(const OVGpath *path, VGint param, VGint count, VGfixed *values, int scalar)
{
    (void)path, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetPathVector(const OVGpath *path, VGint param, VGint *result)
{
    (void)path, (void)param, (void)result;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}
