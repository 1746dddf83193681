#pragma once

// An OpenVG context with every default and a window surface of two colour buffers, for tests
// of the acceleration layer. Header only: the targets that use it link the graphics library.

#include <cstring>

#include "vg/common/vg_context.h"

namespace vnq::test {

struct TestSurface {
    ALbuffer disp0{}, disp1{}, mask{}, multisample{};
    ALsurface surface{};

    // A double-buffered window surface of width x height at bpp bits, its buffers at addr0
    // and addr1; EGL's defaults for the colour space (sRGB), alpha format (non-premultiplied)
    // and buffer type (RGB).
    TestSurface(int width, int height, int bpp, VGuint addr0, VGuint addr1)
    {
        for (ALbuffer* b : {&disp0, &disp1}) {
            b->width = width;
            b->height = height;
            b->bpp = bpp;
            b->stride = (width + 7) / 8 * 8 * bpp / 8;
        }
        disp0.addr = addr0;
        disp1.addr = addr1;
        surface.disp0 = &disp0;
        surface.disp1 = &disp1;
        surface.mode = 1;
        surface.alphaformat = 0x308B;
        surface.colorspace = 0x3089;
        surface.buffermode = 0x308E;
        surface.alphabits = bpp == 32 ? 8 : 0;
    }
};

inline void initDefaultContext(OVGcontext& ctx, ALsurface* surface)
{
    std::memset(&ctx, 0, sizeof ctx);
    VGFUNC_InitMatrix(&ctx.pathUserToSurface, VG_MATRIX_PATH_USER_TO_SURFACE);
    VGFUNC_InitMatrix(&ctx.imageUserToSurface, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    VGFUNC_InitMatrix(&ctx.fillPaintToUser, VG_MATRIX_FILL_PAINT_TO_USER);
    VGFUNC_InitMatrix(&ctx.strokePaintToUser, VG_MATRIX_STROKE_PAINT_TO_USER);
    VGFUNC_InitMatrix(&ctx.glyphUserToSurface, VG_MATRIX_GLYPH_USER_TO_SURFACE);
    ctx.currentMtx = &ctx.pathUserToSurface;
    ctx.matrixMode = VG_MATRIX_PATH_USER_TO_SURFACE;
    ctx.fillRule = VG_EVEN_ODD;
    ctx.imageQuality = VG_IMAGE_QUALITY_FASTER;
    ctx.renderingQuality = VG_RENDERING_QUALITY_BETTER;
    ctx.blendMode = VG_BLEND_SRC_OVER;
    ctx.imageMode = VG_DRAW_IMAGE_NORMAL;
    ctx.strokeLineWidth = 1.0f;
    ctx.strokeCapStyle = VG_CAP_BUTT;
    ctx.strokeJoinStyle = VG_JOIN_MITER;
    ctx.strokeMiterLimit = 4.0f;
    ctx.strokeDashPhaseReset = VG_FALSE;
    ctx.pixelLayout = VG_PIXEL_LAYOUT_UNKNOWN;
    ctx.screenLayout = VG_PIXEL_LAYOUT_UNKNOWN;
    ctx.filterChannelMask = VG_RED | VG_GREEN | VG_BLUE | VG_ALPHA;
    ctx.drawSurface = surface;
    ctx.error = VG_NO_ERROR;
    ctx.dirty = -1;
    for (int i = 0; i < 4; ++i)
        ctx.colorTransformValues[i] = ctx.colorTransformValuesOrig[i] = 1.0f;
    ctx.blendUnitEXT = 0x40005100;
    ctx.blendFuncEXT[0] = ctx.blendFuncEXT[2] = 0x40005301;
    ctx.blendFuncEXT[1] = ctx.blendFuncEXT[3] = 0x40005300;
    ctx.blendEquationEXT[0] = ctx.blendEquationEXT[1] = 0x40005400;
}

}  // namespace vnq::test
