/* The two lookups on the CPU: vgLookup with four 8-bit tables, vgLookupSingle with one table of
 * RGBA8888 words indexed by one source channel. The results are read in the call's output
 * format. */
#include "vg/al_lx740/vg_tvg_filter.h"

#include "vg/al_lx740/vg_tvg_filter_frame.h"

#define LOOKUP_MODE 1

typedef struct lookup_tables {
    const VGubyte *red, *green, *blue, *alpha;
} lookup_tables;

typedef struct lookup_single {
    const VGuint *table;
    int channel; /* 0 R, 1 G, 2 B, 3 A of the source in the filter format */
} lookup_single;

static void lookup_row(void *arg, int w)
{
    const lookup_tables *t = (const lookup_tables *)arg;
    filter_color_type c;
    int x;
    for (x = 0; x < w; ++x) {
        tvg_filter_get_src(&c);
        tvg_filter_set_dst_rgba8888((word32)t->red[c.ir] << 24 | (word32)t->green[c.ig] << 16 |
                                    (word32)t->blue[c.ib] << 8 | t->alpha[c.ia]);
    }
}

static void lookup_single_row(void *arg, int w)
{
    const lookup_single *t = (const lookup_single *)arg;
    filter_color_type c;
    int x;
    for (x = 0; x < w; ++x) {
        int32_t v[4];
        tvg_filter_get_src(&c);
        v[0] = c.ir, v[1] = c.ig, v[2] = c.ib, v[3] = c.ia;
        tvg_filter_set_dst_rgba8888(t->table[v[t->channel]]);
    }
}

static tvg_filter_job lookup_job(void (*row)(void *, int), void *arg, VGboolean linear, VGboolean pre)
{
    tvg_filter_job job = {0};
    job.mode = LOOKUP_MODE;
    job.output_linear = linear != VG_FALSE;
    job.output_pre = pre != VG_FALSE;
    job.row = row;
    job.arg = arg;
    return job;
}

int VGALFUNC_TVGmemLookup(const OVGimage *d, const OVGimage *s, const VGubyte *red, const VGubyte *green,
                          const VGubyte *blue, const VGubyte *alpha, VGboolean outputLinear,
                          VGboolean outputPremultiplied)
{
    lookup_tables tables;
    tvg_filter_job job;
    if (!red || !green || !blue || !alpha)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    tables.red = red, tables.green = green, tables.blue = blue, tables.alpha = alpha;
    job = lookup_job(lookup_row, &tables, outputLinear, outputPremultiplied);
    return tvg_filter_run(d, s, &job);
}

/* The source channel whose value indexes the table: grey for a luminance source, alpha for an
 * alpha-only one, else the one `channel` names (alpha for any other value). */
static int single_channel(VGImageFormat source, VGImageChannel channel)
{
    switch ((int)source) {
    case VG_sL_8:
    case VG_lL_8:
    case VG_BW_1: return 0;
    case VG_A_8:
    case VG_A_1:
    case VG_A_4: return 3;
    default: break;
    }
    switch (channel) {
    case VG_RED: return 0;
    case VG_GREEN: return 1;
    case VG_BLUE: return 2;
    default: return 3;
    }
}

int VGALFUNC_TVGmemLookupSingle(const OVGimage *d, const OVGimage *s, const VGuint *lookupTable,
                                VGImageChannel channel, VGboolean outputLinear, VGboolean outputPremultiplied)
{
    lookup_single single;
    tvg_filter_job job;
    if (!lookupTable || !s)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    single.table = lookupTable;
    single.channel = single_channel(s->format, channel);
    job = lookup_job(lookup_single_row, &single, outputLinear, outputPremultiplied);
    return tvg_filter_run(d, s, &job);
}
