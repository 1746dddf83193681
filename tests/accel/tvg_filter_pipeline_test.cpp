// The software filters' pixel pipeline on client memory: unpacking, packing and mask functions
// by layout, the colour conversions, the stage selection with its channel-mask rule, the masked
// writers and the internal-error stage.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740_transfer.h"
#include "vg/al_lx740/vg_tvg_filter_pipeline.h"

namespace {

using Rgba = std::array<int, 4>;

Rgba channels(const filter_color_type& c)
{
    return {c.ir, c.ig, c.ib, c.ia};
}

filter_color_type colour(Rgba v)
{
    filter_color_type c{};
    c.ir = v[0], c.ig = v[1], c.ib = v[2], c.ia = v[3];
    return c;
}

int order(VGImageFormat f)
{
    return (static_cast<int>(f) >> 6) & 3;
}

int base(VGImageFormat f)
{
    return static_cast<int>(f) & 15;
}

Rgba unpack(VGImageFormat f, word32 raw)
{
    filter_color_type c{};
    filter_unpack_table[order(f)][base(f)](raw, &c);
    return channels(c);
}

word32 pack(VGImageFormat f, Rgba v)
{
    const filter_color_type c = colour(v);
    return filter_pack_table[order(f)][base(f)](&c);
}

// Every format OpenVG defines, in all its channel orders.
std::vector<VGImageFormat> definedFormats()
{
    std::vector<VGImageFormat> out;
    for (int n = 0; n < 15; ++n)
        out.push_back(static_cast<VGImageFormat>(n));
    for (int o : {0x40, 0x80, 0xC0})
        for (int n : {0, 1, 2, 4, 5, 7, 8, 9})
            out.push_back(static_cast<VGImageFormat>(o | n));
    out.push_back(VG_sBGR_565);
    return out;
}

TEST(FilterPipeline, UnpacksEachLayoutByBitReplication)
{
    struct Case {
        VGImageFormat format;
        word32 raw;
        Rgba rgba;
    } const cases[] = {
        {VG_sRGBA_5551, 0xFFFF, {255, 255, 255, 255}},
        {VG_sRGBA_5551, 0x003E, {0, 0, 255, 0}},
        {VG_sRGB_565, 0x07E0, {0, 255, 0, 255}},
        {VG_sRGB_565, 0x8410, {132, 130, 132, 255}},
        {VG_sBGR_565, 0xF800, {0, 0, 255, 255}},
        {VG_sARGB_1555, 0x8000, {0, 0, 0, 255}},
        {VG_sBGRA_5551, 0x0001, {0, 0, 0, 255}},
        {VG_sABGR_1555, 0x001F, {255, 0, 0, 0}},
        {VG_sRGBA_4444, 0x1234, {0x11, 0x22, 0x33, 0x44}},
        {VG_sARGB_4444, 0x1234, {0x22, 0x33, 0x44, 0x11}},
        {VG_sBGRA_4444, 0x1234, {0x33, 0x22, 0x11, 0x44}},
        {VG_sABGR_4444, 0x8222, {0x22, 0x22, 0x22, 0x88}},
        {VG_sRGBA_8888, 0x11223344, {0x11, 0x22, 0x33, 0x44}},
        {VG_sRGBX_8888, 0x11223344, {0x11, 0x22, 0x33, 255}},
        {VG_sARGB_8888, 0x11223344, {0x22, 0x33, 0x44, 0x11}},
        {VG_sXRGB_8888, 0x11223344, {0x22, 0x33, 0x44, 255}},
        {VG_sBGRA_8888, 0x11223344, {0x33, 0x22, 0x11, 0x44}},
        {VG_sBGRX_8888, 0x11223344, {0x33, 0x22, 0x11, 255}},
        {VG_sABGR_8888, 0x11223344, {0x44, 0x33, 0x22, 0x11}},
        {VG_sXBGR_8888, 0x11223344, {0x44, 0x33, 0x22, 255}},
        {VG_sL_8, 0x80, {128, 128, 128, 255}},
        {VG_A_8, 0x80, {255, 255, 255, 128}},
        {VG_A_4, 0xA, {255, 255, 255, 0xAA}},
        {VG_A_1, 1, {255, 255, 255, 255}},
        {VG_A_1, 0, {255, 255, 255, 0}},
        {VG_BW_1, 1, {255, 255, 255, 255}},
        {VG_BW_1, 0, {0, 0, 0, 255}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(unpack(c.format, c.raw), c.rgba) << std::hex << c.format << " raw " << c.raw;
}

TEST(FilterPipeline, PacksTheTopBitsOfEachChannel)
{
    struct Case {
        VGImageFormat format;
        Rgba rgba;
        word32 raw;
    } const cases[] = {
        {VG_sRGB_565, {255, 255, 255, 0}, 0xFFFF},
        {VG_sRGB_565, {7, 3, 7, 255}, 0},
        {VG_sRGBA_5551, {0, 0, 0, 128}, 1},
        {VG_sRGBA_5551, {0, 0, 0, 127}, 0},
        {VG_sARGB_1555, {8, 0, 0, 255}, 0x8400},
        // 4 bits are truncated, not rounded: 0x1F keeps 1.
        {VG_sRGBA_4444, {0x1F, 0x2F, 0xFF, 0x0F}, 0x12F0},
        {VG_sABGR_4444, {0x22, 0x22, 0x22, 0x88}, 0x8222},
        {VG_sRGBX_8888, {1, 2, 3, 4}, 0x01020300},
        {VG_sXRGB_8888, {1, 2, 3, 4}, 0x00010203},
        {VG_sBGRX_8888, {1, 2, 3, 4}, 0x03020100},
        {VG_sXBGR_8888, {1, 2, 3, 4}, 0x00030201},
        {VG_sL_8, {9, 200, 200, 0}, 9},
        {VG_A_8, {0, 0, 0, 77}, 77},
        {VG_A_4, {0, 0, 0, 0xAF}, 0xA},
        {VG_A_1, {0, 0, 0, 128}, 1},
        {VG_A_1, {0, 0, 0, 127}, 0},
        {VG_BW_1, {128, 0, 0, 0}, 1},
        {VG_BW_1, {127, 255, 255, 255}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pack(c.format, c.rgba), c.raw) << std::hex << c.format;
}

// One table of raw values through unpack and pack for every defined format and channel order
// gives the stored bits back (the unused X byte as 0).
TEST(FilterPipeline, UnpackThenPackGivesTheStoredBitsBack)
{
    const word32 raws[] = {0, 0xFFFFFFFF, 0x12345678, 0x9ABCDEF0, 0x0F0F0F0F, 0xA5A5A5A5, 0x80000001};
    for (VGImageFormat f : definedFormats()) {
        const int n = base(f);
        const filter_mask_fn mask = filter_mask_table[order(f)][n];
        word32 used;
        switch (n) {
        case 6: case 10: case 11: used = 0xFF; break;
        case 12: case 13: used = 1; break;
        case 14: used = 0xF; break;
        default: used = mask(15); break;
        }
        for (word32 raw : raws) {
            filter_color_type c{};
            filter_unpack_table[order(f)][n](raw & used, &c);
            EXPECT_EQ(filter_pack_table[order(f)][n](&c), raw & used) << std::hex << f << " raw " << raw;
        }
    }
}

TEST(FilterPipeline, MaskFunctionsCoverTheNamedChannelsOfALayout)
{
    struct Case {
        VGImageFormat format;
        int mask;
        word32 bits;
    } const cases[] = {
        {VG_sRGBA_8888, VG_RED | VG_ALPHA, 0xFF0000FF},
        {VG_sRGB_565, VG_GREEN, 0x07E0},
        {VG_sRGB_565, VG_ALPHA, 0},
        {VG_sARGB_1555, VG_ALPHA, 0x8000},
        {VG_sBGRA_4444, VG_BLUE | VG_GREEN, 0xFF00},
        {VG_sRGBX_8888, 15, 0xFFFFFF00},
        {VG_sXRGB_8888, VG_ALPHA, 0},
        {VG_sABGR_8888, VG_RED, 0x000000FF},
        {VG_sRGBA_5551, VG_BLUE | VG_ALPHA, 0x003F},
    };
    for (const Case& c : cases)
        EXPECT_EQ(filter_mask_table[order(c.format)][base(c.format)](c.mask), c.bits) << std::hex << c.format;
}

TEST(FilterPipeline, ColourStepsFollowTheSoftwarePixelRules)
{
    VGALVAL_LXDIVOFFSET = 0;
    struct Case {
        filter_convert_fn step;
        Rgba in, out;
    } const cases[] = {
        {filter_convert_unpremultiply, {10, 20, 30, 0}, {0, 0, 0, 0}},
        {filter_convert_unpremultiply, {200, 50, 100, 100}, {255, 127, 255, 100}},
        {filter_convert_premultiply, {255, 127, 1, 200}, {200, 99, 0, 200}},
        {filter_convert_to_linear, {32, 128, 255, 7}, {4, 55, 255, 7}},
        {filter_convert_to_srgb, {1, 64, 192, 7}, {15, 137, 225, 7}},
        // Convert-table rows: source premultiplied sRGB into a premultiplied linear filter.
        {filter_convert_table[11], {100, 100, 100, 200}, {42, 42, 42, 200}},
        // sRGB grey to linear luminance, then to sRGB luminance.
        {filter_convert_luminance_table[1], {128, 128, 128, 255}, {55, 55, 55, 255}},
        {filter_convert_luminance_table[0], {128, 128, 128, 255}, {128, 55, 55, 255}},
        // Linear red alone: (435 x 255 + 1023) >> 11.
        {filter_convert_luminance_table[5], {255, 0, 0, 255}, {54, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        filter_color_type col = colour(c.in);
        c.step(&col);
        EXPECT_EQ(channels(col), c.out) << c.in[0] << "," << c.in[1] << "," << c.in[2] << "," << c.in[3];
    }
}

// A row of one image in client memory, described for the pipeline.
struct Row {
    VGImageFormat format;
    std::vector<uint8_t> bytes;

    Row(VGImageFormat f, std::vector<uint8_t> b) : format(f), bytes(std::move(b)) {}

    void describe(filter_image_info& inf)
    {
        const int n = base(format);
        inf = filter_image_info{};
        inf.addr = bytes.data();
        inf.width = 1, inf.height = 1, inf.stride = static_cast<int>(bytes.size());
        inf.format = format;
        inf.alpha_format = n == 2 || n == 9;
        inf.color_space = n > 6;
        inf.luminance = n == 6 || n == 10 || n == 12;
    }
};

class FilterSelect : public ::testing::Test {
protected:
    void SetUp() override { VGALVAL_LXDIVOFFSET = 0; }

    // Selects stages from src to dst with the filter format given (mode 0) and writes one
    // colour into dst's first pixel; returns what the selection answered.
    static int writeOne(Row& src, Row& dst, int mask, bool linear, bool pre, Rgba value)
    {
        src.describe(filter_src);
        dst.describe(filter_dst);
        tvg_filter_set_channel_mask(mask);
        tvg_filter_set_format_linear(linear);
        tvg_filter_set_format_premultiplied(pre);
        if (tvg_filter_select_convert(0))
            return 1;
        tvg_filter_set_initial_position();
        const filter_color_type c = colour(value);
        tvg_filter_set_dst(&c);
        return 0;
    }
};

TEST_F(FilterSelect, APartialMaskOnAPremultipliedDestinationMergesUnpremultiplied)
{
    // Stored (100, 100, 100, 200) un-premultiplies to (127, 127, 127, 200); red becomes 255;
    // premultiplied by 200 that is (200, 99, 99, 200), in both channel orders.
    struct Case {
        VGImageFormat format;
        std::vector<uint8_t> stored, expected;
    } const cases[] = {
        {VG_sRGBA_8888_PRE, {200, 100, 100, 100}, {200, 99, 99, 200}},
        {VG_sARGB_8888_PRE, {100, 100, 100, 200}, {99, 99, 200, 200}},
        {VG_lABGR_8888_PRE, {100, 100, 100, 200}, {200, 99, 99, 200}},
    };
    for (const Case& c : cases) {
        Row src(VG_sRGBA_8888, {0, 0, 0, 0}), dst(c.format, c.stored);
        ASSERT_EQ(writeOne(src, dst, VG_RED, false, false, {255, 0, 0, 255}), 0);
        EXPECT_EQ(dst.bytes, c.expected) << std::hex << c.format;
    }
}

TEST_F(FilterSelect, TheChannelMaskDecidesWhatADestinationGets)
{
    struct Case {
        VGImageFormat format;
        int mask;
        std::vector<uint8_t> stored;
        int answer;
        std::vector<uint8_t> expected;
    } const cases[] = {
        // Nothing to write: RGB with no channel, alpha-only without alpha.
        {VG_sRGBA_8888, 0, {1, 2, 3, 4}, 1, {1, 2, 3, 4}},
        {VG_A_8, VG_RED | VG_GREEN | VG_BLUE, {9}, 1, {9}},
        {VG_A_4, VG_RED, {0x99}, 1, {0x99}},
        // Alpha-only with alpha: the alpha is written.
        {VG_A_8, VG_ALPHA, {9}, 0, {0x60}},
        // Luminance is written whole under a partial mask.
        {VG_sL_8, VG_GREEN, {9}, 0, {0x60}},
        // Masked bits only: stored bytes little-endian, RGBA8888 word 0x04030201.
        {VG_sRGBA_8888, VG_RED | VG_ALPHA, {1, 2, 3, 4}, 0, {0x60, 2, 3, 0x60}},
        {VG_sRGB_565, VG_GREEN, {0xFF, 0xFF}, 0, {0x1F, 0xFB}},
        // A 565 destination under VG_ALPHA alone keeps every bit.
        {VG_sRGB_565, VG_ALPHA, {0x34, 0x12}, 0, {0x34, 0x12}},
    };
    for (const Case& c : cases) {
        Row src(VG_sRGBA_8888, {0, 0, 0, 0}), dst(c.format, c.stored);
        EXPECT_EQ(writeOne(src, dst, c.mask, false, false, {0x60, 0x60, 0x60, 0x60}), c.answer) << std::hex << c.format;
        EXPECT_EQ(dst.bytes, c.expected) << std::hex << c.format << " mask " << c.mask;
    }
}

TEST_F(FilterSelect, BlackAndWhiteThresholdsTheLinearLuminanceAt128)
{
    for (auto [grey, bit] : {std::pair{127, 0}, {128, 1}}) {
        Row src(VG_sRGBA_8888, {0, 0, 0, 0}), dst(VG_BW_1, {0xFE});
        ASSERT_EQ(writeOne(src, dst, VG_ALPHA, true, false, {grey, grey, grey, 255}), 0);
        EXPECT_EQ(dst.bytes[0], 0xFE | bit) << grey;
    }
}

TEST_F(FilterSelect, ReadsConvertTheSourceIntoTheFilterFormat)
{
    struct Case {
        VGImageFormat format;
        std::vector<uint8_t> bytes;
        bool linear, pre;
        Rgba rgba;
    } const cases[] = {
        // Stored bytes little-endian: A, B, G, R.
        {VG_sRGBA_8888_PRE, {200, 200, 100, 100}, false, false, {127, 127, 255, 200}},
        {VG_sRGBA_8888, {128, 100, 128, 255}, false, true, {128, 64, 50, 128}},
        {VG_sRGBA_8888, {128, 100, 128, 255}, true, false, {255, 55, 33, 128}},
        {VG_sL_8, {128}, true, false, {55, 55, 55, 255}},
        {VG_lL_8, {55}, false, false, {128, 128, 128, 255}},
        {VG_BW_1, {1}, false, false, {255, 255, 255, 255}},
        {VG_A_8, {100}, false, true, {100, 100, 100, 100}},
        {VG_A_4, {0x5A}, false, false, {255, 255, 255, 0xAA}},
    };
    for (const Case& c : cases) {
        Row src(c.format, c.bytes), dst(VG_sRGBA_8888, {0, 0, 0, 0});
        src.describe(filter_src);
        dst.describe(filter_dst);
        tvg_filter_set_channel_mask(15);
        tvg_filter_set_format_linear(c.linear);
        tvg_filter_set_format_premultiplied(c.pre);
        ASSERT_EQ(tvg_filter_select_convert(0), 0);
        tvg_filter_set_initial_position();
        filter_color_type got{};
        tvg_filter_get_src(&got);
        EXPECT_EQ(channels(got), c.rgba) << std::hex << c.format;
    }
}

TEST_F(FilterSelect, FourBitPixelsTakeTheLowNibbleFirst)
{
    Row src(VG_A_4, {0x5A, 0x00}), dst(VG_A_4, {0x00, 0xFF});
    src.describe(filter_src);
    dst.describe(filter_dst);
    tvg_filter_set_channel_mask(15);
    tvg_filter_set_format_linear(false);
    tvg_filter_set_format_premultiplied(false);
    ASSERT_EQ(tvg_filter_select_convert(0), 0);
    tvg_filter_set_initial_position();
    filter_color_type c{};
    std::vector<int> alphas;
    for (int i = 0; i < 3; ++i) {
        tvg_filter_get_src(&c);
        alphas.push_back(c.ia);
        tvg_filter_set_dst(&c);
    }
    EXPECT_EQ(alphas, (std::vector<int>{0xAA, 0x55, 0}));
    EXPECT_EQ(dst.bytes, (std::vector<uint8_t>{0x5A, 0xF0}));
}

TEST(FilterPipelineDeathTest, AnUndefinedCombinationStopsTheProgram)
{
    filter_color_type c{};
    // An ARGB-ordered luminance format does not exist.
    EXPECT_DEATH(filter_unpack_table[1][6](0, &c), "image format combination");
    EXPECT_DEATH(filter_pack_table[3][11](&c), "image format combination");
    EXPECT_DEATH(filter_convert_table[6](&c), "image format combination");
}

}  // namespace
