#include "vg/common/vg_float_int.h"

#include <math.h>

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
