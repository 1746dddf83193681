/* Fill command lists of a path: coordinate conversion, the walk that sorts the segments into
 * the four lists (or streams them when no list could be had), their caching with the path and
 * their hand-over to the GPU (the stroke list's too); the subdivision thresholds the path
 * microcode works with; and the entry that fills and strokes.
 * The lists and the coordinate array come from the front end's heap allocator, as the path's
 * buffers do. */
#include "vg/al_lx740/vg_al_lx740_drawpath.h"

#include <float.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "cgl_platform.h"
#include "cgl_unitreg.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/al_lx740/vg_al_lx740_memory.h"
#include "vg/al_lx740/vg_al_lx740_paint.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/al_lx740/vg_al_lx740_setstate.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"
#include "vg/common/vg_heap.h"

word32 *filllinecmdbuffer, *fillquadcmdbuffer, *fillcubecmdbuffer, *fillarccmdbuffer;
int filllinecmdbuffer_size, fillquadcmdbuffer_size, fillcubecmdbuffer_size, fillarccmdbuffer_size;
int filllinecmdbuffer_count, fillquadcmdbuffer_count, fillcubecmdbuffer_count, fillarccmdbuffer_count;
int pathcmdbuffer_nospace;
int pathcmdparse_fail;
ALpath *alpath;

/* The slow path's read cursor into the path's own data and its reader. */
static const unsigned char *dataptr;
static float path_scale, path_bias;
static void (*Get)(int n, float *out);

enum { LINE, QUAD, CUBE, ARC, KINDS };

static const word32 entries[KINDS] = {VGAL_ENTRY_FILL_LINE, VGAL_ENTRY_FILL_QUAD, VGAL_ENTRY_FILL_CUBE,
                                      VGAL_ENTRY_FILL_ARC};
static word32 **const lists[KINDS] = {&filllinecmdbuffer, &fillquadcmdbuffer, &fillcubecmdbuffer, &fillarccmdbuffer};
static int *const sizes[KINDS] = {&filllinecmdbuffer_size, &fillquadcmdbuffer_size, &fillcubecmdbuffer_size,
                                  &fillarccmdbuffer_size};
static int *const counts[KINDS] = {&filllinecmdbuffer_count, &fillquadcmdbuffer_count, &fillcubecmdbuffer_count,
                                   &fillarccmdbuffer_count};

/* ---- Coordinate readers ---- */

#define READER(name, type)                                                                                   \
    static void name(int n, float *out)                                                                     \
    {                                                                                                        \
        int i;                                                                                               \
        for (i = 0; i < n; ++i) {                                                                            \
            type v;                                                                                          \
            memcpy(&v, dataptr, sizeof v);                                                                   \
            dataptr += sizeof v;                                                                             \
            out[i] = (float)v * path_scale + path_bias;                                                      \
        }                                                                                                    \
    }
READER(I8, int8_t)
READER(I16, int16_t)
READER(I32, int32_t)
READER(F32, float)

/* The reader of the path's datatype, at the start of its data. */
static void chooseGetFuncSlow(const OVGpath *path)
{
    static void (*const readers[4])(int, float *) = {I8, I16, I32, F32};
    Get = readers[(unsigned)path->datatype & 3u];
    dataptr = (const unsigned char *)path->data;
}

void VGALFUNC_pathslowstart(const OVGpath *path)
{
    path_scale = path->scale;
    path_bias = path->bias;
    chooseGetFuncSlow(path);
}

void VGALFUNC_pathget(int n, float *out)
{
    Get(n, out);
}

/* All of the path's coordinates into coordbuffer. */
static void convertCoordinates(const OVGpath *path)
{
    int i, n = path->numCoords;
    const void *data = path->data;

    if (path_scale != 1.0f || path_bias != 0.0f) {
        chooseGetFuncSlow(path);
        Get(n, coordbuffer);
        return;
    }
    switch (path->datatype) {
    case VG_PATH_DATATYPE_S_8:
        for (i = 0; i < n; ++i)
            coordbuffer[i] = (float)((const int8_t *)data)[i];
        break;
    case VG_PATH_DATATYPE_S_16:
        for (i = 0; i < n; ++i)
            coordbuffer[i] = (float)((const int16_t *)data)[i];
        break;
    case VG_PATH_DATATYPE_S_32:
        for (i = 0; i < n; ++i)
            coordbuffer[i] = (float)((const int32_t *)data)[i];
        break;
    default:
        if (n > 0)
            memcpy(coordbuffer, data, (size_t)n * sizeof(float));
        break;
    }
}

/* ---- The lists being built ---- */

static void freeBuiltLists(void)
{
    int k;
    for (k = 0; k < KINDS; ++k) {
        free(*lists[k]);
        *lists[k] = NULL;
        *sizes[k] = *counts[k] = 0;
    }
}

/* Four lists, each begun with the write of its entry; 0 when one could not be had. */
static int allocateLists(void)
{
    int k;
    for (k = 0; k < KINDS; ++k) {
        *lists[k] = (word32 *)VGFUNC_HeapResize(NULL, VGAL_PATHLIST_STEP * sizeof(word32));
        if (!*lists[k]) {
            freeBuiltLists();
            return 0;
        }
        (*lists[k])[0] = CGL_PKT_HEADER(CGL_OP_VPCTRL_WRITE, LX_VP_IADDR, 1);
        (*lists[k])[1] = entries[k];
        *sizes[k] = VGAL_PATHLIST_STEP;
        *counts[k] = 2;
    }
    VGALVAL_lx740vpinstaddr = 0xFFFFFFFFu;
    return 1;
}

/* One data packet: its header and n floats. */
static void packet(word32 *words, const float *data, int n)
{
    words[0] = CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, (word32)n);
    memcpy(words + 1, data, (size_t)n * sizeof(float));
}

static void appendToList(int kind, const float *data, int n)
{
    word32 **list = lists[kind];
    int *size = sizes[kind], *count = counts[kind];

    if (pathcmdparse_fail)
        return;
    if (*count + n + 1 > *size) {
        word32 *grown = (word32 *)VGFUNC_HeapResize(*list, (size_t)(*size + VGAL_PATHLIST_STEP) * sizeof(word32));
        if (!grown) {
            pathcmdparse_fail = 1;
            pathcmdbuffer_nospace = 1;
            return;
        }
        *list = grown;
        *size += VGAL_PATHLIST_STEP;
    }
    packet(*list + *count, data, n);
    *count += n + 1;
}

/* The slow path's entries go straight into the command buffer, the entry switched only when it
 * changes. */
static void appendToCommandBuffer(int kind, const float *data, int n)
{
    word32 words[12];
    if (VGALVAL_lx740vpinstaddr != entries[kind]) {
        VPCTRLW(LX_VP_IADDR, entries[kind]);
        VGALVAL_lx740vpinstaddr = entries[kind];
    }
    packet(words, data, n);
    SETCMDA(words, (word32)n + 1);
}

/* ---- The walk ---- */

typedef struct Walk {
    const float *coords; /* converted coordinates, or null to read through Get */
    int at;
    void (*emit)(int kind, const float *data, int n);
} Walk;

static void readCoords(Walk *w, int n, float *out)
{
    if (w->coords) {
        memcpy(out, w->coords + w->at, (size_t)n * sizeof(float));
        w->at += n;
    } else {
        Get(n, out);
    }
}

static void line(Walk *w, float x0, float y0, float x1, float y1)
{
    const float d[4] = {x0, y0, x1, y1};
    w->emit(LINE, d, 4);
}

int VGALFUNC_pathcoordcount(int command)
{
    static const unsigned char n[13] = {0, 2, 2, 1, 1, 4, 6, 2, 4, 5, 5, 5, 5};
    return n[command >> 1];
}

/* Segment byte: bit 0 relative, bits 1-4 the command; commands beyond the large clockwise arc
 * are skipped without coordinates. */
static void walkFill(const OVGpath *path, Walk *w)
{
    float ox = 0, oy = 0, sx = 0, sy = 0, px = 0, py = 0;
    int open = 0, i;

    for (i = 0; i < path->numSegments; ++i) {
        const int seg = path->segment[i], command = seg & 0x1E, relative = seg & 1;
        const float rx = relative ? ox : 0, ry = relative ? oy : 0;
        float c[6], d[11];

        if (command > VG_LCWARC_TO)
            continue;
        readCoords(w, VGALFUNC_pathcoordcount(command), c);
        switch (command) {
        case VG_CLOSE_PATH:
            line(w, ox, oy, sx, sy);
            ox = px = sx;
            oy = py = sy;
            open = 0;
            break;
        case VG_MOVE_TO:
            if (open)
                line(w, ox, oy, sx, sy);
            ox = px = sx = c[0] + rx;
            oy = py = sy = c[1] + ry;
            open = 0;
            break;
        case VG_LINE_TO:
        case VG_HLINE_TO:
        case VG_VLINE_TO: {
            const float x = command == VG_VLINE_TO ? ox : c[0] + rx;
            const float y = command == VG_HLINE_TO ? oy : command == VG_VLINE_TO ? c[0] + ry : c[1] + ry;
            if (x != ox || y != oy)
                line(w, ox, oy, x, y);
            ox = px = x;
            oy = py = y;
            open = 1;
            break;
        }
        case VG_QUAD_TO:
        case VG_SQUAD_TO: {
            const int smooth = command == VG_SQUAD_TO;
            const float cx = smooth ? 2 * ox - px : c[0] + rx, cy = smooth ? 2 * oy - py : c[1] + ry;
            const float x = c[smooth ? 0 : 2] + rx, y = c[smooth ? 1 : 3] + ry;
            if (cx != ox || cy != oy || x != ox || y != oy) {
                d[0] = ox, d[1] = oy, d[2] = cx, d[3] = cy, d[4] = x, d[5] = y;
                w->emit(QUAD, d, 6);
            }
            px = cx, py = cy, ox = x, oy = y;
            open = 1;
            break;
        }
        case VG_CUBIC_TO:
        case VG_SCUBIC_TO: {
            const int smooth = command == VG_SCUBIC_TO, k = smooth ? 0 : 2;
            const float c1x = smooth ? 2 * ox - px : c[0] + rx, c1y = smooth ? 2 * oy - py : c[1] + ry;
            const float c2x = c[k] + rx, c2y = c[k + 1] + ry, x = c[k + 2] + rx, y = c[k + 3] + ry;
            if (c1x != ox || c1y != oy || c2x != ox || c2y != oy || x != ox || y != oy) {
                d[0] = ox, d[1] = oy, d[2] = c1x, d[3] = c1y, d[4] = c2x, d[5] = c2y, d[6] = x, d[7] = y;
                w->emit(CUBE, d, 8);
            }
            px = c2x, py = c2y, ox = x, oy = y;
            open = 1;
            break;
        }
        default: { /* the four arcs: rh, rv, rotation, end point */
            const float x = c[3] + rx, y = c[4] + ry, rh = fabsf(c[0]), rv = fabsf(c[1]);
            if (x != ox || y != oy) {
                if (rh == 0.0f || rv == 0.0f) {
                    line(w, ox, oy, x, y);
                } else {
                    const float angle = (float)((double)c[2] * 3.141592653589793 / 180.0);
                    d[0] = ox, d[1] = oy, d[2] = x, d[3] = y, d[4] = x - ox, d[5] = y - oy;
                    d[6] = rh, d[7] = rv, d[8] = cosf(angle), d[9] = sinf(angle), d[10] = (float)(command >> 1);
                    w->emit(ARC, d, 11);
                }
            }
            ox = px = x;
            oy = py = y;
            open = 1;
            break;
        }
        }
    }
    if (open)
        line(w, ox, oy, sx, sy);
}

void drawPathFill(OVGpath *path)
{
    Walk w;
    int k, total = 0;
    word32 addr;

    w.coords = coordbuffer;
    w.at = 0;
    w.emit = appendToList;
    walkFill(path, &w);
    if (pathcmdparse_fail)
        return;
    for (k = 0; k < KINDS; ++k) {
        if (*counts[k] == 2)
            *counts[k] = 0;
        total += *counts[k];
    }
    alpath->fill_need_update = 0;
    if (total == 0) {
        freeBuiltLists();
        VGALFUNC_al_path_drop_fill(alpath);
        return;
    }
    addr = VGALFUNC_VAlloc(total < 2048 ? total : 2048, (total + 2047) / 2048, 32, 32, 0, 0, 0);
    if (addr != CGL_NO_ADDRESS) {
        word32 at = addr;
        for (k = 0; k < KINDS; ++k)
            if (*counts[k]) {
                VGALFUNC_TVGwriteMemory32(at, *lists[k], (word32)*counts[k]);
                at += (word32)*counts[k] * 4u;
            }
        freeBuiltLists();
        alpath->fill_line_cmd.gpu = addr;
        alpath->fill_line_cmd_count = total;
        alpath->fill_quad_cmd_count = alpath->fill_cube_cmd_count = alpath->fill_arc_cmd_count = 0;
        alpath->fill_cmd_target = 1;
        return;
    }
    /* No room in work memory: the path keeps the heap lists and they go through the FIFO. */
    alpath->fill_line_cmd.heap = filllinecmdbuffer;
    alpath->fill_quad_cmd.heap = fillquadcmdbuffer;
    alpath->fill_cube_cmd.heap = fillcubecmdbuffer;
    alpath->fill_arc_cmd.heap = fillarccmdbuffer;
    alpath->fill_line_cmd_count = filllinecmdbuffer_count;
    alpath->fill_quad_cmd_count = fillquadcmdbuffer_count;
    alpath->fill_cube_cmd_count = fillcubecmdbuffer_count;
    alpath->fill_arc_cmd_count = fillarccmdbuffer_count;
    alpath->fill_cmd_target = 0;
    for (k = 0; k < KINDS; ++k) {
        *lists[k] = NULL;
        *sizes[k] = *counts[k] = 0;
    }
}

void drawPathFill_slow(OVGpath *path)
{
    Walk w;
    dataptr = (const unsigned char *)path->data;
    w.coords = NULL;
    w.at = 0;
    w.emit = appendToCommandBuffer;
    walkFill(path, &w);
}

void parseFail(OVGpath *path, int isStroke)
{
    if (isStroke)
        VGALFUNC_freestrokelist();
    else
        freeBuiltLists();
    chooseGetFuncSlow(path);
}

/* ---- Preparing a pass ---- */

void chooseFunction(OVGpath *path, int isStroke)
{
    pathcmdbuffer_nospace = 0;
    pathcmdparse_fail = 0;
    alpath = (ALpath *)path->aldep;
    if (isStroke)
        VGALFUNC_strokeconstants(alpath);
    if (path->dirty) {
        VGALFUNC_al_path_drop_stroke(alpath);
        VGALFUNC_al_path_drop_fill(alpath);
        alpath->fill_need_update = alpath->stroke_need_update = 1;
        alpath->stroke_dash_phase = -1;
        path->dirty = 0;
    } else if (isStroke && alpath->stroke_dash_phase != needphasereset) {
        /* Built for the other phase-reset mode, or with another dash start state. */
        VGALFUNC_al_path_drop_stroke(alpath);
        alpath->stroke_need_update = 1;
    }
    if (!(isStroke ? alpath->stroke_need_update : alpath->fill_need_update))
        return;

    if (!(isStroke ? VGALFUNC_allocstrokelist() : allocateLists())) {
        pathcmdbuffer_nospace = 1;
        free(coordbuffer);
        coordbuffer = NULL;
        coordbuffersize = 0;
    } else if (path->numCoords > coordbuffersize) {
        free(coordbuffer);
        coordbuffer = (float *)VGFUNC_HeapResize(NULL, (size_t)path->numCoords * sizeof(float));
        coordbuffersize = coordbuffer ? path->numCoords : 0;
        if (!coordbuffer) {
            pathcmdbuffer_nospace = 1;
            if (isStroke)
                VGALFUNC_freestrokelist();
            else
                freeBuiltLists();
        }
    }
    dataptr = (const unsigned char *)path->data;
    path_scale = path->scale;
    path_bias = path->bias;
    if (pathcmdbuffer_nospace) {
        chooseGetFuncSlow(path);
        return;
    }
    convertCoordinates(path);
}

/* ---- Hand-over ---- */

/* The words of the whole packets from word `first` that fit one hand-over: a hand-over never
 * ends inside a packet, so each one is a complete command stream of its own. */
static int chunkWords(const word32 *words, int first, int total)
{
    int n = 0;
    while (first + n < total) {
        const word32 h = words[first + n];
        int size = CGL_PKT_OPCODE(h) == CGL_OP_VP_START ? 1 : (int)CGL_PKT_COUNT(h) + 1;
        if (size > total - first - n)
            size = total - first - n;
        if (n + size > VGAL_PATHLIST_CHUNK)
            break;
        n += size;
    }
    return n;
}

void VGALFUNC_emitpathlists(int target, word32 gpu, word32 *const *heap, const int *counts, int lists)
{
    int total = 0, k;
    for (k = 0; k < lists; ++k)
        total += counts[k];
    if (total == 0)
        return;
    if (target) {
        const word32 *words = (const word32 *)(CglTxMemBase + gpu);
        int done = 0;
        RUNCME();
        while (done < total) {
            const int n = chunkWords(words, done, total);
            cglWaitBusy(CGL_BUSY_CMD_MASTER, 0);
            cglWriteMemReg32(LX_CM_ADDR, gpu + (word32)done * 4u);
            cglWriteMemReg32(LX_CM_WCOUNT, (word32)n - 1);
            done += n;
        }
        cglSetCFifoAvailable(0);
    } else {
        WAITCMDDONE();
        for (k = 0; k < lists; ++k)
            if (counts[k])
                cglWriteCFifo32A(heap[k], (word32)counts[k]);
    }
    VGALVAL_lx740vpinstaddr = 0xFFFFFFFFu;
}

void VGALFUNC_emitfilllists(void)
{
    word32 *const heap[KINDS] = {alpath->fill_line_cmd.heap, alpath->fill_quad_cmd.heap, alpath->fill_cube_cmd.heap,
                                 alpath->fill_arc_cmd.heap};
    const int n[KINDS] = {alpath->fill_line_cmd_count, alpath->fill_quad_cmd_count, alpath->fill_cube_cmd_count,
                          alpath->fill_arc_cmd_count};
    VGALFUNC_emitpathlists(alpath->fill_cmd_target, alpath->fill_line_cmd.gpu, heap, n, KINDS);
}

/* ---- Subdivision thresholds ---- */

int VGALFUNC_strokewidthdrawn(float w)
{
    return w > 0.0f && w <= FLT_MAX;
}

int setPathDivisionParameters(const OVGmatrix *m, float strokeLineWidth, VGALdivparams *out)
{
    static float currentStrokeWidth = 1.0f, m0, m1, m3, m4;
    static int isidentity;
    const float cos10 = 0.9848077f, cos80 = 0.17364818f;
    int widthChanged;
    float s2, s, q, a, dd, e, c1, c2, t;

    if (VGALVAL_resetdivparam) {
        currentStrokeWidth = 1.0f;
        m0 = m1 = m3 = m4 = 0.0f;
        isidentity = 0;
        VGALVAL_resetdivparam = 0;
    }
    widthChanged = VGALFUNC_strokewidthdrawn(strokeLineWidth) && strokeLineWidth != currentStrokeWidth;
    if (widthChanged)
        currentStrokeWidth = strokeLineWidth;

    if (VGFUNC_IsIdentity(m)) {
        if (!widthChanged && isidentity)
            return 0;
        isidentity = 1;
        s2 = s = 1.0f;
    } else {
        const float *v = m->m;
        float u, w;
        if (!widthChanged && !isidentity && v[0] == m0 && v[3] == m3 && v[1] == m1 && v[4] == m4)
            return 0;
        m0 = v[0], m1 = v[1], m3 = v[3], m4 = v[4];
        isidentity = 0;
        if (v[0] * v[3] + v[1] * v[4] < 0) {
            u = v[1] - v[4];
            w = v[0] - v[3];
        } else {
            u = v[1] + v[4];
            w = v[0] + v[3];
        }
        s2 = (u * u + w * w) * 0.5f;
        /* A matrix with a NaN in it has no scale: its thresholds are those of a collapsed one
         * (0), which the microcode handles, where NaN thresholds would be refused. */
        if (s2 != s2)
            s2 = 0.0f;
        s = sqrtf(s2);
    }

    q = s2 * currentStrokeWidth * currentStrokeWidth;
    a = s2 != 0.0f ? 1.23f / s2 : 0.0f;
    dd = s != 0.0f ? 0.06f / s : 0.0f;
    e = s != 0.0f ? 0.0005f / s : 0.0f;
    if (q < 1.0f) {
        c1 = c2 = 0.70710677f;
        t = 1.0f;
    } else if (q < 100.0f) {
        const word32 bits = 0x3EFFFFFFu;
        c1 = 0.8660254f;
        c2 = 0.5f;
        memcpy(&t, &bits, sizeof t);
    } else {
        c1 = cos10;
        c2 = cos80;
        t = q < 625.0f ? 0.0669873f : 0.0301537f;
    }

    out->fillTh1[0] = out->fillTh1[1] = a;
    out->fillTh1[2] = out->fillTh1[3] = 1.0f;
    out->fillTh2[0] = out->fillTh2[1] = dd;
    out->strokeTh1[0] = out->strokeTh1[1] = a;
    out->strokeTh1[2] = out->strokeTh1[3] = t;
    out->strokeTh2[0] = out->strokeTh2[1] = dd;
    out->strokeTh2[2] = 0.0f;
    out->strokeTh2[3] = e;
    out->angle[0] = cos10;
    out->angle[1] = cos80;
    out->angle[2] = c1;
    out->angle[3] = c2;
    out->join = q == 0.0f ? 1.0f : 1.0f + (-0.1786062f / q);
    return 1;
}

/* ---- The entry ---- */

#define VP_NO_FLIP 0x80000000u
#define VP_PATH_MATRIX 1u
#define VP_FILL_PAINT 2u
#define VP_STROKE_PAINT 4u
#define VP_PAINT_MATRIX_ENTRY 21u
#define STROKE_PAINT_SET 8192u

static VGRenderingQuality draw_path_previous_quality;

void writeDivisionParameters(const OVGmatrix *m, float strokeLineWidth)
{
    VGALdivparams d;
    if (!setPathDivisionParameters(m, strokeLineWidth, &d))
        return;
    VPWV(LX_VCNST_OVG_DIV_FILL_TH1, d.fillTh1, 4);
    VPWV(LX_VCNST_OVG_DIV_FILL_TH2, d.fillTh2, 2);
    VPWV(LX_VCNST_OVG_DIV_STROKE_TH1, d.strokeTh1, 4);
    VPWV(LX_VCNST_OVG_DIV_STROKE_TH2, d.strokeTh2, 4);
    VPWV(LX_VCNST_OVG_DIV_ANGLE, d.angle, 4);
    VPWV(LX_VCNST_JOIN_ANGLE_TH, &d.join, 1);
}

/* The paint-to-user matrix of one paint: loaded when changed (bit `changed` of the pending
 * recomputations is then set), else re-derived when `pending` asks for it. 1 when entry 21 must
 * run for it. */
static int paintMatrix(OVGmatrix *m, word32 constant, word32 changed, word32 pending)
{
    if (VGFUNC_IsDirty(m)) {
        VGALFUNC_vp_matrix_rows(constant, m, 2);
        m->flag &= ~OVG_MATRIX_DIRTY;
        VGALVAL_needmtxupdate |= changed;
        return 1;
    }
    if (VGALVAL_needmtxupdate & pending) {
        VGALVAL_needmtxupdate &= ~pending;
        return 1;
    }
    return 0;
}

/* 1 when the paint-to-surface matrix of a paint that is no colour must be recomputed. */
static int paintToSurface(const OVGpaint *paint, word32 pending)
{
    if (IsColorPaint(paint) || !(VGALVAL_needmtxupdate & pending))
        return 0;
    VGALVAL_needmtxupdate &= ~pending;
    return 1;
}

void VGALFUNC_pathpass(OVGpath *path, int isStroke)
{
    chooseFunction(path, isStroke);
    if ((isStroke ? alpath->stroke_need_update : alpath->fill_need_update) && !pathcmdbuffer_nospace) {
        if (isStroke)
            drawPathStroke(path);
        else
            drawPathFill(path);
    }
    if (!pathcmdbuffer_nospace) {
        if (isStroke)
            VGALFUNC_emitstrokelist();
        else
            VGALFUNC_emitfilllists();
        return;
    }
    if (pathcmdparse_fail)
        parseFail(path, isStroke);
    if (isStroke)
        drawPathStroke_slow(path);
    else
        drawPathFill_slow(path);
}

VGErrorCode VGHAL_ALdrawPath(OVGpath *path, VGbitfield paintModes)
{
    OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    OVGmatrix *m = &ctx->pathUserToSurface;
    word32 f0, f1 = 0;
    int changed, pass;

    /* A width that is not positive and finite strokes nothing. */
    if (!VGALFUNC_strokewidthdrawn(ctx->strokeLineWidth))
        paintModes &= ~(VGbitfield)VG_STROKE_PATH;
    VGALFUNC_lx_checkstate();
    if (VGALVAL_lx740renderingmode & VGAL_RM_SCISSOR_EMPTY)
        return VG_NO_ERROR;
    VGALFUNC_lx_resetxptbuffer(0);
    VGALFUNC_setpathucodeentry();

    if (VGFUNC_IsDirty(m)) {
        VPCTRLW(LX_TE_SYNC, 0);
        VGALFUNC_vp_matrix_rows(LX_VCNST_OVG_PU2S1, m, 2);
        VGALVAL_needmtxupdate |= VGAL_MTX_FILL_PAINT_PATH | VGAL_MTX_STROKE_PAINT_PATH;
        m->flag &= ~OVG_MATRIX_DIRTY;
        f0 = VP_PATH_MATRIX;
        changed = 1;
    } else {
        f0 = ctx->renderingQuality != draw_path_previous_quality || (VGALVAL_needmtxupdate & VGAL_MTX_PATH)
                 ? VP_PATH_MATRIX
                 : 0;
        changed = 0;
    }
    draw_path_previous_quality = ctx->renderingQuality;

    if (paintModes & VG_FILL_PATH) {
        f1 = (word32)changed;
        if (paintMatrix(&ctx->fillPaintToUser, LX_VCNST_OVG_FP2U1,
                        VGAL_MTX_IMAGE_PAINT_MATRIX | VGAL_MTX_FILL_PAINT_IMAGE | VGAL_MTX_FILL_PAINT_PATH,
                        VGAL_MTX_FILL_PAINT_MATRIX))
            f1 |= 1u;
        if (paintToSurface(ctx->currentFillPaint, VGAL_MTX_FILL_PAINT_PATH))
            f0 |= VP_FILL_PAINT;
    }
    if (paintModes & VG_STROKE_PATH) {
        if (paintMatrix(&ctx->strokePaintToUser, LX_VCNST_OVG_SP2U1, VGAL_MTX_STROKE_PAINT_PATH,
                        VGAL_MTX_STROKE_PAINT_MATRIX) ||
            changed)
            f1 |= 2u;
        if (paintToSurface(ctx->currentStrokePaint, VGAL_MTX_STROKE_PAINT_PATH))
            f0 |= VP_STROKE_PAINT;
    }
    if (f0)
        VGALFUNC_vp_run_entry(f0 | (VGALVAL_surface_flip == 0 ? VP_NO_FLIP : 0u), 0);
    if (f1)
        VGALFUNC_vp_run_entry(f1, VP_PAINT_MATRIX_ENTRY);
    writeDivisionParameters(m, ctx->strokeLineWidth);

    for (pass = 0; pass < 2; ++pass) {
        if (!(paintModes & (pass ? VG_STROKE_PATH : VG_FILL_PATH)))
            continue;
        VGALFUNC_lx_setstate(pass);
        VGALVAL_setrzmtx = pass ? STROKE_PAINT_SET : 0;
        VGALFUNC_pathpass(path, pass);
        if (VGALFUNC_lx_setstate_path(pass) != 0) {
            VGALVAL_lx740cmdbuffer_count = 0;
            return VG_OUT_OF_MEMORY_ERROR;
        }
        VGALFUNC_lx_scanedges();
    }
    return VG_NO_ERROR;
}
