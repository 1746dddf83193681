/* Unpackers, packers and mask functions of the filter pipeline, one of each a pixel layout,
 * and their tables by channel order. Unpacking widens each field to 8 bits by bit replication;
 * packing keeps the top bits of each 8-bit value. */
#include "vg/al_lx740/vg_tvg_filter_pipeline.h"

#include "vg/al_lx740/vg_al_lx740_swpixel.h"

#define R_BIT 8
#define G_BIT 4
#define B_BIT 2
#define A_BIT 1

/* The field of `bits` bits at `shift` of a raw pixel, widened; an absent field (0 bits) is 255. */
#define FIELD(raw, shift, bits) \
    ((bits) ? (int32_t)VGAL_widen((raw) >> (shift) & ((1u << (bits)) - 1), (bits)) : 255)
/* An 8-bit value narrowed into the field; nothing for an absent one. */
#define NARROW(v, shift, bits) ((bits) ? ((word32)(v) >> (8 - (bits))) << (shift) : 0u)
#define BITS(shift, bits) ((bits) ? ((1u << (bits)) - 1) << (shift) : 0u)

/* A packed layout: shift and width of its R, G, B and A fields (width 0: no such field). */
#define PACKED_LAYOUT(name, rs, rb, gs, gb, bs, bb, as, ab)                                            \
    void filter_unpack_##name(word32 raw, filter_color_type *c)                                       \
    {                                                                                                  \
        c->ir = FIELD(raw, rs, rb);                                                                    \
        c->ig = FIELD(raw, gs, gb);                                                                    \
        c->ib = FIELD(raw, bs, bb);                                                                    \
        c->ia = FIELD(raw, as, ab);                                                                    \
    }                                                                                                  \
    word32 filter_pack_##name(const filter_color_type *c)                                             \
    {                                                                                                  \
        return NARROW(c->ir, rs, rb) | NARROW(c->ig, gs, gb) | NARROW(c->ib, bs, bb) | NARROW(c->ia, as, ab); \
    }                                                                                                  \
    word32 filter_mask_##name(int m)                                                                   \
    {                                                                                                  \
        return ((m & R_BIT) ? BITS(rs, rb) : 0u) | ((m & G_BIT) ? BITS(gs, gb) : 0u) |                 \
               ((m & B_BIT) ? BITS(bs, bb) : 0u) | ((m & A_BIT) ? BITS(as, ab) : 0u);                  \
    }

/* Declared for the layouts not named in the header, so every definition has a prototype. */
#define DECLARE_LAYOUT(name)                                    \
    void filter_unpack_##name(word32 raw, filter_color_type *c); \
    word32 filter_pack_##name(const filter_color_type *c);      \
    word32 filter_mask_##name(int m);

DECLARE_LAYOUT(RGBX8888)
DECLARE_LAYOUT(ARGB8888)
DECLARE_LAYOUT(XRGB8888)
DECLARE_LAYOUT(BGRA8888)
DECLARE_LAYOUT(BGRX8888)
DECLARE_LAYOUT(ABGR8888)
DECLARE_LAYOUT(XBGR8888)
DECLARE_LAYOUT(RGB565)
DECLARE_LAYOUT(BGR565)
DECLARE_LAYOUT(RGBA5551)
DECLARE_LAYOUT(ARGB1555)
DECLARE_LAYOUT(BGRA5551)
DECLARE_LAYOUT(ABGR1555)
DECLARE_LAYOUT(RGBA4444)
DECLARE_LAYOUT(ARGB4444)
DECLARE_LAYOUT(BGRA4444)
DECLARE_LAYOUT(ABGR4444)

/*            name      R shift, bits  G        B        A */
PACKED_LAYOUT(RGBA8888, 24, 8, 16, 8, 8, 8, 0, 8)
PACKED_LAYOUT(RGBX8888, 24, 8, 16, 8, 8, 8, 0, 0)
PACKED_LAYOUT(ARGB8888, 16, 8, 8, 8, 0, 8, 24, 8)
PACKED_LAYOUT(XRGB8888, 16, 8, 8, 8, 0, 8, 0, 0)
PACKED_LAYOUT(BGRA8888, 8, 8, 16, 8, 24, 8, 0, 8)
PACKED_LAYOUT(BGRX8888, 8, 8, 16, 8, 24, 8, 0, 0)
PACKED_LAYOUT(ABGR8888, 0, 8, 8, 8, 16, 8, 24, 8)
PACKED_LAYOUT(XBGR8888, 0, 8, 8, 8, 16, 8, 0, 0)
PACKED_LAYOUT(RGB565, 11, 5, 5, 6, 0, 5, 0, 0)
PACKED_LAYOUT(BGR565, 0, 5, 5, 6, 11, 5, 0, 0)
PACKED_LAYOUT(RGBA5551, 11, 5, 6, 5, 1, 5, 0, 1)
PACKED_LAYOUT(ARGB1555, 10, 5, 5, 5, 0, 5, 15, 1)
PACKED_LAYOUT(BGRA5551, 1, 5, 6, 5, 11, 5, 0, 1)
PACKED_LAYOUT(ABGR1555, 0, 5, 5, 5, 10, 5, 15, 1)
PACKED_LAYOUT(RGBA4444, 12, 4, 8, 4, 4, 4, 0, 4)
PACKED_LAYOUT(ARGB4444, 8, 4, 4, 4, 0, 4, 12, 4)
PACKED_LAYOUT(BGRA4444, 4, 4, 8, 4, 12, 4, 0, 4)
PACKED_LAYOUT(ABGR4444, 0, 4, 4, 4, 8, 4, 12, 4)

/* The single-channel layouts: the reader hands over the stored value (a byte, a nibble or a
 * bit). */
static void filter_unpack_L8(word32 raw, filter_color_type *c)
{
    c->ir = c->ig = c->ib = (int32_t)(raw & 0xFFu);
    c->ia = 255;
}

static word32 filter_pack_L8(const filter_color_type *c)
{
    return (word32)c->ir;
}

static void filter_unpack_A8(word32 raw, filter_color_type *c)
{
    c->ir = c->ig = c->ib = 255;
    c->ia = (int32_t)(raw & 0xFFu);
}

static word32 filter_pack_A8(const filter_color_type *c)
{
    return (word32)c->ia;
}

static void filter_unpack_A4(word32 raw, filter_color_type *c)
{
    c->ir = c->ig = c->ib = 255;
    c->ia = (int32_t)VGAL_widen(raw & 0xFu, 4);
}

static word32 filter_pack_A4(const filter_color_type *c)
{
    return (word32)c->ia >> 4;
}

static void filter_unpack_A1(word32 raw, filter_color_type *c)
{
    c->ir = c->ig = c->ib = 255;
    c->ia = (int32_t)VGAL_widen(raw & 1u, 1);
}

static word32 filter_pack_A1(const filter_color_type *c)
{
    return (word32)c->ia >> 7;
}

static void filter_unpack_BW1(word32 raw, filter_color_type *c)
{
    c->ir = c->ig = c->ib = (int32_t)VGAL_widen(raw & 1u, 1);
    c->ia = 255;
}

static word32 filter_pack_BW1(const filter_color_type *c)
{
    return (word32)c->ir >> 7;
}

static void unpack_undefined(word32 raw, filter_color_type *c)
{
    (void)raw, (void)c;
    filter_error_func();
}

static word32 pack_undefined(const filter_color_type *c)
{
    (void)c;
    filter_error_func();
    return 0;
}

#define UN unpack_undefined
#define PN pack_undefined

/* Columns: n = 0 (RGBX) 1, 2 (RGBA, premultiplied) 3 (565) 4 (5551) 5 (4444) 6 (sL) 7 (lRGBX)
 * 8, 9 (lRGBA) 10 (lL) 11 (A8) 12 (BW1) 13 (A1) 14 (A4). */
const filter_unpack_fn filter_unpack_table[FILTER_ORDERS][FILTER_BASE_FORMATS] = {
    {filter_unpack_RGBX8888, filter_unpack_RGBA8888, filter_unpack_RGBA8888, filter_unpack_RGB565,
     filter_unpack_RGBA5551, filter_unpack_RGBA4444, filter_unpack_L8, filter_unpack_RGBX8888, filter_unpack_RGBA8888,
     filter_unpack_RGBA8888, filter_unpack_L8, filter_unpack_A8, filter_unpack_BW1, filter_unpack_A1, filter_unpack_A4},
    {filter_unpack_XRGB8888, filter_unpack_ARGB8888, filter_unpack_ARGB8888, UN, filter_unpack_ARGB1555,
     filter_unpack_ARGB4444, UN, filter_unpack_XRGB8888, filter_unpack_ARGB8888, filter_unpack_ARGB8888, UN, UN, UN, UN,
     UN},
    {filter_unpack_BGRX8888, filter_unpack_BGRA8888, filter_unpack_BGRA8888, filter_unpack_BGR565,
     filter_unpack_BGRA5551, filter_unpack_BGRA4444, UN, filter_unpack_BGRX8888, filter_unpack_BGRA8888,
     filter_unpack_BGRA8888, UN, UN, UN, UN, UN},
    {filter_unpack_XBGR8888, filter_unpack_ABGR8888, filter_unpack_ABGR8888, UN, filter_unpack_ABGR1555,
     filter_unpack_ABGR4444, UN, filter_unpack_XBGR8888, filter_unpack_ABGR8888, filter_unpack_ABGR8888, UN, UN, UN, UN,
     UN},
};

const filter_pack_fn filter_pack_table[FILTER_ORDERS][FILTER_BASE_FORMATS] = {
    {filter_pack_RGBX8888, filter_pack_RGBA8888, filter_pack_RGBA8888, filter_pack_RGB565, filter_pack_RGBA5551,
     filter_pack_RGBA4444, filter_pack_L8, filter_pack_RGBX8888, filter_pack_RGBA8888, filter_pack_RGBA8888,
     filter_pack_L8, filter_pack_A8, filter_pack_BW1, filter_pack_A1, filter_pack_A4},
    {filter_pack_XRGB8888, filter_pack_ARGB8888, filter_pack_ARGB8888, PN, filter_pack_ARGB1555, filter_pack_ARGB4444,
     PN, filter_pack_XRGB8888, filter_pack_ARGB8888, filter_pack_ARGB8888, PN, PN, PN, PN, PN},
    {filter_pack_BGRX8888, filter_pack_BGRA8888, filter_pack_BGRA8888, filter_pack_BGR565, filter_pack_BGRA5551,
     filter_pack_BGRA4444, PN, filter_pack_BGRX8888, filter_pack_BGRA8888, filter_pack_BGRA8888, PN, PN, PN, PN, PN},
    {filter_pack_XBGR8888, filter_pack_ABGR8888, filter_pack_ABGR8888, PN, filter_pack_ABGR1555, filter_pack_ABGR4444,
     PN, filter_pack_XBGR8888, filter_pack_ABGR8888, filter_pack_ABGR8888, PN, PN, PN, PN, PN},
};

const filter_mask_fn filter_mask_table[FILTER_ORDERS][FILTER_BASE_FORMATS] = {
    {filter_mask_RGBX8888, filter_mask_RGBA8888, filter_mask_RGBA8888, filter_mask_RGB565, filter_mask_RGBA5551,
     filter_mask_RGBA4444, NULL, filter_mask_RGBX8888, filter_mask_RGBA8888, filter_mask_RGBA8888, NULL, NULL, NULL,
     NULL, NULL},
    {filter_mask_XRGB8888, filter_mask_ARGB8888, filter_mask_ARGB8888, NULL, filter_mask_ARGB1555, filter_mask_ARGB4444,
     NULL, filter_mask_XRGB8888, filter_mask_ARGB8888, filter_mask_ARGB8888, NULL, NULL, NULL, NULL, NULL},
    {filter_mask_BGRX8888, filter_mask_BGRA8888, filter_mask_BGRA8888, filter_mask_BGR565, filter_mask_BGRA5551,
     filter_mask_BGRA4444, NULL, filter_mask_BGRX8888, filter_mask_BGRA8888, filter_mask_BGRA8888, NULL, NULL, NULL,
     NULL, NULL},
    {filter_mask_XBGR8888, filter_mask_ABGR8888, filter_mask_ABGR8888, NULL, filter_mask_ABGR1555, filter_mask_ABGR4444,
     NULL, filter_mask_XBGR8888, filter_mask_ABGR8888, filter_mask_ABGR8888, NULL, NULL, NULL, NULL, NULL},
};
