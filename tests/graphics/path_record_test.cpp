// The path record: capacities taken from the hints as byte counts, buffers that could not be had
// at creation, holders and deletion, clearing and capabilities, the read-only parameters through
// the object-parameter entry points, and the coordinate readers, writers and converters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "path_fixture.h"
#include "vg/common/vg_arena.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_share.h"

namespace {

using divtest::PathData;
using pathtest::element;
using pathtest::elements;
using pathtest::FailingResize;
using pathtest::makePath;
using pathtest::Path;
using pathtest::segments;

TEST(PathRecord, CapacitiesComeFromTheHintsAsBytes)
{
  const struct {
    VGint shint, chint, segmentSize, dataSize;
  } table[] = {
      {0, 0, 256, 1024},     {100, 500, 256, 1024}, {256, 1024, 256, 1024},
      {300, 5000, 300, 5000}, {-5, -1, 256, 1024},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(::testing::Message() << row.shint << " " << row.chint);
    Path p = makePath(VG_PATH_DATATYPE_S_16, 2.0f, -1.0f, row.shint, row.chint, 0x21);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->segmentSize, row.segmentSize);
    EXPECT_EQ(p->dataSize, row.dataSize);
    EXPECT_NE(p->segment, nullptr);
    EXPECT_NE(p->data, nullptr);
    EXPECT_EQ(p->format, 0);
    EXPECT_EQ(p->datatype, VG_PATH_DATATYPE_S_16);
    EXPECT_EQ(p->scale, 2.0f);
    EXPECT_EQ(p->bias, -1.0f);
    EXPECT_EQ(p->cap, 0x21u);
    EXPECT_EQ(p->numSegments + p->numCoords + p->refCount, 0);
    EXPECT_EQ(p->dirty, 1);
    EXPECT_EQ(p->invalid, 1);
    EXPECT_NE(p->aldep, nullptr);  // the acceleration layer's record
  }
}

TEST(PathRecord, BuffersMissingAtCreationAreAllocatedByTheFirstAppend)
{
  // Either buffer may be missing; the append then allocates exactly what it needs.
  for (long failAt : {1L, 2L}) {
    SCOPED_TRACE(failAt);
    Path p;
    {
      FailingResize failing(failAt);
      p = makePath(VG_PATH_DATATYPE_S_32);
    }
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(failAt == 1 ? p->segmentSize : p->dataSize, 0);
    EXPECT_EQ(failAt == 1 ? static_cast<void *>(p->segment) : p->data, nullptr);
    ASSERT_EQ(pathtest::append(p.get(), PathData(VG_PATH_DATATYPE_S_32).seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_LINE_TO_REL, {3, 4})),
              VG_NO_ERROR);
    EXPECT_EQ(p->segmentSize, failAt == 1 ? 2 : 256);
    EXPECT_EQ(p->dataSize, failAt == 1 ? 1024 : 16);
    EXPECT_EQ(segments(p.get()), (std::vector<int>{VG_MOVE_TO_ABS, VG_LINE_TO_REL}));
    EXPECT_EQ(elements(p.get()), (std::vector<double>{1, 2, 3, 4}));
  }
}

TEST(PathRecord, APathWithoutBuffersTakesEmptyPaths)
{
  Path p, empty = makePath(VG_PATH_DATATYPE_F);
  {
    FailingResize failing(1, true);
    p = makePath(VG_PATH_DATATYPE_S_8);
  }
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->segment, nullptr);
  ASSERT_EQ(p->data, nullptr);
  OVGmatrix m;
  VGFUNC_InitMatrix(&m, VG_MATRIX_PATH_USER_TO_SURFACE);
  VGboolean result = VG_FALSE;
  EXPECT_EQ(VGFUNC_AppendPath(p.get(), empty.get()), VG_NO_ERROR);
  EXPECT_EQ(VGFUNC_TransformPath(p.get(), empty.get(), &m), VG_NO_ERROR);
  EXPECT_EQ(VGFUNC_InterpolatePath(p.get(), empty.get(), empty.get(), 0.5f, &result), VG_NO_ERROR);
  EXPECT_EQ(result, VG_TRUE);
  EXPECT_EQ(p->numSegments + p->numCoords + p->segmentSize + p->dataSize, 0);
}

TEST(PathRecord, AHeldPathOutlivesItsDeletionUntilTheLastRelease)
{
  OVGpath *p = VGFUNC_CreatePath(0, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
  ASSERT_NE(p, nullptr);
  VGFUNC_IncPath(p);
  VGFUNC_IncPath(p);
  VGFUNC_DeletePath(p);
  EXPECT_EQ(p->deleted, VG_TRUE);  // kept: still readable
  VGFUNC_DecPath(p);
  EXPECT_EQ(p->refCount, 1);
  VGFUNC_DecPath(p);  // frees it
  void *next = VGFUNC_ArenaAlloc(sizeof(OVGpath));
  EXPECT_EQ(next, static_cast<void *>(p));
  VGFUNC_ArenaFree(next);
}

TEST(PathRecord, ClearingKeepsTheBuffersAndReplacesTheCapabilities)
{
  Path p = makePath(VG_PATH_DATATYPE_F, 1, 0, 300, 2000, VG_PATH_CAPABILITY_ALL);
  ASSERT_EQ(pathtest::append(p.get(), PathData().seg(VG_MOVE_TO_ABS, {1, 2})), VG_NO_ERROR);
  p->dirty = p->invalid = 0;
  VGFUNC_RemoveCapability(p.get(), VG_PATH_CAPABILITY_APPEND_TO | VG_PATH_CAPABILITY_MODIFY);
  EXPECT_EQ(VGFUNC_GetCapability(p.get()), 0xFFFu & ~0x6u);
  VGFUNC_ClearPath(p.get(), VG_PATH_CAPABILITY_PATH_BOUNDS);
  EXPECT_EQ(p->numSegments + p->numCoords, 0);
  EXPECT_EQ(p->segmentSize, 300);
  EXPECT_EQ(p->dataSize, 2000);
  EXPECT_EQ(VGFUNC_GetCapability(p.get()), static_cast<VGbitfield>(VG_PATH_CAPABILITY_PATH_BOUNDS));
  EXPECT_EQ(p->dirty, 1);
  EXPECT_EQ(p->invalid, 1);
}

// A current context whose object table holds the paths made with add().
class PathParameters : public ::testing::Test {
protected:
  OVGcontext *ctx = VGFUNC_CreateVGContext(nullptr);

  PathParameters() { VGVAL_vgcurrentcontexthandle = ctx; }
  ~PathParameters() override
  {
    VGVAL_vgcurrentcontexthandle = nullptr;
    VGFUNC_DeleteVGContext(ctx);  // deletes the paths of the table
  }
  VGPath add(OVGpath *p)
  {
    VGFUNC_AddPath(ctx->sharedState, p);
    return VGFUNC_HandleOf(p);
  }
};

TEST_F(PathParameters, GettersAnswerEveryParameterInItsForm)
{
  for (VGfloat scale : {2.75f, -2.75f}) {
    SCOPED_TRACE(scale);
    OVGpath *p = VGFUNC_CreatePath(0, VG_PATH_DATATYPE_S_16, scale, -scale, 0, 0, VG_PATH_CAPABILITY_ALL);
    ASSERT_EQ(pathtest::append(p, PathData(VG_PATH_DATATYPE_S_16).seg(VG_MOVE_TO_ABS, {1, 2}).seg(VG_HLINE_TO_ABS, {3})),
              VG_NO_ERROR);
    const VGPath h = add(p);
    const VGint whole = scale > 0 ? 2 : -2;  // truncated toward zero
    const struct {
      VGint param;
      VGint i;
      VGfloat f;
    } table[] = {
        {VG_PATH_FORMAT, 0, 0.0f},
        {VG_PATH_DATATYPE, VG_PATH_DATATYPE_S_16, 1.0f},
        {VG_PATH_SCALE, whole, scale},
        {VG_PATH_BIAS, -whole, -scale},
        {VG_PATH_NUM_SEGMENTS, 2, 2.0f},
        {VG_PATH_NUM_COORDS, 3, 3.0f},
    };
    for (const auto &row : table) {
      SCOPED_TRACE(::testing::Message() << std::hex << row.param);
      VGint iv[1] = {-99};
      VGfloat fv[1] = {-99};
      EXPECT_EQ(vgGetParameteri(h, row.param), row.i);
      EXPECT_EQ(vgGetParameterf(h, row.param), row.f);
      vgGetParameteriv(h, row.param, 1, iv);
      vgGetParameterfv(h, row.param, 1, fv);
      EXPECT_EQ(iv[0], row.i);
      EXPECT_EQ(fv[0], row.f);
      EXPECT_EQ(vgGetParameterVectorSize(h, row.param), 1);
      EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    }
  }
}

TEST_F(PathParameters, FixedPointGetterAnswersOnlyScaleAndBias)
{
  const VGPath h = add(VGFUNC_CreatePath(0, VG_PATH_DATATYPE_F, -2.75f, 0.5f, 0, 0, VG_PATH_CAPABILITY_ALL));
  const struct {
    VGint param, count;
    VGfixed value;
    VGErrorCode error;
  } table[] = {
      {VG_PATH_SCALE, 1, -0x2C000, VG_NO_ERROR},
      {VG_PATH_BIAS, 1, 0x8000, VG_NO_ERROR},
      {VG_PATH_NUM_SEGMENTS, 1, 7, VG_ILLEGAL_ARGUMENT_ERROR},
      {VG_PATH_FORMAT, 1, 7, VG_ILLEGAL_ARGUMENT_ERROR},
      {VG_PATH_SCALE, 2, 7, VG_ILLEGAL_ARGUMENT_ERROR},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(::testing::Message() << std::hex << row.param << " " << row.count);
    VGfixed v[2] = {7, 7};
    vgGetParameterxvEXT(h, row.param, row.count, v);
    EXPECT_EQ(vgGetError(), row.error);
    EXPECT_EQ(v[0], row.value);
  }
}

TEST_F(PathParameters, ParametersAreReadOnlyAndUnknownIdsRefused)
{
  OVGpath *p = VGFUNC_CreatePath(0, VG_PATH_DATATYPE_S_8, 3.0f, 1.0f, 0, 0, VG_PATH_CAPABILITY_ALL);
  const VGPath h = add(p);
  for (VGint param = VG_PATH_FORMAT; param <= VG_PATH_NUM_COORDS; ++param) {
    SCOPED_TRACE(::testing::Message() << std::hex << param);
    const VGfloat values[1] = {9.0f};
    vgSetParameteri(h, param, 9);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgSetParameterfv(h, param, 1, values);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
  }
  EXPECT_EQ(p->format, 0);
  EXPECT_EQ(p->datatype, VG_PATH_DATATYPE_S_8);
  EXPECT_EQ(p->scale, 3.0f);
  EXPECT_EQ(p->bias, 1.0f);
  EXPECT_EQ(p->numSegments + p->numCoords, 0);

  VGint two[2] = {-99, -99};
  const struct {
    const char *what;
    VGErrorCode (*call)(VGPath);
  } refused[] = {
      {"set 0x15FF", [](VGPath o) { vgSetParameteri(o, 0x15FF, 1); return vgGetError(); }},
      {"get 0x15FF", [](VGPath o) { vgGetParameteri(o, 0x15FF); return vgGetError(); }},
      {"size 0x15FF", [](VGPath o) { vgGetParameterVectorSize(o, 0x15FF); return vgGetError(); }},
      {"get count 2", [](VGPath o) {
         VGint v[2];
         vgGetParameteriv(o, VG_PATH_NUM_COORDS, 2, v);
         return vgGetError();
       }},
  };
  for (const auto &row : refused) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.call(h), VG_ILLEGAL_ARGUMENT_ERROR);
  }
  vgGetParameteriv(h, VG_PATH_DATATYPE, 2, two);
  EXPECT_EQ(two[0], -99);  // nothing written
  EXPECT_EQ(vgGetError(), VG_ILLEGAL_ARGUMENT_ERROR);
}

// ---- Coordinate access ----

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(PathCoordinates, WritersRoundStoreLowBitsAndApplyScaleAndBias)
{
  const struct {
    VGPathDatatype type;
    VGfloat scale, bias, value;
    double stored;
  } table[] = {
      {VG_PATH_DATATYPE_S_16, 1, 0, 40000.0f, -25536},  // low 16 bits, no clamping
      {VG_PATH_DATATYPE_S_16, 1, 0, 2.5f, 3},
      {VG_PATH_DATATYPE_S_16, 1, 0, -2.5f, -2},         // floor(value + 0.5)
      {VG_PATH_DATATYPE_S_8, 1, 0, 200.0f, -56},
      {VG_PATH_DATATYPE_S_8, 2, 0, 5.0f, 3},            // 5 / 2
      {VG_PATH_DATATYPE_S_8, 1, 1, 5.0f, 4},            // 5 - 1
      {VG_PATH_DATATYPE_S_8, 2, 1, 6.0f, 3},            // (6 - 1) / 2
      {VG_PATH_DATATYPE_S_32, 0.5f, -1, 1.25f, 5},      // (1.25 + 1) / 0.5 = 4.5
      {VG_PATH_DATATYPE_S_32, 1, 0, 3e9f, 2147483647},  // saturated
      {VG_PATH_DATATYPE_S_32, 1, 0, kNaN, 0},
      {VG_PATH_DATATYPE_S_32, 1, 0, kInf, 2147483647},
      {VG_PATH_DATATYPE_S_32, 1, 0, -kInf, -2147483648.0},
      {VG_PATH_DATATYPE_S_16, 1, 0, kInf, -1},          // low bits of the saturated value
      {VG_PATH_DATATYPE_S_8, 4, 1, kNaN, 0},
      {VG_PATH_DATATYPE_F, 1, 0, 2.5f, 2.5},            // floats are not rounded
      {VG_PATH_DATATYPE_F, 4, 0, 1.0f, 0.25},
      {VG_PATH_DATATYPE_F, 1, 0.5f, 2.0f, 1.5},
      {VG_PATH_DATATYPE_F, -2, 1, 5.0f, -2},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(::testing::Message() << row.type << " " << row.scale << " " << row.bias << " " << row.value);
    Path p = makePath(row.type, row.scale, row.bias);
    // Two calls from element 1: the cursor advances by each call's count.
    const VGfloat first[2] = {row.value, 0.0f}, second[1] = {row.value};
    const OVGwritefunc write = VGFUNC_SetDestCursor(p.get(), 1);
    write(first, 2);
    write(second, 1);
    EXPECT_EQ(element(p.get(), 1), row.stored);
    EXPECT_EQ(element(p.get(), 3), row.stored);
  }
}

TEST(PathCoordinates, ReadersApplyScaleAndBiasToEveryDatatype)
{
  const struct {
    VGPathDatatype type;
    VGfloat scale, bias;
    double raw;
    VGfloat value;
  } table[] = {
      {VG_PATH_DATATYPE_S_8, 1, 0, -128, -128.0f},  {VG_PATH_DATATYPE_S_8, 2, 1, 3, 7.0f},
      {VG_PATH_DATATYPE_S_16, 1, 0.5f, -300, -299.5f}, {VG_PATH_DATATYPE_S_16, 0.25f, 0, 6, 1.5f},
      {VG_PATH_DATATYPE_S_32, 0.5f, 0, 100001, 50000.5f}, {VG_PATH_DATATYPE_S_32, 1, 0, -7, -7.0f},
      {VG_PATH_DATATYPE_F, 1, 0, 2.25f, 2.25f},     {VG_PATH_DATATYPE_F, -2, 3, 1.5f, 0.0f},
  };
  for (const auto &row : table) {
    SCOPED_TRACE(::testing::Message() << row.type << " " << row.scale << " " << row.bias << " " << row.raw);
    PathData d(row.type);
    d.seg(VG_MOVE_TO_ABS, {1, row.raw}).seg(VG_LINE_TO_ABS, {row.raw, 1});
    Path p = pathtest::pathOf(d, row.scale, row.bias);
    ASSERT_NE(p, nullptr);
    VGfloat out[3] = {0, 0, 0};
    const OVGreadfunc read = VGFUNC_SetSourceCursor(p.get(), 1);
    read(out, 2);
    read(out + 2, 1);
    EXPECT_EQ(out[0], row.value);
    EXPECT_EQ(out[1], row.value);
    EXPECT_EQ(out[2], 1.0f * row.scale + row.bias);
  }
}

TEST(PathCoordinates, AppendingAPathConvertsBetweenEveryPairOfDatatypes)
{
  // Stored -3 and 5 with scale 2, bias 1 are -5 and 11 in user units; into scale 4, bias 0.5
  // they are -1.375 and 2.625, rounded to -1 and 3 for integer datatypes.
  const VGPathDatatype types[] = {VG_PATH_DATATYPE_S_8, VG_PATH_DATATYPE_S_16, VG_PATH_DATATYPE_S_32,
                                  VG_PATH_DATATYPE_F};
  for (VGPathDatatype from : types) {
    for (VGPathDatatype to : types) {
      SCOPED_TRACE(::testing::Message() << from << " -> " << to);
      PathData d(from);
      d.seg(VG_MOVE_TO_ABS, {-3, 5});
      Path src = pathtest::pathOf(d, 2.0f, 1.0f);
      PathData start(to);
      start.seg(VG_MOVE_TO_REL, {7, 8});
      Path dst = pathtest::pathOf(start, 4.0f, 0.5f);
      ASSERT_NE(src, nullptr);
      ASSERT_NE(dst, nullptr);
      dst->dirty = 0;
      ASSERT_EQ(VGFUNC_AppendPath(dst.get(), src.get()), VG_NO_ERROR);
      EXPECT_EQ(segments(dst.get()), (std::vector<int>{VG_MOVE_TO_REL, VG_MOVE_TO_ABS}));
      if (to == VG_PATH_DATATYPE_F)
        EXPECT_EQ(elements(dst.get()), (std::vector<double>{7, 8, -1.375, 2.625}));
      else
        EXPECT_EQ(elements(dst.get()), (std::vector<double>{7, 8, -1, 3}));
      EXPECT_EQ(dst->dirty, 1);
      EXPECT_EQ(elements(src.get()), (std::vector<double>{-3, 5}));  // the source is unchanged
    }
  }
}

TEST(PathCoordinates, APathAppendedToItselfDoublesItsData)
{
  // More than the initial capacities, so both buffers grow (and may move) during the append.
  PathData d(VG_PATH_DATATYPE_S_16);
  for (int i = 0; i < 200; ++i)
    d.seg(VG_MOVE_TO_ABS, {double(i), -1}).seg(VG_CUBIC_TO_REL, {2, 3, 4, 5, 6, double(-i)});
  Path p = pathtest::pathOf(d, 0.5f, 3.0f);
  ASSERT_NE(p, nullptr);
  const std::vector<int> segs = segments(p.get());
  const std::vector<double> coords = elements(p.get());
  ASSERT_EQ(VGFUNC_AppendPath(p.get(), p.get()), VG_NO_ERROR);
  std::vector<int> twiceSegs = segs;
  twiceSegs.insert(twiceSegs.end(), segs.begin(), segs.end());
  std::vector<double> twiceCoords = coords;
  twiceCoords.insert(twiceCoords.end(), coords.begin(), coords.end());
  EXPECT_EQ(segments(p.get()), twiceSegs);
  EXPECT_EQ(elements(p.get()), twiceCoords);
  EXPECT_EQ(p->segmentSize, 800);  // exactly what is needed
  EXPECT_EQ(p->dataSize, static_cast<VGint>(twiceCoords.size() * 2));
}

}  // namespace
