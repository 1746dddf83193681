/* Paint records: creation with the defaults, holders and deletion, colour and pattern, and the
 * paint parameters with the colour-ramp normalisation. */
#include "vg/common/vg_paint.h"

#include <string.h>

#include "mathx/mathx.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_arena.h"
#include "vg/common/vg_float_int.h"

#define ILLEGAL VG_ILLEGAL_ARGUMENT_ERROR
#define OPAQUE_BLACK 0x000000FFu
#define OPAQUE_WHITE 0xFFFFFFFFu
#define STOP_VALUES 5
#define MAX_STOP_VALUES (STOP_VALUES * OVG_MAX_RAMP_STOPS)

static void defaultRamp(OVGpaint *p)
{
    p->rampOffset[0] = 0.0f;
    p->rampColor[0] = OPAQUE_BLACK;
    p->rampOffset[1] = 1.0f;
    p->rampColor[1] = OPAQUE_WHITE;
    p->realRampStops = 2;
}

static void setDefaults(OVGpaint *p)
{
    p->paintType = VG_PAINT_TYPE_COLOR;
    VGFUNC_UnpackColor(&p->paintColor, OPAQUE_BLACK);
    p->paintColorClamp = p->paintColor;
    p->paintColorPkd = p->paintColorPkdPre = OPAQUE_BLACK;
    p->colorRampSpreadMode = VG_COLOR_RAMP_SPREAD_PAD;
    p->numRampStops = 0;
    defaultRamp(p);
    p->linearGradient[0] = p->linearGradient[1] = p->linearGradient[3] = 0.0f;
    p->linearGradient[2] = 1.0f;
    memset(p->radialGradient, 0, sizeof p->radialGradient);
    p->radialGradient[4] = 1.0f;
    p->tilingMode = VG_TILE_FILL;
    p->colorRampPremultiplied = 1;
    p->refCount = 0;
    p->deleted = VG_FALSE;
    p->dirty = OVG_PAINT_DIRTY_ALL;
    p->paintPattern = NULL;
    p->next = NULL;
}

OVGpaint *VGFUNC_CreatePaint(void)
{
    OVGpaint *paint = (OVGpaint *)VGFUNC_ArenaAlloc(sizeof(OVGpaint));
    if (!paint)
        return NULL;
    if (!VGHAL_ALcreatePaint(paint)) {
        VGFUNC_ArenaFree(paint);
        return NULL;
    }
    setDefaults(paint);
    return paint;
}

void VGFUNC_DeletePaint(OVGpaint *paint)
{
    if (paint->refCount >= 1) {
        paint->deleted = VG_TRUE;
        return;
    }
    if (paint->paintPattern)
        VGFUNC_DecImage(paint->paintPattern);
    VGHAL_ALdeletePaint(paint);
    VGFUNC_ArenaFree(paint);
}

void VGFUNC_IncPaint(OVGpaint *paint)
{
    paint->refCount++;
}

void VGFUNC_DecPaint(OVGpaint *paint)
{
    paint->refCount--;
    if (paint->deleted && paint->refCount == 0)
        VGFUNC_DeletePaint(paint);
}

void VGFUNC_SetPaintColor(OVGpaint *paint, VGuint rgba)
{
    VGFUNC_UnpackColor(&paint->paintColor, rgba);
    VGFUNC_ClampColor(&paint->paintColorClamp, &paint->paintColor);
    paint->paintColorPkd = rgba;
    paint->paintColorPkdPre = VGFUNC_PackColorPre(&paint->paintColor);
    paint->dirty |= OVG_PAINT_DIRTY_COLOR;
}

VGuint VGFUNC_GetPaintColor(const OVGpaint *paint)
{
    return paint->paintColorPkd;
}

void VGFUNC_SetPaintPattern(OVGpaint *paint, OVGimage *image)
{
    /* The new pattern is held before the old one goes, so setting the same image again never
     * frees it on the way. */
    OVGimage *old = paint->paintPattern;
    if (image)
        VGFUNC_IncImage(image);
    paint->paintPattern = image;
    if (old)
        VGFUNC_DecImage(old);
    paint->dirty |= OVG_PAINT_DIRTY_PATTERN;
}

OVGimage *VGFUNC_GetPaintPattern(const OVGpaint *paint)
{
    return paint->paintPattern;
}

/* ---- Setters ---- */

/* The stops as set, normalised: stops outside 0..1 are skipped, a ramp that does not start at
 * 0 or end at 1 gets the colour of its first or last stop there; a stop before the one ahead of
 * it (once one was taken), or no stop inside 0..1, gives the default black-to-white ramp. */
static void normaliseRamp(OVGpaint *p)
{
    VGint i, k = 0;
    VGvalue prev = 0.0f;
    for (i = 0; i < p->numRampStops; ++i) {
        const VGvalue *stop = p->colorRampStops[i];
        const VGvalue o = stop[0];
        if (k > 0 && o < prev) {
            defaultRamp(p);
            return;
        }
        if (o >= 0.0f && o <= 1.0f) {
            const OVGcolor c = {stop[1], stop[2], stop[3], stop[4]};
            const VGuint packed = VGFUNC_PackColor(&c);
            if (k == 0 && o != 0.0f) {
                p->rampOffset[0] = 0.0f;
                p->rampColor[0] = packed;
                k = 1;
            }
            p->rampOffset[k] = o;
            p->rampColor[k] = packed;
            k++;
        }
        prev = o;
    }
    if (k == 0) {
        defaultRamp(p);
    } else if (p->rampOffset[k - 1] == 1.0f) {
        p->realRampStops = k;
    } else {
        p->rampOffset[k] = 1.0f;
        p->rampColor[k] = p->rampColor[k - 1];
        p->realRampStops = k + 1;
    }
}

static VGErrorCode setRampStops(OVGpaint *p, VGint count, OVGvalues s)
{
    const VGint n = count < MAX_STOP_VALUES ? count : MAX_STOP_VALUES;
    VGint i;
    if (count % STOP_VALUES != 0)
        return ILLEGAL;
    for (i = 0; i < n; ++i)
        p->colorRampStops[i / STOP_VALUES][i % STOP_VALUES] = VGFUNC_FloatAt(s, i);
    p->numRampStops = n / STOP_VALUES;
    normaliseRamp(p);
    p->dirty |= OVG_PAINT_DIRTY_RAMP_STOPS;
    return VG_NO_ERROR;
}

static VGErrorCode setFloats(VGvalue *field, VGint n, VGint count, OVGvalues s, OVGpaint *p, VGint bit)
{
    VGint i;
    if (count != n)
        return ILLEGAL;
    for (i = 0; i < n; ++i)
        field[i] = VGFUNC_FloatAt(s, i);
    p->dirty |= bit;
    return VG_NO_ERROR;
}

/* A single enumerated value lo..hi into *v; NaN and values beyond the integer range are out
 * of range. */
static VGErrorCode enumValue(VGint count, OVGvalues s, VGint lo, VGint hi, VGint *v)
{
    if (count != 1)
        return ILLEGAL;
    *v = VGFUNC_TruncAt(s, 0);
    return *v < lo || *v > hi ? ILLEGAL : VG_NO_ERROR;
}

/* Every accepted set stores and marks, changed or not. */
static VGErrorCode setParam(OVGpaint *p, VGint param, VGint count, OVGvalues s)
{
    VGint v = 0;
    VGErrorCode error;
    switch (param) {
    case VG_PAINT_TYPE:
        if ((error = enumValue(count, s, VG_PAINT_TYPE_COLOR, VG_PAINT_TYPE_PATTERN, &v)) == VG_NO_ERROR) {
            p->paintType = v;
            p->dirty |= OVG_PAINT_DIRTY_TYPE;
        }
        return error;
    case VG_PAINT_COLOR:
        if (count != 4)
            return ILLEGAL;
        VGFUNC_ColorAt(&p->paintColor, s, 0);
        VGFUNC_ClampColor(&p->paintColorClamp, &p->paintColor);
        p->paintColorPkd = VGFUNC_PackColor(&p->paintColor);
        p->paintColorPkdPre = VGFUNC_PackColorPre(&p->paintColor);
        p->dirty |= OVG_PAINT_DIRTY_COLOR;
        return VG_NO_ERROR;
    case VG_PAINT_COLOR_RAMP_SPREAD_MODE:
        error = enumValue(count, s, VG_COLOR_RAMP_SPREAD_PAD, VG_COLOR_RAMP_SPREAD_REFLECT, &v);
        if (error == VG_NO_ERROR) {
            p->colorRampSpreadMode = (VGColorRampSpreadMode)v;
            p->dirty |= OVG_PAINT_DIRTY_SPREAD_MODE;
        }
        return error;
    case VG_PAINT_COLOR_RAMP_STOPS:
        return setRampStops(p, count, s);
    case VG_PAINT_LINEAR_GRADIENT:
        return setFloats(p->linearGradient, 4, count, s, p, OVG_PAINT_DIRTY_LINEAR_GRADIENT);
    case VG_PAINT_RADIAL_GRADIENT:
        return setFloats(p->radialGradient, 5, count, s, p, OVG_PAINT_DIRTY_RADIAL_GRADIENT);
    case VG_PAINT_PATTERN_TILING_MODE:
        if ((error = enumValue(count, s, VG_TILE_FILL, VG_TILE_REFLECT, &v)) == VG_NO_ERROR) {
            p->tilingMode = (VGTilingMode)v;
            p->dirty |= OVG_PAINT_DIRTY_TILING_MODE;
        }
        return error;
    case VG_PAINT_COLOR_RAMP_PREMULTIPLIED:
        if (count != 1)
            return ILLEGAL;
        p->colorRampPremultiplied = VGFUNC_TruncAt(s, 0) != 0;
        p->dirty |= OVG_PAINT_DIRTY_RAMP_PREMULTIPLIED;
        return VG_NO_ERROR;
    default:
        return ILLEGAL;
    }
}

/* The parameters the fixed-point forms take: those with float values. */
static int isFloatParam(VGint param)
{
    return param == VG_PAINT_COLOR || param == VG_PAINT_COLOR_RAMP_STOPS || param == VG_PAINT_LINEAR_GRADIENT ||
           param == VG_PAINT_RADIAL_GRADIENT;
}

VGErrorCode VGFUNC_SetPaintParami(OVGpaint *paint, VGint param, VGint count, const VGint *values, int scalar)
{
    const OVGvalues s = {OVG_FROM_INT, values};
    (void)scalar;
    return setParam(paint, param, count, s);
}

VGErrorCode VGFUNC_SetPaintParamf(OVGpaint *paint, VGint param, VGint count, const VGfloat *values, int scalar)
{
    const OVGvalues s = {OVG_FROM_FLOAT, values};
    (void)scalar;
    return setParam(paint, param, count, s);
}

VGErrorCode VGFUNC_SetPaintParamx(OVGpaint *paint, VGint param, VGint count, const VGfixed *values, int scalar)
{
    const OVGvalues s = {OVG_FROM_FIXED, values};
    (void)scalar;
    if (!isFloatParam(param))
        return ILLEGAL;
    return setParam(paint, param, count, s);
}

/* ---- Getters ---- */

/* Where a getter writes, in the form its entry point returns. */
typedef struct {
    OVGvaluekind kind;
    void *values;
} Out;

static void putInt(Out o, VGint i, VGint v)
{
    if (o.kind == OVG_FROM_INT)
        ((VGint *)o.values)[i] = v;
    else
        ((VGfloat *)o.values)[i] = (VGfloat)v; /* the fixed-point getter takes no integer id */
}

/* Float values reach the integer getter rounded down and saturated. */
static void putFloat(Out o, VGint i, VGvalue v)
{
    switch (o.kind) {
    case OVG_FROM_INT: ((VGint *)o.values)[i] = VGFUNC_FloorToInt(v); break;
    case OVG_FROM_FLOAT: ((VGfloat *)o.values)[i] = v; break;
    default: ((VGfixed *)o.values)[i] = mxFloat2Fixed(v); break;
    }
}

static VGErrorCode getFloats(Out o, const VGvalue *field, VGint n, VGint count, int scalar)
{
    VGint i;
    if (count > n || scalar)
        return ILLEGAL;
    for (i = 0; i < count; ++i)
        putFloat(o, i, field[i]);
    return VG_NO_ERROR;
}

static VGErrorCode getInt(Out o, VGint value, VGint count)
{
    if (count > 1)
        return ILLEGAL;
    putInt(o, 0, value);
    return VG_NO_ERROR;
}

static VGErrorCode getParam(const OVGpaint *p, VGint param, VGint count, Out o, int scalar)
{
    switch (param) {
    case VG_PAINT_TYPE: return getInt(o, p->paintType, count);
    case VG_PAINT_COLOR: {
        const VGvalue color[4] = {p->paintColor.r, p->paintColor.g, p->paintColor.b, p->paintColor.a};
        return getFloats(o, color, 4, count, scalar);
    }
    case VG_PAINT_COLOR_RAMP_SPREAD_MODE: return getInt(o, (VGint)p->colorRampSpreadMode, count);
    case VG_PAINT_COLOR_RAMP_STOPS:
        return getFloats(o, &p->colorRampStops[0][0], STOP_VALUES * p->numRampStops, count, scalar);
    case VG_PAINT_LINEAR_GRADIENT: return getFloats(o, p->linearGradient, 4, count, scalar);
    case VG_PAINT_RADIAL_GRADIENT: return getFloats(o, p->radialGradient, 5, count, scalar);
    case VG_PAINT_PATTERN_TILING_MODE: return getInt(o, (VGint)p->tilingMode, count);
    case VG_PAINT_COLOR_RAMP_PREMULTIPLIED: return getInt(o, p->colorRampPremultiplied, count);
    default: return ILLEGAL;
    }
}

VGErrorCode VGFUNC_GetPaintParami(const OVGpaint *paint, VGint param, VGint count, VGint *values, int scalar)
{
    const Out o = {OVG_FROM_INT, values};
    return getParam(paint, param, count, o, scalar);
}

VGErrorCode VGFUNC_GetPaintParamf(const OVGpaint *paint, VGint param, VGint count, VGfloat *values, int scalar)
{
    const Out o = {OVG_FROM_FLOAT, values};
    return getParam(paint, param, count, o, scalar);
}

VGErrorCode VGFUNC_GetPaintParamx(const OVGpaint *paint, VGint param, VGint count, VGfixed *values, int scalar)
{
    const Out o = {OVG_FROM_FIXED, values};
    if (!isFloatParam(param))
        return ILLEGAL;
    return getParam(paint, param, count, o, scalar);
}

VGErrorCode VGFUNC_GetPaintVector(const OVGpaint *paint, VGint param, VGint *result)
{
    switch (param) {
    case VG_PAINT_TYPE:
    case VG_PAINT_COLOR_RAMP_SPREAD_MODE:
    case VG_PAINT_PATTERN_TILING_MODE:
    case VG_PAINT_COLOR_RAMP_PREMULTIPLIED: *result = 1; return VG_NO_ERROR;
    case VG_PAINT_COLOR:
    case VG_PAINT_LINEAR_GRADIENT: *result = 4; return VG_NO_ERROR;
    case VG_PAINT_RADIAL_GRADIENT: *result = 5; return VG_NO_ERROR;
    case VG_PAINT_COLOR_RAMP_STOPS: *result = STOP_VALUES * paint->numRampStops; return VG_NO_ERROR;
    default: return ILLEGAL;
    }
}
