#include "vg/al_lx740/vg_al_lx740_query.h"

#include <stddef.h>

const VGubyte *VGHAL_ALgetString(VGStringID name)
{
    switch (name) {
    case VG_VENDOR: return (const VGubyte *)"ORLENZ Corporation";
    case VG_RENDERER: return (const VGubyte *)"LX740";
    case VG_VERSION: return (const VGubyte *)"1.1";
    case VG_EXTENSIONS: return (const VGubyte *)"";
    default: return NULL;
    }
}

/* The GPU draws every image format and every path data type. */
VGHardwareQueryResult VGHAL_ALimageFormatQuery(VGImageFormat format)
{
    (void)format;
    return VG_HARDWARE_ACCELERATED;
}

VGHardwareQueryResult VGHAL_ALpathDataTypeQuery(VGPathDatatype datatype)
{
    (void)datatype;
    return VG_HARDWARE_ACCELERATED;
}
