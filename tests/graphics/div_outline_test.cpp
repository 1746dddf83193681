// Stroke and fill outline generation: fill polygons, strips, joins, caps, dashing, turns and
// twists, and bounded work on hostile input.
#include "div_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace divtest;

namespace {

class DivOutline : public ::testing::Test {
protected:
  void SetUp() override { VGALFUNC_tvg_div_init(); }
  void TearDown() override { VGALFUNC_tvg_div_set_dash_limit(0); }

  static PathData line(double x0, double y0, double x1, double y1)
  {
    return PathData().seg(VG_MOVE_TO_ABS, {x0, y0}).seg(VG_LINE_TO_ABS, {x1, y1});
  }
  static Result run(const PathData &p, uint32_t mode)
  {
    VGALFUNC_tvg_div_set_paint_mode(mode);
    return exec(p);
  }
  static bool samePoly(const Poly &a, const Poly &b)
  {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (!near(a[i], b[i], 1e-5)) return false;
    return true;
  }
  // x extent of every list of a chain, in chain order.
  static std::vector<std::pair<double, double>> extents(const tvg_div_subpath_t *chain)
  {
    std::vector<std::pair<double, double>> out;
    for (const Poly &p : lists(chain)) {
      double lo = INFINITY, hi = -INFINITY;
      for (const Pt &q : p) lo = std::min(lo, q.x), hi = std::max(hi, q.x);
      out.push_back({lo, hi});
    }
    return out;
  }
};

TEST_F(DivOutline, FillPolygons)
{
  const struct {
    const char *name;
    PathData path;
    std::vector<Poly> fill;  // chain order: newest subpath first
  } cases[] = {
      {"one line", line(0, 0, 10, 0), {{{0, 0}, {10, 0}, {0, 0}}}},
      {"closed triangle: the close adds the start, the end adds it again",
       PathData().seg(VG_MOVE_TO_ABS, {10, 10}).seg(VG_LINE_TO_ABS, {20, 10}).seg(VG_LINE_TO_ABS, {20, 20}).seg(VG_CLOSE_PATH, {}),
       {{{10, 10}, {20, 10}, {20, 20}, {10, 10}, {10, 10}}}},
      {"open triangle",
       PathData().seg(VG_MOVE_TO_ABS, {10, 10}).seg(VG_LINE_TO_ABS, {20, 10}).seg(VG_LINE_TO_ABS, {20, 20}),
       {{{10, 10}, {20, 10}, {20, 20}, {10, 10}}}},
      {"two subpaths, the second at the head",
       line(0, 0, 1, 0).seg(VG_MOVE_TO_ABS, {5, 5}).seg(VG_VLINE_TO_REL, {2}),
       {{{5, 5}, {5, 7}, {5, 5}}, {{0, 0}, {1, 0}, {0, 0}}}},
      {"repeated points are dropped", line(0, 0, 3, 0).seg(VG_LINE_TO_ABS, {3, 0}).seg(VG_QUAD_TO_ABS, {3, 0, 3, 0}),
       {{{0, 0}, {3, 0}, {0, 0}}}},
  };
  for (const auto &c : cases) {
    Result r = run(c.path, kFill);
    ASSERT_NE(r, nullptr) << c.name;
    const auto fill = lists(r->fill);
    ASSERT_EQ(fill.size(), c.fill.size()) << c.name;
    for (size_t i = 0; i < fill.size(); ++i) EXPECT_TRUE(samePoly(fill[i], c.fill[i])) << c.name << " list " << i;
    EXPECT_EQ(r->stroke_normal, nullptr) << c.name;
  }
}

TEST_F(DivOutline, StrokeStripOfOneLine)
{
  // Width 2: the right list holds the start's left and right offsets and the right side, the
  // left list the start's left offset, the left side and the end's right offset.
  VGALFUNC_tvg_div_set_stroke_width(2);
  Result r = run(line(0, 0, 10, 0), kStroke);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(lists(r->stroke_normal).size(), 1u);
  ASSERT_EQ(lists(r->stroke_reverse).size(), 1u);
  EXPECT_TRUE(samePoly(lists(r->stroke_normal)[0], {{0, 1}, {0, -1}, {10, -1}}));
  EXPECT_TRUE(samePoly(lists(r->stroke_reverse)[0], {{0, 1}, {10, 1}, {10, -1}}));
}

TEST_F(DivOutline, CapsOfAZeroLengthSubpathMakeADot)
{
  VGALFUNC_tvg_div_set_stroke_width(2);
  const struct { uint32_t cap; size_t lists; double area; } cases[] = {
      {VG_CAP_BUTT, 0, 0}, {VG_CAP_ROUND, 2, M_PI}, {VG_CAP_SQUARE, 2, 4}};
  for (const auto &c : cases) {
    VGALFUNC_tvg_div_set_cap_style(c.cap);
    Result r = run(line(5, 5, 5, 5), kStroke);
    ASSERT_NE(r, nullptr);
    const auto caps = lists(r->stroke_normal);
    ASSERT_EQ(caps.size(), c.lists) << c.cap;
    EXPECT_EQ(r->stroke_reverse, nullptr);
    double total = 0;
    for (const Poly &p : caps) {
      total += std::fabs(area(p));
      for (const Pt &q : p) EXPECT_LE(std::hypot(q.x - 5, q.y - 5), c.cap == VG_CAP_ROUND ? 1 + 1e-5 : 1.5) << c.cap;
    }
    EXPECT_NEAR(total / (c.area ? c.area : 1), c.area ? 1 : 0, 0.02) << c.cap;
  }
}

TEST_F(DivOutline, RoundCapsAndJoinsStepByTenDegreesAtAnyDivisionNumber)
{
  VGALFUNC_tvg_div_set_stroke_width(2);
  VGALFUNC_tvg_div_set_cap_style(VG_CAP_ROUND);
  VGALFUNC_tvg_div_set_join_style(VG_JOIN_ROUND);
  // A left turn at (10,0): the outer side is the right one, around the corner from angle
  // -90° to 0°; the caps are half circles.
  const PathData p = line(0, 0, 10, 0).seg(VG_LINE_TO_ABS, {10, 10});
  std::vector<Poly> first;
  for (int32_t division : {1, 4, 32, 128}) {
    VGALFUNC_tvg_div_set_division_number(division);
    Result r = run(p, kStroke);
    ASSERT_NE(r, nullptr);
    const auto all = allLists(r.get());
    if (first.empty()) {
      first = all;
      continue;
    }
    ASSERT_EQ(all.size(), first.size()) << division;
    for (size_t i = 0; i < all.size(); ++i) EXPECT_TRUE(samePoly(all[i], first[i])) << division;
  }
  // Two caps of 17 steps each (right offset, 10°..170°, left offset, right offset again).
  const auto caps = lists(run(p, kStroke)->stroke_normal);
  int capLists = 0;
  for (const Poly &c : caps) capLists += c.size() == 20;
  EXPECT_EQ(capLists, 2);
  // The join: points at -80°, -70°, ..., -10° around the corner, then the new offset.
  std::vector<Pt> joinPts;
  for (const Poly &c : caps)
    for (const Pt &q : c)
      if (q.x > 10 + 1e-6 && q.y < -1e-6) joinPts.push_back(q);
  ASSERT_EQ(joinPts.size(), 8u);
  for (size_t i = 0; i < joinPts.size(); ++i) {
    const double a = (-80.0 + 10.0 * i) * M_PI / 180;
    EXPECT_TRUE(near(joinPts[i], {10 + std::cos(a), std::sin(a)}, 1e-4)) << i;
  }
}

TEST_F(DivOutline, MiterPointUntilTheLimit)
{
  // Width 1. The miter length of a corner between directions turning by t is 1/cos(t/2).
  const struct { double turnDeg, limit; bool miter; } cases[] = {
      {90, 4, true}, {90, 1.5, true}, {90, 1.4, false}, {170, 4, false}, {150, 4, true}};
  for (const auto &c : cases) {
    VGALFUNC_tvg_div_set_miter_limit((float)c.limit);
    const double a = c.turnDeg * M_PI / 180;
    Result r = run(line(0, 0, 10, 0).seg(VG_LINE_TO_REL, {10 * std::cos(a), 10 * std::sin(a)}), kStroke);
    ASSERT_NE(r, nullptr);
    // Left turn: the outer side is the right one; its miter point lies on the bisector.
    const double m = 0.5 / std::cos(a / 2);
    const Pt miter = {10 + m * std::cos(a / 2 - M_PI / 2), m * std::sin(a / 2 - M_PI / 2)};
    bool found = false;
    double farthest = 0;  // from the corner, on the outer side
    for (const Poly &l : allLists(r.get()))
      for (const Pt &q : l) {
        found |= near(q, miter, 1e-4);
        if (std::hypot(q.x - 10, q.y) < 3) farthest = std::max(farthest, std::hypot(q.x - 10, q.y));
      }
    EXPECT_EQ(found, c.miter) << c.turnDeg << " limit " << c.limit;
    EXPECT_NEAR(farthest, c.miter ? m : 0.5, 1e-4) << c.turnDeg << " limit " << c.limit;
  }
}

TEST_F(DivOutline, Dashing)
{
  const struct {
    const char *name;
    std::vector<float> pattern;
    float phase;
    double length;
    std::vector<std::pair<double, double>> strips;  // newest first
  } cases[] = {
      {"phase 12 of {10, 5}: pen up, 3 left", {10, 5}, 12, 30, {{18, 28}, {3, 13}}},
      {"phase -3 of {10, 5} is phase 12", {10, 5}, -3, 30, {{18, 28}, {3, 13}}},
      {"negative values count as 0", {10, -5}, 0, 25, {{20, 25}, {10, 20}, {0, 10}}},
      {"a zero-sum pattern draws solid", {-1, 0, 0, -2}, 0, 25, {{0, 25}}},
      {"an odd value is dropped", {4, 2, 9}, 0, 10, {{6, 10}, {0, 4}}},
  };
  for (const auto &c : cases) {
    VGALFUNC_tvg_div_set_dash_pattern((int32_t)c.pattern.size(), c.pattern.data());
    VGALFUNC_tvg_div_set_dash_phase(c.phase);
    Result r = run(line(0, 0, c.length, 0), kStroke);
    ASSERT_NE(r, nullptr) << c.name;
    const auto strips = extents(r->stroke_normal);
    ASSERT_EQ(strips.size(), c.strips.size()) << c.name;
    for (size_t i = 0; i < strips.size(); ++i) {
      EXPECT_NEAR(strips[i].first, c.strips[i].first, 1e-4) << c.name;
      EXPECT_NEAR(strips[i].second, c.strips[i].second, 1e-4) << c.name;
    }
  }
}

TEST_F(DivOutline, DashResetRestartsThePatternAtEverySubpath)
{
  const float pattern[] = {10, 5};
  VGALFUNC_tvg_div_set_dash_pattern(2, pattern);
  const PathData p = line(0, 0, 12, 0).seg(VG_MOVE_TO_ABS, {0, 10}).seg(VG_LINE_TO_REL, {12, 0});
  for (int reset : {0, 1}) {
    VGALFUNC_tvg_div_set_dash_reset(reset);
    Result r = run(p, kStroke);
    ASSERT_NE(r, nullptr);
    // Carried on: the second line starts 2 units into the gap, its dash runs from 3 to 12.
    const auto strips = extents(r->stroke_normal);
    ASSERT_EQ(strips.size(), 2u) << reset;
    EXPECT_NEAR(strips[0].first, reset ? 0 : 3, 1e-4) << reset;
    EXPECT_NEAR(strips[0].second, reset ? 10 : 12, 1e-4) << reset;
  }
}

TEST_F(DivOutline, LongLineWithShortDashesEnds)
{
  const float pattern[] = {10, 5};
  VGALFUNC_tvg_div_set_dash_pattern(2, pattern);
  Result r = run(line(0, 0, 1000, 0), kStroke);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(lists(r->stroke_normal).size(), 67u);

  // 1e8 units of {1, 1}: far more dash elements than one run may walk.
  const float tiny[] = {1, 1};
  VGALFUNC_tvg_div_set_dash_pattern(2, tiny);
  VGALFUNC_tvg_div_set_dash_limit(4096);
  EXPECT_EQ(run(line(0, 0, 1e8, 0), kStroke), nullptr);
}

TEST_F(DivOutline, TwistWithParallelRungsAddsNoCrossing)
{
  // Backing up less than the stroke width along the same line twists the sides; the rungs
  // are parallel, so there is no crossing point to add.
  VGALFUNC_tvg_div_set_paint_mode(kStroke);
  VGALFUNC_tvg_div_set_stroke_width(2);
  VGALVAL_tvg_div_stroke_enable = 1;
  VGALVAL_tvg_div_fill_enable = 0;
  VGALFUNC_tvg_div_gc_setup();
  ASSERT_NE(VGALFUNC_tvg_div_gc_make_path(), nullptr);
  ASSERT_EQ(VGALFUNC_tvg_div_gc_start(0, 0), 0);
  ASSERT_EQ(VGALFUNC_tvg_div_gc_join(1, 0, 0), 0);
  ASSERT_EQ(VGALFUNC_tvg_div_gc_add(1, 0, 1, 0), 0);
  ASSERT_EQ(VGALFUNC_tvg_div_gc_add(0.5f, 0, -1, 0), 0);
  ASSERT_EQ(VGALFUNC_tvg_div_gc_end(0), 0);
  Result r(VGALFUNC_tvg_div_gc_take_path());
  const auto all = allLists(r.get());
  EXPECT_EQ(all.size(), 6u);  // the first strip, the twisted strip and two twist pieces
  for (const Poly &l : all)
    for (const Pt &q : l) EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y));
}

TEST_F(DivOutline, TwistCrossingPointLiesOnBothRungs)
{
  // A sharp bend inside a quadratic: the sides cross; each crossing point lies on the
  // line of the rung before and after it, so all stay near the curve.
  VGALFUNC_tvg_div_set_stroke_width(20);
  Result r = run(PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {10, 10, 0, 2}), kStroke);
  ASSERT_NE(r, nullptr);
  for (const Poly &l : allLists(r.get()))
    for (const Pt &q : l) {
      EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y));
      EXPECT_LT(std::hypot(q.x - 3, q.y - 3), 20);
    }
}

TEST_F(DivOutline, NonFiniteInputEndsWithoutCrashing)
{
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = INFINITY;
  const PathData cases[] = {
      line(0, 0, nan, 1),
      line(0, 0, inf, 0),
      line(-inf, 0, inf, 0),
      PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {nan, 1, 2, 2}),
      PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {1, inf, 2, 2, 3, -inf}),
      PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_SCCWARC_TO_ABS, {nan, 1, 0, 2, 2}),
      PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LCWARC_TO_ABS, {1, inf, 0, 2, 2}),
      PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LCCWARC_TO_ABS, {1, 1, inf, 1, 1}),
      PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_SCWARC_TO_ABS, {1e-38, 1e-38, nan, 30, 1}),
  };
  const float pattern[] = {3, 2};
  VGALFUNC_tvg_div_set_stroke_width(3);
  VGALFUNC_tvg_div_set_cap_style(VG_CAP_ROUND);
  VGALFUNC_tvg_div_set_join_style(VG_JOIN_MITER);
  for (bool dashed : {false, true}) {
    VGALFUNC_tvg_div_set_dash_pattern(dashed ? 2 : 0, pattern);
    for (const PathData &p : cases) run(p, kStroke | kFill);  // returns, with or without a result
  }
  VGALFUNC_tvg_div_set_dash_phase(nan);
  EXPECT_NE(run(line(0, 0, 10, 0), kStroke), nullptr);
  VGALFUNC_tvg_div_set_dash_phase(inf);
  EXPECT_NE(run(line(0, 0, 10, 0), kStroke), nullptr);
}

}  // namespace
