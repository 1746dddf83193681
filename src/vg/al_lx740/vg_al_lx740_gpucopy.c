/* The copies between images and the surface by the GPU copy engines: the variant is chosen by
 * the formats, overlap, scissoring, multisampling and line length. */
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_copy.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"

#define SAMPLES_SHIFT 2 /* four samples a pixel */

static void set_sides(const VGALtransferside *s, const VGALtransferside *d, VGImageFormat source_format)
{
    VGALFUNC_set_transfer_source(s);
    VGALFUNC_set_transfer_destination(d);
    VGALVAL_src_format_vg = source_format;
    VGALVAL_dst_channel_mask = 0;
    VGALVAL_dst_scale_x = 0;
    VGALVAL_dst_scale_y = 0;
}

/* The colour-buffer format holds line lengths of whole multiples of 8 pixels (1-bit lines
 * aside): other destinations are written one line at a time. */
static int needs_line_by_line(void)
{
    return VGALVAL_dst_twidth % 8 != 0 && VGALVAL_dst_bpp != 1;
}

static void converting_copy(int dx, int dy, const OVGrect *rect)
{
    if (needs_line_by_line())
        VGALFUNC_lx_copy_spc_line_by_line(dx, dy, rect);
    else
        VGALFUNC_lx_copy_spc(dx, dy, rect);
}

/* Raw pixels can be moved when both sides hold the same layout in whole bytes. */
static int same_layout(void)
{
    return VGALVAL_src_format == VGALVAL_dst_format && VGALVAL_src_linear == VGALVAL_dst_linear &&
           VGALVAL_src_pre == VGALVAL_dst_pre && VGALVAL_src_bpp > 4;
}

/* A copy of the whole source buffer to read from instead of the source; 0 when it cannot be
 * had. */
static word32 temporary_copy(int width, int bits)
{
    const word32 temp = VGALFUNC_VAlloc(width, VGALVAL_src_theight, bits, 32, 0, 0, 1);
    if (temp == CGL_NO_ADDRESS)
        return 0;
    VGALFUNC_lx_copy_ce_simple(temp, (word32)VGALVAL_src_addr, bits, VGALVAL_src_stride, VGALVAL_src_theight);
    VGALVAL_src_addr = temp;
    return temp;
}

int VGHAL_ALcopyImage(OVGimage *dst, int dx, int dy, OVGimage *src, const OVGrect *rect, int dither)
{
    VGALtransferside s, d;
    word32 temp = 0;
    (void)dither;
    VGALFUNC_lx_full_sync(0);
    s = VGALFUNC_image_side(src, 0);
    d = VGALFUNC_image_side(dst, 0);
    if (src->format == VG_EXT_YUV422) {
        VGALFUNC_lx_set_yuv_param();
        VGALVAL_lx740_ctxdirty &= ~(word32)OVG_DIRTY_YUV_RGB;
    }
    set_sides(&s, &d, src->format);
    if (s.addr == d.addr && s.bpp < 8) {
        temp = temporary_copy(VGALVAL_src_stride, 8);
        if (!temp)
            return VG_OUT_OF_MEMORY_ERROR;
    }
    /* One format code serves both colour spaces and both alpha conventions: only images that
     * agree in all three are copied as raw pixels. */
    if (same_layout()) {
        if (VGALVAL_src_addr == VGALVAL_dst_addr)
            VGALFUNC_lx_copy_ce_sameregion(dx, dy, rect);
        else
            VGALFUNC_lx_copy_ce(dx, dy, rect);
    } else {
        converting_copy(dx, dy, rect);
    }
    if (temp)
        VGALFUNC_VFree(temp);
    return 0;
}

int VGHAL_ALgetPixels(OVGimage *dst, int dx, int dy, const OVGrect *rect)
{
    VGALtransferside s, d;
    VGALFUNC_lx_full_sync(1);
    s = VGALFUNC_colourbuffer_side(0);
    d = VGALFUNC_image_side(dst, 0);
    set_sides(&s, &d, dst->format);
    if (VGALVAL_src_flip)
        converting_copy(dx, dy, rect);
    else if (same_layout())
        VGALFUNC_lx_copy_ce(dx, dy, rect);
    else
        VGALFUNC_lx_copy_spc(dx, dy, rect);
    return 0;
}

int VGHAL_ALsetPixels(int dx, int dy, OVGimage *src, const OVGrect *rect)
{
    const int scissoring = VGALVAL_LX740_ALcontexthandle->scissoring;
    VGALtransferside s, d;
    int result;
    if (VGALFUNC_scissored_away())
        return 0;
    VGALFUNC_lx_full_sync(0);
    result = VGALFUNC_set_pixels_by_software(dx, dy, src, rect);
    if (result >= 0)
        return result;
    s = VGALFUNC_image_side(src, 0);
    d = VGALFUNC_drawing_side(0);
    set_sides(&s, &d, src->format);
    if (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) {
        VGALVAL_dst_twidth >>= SAMPLES_SHIFT;
        VGALVAL_dst_scale_x = SAMPLES_SHIFT;
        if (scissoring)
            VGALFUNC_lx_copy_spc_scale_scissor(dx, dy, rect);
        else
            VGALFUNC_lx_copy_spc_scale(dx, dy, rect);
    } else if (scissoring) {
        VGALFUNC_lx_copy_spc_scissor(dx, dy, rect);
    } else if (!VGALVAL_dst_flip && same_layout()) {
        VGALFUNC_lx_copy_ce(dx, dy, rect);
    } else {
        VGALFUNC_lx_copy_spc(dx, dy, rect);
    }
    return 0;
}

int VGHAL_ALcopyPixels(int dx, int dy, const OVGrect *rect)
{
    const int scissoring = VGALVAL_LX740_ALcontexthandle->scissoring;
    const int multisample = (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE) != 0;
    VGALtransferside side;
    word32 temp = 0;
    if (VGALFUNC_scissored_away())
        return 0;
    VGALFUNC_lx_full_sync(0);
    side = VGALFUNC_drawing_side(0);
    side.linear = side.pre = 0;
    set_sides(&side, &side, VG_sRGBA_8888);
    if (multisample)
        VGALVAL_dst_scale_x = SAMPLES_SHIFT;
    if (scissoring || side.bpp < 8) {
        temp = temporary_copy(side.twidth, side.bpp);
        if (!temp)
            return VG_OUT_OF_MEMORY_ERROR;
    }
    if (multisample && scissoring)
        VGALFUNC_lx_copy_ce_scale_scissor(dx, dy, rect);
    else if (multisample || (!scissoring && side.bpp > 7))
        VGALFUNC_lx_copy_ce_sameregion(dx, dy, rect);
    else if (scissoring)
        VGALFUNC_lx_copy_spc_scissor(dx, dy, rect);
    else
        VGALFUNC_lx_copy_spc(dx, dy, rect);
    if (temp)
        VGALFUNC_VFree(temp);
    return 0;
}
