// The colour matrix, the convolutions and the Gaussian blur on the GPU, through the OpenVG API
// and the GPU model's filter microcodes: against the software filters on odd-sized and child
// images in every tiling mode, format class and channel mask; what each sends to the vertex
// processor (kernel packing, tile sizes, the Gaussian taps); the drawing microcode coming back
// after a filter; the software fallback; values that would overflow a conversion; and the
// argument checks of the four entry points.
#include <VG/openvg.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "gpu_filter_test_support.h"
#include "memmanage/gmalloc.h"
#include "model/gpu_model.h"
#include "vg/al_lx740/vg_lx740_filter.h"
#include "vg/al_lx740/vg_tvg_filter.h"

namespace gputest {
namespace {

// A filter through the API (dst, src) and the software filter (dst, src) as its reference.
struct Filter {
    std::string name;
    std::function<void(VGImage, VGImage)> api;
    std::function<int(OVGimage*, OVGimage*)> software;
};

const VGTilingMode kTilings[] = {VG_TILE_FILL, VG_TILE_PAD, VG_TILE_REPEAT, VG_TILE_REFLECT};

const VGfloat kMatrix[20] = {0.5f, 0.25f, -0.3f, 0.1f,  0.4f, 0.9f,  0.2f,  0.0f,  -0.2f, 0.1f,
                             1.1f, 0.3f,  0.2f,  0.0f, 0.1f, 0.8f, 0.05f, -0.1f, 0.2f,  0.1f};

Filter colourMatrix(const VGfloat* m)
{
    return {"colour matrix", [m](VGImage d, VGImage s) { vgColorMatrix(d, s, m); },
            [m](OVGimage* d, OVGimage* s) { return VGALFUNC_TVGmemColorMatrix(d, s, m); }};
}

Filter convolve(int kw, int kh, int sx, int sy, std::vector<VGshort> k, float scale, float bias, VGTilingMode t)
{
    const auto kernel = std::make_shared<std::vector<VGshort>>(std::move(k));
    return {"convolve " + std::to_string(kw) + "x" + std::to_string(kh) + " shift " + std::to_string(sx) + "," +
                std::to_string(sy) + " tiling " + std::to_string(t),
            [=](VGImage d, VGImage s) { vgConvolve(d, s, kw, kh, sx, sy, kernel->data(), scale, bias, t); },
            [=](OVGimage* d, OVGimage* s) {
                return VGALFUNC_TVGmemConvolve(d, s, kw, kh, sx, sy, kernel->data(), scale, bias, t);
            }};
}

Filter separable(int kw, int kh, int sx, int sy, std::vector<VGshort> x, std::vector<VGshort> y, float scale,
                 float bias, VGTilingMode t)
{
    const auto kx = std::make_shared<std::vector<VGshort>>(std::move(x));
    const auto ky = std::make_shared<std::vector<VGshort>>(std::move(y));
    return {"separable " + std::to_string(kw) + "x" + std::to_string(kh) + " tiling " + std::to_string(t),
            [=](VGImage d, VGImage s) {
                vgSeparableConvolve(d, s, kw, kh, sx, sy, kx->data(), ky->data(), scale, bias, t);
            },
            [=](OVGimage* d, OVGimage* s) {
                return VGALFUNC_TVGmemSeparableConvolve(d, s, kw, kh, sx, sy, kx->data(), ky->data(), scale, bias, t);
            }};
}

Filter gaussian(float dx, float dy, VGTilingMode t)
{
    return {"gaussian " + std::to_string(dx) + "," + std::to_string(dy) + " tiling " + std::to_string(t),
            [=](VGImage d, VGImage s) { vgGaussianBlur(d, s, dx, dy, t); },
            [=](OVGimage* d, OVGimage* s) { return VGALFUNC_TVGmemGaussianBlur(d, s, dx, dy, t); }};
}

// Kernel taps from a fixed sequence: small, of both signs, none a multiple of another.
std::vector<VGshort> taps(int n, int seed)
{
    std::vector<VGshort> k(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        k[static_cast<size_t>(i)] = static_cast<VGshort>((i * 7 + seed * 3) % 11 - 3);
    return k;
}

// The destination format, with the filter format it is tested under.
struct FormatCase {
    VGImageFormat format;
    bool linear, pre;
};

const FormatCase kFormats[] = {
    {VG_sRGBA_8888, false, false}, {VG_sRGB_565, false, false}, {VG_sRGBA_8888_PRE, false, true},
    {VG_lL_8, true, false},        {VG_A_8, false, false},      {VG_A_4, false, false},
};

uint32_t bits(float f)
{
    uint32_t w;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

// Tile fill colours in the tests are whole multiples of 1/255 within float precision away from
// a half unit (0.2, 0.4, 0.6, 0.8, 1): the GPU packs the colour rounded, the software filters
// truncate it, and a kernel multiplies any difference.
class GpuConvolve : public GpuFilterTest {
protected:
// The data packets sent to the vertex processor, one vector of words each.
    std::vector<std::vector<uint32_t>> vpPackets() const
    {
        std::vector<std::vector<uint32_t>> out;
        for (const Event& e : gpu.log())
            if (e.kind == Kind::VpData) {
                if (e.reg == 0)
                    out.emplace_back();
                out.back().push_back(e.value);
            }
        return out;
    }

    // The filter through the API on dst (a child of dstRoot when child is set) and the software
    // filter on a twin; the two roots compared within `units`.
    void compare(const Filter& f, VGImageFormat sf, VGImageFormat df, int sw, int sh, bool child, int units,
                 const std::string& what)
    {
        const VGImage srcRoot = randomImage(sf, sw, sh);
        const VGImage dstRoot = randomImage(df, sw + 2, sh + 1);
        const VGImage ref = twin(dstRoot);
        const VGImage src = child ? vgChildImage(srcRoot, 2, 1, sw - 3, sh - 2) : srcRoot;
        const VGImage dst = child ? vgChildImage(dstRoot, 1, 1, sw, sh - 1) : dstRoot;
        const VGImage dstRef = child ? vgChildImage(ref, 1, 1, sw, sh - 1) : ref;
        f.api(dst, src);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR) << what;
        vgFinish();
        EXPECT_EQ(f.software(record(dstRef), record(src)), VG_NO_ERROR) << what;
        expectNear(dstRoot, ref, units, what);
        if (child)
            for (VGImage i : {src, dst, dstRef})
                vgDestroyImage(i);
        for (VGImage i : {srcRoot, dstRoot, ref})
            vgDestroyImage(i);
    }

    // Every format case, both masks, child images every other run.
    void compareFormats(const Filter& f, int sw, int sh)
    {
        int run = 0;
        for (const FormatCase& c : kFormats)
            for (VGint mask : {VG_RED | VG_GREEN | VG_BLUE | VG_ALPHA, VGint{VG_GREEN}}) {
                const bool child = ++run % 2 == 0;
                filterState(c.linear, c.pre, mask);
                compare(f, VG_sRGBA_8888, c.format, sw, sh, child, c.linear || c.pre ? 2 : 1,
                        f.name + " into " + std::to_string(c.format) + " mask " + std::to_string(mask) +
                            (child ? " child" : ""));
                if (HasFailure())
                    return;
            }
    }

    void blackSurfaceWhitePaint(VGPaint& paint)
    {
        const VGfloat black[4] = {0, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, black);
        vgClear(0, 0, width, height);
        paint = vgCreatePaint();
        vgSetColor(paint, 0xFFFFFFFFu);
        vgSetPaint(paint, VG_FILL_PATH);
    }

    // Pixels of the surface that are not black.
    int litPixels()
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                n += (pixel(x, y) & 0xFFFFFF00u) != 0;
        return n;
    }
};

// The colour matrix and each convolution against the software filter, in every format class
// with both channel masks.
TEST_F(GpuConvolve, EqualsTheSoftwareFilterInEveryFormat)
{
    const Filter filters[] = {
        colourMatrix(kMatrix),
        convolve(3, 3, 1, 2, taps(9, 1), 0.05f, 0.1f, VG_TILE_REFLECT),
        convolve(15, 15, -3, 20, taps(225, 2), 0.01f, 0.2f, VG_TILE_FILL),
        separable(15, 3, 1, 2, taps(15, 3), taps(3, 4), 0.02f, 0.1f, VG_TILE_PAD),
        gaussian(1, 2, VG_TILE_REPEAT),
    };
    const VGfloat fill[4] = {0.2f, 0.8f, 0.4f, 1.0f};
    vgSetfv(VG_TILE_FILL_COLOR, 4, fill);
    for (const Filter& f : filters) {
        compareFormats(f, 23, 13);
        if (HasFailure())
            return;
    }
}

// Two children of one image that only touch do not overlap: each filter and lookup from the
// left half into the right half runs and leaves what the software filter does on a twin.
TEST_F(GpuConvolve, AdjacentChildrenOfOneImageFilterOneAnother)
{
    // One table: its bytes for vgLookup, the same values in every byte of the words for
    // vgLookupSingle.
    std::vector<VGubyte> bytes(256);
    std::vector<VGuint> words(256);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<VGubyte>(255 - i);
        words[i] = 0x01010101u * bytes[i];
    }
    const VGubyte* t = bytes.data();
    const VGuint* w = words.data();
    const Filter filters[] = {
        colourMatrix(kMatrix),
        convolve(3, 3, 1, 1, taps(9, 1), 0.05f, 0.1f, VG_TILE_PAD),
        separable(3, 3, 1, 1, taps(3, 3), taps(3, 4), 0.02f, 0.1f, VG_TILE_REFLECT),
        gaussian(1, 2, VG_TILE_REPEAT),
        {"lookup", [t](VGImage d, VGImage s) { vgLookup(d, s, t, t, t, t, VG_FALSE, VG_FALSE); },
         [t](OVGimage* d, OVGimage* s) { return VGALFUNC_TVGmemLookup(d, s, t, t, t, t, VG_FALSE, VG_FALSE); }},
        {"lookup single", [w](VGImage d, VGImage s) { vgLookupSingle(d, s, w, VG_RED, VG_FALSE, VG_FALSE); },
         [w](OVGimage* d, OVGimage* s) { return VGALFUNC_TVGmemLookupSingle(d, s, w, VG_RED, VG_FALSE, VG_FALSE); }},
    };
    filterState(false, false, 15);
    for (const Filter& f : filters) {
        SCOPED_TRACE(f.name);
        const VGImage root = randomImage(VG_sRGBA_8888, 64, 64);
        const VGImage ref = twin(root);
        const VGImage left = vgChildImage(root, 0, 0, 32, 64), right = vgChildImage(root, 32, 0, 32, 64);
        const VGImage refLeft = vgChildImage(ref, 0, 0, 32, 64), refRight = vgChildImage(ref, 32, 0, 32, 64);
        f.api(right, left);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        vgFinish();
        EXPECT_EQ(f.software(record(refRight), record(refLeft)), VG_NO_ERROR);
        expectNear(root, ref, 1, f.name);
        for (VGImage i : {left, right, refLeft, refRight, root, ref})
            vgDestroyImage(i);
        if (HasFailure())
            return;
    }
}

// A 565 image written by a filter under any channel mask reaches a 565 window or pbuffer by
// vgSetPixels as vgGetImageSubData reads it.
TEST_F(GpuConvolve, AFilteredImageReachesTheSurfaceBySetPixels)
{
    constexpr int kW = 16, kH = 8;
    const Filter filters[] = {colourMatrix(kMatrix), gaussian(1, 1, VG_TILE_PAD)};
    const VGint masks[] = {VG_RED | VG_GREEN | VG_BLUE | VG_ALPHA, VG_RED | VG_GREEN};
    for (bool window : {true, false})
        for (const Filter& f : filters)
            for (VGint mask : masks) {
                SCOPED_TRACE(f.name + " mask " + std::to_string(mask) + (window ? " window" : " pbuffer"));
                terminate();
                makeCurrent({1, 64, 48, window});
                filterState(false, false, mask);
                const VGImage src = randomImage(VG_sRGBA_8888, kW, kH);
                const VGImage dst = randomImage(VG_sRGB_565, kW, kH);
                f.api(dst, src);
                vgSetPixels(0, 0, dst, 0, 0, kW, kH);
                std::vector<uint16_t> want(kW * kH);
                vgGetImageSubData(dst, want.data(), kW * 2, VG_sRGB_565, 0, 0, kW, kH);
                EXPECT_EQ(vgGetError(), VG_NO_ERROR);
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < kW; ++x)
                        ASSERT_EQ(native(x, y), want[static_cast<size_t>(y * kW + x)]) << x << "," << y;
                for (VGImage i : {src, dst})
                    vgDestroyImage(i);
            }
}

// Every kernel and shift of the convolutions in every tiling mode, on an sRGBA_8888 source and
// destination and on child images.
TEST_F(GpuConvolve, EqualsTheSoftwareFilterInEveryTilingMode)
{
    const VGfloat fill[4] = {0.8f, 0.2f, 0.4f, 0.6f};
    vgSetfv(VG_TILE_FILL_COLOR, 4, fill);
    filterState(false, false, 15);
    const struct {
        int sx, sy;
    } shifts[] = {{0, 0}, {1, 2}, {-3, 20}};
    int run = 0;
    for (VGTilingMode t : kTilings) {
        std::vector<Filter> filters;
        for (const auto& s : shifts) {
            filters.push_back(convolve(1, 1, s.sx, s.sy, {3}, 0.3f, 0.05f, t));
            filters.push_back(convolve(3, 3, s.sx, s.sy, taps(9, 5), 0.1f, 0.0f, t));
            filters.push_back(convolve(15, 15, s.sx, s.sy, taps(225, 6), 0.01f, 0.3f, t));
        }
        filters.push_back(separable(15, 3, 2, 1, taps(15, 7), taps(3, 8), 0.03f, 0.0f, t));
        filters.push_back(gaussian(0.5f, 0.5f, t));
        filters.push_back(gaussian(1, 2, t));
        filters.push_back(gaussian(16, 16, t));
        for (const Filter& f : filters) {
            const bool child = ++run % 2 == 0;
            compare(f, VG_sRGBA_8888, VG_sRGBA_8888, 21, 11, child, 1, f.name + (child ? " child" : ""));
            if (HasFailure())
                return;
        }
    }
}

// The colour matrix on a 3000-pixel row runs three tiles of 1024, 1024 and 952 columns.
TEST_F(GpuConvolve, ColourMatrixTilesOf1024Columns)
{
    filterState(false, false, 15);
    gpu.clearLog();
    compare(colourMatrix(kMatrix), VG_sRGBA_8888, VG_sRGB_565, 3000, 3, false, 1, "3000 wide");
    std::vector<uint32_t> widths;
    for (const auto& p : vpPackets()) {
        ASSERT_EQ(p.size(), 27u);
        widths.push_back(p[24] + 1);
        EXPECT_EQ(p[25], p[24] >> 2);
        EXPECT_EQ(p[21], (p[24] + 1 + 7) / 8 * 32);
    }
    EXPECT_EQ(widths, (std::vector<uint32_t>{1024, 1024, 952}));
    const auto first = vpPackets().at(0);
    for (int c = 0; c < 4; ++c) {
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(first[static_cast<size_t>(4 * c + k)], bits(kMatrix[c + 4 * k]));
        EXPECT_EQ(first[static_cast<size_t>(16 + c)], bits(kMatrix[16 + c] * 255.0f));
    }
}

// An asymmetric 3 x 2 kernel is stored flipped both ways: row j at constant 4 + (1 - j), tap i
// at word 2 - i, the fourth word 0; the packet names the tile and the line buffers after it.
TEST_F(GpuConvolve, KernelPackingAndTheConvolutionPacket)
{
    filterState(false, false, 15);
    const std::vector<VGshort> k = {1, 2, 3, 4, 5, 6};  // column by column: k[i * 2 + j]
    gpu.clearLog();
    compare(convolve(3, 2, 0, 0, k, 0.5f, 0.25f, VG_TILE_PAD), VG_sRGBA_8888, VG_sRGBA_8888, 10, 4, false, 1,
            "3 x 2");
    std::vector<std::pair<uint32_t, uint32_t>> constants;
    for (const RegValue& w : writes(Unit::VPConst))
        if (w.first >= 16 && w.first < 24)
            constants.push_back(w);
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {20, bits(5)}, {21, bits(3)}, {22, bits(1)}, {23, 0},  // row 0 at constant 5, written first
        {16, bits(6)}, {17, bits(4)}, {18, bits(2)}, {19, 0}};
    EXPECT_EQ(constants, expected);
    const auto packets = vpPackets();
    ASSERT_EQ(packets.size(), 1u);
    const std::vector<uint32_t>& p = packets[0];
    ASSERT_EQ(p.size(), 14u);
    // sbuftop = 2 rows x 1 group + 4; rbuftop after a source row of 12 pixels.
    const std::vector<uint32_t> tail = {11, 64, p[3], 9, 64, 2, 3, 0, 1, bits(0.5f), bits(0.25f * 255.0f), 6, 9};
    EXPECT_EQ(std::vector<uint32_t>(p.begin() + 1, p.end()), tail);
    EXPECT_NE(p[0], p[3]);
}

// Deviation 1 in both directions: 11 taps exp(-t^2 / 2) times 1 / their sum in constants 4-6,
// one kernel for both passes.
TEST_F(GpuConvolve, GaussianTapsAreNormalisedBitExact)
{
    filterState(false, false, 15);
    float k[11], sum = 1.0f;
    k[5] = 1.0f;
    for (int t = 1; t <= 5; ++t) {
        k[5 - t] = k[5 + t] = std::exp(-0.5f * static_cast<float>(t * t));
        sum += 2.0f * k[5 + t];
    }
    const float norm = 1.0f / sum;
    compare(gaussian(1, 1, VG_TILE_PAD), VG_sRGBA_8888, VG_sRGBA_8888, 9, 5, false, 1, "sigma 1");
    EXPECT_EQ(gaussian_same_dev, 1);
    for (uint32_t p = 0; p < 12; ++p)
        EXPECT_EQ(gpu.reg(Unit::VPConst, 16 + p), p < 11 ? bits(norm * k[p]) : 0u) << p;
    const auto packets = vpPackets();
    ASSERT_FALSE(packets.empty());
    EXPECT_EQ(packets.back()[12], 4u);  // vbuftop: the horizontal kernel

    compare(gaussian(1, 2, VG_TILE_PAD), VG_sRGBA_8888, VG_sRGBA_8888, 9, 5, false, 1, "sigma 1, 2");
    EXPECT_EQ(gaussian_same_dev, 0);
}

// Deviation 16 (131 taps) on a 300-pixel row: tiles of at most 126 columns.
TEST_F(GpuConvolve, WideGaussianRunsInNarrowTiles)
{
    filterState(false, false, 15);
    gpu.clearLog();
    compare(gaussian(16, 16, VG_TILE_REFLECT), VG_sRGBA_8888, VG_sRGBA_8888, 300, 2, false, 1, "sigma 16");
    std::vector<uint32_t> widths;
    for (const auto& p : vpPackets()) {
        ASSERT_EQ(p.size(), 15u);
        widths.push_back(p[4] + 1);
    }
    EXPECT_EQ(widths, (std::vector<uint32_t>{126, 126, 48}));
}

// After a colour matrix or a convolution the next path drawing loads the drawing microcode back
// and fills its 10 x 10 square exactly.
TEST_F(GpuConvolve, DrawingAfterAFilterReloadsTheDrawingMicrocode)
{
    const std::vector<VGshort> k = taps(9, 1);
    const Filter filters[] = {colourMatrix(kMatrix), convolve(3, 3, 0, 0, k, 0.1f, 0, VG_TILE_PAD),
                              separable(3, 3, 0, 0, taps(3, 1), taps(3, 2), 0.1f, 0, VG_TILE_PAD),
                              gaussian(1, 1, VG_TILE_PAD)};
    const VGubyte segments[] = {VG_MOVE_TO_ABS, VG_HLINE_TO_REL, VG_VLINE_TO_REL, VG_HLINE_TO_REL, VG_CLOSE_PATH};
    const VGfloat data[] = {10, 10, 10, 10, -10};
    for (const Filter& f : filters) {
        SCOPED_TRACE(f.name);
        VGPaint paint;
        blackSurfaceWhitePaint(paint);
        const VGImage src = randomImage(VG_sRGBA_8888, 8, 8);
        const VGImage dst = randomImage(VG_sRGBA_8888, 8, 8);
        f.api(dst, src);
        EXPECT_FALSE(gpu.model().vertexProcessor().drawingMicrocodeLoaded());
        const VGPath path = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0,
                                         VG_PATH_CAPABILITY_ALL);
        vgAppendPathData(path, 5, segments, data);
        vgDrawPath(path, VG_FILL_PATH);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        EXPECT_EQ(litPixels(), 100);
        EXPECT_TRUE(gpu.model().vertexProcessor().drawingMicrocodeLoaded());
        for (VGImage i : {src, dst})
            vgDestroyImage(i);
        vgDestroyPath(path);
        vgDestroyPaint(paint);
    }
}

// With GPU memory exhausted every filter is its software filter after a drain; a vendor source
// cannot be read by them and gives VG_OUT_OF_MEMORY_ERROR.
TEST_F(GpuConvolve, ExhaustedGpuMemoryFallsBackToSoftware)
{
    filterState(false, false, 15);
    const Filter filters[] = {colourMatrix(kMatrix), convolve(3, 3, 1, 1, taps(9, 1), 0.1f, 0, VG_TILE_REFLECT),
                              separable(3, 5, 0, 2, taps(3, 1), taps(5, 2), 0.05f, 0, VG_TILE_REPEAT),
                              gaussian(1, 2, VG_TILE_PAD)};
    const VGImage src = randomImage(VG_sRGBA_4444, 24, 6);
    const VGImage dst = randomImage(VG_sRGB_565, 24, 6);
    const VGImage ref = twin(dst);
    std::vector<uint16_t> yuvData;
    const VGImage yuv = yuvImage(24, 6, yuvData);
    ASSERT_NE(yuv, VG_INVALID_HANDLE);
    vgFinish();

    takeAllGpuMemory();
    gpu.clearLog();
    std::vector<VGErrorCode> errors;
    for (const Filter& f : filters) {
        f.api(dst, src);
        errors.push_back(vgGetError());
        EXPECT_EQ(f.software(record(ref), record(src)), VG_NO_ERROR);
        expectNear(dst, ref, 0, f.name);
        f.api(dst, yuv);
        errors.push_back(vgGetError());
    }
    releaseGpuMemory();

    EXPECT_TRUE(vpPackets().empty());
    EXPECT_EQ(errors, (std::vector<VGErrorCode>{VG_NO_ERROR, VG_OUT_OF_MEMORY_ERROR, VG_NO_ERROR,
                                                 VG_OUT_OF_MEMORY_ERROR, VG_NO_ERROR, VG_OUT_OF_MEMORY_ERROR,
                                                 VG_NO_ERROR, VG_OUT_OF_MEMORY_ERROR}));
    for (VGImage i : {yuv, src, dst, ref})
        vgDestroyImage(i);
}

// The Gaussian kernel array comes from the heap; without it the blur fails at once, with no
// software filter to fall back on.
TEST_F(GpuConvolve, GaussianWithoutItsKernelArrayIsOutOfMemory)
{
    filterState(false, false, 15);
    const VGImage src = randomImage(VG_sRGBA_8888, 8, 4);
    const VGImage dst = randomImage(VG_sRGBA_8888, 8, 4);
    const Bytes before = contents(dst);
    VGALFUNC_TVGfailFilterAlloc(1);
    vgGaussianBlur(dst, src, 2, 2, VG_TILE_PAD);
    VGALFUNC_TVGfailFilterAlloc(0);
    EXPECT_EQ(vgGetError(), VG_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(contents(dst), before);
    for (VGImage i : {src, dst})
        vgDestroyImage(i);
}

// Values whose conversion to a channel would be undefined are limited first (NaN counts as 0),
// on the GPU as in software: huge and NaN factors, a huge scale, a NaN tile fill colour.
TEST_F(GpuConvolve, HugeAndNanValuesAreClamped)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    VGfloat huge[20], nans[20];
    for (int i = 0; i < 20; ++i) {
        huge[i] = i % 3 == 0 ? 1e30f : i % 3 == 1 ? -1e30f : 0.5f;
        nans[i] = i % 2 == 0 ? nan : 0.25f;
    }
    filterState(false, false, 15);
    compare(colourMatrix(huge), VG_sRGBA_8888, VG_sRGBA_8888, 9, 5, false, 0, "1e30 factors");
    compare(colourMatrix(nans), VG_sRGBA_8888, VG_sRGBA_8888, 9, 5, false, 0, "NaN factors");
    compare(convolve(3, 3, 1, 1, taps(9, 2), 1e30f, 0, VG_TILE_PAD), VG_sRGBA_8888, VG_sRGBA_8888, 9, 5, false, 0,
            "scale 1e30");
    const VGfloat fill[4] = {nan, 0.2f, nan, 1.0f};
    vgSetfv(VG_TILE_FILL_COLOR, 4, fill);
    compare(convolve(3, 3, 4, 4, taps(9, 3), 0.1f, 0, VG_TILE_FILL), VG_sRGBA_8888, VG_sRGBA_8888, 9, 5, false, 1,
            "NaN fill colour");
}

// A 2100-row image under a 15 x 15 kernel: the apron copy of each tile stays within 2048 rows.
TEST_F(GpuConvolve, TallImagesKeepTheApronWithinTheCopysRows)
{
    filterState(false, false, 15);
    gpu.clearLog();
    compare(convolve(15, 15, 7, 7, taps(225, 4), 0.01f, 0, VG_TILE_REFLECT), VG_sRGBA_8888, VG_sRGBA_8888, 3, 2100,
            false, 1, "2100 rows");
    std::vector<uint32_t> heights;
    for (const auto& p : vpPackets())
        heights.push_back(p[7] + 1);
    EXPECT_EQ(heights, (std::vector<uint32_t>{2034, 66}));
}

// Shifts of any size, in each tiling mode: the GPU reads the same source pixels as software.
TEST_F(GpuConvolve, ExtremeShiftsInEveryTilingMode)
{
    const VGfloat fill[4] = {0.2f, 0.4f, 0.8f, 0.6f};
    vgSetfv(VG_TILE_FILL_COLOR, 4, fill);
    filterState(false, false, 15);
    const int w = 13;
    const struct {
        int sx, sy;
    } shifts[] = {{INT_MIN, 0}, {INT_MAX, 1}, {-3 * w, INT_MIN}, {2, INT_MAX}, {-3 * w, -3 * 7}};
    for (VGTilingMode t : kTilings)
        for (const auto& s : shifts) {
            compare(convolve(3, 2, s.sx, s.sy, taps(6, 5), 0.1f, 0, t), VG_sRGBA_8888, VG_sRGBA_8888, w, 7, false, 1,
                    "convolve shift " + std::to_string(s.sx) + "," + std::to_string(s.sy) + " tiling " +
                        std::to_string(t));
            compare(separable(3, 2, s.sx, s.sy, taps(3, 1), taps(2, 2), 0.1f, 0, t), VG_sRGBA_8888, VG_sRGBA_8888,
                    w, 7, false, 1,
                    "separable shift " + std::to_string(s.sx) + "," + std::to_string(s.sy) + " tiling " +
                        std::to_string(t));
            if (HasFailure())
                return;
        }
}

// A deviation whose square underflows gives the identity kernel: the image is unchanged.
TEST_F(GpuConvolve, ATinyDeviationLeavesTheImageUnchanged)
{
    filterState(false, false, 15);
    const VGImage src = randomImage(VG_sRGBA_8888, 11, 5);
    const VGImage dst = randomImage(VG_sRGBA_8888, 11, 5);
    vgGaussianBlur(dst, src, 1e-30f, 1e-30f, VG_TILE_PAD);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(contents(dst), contents(src));
    for (VGImage i : {src, dst})
        vgDestroyImage(i);
}

// The argument checks of the four entry points, after the image checks every filter shares.
TEST_F(GpuConvolve, ArgumentChecks)
{
    const VGImage a = randomImage(VG_sRGBA_8888, 8, 8);
    const VGImage b = randomImage(VG_sRGBA_8888, 8, 8);
    std::vector<VGshort> kernelStore(15 * 15 + 1, 1);
    const VGshort* k = kernelStore.data();
    const VGshort* misaligned = reinterpret_cast<const VGshort*>(reinterpret_cast<const uint8_t*>(k) + 1);
    std::vector<VGfloat> matrixStore(21, 0.5f);
    const VGfloat* m = matrixStore.data();
    const VGfloat* misalignedMatrix = reinterpret_cast<const VGfloat*>(reinterpret_cast<const uint8_t*>(m) + 2);
    const auto tiling = static_cast<VGTilingMode>(0x1D04);
    const struct {
        std::string what;
        std::function<void()> call;
        VGErrorCode error;
    } cases[] = {
        {"matrix", [&] { vgColorMatrix(a, b, m); }, VG_NO_ERROR},
        {"matrix same image", [&] { vgColorMatrix(a, a, m); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"matrix null", [&] { vgColorMatrix(a, b, nullptr); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"matrix misaligned", [&] { vgColorMatrix(a, b, misalignedMatrix); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"matrix bad handle", [&] { vgColorMatrix(a, 0x12345670, m); }, VG_BAD_HANDLE_ERROR},
        {"convolve 15", [&] { vgConvolve(a, b, 15, 15, 0, 0, k, 1, 0, VG_TILE_PAD); }, VG_NO_ERROR},
        {"convolve 16", [&] { vgConvolve(a, b, 16, 1, 0, 0, k, 1, 0, VG_TILE_PAD); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"convolve 0", [&] { vgConvolve(a, b, 1, 0, 0, 0, k, 1, 0, VG_TILE_PAD); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"convolve null", [&] { vgConvolve(a, b, 3, 3, 0, 0, nullptr, 1, 0, VG_TILE_PAD); },
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"convolve misaligned", [&] { vgConvolve(a, b, 3, 3, 0, 0, misaligned, 1, 0, VG_TILE_PAD); },
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"convolve tiling", [&] { vgConvolve(a, b, 3, 3, 0, 0, k, 1, 0, tiling); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"convolve reflect", [&] { vgConvolve(a, b, 3, 3, 0, 0, k, 1, 0, VG_TILE_REFLECT); }, VG_NO_ERROR},
        {"separable 15", [&] { vgSeparableConvolve(a, b, 15, 15, 0, 0, k, k, 1, 0, VG_TILE_FILL); }, VG_NO_ERROR},
        {"separable 16", [&] { vgSeparableConvolve(a, b, 15, 16, 0, 0, k, k, 1, 0, VG_TILE_FILL); },
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"separable null y", [&] { vgSeparableConvolve(a, b, 3, 3, 0, 0, k, nullptr, 1, 0, VG_TILE_FILL); },
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"separable misaligned x", [&] { vgSeparableConvolve(a, b, 3, 3, 0, 0, misaligned, k, 1, 0, VG_TILE_FILL); },
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"separable tiling", [&] { vgSeparableConvolve(a, b, 3, 3, 0, 0, k, k, 1, 0, tiling); },
         VG_ILLEGAL_ARGUMENT_ERROR},
        {"gaussian 16.0", [&] { vgGaussianBlur(a, b, 16.0f, 16.0f, VG_TILE_PAD); }, VG_NO_ERROR},
        {"gaussian 16.01", [&] { vgGaussianBlur(a, b, 1.0f, 16.01f, VG_TILE_PAD); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"gaussian 0", [&] { vgGaussianBlur(a, b, 0.0f, 1.0f, VG_TILE_PAD); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"gaussian NaN", [&] { vgGaussianBlur(a, b, std::nanf(""), 1.0f, VG_TILE_PAD); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"gaussian tiling", [&] { vgGaussianBlur(a, b, 1.0f, 1.0f, tiling); }, VG_ILLEGAL_ARGUMENT_ERROR},
        {"gaussian same image", [&] { vgGaussianBlur(a, a, 1.0f, 1.0f, VG_TILE_PAD); }, VG_ILLEGAL_ARGUMENT_ERROR},
    };
    filterState(false, false, 15);
    for (const auto& c : cases) {
        c.call();
        EXPECT_EQ(vgGetError(), c.error) << c.what;
    }
    for (VGImage i : {a, b})
        vgDestroyImage(i);
}

// Called without the API's checks, the GPU filters refuse what would overrun their tap arrays
// or their constant budget, and write nothing.
TEST_F(GpuConvolve, RefusesArgumentsTheApiNeverHandsOver)
{
    filterState(false, false, 15);
    const VGImage src = randomImage(VG_sRGBA_8888, 8, 4);
    const VGImage dst = randomImage(VG_sRGBA_8888, 8, 4);
    const Bytes before = contents(dst);
    OVGimage* d = record(dst);
    OVGimage* s = record(src);
    std::vector<VGshort> k(16 * 16, 1);
    const struct {
        std::string what;
        std::function<int()> call;
    } cases[] = {
        {"no matrix", [&] { return VGALFUNC_lx_color_matrix(d, s, nullptr); }},
        {"convolve 16 wide", [&] { return VGALFUNC_lx_convolve(d, s, 16, 1, 0, 0, k.data(), 1, 0, VG_TILE_PAD); }},
        {"convolve 0 high", [&] { return VGALFUNC_lx_convolve(d, s, 1, 0, 0, 0, k.data(), 1, 0, VG_TILE_PAD); }},
        {"convolve no kernel", [&] { return VGALFUNC_lx_convolve(d, s, 3, 3, 0, 0, nullptr, 1, 0, VG_TILE_PAD); }},
        {"separable 16 high",
         [&] { return VGALFUNC_lx_separable_convolve(d, s, 3, 16, 0, 0, k.data(), k.data(), 1, 0, VG_TILE_PAD); }},
        {"separable no kernel",
         [&] { return VGALFUNC_lx_separable_convolve(d, s, 3, 3, 0, 0, k.data(), nullptr, 1, 0, VG_TILE_PAD); }},
        {"deviation 17", [&] { return VGALFUNC_lx_gaussian_blur(d, s, 17, 1, VG_TILE_PAD); }},
        {"deviation NaN", [&] { return VGALFUNC_lx_gaussian_blur(d, s, 1, std::nanf(""), VG_TILE_PAD); }},
    };
    gpu.clearLog();
    for (const auto& c : cases)
        EXPECT_EQ(c.call(), VG_ILLEGAL_ARGUMENT_ERROR) << c.what;
    EXPECT_TRUE(gpu.log().empty());
    EXPECT_EQ(contents(dst), before);
    for (VGImage i : {src, dst})
        vgDestroyImage(i);
}

}  // namespace
}  // namespace gputest
