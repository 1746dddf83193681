#include "vg/al_lx740/vg_al_lx740_draw.h"

#include <stdlib.h>

float *coordbuffer;
int coordbuffersize;

void VGALFUNC_al_lx740_draw_init(void)
{
    coordbuffer = NULL;
    coordbuffersize = 0;
}

void VGALFUNC_al_lx740_draw_terminate(void)
{
    free(coordbuffer);
    coordbuffer = NULL;
    coordbuffersize = 0;
}

VGErrorCode VGHAL_ALdrawImage(OVGimage *image)
{
    (void)image;
    return VG_NO_ERROR;
}

VGErrorCode VGHAL_ALdrawGlyphs(OVGfont *font, VGint count, const VGuint *indices, const VGfloat *adjustX,
                               const VGfloat *adjustY, VGbitfield paintModes, VGboolean allowAutoHinting)
{
    (void)font, (void)count, (void)indices, (void)adjustX, (void)adjustY, (void)paintModes;
    (void)allowAutoHinting;
    return VG_NO_ERROR;
}
