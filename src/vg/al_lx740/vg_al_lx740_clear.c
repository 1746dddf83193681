/* The two primitive clears, raster fills through the SPC and clears of whole GPU buffers. */
#include "vg/al_lx740/vg_al_lx740_clear.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

#define SPC_SYNC_INTERRUPT 0x10000000u
/* The SPC command that ends a raster fill: a pixel-engine write of LX_PE_OVG_CCACHE_FLUSH. */
#define RASTER_FILL_END0 0x318E000u
#define RASTER_FILL_END1 0x40000201u
#define TILE 2048u
#define CTXDIRTY_AFTER_CLEAR 0x40001084u      /* bits 30, 12, 7 and 2 */
#define CTXDIRTY_AFTER_RASTER_CLEAR 0xC0001084u /* bits 31, 30, 12, 7 and 2 */
#define CTXDIRTY_AFTER_SLOW_CLEAR 0x80001086u   /* bits 31, 12, 7, 2 and 1 */

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

void VGALFUNC_lx_mark_state_stale(word32 ctxdirty)
{
    VGALVAL_lx740_ctxdirty |= ctxdirty;
    VGALVAL_lx740_dirty |= VGAL_DIRTY_COLORBUFFER | VGAL_DIRTY_PEBASIC;
    VGALVAL_currentimage = NULL;
    VGALVAL_changepepipe = 1;
}

void VGALFUNC_lx_after_target_change(word32 ctxdirty)
{
    VGALFUNC_lx_mark_state_stale(ctxdirty);
    VGALVAL_lx740_dirty |= VGAL_DIRTY_MASKBUFFER;
}

void VGALFUNC_lx_colour_buffer_registers(word32 *addr_reg, word32 *fmt_reg)
{
    if (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE)
        *addr_reg = LX_PE_OVG_CBUF2_ADDR, *fmt_reg = LX_PE_OVG_CBUF2_FMT;
    else if (VGALVAL_backbuffer == 1)
        *addr_reg = LX_PE_OVG_CBUF1_ADDR, *fmt_reg = LX_PE_OVG_CBUF1_FMT;
    else
        *addr_reg = LX_PE_OVG_CBUF0_ADDR, *fmt_reg = LX_PE_OVG_CBUF0_FMT;
}

void VGALFUNC_lx_point_colour_buffer(word32 addr, word32 format)
{
    word32 addr_reg, fmt_reg;
    VGALFUNC_lx_colour_buffer_registers(&addr_reg, &fmt_reg);
    PEW(addr_reg, addr);
    PEW(fmt_reg, format);
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

void VGALFUNC_lx_spc_sync(void)
{
    const word32 sync = CGL_SPC_SYNC;
    cglWaitIntrOn(SPC_SYNC_INTERRUPT);
    VGALFUNC_lx_spc_command(&sync, 1);
    cglWaitIntr();
    cglWaitIntrOff(SPC_SYNC_INTERRUPT);
}

/* One raster fill: [target select and address,] the fill, and the colour-cache flush after it. */
static void raster_fill(int targeted, word32 addr, word32 position, word32 size, word32 colour)
{
    const word32 target[2] = {target_select(), addr};
    const word32 fill[4] = {CGL_SPC_FILL, position, size, colour};
    const word32 end[2] = {RASTER_FILL_END0, RASTER_FILL_END1};
    if (targeted)
        VGALFUNC_lx_spc_command(target, 2);
    VGALFUNC_lx_spc_command(fill, 4);
    VGALFUNC_lx_spc_command(end, 2);
}

static word32 tile_end(word32 from, word32 last)
{
    const word32 end = from | (TILE - 1);
    return end < last ? end : last;
}

void VGALFUNC_lx_raster_fill_box(word32 addr, word32 stride, word32 bpp, const BBOXINFO *box, word32 colour,
                                 int untargeted_single)
{
    word32 top, left;
    if (untargeted_single && box->r < TILE && box->b < TILE) {
        raster_fill(0, addr, box->l | box->t << 16, (box->r - box->l) | (box->b - box->t) << 16, colour);
        return;
    }
    for (top = box->t; top <= box->b; top = tile_end(top, box->b) + 1) {
        const word32 bottom = tile_end(top, box->b);
        const word32 band = addr + (top / TILE) * TILE * stride;
        for (left = box->l; left <= box->r; left = tile_end(left, box->r) + 1) {
            const word32 right = tile_end(left, box->r);
            raster_fill(1, band + (left / TILE) * TILE * bpp / 8, (left % TILE) | (top % TILE) << 16,
                        (right - left) | (bottom - top) << 16, colour);
            if (right == box->r)
                break;
        }
        if (bottom == box->b)
            break;
    }
}

void VGALFUNC_lx_fastclear(const BBOXINFO *bb, word32 col, int mode, word32 buf_height, int msaa)
{
    const word32 left = msaa ? 4 * bb->l : bb->l, right = msaa ? 4 * bb->r + 3 : bb->r;
    const word32 top = mode ? buf_height - 1 - bb->b : bb->t, bottom = mode ? buf_height - 1 - bb->t : bb->b;
    const word32 clear[4] = {col, top | left << 16, bottom | right << 16, 1};
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_SYNC, 0);
    VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_CBUF_CVAL, clear, 4);
    PEW(LX_PE_OVG_EXT_SYNC, 0x80000000u);
    PEW(LX_PE_OVG_SYNC, 0);
}

void VGALFUNC_lx_slowclear(const BBOXINFO *bb, word32 color, int mode, word32 buf_height, int scissor, int msaa)
{
    const word32 top = mode ? buf_height - 1 - bb->b : bb->t, bottom = mode ? buf_height - 1 - bb->t : bb->b;
    const word32 window[4] = {top, bottom, bb->l, bb->r};
    RZW(LX_RZ_VG_MODE, scissor ? 0u : 0x10000u);
    RZW(LX_RZ_COLOR, color);
    VGALFUNC_lx_pe_reset(msaa);
    XPTW(LX_XPT_WWAIT_SYNC, 0x110Au);
    XPTW(LX_XPT_SWAP, 1);
    XPTW(LX_XPT_CACHE_FLUSH, 15);
    XPTW(LX_XPT_MODE, 16);
    VGALFUNC_lx_writeregs(CGL_OP_XPT_WRITE, LX_XPT_SCI_YT, window, 4);
    XPTW(LX_XPT_BUF_STAT, 0);
    XPTW(LX_XPT_INIT, 0);
    VPCTRLW(LX_TE_SYNC, 0);
    XPTW(LX_XPT_SWAP, 0x89u);
    XPTW(LX_XPT_SYNC, 0);
    VGALVAL_lx740_ctxdirty |= CTXDIRTY_AFTER_SLOW_CLEAR;
    VGALVAL_xptbufstatus = 1;
    VGALVAL_lx740_dirty |= VGAL_DIRTY_PEBASIC;
    VGALVAL_currentimage = NULL;
    VGALVAL_changepepipe = 1;
}

void VGALFUNC_lx_clearbuffer(word32 addr, word32 stride, word32 height, word32 cval)
{
    const word32 bits = stride * 8;
    const word32 value = cval ? 0xFFFFFFFFu : 0;
    word32 code, width, bpp;
    BBOXINFO whole;

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
    whole.l = 0, whole.r = width - 1, whole.t = 0, whole.b = height - 1;

    VGALFUNC_lx_pe_reset(0);
    PEW(LX_PE_OVG_CH_MASK, 0);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_MSAA_ENABLE, 0);
    VGALFUNC_lx_point_colour_buffer(addr, code | width << 16);
    PEW(LX_PE_OVG_SYNC, 0);

    if (bpp >= 8) {
        VGALFUNC_lx_fastclear(&whole, value, 0, height, 0);
        VGALFUNC_lx_mark_state_stale(CTXDIRTY_AFTER_CLEAR);
        return;
    }

    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, 256);
    PEW(LX_PE_OVG_ACOLOR0_EN, 0);
    PEW(LX_PE_OVG_ACOLOR1_EN, 0);
    WAITCMDDONE();
    VGALFUNC_lx_raster_fill_box(addr, stride, bpp, &whole, value, 1);
    VGALFUNC_lx_spc_sync();
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, 0);
    VGALFUNC_lx_mark_state_stale(CTXDIRTY_AFTER_RASTER_CLEAR);
}
