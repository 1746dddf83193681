/* The context-parameter entry points: vgSet*, vgGet*, their fixed-point and vendor forms, and
 * vgGetVectorSize. */
#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_frame.h"

/* Vector setters: a negative count, or values missing or misaligned while count is not 0.
 * Records the error and answers 0 when the arguments are bad. */
static int setArgumentsOk(OVGcontext *c, VGint count, const void *values)
{
    if (count < 0 || (count != 0 && VGFUNC_IsBadPointer(values, 4))) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return 0;
    }
    return 1;
}

/* Vector getters: no room asked for, or values missing or misaligned. */
static int getArgumentsOk(OVGcontext *c, VGint count, const void *values)
{
    if (count <= 0 || VGFUNC_IsBadPointer(values, 4)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return 0;
    }
    return 1;
}

#define CURRENT_OR_RETURN(result)                           \
    OVGcontext *const c = VGVAL_vgcurrentcontexthandle;     \
    if (!c)                                                 \
    return result

void vgSeti(VGParamType type, VGint value)
{
    CURRENT_OR_RETURN();
    VGFUNC_RecordError(c, VGFUNC_SetContexti(c, type, 1, &value, 1));
}

void vgSetf(VGParamType type, VGfloat value)
{
    CURRENT_OR_RETURN();
    VGFUNC_RecordError(c, VGFUNC_SetContextf(c, type, 1, &value, 1));
}

void vgSetxEXT(VGParamType type, VGfixed value)
{
    CURRENT_OR_RETURN();
    VGFUNC_RecordError(c, VGFUNC_SetContextx(c, type, 1, &value, 1));
}

void vgSetiEXT(VGParamType type, VGuint value)
{
    CURRENT_OR_RETURN();
    VGFUNC_RecordError(c, VGFUNC_SetContextiEXT(c, type, 1, &value, 1));
}

void vgSetiv(VGParamType type, VGint count, const VGint *values)
{
    CURRENT_OR_RETURN();
    if (setArgumentsOk(c, count, values))
        VGFUNC_RecordError(c, VGFUNC_SetContexti(c, type, count, values, 0));
}

void vgSetfv(VGParamType type, VGint count, const VGfloat *values)
{
    CURRENT_OR_RETURN();
    if (setArgumentsOk(c, count, values))
        VGFUNC_RecordError(c, VGFUNC_SetContextf(c, type, count, values, 0));
}

void vgSetxvEXT(VGParamType type, VGint count, const VGfixed *values)
{
    CURRENT_OR_RETURN();
    if (setArgumentsOk(c, count, values))
        VGFUNC_RecordError(c, VGFUNC_SetContextx(c, type, count, values, 0));
}

void vgSetivEXT(VGParamType type, VGint count, const VGuint *values)
{
    CURRENT_OR_RETURN();
    if (setArgumentsOk(c, count, values))
        VGFUNC_RecordError(c, VGFUNC_SetContextiEXT(c, type, count, values, 0));
}

VGint vgGeti(VGParamType type)
{
    VGint value = 0;
    VGErrorCode error;
    CURRENT_OR_RETURN(0);
    error = VGFUNC_GetContexti(c, type, 1, &value, 1);
    VGFUNC_RecordError(c, error);
    return error ? 0 : value;
}

VGfloat vgGetf(VGParamType type)
{
    VGfloat value = 0.0f;
    VGErrorCode error;
    CURRENT_OR_RETURN(0.0f);
    error = VGFUNC_GetContextf(c, type, 1, &value, 1);
    VGFUNC_RecordError(c, error);
    return error ? 0.0f : value;
}

VGfixed vgGetxEXT(VGParamType type)
{
    VGfixed value = 0;
    VGErrorCode error;
    CURRENT_OR_RETURN(0);
    error = VGFUNC_GetContextx(c, type, 1, &value, 1);
    VGFUNC_RecordError(c, error);
    return error ? 0 : value;
}

void vgGetiv(VGParamType type, VGint count, VGint *values)
{
    CURRENT_OR_RETURN();
    if (getArgumentsOk(c, count, values))
        VGFUNC_RecordError(c, VGFUNC_GetContexti(c, type, count, values, 0));
}

void vgGetfv(VGParamType type, VGint count, VGfloat *values)
{
    CURRENT_OR_RETURN();
    if (getArgumentsOk(c, count, values))
        VGFUNC_RecordError(c, VGFUNC_GetContextf(c, type, count, values, 0));
}

void vgGetxvEXT(VGParamType type, VGint count, VGfixed *values)
{
    CURRENT_OR_RETURN();
    if (getArgumentsOk(c, count, values))
        VGFUNC_RecordError(c, VGFUNC_GetContextx(c, type, count, values, 0));
}

VGint vgGetVectorSize(VGParamType type)
{
    VGint size = 0;
    VGErrorCode error;
    CURRENT_OR_RETURN(0);
    error = VGFUNC_GetContextVector(c, type, &size);
    VGFUNC_RecordError(c, error);
    return error ? 0 : size;
}
