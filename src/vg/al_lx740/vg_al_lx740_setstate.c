#include "vg/al_lx740/vg_al_lx740_setstate.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"

static word32 stroke_mode(const OVGcontext *ctx)
{
    const word32 cap = ctx->strokeCapStyle == VG_CAP_BUTT    ? VGAL_UCODE_CAP_BUTT
                       : ctx->strokeCapStyle == VG_CAP_ROUND ? VGAL_UCODE_CAP_ROUND
                                                             : VGAL_UCODE_CAP_SQUARE;
    const word32 join = ctx->strokeJoinStyle == VG_JOIN_MITER    ? VGAL_UCODE_JOIN_MITER
                        : ctx->strokeJoinStyle == VG_JOIN_ROUND ? VGAL_UCODE_JOIN_ROUND
                                                                : VGAL_UCODE_JOIN_BEVEL;
    return cap | join | VGAL_UCODE_STROKE;
}

void VGALFUNC_lx_setstate(int mode)
{
    word32 ucode = VGAL_UCODE_IMAGE;
    if (mode == 0)
        ucode = VGAL_UCODE_FILL;
    else if (mode == 1)
        ucode = stroke_mode(VGALVAL_LX740_ALcontexthandle);
    VGALFUNC_al_lx740_ucode_set(ucode);
}
