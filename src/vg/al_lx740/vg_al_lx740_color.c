/* Colour packing and the sRGB transfer functions of the pixel engine. */
#include "vg/al_lx740/vg_al_lx740_color.h"

#include <math.h>

float rgb2l(float r, float g, float b)
{
    return 0.2126f * r + 0.7152f * g + 0.0722f * b;
}

float Gamma(float x)
{
    if (x <= 0.00304f)
        return 12.92f * x;
    return 1.0556f * powf(x, 0.41666666f) - 0.0556f;
}

float inv_Gamma(float x)
{
    if (x <= 0.03928f)
        return x / 12.92f;
    return powf((x + 0.0556f) / 1.0556f, 2.4f);
}

/* Channels outside [0, 1] would spill into their neighbours once scaled: clamp, NaN as 0. */
static float clamp01(float x)
{
    if (!(x > 0.0f))
        return 0.0f;
    return x > 1.0f ? 1.0f : x;
}

/* x scaled to `bits` bits (x times the scale plus 0.5, truncated), widened back to 8 bits. */
static word32 channel(float x, int bits)
{
    word32 v = (word32)(x * (float)((1u << bits) - 1) + 0.5f);
    switch (bits) {
    case 4: return v | v << 4;
    case 5: return v << 3 | v >> 2;
    case 6: return v << 2 | v >> 4;
    default: return v;
    }
}

static word32 pack(word32 r, word32 g, word32 b, word32 a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

word32 VGALFUNC_ConvPack(const OVGcolor *c, VGImageFormat fmt)
{
    const float r = clamp01(c->r), g = clamp01(c->g), b = clamp01(c->b), a = clamp01(c->a);
    word32 l;
    switch ((int)fmt & 15) {
    case 0: return pack(channel(r, 8), channel(g, 8), channel(b, 8), 255);
    case 1: return pack(channel(r, 8), channel(g, 8), channel(b, 8), channel(a, 8));
    case 2: return pack(channel(r * a, 8), channel(g * a, 8), channel(b * a, 8), channel(a, 8));
    case 3: return pack(channel(r, 5), channel(g, 6), channel(b, 5), 255);
    case 4: return pack(channel(r, 5), channel(g, 5), channel(b, 5), a < 0.5f ? 0 : 255);
    case 5: return pack(channel(r, 4), channel(g, 4), channel(b, 4), channel(a, 4));
    case 6:
        l = channel(Gamma(rgb2l(inv_Gamma(r), inv_Gamma(g), inv_Gamma(b))), 8);
        return pack(l, l, l, 255);
    case 7: return pack(channel(inv_Gamma(r), 8), channel(inv_Gamma(g), 8), channel(inv_Gamma(b), 8), 255);
    case 8:
        return pack(channel(inv_Gamma(r), 8), channel(inv_Gamma(g), 8), channel(inv_Gamma(b), 8), channel(a, 8));
    case 9:
        return pack(channel(a * inv_Gamma(r), 8), channel(a * inv_Gamma(g), 8), channel(a * inv_Gamma(b), 8),
                    channel(a, 8));
    case 10:
        l = channel(rgb2l(inv_Gamma(r), inv_Gamma(g), inv_Gamma(b)), 8);
        return pack(l, l, l, 255);
    case 11: return pack(255, 255, 255, channel(a, 8));
    case 12:
        l = rgb2l(inv_Gamma(r), inv_Gamma(g), inv_Gamma(b)) < 0.5f ? 0 : 255;
        return pack(l, l, l, 255);
    case 13: return pack(255, 255, 255, a < 0.5f ? 0 : 255);
    case 14: return pack(255, 255, 255, channel(a, 4));
    default: return 0;
    }
}

/* The 8-bit transfer tables: the leading entries the pixel engine expects, then the curves of
 * Gamma and inv_Gamma rounded to the nearest step, rising monotonically to 255. */
const unsigned char gtable[256] = {
      0,   6,  13,  17,  33,  38,  42,  46,  49,  53,  56,  58,  61,  64,  66,  68,
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

const unsigned char itable[256] = {
      0,   0,   0,   1,   1,   1,   1,   1,   1,   2,   2,   2,   2,   2,   2,   2,
      2,   2,   2,   2,   2,   2,   2,   2,   2,   2,   3,   3,   3,   3,   3,   4,
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
