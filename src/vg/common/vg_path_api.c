/* The path entry points: handles and capabilities are checked here, in the order that decides
 * which error is recorded when several arguments are wrong; the path operations do the rest and
 * return the error to record. */
#include <stddef.h>
#include <stdint.h>

#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/al_lx740/vg_al_lx740_path.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_path.h"

/* The path of handle in the current context's table, or null with VG_BAD_HANDLE_ERROR. */
static OVGpath *pathOf(OVGcontext *c, VGPath handle)
{
    OVGpath *p = VGFUNC_FindPath(c->sharedState, handle);
    if (!p)
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
    return p;
}

/* 1 when path still has every bit of capability, else VG_PATH_CAPABILITY_ERROR. */
static int capable(OVGcontext *c, const OVGpath *path, VGbitfield capability)
{
    if (VGFUNC_GetCapability(path) & capability)
        return 1;
    VGFUNC_RecordError(c, VG_PATH_CAPABILITY_ERROR);
    return 0;
}

VGPath vgCreatePath(VGint pathFormat, VGPathDatatype datatype, VGfloat scale, VGfloat bias,
                    VGint segmentCapacityHint, VGint coordCapacityHint, VGbitfield capabilities)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p;

    if (!c)
        return VG_INVALID_HANDLE;
    if (pathFormat != VG_PATH_FORMAT_STANDARD) {
        VGFUNC_RecordError(c, VG_UNSUPPORTED_PATH_FORMAT_ERROR);
        return VG_INVALID_HANDLE;
    }
    if ((unsigned)datatype > VG_PATH_DATATYPE_F || scale == 0.0f) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return VG_INVALID_HANDLE;
    }
    p = VGFUNC_CreatePath(VG_PATH_FORMAT_STANDARD, datatype, scale, bias, segmentCapacityHint,
                          coordCapacityHint, capabilities);
    if (!p) {
        VGFUNC_RecordError(c, VG_OUT_OF_MEMORY_ERROR);
        return VG_INVALID_HANDLE;
    }
    VGFUNC_AddPath(c->sharedState, p);
    return (VGPath)VGFUNC_HandleOf(p);
}

void vgDestroyPath(VGPath path)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = c ? pathOf(c, path) : NULL;
    if (!p)
        return;
    VGFUNC_RemovePath(c->sharedState, p);
    VGFUNC_DeletePath(p);
}

void vgClearPath(VGPath path, VGbitfield capabilities)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = c ? pathOf(c, path) : NULL;
    if (p)
        VGFUNC_ClearPath(p, capabilities);
}

void vgRemovePathCapabilities(VGPath path, VGbitfield capabilities)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = c ? pathOf(c, path) : NULL;
    if (p)
        VGFUNC_RemoveCapability(p, capabilities);
}

VGbitfield vgGetPathCapabilities(VGPath path)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = c ? pathOf(c, path) : NULL;
    return p ? VGFUNC_GetCapability(p) & VG_PATH_CAPABILITY_ALL : 0;
}

void vgAppendPath(VGPath dstPath, VGPath srcPath)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *dst, *src;

    if (!c || !(dst = pathOf(c, dstPath)) || !(src = pathOf(c, srcPath)))
        return;
    if (capable(c, dst, VG_PATH_CAPABILITY_APPEND_TO) && capable(c, src, VG_PATH_CAPABILITY_APPEND_FROM))
        VGFUNC_RecordError(c, VGFUNC_AppendPath(dst, src));
}

void vgAppendPathData(VGPath dstPath, VGint numSegments, const VGubyte *pathSegments,
                      const void *pathData)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *dst;

    if (!c || !(dst = pathOf(c, dstPath)) || !capable(c, dst, VG_PATH_CAPABILITY_APPEND_TO))
        return;
    if (!pathSegments || !pathData || numSegments < 1) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    VGFUNC_RecordError(c, VGFUNC_AppendData(dst, numSegments, pathSegments, pathData));
}

void vgModifyPathCoords(VGPath dstPath, VGint startIndex, VGint numSegments, const void *pathData)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *dst;

    if (!c || !(dst = pathOf(c, dstPath)) || !capable(c, dst, VG_PATH_CAPABILITY_MODIFY))
        return;
    /* The range is compared without adding, so a huge count cannot wrap past the check. */
    if (!pathData || startIndex < 0 || numSegments < 1 || numSegments > dst->numSegments - startIndex) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    VGFUNC_RecordError(c, VGFUNC_ModifyCoord(dst, startIndex, numSegments, pathData));
}

void vgTransformPath(VGPath dstPath, VGPath srcPath)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *dst, *src;

    if (!c || !(dst = pathOf(c, dstPath)) || !(src = pathOf(c, srcPath)))
        return;
    if (capable(c, dst, VG_PATH_CAPABILITY_TRANSFORM_TO) &&
        capable(c, src, VG_PATH_CAPABILITY_TRANSFORM_FROM))
        VGFUNC_RecordError(c, VGFUNC_TransformPath(dst, src, &c->pathUserToSurface));
}

VGboolean vgInterpolatePath(VGPath dstPath, VGPath startPath, VGPath endPath, VGfloat amount)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *dst, *start, *end;
    VGboolean result = VG_FALSE;

    if (!c || !(dst = pathOf(c, dstPath)) || !(start = pathOf(c, startPath)) ||
        !(end = pathOf(c, endPath)))
        return VG_FALSE;
    if (!capable(c, dst, VG_PATH_CAPABILITY_INTERPOLATE_TO) ||
        !capable(c, start, VG_PATH_CAPABILITY_INTERPOLATE_FROM) ||
        !capable(c, end, VG_PATH_CAPABILITY_INTERPOLATE_FROM))
        return VG_FALSE;
    if (VGFUNC_RecordError(c, VGFUNC_InterpolatePath(dst, start, end, amount, &result)))
        return VG_FALSE;
    return result;
}

void vgDrawPath(VGPath path, VGbitfield paintModes)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = c ? pathOf(c, path) : NULL;

    if (!p)
        return;
    if (!(paintModes & (VG_STROKE_PATH | VG_FILL_PATH))) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    if (vgnonzerosizedsurface)
        VGFUNC_RecordError(c, VGHAL_ALdrawPath(p, paintModes));
}

/* ---- Path queries ---- */

/* A segment range inside path, compared without adding, so that a huge count cannot wrap past
 * the check. */
static int in_range(const OVGpath *path, VGint startSegment, VGint numSegments)
{
    return startSegment >= 0 && numSegments > 0 && numSegments <= path->numSegments - startSegment;
}

/* Null, or 4-byte aligned. */
static int aligned_or_null(const void *p)
{
    return ((uintptr_t)p & 3u) == 0;
}

VGfloat vgPathLength(VGPath path, VGint startSegment, VGint numSegments)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = c ? pathOf(c, path) : NULL;

    if (!p || !capable(c, p, VG_PATH_CAPABILITY_PATH_LENGTH))
        return -1.0f;
    if (!in_range(p, startSegment, numSegments)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return -1.0f;
    }
    return VGHAL_ALpathLength(p, startSegment, numSegments);
}

void vgPointAlongPath(VGPath path, VGint startSegment, VGint numSegments, VGfloat distance,
                      VGfloat *x, VGfloat *y, VGfloat *tangentX, VGfloat *tangentY)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = c ? pathOf(c, path) : NULL;

    if (!p)
        return;
    if (x && y && !capable(c, p, VG_PATH_CAPABILITY_POINT_ALONG_PATH))
        return;
    if (tangentX && tangentY && !capable(c, p, VG_PATH_CAPABILITY_TANGENT_ALONG_PATH))
        return;
    if (!in_range(p, startSegment, numSegments) || !aligned_or_null(x) || !aligned_or_null(y) ||
        !aligned_or_null(tangentX) || !aligned_or_null(tangentY)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    VGHAL_ALpointAlongPath(p, startSegment, numSegments, distance, x, y, tangentX, tangentY);
}

/* The path of handle with the bounds capability, and four outputs to write; else null with the
 * error recorded. */
static OVGpath *boundsPath(OVGcontext *c, VGPath handle, VGbitfield capability, VGfloat *minX,
                           VGfloat *minY, VGfloat *width, VGfloat *height)
{
    OVGpath *p = c ? pathOf(c, handle) : NULL;

    if (!p || !capable(c, p, capability))
        return NULL;
    if (!minX || !minY || !width || !height || !aligned_or_null(minX) || !aligned_or_null(minY) ||
        !aligned_or_null(width) || !aligned_or_null(height)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return NULL;
    }
    return p;
}

void vgPathBounds(VGPath path, VGfloat *minX, VGfloat *minY, VGfloat *width, VGfloat *height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = boundsPath(c, path, VG_PATH_CAPABILITY_PATH_BOUNDS, minX, minY, width, height);
    if (p)
        VGFUNC_RecordError(c, VGHAL_ALpathBounds(p, minX, minY, width, height));
}

void vgPathTransformedBounds(VGPath path, VGfloat *minX, VGfloat *minY, VGfloat *width,
                             VGfloat *height)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGpath *p = boundsPath(c, path, VG_PATH_CAPABILITY_PATH_TRANSFORMED_BOUNDS, minX, minY, width, height);
    if (p)
        VGFUNC_RecordError(c, VGHAL_ALpathTransformedBounds(p, minX, minY, width, height));
}
