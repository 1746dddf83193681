#ifndef VG_AL_LX740_DRAWPATH_H
#define VG_AL_LX740_DRAWPATH_H

/* Path filling and stroking on the vertex processor. A path's coordinates are converted to floats once and
 * sorted into four command lists by segment kind (line, quadratic, cubic and arc entries of the
 * path microcode); the lists are cached with the path, in GPU work memory when there is room,
 * and replayed by the command master while the path's data stays unchanged. When no list can be
 * built the segments are streamed straight into the command buffer (the slow path).
 * A stroke is one list per path: each subpath a start packet, a packet per segment and an end
 * run; the microcode widens the centre line with the cap, join, width and dash pattern held in
 * its constants, which are loaded per draw, so one list serves every stroke style. */

#include "cgl.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/common/vg_path.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Microcode entries of the fill segments. */
#define VGAL_ENTRY_FILL_LINE 875u
#define VGAL_ENTRY_FILL_QUAD 880u
#define VGAL_ENTRY_FILL_CUBE 887u
#define VGAL_ENTRY_FILL_ARC 894u
/* Microcode entries of the stroke: subpath start and end, line, quadratic, cubic and arc. */
#define VGAL_ENTRY_STROKE_START 901u
#define VGAL_ENTRY_STROKE_END 912u
#define VGAL_ENTRY_STROKE_LINE 919u
#define VGAL_ENTRY_STROKE_QUAD 926u
#define VGAL_ENTRY_STROKE_CUBE 933u
#define VGAL_ENTRY_STROKE_ARC 940u
/* The GPU holds this many dash values, four a constant from LX_VCNST_OVG_DASH_PATTERN0. */
#define VGAL_DASH_VALUES 16

/* A list starts with room for this many words and grows by as many. */
#define VGAL_PATHLIST_STEP 128
/* The most words one command-master hand-over of a GPU-resident list carries (whole packets
 * only). */
#define VGAL_PATHLIST_CHUNK 32768

/* The fill lists being built: words, capacity and words written, in the order line,
 * quadratic, cubic, arc. */
extern word32 *filllinecmdbuffer, *fillquadcmdbuffer, *fillcubecmdbuffer, *fillarccmdbuffer;
extern int filllinecmdbuffer_size, fillquadcmdbuffer_size, fillcubecmdbuffer_size, fillarccmdbuffer_size;
extern int filllinecmdbuffer_count, fillquadcmdbuffer_count, fillcubecmdbuffer_count, fillarccmdbuffer_count;
/* Set when a list or the coordinate array could not be had: the slow path draws. */
extern int pathcmdbuffer_nospace;
/* Set when a list could not grow during the walk: the partial lists are dropped. */
extern int pathcmdparse_fail;
extern ALpath *alpath;
/* The stroke list being built: words, capacity and words written. */
extern word32 *strokecmdbuffer;
extern int strokecmdbuffer_size, strokecmdbuffer_count;
/* 1 when this draw's stroke is dashed and restarts its pattern at every subpath: the dash start
 * state is then carried in the list before each subpath start. */
extern int needphasereset;

/* The dash start state for a phase: the pattern value in use (index into the pattern), the
 * length left of it and whether it is a dash (1) or a gap (0). */
typedef struct VGALdashstart {
    int index;
    float rest;
    int on;
} VGALdashstart;

/* The start state of the first n (even, > 0) values of pattern, whose sum is positive, at
 * phase: the phase is brought into [0, sum) (any finite or infinite value; NaN counts as 0)
 * and the index always lies inside the pattern. */
VGALdashstart VGALFUNC_dashstart(const float *pattern, int n, float phase);

/* The subdivision thresholds for a path-to-surface matrix and the last positive stroke width:
 * fill and stroke thresholds (a squared distance A and distances D and E in user units for
 * 1.23 px^2, 0.06 px and 0.0005 px on the surface), the stroke's angle set and the join
 * threshold, in the vertex-processor constants' order. */
typedef struct VGALdivparams {
    float fillTh1[4];   /* A, A, 1, 1 */
    float fillTh2[2];   /* D, D */
    float strokeTh1[4]; /* A, A, t, t */
    float strokeTh2[4]; /* D, D, 0, E */
    float angle[4];     /* cos 10, cos 80, c1, c2 */
    float join;         /* J */
} VGALdivparams;

/* The thresholds for the matrix m (column-major) and the context's stroke width; 1 when they
 * changed and are to be written, 0 when the ones written last still hold. VGALVAL_resetdivparam
 * makes it forget what it wrote. */
int setPathDivisionParameters(const OVGmatrix *m, float strokeLineWidth, VGALdivparams *out);

/* Prepares one pass: drops stale lists, allocates the lists of a pass that needs them and
 * converts the coordinates; sets pathcmdbuffer_nospace when the slow path must draw. */
void chooseFunction(OVGpath *path, int isStroke);
/* Builds the fill lists of path from the converted coordinates and caches them in alpath. */
void drawPathFill(OVGpath *path);
/* Streams the fill of path into the command buffer, nothing cached. */
void drawPathFill_slow(OVGpath *path);
/* Drops the partial lists of a failed walk and prepares the slow path's coordinate reader. */
void parseFail(OVGpath *path, int isStroke);
/* Builds the stroke list of path from the converted coordinates and caches it in alpath. */
void drawPathStroke(OVGpath *path);
/* Streams the stroke of path into the command buffer, nothing cached. */
void drawPathStroke_slow(OVGpath *path);
/* The stroke pass's share of chooseFunction: loads the stroke and dash constants of this draw
 * and sets needphasereset; in phase-reset mode a changed start state marks al's list stale. */
void VGALFUNC_strokeconstants(ALpath *al);
/* A stroke list of one step; 0 when it could not be had. */
int VGALFUNC_allocstrokelist(void);
void VGALFUNC_freestrokelist(void);
/* Hands the cached stroke list of alpath to the GPU, as the fill lists are. */
void VGALFUNC_emitstrokelist(void);

/* Shared by the fill and stroke walks. The number of coordinates of a segment command (the
 * segment byte without its relative bit). */
int VGALFUNC_pathcoordcount(int command);
/* Starts the slow path's reader at the beginning of path's data; VGALFUNC_pathget then reads
 * the next n coordinates, converted with the path's scale and bias. */
void VGALFUNC_pathslowstart(const OVGpath *path);
void VGALFUNC_pathget(int n, float *out);
/* Hands cached lists (`lists` of them, in order) to the GPU: a GPU-resident block at `gpu` of
 * the summed count through the command master, heap lists through the command FIFO. */
void VGALFUNC_emitpathlists(int target, word32 gpu, word32 *const *heap, const int *counts, int lists);

/* Fills (VG_FILL_PATH) and strokes (VG_STROKE_PATH) path with the context's state; 0, or
 * VG_OUT_OF_MEMORY_ERROR when the paint state could not be set up (the draw's commands are then
 * dropped). The fill goes first, the stroke over it; a width that is not positive strokes
 * nothing. */
VGErrorCode VGHAL_ALdrawPath(OVGpath *path, VGbitfield paintModes);
/* Hands the cached fill lists of alpath to the GPU: GPU-resident lists through the command
 * master, heap lists through the command FIFO. */
void VGALFUNC_emitfilllists(void);

#ifdef __cplusplus
}
#endif

#endif
