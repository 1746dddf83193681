/* What a clear stores, by GPU format code. */
#include "vg/al_lx740/vg_al_lx740_clear.h"

#include "vg/al_lx740/vg_al_lx740_color.h"

static word32 pack(word32 c3, word32 c2, word32 c1, word32 c0)
{
    return c3 << 24 | c2 << 16 | c1 << 8 | c0;
}

static word32 nibbles(word32 n3, word32 n2, word32 n1, word32 n0)
{
    return (n3 >> 4) << 12 | (n2 >> 4) << 8 | (n1 >> 4) << 4 | n0 >> 4;
}

/* 5551 with alpha in bit 0 (alpha_first 0) or bit 15. */
static word32 pack5551(word32 c2, word32 c1, word32 c0, word32 a, int alpha_first)
{
    if (alpha_first)
        return (a & 0x80u) << 8 | (c2 & 0xF8u) << 7 | (c1 & 0xF8u) << 2 | (c0 & 0xF8u) >> 3;
    return (c2 & 0xF8u) << 8 | (c1 & 0xF8u) << 3 | (c0 & 0xF8u) >> 2 | a >> 7;
}

static word32 pack565(word32 c2, word32 c1, word32 c0)
{
    return (c2 & 0xF8u) << 8 | (c1 & 0xFCu) << 3 | (c0 & 0xF8u) >> 3;
}

static word32 native(word32 code, word32 r, word32 g, word32 b, word32 a)
{
    switch (code) {
    case 0: return pack(r, g, b, a);
    case 1: return pack(a, r, g, b);
    case 2: return pack(b, g, r, a);
    case 3: return pack(a, b, g, r);
    case 4: return pack(r, g, b, 0xFF);
    case 5: return pack(0xFF, r, g, b);
    case 6: return pack(b, g, r, 0xFF);
    case 7: return pack(0xFF, b, g, r);
    case 16: return pack5551(r, g, b, a, 0);
    case 17: return pack5551(r, g, b, a, 1);
    case 18: return pack5551(b, g, r, a, 0);
    case 19: return pack5551(b, g, r, a, 1);
    case 20: return nibbles(r, g, b, a);
    case 21: return nibbles(a, r, g, b);
    case 22: return nibbles(b, g, r, a);
    case 23: return nibbles(a, b, g, r);
    case 24: return pack565(r, g, b);
    case 25: return pack565(b, g, r);
    case 32: return r;
    case 33: return a;
    case 48: return a >> 4;
    case 64: return a >> 7;
    case 65: return r >> 7;
    default: return 0;
    }
}

static word32 rgba(word32 code, word32 r, word32 g, word32 b, word32 a, int premultiplied)
{
    switch (code) {
    case 4: case 5: case 6: case 7: case 24: case 25: return pack(r, g, b, 0xFF);
    case 32: return pack(r, r, r, a);
    case 65: return pack(r, r, r, 0xFF);
    case 33: case 48: case 64: return premultiplied ? pack(a, a, a, a) : 0xFFFFFF00u | a;
    case 0: case 1: case 2: case 3: return pack(r, g, b, a);
    case 16: case 17: case 18: case 19: case 20: case 21: case 22: case 23: return pack(r, g, b, a);
    default: return 0;
    }
}

VGALclearvalues VGALFUNC_lx_clear_values(word32 code, word32 r, word32 g, word32 b, word32 a, int premultiplied)
{
    VGALclearvalues v = {0, 0};
    /* A premultiplied one-bit alpha of 0 leaves no colour. */
    if (premultiplied && code >= 16 && code <= 19 && a <= 127)
        return v;
    v.native = native(code, r, g, b, a);
    v.rgba = rgba(code, r, g, b, a, premultiplied);
    return v;
}

OVGcolor VGALFUNC_lx_target_colour(const OVGcolor *c, int linear, int luminance, int premultiplied)
{
    OVGcolor t = *c;
    if (linear || luminance) {
        t.r = inv_Gamma(t.r);
        t.g = inv_Gamma(t.g);
        t.b = inv_Gamma(t.b);
    }
    if (luminance) {
        t.r = rgb2l(t.r, t.g, t.b);
        if (!linear)
            t.r = Gamma(t.r);
    }
    if (premultiplied) {
        t.r *= t.a;
        t.g *= t.a;
        t.b *= t.a;
    }
    return t;
}
