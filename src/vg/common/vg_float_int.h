/* Float-to-integer conversions of client values: saturated to the 32-bit range, NaN as 0, so
 * no value leads to an undefined conversion. And the client's values of a parameter setter,
 * whichever form (integer, float, 16.16 fixed point) the entry point took them in. */
#ifndef OVG_VG_COMMON_VG_FLOAT_INT_H
#define OVG_VG_COMMON_VG_FLOAT_INT_H

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Rounded toward zero. */
VGint VGFUNC_TruncToInt(VGfloat value);
/* Rounded down. */
VGint VGFUNC_FloorToInt(VGfloat value);
/* value limited to lo..hi; NaN is taken as 0. */
VGfloat VGFUNC_Clampf(VGfloat value, VGfloat lo, VGfloat hi);

typedef enum { OVG_FROM_INT, OVG_FROM_FLOAT, OVG_FROM_FIXED } OVGvaluekind;
typedef struct OVGvalues {
    OVGvaluekind kind;
    const void *values; /* VGint, VGfloat or VGfixed, as kind says */
} OVGvalues;

/* Value i as a float (fixed point through mxFixed2Float). */
VGfloat VGFUNC_FloatAt(OVGvalues s, VGint i);
/* Value i as an integer: float values rounded toward zero (TruncAt) or down (FloorAt). */
VGint VGFUNC_TruncAt(OVGvalues s, VGint i);
VGint VGFUNC_FloorAt(OVGvalues s, VGint i);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_FLOAT_INT_H */
