/* Premultiplication and colour-space steps on the line buffer, with their 8-bit transfer
 * tables. */
#include "vg/al_lx740/vg_al_lx740_swpixel.h"

#include "vg/al_lx740/vg_al_lx740_transfer.h"

#define RED(e) VGAL_line_channel(e, 0)
#define GREEN(e) VGAL_line_channel(e, 1)
#define BLUE(e) VGAL_line_channel(e, 2)
#define ALPHA(e) VGAL_line_channel(e, 3)

/* Colours scaled by `scale`, alpha kept. */
static void multiply_colours(word32 *e, word32 scale)
{
    *e = VGAL_line_entry(VGAL_premultiply(RED(*e), scale), VGAL_premultiply(GREEN(*e), scale),
                         VGAL_premultiply(BLUE(*e), scale), ALPHA(*e));
}

void prefunc(int w)
{
    int i;
    for (i = w - 1; i >= 0; --i)
        multiply_colours(&VGALVAL_linebuffer[i], ALPHA(VGALVAL_linebuffer[i]));
}

void prefunc_5551(int w)
{
    int i;
    for (i = w - 1; i >= 0; --i) {
        const word32 a = ALPHA(VGALVAL_linebuffer[i]);
        multiply_colours(&VGALVAL_linebuffer[i], a > 127 ? a : 0);
    }
}

void unprefunc(int w)
{
    int i;
    for (i = w - 1; i >= 0; --i) {
        const word32 e = VGALVAL_linebuffer[i], a = ALPHA(e);
        VGALVAL_linebuffer[i] = a == 0 ? 0
                                       : VGAL_line_entry(VGAL_unpremultiply(RED(e), a), VGAL_unpremultiply(GREEN(e), a),
                                                         VGAL_unpremultiply(BLUE(e), a), a);
    }
}

/* Red, green and blue (or red alone) through a transfer table. */
static void transfer(int w, const unsigned char *table, int red_only)
{
    int i;
    for (i = w - 1; i >= 0; --i) {
        const word32 e = VGALVAL_linebuffer[i];
        VGALVAL_linebuffer[i] = red_only ? VGAL_line_entry(table[RED(e)], GREEN(e), BLUE(e), ALPHA(e))
                                         : VGAL_line_entry(table[RED(e)], table[GREEN(e)], table[BLUE(e)], ALPHA(e));
    }
}

/* Luminance of linear red, green and blue into red: linear, or through `table` to sRGB. */
static void to_luminance(int w, const unsigned char *table)
{
    int i;
    for (i = w - 1; i >= 0; --i) {
        const word32 e = VGALVAL_linebuffer[i];
        const word32 y = VGAL_luminance(RED(e), GREEN(e), BLUE(e));
        VGALVAL_linebuffer[i] = VGAL_line_entry(table ? table[y] : y, GREEN(e), BLUE(e), ALPHA(e));
    }
}

void sRGB2lRGB(int w)
{
    transfer(w, VGALVAL_tvg_inv_gamma_table, 0);
}

void sRGB2sL(int w)
{
    sRGB2lRGB(w);
    to_luminance(w, VGALVAL_tvg_gamma_table);
}

void sRGB2lL(int w)
{
    sRGB2lRGB(w);
    to_luminance(w, NULL);
}

void lRGB2sRGB(int w)
{
    transfer(w, VGALVAL_tvg_gamma_table, 0);
}

void lRGB2sL(int w)
{
    to_luminance(w, VGALVAL_tvg_gamma_table);
}

void lRGB2lL(int w)
{
    to_luminance(w, NULL);
}

void sL2lRGB(int w)
{
    transfer(w, VGALVAL_tvg_inv_gamma_table, 0);
}

void sL2lL(int w)
{
    transfer(w, VGALVAL_tvg_inv_gamma_table, 1);
}

void lL2sRGB(int w)
{
    transfer(w, VGALVAL_tvg_gamma_table, 0);
}

void lL2sL(int w)
{
    transfer(w, VGALVAL_tvg_gamma_table, 1);
}

const VGALbufferstep convtable[16] = {
    NULL,      sRGB2lRGB, sRGB2sL, sRGB2lL, /* from sRGB */
    lRGB2sRGB, NULL,      lRGB2sL, lRGB2lL, /* from linear RGB */
    NULL,      sL2lRGB,   NULL,    sL2lL,   /* from sRGB luminance */
    lL2sRGB,   NULL,      lL2sL,   NULL,    /* from linear luminance */
};

/* The sRGB transfer function of OpenVG 1.1 rounded to the nearest step; the first entries of
 * the linear-to-sRGB table lie up to two steps above it. */
const unsigned char VGALVAL_tvg_gamma_table[256] = {
      0,  15,  23,  29,  35,  39,  43,  47,  50,  53,  56,  58,  61,  64,  66,  68,
     71,  73,  75,  77,  79,  81,  83,  85,  86,  88,  90,  91,  93,  95,  96,  98,
     99, 101, 102, 103, 105, 106, 108, 109, 110, 112, 113, 114, 115, 116, 118, 119,
    120, 121, 122, 123, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136,
    137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 147, 148, 149, 150, 151,
    152, 153, 154, 154, 155, 156, 157, 158, 159, 159, 160, 161, 162, 163, 163, 164,
    165, 166, 167, 167, 168, 169, 170, 170, 171, 172, 173, 173, 174, 175, 175, 176,
    177, 178, 178, 179, 180, 180, 181, 182, 182, 183, 184, 184, 185, 186, 186, 187,
    188, 188, 189, 190, 190, 191, 192, 192, 193, 194, 194, 195, 195, 196, 197, 197,
    198, 199, 199, 200, 200, 201, 202, 202, 203, 203, 204, 205, 205, 206, 206, 207,
    207, 208, 209, 209, 210, 210, 211, 211, 212, 213, 213, 214, 214, 215, 215, 216,
    216, 217, 218, 218, 219, 219, 220, 220, 221, 221, 222, 222, 223, 223, 224, 224,
    225, 226, 226, 227, 227, 228, 228, 229, 229, 230, 230, 231, 231, 232, 232, 233,
    233, 234, 234, 235, 235, 236, 236, 237, 237, 237, 238, 238, 239, 239, 240, 240,
    241, 241, 242, 242, 243, 243, 244, 244, 245, 245, 246, 246, 246, 247, 247, 248,
    248, 249, 249, 250, 250, 251, 251, 251, 252, 252, 253, 253, 254, 254, 255, 255,
};

const unsigned char VGALVAL_tvg_inv_gamma_table[256] = {
      0,   0,   0,   0,   0,   0,   0,   1,   1,   1,   1,   1,   1,   1,   1,   1,
      1,   1,   2,   2,   2,   2,   2,   2,   2,   2,   3,   3,   3,   3,   3,   4,
      4,   4,   4,   4,   5,   5,   5,   5,   5,   6,   6,   6,   6,   7,   7,   7,
      8,   8,   8,   8,   9,   9,   9,  10,  10,  10,  11,  11,  12,  12,  12,  13,
     13,  14,  14,  14,  15,  15,  16,  16,  17,  17,  18,  18,  18,  19,  19,  20,
     21,  21,  22,  22,  23,  23,  24,  24,  25,  26,  26,  27,  27,  28,  29,  29,
     30,  31,  31,  32,  33,  33,  34,  35,  35,  36,  37,  38,  38,  39,  40,  41,
     41,  42,  43,  44,  45,  45,  46,  47,  48,  49,  50,  51,  51,  52,  53,  54,
     55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,
     71,  72,  73,  74,  76,  77,  78,  79,  80,  81,  82,  84,  85,  86,  87,  88,
     90,  91,  92,  93,  95,  96,  97,  99, 100, 101, 103, 104, 105, 107, 108, 109,
    111, 112, 114, 115, 116, 118, 119, 121, 122, 124, 125, 127, 128, 130, 131, 133,
    134, 136, 138, 139, 141, 142, 144, 146, 147, 149, 151, 152, 154, 156, 157, 159,
    161, 163, 164, 166, 168, 170, 172, 173, 175, 177, 179, 181, 183, 184, 186, 188,
    190, 192, 194, 196, 198, 200, 202, 204, 206, 208, 210, 212, 214, 216, 218, 220,
    222, 224, 226, 229, 231, 233, 235, 237, 239, 242, 244, 246, 248, 250, 253, 255,
};
