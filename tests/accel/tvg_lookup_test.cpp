// The software lookups on images in GPU memory: identity tables against the software copy, the
// output format of vgLookup, the channel that indexes vgLookupSingle, the channel-mask rule,
// child images and shared buffers, the display server's fade, and what the frame refuses or
// cannot allocate.
#include "tvg_filter_test_support.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_al_lx740_swcopy.h"
#include "vg/al_lx740/vg_al_lx740_swpixel.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"
#include "vg/al_lx740/vg_tvg_filter.h"
#include "vg/al_lx740/vg_tvg_filter_frame.h"
#include "vg/common/vg_image_format.h"

namespace gputest {
namespace {

using Table = std::array<VGubyte, 256>;

Table identity()
{
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = static_cast<VGubyte>(i);
    return t;
}

Table randomTable(std::mt19937& rng)
{
    Table t{};
    for (VGubyte& v : t)
        v = static_cast<VGubyte>(rng());
    return t;
}

class SoftwareLookup : public SoftwareFilterTest {
protected:
    static int lookup(GpuImage& d, GpuImage& s, const Table& r, const Table& g, const Table& b, const Table& a,
                      bool linear, bool pre)
    {
        return VGALFUNC_TVGmemLookup(&d.img, &s.img, r.data(), g.data(), b.data(), a.data(), linear ? VG_TRUE : VG_FALSE,
                                     pre ? VG_TRUE : VG_FALSE);
    }
};

// Decodes every pixel of a buffer's rows with the software copy's readers.
std::vector<word32> decoded(VGImageFormat format, Bytes bytes, int stride, int width, int height)
{
    int code, linear, pre, lum, bpp;
    VGALFUNC_TVGgetImageFormat(format, &code, &linear, &pre, &lum, &bpp);
    std::vector<word32> line(static_cast<size_t>(width)), out;
    word32* const saved = VGALVAL_linebuffer;
    VGALVAL_linebuffer = line.data();
    VGALVAL_src_addr = reinterpret_cast<uintptr_t>(bytes.data());
    VGALVAL_src_stride = stride;
    for (int y = 0; y < height; ++y) {
        VGALFUNC_cp_read(code, 0, y, width);
        out.insert(out.end(), line.begin(), line.end());
    }
    VGALVAL_linebuffer = saved;
    return out;
}

// The software copy of a whole w x h image between client buffers.
void softwareCopy(VGImageFormat sf, Bytes& src, int sstride, VGImageFormat df, Bytes& dst, int dstride, int w, int h)
{
    VGALVAL_src_addr = reinterpret_cast<uintptr_t>(src.data());
    VGALVAL_dst_addr = reinterpret_cast<uintptr_t>(dst.data());
    VGALVAL_src_x = VGALVAL_src_y = VGALVAL_dst_x = VGALVAL_dst_y = 0;
    VGALVAL_src_width = VGALVAL_dst_width = w;
    VGALVAL_src_height = VGALVAL_dst_height = h;
    VGALVAL_src_stride = sstride, VGALVAL_dst_stride = dstride;
    VGALFUNC_TVGgetImageFormat(sf, &VGALVAL_src_format, &VGALVAL_src_linear, &VGALVAL_src_pre, &VGALVAL_src_luminance,
                               &VGALVAL_src_bpp);
    VGALFUNC_TVGgetImageFormat(df, &VGALVAL_dst_format, &VGALVAL_dst_linear, &VGALVAL_dst_pre, &VGALVAL_dst_luminance,
                               &VGALVAL_dst_bpp);
    const OVGrect r{0, 0, w, h};
    ASSERT_EQ(VGALFUNC_TVGmemCopy(0, 0, &r, 0), 0);
}

const VGImageFormat kFormats[] = {
    VG_sRGBX_8888, VG_sRGBA_8888, VG_sRGBA_8888_PRE, VG_sRGB_565, VG_sRGBA_5551, VG_sRGBA_4444, VG_sABGR_4444,
    VG_sL_8,       VG_lRGBA_8888, VG_lRGBA_8888_PRE, VG_lL_8,     VG_A_8,        VG_A_1,        VG_A_4,
    VG_BW_1,       VG_sXRGB_8888, VG_sBGRA_8888_PRE, VG_sBGR_565,
};

// With identity tables, the filter and output formats set to the source's colour space, and
// premultiplied exactly where the copy keeps premultiplied values as stored (same format), a
// lookup moves every pixel as the software copy does. Two pairs part by design: into 4444 the
// copy rounds to 4 bits while the filter truncates (both agree on sources of at most 4 bits a
// channel), and sL_8 into sL_8 the filter takes grey through linear luminance.
TEST_F(SoftwareLookup, IdentityTablesCopyEachFormatAsTheSoftwareCopyDoes)
{
    const int w = 7, h = 3;
    const Table id = identity();
    for (VGImageFormat sf : kFormats) {
        for (VGImageFormat df : kFormats) {
            const int sn = base(sf), dn = base(df);
            if ((dn == 5 && sn != 5 && sn != 12 && sn != 13 && sn != 14) || (sf == VG_sL_8 && df == VG_sL_8))
                continue;
            GpuImage s(sf, w, h), d(df, w, h);
            Bytes src = s.fillRandom(rng), expect = d.fillRandom(rng);
            const bool linear = sn > 6, pre = (sn == 2 || sn == 9) && sf == df;
            filterFormat(linear, pre);
            ASSERT_EQ(lookup(d, s, id, id, id, id, linear, pre), 0);
            softwareCopy(sf, src, s.stride(), df, expect, d.stride(), w, h);
            EXPECT_EQ(decoded(df, d.bytes(), d.stride(), 8, h), decoded(df, expect, d.stride(), 8, h))
                << std::hex << "source " << sf << " destination " << df;
        }
    }
}

int unpremultiplied(int c, int a)
{
    return a == 0 ? 0 : std::min(c, a) * 255 / a;
}

// vgLookup: the tables' results are colours in the output format (linear, premultiplied),
// converted from it into the destination's format.
TEST_F(SoftwareLookup, TheTablesAnswerInTheOutputFormat)
{
    const int w = 9, h = 4;
    const Table r = randomTable(rng), g = randomTable(rng), b = randomTable(rng), a = randomTable(rng);
    const unsigned char* gamma = VGALVAL_tvg_gamma_table;
    const unsigned char* invGamma = VGALVAL_tvg_inv_gamma_table;
    for (VGImageFormat df : {VG_sRGBA_8888, VG_lRGBA_8888, VG_sRGBA_8888_PRE, VG_lRGBA_8888_PRE}) {
        const bool dlinear = base(df) > 6, dpre = base(df) == 2 || base(df) == 9;
        for (int flags = 0; flags < 4; ++flags) {
            const bool linear = flags & 1, pre = flags & 2;
            GpuImage s(VG_sRGBA_8888, w, h), d(df, w, h);
            const Bytes src = s.fillRandom(rng);
            d.fillRandom(rng);
            filterFormat(false, false);
            ASSERT_EQ(lookup(d, s, r, g, b, a, linear, pre), 0);
            const Bytes got = d.bytes();
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const uint8_t* p = &src[static_cast<size_t>(y * s.stride() + 4 * x)];
                    int c[3] = {r[p[3]], g[p[2]], b[p[1]]};
                    const int alpha = a[p[0]];
                    for (int& v : c) {
                        if (pre)
                            v = std::min(v, alpha);  // a premultiplied colour cannot exceed alpha
                        if (pre && !(dpre && linear == dlinear))
                            v = unpremultiplied(v, alpha);
                        if (linear != dlinear)
                            v = linear ? gamma[v] : invGamma[v];
                        if (dpre && !(pre && linear == dlinear))
                            v = v * alpha / 255;
                    }
                    const uint8_t* q = &got[static_cast<size_t>(y * d.stride() + 4 * x)];
                    EXPECT_EQ((std::array<int, 4>{q[3], q[2], q[1], q[0]}), (std::array<int, 4>{c[0], c[1], c[2], alpha}))
                        << std::hex << df << std::dec << " linear " << linear << " pre " << pre << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(SoftwareLookup, OneSourceChannelIndexesTheSingleTable)
{
    std::array<VGuint, 256> lut{};
    for (VGuint i = 0; i < 256; ++i)
        lut[i] = i << 24 | (255 - i) << 16 | (i * 7 & 255) << 8 | (i ^ 0x3C);
    struct Case {
        VGImageFormat format;
        Bytes pixel;  // one stored pixel
        VGImageChannel channel;
        int index;
    } const cases[] = {
        // sRGBA_8888 stored little-endian: A 0x44, B 0x33, G 0x22, R 0x11.
        {VG_sRGBA_8888, {0x44, 0x33, 0x22, 0x11}, VG_RED, 0x11},
        {VG_sRGBA_8888, {0x44, 0x33, 0x22, 0x11}, VG_GREEN, 0x22},
        {VG_sRGBA_8888, {0x44, 0x33, 0x22, 0x11}, VG_BLUE, 0x33},
        {VG_sRGBA_8888, {0x44, 0x33, 0x22, 0x11}, VG_ALPHA, 0x44},
        {VG_sRGBA_8888, {0x44, 0x33, 0x22, 0x11}, static_cast<VGImageChannel>(0), 0x44},
        // Alpha-only sources index with alpha, luminance sources with grey, whatever is asked.
        {VG_A_8, {0x5B}, VG_RED, 0x5B},
        {VG_A_4, {0x0C}, VG_BLUE, 0xCC},
        {VG_sL_8, {0x6D}, VG_ALPHA, 0x6D},
        {VG_lL_8, {0x6D}, VG_GREEN, 0xAF},  // linear 0x6D is sRGB 0xAF in the sRGB filter format
        {VG_BW_1, {0x01}, VG_ALPHA, 0xFF},
    };
    for (const Case& c : cases) {
        GpuImage s(c.format, 1, 1), d(VG_sRGBA_8888, 1, 1);
        Bytes sb(s.size(), 0);
        std::copy(c.pixel.begin(), c.pixel.end(), sb.begin());
        s.setBytes(sb);
        filterFormat(false, false);
        ASSERT_EQ(VGALFUNC_TVGmemLookupSingle(&d.img, &s.img, lut.data(), c.channel, VG_FALSE, VG_FALSE), 0);
        const Bytes got = d.bytes();
        const VGuint word = got[0] | got[1] << 8 | got[2] << 16 | static_cast<VGuint>(got[3]) << 24;
        EXPECT_EQ(word, lut[static_cast<size_t>(c.index)]) << std::hex << c.format << " channel " << c.channel;
    }
}

TEST_F(SoftwareLookup, TheChannelMaskKeepsTheOtherChannelsOrTheWholeDestination)
{
    const Table t = randomTable(rng);
    struct Case {
        VGImageFormat format;
        VGbitfield mask;
        bool untouched;
    } const cases[] = {
        {VG_A_8, VG_RED | VG_GREEN | VG_BLUE, true},
        {VG_sRGB_565, VG_ALPHA, true},
        {VG_sRGBA_8888, 0, true},
        {VG_sRGBA_8888, VG_RED | VG_GREEN, false},
        {VG_sL_8, VG_BLUE, false},
    };
    for (const Case& c : cases) {
        GpuImage s(VG_sRGBA_8888, 5, 3), d(c.format, 5, 3);
        const Bytes src = s.fillRandom(rng), before = d.fillRandom(rng);
        filterFormat(false, false, c.mask);
        ASSERT_EQ(lookup(d, s, t, t, t, t, false, false), 0);
        const Bytes after = d.bytes();
        if (c.untouched) {
            EXPECT_EQ(after, before) << std::hex << c.format;
            continue;
        }
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const uint8_t* p = &src[static_cast<size_t>(y * s.stride() + 4 * x)];
                if (c.format == VG_sL_8) {
                    // Grey of the looked-up colour: every channel through the same table.
                    const int lin = static_cast<int>(VGAL_luminance(VGALVAL_tvg_inv_gamma_table[t[p[3]]],
                                                                    VGALVAL_tvg_inv_gamma_table[t[p[2]]],
                                                                    VGALVAL_tvg_inv_gamma_table[t[p[1]]]));
                    EXPECT_EQ(after[static_cast<size_t>(y * d.stride() + x)], VGALVAL_tvg_gamma_table[lin]);
                    continue;
                }
                const size_t at = static_cast<size_t>(y * d.stride() + 4 * x);
                EXPECT_EQ((std::array<int, 4>{after[at], after[at + 1], after[at + 2], after[at + 3]}),
                          (std::array<int, 4>{before[at], before[at + 1], t[p[2]], t[p[3]]}))
                    << x << "," << y;
            }
        }
    }
}

// The display server's fade: a 565 picture or a 4444 picture with half-transparent shade areas
// looked up into a 4444 image with identity colour tables and a scaled alpha table, output
// linear and not premultiplied, so colours come out through the linear-to-sRGB table.
TEST_F(SoftwareLookup, TheFadeStepsOfTheDisplayServer)
{
    const int w = 480, h = 272;
    const Table id = identity();
    for (VGImageFormat sf : {VG_sRGB_565, VG_sABGR_4444}) {
        GpuImage s(sf, w, h), d(VG_sABGR_4444, w, h);
        Bytes src(s.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint16_t v = (x / 40 + y / 34) % 3 == 0 && sf == VG_sABGR_4444
                                       ? 0x8222
                                       : static_cast<uint16_t>(rng() | (sf == VG_sABGR_4444 ? 0xF000u : 0u));
                src[static_cast<size_t>(y * s.stride() + 2 * x)] = static_cast<uint8_t>(v);
                src[static_cast<size_t>(y * s.stride() + 2 * x + 1)] = static_cast<uint8_t>(v >> 8);
            }
        s.setBytes(src);
        filterFormat(false, false);
        for (int k = 15; k < 255; k += 40) {
            Table t{};
            for (int i = 0; i < 256; ++i)
                t[static_cast<size_t>(i)] = static_cast<VGubyte>(static_cast<int>(i * (k / 255.0)));
            ASSERT_EQ(lookup(d, s, id, id, id, t, true, false), 0);
            const Bytes got = d.bytes();
            int wrong = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const size_t at = static_cast<size_t>(y * s.stride() + 2 * x);
                    const unsigned v = src[at] | src[at + 1] << 8;
                    unsigned R, G, B, A;
                    if (sf == VG_sRGB_565) {
                        R = (v >> 11) << 3 | (v >> 11) >> 2;
                        G = (v >> 5 & 63) << 2 | (v >> 5 & 63) >> 4;
                        B = (v & 31) << 3 | (v & 31) >> 2;
                        A = 255;
                    } else {
                        R = (v & 15) * 17, G = (v >> 4 & 15) * 17, B = (v >> 8 & 15) * 17, A = (v >> 12) * 17;
                    }
                    const unsigned expect = (t[A] >> 4) << 12 | (VGALVAL_tvg_gamma_table[B] >> 4) << 8 |
                                            (VGALVAL_tvg_gamma_table[G] >> 4) << 4 | VGALVAL_tvg_gamma_table[R] >> 4;
                    const size_t dat = static_cast<size_t>(y * d.stride() + 2 * x);
                    wrong += (got[dat] | got[dat + 1] << 8) != static_cast<int>(expect);
                }
            EXPECT_EQ(wrong, 0) << std::hex << sf << std::dec << " alpha " << k;
        }
    }
}

// Children of one buffer: the filtered area is anchored at both active rectangles' top left
// corners; the source is read from the copy taken before any write, so overlapping windows and
// an image filtered onto itself read the original pixels.
TEST_F(SoftwareLookup, ChildWindowsAndSharedBuffers)
{
    const Table inv = [] {
        Table t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = static_cast<VGubyte>(255 - i);
        return t;
    }();
    struct Case {
        OVGrect s, d;
    } const cases[] = {
        {{1, 1, 5, 3}, {9, 2, 6, 4}},   // disjoint: 5 x 3 written
        {{0, 0, 6, 4}, {2, 1, 6, 4}},   // overlapping
        {{3, 2, 4, 4}, {3, 2, 4, 4}},   // the same window
        {{0, 0, 1, 1}, {15, 7, 1, 1}},  // one pixel
        {{4, 4, 0, 3}, {0, 0, 5, 5}},   // nothing
    };
    for (const Case& c : cases) {
        GpuImage parent(VG_sRGBA_8888, 16, 8);
        GpuImage s(parent, c.s.x, c.s.y, c.s.width, c.s.height), d(parent, c.d.x, c.d.y, c.d.width, c.d.height);
        const Bytes before = parent.fillRandom(rng);
        filterFormat(false, false);
        ASSERT_EQ(lookup(d, s, inv, inv, inv, inv, false, false), 0);
        Bytes expect = before;
        const int w = std::min(c.s.width, c.d.width), h = std::min(c.s.height, c.d.height);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < 4; ++k)
                    expect[static_cast<size_t>((c.d.y + y) * parent.stride() + 4 * (c.d.x + x) + k)] =
                        static_cast<uint8_t>(255 - before[static_cast<size_t>((c.s.y + y) * parent.stride() +
                                                                              4 * (c.s.x + x) + k)]);
        EXPECT_EQ(parent.bytes(), expect) << "source " << c.s.x << "," << c.s.y << " destination " << c.d.x << ","
                                          << c.d.y;
    }
}

TEST_F(SoftwareLookup, AnImageCopyThatCannotBeHadLeavesBothImagesUntouched)
{
    const Table t = randomTable(rng);
    for (int nth : {1, 2}) {
        GpuImage s(VG_sRGBA_8888, 3, 3), d(VG_sRGB_565, 3, 3);
        const Bytes src = s.fillRandom(rng), dst = d.fillRandom(rng);
        VGALFUNC_TVGfailFilterAlloc(nth);
        EXPECT_EQ(lookup(d, s, t, t, t, t, false, false), VG_OUT_OF_MEMORY_ERROR) << nth;
        EXPECT_EQ(s.bytes(), src);
        EXPECT_EQ(d.bytes(), dst);
        // The next call has its memory again.
        EXPECT_EQ(lookup(d, s, t, t, t, t, false, false), 0);
        EXPECT_NE(d.bytes(), dst);
    }
}

// The frame as the other filters use it: work memory taken after the image copies and given
// back on every path, a preparation step, rows through the filter format (mode 0) and the tile
// fill colour from the context.
struct WorkJob {
    int allocs = 0, frees = 0, prepares = 0, rows = 0;
    bool failAlloc = false;
};

TEST_F(SoftwareLookup, TheFrameCarriesAFiltersWorkMemoryAndRows)
{
    tvg_filter_job job{};
    WorkJob work;
    job.mode = 0;
    job.tile_fill = 1;
    job.arg = &work;
    job.alloc_work = [](void* a) {
        auto* w = static_cast<WorkJob*>(a);
        ++w->allocs;
        return w->failAlloc ? 0 : 1;
    };
    job.free_work = [](void* a) { ++static_cast<WorkJob*>(a)->frees; };
    job.prepare = [](void* a) { ++static_cast<WorkJob*>(a)->prepares; };
    job.row = [](void* a, int w) {
        ++static_cast<WorkJob*>(a)->rows;
        filter_color_type c;
        for (int x = 0; x < w; ++x) {
            tvg_filter_get_src(&c);
            tvg_filter_set_dst(&c);
        }
    };
    ctx.tileFillColor = {1.0f, 0.5f, 0.0f, 0.5f};

    GpuImage s(VG_sRGBA_8888, 5, 3), d(VG_sRGBA_8888, 7, 2);
    const Bytes src = s.fillRandom(rng), before = d.fillRandom(rng);
    work.failAlloc = true;
    filterFormat(false, true);
    EXPECT_EQ(tvg_filter_run(&d.img, &s.img, &job), VG_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(d.bytes(), before);
    EXPECT_EQ((std::array<int, 4>{work.allocs, work.frees, work.prepares, work.rows}), (std::array<int, 4>{1, 1, 0, 0}));

    work = WorkJob{};
    EXPECT_EQ(tvg_filter_run(&d.img, &s.img, &job), 0);
    EXPECT_EQ((std::array<int, 4>{work.allocs, work.frees, work.prepares, work.rows}), (std::array<int, 4>{1, 1, 1, 2}));
    // Through the premultiplied filter format and back.
    const Bytes after = d.bytes();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            for (int k = 1; k < 4; ++k) {
                const size_t si = static_cast<size_t>(y * s.stride() + 4 * x), di = static_cast<size_t>(y * d.stride() + 4 * x);
                const int a = src[si], pre = src[si + k] * a / 255;
                EXPECT_EQ(after[di + k], a == 0 ? 0 : pre * 255 / a) << x << "," << y;
            }
    EXPECT_EQ((std::array<int, 4>{filter_edge_color.r, filter_edge_color.g, filter_edge_color.b, filter_edge_color.a}),
              (std::array<int, 4>{127, 63, 0, 127}));
}

// Records the OpenVG layer never hands over are refused before anything is read or written.
TEST_F(SoftwareLookup, ImagesThePipelineCannotWalkAreRefused)
{
    const Table t = identity();
    GpuImage s(VG_sRGBA_8888, 4, 4), d(VG_sRGBA_8888, 4, 4);
    const Bytes dst = d.fillRandom(rng);
    struct Case {
        const char* what;
        void (*spoil)(OVGimage&);
    } const cases[] = {
        {"window past the buffer", [](OVGimage& i) { i.activeRect = {2, 0, 3, 4}; }},
        {"negative window", [](OVGimage& i) { i.activeRect = {-1, 0, 2, 2}; }},
        {"vendor format", [](OVGimage& i) { i.format = VG_EXT_YUV422; }},
        {"undefined order", [](OVGimage& i) { i.format = static_cast<VGImageFormat>(0x40 | VG_A_8); }},
    };
    for (const Case& c : cases) {
        GpuImage bad(d, 0, 0, 4, 4);
        c.spoil(bad.img);
        EXPECT_EQ(lookup(bad, s, t, t, t, t, false, false), VG_ILLEGAL_ARGUMENT_ERROR) << c.what;
        EXPECT_EQ(lookup(d, bad, t, t, t, t, false, false), VG_ILLEGAL_ARGUMENT_ERROR) << c.what;
        EXPECT_EQ(d.bytes(), dst) << c.what;
    }
    // A buffer whose size in words does not fit the word copy: refused, not truncated.
    ALbuffer huge{8, 0x10000, 0x40000, 32, d.img.buffer->addr, 0, 0, nullptr};
    OVGimage big = d.img;
    big.buffer = &huge;
    big.activeRect = {0, 0, 4, 4};
    EXPECT_EQ(VGALFUNC_TVGmemLookup(&big, &s.img, t.data(), t.data(), t.data(), t.data(), VG_FALSE, VG_FALSE),
              VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(VGALFUNC_TVGmemLookup(&d.img, &s.img, t.data(), nullptr, t.data(), t.data(), VG_FALSE, VG_FALSE),
              VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(VGALFUNC_TVGmemLookupSingle(&d.img, &s.img, nullptr, VG_RED, VG_FALSE, VG_FALSE),
              VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(d.bytes(), dst);
}

// The tile fill colour of the convolutions in the filter format: truncated to 0..255 (NaN as
// 0), then premultiplied and linearised as the filter format asks.
TEST(FilterTileFill, TheFillColourInTheFilterFormat)
{
    VGALVAL_LXDIVOFFSET = 0;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        OVGcolor colour;
        bool linear, pre;
        std::array<int, 4> rgba;
    } const cases[] = {
        {{0.5f, 1.5f, -0.25f, 1.0f}, false, false, {127, 255, 0, 255}},
        {{nan, 0.5f, 1.0f, nan}, false, false, {0, 127, 255, 0}},
        {{0.5f, 0.5f, 1.0f, 0.5f}, false, true, {63, 63, 127, 127}},
        {{0.5f, 0.5f, 1.0f, 0.5f}, true, false, {54, 54, 255, 127}},
        {{0.5f, 0.5f, 1.0f, 0.5f}, true, true, {26, 26, 127, 127}},
    };
    for (const Case& c : cases) {
        tvg_filter_set_format_linear(c.linear);
        tvg_filter_set_format_premultiplied(c.pre);
        tvg_filter_set_tile_fill_color(&c.colour);
        EXPECT_EQ((std::array<int, 4>{filter_edge_color.r, filter_edge_color.g, filter_edge_color.b, filter_edge_color.a}),
                  c.rgba)
            << c.linear << c.pre;
    }
}

}  // namespace
}  // namespace gputest
