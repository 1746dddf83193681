/* The walker: reads a path's segments one subpath at a time, with the coordinates of any
 * datatype adjusted by the scale and bias parameters, and hands every drawing segment to the
 * curve dividers. */
#include "vg/div/tvg_div.h"

#include <math.h>
#include <string.h>

tvg_div_hook_start_t VGALFUNC_tvg_div_hook_start;
tvg_div_hook_add_t VGALFUNC_tvg_div_hook_add;
tvg_div_hook_join_t VGALFUNC_tvg_div_hook_join;
tvg_div_hook_end_t VGALFUNC_tvg_div_hook_end;
tvg_div_hook_find_segment_t VGALFUNC_tvg_div_hook_find_segment;
tvg_div_hook_turn_t VGALFUNC_tvg_div_hook_turn;

/* ---- Coordinate readers ---- */

typedef float (*raw_reader)(const uint8_t *p);

static float read_s8(const uint8_t *p) { return (float)(int8_t)p[0]; }
static float read_s16(const uint8_t *p)
{
  int16_t v;
  memcpy(&v, p, sizeof v);
  return (float)v;
}
static float read_s32(const uint8_t *p)
{
  int32_t v;
  memcpy(&v, p, sizeof v);
  return (float)v;
}
static float read_f(const uint8_t *p)
{
  float v;
  memcpy(&v, p, sizeof v);
  return v;
}

static const raw_reader readers[4] = {read_s8, read_s16, read_s32, read_f};
static const int element_size[4] = {1, 2, 4, 4};

static raw_reader reader = read_f;
static int reader_step = 4;
static float read_scale = 1.0f, read_bias = 0.0f;
static enum { ADJ_NONE, ADJ_BIAS, ADJ_SCALE, ADJ_BOTH } adjust;

int VGALFUNC_tvg_div_proc_subpath_setup(void)
{
  uint32_t type = VGALVAL_tvg_div_datatype;
  if (type > 3) return 1;
  reader = readers[type];
  reader_step = element_size[type];
  read_scale = VGALVAL_tvg_div_scale;
  read_bias = VGALVAL_tvg_div_bias;
  if (read_scale == 1.0f)
    adjust = read_bias == 0.0f ? ADJ_NONE : ADJ_BIAS;
  else
    adjust = read_bias == 0.0f ? ADJ_SCALE : ADJ_BOTH;
  return 0;
}

static void read_coords(const uint8_t **data, float *out, int n)
{
  for (int i = 0; i < n; ++i) {
    float v = reader(*data);
    *data += reader_step;
    switch (adjust) {
    case ADJ_NONE: break;
    case ADJ_BIAS: v += read_bias; break;
    case ADJ_SCALE: v *= read_scale; break;
    case ADJ_BOTH: v = v * read_scale + read_bias; break;
    }
    out[i] = v;
  }
}

void VGALFUNC_tvg_div_calc_unit_vector(float x, float y, float *ux, float *uy)
{
  /* In double, so that a long vector does not overflow to an infinite length. */
  double len = sqrt((double)x * x + (double)y * y);
  if (len == 0.0 || !isfinite(len)) {
    *ux = *uy = 0.0f;
    return;
  }
  *ux = (float)(x / len);
  *uy = (float)(y / len);
}

/* ---- One subpath ---- */

enum { CMD_CLOSE, CMD_MOVE, CMD_LINE, CMD_HLINE, CMD_VLINE, CMD_QUAD, CMD_CUBIC, CMD_SQUAD,
       CMD_SCUBIC, CMD_SCCWARC, CMD_SCWARC, CMD_LCCWARC, CMD_LCWARC };

#define LAST_SEGMENT_BYTE 25

/* Reads n points; relative ones are moved by (ox, oy). */
static void read_points(const uint8_t **data, float *pts, int n, float ox, float oy)
{
  read_coords(data, pts, 2 * n);
  for (int i = 0; i < n; ++i) {
    pts[2 * i] += ox;
    pts[2 * i + 1] += oy;
  }
}

/* Draws one segment from the current point o with previous control point p. Returns 0, 1
 * on failure; sets *closing for a close. */
static int draw_segment(uint8_t seg, const uint8_t **data, float o[2], float p[2],
                        const float start[2], int *closing)
{
  const int cmd = seg >> 1, rel = seg & 1;
  const float ox = rel ? o[0] : 0.0f, oy = rel ? o[1] : 0.0f;
  float v[6];
  int rc = 0;
  switch (cmd) {
  case CMD_CLOSE:
    *closing = 1;
    return VGALFUNC_tvg_div_line(o[0], o[1], start[0], start[1]);
  case CMD_LINE:
    read_points(data, v, 1, ox, oy);
    break;
  case CMD_HLINE:
    read_coords(data, v, 1);
    v[0] += ox;
    v[1] = o[1];
    break;
  case CMD_VLINE:
    read_coords(data, v + 1, 1);
    v[0] = o[0];
    v[1] += oy;
    break;
  case CMD_QUAD:
  case CMD_SQUAD:
  case CMD_CUBIC:
  case CMD_SCUBIC: {
    /* v: the control points, then the end; a smooth segment's first control point is the
     * previous one reflected through o. */
    const int cubic = cmd == CMD_CUBIC || cmd == CMD_SCUBIC, n = cubic ? 3 : 2;
    if (cmd == CMD_SQUAD || cmd == CMD_SCUBIC) {
      v[0] = 2.0f * o[0] - p[0];
      v[1] = 2.0f * o[1] - p[1];
      read_points(data, v + 2, n - 1, ox, oy);
    } else {
      read_points(data, v, n, ox, oy);
    }
    rc = cubic ? VGALFUNC_tvg_div_cubic(o[0], o[1], v[0], v[1], v[2], v[3], v[4], v[5])
               : VGALFUNC_tvg_div_quad(o[0], o[1], v[0], v[1], v[2], v[3]);
    p[0] = v[2 * n - 4];
    p[1] = v[2 * n - 3];
    o[0] = v[2 * n - 2];
    o[1] = v[2 * n - 1];
    return rc;
  }
  default: { /* the four arcs */
    read_coords(data, v, 5);
    const float ex = v[3] + ox, ey = v[4] + oy;
    const float dx = rel ? v[3] : ex - o[0], dy = rel ? v[4] : ey - o[1];
    rc = VGALFUNC_tvg_div_arc(cmd, o[0], o[1], v[0], v[1], v[2], ex, ey, dx, dy);
    v[0] = ex;
    v[1] = ey;
    break;
  }
  }
  if (!rc && cmd <= CMD_VLINE) rc = VGALFUNC_tvg_div_line(o[0], o[1], v[0], v[1]);
  o[0] = p[0] = v[0];
  o[1] = p[1] = v[1];
  return rc;
}

int VGALFUNC_tvg_div_proc_subpath(int *ptr_num_segs, const uint8_t **ptr_segs,
                                  const uint8_t **ptr_data, float *sx, float *sy)
{
  int n = *ptr_num_segs;
  const uint8_t *segs = *ptr_segs;
  const uint8_t *data = *ptr_data;
  int rc = 0, closing = 0;

  while (n > 0 && (segs[0] >> 1) == CMD_MOVE) {
    float v[2];
    VGALFUNC_tvg_div_hook_find_segment(segs[0]);
    read_coords(&data, v, 2);
    if (segs[0] & 1) {
      v[0] += *sx;
      v[1] += *sy;
    }
    *sx = v[0];
    *sy = v[1];
    ++segs;
    --n;
  }
  if (n > 0) {
    const float start[2] = {*sx, *sy};
    float o[2] = {*sx, *sy}, p[2] = {*sx, *sy};
    rc = VGALFUNC_tvg_div_hook_start(start[0], start[1]);
    while (!rc && !closing && n > 0) {
      const uint8_t seg = segs[0];
      if ((seg >> 1) == CMD_MOVE) {
        *sx = o[0];
        *sy = o[1];
        break;
      }
      if (seg > LAST_SEGMENT_BYTE) {
        rc = 1;
        break;
      }
      VGALFUNC_tvg_div_hook_find_segment(seg);
      ++segs;
      --n;
      rc = draw_segment(seg, &data, o, p, start, &closing);
    }
    if (!rc) rc = VGALFUNC_tvg_div_hook_end(closing);
  }
  *ptr_num_segs = n;
  *ptr_segs = segs;
  *ptr_data = data;
  return rc;
}

/* ---- The whole path through the generator ---- */

static int find_segment_nothing(int segment)
{
  (void)segment;
  return 0;
}

void VGALFUNC_tvg_div_exec_setup(void)
{
  VGALFUNC_tvg_div_hook_start = VGALFUNC_tvg_div_gc_start;
  VGALFUNC_tvg_div_hook_add = VGALFUNC_tvg_div_gc_add;
  VGALFUNC_tvg_div_hook_join = VGALFUNC_tvg_div_gc_join;
  VGALFUNC_tvg_div_hook_end = VGALFUNC_tvg_div_gc_end;
  VGALFUNC_tvg_div_hook_find_segment = find_segment_nothing;
  VGALFUNC_tvg_div_hook_turn = VGALFUNC_tvg_div_gc_turn;
}

tvg_div_path_t *VGALFUNC_tvg_div_exec(int num_segs, const uint8_t *segs, const void *data)
{
  const float width = VGALVAL_tvg_div_stroke_width, limit = VGALVAL_tvg_div_miter_limit;
  VGALVAL_tvg_div_stroke_enable = (VGALVAL_tvg_div_paint_mode & 1u) != 0;
  VGALVAL_tvg_div_fill_enable = (VGALVAL_tvg_div_paint_mode & 2u) != 0;
  VGALVAL_tvg_div_miter_limit_x_width_square = width * (limit * limit * width);

  VGALFUNC_tvg_div_exec_setup();
  VGALFUNC_tvg_div_gc_setup();
  if (VGALFUNC_tvg_div_proc_subpath_setup()) return NULL;
  if (!VGALFUNC_tvg_div_gc_make_path()) return NULL;
  if (num_segs < 1) return VGALFUNC_tvg_div_gc_take_path();

  const uint8_t *cursor = data;
  float sx = 0.0f, sy = 0.0f;
  while (num_segs > 0) {
    if (VGALFUNC_tvg_div_proc_subpath(&num_segs, &segs, &cursor, &sx, &sy)) {
      VGALFUNC_tvg_div_path_free(VGALFUNC_tvg_div_gc_take_path());
      return NULL;
    }
    VGALFUNC_tvg_div_gc_reset_dashing();
  }
  return VGALFUNC_tvg_div_gc_take_path();
}
