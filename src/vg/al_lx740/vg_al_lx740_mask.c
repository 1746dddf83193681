/* The mask entries: which rectangle of the mask buffer or of a mask layer is cleared, filled,
 * combined with an image or copied, and rendering a path's fill or stroke into the mask buffer.
 * The pixel work is the mask engine's (vg_al_lx740_maskstate.h) and the clears'. Rectangle
 * arithmetic is done in 64 bits: the OpenVG layer passes any 32-bit origin and size. */
#include "vg/al_lx740/vg_al_lx740_mask.h"

#include <stdlib.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/al_lx740/vg_al_lx740_maskstate.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

#define WHOLE_MASK 2048
#define VP_NO_FLIP 0x80000000u
#define VP_PATH_MATRIX 1u
#define VP_PAINT_MATRIX_ENTRY 21u
#define MASK_LAYER_ALIGN 32
#define MULTISAMPLE_LAYER_MAX 2048

static int multisampled(void)
{
    return (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) != 0;
}

static long long min3(long long a, long long b, long long c)
{
    const long long ab = a < b ? a : b;
    return ab < c ? ab : c;
}

/* The inclusive span of [origin, origin + size) inside [0, limit); 0 when they do not meet. */
static int clip_span(long long origin, long long size, long long limit, word32 *first, word32 *last)
{
    const long long end = origin + size - 1;
    if (origin >= limit || end < 0)
        return 0;
    *first = (word32)(origin < 0 ? 0 : origin);
    *last = (word32)(end < limit - 1 ? end : limit - 1);
    return 1;
}

/* The rectangle's box clipped to a buffer of width x height; 0 when nothing is left. */
static int clip_box(long long x, long long y, long long w, long long h, long long width, long long height,
                    BBOXINFO *box)
{
    return clip_span(x, w, width, &box->l, &box->r) && clip_span(y, h, height, &box->t, &box->b);
}

/* One value into a box of buf, which the pixel engine now writes (the mask buffer shares the
 * colour buffer's height): the fast clear for 8-bit pixels, raster fills (the value as alpha)
 * for 1 and 4 bits. */
static void clear_box(const ALbuffer *buf, const BBOXINFO *box, word32 value)
{
    if (buf->bpp == 8)
        VGALFUNC_lx_fastclear(box, value, VGALVAL_surface_flip, (word32)buf->height, 0);
    else
        VGALFUNC_lx_slowclear(box, value, VGALVAL_surface_flip, (word32)buf->height, 0, 0);
}

/* The part of the source span [0, size) that lands inside [0, limit) when placed at *origin:
 * moves *origin to the first pixel kept and returns the source offset of it and the count
 * through *count (0 or less when nothing is kept). */
static long long place_span(long long *origin, long long size, long long limit, long long *count)
{
    long long offset = 0;
    if (*origin < 0) {
        offset = -*origin;
        size += *origin;
        *origin = 0;
    }
    *count = size < limit - *origin ? size : limit - *origin;
    return offset;
}

VGErrorCode VGHAL_ALmask(const OVGimage *img, VGMaskOperation op, VGint x, VGint y, VGint w, VGint h)
{
    const ALbuffer *mask = VGALVAL_maskbuffer;
    const long long W = VGALVAL_colorbuffer_width, H = VGALVAL_colorbuffer_height;
    long long dx = x, dy = y, width, height, sx, sy;
    if (!mask)
        return VG_NO_ERROR;
    if (op == VG_CLEAR_MASK || op == VG_FILL_MASK) {
        BBOXINFO box;
        if (!clip_box(x, y, w, h, W, H, &box))
            return VG_NO_ERROR;
        VGALFUNC_lx_setstate_mask(NULL, 0);
        clear_box(mask, &box, op == VG_FILL_MASK ? 255u : 0u);
        return VG_NO_ERROR;
    }
    if (!img || dx >= W || dy >= H)
        return VG_NO_ERROR;
    width = w < img->activeRect.width ? w : img->activeRect.width;
    height = h < img->activeRect.height ? h : img->activeRect.height;
    if (dx + width <= 0 || dy + height <= 0)
        return VG_NO_ERROR;
    sx = place_span(&dx, width, W, &width);
    sy = place_span(&dy, height, H, &height);
    if (width <= 0 || height <= 0)
        return VG_NO_ERROR;
    VGALFUNC_lx_setstate_mask(NULL, multisampled());
    /* A child image starts at its own corner of the shared buffer. */
    return (VGErrorCode)VGALFUNC_lx_drawmask((int)dx, (int)dy, (int)(sx + img->activeRect.x),
                                             (int)(sy + img->activeRect.y), (int)width, (int)height, img->buffer,
                                             img->format, op);
}

/* What a render that draws nothing leaves: set and intersect an empty mask, union and
 * subtract the mask as it was. */
static VGErrorCode nothing_rendered(VGMaskOperation op)
{
    if (op == VG_SET_MASK || op == VG_INTERSECT_MASK)
        return VGHAL_ALmask(NULL, VG_CLEAR_MASK, 0, 0, WHOLE_MASK, WHOLE_MASK);
    return VG_NO_ERROR;
}

VGErrorCode VGHAL_ALrenderToMask(OVGpath *path, VGbitfield paintModes, VGMaskOperation op)
{
    static const float row1[3] = {1.0f, 0.0f, 0.0f}, row2[3] = {0.0f, 1.0f, 0.0f};
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    OVGmatrix *m = &ctx->pathUserToSurface;
    const int fill = (paintModes & VG_FILL_PATH) != 0;
    int stroke = (paintModes & VG_STROKE_PATH) != 0;

    if (op < VG_CLEAR_MASK || op > VG_SUBTRACT_MASK)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (!VGALVAL_maskbuffer)
        return VG_NO_ERROR;
    if (op == VG_CLEAR_MASK || op == VG_FILL_MASK)
        return VGHAL_ALmask(NULL, op, 0, 0, WHOLE_MASK, WHOLE_MASK);
    VGALFUNC_setpathucodeentry();
    writeDivisionParameters(m, ctx->strokeLineWidth);
    /* A width that is not positive and finite strokes nothing. */
    if (!VGALFUNC_strokewidthdrawn(ctx->strokeLineWidth))
        stroke = 0;
    if (!fill && !stroke)
        return nothing_rendered(op);
    VGALFUNC_lx_setstate_render_to_mask_a();
    if (VGALVAL_lx740renderingmode & VGAL_RM_SCISSOR_EMPTY)
        return nothing_rendered(op);

    VGALFUNC_lx_resetxptbuffer(0);
    VGALFUNC_vp_matrix_rows(LX_VCNST_OVG_PU2S1, m, 2);
    VPWV(LX_VCNST_OVG_FP2U1, row1, 3);
    VPWV(LX_VCNST_OVG_SP2U1, row1, 3);
    VPWV(LX_VCNST_OVG_FP2U2, row2, 3);
    VPWV(LX_VCNST_OVG_SP2U2, row2, 3);
    VGALFUNC_vp_run_entry(VP_PATH_MATRIX | (VGALVAL_surface_flip == 0 ? VP_NO_FLIP : 0u), 0);
    VGALFUNC_vp_run_entry((fill ? 1u : 0u) + (stroke ? 2u : 0u), VP_PAINT_MATRIX_ENTRY);
    VGALFUNC_lx_setstate_render_to_mask_a2(op);

    if (fill) {
        VGALFUNC_lx_setstate_render_to_mask_b(0, op);
        VGALFUNC_pathpass(path, 0);
        VGALFUNC_lx_scanedges();
    }
    if (stroke) {
        VGALFUNC_lx_setstate_render_to_mask_b(1, op);
        VGALFUNC_pathpass(path, 1);
        VGALFUNC_lx_scanedges();
    }
    /* The vertex processor now holds identity paint matrices: the next paint must load the
     * context's again even when they have not changed. */
    ctx->fillPaintToUser.flag |= OVG_MATRIX_DIRTY;
    ctx->strokePaintToUser.flag |= OVG_MATRIX_DIRTY;
    return VG_NO_ERROR;
}

VGErrorCode VGHAL_ALcopyMask(const OVGimage *layer, VGint dx, VGint dy, const OVGrect *r)
{
    const long long W = VGALVAL_colorbuffer_width, H = VGALVAL_colorbuffer_height;
    const ALbuffer *dst = layer ? layer->buffer : NULL;
    long long sx = r->x, sy = r->y, tx = dx, ty = dy, width = r->width, height = r->height;
    if (!VGALVAL_maskbuffer || !dst || sy >= H || sx >= W || ty >= dst->height || tx >= dst->width)
        return VG_NO_ERROR;
    /* A source cut off on the left or at the top moves the destination by as much, and the
     * other way round. */
    if (sx < 0)
        width += sx, tx -= sx, sx = 0;
    if (tx < 0)
        width += tx, sx -= tx, tx = 0;
    if (sy < 0)
        height += sy, ty -= sy, sy = 0;
    if (ty < 0)
        height += ty, sy -= ty, ty = 0;
    width = min3(W - sx, dst->width - tx, width);
    height = min3(H - sy, dst->height - ty, height);
    if (width > 0 && height > 0)
        VGALFUNC_lx_copymask(dst, (int)tx, (int)ty, (int)sx, (int)sy, (int)width, (int)height);
    return VG_NO_ERROR;
}

VGErrorCode VGHAL_ALfillMaskLayer(const OVGimage *layer, const OVGrect *r, VGfloat value)
{
    const ALbuffer *buf = layer ? layer->buffer : NULL;
    BBOXINFO box;
    word32 v;
    if (!VGALVAL_maskbuffer || !buf || !clip_box(r->x, r->y, r->width, r->height, buf->width, buf->height, &box))
        return VG_NO_ERROR;
    VGALFUNC_lx_setstate_mask(buf, 0);
    v = (word32)(value * 255.0f + 0.5f);
    if (multisampled())
        v = v < 129 ? 0u : 255u;
    clear_box(buf, &box, v);
    return VG_NO_ERROR;
}

ALbuffer *VGHAL_ALcreateMaskImage(int width, int height)
{
    const int padded = (width + 7) & 0xFFF8;
    ALbuffer *buf;
    int bpp;
    if (!VGALVAL_maskbuffer || width < 1 || height < 1)
        return NULL;
    if (multisampled() && (width > MULTISAMPLE_LAYER_MAX || height > MULTISAMPLE_LAYER_MAX))
        return NULL;
    bpp = VGALVAL_maskbuffer->bpp;
    buf = (ALbuffer *)calloc(1, sizeof *buf);
    if (!buf)
        return NULL;
    /* A new layer is full: every byte 0xFF. */
    buf->addr = VGALFUNC_VAlloc(padded, height, bpp, MASK_LAYER_ALIGN, 1, 1, 1);
    if (buf->addr == CGL_NO_ADDRESS) {
        free(buf);
        return NULL;
    }
    buf->width = width;
    buf->height = height;
    buf->bpp = bpp;
    buf->stride = bpp * padded / 8;
    buf->masklayer = 1;
    buf->directimage = 0;
    return buf;
}
