/* Path bounds, length and point along a path on the CPU subdivision. */
#include "vg/al_lx740/vg_al_lx740_path.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/div/tvg_div.h"

/* Fill geometry (no stroke outline) read with the path's datatype, scale and bias. */
static void setup(const OVGpath *path)
{
    VGALFUNC_tvg_div_init();
    VGALFUNC_tvg_div_set_paint_mode(2);
    VGALFUNC_tvg_div_set_scale(path->scale);
    VGALFUNC_tvg_div_set_bias(path->bias);
    VGALFUNC_tvg_div_set_datatype((uint32_t)path->datatype);
}

/* Refreshes the path's bbox from its filled outline. */
static VGErrorCode user_bounds(OVGpath *path)
{
    setup(path);
    tvg_div_path_t *outline = VGALFUNC_tvg_div_exec(path->numSegments, path->segment, path->data);
    if (!outline)
        return VG_OUT_OF_MEMORY_ERROR;
    VGALFUNC_tvg_tsw_calc_bounds(outline, &path->bbox[0], &path->bbox[1], &path->bbox[2], &path->bbox[3]);
    VGALFUNC_tvg_div_path_free(outline);
    return VG_NO_ERROR;
}

static void store(VGfloat *out, VGfloat value)
{
    if (out)
        *out = value;
}

VGErrorCode VGHAL_ALpathBounds(OVGpath *path, VGfloat *minX, VGfloat *minY, VGfloat *width,
                               VGfloat *height)
{
    const VGErrorCode rc = user_bounds(path);
    if (rc)
        return rc;
    store(minX, path->bbox[0]);
    store(minY, path->bbox[1]);
    store(width, path->bbox[2]);
    store(height, path->bbox[3]);
    return VG_NO_ERROR;
}

VGErrorCode VGHAL_ALpathTransformedBounds(OVGpath *path, VGfloat *minX, VGfloat *minY,
                                          VGfloat *width, VGfloat *height)
{
    const VGErrorCode rc = user_bounds(path);
    if (rc)
        return rc;
    const VGfloat x = path->bbox[0], y = path->bbox[1], w = path->bbox[2], h = path->bbox[3];
    if (w == -1.0f || h == -1.0f) {
        store(minX, 0.0f);
        store(minY, 0.0f);
        store(width, -1.0f);
        store(height, -1.0f);
        return VG_NO_ERROR;
    }
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const VGvalue *m = ctx ? VGFUNC_GetMatrix(&ctx->pathUserToSurface) : VGVAL_ovg_mtx_identity;
    const VGfloat cx[4] = {x, x + w, x, x + w}, cy[4] = {y, y, y + h, y + h};
    VGfloat lox = 0, loy = 0, hix = 0, hiy = 0;
    for (int i = 0; i < 4; ++i) {
        const VGfloat px = m[0] * cx[i] + m[3] * cy[i] + m[6];
        const VGfloat py = m[1] * cx[i] + m[4] * cy[i] + m[7];
        if (i == 0 || px < lox)
            lox = px;
        if (i == 0 || px > hix)
            hix = px;
        if (i == 0 || py < loy)
            loy = py;
        if (i == 0 || py > hiy)
            hiy = py;
    }
    store(minX, lox);
    store(minY, loy);
    store(width, hix - lox);
    store(height, hiy - loy);
    return VG_NO_ERROR;
}

VGfloat VGHAL_ALpathLength(OVGpath *path, VGint start, VGint num)
{
    setup(path);
    return VGALFUNC_tvg_div_calc_length(path->segment, path->data, start, num);
}

void VGHAL_ALpointAlongPath(OVGpath *path, VGint start, VGint num, VGfloat distance, VGfloat *x,
                            VGfloat *y, VGfloat *tx, VGfloat *ty)
{
    setup(path);
    VGALFUNC_tvg_div_calc_point_along_path(path->segment, path->data, start, num, distance, x, y, tx, ty);
}
