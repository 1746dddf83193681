/* The context parameter setters: validation, storage and the dirty bits. */
#include "vg/common/vg_context.h"

#include <float.h>

#include "vg/common/vg_context_param.h"
#include "vg/common/vg_float_int.h"

#define ILLEGAL VG_ILLEGAL_ARGUMENT_ERROR
#define MAX_SCISSOR_VALUES (4 * OVG_MAX_SCISSOR_RECTS)

static int inRange(VGint v, VGint lo, VGint hi)
{
    return v >= lo && v <= hi;
}

/* Enumerated and boolean values: a valid value equal to the stored one changes nothing. */
#define STORE_IF_CHANGED(field, type, value, bit)  \
    do {                                           \
        if (c->field != (type)(value)) {           \
            c->field = (type)(value);              \
            VGFUNC_MarkDirty(c, bit);                     \
        }                                          \
    } while (0)
#define SET_ENUM(field, type, value, valid, bit)    \
    do {                                            \
        if (!(valid))                               \
            return ILLEGAL;                         \
        STORE_IF_CHANGED(field, type, value, bit);  \
        return VG_NO_ERROR;                         \
    } while (0)
#define SET_BOOLEAN(field, value, bit) SET_ENUM(field, VGboolean, (value) ? VG_TRUE : VG_FALSE, 1, bit)
/* Float values: stored and marked on every call. */
#define SET_FLOAT(field, value, bit) \
    do {                             \
        c->field = (value);          \
        VGFUNC_MarkDirty(c, bit);           \
        return VG_NO_ERROR;          \
    } while (0)

static VGErrorCode setMatrixMode(OVGcontext *c, VGint mode)
{
    OVGmatrix *const matrices[5] = {&c->pathUserToSurface, &c->imageUserToSurface, &c->fillPaintToUser,
                                    &c->strokePaintToUser, &c->glyphUserToSurface};
    if (mode == (VGint)c->matrixMode)
        return VG_NO_ERROR;
    if (!inRange(mode, VG_MATRIX_PATH_USER_TO_SURFACE, VG_MATRIX_GLYPH_USER_TO_SURFACE))
        return ILLEGAL;
    c->matrixMode = (VGMatrixMode)mode;
    c->currentMtx = matrices[mode - VG_MATRIX_PATH_USER_TO_SURFACE];
    return VG_NO_ERROR;
}

static VGErrorCode setSingle(OVGcontext *c, VGParamType param, OVGvalues s)
{
    const VGint v = VGFUNC_IsFloatContextParam(param) ? 0 : VGFUNC_TruncAt(s, 0);
    switch (param) {
    case VG_MATRIX_MODE: return setMatrixMode(c, v);
    case VG_FILL_RULE: SET_ENUM(fillRule, VGFillRule, v, inRange(v, VG_EVEN_ODD, VG_NON_ZERO), OVG_DIRTY_FILL_RULE);
    case VG_IMAGE_QUALITY:
        SET_ENUM(imageQuality, VGImageQuality, v, v == 1 || v == 2 || v == 4, OVG_DIRTY_IMAGE_QUALITY);
    case VG_RENDERING_QUALITY:
        SET_ENUM(renderingQuality, VGRenderingQuality, v,
                 inRange(v, VG_RENDERING_QUALITY_NONANTIALIASED, VG_RENDERING_QUALITY_BETTER),
                 OVG_DIRTY_RENDERING_QUALITY);
    case VG_BLEND_MODE:
        SET_ENUM(blendMode, VGBlendMode, v, inRange(v, VG_BLEND_SRC, VG_BLEND_ADDITIVE), OVG_DIRTY_BLEND_MODE);
    case VG_IMAGE_MODE:
        SET_ENUM(imageMode, VGImageMode, v, inRange(v, VG_DRAW_IMAGE_NORMAL, VG_DRAW_IMAGE_STENCIL),
                 OVG_DIRTY_IMAGE_MODE);
    case VG_STROKE_LINE_WIDTH: SET_FLOAT(strokeLineWidth, VGFUNC_FloatAt(s, 0), OVG_DIRTY_STROKE_LINE_WIDTH);
    case VG_STROKE_CAP_STYLE:
        SET_ENUM(strokeCapStyle, VGCapStyle, v, inRange(v, VG_CAP_BUTT, VG_CAP_SQUARE), OVG_DIRTY_STROKE_CAP_STYLE);
    case VG_STROKE_JOIN_STYLE:
        SET_ENUM(strokeJoinStyle, VGJoinStyle, v, inRange(v, VG_JOIN_MITER, VG_JOIN_BEVEL),
                 OVG_DIRTY_STROKE_JOIN_STYLE);
    case VG_STROKE_MITER_LIMIT: SET_FLOAT(strokeMiterLimit, VGFUNC_FloatAt(s, 0), OVG_DIRTY_STROKE_MITER_LIMIT);
    case VG_STROKE_DASH_PHASE: SET_FLOAT(strokeDashPhase, VGFUNC_FloatAt(s, 0), OVG_DIRTY_STROKE_DASH_PHASE);
    case VG_STROKE_DASH_PHASE_RESET: SET_BOOLEAN(strokeDashPhaseReset, v, OVG_DIRTY_STROKE_DASH_PHASE_RESET);
    case VG_MASKING: SET_BOOLEAN(masking, v, OVG_DIRTY_MASKING);
    case VG_SCISSORING: SET_BOOLEAN(scissoring, v, OVG_DIRTY_SCISSOR);
    case VG_PIXEL_LAYOUT:
        if (!inRange(v, VG_PIXEL_LAYOUT_UNKNOWN, VG_PIXEL_LAYOUT_BGR_HORIZONTAL))
            return ILLEGAL;
        c->pixelLayout = (VGPixelLayout)v;
        return VG_NO_ERROR;
    case VG_FILTER_FORMAT_LINEAR: SET_BOOLEAN(filterFormatLinear, v, OVG_DIRTY_FILTER_FORMAT_LINEAR);
    case VG_FILTER_FORMAT_PREMULTIPLIED:
        SET_BOOLEAN(filterFormatPremultiplied, v, OVG_DIRTY_FILTER_FORMAT_PREMULTIPLIED);
    case VG_FILTER_CHANNEL_MASK: SET_ENUM(filterChannelMask, VGbitfield, v, 1, OVG_DIRTY_FILTER_CHANNEL_MASK);
    case VG_COLOR_TRANSFORM: SET_BOOLEAN(colorTransform, v, OVG_DIRTY_COLOR_TRANSFORM);
    default: return ILLEGAL;
    }
}

static void setColor(OVGcolor *asSet, OVGcolor *clamped, OVGvalues s)
{
    VGFUNC_ColorAt(asSet, s, 0);
    VGFUNC_ClampColor(clamped, asSet);
}

static void setScissorRects(OVGcontext *c, VGint count, OVGvalues s)
{
    const VGint n = count < MAX_SCISSOR_VALUES ? count : MAX_SCISSOR_VALUES;
    VGint r;
    for (r = 0; r < n / 4; ++r) {
        OVGrect *rect = &c->scissorRects[r];
        rect->x = VGFUNC_FloorAt(s, 4 * r), rect->y = VGFUNC_FloorAt(s, 4 * r + 1);
        rect->width = VGFUNC_FloorAt(s, 4 * r + 2), rect->height = VGFUNC_FloorAt(s, 4 * r + 3);
    }
    c->numScissorRects = n / 4;
}

/* The longest dash or gap dashing uses: any longer one (an infinite one too) is this long, so
 * that the pattern's length stays finite, with room for rounding, however many such values it
 * holds. */
#define OVG_MAX_SAFE_DASH (FLT_MAX / (2 * OVG_MAX_DASH_COUNT))

/* Up to OVG_MAX_DASH_COUNT values are kept (a longer pattern is cut). The even-count prefix,
 * negative values and NaNs as 0 and values beyond OVG_MAX_SAFE_DASH as that, is what dashing
 * uses; an odd last value takes no part. */
static void setDashPattern(OVGcontext *c, VGint count, OVGvalues s)
{
    const VGint n = count < OVG_MAX_DASH_COUNT ? count : OVG_MAX_DASH_COUNT;
    const VGint even = n & ~1;
    VGint i;
    c->strokeDashLength = 0.0f;
    for (i = 0; i < n; ++i)
        c->strokeDashPattern[i] = VGFUNC_FloatAt(s, i);
    for (i = 0; i < even; ++i) {
        const VGfloat v = c->strokeDashPattern[i];
        c->dashSafePattern[i] = v > 0.0f ? (v < OVG_MAX_SAFE_DASH ? v : OVG_MAX_SAFE_DASH) : 0.0f;
        c->strokeDashLength += c->dashSafePattern[i];
    }
    c->numDashCount = n;
}

static VGErrorCode setVector(OVGcontext *c, VGParamType param, VGint count, OVGvalues s)
{
    VGint i;
    if (count < 0)
        return ILLEGAL;
    switch (param) {
    case VG_SCISSOR_RECTS:
        if (count % 4 != 0)
            return ILLEGAL;
        setScissorRects(c, count, s);
        VGFUNC_MarkDirty(c, OVG_DIRTY_SCISSOR);
        return VG_NO_ERROR;
    case VG_STROKE_DASH_PATTERN:
        setDashPattern(c, count, s);
        VGFUNC_MarkDirty(c, OVG_DIRTY_STROKE_DASH_PATTERN);
        return VG_NO_ERROR;
    case VG_TILE_FILL_COLOR:
        if (count != 4)
            return ILLEGAL;
        setColor(&c->tileFillColor, &c->tileFillColorClamp, s);
        VGFUNC_MarkDirty(c, OVG_DIRTY_TILE_FILL_COLOR);
        return VG_NO_ERROR;
    case VG_CLEAR_COLOR:
        if (count != 4)
            return ILLEGAL;
        setColor(&c->clearColor, &c->clearColorClamp, s);
        VGFUNC_MarkDirty(c, OVG_DIRTY_CLEAR_COLOR);
        return VG_NO_ERROR;
    case VG_GLYPH_ORIGIN:
        if (count != 2)
            return ILLEGAL;
        c->glyphOrigin[0] = VGFUNC_FloatAt(s, 0), c->glyphOrigin[1] = VGFUNC_FloatAt(s, 1);
        VGFUNC_MarkDirty(c, OVG_DIRTY_GLYPH_ORIGIN);
        return VG_NO_ERROR;
    case VG_COLOR_TRANSFORM_VALUES:
        if (count != 8)
            return ILLEGAL;
        for (i = 0; i < 8; ++i) {
            const VGfloat limit = i < 4 ? 127.0f : 1.0f;
            c->colorTransformValuesOrig[i] = VGFUNC_FloatAt(s, i);
            c->colorTransformValues[i] = VGFUNC_Clampf(c->colorTransformValuesOrig[i], -limit, limit);
        }
        VGFUNC_MarkDirty(c, OVG_DIRTY_COLOR_TRANSFORM);
        return VG_NO_ERROR;
    default:
        return ILLEGAL;
    }
}

static VGErrorCode setParam(OVGcontext *c, VGParamType param, VGint count, OVGvalues s, int scalar)
{
    if (param < VG_MATRIX_MODE || param > VG_COLOR_TRANSFORM_VALUES)
        return ILLEGAL;
    if (VGFUNC_IsReadOnlyContextParam(param))
        return VG_NO_ERROR;
    if (VGFUNC_IsVectorContextParam(param))
        return scalar ? ILLEGAL : setVector(c, param, count, s);
    if (count != 1)
        return ILLEGAL;
    return setSingle(c, param, s);
}

VGErrorCode VGFUNC_SetContexti(OVGcontext *context, VGParamType param, VGint count, const VGint *values, int scalar)
{
    const OVGvalues s = {OVG_FROM_INT, values};
    return setParam(context, param, count, s, scalar);
}

VGErrorCode VGFUNC_SetContextf(OVGcontext *context, VGParamType param, VGint count, const VGfloat *values, int scalar)
{
    const OVGvalues s = {OVG_FROM_FLOAT, values};
    return setParam(context, param, count, s, scalar);
}

VGErrorCode VGFUNC_SetContextx(OVGcontext *context, VGParamType param, VGint count, const VGfixed *values, int scalar)
{
    const OVGvalues s = {OVG_FROM_FIXED, values};
    if (!VGFUNC_IsFloatContextParam(param))
        return ILLEGAL;
    return setParam(context, param, count, s, scalar);
}
