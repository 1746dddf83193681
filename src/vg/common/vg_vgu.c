/* VGU 1.1 shapes appended to an existing path, and the three warp matrices.
 *
 * Shapes are given in user coordinates; each append converts them to the path's own datatype,
 * scale and bias and goes through vgAppendPathData, so the path's checks and errors apply. */
#include <VG/openvg.h>
#include <VG/vgu.h>

#include <assert.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>

/* The longest single append: the round rectangle's ten segments. */
#define VGU_MAX_COORDS 26

/* A full turn is two half-turn arcs; an extent needing more half turns than this only retraces
 * the ellipse, and an unbounded one would never end. */
#define VGU_MAX_HALF_TURNS 1024

static int isAligned4(const void *p) { return ((uintptr_t)p & 3u) == 0; }

/* (c - bias) / scale rounded half up into [lo, hi]; NaN stores 0 and values beyond the type
 * saturate instead of wrapping. */
static int32_t toPathInteger(VGfloat c, VGfloat scale, VGfloat bias, double lo, double hi)
{
    double v = ((double)c - bias) / scale;
    if (v != v)
        return 0;
    v = floor(v + 0.5);
    if (v < lo)
        return (int32_t)lo;
    if (v > hi)
        return (int32_t)hi;
    return (int32_t)v;
}

static void append(VGPath path, VGint numSegments, const VGubyte *segments, VGint numCoordinates,
                   const VGfloat *coordinates)
{
    union {
        VGfloat f[VGU_MAX_COORDS];
        int32_t s32[VGU_MAX_COORDS];
        int16_t s16[VGU_MAX_COORDS];
        int8_t s8[VGU_MAX_COORDS];
    } data;
    const VGint datatype = vgGetParameteri(path, VG_PATH_DATATYPE);
    const VGfloat scale = vgGetParameterf(path, VG_PATH_SCALE);
    const VGfloat bias = vgGetParameterf(path, VG_PATH_BIAS);
    VGint i;

    assert(numCoordinates <= VGU_MAX_COORDS && "numCoordinates <= 26");
    for (i = 0; i < numCoordinates; i++) {
        const VGfloat c = coordinates[i];
        switch (datatype) {
        case VG_PATH_DATATYPE_S_8:
            data.s8[i] = (int8_t)toPathInteger(c, scale, bias, INT8_MIN, INT8_MAX);
            break;
        case VG_PATH_DATATYPE_S_16:
            data.s16[i] = (int16_t)toPathInteger(c, scale, bias, INT16_MIN, INT16_MAX);
            break;
        case VG_PATH_DATATYPE_S_32:
            data.s32[i] = toPathInteger(c, scale, bias, INT32_MIN, INT32_MAX);
            break;
        default:
            assert(datatype == VG_PATH_DATATYPE_F && "datatype == VG_PATH_DATATYPE_F");
            data.f[i] = (c - bias) / scale;
            break;
        }
    }
    vgAppendPathData(path, numSegments, segments, &data);
}

/* The OpenVG error the appends left, as a VGU error. */
static VGUErrorCode appendResult(void)
{
    switch (vgGetError()) {
    case VG_BAD_HANDLE_ERROR:
        return VGU_BAD_HANDLE_ERROR;
    case VG_PATH_CAPABILITY_ERROR:
        return VGU_PATH_CAPABILITY_ERROR;
    default:
        return VGU_NO_ERROR;
    }
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguLine(VGPath path, VGfloat x0, VGfloat y0, VGfloat x1,
                                                VGfloat y1)
{
    static const VGubyte segments[] = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS};
    const VGfloat coords[] = {x0, y0, x1, y1};

    vgGetError();
    append(path, 2, segments, 4, coords);
    return appendResult();
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguPolygon(VGPath path, const VGfloat *points, VGint count,
                                                   VGboolean closed)
{
    static const VGubyte moveTo = VG_MOVE_TO_ABS, lineTo = VG_LINE_TO_ABS, close = VG_CLOSE_PATH;
    VGint i;

    vgGetError();
    if (points == NULL || !isAligned4(points) || count < 1)
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    for (i = 0; i < count; i++)
        append(path, 1, i == 0 ? &moveTo : &lineTo, 2, points + 2 * (size_t)i);
    if (closed)
        append(path, 1, &close, 0, NULL);
    return appendResult();
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguRect(VGPath path, VGfloat x, VGfloat y, VGfloat width,
                                                VGfloat height)
{
    static const VGubyte segments[] = {VG_MOVE_TO_ABS, VG_HLINE_TO_ABS, VG_VLINE_TO_ABS,
                                       VG_HLINE_TO_ABS, VG_CLOSE_PATH};
    const VGfloat coords[] = {x, y, x + width, y + height, x};

    vgGetError();
    if (width <= 0 || height <= 0)
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    append(path, 5, segments, 5, coords);
    return appendResult();
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguRoundRect(VGPath path, VGfloat x, VGfloat y, VGfloat width,
                                                     VGfloat height, VGfloat arcWidth,
                                                     VGfloat arcHeight)
{
    static const VGubyte segments[] = {VG_MOVE_TO_ABS,  VG_HLINE_TO_ABS, VG_SCCWARC_TO_ABS,
                                       VG_VLINE_TO_ABS, VG_SCCWARC_TO_ABS, VG_HLINE_TO_ABS,
                                       VG_SCCWARC_TO_ABS, VG_VLINE_TO_ABS, VG_SCCWARC_TO_ABS,
                                       VG_CLOSE_PATH};
    VGfloat rx, ry;

    vgGetError();
    if (width <= 0 || height <= 0)
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    if (arcWidth < 0)
        arcWidth = 0;
    if (arcWidth > width)
        arcWidth = width;
    if (arcHeight < 0)
        arcHeight = 0;
    if (arcHeight > height)
        arcHeight = height;
    rx = arcWidth / 2;
    ry = arcHeight / 2;
    {
        const VGfloat coords[VGU_MAX_COORDS] = {
            x + rx,         y,                                           /* move */
            x + width - rx,                                              /* hline */
            rx, ry, 0, x + width, y + ry,                                /* arc */
            y + height - ry,                                             /* vline */
            rx, ry, 0, x + width - rx, y + height,                       /* arc */
            x + rx,                                                      /* hline */
            rx, ry, 0, x, y + height - ry,                               /* arc */
            y + ry,                                                      /* vline */
            rx, ry, 0, x + rx, y,                                        /* arc */
        };
        append(path, 10, segments, VGU_MAX_COORDS, coords);
    }
    return appendResult();
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguEllipse(VGPath path, VGfloat cx, VGfloat cy, VGfloat width,
                                                   VGfloat height)
{
    static const VGubyte segments[] = {VG_MOVE_TO_ABS, VG_SCCWARC_TO_ABS, VG_SCCWARC_TO_ABS,
                                       VG_CLOSE_PATH};
    const VGfloat w = width / 2, h = height / 2;
    const VGfloat coords[] = {cx + w, cy, w, h, 0, cx - w, cy, w, h, 0, cx + w, cy};

    vgGetError();
    if (width <= 0 || height <= 0)
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    append(path, 4, segments, 12, coords);
    return appendResult();
}

static void appendArcTo(VGPath path, VGubyte segment, VGfloat w, VGfloat h, double cx, double cy,
                        double angle)
{
    const VGfloat coords[] = {w, h, 0, (VGfloat)(cx + cos(angle) * w),
                              (VGfloat)(cy + sin(angle) * h)};
    append(path, 1, &segment, 5, coords);
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguArc(VGPath path, VGfloat x, VGfloat y, VGfloat width,
                                               VGfloat height, VGfloat startAngle, VGfloat angleExtent,
                                               VGUArcType arcType)
{
    static const VGubyte moveTo = VG_MOVE_TO_ABS, lineTo = VG_LINE_TO_ABS, close = VG_CLOSE_PATH;
    const double pi = 3.14159265358979323846;
    const VGfloat w = width / 2, h = height / 2;
    double start, end;
    VGubyte arcTo;
    int k;

    vgGetError();
    if (arcType != VGU_ARC_OPEN && arcType != VGU_ARC_CHORD && arcType != VGU_ARC_PIE)
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    if (width <= 0 || height <= 0)
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    start = (double)startAngle * pi / 180;
    end = start + (double)angleExtent * pi / 180;
    if (fabs((double)angleExtent) > VGU_MAX_HALF_TURNS * 180.0)
        return VGU_ILLEGAL_ARGUMENT_ERROR;

    {
        const VGfloat coords[] = {(VGfloat)(x + cos(start) * w), (VGfloat)(y + sin(start) * h)};
        append(path, 1, &moveTo, 2, coords);
    }
    /* Half turns counted, not summed: at a huge start angle adding pi may not move the sum. */
    if (angleExtent >= 0) {
        arcTo = VG_SCCWARC_TO_ABS;
        for (k = 1; start + k * pi < end; k++)
            appendArcTo(path, arcTo, w, h, x, y, start + k * pi);
    } else {
        arcTo = VG_SCWARC_TO_ABS;
        for (k = 1; start - k * pi > end; k++)
            appendArcTo(path, arcTo, w, h, x, y, start - k * pi);
    }
    appendArcTo(path, arcTo, w, h, x, y, end);

    if (arcType == VGU_ARC_PIE) {
        const VGfloat centre[] = {x, y};
        append(path, 1, &lineTo, 2, centre);
    }
    if (arcType != VGU_ARC_OPEN)
        append(path, 1, &close, 0, NULL);
    return appendResult();
}

/* ---- Warps ------------------------------------------------------------------------------ */

/* Matrices are column-major as OpenVG keeps them: m[col * 3 + row]. */
static int squareToQuad(double dx0, double dy0, double dx1, double dy1, double dx2, double dy2,
                        double dx3, double dy3, double m[9])
{
    const double diffx1 = dx1 - dx3, diffy1 = dy1 - dy3;
    const double diffx2 = dx2 - dx3, diffy2 = dy2 - dy3;
    const double det = diffx1 * diffy2 - diffx2 * diffy1;
    const double sumx = dx0 - dx1 + dx3 - dx2, sumy = dy0 - dy1 + dy3 - dy2;
    double g = 0, h = 0;

    if (det == 0)
        return 0;
    if (sumx != 0 || sumy != 0) {
        g = (sumx * diffy2 - diffx2 * sumy) / det;
        h = (diffx1 * sumy - sumx * diffy1) / det;
    }
    m[0] = dx1 - dx0 + g * dx1;
    m[1] = dy1 - dy0 + g * dy1;
    m[2] = g;
    m[3] = dx2 - dx0 + h * dx2;
    m[4] = dy2 - dy0 + h * dy2;
    m[5] = h;
    m[6] = dx0;
    m[7] = dy0;
    m[8] = 1;
    return 1;
}

static int invert(const double m[9], double out[9])
{
    /* Cofactors of the column-major matrix, transposed. */
    const double c00 = m[4] * m[8] - m[7] * m[5];
    const double c01 = m[7] * m[2] - m[1] * m[8];
    const double c02 = m[1] * m[5] - m[4] * m[2];
    const double det = m[0] * c00 + m[3] * c01 + m[6] * c02;

    if (det == 0) {
        fprintf(stdout, "no inverse matrix \n");
        return 0;
    }
    out[0] = c00 / det;
    out[1] = c01 / det;
    out[2] = c02 / det;
    out[3] = (m[6] * m[5] - m[3] * m[8]) / det;
    out[4] = (m[0] * m[8] - m[6] * m[2]) / det;
    out[5] = (m[3] * m[2] - m[0] * m[5]) / det;
    out[6] = (m[3] * m[7] - m[6] * m[4]) / det;
    out[7] = (m[6] * m[1] - m[0] * m[7]) / det;
    out[8] = (m[0] * m[4] - m[3] * m[1]) / det;
    return 1;
}

static void multiply(const double a[9], const double b[9], double out[9])
{
    int row, col;
    for (col = 0; col < 3; col++)
        for (row = 0; row < 3; row++)
            out[col * 3 + row] = a[0 * 3 + row] * b[col * 3 + 0] + a[1 * 3 + row] * b[col * 3 + 1] +
                                 a[2 * 3 + row] * b[col * 3 + 2];
}

/* A quad with infinite or NaN corners has no warp: such a result is refused, never returned
 * as a matrix of NaNs. */
static VGUErrorCode store(const double m[9], VGfloat *matrix)
{
    int i;
    for (i = 0; i < 9; i++)
        if (!isfinite(m[i]) || !isfinite((VGfloat)m[i]))
            return VGU_BAD_WARP_ERROR;
    for (i = 0; i < 9; i++)
        matrix[i] = (VGfloat)m[i];
    return VGU_NO_ERROR;
}

static int quadToSquare(double sx0, double sy0, double sx1, double sy1, double sx2, double sy2,
                        double sx3, double sy3, double m[9])
{
    double forward[9];
    return squareToQuad(sx0, sy0, sx1, sy1, sx2, sy2, sx3, sy3, forward) && invert(forward, m);
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguComputeWarpSquareToQuad(
    VGfloat dx0, VGfloat dy0, VGfloat dx1, VGfloat dy1, VGfloat dx2, VGfloat dy2, VGfloat dx3,
    VGfloat dy3, VGfloat *matrix)
{
    double m[9];
    if (matrix == NULL || !isAligned4(matrix))
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    if (!squareToQuad(dx0, dy0, dx1, dy1, dx2, dy2, dx3, dy3, m))
        return VGU_BAD_WARP_ERROR;
    return store(m, matrix);
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguComputeWarpQuadToSquare(
    VGfloat sx0, VGfloat sy0, VGfloat sx1, VGfloat sy1, VGfloat sx2, VGfloat sy2, VGfloat sx3,
    VGfloat sy3, VGfloat *matrix)
{
    double m[9];
    if (matrix == NULL || !isAligned4(matrix))
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    if (!quadToSquare(sx0, sy0, sx1, sy1, sx2, sy2, sx3, sy3, m))
        return VGU_BAD_WARP_ERROR;
    return store(m, matrix);
}

VGU_API_CALL VGUErrorCode VGU_API_ENTRY vguComputeWarpQuadToQuad(
    VGfloat dx0, VGfloat dy0, VGfloat dx1, VGfloat dy1, VGfloat dx2, VGfloat dy2, VGfloat dx3,
    VGfloat dy3, VGfloat sx0, VGfloat sy0, VGfloat sx1, VGfloat sy1, VGfloat sx2, VGfloat sy2,
    VGfloat sx3, VGfloat sy3, VGfloat *matrix)
{
    double toSquare[9], toQuad[9], m[9];
    if (matrix == NULL || !isAligned4(matrix))
        return VGU_ILLEGAL_ARGUMENT_ERROR;
    if (!quadToSquare(sx0, sy0, sx1, sy1, sx2, sy2, sx3, sy3, toSquare) ||
        !squareToQuad(dx0, dy0, dx1, dy1, dx2, dy2, dx3, dy3, toQuad))
        return VGU_BAD_WARP_ERROR;
    multiply(toQuad, toSquare, m);
    return store(m, matrix);
}
