#ifndef VG_AL_LX740_COLOR_H
#define VG_AL_LX740_COLOR_H

/* Colour packing for the pixel engine: a colour as an image of a given OpenVG format would
 * store it, read back as RGBA8888 (red in bits 31-24, alpha in 7-0), and the sRGB transfer
 * functions with their 8-bit tables loaded into the pixel engine. */

#include "cgl.h"
#include "vg/common/vg_color.h"

#ifdef __cplusplus
extern "C" {
#endif

word32 VGALFUNC_ConvPack(const OVGcolor *c, VGImageFormat fmt);
float rgb2l(float r, float g, float b);
float Gamma(float x);     /* linear to non-linear */
float inv_Gamma(float x); /* non-linear to linear */

/* 8-bit linear to non-linear, and the inverse direction. */
extern const unsigned char gtable[256];
extern const unsigned char itable[256];

#ifdef __cplusplus
}
#endif

#endif
