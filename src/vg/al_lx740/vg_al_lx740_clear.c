/* Clears of whole GPU buffers. */
#include "vg/al_lx740/vg_al_lx740_clear.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"

#define SPC_SYNC_INTERRUPT 0x10000000u
/* The SPC command that ends a raster fill: a pixel-engine write of LX_PE_OVG_CCACHE_FLUSH. */
#define RASTER_FILL_END0 0x318E000u
#define RASTER_FILL_END1 0x40000201u
#define TILE 2048u
#define CTXDIRTY_AFTER_CLEAR 0x40001084u      /* bits 30, 12, 7 and 2 */
#define CTXDIRTY_AFTER_RASTER_CLEAR 0xC0001084u /* bits 31, 30, 12, 7 and 2 */

void VGALFUNC_lx_pe_reset(int multisample)
{
    PEW(LX_PE_OVG_AM_EN, 0);
    PEW(LX_PE_OVG_CCLAMP2ALPHA_EN, 0);
    PEW(LX_PE_OVG_COLOR_PREMALPHA_EN, 0);
    PEW(LX_PE_OVG_BLEN_EN, 0);
    PEW(LX_PE_OVG_TX0_RED2ALPHA, 0);
    PEW(LX_PE_OVG_TX1_RED2ALPHA, 0);
    PEW(LX_PE_OVG_CTRANS_EN, 0);
    PEW(LX_PE_OVG_TX0_PAINT_SEL, 2);
    PEW(LX_PE_OVG_TX0_EN, 0);
    PEW(LX_PE_OVG_TX1_EN, 0);
    PEW(LX_PE_OVG_CCU_MPX_CTRL, 8);
    PEW(LX_PE_OVG_PREMALPHA_EN, 0);
    PEW(LX_PE_OVG_GAMMA_EN, 0);
    PEW(LX_PE_OVG_RGB2L_EN, 0);
    PEW(LX_PE_OVG_AALIAS_EN, 0);
    PEW(LX_PE_OVG_CTEST_EN, 0);
    PEW(LX_PE_OVG_COV2ALPHA, 0);
    if (multisample)
        PEW(LX_PE_OVG_MSAA_ENABLE, 1);
    PEW(LX_PE_OVG_ACOLOR0_EN, 0);
    PEW(LX_PE_OVG_ACOLOR1_EN, 0);
}

static void after_clear(word32 ctxdirty)
{
    VGALVAL_lx740_ctxdirty |= ctxdirty;
    VGALVAL_lx740_dirty |= VGAL_DIRTY_COLORBUFFER | VGAL_DIRTY_PEBASIC;
    VGALVAL_currentimage = NULL;
    VGALVAL_changepepipe = 1;
}

void VGALFUNC_lx_point_colour_buffer(word32 addr, word32 format)
{
    if (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) {
        PEW(LX_PE_OVG_CBUF2_ADDR, addr);
        PEW(LX_PE_OVG_CBUF2_FMT, format);
    } else if (VGALVAL_backbuffer == 1) {
        PEW(LX_PE_OVG_CBUF1_ADDR, addr);
        PEW(LX_PE_OVG_CBUF1_FMT, format);
    } else {
        PEW(LX_PE_OVG_CBUF0_ADDR, addr);
        PEW(LX_PE_OVG_CBUF0_FMT, format);
    }
}

void VGALFUNC_lx_spc_sync(void)
{
    const word32 sync = CGL_SPC_SYNC;
    cglWaitIntrOn(SPC_SYNC_INTERRUPT);
    VGALFUNC_lx_spc_command(&sync, 1);
    cglWaitIntr();
    cglWaitIntrOff(SPC_SYNC_INTERRUPT);
}

static word32 target_select(void)
{
    if (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE)
        return 0x2E000u;
    return VGALVAL_backbuffer == 1 ? 0x1E000u : 0xE000u;
}

void VGALFUNC_lx_spc_command(const word32 *words, word32 count)
{
    cglWriteSFifo32A(words, count);
    if (CglSFifoTermon)
        cglWriteSFifo32(CGL_TERMINATOR);
}

/* One raster fill: [target select and address,] the fill, and the colour-cache flush after it. */
static void raster_fill(int targeted, word32 addr, word32 size, word32 colour)
{
    const word32 target[2] = {target_select(), addr};
    const word32 fill[4] = {CGL_SPC_FILL, 0, size, colour};
    const word32 end[2] = {RASTER_FILL_END0, RASTER_FILL_END1};
    if (targeted)
        VGALFUNC_lx_spc_command(target, 2);
    VGALFUNC_lx_spc_command(fill, 4);
    VGALFUNC_lx_spc_command(end, 2);
}

static void raster_fills(word32 addr, word32 stride, word32 width, word32 height, word32 bpp, word32 colour)
{
    word32 top, left;
    if (width <= TILE && height <= TILE) {
        raster_fill(0, addr, (width - 1) | (height - 1) << 16, colour);
        return;
    }
    for (top = 0; top < height; top += TILE) {
        word32 rows = height - top < TILE ? height - top : TILE;
        word32 band = addr + top * stride;
        for (left = 0; left < width; left += TILE) {
            word32 columns = width - left < TILE ? width - left : TILE;
            raster_fill(1, band + left * bpp / 8, (columns - 1) | (rows - 1) << 16, colour);
        }
    }
}

void VGALFUNC_lx_clearbuffer(word32 addr, word32 stride, word32 height, word32 cval)
{
    const word32 bits = stride * 8;
    const word32 value = cval ? 0xFFFFFFFFu : 0;
    word32 code, width, bpp;

    XPTW(LX_XPT_SYNC_H, 0);
    if (bits > 255 && bits % 256 == 0) {
        code = 0, bpp = 32;
    } else if (bits > 127 && bits % 128 == 0) {
        code = 24, bpp = 16;
    } else if (bits > 63 && bits % 64 == 0) {
        code = 33, bpp = 8;
    } else if (bits >= 32 && bits % 32 == 0) {
        code = 48, bpp = 4;
    } else {
        code = 64, bpp = 1;
    }
    width = bits / bpp;

    VGALFUNC_lx_pe_reset(0);
    PEW(LX_PE_OVG_CH_MASK, 0);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_MSAA_ENABLE, 0);
    VGALFUNC_lx_point_colour_buffer(addr, code | width << 16);
    PEW(LX_PE_OVG_SYNC, 0);

    if (bpp >= 8) {
        const word32 clear[4] = {value, 0, (height - 1) | (width - 1) << 16, 1};
        PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
        PEW(LX_PE_OVG_SYNC, 0);
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_CBUF_CVAL, clear, 4);
        PEW(LX_PE_OVG_EXT_SYNC, 0x80000000u);
        PEW(LX_PE_OVG_SYNC, 0);
        after_clear(CTXDIRTY_AFTER_CLEAR);
        return;
    }

    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, 256);
    PEW(LX_PE_OVG_ACOLOR0_EN, 0);
    PEW(LX_PE_OVG_ACOLOR1_EN, 0);
    WAITCMDDONE();
    raster_fills(addr, stride, width, height, bpp, value);
    VGALFUNC_lx_spc_sync();
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, 0);
    after_clear(CTXDIRTY_AFTER_RASTER_CLEAR);
}
