#ifndef VG_AL_LX740_DRAWPATH_H
#define VG_AL_LX740_DRAWPATH_H

/* Path filling on the vertex processor. A path's coordinates are converted to floats once and
 * sorted into four command lists by segment kind (line, quadratic, cubic and arc entries of the
 * path microcode); the lists are cached with the path, in GPU work memory when there is room,
 * and replayed by the command master while the path's data stays unchanged. When no list can be
 * built the segments are streamed straight into the command buffer (the slow path). */

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

/* Writes the subdivision thresholds of setPathDivisionParameters into the vertex-processor
 * constants when they changed. */
void writeDivisionParameters(const OVGmatrix *m, float strokeLineWidth);

/* Prepares one pass: drops stale lists, allocates the lists of a pass that needs them and
 * converts the coordinates; sets pathcmdbuffer_nospace when the slow path must draw. */
void chooseFunction(OVGpath *path, int isStroke);
/* Builds the fill lists of path from the converted coordinates and caches them in alpath. */
void drawPathFill(OVGpath *path);
/* Streams the fill of path into the command buffer, nothing cached. */
void drawPathFill_slow(OVGpath *path);
/* Drops the partial lists of a failed walk and prepares the slow path's coordinate reader. */
void parseFail(OVGpath *path, int isStroke);
/* The fill pass's segments after chooseFunction(path, 0): the cached lists, built first when
 * stale, or the slow path's stream when no list can be had. */
void VGALFUNC_sendfill(OVGpath *path);
/* Fills (VG_FILL_PATH) and strokes (VG_STROKE_PATH) path with the context's state; 0, or
 * VG_OUT_OF_MEMORY_ERROR when the paint state could not be set up (the draw's commands are then
 * dropped). A stroke pass validates the state and draws nothing yet. */
VGErrorCode VGHAL_ALdrawPath(OVGpath *path, VGbitfield paintModes);
/* Hands the cached fill lists of alpath to the GPU: GPU-resident lists through the command
 * master, heap lists through the command FIFO. */
void VGALFUNC_emitfilllists(void);

#ifdef __cplusplus
}
#endif

#endif
