#include "vg/al_lx740/vg_al_lx740_lxformat.h"

#define EXTENSION_BIT 0x40000000u

/* By channel order (RGBA, ARGB, BGRA, ABGR) and format AND 15. */
static const unsigned char ftable[4][16] = {
    {4, 0, 0, 24, 16, 20, 32, 4, 0, 0, 32, 33, 65, 64, 48, 0},
    {5, 1, 1, 0, 17, 21, 0, 5, 1, 1},
    {6, 2, 2, 25, 18, 22, 0, 6, 2, 2},
    {7, 3, 3, 0, 19, 23, 0, 7, 3, 3},
};
static const unsigned char ftable_ext[16] = {26, 56, 57, 59, 60};

word32 VGALFUNC_TVGgetLXImageFormat(VGImageFormat format)
{
    const unsigned value = (unsigned)format;
    if (value & EXTENSION_BIT)
        return ftable_ext[value & 15u];
    return ftable[(value & 0xC0u) >> 6][value & 15u];
}
