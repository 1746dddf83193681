// Clipping of the GPU copies and the pixel engine's conversion choices, as tables.
#include <gtest/gtest.h>

#include <climits>

#include "vg/al_lx740/vg_al_lx740_copy.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

namespace {

struct RegionCase {
    const char* name;
    OVGrect rect;
    int dx, dy;
    bool empty;
    VGALcopywork expected;  // compared when not empty
};

// Source 20 x 10, destination 16 x 12.
const RegionCase kRegions[] = {
    {"inside", {2, 3, 5, 4}, 6, 7, false, {2, 3, 6, 7, 5, 4}},
    {"source x -5 moves the destination on", {-5, 0, 10, 3}, 0, 0, false, {0, 0, 5, 0, 5, 3}},
    {"destination x -3 moves the source on", {4, 1, 10, 2}, -3, 0, false, {7, 1, 0, 0, 7, 2}},
    {"destination x -10 leaves nothing", {4, 1, 10, 2}, -10, 0, true, {}},
    {"source y -4 and destination y -6", {0, -4, 3, 9}, 1, -6, false, {0, 2, 1, 0, 3, 3}},
    {"cut to the source's right edge", {15, 0, 30, 1}, 0, 0, false, {15, 0, 0, 0, 5, 1}},
    {"cut to the destination's bottom edge", {0, 0, 4, 10}, 0, 9, false, {0, 0, 0, 9, 4, 3}},
    {"source x at the width", {20, 0, 1, 1}, 0, 0, true, {}},
    {"destination y at the height", {0, 0, 1, 1}, 0, 12, true, {}},
    {"zero width", {0, 0, 0, 4}, 0, 0, true, {}},
    {"negative height", {0, 0, 4, -1}, 0, 0, true, {}},
    // Extremes: the sums must not wrap in 32 bits.
    {"x INT_MIN width INT_MAX", {INT_MIN, 0, INT_MAX, 2}, 0, 0, true, {}},
    {"x -1 width INT_MAX", {-1, 0, INT_MAX, 2}, 0, 0, false, {0, 0, 1, 0, 15, 2}},
    {"dx INT_MIN", {0, 0, INT_MAX, 2}, INT_MIN, 0, true, {}},
    {"dx -INT_MAX width INT_MAX", {0, 0, INT_MAX, 2}, -INT_MAX + 3, 0, true, {}},
    {"x -INT_MAX width INT_MAX reaches 0", {-INT_MAX, 0, INT_MAX, 1}, 0, 0, true, {}},
    {"y INT_MIN height INT_MAX", {0, INT_MIN, 3, INT_MAX}, 0, 0, true, {}},
    {"width and height INT_MAX", {1, 2, INT_MAX, INT_MAX}, 3, 4, false, {1, 2, 3, 4, 13, 8}},
    {"dy INT_MAX", {0, 0, 1, 1}, 0, INT_MAX, true, {}},
    {"x near INT_MAX", {INT_MAX - 20, 0, 2, 2}, 0, 0, true, {}},
};

TEST(CheckRegion, ClipsToBothBuffersIn64Bits)
{
    VGALVAL_src_width = 20, VGALVAL_src_height = 10;
    VGALVAL_dst_width = 16, VGALVAL_dst_height = 12;
    for (const RegionCase& c : kRegions) {
        SCOPED_TRACE(c.name);
        const int result = CheckRegion(c.dx, c.dy, &c.rect);
        EXPECT_EQ(result, c.empty ? 1 : 0);
        if (c.empty)
            continue;
        const VGALcopywork& w = VGALVAL_copywork;
        EXPECT_EQ(w.rsx, c.expected.rsx);
        EXPECT_EQ(w.rsy, c.expected.rsy);
        EXPECT_EQ(w.rdx, c.expected.rdx);
        EXPECT_EQ(w.rdy, c.expected.rdy);
        EXPECT_EQ(w.rw, c.expected.rw);
        EXPECT_EQ(w.rh, c.expected.rh);
    }
}

struct FormatSide {
    int format, linear, pre, luminance;
};

struct ConversionCase {
    const char* name;
    FormatSide src, dst;
    VGALcopyconversion expected;  // clamp2a, gammaen, rgb2l, preunpre
};

// Software formats: 0 RGBX_8888, 1 RGBA_8888, 4 RGB_565, 5 L_8, 10 XRGB_8888 (the class of 0);
// colour space and premultiplication are flags of their own.
const ConversionCase kConversions[] = {
    {"same layout", {1, 0, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 0}},
    {"one class, other channel order", {0, 0, 0, 0}, {10, 0, 0, 0}, {0, 0, 0, 0}},
    {"565 to 8888", {4, 0, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 0}},
    {"premultiplied to non-premultiplied", {1, 0, 1, 0}, {1, 0, 0, 0}, {1, 0, 0, 2}},
    {"non-premultiplied to premultiplied", {1, 0, 0, 0}, {1, 0, 1, 0}, {0, 0, 0, 1}},
    {"premultiplied, both sides", {1, 0, 1, 0}, {1, 0, 1, 0}, {1, 0, 0, 0}},
    {"sRGB to linear", {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0}},
    {"linear to sRGB", {1, 1, 0, 0}, {1, 0, 0, 0}, {0, 2, 0, 0}},
    {"sRGB to sL_8", {1, 0, 0, 0}, {5, 0, 0, 2}, {0, 3, 1, 0}},
    {"sRGB to lL_8", {1, 0, 0, 0}, {5, 1, 0, 2}, {0, 1, 1, 0}},
    {"sL_8 to lL_8", {5, 0, 0, 2}, {5, 1, 0, 2}, {0, 1, 0, 0}},
    {"sL_8 to sL_8", {5, 0, 0, 2}, {5, 0, 0, 2}, {0, 0, 0, 0}},
    {"linear premultiplied to sRGB", {1, 1, 1, 0}, {1, 0, 0, 0}, {1, 2, 0, 2}},
};

TEST(ChooseFormat, PicksTheConversionsOfTheFormatPair)
{
    for (const ConversionCase& c : kConversions) {
        SCOPED_TRACE(c.name);
        VGALVAL_src_format = c.src.format, VGALVAL_src_linear = c.src.linear, VGALVAL_src_pre = c.src.pre;
        VGALVAL_src_luminance = c.src.luminance;
        VGALVAL_dst_format = c.dst.format, VGALVAL_dst_linear = c.dst.linear, VGALVAL_dst_pre = c.dst.pre;
        VGALVAL_dst_luminance = c.dst.luminance;
        ChooseFormat();
        const VGALcopyconversion& v = VGALVAL_copyconversion;
        EXPECT_EQ(v.clamp2a, c.expected.clamp2a);
        EXPECT_EQ(v.gammaen, c.expected.gammaen);
        EXPECT_EQ(v.rgb2l, c.expected.rgb2l);
        EXPECT_EQ(v.preunpre, c.expected.preunpre);
    }
}

}  // namespace
