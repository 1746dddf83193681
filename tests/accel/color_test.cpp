// Colour packing of the pixel engine: every OpenVG format's packed colour, channels out of
// range, the transfer functions at their break points and the 8-bit tables.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "vg/al_lx740/vg_al_lx740_color.h"

namespace {

TEST(ConvPack, EveryFormat)
{
    // Worked by hand: 565 green 0.6 x 63 + 0.5 truncates to 38, widened 0x9A; linear red
    // inv_Gamma(0.2) x 255 + 0.5 truncates to 8.
    const OVGcolor c{0.2f, 0.6f, 1.0f, 0.4f};
    struct Case {
        int fmt;
        word32 packed;
    } const cases[] = {
        {VG_sRGBX_8888, 0x3399FFFF},      {VG_sRGBA_8888, 0x3399FF66},     {VG_sRGBA_8888_PRE, 0x143D6666},
        {VG_sRGB_565, 0x319AFFFF},        {VG_sRGBA_5551, 0x319CFF00},     {VG_sRGBA_4444, 0x3399FF66},
        {VG_sL_8, 0x969696FF},            {VG_lRGBX_8888, 0x0851FFFF},     {VG_lRGBA_8888, 0x0851FF66},
        {VG_lRGBA_8888_PRE, 0x03216666},  {VG_lL_8, 0x4E4E4EFF},           {VG_A_8, 0xFFFFFF66},
        {VG_BW_1, 0x000000FF},            {VG_A_1, 0xFFFFFF00},            {VG_A_4, 0xFFFFFF66},
        {15, 0},                          {VG_sARGB_8888, 0x3399FF66},     {VG_lBGRA_8888_PRE, 0x03216666},
    };
    for (const Case& k : cases)
        EXPECT_EQ(VGALFUNC_ConvPack(&c, static_cast<VGImageFormat>(k.fmt)), k.packed) << "format " << k.fmt;

    const OVGcolor red{1.0f, 0.0f, 0.0f, 0.4f};
    EXPECT_EQ(VGALFUNC_ConvPack(&red, VG_sRGBA_5551), 0xFF000000u);
    const OVGcolor white{1.0f, 1.0f, 1.0f, 1.0f};
    EXPECT_EQ(VGALFUNC_ConvPack(&white, VG_BW_1), 0xFFFFFFFFu);
}

TEST(ConvPack, ChannelsOutOfRangeAreClampedAndNanIsZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const OVGcolor wild{2.0f, -1.0f, nan, 7.5f};
    EXPECT_EQ(VGALFUNC_ConvPack(&wild, VG_sRGBA_8888), 0xFF0000FFu);
    EXPECT_EQ(VGALFUNC_ConvPack(&wild, VG_sRGB_565), 0xFF0000FFu);
    const OVGcolor nanAlpha{0.5f, 0.5f, 0.5f, nan};
    EXPECT_EQ(VGALFUNC_ConvPack(&nanAlpha, VG_sRGBA_8888_PRE), 0u);
}

TEST(TransferFunctions, BreakPointsAndTables)
{
    EXPECT_FLOAT_EQ(Gamma(0.00304f), 12.92f * 0.00304f);
    EXPECT_NEAR(Gamma(0.00305f), 1.0556f * std::pow(0.00305f, 0.41666666f) - 0.0556f, 1e-6);
    EXPECT_NEAR(Gamma(1.0f), 1.0f, 1e-4);
    EXPECT_FLOAT_EQ(inv_Gamma(0.03928f), 0.03928f / 12.92f);
    EXPECT_NEAR(inv_Gamma(0.04f), std::pow((0.04f + 0.0556f) / 1.0556f, 2.4f), 1e-6);
    EXPECT_NEAR(inv_Gamma(Gamma(0.25f)), 0.25f, 1e-4);
    EXPECT_NEAR(rgb2l(1.0f, 1.0f, 1.0f), 1.0f, 1e-6);

    const unsigned char gLead[] = {0, 6, 13, 17};
    const unsigned char iLead[] = {0, 0, 0, 1, 1, 1, 1, 1, 1, 2};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(gtable[i], gLead[i]);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(itable[i], iLead[i]);
    EXPECT_EQ(gtable[255], 255);
    EXPECT_EQ(itable[255], 255);
    for (int i = 1; i < 256; ++i) {
        EXPECT_GE(gtable[i], gtable[i - 1]) << i;
        EXPECT_GE(itable[i], itable[i - 1]) << i;
    }
    for (int i = 10; i < 256; ++i) {
        EXPECT_NEAR(gtable[i], Gamma(i / 255.0f) * 255.0f, 2.0) << i;
        EXPECT_NEAR(itable[i], inv_Gamma(i / 255.0f) * 255.0f, 2.0) << i;
    }
}

}  // namespace
