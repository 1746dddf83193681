/* The image hooks of EGL. Images are not made yet, so no handle is an image: every query
 * answers as for a handle that is none, and the bind, unbind and release do nothing. */
#include "vg/common/vg_egl_image.h"

int vgIsImage(void *ctx, VGImage buffer)
{
    (void)ctx, (void)buffer;
    return OVG_EGL_IMAGE_NOT_AN_IMAGE;
}

int vgIsMatchImage(void *ctx, VGImage buffer, VGint r, VGint g, VGint b, VGint a, VGint l, VGint *order)
{
    (void)ctx, (void)buffer, (void)r, (void)g, (void)b, (void)a, (void)l, (void)order;
    return OVG_EGL_IMAGE_NOT_AN_IMAGE;
}

int vgGetVGImage(void *ctx, VGImage buffer, VGint *w, VGint *h, VGint *sw, VGint *sh, VGint *l, VGint *a,
                 VGuint *addr, VGint *order)
{
    (void)ctx, (void)buffer, (void)w, (void)h, (void)sw, (void)sh, (void)l, (void)a, (void)addr, (void)order;
    return OVG_EGL_IMAGE_NOT_AN_IMAGE;
}

int vgBindVGImage(void *ctx, VGImage buffer, ALbuffer *pbuf, VGint pstride, ALbuffer *sbuf, VGint sstride)
{
    (void)ctx, (void)buffer, (void)pbuf, (void)pstride, (void)sbuf, (void)sstride;
    return OVG_EGL_IMAGE_NOT_AN_IMAGE;
}

void vgUnbindVGImage(void *ctx, VGImage buffer, ALbuffer *pbuf, VGint pstride, ALbuffer *sbuf, VGint sstride)
{
    (void)ctx, (void)buffer, (void)pbuf, (void)pstride, (void)sbuf, (void)sstride;
}

void vgReleaseVGImage(VGImage buffer, ALbuffer *addr)
{
    (void)buffer, (void)addr;
}
