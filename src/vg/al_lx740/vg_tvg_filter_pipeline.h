#ifndef VG_TVG_FILTER_PIPELINE_H
#define VG_TVG_FILTER_PIPELINE_H

/* The pixel pipeline of the software image filters. A source pixel is read out of the CPU copy
 * of its image, unpacked into four 8-bit channels and converted into the filter's colour format
 * (sRGB or linear, premultiplied or not); a result goes the other way: converted into the
 * destination's colour format, packed and written, keeping the channels outside the filter
 * channel mask. Each stage is a function chosen once per call from tables indexed by the image
 * formats (n = format AND 15, channel order = format >> 6 AND 3), so the per-pixel path holds no
 * format tests. All state is file scope: one filter at a time. */

#include <stdint.h>

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

#define FILTER_BASE_FORMATS 15
#define FILTER_ORDERS 4
#define FILTER_CONVERT_ENTRIES 16

/* One image as the pipeline walks it. */
typedef struct filter_image_info {
    unsigned char *addr; /* first byte of the active rectangle's top row in the CPU copy */
    int width, height;   /* the active rectangle's size */
    int stride;          /* bytes a row */
    int format;          /* VGImageFormat */
    unsigned char *base; /* start of the current row */
    int idx;             /* pixel index of the current pixel within the row */
    int idxbase;         /* pixel index of the active rectangle's left column */
    int alpha_format;    /* 1 premultiplied */
    int color_space;     /* 1 linear */
    int luminance;       /* non-zero for the luminance formats */
    int align;           /* the format's data alignment in bytes */
} filter_image_info;

/* A colour: the floats ride along for the filters that compute in them; the stages work on
 * the integers, channel values 0..255. */
typedef struct filter_color_type {
    float fr, fg, fb, fa;
    int32_t ir, ig, ib, ia;
} filter_color_type;

typedef struct filter_color_type_i {
    int32_t r, g, b, a;
} filter_color_type_i;

typedef struct filter_color_type_f {
    float r, g, b, a;
} filter_color_type_f;

/* Stage functions. A reader returns the raw pixel at the image's current position and moves
 * one pixel on; a writer stores one there (under filter_write_mask where it masks) and moves on. */
typedef word32 (*filter_get_fn)(filter_image_info *inf);
typedef void (*filter_set_fn)(filter_image_info *inf, word32 data);
typedef void (*filter_unpack_fn)(word32 raw, filter_color_type *c);
typedef word32 (*filter_pack_fn)(const filter_color_type *c);
typedef void (*filter_convert_fn)(filter_color_type *c);
/* The bits of a raw pixel that hold the channels of a channel mask (R 8, G 4, B 2, A 1). */
typedef word32 (*filter_mask_fn)(int channel_mask);

/* ---- Stage tables ---- */

/* By base format n. */
extern const filter_get_fn filter_get_func_table[FILTER_BASE_FORMATS];
extern const filter_set_fn filter_set_func_table[FILTER_BASE_FORMATS];
extern const filter_set_fn filter_set_masked_func_table[FILTER_BASE_FORMATS];
/* By channel order, then n; the undefined combinations hold the internal-error stages; the
 * mask functions are null where a layout has none (8-, 4- and 1-bit) or none is defined. */
extern const filter_unpack_fn filter_unpack_table[FILTER_ORDERS][FILTER_BASE_FORMATS];
extern const filter_pack_fn filter_pack_table[FILTER_ORDERS][FILTER_BASE_FORMATS];
extern const filter_mask_fn filter_mask_table[FILTER_ORDERS][FILTER_BASE_FORMATS];

/* Colour conversions: index (source or filter premultiplied 1) + (2 to linear, 4 to sRGB) +
 * (8 premultiply), entries 6, 7, 14 and 15 are never produced. */
extern const filter_convert_fn filter_convert_table[FILTER_CONVERT_ENTRIES];
/* Into sL_8 / lL_8: (filter linear 4) + (filter premultiplied 2) + (destination linear 1); the
 * result is in ir. */
extern const filter_convert_fn filter_convert_luminance_table[8];
/* Into BW_1: (filter linear 2) + (filter premultiplied 1); linear luminance in ir. */
extern const filter_convert_fn filter_convert_bw_table[4];
/* The tile fill colour (non-premultiplied sRGB) into the filter format: (linear 2) +
 * (premultiplied 1). */
extern const filter_convert_fn filter_convert_func_out_of_image[4];

/* The single colour steps the tables chain. */
void filter_convert_none(filter_color_type *c);
void filter_convert_unpremultiply(filter_color_type *c);
void filter_convert_premultiply(filter_color_type *c);
void filter_convert_to_linear(filter_color_type *c);
void filter_convert_to_srgb(filter_color_type *c);

/* Layouts named in the tests and by the masked premultiplied writer. */
void filter_unpack_RGBA8888(word32 raw, filter_color_type *c);
word32 filter_pack_RGBA8888(const filter_color_type *c);
word32 filter_mask_RGBA8888(int channel_mask);

/* Ends the program through a failed assertion: a stage table was reached for a format
 * combination that OpenVG does not define. */
void filter_error_func(void);

/* ---- Pipeline state ---- */

extern filter_image_info filter_src, filter_dst;
extern filter_color_type filter_tmp_color;
extern int filter_channel_mask;
extern int filter_format_linear, filter_format_pre;
extern int filter_output_linear, filter_output_pre;
extern word32 filter_input_data, filter_output_data, filter_write_mask;
extern filter_get_fn filter_get_func;
extern filter_unpack_fn filter_unpack_func;
extern filter_convert_fn filter_src_convert_func, filter_dst_convert_func;
extern filter_pack_fn filter_pack_func;
extern filter_set_fn filter_set_func;

void tvg_filter_set_channel_mask(int mask);
void tvg_filter_set_format_linear(int mode);
void tvg_filter_set_format_premultiplied(int mode);
void tvg_filter_set_output_linear(int mode);
void tvg_filter_set_output_premultiplied(int mode);

/* Chooses the six stages and the write mask for filter_src and filter_dst; mode 1 (the
 * lookups) hands the destination side the output format. Returns 1 when the channel mask leaves
 * nothing to write into this destination, else 0. */
int tvg_filter_select_convert(int mode);

/* Both images to the first pixel of their active rectangle, and both to the next row. */
void tvg_filter_set_initial_position(void);
void tvg_filter_line_feed(void);

/* The next source pixel in the filter format. */
void tvg_filter_get_src(filter_color_type *c);
/* A colour in the filter format (the output format after a mode-1 selection) to the next
 * destination pixel. */
void tvg_filter_set_dst(const filter_color_type *c);
/* The same from an RGBA8888 word; colours are limited to alpha in a premultiplied format. */
void tvg_filter_set_dst_rgba8888(word32 dat);

#ifdef __cplusplus
}
#endif

#endif
