/* Holders and deletion of image records. */
#include "vg/common/vg_image.h"

#include "vg/common/vg_arena.h"

void VGFUNC_DeleteImage(OVGimage *image)
{
    if (image->refCount != 0 || image->isBound) {
        image->deleted = VG_TRUE;
        return;
    }
    if (image->parent)
        VGFUNC_DecImage(image->parent);
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
