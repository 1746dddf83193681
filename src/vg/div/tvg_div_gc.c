/* The stroke and fill outline generator: the hooks that VGALFUNC_tvg_div_exec installs. From
 * the reported points, tangents, joins and turns it builds one fill polygon per subpath and
 * the stroke outline: strips offset by half the stroke width on either side (the right list
 * holds the start's left and right offsets and the right side, the left list the start's left
 * offset, the left side and the end's right offset), joins, caps, dashing, fans for turns and
 * crossing pieces where the offset sides twist. Every list belongs to the result path from
 * the moment it is created. */
#include "vg/div/tvg_div.h"

#include <VG/openvg.h>
#include <math.h>

static tvg_div_path_t *_path;
static tvg_div_listincu_t _blistincu, _llistincu, _rlistincu, _ellistincu, _erlistincu;

static float _sx, _sy, _tosx, _tosy;
static float _cx, _cy, _ticx, _ticy, _tocx, _tocy;
static float _clx, _cly, _crx, _cry;
static float _bx, _by; /* last point of the fill list */
static int _twist, _left_turn;

static int _dash_enable, _dash_init_idx, _dash_idx, _init_stroke_on, _stroke_on;
/* Dash lengths in double, so that short dashes on a long piece always advance. */
static double _dash_init_rest, _dash_rest;
static long _dash_elements, _dash_limit = TVG_DIV_DASH_LIMIT_DEFAULT;

/* cos and sin of the 10° step of round joins, caps and fans. */
#define STEP10_COS 0.9848077f
#define STEP10_SIN 0.17364818f

void VGALFUNC_tvg_div_set_dash_limit(long n)
{
  _dash_limit = n > 0 ? n : TVG_DIV_DASH_LIMIT_DEFAULT;
}

static float W(void) { return VGALVAL_tvg_div_stroke_width_half; }

/* ---- Lists ---- */

static int new_list(tvg_div_listincu_t *l, int reverse, int fill)
{
  if (VGALFUNC_tvg_div_listincu_init(l)) return 1;
  if (VGALFUNC_tvg_div_path_add(_path, l->top, reverse, fill)) {
    VGALFUNC_tvg_div_list_free(l->top);
    l->top = l->cur = l->header = NULL;
    return 1;
  }
  return 0;
}

static int put(tvg_div_listincu_t *l, float x, float y)
{
  return VGALFUNC_tvg_div_listincu_add(l, x, y);
}

static void end_list(tvg_div_listincu_t *l)
{
  VGALFUNC_tvg_div_listincu_terminate(l);
  l->cur = l->header = NULL;
}

static int is_open(const tvg_div_listincu_t *l) { return l->top != NULL; }

/* ---- Set-up ---- */

static void setup_dash(void)
{
  _dash_enable = 0;
  _dash_init_idx = 0;
  _dash_init_rest = 0.0;
  _dash_elements = 0;
  if (!VGALVAL_tvg_div_stroke_enable) {
    _init_stroke_on = _stroke_on = 0;
    return;
  }
  _init_stroke_on = 1;
  const int n = VGALVAL_tvg_div_num_dash_pattern;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += VGALVAL_tvg_div_dash_pattern[i];
  if (n > 0 && sum > 0.0 && isfinite(sum)) {
    _dash_enable = 1;
    double p = fmod((double)VGALVAL_tvg_div_dash_phase, sum);
    if (!isfinite(p)) p = 0.0;
    if (p < 0.0) p += sum;
    int idx = 0;
    double rest = p - VGALVAL_tvg_div_dash_pattern[0];
    while (rest > 0.0) {
      idx = (idx + 1) % n;
      _init_stroke_on ^= 1;
      rest -= VGALVAL_tvg_div_dash_pattern[idx];
    }
    _dash_init_idx = idx;
    _dash_init_rest = -rest;
  }
  _stroke_on = _init_stroke_on;
  _dash_idx = _dash_init_idx;
  _dash_rest = _dash_init_rest;
}

void VGALFUNC_tvg_div_gc_setup(void)
{
  setup_dash();
  _twist = 0;
  _blistincu.top = _llistincu.top = _rlistincu.top = _ellistincu.top = _erlistincu.top = NULL;
}

tvg_div_path_t *VGALFUNC_tvg_div_gc_make_path(void)
{
  _path = VGALFUNC_tvg_div_path_new();
  return _path;
}

tvg_div_path_t *VGALFUNC_tvg_div_gc_take_path(void)
{
  tvg_div_path_t *path = _path;
  _path = NULL;
  return path;
}

void VGALFUNC_tvg_div_gc_reset_dashing(void)
{
  if (_dash_enable && VGALVAL_tvg_div_dash_reset) {
    _stroke_on = _init_stroke_on;
    _dash_idx = _dash_init_idx;
    _dash_rest = _dash_init_rest;
  }
  _init_stroke_on = _stroke_on;
}

/* ---- Geometry helpers ---- */

static void offsets(float x, float y, float tx, float ty, float *lx, float *ly, float *rx,
                    float *ry)
{
  const float w = W();
  *lx = x - w * ty;
  *ly = y + w * tx;
  *rx = x + w * ty;
  *ry = y - w * tx;
}

/* Crossing of the line through a0 toward b0 with the line through a1 toward b1; 1 when the
 * lines are parallel (no crossing). */
static int _calc_intersect_point(float a0x, float a0y, float b0x, float b0y, float a1x,
                                 float a1y, float b1x, float b1y, float *x, float *y)
{
  const float e0x = b0x - a0x, e0y = b0y - a0y, e1x = b1x - a1x, e1y = b1y - a1y;
  const float den = e1x * e0y - e0x * e1y;
  if (den == 0.0f) return 1;
  const float s = -((a0y - a1y) * e1x + e1y * a1x - e1y * a0x) / den;
  *x = a0x + s * e0x;
  *y = a0y + s * e0y;
  return !(isfinite(*x) && isfinite(*y));
}

/* The circle run of radius w around (cx, cy) from unit u0 to u1 into list, ending at (ex, ey). */
static int circle_run(tvg_div_listincu_t *l, float cx, float cy, float u0x, float u0y, float u1x,
                      float u1y, float ex, float ey, float cw)
{
  const float w = W();
  const float u2e[9] = {w, 0.0f, 0.0f, 0.0f, w, 0.0f, cx, cy, 1.0f};
  return VGALFUNC_tvg_div_round(u0x, u0y, u1x, u1y, cx + w * u0x, cy + w * u0y, ex, ey, u2e, cw,
                                STEP10_COS, STEP10_SIN, l);
}

/* ---- Strips ---- */

static int _open_stroke(void)
{
  if (_twist) return 0;
  return new_list(&_llistincu, 1, 0) || put(&_llistincu, _clx, _cly) ||
         new_list(&_rlistincu, 0, 0) || put(&_rlistincu, _clx, _cly) ||
         put(&_rlistincu, _crx, _cry);
}

static int _terminate_stroke(void)
{
  int rc = 0;
  if (_twist) {
    if (is_open(&_ellistincu)) rc = put(&_ellistincu, _clx, _cly);
    if (!rc && is_open(&_erlistincu)) rc = put(&_erlistincu, _crx, _cry);
    end_list(&_ellistincu);
    end_list(&_erlistincu);
    _twist = 0;
  } else if (is_open(&_llistincu)) {
    rc = put(&_llistincu, _crx, _cry);
  }
  end_list(&_llistincu);
  end_list(&_rlistincu);
  return rc;
}

static int put_sides(float nlx, float nly, float nrx, float nry)
{
  if (!is_open(&_llistincu) && _open_stroke()) return 1;
  return put(&_llistincu, nlx, nly) || put(&_rlistincu, nrx, nry);
}

/* Appends the crossing of the rungs cl-cr and nl-nr to both twist lists; parallel rungs
 * have none and add nothing. */
static int put_crossing(float nlx, float nly, float nrx, float nry)
{
  float x, y;
  if (_calc_intersect_point(_clx, _cly, _crx, _cry, nlx, nly, nrx, nry, &x, &y)) return 0;
  return put(&_ellistincu, x, y) || put(&_erlistincu, x, y);
}

/* The sides cross over: a strip of each side on its own and two crossing pieces. The side
 * lists change chains with the turn's direction, so each still closes a polygon. */
static int begin_twist(float nlx, float nly, float nrx, float nry)
{
  _twist = 1;
  return new_list(&_llistincu, !_left_turn, 0) || put(&_llistincu, _clx, _cly) ||
         put(&_llistincu, nlx, nly) || new_list(&_rlistincu, _left_turn, 0) ||
         put(&_rlistincu, _crx, _cry) || put(&_rlistincu, nrx, nry) ||
         new_list(&_ellistincu, _left_turn, 0) || put(&_ellistincu, _clx, _cly) ||
         new_list(&_erlistincu, !_left_turn, 0) || put(&_erlistincu, _crx, _cry) ||
         put_crossing(nlx, nly, nrx, nry);
}

static void keep_offsets(float nlx, float nly, float nrx, float nry)
{
  _clx = nlx;
  _cly = nly;
  _crx = nrx;
  _cry = nry;
}

static void take_point(float x, float y, float tx, float ty, float nlx, float nly, float nrx,
                       float nry)
{
  _cx = x;
  _cy = y;
  _ticx = _tocx = tx;
  _ticy = _tocy = ty;
  keep_offsets(nlx, nly, nrx, nry);
}

static int stroke_point(float x, float y, float tx, float ty)
{
  float nlx, nly, nrx, nry;
  offsets(x, y, tx, ty, &nlx, &nly, &nrx, &nry);
  int rc = 0;
  if (_stroke_on) {
    const int twist_now = (nlx - _clx) * (nrx - _crx) + (nly - _cly) * (nry - _cry) < 0.0f;
    const int left_turn = tx * _tocy - ty * _tocx < 0.0f;
    if (!_twist && !twist_now) {
      rc = put_sides(nlx, nly, nrx, nry);
    } else if (twist_now && (!_twist || left_turn != _left_turn)) {
      rc = _terminate_stroke();
      _left_turn = left_turn;
      if (!rc) rc = begin_twist(nlx, nly, nrx, nry);
    } else if (twist_now) {
      rc = put(&_llistincu, nlx, nly) || put(&_rlistincu, nrx, nry) ||
           put_crossing(nlx, nly, nrx, nry);
    } else {
      rc = _terminate_stroke() || _open_stroke() || put_sides(nlx, nly, nrx, nry);
    }
  }
  take_point(x, y, tx, ty, nlx, nly, nrx, nry);
  return rc;
}

/* ---- Caps and fans ---- */

static int _do_cap(float x, float y, float tx, float ty)
{
  tvg_div_listincu_t cap;
  float lx, ly, rx, ry;
  const float w = W();
  offsets(x, y, tx, ty, &lx, &ly, &rx, &ry);
  int rc = 0;
  switch (VGALVAL_tvg_div_cap_style) {
  case VG_CAP_ROUND:
    rc = new_list(&cap, 0, 0) || put(&cap, rx, ry) ||
         circle_run(&cap, x, y, ty, -tx, -ty, tx, lx, ly, 1.0f) || put(&cap, rx, ry);
    break;
  case VG_CAP_SQUARE:
    rc = new_list(&cap, 0, 0) || put(&cap, lx, ly) || put(&cap, rx, ry) ||
         put(&cap, rx + w * tx, ry + w * ty) || put(&cap, lx + w * tx, ly + w * ty) ||
         put(&cap, lx, ly);
    break;
  default: /* butt */
    return 0;
  }
  if (!rc) end_list(&cap);
  return rc;
}

int VGALFUNC__draw_fan(float x0, float y0, float x1, float y1, float tux0, float tuy0,
                       float tux1, float tuy1)
{
  tvg_div_listincu_t fan;
  const float w = W();
  const int rc = new_list(&fan, 0, 0) || put(&fan, x0, y0) ||
                 put(&fan, x0 + w * tux0, y0 + w * tuy0) ||
                 circle_run(&fan, x0, y0, tux0, tuy0, tux1, tuy1, x0 + w * tux1, y0 + w * tuy1,
                            1.0f) ||
                 put(&fan, x1, y1);
  if (!rc) end_list(&fan);
  return rc;
}

/* ---- Hooks ---- */

int VGALFUNC_tvg_div_gc_start(float x, float y)
{
  _sx = _cx = _bx = x;
  _sy = _cy = _by = y;
  _tosx = _tosy = 0.0f;
  _ticx = _ticy = _tocx = _tocy = 0.0f;
  if (VGALVAL_tvg_div_fill_enable) return new_list(&_blistincu, 0, 1) || put(&_blistincu, x, y);
  return 0;
}

static int dash_walk(float x, float y, float tx, float ty)
{
  const float x0 = _cx, y0 = _cy;
  const double lx = (double)x - x0, ly = (double)y - y0;
  const double length = sqrt(lx * lx + ly * ly);
  /* Only non-finite coordinates give a length without end: no dash walk along it. */
  if (!isfinite(length)) return stroke_point(x, y, tx, ty);
  float dx, dy;
  VGALFUNC_tvg_div_calc_unit_vector((float)lx, (float)ly, &dx, &dy);
  double pos = 0.0;
  for (;;) {
    const double left = length - pos;
    const int at_end = !(_dash_rest < left);
    const double step = at_end ? left : _dash_rest;
    _dash_rest -= step;
    float px = x, py = y, ptx = tx, pty = ty;
    if (!at_end) {
      pos += step;
      px = (float)(x0 + dx * pos);
      py = (float)(y0 + dy * pos);
      ptx = dx;
      pty = dy;
    }
    if (stroke_point(px, py, ptx, pty)) return 1;
    if (_dash_rest <= 0.0) {
      if (++_dash_elements > _dash_limit) return 1;
      if (_stroke_on) {
        if (_terminate_stroke() || _do_cap(px, py, dx, dy)) return 1;
      } else {
        if (_open_stroke() || _do_cap(px, py, -dx, -dy)) return 1;
      }
      _stroke_on ^= 1;
      _dash_idx = (_dash_idx + 1) % VGALVAL_tvg_div_num_dash_pattern;
      _dash_rest = VGALVAL_tvg_div_dash_pattern[_dash_idx];
    }
    if (at_end) return 0;
  }
}

int VGALFUNC_tvg_div_gc_add(float x, float y, float tx, float ty)
{
  if (VGALVAL_tvg_div_fill_enable && (x != _bx || y != _by)) {
    if (put(&_blistincu, x, y)) return 1;
    _bx = x;
    _by = y;
  }
  if (!VGALVAL_tvg_div_stroke_enable) return 0;
  if (tx == 0.0f && ty == 0.0f) {
    _cx = x;
    _cy = y;
    return 0;
  }
  if (!_dash_enable) return stroke_point(x, y, tx, ty);
  return dash_walk(x, y, tx, ty);
}

int VGALFUNC_tvg_div_gc_join(float tox, float toy, int cusp)
{
  (void)cusp;
  if (!VGALVAL_tvg_div_stroke_enable || (tox == 0.0f && toy == 0.0f)) return 0;
  float nlx, nly, nrx, nry;
  offsets(_cx, _cy, tox, toy, &nlx, &nly, &nrx, &nry);
  if (_tosx == 0.0f && _tosy == 0.0f) {
    _tosx = _ticx = _tocx = tox;
    _tosy = _ticy = _tocy = toy;
    keep_offsets(nlx, nly, nrx, nry);
    return _stroke_on ? _open_stroke() : 0;
  }
  if (!_stroke_on) {
    keep_offsets(nlx, nly, nrx, nry);
    _tocx = tox;
    _tocy = toy;
    return 0;
  }
  if (_twist && (_terminate_stroke() || _open_stroke())) return 1;
  if (tox == _ticx && toy == _ticy) {
    _tocx = tox;
    _tocy = toy;
    return 0;
  }
  const int outer_left = tox * _ticy - _ticx * toy > 0.0f;
  tvg_div_listincu_t *outer = outer_left ? &_llistincu : &_rlistincu;
  tvg_div_listincu_t *inner = outer_left ? &_rlistincu : &_llistincu;
  const float ox = outer_left ? _clx : _crx, oy = outer_left ? _cly : _cry;
  const float nox = outer_left ? nlx : nrx, noy = outer_left ? nly : nry;
  if (!is_open(outer) && _open_stroke()) return 1;
  int rc = put(inner, _cx, _cy) || put(inner, outer_left ? nrx : nlx, outer_left ? nry : nly);
  const float w = W();
  switch (rc ? 0u : VGALVAL_tvg_div_join_style) {
  case 0u:
    break;
  case VG_JOIN_ROUND:
    rc = circle_run(outer, _cx, _cy, (ox - _cx) / w, (oy - _cy) / w, (nox - _cx) / w,
                    (noy - _cy) / w, nox, noy, outer_left ? -1.0f : 1.0f);
    break;
  case VG_JOIN_MITER: {
    float mx, my;
    if (!_calc_intersect_point(ox, oy, ox + _ticx, oy + _ticy, nox, noy, nox + tox, noy + toy,
                               &mx, &my)) {
      const float ddx = mx - _cx, ddy = my - _cy;
      if (4.0f * (ddx * ddx + ddy * ddy) < VGALVAL_tvg_div_miter_limit_x_width_square)
        rc = put(outer, mx, my);
    }
    if (!rc) rc = put(outer, nox, noy);
    break;
  }
  default: /* bevel */
    rc = put(outer, nox, noy);
    break;
  }
  _tocx = tox;
  _tocy = toy;
  keep_offsets(nlx, nly, nrx, nry);
  return rc;
}

int VGALFUNC_tvg_div_gc_turn(float x0, float y0, float x1, float y1, float tx0, float ty0,
                             float tx1, float ty1)
{
  if (!_stroke_on) return VGALFUNC_tvg_div_gc_add(x1, y1, tx1, ty1);
  if (_terminate_stroke()) return 1;
  /* Normals ordered so that the fans sweep counter-clockwise. */
  const int swap = ty0 * tx1 - tx0 * ty1 >= 0.0f;
  const float a0x = swap ? tx1 : tx0, a0y = swap ? ty1 : ty0;
  const float a1x = swap ? tx0 : tx1, a1y = swap ? ty0 : ty1;
  if (VGALFUNC__draw_fan(x1, y1, x0, y0, -a0y, a0x, -a1y, a1x) ||
      VGALFUNC__draw_fan(x0, y0, x1, y1, a0y, -a0x, a1y, -a1x))
    return 1;
  float nlx, nly, nrx, nry;
  offsets(x1, y1, tx1, ty1, &nlx, &nly, &nrx, &nry);
  _cx = x1;
  _cy = y1;
  keep_offsets(nlx, nly, nrx, nry);
  _tocx = tx1;
  _tocy = ty1;
  return _open_stroke();
}

int VGALFUNC_tvg_div_gc_end(int closing)
{
  int rc = 0;
  if (VGALVAL_tvg_div_stroke_enable) {
    if (_tosx == 0.0f && _tosy == 0.0f) {
      if (_init_stroke_on) rc = _do_cap(_sx, _sy, 1.0f, 0.0f) || _do_cap(_sx, _sy, -1.0f, 0.0f);
    } else if (closing && _init_stroke_on && _stroke_on) {
      rc = VGALFUNC_tvg_div_gc_join(_tosx, _tosy, 0) || _terminate_stroke();
    } else if (closing) {
      if (_init_stroke_on) rc = _do_cap(_sx, _sy, -_tosx, -_tosy);
      if (!rc && _stroke_on) rc = _terminate_stroke() || _do_cap(_cx, _cy, _ticx, _ticy);
    } else {
      if (_stroke_on) rc = _terminate_stroke() || _do_cap(_cx, _cy, _ticx, _ticy);
      if (!rc && _init_stroke_on) rc = _do_cap(_sx, _sy, -_tosx, -_tosy);
    }
  }
  if (!rc && VGALVAL_tvg_div_fill_enable && is_open(&_blistincu)) {
    rc = put(&_blistincu, _sx, _sy);
    end_list(&_blistincu);
  }
  return rc;
}
