/* The OpenVG path record and its deletion. The record holds what the object table, the deletion
 * and the acceleration layer use; `next` stays first. */
#ifndef OVG_VG_COMMON_VG_PATH_H
#define OVG_VG_COMMON_VG_PATH_H

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OVGpath {
    struct OVGpath *next; /* chain link in the object table */
    VGint refCount;       /* fonts holding it as a glyph */
    VGboolean deleted;    /* destroyed while still held */
    void *aldep;          /* the acceleration layer's record of the path */
} OVGpath;

/* Frees the record and its layer record when nothing holds it; else marks it deleted. */
void VGFUNC_DeletePath(OVGpath *path);

/* Object parameters: count values read or written, scalar 1 from the single-value entry points.
 * Each returns the error to record. No path parameter is kept yet: each answers
 * VG_ILLEGAL_ARGUMENT_ERROR. */
VGErrorCode VGFUNC_SetPathParami(OVGpath *path, VGint param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetPathParamf(OVGpath *path, VGint param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetPathParami(const OVGpath *path, VGint param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetPathParamf(const OVGpath *path, VGint param, VGint count, VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetPathParamx(const OVGpath *path, VGint param, VGint count, VGfixed *values, int scalar);
VGErrorCode VGFUNC_GetPathVector(const OVGpath *path, VGint param, VGint *result);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_PATH_H */
