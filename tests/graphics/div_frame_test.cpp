// Path subdivision frame: parameters and their setters, point lists of chained chunks, the
// walker's reading of segments and coordinates, and out-of-memory at every allocation.
#include "div_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace divtest;

namespace {

class DivFrame : public ::testing::Test {
protected:
  void SetUp() override { VGALFUNC_tvg_div_init(); }
};

TEST_F(DivFrame, InitSetsEveryDefault)
{
  VGALFUNC_tvg_div_set_cap_style(VG_CAP_ROUND);
  VGALFUNC_tvg_div_set_join_style(VG_JOIN_BEVEL);
  VGALFUNC_tvg_div_set_miter_limit(9);
  const float two[2] = {1, 2};
  VGALFUNC_tvg_div_set_dash_pattern(2, two);
  VGALFUNC_tvg_div_set_dash_phase(3);
  VGALFUNC_tvg_div_set_dash_reset(1);
  VGALFUNC_tvg_div_set_stroke_width(6);
  VGALFUNC_tvg_div_set_division_number(64);
  VGALFUNC_tvg_div_set_paint_mode(3);
  VGALFUNC_tvg_div_set_scale(2);
  VGALFUNC_tvg_div_set_bias(1);
  VGALFUNC_tvg_div_set_datatype(0);
  EXPECT_EQ(VGALVAL_tvg_div_stroke_width_half, 3.0f);

  VGALFUNC_tvg_div_init();
  EXPECT_EQ(VGALVAL_tvg_div_cap_style, 0x1700u);
  EXPECT_EQ(VGALVAL_tvg_div_join_style, 0x1800u);
  EXPECT_EQ(VGALVAL_tvg_div_miter_limit, 4.0f);
  EXPECT_EQ(VGALVAL_tvg_div_num_dash_pattern, 0);
  EXPECT_EQ(VGALVAL_tvg_div_dash_phase, 0.0f);
  EXPECT_EQ(VGALVAL_tvg_div_dash_reset, 0);
  EXPECT_EQ(VGALVAL_tvg_div_stroke_width, 1.0f);
  EXPECT_EQ(VGALVAL_tvg_div_stroke_width_half, 0.5f);
  EXPECT_EQ(VGALVAL_tvg_div_division_number, 32);
  EXPECT_EQ(VGALVAL_tvg_div_paint_mode, 0u);
  EXPECT_EQ(VGALVAL_tvg_div_scale, 1.0f);
  EXPECT_EQ(VGALVAL_tvg_div_bias, 0.0f);
  EXPECT_EQ(VGALVAL_tvg_div_datatype, 3u);
}

TEST_F(DivFrame, DivisionNumberIsAPowerOfTwoUpTo128)
{
  const struct { int32_t in, out; } cases[] = {
      {-5, 1}, {0, 1}, {1, 1}, {2, 2}, {3, 4}, {32, 32}, {33, 64}, {128, 128}, {129, 128}, {1000, 128}};
  for (const auto &c : cases) {
    VGALFUNC_tvg_div_set_division_number(c.in);
    EXPECT_EQ(VGALVAL_tvg_div_division_number, c.out) << c.in;
  }
}

TEST_F(DivFrame, DashPatternIsClampedEvenAndNonNegative)
{
  float values[40];
  for (int i = 0; i < 40; ++i) values[i] = (i % 3 == 1) ? -1.0f - i : 1.0f + i;
  const struct { int32_t count, stored; } cases[] = {{3, 2}, {16, 16}, {17, 16}, {40, 16}, {-2, 0}};
  for (const auto &c : cases) {
    VGALFUNC_tvg_div_set_dash_pattern(c.count, values);
    ASSERT_EQ(VGALVAL_tvg_div_num_dash_pattern, c.stored) << c.count;
    for (int i = 0; i < c.stored; ++i)
      EXPECT_EQ(VGALVAL_tvg_div_dash_pattern[i], values[i] < 0 ? 0.0f : values[i]) << i;
  }
}

TEST_F(DivFrame, ListOfSeventeenPointsTakesTwoChunks)
{
  tvg_div_listincu_t l;
  ASSERT_EQ(VGALFUNC_tvg_div_listincu_init(&l), 0);
  tvg_div_data_t *top = l.top;
  EXPECT_EQ(chunkCounts(top), std::vector<int>{0});
  for (int i = 0; i < 17; ++i) ASSERT_EQ(VGALFUNC_tvg_div_listincu_add(&l, (float)i, (float)-i), 0);
  VGALFUNC_tvg_div_listincu_terminate(&l);
  EXPECT_EQ(l.top, nullptr);
  EXPECT_EQ(chunkCounts(top), (std::vector<int>{16, 1}));

  tvg_div_path_t *path = VGALFUNC_tvg_div_path_new();
  ASSERT_NE(path, nullptr);
  ASSERT_EQ(VGALFUNC_tvg_div_path_add(path, top, 0, 0), 0);
  const Poly p = lists(path->stroke_normal).at(0);
  ASSERT_EQ(p.size(), 17u);
  EXPECT_EQ(p[16].x, 16);
  EXPECT_EQ(p[16].y, -16);
  VGALFUNC_tvg_div_path_free(path);
  VGALFUNC_tvg_div_path_free(nullptr);
}

TEST_F(DivFrame, PathAddPushesAtTheHeadOfTheChosenChain)
{
  tvg_div_path_t *path = VGALFUNC_tvg_div_path_new();
  const struct { int reverse, fill; } adds[] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}, {0, 0}};
  float tag = 0;
  for (const auto &a : adds) {
    tvg_div_listincu_t l;
    ASSERT_EQ(VGALFUNC_tvg_div_listincu_init(&l), 0);
    VGALFUNC_tvg_div_listincu_add(&l, ++tag, 0);
    ASSERT_EQ(VGALFUNC_tvg_div_path_add(path, l.top, a.reverse, a.fill), 0);
  }
  const auto tags = [](const std::vector<Poly> &ls) {
    std::vector<double> t;
    for (const Poly &p : ls) t.push_back(p.at(0).x);
    return t;
  };
  EXPECT_EQ(tags(lists(path->fill)), (std::vector<double>{2, 1}));
  EXPECT_EQ(tags(lists(path->stroke_reverse)), (std::vector<double>{3}));
  EXPECT_EQ(tags(lists(path->stroke_normal)), (std::vector<double>{5, 4}));
  VGALFUNC_tvg_div_path_free(path);
}

TEST_F(DivFrame, UnitVector)
{
  const struct { float x, y, ux, uy; } cases[] = {
      {3, 4, 0.6f, 0.8f}, {0, 0, 0, 0}, {-2, 0, -1, 0}, {3e38f, 3e38f, 0.70710678f, 0.70710678f}};
  for (const auto &c : cases) {
    float ux, uy;
    VGALFUNC_tvg_div_calc_unit_vector(c.x, c.y, &ux, &uy);
    EXPECT_FLOAT_EQ(ux, c.ux) << c.x;
    EXPECT_FLOAT_EQ(uy, c.uy) << c.y;
  }
}

TEST_F(DivFrame, MovesOnlyCallOnlyFindSegment)
{
  PathData path;
  path.seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_MOVE_TO_REL, {3, 4}).seg(VG_MOVE_TO_ABS, {5, 6});
  EXPECT_EQ(describe(walk(path, 3)), "find 2\nfind 3\nfind 2\n");

  VGALFUNC_tvg_div_set_paint_mode(3);
  Result r = exec(path);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->fill, nullptr);
  EXPECT_EQ(r->stroke_normal, nullptr);
  EXPECT_EQ(r->stroke_reverse, nullptr);
  EXPECT_NE(Result(VGALFUNC_tvg_div_exec(0, nullptr, nullptr)), nullptr);
}

TEST_F(DivFrame, WalkerReportsEachSegmentKind)
{
  // Fill only: every segment reports its end through the add hook with tangent (0, 0).
  const struct {
    const char *name;
    PathData path;
    const char *expected;
  } cases[] = {
      {"line, hline, vline, relative forms",
       PathData().seg(VG_MOVE_TO_ABS, {1, 1}).seg(VG_LINE_TO_REL, {2, 0}).seg(VG_HLINE_TO_ABS, {7})
           .seg(VG_VLINE_TO_REL, {-4}).seg(VG_HLINE_TO_REL, {-6}),
       "find 2\nstart 1 1\nfind 5\nadd 3 1 0 0\nfind 6\nadd 7 1 0 0\nfind 9\nadd 7 -3 0 0\n"
       "find 7\nadd 1 -3 0 0\nend 0\n"},
      {"zero-length line adds nothing",
       PathData().seg(VG_MOVE_TO_ABS, {4, 4}).seg(VG_LINE_TO_ABS, {4, 4}),
       "find 2\nstart 4 4\nfind 4\nend 0\n"},
      {"relative move after a close starts from the closed subpath's start",
       PathData().seg(VG_MOVE_TO_ABS, {10, 10}).seg(VG_LINE_TO_ABS, {20, 10}).seg(VG_CLOSE_PATH, {})
           .seg(VG_MOVE_TO_REL, {1, 2}).seg(VG_LINE_TO_REL, {1, 0}),
       "find 2\nstart 10 10\nfind 4\nadd 20 10 0 0\nfind 0\nadd 10 10 0 0\nend 1\n"
       "find 3\nstart 11 12\nfind 5\nadd 12 12 0 0\nend 0\n"},
      {"a move ends the subpath; the next relative move is from the current point",
       PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {5, 0}).seg(VG_MOVE_TO_REL, {0, 5})
           .seg(VG_LINE_TO_REL, {1, 0}),
       "find 2\nstart 0 0\nfind 4\nadd 5 0 0 0\nend 0\nfind 3\nstart 5 5\nfind 5\nadd 6 5 0 0\nend 0\n"},
      {"drawing without a move starts at the origin; a segment after a close starts anew",
       PathData().seg(VG_LINE_TO_ABS, {3, 0}).seg(VG_CLOSE_PATH | VG_RELATIVE, {}).seg(VG_LINE_TO_ABS, {0, 3}),
       "start 0 0\nfind 4\nadd 3 0 0 0\nfind 1\nadd 0 0 0 0\nend 1\nstart 0 0\nfind 4\nadd 0 3 0 0\nend 0\n"},
  };
  for (const auto &c : cases) EXPECT_EQ(describe(walk(c.path, 2)), c.expected) << c.name;
}

TEST_F(DivFrame, SmoothSegmentsReflectThePreviousControlPoint)
{
  // A smooth quadratic after a quadratic equals the explicit quadratic with the reflected
  // control point; the same for cubics; after a line the reflection is the current point.
  const struct {
    const char *name;
    PathData smooth, plain;
  } cases[] = {
      {"squad", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {10, 20, 20, 0}).seg(VG_SQUAD_TO_REL, {20, 0}),
       PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {10, 20, 20, 0}).seg(VG_QUAD_TO_ABS, {30, -20, 40, 0})},
      {"scubic", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {0, 10, 10, 10, 10, 0}).seg(VG_SCUBIC_TO_ABS, {20, 0, 20, 10}),
       PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {0, 10, 10, 10, 10, 0}).seg(VG_CUBIC_TO_ABS, {10, -10, 20, 0, 20, 10})},
      {"squad after line", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {5, 5}).seg(VG_SQUAD_TO_ABS, {9, 1}),
       PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {5, 5}).seg(VG_QUAD_TO_ABS, {5, 5, 9, 1})},
  };
  const auto drawn = [](std::vector<Event> ev) {  // the segment bytes differ, of course
    ev.erase(std::remove_if(ev.begin(), ev.end(), [](const Event &e) { return e.kind == "find"; }), ev.end());
    return describe(ev);
  };
  for (const auto &c : cases) EXPECT_EQ(drawn(walk(c.smooth, 1)), drawn(walk(c.plain, 1))) << c.name;
}

TEST_F(DivFrame, DatatypesScaleAndBias)
{
  const struct {
    VGPathDatatype type;
    float scale, bias, stored, read;
  } cases[] = {
      {VG_PATH_DATATYPE_S_8, 2, 1, 3, 7},        {VG_PATH_DATATYPE_S_8, 1, 0, -128, -128},
      {VG_PATH_DATATYPE_S_16, 1, 0.5f, -300, -299.5f}, {VG_PATH_DATATYPE_S_32, 0.5f, 0, 100001, 50000.5f},
      {VG_PATH_DATATYPE_F, 1, 0, 2.25f, 2.25f},   {VG_PATH_DATATYPE_F, -2, 3, 1.5f, 0},
  };
  for (const auto &c : cases) {
    VGALFUNC_tvg_div_set_scale(c.scale);
    VGALFUNC_tvg_div_set_bias(c.bias);
    PathData path(c.type);
    path.seg(VG_MOVE_TO_ABS, {c.stored, 0}).seg(VG_LINE_TO_ABS, {0, c.stored});
    const auto ev = walk(path, 2);
    ASSERT_EQ(ev.size(), 5u) << describe(ev);
    EXPECT_EQ(ev[1].v[0], c.read) << c.type << " " << c.stored;
    EXPECT_EQ(ev[3].v[1], c.read) << c.type << " " << c.stored;
  }
  VGALFUNC_tvg_div_set_datatype(4);
  EXPECT_EQ(VGALFUNC_tvg_div_proc_subpath_setup(), 1);
}

TEST_F(DivFrame, UnknownSegmentByteFailsTheRun)
{
  VGALFUNC_tvg_div_set_paint_mode(2);
  PathData path;
  path.seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {1, 1}).seg(26, {});
  EXPECT_EQ(exec(path), nullptr);
}

TEST_F(DivFrame, OutOfMemoryAtEachAllocationFreesEverything)
{
  // A stroked, dashed and filled path with round caps and joins and two subpaths: every
  // kind of list the generator makes.
  PathData path;
  path.seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {40, 0}).seg(VG_QUAD_TO_ABS, {60, 0, 60, 20})
      .seg(VG_SCCWARC_TO_ABS, {10, 10, 0, 60, 40}).seg(VG_CLOSE_PATH, {})
      .seg(VG_MOVE_TO_ABS, {100, 100}).seg(VG_CUBIC_TO_REL, {10, 30, 20, -30, 30, 0});
  const float dash[] = {7, 3};
  VGALFUNC_tvg_div_set_paint_mode(3);
  VGALFUNC_tvg_div_set_stroke_width(4);
  VGALFUNC_tvg_div_set_cap_style(VG_CAP_ROUND);
  VGALFUNC_tvg_div_set_join_style(VG_JOIN_ROUND);
  VGALFUNC_tvg_div_set_dash_pattern(2, dash);

  long total;
  {
    FailingAllocator never(0);
    Result r = exec(path);
    ASSERT_NE(r, nullptr);
    total = never.allocations();
  }
  ASSERT_GT(total, 20);
  for (long n = 1; n <= total; ++n) {
    FailingAllocator failing(n);
    EXPECT_EQ(exec(path), nullptr) << "allocation " << n;
    EXPECT_EQ(failing.live(), 0) << "allocation " << n;
  }
}

TEST_F(DivFrame, ListCallsReportOutOfMemory)
{
  {
    FailingAllocator failing(1);
    tvg_div_listincu_t l;
    EXPECT_EQ(VGALFUNC_tvg_div_listincu_init(&l), 1);
    EXPECT_EQ(VGALFUNC_tvg_div_listincu_add(&l, 1, 1), 1);
  }
  {
    FailingAllocator failing(1);
    EXPECT_EQ(VGALFUNC_tvg_div_path_new(), nullptr);
  }
  FailingAllocator failing(2);
  tvg_div_listincu_t l;
  ASSERT_EQ(VGALFUNC_tvg_div_listincu_init(&l), 0);
  tvg_div_data_t *top = l.top;
  for (int i = 0; i < 16; ++i) ASSERT_EQ(VGALFUNC_tvg_div_listincu_add(&l, 1, 1), 0);
  EXPECT_EQ(VGALFUNC_tvg_div_listincu_add(&l, 1, 1), 1);
  EXPECT_EQ(chunkCounts(top), std::vector<int>{16});  // the chain stays terminated
  VGALFUNC_tvg_div_list_free(top);
  EXPECT_EQ(failing.live(), 0);
}

}  // namespace
