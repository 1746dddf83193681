/* vgGetString and vgHardwareQuery: the acceleration layer's answers. */
#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740_query.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_image_format.h"

const VGubyte *vgGetString(VGStringID name)
{
    return VGHAL_ALgetString(name);
}

VGHardwareQueryResult vgHardwareQuery(VGHardwareQueryType key, VGint setting)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    if (!c)
        return VG_HARDWARE_UNACCELERATED;
    if (key == VG_IMAGE_FORMAT_QUERY && VGFUNC_IsValidImageFormat((VGImageFormat)setting))
        return VGHAL_ALimageFormatQuery((VGImageFormat)setting);
    if (key == VG_PATH_DATATYPE_QUERY && setting >= VG_PATH_DATATYPE_S_8 && setting <= VG_PATH_DATATYPE_F)
        return VGHAL_ALpathDataTypeQuery((VGPathDatatype)setting);
    VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
    return VG_HARDWARE_UNACCELERATED;
}
