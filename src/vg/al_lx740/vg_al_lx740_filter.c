/* The filter entries: unscaled destination, the GPU filter, then a wait for the GPU to go idle. */
#include "vg/al_lx740/vg_al_lx740_filter.h"

#include "cgl.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"
#include "vg/al_lx740/vg_lx740_filter.h"

static void unscaled_destination(void)
{
    VGALVAL_dst_scale_x = 0;
    VGALVAL_dst_scale_y = 0;
}

static int when_idle(int result)
{
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
    return result;
}

int VGHAL_ALlookup(OVGimage *d, OVGimage *s, const VGubyte *r, const VGubyte *g, const VGubyte *b, const VGubyte *a,
                   int linear, int pre)
{
    unscaled_destination();
    return when_idle(VGALFUNC_lx_lookup(d, s, r, g, b, a, linear, pre));
}

int VGHAL_ALlookupSingle(OVGimage *d, OVGimage *s, const VGuint *lut, VGImageChannel channel, int linear, int pre)
{
    unscaled_destination();
    return when_idle(VGALFUNC_lx_lookup_single(d, s, lut, channel, linear, pre));
}

int VGHAL_ALcolorMatrix(OVGimage *d, OVGimage *s, const VGfloat *m)
{
    unscaled_destination();
    return when_idle(VGALFUNC_lx_color_matrix(d, s, m));
}

int VGHAL_ALconvolve(OVGimage *d, OVGimage *s, int kw, int kh, int sx, int sy, const VGshort *kernel, VGfloat scale,
                     VGfloat bias, VGTilingMode tilingMode)
{
    unscaled_destination();
    return when_idle(VGALFUNC_lx_convolve(d, s, kw, kh, sx, sy, kernel, scale, bias, tilingMode));
}

int VGHAL_ALseparableConvolve(OVGimage *d, OVGimage *s, int kw, int kh, int sx, int sy, const VGshort *kx,
                              const VGshort *ky, VGfloat scale, VGfloat bias, VGTilingMode tilingMode)
{
    unscaled_destination();
    return when_idle(VGALFUNC_lx_separable_convolve(d, s, kw, kh, sx, sy, kx, ky, scale, bias, tilingMode));
}

int VGHAL_ALgaussianBlur(OVGimage *d, OVGimage *s, VGfloat stdDevX, VGfloat stdDevY, VGTilingMode tilingMode)
{
    unscaled_destination();
    return when_idle(VGALFUNC_lx_gaussian_blur(d, s, stdDevX, stdDevY, tilingMode));
}
