/* The image hooks of EGL: an OpenVG image lent to EGL as the colour buffer of a pbuffer. While
 * EGL holds it (isBound) the image is not freed, even when destroyed through the API; while it
 * is bound as a render target it counts as held. */
#include "vg/common/vg_egl_image.h"

#include <stdint.h>

#include "vg/al_lx740/vg_al_lx740_vgimage.h"
#include "vg/common/vg_share.h"

/* Channel sizes r, g, b, a, l an EGL configuration must have for each format (low four bits). */
static const unsigned char channelSizes[16][5] = {
    {8, 8, 8, 0, 0}, {8, 8, 8, 8, 0}, {8, 8, 8, 8, 0}, {5, 6, 5, 0, 0}, {5, 5, 5, 1, 0}, {4, 4, 4, 4, 0},
    {0, 0, 0, 0, 8}, {8, 8, 8, 0, 0}, {8, 8, 8, 8, 0}, {8, 8, 8, 8, 0}, {0, 0, 0, 0, 8}, {0, 0, 0, 8, 0},
    {0, 0, 0, 0, 1}, {0, 0, 0, 1, 0}, {0, 0, 0, 4, 0}, {0, 0, 0, 0, 0},
};

static OVGimage *findImage(void *ctx, VGImage buffer)
{
    return VGFUNC_FindImage(((const OVGcontext *)ctx)->sharedState, buffer);
}

/* An image EGL holds (between vgGetVGImage and vgReleaseVGImage). It may have been destroyed
 * through the API since EGL took it, so it is no handle of any table now; its bound flag has
 * kept the record alive, so its address is good. */
static OVGimage *lentImage(VGImage buffer)
{
    return (OVGimage *)(uintptr_t)buffer;
}

static VGint channelOrder(const OVGimage *image)
{
    return (VGint)((VGuint)image->format >> 6);
}

int vgIsImage(void *ctx, VGImage buffer)
{
    const OVGimage *image = findImage(ctx, buffer);
    return image && !image->extension ? 0 : OVG_EGL_IMAGE_NOT_AN_IMAGE;
}

int vgIsMatchImage(void *ctx, VGImage buffer, VGint r, VGint g, VGint b, VGint a, VGint l, VGint *order)
{
    const OVGimage *image = findImage(ctx, buffer);
    const unsigned char *sizes;
    if (!image)
        return OVG_EGL_IMAGE_NOT_AN_IMAGE;
    sizes = channelSizes[image->format & 15];
    *order = channelOrder(image);
    return r == sizes[0] && g == sizes[1] && b == sizes[2] && a == sizes[3] && l == sizes[4] ? 0 : 1;
}

int vgGetVGImage(void *ctx, VGImage buffer, VGint *w, VGint *h, VGint *sw, VGint *sh, VGint *l, VGint *a,
                 VGuint *addr, VGint *order)
{
    OVGimage *image = findImage(ctx, buffer);
    if (!image)
        return OVG_EGL_IMAGE_NOT_AN_IMAGE;
    if (image->isBound)
        return OVG_EGL_IMAGE_BOUND;
    if (image->parent)
        return OVG_EGL_IMAGE_CHILD;
    if (image->refCount != 0)
        return OVG_EGL_IMAGE_IN_USE;
    if (VGHAL_ALgetVGImage(image, w, h, sw, sh, l, a, addr) != 0)
        return OVG_EGL_IMAGE_FAILED;
    *order = channelOrder(image);
    image->isBound = 1;
    return 0;
}

int vgBindVGImage(void *ctx, VGImage buffer, VGuint *pbuf, VGint pstride, VGuint *sbuf, VGint sstride)
{
    OVGimage *image = findImage(ctx, buffer);
    if (!image)
        return OVG_EGL_IMAGE_NOT_AN_IMAGE;
    if (image->refCount != 0)
        return OVG_EGL_IMAGE_IN_USE;
    VGFUNC_IncRenderTarget(image);
    VGHAL_ALbindVGImage((OVGcontext *)ctx, image, pbuf, pstride, sbuf, sstride);
    return 0;
}

void vgUnbindVGImage(void *ctx, VGImage buffer, VGuint *pbuf, VGint pstride, VGuint *sbuf, VGint sstride)
{
    OVGimage *image = lentImage(buffer);
    if (!image || !image->isBound || !VGFUNC_IsRenderTarget(image))
        return;
    VGHAL_ALunbindVGImage((OVGcontext *)ctx, image, pbuf, pstride, sbuf, sstride);
    VGFUNC_DecRenderTarget(image);
}

void vgReleaseVGImage(VGImage buffer, VGuint *addr)
{
    OVGimage *image = lentImage(buffer);
    if (!image || !image->isBound)
        return;
    VGHAL_ALreleaseVGImage(image, *addr);
    image->isBound = 0;
    if (image->deleted)
        VGFUNC_DeleteImage(image);
}
