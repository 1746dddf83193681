// The software pixel formats: row readers and writers, premultiplication, colour-space steps,
// the transfer tables and the description of OpenVG image formats.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include <VG/openvg_vendor.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_color.h"
#include "vg/al_lx740/vg_al_lx740_swpixel.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"
#include "vg/common/vg_image_format.h"

namespace {

using Bytes = std::vector<uint8_t>;

word32 rgba(word32 r, word32 g, word32 b, word32 a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

// One row of client memory as the source or the destination, and a line buffer.
class SwPixel : public ::testing::Test {
protected:
    std::vector<word32> line = std::vector<word32>(16);

    void SetUp() override
    {
        VGALVAL_linebuffer = line.data();
        VGALVAL_LXDIVOFFSET = 0;
        VGALVAL_cp_write_a4_high_precision = 0;
    }
    void TearDown() override { VGALVAL_linebuffer = nullptr; }

    void source(Bytes& row)
    {
        VGALVAL_src_addr = reinterpret_cast<uintptr_t>(row.data());
        VGALVAL_src_stride = static_cast<int>(row.size());
    }
    void destination(Bytes& row)
    {
        VGALVAL_dst_addr = reinterpret_cast<uintptr_t>(row.data());
        VGALVAL_dst_stride = static_cast<int>(row.size());
    }
};

TEST_F(SwPixel, ReadersWidenFieldsByBitReplication)
{
    struct Case {
        int code;
        Bytes row;
        int x;
        word32 entry;
    } const cases[] = {
        {4, {0x00, 0xF8}, 0, rgba(255, 0, 0, 255)},            // RGB565 0xF800
        {18, {0x00, 0xF8}, 0, rgba(0, 0, 255, 255)},           // BGR565
        {4, {0x20, 0x00}, 0, rgba(0, 4, 0, 255)},              // 6-bit green 1
        {3, {0x3C, 0x8F}, 0, rgba(136, 255, 51, 204)},         // RGBA4444
        {2, {0x01, 0xF8}, 0, rgba(255, 0, 0, 255)},            // RGBA5551, alpha bit set
        {12, {0x00, 0x80}, 0, rgba(0, 0, 0, 255)},             // ARGB1555 alpha bit
        {21, {0x1F, 0x00}, 0, rgba(255, 0, 0, 0)},             // ABGR1555 red, no alpha
        {1, {0x80, 0x33, 0x22, 0x11}, 0, rgba(0x11, 0x22, 0x33, 0x80)},
        {11, {0x33, 0x22, 0x11, 0x80}, 0, rgba(0x11, 0x22, 0x33, 0x80)},
        {15, {0x80, 0x11, 0x22, 0x33}, 0, rgba(0x11, 0x22, 0x33, 0x80)},
        {20, {0x11, 0x22, 0x33, 0x80}, 0, rgba(0x11, 0x22, 0x33, 0x80)},
        {0, {0x00, 0x33, 0x22, 0x11}, 0, rgba(0x11, 0x22, 0x33, 255)},   // the X byte reads opaque
        {10, {0x33, 0x22, 0x11, 0x00}, 0, rgba(0x11, 0x22, 0x33, 255)},
        {14, {0x00, 0x11, 0x22, 0x33}, 0, rgba(0x11, 0x22, 0x33, 255)},
        {19, {0x11, 0x22, 0x33, 0x00}, 0, rgba(0x11, 0x22, 0x33, 255)},
        {5, {0x40}, 0, rgba(0x40, 0x40, 0x40, 255)},
        {6, {0x40}, 0, rgba(255, 255, 255, 0x40)},
        {7, {0x00, 0x02}, 9, rgba(255, 255, 255, 255)},  // pixel 9 is bit 1 of byte 1
        {7, {0xFF, 0xFD}, 9, rgba(0, 0, 0, 255)},
        {8, {0x00, 0x02}, 9, rgba(255, 255, 255, 255)},
        {8, {0xFF, 0xFD}, 9, rgba(255, 255, 255, 0)},
        {9, {0xA5}, 0, rgba(255, 255, 255, 85)},  // even pixel: low nibble
        {9, {0xA5}, 1, rgba(255, 255, 255, 170)},
    };
    for (const Case& c : cases) {
        Bytes row = c.row;
        source(row);
        VGALFUNC_cp_read(c.code, c.x, 0, 1);
        EXPECT_EQ(line[0], c.entry) << "code " << c.code << " pixel " << c.x;
    }
}

TEST_F(SwPixel, WritersNarrowFieldsAndKeepWhatTheyDoNotOwn)
{
    struct Case {
        int code;
        Bytes before;
        int x;
        word32 entry;
        Bytes after;
        int highPrecision;
    } const cases[] = {
        {4, {0, 0}, 0, rgba(255, 0, 0, 255), {0x00, 0xF8}, 0},
        {4, {0, 0}, 0, rgba(7, 0, 0, 255), {0x00, 0x00}, 0},  // truncated
        {3, {0, 0}, 0, rgba(8, 0, 0, 0), {0x00, 0x00}, 0},    // 8 / 255 x 15 + 0.5 = 0.97
        {3, {0, 0}, 0, rgba(9, 0, 0, 0), {0x00, 0x10}, 0},    // 1.03
        {2, {0, 0}, 0, rgba(0, 0, 0, 127), {0x00, 0x00}, 0},
        {2, {0, 0}, 0, rgba(0, 0, 0, 128), {0x01, 0x00}, 0},
        {16, {0, 0}, 0, rgba(255, 0, 0, 128), {0x3F, 0x00}, 0},
        {0, {0, 0, 0, 0}, 0, rgba(0x11, 0x22, 0x33, 0x44), {0x44, 0x33, 0x22, 0x11}, 0},  // alpha into X
        {10, {0, 0, 0, 0xEE}, 0, rgba(0x11, 0x22, 0x33, 0x44), {0x33, 0x22, 0x11, 0xEE}, 0},
        {14, {0xEE, 0, 0, 0}, 0, rgba(0x11, 0x22, 0x33, 0x44), {0xEE, 0x11, 0x22, 0x33}, 0},
        {19, {0, 0, 0, 0xEE}, 0, rgba(0x11, 0x22, 0x33, 0x44), {0x11, 0x22, 0x33, 0xEE}, 0},
        {13, {0, 0}, 0, rgba(0xFF, 0x88, 0x00, 0xFF), {0x80, 0xFF}, 0},
        {5, {0}, 0, rgba(0x40, 0x50, 0x60, 0x70), {0x40}, 0},
        {6, {0}, 0, rgba(0x40, 0x50, 0x60, 0x70), {0x70}, 0},
        {7, {0x00, 0x00}, 9, rgba(128, 0, 0, 0), {0x00, 0x02}, 0},
        {7, {0xFF, 0xFF}, 9, rgba(127, 255, 255, 255), {0xFF, 0xFD}, 0},
        {8, {0x00, 0x00}, 9, rgba(0, 0, 0, 128), {0x00, 0x02}, 0},
        {9, {0x0F}, 1, rgba(0, 0, 0, 0xA0), {0xAF}, 0},
        {9, {0xF0}, 0, rgba(0, 0, 0, 0x50), {0xF5}, 0},
        {9, {0x00}, 0, rgba(0, 0, 0, 31), {0x01}, 0},  // 31 >> 4
        {9, {0x00}, 0, rgba(0, 0, 0, 31), {0x02}, 1},  // 31 / 255 x 15 + 0.5 = 2.32
    };
    for (const Case& c : cases) {
        Bytes row = c.before;
        destination(row);
        VGALVAL_cp_write_a4_high_precision = c.highPrecision;
        line[0] = c.entry;
        VGALFUNC_cp_write(c.code, c.x, 0, 1);
        EXPECT_EQ(row, c.after) << "code " << c.code << " entry " << std::hex << c.entry;
    }
}

TEST_F(SwPixel, ReadersStartAtPixelXOfRowY)
{
    Bytes image = {0, 0, 0, 0, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00};  // row 1: three 565 pixels from x 0
    VGALVAL_src_addr = reinterpret_cast<uintptr_t>(image.data());
    VGALVAL_src_stride = 4;
    VGALFUNC_cp_read(4, 1, 1, 2);  // pixels 1 and 2 of row 1
    EXPECT_EQ(line[0], rgba(0, 255, 0, 255));
    EXPECT_EQ(line[1], rgba(0, 0, 255, 255));
}

TEST_F(SwPixel, ClampsKeepColourWithinAlpha)
{
    struct Case {
        int code;
        Bytes before, after;
    } const cases[] = {
        {1, {0x40, 0x10, 0x80, 0xFF}, {0x40, 0x10, 0x40, 0x40}},
        {20, {0xFF, 0x10, 0x80, 0x40}, {0x40, 0x10, 0x40, 0x40}},
        {2, {0x00, 0xF8}, {0x00, 0x00}},  // no alpha bit: colour 0
        {2, {0x01, 0xF8}, {0x01, 0xF8}},
        {3, {0x03, 0xF0}, {0x03, 0x30}},  // red 15 above alpha 3
    };
    for (const Case& c : cases) {
        Bytes row = c.before;
        destination(row);
        ASSERT_TRUE(VGALFUNC_cp_has_clamp(c.code));
        VGALFUNC_cp_clamp(c.code, 0, 0, 1);
        EXPECT_EQ(row, c.after) << "code " << c.code;
    }
    for (int code : {0, 4, 5, 6, 7, 8, 9, 10, 14, 18, 19, 23, 28})
        EXPECT_FALSE(VGALFUNC_cp_has_clamp(code)) << code;
}

TEST_F(SwPixel, PremultiplicationSteps)
{
    struct Case {
        void (*step)(int);
        int offset;
        word32 in, out;
    } const cases[] = {
        {unprefunc, 0, rgba(200, 50, 100, 100), rgba(255, 127, 255, 100)},  // colour clamped to alpha first
        {unprefunc, 0, rgba(200, 50, 100, 0), 0},
        {prefunc, 0, rgba(3, 255, 0, 128), rgba(1, 128, 0, 128)},
        {prefunc, 128, rgba(3, 255, 0, 128), rgba(2, 128, 0, 128)},
        {prefunc_5551, 0, rgba(255, 255, 255, 127), rgba(0, 0, 0, 127)},
        {prefunc_5551, 0, rgba(255, 3, 0, 128), rgba(128, 1, 0, 128)},
    };
    for (const Case& c : cases) {
        VGALVAL_LXDIVOFFSET = c.offset;
        line[0] = c.in;
        line[1] = c.in;
        c.step(2);
        EXPECT_EQ(line[0], c.out) << std::hex << c.in << " offset " << std::dec << c.offset;
        EXPECT_EQ(line[1], c.out);
    }
}

TEST_F(SwPixel, ColourSpaceStepsByTableIndex)
{
    const unsigned char* gamma = VGALVAL_tvg_gamma_table;
    // (128, 64, 32) linearises to (55, 13, 4); luminance of linear (128, 64, 32) is 75 and of
    // linear (55, 13, 4) is 21.
    struct Case {
        int from, to;
        VGALbufferstep step;
        word32 out;
    } const cases[] = {
        {0, 0, nullptr, 0},
        {0, 1, sRGB2lRGB, rgba(55, 13, 4, 7)},
        {0, 2, sRGB2sL, rgba(gamma[21], 13, 4, 7)},
        {0, 3, sRGB2lL, rgba(21, 13, 4, 7)},
        {1, 0, lRGB2sRGB, rgba(188, 137, 99, 7)},
        {1, 1, nullptr, 0},
        {1, 2, lRGB2sL, rgba(gamma[75], 64, 32, 7)},
        {1, 3, lRGB2lL, rgba(75, 64, 32, 7)},
        {2, 0, nullptr, 0},
        {2, 1, sL2lRGB, rgba(55, 13, 4, 7)},
        {2, 2, nullptr, 0},
        {2, 3, sL2lL, rgba(55, 64, 32, 7)},
        {3, 0, lL2sRGB, rgba(188, 137, 99, 7)},
        {3, 1, nullptr, 0},
        {3, 2, lL2sL, rgba(188, 64, 32, 7)},
        {3, 3, nullptr, 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(convtable[c.from * 4 + c.to], c.step) << c.from << " to " << c.to;
        if (!c.step)
            continue;
        line[0] = rgba(128, 64, 32, 7);
        c.step(1);
        EXPECT_EQ(line[0], c.out) << c.from << " to " << c.to;
    }
}

TEST(SwPixelGamma, TransferTablesFollowTheSrgbCurve)
{
    const unsigned char* gamma = VGALVAL_tvg_gamma_table;
    const unsigned char* inverse = VGALVAL_tvg_inv_gamma_table;
    const int firstGamma[] = {0, 15, 23, 29, 35, 39, 43, 47, 50};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(gamma[i], firstGamma[i]) << i;
    for (int i = 0; i <= 18; ++i)
        EXPECT_EQ(inverse[i], i < 7 ? 0 : i < 18 ? 1 : 2) << i;
    struct Row {
        int index, gamma, inverse;
    } const rows[] = {{32, 99, 4}, {64, 137, 13}, {128, 188, 55}, {192, 225, 134}, {224, 241, 190}, {255, 255, 255}};
    for (const Row& r : rows) {
        EXPECT_EQ(gamma[r.index], r.gamma) << r.index;
        EXPECT_EQ(inverse[r.index], r.inverse) << r.index;
    }
    for (int i = 0; i < 256; ++i) {
        if (i > 0) {
            EXPECT_LE(gamma[i - 1], gamma[i]) << i;
            EXPECT_LE(inverse[i - 1], inverse[i]) << i;
        }
        const float x = static_cast<float>(i) / 255.0f;
        EXPECT_LE(std::abs(gamma[i] - std::lround(Gamma(x) * 255.0f)), 2) << i;
        EXPECT_LE(std::abs(inverse[i] - std::lround(inv_Gamma(x) * 255.0f)), 2) << i;
    }
}

TEST(SwPixelImageFormat, EveryOpenVgFormatHasItsSoftwareDescription)
{
    struct Case {
        VGImageFormat format;
        int code, linear, premult, luminance, bpp;
    } const cases[] = {
        {VG_sRGBX_8888, 0, 0, 0, 0, 32},     {VG_sRGBA_8888, 1, 0, 0, 0, 32},    {VG_sRGBA_8888_PRE, 1, 0, 1, 0, 32},
        {VG_sRGB_565, 4, 0, 0, 0, 16},       {VG_sRGBA_5551, 2, 0, 0, 0, 16},    {VG_sRGBA_4444, 3, 0, 0, 0, 16},
        {VG_sL_8, 5, 0, 0, 2, 8},            {VG_lRGBX_8888, 0, 1, 0, 0, 32},    {VG_lRGBA_8888, 1, 1, 0, 0, 32},
        {VG_lRGBA_8888_PRE, 1, 1, 1, 0, 32}, {VG_lL_8, 5, 1, 0, 2, 8},           {VG_A_8, 6, 1, 0, 0, 8},
        {VG_BW_1, 7, 1, 0, 2, 1},            {VG_A_1, 8, 1, 0, 0, 1},            {VG_A_4, 9, 1, 0, 0, 4},
        {VG_sXRGB_8888, 10, 0, 0, 0, 32},    {VG_sARGB_8888, 11, 0, 0, 0, 32},   {VG_sARGB_8888_PRE, 11, 0, 1, 0, 32},
        {VG_sARGB_1555, 12, 0, 0, 0, 16},    {VG_sARGB_4444, 13, 0, 0, 0, 16},   {VG_lXRGB_8888, 10, 1, 0, 0, 32},
        {VG_lARGB_8888, 11, 1, 0, 0, 32},    {VG_lARGB_8888_PRE, 11, 1, 1, 0, 32}, {VG_sBGRX_8888, 14, 0, 0, 0, 32},
        {VG_sBGRA_8888, 15, 0, 0, 0, 32},    {VG_sBGRA_8888_PRE, 15, 0, 1, 0, 32}, {VG_sBGR_565, 18, 0, 0, 0, 16},
        {VG_sBGRA_5551, 16, 0, 0, 0, 16},    {VG_sBGRA_4444, 17, 0, 0, 0, 16},   {VG_lBGRX_8888, 14, 1, 0, 0, 32},
        {VG_lBGRA_8888, 15, 1, 0, 0, 32},    {VG_lBGRA_8888_PRE, 15, 1, 1, 0, 32}, {VG_sXBGR_8888, 19, 0, 0, 0, 32},
        {VG_sABGR_8888, 20, 0, 0, 0, 32},    {VG_sABGR_8888_PRE, 20, 0, 1, 0, 32}, {VG_sABGR_1555, 21, 0, 0, 0, 16},
        {VG_sABGR_4444, 22, 0, 0, 0, 16},    {VG_lXBGR_8888, 19, 1, 0, 0, 32},   {VG_lABGR_8888, 20, 1, 0, 0, 32},
        {VG_lABGR_8888_PRE, 20, 1, 1, 0, 32}, {VG_EXT_YUV422, 23, 0, 0, 0, 16},  {VG_EXT_LVQ88, 24, 0, 0, 0, 16},
        {VG_EXT_LVQ84, 25, 0, 0, 0, 16},     {VG_EXT_LVQ88A1, 27, 0, 0, 0, 16},  {VG_EXT_LVQ88A4, 28, 0, 0, 0, 16},
    };
    int validStandard = 0;
    for (unsigned f = 0; f < 256; ++f)
        validStandard += VGFUNC_IsValidImageFormat(static_cast<VGImageFormat>(f));
    EXPECT_EQ(validStandard + 5, static_cast<int>(sizeof cases / sizeof cases[0]));  // every valid format listed
    for (const Case& c : cases) {
        int code, linear, premult, luminance, bpp;
        ASSERT_EQ(VGALFUNC_TVGgetImageFormat(c.format, &code, &linear, &premult, &luminance, &bpp), 1) << c.format;
        EXPECT_EQ(code, c.code) << std::hex << c.format;
        EXPECT_EQ(linear, c.linear) << std::hex << c.format;
        EXPECT_EQ(premult, c.premult) << std::hex << c.format;
        EXPECT_EQ(luminance, c.luminance) << std::hex << c.format;
        EXPECT_EQ(bpp, c.bpp) << std::hex << c.format;
    }
}

TEST(SwPixelImageFormat, ValuesPastTheTablesHaveNoFormat)
{
    for (unsigned f : {15u, 0x4Au, 0x8Eu, 0xCCu, 0x4Fu, 0x40000005u, 0x4000000Fu}) {
        int code = 0, linear = 1, premult = 1, luminance = 1, bpp = 1;
        EXPECT_EQ(VGALFUNC_TVGgetImageFormat(static_cast<VGImageFormat>(f), &code, &linear, &premult, &luminance, &bpp),
                  0)
            << std::hex << f;
        EXPECT_EQ(code, VGAL_SWFORMAT_NONE);
        EXPECT_EQ(bpp, 0);
        EXPECT_FALSE(VGALFUNC_cp_known(code));
    }
}

}  // namespace
