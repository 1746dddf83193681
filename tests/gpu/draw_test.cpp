// The GPU model's drawings through the PE at register level: the blend modes, the image
// combiner, images through texture unit 1, the paint generator's gradients and patterns, and
// the colour transform, each compared with values computed here.
#include "path_fixture.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace gputest {
namespace {

uint32_t ch(uint32_t rgba, unsigned i)  // 0 R, 1 G, 2 B, 3 A
{
    return (rgba >> (24 - 8 * i)) & 0xFFu;
}

uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

// Every channel within `tolerance` of the expected one.
::testing::AssertionResult near(uint32_t got, uint32_t expected, uint32_t tolerance)
{
    for (unsigned i = 0; i < 4; ++i) {
        const int d = static_cast<int>(ch(got, i)) - static_cast<int>(ch(expected, i));
        if (std::abs(d) > static_cast<int>(tolerance)) {
            char text[64];
            std::snprintf(text, sizeof text, "%08X instead of %08X", got, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

class GpuDraws : public GpuPaths {
public:
    void SetUp() override
    {
        GpuPaths::SetUp();
        quality(0);
    }

    std::vector<word32> pixels() const
    {
        std::vector<word32> words(kWidth * kHeight);
        cglReadMemory32A(target(), words.data(), static_cast<word32>(words.size()));
        return words;
    }
    void setPixels(const std::vector<word32>& words) const
    {
        cglWriteMemory32A(target(), words.data(), static_cast<word32>(words.size()));
    }

    // A path over the whole surface, scanned.
    void fillSurface()
    {
        send(polygon({{0, 0}, {float(kWidth), 0}, {float(kWidth), float(kHeight)}, {0, float(kHeight)}}));
        scan();
    }

    static void blendSteps(uint32_t c1, uint32_t c2, uint32_t a1, uint32_t a2)
    {
        const word32 words[] = {c1, c2, c1, c2, c1, c2, a1, a2};
        for (unsigned i = 0; i < 8; ++i)
            cglWritePEReg1(LX_PE_OVG_BLEN_FUNC_RSTEP1 + i, words[i]);
        cglWritePEReg1(LX_PE_OVG_BLEN_EN, 1);
    }

    word32 texture() const { return base + 0x180000; }

    // An RGBA8888 texture of w x h texels on texture unit 1 (or 0), nearest or bilinear.
    void setTexture(unsigned unit, uint32_t w, uint32_t h, const std::vector<word32>& texels, bool filter = false)
    {
        const word32 address = texture() + unit * 0x10000;
        cglWriteMemory32A(address, texels.data(), static_cast<word32>(texels.size()));
        const uint32_t d = unit ? LX_PE_OVG_TX1_EN - LX_PE_OVG_TX0_EN : 0;
        for (auto [reg, value] : {RegValue{LX_PE_OVG_TX0_EN, 1}, RegValue{LX_PE_OVG_TX0_ADDR, address},
                                  RegValue{LX_PE_OVG_TX0_SIZE, w | h << 16}, RegValue{LX_PE_OVG_TX0_FMT, 0},
                                  RegValue{LX_PE_OVG_TX0_FILTER, filter}, RegValue{LX_PE_OVG_TX0_CHILDIMG_EN, 0}})
            cglWritePEReg1(reg + d, value);
    }

    // Image drawing as the library routes it: 0 image, 1 image x paint, 2 stencil (of a
    // luminance target when told).
    static void imageRoute(uint32_t comb, bool luminanceTarget = false)
    {
        cglWritePEReg1(LX_PE_OVG_IMGCOMB_FUNC, comb);
        cglWritePEReg1(LX_PE_OVG_CCU_MPX_CTRL, comb != 2 ? 0 : luminanceTarget ? 0x3D : 0x39);
    }

    // The paint matrix {sx, shy, shx, sy, tx, ty} of the fill set with entry 21.
    void paintMatrix(std::vector<float> m)
    {
        send(Commands()
                 .constant(LX_VCNST_OVG_FP2U1, {m[0], m[2], m[4]})
                 .constant(LX_VCNST_OVG_FP2U2, {m[1], m[3], m[5]})
                 .run(21, 1));
    }

    // A colour ramp as the paint writer sends it: stops (offset, RGBA8888) with offsets on
    // 1/512, the entries one packet, the colours another.
    void ramp(const std::vector<std::pair<double, uint32_t>>& stops)
    {
        std::vector<word32> offsets, colours;
        int o = static_cast<int>(512 * stops[0].first);
        for (size_t k = 0; k + 1 < stops.size(); ++k) {
            const int next = static_cast<int>(512 * stops[k + 1].first), d = next - o;
            const uint32_t slope = d == 1 ? 0x3FFFF : d > 1 ? 0x40000 / d : 0;
            offsets.push_back((o == 512 ? 0x3FEu : 2u * o) | slope << 10);
            colours.push_back(stops[k].second);
            o = next;
        }
        colours.push_back(stops.back().second);
        if (o == 512) {
            offsets.push_back(0x3FE);
            colours.push_back(stops.back().second);
        }
        std::vector<word32> packets{CGL_PKT_HEADER(CGL_OP_PE_WRITE, LX_PE_OVG_RSTOP_OFS_TABLE00, offsets.size())};
        packets.insert(packets.end(), offsets.begin(), offsets.end());
        packets.push_back(CGL_PKT_HEADER(CGL_OP_PE_WRITE, LX_PE_OVG_RSTOP_COLOR_TABLE00, colours.size()));
        packets.insert(packets.end(), colours.begin(), colours.end());
        Commands c;
        c.packets.push_back(packets);
        send(c);
        cglWritePEReg1(LX_PE_OVG_RSTOP_PREMALPHA_EN, 1);
        cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 1);
    }

    // The paint program with its words; k 0 linear, 1 radial, 2 pattern.
    void paintProgram(uint32_t k, std::vector<float> words)
    {
        send(Commands().ctrl(LX_VP_CTRL0, k).ctrl(LX_VP_IADDR, 49).ctrl(LX_TE_SYNC, 0).data(words));
    }

    // The colour of a two-stop ramp at g (0..1), as the test expects it.
    static uint32_t lerp(uint32_t a, uint32_t b, double g)
    {
        uint32_t out = 0;
        for (unsigned i = 0; i < 4; ++i)
            out |= static_cast<uint32_t>(std::lround(ch(a, i) + g * (double(ch(b, i)) - ch(a, i)))) << (24 - 8 * i);
        return out;
    }

    // The pixel at device column x and memory row `row`.
    static uint32_t px(const std::vector<word32>& p, uint32_t x, uint32_t row) { return p[row * kWidth + x]; }
};

// OpenVG 1.1 blending of premultiplied channels: source s, destination d, alphas as and ad.
using BlendFormula = double (*)(double s, double d, double as, double ad, bool alpha);

TEST_F(GpuDraws, BlendModesFollowTheOpenVgFormulas)
{
    struct Mode {
        const char* name;
        uint32_t c1, c2, a1, a2;
        BlendFormula f;
    } const modes[] = {
        {"src", 0, 0x10000, 0, 0, [](double s, double, double, double, bool) { return s; }},
        {"src over", 0, 0x81100, 0x1, 0x80100,
         [](double s, double d, double as, double, bool) { return s + d * (1 - as); }},
        {"dst over", 0, 0x70001, 0x12, 0x83100,
         [](double s, double d, double, double ad, bool) { return s * (1 - ad) + d; }},
        {"src in", 0x1100, 0x60000, 0x11, 0x40000, [](double s, double, double, double ad, bool) { return s * ad; }},
        {"dst in", 0x2200, 0x60000, 0x11, 0x40000, [](double, double d, double as, double, bool) { return d * as; }},
        {"multiply", 0x100, 0x82011, 0x1, 0x80100,
         [](double s, double d, double as, double ad, bool alpha) {
             return alpha ? s + d * (1 - as) : s * (1 - ad) + d * (1 - as) + s * d;
         }},
        {"screen", 0, 0x82200, 0x1, 0x80100,
         [](double s, double d, double as, double, bool alpha) { return alpha ? s + d * (1 - as) : s + d - s * d; }},
        {"darken", 0, 0x91101, 0x1, 0x80100,
         [](double s, double d, double as, double ad, bool alpha) {
             return alpha ? s + d * (1 - as) : std::min(s + d * (1 - as), d + s * (1 - ad));
         }},
        {"lighten", 0, 0xA1101, 0x1, 0x80100,
         [](double s, double d, double as, double ad, bool alpha) {
             return alpha ? s + d * (1 - as) : std::max(s + d * (1 - as), d + s * (1 - ad));
         }},
        {"additive", 0, 0x70000, 0, 0x83300,
         [](double s, double d, double, double, bool) { return std::min(1.0, s + d); }},
    };
    // Premultiplied destinations over the surface and a few premultiplied sources.
    std::vector<word32> grid(kWidth * kHeight);
    for (uint32_t i = 0; i < grid.size(); ++i) {
        const uint32_t a = (i * 37) % 256;
        grid[i] = rgba((i * 91) % (a + 1), (i * 53) % (a + 1), (i * 17) % (a + 1), a);
    }
    const uint32_t sources[] = {0x40302080, 0xFF0000FF, 0x10203040, 0x00000000, 0xC0E0A0F0};
    for (const Mode& m : modes)
        for (uint32_t src : sources) {
            SCOPED_TRACE(std::string(m.name) + " of " + std::to_string(src));
            setPixels(grid);
            blendSteps(m.c1, m.c2, m.a1, m.a2);
            cglWriteRZReg1(LX_RZ_COLOR, src);
            fillSurface();
            const std::vector<word32> got = pixels();
            for (uint32_t i = 0; i < got.size(); ++i) {
                uint32_t expected = 0;
                for (unsigned c = 0; c < 4; ++c) {
                    const double v = m.f(ch(src, c) / 255.0, ch(grid[i], c) / 255.0, ch(src, 3) / 255.0,
                                         ch(grid[i], 3) / 255.0, c == 3);
                    expected |= static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)) << (24 - 8 * c);
                }
                ASSERT_TRUE(near(got[i], expected, 1)) << "pixel " << i;
            }
        }
}

TEST_F(GpuDraws, UnknownBlendStepsAndTheExtensionUnitAreRefused)
{
    blendSteps(0, 0x81100, 0x1, 0x80101);
    fillSurface();
    expectOneError("blend steps");
    cglWritePEReg1(LX_PE_OVG_BLEN_EN, 5);
    fillSurface();
    expectOneError("LX_PE_OVG_BLEN_EN");
    cglWritePEReg1(LX_PE_OVG_BLEN_EN, 0);
    cglWritePEReg1(LX_PE_OVG_AM_EN, 1);
    fillSurface();
    expectOneError("alpha mask");
    EXPECT_EQ(pixels(), std::vector<word32>(kWidth * kHeight, 0));
}

// An 8 x 8 image of distinct texels drawn at (20, 30): nearest at scale 1 and 2 hits texels
// exactly; bilinear weighs the texels around the sample point; an image moved by half a pixel
// covers its edge column by half.
TEST_F(GpuDraws, ImagesSampleTheirTexelsNearestOrBilinear)
{
    std::vector<word32> texels(64);
    for (uint32_t i = 0; i < 64; ++i)
        texels[i] = rgba(i * 4, 255 - i * 3, (i * 29) % 256, 255);
    const auto texel = [&texels](int u, int v) {
        return texels[std::clamp(v, 0, 7) * 8 + std::clamp(u, 0, 7)];
    };
    quality(8);
    cglWriteRZReg1(LX_RZ_VG_MODE, 4);
    cglWriteRZReg1(LX_RZ_IMG_USCALE, 8);
    cglWriteRZReg1(LX_RZ_IMG_VSCALE, 8);
    cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 0);
    cglWritePEReg1(LX_PE_OVG_TX0_EN, 1);  // a pattern paint's unit, which an image alone does not read
    imageRoute(0);

    struct Case {
        const char* name;
        float scale;
        bool filter;
    } const cases[] = {{"nearest", 1, false}, {"nearest doubled", 2, false}, {"bilinear doubled", 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setPixels(std::vector<word32>(kWidth * kHeight, 0));
        setTexture(1, 8, 8, texels, c.filter);
        imageMatrix({c.scale, 0, 0, 0, c.scale, 0, 20, 30, 1});
        drawImage(8, 8, c.filter ? 0 : 0.5f);
        const std::vector<word32> got = pixels();
        const uint32_t size = static_cast<uint32_t>(8 * c.scale);
        for (uint32_t y = 0; y < size; ++y)
            for (uint32_t x = 0; x < size; ++x) {
                uint32_t expected;
                if (!c.filter) {
                    expected = texel(static_cast<int>(x / c.scale), static_cast<int>(y / c.scale));
                } else {
                    // The sample point is the pixel's lower left corner as the flipped
                    // surface's y axis runs.
                    const double u = x / c.scale, v = y / c.scale;
                    const int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
                    const double fu = u - u0, fv = v - v0;
                    expected = lerp(lerp(texel(u0, v0), texel(u0 + 1, v0), fu),
                                    lerp(texel(u0, v0 + 1), texel(u0 + 1, v0 + 1), fu), fv);
                }
                ASSERT_TRUE(near(px(got, 20 + x, kHeight - 1 - (30 + y)), expected, c.filter ? 1 : 0))
                    << x << "," << y;
            }
        EXPECT_EQ(px(got, 19, kHeight - 31), 0u);
        EXPECT_EQ(px(got, 20 + size, kHeight - 31), 0u);
    }

    setPixels(std::vector<word32>(kWidth * kHeight, 0));
    setTexture(1, 8, 8, std::vector<word32>(64, 0xFFFFFFFFu));
    imageMatrix({1, 0, 0, 0, 1, 0, 20.5f, 30, 1});
    drawImage(8, 8, 0.5f);
    const std::vector<word32> got = pixels();
    EXPECT_TRUE(near(px(got, 20, kHeight - 31), 0x80808080u, 1));
    EXPECT_EQ(px(got, 21, kHeight - 31), 0xFFFFFFFFu);
    EXPECT_TRUE(near(px(got, 28, kHeight - 31), 0x80808080u, 1));
}

// An image in the target's own memory: one row of the target, drawn one pixel to the right
// onto that row. The pixels are drawn one after another along the row, so each reads the
// pixel its left neighbour has just written and the first pixel's colour runs along the row.
TEST_F(GpuDraws, AnImageInTheTargetSeesThePixelsDrawnBeforeIt)
{
    const uint32_t row = kHeight - 1 - 30, first = 0x20C040FF, length = 40;
    std::vector<word32> start(kWidth * kHeight, 0);
    for (uint32_t x = 0; x <= length; ++x)
        start[row * kWidth + x] = x ? rgba(x, 255 - x, 2 * x, 255) : first;
    setPixels(start);
    quality(8);
    cglWriteRZReg1(LX_RZ_VG_MODE, 4);
    cglWriteRZReg1(LX_RZ_IMG_USCALE, length);
    cglWriteRZReg1(LX_RZ_IMG_VSCALE, 1);
    imageRoute(0);
    for (auto [reg, value] : {RegValue{LX_PE_OVG_TX1_EN, 1}, RegValue{LX_PE_OVG_TX1_ADDR, target() + row * kWidth * 4},
                              RegValue{LX_PE_OVG_TX1_SIZE, kWidth | 1u << 16}, RegValue{LX_PE_OVG_TX1_FMT, 0},
                              RegValue{LX_PE_OVG_TX1_FILTER, 0}, RegValue{LX_PE_OVG_TX1_CHILDIMG_EN, 0}})
        cglWritePEReg1(reg, value);
    imageMatrix({1, 0, 0, 0, 1, 0, 1, 30, 1});
    drawImage(float(length), 1, 0.5f);
    const std::vector<word32> got = pixels();
    for (uint32_t x = 0; x <= length; ++x)
        EXPECT_EQ(px(got, x, row), first) << x;
    EXPECT_EQ(px(got, length + 1, row), 0u);
}

// Image x paint and the stencil with a colour paint, over an opaque grey destination with
// source-over blending.
TEST_F(GpuDraws, TheImageCombinerMultipliesOrStencilsThePaint)
{
    const uint32_t image = 0x80402080, paint = 0x60C0FFFF, dst = 0x404040FF;
    quality(8);
    cglWriteRZReg1(LX_RZ_VG_MODE, 4);
    cglWriteRZReg1(LX_RZ_IMG_USCALE, 2);
    cglWriteRZReg1(LX_RZ_IMG_VSCALE, 2);
    cglWriteRZReg1(LX_RZ_COLOR, paint);
    blendSteps(0, 0x81100, 0x1, 0x80100);
    // The stencil of a luminance target takes the luminance of the image's colour channels.
    const double grey = (435 * ch(image, 0) + 1464 * ch(image, 1) + 147 * ch(image, 2) + 1023) / 2048;
    const auto stencil = [&](unsigned c, double imageChannel) {
        const double pa = ch(paint, 3) / 255.0;
        if (c == 3) {
            const double as = pa * ch(image, 3) / 255.0;
            return as + ch(dst, 3) / 255.0 * (1 - as);
        }
        const double alpha = pa * imageChannel / 255.0;  // the image is premultiplied
        return ch(paint, c) / 255.0 * imageChannel / 255.0 + ch(dst, c) / 255.0 * (1 - alpha);
    };
    struct Case {
        uint32_t comb;
        bool luminanceTarget;
        std::function<double(unsigned c)> expected;
    } const cases[] = {
        {1, false, [&](unsigned c) {
             const double s = ch(image, c) * ch(paint, c) / 65025.0, as = ch(image, 3) * ch(paint, 3) / 65025.0;
             return c == 3 ? s + ch(dst, 3) / 255.0 * (1 - as) : s + ch(dst, c) / 255.0 * (1 - as);
         }},
        {2, false, [&](unsigned c) { return stencil(c, c < 3 ? ch(image, c) : 0); }},
        {2, true, [&](unsigned c) { return stencil(c, grey); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comb);
        SCOPED_TRACE(c.luminanceTarget ? "luminance target" : "colour target");
        setPixels(std::vector<word32>(kWidth * kHeight, dst));
        setTexture(1, 2, 2, std::vector<word32>(4, image));
        imageRoute(c.comb, c.luminanceTarget);
        imageMatrix({1, 0, 0, 0, 1, 0, 10, 10, 1});
        drawImage(2, 2, 0.5f);
        uint32_t expected = 0;
        for (unsigned k = 0; k < 4; ++k)
            expected |= static_cast<uint32_t>(std::lround(c.expected(k) * 255)) << (24 - 8 * k);
        EXPECT_TRUE(near(px(pixels(), 10, kHeight - 11), expected, 1));
    }
}

// An opaque white image times a linear gradient in the image's paint space (the paint set of
// images, which entry 7 derives): the gradient runs across the image.
TEST_F(GpuDraws, ImagesMultiplyAGradientInTheirPaintSpace)
{
    const uint32_t from = 0x000000FF, to = 0xFFFFFFFF;
    quality(8);
    setTexture(1, 16, 16, std::vector<word32>(256, 0xFFFFFFFFu));
    imageRoute(1);
    cglWriteRZReg1(LX_RZ_VG_MODE, 4 | 2);
    cglWriteRZReg1(LX_RZ_IMG_USCALE, 16);
    cglWriteRZReg1(LX_RZ_IMG_VSCALE, 16);
    imageMatrix({1, 0, 0, 0, 1, 0, 20, 30, 1});
    send(Commands().constant(LX_VCNST_OVG_FP2U1, {1, 0, 0}).constant(LX_VCNST_OVG_FP2U2, {0, 1, 0}).run(7, 2));
    ramp({{0, from}, {1, to}});
    paintProgram(16384, {0, 0, 16, 0});
    drawImage(16, 16, 0.5f);
    const std::vector<word32> got = pixels();
    for (uint32_t x = 0; x < 16; ++x)
        ASSERT_TRUE(near(px(got, 20 + x, kHeight - 35), lerp(from, to, (x + 0.5) / 16), 2)) << x;
}

// A linear gradient from x = 10 to x = 110 along the rows, red to blue, in each spread mode.
TEST_F(GpuDraws, LinearGradientsFollowTheirAxisInEachSpreadMode)
{
    const uint32_t from = 0xFF0000FF, to = 0x0000FFFF;
    matrix({1, 0, 0, 1, 0, 0});
    paintMatrix({2, 0, 0, 1, 0, 0});  // paint x is half the user x: the axis 20 to 120 on the surface
    ramp({{0, from}, {1, to}});
    struct Case {
        const char* name;
        uint32_t spread;
        double (*g)(double);
    } const cases[] = {
        {"pad", 0, [](double g) { return std::clamp(g, 0.0, 1.0); }},
        {"repeat", 16, [](double g) { return g - std::floor(g); }},
        {"reflect", 32, [](double g) {
             const double m = g - 2 * std::floor(g / 2);
             return m <= 1 ? m : 2 - m;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cglWriteRZReg1(LX_RZ_VG_MODE, 2 | c.spread);
        paintProgram(0, {10, 0, 60, 0});
        fillSurface();
        const std::vector<word32> got = pixels();
        for (uint32_t x = 0; x < kWidth; ++x) {
            const double g = ((x + 0.5) / 2 - 10) / 50;
            ASSERT_TRUE(near(px(got, x, 40), lerp(from, to, c.g(g)), 2)) << x;
        }
    }
}

// 32 stops at 0.05 to 0.95 (one entry more than the table holds with the ends flat) and
// three stops: each stop's colour where the gradient reaches it.
TEST_F(GpuDraws, RampsOfManyStopsDrawEachStopsColour)
{
    std::vector<std::pair<double, uint32_t>> stops;
    for (int k = 0; k < 32; ++k)
        stops.push_back({0.05 + 0.9 * k / 31, rgba(k * 8, 255 - k * 8, (k * 40) % 256, 255)});
    // The ramp as the library sends it when its entries fit: the leading flat part as the
    // first stop's colour from 0.
    std::vector<std::pair<double, uint32_t>> sent{{0, stops[0].second}};
    sent.insert(sent.end(), stops.begin() + 1, stops.end());
    matrix({1, 0, 0, 1, 0, 0});
    paintMatrix({1, 0, 0, 1, 0, 0});
    ramp(sent);
    cglWriteRZReg1(LX_RZ_VG_MODE, 2);
    paintProgram(0, {0, 0, float(kWidth), 0});
    fillSurface();
    // Between the stops (offsets on 1/512 as sent) the colours run linearly.
    const auto expected = [&sent](double g) {
        size_t k = 0;
        while (k + 2 < sent.size() && std::floor(512 * sent[k + 1].first) / 512 <= g)
            ++k;
        const double a = std::floor(512 * sent[k].first) / 512, b = std::floor(512 * sent[k + 1].first) / 512;
        return lerp(sent[k].second, sent[k + 1].second, std::clamp((g - a) / (b - a), 0.0, 1.0));
    };
    const std::vector<word32> got = pixels();
    for (uint32_t x = 0; x < kWidth; ++x)
        ASSERT_TRUE(near(px(got, x, 10), expected((x + 0.5) / kWidth), 2)) << x;
    EXPECT_TRUE(near(px(got, kWidth - 1, 10), stops.back().second, 0));
}

// A shorter ramp after a longer one: the entries past its own, still in the table, are not
// read.
TEST_F(GpuDraws, TheRampEndsWithTheLastPacketOfEntries)
{
    matrix({1, 0, 0, 1, 0, 0});
    paintMatrix({1, 0, 0, 1, 0, 0});
    ramp({{0, 0xFF0000FF}, {0.5, 0x00FF00FF}, {0.75, 0x0000FFFF}, {1, 0xFFFFFFFF}});
    ramp({{0, 0x000000FF}, {1, 0xFFFFFFFF}});
    cglWriteRZReg1(LX_RZ_VG_MODE, 2);
    paintProgram(0, {0, 0, float(kWidth), 0});
    fillSurface();
    const std::vector<word32> got = pixels();
    for (uint32_t x = 0; x < kWidth; x += 7)
        ASSERT_TRUE(near(px(got, x, 10), lerp(0x000000FF, 0xFFFFFFFF, (x + 0.5) / kWidth), 2)) << x;
}

// Ramp colours interpolated, then premultiplied with LX_PE_OVG_RSTOP_PREMALPHA_EN 1 or taken
// as premultiplied with 0.
TEST_F(GpuDraws, RampColoursArePremultipliedAfterInterpolating)
{
    const uint32_t from = 0xFF000080, to = 0x2040FF40;
    matrix({1, 0, 0, 1, 0, 0});
    paintMatrix({1, 0, 0, 1, 0, 0});
    ramp({{0, from}, {1, to}});
    cglWriteRZReg1(LX_RZ_VG_MODE, 2);
    for (uint32_t premultiply : {1u, 0u}) {
        SCOPED_TRACE(premultiply);
        cglWritePEReg1(LX_PE_OVG_RSTOP_PREMALPHA_EN, premultiply);
        paintProgram(0, {0, 0, float(kWidth), 0});
        fillSurface();
        const std::vector<word32> got = pixels();
        for (uint32_t x = 0; x < kWidth; x += 5) {
            uint32_t c = lerp(from, to, (x + 0.5) / kWidth);
            if (premultiply) {
                const double a = ch(c, 3) / 255.0;
                c = rgba(static_cast<uint32_t>(std::lround(ch(c, 0) * a)), static_cast<uint32_t>(std::lround(ch(c, 1) * a)),
                         static_cast<uint32_t>(std::lround(ch(c, 2) * a)), ch(c, 3));
            }
            ASSERT_TRUE(near(px(got, x, 10), c, 1)) << x;
        }
    }
}

// The radial table as the paint writer fills it (single precision), for a circle of radius r
// at the origin and the focus f.
std::vector<float> radialTable(float fx, float fy, float r)
{
    std::vector<float> pairs(128);
    const float dx = -fx, dy = -fy;
    if (dx == 0 && dy == 0) {
        for (int i = 0; i < 64; ++i)
            pairs[2 * i] = 1 / r;
        return pairs;
    }
    const float d = dx * dx + dy * dy, a = 4 * d * (d - r * r), b = 2 * d;
    const float t0 = (std::sqrt(b * b - a) - b) / b;
    float w = 1 / std::hypot(t0 * dx, t0 * dy);
    for (int i = 1; i <= 64; ++i) {
        const float u = i * 0.03125f - 1, s = std::sqrt(1 - u * u);
        const float px = dx * u - dy * s, py = dx * s + dy * u;
        const float q = -2 * (dx * px + dy * py);
        const float t = (std::sqrt(q * q - a) - q) / b;
        const float len = std::hypot(t * px, t * py);
        const float v = len > 0 ? 1 / len : 0;
        pairs[2 * (i - 1)] = w;
        pairs[2 * (i - 1) + 1] = v - w;
        w = v;
    }
    return pairs;
}

// The OpenVG radial gradient parameter at (x, y) for the circle (0, 0, r) and focus f.
double radialG(double x, double y, double fx, double fy, double r)
{
    const double dx = x - fx, dy = y - fy;
    const double root = std::sqrt(r * r * (dx * dx + dy * dy) - std::pow(dx * fy - dy * fx, 2));
    return (dx * fx + dy * fy + root) / (r * r - fx * fx - fy * fy);
}

TEST_F(GpuDraws, RadialGradientsWithTheFocusInsideAndOnTheCircle)
{
    const uint32_t from = 0xFFFFFFFF, to = 0x000000FF;
    const float r = 40;
    struct Case {
        const char* name;
        float fx, fy;
    } const cases[] = {{"focus at the centre", 0, 0}, {"focus inside", 15, -10}, {"focus on the circle", 0.99f * r, 0}};
    matrix({1, 0, 0, 1, 0, 0}, kNoFlip);
    paintMatrix({1, 0, 0, 1, 64, 48});  // paint space centred on the surface
    ramp({{0, from}, {1, to}});
    cglWriteRZReg1(LX_RZ_VG_MODE, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> table = radialTable(c.fx, c.fy, r);
        for (int i = 0; i < 128; ++i)
            cglWriteRZReg1(LX_RZ_RFITBL00_LO + i, bitsOf(table[i]));
        paintProgram(1, {0, 0, c.fx, c.fy});
        fillSurface();
        const std::vector<word32> got = pixels();
        int worst = 0;
        for (uint32_t y = 0; y < kHeight; y += 3)
            for (uint32_t x = 0; x < kWidth; x += 3) {
                const double g = std::clamp(radialG(x + 0.5 - 64, y + 0.5 - 48, c.fx, c.fy, r), 0.0, 1.0);
                worst = std::max(worst, std::abs(int(ch(px(got, x, y), 0)) - int(ch(lerp(from, to, g), 0))));
            }
        EXPECT_LE(worst, 2);
    }
    // Planes out of any range give the ramp's start.
    cglWriteRZReg1(LX_RZ_RG_AF, bitsOf(INFINITY));
    cglWriteRZReg1(LX_RZ_RG_BF, bitsOf(INFINITY));
    fillSurface();
    EXPECT_EQ(px(pixels(), 5, 5), from);
}

// A 4 x 4 pattern at the paint origin, nearest, in the four tiling modes; pixels left of and
// above it show how each mode continues it.
TEST_F(GpuDraws, PatternsTileInEachMode)
{
    std::vector<word32> texels(16);
    for (uint32_t i = 0; i < 16; ++i)
        texels[i] = rgba(i * 16, 255 - i * 16, 128, 255);
    const uint32_t fill = 0x11223344;
    matrix({1, 0, 0, 1, 0, 0}, kNoFlip);
    paintMatrix({1, 0, 0, 1, 8, 8});  // the pattern from (8, 8)
    setTexture(0, 4, 4, texels);
    cglWritePEReg1(LX_PE_OVG_TX0_PTFILL_COLOR, fill);
    cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 0);
    cglWriteRZReg1(LX_RZ_PP_USCALE, 4);
    cglWriteRZReg1(LX_RZ_PP_VSCALE, 4);
    send(Commands().constant(LX_VCNST_OVG_PAT_ORIGIN, {0.5f, 0.5f, 1}));
    struct Case {
        const char* name;
        uint32_t tiling;
        int (*tile)(int);  // -1 for the fill
    } const cases[] = {
        {"pad", 0, [](int t) { return std::clamp(t, 0, 3); }},
        {"repeat", 5, [](int t) { return ((t % 4) + 4) % 4; }},
        {"reflect", 10, [](int t) {
             const int m = ((t % 8) + 8) % 8;
             return m < 4 ? m : 7 - m;
         }},
        {"fill", 15, [](int t) { return t >= 0 && t < 4 ? t : -1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cglWriteRZReg1(LX_RZ_VG_MODE, 1 | c.tiling << 6);
        paintProgram(2, {0.25f, 0.25f});
        fillSurface();
        const std::vector<word32> got = pixels();
        for (uint32_t y = 0; y < 20; ++y)
            for (uint32_t x = 0; x < 20; ++x) {
                const int u = c.tile(int(x) - 8), v = c.tile(int(y) - 8);
                const uint32_t expected = u < 0 || v < 0 ? fill : texels[v * 4 + u];
                ASSERT_EQ(px(got, x, y), expected) << x << "," << y;
            }
    }
}

// The colour transform on the unpremultiplied paint: scale and bias with 3 fraction bits.
TEST_F(GpuDraws, TheColourTransformActsOnUnpremultipliedColours)
{
    const int32_t values[] = {4, 0, 8, 2, 12, -4, 8, 0};  // R x 0.5, G + 0.25, B x 1.5 - 0.5, A
    for (unsigned i = 0; i < 8; ++i)
        cglWritePEReg1(LX_PE_OVG_CTRANS_RSCALE + i, static_cast<word32>(values[i]));
    cglWritePEReg1(LX_PE_OVG_CTRANS_EN, 1);
    cglWritePEReg1(LX_PE_OVG_PREMALPHA_EN, 3);
    cglWriteRZReg1(LX_RZ_COLOR, rgba(100, 40, 80, 128));  // premultiplied (200, 80, 160) at alpha 128
    fillSurface();
    const double r = 200 * 0.5, g = 80 + 0.25 * 255, b = std::max(0.0, 160 * 1.5 - 0.5 * 255);
    const uint32_t expected = rgba(static_cast<uint32_t>(std::lround(r * 128 / 255)),
                                   static_cast<uint32_t>(std::lround(g * 128 / 255)),
                                   static_cast<uint32_t>(std::lround(b * 128 / 255)), 128);
    EXPECT_TRUE(near(pixels()[0], expected, 1));
}

TEST_F(GpuDraws, ThePaintProgramRefusesWhatItDoesNotKnow)
{
    matrix({1, 0, 0, 1, 0, 0});
    paintMatrix({1, 0, 0, 1, 0, 0});
    struct Case {
        const char* name;
        word32 control;
        std::vector<float> words;
        const char* error;
    } const cases[] = {
        {"a glyph set before its matrix", 24576, {0, 0, 1, 1}, "before its paint matrix"},
        {"a set beyond the glyph sets", 5u << 13, {0, 0, 1, 1}, "unknown bits"},
        {"an unknown kind", 3, {0, 0, 1, 1}, "unknown bits"},
        {"an unknown bit", 0x100, {0, 0, 1, 1}, "unknown bits"},
        {"a linear gradient of three words", 0, {0, 0, 1}, "3 data words instead of 4"},
        {"a pattern of four words", 2, {1, 1, 1, 1}, "4 data words instead of 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        paintProgram(c.control, c.words);
        expectOneError(c.error);
    }
    send(Commands().run(49, 0));
    expectOneError("without segment data");
}

}  // namespace
}  // namespace gputest
