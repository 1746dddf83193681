/* The image entry points that move pixels: client data into and out of an image, the clear of
 * an image and the copy between images. Vendor images are skipped silently: their layouts have
 * no software readers or writers. */
#include <stddef.h>

#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_image_api.h"
#include "vg/common/vg_image_format.h"

/* The image of a sub-data call when the transfer is to be made, else null (with the error
 * recorded, or silently for a vendor image). */
static OVGimage *subDataImage(OVGcontext *c, VGImage handle, const void *data, VGImageFormat dataFormat,
                              VGint width, VGint height)
{
    OVGimage *image = VGFUNC_FindImageOrError(c, handle);
    if (!image || image->extension || VGFUNC_RenderTargetError(c, image))
        return NULL;
    if (!VGFUNC_IsValidImageFormat(dataFormat)) {
        VGFUNC_RecordError(c, VG_UNSUPPORTED_IMAGE_FORMAT_ERROR);
        return NULL;
    }
    if (width <= 0 || height <= 0 || VGFUNC_IsBadPointer(data, VGVAL_imgalign[dataFormat & 15])) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return NULL;
    }
    return image;
}

void vgImageSubData(VGImage handle, const void *data, VGint dataStride, VGImageFormat dataFormat, VGint x, VGint y,
                    VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *image = c ? subDataImage(c, handle, data, dataFormat, width, height) : NULL;
    const OVGrect rect = {x, y, width, height};
    if (image)
        VGFUNC_RecordError(c, VGHAL_ALsetImage(image, data, dataStride, dataFormat, &rect));
}

void vgGetImageSubData(VGImage handle, void *data, VGint dataStride, VGImageFormat dataFormat, VGint x, VGint y,
                       VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *image = c ? subDataImage(c, handle, data, dataFormat, width, height) : NULL;
    const OVGrect rect = {x, y, width, height};
    if (image)
        VGFUNC_RecordError(c, VGHAL_ALgetImage(image, data, dataStride, dataFormat, &rect));
}

void vgClearImage(VGImage handle, VGint x, VGint y, VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *image = c ? VGFUNC_FindImageOrError(c, handle) : NULL;
    const OVGrect rect = {x, y, width, height};
    if (!image || image->extension || VGFUNC_RenderTargetError(c, image))
        return;
    if (width <= 0 || height <= 0) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    VGFUNC_RecordError(c, VGHAL_ALclearImage(image, &rect));
}

void vgCopyImage(VGImage dstHandle, VGint dx, VGint dy, VGImage srcHandle, VGint sx, VGint sy, VGint width,
                 VGint height, VGboolean dither)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *dst = c ? VGFUNC_FindImageOrError(c, dstHandle) : NULL;
    OVGimage *src = dst ? VGFUNC_FindImageOrError(c, srcHandle) : NULL;
    const OVGrect rect = {sx, sy, width, height};
    if (!src || dst->extension || VGFUNC_RenderTargetError(c, dst) || VGFUNC_RenderTargetError(c, src))
        return;
    if (width <= 0 || height <= 0) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    VGFUNC_RecordError(c, VGHAL_ALcopyImage(dst, dx, dy, src, &rect, dither));
}
