// The lookups on the GPU, through the OpenVG API and the GPU model: every format class against
// the software lookup as reference, the table's source selector, tiles, the channel-mask rule,
// the software fallback when GPU memory runs out, the argument checks and the display server's
// fade.
#include <VG/openvg.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "memmanage/gmalloc.h"
#include "model/pixel_format.h"
#include "simfb.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"
#include "vg/al_lx740/vg_lx740_filter.h"
#include "vg/al_lx740/vg_tvg_filter.h"
#include "vg/common/vg_image.h"
#include "gpu_filter_test_support.h"

namespace gputest {
namespace {

using Table = std::array<VGubyte, 256>;

constexpr VGImageFormat kFormats[] = {VG_sRGBA_8888, VG_sRGBA_8888_PRE, VG_sRGB_565, VG_sRGBA_5551,
                                      VG_sRGBA_4444, VG_sABGR_4444,     VG_sL_8,     VG_lRGBA_8888,
                                      VG_A_8,        VG_A_4,            VG_BW_1};

Table identity()
{
    Table t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<size_t>(i)] = static_cast<VGubyte>(i);
    return t;
}

Table randomTable(std::mt19937& rng, int lowest = 0)
{
    Table t{};
    for (VGubyte& v : t)
        v = static_cast<VGubyte>(lowest + static_cast<int>(rng() % static_cast<uint32_t>(256 - lowest)));
    return t;
}

// The pixel engine's gamma tables begin 0, 6, 13, 17 (linear to sRGB) and 0, 0, 0, 1 (sRGB to
// linear), the software path's 0, 15, 23, 29 and 0, 0, 0, 0: at the low end of the range they
// are set apart by more than a unit. Tables whose output meets a colour-space step keep their
// values from here up, where the two agree.
constexpr int kAboveGammaLowEnd = 64;

// The SPC rectangles sent while the lookup selector was set, with that selector.
struct LutPass {
    uint32_t select;
    std::vector<uint32_t> words;
};

class GpuLookup : public GpuFilterTest {
protected:
    std::vector<LutPass> lutPasses() const
    {
        std::vector<LutPass> out;
        uint32_t select = 0;
        for (const Event& e : gpu.log()) {
            if (e.kind == Kind::Write && e.unit == Unit::PE && e.reg == LX_PE_OVG_TX1_LUT_SRCSEL)
                select = e.value;
            if (e.kind == Kind::Rect && select != 0) {
                if (e.reg == 0)
                    out.push_back({select, {}});
                if (!out.empty())
                    out.back().words.push_back(e.value);
            }
        }
        return out;
    }

    // vgLookup on dst, and the software lookup on a twin of dst's root image.
    void lookupBoth(VGImage dst, VGImage dstRef, VGImage src, const Table& r, const Table& g, const Table& b,
                    const Table& a, bool linear, bool pre)
    {
        vgLookup(dst, src, r.data(), g.data(), b.data(), a.data(), linear ? VG_TRUE : VG_FALSE, pre ? VG_TRUE : VG_FALSE);
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        vgFinish();
        EXPECT_EQ(VGALFUNC_TVGmemLookup(record(dstRef), record(src), r.data(), g.data(), b.data(), a.data(),
                                        linear ? VG_TRUE : VG_FALSE, pre ? VG_TRUE : VG_FALSE),
                  VG_NO_ERROR);
    }
};

// Every source format into every destination format, all four output flag pairs and four
// channel masks, with random tables; sources and destinations are child images at odd offsets
// every other run.
class GpuLookupFormats : public GpuLookup, public ::testing::WithParamInterface<VGImageFormat> {};

TEST_P(GpuLookupFormats, EqualsTheSoftwareLookupWithinOneUnit)
{
    const VGImageFormat sf = GetParam();
    const VGint masks[] = {VG_RED | VG_GREEN | VG_BLUE | VG_ALPHA, VG_RED | VG_GREEN, VG_ALPHA, 0};
    int run = 0;
    for (VGImageFormat df : kFormats)
        for (int flags = 0; flags < 4; ++flags)
            for (VGint mask : masks) {
                const bool child = ++run % 2 == 0;
                const std::string what = "src " + std::to_string(sf) + " dst " + std::to_string(df) + " flags " +
                                         std::to_string(flags) + " mask " + std::to_string(mask);
                const VGImage srcRoot = randomImage(sf, 21, 9);
                const VGImage dstRoot = randomImage(df, 19, 11);
                const VGImage ref = twin(dstRoot);
                const VGImage src = child ? vgChildImage(srcRoot, 3, 1, 15, 7) : srcRoot;
                const VGImage dst = child ? vgChildImage(dstRoot, 1, 2, 17, 8) : dstRoot;
                const VGImage dstRef = child ? vgChildImage(ref, 1, 2, 17, 8) : ref;
                filterState(run % 3 == 0, run % 5 < 2, mask);
                const Table r = randomTable(rng, kAboveGammaLowEnd), g = randomTable(rng, kAboveGammaLowEnd);
                const Table b = randomTable(rng, kAboveGammaLowEnd), a = randomTable(rng, kAboveGammaLowEnd);
                lookupBoth(dst, dstRef, src, r, g, b, a, flags & 1, flags & 2);
                expectNear(dstRoot, ref, 1, what);
                if (child) {
                    vgDestroyImage(src);
                    vgDestroyImage(dst);
                    vgDestroyImage(dstRef);
                }
                vgDestroyImage(srcRoot);
                vgDestroyImage(dstRoot);
                vgDestroyImage(ref);
                if (HasFailure())
                    return;
            }
}

INSTANTIATE_TEST_SUITE_P(Sources, GpuLookupFormats, ::testing::ValuesIn(kFormats));

// The input channel the table pass indexes with, by entry point, source format and channel; the
// pixels equal the software lookup's.
TEST_F(GpuLookup, SourceSelectorFollowsTheSourceFormatAndChannel)
{
    const struct {
        VGImageFormat source;
        VGImageChannel channel;  // 0: vgLookup
        uint32_t select;
    } cases[] = {
        {VG_sRGBA_8888, static_cast<VGImageChannel>(0), 0x4567},
        {VG_sRGBA_8888, VG_RED, 0x4444},
        {VG_sRGB_565, VG_GREEN, 0x5555},
        {VG_sRGBA_4444, VG_BLUE, 0x6666},
        {VG_sABGR_4444, VG_ALPHA, 0x7777},
        {VG_A_8, VG_RED, 0x7777},   // alpha-only: alpha, whatever the channel says
        {VG_A_4, VG_BLUE, 0x7777},
        {VG_sL_8, VG_ALPHA, 0x4444},  // luminance: the grey value
        {VG_BW_1, VG_GREEN, 0x4444},
    };
    filterState(false, false, 15);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.source << " channel " << c.channel);
        const VGImage src = randomImage(c.source, 13, 5);
        const VGImage dst = randomImage(VG_sRGBA_8888, 13, 5);
        const VGImage ref = twin(dst);
        std::vector<VGuint> lut(256);
        for (VGuint& v : lut)
            v = static_cast<VGuint>(rng());
        gpu.clearLog();
        if (c.channel == 0) {
            const Table t = randomTable(rng);
            lookupBoth(dst, ref, src, t, randomTable(rng), randomTable(rng), t, false, false);
        } else {
            vgLookupSingle(dst, src, lut.data(), c.channel, VG_FALSE, VG_FALSE);
            EXPECT_EQ(vgGetError(), VG_NO_ERROR);
            vgFinish();
            EXPECT_EQ(VGALFUNC_TVGmemLookupSingle(record(ref), record(src), lut.data(), c.channel, VG_FALSE, VG_FALSE),
                      VG_NO_ERROR);
        }
        const std::vector<LutPass> passes = lutPasses();
        ASSERT_EQ(passes.size(), 1u);
        EXPECT_EQ(passes[0].select, c.select);
        expectNear(dst, ref, 0, "selector");
        vgDestroyImage(src);
        vgDestroyImage(dst);
        vgDestroyImage(ref);
    }
}

// Areas beyond 2048 pixels go in tiles of at most 2048 x 2048, one table pass each, and the
// table is loaded once.
TEST_F(GpuLookup, LargeAreasRunInTilesOfAtMost2048)
{
    const struct {
        int w, h;
        std::vector<uint32_t> sizes;  // (width - 1) | (height - 1) << 16 of each pass
    } cases[] = {
        {3000, 300, {2047u | 299u << 16, 951u | 299u << 16}},
        {40, 2100, {39u | 2047u << 16, 39u | 51u << 16}},
    };
    filterState(false, false, 15);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << " x " << c.h);
        const VGImage src = randomImage(VG_sRGB_565, c.w, c.h);
        const VGImage dst = randomImage(VG_sRGBA_4444, c.w, c.h);
        const VGImage ref = twin(dst);
        const Table t = randomTable(rng);
        gpu.clearLog();
        lookupBoth(dst, ref, src, t, randomTable(rng), t, randomTable(rng), false, false);
        std::vector<uint32_t> sizes;
        for (const LutPass& p : lutPasses()) {
            ASSERT_EQ(p.words.size(), 4u);
            EXPECT_EQ(p.words[0], 0x1000u);
            EXPECT_EQ(p.words[1], 0u);
            EXPECT_EQ(p.words[3], 0u);
            sizes.push_back(p.words[2]);
        }
        EXPECT_EQ(sizes, c.sizes);
        int tableLoads = 0;
        for (const RegValue& w : writes(Unit::PE))
            tableLoads += w.first == LX_PE_OVG_TABLE_ADDR && w.second == VGAL_LOOKUP_TABLE_POSITION;
        EXPECT_EQ(tableLoads, 1);
        expectNear(dst, ref, 0, "tiles");
        vgDestroyImage(src);
        vgDestroyImage(dst);
        vgDestroyImage(ref);
    }
}

// The channel mask adjusted to the destination format: what is written, and how.
TEST_F(GpuLookup, ChannelMaskRuleByDestinationFormat)
{
    const struct {
        VGImageFormat destination;
        VGint mask;
        int copiesAfterPass;  // SPC rectangles of the store; -1: no table pass, nothing written
    } cases[] = {
        {VG_sL_8, VG_ALPHA, 1},  // luminance: written whole under any mask
        {VG_BW_1, VG_BLUE, 1},
        {VG_A_8, VG_RED | VG_GREEN | VG_BLUE, -1},
        {VG_A_4, VG_ALPHA | VG_RED, 1},
        {VG_sRGB_565, VG_ALPHA, -1},
        {VG_sRGBA_8888_PRE, VG_RED | VG_ALPHA, 3},  // premultiplied 8888, partial mask: three copies
        {VG_sRGBA_8888_PRE, 15, 1},
        {VG_sRGBA_8888, VG_RED | VG_ALPHA, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.destination << " mask " << c.mask);
        filterState(false, false, c.mask);
        const VGImage src = randomImage(VG_sRGBA_8888, 16, 4);
        const VGImage dst = randomImage(c.destination, 16, 4);
        const VGImage ref = twin(dst);
        const Bytes before = contents(dst);
        const Table t = randomTable(rng);
        gpu.clearLog();
        lookupBoth(dst, ref, src, t, t, t, t, false, false);
        const std::vector<LutPass> passes = lutPasses();
        if (c.copiesAfterPass < 0) {
            int rectangles = 0;
            for (const Event& e : gpu.log())
                rectangles += e.kind == Kind::Rect;
            EXPECT_EQ(rectangles, 0);
            EXPECT_EQ(contents(dst), before);
        } else {
            ASSERT_EQ(passes.size(), 1u);
            int copies = 0, seen = 0;
            for (const Event& e : gpu.log()) {
                if (e.kind != Kind::Rect || e.reg != 0)
                    continue;
                ++seen;
                copies += seen > 2;  // the normalise copy and the table pass come first
            }
            EXPECT_EQ(copies, c.copiesAfterPass);
            EXPECT_NE(contents(dst), before);
        }
        expectNear(dst, ref, 1, "mask rule");
        vgDestroyImage(src);
        vgDestroyImage(dst);
        vgDestroyImage(ref);
    }
}

// With GPU memory exhausted the lookup is the software lookup after a drain; a vendor source
// cannot be read by it and gives VG_OUT_OF_MEMORY_ERROR.
TEST_F(GpuLookup, ExhaustedGpuMemoryFallsBackToSoftware)
{
    filterState(false, false, 15);
    const VGImage src = randomImage(VG_sRGBA_4444, 24, 6);
    const VGImage dst = randomImage(VG_sRGB_565, 24, 6);
    const VGImage ref = twin(dst);
    std::vector<uint16_t> yuvData;
    const VGImage yuv = yuvImage(24, 6, yuvData);
    ASSERT_NE(yuv, VG_INVALID_HANDLE);
    vgFinish();

    takeAllGpuMemory();
    const Table t = randomTable(rng);
    gpu.clearLog();
    lookupBoth(dst, ref, src, t, t, randomTable(rng), t, true, false);
    const Bytes afterSoftware = contents(dst);
    vgLookup(dst, yuv, t.data(), t.data(), t.data(), t.data(), VG_FALSE, VG_FALSE);
    const VGErrorCode yuvError = vgGetError();
    releaseGpuMemory();

    EXPECT_TRUE(lutPasses().empty());
    EXPECT_EQ(yuvError, VG_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(contents(dst), afterSoftware);
    expectNear(dst, ref, 0, "fallback");
    // The drain: caches flushed and a pixel-engine sync before the software filter read memory.
    const std::vector<RegValue> pe = fetched(Unit::PE);
    size_t i = 0;
    const RegValue drain[] = {{LX_PE_OVG_TXC_INVAL, 3}, {LX_PE_OVG_CCACHE_FLUSH, 1}, {LX_PE_OVG_SYNC, 1}};
    for (const RegValue& w : pe)
        if (i < 3 && w == drain[i])
            ++i;
    EXPECT_EQ(i, 3u);
    vgDestroyImage(yuv);
    vgDestroyImage(src);
    vgDestroyImage(dst);
    vgDestroyImage(ref);
}

// The checks every filter entry point makes, in their order, then each lookup's own.
TEST_F(GpuLookup, ArgumentChecksInOrder)
{
    const VGImage a = randomImage(VG_sRGBA_8888, 16, 16);
    const VGImage b = randomImage(VG_sRGBA_8888, 16, 16);
    const VGImage alpha = randomImage(VG_A_8, 16, 16);
    const VGImage target = randomImage(VG_sRGBA_8888, 16, 16);
    const VGImage parent = randomImage(VG_sRGBA_8888, 16, 16);
    const VGImage left = vgChildImage(parent, 0, 0, 6, 16);
    const VGImage right = vgChildImage(parent, 8, 0, 8, 16);
    const VGImage middle = vgChildImage(parent, 4, 4, 8, 8);
    std::vector<uint16_t> yuvData(16 * 16);
    const VGImage vendor = vgCreateImageEXT(VG_EXT_YUV422, 16, 16, VG_IMAGE_QUALITY_NONANTIALIASED, yuvData.data());
    ASSERT_NE(vendor, VG_INVALID_HANDLE);
    VGFUNC_IncRenderTarget(record(target));
    const VGImage stranger = 0x12345670;
    const Table t = identity();
    std::vector<VGuint> lutWords(257);
    const VGuint* lut = lutWords.data();
    const VGuint* misaligned = reinterpret_cast<const VGuint*>(reinterpret_cast<const uint8_t*>(lut) + 2);

    enum Entry { Lookup, LookupNullTable, Single };
    const struct {
        Entry entry;
        VGImage dst, src;
        VGImageChannel channel;
        const VGuint* table;
        VGErrorCode error;
    } cases[] = {
        {Lookup, stranger, stranger, VG_RED, lut, VG_BAD_HANDLE_ERROR},
        {Lookup, a, stranger, VG_RED, lut, VG_BAD_HANDLE_ERROR},
        {LookupNullTable, stranger, a, VG_RED, lut, VG_BAD_HANDLE_ERROR},
        {Lookup, vendor, stranger, VG_RED, lut, VG_BAD_HANDLE_ERROR},
        {Lookup, vendor, target, VG_RED, lut, VG_NO_ERROR},  // vendor destination: silent
        {LookupNullTable, vendor, a, VG_RED, lut, VG_NO_ERROR},
        {LookupNullTable, target, a, VG_RED, lut, VG_IMAGE_IN_USE_ERROR},
        {Lookup, a, target, VG_RED, lut, VG_IMAGE_IN_USE_ERROR},
        {LookupNullTable, a, a, VG_RED, lut, VG_ILLEGAL_ARGUMENT_ERROR},
        {Lookup, a, a, VG_RED, lut, VG_ILLEGAL_ARGUMENT_ERROR},
        {Lookup, left, middle, VG_RED, lut, VG_ILLEGAL_ARGUMENT_ERROR},
        {Lookup, left, right, VG_RED, lut, VG_NO_ERROR},  // disjoint children of one parent
        {LookupNullTable, a, b, VG_RED, lut, VG_ILLEGAL_ARGUMENT_ERROR},
        {Lookup, a, b, VG_RED, lut, VG_NO_ERROR},
        {Single, target, a, static_cast<VGImageChannel>(3), nullptr, VG_IMAGE_IN_USE_ERROR},
        {Single, a, a, VG_RED, nullptr, VG_ILLEGAL_ARGUMENT_ERROR},
        {Single, a, b, VG_RED, nullptr, VG_ILLEGAL_ARGUMENT_ERROR},
        {Single, a, b, VG_RED, misaligned, VG_ILLEGAL_ARGUMENT_ERROR},
        {Single, a, b, static_cast<VGImageChannel>(3), lut, VG_ILLEGAL_ARGUMENT_ERROR},
        {Single, a, b, static_cast<VGImageChannel>(0), lut, VG_ILLEGAL_ARGUMENT_ERROR},
        {Single, a, alpha, static_cast<VGImageChannel>(3), lut, VG_NO_ERROR},  // no colour channel to choose
        {Single, a, b, VG_BLUE, lut, VG_NO_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "entry " << c.entry << " dst " << std::hex << c.dst << " src " << c.src
                                          << " channel " << c.channel);
        switch (c.entry) {
        case Lookup: vgLookup(c.dst, c.src, t.data(), t.data(), t.data(), t.data(), VG_FALSE, VG_FALSE); break;
        case LookupNullTable: vgLookup(c.dst, c.src, t.data(), t.data(), nullptr, t.data(), VG_FALSE, VG_FALSE); break;
        case Single: vgLookupSingle(c.dst, c.src, c.table, c.channel, VG_FALSE, VG_FALSE); break;
        }
        EXPECT_EQ(vgGetError(), c.error);
    }
    VGFUNC_DecRenderTarget(record(target));
    for (VGImage i : {left, right, middle, vendor, a, b, alpha, target, parent})
        vgDestroyImage(i);
}

// The table pass writes its work buffer through the colour-buffer registers the surface is
// drawn through: CBUF2 on a multisampled surface, else CBUF1 or CBUF0 by the back buffer.
TEST_F(GpuLookup, TablePassUsesTheSurfacesColourBufferRegisters)
{
    const struct {
        EGLint config;
        int swaps;
    } cases[] = {{1, 0}, {1, 1}, {17, 0}, {17, 1}};
    std::set<uint32_t> registers;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "config " << c.config << " swaps " << c.swaps);
        terminate();
        makeCurrent({c.config, 64, 48});
        for (int i = 0; i < c.swaps; ++i)
            ASSERT_TRUE(eglSwapBuffers(dpy, surface));
        const uint32_t expected = (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) ? LX_PE_OVG_CBUF2_ADDR
                                  : VGALVAL_backbuffer == 1                          ? LX_PE_OVG_CBUF1_ADDR
                                                                                     : LX_PE_OVG_CBUF0_ADDR;
        registers.insert(expected);
        filterState(false, false, 15);
        const VGImage src = randomImage(VG_sRGBA_8888, 12, 3);
        const VGImage dst = randomImage(VG_sRGB_565, 12, 3);
        const VGImage ref = twin(dst);
        const Table t = randomTable(rng);
        gpu.clearLog();
        lookupBoth(dst, ref, src, t, t, t, t, false, false);
        uint32_t last = 0;
        bool seen = false;
        for (const RegValue& w : writes(Unit::PE)) {
            if (w.first == LX_PE_OVG_CBUF0_ADDR || w.first == LX_PE_OVG_CBUF1_ADDR || w.first == LX_PE_OVG_CBUF2_ADDR)
                last = w.first;
            if (w.first == LX_PE_OVG_TX1_LUT_SRCSEL && w.second != 0) {
                EXPECT_EQ(last, expected);
                seen = true;
            }
        }
        EXPECT_TRUE(seen);
        expectNear(dst, ref, 0, "colour buffer");
        vgDestroyImage(src);
        vgDestroyImage(dst);
        vgDestroyImage(ref);
    }
    EXPECT_EQ(registers.size(), 3u);  // every pair was met
}

// Colours whose luminance lies next to a rounding step of the weighted sum: a luminance
// destination holds the software lookup's value exactly, output in either colour space.
TEST_F(GpuLookup, LuminanceDestinationHoldsTheSoftwareLuminance)
{
    const std::vector<uint32_t> colours = {0x4084A1FF, 0x415940FF, 0x416440FF, 0x424D40FF,
                                           0x425A40FF, 0x8040C0FF, 0xC0C040FF, 0x10F080FF};
    const Table id = identity();
    filterState(false, false, VG_RED);
    for (VGImageFormat df : {VG_sL_8, VG_lL_8})
        for (bool linear : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "destination " << df << " linear output " << linear);
            const VGImage src = vgCreateImage(VG_sRGBA_8888, static_cast<VGint>(colours.size()), 1,
                                              VG_IMAGE_QUALITY_NONANTIALIASED);
            vgImageSubData(src, colours.data(), 0, VG_sRGBA_8888, 0, 0, static_cast<VGint>(colours.size()), 1);
            const VGImage dst = randomImage(df, static_cast<int>(colours.size()), 1);
            const VGImage ref = twin(dst);
            lookupBoth(dst, ref, src, id, id, id, id, linear, false);
            expectNear(dst, ref, true, "luminance");
            vgDestroyImage(src);
            vgDestroyImage(dst);
            vgDestroyImage(ref);
        }
}

// The GPU and the software routines, called with an empty active rectangle (which the API
// cannot produce), write nothing and succeed.
TEST_F(GpuLookup, EmptyAreaWritesNothing)
{
    filterState(false, false, 15);
    const VGImage src = randomImage(VG_sRGBA_8888, 8, 8);
    const VGImage dst = randomImage(VG_sRGBA_8888, 8, 8);
    const Bytes before = contents(dst);
    const Table t = randomTable(rng);
    std::vector<VGuint> lut(256, 0x11223344u);
    for (int empty = 0; empty < 2; ++empty) {
        OVGimage d = *record(dst), s = *record(src);
        (empty ? d.activeRect.height : s.activeRect.width) = 0;
        gpu.clearLog();
        EXPECT_EQ(VGALFUNC_lx_lookup(&d, &s, t.data(), t.data(), t.data(), t.data(), 0, 0), VG_NO_ERROR);
        EXPECT_EQ(VGALFUNC_lx_lookup_single(&d, &s, lut.data(), VG_RED, 0, 0), VG_NO_ERROR);
        EXPECT_TRUE(gpu.log().empty());
        EXPECT_EQ(VGALFUNC_TVGmemLookup(&d, &s, t.data(), t.data(), t.data(), t.data(), VG_FALSE, VG_FALSE),
                  VG_NO_ERROR);
        EXPECT_EQ(VGALFUNC_TVGmemLookupSingle(&d, &s, lut.data(), VG_RED, VG_FALSE, VG_FALSE), VG_NO_ERROR);
        EXPECT_EQ(contents(dst), before);
    }
    vgDestroyImage(src);
    vgDestroyImage(dst);
}

// The display server's fade on a 480 x 272 sABGR_4444 picture of opaque items over half
// transparent shade: each of the six steps' lookup output equals the software lookup exactly,
// and the surface is drawn into again afterwards, not the freed work buffer.
TEST_F(GpuLookup, FadeStepsEqualTheSoftwareLookup)
{
    const int w = 480, h = 272;
    const VGImage picture = vgCreateImage(VG_sABGR_4444, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage temp = vgCreateImage(VG_sABGR_4444, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage ref = vgCreateImage(VG_sABGR_4444, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    ASSERT_NE(picture, VG_INVALID_HANDLE);
    ASSERT_NE(temp, VG_INVALID_HANDLE);
    ASSERT_NE(ref, VG_INVALID_HANDLE);
    std::vector<uint16_t> pixels(static_cast<size_t>(w) * h, 0x8222);
    for (int item = 0; item < 12; ++item) {
        const int x0 = static_cast<int>(rng() % 400), y0 = static_cast<int>(rng() % 220);
        const uint16_t colour = static_cast<uint16_t>(0xF000u | (rng() & 0x0FFFu));  // alpha nibble on top: opaque
        for (int y = y0; y < y0 + 40; ++y)
            for (int x = x0; x < x0 + 70; ++x)
                pixels[static_cast<size_t>(y) * w + static_cast<size_t>(x)] = colour;
    }
    vgImageSubData(picture, pixels.data(), w * 2, VG_sABGR_4444, 0, 0, w, h);
    ASSERT_EQ(vgGetError(), VG_NO_ERROR);

    const Table id = identity();
    for (int k = 15; k < 255; k += 40) {
        SCOPED_TRACE(k);
        Table alpha{};
        for (int i = 0; i < 256; ++i)
            alpha[static_cast<size_t>(i)] = static_cast<VGubyte>(static_cast<int>(i * (k / 255.0)));
        lookupBoth(temp, ref, picture, id, id, id, alpha, true, false);
        EXPECT_EQ(contents(temp), contents(ref));
    }

    // vgClear comes with the drawing entry points; its acceleration entry clears the surface.
    const VGfloat red[4] = {1, 0, 0, 1};
    vgSetfv(VG_CLEAR_COLOR, 4, red);
    const OVGrect all = {0, 0, width, height};
    EXPECT_EQ(VGHAL_ALclear(&all), 0);
    EXPECT_EQ(pixel(3, 5), 0xFF0000FFu);
    EXPECT_EQ(pixel(width - 1, height - 1), 0xFF0000FFu);
    for (VGImage i : {picture, temp, ref})
        vgDestroyImage(i);
}

// The display server's fade step on a 480 x 272 window of configuration 1: the saved 565 screen
// drawn, the layer looked up into a temporary image with the step's alpha table, the temporary
// image drawn over it and the buffers swapped. The lookup output equals the software lookup's
// exactly; the frame shown equals the software output drawn source-over onto the 565 screen to
// within one 565 step. A path drawn right after a lookup lands in the surface.
TEST_F(GpuLookup, FadeStepsOnTheWindowShowTheSoftwareLookupDrawnOverTheScreen)
{
    const int w = 480, h = 272;
    terminate();
    makeCurrent({1, w, h});

    // The saved screen: a 565 pattern; the layer: half-transparent dark shade (0x8222) with
    // opaque items (alpha nibble 0xF, channels from the top: A, B, G, R).
    std::vector<uint16_t> screen(static_cast<size_t>(w) * h), layer(screen.size(), 0x8222);
    for (size_t i = 0; i < screen.size(); ++i)
        screen[i] = static_cast<uint16_t>(i * 40503u >> 3);
    for (int item = 0; item < 12; ++item) {
        const int x0 = static_cast<int>(rng() % 400), y0 = static_cast<int>(rng() % 220);
        const uint16_t colour = static_cast<uint16_t>(0xF000u | (rng() & 0x0FFFu));
        for (int y = y0; y < y0 + 40; ++y)
            for (int x = x0; x < x0 + 70; ++x)
                layer[static_cast<size_t>(y) * w + static_cast<size_t>(x)] = colour;
    }
    const VGImage saved = vgCreateImage(VG_sRGB_565, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage picture = vgCreateImage(VG_sABGR_4444, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage temp = vgCreateImage(VG_sABGR_4444, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    const VGImage ref = vgCreateImage(VG_sABGR_4444, w, h, VG_IMAGE_QUALITY_NONANTIALIASED);
    ASSERT_NE(saved, VG_INVALID_HANDLE);
    ASSERT_NE(picture, VG_INVALID_HANDLE);
    ASSERT_NE(temp, VG_INVALID_HANDLE);
    ASSERT_NE(ref, VG_INVALID_HANDLE);
    vgImageSubData(saved, screen.data(), w * 2, VG_sRGB_565, 0, 0, w, h);
    vgImageSubData(picture, layer.data(), w * 2, VG_sABGR_4444, 0, 0, w, h);
    ASSERT_EQ(vgGetError(), VG_NO_ERROR);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    vgLoadIdentity();

    const Table id = identity();
    const auto alphaTable = [](int a) {
        Table t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = static_cast<VGubyte>(static_cast<int>(i * (a / 255.0)));
        return t;
    };
    for (int k : {15, 215}) {
        SCOPED_TRACE(k);
        const Table alpha = alphaTable(k);
        vgDrawImage(saved);
        lookupBoth(temp, ref, picture, id, id, id, alpha, true, false);
        vgDrawImage(temp);
        ASSERT_TRUE(eglSwapBuffers(dpy, surface));
        ASSERT_EQ(vgGetError(), VG_NO_ERROR);
        EXPECT_EQ(contents(temp), contents(ref));

        // The software output drawn source-over onto the screen, against the frame shown.
        std::vector<uint16_t> looked(screen.size());
        vgGetImageSubData(ref, looked.data(), w * 2, VG_sABGR_4444, 0, 0, w, h);
        // The main plane as the framebuffer device maps it.
        const simfb::FbInfo& fb = simfb::device().info();
        ASSERT_EQ(fb.xres, static_cast<uint32_t>(w));
        const uint8_t* frame = gpu.gpuPointer(fb.smemStart, size_t(fb.lineLength) * h, simgpu::Resolution::Physical);
        ASSERT_NE(frame, nullptr);
        int bad = 0;
        for (int y = 0; y < h && bad < 4; ++y)
            for (int x = 0; x < w && bad < 4; ++x) {
                const size_t at = static_cast<size_t>(y) * w + static_cast<size_t>(x);
                const uint16_t s = looked[at], d = screen[at];
                uint16_t shown = 0;
                std::memcpy(&shown, frame + static_cast<size_t>(storedRow(y)) * fb.lineLength + 2 * x, 2);
                const double a = (s >> 12) / 15.0;
                const struct {
                    int source, screen, shown, bits;
                } channels[] = {
                    {s & 15, d >> 11, shown >> 11, 5},
                    {s >> 4 & 15, d >> 5 & 63, shown >> 5 & 63, 6},
                    {s >> 8 & 15, d & 31, shown & 31, 5},
                };
                for (const auto& c : channels) {
                    const int top = (1 << c.bits) - 1;
                    const double below = (c.screen << (8 - c.bits) | c.screen >> (2 * c.bits - 8)) / 255.0;
                    const double want = (c.source / 15.0 * a + below * (1 - a)) * top;
                    if (std::abs(c.shown - want) > 1.0) {
                        ADD_FAILURE() << "pixel " << x << "," << y << " shown " << std::hex << shown << " screen " << d
                                      << " lookup " << s << " channel of " << std::dec << c.bits << " bits wants "
                                      << want;
                        ++bad;
                        break;
                    }
                }
            }
    }

    // A path drawn right after a lookup: the lookup's work buffers are gone, the surface is
    // drawn into and the lookup output stays as it was.
    const VGPaint paint = vgCreatePaint();
    vgSetColor(paint, 0xFF0000FF);
    vgSetPaint(paint, VG_FILL_PATH);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_PATH_USER_TO_SURFACE);
    vgLoadIdentity();
    const VGPath path = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
    const VGubyte segments[] = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH};
    const VGfloat coords[] = {100, 50, 300, 50, 300, 150, 100, 150};
    vgAppendPathData(path, 5, segments, coords);
    vgDrawImage(saved);
    const uint32_t outside = pixel(50, 20);
    const Table alpha = alphaTable(135);
    lookupBoth(temp, ref, picture, id, id, id, alpha, true, false);
    const Bytes looked = contents(temp);
    vgDrawPath(path, VG_FILL_PATH);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(pixel(100, 50), 0xFF0000FFu);
    EXPECT_EQ(pixel(200, 100), 0xFF0000FFu);
    EXPECT_EQ(pixel(299, 149), 0xFF0000FFu);
    EXPECT_EQ(pixel(50, 20), outside);
    EXPECT_EQ(contents(temp), looked);
    EXPECT_EQ(contents(temp), contents(ref));
    vgDestroyPath(path);
    vgDestroyPaint(paint);
    for (VGImage i : {saved, picture, temp, ref})
        vgDestroyImage(i);
}

}  // namespace
}  // namespace gputest
