// The drawing, clear and surface pixel entry points: their checks in order, the surface check,
// the pixels they move; and what a path draw hands the vertex processor: the matrices and paint
// recomputations (entries 0 and 21), the subdivision thresholds and the passes that scan.
#include <VG/openvg.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/common/vg_frame.h"
#include "vgsurfacefixture.h"

namespace {

using vnq::test::VgSurfaceSpec;

constexpr EGLint kRgba8888 = 7;

class PathDraw : public vnq::test::VgSurfaceTest {
protected:
    VGPath path = VG_INVALID_HANDLE;
    VGPaint paint = VG_INVALID_HANDLE;

    void start(bool window = false)
    {
        makeCurrent(VgSurfaceSpec{kRgba8888, 64, 48, window});
        const VGfloat black[4] = {0, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, black);
        vgClear(0, 0, width, height);
        path = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
        const VGubyte segments[] = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH};
        const float data[] = {10, 10, 20, 10, 20, 20, 10, 20};
        vgAppendPathData(path, 5, segments, data);
        paint = vgCreatePaint();
        vgSetColor(paint, 0xFFFFFFFF);
        vgSetPaint(paint, VG_FILL_PATH | VG_STROKE_PATH);
        vgFinish();
        gpu.clearLog();
    }

    void TearDown() override
    {
        if (VGVAL_vgcurrentcontexthandle) {
            vgDestroyPath(path);
            vgDestroyPaint(paint);
        }
        VgSurfaceTest::TearDown();
    }

    // Entries 0 and 21 run from command buffers, each with the LX_VP_CTRL0 written before it.
    std::vector<std::pair<word32, word32>> matrixRuns() const
    {
        std::vector<std::pair<word32, word32>> runs;
        word32 ctrl = 0;
        for (const simgpu::Event& e : gpu.log())
            if (e.stream == simgpu::Stream::CmdBuf && e.kind == simgpu::Kind::Write && e.unit == simgpu::Unit::VPCtrl) {
                if (e.reg == LX_VP_CTRL0)
                    ctrl = e.value;
                else if (e.reg == LX_VP_IADDR && (e.value == 0 || e.value == 21))
                    runs.emplace_back(e.value, ctrl);
            }
        return runs;
    }

    // VP constants written from command buffers: constant -> its values as floats.
    std::map<word32, std::vector<float>> constants() const
    {
        std::map<word32, std::vector<float>> out;
        for (const simgpu::Event& e : gpu.log())
            if (e.stream == simgpu::Stream::CmdBuf && e.kind == simgpu::Kind::Write && e.unit == simgpu::Unit::VPConst) {
                float f;
                std::memcpy(&f, &e.value, sizeof f);
                out[e.reg / 4].push_back(f);
            }
        return out;
    }

    // Edge scans started (LX_XPT_SWAP = 60).
    size_t scans() const
    {
        size_t n = 0;
        for (const gputest::RegValue& w : fetched(simgpu::Unit::XPT))
            n += w == gputest::RegValue{LX_XPT_SWAP, 60};
        return n;
    }

    // Draws and returns what the draw ran, the log forgotten first.
    std::vector<std::pair<word32, word32>> draw(VGbitfield modes)
    {
        gpu.clearLog();
        vgDrawPath(path, modes);
        vgFinish();
        return matrixRuns();
    }
};

using Runs = std::vector<std::pair<word32, word32>>;

TEST_F(PathDraw, EntryPointsCheckInOrder)
{
    start();
    const VGImage image = vgCreateImage(VG_sRGBA_8888, 8, 8, VG_IMAGE_QUALITY_NONANTIALIASED);
    alignas(4) static uint8_t buffer[4 * 64 + 4];
    uint8_t* data = buffer;
    const VGImageFormat rgba = VG_sRGBA_8888, bad = static_cast<VGImageFormat>(67);
    const VGPath stranger = 0x12345670;

    const struct {
        const char* call;
        std::function<void()> run;
        VGErrorCode error;
    } table[] = {
        {"draw a stranger with no mode", [&] { vgDrawPath(stranger, 0); }, VG_BAD_HANDLE_ERROR},
        {"draw with no mode", [&] { vgDrawPath(path, 0); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"draw with mode 4", [&] { vgDrawPath(path, 4); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"draw fill and 4", [&] { vgDrawPath(path, 6); }, VG_NO_ERROR},
        {"clear of width 0", [&] { vgClear(0, 0, 0, 10); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"clear of height -1", [&] { vgClear(0, 0, 10, -1); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"clear from x -5", [&] { vgClear(-5, 0, 10, 10); }, VG_NO_ERROR},
        {"read: the format before the size", [&] { vgReadPixels(nullptr, 0, bad, 0, 0, 0, 0); },
         VG_UNSUPPORTED_IMAGE_FORMAT_ERROR},
        {"read of width 0", [&] { vgReadPixels(data, 4, rgba, 0, 0, 0, 1); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"read into null", [&] { vgReadPixels(nullptr, 4, rgba, 0, 0, 1, 1); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"read misaligned", [&] { vgReadPixels(data + 1, 4, rgba, 0, 0, 1, 1); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"read", [&] { vgReadPixels(data, 4, rgba, 0, 0, 1, 1); }, VG_NO_ERROR},
        {"write: the format before the size", [&] { vgWritePixels(nullptr, 0, bad, 0, 0, 0, 0); },
         VG_UNSUPPORTED_IMAGE_FORMAT_ERROR},
        {"write of height 0", [&] { vgWritePixels(data, 4, rgba, 0, 0, 1, 0); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"write misaligned", [&] { vgWritePixels(data + 2, 4, rgba, 0, 0, 1, 1); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"write", [&] { vgWritePixels(data, 4, rgba, 0, 0, 1, 1); }, VG_NO_ERROR},
        {"get into a stranger", [&] { vgGetPixels(stranger, 0, 0, 0, 0, 0, 0); }, VG_BAD_HANDLE_ERROR},
        {"get of width 0", [&] { vgGetPixels(image, 0, 0, 0, 0, 0, 1); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"get", [&] { vgGetPixels(image, 0, 0, 0, 0, 4, 4); }, VG_NO_ERROR},
        {"set from a stranger", [&] { vgSetPixels(0, 0, stranger, 0, 0, 0, 0); }, VG_BAD_HANDLE_ERROR},
        {"set of height 0", [&] { vgSetPixels(0, 0, image, 0, 0, 1, 0); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"set", [&] { vgSetPixels(0, 0, image, 0, 0, 4, 4); }, VG_NO_ERROR},
        {"copy of width -1", [&] { vgCopyPixels(0, 0, 0, 0, -1, 1); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"copy", [&] { vgCopyPixels(8, 8, 0, 0, 4, 4); }, VG_NO_ERROR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.call);
        row.run();
        EXPECT_EQ(vgGetError(), row.error);
    }
    vgDestroyImage(image);
}

// An image drawn into (lent to EGL and current as a surface) is refused before the sizes are
// looked at.
TEST_F(PathDraw, RenderTargetsAreRefusedBeforeTheSize)
{
    start();
    const VGImage lent = vgCreateImage(VG_sRGBA_8888, 8, 8, VG_IMAGE_QUALITY_NONANTIALIASED);
    const EGLSurface pbuffer = eglCreatePbufferFromClientBuffer(
        dpy, EGL_OPENVG_IMAGE, reinterpret_cast<EGLClientBuffer>(static_cast<uintptr_t>(lent)), config(kRgba8888),
        nullptr);
    ASSERT_NE(pbuffer, EGL_NO_SURFACE);
    const EGLContext sharing = eglCreateContext(dpy, config(kRgba8888), context, nullptr);
    ASSERT_NE(sharing, EGL_NO_CONTEXT);
    ASSERT_TRUE(eglMakeCurrent(dpy, pbuffer, pbuffer, sharing));
    vgGetPixels(lent, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(vgGetError(), VG_IMAGE_IN_USE_ERROR);
    vgSetPixels(0, 0, lent, 0, 0, 0, 0);
    EXPECT_EQ(vgGetError(), VG_IMAGE_IN_USE_ERROR);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, context));
    eglDestroyContext(dpy, sharing);
    eglDestroySurface(dpy, pbuffer);
    vgDestroyImage(lent);
}

TEST_F(PathDraw, AZeroSizedSurfaceMakesEveryEntrySilent)
{
    start();
    const VGImage image = vgCreateImage(VG_sRGBA_8888, 8, 8, VG_IMAGE_QUALITY_NONANTIALIASED);
    alignas(4) uint8_t data[4 * 16] = {};
    vgFinish();
    gpu.clearLog();
    vgnonzerosizedsurface = 0;
    vgDrawPath(path, VG_FILL_PATH);
    vgClear(0, 0, 4, 4);
    vgReadPixels(data, 16, VG_sRGBA_8888, 0, 0, 4, 4);
    vgWritePixels(data, 16, VG_sRGBA_8888, 0, 0, 4, 4);
    vgGetPixels(image, 0, 0, 0, 0, 4, 4);
    vgSetPixels(0, 0, image, 0, 0, 4, 4);
    vgCopyPixels(8, 8, 0, 0, 4, 4);
    vgnonzerosizedsurface = 1;
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_TRUE(gpu.select(simgpu::Stream::CmdBuf, simgpu::Kind::Kick, simgpu::Unit::None).empty());
    EXPECT_TRUE(writes(simgpu::Unit::Mem).empty());
    vgDestroyImage(image);
}

TEST_F(PathDraw, PixelEntryPointsMoveThePixels)
{
    start();
    std::vector<uint32_t> block(16);
    for (uint32_t i = 0; i < 16; ++i)
        block[i] = (i * 0x10u + 0x0Fu) << 24 | (0xF0u - i * 0x0Fu) << 16 | (i * 7u) << 8 | 0xFFu;
    const auto readBack = [&](int x, int y) {
        std::vector<uint32_t> out(16);
        vgReadPixels(out.data(), 16, VG_sRGBA_8888, x, y, 4, 4);
        return out;
    };
    vgWritePixels(block.data(), 16, VG_sRGBA_8888, 5, 6, 4, 4);
    EXPECT_EQ(readBack(5, 6), block);
    EXPECT_EQ(pixel(5, 6), block[0]);
    EXPECT_EQ(pixel(8, 9), block[15]);

    vgCopyPixels(20, 20, 5, 6, 4, 4);
    EXPECT_EQ(readBack(20, 20), block);

    const VGImage image = vgCreateImage(VG_sRGBA_8888, 8, 8, VG_IMAGE_QUALITY_NONANTIALIASED);
    vgGetPixels(image, 2, 1, 5, 6, 4, 4);
    std::vector<uint32_t> got(16);
    vgGetImageSubData(image, got.data(), 16, VG_sRGBA_8888, 2, 1, 4, 4);
    EXPECT_EQ(got, block);
    vgSetPixels(40, 30, image, 2, 1, 4, 4);
    EXPECT_EQ(readBack(40, 30), block);

    // A clear from x = -5 is cut to the surface.
    const VGfloat red[4] = {1, 0, 0, 1};
    vgSetfv(VG_CLEAR_COLOR, 4, red);
    vgClear(-5, 0, 10, 3);
    EXPECT_EQ(pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(pixel(4, 2), 0xFF0000FFu);
    EXPECT_EQ(pixel(5, 0), 0x000000FFu);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgDestroyImage(image);
}

TEST_F(PathDraw, MatricesAndPaintsAreRecomputedOnlyWhenChanged)
{
    start();  // a pbuffer: stored bottom up, so the VP does not flip
    switchModelOff();
    constexpr word32 noFlip = 0x80000000u;
    EXPECT_EQ(draw(VG_FILL_PATH), (Runs{{0, noFlip | 1}, {21, 1}}));
    EXPECT_EQ(draw(VG_FILL_PATH), Runs{});
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_FASTER);
    EXPECT_EQ(draw(VG_FILL_PATH), (Runs{{0, noFlip | 1}}));
    vgTranslate(5, 0);
    EXPECT_EQ(draw(VG_FILL_PATH | VG_STROKE_PATH), (Runs{{0, noFlip | 1}, {21, 3}}));
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_STROKE_PAINT_TO_USER);
    vgTranslate(1, 1);
    EXPECT_EQ(draw(VG_FILL_PATH), Runs{});
    EXPECT_EQ(draw(VG_STROKE_PATH), (Runs{{21, 2}}));

    // A gradient needs its paint-to-surface matrix: the path matrix entry recomputes it.
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE);
    vgTranslate(1, 0);
    draw(VG_STROKE_PATH);
    const VGPaint gradient = vgCreatePaint();
    vgSetParameteri(gradient, VG_PAINT_TYPE, VG_PAINT_TYPE_LINEAR_GRADIENT);
    const VGfloat line[4] = {10, 0, 20, 0};
    vgSetParameterfv(gradient, VG_PAINT_LINEAR_GRADIENT, 4, line);
    vgSetPaint(gradient, VG_FILL_PATH);
    EXPECT_EQ(draw(VG_FILL_PATH), (Runs{{0, noFlip | 2}}));
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgDestroyPaint(gradient);
}

TEST_F(PathDraw, AWindowIsFlippedByThePathMatrixEntry)
{
    start(true);
    EXPECT_EQ(draw(VG_FILL_PATH), (Runs{{0, 1}, {21, 1}}));
}

TEST_F(PathDraw, ThresholdsFollowTheMatrixScaleAndTheStrokeWidth)
{
    start();
    vgSetf(VG_STROKE_LINE_WIDTH, 2);
    draw(VG_FILL_PATH);
    auto c = constants();
    const float a = 1.23f, d = 0.06f, e = 0.0005f, cos10 = 0.9848077f, cos80 = 0.17364818f;
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_FILL_TH1], (std::vector<float>{a, a, 1, 1}));
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_FILL_TH2], (std::vector<float>{d, d}));
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_STROKE_TH2], (std::vector<float>{d, d, 0, e}));
    // Width 2 at scale 1: four square pixels, the 10-pixel step of the angle set.
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_ANGLE], (std::vector<float>{cos10, cos80, 0.8660254f, 0.5f}));
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_STROKE_TH1][2], std::nextafter(0.5f, 0.0f));
    EXPECT_EQ(c[LX_VCNST_JOIN_ANGLE_TH], (std::vector<float>{1 + (-0.1786062f / 4)}));

    // Unchanged: nothing written. Scale 2: A a quarter, D and E halved; width 20 at scale 2
    // passes 625 square pixels.
    draw(VG_FILL_PATH);
    EXPECT_EQ(constants().count(LX_VCNST_OVG_DIV_FILL_TH1), 0u);
    vgScale(2, 2);
    vgSetf(VG_STROKE_LINE_WIDTH, 20);
    draw(VG_FILL_PATH);
    c = constants();
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_FILL_TH1], (std::vector<float>{a / 4, a / 4, 1, 1}));
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_STROKE_TH2], (std::vector<float>{d / 2, d / 2, 0, e / 2}));
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_ANGLE], (std::vector<float>{cos10, cos80, cos10, cos80}));
    EXPECT_EQ(c[LX_VCNST_OVG_DIV_STROKE_TH1][2], 0.0301537f);

    // A matrix that collapses the path, or holds a NaN, gets zero thresholds, never NaN ones.
    const VGfloat collapsed[9] = {0, 0, 0, 0, 0, 0, 5, 5, 1};
    const VGfloat notANumber[9] = {NAN, 0, 0, 0, 1, 0, 0, 0, 1};
    for (const VGfloat* m : {collapsed, notANumber}) {
        vgLoadMatrix(m);
        draw(VG_FILL_PATH);
        c = constants();
        EXPECT_EQ(c[LX_VCNST_OVG_DIV_FILL_TH1], (std::vector<float>{0, 0, 1, 1}));
        EXPECT_EQ(c[LX_VCNST_OVG_DIV_FILL_TH2], (std::vector<float>{0, 0}));
        EXPECT_EQ(c[LX_VCNST_JOIN_ANGLE_TH], (std::vector<float>{1}));
    }
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(PathDraw, EachPassScansAndAWidthNotPositiveDropsTheStroke)
{
    start();
    switchModelOff();
    const struct {
        const char* name;
        VGbitfield modes;
        float width;
        size_t scans;
        bool strokeState;  // the stroke microcode was selected
    } table[] = {
        {"stroke", VG_STROKE_PATH, 1, 1, true},
        {"stroke of width 0", VG_STROKE_PATH, 0, 0, false},
        {"fill and stroke of width -1", VG_FILL_PATH | VG_STROKE_PATH, -1, 1, false},
        {"fill and stroke", VG_FILL_PATH | VG_STROKE_PATH, 1, 2, true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        vgSetf(VG_STROKE_LINE_WIDTH, row.width);
        VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_FILL);
        draw(row.modes);
        EXPECT_EQ(scans(), row.scans);
        EXPECT_EQ((currentucodetype & VGAL_UCODE_STROKE) != 0, row.strokeState);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    }
}

TEST_F(PathDraw, ScissoringWithoutRectanglesDrawsNothing)
{
    start();
    vgSeti(VG_SCISSORING, VG_TRUE);
    EXPECT_EQ(draw(VG_FILL_PATH), Runs{});
    EXPECT_EQ(scans(), 0u);
    EXPECT_EQ(pixel(15, 15), 0x000000FFu);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

}  // namespace
