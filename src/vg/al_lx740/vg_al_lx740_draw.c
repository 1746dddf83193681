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
