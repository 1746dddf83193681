#ifndef VG_AL_LX740_SETSTATE_H
#define VG_AL_LX740_SETSTATE_H

/* State selection and validation before drawing: the validators run only the state writers
 * whose dirty bits are set, select the microcode for fill, stroke or image, and program the
 * rasterizer's XPT mode. */

#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Selects the microcode mode: 0 fill, 1 stroke (with the context's cap and join), other values
 * image. */
void VGALFUNC_lx_setstate(int mode);
/* Takes the context's dirty word over; when its YUV bit is set, loads the context's YUV-to-RGB
 * conversion into the pixel engine. */
void VGALFUNC_lx_set_yuv_param(void);
/* Takes the context's dirty bits over and brings the scissor, colour-transform and masking
 * bits of the rendering mode up to date. */
void VGALFUNC_lx_checkstate(void);
/* The scissor part of VGALFUNC_lx_checkstate, for rendering into the mask. */
void VGALFUNC_lx_setstate_render_to_mask_a(void);
/* Full validation for a path fill (mode 0) or stroke (1), and for an image (mode non-zero:
 * drawn without paint; lerp: filtered sampling). 0, or 1 when the paint or image state could
 * not be set up. */
int VGALFUNC_lx_setstate_path(int mode);
int VGALFUNC_lx_setstate_image(const OVGimage *image, int mode, int lerp);
/* Reduced validation for a drawing whose state is in place apart from the paint. */
int VGALFUNC_lx_setstate_path_minimum(int mode);
int VGALFUNC_lx_setstate_image_minimum(const OVGimage *image, int lerp);

#ifdef __cplusplus
}
#endif

#endif
