/* Colour conversions of the filter pipeline: the single steps (un-premultiply, premultiply, to
 * linear, to sRGB, luminance) and the tables that chain them, on 8-bit integer channels. The
 * arithmetic and the transfer tables are those of the software pixel path. */
#include "vg/al_lx740/vg_tvg_filter_pipeline.h"

#include "vg/al_lx740/vg_al_lx740_swpixel.h"

void filter_convert_none(filter_color_type *c)
{
    (void)c;
}

/* NP: colours divided by alpha; a transparent pixel becomes black. */
void filter_convert_unpremultiply(filter_color_type *c)
{
    const word32 a = (word32)c->ia;
    if (a == 0) {
        c->ir = c->ig = c->ib = 0;
        return;
    }
    c->ir = (int32_t)VGAL_unpremultiply((word32)c->ir, a);
    c->ig = (int32_t)VGAL_unpremultiply((word32)c->ig, a);
    c->ib = (int32_t)VGAL_unpremultiply((word32)c->ib, a);
}

/* P */
void filter_convert_premultiply(filter_color_type *c)
{
    const word32 a = (word32)c->ia;
    c->ir = (int32_t)VGAL_premultiply((word32)c->ir, a);
    c->ig = (int32_t)VGAL_premultiply((word32)c->ig, a);
    c->ib = (int32_t)VGAL_premultiply((word32)c->ib, a);
}

static void transfer(filter_color_type *c, const unsigned char *table)
{
    c->ir = table[c->ir];
    c->ig = table[c->ig];
    c->ib = table[c->ib];
}

/* L */
void filter_convert_to_linear(filter_color_type *c)
{
    transfer(c, VGALVAL_tvg_inv_gamma_table);
}

/* NL */
void filter_convert_to_srgb(filter_color_type *c)
{
    transfer(c, VGALVAL_tvg_gamma_table);
}

/* Linear luminance into ir, and the same taken to sRGB. */
static void luminance(filter_color_type *c)
{
    c->ir = (int32_t)VGAL_luminance((word32)c->ir, (word32)c->ig, (word32)c->ib);
}

static void luminance_to_srgb(filter_color_type *c)
{
    c->ir = VGALVAL_tvg_gamma_table[c->ir];
}

static void np_l(filter_color_type *c)
{
    filter_convert_unpremultiply(c);
    filter_convert_to_linear(c);
}

static void np_nl(filter_color_type *c)
{
    filter_convert_unpremultiply(c);
    filter_convert_to_srgb(c);
}

static void l_p(filter_color_type *c)
{
    filter_convert_to_linear(c);
    filter_convert_premultiply(c);
}

static void np_l_p(filter_color_type *c)
{
    np_l(c);
    filter_convert_premultiply(c);
}

static void nl_p(filter_color_type *c)
{
    filter_convert_to_srgb(c);
    filter_convert_premultiply(c);
}

static void np_nl_p(filter_color_type *c)
{
    np_nl(c);
    filter_convert_premultiply(c);
}

static void convert_undefined(filter_color_type *c)
{
    (void)c;
    filter_error_func();
}

const filter_convert_fn filter_convert_table[FILTER_CONVERT_ENTRIES] = {
    filter_convert_none,          /* 0 */
    filter_convert_unpremultiply, /* 1 NP */
    filter_convert_to_linear,     /* 2 L */
    np_l,                         /* 3 NP, L */
    filter_convert_to_srgb,       /* 4 NL */
    np_nl,                        /* 5 NP, NL */
    convert_undefined,            /* 6 */
    convert_undefined,            /* 7 */
    filter_convert_premultiply,   /* 8 P */
    filter_convert_none,          /* 9: premultiplied on both sides */
    l_p,                          /* 10 L, P */
    np_l_p,                       /* 11 NP, L, P */
    nl_p,                         /* 12 NL, P */
    np_nl_p,                      /* 13 NP, NL, P */
    convert_undefined,            /* 14 */
    convert_undefined,            /* 15 */
};

/* L, luminance: also the black-and-white step from sRGB. */
static void l_lum(filter_color_type *c)
{
    filter_convert_to_linear(c);
    luminance(c);
}

static void l_lum_nl(filter_color_type *c)
{
    l_lum(c);
    luminance_to_srgb(c);
}

static void np_l_lum(filter_color_type *c)
{
    np_l(c);
    luminance(c);
}

static void np_l_lum_nl(filter_color_type *c)
{
    np_l_lum(c);
    luminance_to_srgb(c);
}

static void lum_nl(filter_color_type *c)
{
    luminance(c);
    luminance_to_srgb(c);
}

static void np_lum(filter_color_type *c)
{
    filter_convert_unpremultiply(c);
    luminance(c);
}

static void np_lum_nl(filter_color_type *c)
{
    np_lum(c);
    luminance_to_srgb(c);
}

const filter_convert_fn filter_convert_luminance_table[8] = {
    l_lum_nl,    /* sRGB to sL */
    l_lum,       /* sRGB to lL */
    np_l_lum_nl, /* sRGB premultiplied to sL */
    np_l_lum,    /* sRGB premultiplied to lL */
    lum_nl,      /* linear to sL */
    luminance,   /* linear to lL */
    np_lum_nl,   /* linear premultiplied to sL */
    np_lum,      /* linear premultiplied to lL */
};

const filter_convert_fn filter_convert_bw_table[4] = {l_lum, np_l_lum, luminance, np_lum};

const filter_convert_fn filter_convert_func_out_of_image[4] = {filter_convert_none, filter_convert_premultiply,
                                                               filter_convert_to_linear, l_p};
