// Path length, point along a path and path bounds as the acceleration layer answers them:
// measured on the subdivision's polyline, with the expected values worked out here from the
// geometry (chords, numerically integrated curve lengths, corners).
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <VG/openvg.h>

#include "path_fixture.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_path.h"
#include "vg/common/vg_context.h"
#include "vg/div/tvg_div.h"

namespace {

using divtest::PathData;

const double kPi = 3.14159265358979323846;
// The circle constant of a cubic quarter circle.
const double kKappa = 0.5522847498307936;

// M(0,0) L(3,4) L(3,0) Z.
PathData triangle()
{
  return PathData()
      .seg(VG_MOVE_TO_ABS, {0, 0})
      .seg(VG_LINE_TO_ABS, {3, 4})
      .seg(VG_LINE_TO_ABS, {3, 0})
      .seg(VG_CLOSE_PATH, {});
}

// Two open subpaths: M(0,0) L(10,0) M(0,5) L(0,8).
PathData twoLines()
{
  return PathData()
      .seg(VG_MOVE_TO_ABS, {0, 0})
      .seg(VG_LINE_TO_ABS, {10, 0})
      .seg(VG_MOVE_TO_ABS, {0, 5})
      .seg(VG_LINE_TO_ABS, {0, 8});
}

// A circle of radius r around the origin in four counter-clockwise quarter arcs.
PathData circle(double r)
{
  return PathData()
      .seg(VG_MOVE_TO_ABS, {r, 0})
      .seg(VG_SCCWARC_TO_ABS, {r, r, 0, 0, r})
      .seg(VG_SCCWARC_TO_ABS, {r, r, 0, -r, 0})
      .seg(VG_SCCWARC_TO_ABS, {r, r, 0, 0, -r})
      .seg(VG_SCCWARC_TO_ABS, {r, r, 0, r, 0});
}

// A quarter circle of radius r as one cubic, from (r, 0) to (0, r).
PathData quarterCubic(double r)
{
  return PathData()
      .seg(VG_MOVE_TO_ABS, {r, 0})
      .seg(VG_CUBIC_TO_ABS, {r, kKappa * r, kKappa * r, r, 0, r});
}

// A quadratic that runs out to (5, 0) and folds back on itself to the start.
PathData fold()
{
  return PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {10, 0, 0, 0});
}

// Bezier point of control points p at t (any degree), in double.
divtest::Pt bezier(std::vector<divtest::Pt> p, double t)
{
  for (size_t n = p.size(); n > 1; --n)
    for (size_t i = 0; i + 1 < n; ++i)
      p[i] = {p[i].x + t * (p[i + 1].x - p[i].x), p[i].y + t * (p[i + 1].y - p[i].y)};
  return p[0];
}

// Arc length of a Bezier curve by a fine polyline.
double bezierLength(const std::vector<divtest::Pt> &p)
{
  const int n = 200000;
  double len = 0;
  divtest::Pt a = p[0];
  for (int i = 1; i <= n; ++i) {
    const divtest::Pt b = bezier(p, double(i) / n);
    len += std::hypot(b.x - a.x, b.y - a.y);
    a = b;
  }
  return len;
}

// A path record holding d (an empty one for no segments).
pathtest::Path holding(const PathData &d, float scale = 1, float bias = 0)
{
  return d.segs.empty() ? pathtest::makePath(d.type, scale, bias) : pathtest::pathOf(d, scale, bias);
}

class PathMeasure : public ::testing::Test {
protected:
  static double length(const PathData &d, int start, int num, float scale = 1, float bias = 0)
  {
    pathtest::Path p = holding(d, scale, bias);
    EXPECT_TRUE(p);
    return p ? VGHAL_ALpathLength(p.get(), start, num) : -1;
  }
  struct Answer {
    float x = 99, y = 99, tx = 99, ty = 99;
  };
  static Answer point(const PathData &d, int start, int num, float distance)
  {
    pathtest::Path p = pathtest::pathOf(d);
    Answer a;
    EXPECT_TRUE(p);
    if (p) VGHAL_ALpointAlongPath(p.get(), start, num, distance, &a.x, &a.y, &a.tx, &a.ty);
    return a;
  }
};

TEST_F(PathMeasure, LengthOfLinesPolylinesAndClosedSubpaths)
{
  const PathData poly = PathData()
                            .seg(VG_MOVE_TO_ABS, {1, 1})
                            .seg(VG_HLINE_TO_ABS, {5})
                            .seg(VG_VLINE_TO_REL, {3})
                            .seg(VG_LINE_TO_REL, {-4, -3});
  const PathData s16 = PathData(VG_PATH_DATATYPE_S_16).seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {3, 4});
  const struct {
    const char *what;
    PathData path;
    int start, num;
    float scale, bias;
    double expected;
  } table[] = {
      {"triangle, segments 1 to 3", triangle(), 1, 3, 1, 0, 5 + 4 + 3},
      {"triangle, segment 2", triangle(), 2, 1, 1, 0, 4},
      {"the closing line alone", triangle(), 3, 1, 1, 0, 3},
      {"the whole triangle", triangle(), 0, 4, 1, 0, 12},
      {"the move alone", triangle(), 0, 1, 1, 0, 0},
      {"horizontal, vertical and relative lines", poly, 0, 4, 1, 0, 4 + 3 + 5},
      {"two subpaths", twoLines(), 0, 4, 1, 0, 10 + 3},
      {"a range from a move", twoLines(), 2, 2, 1, 0, 3},
      {"a range ending on a move", twoLines(), 1, 2, 1, 0, 10},
      {"16-bit coordinates scaled and biased", s16, 0, 2, 2, 7, 10},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    EXPECT_NEAR(length(row.path, row.start, row.num, row.scale, row.bias), row.expected, 1e-5);
  }
}

TEST_F(PathMeasure, CircleOfFourArcsIsItsInscribedPolygon)
{
  // The arcs step by 1/32 of a full turn at the default division number.
  for (double r : {1.0, 50.0, 1000.0}) {
    SCOPED_TRACE(r);
    const double polygon = 64 * r * std::sin(kPi / 32);
    const double len = length(circle(r), 0, 5);
    EXPECT_NEAR(len, polygon, 1e-5 * r);
    EXPECT_NEAR(len / (2 * kPi * r), 1, 0.002);
  }
}

TEST_F(PathMeasure, CurvesMeasureCloseBelowTheirIntegratedLength)
{
  using P = std::vector<divtest::Pt>;
  const struct {
    const char *what;
    PathData path;
    P controls;
  } table[] = {
      {"symmetric quadratic", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {50, 100, 100, 0}),
       P{{0, 0}, {50, 100}, {100, 0}}},
      {"flat relative quadratic", PathData().seg(VG_MOVE_TO_ABS, {10, 10}).seg(VG_QUAD_TO_REL, {200, 5, 300, 0}),
       P{{10, 10}, {210, 15}, {310, 10}}},
      {"arch cubic", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {0, 100, 100, 100, 100, 0}),
       P{{0, 0}, {0, 100}, {100, 100}, {100, 0}}},
      {"S cubic", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {80, 0, 20, 60, 100, 60}),
       P{{0, 0}, {80, 0}, {20, 60}, {100, 60}}},
      {"looping cubic", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {100, 100, -50, 100, 50, 0}),
       P{{0, 0}, {100, 100}, {-50, 100}, {50, 0}}},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    const double truth = bezierLength(row.controls), len = length(row.path, 1, 1);
    EXPECT_LE(len, truth * (1 + 1e-6));
    EXPECT_GE(len, truth * (1 - 0.003));
  }
}

TEST_F(PathMeasure, PiecesDrawnAsTurnsAreMeasured)
{
  // Radius 1e6: the divider reaches its depth limit long before the pieces are flat enough,
  // and hands every piece over as a turn.
  const double r = 1e6;
  const std::vector<divtest::Pt> quarter = {{r, 0}, {r, kKappa * r}, {kKappa * r, r}, {0, r}};
  EXPECT_NEAR(length(quarterCubic(r), 1, 1) / (kPi * r / 2), 1, 0.001);
  EXPECT_NEAR(length(quarterCubic(r), 1, 1) / bezierLength(quarter), 1, 1e-4);

  // A cubic too small to follow (a tiny piece) still counts its chord: together with the
  // line after it the path is one unit long.
  const PathData tiny = PathData()
                            .seg(VG_MOVE_TO_ABS, {0, 0})
                            .seg(VG_CUBIC_TO_ABS, {0, 3e-5, 3e-5, 3e-5, 3e-5, 0})
                            .seg(VG_LINE_TO_ABS, {1, 0});
  EXPECT_NEAR(length(tiny, 0, 3), 1.0, 1e-6);

  // The folded quadratic runs 5 out and 5 back.
  EXPECT_NEAR(length(fold(), 0, 2), 10, 1e-5);

  // On the big quarter circle, halfway along is at 45 degrees heading up and left.
  const Answer a = point(quarterCubic(r), 1, 1, float(kPi * r / 4));
  EXPECT_NEAR(a.x, r * std::sqrt(0.5), r * 1e-3);
  EXPECT_NEAR(a.y, r * std::sqrt(0.5), r * 1e-3);
  EXPECT_NEAR(a.tx, -std::sqrt(0.5), 1e-3);
  EXPECT_NEAR(a.ty, std::sqrt(0.5), 1e-3);
}

TEST_F(PathMeasure, PointAlongPath)
{
  const double nan = std::nan(""), inf = INFINITY;
  const struct {
    const char *what;
    PathData path;
    int start, num;
    double distance;
    float x, y, tx, ty;
  } table[] = {
      {"inside the second side", triangle(), 1, 3, 6, 3, 3, 0, -1},
      {"at 0, the first side's direction", triangle(), 1, 3, 0, 0, 0, 0.6f, 0.8f},
      {"negative counts as 0", triangle(), 1, 3, -3, 0, 0, 0.6f, 0.8f},
      {"NaN counts as 0", triangle(), 1, 3, nan, 0, 0, 0.6f, 0.8f},
      {"exactly at the first corner", triangle(), 1, 3, 5, 3, 4, 0.6f, 0.8f},
      {"on the closing line", triangle(), 1, 3, 10.5, 1.5f, 0, -1, 0},
      {"beyond the end: the end of the close", triangle(), 1, 3, 100, 0, 0, -1, 0},
      {"infinitely far", triangle(), 1, 3, inf, 0, 0, -1, 0},
      // A corner keeps the direction that arrives there, also at the start of a range.
      {"the range's own start", triangle(), 2, 1, 0, 3, 4, 0.6f, 0.8f},
      {"just past the range's start", triangle(), 2, 1, 1, 3, 3, 0, -1},
      {"moves only", triangle(), 0, 1, 3, 0, 0, 1, 0},
      {"the end of the first subpath", twoLines(), 0, 4, 10, 10, 0, 1, 0},
      {"past the move into the second", twoLines(), 0, 4, 11, 0, 6, 0, 1},
      {"a range from the move", twoLines(), 2, 2, 0, 0, 5, 0, 1},
      {"a range ending on a move", twoLines(), 1, 2, 50, 10, 0, 1, 0},
      {"out on the fold", fold(), 0, 2, 2, 2, 0, 1, 0},
      {"at the fold", fold(), 0, 2, 5, 5, 0, 1, 0},
      {"back from the fold", fold(), 0, 2, 6, 4, 0, -1, 0},
      {"home again", fold(), 0, 2, 30, 0, 0, -1, 0},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    const Answer a = point(row.path, row.start, row.num, float(row.distance));
    EXPECT_NEAR(a.x, row.x, 1e-5);
    EXPECT_NEAR(a.y, row.y, 1e-5);
    EXPECT_NEAR(a.tx, row.tx, 1e-5);
    EXPECT_NEAR(a.ty, row.ty, 1e-5);
  }
}

TEST_F(PathMeasure, TangentsAlongCurvesAreUnitVectors)
{
  const PathData curves = PathData()
                              .seg(VG_MOVE_TO_ABS, {0, 0})
                              .seg(VG_QUAD_TO_ABS, {50, 100, 100, 0})
                              .seg(VG_CUBIC_TO_ABS, {100, -80, 0, 40, -30, -20})
                              .seg(VG_LCWARC_TO_ABS, {30, 20, 15, 0, 0});
  const double total = length(curves, 0, 4);
  ASSERT_GT(total, 100);
  for (int i = 0; i <= 40; ++i) {
    SCOPED_TRACE(i);
    const Answer a = point(curves, 0, 4, float(total * i / 40));
    EXPECT_NEAR(std::hypot(a.tx, a.ty), 1, 1e-5);
  }
}

TEST_F(PathMeasure, PointAndTangentAreWrittenOnlyAsPairs)
{
  const PathData d = triangle();
  VGALFUNC_tvg_div_init();
  float x = 9, y = 9, tx = 9, ty = 9;
  VGALFUNC_tvg_div_calc_point_along_path(d.segs.data(), d.data.data(), 1, 3, 6, &x, nullptr, &tx, &ty);
  EXPECT_EQ(x, 9);
  EXPECT_EQ(tx, 0);
  EXPECT_EQ(ty, -1);
  tx = ty = 9;
  VGALFUNC_tvg_div_calc_point_along_path(d.segs.data(), d.data.data(), 1, 3, 6, &x, &y, nullptr, &ty);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 3);
  EXPECT_EQ(ty, 9);
}

TEST_F(PathMeasure, WalkersRefuseRangesTheyCannotCount)
{
  const PathData d = triangle();
  const uint8_t *segs = d.segs.data();
  const void *data = d.data.data();
  const struct {
    const char *what;
    const uint8_t *segs;
    const void *data;
    int start, num;
  } table[] = {
      {"null segments", nullptr, data, 0, 1},
      {"null data", segs, nullptr, 0, 1},
      {"negative start", segs, data, -1, 2},
      {"no segments", segs, data, 0, 0},
      {"a range past the largest count", segs, data, 2, INT_MAX - 1},
  };
  VGALFUNC_tvg_div_init();
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(VGALFUNC_tvg_div_calc_length(row.segs, row.data, row.start, row.num), 0.0f);
    float x = 9, y = 9, tx = 9, ty = 9;
    VGALFUNC_tvg_div_calc_point_along_path(row.segs, row.data, row.start, row.num, 1, &x, &y, &tx, &ty);
    EXPECT_EQ(x + y + tx + ty, 36);
  }
}

TEST_F(PathMeasure, NonFiniteCoordinatesEndInBoundedWork)
{
  // Curves and arcs with a coordinate that is not a number or infinite: every query ends
  // (the dividers stop at their depth and step limits), tangents stay unit vectors and the
  // bounds keep only the points that are numbers.
  for (double bad : {std::nan(""), double(INFINITY)}) {
    SCOPED_TRACE(bad);
    const PathData d = PathData()
                           .seg(VG_MOVE_TO_ABS, {0, 0})
                           .seg(VG_LINE_TO_ABS, {10, 0})
                           .seg(VG_CUBIC_TO_ABS, {bad, 5, 20, 20, 10, 10})
                           .seg(VG_LINE_TO_ABS, {0, 10})
                           .seg(VG_SCCWARC_TO_ABS, {bad, 3, 0, 0, 0})
                           .seg(VG_QUAD_TO_ABS, {1, bad, 2, 2});
    pathtest::Path p = holding(d);
    ASSERT_TRUE(p);
    EXPECT_FALSE(VGHAL_ALpathLength(p.get(), 0, 6) < 0);
    for (float distance : {0.0f, 5.0f, 15.0f, 1e9f}) {
      Answer a;
      VGHAL_ALpointAlongPath(p.get(), 0, 6, distance, &a.x, &a.y, &a.tx, &a.ty);
      EXPECT_NEAR(std::hypot(a.tx, a.ty), 1, 1e-5) << distance;
    }
    float b[4];
    EXPECT_EQ(VGHAL_ALpathBounds(p.get(), &b[0], &b[1], &b[2], &b[3]), VG_NO_ERROR);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 0);
    EXPECT_GE(b[2], 10);
    EXPECT_GE(b[3], 10);
  }
}

// ---- Bounds ----

class PathBounds : public PathMeasure {
protected:
  OVGcontext *ctx = VGFUNC_CreateVGContext(nullptr);
  PathBounds() { VGALVAL_LX740_ALcontexthandle = ctx; }
  ~PathBounds() override
  {
    VGALVAL_LX740_ALcontexthandle = nullptr;
    VGFUNC_DeleteVGContext(ctx);
  }
  OVGmatrix *matrix() { return &ctx->pathUserToSurface; }

  using Box = std::array<float, 4>;
  static Box bounds(const PathData &d, float scale = 1, float bias = 0)
  {
    pathtest::Path p = holding(d, scale, bias);
    Box b{99, 99, 99, 99};
    EXPECT_TRUE(p);
    if (!p) return b;
    EXPECT_EQ(VGHAL_ALpathBounds(p.get(), &b[0], &b[1], &b[2], &b[3]), VG_NO_ERROR);
    EXPECT_EQ(Box({p->bbox[0], p->bbox[1], p->bbox[2], p->bbox[3]}), b);
    return b;
  }
  static Box transformed(const PathData &d)
  {
    pathtest::Path p = holding(d);
    Box b{99, 99, 99, 99};
    EXPECT_TRUE(p);
    if (p) {
      EXPECT_EQ(VGHAL_ALpathTransformedBounds(p.get(), &b[0], &b[1], &b[2], &b[3]), VG_NO_ERROR);
    }
    return b;
  }
  static void expectBox(const Box &got, const Box &want, float tol)
  {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], tol) << "value " << i;
  }
};

// M(10,10) L(20,10) L(20,30) L(10,30) Z: 10 wide, 20 high.
PathData rect()
{
  return PathData()
      .seg(VG_MOVE_TO_ABS, {10, 10})
      .seg(VG_LINE_TO_ABS, {20, 10})
      .seg(VG_LINE_TO_ABS, {20, 30})
      .seg(VG_LINE_TO_ABS, {10, 30})
      .seg(VG_CLOSE_PATH, {});
}

TEST_F(PathBounds, BoundsOfShapes)
{
  const PathData square = PathData()
                              .seg(VG_MOVE_TO_ABS, {10, 10})
                              .seg(VG_LINE_TO_ABS, {20, 10})
                              .seg(VG_LINE_TO_ABS, {20, 20})
                              .seg(VG_CLOSE_PATH, {});
  const PathData s8 = PathData(VG_PATH_DATATYPE_S_8).seg(VG_MOVE_TO_ABS, {-2, 1}).seg(VG_LINE_TO_ABS, {3, 4});
  const struct {
    const char *what;
    PathData path;
    float scale, bias;
    Box want;
    float tol;
  } table[] = {
      {"square corner", square, 1, 0, {10, 10, 10, 10}, 0},
      {"empty path", PathData(), 1, 0, {0, 0, -1, -1}, 0},
      {"moves only", PathData().seg(VG_MOVE_TO_ABS, {5, 5}).seg(VG_MOVE_TO_REL, {1, 1}), 1, 0, {0, 0, -1, -1}, 0},
      // The control point at height 100 lies beyond the curve, whose top is at 50.
      {"quadratic arch", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {50, 100, 100, 0}), 1, 0,
       {0, 0, 100, 50}, 0.5f},
      // Control points at 100; the curve tops out at 75.
      {"cubic arch", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {0, 100, 100, 100, 100, 0}), 1, 0,
       {0, 0, 100, 75}, 0.5f},
      {"circle of arcs", circle(10), 1, 0, {-10, -10, 20, 20}, 1e-3f},
      {"8-bit line scaled and biased", s8, 0.5f, 1, {0, 1.5f, 2.5f, 1.5f}, 0},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    expectBox(bounds(row.path, row.scale, row.bias), row.want, row.tol);
  }
}

TEST_F(PathBounds, TransformedBoundsEncloseTheTransformedUserBox)
{
  const struct {
    const char *what;
    std::function<void(OVGmatrix *)> set;
    PathData path;
    Box want;
  } table[] = {
      {"identity", [](OVGmatrix *) {}, rect(), {10, 10, 10, 20}},
      // (x, y) -> (-y, x): width and height change places.
      {"quarter turn", [](OVGmatrix *m) { VGFUNC_Rotate(m, 90); }, rect(), {-30, 10, 20, 10}},
      {"scale and move", [](OVGmatrix *m) { VGFUNC_Translate(m, 5, 0); VGFUNC_Scale(m, 2, 3); }, rect(),
       {25, 30, 20, 60}},
      // (x, y) -> (x + y, y): the corners go to x + y in 20..50.
      {"shear", [](OVGmatrix *m) { VGFUNC_Shear(m, 1, 0); }, rect(), {20, 10, 30, 20}},
      // The box of the turned square around the circle, not the circle's own box.
      {"circle turned by 45 degrees", [](OVGmatrix *m) { VGFUNC_Rotate(m, 45); }, circle(10),
       {-10 * std::sqrt(2.0f), -10 * std::sqrt(2.0f), 20 * std::sqrt(2.0f), 20 * std::sqrt(2.0f)}},
      {"empty path turned", [](OVGmatrix *m) { VGFUNC_Rotate(m, 30); }, PathData(), {0, 0, -1, -1}},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    VGFUNC_SetIdentity(matrix());
    row.set(matrix());
    expectBox(transformed(row.path), row.want, 1e-3f);
  }
}

TEST_F(PathBounds, NullOutputsAreSkipped)
{
  pathtest::Path p = pathtest::pathOf(rect());
  ASSERT_TRUE(p);
  VGFUNC_Rotate(matrix(), 90);
  const Box plain = {10, 10, 10, 20}, turned = {-30, 10, 20, 10};
  for (int which = 0; which < 2; ++which) {
    for (int mask = 0; mask < 16; ++mask) {
      SCOPED_TRACE(::testing::Message() << which << " " << mask);
      Box b{99, 99, 99, 99};
      float *out[4];
      for (int i = 0; i < 4; ++i) out[i] = (mask >> i & 1) ? &b[i] : nullptr;
      const VGErrorCode rc = which ? VGHAL_ALpathTransformedBounds(p.get(), out[0], out[1], out[2], out[3])
                                   : VGHAL_ALpathBounds(p.get(), out[0], out[1], out[2], out[3]);
      EXPECT_EQ(rc, VG_NO_ERROR);
      for (int i = 0; i < 4; ++i) {
        if (mask >> i & 1)
          EXPECT_NEAR(b[i], (which ? turned : plain)[i], 1e-4);
        else
          EXPECT_EQ(b[i], 99);
      }
    }
  }
}

TEST_F(PathBounds, SubdivisionOutOfMemoryLeavesTheOutputsAlone)
{
  pathtest::Path p = pathtest::pathOf(rect());
  ASSERT_TRUE(p);
  for (int which = 0; which < 2; ++which) {
    SCOPED_TRACE(which);
    divtest::FailingAllocator failing(1);
    Box b{99, 99, 99, 99};
    const VGErrorCode rc = which ? VGHAL_ALpathTransformedBounds(p.get(), &b[0], &b[1], &b[2], &b[3])
                                 : VGHAL_ALpathBounds(p.get(), &b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ(rc, VG_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(b, Box({99, 99, 99, 99}));
    EXPECT_EQ(failing.live(), 0);
  }
}

TEST_F(PathBounds, StoredMatrixTransformsEveryOutlinePoint)
{
  // The subdivision's own transformed bounds: every point through the stored matrix, so a
  // turned circle keeps its own size.
  VGALFUNC_tvg_div_init();
  VGALFUNC_tvg_div_set_paint_mode(2);
  divtest::Result r = divtest::exec(circle(10));
  ASSERT_TRUE(r);
  float x, y, w, h;
  VGFUNC_Rotate(matrix(), 45);
  VGALFUNC_tvg_tsw_set_mtx_u2s(matrix());
  VGALFUNC_tvg_tsw_calc_transformed_bounds(r.get(), &x, &y, &w, &h);
  EXPECT_NEAR(w, 20, 0.2);
  EXPECT_NEAR(h, 20, 0.2);
  VGFUNC_SetIdentity(matrix());
  VGFUNC_Translate(matrix(), 100, 200);
  VGALFUNC_tvg_tsw_set_mtx_u2s(matrix());
  VGALFUNC_tvg_tsw_calc_transformed_bounds(r.get(), &x, &y, &w, &h);
  EXPECT_NEAR(x, 90, 1e-3);
  EXPECT_NEAR(y, 190, 1e-3);
}

}  // namespace
