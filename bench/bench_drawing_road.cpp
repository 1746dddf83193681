// One frame of the display server end to end through OpenVG on the GPU model, on a 480 x 272
// RGB565 window: a clear, three images (a 565 picture, a 4444 picture and the 565 one doubled)
// under the image matrix, and 60 glyph-sized paths, each made, filled and stroked in colour
// paints made for it, flushed and destroyed, as the display server draws text; the frame ends
// when the GPU has finished it.
#include <benchmark/benchmark.h>

#include <VG/openvg.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "simgpu.h"
#include "vgwindowscene.h"

namespace {

using vnq::bench::VgWindowScene;
constexpr int kWidth = VgWindowScene::kWidth, kHeight = VgWindowScene::kHeight;
constexpr int kGlyphs = 60, kPicW = 96, kPicH = 64;

VgWindowScene& scene()
{
    static VgWindowScene s;
    return s;
}

// A glyph-like outline about 20 pixels across with its top-left corner at (x, y) in screen
// coordinates: a stem of lines, a bowl of a quadratic and a cubic, as an outline font gives.
struct Glyph {
    std::vector<VGubyte> segments;
    std::vector<VGfloat> coords;
};

Glyph glyphAt(float x, float y)
{
    return {{VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_QUAD_TO_ABS, VG_CUBIC_TO_ABS, VG_QUAD_TO_ABS, VG_LINE_TO_ABS,
             VG_LINE_TO_ABS},
            {x, y + 22, x, y + 4, x, y, x + 6, y, x + 20, y, x + 20, y + 12, x + 6, y + 12, x + 4, y + 12, x + 4,
             y + 16, x + 4, y + 22, x, y + 22}};
}

void setColourPaint(const VGfloat rgba[4], VGbitfield modes)
{
    const VGPaint paint = vgCreatePaint();
    vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_COLOR);
    vgSetParameterfv(paint, VG_PAINT_COLOR, 4, rgba);
    vgSetPaint(paint, modes);
    vgDestroyPaint(paint);
}

void drawImageAt(VGImage image, float x, float y, float scale)
{
    VGfloat saved[9];
    vgGetMatrix(saved);
    vgTranslate(x, y);
    vgScale(scale, scale);
    vgDrawImage(image);
    vgLoadMatrix(saved);
}

void BM_DrawingRoadFrame(benchmark::State& state)
{
    if (!scene().ready) {
        state.SkipWithError("no OpenVG surface on the simulated GPU");
        return;
    }
    std::vector<uint16_t> pixels(size_t(kPicW) * kPicH);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint16_t(i * 2654435761u >> 16) | 0xF000;  // opaque as 4444
    const VGImage picture565 = vgCreateImage(VG_sRGB_565, kPicW, kPicH, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage picture4444 = vgCreateImage(VG_sABGR_4444, kPicW, kPicH, VG_IMAGE_QUALITY_NONANTIALIASED);
    vgImageSubData(picture565, pixels.data(), kPicW * 2, VG_sRGB_565, 0, 0, kPicW, kPicH);
    vgImageSubData(picture4444, pixels.data(), kPicW * 2, VG_sABGR_4444, 0, 0, kPicW, kPicH);
    std::vector<Glyph> glyphs;
    for (int n = 0; n < kGlyphs; ++n)
        glyphs.push_back(glyphAt(float(8 + 30 * (n % 15)), float(140 + 30 * (n / 15))));

    const VGfloat clear[4] = {0.2f, 0.4f, 0.6f, 1.0f}, fill[4] = {1, 0.5f, 0, 1}, stroke[4] = {0.5f, 0, 0.25f, 1};
    for (auto _ : state) {
        vgSetfv(VG_CLEAR_COLOR, 4, clear);
        vgClear(0, 0, kWidth, kHeight);

        vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
        vgLoadIdentity();
        vgTranslate(0, kHeight);
        vgScale(1, -1);
        drawImageAt(picture565, 16, 16, 1);
        drawImageAt(picture4444, 128, 16, 1);
        drawImageAt(picture565, 240, 0, 2);

        vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE);
        vgLoadIdentity();
        vgTranslate(0, kHeight);
        vgScale(1, -1);
        vgSetf(VG_STROKE_LINE_WIDTH, 1.5f);
        for (const Glyph& g : glyphs) {
            setColourPaint(fill, VG_FILL_PATH);
            setColourPaint(stroke, VG_STROKE_PATH);
            const VGPath path =
                vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
            vgAppendPathData(path, VGint(g.segments.size()), g.segments.data(), g.coords.data());
            vgDrawPath(path, VG_FILL_PATH | VG_STROKE_PATH);
            vgFlush();
            vgDestroyPath(path);
        }
        vgFinish();
    }
    if (vgGetError() != VG_NO_ERROR)
        state.SkipWithError("an OpenVG error was recorded");
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
    vgDestroyImage(picture565);
    vgDestroyImage(picture4444);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawingRoadFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
