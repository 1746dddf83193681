/* Scalar type of the OpenVG object records: a 32-bit float. */
#ifndef OVG_VG_COMMON_VG_VALUE_H
#define OVG_VG_COMMON_VG_VALUE_H

#include <VG/openvg.h>

typedef VGfloat VGvalue;

#endif /* OVG_VG_COMMON_VG_VALUE_H */
