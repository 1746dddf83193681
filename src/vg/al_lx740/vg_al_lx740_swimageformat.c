/* OpenVG image formats as the software pixel path sees them. */
#include "vg/al_lx740/vg_al_lx740_swpixel.h"

#include "vg/common/vg_image_format.h"

#define EXTENSION_BIT 0x40000000u
#define EXTENSION_FORMATS 5
#define ORDERS 4
#define FORMATS 15
#define ORDER_VARIANTS 10 /* the channel-order variants exist for the first ten formats */
#define NONE VGAL_SWFORMAT_NONE

static const signed char extension_codes[EXTENSION_FORMATS] = {23, 24, 25, 27, 28};

/* By channel order (RGBA, ARGB, BGRA, ABGR) and format AND 15. */
static const signed char codes[ORDERS][FORMATS] = {
    {0, 1, 1, 4, 2, 3, 5, 0, 1, 1, 5, 6, 7, 8, 9},
    {10, 11, 11, 0, 12, 13, 0, 10, 11, 11, NONE, NONE, NONE, NONE, NONE},
    {14, 15, 15, 18, 16, 17, 0, 14, 15, 15, NONE, NONE, NONE, NONE, NONE},
    {19, 20, 20, 0, 21, 22, 0, 19, 20, 20, NONE, NONE, NONE, NONE, NONE},
};

static int describe(int code, int linear, int premult, int luminance, int bpp, int *format, int *plinear,
                    int *ppremult, int *pluminance, int *pbpp)
{
    *format = code;
    *plinear = linear;
    *ppremult = premult;
    *pluminance = luminance;
    *pbpp = bpp;
    return code != NONE;
}

int VGALFUNC_TVGgetImageFormat(VGImageFormat iformat, int *format, int *linear, int *premult, int *luminance, int *bpp)
{
    const unsigned value = (unsigned)iformat;
    const unsigned n = value & 15u;
    const unsigned order = (value & 0xC0u) >> 6;
    if (value & EXTENSION_BIT) {
        if (n >= EXTENSION_FORMATS)
            return describe(NONE, 0, 0, 0, 0, format, linear, premult, luminance, bpp);
        return describe(extension_codes[n], 0, 0, 0, 16, format, linear, premult, luminance, bpp);
    }
    if (n >= FORMATS || (order != 0 && n >= ORDER_VARIANTS))
        return describe(NONE, 0, 0, 0, 0, format, linear, premult, luminance, bpp);
    return describe(codes[order][n], n > 6, n == 2 || n == 9, VGVAL_isluminance[n] ? 2 : 0, VGVAL_bitperpixel[n],
                    format, linear, premult, luminance, bpp);
}
