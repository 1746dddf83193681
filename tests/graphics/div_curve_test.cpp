// Curve division: what the line, quadratic, cubic and arc dividers report through the hooks
// for fill and for stroke, the arc's centre and direction for each arc command, and the
// quarter-circle step tables.
#include "div_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace divtest;

namespace {

class DivCurve : public ::testing::Test {
protected:
  void SetUp() override { VGALFUNC_tvg_div_init(); }

  static std::vector<Event> run(const PathData &p, uint32_t mode)
  {
    std::vector<Event> ev = walk(p, mode);
    std::vector<Event> drawn;
    for (Event &e : ev)
      if (e.kind != "find" && e.kind != "start" && e.kind != "end") drawn.push_back(e);
    return drawn;
  }
  static std::vector<Pt> added(const std::vector<Event> &ev)
  {
    std::vector<Pt> pts;
    for (const Event &e : ev)
      if (e.kind == "add") pts.push_back({e.v[0], e.v[1]});
    return pts;
  }
  static PathData from(double x, double y) { return PathData().seg(VG_MOVE_TO_ABS, {x, y}); }
};

TEST_F(DivCurve, TablesAreTheQuarterCircleRoundedToSixDecimals)
{
  for (int i = 0; i <= 32; ++i) {
    const double a = i * M_PI / 64;
    EXPECT_EQ(VGALVAL_tvg_div_tbl_cos[i], (float)(std::round(std::cos(a) * 1e6) / 1e6)) << i;
    EXPECT_EQ(VGALVAL_tvg_div_tbl_sin[i], (float)(std::round(std::sin(a) * 1e6) / 1e6)) << i;
  }
  EXPECT_EQ(VGALVAL_tvg_div_tbl_cos[16], 0.707107f);
}

TEST_F(DivCurve, ReportsOfSmallSegments)
{
  const struct {
    const char *name;
    PathData path;
    uint32_t mode;
    const char *expected;
  } cases[] = {
      {"stroked line: join, then the end with the line's direction",
       from(0, 0).seg(VG_LINE_TO_ABS, {3, 4}), kStroke, "join 0.6 0.8 0\nadd 3 4 0.6 0.8\n"},
      {"folded quadratic, filled: its end only",
       from(0, 0).seg(VG_QUAD_TO_ABS, {10, 0, 0, 0}), kFill, "add 0 0 0 0\n"},
      {"folded quadratic, stroked: out to the fold, a turn, back",
       from(0, 0).seg(VG_QUAD_TO_ABS, {10, 0, 0, 0}), kStroke,
       "join 1 0 0\nadd 5 0 1 0\nturn 5 0 5 0 1 0 -1 0\nadd 0 0 -1 0\n"},
      {"flat quadratic, filled: midpoint and end",
       from(0, 0).seg(VG_QUAD_TO_ABS, {5, 0.1, 10, 0}), kFill, "add 5 0.05 0 0\nadd 10 0 0 0\n"},
      {"quadratic on three equal points", from(2, 2).seg(VG_QUAD_TO_ABS, {2, 2, 2, 2}), kStroke | kFill, ""},
      {"cubic on four equal points", from(2, 2).seg(VG_CUBIC_TO_ABS, {2, 2, 2, 2, 2, 2}), kStroke | kFill, ""},
      {"cubic with P1 = P2 = P0: start tangent from P3 - P0",
       from(1, 1).seg(VG_CUBIC_TO_ABS, {1, 1, 1, 1, 4, 5}), kStroke, "join 0.6 0.8 0\nadd 1.375 1.5 0.6 0.8\nadd 4 5 0.6 0.8\n"},
      {"arc with a zero radius is a line",
       from(0, 0).seg(VG_SCCWARC_TO_ABS, {0, 5, 30, 3, 4}), kStroke, "join 0.6 0.8 0\nadd 3 4 0.6 0.8\n"},
      {"arc ending where it starts draws nothing", from(1, 1).seg(VG_LCWARC_TO_ABS, {5, 5, 0, 1, 1}), kStroke | kFill, ""},
  };
  for (const auto &c : cases) EXPECT_EQ(describe(run(c.path, c.mode)), c.expected) << c.name;
}

TEST_F(DivCurve, HalfCircleStepsByTheDivisionNumber)
{
  // Counter-clockwise from (0,0) to (2,0) with radii 1: centre (1,0), below the chord.
  const struct { int32_t division; double stepDeg; } cases[] = {{32, 11.25}, {8, 45}, {128, 2.8125}, {4, 90}, {2, 90}, {1, 90}};
  for (const auto &c : cases) {
    VGALFUNC_tvg_div_set_division_number(c.division);
    const auto pts = added(run(from(0, 0).seg(VG_SCCWARC_TO_ABS, {1, 1, 0, 2, 0}), kFill));
    const int steps = (int)std::lround(180 / c.stepDeg);
    ASSERT_EQ(pts.size(), (size_t)steps) << c.division;
    for (int i = 1; i < steps; ++i) {
      const double a = i * c.stepDeg * M_PI / 180;
      EXPECT_TRUE(near(pts[i - 1], {1 - std::cos(a), -std::sin(a)})) << c.division << " step " << i;
    }
    EXPECT_TRUE(near(pts.back(), {2, 0})) << c.division;
  }
}

TEST_F(DivCurve, ArcCommandsPickTheirCentreAndDirection)
{
  // From (0,0) to (1,1) with radii 1 the centre is (0,1) or (1,0); small arcs sweep 90°,
  // large ones 270°, counter-clockwise (positive angles, y up) or clockwise.
  const struct { int seg; Pt centre; double sweepDeg; } cases[] = {
      {VG_SCCWARC_TO_ABS, {0, 1}, 90}, {VG_SCWARC_TO_ABS, {1, 0}, -90},
      {VG_LCCWARC_TO_ABS, {1, 0}, 270}, {VG_LCWARC_TO_ABS, {0, 1}, -270}};
  for (const auto &c : cases) {
    const auto pts = added(run(from(0, 0).seg(c.seg, {1, 1, 0, 1, 1}), kFill));
    ASSERT_EQ(pts.size(), (size_t)std::lround(std::fabs(c.sweepDeg) / 11.25)) << c.seg;
    double swept = 0;
    Pt prev = {0, 0};
    for (const Pt &p : pts) {
      EXPECT_NEAR(std::hypot(p.x - c.centre.x, p.y - c.centre.y), 1, 1e-4) << c.seg;
      swept += std::atan2((prev.x - c.centre.x) * (p.y - c.centre.y) - (prev.y - c.centre.y) * (p.x - c.centre.x),
                          (prev.x - c.centre.x) * (p.x - c.centre.x) + (prev.y - c.centre.y) * (p.y - c.centre.y));
      prev = p;
    }
    EXPECT_NEAR(swept * 180 / M_PI, c.sweepDeg, 1e-2) << c.seg;
    EXPECT_TRUE(near(pts.back(), {1, 1})) << c.seg;
  }
}

TEST_F(DivCurve, ArcTooShortForItsRadiiGrowsToAHalfCircle)
{
  const auto pts = added(run(from(0, 0).seg(VG_SCWARC_TO_REL, {1, 1, 0, 10, 0}), kFill));
  ASSERT_EQ(pts.size(), 16u);
  for (const Pt &p : pts) EXPECT_NEAR(std::hypot(p.x - 5, p.y), 5, 1e-3);
  EXPECT_NEAR(pts[7].y, 5, 1e-3);  // clockwise from the left end: over the top
}

TEST_F(DivCurve, RotatedEllipseArcStaysOnTheEllipse)
{
  // Radii 4 and 2 rotated by 30° around the origin, counter-clockwise from the end of the
  // major axis to the end of the minor one: a quarter of the ellipse, unit tangents.
  const double rot = 30 * M_PI / 180, c = std::cos(rot), s = std::sin(rot);
  const auto ev = run(from(4 * c, 4 * s).seg(VG_SCCWARC_TO_ABS, {4, 2, 30, -2 * s, 2 * c}), kStroke);
  const auto pts = added(ev);
  ASSERT_EQ(pts.size(), 8u);
  for (const Pt &p : pts) {
    const double u = p.x * c + p.y * s, v = -p.x * s + p.y * c;
    EXPECT_NEAR(u * u / 16 + v * v / 4, 1, 1e-5);
    EXPECT_GE(v, -1e-6);
  }
  for (const Event &e : ev) {
    const size_t t = e.kind == "add" ? 2 : 0;
    EXPECT_NEAR(std::hypot(e.v[t], e.v[t + 1]), 1, 1e-5) << e.kind;
  }
}

TEST_F(DivCurve, CurvesStopAtDepthEight)
{
  // A huge cubic loop needs the depth limit: at most 256 pieces, for fill and stroke.
  const PathData p = from(0, 0).seg(VG_CUBIC_TO_ABS, {1e7, 1e7, -1e7, 1e7, 1, 0});
  for (uint32_t mode : {kFill, kStroke}) {
    const auto ev = run(p, mode);
    int pieces = 0;
    for (const Event &e : ev) pieces += e.kind == "turn" || e.kind == "add";
    EXPECT_GT(pieces, 100) << mode;
    EXPECT_LE(pieces, 2 * 256 + 1) << mode;  // a flat piece reports its midpoint and end
  }
}

TEST_F(DivCurve, CircleOfFourArcsHasTheCircleArea)
{
  VGALFUNC_tvg_div_set_paint_mode(kFill);
  for (double r : {1.0, 100.0, 10000.0}) {
    PathData p = from(r, 0);
    p.seg(VG_SCCWARC_TO_ABS, {r, r, 0, 0, r}).seg(VG_SCCWARC_TO_ABS, {r, r, 0, -r, 0})
        .seg(VG_SCCWARC_TO_ABS, {r, r, 0, 0, -r}).seg(VG_SCCWARC_TO_ABS, {r, r, 0, r, 0}).seg(VG_CLOSE_PATH, {});
    Result res = exec(p);
    ASSERT_NE(res, nullptr);
    const auto fill = lists(res->fill);
    ASSERT_EQ(fill.size(), 1u);
    EXPECT_NEAR(area(fill[0]) / (M_PI * r * r), 1, 0.01) << r;
  }
}

TEST_F(DivCurve, FillAndStrokeTogetherSeeEachCurveOnce)
{
  // With both enabled the fill polygon and the stroke outline are those of the separate runs.
  const PathData p = from(0, 0).seg(VG_QUAD_TO_ABS, {50, 80, 100, 0}).seg(VG_CUBIC_TO_ABS, {100, -50, 0, 50, 0, -40})
                         .seg(VG_LCWARC_TO_ABS, {30, 20, 10, 20, 10}).seg(VG_CLOSE_PATH, {});
  const auto only = [&](uint32_t mode) {
    VGALFUNC_tvg_div_set_paint_mode(mode);
    return exec(p);
  };
  Result both = only(kFill | kStroke), fill = only(kFill), stroke = only(kStroke);
  ASSERT_TRUE(both && fill && stroke);
  const auto same = [](const std::vector<Poly> &a, const std::vector<Poly> &b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i].size() != b[i].size()) return false;
      for (size_t j = 0; j < a[i].size(); ++j)
        if (a[i][j].x != b[i][j].x || a[i][j].y != b[i][j].y) return false;
    }
    return true;
  };
  EXPECT_TRUE(same(lists(both->fill), lists(fill->fill)));
  EXPECT_TRUE(same(lists(both->stroke_normal), lists(stroke->stroke_normal)));
  EXPECT_TRUE(same(lists(both->stroke_reverse), lists(stroke->stroke_reverse)));
}

}  // namespace
