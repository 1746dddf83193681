/* Paint and image state before a drawing. */
#include "vg/al_lx740/vg_al_lx740_paint.h"

#include <math.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_color.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_image_format.h"

/* Rendering-mode bits of the paint and of the drawn image. */
#define RM_PAINT_BITS 0xF000F0u
#define RM_COLOR_TRANSFORM 0x100u
#define RM_PAINT_LINEAR 0x40u
#define RM_PAINT_RADIAL 0x80u
#define RM_SOURCE_PREMULTIPLIED 0x100000u
#define RM_IMAGE_BITS 0xF0000u
#define RM_IMAGE_PREMULTIPLIED 0x10000u
#define RM_IMAGE_LUMINANCE 0x40000u

/* Paint dirty bits consumed here. */
#define PAINT_RAMP_DIRTY (OVG_PAINT_DIRTY_RAMP_PREMULTIPLIED | OVG_PAINT_DIRTY_RAMP_STOPS)

/* Paint program sets (LX_VP_CTRL0 low bits). */
#define PAINT_LINEAR 0u
#define PAINT_RADIAL 1u
#define PAINT_PATTERN 2u

/* Ramp entries: start in 1/1024 (bits 0-9), slope in bits 10-28. */
#define RAMP_ONE 512
#define RAMP_TERMINAL 0x3FEu
#define RAMP_SLOPE_SHIFT 10
#define RAMP_SLOPE_ONE 0x40000u
#define RAMP_SLOPE_STEEPEST 0x3FFFFu
#define RAMP_DEGENERATE 0x80000u

#define RZ_TABLE_PAIRS 64
#define FORMAT_EXT 0x40000000u
#define FORMAT_YUV 0x40000000u
#define TEXTURE_WRAP_CLAMP 0x101u
#define TEXTURE_WRAP_REPEAT 0u
#define TEXTURE_WRAP_FILL 0x202u
#define TEXTURE_CACHE_BOTH 3u
#define IMAGE_MODE 4u

const OVGpaint *prevpaint;
float setrzparam_save[4];
float setrzparam_save_rg[5];
word32 VGALVAL_setrzmtx;
const float VGALVAL_txc_shape_th_32bit[4] = {0.305731f, 0.404026f, 0.0157f, 1.0f};
const float VGALVAL_txc_shape_th_16bit[4] = {0.176327f, 0.19438f, 0.0157f, 1.0f};

/* ---- Shared pieces ---- */

/* Runs the paint program of set k on count parameter words. */
static void run_paint_program(word32 k, const float *values, word32 count)
{
    word32 words[4];
    word32 i;
    VPCTRLW(LX_VP_CTRL0, VGALVAL_setrzmtx | k);
    if (VGALVAL_lx740vpinstaddr != VGAL_VP_PAINT_ENTRY) {
        VPCTRLW(LX_VP_IADDR, VGAL_VP_PAINT_ENTRY);
        VGALVAL_lx740vpinstaddr = VGAL_VP_PAINT_ENTRY;
    }
    VPCTRLW(LX_TE_SYNC, 0);
    for (i = 0; i < count; ++i)
        words[i] = cglFloatTo32F(values[i]);
    CHECKAVAIL(count + 1);
    SETCMD(CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, count));
    SETCMDA(words, count);
}

const float *VGALFUNC_txc_shape_th(const OVGimage *img)
{
    return img->buffer->bpp == 32 || (word32)img->format == FORMAT_YUV ? VGALVAL_txc_shape_th_32bit
                                                                         : VGALVAL_txc_shape_th_16bit;
}

/* Row length in pixels | height << 16 of the image's buffer as a texture: whole-image
 * extension formats other than YUV are read at their width. */
static word32 texture_size(const OVGimage *img)
{
    const ALbuffer *b = img->buffer;
    word32 row;
    if (((word32)img->format & FORMAT_EXT) && (word32)img->format != FORMAT_YUV)
        row = (word32)b->width;
    else
        row = b->bpp > 0 ? (word32)((long long)b->stride * 8 / b->bpp) : 0u;
    return row | (word32)b->height << 16;
}

/* The texture window of the image's active rectangle: (BBLT, BBRB). */
static void texture_window(const OVGimage *img, word32 *lt, word32 *rb)
{
    const OVGrect *r = &img->activeRect;
    *lt = (word32)r->y | (word32)r->x << 16;
    *rb = (word32)(r->y + r->height - 1) | (word32)(r->x + r->width - 1) << 16;
}

/* Red, green and blue times alpha, rounded, of a packed RGBA8888 colour. */
static word32 premultiply(word32 c)
{
    const word32 a = c & 0xFFu;
    word32 out = a;
    int shift;
    for (shift = 8; shift <= 24; shift += 8) {
        const word32 x = ((c >> shift) & 0xFFu) * a + 128u;
        out |= ((x + (x >> 8)) >> 8) << shift;
    }
    return out;
}

word32 PaintColor(const OVGcolor *c, int pre, int ct)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    float ch[4];
    word32 out = 0;
    int i;
    ch[0] = c->r, ch[1] = c->g, ch[2] = c->b, ch[3] = c->a;
    if (pre)
        ch[0] *= c->a, ch[1] *= c->a, ch[2] *= c->a;
    if (VGALVAL_surface_bpp == 16 && VGALVAL_surface_alphabits == 4 &&
        (VGALVAL_lx740renderingmode & VGAL_RM_DRAW_PATH) && ctx->blendMode == VG_BLEND_SRC) {
        for (i = 0; i < 4; ++i) {
            word32 v;
            if (ct) {
                v = (word32)(ch[i] * 255.0f);
            } else {
                const word32 n = (word32)(ch[i] * 15.0f + 0.5f);
                v = n | n << 4;
            }
            out = out << 8 | (v & 0xFFu);
        }
        return out;
    }
    for (i = 0; i < 4; ++i)
        out = out << 8 | ((word32)(ch[i] * 255.0f + 0.5f) & 0xFFu);
    return out;
}

/* ---- Gradients ---- */

/* The ramp cache: an entry per segment of the normalised ramp, and a terminal entry holding
 * the last colour when the ramp ends at 1. A full ramp has no room for the terminal entry
 * after its last segment; that segment runs at the last colour up to 1 already, so it ends
 * the ramp itself, flat. */
static void build_ramp(const OVGpaint *pnt, GRADTEXINFO *info)
{
    const int pre = pnt->colorRampPremultiplied != 0;
    int n = pnt->realRampStops;
    int e = 0, o = 0, k;
    if (n > VGAL_GRADIENT_COLORS)
        n = VGAL_GRADIENT_COLORS;
    info->offsetnum_repeat = 0;
    if (n - 1 >= 1) {
        o = (int)(RAMP_ONE * pnt->rampOffset[0]);
        for (k = 0; k <= n - 2; ++k) {
            const int next = (int)(RAMP_ONE * pnt->rampOffset[k + 1]);
            const int d = next - o;
            const word32 slope = d == 1 ? RAMP_SLOPE_STEEPEST : d > 1 ? RAMP_SLOPE_ONE / (word32)d : 0u;
            info->offset[k] = (o == RAMP_ONE ? RAMP_TERMINAL : (word32)(2 * o)) | slope << RAMP_SLOPE_SHIFT;
            if (o != RAMP_ONE)
                ++info->offsetnum_repeat;
            info->color[k] = pre ? premultiply(pnt->rampColor[k]) : pnt->rampColor[k];
            o = next;
        }
        e = n - 1;
    }
    if (n > 0)
        info->color[e] = pre ? premultiply(pnt->rampColor[e]) : pnt->rampColor[e];
    info->mode = pnt->colorRampPremultiplied;
    if (o == RAMP_ONE) {
        if (e < VGAL_GRADIENT_OFFSETS) {
            info->offset[e] = RAMP_TERMINAL;
            info->color[e + 1] = info->color[e];
            ++e;
        } else if (info->color[e - 1] == info->color[e]) {
            info->offset[e - 1] &= (1u << RAMP_SLOPE_SHIFT) - 1u;
        }
    }
    info->offsetnum = e;
}

static int degenerate(const OVGpaint *pnt)
{
    if (pnt->paintType == VG_PAINT_TYPE_RADIAL_GRADIENT)
        return pnt->radialGradient[4] <= 0.0f;
    return pnt->linearGradient[0] == pnt->linearGradient[2] && pnt->linearGradient[1] == pnt->linearGradient[3];
}

static void gradient_ramp(OVGpaint *pnt)
{
    GRADTEXINFO *info = (GRADTEXINFO *)pnt->aldep;
    PEW(LX_PE_OVG_TX0_PAINT_SEL, 1);
    if (pnt->colorRampSpreadMode == VG_COLOR_RAMP_SPREAD_REPEAT)
        vgmode_paint |= 16;
    else if (pnt->colorRampSpreadMode == VG_COLOR_RAMP_SPREAD_REFLECT)
        vgmode_paint |= 32;
    if ((pnt->dirty & OVG_PAINT_DIRTY_RAMP_STOPS) || info->mode != pnt->colorRampPremultiplied)
        build_ramp(pnt, info);
    if (degenerate(pnt)) {
        const int n = pnt->realRampStops > 0 ? pnt->realRampStops : 1;
        const word32 colour =
            pnt->colorRampSpreadMode == VG_COLOR_RAMP_SPREAD_REPEAT ? pnt->rampColor[0] : pnt->rampColor[n - 1];
        const word32 colours[2] = {colour, colour};
        PEW(LX_PE_OVG_RSTOP_OFS_TABLE00, RAMP_DEGENERATE);
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_RSTOP_COLOR_TABLE00, colours, 2);
        PEW(LX_PE_OVG_RSTOP_PREMALPHA_EN, 1);
    } else {
        const int m = pnt->colorRampSpreadMode == VG_COLOR_RAMP_SPREAD_REPEAT ? info->offsetnum_repeat
                                                                               : info->offsetnum;
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_RSTOP_OFS_TABLE00, info->offset, (word32)m);
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_RSTOP_COLOR_TABLE00, info->color, (word32)m + 1);
        PEW(LX_PE_OVG_RSTOP_PREMALPHA_EN, info->mode > 1 ? 0u : 1u - (word32)info->mode);
    }
    pnt->dirty &= ~PAINT_RAMP_DIRTY;
    PEW(LX_PE_OVG_TX0_EN, 0);
}

static void radial_parameters(OVGpaint *pnt)
{
    float *g = setrzparam_save_rg;
    int i;
    for (i = 0; i < 5; ++i)
        g[i] = pnt->radialGradient[i];
    if (g[4] > 0.0f) {
        const float dx = g[0] - g[2], dy = g[1] - g[3];
        const float distance = sqrtf(dx * dx + dy * dy);
        const float limit = 0.99f * g[4];
        if (distance > limit) {
            g[2] = g[0] - dx * limit / distance;
            g[3] = g[1] - dy * limit / distance;
        }
    }
    GenRZTable(g);
    pnt->dirty &= ~OVG_PAINT_DIRTY_RADIAL_GRADIENT;
}

static void rz_pair(word32 index, float value, float slope)
{
    const word32 words[2] = {cglFloatTo32F(value), cglFloatTo32F(slope)};
    VGALFUNC_lx_writeregs(CGL_OP_RZ_WRITE, LX_RZ_RFITBL00_LO + 2 * index, words, 2);
}

static float inverse_length(float t, float x, float y)
{
    const float length = sqrtf(t * x * t * x + t * y * t * y);
    return length != 0.0f ? 1.0f / length : 0.0f;
}

void GenRZTable(const float rgrad[5])
{
    const float r = rgrad[4];
    const float dx = rgrad[0] - rgrad[2], dy = rgrad[1] - rgrad[3];
    word32 i;
    if (r <= 0.0f) {
        for (i = 0; i < 2 * RZ_TABLE_PAIRS; ++i)
            RZW(LX_RZ_RFITBL00_LO + i, 0);
        return;
    }
    if (dx == 0.0f && dy == 0.0f) {
        for (i = 0; i < RZ_TABLE_PAIRS; ++i)
            rz_pair(i, 1.0f / r, 0.0f);
        return;
    }
    {
        const float d = dx * dx + dy * dy;
        const float a = 4.0f * d * (d - r * r);
        const float b = 2.0f * d;
        const float t0 = (sqrtf(b * b - a) - b) / b;
        float w = inverse_length(t0, dx, dy);
        for (i = 1; i <= RZ_TABLE_PAIRS; ++i) {
            const float u = (float)i * 0.03125f - 1.0f;
            const float s = sqrtf(1.0f - u * u);
            const float px = dx * u - dy * s, py = dx * s + dy * u;
            const float q = -2.0f * (dx * px + dy * py);
            const float t = (sqrtf(q * q - a) - q) / b;
            const float v = inverse_length(t, px, py);
            rz_pair(i - 1, w, v - w);
            w = v;
        }
    }
}

/* ---- Colour and pattern paints ---- */

static void color_paint(const OVGpaint *pnt)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    static const OVGcolor black = {0.0f, 0.0f, 0.0f, 1.0f};
    word32 colour;
    VGALVAL_lx740renderingmode |= VGAL_RM_PAINT_COLOR;
    vgmode_paint = 0;
    PEW(LX_PE_OVG_TX0_PAINT_SEL, 2);
    if (VGALVAL_surface_bpp == 16 && VGALVAL_surface_alphabits != 0 && color_transform &&
        (VGALVAL_lx740renderingmode & VGAL_RM_DRAW_PATH)) {
        /* The 16-bit target cannot keep the transform's precision: it is applied here. */
        const OVGcolor *c = pnt ? &pnt->paintColorClamp : &black;
        const VGvalue *v = ctx->colorTransformValues;
        const float in[4] = {c->a == 0.0f ? 0.0f : c->r, c->a == 0.0f ? 0.0f : c->g, c->a == 0.0f ? 0.0f : c->b,
                             c->a};
        float out[4];
        OVGcolor t;
        int i;
        for (i = 0; i < 4; ++i) {
            const float x = in[i] * v[i] + v[i + 4];
            out[i] = x < 0.0f ? 0.0f : x > 1.0f ? 1.0f : x;
        }
        t.r = out[0], t.g = out[1], t.b = out[2], t.a = out[3];
        colour = PaintColor(&t, 1, 1);
        color_transform = 0;
    } else {
        colour = pnt ? PaintColor(&pnt->paintColorClamp, 1, 0) : 0x000000FFu;
    }
    paintcoloralpha = colour & 0xFFu;
    VGALVAL_lx740renderingmode |= RM_SOURCE_PREMULTIPLIED;
    RZW(LX_RZ_COLOR, colour);
    PEW(LX_PE_OVG_TX0_EN, 0);
}

static void pattern_paint(const OVGpaint *pnt)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const OVGimage *img = pnt->paintPattern;
    const word32 format = (word32)img->format;
    const float width = (float)img->activeRect.width, height = (float)img->activeRect.height;
    word32 wrap, lt, rb;
    float origin[3] = {0.0f, 0.0f, 1.0f};

    VGALVAL_lx740renderingmode |= VGAL_RM_PAINT_PATTERN;
    PEW(LX_PE_OVG_TX0_PAINT_SEL, 0);
    switch (pnt->tilingMode) {
    case VG_TILE_REPEAT: vgmode_paint = 320, wrap = TEXTURE_WRAP_REPEAT; break;
    case VG_TILE_FILL: vgmode_paint = 960, wrap = TEXTURE_WRAP_FILL; break;
    case VG_TILE_REFLECT: vgmode_paint = 640, wrap = TEXTURE_WRAP_CLAMP; break;
    default: vgmode_paint = 0, wrap = TEXTURE_WRAP_CLAMP; break;
    }
    vgmode_paint |= 1;
    PEW(LX_PE_OVG_TX0_WRAP, wrap);
    if (((word32)img->quality & (word32)ctx->imageQuality) < 2) {
        PEW(LX_PE_OVG_TX0_FILTER, 0);
        origin[0] = origin[1] = 0.5f;
    } else {
        PEW(LX_PE_OVG_TX0_FILTER, 1);
    }
    texture_window(img, &lt, &rb);
    PEW(LX_PE_OVG_TX0_CHILDIMG_EN, 1);
    PEW(LX_PE_OVG_TX0_CHILDIMG_BBLT, lt);
    PEW(LX_PE_OVG_TX0_CHILDIMG_BBRB, rb);
    PEW(LX_PE_OVG_TX0_ADDR, img->buffer->addr);
    PEW(LX_PE_OVG_TX0_SIZE, texture_size(img));
    if (VGVAL_ispremult[format & 15]) {
        VGALVAL_lx740renderingmode |= RM_SOURCE_PREMULTIPLIED;
        PEW(LX_PE_OVG_TX0_CLAMP2ALPHA, 1);
        PEW(LX_PE_OVG_TX0_PREMALPHA_EN, 0);
    } else {
        PEW(LX_PE_OVG_TX0_CLAMP2ALPHA, 0);
        PEW(LX_PE_OVG_TX0_PREMALPHA_EN, 1);
    }
    if ((format & 15) >= 7)
        VGALVAL_lx740renderingmode |= VGAL_RM_PATTERN_LINEAR;
    PEW(LX_PE_OVG_TX0_PTFILL_COLOR, VGALFUNC_ConvPack(&ctx->tileFillColorClamp, img->format));
    PEW(LX_PE_OVG_TX0_FMT, VGALFUNC_TVGgetLXImageFormat(img->format));
    VPWV(LX_VCNST_OVG_PAT_ORIGIN, origin, 3);
    VPWV(LX_VCNST_TXSHP_TH, VGALFUNC_txc_shape_th(img), 4);
    setrzparam_save[0] = width != 0.0f ? 1.0f / width : 0.0f;
    setrzparam_save[1] = height != 0.0f ? 1.0f / height : 0.0f;
    run_paint_program(PAINT_PATTERN, setrzparam_save, 2);
    RZW(LX_RZ_PP_USCALE, (word32)img->activeRect.width);
    RZW(LX_RZ_PP_VSCALE, (word32)img->activeRect.height);
    PEW(LX_PE_OVG_TX0_EN, 1);
    PEW(LX_PE_OVG_TXC_INVAL, TEXTURE_CACHE_BOTH);
}

/* ---- Entry points ---- */

int lx_paint(const OVGpaint *pnt)
{
    OVGpaint *p = (OVGpaint *)pnt;
    VGALVAL_lx740renderingmode &= ~RM_PAINT_BITS;
    color_transform = (VGALVAL_lx740renderingmode & RM_COLOR_TRANSFORM) != 0;
    if (p && p->paintType == VG_PAINT_TYPE_LINEAR_GRADIENT) {
        int i;
        VGALVAL_lx740renderingmode |= RM_PAINT_LINEAR;
        vgmode_paint = 2;
        for (i = 0; i < 4; ++i)
            setrzparam_save[i] = p->linearGradient[i];
        run_paint_program(PAINT_LINEAR, setrzparam_save, 4);
        gradient_ramp(p);
    } else if (p && p->paintType == VG_PAINT_TYPE_RADIAL_GRADIENT) {
        VGALVAL_lx740renderingmode |= RM_PAINT_RADIAL;
        vgmode_paint = 3;
        if (p != currentpaint || (p->dirty & OVG_PAINT_DIRTY_RADIAL_GRADIENT))
            radial_parameters(p);
        run_paint_program(PAINT_RADIAL, setrzparam_save_rg, 4);
        VPCTRLW(LX_TE_SYNC, 0);
        currentpaint = p;
        gradient_ramp(p);
    } else if (p && p->paintType == VG_PAINT_TYPE_PATTERN && p->paintPattern) {
        pattern_paint(p);
    } else {
        color_paint(p);
    }
    VGALVAL_changepepipe = 1;
    prevpaint = pnt;
    return 0;
}

void lx_paint_minimum(void)
{
    const word32 rm = VGALVAL_lx740renderingmode;
    if (rm & VGAL_RM_PAINT_PATTERN) {
        run_paint_program(PAINT_PATTERN, setrzparam_save, 2);
    } else if (rm & RM_PAINT_LINEAR) {
        run_paint_program(PAINT_LINEAR, setrzparam_save, 4);
    } else if (rm & RM_PAINT_RADIAL) {
        run_paint_program(PAINT_RADIAL, setrzparam_save_rg, 4);
        VPCTRLW(LX_TE_SYNC, 0);
    }
}

int lx_image(const OVGimage *img, int lerp)
{
    const word32 f = (word32)img->format & 15;
    word32 lt, rb;
    VGALVAL_lx740renderingmode &= ~RM_IMAGE_BITS;
    if (f > 6)
        VGALVAL_lx740renderingmode |= VGAL_RM_IMAGE_LINEAR;
    if (VGVAL_ispremult[f])
        VGALVAL_lx740renderingmode |= RM_IMAGE_PREMULTIPLIED;
    if (VGVAL_isluminance[f])
        VGALVAL_lx740renderingmode |= RM_IMAGE_LUMINANCE;
    VGALVAL_currentimageformat = img->format;
    texture_window(img, &lt, &rb);
    PEW(LX_PE_OVG_TX1_CHILDIMG_EN, 1);
    PEW(LX_PE_OVG_TX1_CHILDIMG_BBLT, lt);
    PEW(LX_PE_OVG_TX1_CHILDIMG_BBRB, rb);
    PEW(LX_PE_OVG_TX1_ADDR, img->buffer->addr);
    PEW(LX_PE_OVG_TX1_SIZE, texture_size(img));
    PEW(LX_PE_OVG_TX1_FILTER, lerp ? 1u : 0u);
    PEW(LX_PE_OVG_TX1_FMT, VGALFUNC_TVGgetLXImageFormat(img->format));
    PEW(LX_PE_OVG_TX1_WRAP, TEXTURE_WRAP_CLAMP);
    PEW(LX_PE_OVG_TX1_CLAMP2ALPHA, VGVAL_ispremult[f] ? 1u : 0u);
    PEW(LX_PE_OVG_TX1_PREMALPHA_EN, VGVAL_ispremult[f] ? 0u : 1u);
    PEW(LX_PE_OVG_TX1_PAINT_SEL, 0);
    PEW(LX_PE_OVG_TXC_INVAL, TEXTURE_CACHE_BOTH);
    RZW(LX_RZ_IMG_USCALE, (word32)img->activeRect.width);
    RZW(LX_RZ_IMG_VSCALE, (word32)img->activeRect.height);
    vgmode_image = IMAGE_MODE;
    VGALVAL_changepepipe = 1;
    return 0;
}
