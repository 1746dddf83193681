// Geometry invariants of the subdivision on fixed-seed random paths of every segment kind and
// every datatype: curves are cut into at most 256 pieces, outputs are finite, and a
// butt-capped, bevel-joined stroke outline stays within half the stroke width of the centre
// line the dividers reported.
#include "div_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace divtest;

namespace {

constexpr VGPathDatatype kTypes[] = {VG_PATH_DATATYPE_S_8, VG_PATH_DATATYPE_S_16, VG_PATH_DATATYPE_S_32,
                                     VG_PATH_DATATYPE_F};
constexpr int kCoords[13] = {0, 2, 2, 1, 1, 4, 6, 2, 4, 5, 5, 5, 5};

// A move and a few random segments (any command, absolute or relative); radii stay positive
// mostly and the coordinates fit the smallest datatype.
PathData randomPath(std::mt19937 &rng, VGPathDatatype type, int segments)
{
  std::uniform_int_distribution<int> command(1, 12), rel(0, 1), coord(-100, 100), radius(0, 60);
  PathData p(type);
  p.seg(VG_MOVE_TO_ABS, {double(coord(rng)), double(coord(rng))});
  for (int i = 0; i < segments; ++i) {
    const int c = (i == segments - 1 && rel(rng)) ? 0 : command(rng);
    std::vector<double> v;
    for (int k = 0; k < kCoords[c]; ++k) v.push_back(c >= 9 && k < 2 ? radius(rng) : coord(rng));
    p.segs.push_back((uint8_t)(c << 1 | (c ? rel(rng) : 0)));
    for (double x : v) p.store(x);
  }
  return p;
}

bool finite(const tvg_div_path_t *r)
{
  for (const Poly &l : allLists(r))
    for (const Pt &q : l)
      if (!std::isfinite(q.x) || !std::isfinite(q.y)) return false;
  return true;
}

TEST(DivInvariants, CurvesTakeAtMost256Pieces)
{
  std::mt19937 rng(20260);
  for (VGPathDatatype type : kTypes)
    for (int n = 0; n < 500; ++n) {
      VGALFUNC_tvg_div_init();
      VGALFUNC_tvg_div_set_scale(type == VG_PATH_DATATYPE_S_8 ? 7.5f : 1.0f);
      const PathData p = randomPath(rng, type, 4);
      for (uint32_t mode : {1u, 2u}) {
        int reports = 0;
        for (const Event &e : walk(p, mode)) {
          if (e.kind == "find") reports = 0;
          reports += e.kind == "add" || e.kind == "turn";
          // A flat piece reports its midpoint and its end.
          ASSERT_LE(reports, 2 * 256 + 1) << describe(walk(p, mode));
        }
      }
    }
}

TEST(DivInvariants, OutputsAreFinite)
{
  std::mt19937 rng(7);
  const float dash[] = {3, 1.5f, 0.5f, 2};
  for (VGPathDatatype type : kTypes)
    for (int n = 0; n < 250; ++n) {
      VGALFUNC_tvg_div_init();
      VGALFUNC_tvg_div_set_paint_mode(3);
      VGALFUNC_tvg_div_set_stroke_width(float(1 + n % 7));
      VGALFUNC_tvg_div_set_cap_style(VG_CAP_BUTT + n % 3);
      VGALFUNC_tvg_div_set_join_style(VG_JOIN_MITER + n / 3 % 3);
      VGALFUNC_tvg_div_set_dash_pattern(n % 2 ? 4 : 0, dash);
      VGALFUNC_tvg_div_set_dash_phase(float(n % 5));
      VGALFUNC_tvg_div_set_bias(type == VG_PATH_DATATYPE_S_16 ? 0.25f : 0.0f);
      const PathData p = randomPath(rng, type, 5);
      Result r = exec(p);
      ASSERT_NE(r, nullptr);
      ASSERT_TRUE(finite(r.get())) << type << " path " << n;
    }
}

// The centre line: every start, reported point and turn end, per subpath.
std::vector<Poly> *centre;

int centreStart(float x, float y)
{
  centre->push_back({{x, y}});
  return VGALFUNC_tvg_div_gc_start(x, y);
}
int centreAdd(float x, float y, float tx, float ty)
{
  centre->back().push_back({x, y});
  return VGALFUNC_tvg_div_gc_add(x, y, tx, ty);
}
int centreTurn(float x0, float y0, float x1, float y1, float a, float b, float c, float d)
{
  centre->back().push_back({x1, y1});
  return VGALFUNC_tvg_div_gc_turn(x0, y0, x1, y1, a, b, c, d);
}

TEST(DivInvariants, ButtBevelStrokeStaysWithinHalfTheWidth)
{
  std::mt19937 rng(1234);
  for (VGPathDatatype type : kTypes)
    for (int n = 0; n < 100; ++n) {
      VGALFUNC_tvg_div_init();
      const float width = float(1 + n % 9);
      VGALFUNC_tvg_div_set_stroke_width(width);
      VGALFUNC_tvg_div_set_join_style(VG_JOIN_BEVEL);
      VGALFUNC_tvg_div_set_datatype(type);
      const PathData p = randomPath(rng, type, 3);

      // Exec's steps, with the start, add and turn hooks watched.
      std::vector<Poly> line;
      centre = &line;
      VGALVAL_tvg_div_stroke_enable = 1;
      VGALVAL_tvg_div_fill_enable = 0;
      VGALVAL_tvg_div_miter_limit_x_width_square = 16 * width * width;  // as exec derives it
      VGALFUNC_tvg_div_exec_setup();
      VGALFUNC_tvg_div_hook_start = centreStart;
      VGALFUNC_tvg_div_hook_add = centreAdd;
      VGALFUNC_tvg_div_hook_turn = centreTurn;
      VGALFUNC_tvg_div_gc_setup();
      ASSERT_EQ(VGALFUNC_tvg_div_proc_subpath_setup(), 0);
      ASSERT_NE(VGALFUNC_tvg_div_gc_make_path(), nullptr);
      int left = (int)p.segs.size();
      const uint8_t *segs = p.segs.data(), *data = p.data.data();
      float sx = 0, sy = 0;
      while (left > 0) {
        ASSERT_EQ(VGALFUNC_tvg_div_proc_subpath(&left, &segs, &data, &sx, &sy), 0);
        VGALFUNC_tvg_div_gc_reset_dashing();
      }
      Result r(VGALFUNC_tvg_div_gc_take_path());
      for (const Poly &outline : allLists(r.get()))
        for (const Pt &q : outline) {
          double d = INFINITY;
          for (const Poly &l : line) d = std::fmin(d, distanceToPolyline(q, l));
          ASSERT_LE(d, width / 2 * (1 + 1e-4)) << type << " path " << n << " point " << q.x << "," << q.y;
        }
    }
}

}  // namespace
