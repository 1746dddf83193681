/* The rasterizer's scissor rectangles. */
#include "vg/al_lx740/vg_al_lx740_scissor.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"

static long long larger(long long a, long long b)
{
    return a > b ? a : b;
}

static long long smaller(long long a, long long b)
{
    return a < b ? a : b;
}

static void write_rectangle(int n, long long top, long long left, long long bottom, long long right)
{
    RZW(LX_RZ_SCI_RECT_LT00 + 2 * (word32)n, (word32)top | (word32)left << 16);
    RZW(LX_RZ_SCI_RECT_RB00 + 2 * (word32)n, (word32)bottom | (word32)right << 16);
}

/* Rectangles from the last to the first; sums in 64 bits, as they may reach the ends of the
 * 32-bit range. */
void lx_scissor(int flip)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    const long long max_x = VGALVAL_surface_width - 1, max_y = VGALVAL_surface_height - 1;
    int i, n = 0;

    XPTW(LX_XPT_SYNC_H, 0);
    if (!(VGALVAL_lx740renderingmode & VGAL_RM_SCISSORING)) {
        write_rectangle(0, 0, 0, max_y, max_x);
        RZW(LX_RZ_SCI_ENABLE, 1);
        VGALVAL_lx740renderingmode &= ~VGAL_RM_SCISSOR_EMPTY;
        return;
    }
    for (i = (int)smaller(ctx->numScissorRects, OVG_MAX_SCISSOR_RECTS) - 1; i >= 0; --i) {
        const OVGrect *r = &ctx->scissorRects[i];
        const long long x = r->x, y = r->y, last_x = x + r->width - 1, last_y = y + r->height - 1;
        if (x > max_x || last_x < 0 || y > max_y || last_y < 0)
            continue;
        if (flip)
            write_rectangle(n, max_y - smaller(last_y, max_y), larger(x, 0), max_y - larger(y, 0), smaller(last_x, max_x));
        else
            write_rectangle(n, larger(y, 0), larger(x, 0), smaller(last_y, max_y), smaller(last_x, max_x));
        ++n;
    }
    if (n == 0) {
        VGALVAL_lx740renderingmode |= VGAL_RM_SCISSOR_EMPTY;
        return;
    }
    RZW(LX_RZ_SCI_ENABLE, 0xFFFFFFFFu >> (32 - n));
    VGALVAL_lx740renderingmode &= ~VGAL_RM_SCISSOR_EMPTY;
}
