/* The frame every OpenVG entry point follows: the process-wide current context, the first-error
 * rule and the client-pointer check. Handles are checked with the Find operations of the
 * current context's object table (vg_share.h). */
#ifndef OVG_VG_COMMON_VG_FRAME_H
#define OVG_VG_COMMON_VG_FRAME_H

#include "vg/common/vg_context.h"
#include "vg/common/vg_share.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The current context (null when none), one for the whole process. */
extern OVGcontext *VGVAL_vgcurrentcontexthandle;
/* Non-zero once the acceleration layer is up (vgInit), 0 before and after vgTerminate. */
extern int vgisinitialized;
/* 1 when the current drawing surface has a non-zero width and height, set at make-current. */
extern int vgnonzerosizedsurface;

/* Keeps error in the context only when no earlier error is waiting there; 0 is ignored. */
void VGFUNC_RecordError(OVGcontext *context, VGErrorCode error);

/* A pointer to 32-bit client values that is null or not 4-byte aligned. */
int VGFUNC_IsBadPointer32(const void *values);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_FRAME_H */
