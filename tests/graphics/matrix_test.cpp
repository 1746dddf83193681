// OpenVG matrices: every operation in float and 16.16 fixed point, on path (affine) and
// image (projective) matrices, from the identity and from a loaded matrix, with the
// identity and dirty flags the acceleration layer reads.
#include "mathx/mathx.h"
#include "vg/common/vg_matrix.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>

namespace {

using M3 = std::array<double, 9>;  // column-major, as OVGmatrix

constexpr M3 kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1};
// Values exactly representable in 16.16, with a projective bottom row (w0, w1, w2).
constexpr VGfloat kStart[9] = {2, 0.5f, 0.25f, -1, 3, 0.125f, 5, 7, 2};
constexpr VGfloat kOperand[9] = {1.5f, -0.5f, 0.25f, 2, 0.75f, -0.125f, 3, -4, 2};

enum class Op { Translate, Scale, Shear, Rotate, Load, Multiply };

struct OpCase {
  const char *name;
  Op op;
  float a, b;
};

const OpCase kOps[] = {
    {"Translate", Op::Translate, 10, -20}, {"Scale", Op::Scale, 2, -3},
    {"Shear", Op::Shear, 0.5f, -0.25f},    {"Rotate", Op::Rotate, 30, 0},
    {"Load", Op::Load, 0, 0},              {"Multiply", Op::Multiply, 0, 0},
};

void PrintTo(const OpCase &c, std::ostream *os) { *os << c.name << "(" << c.a << ", " << c.b << ")"; }

M3 product(const M3 &a, const M3 &b)
{
  M3 r{};
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 3; ++row)
      for (int k = 0; k < 3; ++k) r[col * 3 + row] += a[k * 3 + row] * b[col * 3 + k];
  return r;
}

M3 affine(M3 m)
{
  m[2] = m[5] = 0;
  m[8] = 1;
  return m;
}

M3 fromFloats(const VGfloat *v)
{
  M3 m;
  for (int i = 0; i < 9; ++i) m[i] = v[i];
  return m;
}

M3 operationMatrix(const OpCase &c)
{
  switch (c.op) {
  case Op::Translate: return {1, 0, 0, 0, 1, 0, c.a, c.b, 1};
  case Op::Scale: return {c.a, 0, 0, 0, c.b, 0, 0, 0, 1};
  case Op::Shear: return {1, c.b, 0, c.a, 1, 0, 0, 0, 1};
  case Op::Rotate: {
    const double r = c.a * M_PI / 180.0;
    return {std::cos(r), std::sin(r), 0, -std::sin(r), std::cos(r), 0, 0, 0, 1};
  }
  default: return fromFloats(kOperand);
  }
}

// What OpenVG defines: M x op for every operation but load, the projective row kept only
// for the image-user-to-surface matrix.
M3 expectedResult(const OpCase &c, bool projective, bool fromIdentity)
{
  if (c.op == Op::Load) return projective ? fromFloats(kOperand) : affine(fromFloats(kOperand));
  M3 start = fromIdentity ? kIdentity : fromFloats(kStart);
  M3 op = operationMatrix(c);
  if (!projective) {
    start = affine(start);
    op = affine(op);
  }
  M3 r = product(start, op);
  return projective ? r : affine(r);
}

void apply(OVGmatrix *m, const OpCase &c, bool fixed)
{
  VGfixed operandx[9];
  for (int i = 0; i < 9; ++i) operandx[i] = mxFloat2Fixed(kOperand[i]);
  const VGfixed ax = mxFloat2Fixed(c.a), bx = mxFloat2Fixed(c.b);
  switch (c.op) {
  case Op::Translate: fixed ? VGFUNC_Translatex(m, ax, bx) : VGFUNC_Translate(m, c.a, c.b); break;
  case Op::Scale: fixed ? VGFUNC_Scalex(m, ax, bx) : VGFUNC_Scale(m, c.a, c.b); break;
  case Op::Shear: fixed ? VGFUNC_Shearx(m, ax, bx) : VGFUNC_Shear(m, c.a, c.b); break;
  case Op::Rotate: fixed ? VGFUNC_Rotatex(m, ax) : VGFUNC_Rotate(m, c.a); break;
  case Op::Load:
    ASSERT_EQ(fixed ? VGFUNC_LoadClientMatrixx(m, operandx) : VGFUNC_LoadClientMatrix(m, kOperand),
              VG_NO_ERROR);
    break;
  case Op::Multiply:
    ASSERT_EQ(fixed ? VGFUNC_MultClientMatrixx(m, operandx) : VGFUNC_MultClientMatrix(m, kOperand),
              VG_NO_ERROR);
    break;
  }
}

std::string describe(const VGfloat *v)
{
  std::ostringstream s;
  for (int i = 0; i < 9; ++i) s << (i ? ", " : "(") << v[i];
  s << ")";
  return s.str();
}

using MatrixParam = std::tuple<OpCase, VGMatrixMode, bool /*fromIdentity*/, bool /*fixed*/>;

class MatrixOperation : public ::testing::TestWithParam<MatrixParam> {};

TEST_P(MatrixOperation, GivesTheProductAndMarksTheMatrixChanged)
{
  const OpCase &c = std::get<0>(GetParam());
  const VGMatrixMode mode = std::get<1>(GetParam());
  const bool fromIdentity = std::get<2>(GetParam());
  const bool fixed = std::get<3>(GetParam());
  const bool projective = mode == VG_MATRIX_IMAGE_USER_TO_SURFACE;

  OVGmatrix m;
  std::memset(&m, 0x7F, sizeof m);  // values of an identity matrix are not read
  VGFUNC_InitMatrix(&m, mode);
  ASSERT_EQ(m.flag, OVG_MATRIX_IDENTITY | OVG_MATRIX_DIRTY);
  if (!fromIdentity) {
    VGFUNC_LoadMatrix(&m, kStart);
    m.flag &= ~OVG_MATRIX_DIRTY;  // as the acceleration layer does once it has loaded it
  }

  apply(&m, c, fixed);

  EXPECT_EQ(m.flag, OVG_MATRIX_DIRTY);
  EXPECT_FALSE(VGFUNC_IsIdentity(&m));
  EXPECT_TRUE(VGFUNC_IsDirty(&m));
  EXPECT_EQ(m.mode, mode);

  const M3 expected = expectedResult(c, projective, fromIdentity);
  VGfloat got[9];
  ASSERT_EQ(VGFUNC_GetClientMatrix(&m, got), VG_NO_ERROR);
  VGfixed gotx[9];
  ASSERT_EQ(VGFUNC_GetClientMatrixx(&m, gotx), VG_NO_ERROR);
  for (int i = 0; i < 9; ++i) {
    EXPECT_NEAR(got[i], expected[i], 1e-5 * std::max(1.0, std::fabs(expected[i])))
        << "value " << i << " of " << describe(got);
    EXPECT_NEAR(gotx[i], expected[i] * 65536, 2) << "fixed value " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllOperations, MatrixOperation,
    ::testing::Combine(::testing::ValuesIn(kOps),
                       ::testing::Values(VG_MATRIX_PATH_USER_TO_SURFACE, VG_MATRIX_IMAGE_USER_TO_SURFACE,
                                         VG_MATRIX_STROKE_PAINT_TO_USER),
                       ::testing::Bool(), ::testing::Bool()),
    [](const ::testing::TestParamInfo<MatrixParam> &info) {
      const VGMatrixMode mode = std::get<1>(info.param);
      std::string name = std::get<0>(info.param).name;
      name += mode == VG_MATRIX_PATH_USER_TO_SURFACE    ? "_Path"
              : mode == VG_MATRIX_IMAGE_USER_TO_SURFACE ? "_Image"
                                                        : "_StrokePaint";
      name += std::get<2>(info.param) ? "_FromIdentity" : "_FromLoaded";
      name += std::get<3>(info.param) ? "_Fixed" : "_Float";
      return name;
    });

void expectValues(const OVGmatrix &m, const M3 &expected)
{
  VGfloat got[9];
  ASSERT_EQ(VGFUNC_GetClientMatrix(&m, got), VG_NO_ERROR);
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(got[i], expected[i]) << "value " << i << " of " << describe(got);
}

TEST(Matrix, TranslateThenScaleOnThePathMatrix)
{
  OVGmatrix m;
  VGFUNC_InitMatrix(&m, VG_MATRIX_PATH_USER_TO_SURFACE);
  VGFUNC_Translate(&m, 10, 20);
  VGFUNC_Scale(&m, 2, 3);
  expectValues(m, {2, 0, 0, 0, 3, 0, 10, 20, 1});
}

TEST(Matrix, LoadKeepsTheProjectiveRowOnlyForTheImageMatrix)
{
  const VGfloat values[9] = {1, 0, 2, 0, 1, 3, 0, 0, 4};
  OVGmatrix path, image;
  VGFUNC_InitMatrix(&path, VG_MATRIX_PATH_USER_TO_SURFACE);
  VGFUNC_InitMatrix(&image, VG_MATRIX_IMAGE_USER_TO_SURFACE);
  ASSERT_EQ(VGFUNC_LoadClientMatrix(&path, values), VG_NO_ERROR);
  ASSERT_EQ(VGFUNC_LoadClientMatrix(&image, values), VG_NO_ERROR);
  expectValues(path, {1, 0, 0, 0, 1, 0, 0, 0, 1});
  expectValues(image, {1, 0, 2, 0, 1, 3, 0, 0, 4});
  EXPECT_EQ(path.flag, OVG_MATRIX_DIRTY);  // loading the identity's values is still a change
}

TEST(Matrix, MultiplyOnAnIdentityPaintMatrixForcesTheBottomRow)
{
  OVGmatrix m;
  VGFUNC_InitMatrix(&m, VG_MATRIX_FILL_PAINT_TO_USER);
  ASSERT_EQ(VGFUNC_MultClientMatrix(&m, kOperand), VG_NO_ERROR);
  expectValues(m, affine(fromFloats(kOperand)));
}

TEST(Matrix, IdentityIsWrittenWhateverTheValuesHeld)
{
  OVGmatrix m;
  VGFUNC_InitMatrix(&m, VG_MATRIX_IMAGE_USER_TO_SURFACE);
  VGFUNC_LoadMatrix(&m, kOperand);
  VGFUNC_SetIdentity(&m);
  EXPECT_EQ(m.flag, OVG_MATRIX_IDENTITY | OVG_MATRIX_DIRTY);
  expectValues(m, kIdentity);

  VGfixed x[9];
  ASSERT_EQ(VGFUNC_GetClientMatrixx(&m, x), VG_NO_ERROR);
  const VGfixed identityx[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x10000};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(x[i], identityx[i]) << i;
}

TEST(Matrix, ClientPointersMustBeAlignedAndNotNull)
{
  OVGmatrix m;
  VGFUNC_InitMatrix(&m, VG_MATRIX_IMAGE_USER_TO_SURFACE);
  VGFUNC_LoadMatrix(&m, kStart);
  m.flag = 0;
  const OVGmatrix before = m;

  alignas(4) unsigned char buffer[64];
  std::memset(buffer, 0xAB, sizeof buffer);
  void *misaligned = buffer + 2;
  for (void *p : {static_cast<void *>(nullptr), misaligned}) {
    EXPECT_EQ(VGFUNC_LoadClientMatrix(&m, static_cast<const VGfloat *>(p)), VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(VGFUNC_LoadClientMatrixx(&m, static_cast<const VGfixed *>(p)), VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(VGFUNC_MultClientMatrix(&m, static_cast<const VGfloat *>(p)), VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(VGFUNC_MultClientMatrixx(&m, static_cast<const VGfixed *>(p)), VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(VGFUNC_GetClientMatrix(&m, static_cast<VGfloat *>(p)), VG_ILLEGAL_ARGUMENT_ERROR);
    EXPECT_EQ(VGFUNC_GetClientMatrixx(&m, static_cast<VGfixed *>(p)), VG_ILLEGAL_ARGUMENT_ERROR);
  }
  EXPECT_EQ(std::memcmp(&m, &before, sizeof m), 0);
  for (unsigned char byte : buffer) ASSERT_EQ(byte, 0xAB);
}

TEST(Matrix, WholeTurnsLeaveTheMatrixAndItsFlags)
{
  for (VGfloat angle : {0.0f, -0.0f, 360.0f, -360.0f, 720.0f, 3600.0f}) {
    OVGmatrix identity;
    VGFUNC_InitMatrix(&identity, VG_MATRIX_PATH_USER_TO_SURFACE);
    identity.flag = OVG_MATRIX_IDENTITY;
    VGFUNC_Rotate(&identity, angle);
    VGFUNC_Rotatex(&identity, mxFloat2Fixed(angle));
    EXPECT_EQ(identity.flag, OVG_MATRIX_IDENTITY) << angle;

    OVGmatrix loaded;
    VGFUNC_InitMatrix(&loaded, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    VGFUNC_LoadMatrix(&loaded, kStart);
    loaded.flag = 0;
    VGFUNC_Rotate(&loaded, angle);
    EXPECT_EQ(loaded.flag, 0u) << angle;
    expectValues(loaded, fromFloats(kStart));
  }
}

TEST(Matrix, RotationWhoseCosineRoundsToOneIsStillApplied)
{
  for (VGfloat angle : {0.01f, -0.01f, 0.001f}) {
    OVGmatrix m;
    VGFUNC_InitMatrix(&m, VG_MATRIX_PATH_USER_TO_SURFACE);
    ASSERT_EQ(std::cos(static_cast<float>(angle * M_PI / 180.0)), 1.0f);
    VGFUNC_Rotate(&m, angle);
    EXPECT_EQ(m.flag, OVG_MATRIX_DIRTY) << angle;
    EXPECT_FLOAT_EQ(m.m[1], static_cast<float>(std::sin(angle * M_PI / 180.0))) << angle;
    EXPECT_FLOAT_EQ(m.m[3], -m.m[1]) << angle;
  }
}

double angleOf(const OVGmatrix &m)
{
  return std::atan2(m.m[1], m.m[0]) * 180.0 / M_PI;
}

TEST(Matrix, ManySmallRotationsAddUp)
{
  for (VGMatrixMode mode : {VG_MATRIX_PATH_USER_TO_SURFACE, VG_MATRIX_IMAGE_USER_TO_SURFACE}) {
    OVGmatrix m;
    VGFUNC_InitMatrix(&m, mode);
    for (int i = 0; i < 4500; ++i) VGFUNC_Rotate(&m, 0.01f);
    EXPECT_NEAR(angleOf(m), 45.0, 0.02) << mode;
    EXPECT_NEAR(std::hypot(m.m[0], m.m[1]), 1.0, 1e-3) << mode;

    for (int i = 0; i < 31500; ++i) VGFUNC_Rotate(&m, 0.01f);  // 360 degrees in all
    EXPECT_NEAR(m.m[0], 1.0, 2e-3) << mode;
    EXPECT_NEAR(m.m[1], 0.0, 2e-3) << mode;
  }

  // The smallest fixed-point step near 0.01 degrees: 655 / 65536.
  OVGmatrix x;
  VGFUNC_InitMatrix(&x, VG_MATRIX_PATH_USER_TO_SURFACE);
  for (int i = 0; i < 9000; ++i) VGFUNC_Rotatex(&x, 655);
  EXPECT_NEAR(angleOf(x), 9000 * 655 / 65536.0, 0.05);
}

}  // namespace
