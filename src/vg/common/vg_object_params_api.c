/* The generic object-parameter entry points. The parameter id chooses the kind of object, the
 * handle is then looked up among the objects of that kind, and the kind's operation does the
 * rest. A handle that is an object of another kind (or an id no kind takes, or a fixed-point
 * form the kind lacks) gives VG_ILLEGAL_ARGUMENT_ERROR; a value that is no object at all
 * VG_BAD_HANDLE_ERROR. */
#include <stddef.h>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_frame.h"

typedef enum { KIND_NONE, KIND_PATH, KIND_PAINT, KIND_IMAGE, KIND_FONT } ObjectKind;

typedef struct {
    ObjectKind kind;
    void *record; /* null when the handle is not an object of the kind */
} Target;

static ObjectKind kindOf(VGint param)
{
    if (param < 0x1606)
        return KIND_PATH;
    if (param <= 0x1A07)
        return KIND_PAINT;
    if (param <= 0x1E02)
        return KIND_IMAGE;
    if (param <= 0x2F00)
        return KIND_FONT;
    return KIND_NONE;
}

static Target targetOf(const OVGcontext *c, VGHandle object, VGint param)
{
    const OVGshare *share = c->sharedState;
    Target t;
    t.kind = kindOf(param);
    switch (t.kind) {
    case KIND_PATH: t.record = VGFUNC_FindPath(share, object); break;
    case KIND_PAINT: t.record = VGFUNC_FindPaint(share, object); break;
    case KIND_IMAGE: t.record = VGFUNC_FindImage(share, object); break;
    case KIND_FONT: t.record = VGFUNC_FindFont(share, object); break;
    default: t.record = NULL; break;
    }
    return t;
}

/* The error for a handle the chosen kind cannot take. */
static VGErrorCode wrongObject(const OVGcontext *c, VGHandle object)
{
    return VGFUNC_IsObject(c->sharedState, object) ? VG_ILLEGAL_ARGUMENT_ERROR : VG_BAD_HANDLE_ERROR;
}

/* Records the error for a handle the chosen kind cannot take; 1 when the target was found. */
static int found(OVGcontext *c, Target t, VGHandle object)
{
    if (t.record)
        return 1;
    VGFUNC_RecordError(c, wrongObject(c, object));
    return 0;
}

/* The vector forms check the handle, then the count and the pointer (a setter may pass no
 * values for count 0, a getter must ask for some); 1 when all are good. */
static int vectorCallOk(OVGcontext *c, Target t, VGHandle object, VGint count, const void *values, int get)
{
    const int bad = get ? count <= 0 || VGFUNC_IsBadPointer(values, 4)
                        : count < 0 || (values ? VGFUNC_IsBadPointer(values, 4) : count > 0);
    if (!found(c, t, object))
        return 0;
    if (bad)
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
    return !bad;
}

static VGErrorCode setInts(Target t, VGint param, VGint count, const VGint *values, int scalar)
{
    switch (t.kind) {
    case KIND_PATH: return VGFUNC_SetPathParami((OVGpath *)t.record, param, count, values, scalar);
    case KIND_PAINT: return VGFUNC_SetPaintParami((OVGpaint *)t.record, param, count, values, scalar);
    case KIND_IMAGE: return VGFUNC_SetImageParami((OVGimage *)t.record, param, count, values, scalar);
    default: return VGFUNC_SetFontParami((OVGfont *)t.record, param, count, values, scalar);
    }
}

static VGErrorCode setFloats(Target t, VGint param, VGint count, const VGfloat *values, int scalar)
{
    switch (t.kind) {
    case KIND_PATH: return VGFUNC_SetPathParamf((OVGpath *)t.record, param, count, values, scalar);
    case KIND_PAINT: return VGFUNC_SetPaintParamf((OVGpaint *)t.record, param, count, values, scalar);
    case KIND_IMAGE: return VGFUNC_SetImageParamf((OVGimage *)t.record, param, count, values, scalar);
    default: return VGFUNC_SetFontParamf((OVGfont *)t.record, param, count, values, scalar);
    }
}

static VGErrorCode getInts(Target t, VGint param, VGint count, VGint *values, int scalar)
{
    switch (t.kind) {
    case KIND_PATH: return VGFUNC_GetPathParami((const OVGpath *)t.record, param, count, values, scalar);
    case KIND_PAINT: return VGFUNC_GetPaintParami((const OVGpaint *)t.record, param, count, values, scalar);
    case KIND_IMAGE: return VGFUNC_GetImageParami((const OVGimage *)t.record, param, count, values, scalar);
    default: return VGFUNC_GetFontParami((const OVGfont *)t.record, param, count, values, scalar);
    }
}

static VGErrorCode getFloats(Target t, VGint param, VGint count, VGfloat *values, int scalar)
{
    switch (t.kind) {
    case KIND_PATH: return VGFUNC_GetPathParamf((const OVGpath *)t.record, param, count, values, scalar);
    case KIND_PAINT: return VGFUNC_GetPaintParamf((const OVGpaint *)t.record, param, count, values, scalar);
    case KIND_IMAGE: return VGFUNC_GetImageParamf((const OVGimage *)t.record, param, count, values, scalar);
    default: return VGFUNC_GetFontParamf((const OVGfont *)t.record, param, count, values, scalar);
    }
}

static VGErrorCode vectorSize(Target t, VGint param, VGint *size)
{
    switch (t.kind) {
    case KIND_PATH: return VGFUNC_GetPathVector((const OVGpath *)t.record, param, size);
    case KIND_PAINT: return VGFUNC_GetPaintVector((const OVGpaint *)t.record, param, size);
    case KIND_IMAGE: return VGFUNC_GetImageVector((const OVGimage *)t.record, param, size);
    default: return VGFUNC_GetFontVector((const OVGfont *)t.record, param, size);
    }
}

/* The target when it is of one of the kinds a fixed-point form serves, else none. */
static Target onlyKinds(Target t, ObjectKind first, ObjectKind second)
{
    if (t.kind != first && t.kind != second)
        t.record = NULL;
    return t;
}

void vgSetParameteri(VGHandle object, VGint paramType, VGint value)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    Target t;
    if (!c)
        return;
    t = targetOf(c, object, paramType);
    if (found(c, t, object))
        VGFUNC_RecordError(c, setInts(t, paramType, 1, &value, 1));
}

void vgSetParameterf(VGHandle object, VGint paramType, VGfloat value)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    Target t;
    if (!c)
        return;
    t = targetOf(c, object, paramType);
    if (found(c, t, object))
        VGFUNC_RecordError(c, setFloats(t, paramType, 1, &value, 1));
}

void vgSetParameteriv(VGHandle object, VGint paramType, VGint count, const VGint *values)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    Target t;
    if (!c)
        return;
    t = targetOf(c, object, paramType);
    if (vectorCallOk(c, t, object, count, values, 0))
        VGFUNC_RecordError(c, setInts(t, paramType, count, values, 0));
}

void vgSetParameterfv(VGHandle object, VGint paramType, VGint count, const VGfloat *values)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    Target t;
    if (!c)
        return;
    t = targetOf(c, object, paramType);
    if (vectorCallOk(c, t, object, count, values, 0))
        VGFUNC_RecordError(c, setFloats(t, paramType, count, values, 0));
}

void vgSetParameterxvEXT(VGHandle object, VGint paramType, VGint count, const VGfixed *values)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    Target t;
    if (!c)
        return;
    t = onlyKinds(targetOf(c, object, paramType), KIND_PAINT, KIND_PAINT);
    if (vectorCallOk(c, t, object, count, values, 0))
        VGFUNC_RecordError(c, VGFUNC_SetPaintParamx((OVGpaint *)t.record, paramType, count, values, 0));
}

VGint vgGetParameteri(VGHandle object, VGint paramType)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    VGint value = 0;
    VGErrorCode error;
    Target t;
    if (!c)
        return 0;
    t = targetOf(c, object, paramType);
    if (!found(c, t, object))
        return 0;
    error = getInts(t, paramType, 1, &value, 1);
    VGFUNC_RecordError(c, error);
    return error ? 0 : value;
}

VGfloat vgGetParameterf(VGHandle object, VGint paramType)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    VGfloat value = 0.0f;
    VGErrorCode error;
    Target t;
    if (!c)
        return 0.0f;
    t = targetOf(c, object, paramType);
    if (!found(c, t, object))
        return 0.0f;
    error = getFloats(t, paramType, 1, &value, 1);
    VGFUNC_RecordError(c, error);
    return error ? 0.0f : value;
}

void vgGetParameteriv(VGHandle object, VGint paramType, VGint count, VGint *values)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    Target t;
    if (!c)
        return;
    t = targetOf(c, object, paramType);
    if (vectorCallOk(c, t, object, count, values, 1))
        VGFUNC_RecordError(c, getInts(t, paramType, count, values, 0));
}

void vgGetParameterfv(VGHandle object, VGint paramType, VGint count, VGfloat *values)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    Target t;
    if (!c)
        return;
    t = targetOf(c, object, paramType);
    if (vectorCallOk(c, t, object, count, values, 1))
        VGFUNC_RecordError(c, getFloats(t, paramType, count, values, 0));
}

void vgGetParameterxvEXT(VGHandle object, VGint paramType, VGint count, VGfixed *values)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    Target t;
    if (!c)
        return;
    t = onlyKinds(targetOf(c, object, paramType), KIND_PATH, KIND_PAINT);
    if (!vectorCallOk(c, t, object, count, values, 1))
        return;
    if (t.kind == KIND_PATH)
        VGFUNC_RecordError(c, VGFUNC_GetPathParamx((const OVGpath *)t.record, paramType, count, values, 0));
    else
        VGFUNC_RecordError(c, VGFUNC_GetPaintParamx((const OVGpaint *)t.record, paramType, count, values, 0));
}

VGint vgGetParameterVectorSize(VGHandle object, VGint paramType)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    VGint size = 0;
    VGErrorCode error;
    Target t;
    if (!c)
        return 0;
    t = targetOf(c, object, paramType);
    if (!found(c, t, object))
        return 0;
    error = vectorSize(t, paramType, &size);
    VGFUNC_RecordError(c, error);
    return error ? 0 : size;
}
