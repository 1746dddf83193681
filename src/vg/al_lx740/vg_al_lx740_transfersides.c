/* The descriptor sides of the clear, copy and pixel-transfer entry points: images, client
 * memory and the drawing surface. */
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"
#include "vg/al_lx740/vg_al_lx740_swpixel.h"

#define EXTENSION_FORMAT 0x40000000u

static int line_pixels(int stride, int bpp)
{
    return bpp > 0 ? (int)((long long)stride * 8 / bpp) : 0;
}

VGALtransferside VGALFUNC_image_side(const OVGimage *img, int cpu)
{
    const ALbuffer *b = img->buffer;
    VGALtransferside s;
    VGALFUNC_TVGgetImageFormat(img->format, &s.format, &s.linear, &s.pre, &s.luminance, &s.bpp);
    s.addr = (uintptr_t)b->addr + (cpu ? CglTxMemBase : 0u);
    s.x = img->activeRect.x, s.y = img->activeRect.y;
    s.width = img->activeRect.width, s.height = img->activeRect.height;
    s.stride = b->stride;
    s.bpp = b->bpp;
    /* Extension formats other than YUV422 are read as whole images of their width. */
    if (((word32)img->format & EXTENSION_FORMAT) && img->format != VG_EXT_YUV422)
        s.twidth = b->width;
    else
        s.twidth = line_pixels(b->stride, b->bpp);
    s.theight = b->height;
    s.flip = 0;
    s.format_lx = VGALFUNC_TVGgetLXImageFormat(img->format);
    return s;
}

VGALtransferside VGALFUNC_client_side(const void *data, int stride, VGImageFormat format, const OVGrect *rect)
{
    VGALtransferside s;
    VGALFUNC_TVGgetImageFormat(format, &s.format, &s.linear, &s.pre, &s.luminance, &s.bpp);
    s.addr = (uintptr_t)data;
    s.x = s.y = 0;
    s.width = rect->width, s.height = rect->height;
    s.stride = stride;
    s.twidth = s.theight = s.flip = 0;
    s.format_lx = 0;
    return s;
}

static VGALtransferside surface_side(word32 addr, int stride, int theight, int cpu)
{
    const word32 mode = VGALVAL_lx740renderingmode;
    VGALtransferside s;
    s.addr = addr;
    s.stride = stride;
    if (cpu) {
        s.addr += CglTxMemBase;
        if (VGALVAL_surface_flip) {
            s.addr += (uintptr_t)((long long)stride * (VGALVAL_colorbuffer_height - 1));
            s.stride = -stride;
        }
    }
    s.x = s.y = 0;
    s.width = VGALVAL_colorbuffer_width, s.height = VGALVAL_colorbuffer_height;
    s.format = VGALVAL_surface_format;
    s.linear = (mode & VGAL_RM_LINEAR) != 0;
    s.pre = (mode & VGAL_RM_PREMULTIPLIED) != 0;
    s.luminance = (mode & VGAL_RM_LUMINANCE) ? 2 : 0;
    s.bpp = VGALVAL_surface_bpp;
    s.twidth = line_pixels(stride, VGALVAL_surface_bpp);
    s.theight = theight;
    s.flip = VGALVAL_surface_flip;
    s.format_lx = VGALVAL_surface_format_lx;
    return s;
}

VGALtransferside VGALFUNC_colourbuffer_side(int cpu)
{
    return surface_side(VGALVAL_colorbuffer_addr, VGALVAL_colorbuffer_stride, VGALVAL_colorbuffer_height, cpu);
}

VGALtransferside VGALFUNC_drawing_side(int cpu)
{
    return surface_side(VGALVAL_surface_addr, VGALVAL_surface_stride, VGALVAL_surface_height, cpu);
}
