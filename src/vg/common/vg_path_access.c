/* Coordinate access of the path operations: tables, cursors, the sixteen readers, the sixteen
 * writers and the sixteen converters. All arithmetic is single precision; every loop walks
 * from the last element to the first. */
#include "vg/common/vg_path_access.h"

#include <stdlib.h>

#include "vg/common/vg_float_int.h"

const VGint VGVAL_numData[OVG_PATH_COMMANDS] = {0, 2, 2, 1, 1, 4, 6, 2, 4, 5, 5, 5, 5};
const VGint VGVAL_transNumData[OVG_PATH_COMMANDS] = {0, 2, 2, 2, 2, 4, 6, 2, 4, 5, 5, 5, 5};
const VGint VGVAL_normalizedNumData[OVG_PATH_COMMANDS] = {0, 2, 2, 2, 2, 6, 6, 6, 6, 5, 5, 5, 5};
const VGint VGVAL_normaltype[OVG_PATH_COMMANDS] = {
    OVG_NORMAL_CLOSE, OVG_NORMAL_MOVE,  OVG_NORMAL_LINE,  OVG_NORMAL_LINE, OVG_NORMAL_LINE,
    OVG_NORMAL_CURVE, OVG_NORMAL_CURVE, OVG_NORMAL_CURVE, OVG_NORMAL_CURVE, OVG_NORMAL_ARC,
    OVG_NORMAL_ARC,   OVG_NORMAL_ARC,   OVG_NORMAL_ARC};
const VGubyte VGVAL_pathtype[OVG_NORMAL_ARC] = {VG_CLOSE_PATH, VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_CUBIC_TO_ABS};
const VGint VGVAL_align[4] = {1, 2, 4, 4};
const VGint VGVAL_datashift[4] = {0, 1, 2, 2};

/* ---- Cursors ---- */

static const OVGpath *spath;
static VGint srcposition;
static VGfloat srcscale, srcbias;
static OVGpath *dpath;
static VGint dstposition;
static VGfloat dstscale, dstbias;

/* ---- Readers ---- */

#define READER(name, Type, value)                                        \
    static void name(VGfloat *dst, VGint n)                              \
    {                                                                    \
        const Type *src = (const Type *)spath->data + srcposition;       \
        VGint k;                                                         \
        for (k = n - 1; k >= 0; --k) {                                   \
            const VGfloat v = (VGfloat)src[k];                           \
            dst[k] = (value);                                            \
        }                                                                \
        srcposition += n;                                                \
    }
#define READERS(Name, Type)                                   \
    READER(Read##Name, Type, v)                               \
    READER(Read##Name##s, Type, v * srcscale)                 \
    READER(Read##Name##b, Type, v + srcbias)                  \
    READER(Read##Name##sb, Type, v * srcscale + srcbias)

READERS(Int8, VGbyte)
READERS(Int16, VGshort)
READERS(Int32, VGint)
READERS(Float, VGfloat)

static const OVGreadfunc readfunc[4] = {ReadInt8, ReadInt16, ReadInt32, ReadFloat};
static const OVGreadfunc readfunc_b[4] = {ReadInt8b, ReadInt16b, ReadInt32b, ReadFloatb};
static const OVGreadfunc readfunc_s[4] = {ReadInt8s, ReadInt16s, ReadInt32s, ReadFloats};
static const OVGreadfunc readfunc_sb[4] = {ReadInt8sb, ReadInt16sb, ReadInt32sb, ReadFloatsb};

/* ---- Stores of one user-unit value as an element ---- */

static VGint rounded(VGfloat value)
{
    return VGFUNC_FloorToInt(value + 0.5f);
}

/* The low bits of the rounded value, by way of the unsigned type so that the wrap is defined. */
static VGbyte storeInt8(VGfloat value)
{
    return (VGbyte)(VGubyte)rounded(value);
}

static VGshort storeInt16(VGfloat value)
{
    return (VGshort)(uint16_t)rounded(value);
}

static VGint storeInt32(VGfloat value)
{
    return rounded(value);
}

static VGfloat storeFloat(VGfloat value)
{
    return value;
}

/* ---- Writers ---- */

#define WRITER(name, Type, store, value)                                 \
    static void name(const VGfloat *src, VGint n)                        \
    {                                                                    \
        Type *dst = (Type *)dpath->data + dstposition;                   \
        VGint k;                                                         \
        for (k = n - 1; k >= 0; --k) {                                   \
            const VGfloat x = src[k];                                    \
            dst[k] = store(value);                                       \
        }                                                                \
        dstposition += n;                                                \
    }
#define WRITERS(Name, Type)                                                      \
    WRITER(Write##Name, Type, store##Name, x)                                    \
    WRITER(Write##Name##s, Type, store##Name, x / dstscale)                      \
    WRITER(Write##Name##b, Type, store##Name, x - dstbias)                       \
    WRITER(Write##Name##sb, Type, store##Name, (x - dstbias) / dstscale)

WRITERS(Int8, VGbyte)
WRITERS(Int16, VGshort)
WRITERS(Int32, VGint)
WRITERS(Float, VGfloat)

static const OVGwritefunc writefunc[4] = {WriteInt8, WriteInt16, WriteInt32, WriteFloat};
static const OVGwritefunc writefunc_b[4] = {WriteInt8b, WriteInt16b, WriteInt32b, WriteFloatb};
static const OVGwritefunc writefunc_s[4] = {WriteInt8s, WriteInt16s, WriteInt32s, WriteFloats};
static const OVGwritefunc writefunc_sb[4] = {WriteInt8sb, WriteInt16sb, WriteInt32sb, WriteFloatsb};

OVGreadfunc VGFUNC_SetSourceCursor(const OVGpath *path, VGint position)
{
    spath = path;
    srcposition = position;
    srcscale = path->scale;
    srcbias = path->bias;
    if (srcscale == 1.0f)
        return (srcbias == 0.0f ? readfunc : readfunc_b)[path->datatype];
    return (srcbias == 0.0f ? readfunc_s : readfunc_sb)[path->datatype];
}

OVGwritefunc VGFUNC_SetDestCursor(OVGpath *path, VGint position)
{
    dpath = path;
    dstposition = position;
    dstscale = path->scale;
    dstbias = path->bias;
    if (dstscale == 1.0f)
        return (dstbias == 0.0f ? writefunc : writefunc_b)[path->datatype];
    return (dstbias == 0.0f ? writefunc_s : writefunc_sb)[path->datatype];
}

/* ---- Converters ---- */

#define CONVERTER(SrcName, SrcType, DstName, DstType)                                       \
    static void SrcName##To##DstName(OVGpath *dst, const OVGpath *src)                      \
    {                                                                                       \
        const SrcType *from = (const SrcType *)src->data;                                   \
        DstType *to = (DstType *)dst->data + dst->numCoords;                                \
        const VGfloat sscale = src->scale, sbias = src->bias;                               \
        const VGfloat dscale = dst->scale, dbias = dst->bias;                               \
        VGint k;                                                                            \
        for (k = src->numCoords - 1; k >= 0; --k)                                           \
            to[k] = store##DstName(((VGfloat)from[k] * sscale + sbias - dbias) / dscale);   \
    }
#define CONVERTERS_FROM(SrcName, SrcType)                  \
    CONVERTER(SrcName, SrcType, Int8, VGbyte)              \
    CONVERTER(SrcName, SrcType, Int16, VGshort)            \
    CONVERTER(SrcName, SrcType, Int32, VGint)              \
    CONVERTER(SrcName, SrcType, Float, VGfloat)

CONVERTERS_FROM(Int8, VGbyte)
CONVERTERS_FROM(Int16, VGshort)
CONVERTERS_FROM(Int32, VGint)
CONVERTERS_FROM(Float, VGfloat)

typedef void (*OVGcopyfunc)(OVGpath *dst, const OVGpath *src);

static const OVGcopyfunc copydata[4][4] = {
    {Int8ToInt8, Int8ToInt16, Int8ToInt32, Int8ToFloat},
    {Int16ToInt8, Int16ToInt16, Int16ToInt32, Int16ToFloat},
    {Int32ToInt8, Int32ToInt16, Int32ToInt32, Int32ToFloat},
    {FloatToInt8, FloatToInt16, FloatToInt32, FloatToFloat},
};

void VGFUNC_CopyData(OVGpath *dst, const OVGpath *src)
{
    if (src->numCoords == 0)
        return; /* dst may have no buffer yet */
    copydata[src->datatype][dst->datatype](dst, src);
}

