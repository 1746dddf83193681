/* The entry points that clear the drawing surface and move pixels between it, client memory and
 * images. Arguments are checked in the order that decides which error is recorded when several
 * are wrong; a zero-sized drawing surface makes every one of them a silent no-op. Clipping is the
 * acceleration layer's, so rectangles are handed over as the caller gave them. */
#include <stddef.h>

#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_image_api.h"
#include "vg/common/vg_image_format.h"

/* 1 when both sides are positive, else 0 with VG_ILLEGAL_ARGUMENT_ERROR. */
static int positiveSize(OVGcontext *c, VGint width, VGint height)
{
    if (width > 0 && height > 0)
        return 1;
    VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
    return 0;
}

static OVGrect rectangle(VGint x, VGint y, VGint width, VGint height)
{
    OVGrect r;
    r.x = x;
    r.y = y;
    r.width = width;
    r.height = height;
    return r;
}

void vgClear(VGint x, VGint y, VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGrect r;

    if (!c || !positiveSize(c, width, height) || !vgnonzerosizedsurface)
        return;
    r = rectangle(x, y, width, height);
    VGHAL_ALclear(&r);
}

/* The checks of a transfer between client memory and the surface: 1 when it is to be made. */
static int clientTransfer(OVGcontext *c, const void *data, VGImageFormat dataFormat, VGint width, VGint height)
{
    if (!VGFUNC_IsValidImageFormat(dataFormat)) {
        VGFUNC_RecordError(c, VG_UNSUPPORTED_IMAGE_FORMAT_ERROR);
        return 0;
    }
    if (width <= 0 || height <= 0 || VGFUNC_IsBadPointer(data, VGVAL_imgalign[dataFormat & 15])) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return 0;
    }
    return vgnonzerosizedsurface;
}

void vgReadPixels(void *data, VGint dataStride, VGImageFormat dataFormat, VGint sx, VGint sy, VGint width,
                  VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGrect r;

    if (!c || !clientTransfer(c, data, dataFormat, width, height))
        return;
    r = rectangle(sx, sy, width, height);
    VGFUNC_RecordError(c, VGHAL_ALreadPixels(data, dataStride, dataFormat, &r));
}

void vgWritePixels(const void *data, VGint dataStride, VGImageFormat dataFormat, VGint dx, VGint dy, VGint width,
                   VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGrect r;

    if (!c || !clientTransfer(c, data, dataFormat, width, height))
        return;
    r = rectangle(dx, dy, width, height);
    VGFUNC_RecordError(c, VGHAL_ALwritePixels(data, dataStride, dataFormat, &r));
}

void vgGetPixels(VGImage dst, VGint dx, VGint dy, VGint sx, VGint sy, VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *image = c ? VGFUNC_FindImageOrError(c, dst) : NULL;
    OVGrect r;

    /* A vendor image is left alone without an error. */
    if (!image || image->extension || VGFUNC_RenderTargetError(c, image) || !positiveSize(c, width, height) ||
        !vgnonzerosizedsurface)
        return;
    r = rectangle(sx, sy, width, height);
    VGFUNC_RecordError(c, VGHAL_ALgetPixels(image, dx, dy, &r));
}

void vgSetPixels(VGint dx, VGint dy, VGImage src, VGint sx, VGint sy, VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGimage *image = c ? VGFUNC_FindImageOrError(c, src) : NULL;
    OVGrect r;

    if (!image || VGFUNC_RenderTargetError(c, image) || !positiveSize(c, width, height) || !vgnonzerosizedsurface)
        return;
    r = rectangle(sx, sy, width, height);
    VGFUNC_RecordError(c, VGHAL_ALsetPixels(dx, dy, image, &r));
}

void vgCopyPixels(VGint dx, VGint dy, VGint sx, VGint sy, VGint width, VGint height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGrect r;

    if (!c || !positiveSize(c, width, height) || !vgnonzerosizedsurface)
        return;
    r = rectangle(sx, sy, width, height);
    VGFUNC_RecordError(c, VGHAL_ALcopyPixels(dx, dy, &r));
}
