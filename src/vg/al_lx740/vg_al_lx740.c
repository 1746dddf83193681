/* The acceleration layer's global state, its start and end, binding a context and its surface,
 * finish and swap. */
#include "vg/al_lx740/vg_al_lx740.h"

#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_color.h"
#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/al_lx740/vg_al_lx740_pe.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

word32 VGALVAL_lx740renderingmode;
word32 VGALVAL_lx740_dirty;
word32 VGALVAL_lx740_ctxdirty;
int VGALVAL_backbuffer;
const void *VGALVAL_currentimage;
const struct OVGpaint *currentpaint;
int VGALVAL_changepepipe;
word32 VGALVAL_lx740vpinstaddr = CGL_NO_ADDRESS;

OVGcontext *VGALVAL_LX740_ALcontexthandle;
ALbuffer *colorbuffer;
ALbuffer *frontbuffer;
ALbuffer *VGALVAL_maskbuffer;
word32 VGALVAL_surface_addr;
int VGALVAL_surface_width, VGALVAL_surface_height, VGALVAL_surface_stride, VGALVAL_surface_bpp;
int VGALVAL_surface_alphabits, VGALVAL_surface_flip;
int VGALVAL_surface_format;
word32 VGALVAL_surface_format_lx;
word32 VGALVAL_lx740_cmode_msaa;
word32 VGALVAL_colorbuffer_addr;
int VGALVAL_colorbuffer_width, VGALVAL_colorbuffer_height, VGALVAL_colorbuffer_stride;

word32 vgmode_paint;
word32 vgmode_image;
int color_transform;
word32 paintcoloralpha;
VGImageFormat VGALVAL_currentimageformat;

void VGHAL_ALflush(void)
{
    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    RUNCME();
}

/* ---- Start and end of the layer ---- */

#define GAMMA_TABLE 0x20000u
#define INV_GAMMA_TABLE 0x30000u
#define GAMMA_TABLE_WORDS 64u
#define MISC_CTRL_VALUE 4u
#define BUSY_AFTER_COPY 0x2A4u
#define INTR_XPT_OVERFLOW 0x40u
#define EGL_SRGB 0x3089
#define EGL_NONPRE 0x308B
#define EGL_RGB_BUFFER 0x308E

int VGALVAL_cp_write_a4_high_precision;
static ALcallbackXPT ALcallbackXPTOVF;
static ALcallbackXPT ALcallbackXPTNOVF;

void ALextSetCallbackXPTOVF(ALcallbackXPT callback)
{
    ALcallbackXPTOVF = callback;
}

void ALextSetCallbackXPTNOVF(ALcallbackXPT callback)
{
    ALcallbackXPTNOVF = callback;
}

/* A transfer table into red, green and blue of a pixel-engine table, four entries a word. */
static void load_table(word32 table, const unsigned char *entries)
{
    word32 words[GAMMA_TABLE_WORDS];
    word32 k, offset;
    for (k = 0; k < GAMMA_TABLE_WORDS; ++k)
        words[k] = (word32)entries[4 * k] | (word32)entries[4 * k + 1] << 8 | (word32)entries[4 * k + 2] << 16 |
                   (word32)entries[4 * k + 3] << 24;
    for (offset = 0; offset < 3 * GAMMA_TABLE_WORDS; offset += GAMMA_TABLE_WORDS)
        cglWritePETable(table, offset, words, GAMMA_TABLE_WORDS);
}

int VGHAL_ALcreate(void)
{
    if (VGALVAL_lx740cmdbuffer_size != 0)
        return 1;
    VGALVAL_lx740vpinstaddr = CGL_NO_ADDRESS;
    ALcallbackXPTOVF = ALcallbackXPTNOVF = NULL;
    cglWriteMemReg32(LX_MISC_CTRL, MISC_CTRL_VALUE);
    VGALFUNC_lx_xptclear();
    xptinfo.xsize = getXptNum();
    load_table(GAMMA_TABLE, gtable);
    load_table(INV_GAMMA_TABLE, itable);
    if (VGALFUNC_al_lx740_rect_init() != 0)
        return 0;
    if (VGALFUNC_al_lx740_ucode_init() != 0) {
        VGALFUNC_al_lx740_ucode_terminate();
        VGALFUNC_al_lx740_rect_terminate();
        return 0;
    }
    VGALFUNC_al_lx740_draw_init();
    if (!VGALFUNC_lx_cmdbuffer_alloc()) {
        VGALFUNC_al_lx740_ucode_terminate();
        VGALFUNC_al_lx740_draw_terminate();
        VGALFUNC_al_lx740_rect_terminate();
        return 0;
    }
    VGALVAL_cp_write_a4_high_precision = 0;
    return 1;
}

int VGHAL_ALdestroy(void)
{
    if (VGALVAL_lx740cmdbuffer_size == 0)
        return 1;
    lx_xptterm();
    VGALFUNC_al_lx740_ucode_terminate();
    VGALFUNC_al_lx740_draw_terminate();
    VGALFUNC_lx_cmdbuffer_free();
    VGALFUNC_al_lx740_rect_terminate();
    return 1;
}

/* ---- Binding a context and its surface ---- */

VGALsurfaceformat VGALFUNC_lx_surfaceformat(int bpp, int alphabits, int colororder, int luminance)
{
    static const VGALsurfaceformat rgba32[4] = {{0, 1, 0, 0}, {1, 11, 0, 0}, {2, 15, 0, 0}, {3, 20, 0, 0}};
    static const VGALsurfaceformat rgbx32[4] = {{4, 0, 0, 0}, {5, 10, 0, 0}, {6, 14, 0, 0}, {7, 19, 0, 0}};
    static const VGALsurfaceformat a1_16[4] = {{16, 2, 0x14000000, 0}, {17, 12, 0x1C000000, 0},
                                              {18, 16, 0x14000000, 0}, {19, 21, 0x1C000000, 0}};
    static const VGALsurfaceformat a4_16[4] = {{20, 3, 0x18000000, 0}, {21, 13, 0x18000000, 0},
                                              {22, 17, 0x18000000, 0}, {23, 22, 0x18000000, 0}};
    const int order = colororder < 0 ? 0 : colororder > 3 ? 3 : colororder;
    VGALsurfaceformat f;
    switch (bpp) {
    case 32: return alphabits ? rgba32[order] : rgbx32[order];
    case 16:
        if (alphabits == 0) {
            f.code = order < 2 ? 24 : 25, f.software = order < 2 ? 4 : 18;
            f.cmode_msaa = 0x10000000, f.keeps_cmode = 0;
            return f;
        }
        return alphabits == 1 ? a1_16[order] : a4_16[order];
    case 8:
        f.code = luminance ? 32 : 33, f.software = luminance ? 5 : 6, f.cmode_msaa = 0x20000000, f.keeps_cmode = 0;
        return f;
    case 4:
        f.code = 48, f.software = 9, f.cmode_msaa = 0, f.keeps_cmode = 1;
        return f;
    default:
        f.code = luminance ? 65 : 64, f.software = luminance ? 7 : 8, f.cmode_msaa = 0, f.keeps_cmode = 1;
        return f;
    }
}

int VGHAL_ALmakeCurrent(OVGcontext *context)
{
    ALsurface *surface = context->drawSurface;
    ALbuffer *render;
    VGALsurfaceformat format;
    word32 busy;
    int i;

    VGALVAL_LX740_ALcontexthandle = context;
    VGALVAL_lx740renderingmode = 0;
    VGALVAL_surface_flip = surface->offscreen ? 0 : 1;

    VGALVAL_backbuffer = surface->back;
    colorbuffer = surface->back == 1 ? surface->disp1 : surface->disp0;
    frontbuffer = surface->mode ? (surface->back == 1 ? surface->disp0 : surface->disp1) : colorbuffer;

    render = surface->multisample ? surface->multisample : colorbuffer;
    VGALVAL_surface_bpp = render->bpp;
    VGALVAL_surface_addr = render->addr;
    VGALVAL_surface_stride = render->stride;
    VGALVAL_surface_width = colorbuffer->width;
    VGALVAL_surface_height = colorbuffer->height;
    if (surface->multisample)
        VGALVAL_lx740renderingmode |= VGAL_RM_MULTISAMPLE;
    VGALVAL_colorbuffer_addr = colorbuffer->addr;
    VGALVAL_colorbuffer_width = colorbuffer->width;
    VGALVAL_colorbuffer_height = colorbuffer->height;
    VGALVAL_colorbuffer_stride = colorbuffer->stride;

    if (colorbuffer->width == 0 || colorbuffer->height == 0)
        VGALVAL_lx740renderingmode |= VGAL_RM_EMPTY;
    if (surface->colorspace != EGL_SRGB)
        VGALVAL_lx740renderingmode |= VGAL_RM_LINEAR;
    if (surface->alphaformat != EGL_NONPRE)
        VGALVAL_lx740renderingmode |= VGAL_RM_PREMULTIPLIED;
    if (surface->buffermode != EGL_RGB_BUFFER)
        VGALVAL_lx740renderingmode |= VGAL_RM_LUMINANCE;
    VGALVAL_surface_alphabits = surface->alphabits;

    format = VGALFUNC_lx_surfaceformat(colorbuffer->bpp, surface->alphabits, surface->colororder,
                                       (VGALVAL_lx740renderingmode & VGAL_RM_LUMINANCE) != 0);
    VGALVAL_surface_format_lx = format.code;
    VGALVAL_surface_format = format.software;
    if (!format.keeps_cmode)
        VGALVAL_lx740_cmode_msaa = format.cmode_msaa;

    VGALVAL_maskbuffer = surface->mask;
    if (surface->mask)
        VGALVAL_lx740renderingmode |= VGAL_RM_MASKBUFFER;

    VGALVAL_lx740_ctxdirty = 0xFFFFFFFFu;
    VGALVAL_lx740_dirty = VGAL_DIRTY_COLORBUFFER | VGAL_DIRTY_MASKBUFFER | VGAL_DIRTY_PEBASIC;
    VGALVAL_currentimage = NULL;
    currentpaint = NULL;
    VGALVAL_currentxptmode = -1;
    VGALFUNC_al_lx740_ucode_clear_mode();

    PEW(LX_PE_OVG_FRAME_CTRL, 0);
    busy = cglReadMemReg32(LX_BUSY_STAT);
    PEW(LX_PE_OVG_BUF_SWAP, (surface->multisample ? 2u : (word32)VGALVAL_backbuffer) | ((busy >> 10) & 0x30000u));

    cglWriteMemReg32(LX_MISC_CTRL, MISC_CTRL_VALUE);
    cglWriteMemReg32(LX_READBACK_CTRL, 0);
    cglWriteMemReg32(LX_INTR_CLEAR, 0xFFFFFFFFu);
    cglWriteMemReg32(LX_SP_WINCLIP_LT, 0);
    cglWriteMemReg32(LX_SP_WINCLIP_RB, 0x07FF07FFu);
    {
        const word32 regs[2] = {LX_SPC_TX1_UVMASK, LX_SPC_RASTER_SIZE};
        const word32 values[2] = {0x1FFF1FFFu, 2};
        cglWriteSPCRegs(regs, values, 2);
    }
    cglSetMiscNT(0, 4);
    cglSetAllVPInputNT(0, 0, 0);
    for (i = 0; i < 8; ++i)
        cglSetVPInputNT(i, 0, 4, 0);
    cglFlushVPInputNT();

    VPCTRLW(LX_DMA_IN_MODE, 1);
    VPCTRLW(LX_VP_CTRL3, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    PEW(LX_PE_OVG_ATEST_EN, 0);
    PEW(LX_PE_OVG_CHROMAKEY_CTRL, 0);
    PEW(LX_PE_OVG_TX0_CHROMAKEY_CTRL, 0);
    PEW(LX_PE_OVG_TX1_CHROMAKEY_CTRL, 0);
    PEW(LX_PE_OVG_ALTCOV_EN, 0);
    PEW(LX_PE_OVG_MSAA_ENABLE, 0);
    PEW(LX_PE_OVG_CE_MODE, 0);

    if (VGALVAL_lx740renderingmode & VGAL_RM_EMPTY)
        return 1;
    return lx_xptinit(xptinfo.xsize);
}

/* ---- Finish and swap ---- */

int VGHAL_ALfinish(void)
{
    ALcallbackXPT callback;
    int count, result = 0;

    XPTW(LX_XPT_SYNC_H, 0);
    if (VGALVAL_lx740renderingmode & VGAL_RM_EMPTY) {
        PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
        XPTW(LX_XPT_SYNC_H, 0);
        WAITCMDDONE();
        cglWaitBusy(BUSY_AFTER_COPY, 0);
        return 0;
    }
    if (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE)
        VGALFUNC_lx_fsaa();
    VGALFUNC_al_lx740_free_all_list(1);

    if (cglReadMemReg32(LX_INTR_STAT) & INTR_XPT_OVERFLOW) {
        XPTW(LX_XPT_INIT, 4);
        cglWriteMemReg32(LX_INTR_CLEAR, 0xC0);
        callback = ALcallbackXPTOVF;
        count = (int)xptinfo.xsize;
    } else {
        callback = ALcallbackXPTNOVF;
        count = (int)getXptNum();
    }
    if (!callback)
        return 0;
    {
        const int wanted = callback(count, (int)cglReadXPTReg(LX_XPT_NUMMAX, CGL_READBACK_WAIT));
        if (wanted != 0 && (word32)wanted != xptinfo.xsize)
            result = lx_xptinit((unsigned)wanted) ? 0 : 1;
    }
    XPTW(LX_XPT_NUMMAX, 0);
    VGALVAL_xptbufstatus = 1;
    return result;
}

void VGHAL_ALswapBuffers(OVGcontext *context)
{
    ALbuffer *previous;
    if (!context->drawSurface->mode)
        return;
    if (VGALVAL_lx740_dirty & VGAL_DIRTY_COLORBUFFER) {
        lx_colorbuffer();
        VGALVAL_lx740_dirty &= ~VGAL_DIRTY_COLORBUFFER;
    }
    if (!(VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE)) {
        XPTW(LX_XPT_SYNC_H, 0);
        PEW(LX_PE_OVG_BUF_SWAP, VGALVAL_backbuffer == 1 ? 0x10000u : 1u);
    } else {
        PEW(LX_PE_OVG_BUF_SWAP, VGALVAL_backbuffer == 1 ? 0x10002u : 2u);
    }
    VGALVAL_backbuffer ^= 1;
    previous = colorbuffer;
    colorbuffer = frontbuffer;
    frontbuffer = previous;
    if (!(VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE))
        VGALVAL_surface_addr = colorbuffer->addr;
    VGALVAL_colorbuffer_addr = colorbuffer->addr;
    WAITCMDDONE();
}
