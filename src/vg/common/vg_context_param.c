#include "vg/common/vg_context_param.h"

int VGFUNC_IsVectorContextParam(VGParamType param)
{
    switch (param) {
    case VG_SCISSOR_RECTS:
    case VG_STROKE_DASH_PATTERN:
    case VG_TILE_FILL_COLOR:
    case VG_CLEAR_COLOR:
    case VG_GLYPH_ORIGIN:
    case VG_COLOR_TRANSFORM_VALUES:
        return 1;
    default:
        return 0;
    }
}

int VGFUNC_IsReadOnlyContextParam(VGParamType param)
{
    return param == VG_SCREEN_LAYOUT || (param >= VG_MAX_SCISSOR_RECTS && param <= VG_MAX_GAUSSIAN_STD_DEVIATION);
}

int VGFUNC_IsFloatContextParam(VGParamType param)
{
    switch (param) {
    case VG_STROKE_LINE_WIDTH:
    case VG_STROKE_MITER_LIMIT:
    case VG_STROKE_DASH_PATTERN:
    case VG_STROKE_DASH_PHASE:
    case VG_TILE_FILL_COLOR:
    case VG_CLEAR_COLOR:
    case VG_GLYPH_ORIGIN:
    case VG_COLOR_TRANSFORM_VALUES:
        return 1;
    default:
        return 0;
    }
}
