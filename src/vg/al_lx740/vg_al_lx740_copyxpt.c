/* Copies by the rasteriser: a textured rectangle that fills the destination from the source
 * image with an OpenVG tiling mode, texel by texel (nearest sampling). The texture coordinates
 * are single-precision floats, the texel scale the image size in pixels. */
#include "vg/al_lx740/vg_al_lx740_copy.h"

#include <string.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_color.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

#define CTXDIRTY_AFTER_XPT_COPY 0xC0001086u /* bits 31, 30, 12, 7, 2 and 1 */
#define WWAIT_SYNC 4362u
#define XPT_SWAP_BEGIN 1u
#define XPT_SWAP_END 137u
#define XPT_CACHE_FLUSH_ALL 15u
#define XPT_MODE_RECTANGLE 16u

typedef struct tiling {
    word32 vg_mode, wrap;
} tiling;

static tiling tiling_of(int mode)
{
    tiling t;
    switch (mode) {
    case VG_TILE_FILL: t.vg_mode = 15364u, t.wrap = 514u; break;
    case VG_TILE_PAD: t.vg_mode = 4u, t.wrap = 257u; break;
    case VG_TILE_REPEAT: t.vg_mode = 5124u, t.wrap = 0u; break;
    default: t.vg_mode = 10244u, t.wrap = 257u; break;
    }
    return t;
}

static word32 bits(float f)
{
    word32 w;
    memcpy(&w, &f, sizeof w);
    return w;
}

void VGALFUNC_lx_copy_xpt(int width, int height, int sx, int sy, int tiling_mode)
{
    const tiling t = tiling_of(tiling_mode);
    const float sw = (float)VGALVAL_src_width, sh = (float)VGALVAL_src_height;
    word32 adr, fmt;
    ChooseFormat();
    CopyInit();
    VGALFUNC_lx_colour_buffer_registers(&adr, &fmt);
    PEW(adr, (word32)VGALVAL_dst_addr);
    PEW(fmt, VGALVAL_dst_format_lx | (word32)((long long)VGALVAL_dst_stride * 8 / VGALVAL_dst_bpp) << 16);
    PEW(LX_PE_OVG_TX1_ADDR, (word32)VGALVAL_src_addr);
    PEW(LX_PE_OVG_TX1_SIZE, (word32)VGALVAL_src_twidth | (word32)VGALVAL_src_theight << 16);
    PEW(LX_PE_OVG_TX1_CHILDIMG_EN, 1);
    PEW(LX_PE_OVG_TX1_CHILDIMG_BBLT, (word32)VGALVAL_src_y | (word32)VGALVAL_src_x << 16);
    PEW(LX_PE_OVG_TX1_CHILDIMG_BBRB, (word32)(VGALVAL_src_y + VGALVAL_src_height - 1) |
                                         (word32)(VGALVAL_src_x + VGALVAL_src_width - 1) << 16);
    PEW(LX_PE_OVG_TX1_WRAP, t.wrap);
    if (tiling_mode == VG_TILE_FILL)
        PEW(LX_PE_OVG_TX1_PTFILL_COLOR,
            VGALFUNC_ConvPack(&VGALVAL_LX740_ALcontexthandle->tileFillColorClamp, VGALVAL_src_format_vg));

    RZW(LX_RZ_SCI_ENABLE, 0);
    RZW(LX_RZ_VG_MODE, t.vg_mode);
    RZW(LX_RZ_IMG_USCALE, (word32)VGALVAL_src_width);
    RZW(LX_RZ_IMG_VSCALE, (word32)VGALVAL_src_height);
    RZW(LX_RZ_IMG_IWF, bits(1.0f));
    RZW(LX_RZ_IMG_IWA, 0);
    RZW(LX_RZ_IMG_IWB, 0);
    RZW(LX_RZ_IMG_SF, bits(((float)sx + 0.5f) / sw));
    RZW(LX_RZ_IMG_TF, bits(((float)sy + 0.5f) / sh));
    RZW(LX_RZ_IMG_SA, bits(1.0f / sw));
    RZW(LX_RZ_IMG_TA, 0);
    RZW(LX_RZ_IMG_SB, 0);
    RZW(LX_RZ_IMG_TB, bits(1.0f / sh));
    XPTW(LX_XPT_WWAIT_SYNC, WWAIT_SYNC);
    XPTW(LX_XPT_SWAP, XPT_SWAP_BEGIN);
    XPTW(LX_XPT_CACHE_FLUSH, XPT_CACHE_FLUSH_ALL);
    XPTW(LX_XPT_MODE, XPT_MODE_RECTANGLE);
    XPTW(LX_XPT_SCI_YT, 0);
    XPTW(LX_XPT_SCI_YB, (word32)(height - 1));
    XPTW(LX_XPT_SCI_XL, 0);
    XPTW(LX_XPT_SCI_XR, (word32)(width - 1));
    XPTW(LX_XPT_BUF_STAT, 0);
    XPTW(LX_XPT_INIT, 0);
    VPCTRLW(LX_TE_SYNC, 0);
    XPTW(LX_XPT_SWAP, XPT_SWAP_END);
    XPTW(LX_XPT_SYNC, 0);

    VGALFUNC_lx_after_target_change(CTXDIRTY_AFTER_XPT_COPY);
    VGALVAL_xptbufstatus = 1;
}
