/* Work memory with deferred release. */
#include "vg/al_lx740/vg_al_lx740_rect.h"

#include "memmanage/gmalloc.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"

word32 VGALVAL_freelist[VGAL_FREELIST_SIZE];
int VGALVAL_freelistcount;

#define CLEARED_WIDTH_MAX 0xFFF8ull
#define GM_SIZE_MAX 0x7FFFFFFFull
#define BUSY_AFTER_COPY 0x2A4u

int VGALFUNC_al_lx740_rect_init(void)
{
    VGALVAL_freelistcount = 0;
    return 0;
}

void VGALFUNC_al_lx740_rect_terminate(void)
{
    if (VGALVAL_freelistcount)
        VGALFUNC_al_lx740_free_all_list(0);
    VGALVAL_freelistcount = 0;
}

/* 8 - n mod 8, and likewise for other steps, 0 when n is a multiple. */
static unsigned long long short_of(unsigned long long n, unsigned long long step)
{
    return (step - n % step) % step;
}

static unsigned long long ceil_div(unsigned long long n, unsigned long long d)
{
    return (n + d - 1) / d;
}

unsigned long long VGALFUNC_lx_texture_padding(unsigned long long w, unsigned long long height, int bpp)
{
    unsigned long long a, b;
    if (bpp < 8) {
        unsigned long long p = bpp == 4 ? 2 : 8;
        a = ceil_div(short_of(w, 8), p) + ceil_div(w, p) * short_of(height, 8);
        b = ceil_div(short_of(w, 64), p);
    } else {
        unsigned long long q = (unsigned long long)bpp / 8;
        a = (w * short_of(height, 8) + short_of(w, 8)) * q;
        b = q * short_of(w, bpp == 32 ? 32 : 64);
    }
    return a > b ? a : b;
}

word32 VGALFUNC_VAlloc(int width, int height, int bpp, int align, int clear, int cval, int tx)
{
    unsigned long long w, size;
    MemAddr addr;
    if (width < 0 || height < 0 || bpp <= 0)
        return CGL_NO_ADDRESS;
    w = (unsigned long long)width;
    if (clear) {
        w = (w + 7) & ~7ull;
        if (w > CLEARED_WIDTH_MAX)
            return CGL_NO_ADDRESS;
    }
    size = (w * (unsigned long long)height * (unsigned long long)bpp + 7) / 8;
    if (tx)
        size += VGALFUNC_lx_texture_padding(w, (unsigned long long)height, bpp);
    if (size > GM_SIZE_MAX)
        return CGL_NO_ADDRESS;
    addr = gmMalloc((int)size, align);
    if (addr == GM_NO_ADDRESS) {
        if (VGALVAL_freelistcount == 0)
            return CGL_NO_ADDRESS;
        VGALFUNC_al_lx740_free_all_list(1);
        addr = gmMalloc((int)size, align);
        if (addr == GM_NO_ADDRESS)
            return CGL_NO_ADDRESS;
    }
    if (clear)
        VGALFUNC_lx_clearbuffer((word32)addr, (word32)(bpp * w / 8), (word32)height, (word32)cval);
    return (word32)addr;
}

void VGALFUNC_VFree(word32 addr)
{
    VGALVAL_freelist[VGALVAL_freelistcount++] = addr;
    if (VGALVAL_freelistcount == VGAL_FREELIST_SIZE)
        VGALFUNC_al_lx740_free_all_list(1);
}

void VGALFUNC_al_lx740_free_all_list(int check)
{
    if (check && VGALVAL_lx740cmdbuffer_size) {
        PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
        WAITCMDDONE();
        cglWaitBusy(BUSY_AFTER_COPY, 0);
    }
    while (VGALVAL_freelistcount > 0)
        gmFree(VGALVAL_freelist[--VGALVAL_freelistcount]);
}
