#include "vg/common/vg_float_int.h"

#include <math.h>

#include "mathx/mathx.h"

#define INT_RANGE_END 2147483648.0f /* 2^31, the first value above the range */

static VGint saturate(VGfloat whole)
{
    if (whole != whole)
        return 0;
    if (whole >= INT_RANGE_END)
        return 2147483647;
    if (whole < -INT_RANGE_END)
        return -2147483647 - 1;
    return (VGint)whole;
}

VGint VGFUNC_TruncToInt(VGfloat value)
{
    return saturate(truncf(value));
}

VGint VGFUNC_FloorToInt(VGfloat value)
{
    return saturate(floorf(value));
}

VGfloat VGFUNC_Clampf(VGfloat value, VGfloat lo, VGfloat hi)
{
    if (value != value)
        value = 0.0f;
    return value < lo ? lo : value > hi ? hi : value;
}

VGfloat VGFUNC_FloatAt(OVGvalues s, VGint i)
{
    switch (s.kind) {
    case OVG_FROM_INT: return (VGfloat)((const VGint *)s.values)[i];
    case OVG_FROM_FLOAT: return ((const VGfloat *)s.values)[i];
    default: return mxFixed2Float(((const VGfixed *)s.values)[i]);
    }
}

VGint VGFUNC_TruncAt(OVGvalues s, VGint i)
{
    return s.kind == OVG_FROM_INT ? ((const VGint *)s.values)[i] : VGFUNC_TruncToInt(VGFUNC_FloatAt(s, i));
}

VGint VGFUNC_FloorAt(OVGvalues s, VGint i)
{
    return s.kind == OVG_FROM_INT ? ((const VGint *)s.values)[i] : VGFUNC_FloorToInt(VGFUNC_FloatAt(s, i));
}
