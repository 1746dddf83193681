/* Holders and deletion of image records. */
#include "vg/common/vg_image.h"

#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_arena.h"

void VGFUNC_DeleteImage(OVGimage *image)
{
    if (image->refCount != 0 || image->isBound) {
        image->deleted = VG_TRUE;
        return;
    }
    if (image->parent) {
        /* A child shares its parent's buffer, which stays. */
        VGFUNC_DecImage(image->parent);
        VGHAL_ALdeleteImage(NULL, image);
    } else {
        VGHAL_ALdeleteImage(image->buffer, image);
    }
    VGFUNC_ArenaFree(image);
}

void VGFUNC_IncImage(OVGimage *image)
{
    image->refCount++;
}

void VGFUNC_DecImage(OVGimage *image)
{
    image->refCount--;
    if (image->deleted)
        VGFUNC_DeleteImage(image);
}

VGErrorCode VGFUNC_SetImageParami(OVGimage *image, VGint param, VGint count, const VGint *values, int scalar)
{
    (void)image, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_SetImageParamf(OVGimage *image, VGint param, VGint count, const VGfloat *values, int scalar)
{
    (void)image, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetImageParami(const OVGimage *image, VGint param, VGint count, VGint *values, int scalar)
{
    (void)image, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetImageParamf(const OVGimage *image, VGint param, VGint count, VGfloat *values, int scalar)
{
    (void)image, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetImageVector(const OVGimage *image, VGint param, VGint *result)
{
    (void)image, (void)param, (void)result;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}
