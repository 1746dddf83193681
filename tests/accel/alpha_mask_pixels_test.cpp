// The alpha mask through the public entry points, on the GPU model, on surfaces with an 8-bit
// mask (RGBA8888) and a 4-bit mask (RGB565): vgMask's clears, fills and the four combining
// operations with images and mask layers, paths rendered into the mask and then drawn through
// it, the mask layers, and the rectangles whose arithmetic passes the 32-bit range.
#include <VG/openvg.h>
#include <VG/vgu.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vg/common/vg_frame.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_share.h"
#include "vgsurfacefixture.h"

namespace {

using vnq::test::VgSurfaceSpec;

constexpr EGLint kRgba8888Mask8 = 8, kRgb565Mask4 = 2, kRgba8888NoMask = 7, kLuminance1Mask1 = 16,
                 kRgb565Mask4Multisampled = 18;
constexpr int kWidth = 64, kHeight = 48;

struct Config {
    const char* name;
    EGLint id;
};
const Config kMaskConfigs[] = {{"8-bit mask", kRgba8888Mask8}, {"4-bit mask", kRgb565Mask4}};

using Formula = std::function<uint32_t(uint32_t m, uint32_t c)>;  // 8-bit mask m and coverage c

uint32_t product(uint32_t a, uint32_t b)
{
    return static_cast<uint32_t>(std::lround(a * b / 255.0));
}

struct Operation {
    const char* name;
    VGMaskOperation op;
    Formula result;
};
const Operation kOperations[] = {
    {"set", VG_SET_MASK, [](uint32_t, uint32_t c) { return c; }},
    {"union", VG_UNION_MASK, [](uint32_t m, uint32_t c) { return m + c - product(m, c); }},
    {"intersect", VG_INTERSECT_MASK, [](uint32_t m, uint32_t c) { return product(m, c); }},
    {"subtract", VG_SUBTRACT_MASK, [](uint32_t m, uint32_t c) { return product(m, 255 - c); }},
};

class AlphaMask : public vnq::test::VgSurfaceTest {
protected:
    VGPaint red = VG_INVALID_HANDLE;

    // A black surface of the configuration, a red fill paint, a full mask.
    void start(EGLint config, bool window = true)
    {
        makeCurrent(VgSurfaceSpec{config, kWidth, kHeight, window});
        const VGfloat black[4] = {0, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, black);
        vgClear(0, 0, width, height);
        red = vgCreatePaint();
        vgSetColor(red, 0xFF0000FF);
        vgSetPaint(red, VG_FILL_PATH);
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_BETTER);
    }

    static int bits() { return VGALVAL_maskbuffer->bpp; }
    // A stored mask value as 8 bits, and 8 bits as stored (top bits kept).
    static uint32_t widen(uint32_t v, int bpp) { return bpp == 8 ? v : bpp == 4 ? v * 17 : v ? 255 : 0; }
    static uint32_t narrow(uint32_t v, int bpp) { return v >> (8 - bpp); }

    uint8_t* row(const ALbuffer* buf, int y)
    {
        const int stored = VGALVAL_surface_flip ? buf->height - 1 - y : y;
        return gpu.gpuPointer(buf->addr + static_cast<uint32_t>(buf->stride * stored), static_cast<size_t>(buf->stride));
    }

    // The stored value of a buffer's pixel at OpenVG (x, y) once the GPU is done.
    uint32_t at(const ALbuffer* buf, int x, int y)
    {
        vgFinish();
        return simgpu::readPixel(row(buf, y), static_cast<uint32_t>(x), static_cast<uint32_t>(buf->bpp));
    }
    uint32_t maskAt(int x, int y) { return at(VGALVAL_maskbuffer, x, y); }

    // Writes the mask buffer directly: f gives each pixel's 8-bit value.
    void setMask(const std::function<uint32_t(int, int)>& f)
    {
        vgFinish();
        const ALbuffer* m = VGALVAL_maskbuffer;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                simgpu::writePixel(row(m, y), static_cast<uint32_t>(x), static_cast<uint32_t>(m->bpp),
                                   narrow(f(x, y), m->bpp));
    }

    static const ALbuffer* layerBuffer(VGMaskLayer layer)
    {
        const OVGimage* record = VGFUNC_FindMaskLayer(VGVAL_vgcurrentcontexthandle->sharedState, layer);
        return record ? record->buffer : nullptr;
    }

    // The red channel at OpenVG (x, y).
    uint32_t redAt(int x, int y) { return pixel(x, y) >> 24; }

    // A red rectangle over the whole surface, drawn through the mask.
    void drawThroughMask()
    {
        VGPath all = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
        vguRect(all, 0, 0, kWidth, kHeight);
        vgSeti(VG_MASKING, VG_TRUE);
        vgDrawPath(all, VG_FILL_PATH);
        vgSeti(VG_MASKING, VG_FALSE);
        vgDestroyPath(all);
    }

    static VGPath newPath()
    {
        return vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
    }
};

// ---- vgMask ----

TEST_F(AlphaMask, ClearAndFillSetTheClippedRectangle)
{
    for (const Config& config : kMaskConfigs) {
        SCOPED_TRACE(config.name);
        start(config.id);
        vgMask(VG_INVALID_HANDLE, VG_CLEAR_MASK, 0, 0, kWidth, kHeight);
        vgMask(VG_INVALID_HANDLE, VG_FILL_MASK, -10, -10, 20, 20);
        vgMask(VG_INVALID_HANDLE, VG_FILL_MASK, 30, 20, 100, 100);
        vgMask(VG_INVALID_HANDLE, VG_CLEAR_MASK, 40, 30, 4, 3);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        const uint32_t full = narrow(255, bits());
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool filled = (x < 10 && y < 10) || (x >= 30 && y >= 20);
                const bool cleared = x >= 40 && x < 44 && y >= 30 && y < 33;
                ASSERT_EQ(maskAt(x, y), filled && !cleared ? full : 0u) << "(" << x << ", " << y << ")";
            }
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

// A source of vgMask: made on the current surface, with the coverage it gives at its pixel
// (i, j) (read back from the layer for a mask layer).
struct Source {
    const char* name;
    std::function<VGHandle(int w, int h)> make;
    std::function<uint32_t(VGHandle, int i, int j)> coverage;
};

VGHandle imageOf(VGImageFormat format, int w, int h, int bytesPerRow, const std::function<void(std::vector<uint8_t>&, int, int)>& put)
{
    std::vector<uint8_t> data(static_cast<size_t>(bytesPerRow * h), 0);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            put(data, i, j);
    VGImage image = vgCreateImage(format, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    vgImageSubData(image, data.data(), bytesPerRow, format, 0, 0, w, h);
    return image;
}

uint32_t ramp(int i, int j)
{
    return static_cast<uint32_t>(i * 13 + j * 29) & 255u;
}

uint32_t red5(int i, int j)
{
    return static_cast<uint32_t>(i * 5 + j * 3) & 31u;
}

bool bit(int i, int j)
{
    return (i + 2 * j) % 3 == 0;
}

TEST_F(AlphaMask, OperationsCombineImagesAndLayersIntoTheMask)
{
    const std::vector<Source> sources = {
        {"A_8 ramp",
         [](int w, int h) {
             return imageOf(VG_A_8, w, h, w, [w](std::vector<uint8_t>& d, int i, int j) {
                 d[size_t(j * w + i)] = uint8_t(ramp(i, j));
             });
         },
         [](VGHandle, int i, int j) { return ramp(i, j); }},
        {"sRGB_565, red as coverage",
         [](int w, int h) {
             return imageOf(VG_sRGB_565, w, h, 2 * w, [w](std::vector<uint8_t>& d, int i, int j) {
                 const uint32_t v = red5(i, j) << 11 | 7u << 5 | 3u;
                 d[size_t(j * 2 * w + 2 * i)] = uint8_t(v);
                 d[size_t(j * 2 * w + 2 * i + 1)] = uint8_t(v >> 8);
             });
         },
         [](VGHandle, int i, int j) { return red5(i, j) << 3 | red5(i, j) >> 2; }},
        {"A_1",
         [](int w, int h) {
             const int stride = (w + 7) / 8;
             return imageOf(VG_A_1, w, h, stride, [stride](std::vector<uint8_t>& d, int i, int j) {
                 if (bit(i, j))
                     d[size_t(j * stride + i / 8)] |= uint8_t(1u << (i % 8));
             });
         },
         [](VGHandle, int i, int j) { return bit(i, j) ? 255u : 0u; }},
        {"mask layer",
         [](int w, int h) {
             VGMaskLayer layer = vgCreateMaskLayer(w, h);
             vgFillMaskLayer(layer, 0, 0, w, h, 0.2f);
             vgFillMaskLayer(layer, 1, 1, w / 2, h / 2, 0.9f);
             vgFillMaskLayer(layer, w / 2, 0, w / 2, 2, 0.55f);
             return layer;
         },
         nullptr},
    };
    struct Placement {
        const char* name;
        int iw, ih;       // the source's size
        int x, y, w, h;   // the rectangle of vgMask
    } const placements[] = {
        {"source bigger than the rectangle", 24, 20, 5, 4, 12, 10},
        {"source smaller than the rectangle", 7, 6, 5, 4, 20, 16},
        {"rectangle off the bottom left", 24, 20, -3, -2, 12, 10},
    };
    const auto initial = [](int x, int y) { return static_cast<uint32_t>(x * 7 + y * 11) & 255u; };

    for (const Config& config : kMaskConfigs) {
        start(config.id);
        const int bpp = bits();
        for (const Source& source : sources)
            for (const Placement& p : placements) {
                const VGHandle handle = source.make(p.iw, p.ih);
                ASSERT_NE(handle, VG_INVALID_HANDLE);
                const ALbuffer* layer = source.coverage ? nullptr : layerBuffer(handle);
                std::vector<uint32_t> c(size_t(p.iw * p.ih));
                for (int j = 0; j < p.ih; ++j)
                    for (int i = 0; i < p.iw; ++i)
                        c[size_t(j * p.iw + i)] =
                            layer ? widen(at(layer, i, j), bpp) : source.coverage(handle, i, j);
                for (const Operation& o : kOperations) {
                    SCOPED_TRACE(std::string(config.name) + ", " + source.name + ", " + p.name + ", " + o.name);
                    setMask(initial);
                    vgMask(handle, o.op, p.x, p.y, p.w, p.h);
                    ASSERT_EQ(vgGetError(), VG_NO_ERROR);
                    for (int y = 0; y < kHeight; ++y)
                        for (int x = 0; x < kWidth; ++x) {
                            const int i = x - p.x, j = y - p.y;
                            const bool inside = i >= 0 && j >= 0 && i < std::min(p.w, p.iw) && j < std::min(p.h, p.ih);
                            const uint32_t m = widen(narrow(initial(x, y), bpp), bpp);
                            const uint32_t expected =
                                narrow(inside ? o.result(m, c[size_t(j * p.iw + i)]) : m, bpp);
                            const uint32_t got = maskAt(x, y);
                            ASSERT_LE(got, expected + 1) << "(" << x << ", " << y << ")";
                            ASSERT_GE(got + 1, expected) << "(" << x << ", " << y << ")";
                        }
                    ASSERT_TRUE(gpu.errors().empty());
                }
                if (layer)
                    vgDestroyMaskLayer(handle);
                else
                    vgDestroyImage(handle);
            }
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

// vgMask combines the image's pixels as they are at the call into the mask, also after a
// drawing has left its pixel-engine state behind: a later vgImageSubData does not reach the
// mask, and a clear of the mask before the call is combined with, not kept.
TEST_F(AlphaMask, MaskUsesTheImageAsItIsAtTheCallAfterDrawing)
{
    const struct {
        const char* name;
        VGMaskOperation op;
        uint32_t alpha;       // the image's alpha at the call
        bool clearFirst;      // vgMask(VG_CLEAR_MASK) before it
    } cases[] = {
        {"set, image changed after the call", VG_SET_MASK, 0, false},
        {"set after a clear", VG_SET_MASK, 64, true},
        {"union after a clear", VG_UNION_MASK, 64, true},
    };
    for (const Config& config : kMaskConfigs)
        for (bool drawnBefore : {false, true})
            for (const auto& c : cases) {
                SCOPED_TRACE(std::string(config.name) + ", " + c.name + (drawnBefore ? ", after drawing" : ""));
                start(config.id);
                std::vector<uint8_t> alpha(size_t(kWidth * kHeight), uint8_t(c.alpha));
                const VGImage image = vgCreateImage(VG_A_8, kWidth, kHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
                vgImageSubData(image, alpha.data(), kWidth, VG_A_8, 0, 0, kWidth, kHeight);
                if (drawnBefore)
                    drawThroughMask();
                if (c.clearFirst)
                    vgMask(VG_INVALID_HANDLE, VG_CLEAR_MASK, 0, 0, kWidth, kHeight);
                vgMask(image, c.op, 0, 0, kWidth, kHeight);
                std::fill(alpha.begin(), alpha.end(), uint8_t(255));
                vgImageSubData(image, alpha.data(), kWidth, VG_A_8, 0, 0, kWidth, kHeight);
                EXPECT_EQ(vgGetError(), VG_NO_ERROR);
                const uint32_t want = narrow(c.alpha, bits());
                for (int y = 0; y < kHeight; y += 7)
                    for (int x = 0; x < kWidth; x += 5)
                        ASSERT_EQ(maskAt(x, y), want) << "(" << x << ", " << y << ")";
                vgDestroyImage(image);
                terminate();
                dpy = EGL_NO_DISPLAY;
            }
}

TEST_F(AlphaMask, MaskChecksItsArguments)
{
    start(kRgba8888Mask8);
    VGImage image = vgCreateImage(VG_A_8, 8, 8, VG_IMAGE_QUALITY_NONANTIALIASED);
    VGPath path = newPath();
    const struct {
        const char* name;
        VGHandle handle;
        VGint op, w, h;
        VGErrorCode error;
    } cases[] = {
        {"zero width", image, VG_SET_MASK, 0, 4, VG_ILLEGAL_ARGUMENT_ERROR},
        {"negative height", VG_INVALID_HANDLE, VG_FILL_MASK, 4, -1, VG_ILLEGAL_ARGUMENT_ERROR},
        {"no operation", image, 0x1506, 4, 4, VG_ILLEGAL_ARGUMENT_ERROR},
        {"a path as the source", path, VG_UNION_MASK, 4, 4, VG_BAD_HANDLE_ERROR},
        {"no handle for a combining operation", VG_INVALID_HANDLE, VG_SET_MASK, 4, 4, VG_BAD_HANDLE_ERROR},
        {"clear looks at no handle", path, VG_CLEAR_MASK, 4, 4, VG_NO_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vgMask(c.handle, static_cast<VGMaskOperation>(c.op), 0, 0, c.w, c.h);
        EXPECT_EQ(vgGetError(), c.error);
    }
    vgDestroyImage(image);
    vgDestroyPath(path);
}

// ---- vgRenderToMask, then drawing through the mask ----

constexpr float kCx = 32, kCy = 24, kRadius = 14;
// The square of the cases: x 10 to 30, y 6 to 42.
constexpr float kSqL = 10, kSqB = 6, kSqR = 30, kSqT = 42;

// Where a pixel centre lies against a shape: clearly in, clearly out, or on its anti-aliased
// rim (within one pixel of the edge).
enum class Side { In, Out, Rim };

Side circleSide(int x, int y)
{
    const double d = std::hypot(x + 0.5 - kCx, y + 0.5 - kCy);
    return d < kRadius - 1 ? Side::In : d > kRadius + 1 ? Side::Out : Side::Rim;
}

Side squareSide(int x, int y)
{
    const double px = x + 0.5, py = y + 0.5;
    if (px > kSqL + 1 && px < kSqR - 1 && py > kSqB + 1 && py < kSqT - 1)
        return Side::In;
    if (px < kSqL - 1 || px > kSqR + 1 || py < kSqB - 1 || py > kSqT + 1)
        return Side::Out;
    return Side::Rim;
}

Side both(Side a, Side b)
{
    if (a == Side::Out || b == Side::Out)
        return Side::Out;
    return a == Side::In && b == Side::In ? Side::In : Side::Rim;
}

Side either(Side a, Side b)
{
    if (a == Side::In || b == Side::In)
        return Side::In;
    return a == Side::Out && b == Side::Out ? Side::Out : Side::Rim;
}

Side outside(Side a)
{
    return a == Side::In ? Side::Out : a == Side::Out ? Side::In : Side::Rim;
}

TEST_F(AlphaMask, PathsRenderedIntoTheMaskLimitDrawing)
{
    struct Case {
        const char* name;
        VGMaskOperation first;  // VG_FILL_MASK: the whole mask full
        bool firstIsCircle;
        VGMaskOperation second;  // 0: none
        std::function<Side(int, int)> red;
    } const cases[] = {
        {"set a circle", VG_SET_MASK, true, VGMaskOperation(0), circleSide},
        {"intersect a square with a circle", VG_SET_MASK, true, VG_INTERSECT_MASK,
         [](int x, int y) { return both(circleSide(x, y), squareSide(x, y)); }},
        {"union of a square and a circle", VG_SET_MASK, false, VG_UNION_MASK,
         [](int x, int y) { return either(circleSide(x, y), squareSide(x, y)); }},
        {"subtract a circle from the full mask", VG_FILL_MASK, true, VG_SUBTRACT_MASK,
         [](int x, int y) { return outside(circleSide(x, y)); }},
    };
    for (bool window : {true, false})
        for (const Config& config : kMaskConfigs)
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(config.name) + (window ? ", window, " : ", pbuffer, ") + c.name);
                start(config.id, window);
                VGPath circle = newPath(), square = newPath();
                vguEllipse(circle, kCx, kCy, 2 * kRadius, 2 * kRadius);
                vguRect(square, kSqL, kSqB, kSqR - kSqL, kSqT - kSqB);
                VGPath firstPath = c.firstIsCircle ? circle : square;
                VGPath secondPath = c.firstIsCircle ? square : circle;
                if (c.first == VG_FILL_MASK)
                    vgMask(VG_INVALID_HANDLE, VG_FILL_MASK, 0, 0, kWidth, kHeight);
                else
                    vgRenderToMask(firstPath, VG_FILL_PATH, c.first);
                if (c.second)
                    vgRenderToMask(c.first == VG_FILL_MASK ? circle : secondPath, VG_FILL_PATH, c.second);
                drawThroughMask();
                EXPECT_EQ(vgGetError(), VG_NO_ERROR);
                int rim = 0;
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x) {
                        const Side side = c.red(x, y);
                        const uint32_t r = redAt(x, y);
                        if (side == Side::In)
                            ASSERT_EQ(r, 255u) << "(" << x << ", " << y << ")";
                        else if (side == Side::Out)
                            ASSERT_EQ(r, 0u) << "(" << x << ", " << y << ")";
                        else
                            ++rim;
                    }
                EXPECT_GT(rim, 0);
                ASSERT_TRUE(gpu.errors().empty());
                vgDestroyPath(circle);
                vgDestroyPath(square);
                terminate();
                dpy = EGL_NO_DISPLAY;
            }
}

TEST_F(AlphaMask, RenderedCircleCoversItsAreaWithinTheRim)
{
    for (const Config& config : kMaskConfigs) {
        SCOPED_TRACE(config.name);
        start(config.id);
        VGPath circle = newPath();
        vguEllipse(circle, kCx, kCy, 2 * kRadius, 2 * kRadius);
        vgRenderToMask(circle, VG_FILL_PATH, VG_SET_MASK);
        drawThroughMask();
        double red = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                red += redAt(x, y) / 255.0;
        // The anti-aliased rim is about one pixel of the circumference.
        const double area = M_PI * kRadius * kRadius, rim = 2 * M_PI * kRadius;
        EXPECT_NEAR(red, area, rim / 4);
        vgDestroyPath(circle);
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

TEST_F(AlphaMask, StrokeRenderedIntoTheMask)
{
    constexpr float kHalfWidth = 3;
    const auto ring = [](int x, int y) {
        const double d = std::fabs(std::hypot(x + 0.5 - kCx, y + 0.5 - kCy) - kRadius);
        return d < kHalfWidth - 1 ? Side::In : d > kHalfWidth + 1 ? Side::Out : Side::Rim;
    };
    const struct {
        const char* name;
        VGMaskOperation op;
        bool fullFirst;
        std::function<Side(int, int)> red;
    } cases[] = {
        {"set", VG_SET_MASK, true, ring},
        {"union with an empty mask", VG_UNION_MASK, false, ring},
        {"subtract from a full mask", VG_SUBTRACT_MASK, true, [ring](int x, int y) { return outside(ring(x, y)); }},
    };
    for (const Config& config : kMaskConfigs)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(config.name) + ", " + c.name);
            start(config.id);
            VGPath circle = newPath();
            vguEllipse(circle, kCx, kCy, 2 * kRadius, 2 * kRadius);
            vgSetf(VG_STROKE_LINE_WIDTH, 2 * kHalfWidth);
            vgMask(VG_INVALID_HANDLE, c.fullFirst ? VG_FILL_MASK : VG_CLEAR_MASK, 0, 0, kWidth, kHeight);
            vgRenderToMask(circle, VG_STROKE_PATH, c.op);
            drawThroughMask();
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const Side side = c.red(x, y);
                    if (side != Side::Rim) {
                        ASSERT_EQ(redAt(x, y), side == Side::In ? 255u : 0u) << "(" << x << ", " << y << ")";
                    }
                }
            ASSERT_TRUE(gpu.errors().empty());
            vgDestroyPath(circle);
            terminate();
            dpy = EGL_NO_DISPLAY;
        }
}

TEST_F(AlphaMask, StrokeOnlyOfNoDrawnWidthSetClearsAndUnionKeeps)
{
    const struct {
        VGMaskOperation op;
        uint32_t red;
    } cases[] = {{VG_SET_MASK, 0}, {VG_INTERSECT_MASK, 0}, {VG_UNION_MASK, 255}, {VG_SUBTRACT_MASK, 255}};
    // An infinite width strokes nothing either.
    for (const float width : {0.0f, INFINITY}) {
        for (const Config& config : kMaskConfigs)
            for (const auto& c : cases) {
                SCOPED_TRACE(std::string(config.name) + ", operation " + std::to_string(c.op) + ", width " +
                             std::to_string(width));
                start(config.id);
                VGPath circle = newPath();
                vguEllipse(circle, kCx, kCy, 2 * kRadius, 2 * kRadius);
                vgSetf(VG_STROKE_LINE_WIDTH, width);
                vgRenderToMask(circle, VG_STROKE_PATH, c.op);
                drawThroughMask();
                EXPECT_EQ(vgGetError(), VG_NO_ERROR);
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x)
                        ASSERT_EQ(redAt(x, y), c.red) << "(" << x << ", " << y << ")";
                vgDestroyPath(circle);
                terminate();
                dpy = EGL_NO_DISPLAY;
            }
    }
}

// Scissoring clips the path's coverage: outside the scissor rectangles the coverage is 0, so
// set and intersect clear the mask there and union and subtract keep it.
TEST_F(AlphaMask, ScissoringGivesCoverageZeroOutsideTheScissorRectangles)
{
    const VGint rects[8] = {0, 0, 24, 48, 50, 40, 10, 8};
    const auto scissored = [](int x, int y) { return x < 24 || (x >= 50 && x < 60 && y >= 40); };
    constexpr uint32_t kInitial = 0x99;  // a value every mask depth holds
    for (const Config& config : kMaskConfigs)
        for (const Operation& o : kOperations) {
            SCOPED_TRACE(std::string(config.name) + ", " + o.name);
            start(config.id);
            const int bpp = bits();
            setMask([](int, int) { return kInitial; });
            VGPath circle = newPath();
            vguEllipse(circle, kCx, kCy, 2 * kRadius, 2 * kRadius);
            vgSetiv(VG_SCISSOR_RECTS, 8, rects);
            vgSeti(VG_SCISSORING, VG_TRUE);
            vgRenderToMask(circle, VG_FILL_PATH, o.op);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            const uint32_t m = widen(narrow(kInitial, bpp), bpp);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const Side side = scissored(x, y) ? circleSide(x, y) : Side::Out;
                    if (side == Side::Rim)
                        continue;
                    const uint32_t want = narrow(o.result(m, side == Side::In ? 255 : 0), bpp);
                    const uint32_t got = maskAt(x, y);
                    ASSERT_LE(got, want + 1) << "(" << x << ", " << y << ")";
                    ASSERT_GE(got + 1, want) << "(" << x << ", " << y << ")";
                }
            vgDestroyPath(circle);
            terminate();
            dpy = EGL_NO_DISPLAY;
        }
}

TEST_F(AlphaMask, RenderToMaskChecksItsArguments)
{
    start(kRgba8888Mask8);
    VGPath circle = newPath();
    vguEllipse(circle, kCx, kCy, 2 * kRadius, 2 * kRadius);
    const struct {
        const char* name;
        VGPath path;
        VGbitfield modes;
        VGint op;
        VGErrorCode error;
    } cases[] = {
        {"no mask operation", circle, VG_FILL_PATH, 0x1506, VG_ILLEGAL_ARGUMENT_ERROR},
        {"operation below the range", circle, VG_FILL_PATH, 0x14FF, VG_ILLEGAL_ARGUMENT_ERROR},
        {"no paint mode", circle, 0, VG_SET_MASK, VG_ILLEGAL_ARGUMENT_ERROR},
        {"unknown paint mode", circle, 4, VG_SET_MASK, VG_ILLEGAL_ARGUMENT_ERROR},
        {"no path", VG_INVALID_HANDLE, VG_FILL_PATH, VG_SET_MASK, VG_BAD_HANDLE_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vgRenderToMask(c.path, c.modes, static_cast<VGMaskOperation>(c.op));
        EXPECT_EQ(vgGetError(), c.error);
    }
    // Nothing reached the mask.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(maskAt(x, y), 255u);
    vgDestroyPath(circle);
}

// The vertex processor holds identity paint matrices after a render into the mask: the next
// gradient must still be painted with the context's paint matrix.
TEST_F(AlphaMask, GradientAfterRenderToMaskKeepsItsPaintMatrix)
{
    start(kRgba8888Mask8);
    VGPaint gradient = vgCreatePaint();
    const VGfloat points[4] = {0, 0, 16, 0};
    const VGfloat stops[10] = {0, 1, 0, 0, 1, 1, 0, 0, 1, 1};
    vgSetParameteri(gradient, VG_PAINT_TYPE, VG_PAINT_TYPE_LINEAR_GRADIENT);
    vgSetParameterfv(gradient, VG_PAINT_LINEAR_GRADIENT, 4, points);
    vgSetParameterfv(gradient, VG_PAINT_COLOR_RAMP_STOPS, 10, stops);
    vgSetPaint(gradient, VG_FILL_PATH);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_FILL_PAINT_TO_USER);
    vgLoadIdentity();
    vgScale(3, 1);
    vgTranslate(2, 0);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE);
    VGPath square = newPath();
    vguRect(square, 4, 4, 56, 40);
    const VGfloat black[4] = {0, 0, 0, 1};

    vgDrawPath(square, VG_FILL_PATH);
    const vnq::test::RgbaImage alone = image();
    vgSetfv(VG_CLEAR_COLOR, 4, black);
    vgClear(0, 0, kWidth, kHeight);
    VGPath circle = newPath();
    vguEllipse(circle, kCx, kCy, 2 * kRadius, 2 * kRadius);
    vgRenderToMask(circle, VG_FILL_PATH, VG_UNION_MASK);
    vgDrawPath(square, VG_FILL_PATH);
    const vnq::test::RgbaImage after = image();
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_TRUE(after.bytes == alone.bytes);
    vgDestroyPath(square);
    vgDestroyPath(circle);
    vgDestroyPaint(gradient);
}

// ---- Mask layers ----

TEST_F(AlphaMask, NewLayersAreFullAndFillWritesTheRoundedValue)
{
    const struct {
        float value;
        uint32_t stored8, stored4;
    } fills[] = {{0.5f, 128, 8}, {0.0f, 0, 0}, {1.0f, 255, 15}, {0.2f, 51, 3}};
    for (const Config& config : kMaskConfigs) {
        SCOPED_TRACE(config.name);
        start(config.id);
        VGMaskLayer layer = vgCreateMaskLayer(21, 10);
        ASSERT_NE(layer, VG_INVALID_HANDLE);
        const ALbuffer* buf = layerBuffer(layer);
        const OVGimage* record = VGFUNC_FindMaskLayer(VGVAL_vgcurrentcontexthandle->sharedState, layer);
        EXPECT_EQ(record->format, bits() == 8 ? VG_A_8 : VG_A_4);
        EXPECT_EQ(buf->bpp, bits());
        EXPECT_EQ(buf->stride, 24 * bits() / 8);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 21; ++x)
                ASSERT_EQ(at(buf, x, y), narrow(255, bits())) << "(" << x << ", " << y << ")";
        for (const auto& f : fills) {
            SCOPED_TRACE(f.value);
            vgFillMaskLayer(layer, 3, 2, 15, 6, f.value);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 21; ++x) {
                    const bool filled = x >= 3 && x < 18 && y >= 2 && y < 8;
                    const uint32_t expected = filled ? (bits() == 8 ? f.stored8 : f.stored4) : narrow(255, bits());
                    ASSERT_EQ(at(buf, x, y), expected) << "(" << x << ", " << y << ")";
                }
        }
        vgDestroyMaskLayer(layer);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

TEST_F(AlphaMask, LayerFormatFollowsTheMaskBuffer)
{
    const struct {
        const char* name;
        EGLint config;
        VGImageFormat format;
        int bits;
    } cases[] = {
        {"8-bit mask", kRgba8888Mask8, VG_A_8, 8},
        {"4-bit mask", kRgb565Mask4, VG_A_4, 4},
        {"1-bit mask", kLuminance1Mask1, VG_A_1, 1},
        {"multisampled 4-bit mask", kRgb565Mask4Multisampled, VG_A_4, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.config, false);
        VGMaskLayer layer = vgCreateMaskLayer(30, 9);
        ASSERT_NE(layer, VG_INVALID_HANDLE);
        const OVGimage* record = VGFUNC_FindMaskLayer(VGVAL_vgcurrentcontexthandle->sharedState, layer);
        EXPECT_EQ(record->format, c.format);
        EXPECT_EQ(record->buffer->bpp, c.bits);
        EXPECT_EQ(record->buffer->masklayer, 1);
        EXPECT_EQ(record->buffer->stride, 32 * c.bits / 8);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(at(record->buffer, x, y), narrow(255, c.bits)) << "(" << x << ", " << y << ")";
        vgDestroyMaskLayer(layer);
        terminate();
        dpy = EGL_NO_DISPLAY;
    }
}

TEST_F(AlphaMask, MultisampledSurfacesLimitLayers)
{
    start(kRgb565Mask4Multisampled, false);
    EXPECT_EQ(vgCreateMaskLayer(2049, 4), VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetError(), VG_OUT_OF_MEMORY_ERROR);
    VGMaskLayer layer = vgCreateMaskLayer(2048, 4);
    ASSERT_NE(layer, VG_INVALID_HANDLE);
    // Samples are covered or not: a fill value becomes empty up to 128 / 255, else full.
    const ALbuffer* buf = layerBuffer(layer);
    for (const auto& f : {std::make_pair(0.5f, 0u), std::make_pair(0.51f, 15u), std::make_pair(0.1f, 0u)}) {
        SCOPED_TRACE(f.first);
        vgFillMaskLayer(layer, 1, 1, 6, 2, f.first);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool filled = x >= 1 && x < 7 && y >= 1 && y < 3;
                ASSERT_EQ(at(buf, x, y), filled ? f.second : 15u) << "(" << x << ", " << y << ")";
            }
    }
    vgDestroyMaskLayer(layer);
}

TEST_F(AlphaMask, LayerEntriesCheckTheirArguments)
{
    start(kRgba8888Mask8);
    VGMaskLayer layer = vgCreateMaskLayer(16, 8);
    const struct {
        const char* name;
        std::function<void()> call;
        VGErrorCode error;
    } cases[] = {
        {"layer of width 0", [] { EXPECT_EQ(vgCreateMaskLayer(0, 8), VG_INVALID_HANDLE); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"layer wider than 8192", [] { EXPECT_EQ(vgCreateMaskLayer(8193, 1), VG_INVALID_HANDLE); },
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"layer of more than 2^26 pixels", [] { EXPECT_EQ(vgCreateMaskLayer(8192, 8193), VG_INVALID_HANDLE); },
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"fill with NaN", [layer] { vgFillMaskLayer(layer, 0, 0, 4, 4, std::nanf("")); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"fill above 1", [layer] { vgFillMaskLayer(layer, 0, 0, 4, 4, 1.01f); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"fill past the right", [layer] { vgFillMaskLayer(layer, 13, 0, 4, 4, 0.5f); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"fill at negative y", [layer] { vgFillMaskLayer(layer, 0, -1, 4, 4, 0.5f); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"fill of no layer", [] { vgFillMaskLayer(VG_INVALID_HANDLE, 0, 0, 4, 4, 0.5f); }, VG_BAD_HANDLE_ERROR},
        {"copy of height 0", [layer] { vgCopyMask(layer, 0, 0, 0, 0, 4, 0); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"destroy no layer", [] { vgDestroyMaskLayer(VG_INVALID_HANDLE); }, VG_BAD_HANDLE_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.call();
        EXPECT_EQ(vgGetError(), c.error);
    }
    const ALbuffer* buf = layerBuffer(layer);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(at(buf, x, y), 255u);
    vgDestroyMaskLayer(layer);
}

TEST_F(AlphaMask, CopyMaskClipsBothSides)
{
    const auto initial = [](int x, int y) { return static_cast<uint32_t>(x * 9 + y * 17) & 255u; };
    const struct {
        const char* name;
        int dx, dy, sx, sy, w, h;
        int tx, ty, fx, fy, cw, ch;  // what lands: at (tx, ty) of the layer from (fx, fy), cw x ch
    } cases[] = {
        {"inside both", 2, 1, 10, 20, 8, 4, 2, 1, 10, 20, 8, 4},
        {"negative source x moves right and shortens", 2, 1, -3, 5, 8, 4, 5, 1, 0, 5, 5, 4},
        {"negative destination y moves the source up", 0, -2, 4, 6, 5, 6, 0, 0, 4, 8, 5, 4},
        {"past the layer's corner", 16, 7, 0, 0, 30, 30, 16, 7, 0, 0, 4, 3},
        {"off the surface", 0, 0, 64, 0, 4, 4, 0, 0, 0, 0, 0, 0},
        {"32-bit overflow of dx - sx", 0, 0, -(INT_MAX - 5), 0, INT_MAX, 4, 0, 0, 0, 0, 0, 0},
        {"sy at INT_MIN", 0, 0, 0, INT_MIN, 4, 10, 0, 0, 0, 0, 0, 0},
        {"sy at INT_MIN with the largest height", 0, 0, 0, INT_MIN, 4, INT_MAX, 0, 0, 0, 0, 0, 0},
    };
    for (const Config& config : kMaskConfigs)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(config.name) + ", " + c.name);
            start(config.id);
            const int bpp = bits();
            setMask(initial);
            VGMaskLayer layer = vgCreateMaskLayer(20, 10);
            vgFillMaskLayer(layer, 0, 0, 20, 10, 0.0f);
            vgCopyMask(layer, c.dx, c.dy, c.sx, c.sy, c.w, c.h);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            const ALbuffer* buf = layerBuffer(layer);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 20; ++x) {
                    const bool copied = x >= c.tx && x < c.tx + c.cw && y >= c.ty && y < c.ty + c.ch;
                    const uint32_t expected = copied ? narrow(initial(x - c.tx + c.fx, y - c.ty + c.fy), bpp) : 0u;
                    ASSERT_EQ(at(buf, x, y), expected) << "(" << x << ", " << y << ")";
                }
            // The mask itself is untouched.
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    ASSERT_EQ(maskAt(x, y), narrow(initial(x, y), bpp));
            vgDestroyMaskLayer(layer);
            terminate();
            dpy = EGL_NO_DISPLAY;
        }
}

TEST_F(AlphaMask, WithoutAMaskBufferTheMaskEntriesDoNothing)
{
    start(kRgba8888NoMask);
    EXPECT_EQ(vgCreateMaskLayer(16, 8), VG_INVALID_HANDLE);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    VGPath circle = newPath();
    vguEllipse(circle, kCx, kCy, 2 * kRadius, 2 * kRadius);
    gpu.clearLog();
    vgMask(VG_INVALID_HANDLE, VG_FILL_MASK, 0, 0, kWidth, kHeight);
    vgMask(VG_INVALID_HANDLE, VG_CLEAR_MASK, 0, 0, kWidth, kHeight);
    vgRenderToMask(circle, VG_FILL_PATH, VG_SET_MASK);
    vgFinish();
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_TRUE(gpu.errors().empty());
    // Masking has no mask to read: the drawing is not limited.
    drawThroughMask();
    for (int y = 0; y < kHeight; y += 5)
        for (int x = 0; x < kWidth; x += 5)
            ASSERT_EQ(redAt(x, y), 255u);
    vgDestroyPath(circle);
}

}  // namespace
