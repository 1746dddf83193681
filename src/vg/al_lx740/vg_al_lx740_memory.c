#include "vg/al_lx740/vg_al_lx740_memory.h"

void VGALFUNC_TVGreadMemory32(word32 *dst, word32 src, word32 num)
{
    cglReadMemory32A(src, dst, num);
}

void VGALFUNC_TVGwriteMemory32(word32 dst, const word32 *src, word32 num)
{
    cglWriteMemory32A(dst, src, num);
}
