// Image drawing: what the layer sends (VP entries, matrices, paint and image state, the colour
// ramp) and the pixels the GPU model draws from it.
#include <VG/openvg.h>
#include <VG/vgu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "accel_test_support.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_al_lx740_paint.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_paint.h"
#include "vg/common/vg_share.h"
#include "vgsurfacefixture.h"

namespace {

using gputest::Event;
using gputest::Kind;
using gputest::RegValue;
using gputest::Stream;
using gputest::Unit;
using vnq::test::VgSurfaceSpec;

float asFloat(uint32_t w)
{
    float f;
    std::memcpy(&f, &w, sizeof f);
    return f;
}

class DrawImage : public vnq::test::VgSurfaceTest {
protected:
    void SetUp() override
    {
        VgSurfaceTest::SetUp();
        makeCurrent(VgSurfaceSpec{});
    }

    // A w x h image of `format` filled with pixels (RGBA8888 given row 0 first, OpenVG rows).
    static VGImage imageOf(VGImageFormat format, int w, int h, const std::vector<uint32_t>& rgba,
                           VGbitfield quality = VG_IMAGE_QUALITY_NONANTIALIASED | VG_IMAGE_QUALITY_FASTER |
                                                VG_IMAGE_QUALITY_BETTER)
    {
        const VGImage image = vgCreateImage(format, w, h, quality);
        vgImageSubData(image, rgba.data(), w * 4, VG_sRGBA_8888, 0, 0, w, h);
        return image;
    }

    // The VP entries run from command buffers since the log was cleared: by a start word, or
    // by a data packet (logged word by word) for the entry last written to LX_VP_IADDR.
    std::vector<uint32_t> entriesRun() const
    {
        std::vector<uint32_t> out;
        uint32_t entry = entryBefore_;
        for (const Event& e : gpu.log()) {
            if (e.stream != Stream::CmdBuf)
                continue;
            if (e.kind == Kind::Write && e.unit == Unit::VPCtrl && e.reg == LX_VP_IADDR)
                entry = e.value;
            else if (e.kind == Kind::VpStart)
                out.push_back(e.value);
            else if (e.kind == Kind::VpData && e.reg == 0)
                out.push_back(entry);
        }
        return out;
    }

    uint32_t entryBefore_ = 0xFFFFFFFFu;

    // Values written to a VP constant's four components, in order of the writes.
    std::vector<float> constant(uint32_t c) const
    {
        std::vector<float> out(4, NAN);
        for (const RegValue& w : fetched(Unit::VPConst))
            if (w.first / 4 == c)
                out[w.first % 4] = asFloat(w.second);
        return out;
    }

    // Forgets the log; the entry selected now is remembered for entriesRun.
    void startLog()
    {
        entryBefore_ = gpu.reg(Unit::VPCtrl, LX_VP_IADDR);
        gpu.clearLog();
    }

    static void drawFinished(VGImage image)
    {
        vgDrawImage(image);
        vgFinish();
    }
};

// ---- Pixels ----

// A colour 565 holds exactly: 5 and 6-bit channels widened by repeating their top bits.
uint32_t exact565(int i)
{
    const uint32_t r = uint32_t(i * 37 % 32), g = uint32_t(i * 11 % 64), b = uint32_t(i * 5 % 32);
    return (r << 3 | r >> 2) << 24 | (g << 2 | g >> 4) << 16 | (b << 3 | b >> 2) << 8 | 0xFF;
}

TEST_F(DrawImage, IdentityImageEqualsItsPixelsOnWindowAndPbuffer)
{
    // Sampled nearest (only non-antialiased quality allowed) and filtered (texel centres hit
    // exactly at the identity).
    const struct {
        bool window;
        VGbitfield quality;
    } table[] = {
        {true, VG_IMAGE_QUALITY_NONANTIALIASED},
        {false, VG_IMAGE_QUALITY_NONANTIALIASED},
        {false, VG_IMAGE_QUALITY_NONANTIALIASED | VG_IMAGE_QUALITY_FASTER},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.window ? "window" : "pbuffer");
        SCOPED_TRACE(row.quality);
        if (!row.window && VGALVAL_surface_flip) {
            terminate();
            makeCurrent(VgSurfaceSpec{1, 480, 272, false});
        }
        constexpr int kW = 12, kH = 6;
        std::vector<uint32_t> rgba;
        for (int i = 0; i < kW * kH; ++i)
            rgba.push_back(exact565(i));
        const VGImage image = imageOf(VG_sRGB_565, kW, kH, rgba, row.quality);
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
        vgDrawImage(image);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                EXPECT_EQ(pixel(x, y), rgba[size_t(y * kW + x)]) << x << "," << y;
        vgDestroyImage(image);
    }
}

// Nearest sampling through matrices on a pbuffer: each surface pixel near the origin is the
// texel the inverse transform of its centre names, or the background outside the image.
TEST_F(DrawImage, NearestSamplingThroughMatricesAndAChildImage)
{
    terminate();
    makeCurrent(VgSurfaceSpec{1, 480, 272, false});
    constexpr int kW = 8, kH = 4;
    constexpr uint32_t kBackground = 0x000000FF;
    std::vector<uint32_t> rgba;
    for (int i = 0; i < kW * kH; ++i)
        rgba.push_back(exact565(i + 1));
    const VGImage parent = imageOf(VG_sRGB_565, kW, kH, rgba, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage child = vgChildImage(parent, 2, 1, 4, 2);
    struct Texel {
        int u, v;  // -1: background
    };
    const struct {
        const char* name;
        VGImage image;
        VGfloat m[9];
        Texel (*texel)(int x, int y);
    } table[] = {
        {"scale 2", parent, {2, 0, 0, 0, 2, 0, 0, 0, 1},
         [](int x, int y) { return x < 2 * kW && y < 2 * kH ? Texel{x / 2, y / 2} : Texel{-1, -1}; }},
        {"rotation by 90 degrees", parent, {0, 1, 0, -1, 0, 0, kH, 0, 1},
         [](int x, int y) { return x < kH && y < kW ? Texel{y, kH - 1 - x} : Texel{-1, -1}; }},
        {"w2 = 2 halves it", parent, {1, 0, 0, 0, 1, 0, 0, 0, 2},
         [](int x, int y) { return x < kW / 2 && y < kH / 2 ? Texel{2 * x + 1, 2 * y + 1} : Texel{-1, -1}; }},
        {"child image", child, {1, 0, 0, 0, 1, 0, 0, 0, 1},
         [](int x, int y) { return x < 4 && y < 2 ? Texel{x + 2, y + 1} : Texel{-1, -1}; }},
    };
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
    // The context asks for better quality, but the image allows only non-antialiased
    // sampling: it must still be sampled nearest (scale 2 would blend otherwise).
    vgSeti(VG_IMAGE_QUALITY, VG_IMAGE_QUALITY_BETTER);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    const VGfloat black[4] = {0, 0, 0, 1};
    vgSetfv(VG_CLEAR_COLOR, 4, black);
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const BBOXINFO box{0, 63, 0, 63};
        VGALFUNC_lx_clearsurface(&box);
        vgLoadMatrix(row.m);
        vgDrawImage(row.image);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const Texel t = row.texel(x, y);
                const uint32_t want = t.u < 0 ? kBackground : rgba[size_t(t.v * kW + t.u)];
                EXPECT_EQ(pixel(x, y), want) << x << "," << y;
            }
    }
}

// Bilinear sampling of an 8888 image at scale 2: the sample point is the pixel's lower left
// corner in OpenVG orientation, (x, y) / 2 in the image, with texel centres at whole texel
// coordinates and the edges padded; the same on a window (stored top down) as on a pbuffer.
TEST_F(DrawImage, BilinearAtScaleTwoOnWindowAndPbuffer)
{
    constexpr int kW = 4, kH = 3;
    std::vector<uint32_t> rgba;
    for (int i = 0; i < kW * kH; ++i)
        rgba.push_back(uint32_t(i * 23 % 256) << 24 | uint32_t(255 - i * 19) << 16 | uint32_t(i * 41 % 256) << 8 | 0xFF);
    const auto texel = [&](int u, int v) {
        return rgba[size_t(std::clamp(v, 0, kH - 1) * kW + std::clamp(u, 0, kW - 1))];
    };
    for (bool window : {true, false}) {
        SCOPED_TRACE(window ? "window" : "pbuffer");
        terminate();
        makeCurrent(VgSurfaceSpec{7, 64, 32, window});
        const VGImage image = imageOf(VG_sRGBA_8888, kW, kH, rgba, VG_IMAGE_QUALITY_BETTER);
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
        vgSeti(VG_IMAGE_QUALITY, VG_IMAGE_QUALITY_BETTER);
        vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
        vgScale(2, 2);
        vgDrawImage(image);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        for (int y = 0; y < 2 * kH; ++y)
            for (int x = 0; x < 2 * kW; ++x) {
                const int u = x / 2, v = y / 2;
                const double wu = (x % 2) / 2.0, wv = (y % 2) / 2.0;
                const uint32_t got = pixel(x, y);
                for (int shift = 0; shift <= 24; shift += 8) {
                    const auto c = [&](int du, int dv) { return double(texel(u + du, v + dv) >> shift & 0xFF); };
                    const double want = (1 - wu) * (1 - wv) * c(0, 0) + wu * (1 - wv) * c(1, 0) +
                                        (1 - wu) * wv * c(0, 1) + wu * wv * c(1, 1);
                    EXPECT_NEAR(double(got >> shift & 0xFF), want, 1.0) << x << "," << y << " bit " << shift;
                }
            }
        vgDestroyImage(image);
    }
}

// A white image translated by half a pixel onto black 8888: with better quality the edge
// columns are half covered; non-antialiased, every pixel is white or black.
TEST_F(DrawImage, HalfPixelOffsetCoverage)
{
    terminate();
    makeCurrent(VgSurfaceSpec{7, 64, 64, false});
    const VGImage image = imageOf(VG_sRGBA_8888, 4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF),
                                  VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGfloat black[4] = {0, 0, 0, 1};
    vgSetfv(VG_CLEAR_COLOR, 4, black);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    vgTranslate(0.5f, 0);
    for (VGRenderingQuality quality : {VG_RENDERING_QUALITY_BETTER, VG_RENDERING_QUALITY_NONANTIALIASED}) {
        SCOPED_TRACE(quality);
        const BBOXINFO box{0, 15, 0, 15};
        VGALFUNC_lx_clearsurface(&box);
        vgSeti(VG_RENDERING_QUALITY, quality);
        vgDrawImage(image);
        for (int x = 0; x <= 4; ++x) {
            const uint32_t red = pixel(x, 1) >> 24;
            if (quality == VG_RENDERING_QUALITY_BETTER)
                EXPECT_NEAR(double(red), x == 0 || x == 4 ? 127.5 : 255.0, 1.0) << x;
            else
                EXPECT_TRUE(red == 0 || red == 255) << x << ": " << red;
        }
    }
}

// A white image times a linear gradient paint from black at x = 0 to white at x = 32, along a
// row of 64 pixels: the gradient parameter at each pixel centre, spread by the mode.
TEST_F(DrawImage, LinearGradientThroughImageMultiply)
{
    terminate();
    makeCurrent(VgSurfaceSpec{7, 64, 8, false});
    const VGImage image = imageOf(VG_sRGBA_8888, 64, 4, std::vector<uint32_t>(256, 0xFFFFFFFF),
                                  VG_IMAGE_QUALITY_NONANTIALIASED);
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
    vgSeti(VG_IMAGE_MODE, VG_DRAW_IMAGE_MULTIPLY);
    vgSeti(VG_BLEND_MODE, VG_BLEND_SRC);
    const struct {
        VGColorRampSpreadMode spread;
        double (*value)(double g);
    } table[] = {
        {VG_COLOR_RAMP_SPREAD_PAD, [](double g) { return g > 1 ? 1.0 : g; }},
        {VG_COLOR_RAMP_SPREAD_REPEAT, [](double g) { return g - std::floor(g); }},
        {VG_COLOR_RAMP_SPREAD_REFLECT, [](double g) { return g > 1 ? 2 - g : g; }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.spread);
        const VGPaint paint = vgCreatePaint();
        vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_LINEAR_GRADIENT);
        const VGfloat line[4] = {0, 0, 32, 0};
        vgSetParameterfv(paint, VG_PAINT_LINEAR_GRADIENT, 4, line);
        vgSetParameteri(paint, VG_PAINT_COLOR_RAMP_SPREAD_MODE, row.spread);
        const VGfloat stops[10] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1};
        vgSetParameterfv(paint, VG_PAINT_COLOR_RAMP_STOPS, 10, stops);
        vgSetPaint(paint, VG_FILL_PATH);
        vgDrawImage(image);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        for (int x = 0; x < 64; x += 3) {
            const double g = (x + 0.5) / 32;
            EXPECT_NEAR((pixel(x, 1) >> 24) / 255.0, row.value(g), 2.0 / 255) << x;
        }
        vgDestroyPaint(paint);
    }
}

// A 4444 image with alpha over a 565 background, blended source over destination: each
// channel within one 565 step of the OpenVG result.
TEST_F(DrawImage, FourFourFourFourWithAlphaOverA565Background)
{
    const VGfloat grey[4] = {0.25f, 0.5f, 0.75f, 1};
    vgSetfv(VG_CLEAR_COLOR, 4, grey);
    const BBOXINFO box{0, 31, 0, 31};
    VGALFUNC_lx_clearsurface(&box);
    const uint32_t background = pixel(20, 20);
    const uint32_t colours[4] = {0xFF000088, 0x00FF00FF, 0x0000FF44, 0xFFFFFF00};
    std::vector<uint32_t> rgba;
    for (int i = 0; i < 16; ++i)
        rgba.push_back(colours[i % 4]);
    const VGImage image = imageOf(VG_sRGBA_4444, 4, 4, rgba, VG_IMAGE_QUALITY_NONANTIALIASED);
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
    vgSeti(VG_BLEND_MODE, VG_BLEND_SRC_OVER);
    vgDrawImage(image);
    for (int x = 0; x < 4; ++x) {
        const uint32_t c = colours[x];
        const double a = (c & 0xFF) / 255.0;
        const uint32_t got = pixel(x, 2);
        for (int shift = 8; shift <= 24; shift += 8) {
            const double src = (c >> shift & 0xFF) / 255.0, dst = (background >> shift & 0xFF) / 255.0;
            const double want = src * a + dst * (1 - a);
            EXPECT_NEAR((got >> shift & 0xFF) / 255.0, want, 9.0 / 255) << x << " channel at bit " << shift;
        }
    }
    EXPECT_EQ(pixel(5, 2), background);
}

// ---- Blending and paints through image drawing ----

uint32_t channelOf(uint32_t rgba, int i)  // 0 R, 1 G, 2 B, 3 A
{
    return rgba >> (24 - 8 * i) & 0xFFu;
}

// Every channel of `got` within `tolerance` (in 1/255) of the colour `want` given as fractions.
::testing::AssertionResult near(uint32_t got, const double want[4], double tolerance)
{
    for (int i = 0; i < 4; ++i)
        if (std::fabs(channelOf(got, i) - want[i] * 255) > tolerance + 1e-9)
            return ::testing::AssertionFailure()
                   << std::hex << got << " channel " << i << " instead of " << want[i] * 255;
    return ::testing::AssertionSuccess();
}

class DrawImagePaint : public DrawImage {
protected:
    // A w x h 8888 pbuffer (nonpremultiplied unless told) cleared to `background`, drawn
    // without anti-aliasing.
    void pbuffer(int w, int h, uint32_t background, EGLint alphaFormat = EGL_VG_ALPHA_FORMAT_NONPRE)
    {
        terminate();
        makeCurrent(VgSurfaceSpec{7, w, h, false, alphaFormat});
        const VGfloat c[4] = {channelOf(background, 0) / 255.0f, channelOf(background, 1) / 255.0f,
                              channelOf(background, 2) / 255.0f, channelOf(background, 3) / 255.0f};
        vgSetfv(VG_CLEAR_COLOR, 4, c);
        const BBOXINFO box{0, word32(w - 1), 0, word32(h - 1)};
        VGALFUNC_lx_clearsurface(&box);
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
    }

    // A linear gradient fill paint along x from `x0` to `x1` with the stops (offset, RGBA8888).
    static VGPaint linear(float x0, float x1, const std::vector<std::pair<float, uint32_t>>& stops,
                          VGColorRampSpreadMode spread = VG_COLOR_RAMP_SPREAD_PAD)
    {
        const VGPaint paint = vgCreatePaint();
        vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_LINEAR_GRADIENT);
        const VGfloat line[4] = {x0, 0, x1, 0};
        vgSetParameterfv(paint, VG_PAINT_LINEAR_GRADIENT, 4, line);
        vgSetParameteri(paint, VG_PAINT_COLOR_RAMP_SPREAD_MODE, spread);
        setStops(paint, stops);
        vgSetPaint(paint, VG_FILL_PATH);
        return paint;
    }

    static void setStops(VGPaint paint, const std::vector<std::pair<float, uint32_t>>& stops)
    {
        std::vector<VGfloat> v;
        for (const auto& st : stops)
            v.insert(v.end(), {st.first, channelOf(st.second, 0) / 255.0f, channelOf(st.second, 1) / 255.0f,
                               channelOf(st.second, 2) / 255.0f, channelOf(st.second, 3) / 255.0f});
        vgSetParameterfv(paint, VG_PAINT_COLOR_RAMP_STOPS, VGint(v.size()), v.data());
    }

    // The colour of a two-stop ramp at g in [0, 1], as fractions.
    static void lerp(uint32_t a, uint32_t b, double g, double out[4])
    {
        for (int i = 0; i < 4; ++i)
            out[i] = (channelOf(a, i) + g * (double(channelOf(b, i)) - channelOf(a, i))) / 255;
    }

    // A path of the rectangle (0, 0)-(w, h).
    static VGPath rectangle(float w, float h)
    {
        const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
        vguRect(p, 0, 0, w, h);
        return p;
    }

    // A white opaque image of w x h drawn times the current fill paint, replacing the surface.
    void multiplyWhite(int w, int h)
    {
        const VGImage image = imageOf(VG_sRGBA_8888, w, h, std::vector<uint32_t>(size_t(w * h), 0xFFFFFFFF),
                                      VG_IMAGE_QUALITY_NONANTIALIASED);
        vgSeti(VG_IMAGE_MODE, VG_DRAW_IMAGE_MULTIPLY);
        vgSeti(VG_BLEND_MODE, VG_BLEND_SRC);
        vgDrawImage(image);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        vgDestroyImage(image);
    }
};

// Each mode draws a grid of premultiplied source colours over a grid of destination colours
// on a premultiplied and on a nonpremultiplied 8888 pbuffer: every pixel, premultiplied,
// within 1 of the OpenVG 1.1 formula.
TEST_F(DrawImagePaint, TheTenBlendModesFollowTheOpenVgFormulas)
{
    using Formula = double (*)(double s, double d, double as, double ad);
    const auto srcOverAlpha = [](double, double, double as, double ad) { return as + ad * (1 - as); };
    const struct {
        VGBlendMode mode;
        Formula colour, alpha;
    } modes[] = {
        {VG_BLEND_SRC, [](double s, double, double, double) { return s; }, [](double, double, double as, double) { return as; }},
        {VG_BLEND_SRC_OVER, [](double s, double d, double as, double) { return s + d * (1 - as); }, srcOverAlpha},
        {VG_BLEND_DST_OVER, [](double s, double d, double, double ad) { return s * (1 - ad) + d; },
         [](double, double, double as, double ad) { return as * (1 - ad) + ad; }},
        {VG_BLEND_SRC_IN, [](double s, double, double, double ad) { return s * ad; },
         [](double, double, double as, double ad) { return as * ad; }},
        {VG_BLEND_DST_IN, [](double, double d, double as, double) { return d * as; },
         [](double, double, double as, double ad) { return ad * as; }},
        {VG_BLEND_MULTIPLY, [](double s, double d, double as, double ad) { return s * (1 - ad) + d * (1 - as) + s * d; },
         srcOverAlpha},
        {VG_BLEND_SCREEN, [](double s, double d, double, double) { return s + d - s * d; }, srcOverAlpha},
        {VG_BLEND_DARKEN,
         [](double s, double d, double as, double ad) { return std::min(s + d * (1 - as), d + s * (1 - ad)); },
         srcOverAlpha},
        {VG_BLEND_LIGHTEN,
         [](double s, double d, double as, double ad) { return std::max(s + d * (1 - as), d + s * (1 - ad)); },
         srcOverAlpha},
        {VG_BLEND_ADDITIVE, [](double s, double d, double, double) { return std::min(s + d, 1.0); },
         [](double, double, double as, double ad) { return std::min(as + ad, 1.0); }},
    };
    // Premultiplied colours: each channel at most the alpha.
    const uint32_t sources[] = {0xFF8000FF, 0x20406080, 0x00000000, 0x80FF40FF, 0x10203040, 0x607080C0};
    const uint32_t destinations[] = {0x000000FF, 0xFFFFFFFF, 0x40404080, 0x10806090, 0x00000000, 0xC020A0E0};
    constexpr int kS = 6, kD = 6;
    std::vector<uint32_t> src, dst;
    for (int y = 0; y < kD; ++y)
        for (int x = 0; x < kS; ++x) {
            src.push_back(sources[x]);
            dst.push_back(destinations[y]);
        }
    const auto premultiplied = [](const std::vector<uint32_t>& pixels) {
        const VGImage image = vgCreateImage(VG_sRGBA_8888_PRE, kS, kD, VG_IMAGE_QUALITY_NONANTIALIASED);
        vgImageSubData(image, pixels.data(), kS * 4, VG_sRGBA_8888_PRE, 0, 0, kS, kD);
        return image;
    };
    // The premultiplied colour at (x, y): a nonpremultiplied surface stores it divided by alpha.
    const auto stored = [this](int x, int y, bool premultipliedSurface) {
        const uint32_t c = pixel(x, y);
        if (premultipliedSurface)
            return c;
        uint32_t out = c & 0xFFu;
        for (int i = 0; i < 3; ++i)
            out |= uint32_t(std::lround(channelOf(c, i) * (c & 0xFFu) / 255.0)) << (24 - 8 * i);
        return out;
    };
    for (bool premultipliedSurface : {true, false}) {
        SCOPED_TRACE(premultipliedSurface ? "premultiplied surface" : "nonpremultiplied surface");
        pbuffer(16, 16, 0, premultipliedSurface ? EGL_VG_ALPHA_FORMAT_PRE : EGL_VG_ALPHA_FORMAT_NONPRE);
        const VGImage source = premultiplied(src), destination = premultiplied(dst);
        for (const auto& m : modes) {
            SCOPED_TRACE(m.mode);
            vgSeti(VG_BLEND_MODE, VG_BLEND_SRC);
            vgDrawImage(destination);
            // The destination as the surface holds it (rounded once more when stored divided).
            std::vector<uint32_t> before;
            for (int y = 0; y < kD; ++y)
                for (int x = 0; x < kS; ++x)
                    before.push_back(stored(x, y, premultipliedSurface));
            vgSeti(VG_BLEND_MODE, m.mode);
            vgDrawImage(source);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            for (int y = 0; y < kD; ++y)
                for (int x = 0; x < kS; ++x) {
                    const uint32_t d = before[size_t(y * kS + x)];
                    const double as = channelOf(sources[x], 3) / 255.0, ad = channelOf(d, 3) / 255.0;
                    double want[4];
                    for (int i = 0; i < 3; ++i)
                        want[i] = m.colour(channelOf(sources[x], i) / 255.0, channelOf(d, i) / 255.0, as, ad);
                    want[3] = m.alpha(as, ad, as, ad);
                    EXPECT_TRUE(near(stored(x, y, premultipliedSurface), want, 1)) << x << "," << y;
                }
        }
        vgDestroyImage(source);
        vgDestroyImage(destination);
    }
}

// An image with alpha times the paint (multiply) or as a per-channel alpha mask of it
// (stencil, as OpenVG 1.1 defines it), source over an opaque background, with a colour paint
// and a linear gradient across the image.
TEST_F(DrawImagePaint, MultiplyAndStencilWithAColourAndAGradientPaint)
{
    constexpr int kW = 32, kH = 2;
    constexpr uint32_t kBackground = 0x204060FF, kImage = 0xC0408090;  // nonpremultiplied
    constexpr uint32_t kFrom = 0xFF2000FF, kTo = 0x10E0FFFF;
    const auto paintAt = [](bool gradient, int x, double out[4]) {
        if (gradient)
            DrawImagePaint::lerp(kFrom, kTo, (x + 0.5) / kW, out);
        else
            for (int i = 0; i < 4; ++i)
                out[i] = channelOf(0x80FF40C0, i) / 255.0;
    };
    for (VGImageMode mode : {VG_DRAW_IMAGE_MULTIPLY, VG_DRAW_IMAGE_STENCIL})
        for (bool gradient : {false, true}) {
            SCOPED_TRACE(mode);
            SCOPED_TRACE(gradient ? "gradient" : "colour");
            pbuffer(kW, 8, kBackground);
            const VGPaint paint = gradient ? linear(0, kW, {{0, kFrom}, {1, kTo}}) : vgCreatePaint();
            if (!gradient) {
                vgSetColor(paint, 0x80FF40C0);
                vgSetPaint(paint, VG_FILL_PATH);
            }
            const VGImage image = imageOf(VG_sRGBA_8888, kW, kH, std::vector<uint32_t>(kW * kH, kImage),
                                          VG_IMAGE_QUALITY_NONANTIALIASED);
            vgSeti(VG_IMAGE_MODE, mode);
            vgSeti(VG_BLEND_MODE, VG_BLEND_SRC_OVER);
            vgDrawImage(image);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            const double ai = channelOf(kImage, 3) / 255.0;
            for (int x = 0; x < kW; x += 3) {
                double p[4], want[4];
                paintAt(gradient, x, p);
                const double ap = p[3], as = ai * ap;
                for (int i = 0; i < 3; ++i) {
                    const double image = channelOf(kImage, i) / 255.0, d = channelOf(kBackground, i) / 255.0;
                    if (mode == VG_DRAW_IMAGE_MULTIPLY)
                        want[i] = image * p[i] * as + d * (1 - as);
                    else {
                        const double alpha = ai * ap * image;  // the channel's own alpha
                        want[i] = p[i] * alpha + d * (1 - alpha);
                    }
                }
                want[3] = 1;
                EXPECT_TRUE(near(pixel(x, 1), want, 1.5)) << x;
            }
            vgDestroyImage(image);
            vgDestroyPaint(paint);
        }
}

// On a luminance surface an image drawn as a stencil of a paint leaves what a fill of that paint
// leaves where the image is white (the luminance of the paint, blended as the fill is), and
// where the image is mid grey what a fill of the paint at half its alpha leaves (each channel's
// alpha halved, for the modes that blend by the source alpha). So do multiply by a white image,
// the blend modes, the colour transform and an image glyph drawn as a stencil.
TEST_F(DrawImagePaint, StencilOnALuminanceSurfaceBlendsTheLuminanceOfThePaint)
{
    constexpr EGLint kLuminance8 = 13;
    constexpr int kW = 8, kH = 4;
    constexpr uint32_t kPaint = 0xFF0000FF, kHalfPaint = 0xFF000080, kWhite = 0xFFFFFFFF, kGrey = 0x808080FF;
    const VGfloat transform[8] = {1, 1, 1, 1, 0, 0.5f, 0, 0};  // red to orange
    const struct {
        const char* name;
        VGImageMode mode;
        VGBlendMode blend;
        bool transformed, glyph, grey;
    } cases[] = {
        {"stencil", VG_DRAW_IMAGE_STENCIL, VG_BLEND_SRC_OVER, false, false, true},
        {"multiply", VG_DRAW_IMAGE_MULTIPLY, VG_BLEND_SRC_OVER, false, false, false},
        {"stencil, screen", VG_DRAW_IMAGE_STENCIL, VG_BLEND_SCREEN, false, false, true},
        {"stencil, lighten", VG_DRAW_IMAGE_STENCIL, VG_BLEND_LIGHTEN, false, false, true},
        {"stencil, source", VG_DRAW_IMAGE_STENCIL, VG_BLEND_SRC, false, false, false},
        {"stencil, colour transform", VG_DRAW_IMAGE_STENCIL, VG_BLEND_SRC_OVER, true, false, true},
        {"stencil glyph", VG_DRAW_IMAGE_STENCIL, VG_BLEND_SRC_OVER, false, true, true},
    };
    for (const auto& c : cases)
        for (uint32_t texel : {kWhite, kGrey}) {
            if (texel == kGrey && !c.grey)
                continue;
            SCOPED_TRACE(std::string(c.name) + (texel == kWhite ? ", white image" : ", grey image"));
            // The image in rows 0 to kH - 1, the fill above it, the background above both.
            terminate();
            makeCurrent(VgSurfaceSpec{kLuminance8, kW, 3 * kH, false});
            const VGfloat background[4] = {0.3f, 0.3f, 0.3f, 1};
            vgSetfv(VG_CLEAR_COLOR, 4, background);
            vgClear(0, 0, kW, 3 * kH);
            vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
            vgSeti(VG_BLEND_MODE, c.blend);
            vgSetfv(VG_COLOR_TRANSFORM_VALUES, 8, transform);
            vgSeti(VG_COLOR_TRANSFORM, c.transformed ? VG_TRUE : VG_FALSE);
            const VGPaint paint = vgCreatePaint();
            vgSetPaint(paint, VG_FILL_PATH);
            vgSetColor(paint, kPaint);
            const VGImage image = imageOf(VG_sRGBA_8888, kW, kH, std::vector<uint32_t>(kW * kH, texel),
                                          VG_IMAGE_QUALITY_NONANTIALIASED);
            vgSeti(VG_IMAGE_MODE, c.mode);
            if (c.glyph) {
                const VGFont font = vgCreateFont(1);
                const VGfloat zero[2] = {0, 0};
                vgSetGlyphToImage(font, 7, image, zero, zero);
                vgSetfv(VG_GLYPH_ORIGIN, 2, zero);
                vgDrawGlyph(font, 7, VG_FILL_PATH, VG_FALSE);
                vgDestroyFont(font);
            } else {
                vgDrawImage(image);
            }
            const VGPath square = rectangle(kW, kH);
            vgSetColor(paint, texel == kWhite ? kPaint : kHalfPaint);
            vgTranslate(0, kH);
            vgDrawPath(square, VG_FILL_PATH);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            const int untouched = int(pixel(1, 2 * kH + 1) >> 24);
            for (int x = 0; x < kW; x += 3) {
                const int drawn = int(pixel(x, 1) >> 24), filled = int(pixel(x, kH + 1) >> 24);
                EXPECT_NEAR(drawn, filled, 2) << x;
                EXPECT_GT(std::abs(filled - untouched), 8) << x;
            }
            vgDestroyPath(square);
            vgDestroyImage(image);
            vgDestroyPaint(paint);
        }
}

// An image or a path wholly outside the surface, on any side, draws nothing.
TEST_F(DrawImagePaint, DrawingsWhollyOutsideTheSurfaceDrawNothing)
{
    constexpr int kW = 16, kH = 16;
    const struct {
        const char* side;
        float dx, dy;
    } sides[] = {{"left", -30, 4}, {"just left", -8, 4}, {"right", 40, 4}, {"below", 4, -30},
                 {"above", 4, 40}, {"below left", -20, -20}};
    pbuffer(kW, kH, 0xFFFFFFFF);
    const VGPaint paint = vgCreatePaint();
    vgSetColor(paint, 0xFF0000FF);
    vgSetPaint(paint, VG_FILL_PATH);
    const VGImage image = imageOf(VG_sRGBA_8888, 8, 8, std::vector<uint32_t>(64, 0x00FF00FF),
                                  VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGPath square = rectangle(8, 8);
    for (const auto& side : sides)
        for (VGint quality : {VG_RENDERING_QUALITY_NONANTIALIASED, VG_RENDERING_QUALITY_BETTER}) {
            SCOPED_TRACE(std::string(side.side) + (quality == VG_RENDERING_QUALITY_BETTER ? ", better" : ""));
            vgSeti(VG_RENDERING_QUALITY, quality);
            for (VGMatrixMode m : {VG_MATRIX_IMAGE_USER_TO_SURFACE, VG_MATRIX_PATH_USER_TO_SURFACE}) {
                vgSeti(VG_MATRIX_MODE, m);
                vgLoadIdentity();
                vgTranslate(side.dx, side.dy);
            }
            vgDrawImage(image);
            vgDrawPath(square, VG_FILL_PATH);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    ASSERT_EQ(pixel(x, y), 0xFFFFFFFFu) << x << "," << y;
        }
    vgDestroyPath(square);
    vgDestroyImage(image);
    vgDestroyPaint(paint);
}

// A linear gradient whose points coincide and a radial one of radius 0 paint every pixel one
// colour: the first stop's when repeating, else the last one's.
TEST_F(DrawImagePaint, DegenerateGradientsPaintOneStopsColour)
{
    constexpr uint32_t kFirst = 0xFF0000FF, kLast = 0x00FF80FF;
    const struct {
        bool radial;
        VGColorRampSpreadMode spread;
        uint32_t want;
    } table[] = {
        {false, VG_COLOR_RAMP_SPREAD_PAD, kLast},
        {false, VG_COLOR_RAMP_SPREAD_REPEAT, kFirst},
        {false, VG_COLOR_RAMP_SPREAD_REFLECT, kLast},
        {true, VG_COLOR_RAMP_SPREAD_PAD, kLast},
        {true, VG_COLOR_RAMP_SPREAD_REPEAT, kFirst},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.radial ? "radial" : "linear");
        SCOPED_TRACE(row.spread);
        pbuffer(16, 16, 0x000000FF);
        const VGPaint paint = vgCreatePaint();
        if (row.radial) {
            vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_RADIAL_GRADIENT);
            const VGfloat circle[5] = {8, 8, 9, 8, 0};
            vgSetParameterfv(paint, VG_PAINT_RADIAL_GRADIENT, 5, circle);
        } else {
            vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_LINEAR_GRADIENT);
            const VGfloat line[4] = {5, 5, 5, 5};
            vgSetParameterfv(paint, VG_PAINT_LINEAR_GRADIENT, 4, line);
        }
        vgSetParameteri(paint, VG_PAINT_COLOR_RAMP_SPREAD_MODE, row.spread);
        setStops(paint, {{0, kFirst}, {0.5f, 0x8080FFFF}, {1, kLast}});
        vgSetPaint(paint, VG_FILL_PATH);
        multiplyWhite(16, 16);
        for (auto [x, y] : {std::pair<int, int>{0, 0}, {5, 5}, {15, 3}, {8, 15}})
            EXPECT_EQ(pixel(x, y), row.want) << x << "," << y;
        vgDestroyPaint(paint);
    }
}

// The OpenVG radial gradient parameter at (x, y) for the circle (cx, cy, r) and focus f.
double radialG(double x, double y, double cx, double cy, double fx, double fy, double r)
{
    const double dx = x - fx, dy = y - fy, fcx = fx - cx, fcy = fy - cy;
    const double root = std::sqrt(r * r * (dx * dx + dy * dy) - std::pow(dx * fcy - dy * fcx, 2));
    return (dx * fcx + dy * fcy + root) / (r * r - fcx * fcx - fcy * fcy);
}

// Radial gradients with the focus inside the circle and on it, the latter drawn as if the
// focus were pulled in to 0.99 of the radius: within 2/255 of the OpenVG parameter.
TEST_F(DrawImagePaint, RadialGradientsWithTheFocusInsideAndOnTheCircle)
{
    constexpr float kCx = 32, kCy = 24, kR = 20;
    constexpr uint32_t kFrom = 0xFFFFFFFF, kTo = 0x000000FF;
    const struct {
        const char* name;
        float fx, fy;    // as given
        double gx, gy;   // as drawn
    } table[] = {
        {"focus at the centre", kCx, kCy, kCx, kCy},
        {"focus inside", kCx + 7, kCy - 5, kCx + 7, kCy - 5},
        {"focus on the circle", kCx, kCy + kR, kCx, kCy + 0.99 * kR},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        pbuffer(64, 48, 0x000000FF);
        const VGPaint paint = vgCreatePaint();
        vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_RADIAL_GRADIENT);
        const VGfloat radial[5] = {kCx, kCy, row.fx, row.fy, kR};
        vgSetParameterfv(paint, VG_PAINT_RADIAL_GRADIENT, 5, radial);
        setStops(paint, {{0, kFrom}, {1, kTo}});
        vgSetPaint(paint, VG_FILL_PATH);
        multiplyWhite(64, 48);
        int worst = 0;
        for (int y = 0; y < 48; y += 3)
            for (int x = 0; x < 64; x += 3) {
                const double g =
                    std::clamp(radialG(x + 0.5, y + 0.5, kCx, kCy, row.gx, row.gy, kR), 0.0, 1.0);
                double want[4];
                lerp(kFrom, kTo, g, want);
                worst = std::max(worst, int(std::lround(std::fabs(channelOf(pixel(x, y), 0) - want[0] * 255))));
            }
        EXPECT_LE(worst, 2);
        vgDestroyPaint(paint);
    }
}

// 32 stops from 0.05 to 0.95: pixels between stops run linearly between their colours (the
// offsets as the ramp holds them, on 1/512), the ends flat; the ramp tables end at _TABLE32
// and _TABLE33.
TEST_F(DrawImagePaint, ThirtyTwoStopsDrawTheirColours)
{
    constexpr int kW = 256;
    pbuffer(kW, 4, 0x000000FF);
    std::vector<std::pair<float, uint32_t>> stops;
    for (int i = 0; i < 32; ++i)
        stops.emplace_back(0.05f + 0.9f * float(i) / 31, uint32_t(i * 8) << 24 | uint32_t(255 - i * 8) << 16 |
                                                             uint32_t(i * 40 % 256) << 8 | 0xFF);
    const VGPaint paint = linear(0, kW, stops);
    gpu.clearLog();
    multiplyWhite(kW, 4);
    const auto at = [](float offset) { return std::floor(512 * offset) / 512; };
    for (int x = 0; x < kW; ++x) {
        const double g = (x + 0.5) / kW;
        double want[4];
        if (g <= at(stops.front().first))
            lerp(stops.front().second, stops.front().second, 0, want);
        else if (g >= at(stops.back().first))
            lerp(stops.back().second, stops.back().second, 0, want);
        else {
            size_t k = 0;
            while (at(stops[k + 1].first) <= g)
                ++k;
            const double a = at(stops[k].first), b = at(stops[k + 1].first);
            lerp(stops[k].second, stops[k + 1].second, (g - a) / (b - a), want);
        }
        ASSERT_TRUE(near(pixel(x, 1), want, 2)) << x;
    }
    for (const RegValue& w : fetched(Unit::PE)) {
        EXPECT_FALSE(w.first > LX_PE_OVG_RSTOP_OFS_TABLE32 && w.first < LX_PE_OVG_RSTOP_COLOR_TABLE00) << w.first;
        EXPECT_FALSE(w.first > LX_PE_OVG_RSTOP_COLOR_TABLE33 && w.first < LX_PE_OVG_RSTOP_PREMALPHA_EN) << w.first;
    }
    vgDestroyPaint(paint);
}

// A 4 x 4 565 pattern from (8, 8) in paint space, sampled nearest, in the four tiling modes:
// the pixels left of and below it show how each mode continues it; the fill colour as the
// pattern's 565 holds it.
TEST_F(DrawImagePaint, PatternPaintInTheFourTilingModes)
{
    std::vector<uint32_t> texels;
    for (int i = 0; i < 16; ++i)
        texels.push_back(exact565(i + 3));
    const VGfloat fill[4] = {0.3f, 0.6f, 0.9f, 0.5f};
    // 0.3 x 31, 0.6 x 63 and 0.9 x 31 rounded, widened; 565 holds no alpha.
    const uint32_t packedFill = uint32_t(9 << 3 | 9 >> 2) << 24 | uint32_t(38 << 2 | 38 >> 4) << 16 |
                                uint32_t(28 << 3 | 28 >> 2) << 8 | 0xFF;
    const struct {
        VGTilingMode tiling;
        int (*tile)(int);  // -1 for the fill
    } table[] = {
        {VG_TILE_PAD, [](int t) { return std::clamp(t, 0, 3); }},
        {VG_TILE_REPEAT, [](int t) { return ((t % 4) + 4) % 4; }},
        {VG_TILE_REFLECT, [](int t) {
             const int m = ((t % 8) + 8) % 8;
             return m < 4 ? m : 7 - m;
         }},
        {VG_TILE_FILL, [](int t) { return t >= 0 && t < 4 ? t : -1; }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.tiling);
        pbuffer(20, 20, 0x000000FF);
        vgSetfv(VG_TILE_FILL_COLOR, 4, fill);
        const VGImage pattern = imageOf(VG_sRGB_565, 4, 4, texels, VG_IMAGE_QUALITY_NONANTIALIASED);
        const VGPaint paint = vgCreatePaint();
        vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_PATTERN);
        vgPaintPattern(paint, pattern);
        vgSetParameteri(paint, VG_PAINT_PATTERN_TILING_MODE, row.tiling);
        vgSetPaint(paint, VG_FILL_PATH);
        vgSeti(VG_MATRIX_MODE, VG_MATRIX_FILL_PAINT_TO_USER);
        vgLoadIdentity();
        vgTranslate(8, 8);
        multiplyWhite(20, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const int u = row.tile(x - 8), v = row.tile(y - 8);
                EXPECT_EQ(pixel(x, y), u < 0 || v < 0 ? packedFill : texels[size_t(v * 4 + u)]) << x << "," << y;
            }
        vgDestroyPaint(paint);
        vgDestroyImage(pattern);
    }
}

// A 480 x 272 565 screen as the display server builds one: a 565 background, a 4444 image
// with alpha over it, and the same image scaled by 1.5 and filtered.
TEST_F(DrawImage, ScreenOf565And4444ImagesMatchesItsGolden)
{
    std::vector<uint32_t> background;
    for (int y = 0; y < 272; ++y)
        for (int x = 0; x < 480; ++x) {
            const uint32_t r = uint32_t(x * 255 / 479), g = uint32_t(y * 255 / 271);
            const uint32_t b = (x / 32 + y / 32) % 2 ? 0xC0 : 0x40;
            background.push_back(r << 24 | g << 16 | b << 8 | 0xFF);
        }
    // A disc of colour fading out towards its rim, on a clear square with a solid border.
    constexpr int kSide = 64;
    std::vector<uint32_t> sprite;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double dx = x + 0.5 - kSide / 2.0, dy = y + 0.5 - kSide / 2.0, d = std::hypot(dx, dy) / (kSide / 2.0);
            const bool border = x < 2 || y < 2 || x >= kSide - 2 || y >= kSide - 2;
            const uint32_t a = border ? 0xFF : d < 1 ? uint32_t(std::min(255.0, 400 * (1 - d))) : 0;
            const uint32_t r = uint32_t(x * 4), g = 0x10, b = uint32_t(255 - y * 4);
            sprite.push_back(border ? 0xFFFFFFFF : r << 24 | g << 16 | b << 8 | a);
        }
    const VGImage back = imageOf(VG_sRGB_565, 480, 272, background, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage disc = imageOf(VG_sRGBA_4444, kSide, kSide, sprite);
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
    vgSeti(VG_BLEND_MODE, VG_BLEND_SRC_OVER);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    vgDrawImage(back);
    vgTranslate(40, 120);
    vgDrawImage(disc);
    vgLoadIdentity();
    vgTranslate(200, 60);
    vgScale(1.5f, 1.5f);
    vgSeti(VG_IMAGE_QUALITY, VG_IMAGE_QUALITY_BETTER);
    vgDrawImage(disc);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    expectGoldenImage("image_draw_screen_rgb565", image());
    vgDestroyImage(disc);
    vgDestroyImage(back);
}

// One context made current in turn on the 272-row window and on a 40-row pbuffer, drawing the
// same image with the same matrix each time: each surface gets it at its own bottom left.
TEST_F(DrawImage, SwitchingSurfacesRecomputesTheDerivedMatrices)
{
    const EGLint attribs[] = {EGL_WIDTH, 32, EGL_HEIGHT, 40, EGL_NONE};
    const EGLSurface pbuffer = eglCreatePbufferSurface(dpy, config(1), attribs);
    ASSERT_NE(pbuffer, EGL_NO_SURFACE);
    constexpr int kW = 4, kH = 3;
    std::vector<uint32_t> rgba;
    for (int i = 0; i < kW * kH; ++i)
        rgba.push_back(exact565(i + 5));
    const VGImage image = imageOf(VG_sRGB_565, kW, kH, rgba, VG_IMAGE_QUALITY_NONANTIALIASED);
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    vgTranslate(2, 1);
    const struct {
        const char* name;
        EGLSurface surface;
        int height;
    } table[] = {{"window", surface, 272}, {"pbuffer", pbuffer, 40}, {"window again", surface, 272}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(eglMakeCurrent(dpy, row.surface, row.surface, context));
        height = row.height;
        vgDrawImage(image);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                EXPECT_EQ(pixel(x + 2, y + 1), rgba[size_t(y * kW + x)]) << x << "," << y;
    }
    vgDestroyImage(image);
    ASSERT_TRUE(eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));
    eglDestroySurface(dpy, pbuffer);
}

// A filtered pattern scaled by 2 from (8, 8), repeating: the sample point is the pixel's lower
// left corner in paint space, ((x, y) - 8) / 2, with texel centres at whole texel coordinates;
// the same on a window as on a pbuffer.
TEST_F(DrawImagePaint, FilteredPatternsSampleAlikeOnWindowAndPbuffer)
{
    std::vector<uint32_t> texels;
    for (int i = 0; i < 16; ++i)
        texels.push_back(uint32_t(i * 16) << 24 | uint32_t(255 - i * 13) << 16 | uint32_t(i * 71 % 256) << 8 | 0xFF);
    const auto texel = [&](int u, int v) { return texels[size_t((v & 3) * 4 + (u & 3))]; };
    for (bool window : {true, false}) {
        SCOPED_TRACE(window ? "window" : "pbuffer");
        terminate();
        makeCurrent(VgSurfaceSpec{7, 32, 24, window});
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
        vgSeti(VG_IMAGE_QUALITY, VG_IMAGE_QUALITY_BETTER);
        const VGImage pattern = imageOf(VG_sRGBA_8888, 4, 4, texels, VG_IMAGE_QUALITY_BETTER);
        const VGPaint paint = vgCreatePaint();
        vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_PATTERN);
        vgPaintPattern(paint, pattern);
        vgSetParameteri(paint, VG_PAINT_PATTERN_TILING_MODE, VG_TILE_REPEAT);
        vgSetPaint(paint, VG_FILL_PATH);
        vgSeti(VG_MATRIX_MODE, VG_MATRIX_FILL_PAINT_TO_USER);
        vgTranslate(8, 8);
        vgScale(2, 2);
        multiplyWhite(32, 24);
        for (int y = 8; y < 24; ++y)
            for (int x = 8; x < 32; ++x) {
                const int u = (x - 8) / 2, v = (y - 8) / 2;
                const double wu = (x % 2) / 2.0, wv = (y % 2) / 2.0;
                double want[4];
                for (int i = 0; i < 4; ++i) {
                    const auto c = [&](int du, int dv) { return double(channelOf(texel(u + du, v + dv), i)); };
                    want[i] = ((1 - wu) * (1 - wv) * c(0, 0) + wu * (1 - wv) * c(1, 0) + (1 - wu) * wv * c(0, 1) +
                               wu * wv * c(1, 1)) /
                              255;
                }
                ASSERT_TRUE(near(pixel(x, y), want, 1)) << x << "," << y;
            }
        vgDestroyPaint(paint);
        vgDestroyImage(pattern);
    }
}

// An image drawing leaves the image paint set selected; a path filled next paints its
// gradient through the fill set, not through the image's (here scaled by 2) paint space.
TEST_F(DrawImagePaint, APathAfterAnImagePaintsInItsOwnPaintSpace)
{
    pbuffer(64, 8, 0x000000FF);
    const VGPaint paint = linear(0, 32, {{0, 0x000000FF}, {1, 0xFFFFFFFF}});
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    vgScale(2, 1);
    multiplyWhite(32, 4);
    const VGubyte segments[] = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH};
    const VGfloat rect[] = {0, 4, 64, 4, 64, 8, 0, 8};
    const VGPath path = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
    vgAppendPathData(path, 5, segments, rect);
    vgDrawPath(path, VG_FILL_PATH);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    for (int x = 0; x < 64; x += 3) {
        const double g = std::min(1.0, (x + 0.5) / 32);
        EXPECT_NEAR((pixel(x, 1) >> 24) / 255.0, std::min(1.0, (x + 0.5) / 64), 2.0 / 255) << "image " << x;
        EXPECT_NEAR((pixel(x, 6) >> 24) / 255.0, g, 2.0 / 255) << "path " << x;
    }
    vgDestroyPath(path);
    vgDestroyPaint(paint);
}

// ---- Register level: the GPU model decodes the streams and draws nothing ----

class DrawImageLog : public DrawImage {
protected:
    void SetUp() override
    {
        DrawImage::SetUp();
        switchModelOff();
    }
};

TEST_F(DrawImageLog, AffineAndProjectiveMatricesAndRepeatedDraws)
{
    const VGImage image = imageOf(VG_sRGB_565, 4, 4, std::vector<uint32_t>(16, 0xFF0000FF));
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    struct Case {
        const char* name;
        VGfloat m[9];
        bool projective;
    } table[] = {
        {"identity", {1, 0, 0, 0, 1, 0, 0, 0, 1}, false},
        {"affine", {2, 0.5f, 0, 0.25f, 3, 0, 10, 20, 1}, false},
        {"w2 = 2", {1, 0, 0, 0, 1, 0, 0, 0, 2}, true},
        {"w0", {1, 0, 0.001f, 0, 1, 0, 0, 0, 1}, true},
    };
    for (const Case& row : table) {
        SCOPED_TRACE(row.name);
        vgLoadMatrix(row.m);
        startLog();
        drawFinished(image);
        EXPECT_EQ(entriesRun(), (std::vector<uint32_t>{7, 28, 947}));
        const std::vector<float> r1 = constant(LX_VCNST_OVG_IU2S1), r3 = constant(LX_VCNST_OVG_IU2S3);
        EXPECT_EQ(r1[0], row.m[0]);
        EXPECT_EQ(r1[2], row.m[6]);
        EXPECT_EQ(r3[2], row.m[8]);
        // A projective matrix draws the image alone, as the normal mode does.
        EXPECT_EQ(gputest::lastValue(fetched(Unit::PE), LX_PE_OVG_IMGCOMB_FUNC), 0u);
        // The same matrix and quality again: the quad alone.
        startLog();
        drawFinished(image);
        EXPECT_EQ(entriesRun(), (std::vector<uint32_t>{947}));
    }
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
}

TEST_F(DrawImageLog, PendingImageMatrixRerunsEntrySevenOnce)
{
    const VGImage image = imageOf(VG_sRGB_565, 4, 4, std::vector<uint32_t>(16, 0xFF0000FF));
    drawFinished(image);
    VGALVAL_needmtxupdate |= VGAL_MTX_IMAGE;
    startLog();
    drawFinished(image);
    EXPECT_EQ(entriesRun(), (std::vector<uint32_t>{7, 947}));
    EXPECT_EQ(VGALVAL_needmtxupdate & VGAL_MTX_IMAGE, 0u);
    startLog();
    drawFinished(image);
    EXPECT_EQ(entriesRun(), (std::vector<uint32_t>{947}));
    // A changed rendering quality reruns it as well.
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_FASTER);
    startLog();
    drawFinished(image);
    EXPECT_EQ(entriesRun(), (std::vector<uint32_t>{7, 947}));
}

TEST_F(DrawImageLog, SamplingFollowsTheQualityBothAllow)
{
    const struct {
        VGbitfield allowed;
        VGImageQuality asked;
        uint32_t filter;
        float origin;
    } table[] = {
        {VG_IMAGE_QUALITY_NONANTIALIASED, VG_IMAGE_QUALITY_BETTER, 0, 0.5f},
        {VG_IMAGE_QUALITY_NONANTIALIASED | VG_IMAGE_QUALITY_BETTER, VG_IMAGE_QUALITY_BETTER, 1, 0.0f},
        {VG_IMAGE_QUALITY_NONANTIALIASED | VG_IMAGE_QUALITY_FASTER, VG_IMAGE_QUALITY_NONANTIALIASED, 0, 0.5f},
        {VG_IMAGE_QUALITY_FASTER, VG_IMAGE_QUALITY_FASTER, 1, 0.0f},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.allowed * 16 + row.asked);
        const VGImage image = imageOf(VG_sRGB_565, 4, 4, std::vector<uint32_t>(16, 0xFF0000FF), row.allowed);
        vgSeti(VG_IMAGE_QUALITY, row.asked);
        startLog();
        drawFinished(image);
        EXPECT_EQ(gputest::lastValue(fetched(Unit::PE), LX_PE_OVG_TX1_FILTER), row.filter);
        EXPECT_EQ(constant(LX_VCNST_OVG_IMG_ORIGIN)[0], row.origin);
        EXPECT_EQ(constant(LX_VCNST_OVG_IMG_ORIGIN)[1], row.origin);
        EXPECT_EQ(constant(LX_VCNST_OVG_IMG_ORIGIN)[2], 1.0f);
        vgDestroyImage(image);
    }
}

// ---- Paint state ----

class PaintState : public DrawImageLog {
protected:
    static OVGcontext* vg() { return VGVAL_vgcurrentcontexthandle; }

    // A linear gradient fill paint along x with the stops (offset, RGBA8888).
    static VGPaint gradient(const std::vector<std::pair<float, uint32_t>>& stops,
                            VGColorRampSpreadMode spread = VG_COLOR_RAMP_SPREAD_PAD)
    {
        const VGPaint paint = vgCreatePaint();
        vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_LINEAR_GRADIENT);
        const VGfloat line[4] = {0, 0, 100, 0};
        vgSetParameterfv(paint, VG_PAINT_LINEAR_GRADIENT, 4, line);
        vgSetParameteri(paint, VG_PAINT_COLOR_RAMP_SPREAD_MODE, spread);
        std::vector<VGfloat> v;
        for (const auto& s : stops)
            v.insert(v.end(), {s.first, (s.second >> 24) / 255.0f, (s.second >> 16 & 255) / 255.0f,
                               (s.second >> 8 & 255) / 255.0f, (s.second & 255) / 255.0f});
        vgSetParameterfv(paint, VG_PAINT_COLOR_RAMP_STOPS, VGint(v.size()), v.data());
        vgSetPaint(paint, VG_FILL_PATH);
        return paint;
    }

    // The PE words written from `first` up to the register before `end`, by register.
    std::vector<uint32_t> table(uint32_t first, uint32_t end) const
    {
        std::vector<uint32_t> out;
        for (const RegValue& w : fetched(Unit::PE))
            if (w.first >= first && w.first < end) {
                if (out.size() <= w.first - first)
                    out.resize(w.first - first + 1, 0xDEADu);
                out[w.first - first] = w.second;
            }
        return out;
    }

    std::vector<uint32_t> offsets() const
    {
        return table(LX_PE_OVG_RSTOP_OFS_TABLE00, LX_PE_OVG_RSTOP_COLOR_TABLE00);
    }
    std::vector<uint32_t> colours() const
    {
        return table(LX_PE_OVG_RSTOP_COLOR_TABLE00, LX_PE_OVG_RSTOP_PREMALPHA_EN);
    }

    // Path drawing selects the fill paint's matrix set.
    void SetUp() override
    {
        DrawImageLog::SetUp();
        VGALVAL_setrzmtx = 0;
    }

    // Runs what is pending and forgets the log.
    void settle()
    {
        vgFinish();
        startLog();
    }

    // Validates a path fill with the current paint, the log cleared before.
    void validateFill()
    {
        settle();
        ASSERT_EQ(VGALFUNC_lx_setstate_path(0), 0);
        vgFinish();
    }
};

TEST_F(PaintState, RampEntriesAtTheEndsAndOneStepApart)
{
    constexpr uint32_t kRed = 0xFF0000FF, kBlue = 0x0000FFFF;
    gradient({{0.0f, kRed}, {1.0f, kBlue}});
    validateFill();
    // Start 0 with slope 1/512 per 1/512, then the terminal entry holding blue.
    EXPECT_EQ(offsets(), (std::vector<uint32_t>{0x200u << 10, 0x3FE}));
    EXPECT_EQ(colours(), (std::vector<uint32_t>{kRed, kBlue, kBlue}));

    gradient({{0.0f, kRed}, {1.0f, kBlue}}, VG_COLOR_RAMP_SPREAD_REPEAT);
    validateFill();
    EXPECT_EQ(offsets(), (std::vector<uint32_t>{0x200u << 10}));
    EXPECT_EQ(colours(), (std::vector<uint32_t>{kRed, kBlue}));

    // 256/512 and 257/512: the steepest slope the field holds, not one past it.
    gradient({{0.5f, kRed}, {257.0f / 512, kBlue}});
    validateFill();
    ASSERT_EQ(offsets().size(), 4u);
    EXPECT_EQ(offsets()[1], 512u | 0x3FFFFu << 10);
    EXPECT_EQ(offsets()[3], 0x3FEu);
}

TEST_F(PaintState, ThirtyTwoInnerStopsFitTheTables)
{
    std::vector<std::pair<float, uint32_t>> stops;
    for (int i = 0; i < 32; ++i)
        stops.emplace_back(0.05f + 0.9f * i / 31, uint32_t(i * 8) << 24 | 0xFF);
    gradient(stops);
    validateFill();
    // 34 normalised stops: 33 segments and no room for a terminal entry; the last segment
    // (the last colour up to 1) ends the ramp flat.
    const std::vector<uint32_t> o = offsets(), c = colours();
    ASSERT_EQ(o.size(), 33u);
    ASSERT_EQ(c.size(), 34u);
    EXPECT_EQ(o[32], uint32_t(2 * int(512 * 0.95f)));
    EXPECT_EQ(c[32], c[33]);
    EXPECT_EQ(c[33], uint32_t(31 * 8) << 24 | 0xFF);
    EXPECT_EQ(c[0], 0x000000FFu);
    for (const RegValue& w : fetched(Unit::PE)) {
        EXPECT_FALSE(w.first > LX_PE_OVG_RSTOP_OFS_TABLE32 && w.first < LX_PE_OVG_RSTOP_COLOR_TABLE00) << w.first;
        EXPECT_FALSE(w.first > LX_PE_OVG_RSTOP_COLOR_TABLE33 && w.first < LX_PE_OVG_RSTOP_PREMALPHA_EN) << w.first;
    }
}

TEST_F(PaintState, RadialFocusOnTheCircleIsPulledInside)
{
    const VGPaint paint = vgCreatePaint();
    vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_RADIAL_GRADIENT);
    const VGfloat radial[5] = {50, 40, 60, 40, 10};  // focus on the circle, right of the centre
    vgSetParameterfv(paint, VG_PAINT_RADIAL_GRADIENT, 5, radial);
    vgSetPaint(paint, VG_FILL_PATH);
    validateFill();
    std::vector<float> data;
    for (const Event& e : gpu.log())
        if (e.stream == Stream::CmdBuf && e.kind == Kind::VpData)
            data.push_back(asFloat(e.value));
    ASSERT_EQ(data.size(), 4u);
    EXPECT_FLOAT_EQ(data[2], 50 + 9.9f);
    EXPECT_EQ(data[3], 40.0f);
}

TEST_F(PaintState, PatternTilingSelectsWrapAndMode)
{
    const VGImage image = imageOf(VG_sRGB_565, 4, 4, std::vector<uint32_t>(16, 0xFF0000FF));
    const VGPaint paint = vgCreatePaint();
    vgSetParameteri(paint, VG_PAINT_TYPE, VG_PAINT_TYPE_PATTERN);
    vgPaintPattern(paint, image);
    vgSetPaint(paint, VG_FILL_PATH);
    const struct {
        VGTilingMode tiling;
        uint32_t wrap, mode;
    } table[] = {
        {VG_TILE_PAD, 0x101, 1}, {VG_TILE_REPEAT, 0, 321}, {VG_TILE_REFLECT, 0x101, 641}, {VG_TILE_FILL, 0x202, 961}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.tiling);
        vgSetParameteri(paint, VG_PAINT_PATTERN_TILING_MODE, row.tiling);
        validateFill();
        EXPECT_EQ(gputest::lastValue(fetched(Unit::PE), LX_PE_OVG_TX0_WRAP), row.wrap);
        EXPECT_EQ(gputest::lastValue(fetched(Unit::RZ), LX_RZ_VG_MODE) & 0xFFFFu, row.mode);
        EXPECT_EQ(gputest::lastValue(fetched(Unit::PE), LX_PE_OVG_TX0_EN), 1u);
    }
}

// ---- State validation ----

TEST_F(PaintState, StrokesAreNonZeroWhateverTheFillRule)
{
    vgSeti(VG_FILL_RULE, VG_EVEN_ODD);
    const struct {
        int mode;
        uint32_t evenOdd;
    } table[] = {{0, 2}, {1, 0}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.mode);
        settle();
        ASSERT_EQ(VGALFUNC_lx_setstate_path(row.mode), 0);
        vgFinish();
        EXPECT_EQ(gputest::lastValue(fetched(Unit::XPT), LX_XPT_MODE) & 2u, row.evenOdd);
    }
}

TEST_F(PaintState, MultiplyAfterAPathChangesTheKindAndThePipeline)
{
    const VGImage image = imageOf(VG_sRGB_565, 4, 4, std::vector<uint32_t>(16, 0xFF0000FF));
    ASSERT_EQ(VGALFUNC_lx_setstate_path(0), 0);
    ASSERT_EQ(VGALVAL_lx740renderingmode & 0xFu, 1u);
    vgSeti(VG_IMAGE_MODE, VG_DRAW_IMAGE_MULTIPLY);
    settle();
    ASSERT_EQ(VGALFUNC_lx_setstate_image(VGFUNC_FindImage(vg()->sharedState, image), 0, 0), 0);
    vgFinish();
    EXPECT_EQ(VGALVAL_lx740renderingmode & 0xFu, 4u);
    EXPECT_EQ(gputest::lastValue(fetched(Unit::PE), LX_PE_OVG_IMGCOMB_FUNC), 1u);  // the pipeline writer ran
    EXPECT_EQ(gputest::lastValue(fetched(Unit::XPT), LX_XPT_MODE) & 64u, 64u);
    EXPECT_EQ(VGALVAL_changepepipe, 0);
}

TEST_F(PaintState, MinimumValidationResendsOnlyThePaintsVpWords)
{
    gradient({{0.0f, 0xFF0000FF}, {1.0f, 0x0000FFFF}});
    ASSERT_EQ(VGALFUNC_lx_setstate_path(0), 0);
    // What finishing alone writes to the PE.
    settle();
    vgFinish();
    const std::vector<RegValue> finishing = fetched(Unit::PE);
    settle();
    ASSERT_EQ(VGALFUNC_lx_setstate_path_minimum(0), 0);
    vgFinish();
    EXPECT_EQ(fetched(Unit::PE), finishing);
    EXPECT_TRUE(fetched(Unit::RZ).empty());
    std::vector<uint32_t> data;
    for (const Event& e : gpu.log())
        if (e.stream == Stream::CmdBuf && e.kind == Kind::VpData)
            data.push_back(e.value);
    EXPECT_EQ(data, (std::vector<uint32_t>{0, 0, cglFloatTo32F(100), 0}));
    EXPECT_EQ(gputest::lastValue(fetched(Unit::VPCtrl), LX_VP_CTRL0), 0u);

    // A colour paint has no VP part: nothing but the rasterizer's words.
    vgSetPaint(VG_INVALID_HANDLE, VG_FILL_PATH);
    ASSERT_EQ(VGALFUNC_lx_setstate_path(0), 0);
    settle();
    ASSERT_EQ(VGALFUNC_lx_setstate_path_minimum(0), 0);
    vgFinish();
    EXPECT_TRUE(fetched(Unit::VPCtrl).empty());
    EXPECT_TRUE(fetched(Unit::RZ).empty());
}

}  // namespace
