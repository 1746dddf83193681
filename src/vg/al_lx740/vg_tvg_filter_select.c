/* The filter pipeline's state and its per-call set-up: the channel mask and colour formats,
 * the choice of the six stages and the write mask, the positions in both images, and the
 * per-pixel read and write through the chosen stages. */
#include "vg/al_lx740/vg_tvg_filter_pipeline.h"

#include "cgl_assert.h"

#define CHANNEL_ALPHA 1
#define ALL_CHANNELS 15
#define ALL_BITS 0xFFFFFFFFu

#define BW_1 12
#define ORDER(format) (((word32)(format) >> 6) & 3u)
#define BASE(format) ((word32)(format) & 15u)

filter_image_info filter_src, filter_dst;
filter_color_type filter_tmp_color;
int filter_channel_mask;
int filter_format_linear, filter_format_pre;
int filter_output_linear, filter_output_pre;
word32 filter_input_data, filter_output_data, filter_write_mask;
filter_get_fn filter_get_func;
filter_unpack_fn filter_unpack_func;
filter_convert_fn filter_src_convert_func, filter_dst_convert_func;
filter_pack_fn filter_pack_func;
filter_set_fn filter_set_func;

void filter_error_func(void)
{
    CGL_ASSERT(0, "image format combination defined for the filters");
}

void tvg_filter_set_channel_mask(int mask)
{
    filter_channel_mask = mask & ALL_CHANNELS;
}

void tvg_filter_set_format_linear(int mode)
{
    filter_format_linear = mode != 0;
}

void tvg_filter_set_format_premultiplied(int mode)
{
    filter_format_pre = mode != 0;
}

void tvg_filter_set_output_linear(int mode)
{
    filter_output_linear = mode != 0;
}

void tvg_filter_set_output_premultiplied(int mode)
{
    filter_output_pre = mode != 0;
}

static int is_alpha_only(word32 n)
{
    return n == 11 || n == 13 || n == 14;
}

/* The colour-space part of a convert-table index: 2 to linear, 4 to sRGB, 0 for none. */
static int space_step(int from_linear, int to_linear)
{
    if (from_linear == to_linear)
        return 0;
    return to_linear ? 2 : 4;
}

static filter_convert_fn source_converter(void)
{
    const word32 n = BASE(filter_src.format);
    if (filter_src.luminance) {
        if (n == BW_1 || filter_src.color_space == filter_format_linear)
            return filter_convert_none;
        return filter_src.color_space ? filter_convert_to_srgb : filter_convert_to_linear;
    }
    if (is_alpha_only(n))
        return filter_format_pre ? filter_convert_premultiply : filter_convert_none;
    return filter_convert_table[(filter_src.alpha_format ? 1 : 0) + space_step(filter_src.color_space, filter_format_linear) +
                                (filter_format_pre ? 8 : 0)];
}

int tvg_filter_select_convert(int mode)
{
    const word32 sn = BASE(filter_src.format), dn = BASE(filter_dst.format);
    const word32 dorder = ORDER(filter_dst.format);

    filter_src_convert_func = source_converter();
    if (mode == 1) {
        filter_format_linear = filter_output_linear;
        filter_format_pre = filter_output_pre;
    }

    if (filter_dst.luminance && dn != BW_1) {
        filter_dst_convert_func = filter_convert_luminance_table[(filter_format_linear ? 4 : 0) +
                                                                 (filter_format_pre ? 2 : 0) +
                                                                 (filter_dst.color_space ? 1 : 0)];
    } else if (dn == BW_1) {
        filter_dst_convert_func = filter_convert_bw_table[(filter_format_linear ? 2 : 0) + (filter_format_pre ? 1 : 0)];
    } else if (is_alpha_only(dn)) {
        filter_dst_convert_func = filter_convert_none;
        if (!(filter_channel_mask & CHANNEL_ALPHA))
            return 1;
    } else {
        if (filter_channel_mask == 0)
            return 1;
        filter_dst_convert_func =
            filter_convert_table[(filter_format_pre ? 1 : 0) + space_step(filter_format_linear, filter_dst.color_space) +
                                 (filter_channel_mask == ALL_CHANNELS && filter_dst.alpha_format ? 8 : 0)];
    }

    filter_get_func = filter_get_func_table[sn];
    filter_unpack_func = filter_unpack_table[ORDER(filter_src.format)][sn];

    filter_write_mask = ALL_BITS;
    if (filter_channel_mask == ALL_CHANNELS) {
        filter_set_func = filter_set_func_table[dn];
        filter_pack_func = filter_pack_table[dorder][dn];
        return 0;
    }
    filter_set_func = filter_set_masked_func_table[dn];
    if (filter_dst.alpha_format) {
        filter_pack_func = filter_pack_RGBA8888;
        filter_write_mask = filter_mask_RGBA8888(filter_channel_mask);
    } else {
        filter_pack_func = filter_pack_table[dorder][dn];
        if (filter_mask_table[dorder][dn])
            filter_write_mask = filter_mask_table[dorder][dn](filter_channel_mask);
    }
    return 0;
}

void tvg_filter_set_initial_position(void)
{
    filter_src.base = filter_src.addr;
    filter_src.idx = filter_src.idxbase;
    filter_dst.base = filter_dst.addr;
    filter_dst.idx = filter_dst.idxbase;
}

void tvg_filter_line_feed(void)
{
    filter_src.base += filter_src.stride;
    filter_src.idx = filter_src.idxbase;
    filter_dst.base += filter_dst.stride;
    filter_dst.idx = filter_dst.idxbase;
}

void tvg_filter_get_src(filter_color_type *c)
{
    filter_input_data = filter_get_func(&filter_src);
    filter_unpack_func(filter_input_data, &filter_tmp_color);
    filter_src_convert_func(&filter_tmp_color);
    *c = filter_tmp_color;
}

static void put_tmp_color(void)
{
    filter_dst_convert_func(&filter_tmp_color);
    filter_output_data = filter_pack_func(&filter_tmp_color);
    filter_set_func(&filter_dst, filter_output_data);
}

void tvg_filter_set_dst(const filter_color_type *c)
{
    filter_tmp_color = *c;
    put_tmp_color();
}

void tvg_filter_set_dst_rgba8888(word32 dat)
{
    filter_color_type *c = &filter_tmp_color;
    c->ir = (int32_t)(dat >> 24);
    c->ig = (int32_t)(dat >> 16 & 0xFFu);
    c->ib = (int32_t)(dat >> 8 & 0xFFu);
    c->ia = (int32_t)(dat & 0xFFu);
    if (filter_format_pre) {
        if (c->ir > c->ia)
            c->ir = c->ia;
        if (c->ig > c->ia)
            c->ig = c->ia;
        if (c->ib > c->ia)
            c->ib = c->ia;
    }
    put_tmp_color();
}
