/* The pixel transfers between client memory and the surface or an image: the software copy,
 * rounding its premultiplication to nearest. */
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_swcopy.h"

#define ROUND_TO_NEAREST 128

static void no_scaling(void)
{
    VGALVAL_dst_scale_x = 0;
    VGALVAL_dst_scale_y = 0;
}

/* The software copy with the given rounding; the units are polled idle again afterwards. */
static int software_copy(int dx, int dy, const OVGrect *r, int scissor, int rounding)
{
    int result;
    VGALVAL_LXDIVOFFSET = rounding;
    result = VGALFUNC_TVGmemCopy(dx, dy, r, scissor);
    VGALVAL_LXDIVOFFSET = 0;
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
    return result;
}

static int whole_area(const OVGrect *rect, OVGrect *area)
{
    area->x = area->y = 0;
    area->width = rect->width;
    area->height = rect->height;
    return 1;
}

/* Only the low eight bits of the two format codes are compared. */
static int same_precision(VGImageFormat a, VGImageFormat b)
{
    return ((unsigned)a & 0xFFu) == ((unsigned)b & 0xFFu);
}

/* Scissoring with no rectangle leaves nothing to write. */
int VGALFUNC_scissored_away(void)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    return ctx->scissoring && ctx->numScissorRects == 0;
}

int VGHAL_ALreadPixels(void *data, int stride, VGImageFormat format, const OVGrect *rect)
{
    VGALtransferside s, d;
    VGALFUNC_lx_full_sync(1);
    s = VGALFUNC_colourbuffer_side(1);
    d = VGALFUNC_client_side(data, stride, format, rect);
    VGALFUNC_set_transfer_source(&s);
    VGALFUNC_set_transfer_destination(&d);
    VGALVAL_src_dst_same_internal_precision = 0;
    no_scaling();
    return software_copy(0, 0, rect, 0, ROUND_TO_NEAREST);
}

int VGHAL_ALwritePixels(const void *data, int stride, VGImageFormat format, const OVGrect *rect)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    VGALtransferside s, d;
    OVGrect area;
    if (VGALFUNC_scissored_away())
        return 0;
    VGALFUNC_lx_full_sync(0);
    s = VGALFUNC_client_side(data, stride, format, rect);
    d = VGALFUNC_drawing_side(1);
    VGALFUNC_set_transfer_source(&s);
    VGALFUNC_set_transfer_destination(&d);
    VGALVAL_src_dst_same_internal_precision = 0;
    no_scaling();
    if (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE)
        VGALVAL_dst_scale_x = 2;
    whole_area(rect, &area);
    return software_copy(rect->x, rect->y, &area, ctx->scissoring, ROUND_TO_NEAREST);
}

int VGHAL_ALgetImage(OVGimage *src, void *data, int stride, VGImageFormat format, const OVGrect *rect)
{
    VGALtransferside s, d;
    VGALFUNC_lx_full_sync(0);
    s = VGALFUNC_image_side(src, 1);
    d = VGALFUNC_client_side(data, stride, format, rect);
    VGALFUNC_set_transfer_source(&s);
    VGALFUNC_set_transfer_destination(&d);
    VGALVAL_src_dst_same_internal_precision = same_precision(src->format, format);
    no_scaling();
    return software_copy(0, 0, rect, 0, ROUND_TO_NEAREST);
}

int VGHAL_ALsetImage(OVGimage *dst, const void *data, int stride, VGImageFormat format, const OVGrect *rect)
{
    VGALtransferside s, d;
    OVGrect area;
    VGALFUNC_lx_full_sync(0);
    s = VGALFUNC_client_side(data, stride, format, rect);
    d = VGALFUNC_image_side(dst, 1);
    VGALFUNC_set_transfer_source(&s);
    VGALFUNC_set_transfer_destination(&d);
    VGALVAL_src_dst_same_internal_precision = same_precision(dst->format, format);
    no_scaling();
    whole_area(rect, &area);
    return software_copy(rect->x, rect->y, &area, 0, ROUND_TO_NEAREST);
}

/* Three format pairs of set pixels that the software copy writes, truncating. */
static int software_set_pixels(VGImageFormat format)
{
    const word32 space = VGALVAL_lx740renderingmode & (VGAL_RM_LINEAR | VGAL_RM_PREMULTIPLIED);
    if (VGALVAL_surface_bpp != 16)
        return 0;
    if (format == VG_sRGBA_8888)
        return (VGALVAL_surface_alphabits <= 1 && space == VGAL_RM_LINEAR) ||
               (VGALVAL_surface_alphabits == 4 && space == VGAL_RM_PREMULTIPLIED);
    return format == VG_sRGBA_4444 && VGALVAL_surface_alphabits == 4 && space == VGAL_RM_LINEAR;
}

int VGALFUNC_set_pixels_by_software(int dx, int dy, OVGimage *src, const OVGrect *rect)
{
    VGALtransferside s, d;
    if ((VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) || !software_set_pixels(src->format))
        return -1;
    s = VGALFUNC_image_side(src, 1);
    d = VGALFUNC_drawing_side(1);
    VGALFUNC_set_transfer_source(&s);
    VGALFUNC_set_transfer_destination(&d);
    VGALVAL_src_dst_same_internal_precision = 0;
    no_scaling();
    return software_copy(dx, dy, rect, VGALVAL_LX740_ALcontexthandle->scissoring, 0);
}
