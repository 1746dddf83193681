/* CPU path subdivision: turns a path's segment bytes and coordinates into straight pieces.
 *
 * A walker reads one subpath at a time and hands every segment to the curve dividers, which
 * report points, tangents, joins and turns through six replaceable hooks. With the stroke and
 * fill generator installed as the hooks (VGALFUNC_tvg_div_exec), the result is a
 * tvg_div_path_t: chained point lists for the fill outline and for the two sides of the
 * stroke outline.
 *
 * Parameters, hooks and generator state are process globals: one subdivision runs at a time.
 * Every function that can fail returns 0 on success and 1 on failure (out of memory, or a
 * hook that refused). */
#ifndef OVG_VG_DIV_TVG_DIV_H
#define OVG_VG_DIV_TVG_DIV_H

#include <stddef.h>
#include <stdint.h>

#include "vg/common/vg_matrix.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Point lists ------------------------------------------------------------------------ */

/* One cell of a point-list chunk: a count, a coordinate or the link to the next chunk. */
typedef union tvg_div_data {
  union tvg_div_data *ptr;
  float fval;
  int32_t ival;
} tvg_div_data_t;

/* A chunk is TVG_DIV_CHUNK_CELLS cells: cell 0 the number n of points in it (at most 16),
 * cells 1 to 2n the points as x, y pairs, cell 2n + 1 the next chunk or null. */
#define TVG_DIV_CHUNK_POINTS 16
#define TVG_DIV_CHUNK_CELLS (2 * TVG_DIV_CHUNK_POINTS + 2)

/* The builder of one list. */
typedef struct {
  int listsize;            /* cells for points in a chunk (32) */
  int usedsize;            /* cells used in the current chunk */
  tvg_div_data_t *top;     /* first chunk; null once terminated */
  tvg_div_data_t *cur;     /* where the next point goes */
  tvg_div_data_t *header;  /* the current chunk */
} tvg_div_listincu_t;

typedef struct tvg_div_subpath {
  tvg_div_data_t *points;        /* first chunk of the list */
  struct tvg_div_subpath *next;
} tvg_div_subpath_t;

/* The result of a subdivision. Every chain holds its subpaths newest first. The path owns
 * its subpaths and their lists. */
typedef struct {
  tvg_div_subpath_t *fill;
  tvg_div_subpath_t *stroke_normal;
  tvg_div_subpath_t *stroke_reverse;
} tvg_div_path_t;

int VGALFUNC_tvg_div_listincu_init(tvg_div_listincu_t *listincu);
int VGALFUNC_tvg_div_listincu_add(tvg_div_listincu_t *listincu, float x, float y);
void VGALFUNC_tvg_div_listincu_terminate(tvg_div_listincu_t *listincu);
void VGALFUNC_tvg_div_list_free(tvg_div_data_t *top);

tvg_div_path_t *VGALFUNC_tvg_div_path_new(void);
/* Pushes the list at the head of fill (fill true), else stroke_reverse (reverse true), else
 * stroke_normal. On failure the list is not taken: the caller still owns it. */
int VGALFUNC_tvg_div_path_add(tvg_div_path_t *path, tvg_div_data_t *list, int reverse, int fill);
void VGALFUNC_tvg_div_path_free(tvg_div_path_t *path);

/* Allocation seam of the chunk, subpath and path records: null functions restore malloc and
 * free. Tests install allocators that fail on purpose. */
typedef void *(*tvg_div_alloc_fn)(size_t size);
typedef void (*tvg_div_release_fn)(void *block);
void VGALFUNC_tvg_div_set_allocator(tvg_div_alloc_fn alloc, tvg_div_release_fn release);
void *VGALFUNC_tvg_div_alloc(size_t size);
void VGALFUNC_tvg_div_release(void *block);

/* ---- Parameters --------------------------------------------------------------------------- */

#define TVG_DIV_MAX_DASH 16

extern uint32_t VGALVAL_tvg_div_cap_style;
extern uint32_t VGALVAL_tvg_div_join_style;
extern float VGALVAL_tvg_div_miter_limit;
extern int32_t VGALVAL_tvg_div_num_dash_pattern;
extern float VGALVAL_tvg_div_dash_pattern[TVG_DIV_MAX_DASH];
extern float VGALVAL_tvg_div_dash_phase;
extern int32_t VGALVAL_tvg_div_dash_reset;
extern float VGALVAL_tvg_div_stroke_width;
extern float VGALVAL_tvg_div_stroke_width_half;
extern int32_t VGALVAL_tvg_div_division_number;
extern uint32_t VGALVAL_tvg_div_paint_mode;  /* bit 0 stroke, bit 1 fill */
extern float VGALVAL_tvg_div_scale;
extern float VGALVAL_tvg_div_bias;
extern uint32_t VGALVAL_tvg_div_datatype;    /* 0 S_8, 1 S_16, 2 S_32, 3 float */

/* Derived at the start of every exec. */
extern int32_t VGALVAL_tvg_div_stroke_enable;
extern int32_t VGALVAL_tvg_div_fill_enable;
extern float VGALVAL_tvg_div_miter_limit_x_width_square;

void VGALFUNC_tvg_div_init(void);
void VGALFUNC_tvg_div_set_paint_mode(uint32_t mode);
void VGALFUNC_tvg_div_set_scale(float v);
void VGALFUNC_tvg_div_set_bias(float v);
void VGALFUNC_tvg_div_set_datatype(uint32_t v);
void VGALFUNC_tvg_div_set_dash_phase(float v);
void VGALFUNC_tvg_div_set_dash_reset(int32_t v);
/* At most TVG_DIV_MAX_DASH values are taken; the count is then rounded down to even and
 * negative values are stored as 0. */
void VGALFUNC_tvg_div_set_dash_pattern(int32_t count, const float *pattern);
/* n <= 1 gives 1, else the smallest power of two >= n, at most 128. */
void VGALFUNC_tvg_div_set_division_number(int32_t n);
void VGALFUNC_tvg_div_set_stroke_width(float w);
void VGALFUNC_tvg_div_set_miter_limit(float v);
void VGALFUNC_tvg_div_set_join_style(uint32_t v);
void VGALFUNC_tvg_div_set_cap_style(uint32_t v);

/* Dash elements one exec may walk before it gives up and returns null (default 1 << 20);
 * n <= 0 restores the default. */
#define TVG_DIV_DASH_LIMIT_DEFAULT (1L << 20)
void VGALFUNC_tvg_div_set_dash_limit(long n);

/* ---- Hooks -------------------------------------------------------------------------------- */

typedef int (*tvg_div_hook_start_t)(float x, float y);
typedef int (*tvg_div_hook_add_t)(float x, float y, float tx, float ty);
typedef int (*tvg_div_hook_join_t)(float tox, float toy, int cusp);
typedef int (*tvg_div_hook_end_t)(int closing);
typedef int (*tvg_div_hook_find_segment_t)(int segment);
typedef int (*tvg_div_hook_turn_t)(float x0, float y0, float x1, float y1, float tx0, float ty0,
                                   float tx1, float ty1);

extern tvg_div_hook_start_t VGALFUNC_tvg_div_hook_start;
extern tvg_div_hook_add_t VGALFUNC_tvg_div_hook_add;
extern tvg_div_hook_join_t VGALFUNC_tvg_div_hook_join;
extern tvg_div_hook_end_t VGALFUNC_tvg_div_hook_end;
extern tvg_div_hook_find_segment_t VGALFUNC_tvg_div_hook_find_segment;
extern tvg_div_hook_turn_t VGALFUNC_tvg_div_hook_turn;

/* ---- Walker ------------------------------------------------------------------------------- */

/* Runs the generator over a whole path; the caller frees the result with
 * VGALFUNC_tvg_div_path_free. Null on failure. */
tvg_div_path_t *VGALFUNC_tvg_div_exec(int num_segs, const uint8_t *segs, const void *data);
void VGALFUNC_tvg_div_exec_setup(void);
/* Chooses the coordinate reader for the datatype, scale and bias parameters; 1 for a
 * datatype that does not exist. */
int VGALFUNC_tvg_div_proc_subpath_setup(void);
/* One subpath; advances the three cursors. (sx, sy) carry the subpath start between calls. */
int VGALFUNC_tvg_div_proc_subpath(int *ptr_num_segs, const uint8_t **ptr_segs,
                                  const uint8_t **ptr_data, float *sx, float *sy);
void VGALFUNC_tvg_div_calc_unit_vector(float x, float y, float *ux, float *uy);

/* ---- Curve dividers ----------------------------------------------------------------------- */

int VGALFUNC_tvg_div_line(float x0, float y0, float x1, float y1);
int VGALFUNC_tvg_div_quad(float x0, float y0, float x1, float y1, float x2, float y2);
int VGALFUNC_tvg_div_cubic(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                           float y3);
/* seg is the command index 9 to 12 (small/large, counter-clockwise/clockwise); rot in
 * degrees; (dx, dy) = end - start. */
int VGALFUNC_tvg_div_arc(int seg, float x0, float y0, float rh, float rv, float rot, float x1,
                         float y1, float dx, float dy);
/* Appends the circular-arc points from unit direction u0 to u1 mapped by u2e (column-major
 * 3x3: linear part m[0], m[1], m[3], m[4], translation m[6], m[7]), cw = +1 counter-clockwise
 * or -1 clockwise, stepping by the rotation (cosval, sinval), then (x1, y1). The start point
 * (x0, y0) is not added. */
int VGALFUNC_tvg_div_round(float ux0, float uy0, float ux1, float uy1, float x0, float y0,
                           float x1, float y1, const float u2e[9], float cw, float cosval,
                           float sinval, tvg_div_listincu_t *listincu);

/* The quarter circle in 32 steps, rounded to 6 decimals. */
extern const float VGALVAL_tvg_div_tbl_cos[33];
extern const float VGALVAL_tvg_div_tbl_sin[33];

/* ---- Stroke and fill generator ------------------------------------------------------------ */

void VGALFUNC_tvg_div_gc_setup(void);
tvg_div_path_t *VGALFUNC_tvg_div_gc_make_path(void);
/* Hands the path being built to the caller (the generator forgets it). */
tvg_div_path_t *VGALFUNC_tvg_div_gc_take_path(void);
int VGALFUNC_tvg_div_gc_start(float x, float y);
int VGALFUNC_tvg_div_gc_add(float x, float y, float tx, float ty);
int VGALFUNC_tvg_div_gc_join(float tox, float toy, int cusp);
int VGALFUNC_tvg_div_gc_end(int closing);
int VGALFUNC_tvg_div_gc_turn(float x0, float y0, float x1, float y1, float tx0, float ty0,
                             float tx1, float ty1);
int VGALFUNC__draw_fan(float x0, float y0, float x1, float y1, float tux0, float tuy0,
                       float tux1, float tuy1);
void VGALFUNC_tvg_div_gc_reset_dashing(void);

/* ---- Path queries ------------------------------------------------------------------------- */

/* The length of segments start to start + num_segs - 1 of a path (the datatype, scale and bias
 * parameters say how to read data), measured along the stroke dividers' polyline: moves add
 * nothing, a close adds its closing line. The range must lie inside the path; a null pointer,
 * a negative start, num_segs < 1 or a range past INT_MAX gives 0 and walks nothing. */
float VGALFUNC_tvg_div_calc_length(const uint8_t *segs, const void *data, int start, int num_segs);
/* The point at distance along the same range and the unit tangent there: a distance that is
 * not positive gives the range's start, one beyond its length the end of its last piece with
 * that piece's tangent; a range of moves only gives (0, 0) and (1, 0). x and y are written
 * only when both are given, tx and ty likewise. The same ranges as above write nothing. */
void VGALFUNC_tvg_div_calc_point_along_path(const uint8_t *segs, const void *data, int start,
                                            int num_segs, float distance, float *x, float *y,
                                            float *tx, float *ty);

/* The box around every point of path's fill chain: (0, 0, -1, -1) when it has none. Nothing
 * is written unless all four outputs are given. */
void VGALFUNC_tvg_tsw_calc_bounds(const tvg_div_path_t *path, float *minx, float *miny,
                                  float *width, float *height);
/* Stores the matrix (its nine values, the identity's for an identity matrix, and its flag
 * word) for the transformed bounds. */
void VGALFUNC_tvg_tsw_set_mtx_u2s(const OVGmatrix *matrix);
/* The same box after every point has gone through the stored matrix (its third row too when
 * flag bit 16 is set: a point with w = 0 goes to the origin). */
void VGALFUNC_tvg_tsw_calc_transformed_bounds(const tvg_div_path_t *path, float *minx,
                                              float *miny, float *width, float *height);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_DIV_TVG_DIV_H */
