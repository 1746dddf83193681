/* Readers and writers of the filter pipeline by base format: one raw pixel at the image's
 * current position (32- and 16-bit units, bytes, nibbles, bits), then one pixel on. The masked
 * writers keep the bits outside filter_write_mask; a premultiplied 8888 destination is merged
 * un-premultiplied and premultiplied again. */
#include "vg/al_lx740/vg_tvg_filter_pipeline.h"

#include "vg/al_lx740/vg_al_lx740_swpixel.h"

#define ORDER(format) (((word32)(format) >> 6) & 3u)
#define BASE(format) ((word32)(format) & 15u)

static unsigned char *unit_at(const filter_image_info *inf, int bytes)
{
    return inf->base + (size_t)inf->idx * (size_t)bytes;
}

static word32 get32(filter_image_info *inf)
{
    const word32 v = VGAL_load(unit_at(inf, 4), 4);
    ++inf->idx;
    return v;
}

static word32 get16(filter_image_info *inf)
{
    const word32 v = VGAL_load(unit_at(inf, 2), 2);
    ++inf->idx;
    return v;
}

static word32 get8(filter_image_info *inf)
{
    const word32 v = *unit_at(inf, 1);
    ++inf->idx;
    return v;
}

static word32 get1(filter_image_info *inf)
{
    const word32 v = (word32)VGAL_bit_of(inf->base, inf->idx);
    ++inf->idx;
    return v;
}

static word32 get4(filter_image_info *inf)
{
    const word32 v = VGAL_nibble_of(inf->base, inf->idx);
    ++inf->idx;
    return v;
}

static void set32(filter_image_info *inf, word32 data)
{
    VGAL_store(unit_at(inf, 4), 4, data);
    ++inf->idx;
}

static void set16(filter_image_info *inf, word32 data)
{
    VGAL_store(unit_at(inf, 2), 2, data);
    ++inf->idx;
}

static void set8(filter_image_info *inf, word32 data)
{
    *unit_at(inf, 1) = (unsigned char)data;
    ++inf->idx;
}

static void set1(filter_image_info *inf, word32 data)
{
    VGAL_set_bit(inf->base, inf->idx, data != 0);
    ++inf->idx;
}

static void set4(filter_image_info *inf, word32 data)
{
    VGAL_set_nibble(inf->base, inf->idx, data & 0xFu);
    ++inf->idx;
}

static word32 merged(word32 old, word32 data)
{
    return (old & ~filter_write_mask) | (data & filter_write_mask);
}

static void set32_masked(filter_image_info *inf, word32 data)
{
    unsigned char *p = unit_at(inf, 4);
    VGAL_store(p, 4, merged(VGAL_load(p, 4), data));
    ++inf->idx;
}

static void set16_masked(filter_image_info *inf, word32 data)
{
    unsigned char *p = unit_at(inf, 2);
    VGAL_store(p, 2, merged(VGAL_load(p, 2), data) & 0xFFFFu);
    ++inf->idx;
}

/* A premultiplied 8888 pixel in any channel order: the stored pixel is brought into RGBA8888
 * order and un-premultiplied, the channels under the write mask are replaced by `data` (a
 * non-premultiplied RGBA8888 word), and the result is premultiplied by its own alpha and stored
 * in the destination's order. */
static void set32_masked_premultiplied(filter_image_info *inf, word32 data)
{
    const word32 order = ORDER(inf->format), n = BASE(inf->format);
    unsigned char *p = unit_at(inf, 4);
    filter_color_type c;
    filter_unpack_table[order][n](VGAL_load(p, 4), &c);
    filter_convert_unpremultiply(&c);
    filter_unpack_RGBA8888(merged(filter_pack_RGBA8888(&c), data), &c);
    filter_convert_premultiply(&c);
    VGAL_store(p, 4, filter_pack_table[order][n](&c));
    ++inf->idx;
}

/* Columns: n = 0, 1, 2 (sRGB 8888) 3 (565) 4 (5551) 5 (4444) 6 (sL) 7, 8, 9 (linear 8888)
 * 10 (lL) 11 (A8) 12 (BW1) 13 (A1) 14 (A4). */
const filter_get_fn filter_get_func_table[FILTER_BASE_FORMATS] = {
    get32, get32, get32, get16, get16, get16, get8, get32, get32, get32, get8, get8, get1, get1, get4,
};

const filter_set_fn filter_set_func_table[FILTER_BASE_FORMATS] = {
    set32, set32, set32, set16, set16, set16, set8, set32, set32, set32, set8, set8, set1, set1, set4,
};

const filter_set_fn filter_set_masked_func_table[FILTER_BASE_FORMATS] = {
    set32_masked, set32_masked, set32_masked_premultiplied, set16_masked, set16_masked, set16_masked, set8,
    set32_masked, set32_masked, set32_masked_premultiplied, set8, set8, set1, set1, set4,
};
