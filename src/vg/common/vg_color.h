/* An OpenVG colour: four floats, red, green, blue and alpha, nominally 0..1 and non-linear
 * sRGB unless a format says otherwise. */
#ifndef OVG_VG_COMMON_VG_COLOR_H
#define OVG_VG_COMMON_VG_COLOR_H

#include "vg/common/vg_value.h"

typedef struct OVGcolor {
    VGvalue r, g, b, a;
} OVGcolor;

#endif /* OVG_VG_COMMON_VG_COLOR_H */
