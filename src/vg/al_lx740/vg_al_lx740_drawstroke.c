/* The stroke pass of path drawing: the stroke and dash constants loaded per draw, the dash
 * start state, and the stroke command list (each subpath a start packet, one packet a segment
 * and an end run), built once from the converted coordinates and cached with the path, or
 * streamed straight into the command buffer when no list can be had. Cap and join styles are
 * not in the list: the stroke state selects the microcode's cap and join routines. */
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "cgl_platform.h"
#include "cgl_unitreg.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/al_lx740/vg_al_lx740_memory.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/common/vg_heap.h"

word32 *strokecmdbuffer;
int strokecmdbuffer_size, strokecmdbuffer_count;
int needphasereset;

/* This draw's dash start state, as it goes into the list before each subpath in phase-reset
 * mode: the index pair, and the rest and on flag as raw float words. */
static int save_dashidx[2];
static float save_dash_rest, save_stroke_on;
static word32 save_dash_restf, save_stroke_onf;

/* The room a subpath start needs in the list: the three dash state writes, the entry and the
 * start packet. */
#define SMOVE_WORDS 12

/* ---- Dash start state and the per-draw constants ---- */

VGALdashstart VGALFUNC_dashstart(const float *pattern, int n, float phase)
{
    VGALdashstart out;
    double length = 0.0, phi = phase;
    int i = 0;

    for (i = 0; i < n; ++i)
        length += pattern[i];
    /* The phase reduced in double precision: a phase of any size, or a tiny negative one,
     * lands inside the pattern; one that is not finite counts as 0. */
    if (!isfinite(phi))
        phi = 0.0;
    phi = fmod(phi, length);
    if (phi < 0.0)
        phi += length;
    if (phi >= length)
        phi = 0.0;
    i = 0;
    while (i < n - 1 && phi > pattern[i]) {
        phi -= pattern[i];
        ++i;
    }
    out.index = i;
    out.rest = (float)(pattern[i] - phi);
    if (!(out.rest >= 0.0f))
        out.rest = 0.0f;
    out.on = (i & 1) == 0;
    return out;
}

/* Two integers into one VP constant. */
static void writeIndexPair(word32 constant, int major, int minor)
{
    const word32 words[2] = {(word32)major, (word32)minor};
    VGALFUNC_lx_writeregs(CGL_OP_VPCONST_WRITE, constant * 4u, words, 2);
}

void VGALFUNC_strokeconstants(ALpath *al)
{
    const OVGcontext *ctx = VGALVAL_LX740_ALcontexthandle;
    float pattern[VGAL_DASH_VALUES];
    double length = 0.0;
    float param[2], value;
    int n = ctx->numDashCount & ~1, i, dashed;

    /* The GPU holds 16 values (constants 46 to 49); what follows them is other state. */
    if (n > VGAL_DASH_VALUES)
        n = VGAL_DASH_VALUES;
    for (i = 0; i < n; ++i) {
        pattern[i] = ctx->dashSafePattern[i];
        length += pattern[i];
    }
    dashed = n > 0 && length > 0.0;

    if (!dashed) {
        value = 1.0f;
        VPWV(LX_VCNST_OVG_STROKE_ON, &value, 1);
        needphasereset = 0;
    } else {
        const VGALdashstart start = VGALFUNC_dashstart(pattern, n, ctx->strokeDashPhase);
        word32 words[VGAL_DASH_VALUES];

        save_dashidx[0] = start.index / 4;
        save_dashidx[1] = start.index % 4;
        save_dash_rest = start.rest;
        save_stroke_on = start.on ? 1.0f : 0.0f;
        save_dash_restf = cglFloatTo32F(save_dash_rest);
        save_stroke_onf = cglFloatTo32F(save_stroke_on);

        writeIndexPair(LX_VCNST_OVG_MAX_DASH_IDX, (n - 1) / 4, (n - 1) % 4);
        for (i = 0; i < n; ++i)
            words[i] = cglFloatTo32F(pattern[i]);
        VGALFUNC_lx_writeregs(CGL_OP_VPCONST_WRITE, LX_VCNST_OVG_DASH_PATTERN0 * 4u, words, (word32)n);

        if (ctx->strokeDashPhaseReset == VG_TRUE) {
            needphasereset = 1;
            if (al->save_dashidx[0] != save_dashidx[0] || al->save_dashidx[1] != save_dashidx[1] ||
                al->save_dash_rest != save_dash_rest || al->save_stroke_on != save_stroke_on) {
                al->save_dashidx[0] = save_dashidx[0];
                al->save_dashidx[1] = save_dashidx[1];
                al->save_dash_rest = save_dash_rest;
                al->save_stroke_on = save_stroke_on;
                al->stroke_dash_phase = -1; /* the list carries the old state */
            }
        } else {
            writeIndexPair(LX_VCNST_OVG_DASH_IDX, save_dashidx[0], save_dashidx[1]);
            VPWV(LX_VCNST_OVG_DASH_REST, &save_dash_rest, 1);
            VPWV(LX_VCNST_OVG_STROKE_ON, &save_stroke_on, 1);
            needphasereset = 0;
        }
    }
    value = dashed ? 1.0f : 0.0f;
    VPWV(LX_VCNST_OVG_DASH_EN, &value, 1);
    {
        const float limit = ctx->strokeMiterLimit > 1.0f ? ctx->strokeMiterLimit : 1.0f;
        const float bound = limit * ctx->strokeLineWidth;
        param[0] = ctx->strokeLineWidth * 0.5f;
        param[1] = bound * bound;
    }
    VPWV(LX_VCNST_OVG_STROKE_PARAM, param, 2);
}

/* ---- Where the words go: the list being built, or the command buffer ---- */

typedef struct Sink {
    /* One whole packet. */
    void (*packet)(const word32 *words, int n);
    /* The entry last written where the words go (all ones: unknown). */
    word32 *entry;
} Sink;

static word32 listentry;

int VGALFUNC_allocstrokelist(void)
{
    strokecmdbuffer = (word32 *)VGFUNC_HeapResize(NULL, VGAL_PATHLIST_STEP * sizeof(word32));
    if (!strokecmdbuffer) {
        strokecmdbuffer_size = strokecmdbuffer_count = 0;
        return 0;
    }
    strokecmdbuffer_size = VGAL_PATHLIST_STEP;
    strokecmdbuffer_count = 0;
    listentry = 0xFFFFFFFFu;
    VGALVAL_lx740vpinstaddr = 0xFFFFFFFFu;
    return 1;
}

void VGALFUNC_freestrokelist(void)
{
    free(strokecmdbuffer);
    strokecmdbuffer = NULL;
    strokecmdbuffer_size = strokecmdbuffer_count = 0;
}

/* Room for n more words, grown a step at a time; a failure marks the walk failed. */
static int reserve(int n)
{
    while (strokecmdbuffer_count + n > strokecmdbuffer_size) {
        word32 *grown = (word32 *)VGFUNC_HeapResize(
            strokecmdbuffer, (size_t)(strokecmdbuffer_size + VGAL_PATHLIST_STEP) * sizeof(word32));
        if (!grown) {
            pathcmdparse_fail = 1;
            pathcmdbuffer_nospace = 1;
            return 0;
        }
        strokecmdbuffer = grown;
        strokecmdbuffer_size += VGAL_PATHLIST_STEP;
    }
    return 1;
}

static void listPacket(const word32 *words, int n)
{
    if (pathcmdparse_fail || !reserve(n))
        return;
    memcpy(strokecmdbuffer + strokecmdbuffer_count, words, (size_t)n * sizeof(word32));
    strokecmdbuffer_count += n;
}

static void bufferPacket(const word32 *words, int n)
{
    SETCMDA(words, (word32)n);
}

static const Sink listSink = {listPacket, &listentry};
static const Sink bufferSink = {bufferPacket, &VGALVAL_lx740vpinstaddr};

static void control(const Sink *sink, word32 reg, word32 value)
{
    const word32 words[2] = {CGL_PKT_HEADER(CGL_OP_VPCTRL_WRITE, reg, 1), value};
    sink->packet(words, 2);
}

static void selectEntry(const Sink *sink, word32 entry)
{
    if (*sink->entry == entry)
        return;
    control(sink, LX_VP_IADDR, entry);
    *sink->entry = entry;
}

/* An entry and its data packet of n floats. */
static void segment(const Sink *sink, word32 entry, const float *data, int n)
{
    word32 words[10];
    selectEntry(sink, entry);
    words[0] = CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, (word32)n);
    memcpy(words + 1, data, (size_t)n * sizeof(float));
    sink->packet(words, n + 1);
}

/* A subpath start at (x, y), after the dash start state in phase-reset mode. */
static void SMove(const Sink *sink, float x, float y)
{
    const float start[2] = {x, y};
    if (sink == &listSink && !pathcmdparse_fail)
        reserve(SMOVE_WORDS);
    if (needphasereset) {
        const word32 idx[3] = {CGL_PKT_HEADER(CGL_OP_VPCONST_WRITE, LX_VCNST_OVG_DASH_IDX * 4u, 2),
                               (word32)save_dashidx[0], (word32)save_dashidx[1]};
        const word32 rest[2] = {CGL_PKT_HEADER(CGL_OP_VPCONST_WRITE, LX_VCNST_OVG_DASH_REST * 4u, 1),
                                save_dash_restf};
        const word32 on[2] = {CGL_PKT_HEADER(CGL_OP_VPCONST_WRITE, LX_VCNST_OVG_STROKE_ON * 4u, 1), save_stroke_onf};
        sink->packet(idx, 3);
        sink->packet(rest, 2);
        sink->packet(on, 2);
    }
    segment(sink, VGAL_ENTRY_STROKE_START, start, 2);
}

/* The end run: closed (or without a segment) 1, open 0. */
static void subpathEnd(const Sink *sink, word32 closed)
{
    const word32 run = VGAL_VP_START;
    selectEntry(sink, VGAL_ENTRY_STROKE_END);
    control(sink, LX_VP_CTRL0, closed);
    control(sink, LX_TE_SYNC, 0);
    sink->packet(&run, 1);
}

/* ---- The walk ---- */

static int same(float ax, float ay, float bx, float by)
{
    return ax == bx && ay == by;
}

/* Segment byte: bit 0 relative, bits 1-4 the command; commands beyond the large clockwise arc
 * are skipped without coordinates. A relative segment's absolute coordinates are written back
 * into the converted coordinates. */
static void walkStroke(const OVGpath *path, float *coords, const Sink *sink)
{
    float ox = 0, oy = 0, sx = 0, sy = 0, px = 0, py = 0;
    int drawn = 0, empty = 1, i, at = 0;

    for (i = 0; i < path->numSegments; ++i) {
        const int seg = path->segment[i], command = seg & 0x1E, relative = seg & 1;
        const float rx = relative ? ox : 0, ry = relative ? oy : 0;
        const int n = command > VG_LCWARC_TO ? 0 : VGALFUNC_pathcoordcount(command);
        float c[6], d[9];
        int k;

        if (command > VG_LCWARC_TO)
            continue;
        if (coords) {
            memcpy(c, coords + at, (size_t)n * sizeof(float));
        } else {
            VGALFUNC_pathget(n, c);
        }
        if (command == VG_MOVE_TO) {
            if (drawn)
                subpathEnd(sink, empty ? 1u : 0u);
            ox = px = sx = c[0] + rx;
            oy = py = sy = c[1] + ry;
            c[0] = ox, c[1] = oy;
            drawn = 0;
            empty = 1;
        } else if (command == VG_CLOSE_PATH) {
            if (!drawn)
                SMove(sink, sx, sy);
            subpathEnd(sink, 1);
            ox = px = sx;
            oy = py = sy;
            drawn = 0;
            empty = 1;
        } else {
            if (!drawn)
                SMove(sink, sx, sy);
            drawn = 1;
            switch (command) {
            case VG_LINE_TO:
            case VG_HLINE_TO:
            case VG_VLINE_TO: {
                const float x = command == VG_VLINE_TO ? ox : c[0] + rx;
                const float y = command == VG_HLINE_TO ? oy : command == VG_VLINE_TO ? c[0] + ry : c[1] + ry;
                if (command == VG_LINE_TO)
                    c[0] = x, c[1] = y;
                else
                    c[0] = command == VG_HLINE_TO ? x : y;
                if (!same(x, y, ox, oy)) {
                    d[0] = x, d[1] = y;
                    segment(sink, VGAL_ENTRY_STROKE_LINE, d, 2);
                    empty = 0;
                }
                ox = px = x;
                oy = py = y;
                break;
            }
            case VG_QUAD_TO:
            case VG_SQUAD_TO: {
                const int smooth = command == VG_SQUAD_TO;
                const float cx = smooth ? 2 * ox - px : c[0] + rx, cy = smooth ? 2 * oy - py : c[1] + ry;
                const float x = c[smooth ? 0 : 2] + rx, y = c[smooth ? 1 : 3] + ry;
                if (!smooth)
                    c[0] = cx, c[1] = cy;
                c[smooth ? 0 : 2] = x, c[smooth ? 1 : 3] = y;
                if (!same(cx, cy, ox, oy) || !same(x, y, ox, oy)) {
                    d[0] = cx, d[1] = cy, d[2] = x, d[3] = y;
                    segment(sink, VGAL_ENTRY_STROKE_QUAD, d, 4);
                    empty = 0;
                }
                px = cx, py = cy, ox = x, oy = y;
                break;
            }
            case VG_CUBIC_TO:
            case VG_SCUBIC_TO: {
                const int smooth = command == VG_SCUBIC_TO, k2 = smooth ? 0 : 2;
                const float c1x = smooth ? 2 * ox - px : c[0] + rx, c1y = smooth ? 2 * oy - py : c[1] + ry;
                const float c2x = c[k2] + rx, c2y = c[k2 + 1] + ry, x = c[k2 + 2] + rx, y = c[k2 + 3] + ry;
                if (!smooth)
                    c[0] = c1x, c[1] = c1y;
                c[k2] = c2x, c[k2 + 1] = c2y, c[k2 + 2] = x, c[k2 + 3] = y;
                if (!same(c1x, c1y, ox, oy) || !same(c2x, c2y, ox, oy) || !same(x, y, ox, oy)) {
                    d[0] = c1x, d[1] = c1y, d[2] = c2x, d[3] = c2y, d[4] = x, d[5] = y;
                    segment(sink, VGAL_ENTRY_STROKE_CUBE, d, 6);
                    empty = 0;
                }
                px = c2x, py = c2y, ox = x, oy = y;
                break;
            }
            default: { /* the four arcs: rh, rv, rotation, end point */
                const float x = c[3] + rx, y = c[4] + ry, rh = fabsf(c[0]), rv = fabsf(c[1]);
                c[3] = x, c[4] = y;
                if (!same(x, y, ox, oy)) {
                    if (rh == 0.0f || rv == 0.0f) {
                        d[0] = x, d[1] = y;
                        segment(sink, VGAL_ENTRY_STROKE_LINE, d, 2);
                    } else {
                        const float angle = (float)((double)c[2] * 3.141592653589793 / 180.0);
                        d[0] = x, d[1] = y, d[2] = x - ox, d[3] = y - oy, d[4] = rh, d[5] = rv;
                        d[6] = cosf(angle), d[7] = sinf(angle), d[8] = (float)(command >> 1);
                        segment(sink, VGAL_ENTRY_STROKE_ARC, d, 9);
                    }
                    empty = 0;
                }
                ox = px = x;
                oy = py = y;
                break;
            }
            }
        }
        if (coords) {
            for (k = 0; k < n; ++k)
                coords[at + k] = c[k];
            at += n;
        }
    }
    if (drawn)
        subpathEnd(sink, empty ? 1u : 0u);
}

void drawPathStroke(OVGpath *path)
{
    word32 addr;

    walkStroke(path, coordbuffer, &listSink);
    if (pathcmdparse_fail)
        return;
    alpath->stroke_need_update = 0;
    alpath->stroke_dash_phase = needphasereset;
    if (strokecmdbuffer_count == 0) {
        VGALFUNC_freestrokelist();
        VGALFUNC_al_path_drop_stroke(alpath);
        return;
    }
    addr = VGALFUNC_VAlloc(strokecmdbuffer_count < 2048 ? strokecmdbuffer_count : 2048,
                           (strokecmdbuffer_count + 2047) / 2048, 32, 32, 0, 0, 0);
    if (addr != CGL_NO_ADDRESS) {
        VGALFUNC_TVGwriteMemory32(addr, strokecmdbuffer, (word32)strokecmdbuffer_count);
        alpath->stroke_cmd.gpu = addr;
        alpath->stroke_cmd_count = strokecmdbuffer_count;
        alpath->stroke_cmd_target = 1;
        VGALFUNC_freestrokelist();
        return;
    }
    /* No room in work memory: the path keeps the heap list and it goes through the FIFO. */
    alpath->stroke_cmd.heap = strokecmdbuffer;
    alpath->stroke_cmd_count = strokecmdbuffer_count;
    alpath->stroke_cmd_target = 0;
    strokecmdbuffer = NULL;
    strokecmdbuffer_size = strokecmdbuffer_count = 0;
}

void drawPathStroke_slow(OVGpath *path)
{
    VGALFUNC_pathslowstart(path);
    walkStroke(path, NULL, &bufferSink);
}

void VGALFUNC_emitstrokelist(void)
{
    word32 *const heap[1] = {alpath->stroke_cmd.heap};
    const int n[1] = {alpath->stroke_cmd_count};
    VGALFUNC_emitpathlists(alpath->stroke_cmd_target, alpath->stroke_cmd.gpu, heap, n, 1);
}
