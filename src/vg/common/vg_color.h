/* An OpenVG colour: four floats, red, green, blue and alpha, nominally 0..1 and non-linear
 * sRGB unless a format says otherwise; and the colour helpers of the whole library. A packed
 * colour is one 32-bit word: R in bits 31..24, G 23..16, B 15..8, A 7..0. */
#ifndef OVG_VG_COMMON_VG_COLOR_H
#define OVG_VG_COMMON_VG_COLOR_H

#include "vg/common/vg_float_int.h"
#include "vg/common/vg_value.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OVGcolor {
    VGvalue r, g, b, a;
} OVGcolor;

/* Each component of a packed colour divided by 255. */
void VGFUNC_UnpackColor(OVGcolor *dst, VGuint c);
/* Each component limited to 0..1 (NaN as 0), times 255, rounded to nearest. */
VGuint VGFUNC_PackColor(const OVGcolor *src);
/* The colour limited to 0..1 (NaN as 0) and premultiplied by its alpha, then packed. */
VGuint VGFUNC_PackColorPre(const OVGcolor *src);
/* The colour limited to 0..1 (NaN as 0) and premultiplied by its alpha. */
void VGFUNC_Premultiplied(OVGcolor *dst, const OVGcolor *src);
/* Values first .. first + 3 of a setter as r, g, b, a. */
void VGFUNC_ColorAt(OVGcolor *dst, OVGvalues s, VGint first);
/* Each component limited to 0..1 (NaN as 0). */
void VGFUNC_ClampColor(OVGcolor *dst, const OVGcolor *src);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_COLOR_H */
