// Path operations: append data with its checks, modify coordinates, transform (lines, arcs and
// their direction under a mirror), normalisation through interpolation, interpolation into
// integer datatypes, and sizes that pass the 32-bit range or cannot be allocated: those give
// VG_OUT_OF_MEMORY_ERROR with the path unchanged, and no copy runs past a buffer (the sanitizer
// build would stop on it).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include <VG/openvg.h>

#include "path_fixture.h"
#include "vg/common/vg_matrix.h"

namespace {

using divtest::PathData;
using pathtest::append;
using pathtest::element;
using pathtest::elements;
using pathtest::FailingResize;
using pathtest::makePath;
using pathtest::Path;
using pathtest::pathOf;
using pathtest::segments;

// The parts of a path the operations may change.
struct Snapshot {
  std::vector<int> segs;
  std::vector<double> coords;
  VGint dirty;

  explicit Snapshot(const OVGpath *p) : segs(segments(p)), coords(elements(p)), dirty(p->dirty) {}
  bool operator==(const Snapshot &o) const { return segs == o.segs && coords == o.coords && dirty == o.dirty; }
};

void expectNear(const std::vector<double> &got, const std::vector<double> &want, double tol = 1e-4)
{
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "element " << i;
}

// ---- Append data ----

TEST(PathAppendData, SegmentBytesAndDataAlignmentAreChecked)
{
  alignas(4) static const uint8_t block[64] = {};
  const struct {
    const char *what;
    VGPathDatatype type;
    std::vector<uint8_t> segs;
    const void *data;
    VGErrorCode error;
    int coords;  // appended on success
  } table[] = {
      {"a byte of 26", VG_PATH_DATATYPE_F, {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, 26}, block, VG_ILLEGAL_ARGUMENT_ERROR, 0},
      {"move and relative close", VG_PATH_DATATYPE_F, {VG_MOVE_TO_ABS, VG_CLOSE_PATH | VG_RELATIVE}, block,
       VG_NO_ERROR, 2},
      {"every command", VG_PATH_DATATYPE_S_8, {0, 3, 4, 7, 8, 11, 12, 15, 16, 19, 20, 23, 24, 25}, block + 1,
       VG_NO_ERROR, 0 + 2 + 2 + 1 + 1 + 4 + 6 + 2 + 4 + 5 + 5 + 5 + 5 + 5},
      {"S_16 at an odd address", VG_PATH_DATATYPE_S_16, {VG_MOVE_TO_ABS}, block + 1, VG_ILLEGAL_ARGUMENT_ERROR, 0},
      {"S_16 at an even address", VG_PATH_DATATYPE_S_16, {VG_MOVE_TO_ABS}, block + 2, VG_NO_ERROR, 2},
      {"S_32 at 2 mod 4", VG_PATH_DATATYPE_S_32, {VG_MOVE_TO_ABS}, block + 2, VG_ILLEGAL_ARGUMENT_ERROR, 0},
      {"F at 2 mod 4", VG_PATH_DATATYPE_F, {VG_MOVE_TO_ABS}, block + 2, VG_ILLEGAL_ARGUMENT_ERROR, 0},
      {"S_8 at an odd address", VG_PATH_DATATYPE_S_8, {VG_MOVE_TO_ABS}, block + 3, VG_NO_ERROR, 2},
      {"no data", VG_PATH_DATATYPE_S_8, {VG_CLOSE_PATH}, nullptr, VG_ILLEGAL_ARGUMENT_ERROR, 0},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    Path p = pathOf(PathData(row.type).seg(VG_MOVE_TO_REL, {1, 1}));
    ASSERT_NE(p, nullptr);
    p->dirty = p->invalid = 0;
    const Snapshot before(p.get());
    EXPECT_EQ(VGFUNC_AppendData(p.get(), (VGint)row.segs.size(), row.segs.data(), row.data), row.error);
    if (row.error != VG_NO_ERROR) {
      EXPECT_TRUE(Snapshot(p.get()) == before);
      EXPECT_EQ(p->invalid, 0);
      continue;
    }
    std::vector<int> segs{VG_MOVE_TO_REL};
    segs.insert(segs.end(), row.segs.begin(), row.segs.end());
    EXPECT_EQ(segments(p.get()), segs);
    EXPECT_EQ(p->numCoords, 2 + row.coords);
    EXPECT_EQ(element(p.get(), 2), 0);  // the block's zeros after the first two
    EXPECT_EQ(p->dirty, 1);
    EXPECT_EQ(p->invalid, 1);
  }
}

TEST(PathAppendData, BuffersGrowToExactlyTheSizeNeeded)
{
  Path p = makePath(VG_PATH_DATATYPE_S_16);
  PathData d(VG_PATH_DATATYPE_S_16);
  for (int i = 0; i < 300; ++i) d.seg(VG_LINE_TO_ABS, {double(i), double(-i)});
  ASSERT_EQ(append(p.get(), d), VG_NO_ERROR);
  EXPECT_EQ(p->segmentSize, 300);
  EXPECT_EQ(p->dataSize, 1200);
  ASSERT_EQ(append(p.get(), PathData(VG_PATH_DATATYPE_S_16).seg(VG_HLINE_TO_REL, {-7})), VG_NO_ERROR);
  EXPECT_EQ(p->segmentSize, 301);
  EXPECT_EQ(p->dataSize, 1202);
  EXPECT_EQ(element(p.get(), 599), -299);
  EXPECT_EQ(element(p.get(), 600), -7);
}

TEST(PathAppendData, AFailedGrowthAppendsNothing)
{
  // The segment buffer grows first and stays grown when the coordinate buffer cannot.
  Path p = pathOf(PathData().seg(VG_MOVE_TO_ABS, {1, 2}));
  PathData d;
  for (int i = 0; i < 300; ++i) d.seg(VG_LINE_TO_ABS, {1, 2});
  const Snapshot before(p.get());
  for (long failAt : {1L, 2L}) {
    SCOPED_TRACE(failAt);
    FailingResize failing(failAt);
    EXPECT_EQ(append(p.get(), d), VG_OUT_OF_MEMORY_ERROR);
    EXPECT_TRUE(Snapshot(p.get()) == before);
  }
  EXPECT_EQ(p->segmentSize, 301);
  EXPECT_EQ(p->dataSize, 1024);
}

// ---- Modify ----

TEST(PathModify, RangesAndPointersAreChecked)
{
  PathData d(VG_PATH_DATATYPE_S_16);
  d.seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_HLINE_TO_ABS, {3}).seg(VG_CUBIC_TO_REL, {4, 5, 6, 7, 8, 9});
  alignas(4) static const int16_t values[8] = {-1, -2, -3, -4, -5, -6, -7, -8};
  const struct {
    VGint start, num;
    const void *data;
    VGErrorCode error;
    std::vector<double> coords;
  } table[] = {
      {0, 1, values, VG_NO_ERROR, {-1, -2, 3, 4, 5, 6, 7, 8, 9}},
      {2, 1, values, VG_NO_ERROR, {1, 2, 3, -1, -2, -3, -4, -5, -6}},
      {1, 2, values, VG_NO_ERROR, {1, 2, -1, -2, -3, -4, -5, -6, -7}},
      {-1, 1, values, VG_ILLEGAL_ARGUMENT_ERROR, {}},
      {0, 0, values, VG_ILLEGAL_ARGUMENT_ERROR, {}},
      {2, 2, values, VG_ILLEGAL_ARGUMENT_ERROR, {}},
      {1, 2147483647, values, VG_ILLEGAL_ARGUMENT_ERROR, {}},  // start + num wraps in 32 bits
      {0, 1, reinterpret_cast<const uint8_t *>(values) + 1, VG_ILLEGAL_ARGUMENT_ERROR, {}},
      {0, 1, nullptr, VG_ILLEGAL_ARGUMENT_ERROR, {}},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(::testing::Message() << row.start << " " << row.num);
    Path p = pathOf(d);
    ASSERT_NE(p, nullptr);
    p->dirty = p->invalid = 0;
    const Snapshot before(p.get());
    EXPECT_EQ(VGFUNC_ModifyCoord(p.get(), row.start, row.num, row.data), row.error);
    if (row.error != VG_NO_ERROR) {
      EXPECT_TRUE(Snapshot(p.get()) == before);
      continue;
    }
    EXPECT_EQ(elements(p.get()), row.coords);
    EXPECT_EQ(segments(p.get()), before.segs);
    EXPECT_EQ(p->dirty, 1);
    EXPECT_EQ(p->invalid, 1);
  }
}

TEST(PathModify, SegmentsWithoutCoordinatesChangeNothing)
{
  Path p = pathOf(PathData(VG_PATH_DATATYPE_S_32).seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_CLOSE_PATH, {}).seg(VG_CLOSE_PATH | VG_RELATIVE, {}));
  ASSERT_NE(p, nullptr);
  p->dirty = p->invalid = 0;
  const int32_t values[2] = {7, 7};
  EXPECT_EQ(VGFUNC_ModifyCoord(p.get(), 1, 2, values), VG_NO_ERROR);
  EXPECT_EQ(elements(p.get()), (std::vector<double>{1, 2}));
  EXPECT_EQ(p->dirty, 0);
  EXPECT_EQ(p->invalid, 0);
}

// ---- Transform ----

OVGmatrix identity()
{
  OVGmatrix m;
  VGFUNC_InitMatrix(&m, VG_MATRIX_PATH_USER_TO_SURFACE);
  return m;
}

OVGmatrix rotation(VGfloat degrees)
{
  OVGmatrix m = identity();
  VGFUNC_Rotate(&m, degrees);
  return m;
}

OVGmatrix scaling(VGfloat sx, VGfloat sy)
{
  OVGmatrix m = identity();
  VGFUNC_Scale(&m, sx, sy);
  return m;
}

OVGmatrix translation(VGfloat tx, VGfloat ty)
{
  OVGmatrix m = identity();
  VGFUNC_Translate(&m, tx, ty);
  return m;
}

TEST(PathTransform, PointsLinesAndCurves)
{
  const struct {
    const char *what;
    OVGmatrix m;
    PathData src;
    std::vector<int> segs;
    std::vector<double> coords;
  } table[] = {
      {"relative horizontal line rotated 90 degrees", rotation(90),
       PathData().seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_HLINE_TO_REL, {5}),
       {VG_MOVE_TO_ABS, VG_LINE_TO_REL},
       {-2, 1, 0, 5}},
      {"vertical lines become lines from the current point", rotation(90),
       PathData().seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_VLINE_TO_ABS, {6}).seg(VG_VLINE_TO_REL, {3}),
       {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_REL},
       {-2, 1, -6, 1, -3, 0}},
      {"translation moves absolute points only", translation(10, 20),
       PathData()
           .seg(VG_MOVE_TO_ABS, {1, 1})
           .seg(VG_LINE_TO_REL, {2, 3})
           .seg(VG_CUBIC_TO_ABS, {1, 2, 3, 4, 5, 6})
           .seg(VG_QUAD_TO_REL, {1, 1, 2, 2})
           .seg(VG_SQUAD_TO_ABS, {7, 8})
           .seg(VG_SCUBIC_TO_REL, {1, 2, 3, 4})
           .seg(VG_CLOSE_PATH, {})
           .seg(VG_HLINE_TO_ABS, {4}),
       {VG_MOVE_TO_ABS, VG_LINE_TO_REL, VG_CUBIC_TO_ABS, VG_QUAD_TO_REL, VG_SQUAD_TO_ABS, VG_SCUBIC_TO_REL,
        VG_CLOSE_PATH, VG_LINE_TO_ABS},
       // The horizontal line after the close starts from the subpath's start (1, 1).
       {11, 21, 2, 3, 11, 22, 13, 24, 15, 26, 1, 1, 2, 2, 17, 28, 1, 2, 3, 4, 14, 21}},
      {"identity copies with the line conversions", identity(),
       PathData().seg(VG_MOVE_TO_REL, {1, 2}).seg(VG_HLINE_TO_ABS, {4}).seg(VG_VLINE_TO_REL, {-1}),
       {VG_MOVE_TO_REL, VG_LINE_TO_ABS, VG_LINE_TO_REL},
       {1, 2, 4, 2, 0, -1}},
      {"relative moves accumulate the current point", scaling(2, 3),
       PathData().seg(VG_MOVE_TO_REL, {1, 1}).seg(VG_MOVE_TO_REL, {1, 1}).seg(VG_HLINE_TO_ABS, {5}),
       {VG_MOVE_TO_REL, VG_MOVE_TO_REL, VG_LINE_TO_ABS},
       {2, 3, 2, 3, 10, 6}},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    Path src = pathOf(row.src);
    Path dst = pathOf(PathData().seg(VG_MOVE_TO_ABS, {-9, -9}));
    ASSERT_NE(src, nullptr);
    ASSERT_NE(dst, nullptr);
    dst->dirty = dst->invalid = 0;
    ASSERT_EQ(VGFUNC_TransformPath(dst.get(), src.get(), &row.m), VG_NO_ERROR);
    std::vector<int> segs{VG_MOVE_TO_ABS};
    segs.insert(segs.end(), row.segs.begin(), row.segs.end());
    std::vector<double> coords{-9, -9};
    coords.insert(coords.end(), row.coords.begin(), row.coords.end());
    EXPECT_EQ(segments(dst.get()), segs);
    expectNear(elements(dst.get()), coords);
    EXPECT_EQ(dst->dirty, 1);
    EXPECT_EQ(dst->invalid, 1);
  }
}

TEST(PathTransform, ConvertsIntoTheDestinationsDatatypeScaleAndBias)
{
  Path src = pathOf(PathData(VG_PATH_DATATYPE_S_8).seg(VG_MOVE_TO_ABS, {3, -4}).seg(VG_HLINE_TO_REL, {5}), 2.0f, 1.0f);
  Path dst = makePath(VG_PATH_DATATYPE_S_16, 0.5f, -1.0f);
  const OVGmatrix m = translation(1, 0);
  ASSERT_EQ(VGFUNC_TransformPath(dst.get(), src.get(), &m), VG_NO_ERROR);
  // User units: move (7, -7) -> (8, -7); relative line (11, 0). Stored: (u + 1) / 0.5.
  EXPECT_EQ(segments(dst.get()), (std::vector<int>{VG_MOVE_TO_ABS, VG_LINE_TO_REL}));
  EXPECT_EQ(elements(dst.get()), (std::vector<double>{18, -12, 24, 2}));
}

TEST(PathTransform, ArcsTakeTheirTransformedEllipseAndMirrorsSwapDirection)
{
  const struct {
    const char *what;
    OVGmatrix m;
    int command, transformed;
    std::vector<double> arc;  // rh, rv, rotation, end x, end y
  } table[] = {
      {"mirror, small counter-clockwise", scaling(-1, 1), VG_SCCWARC_TO_ABS, VG_SCWARC_TO_ABS, {2, -1, 150, -4, 1}},
      {"mirror, small clockwise", scaling(-1, 1), VG_SCWARC_TO_ABS, VG_SCCWARC_TO_ABS, {2, -1, 150, -4, 1}},
      {"mirror, large counter-clockwise relative", scaling(-1, 1), VG_LCCWARC_TO_REL, VG_LCWARC_TO_REL,
       {2, -1, 150, -4, 1}},
      {"mirror, large clockwise relative", scaling(-1, 1), VG_LCWARC_TO_REL, VG_LCCWARC_TO_REL, {2, -1, 150, -4, 1}},
      {"rotation keeps the direction", rotation(90), VG_SCCWARC_TO_REL, VG_SCCWARC_TO_REL, {2, 1, 120, -1, 4}},
      {"identity leaves the arc", identity(), VG_LCWARC_TO_ABS, VG_LCWARC_TO_ABS, {2, 1, 30, 4, 1}},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    Path src = pathOf(PathData().seg(row.command, {2, 1, 30, 4, 1}));
    Path dst = makePath(VG_PATH_DATATYPE_F);
    ASSERT_EQ(VGFUNC_TransformPath(dst.get(), src.get(), &row.m), VG_NO_ERROR);
    EXPECT_EQ(segments(dst.get()), (std::vector<int>{row.transformed}));
    expectNear(elements(dst.get()), row.arc, 1e-3);
  }
}

TEST(PathTransform, APathTransformedOntoItselfKeepsItsSourceHalf)
{
  PathData d;
  for (int i = 0; i < 100; ++i) d.seg(VG_MOVE_TO_ABS, {double(i), 1}).seg(VG_HLINE_TO_REL, {2});
  Path p = pathOf(d);
  const OVGmatrix m = translation(0, 10);
  ASSERT_EQ(VGFUNC_TransformPath(p.get(), p.get(), &m), VG_NO_ERROR);
  ASSERT_EQ(p->numSegments, 400);
  ASSERT_EQ(p->numCoords, 300 + 400);
  for (int i = 0; i < 100; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(p->segment[200 + 2 * i], VG_MOVE_TO_ABS);
    EXPECT_EQ(p->segment[200 + 2 * i + 1], VG_LINE_TO_REL);
    EXPECT_EQ(element(p.get(), 300 + 4 * i), i);
    EXPECT_EQ(element(p.get(), 300 + 4 * i + 1), 11);
    EXPECT_EQ(element(p.get(), 300 + 4 * i + 2), 2);
    EXPECT_EQ(element(p.get(), 300 + 4 * i + 3), 0);
  }
}

// ---- Interpolation and normalisation ----

TEST(PathInterpolate, NormalisedSegmentsComeOutAsMovesLinesAndCubics)
{
  // Interpolating a path with itself writes its normalised form.
  const struct {
    const char *what;
    PathData src;
    std::vector<int> segs;
    std::vector<double> coords;
  } table[] = {
      {"quadratic", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {3, 3, 6, 0}),
       {VG_MOVE_TO_ABS, VG_CUBIC_TO_ABS},
       {0, 0, 2, 2, 4, 2, 6, 0}},
      {"relative quadratic and a smooth one", PathData().seg(VG_MOVE_TO_ABS, {1, 1}).seg(VG_QUAD_TO_REL, {3, 3, 6, 0}).seg(VG_SQUAD_TO_REL, {6, 0}),
       {VG_MOVE_TO_ABS, VG_CUBIC_TO_ABS, VG_CUBIC_TO_ABS},
       {1, 1, 3, 3, 5, 3, 7, 1, 9, -1, 11, -1, 13, 1}},
      {"cubic and smooth cubic", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {0, 1, 2, 3, 4, 4}).seg(VG_SCUBIC_TO_REL, {1, 1, 2, 0}),
       {VG_MOVE_TO_ABS, VG_CUBIC_TO_ABS, VG_CUBIC_TO_ABS},
       {0, 0, 0, 1, 2, 3, 4, 4, 6, 5, 5, 5, 6, 4}},
      {"lines, close back to the subpath start", PathData().seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_HLINE_TO_REL, {3}).seg(VG_VLINE_TO_ABS, {7}).seg(VG_CLOSE_PATH, {}).seg(VG_LINE_TO_REL, {1, 1}),
       {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH, VG_LINE_TO_ABS},
       {1, 2, 4, 2, 4, 7, 2, 3}},
      {"smooth quadratic after a line reflects the current point", PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {3, 0}).seg(VG_SQUAD_TO_ABS, {6, 3}),
       {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_CUBIC_TO_ABS},
       {0, 0, 3, 0, 3, 0, 4, 1, 6, 3}},
      {"relative arc made absolute", PathData().seg(VG_MOVE_TO_ABS, {1, 1}).seg(VG_LCWARC_TO_REL, {2, 3, 45, 4, 5}),
       {VG_MOVE_TO_ABS, VG_LCWARC_TO_ABS},
       {1, 1, 2, 3, 45, 5, 6}},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    Path s = pathOf(row.src);
    Path d = makePath(VG_PATH_DATATYPE_F);
    ASSERT_NE(s, nullptr);
    VGboolean result = VG_FALSE;
    ASSERT_EQ(VGFUNC_InterpolatePath(d.get(), s.get(), s.get(), 0.0f, &result), VG_NO_ERROR);
    EXPECT_EQ(result, VG_TRUE);
    EXPECT_EQ(segments(d.get()), row.segs);
    expectNear(elements(d.get()), row.coords, 1e-5);
  }
}

TEST(PathInterpolate, ArcCommandsComeFromTheStartBelowOneHalf)
{
  Path s = pathOf(PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_SCCWARC_TO_REL, {2, 2, 0, 4, 0}));
  Path e = pathOf(PathData().seg(VG_MOVE_TO_ABS, {2, 0}).seg(VG_LCWARC_TO_ABS, {4, 6, 90, 8, 4}));
  const struct {
    VGfloat amount;
    int arc;
    std::vector<double> coords;
  } table[] = {
      {0.5f, VG_LCWARC_TO_ABS, {1, 0, 3, 4, 45, 6, 2}},
      {0.49f, VG_SCCWARC_TO_ABS, {0.98, 0, 2.98, 3.96, 44.1, 5.96, 1.96}},
      {0.0f, VG_SCCWARC_TO_ABS, {0, 0, 2, 2, 0, 4, 0}},
      {1.0f, VG_LCWARC_TO_ABS, {2, 0, 4, 6, 90, 8, 4}},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.amount);
    Path d = makePath(VG_PATH_DATATYPE_F);
    VGboolean result = VG_FALSE;
    ASSERT_EQ(VGFUNC_InterpolatePath(d.get(), s.get(), e.get(), row.amount, &result), VG_NO_ERROR);
    EXPECT_EQ(result, VG_TRUE);
    EXPECT_EQ(segments(d.get()), (std::vector<int>{VG_MOVE_TO_ABS, row.arc}));
    expectNear(elements(d.get()), row.coords, 1e-4);
  }
}

TEST(PathInterpolate, IntoAnIntegerPathRoundsAsTheWritersDo)
{
  Path s = pathOf(PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {10, -4}));
  Path e = pathOf(PathData().seg(VG_MOVE_TO_ABS, {20, -20}).seg(VG_LINE_TO_ABS, {20, -8}));
  Path d = pathOf(PathData(VG_PATH_DATATYPE_S_8).seg(VG_MOVE_TO_ABS, {1, 2}), 2.0f, 0.0f);
  VGboolean result = VG_FALSE;
  d->dirty = 0;
  // At 0.25: (5, -5) and (12.5, -5), stored as floor(value / 2 + 0.5).
  ASSERT_EQ(VGFUNC_InterpolatePath(d.get(), s.get(), e.get(), 0.25f, &result), VG_NO_ERROR);
  EXPECT_EQ(result, VG_TRUE);
  EXPECT_EQ(segments(d.get()), (std::vector<int>{VG_MOVE_TO_ABS, VG_MOVE_TO_ABS, VG_LINE_TO_ABS}));
  EXPECT_EQ(elements(d.get()), (std::vector<double>{1, 2, 3, -2, 6, -2}));
  EXPECT_EQ(d->segmentSize, 3);
  EXPECT_EQ(d->dataSize, 6);
  EXPECT_EQ(d->dirty, 1);
}

TEST(PathInterpolate, IncompatiblePathsGiveFalseWithoutError)
{
  Path moveLine = pathOf(PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_LINE_TO_ABS, {1, 1}));
  Path moveHline = pathOf(PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_HLINE_TO_ABS, {1}));
  Path moveMove = pathOf(PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_MOVE_TO_ABS, {1, 1}));
  Path moveCubic = pathOf(PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_QUAD_TO_ABS, {1, 1, 2, 2}));
  Path move = pathOf(PathData().seg(VG_MOVE_TO_ABS, {0, 0}));
  Path empty = makePath(VG_PATH_DATATYPE_F);
  const struct {
    const char *what;
    OVGpath *s, *e;
    VGboolean result;
    int appended;
  } table[] = {
      {"a line and a horizontal line", moveLine.get(), moveHline.get(), VG_TRUE, 2},
      {"a line and a move", moveLine.get(), moveMove.get(), VG_FALSE, 0},
      {"different segment counts", moveLine.get(), move.get(), VG_FALSE, 0},
      {"different coordinate counts", moveLine.get(), moveCubic.get(), VG_FALSE, 0},
      {"two empty paths", empty.get(), empty.get(), VG_TRUE, 0},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    Path d = pathOf(PathData().seg(VG_MOVE_TO_ABS, {5, 5}));
    d->dirty = 0;
    const Snapshot before(d.get());
    VGboolean result = static_cast<VGboolean>(7);
    EXPECT_EQ(VGFUNC_InterpolatePath(d.get(), row.s, row.e, 0.5f, &result), VG_NO_ERROR);
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(d->numSegments, 1 + row.appended);
    if (row.appended == 0) {
      EXPECT_TRUE(Snapshot(d.get()) == before);
    }
  }
}

TEST(PathInterpolate, APathInterpolatedIntoItselfReadsItsOldData)
{
  Path p = pathOf(PathData().seg(VG_MOVE_TO_ABS, {2, 4}).seg(VG_LINE_TO_REL, {2, 2}));
  VGboolean result = VG_FALSE;
  ASSERT_EQ(VGFUNC_InterpolatePath(p.get(), p.get(), p.get(), 0.3f, &result), VG_NO_ERROR);
  EXPECT_EQ(result, VG_TRUE);
  EXPECT_EQ(segments(p.get()), (std::vector<int>{VG_MOVE_TO_ABS, VG_LINE_TO_REL, VG_MOVE_TO_ABS, VG_LINE_TO_ABS}));
  expectNear(elements(p.get()), {2, 4, 2, 2, 2, 4, 4, 6});
}

TEST(PathInterpolate, AFailedAllocationLeavesTheDestinationUnchanged)
{
  Path s = pathOf(PathData().seg(VG_MOVE_TO_ABS, {0, 0}).seg(VG_CUBIC_TO_ABS, {1, 2, 3, 4, 5, 6}));
  Path d = pathOf(PathData(VG_PATH_DATATYPE_S_32).seg(VG_MOVE_TO_ABS, {5, 5}));
  d->dirty = 0;
  const Snapshot before(d.get());
  long calls;
  {
    FailingResize counting(0);
    VGboolean result = VG_FALSE;
    Path probe = pathOf(PathData(VG_PATH_DATATYPE_S_32).seg(VG_MOVE_TO_ABS, {5, 5}));
    const long made = FailingResize::calls();
    ASSERT_EQ(VGFUNC_InterpolatePath(probe.get(), s.get(), s.get(), 0.5f, &result), VG_NO_ERROR);
    calls = FailingResize::calls() - made;
  }
  ASSERT_GE(calls, 4);
  for (long failAt = 1; failAt <= calls; ++failAt) {
    SCOPED_TRACE(failAt);
    FailingResize failing(failAt);
    VGboolean result = VG_TRUE;
    EXPECT_EQ(VGFUNC_InterpolatePath(d.get(), s.get(), s.get(), 0.5f, &result), VG_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(result, VG_FALSE);
    EXPECT_TRUE(Snapshot(d.get()) == before);
  }
}

// ---- Sizes beyond the 32-bit range ----

// Each case gives a path counts far beyond its buffers, as if it held that much: an operation
// that computed its sizes in 32 bits would wrap, skip the growth and copy past the buffer.
TEST(PathSizes, SizesBeyondThirtyTwoBitsAreOutOfMemoryWithThePathUnchanged)
{
  static const float twoValues[2] = {1, 2};
  static const VGubyte line[1] = {VG_LINE_TO_ABS};
  const struct {
    const char *what;
    VGint numSegments, numCoords;  // given to the destination
    VGErrorCode (*op)(OVGpath *dst, OVGpath *other);
  } table[] = {
      {"append data, coordinates", 1, 0x7FFFFFF0,
       [](OVGpath *dst, OVGpath *) { return VGFUNC_AppendData(dst, 1, line, twoValues); }},
      {"append data, segments", 0x7FFFFFFF, 2,
       [](OVGpath *dst, OVGpath *) { return VGFUNC_AppendData(dst, 1, line, twoValues); }},
      {"append path, coordinates", 1, 0x3FFFFFFF, [](OVGpath *dst, OVGpath *src) { return VGFUNC_AppendPath(dst, src); }},
      {"append path, segments", 0x7FFFFFFE, 2, [](OVGpath *dst, OVGpath *src) { return VGFUNC_AppendPath(dst, src); }},
      {"transform, coordinates", 1, 0x3FFFFFFF,
       [](OVGpath *dst, OVGpath *src) {
         const OVGmatrix m = rotation(30);
         return VGFUNC_TransformPath(dst, src, &m);
       }},
      {"transform, segments", 0x7FFFFFFE, 2,
       [](OVGpath *dst, OVGpath *src) {
         const OVGmatrix m = rotation(30);
         return VGFUNC_TransformPath(dst, src, &m);
       }},
      {"interpolate, coordinates", 1, 0x3FFFFFFF,
       [](OVGpath *dst, OVGpath *src) {
         VGboolean result = VG_TRUE;
         const VGErrorCode error = VGFUNC_InterpolatePath(dst, src, src, 0.5f, &result);
         return result == VG_FALSE ? error : VG_NO_ERROR;
       }},
      {"interpolate, segments", 0x7FFFFFFE, 2,
       [](OVGpath *dst, OVGpath *src) {
         VGboolean result = VG_TRUE;
         const VGErrorCode error = VGFUNC_InterpolatePath(dst, src, src, 0.5f, &result);
         return result == VG_FALSE ? error : VG_NO_ERROR;
       }},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(row.what);
    Path src = pathOf(PathData().seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_LINE_TO_ABS, {3, 4}).seg(VG_HLINE_TO_REL, {5}));
    Path dst = pathOf(PathData().seg(VG_MOVE_TO_ABS, {9, 9}));
    ASSERT_NE(src, nullptr);
    ASSERT_NE(dst, nullptr);
    const VGint segmentSize = dst->segmentSize, dataSize = dst->dataSize;
    const void *data = dst->data;
    const VGubyte *segment = dst->segment;
    dst->numSegments = row.numSegments;
    dst->numCoords = row.numCoords;
    dst->dirty = dst->invalid = 0;
    EXPECT_EQ(row.op(dst.get(), src.get()), VG_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(dst->numSegments, row.numSegments);
    EXPECT_EQ(dst->numCoords, row.numCoords);
    EXPECT_EQ(dst->segmentSize, segmentSize);
    EXPECT_EQ(dst->dataSize, dataSize);
    EXPECT_EQ(dst->data, data);
    EXPECT_EQ(dst->segment, segment);
    EXPECT_EQ(dst->dirty + dst->invalid, 0);
    dst->numSegments = 1;  // back to what the buffers hold
    dst->numCoords = 2;
    EXPECT_EQ(elements(dst.get()), (std::vector<double>{9, 9}));
  }
}

}  // namespace
