#ifndef VG_AL_LX740_MEMORY_H
#define VG_AL_LX740_MEMORY_H

/* Word copies between CPU memory and GPU memory offsets. */

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

void VGALFUNC_TVGreadMemory32(word32 *dst, word32 src, word32 num);
void VGALFUNC_TVGwriteMemory32(word32 dst, const word32 *src, word32 num);

#ifdef __cplusplus
}
#endif

#endif
