/* The image clear of vgClearImage. */
#include "vg/al_lx740/vg_al_lx740_clear.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"
#include "vg/common/vg_image_format.h"

#define ONE_LONG_ROW 0x20000000u /* format word: one row of 8192 pixels */
#define CTXDIRTY_AFTER_FAST_CLEAR 0x40000000u     /* bit 30 */
#define CTXDIRTY_AFTER_RASTER_CLEAR 0xC0001084u   /* bits 31, 30, 12, 7 and 2 */
#define CACHE_LINE 256u

static word32 scaled(float c)
{
    return (word32)(c * 255.0f + 0.5f);
}

/* Row y of a buffer as the colour buffers address it: a 32-byte aligned address and the pixel
 * offset of the row's first pixel from it. */
static word32 aligned_row(const ALbuffer *buf, word32 y, word32 *offset)
{
    const word32 address = buf->addr + y * (word32)buf->stride;
    *offset = (address & 31u) * 8 / (word32)buf->bpp;
    return address & ~31u;
}

static int whole_rows(const ALbuffer *buf)
{
    return (buf->stride & (buf->bpp - 1)) == 0;
}

static void clear_packet(word32 value, word32 lt, word32 rb)
{
    const word32 words[4] = {value, lt, rb, 1};
    VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_CBUF_CVAL, words, 4);
}

static void fast_image_clear(const ALbuffer *buf, word32 code, const BBOXINFO *bbox, word32 value)
{
    word32 addr_reg, fmt_reg, y;
    VGALFUNC_lx_colour_buffer_registers(&addr_reg, &fmt_reg);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_CH_MASK, 0);
    PEW(LX_PE_OVG_SYNC, 0);
    if (whole_rows(buf)) {
        PEW(addr_reg, buf->addr);
        PEW(fmt_reg, code | ((word32)buf->stride * 8 / (word32)buf->bpp) << 16);
        clear_packet(value, bbox->t | bbox->l << 16, bbox->b | bbox->r << 16);
    } else {
        PEW(fmt_reg, code | ONE_LONG_ROW);
        for (y = bbox->t; y <= bbox->b; ++y) {
            word32 offset;
            PEW(addr_reg, aligned_row(buf, y, &offset));
            clear_packet(value, (offset + bbox->l) << 16, (offset + bbox->r) << 16);
        }
    }
    PEW(LX_PE_OVG_EXT_SYNC, 0x80000000u);
    PEW(LX_PE_OVG_SYNC, 0);
    VGALFUNC_lx_mark_state_stale(CTXDIRTY_AFTER_FAST_CLEAR);
}

/* 1- and 4-bit buffers: raster fills through the SPC, never across a 2048-pixel boundary, as
 * the fills' position and size fields hold 11 bits. */
static void raster_image_clear(const ALbuffer *buf, word32 code, const BBOXINFO *bbox, word32 colour)
{
    const word32 bpp = (word32)buf->bpp, stride = (word32)buf->stride;
    word32 addr_reg, fmt_reg, y;
    VGALFUNC_lx_colour_buffer_registers(&addr_reg, &fmt_reg);
    VGALFUNC_lx_pe_reset(0);
    PEW(LX_PE_OVG_CH_MASK, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    PEW(LX_PE_OVG_MSAA_ENABLE, 0);
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, CACHE_LINE);
    if (whole_rows(buf)) {
        PEW(fmt_reg, code | (stride * 8 / bpp) << 16);
        WAITCMDDONE();
        VGALFUNC_lx_raster_fill_box(buf->addr, stride, bpp, bbox, colour, 0);
    } else {
        PEW(fmt_reg, code | ONE_LONG_ROW);
        WAITCMDDONE();
        for (y = bbox->t; y <= bbox->b; ++y) {
            BBOXINFO row;
            const word32 addr = aligned_row(buf, y, &row.l);
            row.r = row.l + bbox->r;
            row.l += bbox->l;
            row.t = row.b = 0;
            VGALFUNC_lx_raster_fill_box(addr, stride, bpp, &row, colour, 0);
        }
    }
    VGALFUNC_lx_spc_sync();
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, 0);
    VGALFUNC_lx_after_target_change(CTXDIRTY_AFTER_RASTER_CLEAR);
}

void VGALFUNC_lx_clearimage(const ALbuffer *buf, VGImageFormat format, const BBOXINFO *bbox, const OVGcolor *col)
{
    const unsigned n = (unsigned)format & 15u;
    const word32 code = VGALFUNC_TVGgetLXImageFormat(format);
    OVGcolor c;
    VGALclearvalues v;
    if (!buf)
        return;
    XPTW(LX_XPT_SYNC_H, 0);
    c = VGALFUNC_lx_target_colour(col, n > 6, VGVAL_isluminance[n], VGVAL_ispremult[n]);
    v = VGALFUNC_lx_clear_values(code, scaled(c.r), scaled(c.g), scaled(c.b), scaled(c.a), VGVAL_ispremult[n]);
    if (buf->bpp > 7)
        fast_image_clear(buf, code, bbox, v.native);
    else
        raster_image_clear(buf, code, bbox, v.rgba);
}
