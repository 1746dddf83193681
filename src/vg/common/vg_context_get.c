/* The context parameter getters and vector sizes. */
#include "vg/common/vg_context.h"

#include <float.h>

#include "mathx/mathx.h"
#include "vg/common/vg_context_param.h"
#include "vg/common/vg_float_int.h"

#define ILLEGAL VG_ILLEGAL_ARGUMENT_ERROR
#define MAX_VALUES (4 * OVG_MAX_SCISSOR_RECTS)

/* A parameter's current values in both forms: integer parameters also as floats, float
 * parameters also rounded down to integers. */
typedef struct {
    VGint size;
    VGint i[MAX_VALUES];
    VGfloat f[MAX_VALUES];
} Answer;

static void putInt(Answer *a, VGint v)
{
    a->i[a->size] = v;
    a->f[a->size] = (VGfloat)v;
    a->size++;
}

static void putFloat(Answer *a, VGfloat v)
{
    a->i[a->size] = VGFUNC_FloorToInt(v);
    a->f[a->size] = v;
    a->size++;
}

static void putFloats(Answer *a, const VGfloat *v, VGint n)
{
    VGint k;
    for (k = 0; k < n; ++k)
        putFloat(a, v[k]);
}

static void putColor(Answer *a, const OVGcolor *c)
{
    putFloat(a, c->r), putFloat(a, c->g), putFloat(a, c->b), putFloat(a, c->a);
}

static VGErrorCode readLimit(VGParamType param, Answer *a)
{
    switch (param) {
    case VG_MAX_SCISSOR_RECTS: putInt(a, OVG_MAX_SCISSOR_RECTS); break;
    case VG_MAX_DASH_COUNT: putInt(a, OVG_MAX_DASH_COUNT); break;
    case VG_MAX_COLOR_RAMP_STOPS: putInt(a, 32); break;
    case VG_MAX_KERNEL_SIZE:
    case VG_MAX_SEPARABLE_KERNEL_SIZE: putInt(a, 15); break;
    case VG_MAX_IMAGE_WIDTH:
    case VG_MAX_IMAGE_HEIGHT: putInt(a, 8192); break;
    case VG_MAX_IMAGE_PIXELS: putInt(a, 0x4000000); break;
    case VG_MAX_IMAGE_BYTES: putInt(a, 0x10000000); break;
    case VG_MAX_GAUSSIAN_STD_DEVIATION: putInt(a, 16); break;
    case VG_MAX_FLOAT:
        a->i[0] = 0x7FFFFFFF, a->f[0] = FLT_MAX, a->size = 1;
        break;
    default: return ILLEGAL;
    }
    return VG_NO_ERROR;
}

static VGErrorCode readParam(const OVGcontext *c, VGParamType param, Answer *a)
{
    VGint r;
    a->size = 0;
    switch (param) {
    case VG_MATRIX_MODE: putInt(a, c->matrixMode); break;
    case VG_FILL_RULE: putInt(a, c->fillRule); break;
    case VG_IMAGE_QUALITY: putInt(a, c->imageQuality); break;
    case VG_RENDERING_QUALITY: putInt(a, c->renderingQuality); break;
    case VG_BLEND_MODE: putInt(a, c->blendMode); break;
    case VG_IMAGE_MODE: putInt(a, c->imageMode); break;
    case VG_SCISSOR_RECTS:
        for (r = 0; r < c->numScissorRects; ++r) {
            const OVGrect *rect = &c->scissorRects[r];
            putInt(a, rect->x), putInt(a, rect->y), putInt(a, rect->width), putInt(a, rect->height);
        }
        break;
    case VG_STROKE_LINE_WIDTH: putFloat(a, c->strokeLineWidth); break;
    case VG_STROKE_CAP_STYLE: putInt(a, c->strokeCapStyle); break;
    case VG_STROKE_JOIN_STYLE: putInt(a, c->strokeJoinStyle); break;
    case VG_STROKE_MITER_LIMIT: putFloat(a, c->strokeMiterLimit); break;
    case VG_STROKE_DASH_PATTERN: putFloats(a, c->strokeDashPattern, c->numDashCount); break;
    case VG_STROKE_DASH_PHASE: putFloat(a, c->strokeDashPhase); break;
    case VG_STROKE_DASH_PHASE_RESET: putInt(a, c->strokeDashPhaseReset); break;
    case VG_TILE_FILL_COLOR: putColor(a, &c->tileFillColor); break;
    case VG_CLEAR_COLOR: putColor(a, &c->clearColor); break;
    case VG_GLYPH_ORIGIN: putFloats(a, c->glyphOrigin, 2); break;
    case VG_MASKING: putInt(a, c->masking); break;
    case VG_SCISSORING: putInt(a, c->scissoring); break;
    case VG_PIXEL_LAYOUT: putInt(a, c->pixelLayout); break;
    case VG_SCREEN_LAYOUT: putInt(a, c->screenLayout); break;
    case VG_FILTER_FORMAT_LINEAR: putInt(a, c->filterFormatLinear); break;
    case VG_FILTER_FORMAT_PREMULTIPLIED: putInt(a, c->filterFormatPremultiplied); break;
    case VG_FILTER_CHANNEL_MASK: putInt(a, (VGint)c->filterChannelMask); break;
    case VG_COLOR_TRANSFORM: putInt(a, c->colorTransform); break;
    case VG_COLOR_TRANSFORM_VALUES: putFloats(a, c->colorTransformValuesOrig, 8); break;
    default: return readLimit(param, a);
    }
    return VG_NO_ERROR;
}

/* Reads the parameter and checks the count: 1 for a single value; a vector needs a vector
 * entry point and at most its current size. */
static VGErrorCode answer(const OVGcontext *c, VGParamType param, VGint count, int scalar, Answer *a)
{
    const VGErrorCode error = readParam(c, param, a);
    if (error)
        return error;
    if (!VGFUNC_IsVectorContextParam(param))
        return count == 1 ? VG_NO_ERROR : ILLEGAL;
    return scalar || count > a->size ? ILLEGAL : VG_NO_ERROR;
}

typedef enum { AS_INT, AS_FLOAT, AS_FIXED } Form;

/* The first count values of the parameter, written in the form the getter returns. */
static VGErrorCode get(const OVGcontext *c, VGParamType param, VGint count, int scalar, Form form, void *values)
{
    Answer a;
    VGint k;
    const VGErrorCode error = answer(c, param, count, scalar, &a);
    if (error)
        return error;
    for (k = 0; k < count; ++k) {
        switch (form) {
        case AS_INT: ((VGint *)values)[k] = a.i[k]; break;
        case AS_FLOAT: ((VGfloat *)values)[k] = a.f[k]; break;
        default: ((VGfixed *)values)[k] = mxFloat2Fixed(a.f[k]); break;
        }
    }
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_GetContexti(const OVGcontext *context, VGParamType param, VGint count, VGint *values, int scalar)
{
    return get(context, param, count, scalar, AS_INT, values);
}

VGErrorCode VGFUNC_GetContextf(const OVGcontext *context, VGParamType param, VGint count, VGfloat *values,
                               int scalar)
{
    return get(context, param, count, scalar, AS_FLOAT, values);
}

VGErrorCode VGFUNC_GetContextx(const OVGcontext *context, VGParamType param, VGint count, VGfixed *values,
                               int scalar)
{
    if (!VGFUNC_IsFloatContextParam(param))
        return ILLEGAL;
    return get(context, param, count, scalar, AS_FIXED, values);
}

VGErrorCode VGFUNC_GetContextVector(const OVGcontext *context, VGParamType param, VGint *result)
{
    Answer a;
    const VGErrorCode error = readParam(context, param, &a);
    if (error)
        return error;
    *result = a.size;
    return VG_NO_ERROR;
}
