/* The image record of a mask layer. Kept apart from the other image records: its buffer comes
 * from the mask operations of the acceleration layer. */
#include "vg/common/vg_image.h"

#include "vg/al_lx740/vg_al_lx740_objects.h"

OVGimage *VGFUNC_CreateMaskImage(VGint width, VGint height)
{
    ALbuffer *buffer = VGHAL_ALcreateMaskImage(width, height);
    const VGImageFormat format = !buffer ? VG_A_8 : buffer->bpp == 1 ? VG_A_1 : buffer->bpp == 4 ? VG_A_4 : VG_A_8;
    return VGFUNC_ImageOverBuffer(buffer, format, width, height, VG_IMAGE_QUALITY_NONANTIALIASED, 0);
}
