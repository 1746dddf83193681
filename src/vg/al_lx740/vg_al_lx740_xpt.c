/* Rasterizer edge buffers and XPT set-up. */
#include "vg/al_lx740/vg_al_lx740_xpt.h"

#include <stdlib.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"

#define XPT_BUFFERS 7
#define XPTNUM_LOG2_DEFAULT 10u
#define XPTNUM_LOG2_MAX 11u
#define CTX_RENDERING_QUALITY 0x2u
#define RM_EDGE_AA 0x1000u

XPTSIZE xptinfo = {0, CGL_NO_ADDRESS, CGL_NO_ADDRESS, CGL_NO_ADDRESS, CGL_NO_ADDRESS,
                   CGL_NO_ADDRESS, CGL_NO_ADDRESS, CGL_NO_ADDRESS};
XPTSCISSOR xptsci;
int xptheight;
int xptsample;
int VGALVAL_xptbufstatus;
int VGALVAL_currentxptmode = -1;
word32 VGALVAL_aamode;

static unsigned _xptnum_log2;
static unsigned _xptnum = 1;

unsigned getXptNum(void)
{
    if (_xptnum_log2 == 0) {
        const char *text = getenv("OVG_XPTNUM_LOG2");
        _xptnum_log2 = text ? (unsigned)strtol(text, NULL, 0) : XPTNUM_LOG2_DEFAULT;
        if (_xptnum_log2 > XPTNUM_LOG2_MAX)
            _xptnum_log2 = XPTNUM_LOG2_MAX;
        _xptnum <<= _xptnum_log2;
    }
    return _xptnum;
}

/* The seven buffer addresses, in the order they are made. */
static word32 *const buffers[XPT_BUFFERS] = {&xptinfo.bufbase0, &xptinfo.bufbase1, &xptinfo.numbase0,
                                             &xptinfo.numbase1, &xptinfo.lwbase0,  &xptinfo.lwbase1,
                                             &xptinfo.sortbase};

static int round128(int n)
{
    return (n + 127) / 128 * 128;
}

static word32 allocate(int which, word32 xsize, int height, int sample)
{
    switch (which) {
    case 0:
    case 1: return VGALFUNC_VAlloc((int)xsize, height, 32, 32, 0, 0, 0);
    case 2:
    case 3: return VGALFUNC_VAlloc(1, round128(height), 16, 256, 0, 0, 0);
    case 4:
    case 5: return VGALFUNC_VAlloc(1, round128(height * (sample ? 2 : 4)), 16, 256, 0, 0, 0);
    default: return VGALFUNC_VAlloc((int)xsize, 4, 8, 32, 0, 0, 0);
    }
}

static void release(int which)
{
    if (*buffers[which] != CGL_NO_ADDRESS)
        VGALFUNC_VFree(*buffers[which]);
    *buffers[which] = CGL_NO_ADDRESS;
}

void VGALFUNC_lx_xptclear(void)
{
    int i;
    for (i = 0; i < XPT_BUFFERS; ++i)
        *buffers[i] = CGL_NO_ADDRESS;
    xptheight = xptsample = 0;
}

static void announce(void)
{
    const word32 words[8] = {xptinfo.xsize,   xptinfo.numbase0, xptinfo.numbase1, xptinfo.bufbase0,
                             xptinfo.bufbase1, xptinfo.lwbase0,  xptinfo.lwbase1,  xptinfo.sortbase};
    XPTW(LX_XPT_INIT, 0);
    XPTW(LX_XPT_WWAIT_SYNC, 0x110A);
    XPTW(LX_XPT_CACHE_FLUSH, 15);
    VGALFUNC_lx_writeregs(CGL_OP_XPT_WRITE, LX_XPT_XSIZE, words, 8);
    VGALVAL_xptbufstatus = 1;
}

int lx_xptinit(unsigned xptnum)
{
    const int sample = (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) != 0;
    const int height = VGALVAL_surface_height;
    const word32 old_xsize = xptinfo.xsize;
    const int old_height = xptheight, old_sample = xptsample;
    int i, j;

    if (height != xptheight || sample != xptsample || xptnum != xptinfo.xsize) {
        for (i = 0; i < XPT_BUFFERS; ++i) {
            release(i);
            *buffers[i] = allocate(i, xptnum, height, sample);
            if (*buffers[i] != CGL_NO_ADDRESS)
                continue;
            /* Go back to the old set; without one, or when even that cannot be had, keep none. */
            if (old_height == 0) {
                lx_xptterm();
                return 0;
            }
            for (j = 0; j <= i; ++j) {
                release(j);
                *buffers[j] = allocate(j, old_xsize, old_height, old_sample);
                if (*buffers[j] == CGL_NO_ADDRESS) {
                    lx_xptterm();
                    return 0;
                }
            }
            announce();
            return 0;
        }
    }
    xptinfo.xsize = xptnum;
    announce();
    xptsci.ytop = 0;
    xptsci.ybottom = (word32)height - 1;
    xptsci.xleft = 0;
    xptsci.xright = (word32)VGALVAL_surface_width - 1;
    xptheight = height;
    xptsample = sample;
    return 1;
}

void lx_xptterm(void)
{
    int i;
    for (i = 0; i < XPT_BUFFERS; ++i)
        release(i);
    xptsample = xptheight = 0;
    VGALVAL_xptbufstatus = 0;
}

void VGALFUNC_lx_resetxptbuffer(int mode)
{
    if ((VGALVAL_lx740_ctxdirty & CTX_RENDERING_QUALITY) || VGALVAL_xptbufstatus) {
        const VGRenderingQuality quality = VGALVAL_LX740_ALcontexthandle->renderingQuality;
        int s;
        if (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) {
            VGALVAL_aamode = 36, s = 2;
            VGALVAL_lx740renderingmode &= ~RM_EDGE_AA;
        } else if (quality == VG_RENDERING_QUALITY_NONANTIALIASED) {
            VGALVAL_aamode = 0, s = 1;
            VGALVAL_lx740renderingmode &= ~RM_EDGE_AA;
        } else if (quality == VG_RENDERING_QUALITY_FASTER) {
            VGALVAL_aamode = 4, s = 2;
            VGALVAL_lx740renderingmode |= RM_EDGE_AA;
        } else {
            VGALVAL_aamode = 8, s = 4;
            VGALVAL_lx740renderingmode |= RM_EDGE_AA;
        }
        {
            const float right = (float)(VGALVAL_surface_width * s) - 0.5f;
            const float bottom = (float)(VGALVAL_surface_height * s) - 0.5f;
            const float aascale[3] = {(float)s, 1.0f, 1.0f};
            const float scsize[1] = {(float)VGALVAL_surface_height};
            const float detth[1] = {0.0f};
            const float sclmt[4] = {-0.5f, right, 0.5f, bottom};
            VPCTRLW(LX_TE_SYNC, 0);
            VPCTRLW(LX_STU_XPTAASC, cglFloatTo32F(1.0f / (float)s));
            VPWV(LX_VCNST_OVG_AASCALE, aascale, 3);
            VPWV(LX_VCNST_OVG_SCSIZE, scsize, 1);
            VPWV(LX_VCNST_OVG_DETTH, detth, 1);
            VPWV(LX_VCNST_OVG_SCLMT, sclmt, 4);
            VPCTRLW(LX_STU_SCL, cglFloatTo32F(-0.5f));
            VPCTRLW(LX_STU_SCR, cglFloatTo32F(right));
            VPCTRLW(LX_STU_SCT, cglFloatTo32F(0.5f));
            VPCTRLW(LX_STU_SCB, cglFloatTo32F(bottom));
        }
        VGALVAL_currentxptmode = -1;
    }
    if (mode != VGALVAL_currentxptmode) {
        const word32 window[4] = {xptsci.ytop, xptsci.ybottom, xptsci.xleft, xptsci.xright};
        XPTW(LX_XPT_SYNC, 0);
        XPTW(LX_XPT_CACHE_FLUSH, 15);
        VGALFUNC_lx_writeregs(CGL_OP_XPT_WRITE, LX_XPT_SCI_YT, window, 4);
        XPTW(LX_XPT_SWAP, mode ? 0u : 1u);
        XPTW(LX_XPT_MODE, VGALVAL_aamode | (mode ? 64u : 0u));
        XPTW(LX_XPT_BUF_STAT, 0);
        XPTW(LX_XPT_INIT, 3);
        XPTW(LX_XPT_WWAIT_SYNC, mode ? 0x92001B0Au : 0x110Au);
    }
    VGALVAL_xptbufstatus = 0;
    VGALVAL_currentxptmode = mode;
}

#define XPT_SWAP_SCAN 60u

void VGALFUNC_lx_scanedges(void)
{
    VPCTRLW(LX_TE_SYNC, 0);
    XPTW(LX_XPT_EDGE_SCAN_START, 1);
    XPTW(LX_XPT_SWAP, XPT_SWAP_SCAN);
    RUNCME();
}

void VGALFUNC_lx_scanimage(void)
{
    VPCTRLW(LX_TE_SYNC, 0);
    XPTW(LX_XPT_CACHE_FLUSH, 2);
    XPTW(LX_XPT_EDGE_SCAN_START, 1);
    XPTW(LX_XPT_SYNC, 0);
    XPTW(LX_XPT_INIT, 2);
    RUNCME();
}
