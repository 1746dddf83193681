/* The alpha-mask buffer of a surface, cleared to all ones by the pixel engine. */
#include "EGL/porting/egl_porting.h"

#include "EGL/egl/egl_lx_types.h"
#include "cgl.h"
#include "vg/al_lx740/vg_al_lx740.h"

/* The channel mask is context dirty bit 30 of the acceleration layer. */
#define CTXDIRTY_CHANNEL_MASK 0x40000000u
#define MASK_CLEAR_FORMAT 24 /* 16-bit units */

EGLint PORTL_AlphaMaskPitch(EGLint width, EGLint bits)
{
    EGLint units;
    switch (bits) {
    case 1: units = (width + 15) / 16; break;
    case 4: units = (width + 3) / 4; break;
    case 8: units = (width + 1) / 2; break;
    case 16: units = width; break;
    default: units = width * 2; break;
    }
    return (units + 7) / 8 * 8;
}

uint32_t PORTL_AlphaMaskFormat(EGLint pitch)
{
    if (pitch == 8)
        return 0x80000u | MASK_CLEAR_FORMAT;
    if (pitch < 8192)
        return (((uint32_t)pitch << 16) & 0x3FF80000u) | MASK_CLEAR_FORMAT;
    return 0x20000000u | MASK_CLEAR_FORMAT;
}

static void clear_to_ones(EGLGpuAddress addr, EGLint height, EGLint pitch)
{
    const uint32_t format = PORTL_AlphaMaskFormat(pitch);
    cglWritePEReg1(LX_PE_OVG_CCACHE_FLUSH, 1);
    cglWritePEReg1(LX_PE_OVG_CH_MASK, 0);
    cglWritePEReg1(LX_PE_OVG_CBUF_CVAL, 0xFFFFFFFFu);
    cglWritePEReg1(LX_PE_OVG_CBUF_CRLT, 0);
    cglWritePEReg1(LX_PE_OVG_CBUF_CRRB, (uint32_t)(height - 1) | ((uint32_t)(pitch - 1) << 16));
    cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, addr);
    cglWritePEReg1(LX_PE_OVG_CBUF1_ADDR, addr);
    cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, format);
    cglWritePEReg1(LX_PE_OVG_CBUF1_FMT, format);
    /* After a multisampled surface the pixel engine still writes the third pair: point it at
     * the mask too, so the clear lands there whichever pair is selected. */
    cglWritePEReg1(LX_PE_OVG_CBUF2_ADDR, addr);
    cglWritePEReg1(LX_PE_OVG_CBUF2_FMT, format);
    cglWritePEReg1(LX_PE_OVG_CBUF_CSTART, 1);
    cglWaitIntrOn(CGL_INTR_PE_SYNC);
    cglWritePEReg1(LX_PE_OVG_SYNC, 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_PE_SYNC);
    /* The clear changed the colour buffers and the channel mask behind the acceleration layer:
     * its next drawing must write them again. */
    VGALVAL_lx740_dirty |= VGAL_DIRTY_COLORBUFFER;
    VGALVAL_lx740_ctxdirty |= CTXDIRTY_CHANNEL_MASK;
}

EGLGpuAddress PORTL_NativeGetAlphaMaskBuffer(EGLint width, EGLint height, EGLint bits)
{
    EGLGpuAddress addr = EGL_PORT(MemAlloc)(width, height, bits, EGL_BUFFER_ALPHA_MASK);
    if (addr == EGL_NO_GPU_ADDRESS)
        return EGL_NO_GPU_ADDRESS;
    if (height > 0 && width > 0)
        clear_to_ones(addr, height, PORTL_AlphaMaskPitch(width, bits));
    return addr;
}
