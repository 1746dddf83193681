// The SPC copies and the textured-rectangle copy on pixels through the GPU model: conversions
// against the pixel engine's formulas and the loaded gamma tables, blocks, mirrored rows,
// line-by-line destinations, scissor rectangles and the tiling modes.
#include <VG/openvg.h>

#include <cmath>
#include <functional>
#include <string>

#include "copy_test_support.h"
#include "model/pixel_format.h"
#include "vg/al_lx740/vg_al_lx740_color.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"
#include "vg/al_lx740/vg_al_lx740_swpixel.h"
#include "vgsurfacefixture.h"

namespace gputest {
namespace {

using Rgba = uint32_t;  // R in bits 31-24, alpha in 7-0

uint32_t channel(Rgba c, int i)
{
    return c >> (24 - 8 * i) & 0xFFu;
}

Rgba rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

class SpcPixels : public CopyFixture<vnq::test::VgSurfaceTest> {
protected:
    void SetUp() override
    {
        CopyFixture::SetUp();
        makeCurrent({1, 64, 48});
    }

    // A descriptor side for a buffer holding an image of an OpenVG format.
    static VGALtransferside imageSide(const GpuBuffer& b, VGImageFormat f, int x = 0, int y = 0, int w = -1,
                                      int h = -1)
    {
        VGALtransferside s = side(b, VGALFUNC_TVGgetLXImageFormat(f), 0, x, y, w, h);
        int bpp;
        VGALFUNC_TVGgetImageFormat(f, &s.format, &s.linear, &s.pre, &s.luminance, &bpp);
        return s;
    }

    static const simgpu::PixelFormat& codec(VGImageFormat f)
    {
        return *simgpu::pixelFormat(VGALFUNC_TVGgetLXImageFormat(f));
    }
};

struct Conversion {
    const char* name;
    VGImageFormat src, dst;
    int srcBpp, dstBpp;
    std::function<Rgba(Rgba)> expected;  // the destination colour of a decoded source colour
};

uint32_t unpremultiplied(uint32_t c, uint32_t a)
{
    return a == 0 ? 0 : std::min(c, a) * 255 / a;
}

// The weighted sum in 11 fraction bits, rounded as the software pixel path rounds it.
uint32_t luminance(uint32_t r, uint32_t g, uint32_t b)
{
    return (435 * r + 1464 * g + 147 * b + 1023) >> 11;
}

const Conversion kConversions[] = {
    {"565 to 8888", VG_sRGB_565, VG_sRGBA_8888, 16, 32, [](Rgba c) { return c; }},
    {"8888 to 565", VG_sRGBA_8888, VG_sRGB_565, 32, 16, [](Rgba c) { return c; }},
    {"8888_PRE to non-premultiplied", VG_sRGBA_8888_PRE, VG_sRGBA_8888, 32, 32,
     [](Rgba c) {
         const uint32_t a = channel(c, 3);
         return rgba(unpremultiplied(std::min(channel(c, 0), a), a), unpremultiplied(std::min(channel(c, 1), a), a),
                     unpremultiplied(std::min(channel(c, 2), a), a), a);
     }},
    {"sRGB to linear", VG_sRGBA_8888, VG_lRGBA_8888, 32, 32,
     [](Rgba c) { return rgba(itable[channel(c, 0)], itable[channel(c, 1)], itable[channel(c, 2)], channel(c, 3)); }},
    {"sRGB to sL_8", VG_sRGBA_8888, VG_sL_8, 32, 8,
     [](Rgba c) {
         const uint32_t l = gtable[luminance(itable[channel(c, 0)], itable[channel(c, 1)], itable[channel(c, 2)])];
         return rgba(l, l, l, 255);
     }},
    {"sRGB to lL_8", VG_sRGBA_8888, VG_lL_8, 32, 8,
     [](Rgba c) {
         const uint32_t l = luminance(itable[channel(c, 0)], itable[channel(c, 1)], itable[channel(c, 2)]);
         return rgba(l, l, l, 255);
     }},
    {"one class, other channel order", VG_sRGBA_8888, VG_sBGRA_8888, 32, 32, [](Rgba c) { return c; }},
    {"4444 in two orders", VG_sRGBA_4444, VG_sARGB_4444, 16, 16, [](Rgba c) { return c; }},
};

TEST_F(SpcPixels, ConversionsFollowThePixelEngineFormulasAndTables)
{
    for (const Conversion& c : kConversions) {
        SCOPED_TRACE(c.name);
        const GpuBuffer src = buffer(8, 8, c.srcBpp), dst = buffer(8, 8, c.dstBpp);
        ASSERT_NE(src.addr, CGL_NO_ADDRESS);
        ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
        src.fill([&](int x, int y) { return pattern(x, y, c.srcBpp); });
        dst.fill([](int, int) { return 0u; });
        describe(imageSide(src, c.src), imageSide(dst, c.dst));
        const OVGrect rect{0, 0, 8, 8};
        VGALFUNC_lx_copy_spc(0, 0, &rect);
        const simgpu::PixelFormat &in = codec(c.src), &out = codec(c.dst);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const uint32_t expected = simgpu::packColour(out, c.expected(simgpu::unpackColour(in, src.get(x, y))));
                ASSERT_EQ(dst.get(x, y), expected) << "at (" << x << ", " << y << ") from " << std::hex << src.get(x, y);
            }
    }
}

TEST_F(SpcPixels, WideDestinationInTwoBlockColumns)
{
    const GpuBuffer src = buffer(3000, 10, 16), dst = buffer(3104, 10, 16);
    ASSERT_NE(src.addr, CGL_NO_ADDRESS);
    ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
    src.fill([](int x, int y) { return pattern(x, y, 16); });
    dst.fill([](int, int) { return 0u; });
    describe(imageSide(src, VG_sRGB_565), imageSide(dst, VG_sRGB_565));
    gpu.clearLog();
    const OVGrect rect{0, 0, 3000, 10};
    VGALFUNC_lx_copy_spc(100, 0, &rect);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < dst.width; ++x)
            ASSERT_EQ(dst.get(x, y), x >= 100 && x < 3100 ? pattern(x - 100, y, 16) : 0u) << x << ", " << y;
    EXPECT_EQ(rectangles().size(), 2u);
}

// OpenVG row r of a flipped buffer of h rows is stored in row h - 1 - r.
int stored(int row, int flipped, int height)
{
    return flipped ? height - 1 - row : row;
}

TEST_F(SpcPixels, FlippedBuffersKeepOpenVGRows)
{
    const GpuBuffer src = buffer(16, 12, 16), dst = buffer(16, 12, 16);
    ASSERT_NE(src.addr, CGL_NO_ADDRESS);
    ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
    src.fill([](int x, int y) { return pattern(x, y, 16); });
    for (int flips = 0; flips < 4; ++flips) {
        const int sf = flips & 1, df = flips >> 1;
        SCOPED_TRACE("source flipped " + std::to_string(sf) + ", destination flipped " + std::to_string(df));
        dst.fill([](int, int) { return 0u; });
        gpu.clearLog();
        describe(imageSide(src, VG_sRGB_565), imageSide(dst, VG_sRGB_565));
        VGALVAL_src_flip = sf, VGALVAL_dst_flip = df;
        const OVGrect rect{1, 2, 5, 3};
        VGALFUNC_lx_copy_spc(4, 1, &rect);
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 5; ++i)
                ASSERT_EQ(dst.get(4 + i, stored(1 + j, df, 12)), src.get(1 + i, stored(2 + j, sf, 12)))
                    << "OpenVG row " << 1 + j << " column " << 4 + i;
        ASSERT_EQ(rectangles().size(), 1u);
        EXPECT_EQ(rectangles()[0][0] & CGL_SPC_RECT_FLIP, sf != df ? CGL_SPC_RECT_FLIP : 0u);
    }
}

struct LineCase {
    const char* name;
    int dstWidth, dx;
};

TEST_F(SpcPixels, LineByLineIntoOddLinesAndPast2048)
{
    const LineCase cases[] = {
        {"20 pixels a line", 20, 3},
        {"rdx 2060 on lines of 2100", 2100, 2060},
        {"crossing x 2048 on lines of 2100", 2100, 2040},
    };
    const GpuBuffer src = buffer(40, 8, 16);
    ASSERT_NE(src.addr, CGL_NO_ADDRESS);
    src.fill([](int x, int y) { return pattern(x, y, 16); });
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        const GpuBuffer dst = buffer(c.dstWidth, 6, 16, c.dstWidth * 2);
        ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
        dst.fill([](int, int) { return 0u; });
        describe(imageSide(src, VG_sRGB_565), imageSide(dst, VG_sRGB_565));
        const OVGrect rect{2, 1, 16, 4};
        VGALFUNC_lx_copy_spc_line_by_line(c.dx, 1, &rect);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < dst.width; ++x) {
                const bool inside = x >= c.dx && x < c.dx + 16 && y >= 1 && y < 5;
                ASSERT_EQ(dst.get(x, y), inside ? pattern(x - c.dx + 2, y, 16) : 0u) << x << ", " << y;
            }
    }
}

TEST_F(SpcPixels, ScissoredCopyWritesTheUnionOfThreeRectangles)
{
    const int scissor[] = {0, 0, 10, 10, 8, 6, 20, 5, 30, 20, 30, 30};
    vgSetiv(VG_SCISSOR_RECTS, 12, scissor);
    vgSeti(VG_SCISSORING, VG_TRUE);
    auto inside = [](int x, int y) {
        return (x < 10 && y < 10) || (x >= 8 && x < 28 && y >= 6 && y < 11) || (x >= 30 && y >= 20);
    };
    const GpuBuffer src = buffer(40, 30, 16), dst = buffer(64, 48, 16);
    ASSERT_NE(src.addr, CGL_NO_ADDRESS);
    ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
    src.fill([](int x, int y) { return pattern(x, y, 16); });
    for (int df = 0; df < 2; ++df) {
        SCOPED_TRACE(df ? "flipped surface" : "surface stored bottom-up");
        dst.fill([](int, int) { return 0u; });
        describe(imageSide(src, VG_sRGB_565), imageSide(dst, VG_sRGB_565));
        VGALVAL_dst_flip = df;
        const OVGrect rect{0, 0, 40, 30};
        VGALFUNC_lx_copy_spc_scissor(5, 4, &rect);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const bool copied = x >= 5 && x < 45 && y >= 4 && y < 34 && inside(x, y);
                ASSERT_EQ(dst.get(x, stored(y, df, 48)), copied ? pattern(x - 5, y - 4, 16) : 0u) << x << ", " << y;
            }
    }
}

struct TilingCase {
    VGTilingMode mode;
    std::function<int(int, int)> texel;  // texel index of position p of an axis of n texels
};

int reflect(int p, int n)
{
    const int period = 2 * n;
    const int m = ((p % period) + period) % period;
    return m < n ? m : period - 1 - m;
}

TEST_F(SpcPixels, TexturedRectangleInEachTilingMode)
{
    const VGfloat fill[4] = {0.5f, 0.25f, 1.0f, 1.0f};
    vgSetfv(VG_TILE_FILL_COLOR, 4, fill);
    const TilingCase cases[] = {
        {VG_TILE_PAD, [](int p, int n) { return std::clamp(p, 0, n - 1); }},
        {VG_TILE_REPEAT, [](int p, int n) { return ((p % n) + n) % n; }},
        {VG_TILE_REFLECT, reflect},
        {VG_TILE_FILL, [](int p, int n) { return p >= 0 && p < n ? p : -1; }},
    };
    // A 6 x 4 child image at (1, 1) of an 8 x 6 565 buffer, into a 20 x 12 8888 buffer.
    const GpuBuffer src = buffer(8, 6, 16), dst = buffer(24, 12, 32);
    ASSERT_NE(src.addr, CGL_NO_ADDRESS);
    ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
    src.fill([](int x, int y) { return pattern(x, y, 16); });
    const simgpu::PixelFormat &in = codec(VG_sRGB_565), &out = codec(VG_sRGBA_8888);
    // The fill colour is stored as the 565 source would store it.
    const Rgba filled = simgpu::unpackColour(in, simgpu::packColour(in, rgba(128, 64, 255, 255)));
    for (const TilingCase& c : cases) {
        SCOPED_TRACE(c.mode);
        dst.fill([](int, int) { return 0u; });
        describe(imageSide(src, VG_sRGB_565, 1, 1, 6, 4), imageSide(dst, VG_sRGBA_8888));
        VGALVAL_src_format_vg = VG_sRGB_565;
        VGALFUNC_lx_copy_xpt(20, 12, -3, -2, c.mode);
        vgFinish();
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 24; ++x) {
                const int u = c.texel(x - 3, 6), v = c.texel(y - 2, 4);
                const Rgba colour = u < 0 || v < 0 ? filled : simgpu::unpackColour(in, src.get(1 + u, 1 + v));
                const uint32_t expected = x < 20 ? simgpu::packColour(out, colour) : 0u;
                ASSERT_EQ(dst.get(x, y), expected) << "at (" << x << ", " << y << ")";
            }
    }
}

}  // namespace
}  // namespace gputest
