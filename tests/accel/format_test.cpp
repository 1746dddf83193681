// The GPU's format codes of the OpenVG image formats and the layer's answers to the string and
// capability queries.
#include <gtest/gtest.h>

#include <cstring>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/al_lx740/vg_al_lx740_format.h"
#include "vg/al_lx740/vg_al_lx740_query.h"
#include "vg/common/vg_image_format.h"

namespace {

struct FormatCode {
    VGImageFormat format;
    word32 code;
};

const FormatCode kStandardCodes[] = {
    {VG_sRGBX_8888, 4},      {VG_sRGBA_8888, 0},      {VG_sRGBA_8888_PRE, 0},  {VG_sRGB_565, 24},
    {VG_sRGBA_5551, 16},     {VG_sRGBA_4444, 20},     {VG_sL_8, 32},           {VG_lRGBX_8888, 4},
    {VG_lRGBA_8888, 0},      {VG_lRGBA_8888_PRE, 0},  {VG_lL_8, 32},           {VG_A_8, 33},
    {VG_BW_1, 65},           {VG_A_1, 64},            {VG_A_4, 48},
    {VG_sXRGB_8888, 5},      {VG_sARGB_8888, 1},      {VG_sARGB_8888_PRE, 1},  {VG_sARGB_1555, 17},
    {VG_sARGB_4444, 21},     {VG_lXRGB_8888, 5},      {VG_lARGB_8888, 1},      {VG_lARGB_8888_PRE, 1},
    {VG_sBGRX_8888, 6},      {VG_sBGRA_8888, 2},      {VG_sBGRA_8888_PRE, 2},  {VG_sBGR_565, 25},
    {VG_sBGRA_5551, 18},     {VG_sBGRA_4444, 22},     {VG_lBGRX_8888, 6},      {VG_lBGRA_8888, 2},
    {VG_lBGRA_8888_PRE, 2},
    {VG_sXBGR_8888, 7},      {VG_sABGR_8888, 3},      {VG_sABGR_8888_PRE, 3},  {VG_sABGR_1555, 19},
    {VG_sABGR_4444, 23},     {VG_lXBGR_8888, 7},      {VG_lABGR_8888, 3},      {VG_lABGR_8888_PRE, 3},
};

TEST(LayerFormats, EveryValidFormatHasItsTextureCode)
{
    int listed = 0;
    for (const FormatCode& c : kStandardCodes) {
        EXPECT_TRUE(VGFUNC_IsValidImageFormat(c.format)) << std::hex << c.format;
        EXPECT_EQ(VGALFUNC_TVGgetLXImageFormat(c.format), c.code) << std::hex << c.format;
    }
    // The table above is the whole set of valid formats.
    for (unsigned format = 0; format < 0x100; ++format)
        listed += VGFUNC_IsValidImageFormat(static_cast<VGImageFormat>(format));
    EXPECT_EQ(listed, static_cast<int>(sizeof kStandardCodes / sizeof kStandardCodes[0]));
}

TEST(LayerFormats, VendorFormatsHaveTheirOwnCodes)
{
    const FormatCode cases[] = {
        {VG_EXT_YUV422, 26}, {VG_EXT_LVQ88, 56}, {VG_EXT_LVQ84, 57}, {VG_EXT_LVQ88A1, 59}, {VG_EXT_LVQ88A4, 60},
    };
    for (const FormatCode& c : cases)
        EXPECT_EQ(VGALFUNC_TVGgetLXImageFormat(c.format), c.code) << std::hex << c.format;
}

TEST(LayerFormats, CopyColourModesFollowThePixelLayout)
{
    const FormatCode cases[] = {
        {VG_sRGBA_8888, 0},          {VG_sARGB_8888, 0},          {VG_lXBGR_8888, 0},
        {VG_sRGB_565, 0x10000000},   {VG_sBGR_565, 0x10000000},
        {VG_sRGBA_5551, 0x14000000}, {VG_sBGRA_5551, 0x14000000}, {VG_sARGB_1555, 0x1C000000},
        {VG_sABGR_1555, 0x1C000000}, {VG_sRGBA_4444, 0x18000000}, {VG_sABGR_4444, 0x18000000},
        {VG_sL_8, 0x20000000},       {VG_lL_8, 0x20000000},       {VG_A_8, 0x20000000},
    };
    for (const FormatCode& c : cases)
        EXPECT_EQ(VGALFUNC_lx_copy_cmode(c.format), c.code) << std::hex << c.format;
}

TEST(LayerQueries, StringsByName)
{
    struct Case {
        VGStringID name;
        const char* text;
    } const cases[] = {
        {VG_VENDOR, "ORLENZ Corporation"},
        {VG_RENDERER, "LX740"},
        {VG_VERSION, "1.1"},
        {VG_EXTENSIONS, ""},
        {static_cast<VGStringID>(0x2304), nullptr},
        {static_cast<VGStringID>(0), nullptr},
    };
    for (const Case& c : cases) {
        const char* text = reinterpret_cast<const char*>(VGHAL_ALgetString(c.name));
        if (!c.text) {
            EXPECT_EQ(text, nullptr) << std::hex << c.name;
            continue;
        }
        ASSERT_NE(text, nullptr) << std::hex << c.name;
        EXPECT_STREQ(text, c.text);
    }
}

TEST(LayerQueries, EveryFormatAndDataTypeIsAccelerated)
{
    for (const FormatCode& c : kStandardCodes)
        EXPECT_EQ(VGHAL_ALimageFormatQuery(c.format), VG_HARDWARE_ACCELERATED);
    for (VGPathDatatype type : {VG_PATH_DATATYPE_S_8, VG_PATH_DATATYPE_S_16, VG_PATH_DATATYPE_S_32, VG_PATH_DATATYPE_F})
        EXPECT_EQ(VGHAL_ALpathDataTypeQuery(type), VG_HARDWARE_ACCELERATED);
}

}  // namespace
