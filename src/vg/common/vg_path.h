/* The OpenVG path record, its life, its read-only parameters and the path operations behind
 * the path entry points. The record keeps the segment command bytes and the coordinates exactly
 * as the application gave them, in the path's own datatype; scale and bias are applied only
 * when coordinates are read. The entry points check handles, capabilities and client pointers
 * before they call these operations; the operations return the error to record. `next` stays
 * first. */
#ifndef OVG_VG_COMMON_VG_PATH_H
#define OVG_VG_COMMON_VG_PATH_H

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_matrix.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OVGpath {
    struct OVGpath *next;    /* chain link in the object table */
    VGint format;            /* only 0, the standard format, is created */
    VGPathDatatype datatype; /* element type of the coordinates */
    VGfloat scale;           /* user value = stored value x scale + bias; never 0 */
    VGfloat bias;
    VGint numSegments;       /* command bytes stored */
    VGint numCoords;         /* coordinate elements stored */
    VGbitfield cap;          /* capabilities still granted */
    void *data;              /* numCoords packed elements of the datatype, in segment order */
    VGubyte *segment;        /* numSegments command bytes */
    VGint dirty;             /* 1 after creation and every change; the layer clears it when it
                                has dropped the path's cached GPU lists */
    VGboolean deleted;       /* destroyed while still held */
    VGfloat bbox[4];         /* last computed bounds: min x, min y, width, height */
    VGint refCount;          /* glyphs of fonts holding it */
    VGint segmentSize;       /* capacity of segment in bytes */
    VGint dataSize;          /* capacity of data in bytes */
    VGint invalid;           /* set with dirty on every change */
    void *aldep;             /* the acceleration layer's record of the path */
} OVGpath;

/* A new path with no segments: buffers of max(segment hint, 256) and max(coordinate hint,
 * 1024) bytes (a buffer that cannot be had now is left null with capacity 0 and allocated by
 * the first append), dirty. Null when the record or the layer's record cannot be had. */
OVGpath *VGFUNC_CreatePath(VGint format, VGPathDatatype type, VGfloat scale, VGfloat bias, VGint shint,
                           VGint chint, VGbitfield cap);
/* Frees the buffers, the layer record and the record when nothing holds the path; else marks it
 * deleted, and the VGFUNC_DecPath that drops the last holder frees it. */
void VGFUNC_DeletePath(OVGpath *path);
void VGFUNC_IncPath(OVGpath *path);
void VGFUNC_DecPath(OVGpath *path);
/* No segments and no coordinates (the buffers are kept), capabilities replaced, dirty. */
void VGFUNC_ClearPath(OVGpath *path, VGbitfield cap);
VGbitfield VGFUNC_GetCapability(const OVGpath *path);
void VGFUNC_RemoveCapability(OVGpath *path, VGbitfield bits);

/* Object parameters: count values read or written, scalar 1 from the single-value entry points.
 * Every path parameter is read-only: setting one succeeds and changes nothing. The getters take
 * count 1 only; the fixed-point getter answers only the scale and the bias. */
VGErrorCode VGFUNC_SetPathParami(OVGpath *path, VGint param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetPathParamf(OVGpath *path, VGint param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetPathParami(const OVGpath *path, VGint param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetPathParamf(const OVGpath *path, VGint param, VGint count, VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetPathParamx(const OVGpath *path, VGint param, VGint count, VGfixed *values, int scalar);
VGErrorCode VGFUNC_GetPathVector(const OVGpath *path, VGint param, VGint *result);

/* Path operations. Every size is computed in 64 bits; a buffer that would pass the 32-bit
 * capacity, or any allocation that fails, gives VG_OUT_OF_MEMORY_ERROR with the segments,
 * coordinates and counts unchanged. */

/* Appends num segment bytes (each below 26) and their coordinates, in the path's datatype and
 * aligned to its element size; VG_ILLEGAL_ARGUMENT_ERROR for a bad byte or a misaligned or null
 * data pointer. */
VGErrorCode VGFUNC_AppendData(OVGpath *path, VGint num, const VGubyte *segment, const void *data);
/* Appends all of src (which may be dst) converted to dst's datatype, scale and bias. */
VGErrorCode VGFUNC_AppendPath(OVGpath *dst, OVGpath *src);
/* Overwrites the coordinates of segments start to start + num - 1 with data in the path's
 * datatype. VG_ILLEGAL_ARGUMENT_ERROR for a range outside the path's segments or a misaligned
 * or null data pointer. Segments without coordinates change nothing, not even dirty. */
VGErrorCode VGFUNC_ModifyCoord(OVGpath *path, VGint start, VGint num, const void *data);
/* Appends src (which may be dst) transformed by m: horizontal and vertical lines become lines,
 * arcs get their transformed ellipse and, under a mirroring matrix, the other direction. */
VGErrorCode VGFUNC_TransformPath(OVGpath *dst, OVGpath *src, const OVGmatrix *m);
/* Appends to d the interpolation between s and e at amount; *result is VG_FALSE (with no
 * error) when s and e are not compatible and on every error. */
VGErrorCode VGFUNC_InterpolatePath(OVGpath *d, OVGpath *s, OVGpath *e, VGfloat amount, VGboolean *result);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_PATH_H */
