/* The pixel engine's YUV-to-RGB conversion for YUV images. */
#include "vg/al_lx740/vg_al_lx740_setstate.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"

#define YUV_COEFFICIENTS 9u

void VGALFUNC_lx_set_yuv_param(void)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    word32 coef[YUV_COEFFICIENTS];
    word32 i;
    VGALVAL_lx740_ctxdirty |= (word32)ctx->dirty;
    if (VGALVAL_lx740_ctxdirty & OVG_DIRTY_YUV_RGB) {
        PEW(LX_PE_OVG_YUV_CTRL, ctx->yuv2rgbConversion);
        for (i = 0; i < YUV_COEFFICIENTS; ++i)
            coef[i] = ctx->yuv2rgbCoefficient[i];
        VGALFUNC_lx_writeregs(CGL_OP_PE_WRITE, LX_PE_OVG_YUV_COEF00, coef, YUV_COEFFICIENTS);
    }
    ctx->dirty = 0;
}
