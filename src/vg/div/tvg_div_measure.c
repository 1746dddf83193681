/* Path length and point along a path: walkers with hooks of their own, measuring the polyline
 * that the stroke dividers produce. Stroking is enabled (so that the dividers report tangents
 * and joins) and filling is not; the stroke and fill generator is never involved.
 *
 * A piece that the dividers hand over as a turn (a tiny piece, a piece at the depth limit, the
 * fold of a quadratic) is measured as a straight piece to its end point with its end tangent,
 * so that every stretch of the path counts and the tangent after a fold points the way the
 * path goes on. */
#include "vg/div/tvg_div.h"

#include <limits.h>
#include <math.h>

#define IS_MOVE(seg) (((seg) >> 1) == 1)

static int nothing_join(float tox, float toy, int cusp)
{
  (void)tox;
  (void)toy;
  (void)cusp;
  return 0;
}

static int nothing_end(int closing)
{
  (void)closing;
  return 0;
}

/* A turn continues the polyline to its end point, through whichever add hook is installed. */
static int turn_as_add(float x0, float y0, float x1, float y1, float tx0, float ty0, float tx1,
                       float ty1)
{
  (void)x0;
  (void)y0;
  (void)tx0;
  (void)ty0;
  return VGALFUNC_tvg_div_hook_add(x1, y1, tx1, ty1);
}

/* Walks the first `total` segments of the path with the installed hooks. The hooks of this
 * file never fail; the walk stops early only at a segment byte that is no command. */
static void walk(const uint8_t *segs, const void *data, int total)
{
  VGALVAL_tvg_div_stroke_enable = 1;
  VGALVAL_tvg_div_fill_enable = 0;
  VGALFUNC_tvg_div_hook_turn = turn_as_add;
  if (VGALFUNC_tvg_div_proc_subpath_setup()) return;
  const uint8_t *cursor = data;
  float sx = 0.0f, sy = 0.0f;
  int n = total;
  while (n > 0)
    if (VGALFUNC_tvg_div_proc_subpath(&n, &segs, &cursor, &sx, &sy)) return;
}

/* The range start .. start + num_segs - 1 is one the walker can count to. */
static int range_ok(const uint8_t *segs, const void *data, int start, int num_segs)
{
  return segs && data && start >= 0 && num_segs > 0 && num_segs <= INT_MAX - start;
}

/* ---- Length ---- */

static double _length;
static float _x, _y;
static int _count, _start;

static int length_start(float x, float y)
{
  _x = x;
  _y = y;
  return 0;
}

static int length_track(float x, float y, float tx, float ty)
{
  (void)tx;
  (void)ty;
  _x = x;
  _y = y;
  return 0;
}

static int length_measure(float x, float y, float tx, float ty)
{
  const double dx = (double)x - _x, dy = (double)y - _y;
  _length += sqrt(dx * dx + dy * dy);
  return length_track(x, y, tx, ty);
}

static int length_find(int segment)
{
  (void)segment;
  if (_count == _start) VGALFUNC_tvg_div_hook_add = length_measure;
  ++_count;
  return 0;
}

float VGALFUNC_tvg_div_calc_length(const uint8_t *segs, const void *data, int start, int num_segs)
{
  if (!range_ok(segs, data, start, num_segs)) return 0.0f;
  _length = 0.0;
  _x = _y = 0.0f;
  _count = 0;
  _start = start;
  VGALFUNC_tvg_div_hook_start = length_start;
  VGALFUNC_tvg_div_hook_add = length_track;
  VGALFUNC_tvg_div_hook_join = nothing_join;
  VGALFUNC_tvg_div_hook_end = nothing_end;
  VGALFUNC_tvg_div_hook_find_segment = length_find;
  walk(segs, data, start + num_segs);
  return (float)_length;
}

/* ---- Point along path ---- */

static double _distance; /* still to go */
static float _cx, _cy, _ctx, _cty;
static int _ctvalid;
static float _rx, _ry, _rtx, _rty;
static int _skip;

static int point_find(int segment)
{
  if (_count == _start) _skip = 0;
  if (!_skip && !IS_MOVE(segment)) {
    _rx = _cx;
    _ry = _cy;
  }
  ++_count;
  return 0;
}

static int point_start(float x, float y)
{
  _cx = x;
  _cy = y;
  _ctvalid = 0;
  return 0;
}

/* The dividers report no direction (0, 0) where coordinates are not finite: the direction
 * so far is kept, so that every tangent answered is a unit vector. */
static void keep_direction(float *tx, float *ty)
{
  if (*tx == 0.0f && *ty == 0.0f) {
    *tx = _ctx;
    *ty = _cty;
  }
}

static int point_join(float tox, float toy, int cusp)
{
  (void)cusp;
  keep_direction(&tox, &toy);
  if (!_skip) {
    _rtx = _ctvalid ? _ctx : tox;
    _rty = _ctvalid ? _cty : toy;
    if (_distance == 0.0) _skip = 1;
  }
  _ctx = tox;
  _cty = toy;
  _ctvalid = 1;
  return 0;
}

static int point_add(float x, float y, float tx, float ty)
{
  keep_direction(&tx, &ty);
  if (!_skip) {
    const double dx = (double)x - _cx, dy = (double)y - _cy;
    const double a = sqrt(dx * dx + dy * dy);
    if (a >= _distance) {
      const double t = a > 0.0 ? _distance / a : 0.0;
      _rx = (float)(_cx + t * dx);
      _ry = (float)(_cy + t * dy);
      VGALFUNC_tvg_div_calc_unit_vector((float)(_ctx + t * ((double)tx - _ctx)),
                                        (float)(_cty + t * ((double)ty - _cty)), &_rtx, &_rty);
      /* Opposite tangents halfway between them blend to nothing: the piece's own direction
       * is the one left. */
      if (_rtx == 0.0f && _rty == 0.0f) {
        _rtx = tx;
        _rty = ty;
      }
      _skip = 1;
    } else {
      _rx = x;
      _ry = y;
      _rtx = tx;
      _rty = ty;
    }
    _distance -= a;
  }
  _cx = x;
  _cy = y;
  _ctx = tx;
  _cty = ty;
  _ctvalid = 1;
  return 0;
}

void VGALFUNC_tvg_div_calc_point_along_path(const uint8_t *segs, const void *data, int start,
                                            int num_segs, float distance, float *x, float *y,
                                            float *tx, float *ty)
{
  if (!range_ok(segs, data, start, num_segs)) return;
  /* A distance that is not positive (NaN included) is the start of the range. */
  _distance = distance > 0.0f ? distance : 0.0;
  _skip = 1;
  _cx = _cy = 0.0f;
  _ctx = 1.0f;
  _cty = 0.0f;
  _ctvalid = 0;
  _rx = _ry = 0.0f;
  _rtx = 1.0f;
  _rty = 0.0f;
  _count = 0;
  _start = start;
  VGALFUNC_tvg_div_hook_start = point_start;
  VGALFUNC_tvg_div_hook_add = point_add;
  VGALFUNC_tvg_div_hook_join = point_join;
  VGALFUNC_tvg_div_hook_end = nothing_end;
  VGALFUNC_tvg_div_hook_find_segment = point_find;
  walk(segs, data, start + num_segs);
  if (x && y) {
    *x = _rx;
    *y = _ry;
  }
  if (tx && ty) {
    *tx = _rtx;
    *ty = _rty;
  }
}
