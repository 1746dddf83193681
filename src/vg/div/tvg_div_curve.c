/* Curve division: lines, quadratic and cubic Béziers and elliptical arcs become points
 * reported through the hooks (for filling a polygon, for stroking points with unit tangents,
 * joins where a segment starts and turns where a piece is too small or too bent to follow);
 * circular-arc point runs for round joins and caps. */
#include "vg/div/tvg_div.h"

#include <math.h>

#define FLAT_SIN2 0.030153689375423325 /* sin² of the 10° flatness angle */
#define DIST_TOL2 0.25                 /* 0.5², the control-point distance tolerance */
#define TINY 0.0001                    /* sum of absolute leg components of a tiny piece */
#define MAX_DEPTH 8
/* A step point this close (in unit-circle cosine) to the end is left out: the end point
 * itself follows, and rotating by rounded step values drifts by a few millionths. */
#define END_MARGIN 1e-4f
/* No circle run takes more steps than a full turn at the finest division. */
#define MAX_STEPS (4 * 128 + 8)

const float VGALVAL_tvg_div_tbl_cos[33] = {
    1.000000f, 0.998795f, 0.995185f, 0.989177f, 0.980785f, 0.970031f, 0.956940f,
    0.941544f, 0.923880f, 0.903989f, 0.881921f, 0.857729f, 0.831470f, 0.803208f,
    0.773010f, 0.740951f, 0.707107f, 0.671559f, 0.634393f, 0.595699f, 0.555570f,
    0.514103f, 0.471397f, 0.427555f, 0.382683f, 0.336890f, 0.290285f, 0.242980f,
    0.195090f, 0.146730f, 0.098017f, 0.049068f, 0.000000f};
const float VGALVAL_tvg_div_tbl_sin[33] = {
    0.000000f, 0.049068f, 0.098017f, 0.146730f, 0.195090f, 0.242980f, 0.290285f,
    0.336890f, 0.382683f, 0.427555f, 0.471397f, 0.514103f, 0.555570f, 0.595699f,
    0.634393f, 0.671559f, 0.707107f, 0.740951f, 0.773010f, 0.803208f, 0.831470f,
    0.857729f, 0.881921f, 0.903989f, 0.923880f, 0.941544f, 0.956940f, 0.970031f,
    0.980785f, 0.989177f, 0.995185f, 0.998795f, 1.000000f};

static int _depth_quad, _depth_cubic;

typedef struct {
  float x, y;
} pt;

static pt P(float x, float y) { pt p = {x, y}; return p; }
static pt sub(pt a, pt b) { return P(a.x - b.x, a.y - b.y); }
static pt add(pt a, pt b) { return P(a.x + b.x, a.y + b.y); }
static pt mid(pt a, pt b) { return P((a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f); }
static int is_zero(pt a) { return a.x == 0.0f && a.y == 0.0f; }
static int same(pt a, pt b) { return a.x == b.x && a.y == b.y; }
static double cross(pt a, pt b) { return (double)a.x * b.y - (double)a.y * b.x; }
static double dot(pt a, pt b) { return (double)a.x * b.x + (double)a.y * b.y; }
static double len2(pt a) { return dot(a, a); }

static pt unit(pt v)
{
  pt u;
  VGALFUNC_tvg_div_calc_unit_vector(v.x, v.y, &u.x, &u.y);
  return u;
}

/* The unit vector of the first non-zero of up to three vectors; (0, 0) when all are zero. */
static pt first_unit(pt a, pt b, pt c)
{
  return unit(!is_zero(a) ? a : !is_zero(b) ? b : c);
}

/* Legs a and b turn by at most 10° and do not reverse. */
static int flat_pair(pt a, pt b)
{
  const double c = cross(a, b);
  return dot(a, b) >= 0.0 && c * c <= len2(a) * len2(b) * FLAT_SIN2;
}

static int report(pt p, pt t) { return VGALFUNC_tvg_div_hook_add(p.x, p.y, t.x, t.y); }

/* Runs part with one of the two enables switched off when both are on, so that the fill
 * polygon and the stroke see each curve exactly once. */
static int only(int32_t *keep_off, int (*part)(const pt *), const pt *pts)
{
  const int32_t saved = *keep_off;
  *keep_off = 0;
  const int rc = part(pts);
  *keep_off = saved;
  return rc;
}

int VGALFUNC_tvg_div_line(float x0, float y0, float x1, float y1)
{
  if (x0 == x1 && y0 == y1) return 0;
  pt t = P(0.0f, 0.0f);
  if (VGALVAL_tvg_div_stroke_enable) {
    t = unit(P(x1 - x0, y1 - y0));
    if (VGALFUNC_tvg_div_hook_join(t.x, t.y, 0)) return 1;
  }
  return report(P(x1, y1), t);
}

/* ---- Quadratic ---- */

/* Fill dividers on absolute points p[0..2]. */
static int quad_fill_angle(pt p0, pt p1, pt p2)
{
  const pt a = sub(p1, p0), b = sub(p2, p1);
  const pt m01 = mid(p0, p1), m12 = mid(p1, p2), m = mid(m01, m12);
  if (flat_pair(a, b)) return report(m, P(0, 0)) || report(p2, P(0, 0));
  if (fabs(a.x) + fabs(b.x) + fabs(a.y) + fabs(b.y) < TINY || _depth_quad == MAX_DEPTH)
    return report(p2, P(0, 0));
  ++_depth_quad;
  if (quad_fill_angle(p0, m01, m) || quad_fill_angle(m, m12, p2)) return 1;
  --_depth_quad;
  return 0;
}

static int quad_fill_dist(pt p0, pt p1, pt p2)
{
  const pt c = sub(p2, p0);
  const double d = cross(c, sub(p1, p2));
  if (d * d < DIST_TOL2 * len2(c)) return quad_fill_angle(p0, p1, p2);
  if (_depth_quad == MAX_DEPTH) return report(p2, P(0, 0));
  const pt m01 = mid(p0, p1), m12 = mid(p1, p2), m = mid(m01, m12);
  ++_depth_quad;
  if (quad_fill_dist(p0, m01, m) || quad_fill_dist(m, m12, p2)) return 1;
  --_depth_quad;
  return 0;
}

/* A piece from base b0 to b0 + end drawn as a turn between its end tangents. */
static int piece_turn(pt b0, pt end, pt t0, pt t1)
{
  if (is_zero(t0) && is_zero(t1)) return 0;
  const pt e = add(b0, end);
  return VGALFUNC_tvg_div_hook_turn(b0.x, b0.y, e.x, e.y, t0.x, t0.y, t1.x, t1.y);
}

/* When the split point s coincides with a neighbouring control point, the halves may leave
 * it in different directions: a turn joins them. */
static int split_turn(pt s, int coincides, pt t_end_first, pt t_start_second)
{
  if (!coincides || same(t_end_first, t_start_second)) return 0;
  return piece_turn(s, P(0, 0), t_end_first, t_start_second);
}

typedef int (*quad_stroke_fn)(pt base, pt a, pt b);

static int quad_stroke_split(pt base, pt a, pt b, quad_stroke_fn next)
{
  const pt m01 = mid(P(0, 0), a), m12 = mid(a, b), m = mid(m01, m12);
  const pt s = add(base, m);
  ++_depth_quad;
  if (next(base, m01, m)) return 1;
  const pt t_end = first_unit(sub(m, m01), m01, P(0, 0));
  const pt t_start = first_unit(sub(m12, m), sub(b, m12), P(0, 0));
  if (split_turn(s, same(m, m01) || same(m, m12), t_end, t_start)) return 1;
  if (next(s, sub(m12, m), sub(b, m))) return 1;
  --_depth_quad;
  return 0;
}

static int quad_stroke_angle(pt base, pt a, pt b)
{
  const pt l1 = sub(b, a);
  if (flat_pair(a, l1)) {
    const pt m01 = mid(P(0, 0), a), m12 = mid(a, b), m = mid(m01, m12);
    return report(add(base, m), first_unit(sub(m12, m), sub(b, m12), P(0, 0))) ||
           report(add(base, b), first_unit(l1, a, P(0, 0)));
  }
  if (fabs(a.x) + fabs(l1.x) + fabs(a.y) + fabs(l1.y) < TINY || _depth_quad == MAX_DEPTH)
    return piece_turn(base, b, first_unit(a, l1, P(0, 0)), first_unit(l1, a, P(0, 0)));
  return quad_stroke_split(base, a, b, quad_stroke_angle);
}

static int quad_stroke_dist(pt base, pt a, pt b)
{
  const double d = cross(b, sub(a, b));
  if (d * d < DIST_TOL2 * len2(b)) return quad_stroke_angle(base, a, b);
  if (_depth_quad == MAX_DEPTH) {
    const pt l1 = sub(b, a);
    return piece_turn(base, b, first_unit(a, l1, P(0, 0)), first_unit(l1, a, P(0, 0)));
  }
  return quad_stroke_split(base, a, b, quad_stroke_dist);
}

/* The curve runs out and back on one line. */
static int quad_folds(pt d01, pt d12) { return cross(d01, d12) == 0.0 && dot(d01, d12) < 0.0; }

static int quad_stroke(const pt *p)
{
  const pt d01 = sub(p[1], p[0]), d12 = sub(p[2], p[1]);
  const pt t = first_unit(d01, d12, P(0, 0));
  if (VGALFUNC_tvg_div_hook_join(t.x, t.y, 0)) return 1;
  if (quad_folds(d01, d12)) {
    float den = p[0].x - 2.0f * p[1].x + p[2].x, num = p[0].x - p[1].x;
    if (den == 0.0f) {
      den = p[0].y - 2.0f * p[1].y + p[2].y;
      num = p[0].y - p[1].y;
    }
    const float s = den == 0.0f ? 0.0f : num / den, r = 1.0f - s;
    const pt e = P(r * r * p[0].x + 2.0f * s * r * p[1].x + s * s * p[2].x,
                   r * r * p[0].y + 2.0f * s * r * p[1].y + s * s * p[2].y);
    const pt u = unit(sub(p[0], p[1])), nu = P(-u.x, -u.y);
    return report(e, nu) ||
           VGALFUNC_tvg_div_hook_turn(e.x, e.y, e.x, e.y, nu.x, nu.y, u.x, u.y) ||
           report(p[2], u);
  }
  _depth_quad = 0;
  return quad_stroke_dist(p[0], d01, sub(p[2], p[0]));
}

static int quad_fill(const pt *p)
{
  if (quad_folds(sub(p[1], p[0]), sub(p[2], p[1]))) return report(p[2], P(0, 0));
  _depth_quad = 0;
  return quad_fill_dist(p[0], p[1], p[2]);
}

int VGALFUNC_tvg_div_quad(float x0, float y0, float x1, float y1, float x2, float y2)
{
  const pt p[3] = {P(x0, y0), P(x1, y1), P(x2, y2)};
  if (same(p[0], p[1]) && same(p[1], p[2])) return 0;
  if (VGALVAL_tvg_div_stroke_enable && only(&VGALVAL_tvg_div_fill_enable, quad_stroke, p))
    return 1;
  if (VGALVAL_tvg_div_fill_enable && only(&VGALVAL_tvg_div_stroke_enable, quad_fill, p))
    return 1;
  return 0;
}

/* ---- Cubic ---- */

typedef struct {
  pt first[4], second[4];
} cubic_halves;

/* De Casteljau halves at t = ½. */
static cubic_halves cubic_split(const pt *p)
{
  const pt m01 = mid(p[0], p[1]), m12 = mid(p[1], p[2]), m23 = mid(p[2], p[3]);
  const pt m012 = mid(m01, m12), m123 = mid(m12, m23), m = mid(m012, m123);
  const cubic_halves h = {{p[0], m01, m012, m}, {m, m123, m23, p[3]}};
  return h;
}

static int cubic_is_flat(const pt *p)
{
  const pt a = sub(p[1], p[0]), b = sub(p[2], p[1]), c = sub(p[3], p[2]);
  if (is_zero(b)) return flat_pair(a, c);
  return flat_pair(a, b) && flat_pair(b, c);
}

static int cubic_is_tiny(const pt *p)
{
  const pt a = sub(p[1], p[0]), b = sub(p[2], p[1]), c = sub(p[3], p[2]);
  return fabs(a.x) + fabs(b.x) + fabs(c.x) + fabs(a.y) + fabs(b.y) + fabs(c.y) < TINY;
}

static int cubic_is_near_chord(const pt *p)
{
  const pt c = sub(p[3], p[0]);
  const double d = fabs(cross(c, sub(p[1], p[3]))) + fabs(cross(c, sub(p[2], p[3])));
  return d * d < DIST_TOL2 * len2(c);
}

static pt cubic_start_tangent(const pt *p)
{
  return first_unit(sub(p[1], p[0]), sub(p[2], p[1]), sub(p[3], p[2]));
}

static pt cubic_end_tangent(const pt *p)
{
  return first_unit(sub(p[3], p[2]), sub(p[2], p[1]), sub(p[1], p[0]));
}

static int cubic_fill_angle(const pt *p)
{
  if (cubic_is_flat(p)) {
    const cubic_halves h = cubic_split(p);
    return report(h.second[0], P(0, 0)) || report(p[3], P(0, 0));
  }
  if (cubic_is_tiny(p) || _depth_cubic == MAX_DEPTH) return report(p[3], P(0, 0));
  const cubic_halves h = cubic_split(p);
  ++_depth_cubic;
  if (cubic_fill_angle(h.first) || cubic_fill_angle(h.second)) return 1;
  --_depth_cubic;
  return 0;
}

static int cubic_fill_dist(const pt *p)
{
  if (cubic_is_near_chord(p)) return cubic_fill_angle(p);
  if (_depth_cubic == MAX_DEPTH) return report(p[3], P(0, 0));
  const cubic_halves h = cubic_split(p);
  ++_depth_cubic;
  if (cubic_fill_dist(h.first) || cubic_fill_dist(h.second)) return 1;
  --_depth_cubic;
  return 0;
}

/* Stroke dividers on points relative to base (p[0] is the origin). */
typedef int (*cubic_stroke_fn)(pt base, const pt *p);

static int cubic_piece_turn(pt base, const pt *p)
{
  return piece_turn(base, p[3], cubic_start_tangent(p), cubic_end_tangent(p));
}

static int cubic_stroke_split(pt base, const pt *p, cubic_stroke_fn next)
{
  const cubic_halves h = cubic_split(p);
  const pt m = h.second[0], s = add(base, m);
  const pt second[4] = {P(0, 0), sub(h.second[1], m), sub(h.second[2], m), sub(h.second[3], m)};
  ++_depth_cubic;
  if (next(base, h.first)) return 1;
  if (split_turn(s, same(m, h.first[2]) || same(m, h.second[1]), cubic_end_tangent(h.first),
                 cubic_start_tangent(h.second)))
    return 1;
  if (next(s, second)) return 1;
  --_depth_cubic;
  return 0;
}

static int cubic_stroke_angle(pt base, const pt *p)
{
  if (cubic_is_flat(p)) {
    const cubic_halves h = cubic_split(p);
    return report(add(base, h.second[0]), cubic_start_tangent(h.second)) ||
           report(add(base, p[3]), cubic_end_tangent(p));
  }
  if (cubic_is_tiny(p) || _depth_cubic == MAX_DEPTH) return cubic_piece_turn(base, p);
  return cubic_stroke_split(base, p, cubic_stroke_angle);
}

static int cubic_stroke_dist(pt base, const pt *p)
{
  if (cubic_is_near_chord(p)) return cubic_stroke_angle(base, p);
  if (_depth_cubic == MAX_DEPTH) return cubic_piece_turn(base, p);
  return cubic_stroke_split(base, p, cubic_stroke_dist);
}

static int cubic_fill(const pt *p)
{
  _depth_cubic = 0;
  return cubic_fill_dist(p);
}

static int cubic_stroke(const pt *p)
{
  const pt rel[4] = {P(0, 0), sub(p[1], p[0]), sub(p[2], p[0]), sub(p[3], p[0])};
  const pt t = first_unit(rel[1], rel[2], rel[3]);
  if (VGALFUNC_tvg_div_hook_join(t.x, t.y, 0)) return 1;
  _depth_cubic = 0;
  return cubic_stroke_dist(p[0], rel);
}

int VGALFUNC_tvg_div_cubic(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                           float y3)
{
  const pt p[4] = {P(x0, y0), P(x1, y1), P(x2, y2), P(x3, y3)};
  if (same(p[0], p[1]) && same(p[1], p[2]) && same(p[2], p[3])) return 0;
  if (VGALVAL_tvg_div_fill_enable && only(&VGALVAL_tvg_div_stroke_enable, cubic_fill, p))
    return 1;
  if (VGALVAL_tvg_div_stroke_enable && only(&VGALVAL_tvg_div_fill_enable, cubic_stroke, p))
    return 1;
  return 0;
}

/* ---- Circle runs ---- */

/* The step of a full circle in division-number steps, from the quarter-circle tables. Division
 * numbers below 4 would step past the tables: they step as 4 does. */
static int arc_step_index(void)
{
  const int32_t n = VGALVAL_tvg_div_division_number;
  int index = n > 0 ? 128 / n : 32;
  if (index > 32) index = 32;
  if (index < 1) index = 1;
  return index;
}

typedef int (*circle_visit)(void *ctx, float c, float s);

static void rotate(float *c, float *s, float sc, float ss)
{
  const float nc = *c * sc - *s * ss;
  *s = *s * sc + *c * ss;
  *c = nc;
}

/* Visits (cos θ, sin θ) from one step on, rotating by (sc, ss), up to the angle whose cosine
 * is ce and whose sine has the sign of se (or, with more_than_half, past the half turn). */
static int circle_steps(float sc, float ss, float ce, int more_than_half, circle_visit visit,
                        void *ctx)
{
  float c = sc, s = ss;
  int steps = 0;
  if (more_than_half) {
    for (; s >= 0.0f && steps < MAX_STEPS; rotate(&c, &s, sc, ss), ++steps)
      if (visit(ctx, c, s)) return 1;
    for (; c < ce - END_MARGIN && s < 0.0f && steps < MAX_STEPS; rotate(&c, &s, sc, ss), ++steps)
      if (visit(ctx, c, s)) return 1;
  } else {
    for (; c > ce + END_MARGIN && s > 0.0f && steps < MAX_STEPS; rotate(&c, &s, sc, ss), ++steps)
      if (visit(ctx, c, s)) return 1;
  }
  return 0;
}

/* ---- Arc ---- */

typedef struct {
  double cx, cy;      /* centre */
  double m[4];        /* M: (cos, sin) -> offset from the centre; m[0], m[1] first column */
} ellipse_map;

static pt ellipse_point(const ellipse_map *e, float c, float s)
{
  return P((float)(e->cx + e->m[0] * c + e->m[2] * s), (float)(e->cy + e->m[1] * c + e->m[3] * s));
}

static pt ellipse_tangent(const ellipse_map *e, float c, float s)
{
  return unit(P((float)(-e->m[0] * s + e->m[2] * c), (float)(-e->m[1] * s + e->m[3] * c)));
}

static int arc_visit(void *ctx, float c, float s)
{
  const ellipse_map *e = ctx;
  const pt t = VGALVAL_tvg_div_stroke_enable ? ellipse_tangent(e, c, s) : P(0, 0);
  return report(ellipse_point(e, c, s), t);
}

int VGALFUNC_tvg_div_arc(int seg, float x0, float y0, float rh, float rv, float rot, float x1,
                         float y1, float dx, float dy)
{
  if (x0 == x1 && y0 == y1) return 0;
  if (rh == 0.0f || rv == 0.0f) return VGALFUNC_tvg_div_line(x0, y0, x1, y1);
  double h = fabs((double)rh), v = fabs((double)rv);
  const double phi = rot * M_PI / 180.0, cp = cos(phi), sp = sin(phi);
  /* The displacement in the frame where the ellipse is the unit circle. */
  double ux = (dx * cp + dy * sp) / h, uy = (dy * cp - dx * sp) / v;
  double s = ux * ux + uy * uy;
  if (!isfinite(s) || !isfinite(phi) || s == 0.0) return VGALFUNC_tvg_div_line(x0, y0, x1, y1);
  if (s > 4.0) {
    const double f = sqrt(s) / 2.0;
    h *= f;
    v *= f;
    ux /= f;
    uy /= f;
    s = 4.0;
  }
  const double k = sqrt(fmax(0.0, 1.0 / s - 0.25));
  double qx, qy;
  if (seg == 9 || seg == 12) {
    qx = ux - 2.0 * k * uy;
    qy = uy + 2.0 * k * ux;
  } else {
    qx = ux + 2.0 * k * uy;
    qy = uy - 2.0 * k * ux;
  }
  const double dir = (seg == 9 || seg == 11) ? 1.0 : -1.0;
  /* Start and end seen from the centre, on the unit circle. */
  const double s0x = -qx / 2.0, s0y = -qy / 2.0, e0x = ux - qx / 2.0, e0y = uy - qy / 2.0;
  const float ce = (float)(s0x * e0x + s0y * e0y);
  const float se = (float)(dir * (s0x * e0y - s0y * e0x));
  /* Column 0 maps to the start direction, column 1 to its perpendicular in the arc's sense. */
  const double c0x = h * s0x, c0y = v * s0y, c1x = -h * dir * s0y, c1y = v * dir * s0x;
  ellipse_map e;
  e.cx = x0 + 0.5 * (cp * h * qx - sp * v * qy);
  e.cy = y0 + 0.5 * (sp * h * qx + cp * v * qy);
  e.m[0] = cp * c0x - sp * c0y;
  e.m[1] = sp * c0x + cp * c0y;
  e.m[2] = cp * c1x - sp * c1y;
  e.m[3] = sp * c1x + cp * c1y;

  if (VGALVAL_tvg_div_stroke_enable) {
    const pt t = ellipse_tangent(&e, 1.0f, 0.0f);
    if (VGALFUNC_tvg_div_hook_join(t.x, t.y, 0)) return 1;
  }
  const int index = arc_step_index();
  if (circle_steps(VGALVAL_tvg_div_tbl_cos[index], VGALVAL_tvg_div_tbl_sin[index], ce,
                   se < 0.0f, arc_visit, &e))
    return 1;
  return arc_visit(&e, ce, se);
}

/* ---- Round joins and caps ---- */

typedef struct {
  const float *u2e;
  float ux, uy, px, py; /* u0 and cw × perp(u0) */
  tvg_div_listincu_t *list;
} round_run;

static int round_visit(void *ctx, float c, float s)
{
  const round_run *r = ctx;
  const float vx = c * r->ux + s * r->px, vy = c * r->uy + s * r->py;
  const float *m = r->u2e;
  return VGALFUNC_tvg_div_listincu_add(r->list, m[0] * vx + m[3] * vy + m[6],
                                       m[1] * vx + m[4] * vy + m[7]);
}

int VGALFUNC_tvg_div_round(float ux0, float uy0, float ux1, float uy1, float x0, float y0,
                           float x1, float y1, const float u2e[9], float cw, float cosval,
                           float sinval, tvg_div_listincu_t *listincu)
{
  (void)x0;
  (void)y0;
  const float total_cos = ux0 * ux1 + uy0 * uy1;
  const float turn = ux0 * uy1 - uy0 * ux1;
  round_run r = {u2e, ux0, uy0, -uy0 * cw, ux0 * cw, listincu};
  if (circle_steps(cosval, sinval, total_cos, cw * turn < 0.0f, round_visit, &r)) return 1;
  return VGALFUNC_tvg_div_listincu_add(listincu, x1, y1);
}
