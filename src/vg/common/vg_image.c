/* Image records: creation of root, child, vendor and mask images, holders and deletion,
 * render-target counts, overlap, and the image parameters. */
#include "vg/common/vg_image.h"

#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_arena.h"
#include "vg/common/vg_float_int.h"
#include "vg/common/vg_image_format.h"

OVGimage *VGFUNC_ImageOverBuffer(ALbuffer *buffer, VGImageFormat format, VGint width, VGint height, VGbitfield quality,
                          VGint extension)
{
    OVGimage *image;
    if (!buffer)
        return NULL;
    image = (OVGimage *)VGFUNC_ArenaAlloc(sizeof(OVGimage));
    if (!image) {
        VGHAL_ALdeleteImage(buffer, NULL);
        return NULL;
    }
    image->buffer = buffer;
    image->format = format;
    image->quality = quality;
    image->activeRect.width = width;
    image->activeRect.height = height;
    image->extension = extension;
    return image;
}

OVGimage *VGFUNC_CreateImage(VGImageFormat format, VGint width, VGint height, VGbitfield quality)
{
    return VGFUNC_ImageOverBuffer(VGHAL_ALcreateImage(width, height, VGVAL_bitperpixel[format & 15]), format, width, height,
                    quality, 0);
}

OVGimage *VGFUNC_CreateImageEXT(VGImageFormat format, VGint width, VGint height, VGbitfield quality,
                                const void *data)
{
    return VGFUNC_ImageOverBuffer(VGHAL_ALcreateImageEXT(format, width, height, data), format, width, height, quality, 1);
}

OVGimage *VGFUNC_CreateDirectImageEXT(VGImageFormat format, VGint width, VGint height, VGbitfield quality,
                                      void *data, VGint stride)
{
    return VGFUNC_ImageOverBuffer(VGHAL_ALcreateDirectImageEXT(format, width, height, data, stride), format, width, height,
                    quality, 1);
}

OVGimage *VGFUNC_CreateChildImage(OVGimage *parent, VGint x, VGint y, VGint width, VGint height)
{
    OVGimage *child = (OVGimage *)VGFUNC_ArenaAlloc(sizeof(OVGimage));
    if (!child)
        return NULL;
    child->buffer = parent->buffer;
    child->activeRect.x = parent->activeRect.x + x;
    child->activeRect.y = parent->activeRect.y + y;
    child->activeRect.width = width;
    child->activeRect.height = height;
    child->format = parent->format;
    child->quality = parent->quality;
    child->extension = parent->extension;
    child->parent = parent;
    VGFUNC_IncImage(parent);
    return child;
}

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

void VGFUNC_IncRenderTarget(OVGimage *image)
{
    image->refRenderCount++;
    VGFUNC_IncImage(image);
}

void VGFUNC_DecRenderTarget(OVGimage *image)
{
    image->refRenderCount--;
    VGFUNC_DecImage(image);
}

int VGFUNC_IsRenderTarget(const OVGimage *image)
{
    return image && image->refRenderCount != 0;
}

int VGFUNC_IsOverlap(const OVGimage *a, const OVGimage *b)
{
    const OVGrect *r = &a->activeRect, *s = &b->activeRect;
    /* Areas are half open, [x, x + width): rectangles that only touch share no pixel. Edges are
     * compared in 64 bits: a rectangle's end may lie past the 32-bit range. */
    const long long rRight = (long long)r->x + r->width, rBottom = (long long)r->y + r->height;
    const long long sRight = (long long)s->x + s->width, sBottom = (long long)s->y + s->height;
    if (a->buffer != b->buffer)
        return 0;
    return r->x < sRight && s->x < rRight && r->y < sBottom && s->y < rBottom;
}

/* ---- Parameters ---- */

static int isImageParam(VGint param)
{
    return param == VG_IMAGE_FORMAT || param == VG_IMAGE_WIDTH || param == VG_IMAGE_HEIGHT;
}

VGErrorCode VGFUNC_SetImageParami(OVGimage *image, VGint param, VGint count, const VGint *values, int scalar)
{
    (void)image, (void)count, (void)values, (void)scalar;
    return isImageParam(param) ? VG_NO_ERROR : VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_SetImageParamf(OVGimage *image, VGint param, VGint count, const VGfloat *values, int scalar)
{
    (void)image, (void)count, (void)values, (void)scalar;
    return isImageParam(param) ? VG_NO_ERROR : VG_ILLEGAL_ARGUMENT_ERROR;
}

/* The value of a read-only parameter into *value. */
static VGErrorCode imageParam(const OVGimage *image, VGint param, VGint count, VGint *value)
{
    if (count > 1)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    switch (param) {
    case VG_IMAGE_FORMAT: *value = (VGint)image->format; return VG_NO_ERROR;
    case VG_IMAGE_WIDTH: *value = image->activeRect.width; return VG_NO_ERROR;
    case VG_IMAGE_HEIGHT: *value = image->activeRect.height; return VG_NO_ERROR;
    default: return VG_ILLEGAL_ARGUMENT_ERROR;
    }
}

VGErrorCode VGFUNC_GetImageParami(const OVGimage *image, VGint param, VGint count, VGint *values, int scalar)
{
    (void)scalar;
    return imageParam(image, param, count, values);
}

VGErrorCode VGFUNC_GetImageParamf(const OVGimage *image, VGint param, VGint count, VGfloat *values, int scalar)
{
    VGint value = 0;
    const VGErrorCode error = imageParam(image, param, count, &value);
    (void)scalar;
    if (error == VG_NO_ERROR)
        values[0] = (VGfloat)value;
    return error;
}

VGErrorCode VGFUNC_GetImageVector(const OVGimage *image, VGint param, VGint *result)
{
    (void)image;
    if (!isImageParam(param))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    *result = 1;
    return VG_NO_ERROR;
}
