/* Process-wide state of the OpenVG front end and the first-error rule. */
#include "vg/common/vg_frame.h"

#include <stddef.h>
#include <stdint.h>

OVGcontext *VGVAL_vgcurrentcontexthandle;
int vgisinitialized;
int vgnonzerosizedsurface;

void VGFUNC_RecordError(OVGcontext *context, VGErrorCode error)
{
    if (error != VG_NO_ERROR && context->error == VG_NO_ERROR)
        context->error = error;
}

int VGFUNC_IsBadPointer32(const void *values)
{
    return values == NULL || ((uintptr_t)values & 3u) != 0;
}

VGErrorCode vgGetError(void)
{
    OVGcontext *context = VGVAL_vgcurrentcontexthandle;
    VGErrorCode error;
    if (!context)
        return VG_NO_CONTEXT_ERROR;
    error = context->error;
    context->error = VG_NO_ERROR;
    return error;
}
