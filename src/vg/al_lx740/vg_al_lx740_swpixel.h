#ifndef VG_AL_LX740_SWPIXEL_H
#define VG_AL_LX740_SWPIXEL_H

/* The software pixel path: rows move between the transfer descriptor's buffers and a line
 * buffer of 32-bit entries (R in bits 31-24, G 23-16, B 15-8, A 7-0), one entry a pixel.
 * Software format codes 0-22 have a row reader and writer; 23-28 are GPU-only extension formats.
 * Every step walks its pixels from the last to the first (except the RGBA8888 and RGBX8888 block
 * copies), so a row can be widened in place. */

#include <VG/openvg.h>

#include "cgl.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

#ifdef __cplusplus
extern "C" {
#endif

#define VGAL_SWFORMAT_COUNT 23
#define VGAL_SWFORMAT_NONE (-1)

extern word32 *VGALVAL_linebuffer;

/* A line-buffer entry from its channels, and channel c of one (0 R, 1 G, 2 B, 3 A). */
static inline word32 VGAL_line_entry(word32 r, word32 g, word32 b, word32 a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

static inline word32 VGAL_line_channel(word32 e, int c)
{
    return e >> (24 - 8 * c) & 0xFFu;
}

/* A field of `bits` bits widened to 8 bits by bit replication; an absent field (0 bits) reads
 * as 255, one bit as 0 or 255. */
static inline word32 VGAL_widen(word32 v, int bits)
{
    switch (bits) {
    case 0: return 255;
    case 1: return v ? 255u : 0u;
    case 4: return v * 17;
    case 5: return v << 3 | v >> 2;
    case 6: return v << 2 | v >> 4;
    default: return v;
    }
}

/* Pixel x of a row of 1-bit pixels (least significant bit first), and its update. */
static inline int VGAL_bit_of(const unsigned char *row, int x)
{
    return row[x / 8] >> (x % 8) & 1;
}

static inline void VGAL_set_bit(unsigned char *row, int x, int on)
{
    const unsigned char mask = (unsigned char)(1u << (x % 8));
    row[x / 8] = (unsigned char)(on ? row[x / 8] | mask : row[x / 8] & ~mask);
}

/* Pixel x of a row of 4-bit pixels (even x in the low nibble), and its update. */
static inline word32 VGAL_nibble_of(const unsigned char *row, int x)
{
    return (x & 1) ? row[x / 2] >> 4 : row[x / 2] & 0xFu;
}

static inline void VGAL_set_nibble(unsigned char *row, int x, word32 n)
{
    row[x / 2] = (unsigned char)((x & 1) ? (row[x / 2] & 0x0Fu) | n << 4 : (row[x / 2] & 0xF0u) | n);
}

/* A little-endian 16-bit (bytes 2) or 32-bit (bytes 4) unit at p, and its store. */
static inline word32 VGAL_load(const unsigned char *p, int bytes)
{
    word32 v = p[0] | (word32)p[1] << 8;
    if (bytes == 4)
        v |= (word32)p[2] << 16 | (word32)p[3] << 24;
    return v;
}

static inline void VGAL_store(unsigned char *p, int bytes, word32 v)
{
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
    if (bytes == 4) {
        p[2] = (unsigned char)(v >> 16);
        p[3] = (unsigned char)(v >> 24);
    }
}

/* One colour channel times alpha, rounded by VGALVAL_LXDIVOFFSET. */
static inline word32 VGAL_premultiply(word32 c, word32 a)
{
    return (c * a + (word32)VGALVAL_LXDIVOFFSET) / 255;
}

/* One colour channel divided by a non-zero alpha, limited to alpha first. */
static inline word32 VGAL_unpremultiply(word32 c, word32 a)
{
    return (c < a ? c : a) * 255 / a;
}

/* Luminance of linear red, green and blue, 8 bits. */
static inline word32 VGAL_luminance(word32 r, word32 g, word32 b)
{
    return (435 * r + 1464 * g + 147 * b + 1023) >> 11;
}

/* 1 for a code with a reader and a writer. */
int VGALFUNC_cp_known(int code);
/* w pixels from pixel x of source row y into line-buffer entries 0 .. w - 1. */
void VGALFUNC_cp_read(int code, int x, int y, int w);
/* Line-buffer entries 0 .. w - 1 to pixels x .. x + w - 1 of destination row y. */
void VGALFUNC_cp_write(int code, int x, int y, int w);
/* 1 for the premultiplied layouts, whose colour channels must not exceed alpha. */
int VGALFUNC_cp_has_clamp(int code);
/* Rewrites w destination pixels of row y from x so that no colour channel exceeds alpha. */
void VGALFUNC_cp_clamp(int code, int x, int y, int w);

/* Premultiplication steps on line-buffer entries 0 .. w - 1, rounding by VGALVAL_LXDIVOFFSET;
 * prefunc_5551 multiplies by 0 where alpha is at most 127, as a one-bit alpha will store it. */
void prefunc(int w);
void prefunc_5551(int w);
void unprefunc(int w);

/* Colour-space steps, indexed by source space x 4 + destination space, a space being
 * linear + luminance (0 sRGB, 1 linear RGB, 2 sRGB luminance, 3 linear luminance); null where
 * no step is needed. */
typedef void (*VGALbufferstep)(int w);
extern const VGALbufferstep convtable[16];
void sRGB2lRGB(int w);
void sRGB2sL(int w);
void sRGB2lL(int w);
void lRGB2sRGB(int w);
void lRGB2sL(int w);
void lRGB2lL(int w);
void sL2lRGB(int w);
void sL2lL(int w);
void lL2sRGB(int w);
void lL2sL(int w);

/* 8-bit linear to sRGB, and sRGB to linear. */
extern const unsigned char VGALVAL_tvg_gamma_table[256];
extern const unsigned char VGALVAL_tvg_inv_gamma_table[256];

/* Describes an image format for the software path: 1, or 0 ("no format": format
 * VGAL_SWFORMAT_NONE, the rest 0) for a value outside the tables. */
int VGALFUNC_TVGgetImageFormat(VGImageFormat iformat, int *format, int *linear, int *premult, int *luminance,
                               int *bpp);

#ifdef __cplusplus
}
#endif

#endif
