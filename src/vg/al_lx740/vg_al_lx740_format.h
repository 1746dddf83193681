#ifndef VG_AL_LX740_FORMAT_H
#define VG_AL_LX740_FORMAT_H

/* From an OpenVG image format to the GPU's codes: the texture and colour-buffer format code,
 * and the copy engine's colour mode. */

#include <VG/openvg.h>

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Indexed by format AND 15; cmode_table1 serves the alpha-first channel orders (bit 6). */
extern const word32 cmode_table0[16];
extern const word32 cmode_table1[16];

word32 VGALFUNC_TVGgetLXImageFormat(VGImageFormat format);
word32 VGALFUNC_lx_copy_cmode(VGImageFormat format);

#ifdef __cplusplus
}
#endif

#endif
