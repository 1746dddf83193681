/* The active edge table of the context's scissor rectangles. */
#include "vg/al_lx740/vg_al_lx740_swcopy.h"

#include "vg/al_lx740/vg_al_lx740.h"

VGALaetentry VGALVAL_aetitable[VGAL_AET_ENTRIES];
int16_t VGALVAL_edge[VGAL_AET_ENTRIES];

static long long smaller(long long a, long long b)
{
    return a < b ? a : b;
}

static void set_edge(VGALaetentry *e, long long x, long long ytop, long long ybottom, int dir)
{
    e->x = (int16_t)x;
    e->ytop = (int16_t)ytop;
    e->ybottom = (int16_t)ybottom;
    e->dir = (int16_t)dir;
}

/* Sums in 64 bits: rectangles may reach the ends of the 32-bit range. */
int VGALFUNC_TVGmakeScissorAET(int rdx, int rdy, int rw, int rh)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const int count = ctx->numScissorRects < OVG_MAX_SCISSOR_RECTS ? ctx->numScissorRects : OVG_MAX_SCISSOR_RECTS;
    int i, n = 0;
    for (i = 0; i < count; ++i) {
        const OVGrect *s = &ctx->scissorRects[i];
        long long x = s->x, y = s->y, width = s->width, height = s->height;
        if (rdx > x) {
            width += x - rdx;
            x = rdx;
        }
        if (rdy > y) {
            height += y - rdy;
            y = rdy;
        }
        width = smaller(width, (long long)rdx + rw - x);
        height = smaller(height, (long long)rdy + rh - y);
        if (width > 0 && height > 0) {
            set_edge(&VGALVAL_aetitable[n++], x, y, y + height, 1);
            set_edge(&VGALVAL_aetitable[n++], x + width, y, y + height, -1);
        }
    }
    return n;
}

void VGALFUNC_TVGsortAET(int l, int r)
{
    const int16_t pivot = VGALVAL_aetitable[(l + r) / 2].x;
    int i = l, j = r;
    while (i <= j) {
        while (VGALVAL_aetitable[i].x < pivot)
            ++i;
        while (VGALVAL_aetitable[j].x > pivot)
            --j;
        if (i <= j) {
            const VGALaetentry t = VGALVAL_aetitable[i];
            VGALVAL_aetitable[i++] = VGALVAL_aetitable[j];
            VGALVAL_aetitable[j--] = t;
        }
    }
    if (l < j)
        VGALFUNC_TVGsortAET(l, j);
    if (i < r)
        VGALFUNC_TVGsortAET(i, r);
}

int VGALFUNC_TVGscissorSpans(int entries, long long y)
{
    int k, count = 0, winding = 0;
    for (k = 0; k < entries; ++k) {
        const VGALaetentry *e = &VGALVAL_aetitable[k];
        const int inside = winding != 0;
        if (y < e->ytop || y >= e->ybottom)
            continue;
        winding += e->dir;
        if (inside != (winding != 0))
            VGALVAL_edge[count++] = e->x;
    }
    return count;
}
