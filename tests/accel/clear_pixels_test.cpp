// Surface clears on pixels: the GPU model carries out what the layer sends, and the test reads
// the surface back through the model's codec.
#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include <functional>
#include <initializer_list>
#include <limits>

#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vgsurfacefixture.h"

namespace {

using simgpu::Unit;
using vnq::test::VgSurfaceSpec;

struct Rect {
    int x, y, w, h;
    bool holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

class ClearPixels : public vnq::test::VgSurfaceTest {
protected:
    static void setClearColour(uint32_t rgba)
    {
        const VGfloat c[4] = {(rgba >> 24) / 255.0f, (rgba >> 16 & 255) / 255.0f, (rgba >> 8 & 255) / 255.0f,
                              (rgba & 255) / 255.0f};
        vgSetfv(VG_CLEAR_COLOR, 4, c);
    }

    // Clears OpenVG columns x .. x + w - 1 and rows y .. y + h - 1 to the clear colour.
    static void clear(const Rect& r)
    {
        const BBOXINFO box{VGuint(r.x), VGuint(r.x + r.w - 1), VGuint(r.y), VGuint(r.y + r.h - 1)};
        VGALFUNC_lx_clearsurface(&box);
    }

    static void clear(uint32_t rgba, const Rect& r)
    {
        setClearColour(rgba);
        clear(r);
    }

    void clearAll(uint32_t rgba) { clear(rgba, {0, 0, width, height}); }

    static void scissorTo(std::initializer_list<Rect> rects)
    {
        std::vector<VGint> v;
        for (const Rect& r : rects)
            v.insert(v.end(), {r.x, r.y, r.w, r.h});
        vgSetiv(VG_SCISSOR_RECTS, VGint(v.size()), v.data());
        vgSeti(VG_SCISSORING, VG_TRUE);
    }
};

struct ConfigCase {
    EGLint config;
    uint32_t background, colour;  // RGBA8888, exact in the configuration's format
};

constexpr uint32_t kMagenta = 0xFF00FFFF, kGreen = 0x00FF00FF, kWhite = 0xFFFFFFFF, kBlack = 0x000000FF;

const ConfigCase kConfigs[] = {
    {1, kGreen, kMagenta}, {3, kGreen, kMagenta},  {5, kGreen, kMagenta},
    {7, kGreen, kMagenta}, {13, kBlack, kWhite},   {15, kBlack, kWhite}, {17, kGreen, kMagenta},
};

TEST_F(ClearPixels, BoxHoldsTheNativeValueAndItsBandIsUntouched)
{
    for (const ConfigCase& c : kConfigs) {
        SCOPED_TRACE("configuration " + std::to_string(c.config));
        makeCurrent({c.config, 64, 48});
        clearAll(c.background);
        const Rect box{10, 20, 17, 9};
        clear(c.colour, box);
        const uint32_t inside = nativeOf(c.colour), outside = nativeOf(c.background);
        EXPECT_NE(inside, outside);
        for (int y = box.y - 1; y <= box.y + box.h; ++y)
            for (int x = box.x - 1; x <= box.x + box.w; ++x)
                ASSERT_EQ(native(x, y), box.holds(x, y) ? inside : outside) << "at (" << x << ", " << y << ")";
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

TEST_F(ClearPixels, ScissoredClearChangesExactlyTheUnionOfItsRectangles)
{
    // The second rectangle overlaps the first and reaches past the surface's right and top edges.
    const Rect a{4, 6, 20, 10}, b{16, 12, 100, 100};
    for (const ConfigCase& c : kConfigs) {
        SCOPED_TRACE("configuration " + std::to_string(c.config));
        makeCurrent({c.config, 64, 48});
        clearAll(c.background);
        scissorTo({a, b});
        clear(c.colour, {0, 0, width, height});
        vgFinish();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(storedNative(x, storedRow(y)), nativeOf(a.holds(x, y) || b.holds(x, y) ? c.colour : c.background))
                    << "at (" << x << ", " << y << ")";
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

// With scissoring on, rectangles wholly off the surface, or none at all, leave nothing to clear;
// with scissoring off again the whole surface is cleared.
TEST_F(ClearPixels, NothingIsClearedUntilAScissorRectangleIsVisible)
{
    for (EGLint config : {1, 17}) {
        SCOPED_TRACE("configuration " + std::to_string(config));
        makeCurrent({config, 64, 48});
        clearAll(kGreen);
        const struct {
            const char* what;
            std::function<void()> scissor;
            uint32_t everywhere;
        } steps[] = {
            {"off the surface", [] { scissorTo({{64, 0, 10, 10}, {-20, 5, 20, 10}, {0, 48, 64, 1}, {0, -3, 64, 3}}); },
             kGreen},
            {"no rectangles", [] { vgSetiv(VG_SCISSOR_RECTS, 0, nullptr); }, kGreen},
            {"scissoring off", [] { vgSeti(VG_SCISSORING, VG_FALSE); }, kMagenta},
        };
        for (const auto& step : steps) {
            SCOPED_TRACE(step.what);
            step.scissor();
            clear(kMagenta, {0, 0, width, height});
            vgFinish();
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(storedNative(x, storedRow(y)), nativeOf(step.everywhere)) << "at (" << x << ", " << y << ")";
        }
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

// Scissor rectangles reaching the ends of the 32-bit range clear their visible part and no more:
// sums such as x + width must not wrap.
TEST_F(ClearPixels, ExtremeScissorRectanglesClearTheirVisiblePartOnly)
{
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    makeCurrent({1, 64, 48});
    clearAll(kGreen);
    // Visible: columns 40-63 of rows 0-9, and rows 30-47 of columns 0-4. Off the surface: one
    // starting at the most negative x and one whose right edge would wrap past it.
    scissorTo({{40, 0, kMax, 10}, {-5, 30, 10, kMax}, {kMin, 20, 10, 5}, {kMin, 12, kMax, 3}});
    ASSERT_EQ(vgGetVectorSize(VG_SCISSOR_RECTS), 16);
    clear(kMagenta, {0, 0, width, height});
    const Rect a{40, 0, 24, 10}, b{0, 30, 5, 18};
    vgFinish();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(storedNative(x, storedRow(y)), nativeOf(a.holds(x, y) || b.holds(x, y) ? kMagenta : kGreen))
                << "at (" << x << ", " << y << ")";
}

TEST_F(ClearPixels, BottomRowsAreTheLastStoredRowsOfAWindowAndTheFirstOfAPbuffer)
{
    const struct {
        bool window;
        int firstChangedRow;
    } cases[] = {{true, 262}, {false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window ? "window" : "pbuffer");
        VgSurfaceSpec spec;
        spec.window = c.window;
        makeCurrent(spec);
        clearAll(kGreen);
        clear(kMagenta, {0, 0, 480, 10});
        vgFinish();
        for (int row = 0; row < 272; ++row)
            for (int x : {0, 239, 479}) {
                const bool changed = row >= c.firstChangedRow && row < c.firstChangedRow + 10;
                ASSERT_EQ(storedNative(x, row), nativeOf(changed ? kMagenta : kGreen)) << "stored row " << row;
            }
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

// On a premultiplied surface with one alpha bit, alpha below one half leaves a clear nothing at
// all: colour and alpha bit 0 by the fast way and by the scissored slow way alike. Above one
// half the colour is the premultiplied one with the alpha bit set.
TEST_F(ClearPixels, PremultipliedOneBitAlphaSurfaceStoresNothingBelowHalfAlpha)
{
    const struct {
        uint32_t colour, stored;  // RGBA8888 cleared, and what the pixels then hold
    } colours[] = {{0xFFFFFF66, 0x00000000}, {0xFFFFFF7F, 0x00000000},   // alpha 0.4 and 127 / 255
                   {0xFFFFFF80, 0x80808080}, {0xFFFFFF99, 0x99999999}};  // 128 / 255 and 0.6
    const Rect box{10, 20, 17, 9};
    for (EGLint config : {3, 19})
        for (bool scissored : {false, true})
            for (const auto& c : colours) {
                SCOPED_TRACE(testing::Message() << "configuration " << config << (scissored ? ", scissored" : "")
                                                << ", colour 0x" << std::hex << c.colour);
                VgSurfaceSpec spec{config, 64, 48};
                spec.alphaFormat = EGL_VG_ALPHA_FORMAT_PRE;
                makeCurrent(spec);
                ASSERT_TRUE(VGALVAL_lx740renderingmode & VGAL_RM_PREMULTIPLIED);
                clearAll(kGreen);
                if (scissored)
                    scissorTo({{0, 0, width, height}});
                clear(c.colour, box);
                const uint32_t inside = c.stored ? nativeOf(c.stored) : 0;
                for (int y = box.y - 1; y <= box.y + box.h; ++y)
                    for (int x = box.x - 1; x <= box.x + box.w; ++x)
                        ASSERT_EQ(native(x, y), box.holds(x, y) ? inside : nativeOf(kGreen))
                            << "at (" << x << ", " << y << ")";
                terminate();
                dpy = EGL_NO_DISPLAY;
            }
}

// The fast clear of a multisampled surface widens the multisample buffer's lines to four
// samples a pixel for the clear alone: every sample of the box takes the value, and the line
// length the rasterizer then draws with is the one from before, so a later scissored clear lands
// on its own pixels.
TEST_F(ClearPixels, MultisampledFastClearFillsFourSamplesAPixelAndRestoresTheLineLength)
{
    const Rect box{10, 20, 17, 9}, later{40, 5, 6, 30};
    for (EGLint config : {17, 23}) {
        SCOPED_TRACE("configuration " + std::to_string(config));
        makeCurrent({config, 64, 48});
        ASSERT_TRUE(PORTL_DrawingSurface()->multisample);
        clearAll(kGreen);
        vgFinish();
        const uint32_t lineFormat = gpu.reg(Unit::PE, LX_PE_OVG_CBUF2_FMT);
        ASSERT_EQ(lineFormat >> 16, uint32_t(width));
        gpu.clearLog();
        clear(kMagenta, box);
        vgFinish();
        for (int y = box.y - 1; y <= box.y + box.h; ++y)
            for (int x = box.x - 1; x <= box.x + box.w; ++x)
                for (int s = 0; s < 4; ++s)
                    ASSERT_EQ(storedSample(x, storedRow(y), s), nativeOf(box.holds(x, y) ? kMagenta : kGreen))
                        << "sample " << s << " at (" << x << ", " << y << ")";
        std::vector<uint32_t> formats;
        for (const auto& write : writes(Unit::PE))
            if (write.first == LX_PE_OVG_CBUF2_FMT)
                formats.push_back(write.second);
        EXPECT_EQ(formats, (std::vector<uint32_t>{(lineFormat & 0xFFFFu) | uint32_t(width) * 4 << 16, lineFormat}));
        EXPECT_EQ(gpu.reg(Unit::PE, LX_PE_OVG_CBUF2_FMT), lineFormat);

        scissorTo({later});
        clear(kWhite, {0, 0, width, height});
        vgFinish();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int s = 0; s < 4; ++s)
                    ASSERT_EQ(storedSample(x, storedRow(y), s),
                              nativeOf(later.holds(x, y) ? kWhite : box.holds(x, y) ? kMagenta : kGreen))
                        << "after the scissored clear, sample " << s << " at (" << x << ", " << y << ")";
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

// The vendor channel mask disables writes of its channels (R 8, G 4, B 2, A 1) in the fast and
// the scissored clear alike; set back to 0 it lets every channel be written again.
TEST_F(ClearPixels, ChannelMaskKeepsTheChannelsItDisables)
{
    const Rect box{10, 20, 17, 9};
    const struct {
        VGint mask;
        uint32_t inside;
    } steps[] = {{8 | 1, 0x11FFFF44}, {4 | 2, 0xFF2233FF}, {0, 0xFFFFFFFF}};
    for (bool scissored : {false, true}) {
        SCOPED_TRACE(scissored ? "scissored" : "fast");
        makeCurrent({7, 64, 48});
        for (const auto& step : steps) {
            SCOPED_TRACE("channel mask " + std::to_string(step.mask));
            vgSetiEXT(VG_EXT_CHANNEL_MASK, 0);
            vgSeti(VG_SCISSORING, VG_FALSE);
            clearAll(0x11223344);
            if (scissored)
                scissorTo({{0, 0, width, height}});
            vgSetiEXT(VG_EXT_CHANNEL_MASK, step.mask);
            clear(0xFFFFFFFF, box);
            for (int y = box.y - 1; y <= box.y + box.h; ++y)
                for (int x = box.x - 1; x <= box.x + box.w; ++x)
                    ASSERT_EQ(pixel(x, y), box.holds(x, y) ? step.inside : 0x11223344u)
                        << "at (" << x << ", " << y << ")";
        }
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

// The clear colour is taken into the surface's colour space, luminance and alpha format before
// it is stored, the same by the fast and the scissored way.
TEST_F(ClearPixels, ClearColourFollowsTheSurfaceColourSpaceAndAlphaFormat)
{
    const struct {
        const char* what;
        EGLint config, colourSpace, alphaFormat;
        VGfloat colour[4];
        uint32_t stored;  // RGBA8888 as read back
    } cases[] = {
        // sRGB 0.5 is linear 0.214: 55.
        {"linear RGBA8888", 7, EGL_VG_COLORSPACE_LINEAR, EGL_VG_ALPHA_FORMAT_NONPRE, {0.5f, 0.5f, 0.5f, 1}, 0x373737FF},
        // Green's luminance 0.7152 is sRGB 0.862: 220.
        {"sRGB luminance", 13, EGL_VG_COLORSPACE_sRGB, EGL_VG_ALPHA_FORMAT_NONPRE, {0, 1, 0, 1}, 0xDCDCDCFF},
        {"linear luminance", 13, EGL_VG_COLORSPACE_LINEAR, EGL_VG_ALPHA_FORMAT_NONPRE, {0, 1, 0, 1}, 0xB6B6B6FF},
        {"premultiplied RGBA8888", 7, EGL_VG_COLORSPACE_sRGB, EGL_VG_ALPHA_FORMAT_PRE, {1, 0.5f, 0, 0.4f}, 0x66330066},
        // Four-bit channels round 0.3 x 15 to 5, where 0.3 x 255 = 77 would keep 4.
        {"RGBA4444", 5, EGL_VG_COLORSPACE_sRGB, EGL_VG_ALPHA_FORMAT_NONPRE, {0.3f, 0.3f, 0.3f, 0.3f}, 0x55555555},
    };
    const Rect box{10, 20, 17, 9};
    for (const auto& c : cases)
        for (bool scissored : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (scissored ? ", scissored" : ""));
            VgSurfaceSpec spec{c.config, 64, 48};
            spec.colourSpace = c.colourSpace;
            spec.alphaFormat = c.alphaFormat;
            makeCurrent(spec);
            if (scissored)
                scissorTo({{0, 0, width, height}});
            vgSetfv(VG_CLEAR_COLOR, 4, c.colour);
            clear(box);
            EXPECT_EQ(pixel(box.x, box.y), c.stored);
            EXPECT_EQ(pixel(box.x + box.w - 1, box.y + box.h - 1), c.stored);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            terminate();
            dpy = EGL_NO_DISPLAY;
        }
}

// An image clear, or the whole-buffer clear of a fresh allocation, points the pixel engine at
// that buffer; the next surface clear, fast or scissored, must find its way back to the surface
// and leave the buffer as it was.
TEST_F(ClearPixels, SurfaceClearAfterAnImageOrBufferClearLandsOnTheSurface)
{
    const struct {
        bool imageClear;  // else the allocation's whole-buffer clear
        VGImageFormat format;
        int width, height, bpp;
    } buffers[] = {{true, VG_sRGB_565, 16, 8, 16}, {true, VG_A_1, 64, 8, 1},
                   {false, VG_sRGB_565, 8, 8, 16}, {false, VG_A_1, 24, 8, 1}};
    const Rect box{10, 20, 17, 9};
    for (EGLint config : {1, 17})
        for (const auto& b : buffers)
            for (bool scissored : {false, true}) {
                SCOPED_TRACE(testing::Message() << "configuration " << config << (b.imageClear ? ", image" : ", buffer")
                                                << " of " << b.width << " x " << b.bpp << " bits"
                                                << (scissored ? ", scissored" : ""));
                makeCurrent({config, 64, 48});
                clearAll(kGreen);
                if (scissored)
                    scissorTo({{0, 0, width, height}});
                ALbuffer image{b.width, b.height, b.width * b.bpp / 8, b.bpp, 0, 0, 0, nullptr};
                image.addr = VGALFUNC_VAlloc(b.width, b.height, b.bpp, 32, !b.imageClear, 1, 0);
                ASSERT_NE(image.addr, CGL_NO_ADDRESS);
                const size_t imageBytes = size_t(image.stride) * size_t(b.height);
                const uint8_t* imageMemory = gpu.gpuPointer(image.addr, imageBytes);
                ASSERT_TRUE(imageMemory);
                if (b.imageClear) {
                    const OVGcolor white{1, 1, 1, 1};
                    const BBOXINFO whole{0, VGuint(b.width - 1), 0, VGuint(b.height - 1)};
                    VGALFUNC_lx_clearimage(&image, b.format, &whole, &white);
                }

                clear(kMagenta, box);
                vgFinish();
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x)
                        ASSERT_EQ(storedNative(x, storedRow(y)), nativeOf(box.holds(x, y) ? kMagenta : kGreen))
                            << "at (" << x << ", " << y << ")";
                for (size_t i = 0; i < imageBytes; ++i)
                    ASSERT_EQ(imageMemory[i], 0xFF) << "buffer byte " << i;
                VGALFUNC_VFree(image.addr);
                terminate();
                dpy = EGL_NO_DISPLAY;
            }
}

TEST_F(ClearPixels, ScissoredClearOfARgb565Window)
{
    makeCurrent({1, 480, 272});
    clearAll(0x203040FF);
    scissorTo({{40, 30, 200, 120}, {180, 100, 400, 300}});
    clear(0xF08020FF, {0, 0, 480, 272});
    expectGoldenImage("scissored_clear_rgb565", image());
}

}  // namespace
