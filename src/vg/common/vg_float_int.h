/* Float-to-integer conversions of client values: saturated to the 32-bit range, NaN as 0, so
 * no value leads to an undefined conversion. */
#ifndef OVG_VG_COMMON_VG_FLOAT_INT_H
#define OVG_VG_COMMON_VG_FLOAT_INT_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Rounded toward zero. */
VGint VGFUNC_TruncToInt(VGfloat value);
/* Rounded down. */
VGint VGFUNC_FloorToInt(VGfloat value);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_FLOAT_INT_H */
