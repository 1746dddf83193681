/* Row readers, writers and clamps of the software pixel formats. */
#include "vg/al_lx740/vg_al_lx740_swpixel.h"

#include <string.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

word32 *VGALVAL_linebuffer;

enum kind { PACKED, LUMINANCE8, ALPHA8, BW1, ALPHA1, ALPHA4 };
enum { R, G, B, A };
/* Block copies of whole rows: the buffer entry is already the stored word. */
#define READ_BLOCK 1u
#define WRITE_BLOCK 2u

typedef struct swformat {
    unsigned char kind, bytes, block, keeps_x, clamps;
    unsigned char shift[4], bits[4]; /* R, G, B, A fields of a packed word; alpha 0 bits: none */
} swformat;

static const swformat formats[VGAL_SWFORMAT_COUNT] = {
    /* 0 RGBX8888 */ {PACKED, 4, WRITE_BLOCK, 0, 0, {24, 16, 8, 0}, {8, 8, 8, 0}},
    /* 1 RGBA8888 */ {PACKED, 4, READ_BLOCK | WRITE_BLOCK, 0, 1, {24, 16, 8, 0}, {8, 8, 8, 8}},
    /* 2 RGBA5551 */ {PACKED, 2, 0, 0, 1, {11, 6, 1, 0}, {5, 5, 5, 1}},
    /* 3 RGBA4444 */ {PACKED, 2, 0, 0, 1, {12, 8, 4, 0}, {4, 4, 4, 4}},
    /* 4 RGB565 */ {PACKED, 2, 0, 0, 0, {11, 5, 0, 0}, {5, 6, 5, 0}},
    /* 5 L8 */ {LUMINANCE8, 1, 0, 0, 0, {0}, {0}},
    /* 6 A8 */ {ALPHA8, 1, 0, 0, 0, {0}, {0}},
    /* 7 BW1 */ {BW1, 0, 0, 0, 0, {0}, {0}},
    /* 8 A1 */ {ALPHA1, 0, 0, 0, 0, {0}, {0}},
    /* 9 A4 */ {ALPHA4, 0, 0, 0, 0, {0}, {0}},
    /* 10 XRGB8888 */ {PACKED, 4, 0, 1, 0, {16, 8, 0, 0}, {8, 8, 8, 0}},
    /* 11 ARGB8888 */ {PACKED, 4, 0, 0, 1, {16, 8, 0, 24}, {8, 8, 8, 8}},
    /* 12 ARGB1555 */ {PACKED, 2, 0, 0, 1, {10, 5, 0, 15}, {5, 5, 5, 1}},
    /* 13 ARGB4444 */ {PACKED, 2, 0, 0, 1, {8, 4, 0, 12}, {4, 4, 4, 4}},
    /* 14 BGRX8888 */ {PACKED, 4, 0, 1, 0, {8, 16, 24, 0}, {8, 8, 8, 0}},
    /* 15 BGRA8888 */ {PACKED, 4, 0, 0, 1, {8, 16, 24, 0}, {8, 8, 8, 8}},
    /* 16 BGRA5551 */ {PACKED, 2, 0, 0, 1, {1, 6, 11, 0}, {5, 5, 5, 1}},
    /* 17 BGRA4444 */ {PACKED, 2, 0, 0, 1, {4, 8, 12, 0}, {4, 4, 4, 4}},
    /* 18 BGR565 */ {PACKED, 2, 0, 0, 0, {0, 5, 11, 0}, {5, 6, 5, 0}},
    /* 19 XBGR8888 */ {PACKED, 4, 0, 1, 0, {0, 8, 16, 0}, {8, 8, 8, 0}},
    /* 20 ABGR8888 */ {PACKED, 4, 0, 0, 1, {0, 8, 16, 24}, {8, 8, 8, 8}},
    /* 21 ABGR1555 */ {PACKED, 2, 0, 0, 1, {0, 5, 10, 15}, {5, 5, 5, 1}},
    /* 22 ABGR4444 */ {PACKED, 2, 0, 0, 1, {0, 4, 8, 12}, {4, 4, 4, 4}},
};

static word32 round_to_nibble(word32 c)
{
    return (word32)((double)c / 255.0 * 15.0 + 0.5);
}

/* An 8-bit value narrowed to a field: top bits kept, 4-bit fields rounded, one bit from 128. */
static word32 narrow(word32 c, int bits)
{
    switch (bits) {
    case 1: return c >= 128 ? 1u : 0u;
    case 4: return round_to_nibble(c);
    default: return c >> (8 - bits);
    }
}

static unsigned char *row_address(uintptr_t addr, int stride, int y)
{
    return (unsigned char *)(addr + (uintptr_t)((intptr_t)y * stride));
}

static word32 read_packed(const swformat *f, word32 word)
{
    word32 c[4];
    int k;
    for (k = R; k <= A; ++k)
        c[k] = f->bits[k] ? VGAL_widen(word >> f->shift[k] & ((1u << f->bits[k]) - 1), f->bits[k]) : 255u;
    return VGAL_line_entry(c[R], c[G], c[B], c[A]);
}

static word32 write_packed(const swformat *f, word32 e, word32 old)
{
    word32 word = 0, used = 0;
    int k;
    for (k = R; k <= A; ++k) {
        if (!f->bits[k])
            continue;
        word |= narrow(VGAL_line_channel(e, k), f->bits[k]) << f->shift[k];
        used |= ((1u << f->bits[k]) - 1) << f->shift[k];
    }
    return f->keeps_x ? word | (old & ~used) : word;
}

static word32 a4_value(word32 a)
{
    if (VGALVAL_cp_write_a4_high_precision)
        return (word32)((float)a / 255.0f * 15.0f + 0.5f);
    return a >> 4;
}

static word32 read_pixel(const swformat *f, const unsigned char *row, int x)
{
    word32 v;
    switch (f->kind) {
    case LUMINANCE8: v = row[x]; return VGAL_line_entry(v, v, v, 255);
    case ALPHA8: return VGAL_line_entry(255, 255, 255, row[x]);
    case BW1: v = VGAL_bit_of(row, x) ? 255u : 0u; return VGAL_line_entry(v, v, v, 255);
    case ALPHA1: return VGAL_line_entry(255, 255, 255, VGAL_bit_of(row, x) ? 255u : 0u);
    case ALPHA4: return VGAL_line_entry(255, 255, 255, VGAL_nibble_of(row, x) * 17);
    default: return read_packed(f, VGAL_load(row + x * f->bytes, f->bytes));
    }
}

static void write_pixel(const swformat *f, unsigned char *row, int x, word32 e)
{
    switch (f->kind) {
    case LUMINANCE8: row[x] = (unsigned char)VGAL_line_channel(e, R); break;
    case ALPHA8: row[x] = (unsigned char)VGAL_line_channel(e, A); break;
    case BW1: VGAL_set_bit(row, x, VGAL_line_channel(e, R) >= 128); break;
    case ALPHA1: VGAL_set_bit(row, x, VGAL_line_channel(e, A) >= 128); break;
    case ALPHA4: VGAL_set_nibble(row, x, a4_value(VGAL_line_channel(e, A))); break;
    default: {
        unsigned char *p = row + x * f->bytes;
        VGAL_store(p, f->bytes, write_packed(f, e, f->keeps_x ? VGAL_load(p, f->bytes) : 0));
    }
    }
}

static void read_row(const swformat *f, const unsigned char *row, int x, int w, word32 *out)
{
    int i;
    if (f->block & READ_BLOCK) {
        memcpy(out, row + (size_t)x * 4, (size_t)w * 4);
        return;
    }
    for (i = w - 1; i >= 0; --i)
        out[i] = read_pixel(f, row, x + i);
}

static void write_row(const swformat *f, unsigned char *row, int x, int w, const word32 *in)
{
    int i;
    if (f->block & WRITE_BLOCK) {
        memcpy(row + (size_t)x * 4, in, (size_t)w * 4);
        return;
    }
    for (i = w - 1; i >= 0; --i)
        write_pixel(f, row, x + i, in[i]);
}

int VGALFUNC_cp_known(int code)
{
    return code >= 0 && code < VGAL_SWFORMAT_COUNT;
}

void VGALFUNC_cp_read(int code, int x, int y, int w)
{
    read_row(&formats[code], row_address(VGALVAL_src_addr, VGALVAL_src_stride, y), x, w, VGALVAL_linebuffer);
}

void VGALFUNC_cp_write(int code, int x, int y, int w)
{
    write_row(&formats[code], row_address(VGALVAL_dst_addr, VGALVAL_dst_stride, y), x, w, VGALVAL_linebuffer);
}

int VGALFUNC_cp_has_clamp(int code)
{
    return VGALFUNC_cp_known(code) && formats[code].clamps;
}

void VGALFUNC_cp_clamp(int code, int x, int y, int w)
{
    enum { CHUNK = 64 };
    const swformat *f = &formats[code];
    unsigned char *row = row_address(VGALVAL_dst_addr, VGALVAL_dst_stride, y);
    word32 px[CHUNK];
    while (w > 0) {
        const int n = w < CHUNK ? w : CHUNK;
        int i;
        w -= n;
        read_row(f, row, x + w, n, px);
        for (i = n - 1; i >= 0; --i) {
            const word32 a = VGAL_line_channel(px[i], A);
            word32 c[3];
            int k;
            for (k = R; k <= B; ++k) {
                c[k] = VGAL_line_channel(px[i], k);
                if (c[k] > a)
                    c[k] = a;
            }
            px[i] = VGAL_line_entry(c[R], c[G], c[B], a);
        }
        write_row(f, row, x + w, n, px);
    }
}
