// 16.16 fixed-point library: saturation, rounding, division by zero, square root,
// conversions and the table-driven trigonometry (run under ASan, so a read past a table
// fails the test).
#include "mathx/mathx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr Fixed kOne = 0x10000;
constexpr Fixed kMax = 0x7FFFFFFF;
constexpr Fixed kMin = INT32_MIN;
constexpr Fixed kNegSat = -0x7FFFFFFF;  // 0x80000001

Fixed deg(int d) { return d * kOne; }
Fixed fx(double v) { return static_cast<Fixed>(std::lround(v * 65536.0)); }

struct BinaryCase {
  const char *op;
  Fixed (*fn)(Fixed, Fixed);
  Fixed a, b, expected;
};

TEST(Mathx, BinaryOperationsSaturateAndRound)
{
  const BinaryCase cases[] = {
      {"add", mxAddx, kMax, 1, kMax},
      {"add", mxAddx, kMin, -1, kMin},
      {"add", mxAddx, kOne, 0x8000, 0x18000},
      {"sub", mxSubx, kMin, 1, kMin},
      {"sub", mxSubx, kMax, -1, kMax},
      {"sub", mxSubx, 0x8000, kOne, -0x8000},
      {"mul", mxMulx, 0x7FFF0000, 0x20000, kMax},
      {"mul", mxMulx, -0x7FFF0000, 0x20000, kMin},
      {"mul", mxMulx, 0x18000, 0x18000, 0x24000},
      {"mul", mxMulx, 0x8000, 1, 1},    // half a unit rounds up
      {"mul", mxMulx, 0x7FFF, 1, 0},    // just below half rounds down
      {"mul", mxMulx, -0x8000, 1, -1},  // magnitudes rounded, then signed
      {"mul", mxMulx, 0, kMax, 0},
      {"mul", mxMulx, kMin, kOne, kMin},
      {"mul", mxMulx, -kOne, kMin, kMax},  // -(-32768.0) saturates instead of wrapping
      {"mul", mxMulx, kMin, -kOne, kMax},
      {"div", mxDivx, kOne, 0x30000, 0x5555},
      {"div", mxDivx, 0x20000, 0x30000, 0xAAAB},  // 0.6666... rounds up
      {"div", mxDivx, 5, 0, 0},
      {"div", mxDivx, kMin, 0, 0},
      {"div", mxDivx, 0, 5, 0},
      {"div", mxDivx, -0x30000, 0x30000, -kOne},
      {"div", mxDivx, kMin, kMin, kOne},
      {"div", mxDivx, kMin, kOne, kMin},
      {"div", mxDivx, kMax, 0x8000, kMax},
      {"div", mxDivx, -kMax, 0x8000, kNegSat},
      {"div", mxDivx, kMin, 0x20000, -0x40000000},
      {"fmod", mxFmodx, 0x58000, 0x20000, 0x18000},  // 5.5 mod 2 = 1.5
      {"fmod", mxFmodx, 0x58000, 0, 0},
      {"fmod", mxFmodx, -0x18000, kOne, 0x8000},  // the quotient is floored: -1.5 mod 1 = 0.5
      {"pow", mxPowx, 0x20000, 0x30000, 0x80000},
      {"pow", mxPowx, 0x40000, 0x8000, 0x20000},
  };
  for (const BinaryCase &c : cases)
    EXPECT_EQ(c.fn(c.a, c.b), c.expected) << c.op << "(" << c.a << ", " << c.b << ")";
}

TEST(Mathx, SquareRootIsTheFloorOfTheExactRoot)
{
  EXPECT_EQ(mxSqrtx(0x20000), 92681);
  EXPECT_EQ(mxSqrtx(1), 256);
  EXPECT_EQ(mxSqrtx(kOne), kOne);
  EXPECT_EQ(mxSqrtx(0), 0);
  EXPECT_EQ(mxSqrtx(-5), 0);
  EXPECT_EQ(mxSqrtx(kMin), 0);
  for (Fixed a : {3, 0x12345, 0x7FFF0000, kMax}) {
    const uint64_t n = static_cast<uint64_t>(a) << 16;
    const uint64_t r = static_cast<uint64_t>(mxSqrtx(a));
    EXPECT_LE(r * r, n) << a;
    EXPECT_GT((r + 1) * (r + 1), n) << a;
  }
}

TEST(Mathx, FloatConversionsTruncateAndSaturate)
{
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float f;
    Fixed expected;
  } cases[] = {
      {1.5f, 0x18000},      {-1.5f, -0x18000},    {0.0f, 0},         {-0.0f, 0},
      {40000.0f, kMax},     {-40000.0f, kNegSat}, {32768.0f, kMax},  {-32768.0f, kNegSat},
      {32767.0f, 0x7FFF0000}, {inf, kMax},        {-inf, kNegSat},   {nan, kMax},
      {-nan, kNegSat},      {1e-6f, 0},           {-2.0f / 65536.0f * 0.75f, -1},
      {1e-40f, 0},          {0.5f / 65536.0f, 0},
  };
  for (const auto &c : cases) EXPECT_EQ(mxFloat2Fixed(c.f), c.expected) << c.f;

  EXPECT_EQ(mxFixed2Float(0x18000), 1.5f);
  EXPECT_EQ(mxFixed2Float(kMin), -32768.0f);
  EXPECT_EQ(mxFixed2Float(1), 1.0f / 65536.0f);
  EXPECT_EQ(mxFixed2Float(0), 0.0f);
}

TEST(Mathx, FrexpSplitsIntoMantissaAndExponent)
{
  const struct {
    Fixed a, mantissa;
    int exponent;
  } cases[] = {
      {0x30000, 0xC000, 2}, {0, 0, 0},        {kMin, -32768, 16}, {1, 0x8000, -15},
      {-kOne, -0x8000, 1},  {0x8000, 0x8000, 0}, {kMax, 0xFFFF, 15},
  };
  for (const auto &c : cases) {
    int e = 99;
    EXPECT_EQ(mxFrexpx(c.a, &e), c.mantissa) << c.a;
    EXPECT_EQ(e, c.exponent) << c.a;
  }
  EXPECT_EQ(mxFrexpx(0x30000, nullptr), 0);
}

TEST(Mathx, ExponentialSeries)
{
  EXPECT_EQ(mxExpx(0), kOne);
  EXPECT_NEAR(mxExpx(kOne), std::exp(1.0) * 65536, 4);
  EXPECT_NEAR(mxExpx(-kOne), std::exp(-1.0) * 65536, 4);
  EXPECT_NEAR(mxExpx(0x28000), std::exp(2.5) * 65536, 16);
  EXPECT_EQ(mxExpx(deg(11)), kMax);  // e^11 does not fit
  EXPECT_EQ(mxExpx(kMin), 2);       // 1 / saturated sum: 1/32768
}

TEST(Mathx, SineAndCosineAtQuadrantEdges)
{
  const struct {
    const char *fn;
    Fixed (*f)(Fixed);
    Fixed angle, expected;
  } cases[] = {
      {"sin", mxSinx, 0x5A0000, 65536},   {"sin", mxSinx, deg(-90), -65536},
      {"cos", mxCosx, 0xB40000, -65536},  {"cos", mxCosx, 0, 65536},
      {"sin", mxSinx, 0, 0},              {"cos", mxCosx, deg(90), 0},
      {"sin", mxSinx, deg(270), -65536},  {"cos", mxCosx, deg(360), 65536},
      {"sin", mxSinx, deg(450), 65536},   {"cos", mxCosx, deg(-180), -65536},
      {"sin", mxSinx, deg(30), 32768},    {"sin", mxSinx, 0x4000, 285},
      {"sin", mxSinx, 0x2000, 142},       // interpolated between 0 and 285
      {"sin", mxSinx, kMin, -MathxSinxTable[32]},  // -32768 degrees = -(8 degrees)
      {"tan", mxTanx, deg(45), kOne},     {"tan", mxTanx, deg(90), 0},
  };
  for (const auto &c : cases) EXPECT_EQ(c.f(c.angle), c.expected) << c.fn << "(" << c.angle << ")";
}

TEST(Mathx, SineAndCosineFollowTheCirclePastEveryQuadrant)
{
  for (int tenth = -7200; tenth <= 7200; tenth += 7) {
    const Fixed angle = fx(tenth / 10.0);
    const double radians = mxFixed2Float(angle) * M_PI / 180.0;
    EXPECT_NEAR(mxSinx(angle), std::sin(radians) * 65536, 3) << tenth / 10.0;
    EXPECT_NEAR(mxCosx(angle), std::cos(radians) * 65536, 3) << tenth / 10.0;
  }
}

TEST(Mathx, ArcCosineInRadians)
{
  EXPECT_EQ(mxAcosx(0), 102943);
  EXPECT_EQ(mxAcosx(kOne), 0);
  EXPECT_EQ(mxAcosx(-kOne), 205887);
  EXPECT_EQ(mxAcosx(0x10001), -1);
  EXPECT_EQ(mxAcosx(-0x10001), -1);
  EXPECT_EQ(mxAcosx(kMin), -1);
  for (int hundredth = -99; hundredth <= 99; ++hundredth) {
    const Fixed x = fx(hundredth / 100.0);
    EXPECT_NEAR(mxAcosx(x), std::acos(mxFixed2Float(x)) * 65536, 32) << hundredth;
  }
}

TEST(Mathx, VectorOperations)
{
  const Fixed u[3] = {deg(1), deg(2), deg(3)};
  const Fixed v[3] = {deg(4), deg(5), deg(6)};
  EXPECT_EQ(mxDotx(u, v), deg(32));
  const Fixed big[3] = {deg(30000), deg(30000), 0};
  EXPECT_EQ(mxDotx(big, big), kMax);

  Fixed out[3];
  const Fixed ex[3] = {kOne, 0, 0}, ey[3] = {0, kOne, 0};
  mxCrossx(out, ex, ey);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[2], kOne);
  Fixed w[3] = {deg(1), deg(2), deg(3)};
  mxCrossx(w, w, v);  // the result may overwrite an operand
  EXPECT_EQ(w[0], deg(-3));
  EXPECT_EQ(w[1], deg(6));
  EXPECT_EQ(w[2], deg(-3));
}

TEST(Mathx, NormalizeCoversZeroUnitTinyAndHugeVectors)
{
  Fixed out[3] = {7, 7, 7};
  const Fixed zero[3] = {0, 0, 0};
  mxNormalizex(out, zero);
  EXPECT_EQ(out[0] | out[1] | out[2], 0);

  const Fixed unit[3] = {0, kOne, 0};
  mxNormalizex(out, unit);
  EXPECT_EQ(out[1], kOne);

  const Fixed v345[3] = {deg(3), deg(4), 0};
  mxNormalizex(out, v345);
  EXPECT_NEAR(out[0], 0.6 * 65536, 2);
  EXPECT_NEAR(out[1], 0.8 * 65536, 2);
  EXPECT_EQ(out[2], 0);

  // Squares that vanish take the scaled retry.
  const Fixed tiny[3] = {1, 1, 0};
  mxNormalizex(out, tiny);
  EXPECT_NEAR(out[0], 0.70711 * 65536, 2);
  EXPECT_NEAR(out[1], 0.70711 * 65536, 2);

  // Squares that saturate must not wrap into a negative sum.
  const Fixed huge[3] = {deg(200), deg(200), 0};
  mxNormalizex(out, huge);
  EXPECT_GT(out[0], 0);
  EXPECT_EQ(out[0], out[1]);
  EXPECT_EQ(out[2], 0);
}

std::vector<Fixed> sineTable(int perDegree)
{
  std::vector<Fixed> t(90 * perDegree + 1);
  for (size_t i = 0; i < t.size(); ++i)
    t[i] = static_cast<Fixed>(std::floor(std::sin(i * M_PI / 180.0 / perDegree) * 65536 + 1e-9));
  return t;
}

TEST(Mathx, InstalledSineTableIsReadAtItsLastEntryWithoutOverrun)
{
  // Exactly n entries on the heap: ASan reports any read of entry n.
  std::vector<Fixed> t = sineTable(2);
  t.back() = 65535;  // tell the installed table from the built-in one
  ASSERT_EQ(mxSetSinxTable(t.data(), static_cast<int>(t.size())), 1);
  EXPECT_EQ(SinxShift, 15);
  EXPECT_EQ(SinxMask, 0x7FFF);
  EXPECT_EQ(mxSinx(deg(90)), 65535);
  EXPECT_EQ(mxCosx(0), 65535);
  EXPECT_EQ(mxCosx(deg(360)), 65535);
  EXPECT_EQ(mxSinx(0x4000), t[1] / 2);  // a quarter degree, half-way to the first step
  EXPECT_NEAR(mxSinx(deg(45)), 46341, 2);

  ASSERT_EQ(mxSetSinxTable(nullptr, 0), 1);
  EXPECT_EQ(mxSinx(deg(90)), 65536);
}

TEST(Mathx, SineTableInstallRefusesSizesTheLookupCannotIndex)
{
  const Fixed angle = deg(17) + 0x1234;
  const Fixed builtIn = mxSinx(angle);
  std::vector<Fixed> quarter = sineTable(4);
  quarter[68] += 100;  // 17 degrees: tells the installed table from the built-in one
  ASSERT_EQ(mxSetSinxTable(quarter.data(), 361), 1);
  EXPECT_EQ(SinxShift, 14);
  EXPECT_EQ(SinxMask, 0x3FFF);
  const Fixed installed = mxSinx(angle);
  EXPECT_NE(installed, builtIn);

  // Three entries a degree (no power of two), too few, not 90k + 1, too many a degree:
  // refused, and the installed table stays.
  const std::vector<Fixed> three = sineTable(3);
  for (int n : {271, 90, 92, 1, 0, -89, 90 * 131072 + 1}) {
    EXPECT_EQ(mxSetSinxTable(three.data(), n), 0) << n;
    EXPECT_EQ(mxSinx(angle), installed) << n;
  }
  mxSetSinxTable(nullptr, 0);
  EXPECT_EQ(mxSinx(angle), builtIn);
}

TEST(Mathx, InstalledArcCosineTable)
{
  const Fixed t[5] = {fx(M_PI), fx(2 * M_PI / 3), fx(M_PI / 2), fx(M_PI / 3), 0};
  ASSERT_EQ(mxSetAcosxTable(t, 5), 1);
  EXPECT_EQ(AcosxNum, 4);
  EXPECT_EQ(mxAcosx(0), t[2]);
  EXPECT_EQ(mxAcosx(-kOne), t[0]);
  EXPECT_EQ(mxAcosx(0x4000), t[2] - (t[2] - t[3]) / 2);
  EXPECT_EQ(mxAcosx(kOne), 0);

  for (int n : {4, 1, -1, 65537}) EXPECT_EQ(mxSetAcosxTable(t, n), 0) << n;
  EXPECT_EQ(AcosxNum, 4);
  ASSERT_EQ(mxSetAcosxTable(nullptr, 0), 1);
  EXPECT_EQ(mxAcosx(0), 102943);
}

}  // namespace
