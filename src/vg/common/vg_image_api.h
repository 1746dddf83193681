/* Checks the image entry points share. */
#ifndef OVG_VG_COMMON_VG_IMAGE_API_H
#define OVG_VG_COMMON_VG_IMAGE_API_H

#include "vg/common/vg_context.h"
#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The image of handle in the current context's table, else null with VG_BAD_HANDLE_ERROR. */
OVGimage *VGFUNC_FindImageOrError(OVGcontext *c, VGImage handle);
/* 1 with VG_IMAGE_IN_USE_ERROR recorded when image is bound as a render target, else 0. */
int VGFUNC_RenderTargetError(OVGcontext *c, const OVGimage *image);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_IMAGE_API_H */
