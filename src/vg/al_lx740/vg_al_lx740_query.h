#ifndef VG_AL_LX740_QUERY_H
#define VG_AL_LX740_QUERY_H

/* The layer's answers to the OpenVG string and hardware queries. */

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Null for a name OpenVG does not define; the extensions are the empty string. */
const VGubyte *VGHAL_ALgetString(VGStringID name);
VGHardwareQueryResult VGHAL_ALimageFormatQuery(VGImageFormat format);
VGHardwareQueryResult VGHAL_ALpathDataTypeQuery(VGPathDatatype datatype);

#ifdef __cplusplus
}
#endif

#endif
