/* Clipping a rectangle copy to the source and destination usable areas. */
#include "vg/al_lx740/vg_al_lx740_region.h"

#include "vg/al_lx740/vg_al_lx740_transfer.h"

static long long smallest(long long a, long long b, long long c)
{
    long long m = a < b ? a : b;
    return m < c ? m : c;
}

/* One axis: a negative source start moves the destination on, a negative destination start
 * moves the source on, and the length is cut to what both sides hold. */
static void clip_axis(long long *s, long long *d, long long *n, long long source_size, long long destination_size)
{
    if (*s < 0) {
        *n += *s;
        *d -= *s;
        *s = 0;
    }
    if (*d < 0) {
        *n += *d;
        *s -= *d;
        *d = 0;
    }
    *n = smallest(source_size - *s, destination_size - *d, *n);
}

int VGALFUNC_clip_region(int dx, int dy, const OVGrect *r, VGALregion *c)
{
    c->sx = r->x, c->sy = r->y, c->dx = dx, c->dy = dy, c->w = r->width, c->h = r->height;
    if (r->x >= VGALVAL_src_width || r->y >= VGALVAL_src_height || dx >= VGALVAL_dst_width ||
        dy >= VGALVAL_dst_height) {
        c->w = c->h = 0;
        return 0;
    }
    clip_axis(&c->sx, &c->dx, &c->w, VGALVAL_src_width, VGALVAL_dst_width);
    clip_axis(&c->sy, &c->dy, &c->h, VGALVAL_src_height, VGALVAL_dst_height);
    return c->w > 0 && c->h > 0;
}
