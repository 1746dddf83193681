#include "vg/al_lx740/vg_al_lx740_format.h"

#define FORMAT_EXT 0x40000000u
#define FORMAT_ORDER 0xC0u
#define FORMAT_ALPHA_FIRST 0x40u

/* Rows: RGBA, ARGB, BGRA, ABGR; columns: format AND 15. Formats without that order give 0. */
static const word32 ftable[4][16] = {
    {4, 0, 0, 24, 16, 20, 32, 4, 0, 0, 32, 33, 65, 64, 48, 0},
    {5, 1, 1, 0, 17, 21, 0, 5, 1, 1, 0, 0, 0, 0, 0, 0},
    {6, 2, 2, 25, 18, 22, 0, 6, 2, 2, 0, 0, 0, 0, 0, 0},
    {7, 3, 3, 0, 19, 23, 0, 7, 3, 3, 0, 0, 0, 0, 0, 0},
};
static const word32 ftable_ext[16] = {26, 56, 57, 59, 60};

/* The resolve colour modes of the surface formats, by pixel layout: 32-bit 0, 565 0x10000000,
 * 5551 0x14000000 (alpha last) or 0x1C000000 (alpha first), 4444 0x18000000, 8-bit 0x20000000.
 * The 4 and 1-bit layouts have none. */
const word32 cmode_table0[16] = {0, 0, 0, 0x10000000u, 0x14000000u, 0x18000000u, 0x20000000u, 0,
                                 0, 0, 0x20000000u, 0x20000000u, 0, 0, 0, 0};
const word32 cmode_table1[16] = {0, 0, 0, 0x10000000u, 0x1C000000u, 0x18000000u, 0x20000000u, 0,
                                 0, 0, 0x20000000u, 0x20000000u, 0, 0, 0, 0};

word32 VGALFUNC_TVGgetLXImageFormat(VGImageFormat format)
{
    const word32 value = (word32)format;
    if (value & FORMAT_EXT)
        return ftable_ext[value & 15u];
    return ftable[(value & FORMAT_ORDER) >> 6][value & 15u];
}

word32 VGALFUNC_lx_copy_cmode(VGImageFormat format)
{
    const word32 value = (word32)format;
    return (value & FORMAT_ALPHA_FIRST) ? cmode_table1[value & 15u] : cmode_table0[value & 15u];
}
