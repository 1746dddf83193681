/* The image entry points that make, destroy, relate and draw images, with their checks in the
 * order the first failing one decides. */
#include <stddef.h>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_image_format.h"
#include "vg/common/vg_image_api.h"

#define ALL_QUALITIES (VG_IMAGE_QUALITY_NONANTIALIASED | VG_IMAGE_QUALITY_FASTER | VG_IMAGE_QUALITY_BETTER)

OVGimage *VGFUNC_FindImageOrError(OVGcontext *c, VGImage handle)
{
    OVGimage *image = VGFUNC_FindImage(c->sharedState, handle);
    if (!image)
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
    return image;
}

int VGFUNC_RenderTargetError(OVGcontext *c, const OVGimage *image)
{
    if (!VGFUNC_IsRenderTarget(image))
        return 0;
    VGFUNC_RecordError(c, VG_IMAGE_IN_USE_ERROR);
    return 1;
}

static int isSide(VGint n)
{
    return n >= 1 && n <= OVG_MAX_IMAGE_SIZE;
}

static int isQuality(VGbitfield quality)
{
    return quality != 0 && (quality & ~(VGbitfield)ALL_QUALITIES) == 0;
}

/* Sides, pixel count, byte count (in 64 bits: 8192 x 8192 x 32 bits passes) and quality. */
static int withinLimits(VGImageFormat format, VGint width, VGint height, VGbitfield quality)
{
    const long long rowBytes = ((long long)width * VGVAL_bitperpixel[format & 15] + 7) / 8;
    return isSide(width) && isSide(height) && (long long)width * height <= OVG_MAX_IMAGE_PIXELS &&
           (long long)height * rowBytes <= OVG_MAX_IMAGE_BYTES && isQuality(quality);
}

/* Adds a made image to the table and answers its handle; a failure is out of memory. */
static VGImage registered(OVGcontext *c, OVGimage *image)
{
    if (!image) {
        VGFUNC_RecordError(c, VG_OUT_OF_MEMORY_ERROR);
        return VG_INVALID_HANDLE;
    }
    VGFUNC_AddImage(c->sharedState, image);
    return VGFUNC_HandleOf(image);
}

VGImage vgCreateImage(VGImageFormat format, VGint width, VGint height, VGbitfield allowedQuality)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    if (!c)
        return VG_INVALID_HANDLE;
    if (!VGFUNC_IsValidImageFormat(format)) {
        VGFUNC_RecordError(c, VG_UNSUPPORTED_IMAGE_FORMAT_ERROR);
        return VG_INVALID_HANDLE;
    }
    if (!withinLimits(format, width, height, allowedQuality)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return VG_INVALID_HANDLE;
    }
    return registered(c, VGFUNC_CreateImage(format, width, height, allowedQuality));
}

VGImage vgCreateImageEXT(VGImageFormat format, VGint width, VGint height, VGbitfield allowedQuality,
                         const void *data)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    if (!c)
        return VG_INVALID_HANDLE;
    if (!VGFUNC_IsValidImageFormatEXT(format) || !isSide(width) || !isSide(height) ||
        VGFUNC_IsBadPointer(data, VGVAL_extimgalign[format & 15]) || !isQuality(allowedQuality)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return VG_INVALID_HANDLE;
    }
    return registered(c, VGFUNC_CreateImageEXT(format, width, height, allowedQuality, data));
}

VGImage vgCreateDirectImageEXT(VGImageFormat format, VGint width, VGint height, VGbitfield allowedQuality,
                               void *data, VGint stride)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    const int vendor = VGFUNC_IsValidImageFormatEXT(format);
    if (!c)
        return VG_INVALID_HANDLE;
    if ((!vendor && !VGFUNC_IsValidImageFormat(format)) ||
        VGFUNC_IsBadPointer(data, vendor ? VGVAL_extimgalign_direct[format & 15] : VGVAL_imgalign[format & 15]) ||
        !isSide(width) || !isSide(height) || !isQuality(allowedQuality)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return VG_INVALID_HANDLE;
    }
    return registered(c, VGFUNC_CreateDirectImageEXT(format, width, height, allowedQuality, data, stride));
}

void vgDestroyImage(VGImage handle)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *image = c ? VGFUNC_FindImageOrError(c, handle) : NULL;
    if (!image)
        return;
    VGFUNC_RemoveImage(c->sharedState, image);
    VGFUNC_DeleteImage(image);
}

/* x + width and y + height are never formed: they could pass the 32-bit range. */
static int isChildArea(const OVGimage *parent, VGint x, VGint y, VGint width, VGint height)
{
    const VGint pw = parent->activeRect.width, ph = parent->activeRect.height;
    return x >= 0 && y >= 0 && width > 0 && height > 0 && x < pw && width <= pw - x && y < ph &&
           height <= ph - y;
}

VGImage vgChildImage(VGImage parentHandle, VGint x, VGint y, VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *parent = c ? VGFUNC_FindImageOrError(c, parentHandle) : NULL;
    if (!parent || VGFUNC_RenderTargetError(c, parent))
        return VG_INVALID_HANDLE;
    if (!isChildArea(parent, x, y, width, height)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return VG_INVALID_HANDLE;
    }
    return registered(c, VGFUNC_CreateChildImage(parent, x, y, width, height));
}

VGImage vgGetParent(VGImage handle)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *image = c ? VGFUNC_FindImageOrError(c, handle) : NULL;
    const OVGimage *ancestor;
    if (!image || VGFUNC_RenderTargetError(c, image))
        return VG_INVALID_HANDLE;
    for (ancestor = image->parent; ancestor; ancestor = ancestor->parent)
        if (!ancestor->deleted)
            return VGFUNC_HandleOf(ancestor);
    return handle;
}

void vgDrawImage(VGImage handle)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *image = c ? VGFUNC_FindImageOrError(c, handle) : NULL;
    if (!image || VGFUNC_RenderTargetError(c, image) || !vgnonzerosizedsurface)
        return;
    VGFUNC_RecordError(c, VGHAL_ALdrawImage(image));
}
