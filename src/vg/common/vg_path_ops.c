/* The path operations: append data, append path, modify coordinates, transform, normalise and
 * interpolate. Sizes are computed in 64 bits and checked against the 32-bit capacities before
 * anything changes, so a large count never wraps into a short buffer. */
#include "vg/common/vg_path.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "vg/common/vg_frame.h"
#include "vg/common/vg_path_access.h"

#define PI 3.14159265358979323846
#define ONE_THIRD (1.0f / 3.0f)

static VGint commandOf(VGubyte segment)
{
    return segment >> 1;
}

/* Sum of a per-command table over n segment bytes, all below OVG_PATH_SEGMENT_END. */
static int64_t sumOver(const VGint table[OVG_PATH_COMMANDS], const VGubyte *segments, int64_t n)
{
    int64_t sum = 0, i;
    for (i = n - 1; i >= 0; --i)
        sum += table[commandOf(segments[i])];
    return sum;
}

static int64_t GetNormalizedNumData(const VGubyte *segments, VGint n)
{
    return sumOver(VGVAL_normalizedNumData, segments, n);
}

/* Bytes of count elements of the path's datatype after its numCoords. */
static int64_t dataBytesFor(const OVGpath *path, int64_t count)
{
    return ((int64_t)path->numCoords + count) << VGVAL_datashift[path->datatype];
}

/* Grows a buffer to exactly bytes when its capacity is smaller; 0 when out of memory (the
 * buffer is kept as it was). */
static int grow(void **buffer, VGint *capacity, int64_t bytes)
{
    void *grown;
    if (bytes <= *capacity)
        return 1;
    grown = VGFUNC_HeapResize(*buffer, (size_t)bytes);
    if (!grown)
        return 0;
    *buffer = grown;
    *capacity = (VGint)bytes;
    return 1;
}

/* Makes room for segBytes segment bytes and dataBytes coordinate bytes in all; the segment
 * buffer first when segmentFirst. 0 when a size passes the 32-bit capacity (nothing changed)
 * or a buffer cannot grow (one grown before stays grown). */
static int makeRoom(OVGpath *path, int64_t segBytes, int64_t dataBytes, int segmentFirst)
{
    void *segment = path->segment;
    int ok;
    if (segBytes > OVG_PATH_MAX_BYTES || dataBytes > OVG_PATH_MAX_BYTES)
        return 0;
    if (segmentFirst)
        ok = grow(&segment, &path->segmentSize, segBytes) && grow(&path->data, &path->dataSize, dataBytes);
    else
        ok = grow(&path->data, &path->dataSize, dataBytes) && grow(&segment, &path->segmentSize, segBytes);
    path->segment = (VGubyte *)segment;
    return ok;
}

static void changed(OVGpath *path)
{
    path->dirty = path->invalid = 1;
}

static int isBadData(const OVGpath *path, const void *data)
{
    return VGFUNC_IsBadPointer(data, (unsigned)VGVAL_align[path->datatype]);
}

VGErrorCode VGFUNC_AppendData(OVGpath *path, VGint num, const VGubyte *segment, const void *data)
{
    const VGint shift = VGVAL_datashift[path->datatype];
    int64_t count = 0;
    VGint i;
    if (num < 1 || !segment)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    for (i = num - 1; i >= 0; --i) {
        if (segment[i] >= OVG_PATH_SEGMENT_END)
            return VG_ILLEGAL_ARGUMENT_ERROR;
        count += VGVAL_numData[commandOf(segment[i])];
    }
    if (isBadData(path, data))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (!makeRoom(path, (int64_t)path->numSegments + num, dataBytesFor(path, count), 1))
        return VG_OUT_OF_MEMORY_ERROR;
    memcpy(path->segment + path->numSegments, segment, (size_t)num);
    path->numSegments += num;
    if (count > 0)
        memcpy((VGubyte *)path->data + ((size_t)path->numCoords << shift), data, (size_t)count << shift);
    path->numCoords += (VGint)count;
    changed(path);
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_AppendPath(OVGpath *dst, OVGpath *src)
{
    const VGint segments = src->numSegments, coords = src->numCoords;
    if (!makeRoom(dst, (int64_t)dst->numSegments + segments, dataBytesFor(dst, coords), 0))
        return VG_OUT_OF_MEMORY_ERROR;
    /* src may be dst: its bytes are read from the (possibly moved) buffer, before the counts
     * change, into the room after them. An empty src may have no buffer at all. */
    if (segments > 0)
        memcpy(dst->segment + dst->numSegments, src->segment, (size_t)segments);
    VGFUNC_CopyData(dst, src);
    dst->numSegments += segments;
    dst->numCoords += coords;
    changed(dst);
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_ModifyCoord(OVGpath *path, VGint start, VGint num, const void *data)
{
    const VGint shift = VGVAL_datashift[path->datatype];
    int64_t position, count;
    /* Compared without a sum, which could pass the 32-bit range. */
    if (start < 0 || num < 1 || num > path->numSegments - start)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    if (isBadData(path, data))
        return VG_ILLEGAL_ARGUMENT_ERROR;
    position = sumOver(VGVAL_numData, path->segment, start);
    count = sumOver(VGVAL_numData, path->segment + start, num);
    if (count == 0)
        return VG_NO_ERROR;
    memcpy((VGubyte *)path->data + ((size_t)position << shift), data, (size_t)count << shift);
    changed(path);
    return VG_NO_ERROR;
}

/* ---- Normalisation ---- */

typedef struct {
    VGfloat x, y;
} Point;

static Point readPoint(OVGreadfunc read, int relative, Point o)
{
    VGfloat v[2];
    Point p;
    read(v, 2);
    p.x = relative ? v[0] + o.x : v[0];
    p.y = relative ? v[1] + o.y : v[1];
    return p;
}

static VGfloat *put(VGfloat *out, Point p)
{
    out[0] = p.x;
    out[1] = p.y;
    return out + 2;
}

static int isHorizontal(VGubyte segment)
{
    return commandOf(segment) == VG_HLINE_TO >> 1;
}

/* The current point after a horizontal or vertical line of value. */
static void moveAlong(Point *o, VGubyte segment, VGfloat value)
{
    VGfloat *along = isHorizontal(segment) ? &o->x : &o->y;
    *along = (segment & VG_RELATIVE) ? *along + value : value;
}

static Point reflect(Point o, Point p)
{
    Point c;
    c.x = 2.0f * o.x - p.x;
    c.y = 2.0f * o.y - p.y;
    return c;
}

/* The cubic of a quadratic from o through control c to q. */
static VGfloat *putQuad(VGfloat *out, Point o, Point c, Point q)
{
    Point c1, c2;
    c1.x = (o.x + 2.0f * c.x) * ONE_THIRD;
    c1.y = (o.y + 2.0f * c.y) * ONE_THIRD;
    c2.x = (2.0f * c.x + q.x) * ONE_THIRD;
    c2.y = (2.0f * c.y + q.y) * ONE_THIRD;
    return put(put(put(out, c1), c2), q);
}

/* Fills dst with src's coordinates in user units, relative ones made absolute, every quadratic
 * and cubic form as the two controls and the end of a cubic (VGVAL_normalizedNumData floats
 * per segment). */
static void NormalizePath(VGfloat *dst, const OVGpath *src)
{
    const OVGreadfunc read = VGFUNC_SetSourceCursor(src, 0);
    Point o = {0.0f, 0.0f}, s = o, p = o, c, q;
    VGfloat v[5];
    VGint i;
    for (i = 0; i < src->numSegments; ++i) {
        const VGubyte segment = src->segment[i];
        const int relative = segment & VG_RELATIVE;
        switch (commandOf(segment)) {
        case VG_CLOSE_PATH >> 1:
            o = p = s;
            break;
        case VG_MOVE_TO >> 1:
            s = o = p = readPoint(read, relative, o);
            dst = put(dst, o);
            break;
        case VG_LINE_TO >> 1:
            o = p = readPoint(read, relative, o);
            dst = put(dst, o);
            break;
        case VG_HLINE_TO >> 1:
        case VG_VLINE_TO >> 1:
            read(v, 1);
            moveAlong(&o, segment, v[0]);
            p = o;
            dst = put(dst, o);
            break;
        case VG_QUAD_TO >> 1:
            c = readPoint(read, relative, o);
            q = readPoint(read, relative, o);
            dst = putQuad(dst, o, c, q);
            p = c, o = q;
            break;
        case VG_CUBIC_TO >> 1:
            dst = put(dst, readPoint(read, relative, o));
            p = readPoint(read, relative, o);
            q = readPoint(read, relative, o);
            dst = put(put(dst, p), q);
            o = q;
            break;
        case VG_SQUAD_TO >> 1:
            c = reflect(o, p);
            q = readPoint(read, relative, o);
            dst = putQuad(dst, o, c, q);
            p = c, o = q;
            break;
        case VG_SCUBIC_TO >> 1:
            dst = put(dst, reflect(o, p));
            p = readPoint(read, relative, o);
            q = readPoint(read, relative, o);
            dst = put(put(dst, p), q);
            o = q;
            break;
        default: /* arcs: radii and rotation as they are, the end made absolute */
            read(v, 3);
            memcpy(dst, v, 3 * sizeof *v);
            o = p = readPoint(read, relative, o);
            dst = put(dst + 3, o);
            break;
        }
    }
}

/* ---- Transform ---- */

/* The linear part of m on n (x, y) pairs in place. */
static void TransData(const VGfloat *m, VGfloat *points, VGint n)
{
    VGint i;
    for (i = 0; i < n; ++i, points += 2) {
        const VGfloat x = points[0], y = points[1];
        points[0] = m[0] * x + m[3] * y;
        points[1] = m[1] * x + m[4] * y;
    }
}

/* The whole affine matrix m on n (x, y) pairs in place. */
static void Trans(const VGfloat *m, VGfloat *points, VGint n)
{
    VGint i;
    TransData(m, points, n);
    for (i = 0; i < n; ++i, points += 2) {
        points[0] += m[6];
        points[1] += m[7];
    }
}

static VGfloat length(VGfloat x, VGfloat y)
{
    return sqrtf(x * x + y * y);
}

/* The radii and rotation (degrees) of the ellipse (rh, rv, rotation) in v mapped by the linear
 * part of m. The vertical radius comes out negative under a mirroring matrix. */
static void transformEllipse(const VGfloat *m, VGfloat v[3])
{
    const VGfloat theta = (VGfloat)(v[2] * PI / 180.0);
    const VGfloat ux = v[0] * cosf(theta), uy = v[0] * sinf(theta);
    const VGfloat vx = -v[1] * sinf(theta), vy = v[1] * cosf(theta);
    const VGfloat a = m[0] * ux + m[3] * uy, b = m[1] * ux + m[4] * uy;
    const VGfloat c = m[0] * vx + m[3] * vy, d = m[1] * vx + m[4] * vy;
    const VGfloat ex = (a + d) / 2.0f, ey = (b - c) / 2.0f;
    const VGfloat fx = (a - d) / 2.0f, fy = (b + c) / 2.0f;
    const VGfloat e = length(ex, ey), f = length(fx, fy);
    VGfloat wx = f * ex + e * fx, wy = f * ey + e * fy, w, phi;
    if (wx * wx + wy * wy < 0.0001f) {
        wx = b;
        wy = -a;
    }
    w = length(wx, wy);
    if (w == 0.0f) {
        phi = acosf(0.0f);
    } else {
        phi = acosf(wx / w);
        if (wy / w < 0.0f)
            phi = (VGfloat)(2.0 * PI) - phi;
    }
    v[0] = e + f;
    v[1] = e - f;
    v[2] = (VGfloat)(phi * 180.0 / PI);
}

/* The arc command of the other direction, the relative bit kept. */
static VGubyte otherDirection(VGubyte segment)
{
    const VGint command = commandOf(segment);
    const VGint swapped = (command == VG_SCCWARC_TO >> 1 || command == VG_LCCWARC_TO >> 1) ? command + 1 : command - 1;
    return (VGubyte)((swapped << 1) | (segment & VG_RELATIVE));
}

VGErrorCode VGFUNC_TransformPath(OVGpath *dst, OVGpath *src, const OVGmatrix *mtx)
{
    const VGint segments = src->numSegments, first = dst->numSegments;
    const int identity = VGFUNC_IsIdentity(mtx) != 0;
    const VGfloat *m = VGFUNC_GetMatrix(mtx);
    const int mirror = m[0] * m[4] - m[3] * m[1] < 0.0f;
    int64_t count;
    OVGreadfunc read;
    OVGwritefunc write;
    Point o = {0.0f, 0.0f}, s = o;
    VGfloat v[6];
    VGint i;

    count = sumOver(VGVAL_transNumData, src->segment, segments);
    if (!makeRoom(dst, (int64_t)first + segments, dataBytesFor(dst, count), 1))
        return VG_OUT_OF_MEMORY_ERROR;
    read = VGFUNC_SetSourceCursor(src, 0);
    write = VGFUNC_SetDestCursor(dst, dst->numCoords);
    /* src may be dst: segment i is read before the output byte first + i is written. */
    for (i = 0; i < segments; ++i) {
        const VGubyte segment = src->segment[i];
        const int relative = segment & VG_RELATIVE;
        VGubyte out = segment;
        VGint points = 0, n;
        switch (commandOf(segment)) {
        case VG_CLOSE_PATH >> 1:
            o = s;
            break;
        case VG_MOVE_TO >> 1:
        case VG_LINE_TO >> 1:
        case VG_SQUAD_TO >> 1:
        case VG_QUAD_TO >> 1:
        case VG_SCUBIC_TO >> 1:
        case VG_CUBIC_TO >> 1:
            points = VGVAL_numData[commandOf(segment)] / 2;
            read(v, 2 * points);
            n = 2 * (points - 1);
            o.x = relative ? o.x + v[n] : v[n];
            o.y = relative ? o.y + v[n + 1] : v[n + 1];
            if (commandOf(segment) == VG_MOVE_TO >> 1)
                s = o;
            break;
        case VG_HLINE_TO >> 1:
        case VG_VLINE_TO >> 1: {
            /* A line to (x, o.y) or (o.x, y); relative: (x, 0) or (0, y). */
            const int horizontal = isHorizontal(segment);
            read(v, 1);
            moveAlong(&o, segment, v[0]);
            v[horizontal ? 0 : 1] = v[0];
            v[horizontal ? 1 : 0] = relative ? 0.0f : (horizontal ? o.y : o.x);
            out = (VGubyte)(VG_LINE_TO | relative);
            points = 1;
            break;
        }
        default: /* arcs */
            read(v, 5);
            o.x = relative ? o.x + v[3] : v[3];
            o.y = relative ? o.y + v[4] : v[4];
            if (!identity) {
                transformEllipse(m, v);
                (relative ? TransData : Trans)(m, v + 3, 1);
                if (mirror)
                    out = otherDirection(segment);
            }
            write(v, 5);
            break;
        }
        if (points) {
            if (!identity)
                (relative ? TransData : Trans)(m, v, points);
            write(v, 2 * points);
        }
        dst->segment[first + i] = out;
    }
    dst->numSegments += segments;
    dst->numCoords += (VGint)count;
    changed(dst);
    return VG_NO_ERROR;
}

/* ---- Interpolation ---- */

VGErrorCode VGFUNC_InterpolatePath(OVGpath *d, OVGpath *s, OVGpath *e, VGfloat amount, VGboolean *result)
{
    const VGint segments = s->numSegments;
    const int64_t count = GetNormalizedNumData(s->segment, segments);
    const int64_t segBytes = (int64_t)d->numSegments + segments, dataBytes = dataBytesFor(d, count);
    const size_t floats = (size_t)count * sizeof(VGfloat);
    VGfloat *sv = NULL, *ev = NULL;
    VGubyte *commands = NULL, *newSegment = NULL;
    void *newData = NULL;
    VGErrorCode error = VG_OUT_OF_MEMORY_ERROR;
    int64_t k;
    VGint i;

    *result = VG_FALSE;
    if (segments != e->numSegments || count != GetNormalizedNumData(e->segment, segments))
        return VG_NO_ERROR;
    if (segments == 0) {
        *result = VG_TRUE;
        return VG_NO_ERROR;
    }
    if (count > (int64_t)(SIZE_MAX / sizeof(VGfloat)))
        return VG_OUT_OF_MEMORY_ERROR;
    /* A size of 0 asks for one byte, so that success is never taken for a failure. */
    sv = (VGfloat *)VGFUNC_HeapResize(NULL, floats ? floats : 1);
    ev = (VGfloat *)VGFUNC_HeapResize(NULL, floats ? floats : 1);
    commands = (VGubyte *)VGFUNC_HeapResize(NULL, (size_t)segments);
    if (!sv || !ev || !commands)
        goto done;
    NormalizePath(sv, s);
    NormalizePath(ev, e);
    for (i = segments - 1; i >= 0; --i) {
        const VGint type = VGVAL_normaltype[commandOf(s->segment[i])];
        if (type != VGVAL_normaltype[commandOf(e->segment[i])]) {
            error = VG_NO_ERROR;
            goto done;
        }
        if (type == OVG_NORMAL_ARC)
            commands[i] = (VGubyte)((amount < 0.5f ? s->segment[i] : e->segment[i]) & ~VG_RELATIVE);
        else
            commands[i] = VGVAL_pathtype[type];
    }
    for (k = count - 1; k >= 0; --k)
        sv[k] = (1.0f - amount) * sv[k] + amount * ev[k];

    if (segBytes > OVG_PATH_MAX_BYTES || dataBytes > OVG_PATH_MAX_BYTES)
        goto done;
    newSegment = (VGubyte *)VGFUNC_HeapResize(NULL, (size_t)segBytes);
    if (dataBytes > 0)
        newData = VGFUNC_HeapResize(NULL, (size_t)dataBytes);
    if (!newSegment || (dataBytes > 0 && !newData))
        goto done;
    if (d->numSegments > 0)
        memcpy(newSegment, d->segment, (size_t)d->numSegments);
    if (d->numCoords > 0)
        memcpy(newData, d->data, (size_t)d->numCoords << VGVAL_datashift[d->datatype]);
    free(d->segment);
    free(d->data);
    d->segment = newSegment;
    d->data = newData;
    newSegment = NULL;
    newData = NULL;
    d->segmentSize = (VGint)segBytes;
    d->dataSize = (VGint)dataBytes;

    if (count > 0)
        VGFUNC_SetDestCursor(d, d->numCoords)(sv, (VGint)count);
    memcpy(d->segment + d->numSegments, commands, (size_t)segments);
    d->numSegments += segments;
    d->numCoords += (VGint)count;
    changed(d);
    *result = VG_TRUE;
    error = VG_NO_ERROR;
done:
    free(sv);
    free(ev);
    free(commands);
    free(newSegment);
    free(newData);
    return error;
}
