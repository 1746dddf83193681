/* Life of path records and their read-only parameters. */
#include "vg/common/vg_path.h"

#include <stdlib.h>

#include "mathx/mathx.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_arena.h"
#include "vg/common/vg_float_int.h"
#include "vg/common/vg_path_access.h"

#define MIN_SEGMENT_BYTES 256
#define MIN_COORD_BYTES 1024

/* A first buffer of the given capacity, or none (capacity 0) when it cannot be had now. */
static void *firstBuffer(VGint bytes, VGint *capacity)
{
    void *block = VGFUNC_HeapResize(NULL, (size_t)bytes);
    *capacity = block ? bytes : 0;
    return block;
}

OVGpath *VGFUNC_CreatePath(VGint format, VGPathDatatype type, VGfloat scale, VGfloat bias, VGint shint,
                           VGint chint, VGbitfield cap)
{
    OVGpath *path = (OVGpath *)VGFUNC_ArenaAlloc(sizeof(OVGpath));
    if (!path)
        return NULL;
    if (!VGHAL_ALcreatePath(path)) {
        VGFUNC_ArenaFree(path);
        return NULL;
    }
    path->segment = (VGubyte *)firstBuffer(shint > MIN_SEGMENT_BYTES ? shint : MIN_SEGMENT_BYTES, &path->segmentSize);
    path->data = firstBuffer(chint > MIN_COORD_BYTES ? chint : MIN_COORD_BYTES, &path->dataSize);
    path->format = format;
    path->datatype = type;
    path->scale = scale;
    path->bias = bias;
    path->cap = cap;
    path->numSegments = path->numCoords = 0;
    path->refCount = 0;
    path->deleted = VG_FALSE;
    path->next = NULL;
    path->dirty = path->invalid = 1;
    return path;
}

void VGFUNC_DeletePath(OVGpath *path)
{
    if (path->refCount >= 1) {
        path->deleted = VG_TRUE;
        return;
    }
    free(path->segment);
    free(path->data);
    VGHAL_ALdeletePath(path);
    VGFUNC_ArenaFree(path);
}

void VGFUNC_IncPath(OVGpath *path)
{
    path->refCount++;
}

void VGFUNC_DecPath(OVGpath *path)
{
    path->refCount--;
    if (path->deleted && path->refCount == 0)
        VGFUNC_DeletePath(path);
}

void VGFUNC_ClearPath(OVGpath *path, VGbitfield cap)
{
    path->numSegments = path->numCoords = 0;
    path->cap = cap;
    path->dirty = path->invalid = 1;
}

VGbitfield VGFUNC_GetCapability(const OVGpath *path)
{
    return path->cap;
}

void VGFUNC_RemoveCapability(OVGpath *path, VGbitfield bits)
{
    path->cap &= ~bits;
}

/* ---- Parameters ---- */

static int isPathParam(VGint param)
{
    return param >= VG_PATH_FORMAT && param <= VG_PATH_NUM_COORDS;
}

VGErrorCode VGFUNC_SetPathParami(OVGpath *path, VGint param, VGint count, const VGint *values, int scalar)
{
    (void)path, (void)count, (void)values, (void)scalar;
    return isPathParam(param) ? VG_NO_ERROR : VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_SetPathParamf(OVGpath *path, VGint param, VGint count, const VGfloat *values, int scalar)
{
    (void)path, (void)count, (void)values, (void)scalar;
    return isPathParam(param) ? VG_NO_ERROR : VG_ILLEGAL_ARGUMENT_ERROR;
}

/* The integer-valued parameters; 0 for scale and bias, which are floats. */
static int integerParam(const OVGpath *path, VGint param, VGint *value)
{
    switch (param) {
    case VG_PATH_FORMAT: *value = path->format; return 1;
    case VG_PATH_DATATYPE: *value = (VGint)path->datatype; return 1;
    case VG_PATH_NUM_SEGMENTS: *value = path->numSegments; return 1;
    case VG_PATH_NUM_COORDS: *value = path->numCoords; return 1;
    default: return 0;
    }
}

VGErrorCode VGFUNC_GetPathParamf(const OVGpath *path, VGint param, VGint count, VGfloat *values, int scalar)
{
    VGint whole;
    (void)scalar;
    if (count != 1 || !isPathParam(param))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (integerParam(path, param, &whole))
        values[0] = (VGfloat)whole;
    else
        values[0] = param == VG_PATH_SCALE ? path->scale : path->bias;
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_GetPathParami(const OVGpath *path, VGint param, VGint count, VGint *values, int scalar)
{
    (void)scalar;
    if (count != 1 || !isPathParam(param))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (!integerParam(path, param, &values[0]))
        values[0] = VGFUNC_TruncToInt(param == VG_PATH_SCALE ? path->scale : path->bias);
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_GetPathParamx(const OVGpath *path, VGint param, VGint count, VGfixed *values, int scalar)
{
    (void)scalar;
    if (count != 1 || (param != VG_PATH_SCALE && param != VG_PATH_BIAS))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    values[0] = mxFloat2Fixed(param == VG_PATH_SCALE ? path->scale : path->bias);
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_GetPathVector(const OVGpath *path, VGint param, VGint *result)
{
    (void)path;
    if (!isPathParam(param))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    *result = 1;
    return VG_NO_ERROR;
}
