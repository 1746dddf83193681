/* The software copy. */
#include "vg/al_lx740/vg_al_lx740_swcopy.h"

#include <stdlib.h>
#include <string.h>

#include "vg/al_lx740/vg_al_lx740_region.h"
#include "vg/al_lx740/vg_al_lx740_swpixel.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

/* The row steps of one copy; absent steps are null. */
typedef struct rowsteps {
    VGALbufferstep unpremultiply, convert, premultiply;
    int clamp_code; /* VGAL_SWFORMAT_NONE: no clamp */
} rowsteps;

/* The clipped copy: source and destination positions inside the usable areas, and the size. */
typedef struct clipped {
    long long sx, sy, dx, dy, w, h;
    int bottom_up;
} clipped;

static int fail_countdown;

void VGALFUNC_TVGfailLineBuffer(int nth)
{
    fail_countdown = nth;
}

static int allocate_line_buffer(long long w)
{
    if (fail_countdown > 0 && --fail_countdown == 0)
        return 0;
    VGALVAL_linebuffer = (word32 *)malloc((size_t)(w << VGALVAL_dst_scale_x) * sizeof(word32));
    return VGALVAL_linebuffer != NULL;
}

static void free_line_buffer(void)
{
    free(VGALVAL_linebuffer);
    VGALVAL_linebuffer = NULL;
}

/* 0 when nothing is left to copy. */
static int clip(int dx, int dy, const OVGrect *r, clipped *c)
{
    VGALregion g;
    if (!VGALFUNC_clip_region(dx, dy, r, &g))
        return 0;
    c->sx = g.sx, c->sy = g.sy, c->dx = g.dx, c->dy = g.dy, c->w = g.w, c->h = g.h;
    return 1;
}

/* Rows run bottom-up when the destination lies lower in the same buffer. */
static int runs_bottom_up(long long source_row, long long destination_row)
{
    return VGALVAL_src_addr == VGALVAL_dst_addr && destination_row > source_row;
}

static rowsteps steps_for(int keep_precision)
{
    rowsteps s;
    const int dst_5551 = VGALVAL_dst_format == 2 || VGALVAL_dst_format == 12 || VGALVAL_dst_format == 16 ||
                         VGALVAL_dst_format == 21;
    s.convert = convtable[(VGALVAL_src_linear + VGALVAL_src_luminance) * 4 + VGALVAL_dst_linear +
                          VGALVAL_dst_luminance];
    s.unpremultiply = s.premultiply = NULL;
    s.clamp_code = VGAL_SWFORMAT_NONE;
    if (keep_precision) {
        if (VGALFUNC_cp_has_clamp(VGALVAL_dst_format))
            s.clamp_code = VGALVAL_dst_format;
        return s;
    }
    if (VGALVAL_src_pre)
        s.unpremultiply = unprefunc;
    if (VGALVAL_dst_pre)
        s.premultiply = dst_5551 ? prefunc_5551 : prefunc;
    return s;
}

/* Reads w pixels and brings them into the destination's conventions, widened by the scale. */
static void convert_row(const rowsteps *s, long long x, long long y, long long w)
{
    VGALFUNC_cp_read(VGALVAL_src_format, (int)x, (int)y, (int)w);
    if (s->unpremultiply)
        s->unpremultiply((int)w);
    if (s->convert)
        s->convert((int)w);
    if (s->premultiply)
        s->premultiply((int)w);
    if (VGALVAL_dst_scale_x)
        data_expand((int)w, VGALVAL_dst_scale_x);
}

static void write_row(const rowsteps *s, long long x, long long y, long long w)
{
    VGALFUNC_cp_write(VGALVAL_dst_format, (int)x, (int)y, (int)w);
    if (s->clamp_code != VGAL_SWFORMAT_NONE)
        VGALFUNC_cp_clamp(s->clamp_code, (int)x, (int)y, (int)w);
}

static unsigned char *pixel_address(uintptr_t addr, int stride, long long x, long long y, int bpp)
{
    return (unsigned char *)(addr + (uintptr_t)(y * stride + x * bpp / 8));
}

static void block_rows(const clipped *c)
{
    const int bpp = VGALVAL_dst_bpp;
    const size_t bytes = (size_t)(c->w * bpp / 8);
    long long k;
    for (k = 0; k < c->h; ++k) {
        const long long i = c->bottom_up ? c->h - 1 - k : k;
        const long long row = VGALVAL_dst_y + c->dy + i, column = VGALVAL_dst_x + c->dx;
        memmove(pixel_address(VGALVAL_dst_addr, VGALVAL_dst_stride, column, row, bpp),
                pixel_address(VGALVAL_src_addr, VGALVAL_src_stride, VGALVAL_src_x + c->sx, VGALVAL_src_y + c->sy + i,
                              VGALVAL_src_bpp),
                bytes);
        if (VGALVAL_dst_pre && VGALFUNC_cp_has_clamp(VGALVAL_dst_format))
            VGALFUNC_cp_clamp(VGALVAL_dst_format, (int)column, (int)row, (int)c->w);
    }
}

static void converted_rows(const clipped *c)
{
    const rowsteps s = steps_for(VGALVAL_src_dst_same_internal_precision);
    const long long column = (VGALVAL_dst_x + c->dx) << VGALVAL_dst_scale_x;
    const long long width = c->w << VGALVAL_dst_scale_x;
    const long long top = (VGALVAL_dst_y + c->dy) << VGALVAL_dst_scale_y;
    long long k;
    for (k = 0; k < c->h; ++k) {
        const long long i = c->bottom_up ? c->h - 1 - k : k;
        convert_row(&s, VGALVAL_src_x + c->sx, VGALVAL_src_y + c->sy + i, c->w);
        if (VGALVAL_dst_scale_y) {
            write_row(&s, column, top + 2 * i, width);
            write_row(&s, column, top + 2 * i + 1, width);
        } else {
            write_row(&s, column, top + i, width);
        }
    }
}

/* Moving right along the same rows of one buffer, the spans of a row go from the last to the
 * first, so that no span reads pixels an earlier one has already written. */
static int spans_right_to_left(const clipped *c)
{
    return VGALVAL_src_addr == VGALVAL_dst_addr && VGALVAL_src_y + c->sy == c->dy && VGALVAL_src_x + c->sx < c->dx;
}

/* The destination offsets are not added here: the destination is a surface. */
static void scissored_rows(const clipped *c, int entries)
{
    const rowsteps s = steps_for(0);
    const int backwards = spans_right_to_left(c);
    long long k;
    for (k = 0; k < c->h; ++k) {
        const long long y = c->bottom_up ? c->dy + c->h - 1 - k : c->dy + k;
        const int pairs = VGALFUNC_TVGscissorSpans(entries, y) / 2;
        int n;
        for (n = 0; n < pairs; ++n) {
            const int p = 2 * (backwards ? pairs - 1 - n : n);
            const long long x0 = VGALVAL_edge[p], x1 = VGALVAL_edge[p + 1];
            if (x0 == x1)
                continue;
            convert_row(&s, VGALVAL_src_x + c->sx + x0 - c->dx, VGALVAL_src_y + c->sy + y - c->dy, x1 - x0);
            VGALFUNC_cp_write(VGALVAL_dst_format, (int)(x0 << VGALVAL_dst_scale_x), (int)(y << VGALVAL_dst_scale_y),
                              (int)((x1 - x0) << VGALVAL_dst_scale_x));
            if (VGALVAL_dst_scale_y)
                VGALFUNC_cp_write(VGALVAL_dst_format, (int)(x0 << VGALVAL_dst_scale_x),
                                  (int)((y << VGALVAL_dst_scale_y) + 1), (int)((x1 - x0) << VGALVAL_dst_scale_x));
        }
    }
}

static int fast_path_applies(void)
{
    return VGALVAL_src_format == VGALVAL_dst_format && VGALVAL_src_linear == VGALVAL_dst_linear &&
           VGALVAL_src_pre == VGALVAL_dst_pre && VGALVAL_dst_bpp >= 8 && VGALVAL_dst_scale_x == 0 &&
           VGALVAL_dst_scale_y == 0;
}

int VGALFUNC_TVGmemCopy(int dx, int dy, const OVGrect *r, int scissor)
{
    clipped c;
    int entries = 0;
    if (!VGALFUNC_cp_known(VGALVAL_src_format) || !VGALFUNC_cp_known(VGALVAL_dst_format))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (!clip(dx, dy, r, &c))
        return VG_NO_ERROR;
    if (scissor) {
        entries = VGALFUNC_TVGmakeScissorAET((int)c.dx, (int)c.dy, (int)c.w, (int)c.h);
        if (entries == 0)
            return VG_NO_ERROR;
        VGALFUNC_TVGsortAET(0, entries - 1);
        c.bottom_up = runs_bottom_up(VGALVAL_src_y + c.sy, c.dy);
    } else {
        c.bottom_up = runs_bottom_up(VGALVAL_src_y + c.sy, VGALVAL_dst_y + c.dy);
    }
    if (!allocate_line_buffer(c.w))
        return VG_OUT_OF_MEMORY_ERROR;
    if (scissor)
        scissored_rows(&c, entries);
    else if (fast_path_applies())
        block_rows(&c);
    else
        converted_rows(&c);
    free_line_buffer();
    return VG_NO_ERROR;
}

void data_expand(int w, int expand)
{
    const int times = expand == 1 ? 2 : 4;
    int i, k;
    for (i = w - 1; i >= 0; --i)
        for (k = times - 1; k >= 0; --k)
            VGALVAL_linebuffer[i * times + k] = VGALVAL_linebuffer[i];
}
