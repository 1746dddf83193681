/* The OpenVG paint record and the operations that count its holders and delete it. The record
 * holds what the object table, the deletion and the acceleration layer use; `next` stays first. */
#ifndef OVG_VG_COMMON_VG_PAINT_H
#define OVG_VG_COMMON_VG_PAINT_H

#include <VG/openvg.h>

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

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_PAINT_H */
