#include "vg/al_lx740/vg_al_lx740_vgimage.h"

#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_format.h"
#include "vg/common/vg_image_format.h"

#define EGL_COLORSPACE_sRGB 0x3089
#define EGL_COLORSPACE_LINEAR 0x308A
#define EGL_ALPHA_FORMAT_NONPRE 0x308B
#define EGL_ALPHA_FORMAT_PRE 0x308C
#define FIRST_LINEAR_FORMAT 7

#define BUSY_CBUF_SELECT_SHIFT 24
#define MAX_CCACHE_LINE 0x100u
#define MMU_PITCH_BITS 0xC000u
#define CTXDIRTY_AFTER_COPY 0xC0001086u

int VGHAL_ALgetVGImage(const OVGimage *img, VGint *w, VGint *h, VGint *sw, VGint *sh, VGint *l, VGint *a,
                       VGuint *addr)
{
    const ALbuffer *buffer = img->buffer;
    const unsigned index = (unsigned)img->format & 15u;
    *w = buffer->width;
    *h = buffer->height;
    *sw = (buffer->width + 7) & 0xFFF8;
    *sh = buffer->height;
    *l = index < FIRST_LINEAR_FORMAT ? EGL_COLORSPACE_sRGB : EGL_COLORSPACE_LINEAR;
    *a = VGVAL_ispremult[index] ? EGL_ALPHA_FORMAT_PRE : EGL_ALPHA_FORMAT_NONPRE;
    *addr = buffer->addr;
    return 0;
}

void VGHAL_ALreleaseVGImage(const OVGimage *img, VGuint addr)
{
    (void)img, (void)addr;
}

/* The image into the surface buffer (sample 0) or back (sample 1); nothing without a buffer. */
static void copy_lent_image(const OVGimage *img, const VGuint *sbuf, VGint sstride, int sample)
{
    const ALbuffer *buffer = img->buffer;
    if (*sbuf == CGL_NO_ADDRESS)
        return;
    if (sample == 0)
        CopyScaleRect(*sbuf, sstride, buffer->addr, buffer->stride, buffer->width, buffer->height, img->format,
                      buffer->bpp, 0);
    else
        CopyScaleRect(buffer->addr, buffer->stride, *sbuf, sstride, buffer->width, buffer->height, img->format,
                      buffer->bpp, 1);
}

void VGHAL_ALbindVGImage(OVGcontext *context, const OVGimage *img, VGuint *pbuf, VGint pstride, VGuint *sbuf,
                         VGint sstride)
{
    (void)context, (void)pbuf, (void)pstride;
    copy_lent_image(img, sbuf, sstride, 0);
}

void VGHAL_ALunbindVGImage(OVGcontext *context, const OVGimage *img, VGuint *pbuf, VGint pstride, VGuint *sbuf,
                           VGint sstride)
{
    (void)context, (void)pbuf, (void)pstride;
    copy_lent_image(img, sbuf, sstride, 1);
}

/* ---- The copy ---- */

static void point_colour_buffer(word32 addr, word32 format)
{
    switch ((cglReadMemReg32(LX_BUSY_STAT) >> BUSY_CBUF_SELECT_SHIFT) & 3u) {
    case 0:
        PEW(LX_PE_OVG_CBUF0_ADDR, addr);
        PEW(LX_PE_OVG_CBUF0_FMT, format);
        break;
    case 1:
        PEW(LX_PE_OVG_CBUF1_ADDR, addr);
        PEW(LX_PE_OVG_CBUF1_FMT, format);
        break;
    default:
        PEW(LX_PE_OVG_CBUF2_ADDR, addr);
        PEW(LX_PE_OVG_CBUF2_FMT, format);
        break;
    }
}

/* The image as texture 1 drawn unchanged into the colour buffer: every colour stage off. */
static void texture_fill(word32 dst, int dstride, word32 src, int sstride, int width, int height,
                         VGImageFormat format, int bpp)
{
    static const word32 off[] = {
        LX_PE_OVG_TX1_PAINT_SEL, LX_PE_OVG_TX1_RED2ALPHA, LX_PE_OVG_TX1_CLAMP2ALPHA, LX_PE_OVG_TX1_PREMALPHA_EN,
        LX_PE_OVG_CCU_MPX_CTRL,  LX_PE_OVG_RGB2L_EN,      LX_PE_OVG_IMGCOMB_FUNC,    LX_PE_OVG_CTRANS_EN,
        LX_PE_OVG_PREMALPHA_EN,  LX_PE_OVG_GAMMA_EN,      LX_PE_OVG_CH_MASK,         LX_PE_OVG_ACOLOR0_EN,
        LX_PE_OVG_ACOLOR1_EN,    LX_PE_OVG_AALIAS_EN,     LX_PE_OVG_COV2ALPHA,       LX_PE_OVG_CCLAMP2ALPHA_EN,
        LX_PE_OVG_COLOR_PREMALPHA_EN, LX_PE_OVG_BLEN_EN,
    };
    const word32 code = VGALFUNC_TVGgetLXImageFormat(format);
    const word32 rect[4] = {CGL_SPC_RECT, 0, (word32)(width - 1) | (word32)(height - 1) << 16, 0};
    const word32 end[4] = {0x318E001u, 0x40000201u, 0x220000u, 0};
    const word32 uvmask_reg = LX_SPC_TX1_UVMASK, uvmask = 0x1FFF1FFFu;
    size_t i;

    cglWriteMemReg32(LX_SP_WINCLIP_LT, 0);
    cglWriteMemReg32(LX_SP_WINCLIP_RB, 0x07FF07FFu);
    cglWriteSPCRegs(&uvmask_reg, &uvmask, 1);
    point_colour_buffer(dst, code | (word32)(dstride * 2 / bpp) << 16);
    PEW(LX_PE_OVG_AM_EN, 0);
    PEW(LX_PE_OVG_CTEST_EN, 0);
    PEW(LX_PE_OVG_TXC_INVAL, 3);
    PEW(LX_PE_OVG_TX0_EN, 0);
    PEW(LX_PE_OVG_TX1_EN, 1);
    PEW(LX_PE_OVG_TX1_FILTER, 0);
    PEW(LX_PE_OVG_TXC_MODE, 0xF4);
    PEW(LX_PE_OVG_TX1_CHILDIMG_EN, 0);
    PEW(LX_PE_OVG_TX1_ADDR, src);
    PEW(LX_PE_OVG_TX1_SIZE, (word32)(sstride * 8 / bpp) | (word32)height << 16);
    PEW(LX_PE_OVG_TX1_FMT, code);
    PEW(LX_PE_OVG_TX1_WRAP, 0x101);
    for (i = 0; i < sizeof off / sizeof off[0]; ++i)
        PEW(off[i], 0);
    PEW(LX_PE_OVG_MSAA_ENABLE, 1);
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, MAX_CCACHE_LINE);
    WAITCMDDONE();
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
    /* The rectangle, then LX_PE_OVG_CCACHE_FLUSH and LX_PE_OVG_SYNC through the same FIFO. */
    VGALFUNC_lx_spc_command(rect, 4);
    VGALFUNC_lx_spc_command(end, 4);
    VGALFUNC_lx_spc_sync();
    PEW(LX_PE_OVG_MAX_CCACHE_LLEN, 0);
}

/* The surface buffer copied into the image by one copy-area entry at table position 0. */
static void engine_copy(word32 dst, int dstride, word32 src, int sstride, int width, int height,
                        VGImageFormat format, int bpp)
{
    const word32 src_skip = (word32)(sstride * 2 / bpp - width);
    const word32 dst_skip = (word32)(dstride * 8 / bpp - width);
    const word32 entry[4] = {
        (word32)(width - 1) | (word32)(height - 1) << 12 | VGALFUNC_lx_copy_cmode(format),
        (src_skip * 4 | dst_skip << 16) + (cglGetMmuMode() ? MMU_PITCH_BITS : 0),
        src,
        dst,
    };
    PEW(LX_PE_OVG_CE_MODE, 2);
    /* CP_START reads entry 0: the entry must not land wherever the last table write ended. */
    PEW(LX_PE_OVG_TABLE_ADDR, 0);
    VGALFUNC_lx_writetable(entry, 4);
    WAITCMDDONE();
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
    PEW(LX_PE_OVG_CP_START, 0);
    PEW(LX_PE_OVG_EXT_SYNC, 0x80000000u);
    PEW(LX_PE_OVG_CE_MODE, 0);
    WAITCMDDONE();
}

void CopyScaleRect(word32 dst, int dstride, word32 src, int sstride, int width, int height, VGImageFormat format,
                   int bpp, int sample)
{
    XPTW(LX_XPT_SYNC_H, 0);
    WAITCMDDONE();
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    if (sample == 0)
        texture_fill(dst, dstride, src, sstride, width, height, format, bpp);
    else
        engine_copy(dst, dstride, src, sstride, width, height, format, bpp);
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
    VGALFUNC_lx_mark_state_stale(CTXDIRTY_AFTER_COPY);
}
