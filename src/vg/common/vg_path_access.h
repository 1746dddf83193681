/* Coordinate access shared by the path operations: the per-command and per-datatype tables, the
 * source and destination cursors with the readers and writers they select, the converters that
 * append one path's coordinates to another's, and the allocator of the path buffers.
 *
 * A reader turns n stored elements of the source path, from the source cursor on, into floats
 * in user units (scale and bias applied) and advances the cursor; a writer stores n user-unit
 * floats into the destination path, from the destination cursor on, as the destination's
 * scale and bias ask, and advances that cursor. Integer datatypes store floor(value + 0.5) as a
 * 32-bit integer (NaN as 0, beyond the range saturated) in their low 8, 16 or 32 bits. The
 * cursors are process-wide: one operation at a time. */
#ifndef OVG_VG_COMMON_VG_PATH_ACCESS_H
#define OVG_VG_COMMON_VG_PATH_ACCESS_H

#include <stddef.h>
#include <stdint.h>

#include "vg/common/vg_heap.h"
#include "vg/common/vg_path.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Command index (segment byte >> 1) 0 to 12. */
#define OVG_PATH_COMMANDS 13
/* Segment bytes at or above this are no command. */
#define OVG_PATH_SEGMENT_END 26
/* Buffer capacities are 32-bit signed byte counts. */
#define OVG_PATH_MAX_BYTES 0x7FFFFFFFll

/* Normal types of the commands. */
enum { OVG_NORMAL_CLOSE, OVG_NORMAL_MOVE, OVG_NORMAL_LINE, OVG_NORMAL_CURVE, OVG_NORMAL_ARC };

/* Per command index: coordinates stored, after a transform, after normalisation; normal type. */
extern const VGint VGVAL_numData[OVG_PATH_COMMANDS];
extern const VGint VGVAL_transNumData[OVG_PATH_COMMANDS];
extern const VGint VGVAL_normalizedNumData[OVG_PATH_COMMANDS];
extern const VGint VGVAL_normaltype[OVG_PATH_COMMANDS];
/* Per normal type but arcs: the command interpolation writes. */
extern const VGubyte VGVAL_pathtype[OVG_NORMAL_ARC];
/* Per datatype: element size in bytes and its log2. */
extern const VGint VGVAL_align[4];
extern const VGint VGVAL_datashift[4];

typedef void (*OVGreadfunc)(VGfloat *dst, VGint n);
typedef void (*OVGwritefunc)(const VGfloat *src, VGint n);

/* Points the source cursor at element position of path and returns the reader for the path's
 * datatype, scale and bias (plain, bias only, scale only or both: exact comparisons with 1 and
 * 0). */
OVGreadfunc VGFUNC_SetSourceCursor(const OVGpath *path, VGint position);
/* The same for the destination cursor and the writers. */
OVGwritefunc VGFUNC_SetDestCursor(OVGpath *path, VGint position);
/* Appends all of src's numCoords coordinates to dst's buffer from dst's element numCoords on,
 * as (v x src scale + src bias - dst bias) / dst scale. The caller has made room and updates
 * dst's count. */
void VGFUNC_CopyData(OVGpath *dst, const OVGpath *src);


#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_PATH_ACCESS_H */
