/* The clear entry points: the rectangle cut to the surface or the image, then a GPU clear. */
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"

static long long larger(long long a, long long b)
{
    return a > b ? a : b;
}

static long long smaller(long long a, long long b)
{
    return a < b ? a : b;
}

int VGHAL_ALclear(const OVGrect *rect)
{
    const long long x = rect->x, y = rect->y;
    const long long x1 = x + rect->width - 1, y1 = y + rect->height - 1;
    BBOXINFO box;
    if (x >= VGALVAL_colorbuffer_width || x1 < 0 || y >= VGALVAL_colorbuffer_height || y1 < 0)
        return 0;
    box.l = (word32)larger(x, 0);
    box.r = (word32)smaller(x1, VGALVAL_colorbuffer_width - 1);
    box.t = (word32)larger(y, 0);
    box.b = (word32)smaller(y1, VGALVAL_colorbuffer_height - 1);
    VGALFUNC_lx_clearsurface(&box);
    return 0;
}

/* One axis of an image clear: a negative start shortens the size, and the size is cut at what
 * the image holds after the start. 0 when nothing is left. */
static int cut(long long *start, long long *size, long long active)
{
    if (*start < 0) {
        *size += *start;
        *start = 0;
    }
    *size = smaller(*size, active - *start);
    return *size > 0;
}

int VGHAL_ALclearImage(OVGimage *dst, const OVGrect *rect)
{
    const OVGrect *a = &dst->activeRect;
    long long x = rect->x, y = rect->y, w = rect->width, h = rect->height;
    BBOXINFO box;
    if (!cut(&x, &w, a->width) || !cut(&y, &h, a->height))
        return 0;
    box.l = (word32)(x + a->x);
    box.r = (word32)(x + a->x + w - 1);
    box.t = (word32)(y + a->y);
    box.b = (word32)(y + a->y + h - 1);
    VPCTRLW(LX_TE_SYNC, 0);
    VGALFUNC_lx_clearimage(dst->buffer, dst->format, &box, &VGALVAL_LX740_ALcontexthandle->clearColorClamp);
    return 0;
}
