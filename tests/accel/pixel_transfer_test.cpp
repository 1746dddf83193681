// The clear, copy and pixel-transfer entry points on pixels through the GPU model, with the
// route each takes read from the device log: copy-engine entries, SPC rectangles, or neither
// (the software copy).
#include <VG/openvg.h>

#include <climits>
#include <memory>
#include <string>

#include "copy_test_support.h"
#include "memmanage/gmalloc.h"
#include "model/pixel_format.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"
#include "vg/al_lx740/vg_al_lx740_swpixel.h"
#include "vgsurfacefixture.h"

namespace gputest {
namespace {

using vnq::test::VgSurfaceSpec;

constexpr EGLint kRgb565 = 1, kRgba4444 = 5, kRgb565Multisampled = 17;

class Transfer : public CopyFixture<vnq::test::VgSurfaceTest> {
protected:
    std::vector<std::unique_ptr<ALbuffer>> buffers;
    std::vector<std::unique_ptr<OVGimage>> records;

    void TearDown() override
    {
        records.clear();
        buffers.clear();
        CopyFixture::TearDown();
    }

    // Ends this surface (its images and buffers with it) so that the next case can make its own.
    void nextSurface()
    {
        records.clear();
        buffers.clear();
        for (word32 a : taken)
            VGALFUNC_VFree(a);
        taken.clear();
        VGALFUNC_al_lx740_free_all_list(1);
        vgSeti(VG_SCISSORING, VG_FALSE);
        terminate();
        dpy = EGL_NO_DISPLAY;
    }

    // A root image of w x h pixels in work memory, rows of `stride` bytes (0: whole words).
    OVGimage* image(VGImageFormat format, int w, int h, int stride = 0)
    {
        int code, linear, pre, lum, bpp;
        VGALFUNC_TVGgetImageFormat(format, &code, &linear, &pre, &lum, &bpp);
        const GpuBuffer g = buffer(w, h, bpp, stride);
        std::memset(g.bytes(), 0, size_t(g.stride) * h);
        buffers.push_back(std::make_unique<ALbuffer>(ALbuffer{w, h, g.stride, bpp, g.addr, 0, 0, nullptr}));
        records.push_back(std::make_unique<OVGimage>());
        OVGimage* img = records.back().get();
        img->buffer = buffers.back().get();
        img->format = format;
        img->activeRect = {0, 0, w, h};
        return img;
    }

    // A child record sharing parent's buffer, at (x, y) of it.
    OVGimage* child(OVGimage* parent, int x, int y, int w, int h)
    {
        records.push_back(std::make_unique<OVGimage>(*parent));
        OVGimage* img = records.back().get();
        img->parent = parent;
        img->activeRect = {x, y, w, h};
        return img;
    }

    static int samples() { return PORTL_DrawingSurface()->multisample ? 4 : 1; }

    static GpuBuffer view(const OVGimage* img)
    {
        GpuBuffer b;
        b.addr = img->buffer->addr;
        b.width = img->buffer->width, b.height = img->buffer->height;
        b.bpp = img->buffer->bpp, b.stride = img->buffer->stride;
        return b;
    }

    // The buffer drawn into, as stored: the multisample buffer (samples) when there is one.
    GpuBuffer drawn() const
    {
        const ALsurface* sfc = PORTL_DrawingSurface();
        const ALbuffer* b = sfc->multisample ? sfc->multisample : sfc->back ? sfc->disp1 : sfc->disp0;
        GpuBuffer v;
        v.addr = b->addr;
        v.width = b->stride * 8 / b->bpp, v.height = b->height, v.bpp = b->bpp, v.stride = b->stride;
        return v;
    }

    // Every stored pixel (every sample) of the drawing buffer set from its stored position.
    void fillSurface(const std::function<uint32_t(int, int)>& value)
    {
        vgFinish();
        drawn().fill(value);
    }

    static std::vector<uint32_t> contents(const GpuBuffer& b)
    {
        std::vector<uint32_t> out;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                out.push_back(b.get(x, y));
        return out;
    }

    static void setClearColour(float r, float g, float b, float a)
    {
        const VGfloat c[4] = {r, g, b, a};
        vgSetfv(VG_CLEAR_COLOR, 4, c);
    }

    static void scissorTo(std::vector<VGint> rects)
    {
        vgSetiv(VG_SCISSOR_RECTS, VGint(rects.size()), rects.data());
        vgSeti(VG_SCISSORING, VG_TRUE);
    }

    size_t spcRectangles() const { return rectangles().size(); }
    size_t engineCopies() const { return entries().size(); }
};

TEST_F(Transfer, ClearIsCutToTheColourBufferAndOutsideQueuesNothing)
{
    makeCurrent({kRgb565, 64, 48});
    fillSurface([](int, int) { return 0u; });
    setClearColour(1, 0, 0, 1);
    const OVGrect outside[] = {{64, 0, 10, 10}, {-20, 5, 20, 5}, {0, 48, 5, 5}, {0, -9, 5, 9}, {INT_MIN, 0, 5, 5}};
    for (const OVGrect& r : outside) {
        gpu.clearLog();
        const word32 queued = VGALVAL_lx740cmdbuffer_count;
        EXPECT_EQ(VGHAL_ALclear(&r), 0);
        EXPECT_EQ(VGALVAL_lx740cmdbuffer_count, queued) << r.x << ", " << r.y;
        EXPECT_TRUE(gpu.log().empty());
    }
    // Overhanging, with a size whose end does not fit in 32 bits.
    const OVGrect over{50, 40, INT_MAX, INT_MAX};
    EXPECT_EQ(VGHAL_ALclear(&over), 0);
    const uint32_t red = nativeOf(0xFF0000FF);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(native(x, y), x >= 50 && y >= 40 ? red : 0u) << x << ", " << y;
}

// A 10-wide child at column 10 of a 30-wide image: a clear is cut at what the child holds after
// its start, never into the neighbours.
TEST_F(Transfer, ClearImageStaysInsideTheChild)
{
    makeCurrent({kRgb565, 64, 48});
    OVGimage* root = image(VG_sRGBA_8888, 30, 4);
    OVGimage* c = child(root, 10, 0, 10, 4);
    const GpuBuffer b = view(root);
    setClearColour(1, 1, 1, 1);
    struct Case {
        OVGrect rect;
        int x0, x1, y0, y1;  // cleared buffer columns and rows, half open
    } const cases[] = {
        {{5, 0, 10, 4}, 15, 20, 0, 4},
        {{-3, 1, 5, 2}, 10, 12, 1, 3},
        {{10, 0, 5, 4}, 0, 0, 0, 0},
        {{12, 0, 5, 4}, 0, 0, 0, 0},
        {{0, 4, 5, 4}, 0, 0, 0, 0},
        {{INT_MAX, 0, INT_MAX, 4}, 0, 0, 0, 0},
        {{-INT_MAX, 0, INT_MAX, 4}, 0, 0, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.rect.x) + ", " + std::to_string(k.rect.y));
        b.fill([](int, int) { return 0x12345678u; });
        EXPECT_EQ(VGHAL_ALclearImage(c, &k.rect), 0);
        vgFinish();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool cleared = x >= k.x0 && x < k.x1 && y >= k.y0 && y < k.y1;
                ASSERT_EQ(b.get(x, y), cleared ? 0xFFFFFFFFu : 0x12345678u) << x << ", " << y;
            }
    }
}

TEST_F(Transfer, CopyImageOfSubByteRegionsOfOneImageGoesThroughATemporaryCopy)
{
    makeCurrent({kRgb565, 64, 48});
    for (VGImageFormat format : {VG_A_1, VG_A_4}) {
        SCOPED_TRACE(format);
        OVGimage* img = image(format, 32, 8);
        const GpuBuffer b = view(img);
        b.fill([&](int x, int y) { return pattern(x, y, b.bpp); });
        const std::vector<uint32_t> before = contents(b);
        gpu.clearLog();
        const OVGrect rect{0, 0, 8, 4};
        EXPECT_EQ(VGHAL_ALcopyImage(img, 6, 2, img, &rect, 0), 0);
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                const bool moved = x >= 6 && x < 14 && y >= 2 && y < 6;
                ASSERT_EQ(b.get(x, y), before[size_t(moved ? y - 2 : y) * b.width + (moved ? x - 6 : x)])
                    << x << ", " << y;
            }
        EXPECT_EQ(engineCopies(), 1u) << "the temporary copy";
        EXPECT_EQ(spcRectangles(), 1u);
    }
}

// sRGBA_8888, its premultiplied and its linear twin share one format code: copies between
// them convert, they are not raw.
TEST_F(Transfer, CopyImageBetweenTwinsOfOneFormatCodeConverts)
{
    makeCurrent({kRgb565, 64, 48});
    struct Case {
        VGImageFormat src, dst;
        uint32_t in, out;
    } const cases[] = {
        {VG_sRGBA_8888, VG_sRGBA_8888, 0x80402010u, 0x80402010u},
        {VG_sRGBA_8888_PRE, VG_sRGBA_8888, 0x40201080u, 0x7F3F1F80u},  // c 255 / a, truncated
        {VG_sRGBA_8888, VG_lRGBA_8888, 0xFF0000FFu, 0xFF0000FFu},
        {VG_sRGBA_8888, VG_lRGBA_8888, 0x808080FFu, 0x373737FFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.src) + " to " + std::to_string(c.dst) + " of " + std::to_string(c.in));
        OVGimage* src = image(c.src, 8, 2);
        OVGimage* dst = image(c.dst, 8, 2);
        view(src).fill([&](int, int) { return c.in; });
        gpu.clearLog();
        const OVGrect rect{0, 0, 8, 2};
        EXPECT_EQ(VGHAL_ALcopyImage(dst, 0, 0, src, &rect, 0), 0);
        EXPECT_EQ(view(dst).get(3, 1), c.out);
        EXPECT_EQ(engineCopies() > 0, c.src == c.dst);
    }
}

TEST_F(Transfer, TemporaryBufferThatCannotBeHadCopiesNothing)
{
    makeCurrent({kRgb565, 64, 48});
    OVGimage* img = image(VG_A_4, 32, 8);
    const GpuBuffer b = view(img);
    b.fill([&](int x, int y) { return pattern(x, y, 4); });
    fillSurface([](int x, int y) { return pattern(x, y, 16); });
    const std::vector<uint32_t> held = contents(b), surface = contents(drawn());
    scissorTo({0, 0, 64, 48});
    const OVGrect rect{0, 0, 8, 4};
    gpu.clearLog();
    gmFailBlockAllocations(1, 2);  // the allocation and its retry after the deferred frees
    EXPECT_EQ(VGHAL_ALcopyImage(img, 6, 2, img, &rect, 0), VG_OUT_OF_MEMORY_ERROR);
    gmFailBlockAllocations(1, 2);
    EXPECT_EQ(VGHAL_ALcopyPixels(3, 3, &rect), VG_OUT_OF_MEMORY_ERROR);
    gmFailBlockAllocations(0, 0);
    EXPECT_EQ(contents(b), held);
    EXPECT_EQ(contents(drawn()), surface);
    EXPECT_EQ(spcRectangles() + engineCopies(), 0u);
}

TEST_F(Transfer, ReadPixelsOfAFlippedWindowReturnTheLastStoredRowFirst)
{
    makeCurrent({kRgb565, 16, 8});
    ASSERT_EQ(VGALVAL_surface_flip, 1);
    fillSurface([](int x, int y) { return pattern(x, y, 16); });
    gpu.clearLog();
    std::vector<uint16_t> data(16 * 8);
    const OVGrect rect{0, 0, 16, 8};
    EXPECT_EQ(VGHAL_ALreadPixels(data.data(), 32, VG_sRGB_565, &rect), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(data[size_t(y) * 16 + x], pattern(x, 7 - y, 16)) << x << ", " << y;
    EXPECT_EQ(spcRectangles() + engineCopies(), 0u) << "a software transfer";
}

TEST_F(Transfer, WritePixelsWithScissoringAndNoRectanglesWritesNothing)
{
    makeCurrent({kRgb565, 16, 8});
    fillSurface([](int, int) { return 0x1234u; });
    vgSeti(VG_SCISSORING, VG_TRUE);
    const std::vector<uint16_t> data(16 * 8, 0xFFFF);
    const OVGrect rect{0, 0, 16, 8};
    gpu.clearLog();
    EXPECT_EQ(VGHAL_ALwritePixels(data.data(), 32, VG_sRGB_565, &rect), 0);
    EXPECT_TRUE(gpu.log().empty());
    for (uint32_t v : contents(drawn()))
        ASSERT_EQ(v, 0x1234u);
}

TEST_F(Transfer, GetAndSetImageOfAPremultipliedImageCopyBytesButClampColourToAlpha)
{
    makeCurrent({kRgb565, 16, 8});
    OVGimage* img = image(VG_sRGBA_8888_PRE, 4, 2);
    // RGBA8888 with R in the high byte: the second and fifth pixels have colour above alpha.
    const uint32_t in[8] = {0x10203040, 0x90203040, 0x00000000, 0xFFFFFFFF,
                            0x01020380, 0x20E01010, 0x7F7F7F7F, 0x11111110};
    auto clamped = [](uint32_t p) {
        const uint32_t a = p & 0xFF;
        uint32_t out = a;
        for (int s = 24; s >= 8; s -= 8)
            out |= std::min(p >> s & 0xFF, a) << s;
        return out;
    };
    const OVGrect rect{0, 0, 4, 2};
    EXPECT_EQ(VGHAL_ALsetImage(img, in, 16, VG_sRGBA_8888_PRE, &rect), 0);
    const GpuBuffer b = view(img);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(b.get(i % 4, i / 4), clamped(in[i])) << i;
    uint32_t out[8] = {};
    gpu.clearLog();
    EXPECT_EQ(VGHAL_ALgetImage(img, out, 16, VG_sRGBA_8888_PRE, &rect), 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i], clamped(in[i])) << i;
    EXPECT_EQ(spcRectangles() + engineCopies(), 0u);
}

// Colour 58 at alpha 187 premultiplies to 42.53: 43 rounded (nibble 3 of a 4444 surface), 42
// truncated (nibble 2).
TEST_F(Transfer, TransfersRoundThePremultiplicationAndSetPixelsBySoftwareTruncates)
{
    makeCurrent({kRgba4444, 16, 8, true, EGL_VG_ALPHA_FORMAT_PRE});
    const uint32_t colour = 0x3A3A3ABBu;  // 58, 58, 58, 187
    const OVGrect one{0, 0, 1, 1};
    EXPECT_EQ(VGHAL_ALwritePixels(&colour, 4, VG_sRGBA_8888, &one), 0);
    OVGimage* img = image(VG_sRGBA_8888, 1, 1);
    view(img).set(0, 0, colour);
    gpu.clearLog();
    EXPECT_EQ(VGHAL_ALsetPixels(1, 0, img, &one), 0);
    EXPECT_EQ(spcRectangles() + engineCopies(), 0u) << "set pixels by the software copy";
    EXPECT_EQ(pixel(0, 0) >> 24, 3u * 17u);
    EXPECT_EQ(pixel(1, 0) >> 24, 2u * 17u);
    EXPECT_EQ(pixel(0, 0) & 0xFF, 187u / 17u * 17u);
}

struct SetPixelsRoute {
    const char* name;
    VgSurfaceSpec spec;
    bool scissor;
    size_t engine;  // copy-engine copies expected; SPC rectangles otherwise
};

TEST_F(Transfer, SetPixelsRoutesAndPixels)
{
    const SetPixelsRoute cases[] = {
        {"flipped window", {kRgb565, 40, 24}, false, 0},
        {"pbuffer of the image's layout", {kRgb565, 40, 24, false}, false, 1},
        {"scissored", {kRgb565, 40, 24}, true, 0},
        {"multisampled", {kRgb565Multisampled, 40, 24}, false, 0},
        {"multisampled and scissored", {kRgb565Multisampled, 40, 24}, true, 0},
    };
    for (const SetPixelsRoute& c : cases) {
        SCOPED_TRACE(c.name);
        makeCurrent(c.spec);
        fillSurface([](int, int) { return 0u; });
        OVGimage* img = image(VG_sRGB_565, 16, 8);
        view(img).fill([](int x, int y) { return pattern(x, y, 16) | 1u; });
        if (c.scissor)
            scissorTo({0, 0, 10, 24, 12, 5, 40, 2});
        auto inside = [&](int x, int y) { return !c.scissor || x < 10 || (x >= 12 && y >= 5 && y < 7); };
        gpu.clearLog();
        const OVGrect rect{2, 1, 12, 6};
        EXPECT_EQ(VGHAL_ALsetPixels(5, 3, img, &rect), 0);
        EXPECT_EQ(engineCopies(), c.engine);
        EXPECT_EQ(spcRectangles() > 0, c.engine == 0);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool copied = x >= 5 && x < 17 && y >= 3 && y < 9 && inside(x, y);
                ASSERT_EQ(native(x, y), copied ? pattern(x - 5 + 2, y - 3 + 1, 16) | 1u : 0u) << x << ", " << y;
            }
        nextSurface();
    }
}

struct CopyPixelsCase {
    const char* name;
    EGLint config;
    bool scissor;
    size_t engine;
    bool spc;
};

TEST_F(Transfer, CopyPixelsOverlappingScissoredAndMultisampled)
{
    const CopyPixelsCase cases[] = {
        {"overlapping", kRgb565, false, 1, false},
        {"scissored, from a temporary copy", kRgb565, true, 1, true},
        {"multisampled", kRgb565Multisampled, false, 1, false},
        {"multisampled and scissored", kRgb565Multisampled, true, 0, false},
    };
    for (const CopyPixelsCase& c : cases) {
        SCOPED_TRACE(c.name);
        makeCurrent({c.config, 40, 24});
        // Every sample of a pixel the same, so that the resolve gives it back.
        const int n = samples();
        fillSurface([&](int x, int y) { return pattern(x / n, y, 16); });
        std::vector<uint32_t> before(40 * 24);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 40; ++x)
                before[size_t(y) * 40 + x] = native(x, y);
        if (c.scissor)
            scissorTo({0, 0, 12, 24, 14, 6, 40, 3});
        auto inside = [&](int x, int y) { return !c.scissor || x < 12 || (x >= 14 && y >= 6 && y < 9); };
        gpu.clearLog();
        const OVGrect rect{2, 1, 20, 12};
        EXPECT_EQ(VGHAL_ALcopyPixels(5, 3, &rect), 0);
        if (c.engine)
            EXPECT_EQ(engineCopies(), c.engine);
        else
            EXPECT_GT(engineCopies(), 2u) << "a temporary copy and one entry a span";
        EXPECT_EQ(spcRectangles() > 0, c.spc);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool copied = x >= 5 && x < 25 && y >= 3 && y < 15 && inside(x, y);
                const uint32_t expected = copied ? before[size_t(y - 3 + 1) * 40 + x - 5 + 2] : before[size_t(y) * 40 + x];
                ASSERT_EQ(native(x, y), expected) << x << ", " << y;
            }
        nextSurface();
    }
}

// The display server's screen copy: the whole flipped 480 x 272 565 window into a 565 image.
TEST_F(Transfer, GetPixelsOfTheWholeFlippedWindowEqualsTheScreen)
{
    makeCurrent({kRgb565, 480, 272});
    fillSurface([](int x, int y) { return pattern(x, y, 16); });
    OVGimage* img = image(VG_sRGB_565, 480, 272);
    gpu.clearLog();
    const OVGrect rect{0, 0, 480, 272};
    EXPECT_EQ(VGHAL_ALgetPixels(img, 0, 0, &rect), 0);
    EXPECT_EQ(spcRectangles(), 1u);
    EXPECT_EQ(rectangles()[0][0], CGL_SPC_RECT | CGL_SPC_RECT_FLIP);
    const GpuBuffer b = view(img);
    for (int y = 0; y < 272; ++y)
        for (int x = 0; x < 480; ++x)
            ASSERT_EQ(b.get(x, y), native(x, y)) << x << ", " << y;
}

struct GetPixelsRoute {
    const char* name;
    VgSurfaceSpec spec;
    VGImageFormat format;
    int imageWidth, lineBytes;
    size_t engine;
    bool lineByLine;
};

TEST_F(Transfer, GetPixelsRoutes)
{
    const GetPixelsRoute cases[] = {
        {"pbuffer, same layout", {kRgb565, 32, 16, false}, VG_sRGB_565, 20, 0, 1, false},
        {"pbuffer, other layout", {kRgb565, 32, 16, false}, VG_sRGBA_8888, 20, 0, 0, false},
        {"window, lines of 24 pixels", {kRgb565, 32, 16}, VG_sRGB_565, 20, 48, 0, false},
        {"window, lines of 20 pixels", {kRgb565, 32, 16}, VG_sRGB_565, 20, 40, 0, true},
        {"multisampled pbuffer", {kRgb565Multisampled, 32, 16, false}, VG_sRGB_565, 20, 0, 2, false},
    };
    for (const GetPixelsRoute& c : cases) {
        SCOPED_TRACE(c.name);
        makeCurrent(c.spec);
        const int n = samples();
        fillSurface([&](int x, int y) { return pattern(x / n, y, 16); });
        OVGimage* img = image(c.format, c.imageWidth, 8, c.lineBytes);
        gpu.clearLog();
        const OVGrect rect{3, 2, 10, 5};
        EXPECT_EQ(VGHAL_ALgetPixels(img, 1, 1, &rect), 0);
        EXPECT_EQ(engineCopies(), c.engine);
        const auto r = rectangles();
        EXPECT_EQ(r.size(), c.engine ? 0u : c.lineByLine ? 5u : 1u);
        const GpuBuffer b = view(img);
        const simgpu::PixelFormat& screen = *simgpu::pixelFormat(VGALVAL_surface_format_lx);
        const simgpu::PixelFormat& held = *simgpu::pixelFormat(VGALFUNC_TVGgetLXImageFormat(c.format));
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 10; ++i) {
                const uint32_t colour = simgpu::unpackColour(screen, native(3 + i, 2 + j));
                ASSERT_EQ(simgpu::unpackColour(held, b.get(1 + i, 1 + j)), colour) << i << ", " << j;
            }
        nextSurface();
    }
}

}  // namespace
}  // namespace gputest
