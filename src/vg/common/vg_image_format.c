#include "vg/common/vg_image_format.h"

/*                                             sRGBX RGBA PRE 565 5551 4444 sL lRGBX RGBA PRE lL A8 BW A1 A4 - */
const unsigned char VGVAL_bitperpixel[16] = {32, 32, 32, 16, 16, 16, 8, 32, 32, 32, 8, 8, 1, 1, 4, 0};
const unsigned char VGVAL_imgalign[16] = {4, 4, 4, 2, 2, 2, 1, 4, 4, 4, 1, 1, 1, 1, 1, 0};
const unsigned char VGVAL_isrgb[16] = {1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0};
const unsigned char VGVAL_ispremult[16] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
const unsigned char VGVAL_isluminance[16] = {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0};
const unsigned char VGVAL_fhavealpha[16] = {0, 1, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 1, 1, 0};

/*                                                 YUV422 LVQ88 LVQ84 LVQ88A1 LVQ88A4 */
const unsigned char VGVAL_extimgalign[5] = {4, 2, 2, 2, 2};
const unsigned char VGVAL_extimgalign_direct[5] = {4, 8, 8, 8, 8};

int VGFUNC_IsValidImageFormat(VGImageFormat format)
{
    const unsigned value = (unsigned)format;
    const unsigned low = value & 15u;
    switch (value & ~15u) {
    case 0x00: return low <= 14;
    /* alpha first, reversed colour order, both: the 8888 formats, 5551 and 4444 */
    case 0x40:
    case 0xC0: return low <= 2 || low == 4 || low == 5 || (low >= 7 && low <= 9);
    case 0x80: return low <= 5 || (low >= 7 && low <= 9); /* and 565 in BGR order */
    default: return 0;
    }
}

int VGFUNC_IsValidImageFormatEXT(VGImageFormat format)
{
    const unsigned value = (unsigned)format;
    return value >= 0x40000000u && value <= 0x40000004u;
}
