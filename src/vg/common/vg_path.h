/* The OpenVG path record and its deletion. The record holds what the object table, the deletion
 * and the acceleration layer use; `next` stays first. */
#ifndef OVG_VG_COMMON_VG_PATH_H
#define OVG_VG_COMMON_VG_PATH_H

#include <VG/openvg.h>

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

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_PATH_H */
