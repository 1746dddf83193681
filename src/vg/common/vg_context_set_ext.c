/* The vendor context parameters: blend unit and functions, YUV conversion, channel mask and
 * alternate colour. Their meaning is the acceleration layer's; here they are checked, stored
 * and marked. */
#include "vg/common/vg_context.h"

#include <string.h>

#define ILLEGAL VG_ILLEGAL_ARGUMENT_ERROR

static int isBlendFactor(VGuint code, int destination)
{
    if (code < VG_EXT_BLEND_ZERO || code > VG_EXT_BLEND_ONE_MINUS_CONSTANT_ALPHA)
        return 0;
    return !(destination && code == VG_EXT_BLEND_SRC_ALPHA_SATURATE);
}

static int isBlendEquation(VGuint code)
{
    return code >= VG_EXT_BLEND_FUNC_ADD && code <= VG_EXT_BLEND_FUNC_REVERSE_SUBTRACT;
}

/* The number of words a vendor parameter takes, 0 for an id that is none. */
static VGint wordsOf(VGParamType param)
{
    switch ((VGuint)param) {
    case VG_EXT_YUV_RGB_CONVERSION:
    case VG_EXT_BLEND_UNIT:
    case VG_EXT_BLEND_COLOR:
    case VG_EXT_CHANNEL_MASK: return 1;
    case VG_EXT_BLEND_EQUATION: return 2;
    case VG_EXT_BLEND_FUNC_SEPARATE:
    case VG_EXT_ALTERNATE_COLOR: return 4;
    case VG_EXT_YUV_RGB_COEFFICIENT: return 9;
    default: return 0;
    }
}

static void storeIfChanged(OVGcontext *c, VGuint *field, VGuint value, VGuint bit)
{
    if (*field != value) {
        *field = value;
        VGFUNC_MarkDirty(c, bit);
    }
}

VGErrorCode VGFUNC_SetContextiEXT(OVGcontext *c, VGParamType param, VGint count, const VGuint *values, int scalar)
{
    const VGint words = wordsOf(param);
    int i;
    if (words == 0 || count != words || (scalar && words != 1))
        return ILLEGAL;
    switch ((VGuint)param) {
    case VG_EXT_YUV_RGB_CONVERSION:
        c->yuv2rgbConversion = values[0];
        VGFUNC_MarkDirty(c, OVG_DIRTY_YUV_RGB);
        return VG_NO_ERROR;
    case VG_EXT_YUV_RGB_COEFFICIENT:
        memcpy(c->yuv2rgbCoefficient, values, sizeof c->yuv2rgbCoefficient);
        VGFUNC_MarkDirty(c, OVG_DIRTY_YUV_RGB);
        return VG_NO_ERROR;
    case VG_EXT_BLEND_UNIT:
        if (values[0] != c->blendUnitEXT && values[0] != VG_EXT_BLEND_UNIT_OPENVG &&
            values[0] != VG_EXT_BLEND_UNIT_SEPARATE)
            return ILLEGAL;
        storeIfChanged(c, &c->blendUnitEXT, values[0], OVG_DIRTY_BLEND_UNIT);
        return VG_NO_ERROR;
    case VG_EXT_BLEND_FUNC_SEPARATE:
        for (i = 0; i < 4; ++i)
            if (!isBlendFactor(values[i], i % 2 == 1))
                return ILLEGAL;
        memcpy(c->blendFuncEXT, values, sizeof c->blendFuncEXT);
        VGFUNC_MarkDirty(c, OVG_DIRTY_BLEND_FUNCS);
        return VG_NO_ERROR;
    case VG_EXT_BLEND_EQUATION:
        if (!isBlendEquation(values[0]) || !isBlendEquation(values[1]))
            return ILLEGAL;
        memcpy(c->blendEquationEXT, values, sizeof c->blendEquationEXT);
        VGFUNC_MarkDirty(c, OVG_DIRTY_BLEND_FUNCS);
        return VG_NO_ERROR;
    case VG_EXT_BLEND_COLOR:
        storeIfChanged(c, &c->blendColorEXT, values[0], OVG_DIRTY_BLEND_COLOR);
        return VG_NO_ERROR;
    case VG_EXT_CHANNEL_MASK:
        storeIfChanged(c, &c->channelMask, values[0], OVG_DIRTY_CHANNEL_MASK);
        return VG_NO_ERROR;
    default: /* VG_EXT_ALTERNATE_COLOR */
        memcpy(c->altColor, values, sizeof c->altColor);
        VGFUNC_MarkDirty(c, OVG_DIRTY_ALTERNATE_COLOR);
        return VG_NO_ERROR;
    }
}
