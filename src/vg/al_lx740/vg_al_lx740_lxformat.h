#ifndef VG_AL_LX740_LXFORMAT_H
#define VG_AL_LX740_LXFORMAT_H

/* The GPU's texture and colour-buffer format code of an OpenVG image format. */

#include <VG/openvg.h>

#include "cgl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* 0 for a value with no code of its own. */
word32 VGALFUNC_TVGgetLXImageFormat(VGImageFormat format);

#ifdef __cplusplus
}
#endif

#endif
