// The software colour matrix, convolutions and Gaussian blur on images in GPU memory, against
// the OpenVG definitions computed here: the matrix with offsets, clamping, filter formats and the
// channel mask; the convolution at the image edges in each tiling mode, with shifts of any size;
// the separable convolution against the full one; the blur's normalisation and symmetry; child
// windows; and what the filters refuse or cannot allocate.
#include "tvg_filter_test_support.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_swpixel.h"
#include "vg/al_lx740/vg_tvg_filter_frame.h"

namespace gputest {
namespace {

using Rgba = std::array<int, 4>;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// sRGBA_8888 pixels are stored little-endian: A, B, G, R.
Rgba pixelAt(const Bytes& b, int stride, int x, int y)
{
    const uint8_t* p = &b[static_cast<size_t>(y * stride + 4 * x)];
    return {p[3], p[2], p[1], p[0]};
}

void setPixel(Bytes& b, int stride, int x, int y, const Rgba& c)
{
    uint8_t* p = &b[static_cast<size_t>(y * stride + 4 * x)];
    p[3] = static_cast<uint8_t>(c[0]), p[2] = static_cast<uint8_t>(c[1]);
    p[1] = static_cast<uint8_t>(c[2]), p[0] = static_cast<uint8_t>(c[3]);
}

// The source coordinate a tiling mode reads for v on an axis of n pixels; -1 is the fill colour.
long long tileCoordinate(VGTilingMode mode, long long v, long long n)
{
    if (v >= 0 && v < n)
        return v;
    switch (mode) {
    case VG_TILE_FILL: return -1;
    case VG_TILE_PAD: return std::clamp(v, 0LL, n - 1);
    case VG_TILE_REPEAT: return ((v % n) + n) % n;
    default: {
        const long long m = ((v % (2 * n)) + 2 * n) % (2 * n);
        return m < n ? m : 2 * n - 1 - m;
    }
    }
}

// An sRGBA_8888 source with the sRGB, non-premultiplied filter format: the filter sees the
// stored channels as they are.
struct Plain {
    int w, h, stride;
    Bytes bytes;
    Rgba fill;
    Rgba at(VGTilingMode mode, long long x, long long y) const
    {
        const long long tx = tileCoordinate(mode, x, w), ty = tileCoordinate(mode, y, h);
        return tx < 0 || ty < 0 ? fill : pixelAt(bytes, stride, static_cast<int>(tx), static_cast<int>(ty));
    }
};

int clamp255(float v)
{
    return !(v > 0.0f) ? 0 : v >= 255.0f ? 255 : static_cast<int>(v);
}

// vgConvolve by its definition: sum of kernel[(kw-1-i)][(kh-1-j)] p(x + i - sx, y + j - sy).
std::vector<Rgba> referenceConvolve(const Plain& s, int kw, int kh, int sx, int sy, const std::vector<VGshort>& k,
                                    float scale, float bias, VGTilingMode mode)
{
    std::vector<Rgba> out;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            Rgba r{};
            for (int c = 0; c < 4; ++c) {
                float sum = 0.0f;  // integer products: exact in any order
                for (int j = 0; j < kh; ++j)
                    for (int i = 0; i < kw; ++i)
                        sum += static_cast<float>(k[static_cast<size_t>((kw - 1 - i) * kh + (kh - 1 - j))]) *
                               static_cast<float>(s.at(mode, 0LL + x + i - sx, 0LL + y + j - sy)[c]);
                r[c] = clamp255(scale * sum + bias * 255.0f);
            }
            out.push_back(r);
        }
    return out;
}

std::vector<Rgba> pixels(const GpuImage& img, int w, int h)
{
    const Bytes b = img.bytes();
    std::vector<Rgba> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.push_back(pixelAt(b, img.stride(), x, y));
    return out;
}

const VGTilingMode kModes[] = {VG_TILE_FILL, VG_TILE_PAD, VG_TILE_REPEAT, VG_TILE_REFLECT};

class SoftwareConvolution : public SoftwareFilterTest {
protected:
    void SetUp() override
    {
        SoftwareFilterTest::SetUp();
        filterFormat(false, false);
        ctx.tileFillColor = {0.2f, 0.4f, 0.6f, 0.8f};  // 51, 102, 153, 204
    }
    Plain randomSource(GpuImage& s)
    {
        const Bytes b = s.fillRandom(rng);
        return {s.img.activeRect.width, s.img.activeRect.height, s.stride(), b, {51, 102, 153, 204}};
    }
    std::vector<VGshort> randomKernel(size_t n, int range)
    {
        std::vector<VGshort> k(n);
        for (VGshort& v : k)
            v = static_cast<VGshort>(static_cast<int>(rng() % static_cast<unsigned>(2 * range + 1)) - range);
        return k;
    }
};

// One pixel through the matrix; offsets count in 0..1 units of a channel.
TEST_F(SoftwareConvolution, TheColourMatrixPerPixel)
{
    using M = std::array<VGfloat, 20>;
    const M id{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    M swap{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    M offsets = id;
    offsets[16] = 0.5f, offsets[17] = -0.25f, offsets[18] = 0.0f, offsets[19] = -0.1f;
    M mixed{0.5f, 0, 0, 0, 0.25f, 2, 0, 0, 0.25f, 0, -1, 0, 0, 0, 1, 1, 0, 0, 0.75f, 0};
    M huge = id;
    huge[0] = 1e30f, huge[5] = -1e30f, huge[10] = kNaN, huge[19] = kNaN;
    M killAlpha = id;
    killAlpha[15] = -1.0f;
    struct Case {
        const char* what;
        M m;
        bool linear, pre;
        VGbitfield mask;
        Rgba src, before, expect;
    } const cases[] = {
        {"identity", id, false, false, 15, {10, 20, 30, 40}, {0, 0, 0, 0}, {10, 20, 30, 40}},
        {"red and blue swapped", swap, false, false, 15, {10, 20, 30, 40}, {0, 0, 0, 0}, {30, 20, 10, 40}},
        // 100 + 127.5, 50 - 63.75 clamped, 25, 200 - 25.5 truncated.
        {"offsets", offsets, false, false, 15, {100, 50, 25, 200}, {0, 0, 0, 0}, {227, 0, 25, 174}},
        // Column-major: R' = 50 + 12.5 + 7.5; G' = 2 G; B' = -30 + 200 + 191.25 clamped; A' = A.
        {"mixed weights", mixed, false, false, 15, {100, 50, 30, 200}, {0, 0, 0, 0}, {70, 100, 255, 200}},
        {"huge and NaN factors", huge, false, false, 15, {100, 50, 30, 200}, {0, 0, 0, 0}, {255, 0, 0, 0}},
        // Alpha driven negative: 0, and the premultiplied colours limited to it.
        {"alpha negative, premultiplied", killAlpha, false, true, 15, {255, 255, 255, 255}, {9, 9, 9, 9}, {0, 0, 0, 0}},
        // Premultiplied filter format: colours 40 * 200 / 255 = 31 in, out again 31 * 255 / 200.
        {"premultiplied round trip", id, false, true, 15, {40, 80, 120, 200}, {0, 0, 0, 0}, {39, 79, 119, 200}},
        {"green only", swap, false, false, VG_GREEN, {10, 20, 30, 40}, {1, 2, 3, 4}, {1, 20, 3, 4}},
        {"red and alpha", swap, false, false, VG_RED | VG_ALPHA, {10, 20, 30, 40}, {1, 2, 3, 4}, {30, 2, 3, 40}},
    };
    for (const Case& c : cases) {
        GpuImage s(VG_sRGBA_8888, 1, 1), d(VG_sRGBA_8888, 1, 1);
        Bytes sb(s.size(), 0), db(d.size(), 0);
        setPixel(sb, s.stride(), 0, 0, c.src);
        setPixel(db, d.stride(), 0, 0, c.before);
        s.setBytes(sb), d.setBytes(db);
        filterFormat(c.linear, c.pre, c.mask);
        ASSERT_EQ(VGALFUNC_TVGmemColorMatrix(&d.img, &s.img, c.m.data()), 0) << c.what;
        EXPECT_EQ(pixelAt(d.bytes(), d.stride(), 0, 0), c.expect) << c.what;
    }
}

// Linear filter format: the matrix sees linear values and the result goes back through the
// linear-to-sRGB table.
TEST_F(SoftwareConvolution, TheColourMatrixInTheLinearFilterFormat)
{
    std::array<VGfloat, 20> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0.2f, 0, 0, 0};
    GpuImage s(VG_sRGBA_8888, 16, 16), d(VG_sRGBA_8888, 16, 16);
    const Bytes src = s.fillRandom(rng);
    filterFormat(true, false);
    ASSERT_EQ(VGALFUNC_TVGmemColorMatrix(&d.img, &s.img, m.data()), 0);
    const Bytes got = d.bytes();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const Rgba p = pixelAt(src, s.stride(), x, y);
            const int r = clamp255(static_cast<float>(VGALVAL_tvg_inv_gamma_table[p[0]]) + 255.0f * 0.2f);
            const Rgba expect{VGALVAL_tvg_gamma_table[r], VGALVAL_tvg_gamma_table[VGALVAL_tvg_inv_gamma_table[p[1]]],
                              VGALVAL_tvg_gamma_table[VGALVAL_tvg_inv_gamma_table[p[2]]], p[3]};
            EXPECT_EQ(pixelAt(got, d.stride(), x, y), expect) << x << "," << y;
        }
}

// A 1 x 1 kernel of 1 reads S(x - sx): the source column that each mode maps a shift to, on a
// 4-pixel row.
TEST_F(SoftwareConvolution, TheTilingModesMapColumnsOutsideTheSource)
{
    struct Case {
        VGTilingMode mode;
        int sx;
        int column;  // read by destination column 0; -1 the fill colour
    } const cases[] = {
        {VG_TILE_REFLECT, 1, 0},  {VG_TILE_REFLECT, -4, 3}, {VG_TILE_REFLECT, -9, 1}, {VG_TILE_REFLECT, 8, 0},
        {VG_TILE_REPEAT, 1, 3},   {VG_TILE_REPEAT, -9, 1},  {VG_TILE_PAD, 7, 0},      {VG_TILE_PAD, -6, 3},
        {VG_TILE_FILL, 1, -1},    {VG_TILE_FILL, -4, -1},   {VG_TILE_REPEAT, INT_MIN, 0},
        {VG_TILE_REFLECT, INT_MAX, 1},  // -2147483647 is 1 modulo 8
        {VG_TILE_PAD, INT_MIN, 3},      {VG_TILE_FILL, INT_MAX, -1},
    };
    const VGshort one = 1;
    for (const Case& c : cases) {
        GpuImage s(VG_sRGBA_8888, 4, 1), d(VG_sRGBA_8888, 4, 1);
        const Plain p = randomSource(s);
        ASSERT_EQ(VGALFUNC_TVGmemConvolve(&d.img, &s.img, 1, 1, c.sx, 0, &one, 1.0f, 0.0f, c.mode), 0);
        const Rgba expect = p.at(c.mode, -static_cast<long long>(c.sx), 0);
        EXPECT_EQ(pixelAt(d.bytes(), d.stride(), 0, 0), expect) << std::hex << c.mode << std::dec << " sx " << c.sx;
        EXPECT_EQ(expect, c.column < 0 ? p.fill : pixelAt(p.bytes, p.stride, c.column, 0)) << "column " << c.column;
    }
}

// Whole images against the definition: each mode at the edges, odd and asymmetric kernels (a
// transposed kernel would give other pixels), shifts past the image and of any size, scale and
// bias.
TEST_F(SoftwareConvolution, ConvolutionAtTheEdgesInEachMode)
{
    struct Case {
        int w, h, kw, kh, sx, sy;
        float scale, bias;
    } const cases[] = {
        {7, 5, 1, 1, 0, 0, 0.5f, 0.25f},   {7, 5, 3, 1, 1, 0, 1.0f, 0.0f},     {7, 5, 3, 2, 2, 0, 0.25f, 0.1f},
        {5, 7, 5, 3, 1, 2, 0.125f, 0.5f},  {9, 4, 15, 15, 7, 7, 1 / 64.0f, 0}, {3, 3, 4, 6, -2, 5, 0.5f, -0.25f},
        {6, 5, 3, 3, INT_MIN, INT_MAX, 0.5f, 0}, {6, 5, 2, 3, -18, 40, 0.5f, 0},
    };
    for (const Case& c : cases)
        for (VGTilingMode mode : kModes) {
            GpuImage s(VG_sRGBA_8888, c.w, c.h), d(VG_sRGBA_8888, c.w, c.h);
            const Plain p = randomSource(s);
            const std::vector<VGshort> k = randomKernel(static_cast<size_t>(c.kw * c.kh), 4);
            ASSERT_EQ(VGALFUNC_TVGmemConvolve(&d.img, &s.img, c.kw, c.kh, c.sx, c.sy, k.data(), c.scale, c.bias, mode), 0);
            EXPECT_EQ(pixels(d, c.w, c.h), referenceConvolve(p, c.kw, c.kh, c.sx, c.sy, k, c.scale, c.bias, mode))
                << std::hex << mode << std::dec << " kernel " << c.kw << "x" << c.kh << " shift " << c.sx << "," << c.sy;
        }
}

// A 1 x 1 kernel scales a copy: kernel 2 at scale 0.25 halves every channel in the filter
// format, as a lookup through halving tables does (its output format set to the filter format),
// into each destination format.
TEST_F(SoftwareConvolution, AOnePixelKernelIsAScaledCopy)
{
    std::array<VGubyte, 256> half{};
    for (int i = 0; i < 256; ++i)
        half[static_cast<size_t>(i)] = static_cast<VGubyte>(i / 2);
    const VGshort two = 2;
    for (VGImageFormat df : {VG_sRGBA_8888, VG_sRGBA_8888_PRE, VG_sRGB_565, VG_lL_8, VG_A_8, VG_A_4, VG_BW_1,
                             VG_sBGRA_8888_PRE, VG_lRGBA_8888})
        for (int flags = 0; flags < 4; ++flags) {
            const bool linear = flags & 1, pre = flags & 2;
            GpuImage s(VG_sRGBA_8888, 6, 3), d(df, 6, 3), byLookup(df, 6, 3);
            s.fillRandom(rng);
            const Bytes before = d.fillRandom(rng);
            byLookup.setBytes(before);
            filterFormat(linear, pre);
            ASSERT_EQ(VGALFUNC_TVGmemConvolve(&d.img, &s.img, 1, 1, 0, 0, &two, 0.25f, 0.0f, VG_TILE_PAD), 0);
            ASSERT_EQ(VGALFUNC_TVGmemLookup(&byLookup.img, &s.img, half.data(), half.data(), half.data(), half.data(),
                                            linear ? VG_TRUE : VG_FALSE, pre ? VG_TRUE : VG_FALSE),
                      0);
            EXPECT_EQ(d.bytes(), byLookup.bytes()) << std::hex << df << std::dec << " linear " << linear << " pre " << pre;
        }
}

// A 3 x 1 row of ones shifted by one adds the fill colour into the first and last columns.
TEST_F(SoftwareConvolution, ARowOfOnesAddsTheFillColourAtTheSides)
{
    const VGshort ones[3] = {1, 1, 1};
    GpuImage s(VG_sRGBA_8888, 3, 1), d(VG_sRGBA_8888, 3, 1);
    Bytes b(s.size(), 0);
    for (int x = 0; x < 3; ++x)
        setPixel(b, s.stride(), x, 0, {10, 10, 10, 10});
    s.setBytes(b);
    ASSERT_EQ(VGALFUNC_TVGmemConvolve(&d.img, &s.img, 3, 1, 1, 0, ones, 1.0f, 0.0f, VG_TILE_FILL), 0);
    EXPECT_EQ(pixels(d, 3, 1), (std::vector<Rgba>{{71, 122, 173, 224}, {30, 30, 30, 30}, {71, 122, 173, 224}}));
}

// The separable convolution is the full one with the outer product kernel[i][j] = kx[i] ky[j];
// with VG_TILE_FILL the rows above and below read the fill colour times the horizontal taps.
TEST_F(SoftwareConvolution, SeparableEqualsTheFullOuterProduct)
{
    struct Case {
        int w, h, kw, kh, sx, sy;
    } const cases[] = {{7, 5, 5, 3, 2, 1}, {4, 9, 1, 7, 0, 6}, {5, 5, 15, 15, -3, 20}, {6, 3, 2, 4, 9, -8}};
    for (const Case& c : cases)
        for (VGTilingMode mode : kModes) {
            GpuImage s(VG_sRGBA_8888, c.w, c.h), d(VG_sRGBA_8888, c.w, c.h), full(VG_sRGBA_8888, c.w, c.h);
            randomSource(s);
            const std::vector<VGshort> kx = randomKernel(static_cast<size_t>(c.kw), 3),
                                       ky = randomKernel(static_cast<size_t>(c.kh), 3);
            std::vector<VGshort> k;
            for (int i = 0; i < c.kw; ++i)
                for (int j = 0; j < c.kh; ++j)
                    k.push_back(static_cast<VGshort>(kx[static_cast<size_t>(i)] * ky[static_cast<size_t>(j)]));
            ASSERT_EQ(VGALFUNC_TVGmemSeparableConvolve(&d.img, &s.img, c.kw, c.kh, c.sx, c.sy, kx.data(), ky.data(),
                                                       0.125f, 0.5f, mode),
                      0);
            ASSERT_EQ(VGALFUNC_TVGmemConvolve(&full.img, &s.img, c.kw, c.kh, c.sx, c.sy, k.data(), 0.125f, 0.5f, mode), 0);
            EXPECT_EQ(pixels(d, c.w, c.h), pixels(full, c.w, c.h))
                << std::hex << mode << std::dec << " kernel " << c.kw << "x" << c.kh;
        }
}

// vgGaussianBlur by its definition: the normalised two-dimensional Gaussian, in double.
std::vector<Rgba> referenceBlur(const Plain& s, double dx, double dy, VGTilingMode mode)
{
    const int nx = static_cast<int>(dx * 4 + 1), ny = static_cast<int>(dy * 4 + 1);
    double total = 0;
    for (int j = -ny; j <= ny; ++j)
        for (int i = -nx; i <= nx; ++i)
            total += std::exp(-(i * i / (2 * dx * dx) + j * j / (2 * dy * dy)));
    std::vector<Rgba> out;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
            std::array<double, 4> sum{};
            for (int j = -ny; j <= ny; ++j)
                for (int i = -nx; i <= nx; ++i) {
                    const double g = std::exp(-(i * i / (2 * dx * dx) + j * j / (2 * dy * dy))) / total;
                    const Rgba p = s.at(mode, x + i, y + j);
                    for (int c = 0; c < 4; ++c)
                        sum[static_cast<size_t>(c)] += g * p[static_cast<size_t>(c)];
                }
            out.push_back({static_cast<int>(sum[0]), static_cast<int>(sum[1]), static_cast<int>(sum[2]),
                           static_cast<int>(sum[3])});
        }
    return out;
}

TEST_F(SoftwareConvolution, GaussianBlurAgainstTheDefinition)
{
    struct Case {
        float dx, dy;
        int w, h;
    } const cases[] = {{0.5f, 0.5f, 9, 7}, {1, 2, 11, 8}, {2, 1, 8, 11}, {16, 16, 7, 5}, {0.05f, 3, 6, 6}};
    for (const Case& c : cases)
        for (VGTilingMode mode : kModes) {
            GpuImage s(VG_sRGBA_8888, c.w, c.h), d(VG_sRGBA_8888, c.w, c.h);
            const Plain p = randomSource(s);
            ASSERT_EQ(VGALFUNC_TVGmemGaussianBlur(&d.img, &s.img, c.dx, c.dy, mode), 0);
            const std::vector<Rgba> got = pixels(d, c.w, c.h), expect = referenceBlur(p, c.dx, c.dy, mode);
            for (size_t i = 0; i < got.size(); ++i)
                for (size_t k = 0; k < 4; ++k)
                    EXPECT_LE(std::abs(got[i][k] - expect[i][k]), 1)
                        << std::hex << mode << std::dec << " deviation " << c.dx << "," << c.dy << " pixel " << i;
        }
}

// A flat image stays flat (within a unit: the taps are normalised), also when the fill colour
// is the image's colour; an impulse spreads symmetrically without gaining weight (truncation
// loses less than a unit a pixel it reaches); a deviation whose square underflows leaves the
// image unchanged.
TEST_F(SoftwareConvolution, GaussianBlurIsNormalisedAndSymmetric)
{
    ctx.tileFillColor = {0.6f, 0.6f, 0.6f, 0.6f};  // 153
    for (VGTilingMode mode : kModes)
        for (float dev : {0.3f, 1.0f, 16.0f}) {
            GpuImage s(VG_sRGBA_8888, 9, 6), d(VG_sRGBA_8888, 9, 6);
            Bytes b(s.size(), 0);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 9; ++x)
                    setPixel(b, s.stride(), x, y, {153, 153, 153, 153});
            s.setBytes(b);
            ASSERT_EQ(VGALFUNC_TVGmemGaussianBlur(&d.img, &s.img, dev, dev, mode), 0);
            for (const Rgba& p : pixels(d, 9, 6))
                for (int v : p)
                    EXPECT_NEAR(v, 153, 1) << std::hex << mode << std::dec << " deviation " << dev;
        }

    GpuImage s(VG_sRGBA_8888, 21, 21), d(VG_sRGBA_8888, 21, 21);
    Bytes b(s.size(), 0);
    setPixel(b, s.stride(), 10, 10, {255, 255, 255, 255});
    s.setBytes(b);
    for (float dev : {0.5f, 1.0f, 2.0f}) {
        ASSERT_EQ(VGALFUNC_TVGmemGaussianBlur(&d.img, &s.img, dev, dev, VG_TILE_PAD), 0);
        const Bytes got = d.bytes();
        const int n = static_cast<int>(dev * 4 + 1);
        int sum = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x) {
                const Rgba p = pixelAt(got, d.stride(), x, y);
                sum += p[3];
                EXPECT_EQ(p, pixelAt(got, d.stride(), 20 - x, y)) << x << "," << y;
                EXPECT_EQ(p, pixelAt(got, d.stride(), x, 20 - y)) << x << "," << y;
                EXPECT_NEAR(p[3], pixelAt(got, d.stride(), y, x)[3], 1) << x << "," << y;
            }
        EXPECT_LE(sum, 255) << dev;
        EXPECT_GT(sum, 255 - (2 * n + 1) * (2 * n + 1)) << dev;
        EXPECT_GT(pixelAt(got, d.stride(), 10, 10)[3], pixelAt(got, d.stride(), 11, 10)[3]) << dev;
    }

    s.fillRandom(rng);
    ASSERT_EQ(VGALFUNC_TVGmemGaussianBlur(&d.img, &s.img, 1e-30f, 1e-30f, VG_TILE_FILL), 0);
    EXPECT_EQ(pixels(d, 21, 21), pixels(s, 21, 21));
}

// Child windows of one buffer: the kernel reaches past the source window through the tiling
// rule, never into the rest of the buffer, and overlapping windows read the original pixels.
TEST_F(SoftwareConvolution, ChildWindowsTileAtTheirOwnEdges)
{
    struct Case {
        OVGrect s, d;
    } const cases[] = {{{2, 1, 5, 4}, {9, 3, 5, 4}}, {{1, 1, 6, 5}, {3, 2, 6, 5}}, {{4, 2, 5, 5}, {4, 2, 5, 5}}};
    const std::vector<VGshort> k{1, 2, 0, -1, 3, 1, 2, 1, 1};
    for (const Case& c : cases)
        for (VGTilingMode mode : kModes) {
            GpuImage parent(VG_sRGBA_8888, 16, 8);
            GpuImage s(parent, c.s.x, c.s.y, c.s.width, c.s.height), d(parent, c.d.x, c.d.y, c.d.width, c.d.height);
            const Bytes before = parent.fillRandom(rng);
            Plain p{c.s.width, c.s.height, parent.stride(), Bytes(), {51, 102, 153, 204}};
            p.bytes.resize(static_cast<size_t>(p.stride * p.h));
            for (int y = 0; y < p.h; ++y)
                for (int x = 0; x < p.w; ++x)
                    setPixel(p.bytes, p.stride, x, y, pixelAt(before, parent.stride(), c.s.x + x, c.s.y + y));
            ASSERT_EQ(VGALFUNC_TVGmemConvolve(&d.img, &s.img, 3, 3, 1, 1, k.data(), 0.25f, 0.0f, mode), 0);
            const std::vector<Rgba> expect = referenceConvolve(p, 3, 3, 1, 1, k, 0.25f, 0.0f, mode);
            Bytes want = before;
            for (int y = 0; y < p.h; ++y)
                for (int x = 0; x < p.w; ++x)
                    setPixel(want, parent.stride(), c.d.x + x, c.d.y + y, expect[static_cast<size_t>(y * p.w + x)]);
            EXPECT_EQ(parent.bytes(), want) << std::hex << mode << std::dec << " source " << c.s.x << "," << c.s.y;
        }
}

// Arguments OpenVG never hands over are refused with nothing written; scale, bias and fill
// colour that overflow or are NaN give clamped results; a heap block that cannot be had, at
// any of the allocations, leaves the destination untouched.
TEST_F(SoftwareConvolution, RefusalsOverflowsAndAllocationFailures)
{
    GpuImage s(VG_sRGBA_8888, 5, 4), d(VG_sRGBA_8888, 5, 4);
    s.fillRandom(rng);
    const Bytes before = d.fillRandom(rng);
    const std::vector<VGshort> k(16 * 16, 1);
    struct Refusal {
        const char* what;
        int result;
    } const refusals[] = {
        {"kernel width 0", VGALFUNC_TVGmemConvolve(&d.img, &s.img, 0, 3, 0, 0, k.data(), 1, 0, VG_TILE_PAD)},
        {"kernel height 16", VGALFUNC_TVGmemConvolve(&d.img, &s.img, 3, 16, 0, 0, k.data(), 1, 0, VG_TILE_PAD)},
        {"negative width", VGALFUNC_TVGmemConvolve(&d.img, &s.img, -3, 3, 0, 0, k.data(), 1, 0, VG_TILE_PAD)},
        {"no kernel", VGALFUNC_TVGmemConvolve(&d.img, &s.img, 3, 3, 0, 0, nullptr, 1, 0, VG_TILE_PAD)},
        {"separable width 16",
         VGALFUNC_TVGmemSeparableConvolve(&d.img, &s.img, 16, 3, 0, 0, k.data(), k.data(), 1, 0, VG_TILE_PAD)},
        {"no vertical kernel",
         VGALFUNC_TVGmemSeparableConvolve(&d.img, &s.img, 3, 3, 0, 0, k.data(), nullptr, 1, 0, VG_TILE_PAD)},
        {"deviation 0", VGALFUNC_TVGmemGaussianBlur(&d.img, &s.img, 0.0f, 1.0f, VG_TILE_PAD)},
        {"deviation 16.01", VGALFUNC_TVGmemGaussianBlur(&d.img, &s.img, 1.0f, 16.01f, VG_TILE_PAD)},
        {"NaN deviation", VGALFUNC_TVGmemGaussianBlur(&d.img, &s.img, kNaN, 1.0f, VG_TILE_PAD)},
        {"infinite deviation",
         VGALFUNC_TVGmemGaussianBlur(&d.img, &s.img, 1.0f, std::numeric_limits<float>::infinity(), VG_TILE_PAD)},
        {"no matrix", VGALFUNC_TVGmemColorMatrix(&d.img, &s.img, nullptr)},
    };
    for (const Refusal& r : refusals)
        EXPECT_EQ(r.result, VG_ILLEGAL_ARGUMENT_ERROR) << r.what;
    EXPECT_EQ(d.bytes(), before);

    // Overflowing and NaN arithmetic: clamped, clean under the sanitizers.
    ctx.tileFillColor = {kNaN, 1e30f, -1e30f, 0.5f};
    ASSERT_EQ(VGALFUNC_TVGmemConvolve(&d.img, &s.img, 3, 3, 1, 1, k.data(), 1e30f, 0.0f, VG_TILE_FILL), 0);
    for (const Rgba& p : pixels(d, 5, 4))
        for (int v : p)
            EXPECT_TRUE(v == 0 || v == 255) << v;
    ASSERT_EQ(VGALFUNC_TVGmemConvolve(&d.img, &s.img, 3, 3, 1, 1, k.data(), 1.0f, kNaN, VG_TILE_FILL), 0);
    EXPECT_EQ(pixels(d, 5, 4), std::vector<Rgba>(20, Rgba{0, 0, 0, 0}));

    // Image copies 1-2, then the work arrays and the Gaussian kernel.
    const Bytes held = d.fillRandom(rng);
    struct Failure {
        const char* what;
        int allocations;
        int (*run)(GpuImage&, GpuImage&, const VGshort*);
    } const failures[] = {
        {"convolve", 3,
         [](GpuImage& dd, GpuImage& ss, const VGshort* kk) {
             return VGALFUNC_TVGmemConvolve(&dd.img, &ss.img, 3, 3, 1, 1, kk, 1, 0, VG_TILE_PAD);
         }},
        {"separable", 4,
         [](GpuImage& dd, GpuImage& ss, const VGshort* kk) {
             return VGALFUNC_TVGmemSeparableConvolve(&dd.img, &ss.img, 3, 3, 1, 1, kk, kk, 1, 0, VG_TILE_PAD);
         }},
        {"gaussian", 5,
         [](GpuImage& dd, GpuImage& ss, const VGshort*) {
             return VGALFUNC_TVGmemGaussianBlur(&dd.img, &ss.img, 1.0f, 2.0f, VG_TILE_PAD);
         }},
        {"colour matrix", 2,
         [](GpuImage& dd, GpuImage& ss, const VGshort*) {
             static const VGfloat m[20] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
             return VGALFUNC_TVGmemColorMatrix(&dd.img, &ss.img, m);
         }},
    };
    for (const Failure& f : failures)
        for (int nth = 1; nth <= f.allocations; ++nth) {
            VGALFUNC_TVGfailFilterAlloc(nth);
            EXPECT_EQ(f.run(d, s, k.data()), VG_OUT_OF_MEMORY_ERROR) << f.what << " allocation " << nth;
            EXPECT_EQ(d.bytes(), held) << f.what << " allocation " << nth;
            VGALFUNC_TVGfailFilterAlloc(0);
        }
}

}  // namespace
}  // namespace gputest
