/* The OpenVG paint record and the operations that count its holders and delete it. The record
 * holds what the object table, the deletion and the acceleration layer use; `next` stays first. */
#ifndef OVG_VG_COMMON_VG_PAINT_H
#define OVG_VG_COMMON_VG_PAINT_H

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_image.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OVGpaint {
    struct OVGpaint *next;   /* chain link in the object table */
    VGint refCount;          /* contexts holding it as their fill or stroke paint */
    VGboolean deleted;       /* destroyed while still held */
    void *aldep;             /* the acceleration layer's record of the paint */
    OVGimage *paintPattern;  /* pattern image, holding a reference, or null */
} OVGpaint;

/* Frees the record and its layer record when no context holds it; else marks it deleted. */
void VGFUNC_DeletePaint(OVGpaint *paint);
void VGFUNC_IncPaint(OVGpaint *paint);
/* Releases one holder; a deleted paint whose last holder went is freed. */
void VGFUNC_DecPaint(OVGpaint *paint);

/* Object parameters: count values read or written, scalar 1 from the single-value entry points.
 * Each returns the error to record. No paint parameter is kept yet: each answers
 * VG_ILLEGAL_ARGUMENT_ERROR. */
VGErrorCode VGFUNC_SetPaintParami(OVGpaint *paint, VGint param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetPaintParamf(OVGpaint *paint, VGint param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_SetPaintParamx(OVGpaint *paint, VGint param, VGint count, const VGfixed *values, int scalar);
VGErrorCode VGFUNC_GetPaintParami(const OVGpaint *paint, VGint param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetPaintParamf(const OVGpaint *paint, VGint param, VGint count, VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetPaintParamx(const OVGpaint *paint, VGint param, VGint count, VGfixed *values, int scalar);
VGErrorCode VGFUNC_GetPaintVector(const OVGpaint *paint, VGint param, VGint *result);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_PAINT_H */
