/* Saturating 16.16 fixed-point arithmetic. Magnitudes are taken as unsigned values so
 * that the most negative number (-32768.0) needs no special case. */
#include "mathx/mathx.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

Fixed *SinxTable = NULL;
int SinxShift = 14;
int SinxMask = 0x3FFF;
Fixed *AcosxTable = NULL;
int AcosxNum = 720;

#define RIGHT_ANGLE (90u << 16)
#define NEGATIVE_SATURATION ((Fixed)0x80000001) /* -0x7FFFFFFF */

static Fixed saturate(int64_t v)
{
  if (v > MX_MAX) return MX_MAX;
  if (v < MX_MIN) return MX_MIN;
  return (Fixed)v;
}

static uint32_t magnitude(Fixed a)
{
  return a < 0 ? 0u - (uint32_t)a : (uint32_t)a;
}

static Fixed negate(Fixed a)
{
  return a == MX_MIN ? MX_MAX : -a;
}

Fixed mxAddx(Fixed a, Fixed b)
{
  return saturate((int64_t)a + b);
}

Fixed mxSubx(Fixed a, Fixed b)
{
  return saturate((int64_t)a - b);
}

Fixed mxMulx(Fixed a, Fixed b)
{
  if (a == MX_ONE) return b;
  if (b == MX_ONE) return a;
  if (a == -MX_ONE) return negate(b);
  if (b == -MX_ONE) return negate(a);
  if (a == 0 || b == 0) return 0;

  uint64_t product = ((uint64_t)magnitude(a) * magnitude(b) + 0x8000u) >> 16;
  int negative = (a < 0) != (b < 0);
  if (product > (uint64_t)MX_MAX) return negative ? MX_MIN : MX_MAX;
  return negative ? -(Fixed)product : (Fixed)product;
}

Fixed mxDivx(Fixed a, Fixed b)
{
  if (b == MX_ONE) return a;
  if (b == 0 || a == 0) return 0;

  uint32_t ua = magnitude(a);
  uint32_t ub = magnitude(b);
  int negative = (a < 0) != (b < 0);
  if (ua == ub) return negative ? -MX_ONE : MX_ONE;

  /* 16 fraction bits and one rounding bit, rounded half up. */
  uint64_t quotient = (((uint64_t)ua << 17) / ub + 1) >> 1;
  Fixed result = quotient > (uint64_t)MX_MAX ? MX_MAX : (Fixed)quotient;
  return negative ? -result : result;
}

Fixed mxSqrtx(Fixed a)
{
  if (a <= 0) return 0;

  uint64_t n = (uint64_t)a << 16;
  uint64_t root = 0;
  uint64_t bit = (uint64_t)1 << 62;
  while (bit > n) bit >>= 2;
  while (bit != 0) {
    if (n >= root + bit) {
      n -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
    bit >>= 2;
  }
  return (Fixed)root;
}

Fixed mxExpx(Fixed a)
{
  if (a == 0) return MX_ONE;

  Fixed x = a == MX_MIN ? MX_MAX : (a < 0 ? -a : a);
  Fixed sum = mxAddx(MX_ONE, x);
  Fixed term = x;
  for (int k = 2; k < 100 && sum != MX_MAX; ++k) {
    term = mxMulx(term, mxMulx(x, MathxReciproTable[k]));
    if (term == 0) break;
    sum = mxAddx(sum, term);
  }
  return a < 0 ? mxDivx(MX_ONE, sum) : sum;
}

Fixed mxFrexpx(Fixed a, int *exp)
{
  if (exp == NULL) return 0;
  if (a == 0) {
    *exp = 0;
    return 0;
  }

  uint32_t m = magnitude(a);
  int e = 0;
  while (m >= 0x10000u) {
    m >>= 1;
    ++e;
  }
  while (m < 0x8000u) {
    m <<= 1;
    --e;
  }
  *exp = e;
  return a < 0 ? -(Fixed)m : (Fixed)m;
}

/* Sine of t (16.16 degrees, 0 .. 90) from the first-quadrant table. At a table entry
 * the entry itself is the result, so 90 degrees never reads past the last entry. */
static Fixed quadrantSine(uint32_t t)
{
  const Fixed *table = SinxTable ? SinxTable : MathxSinxTable;
  int shift = SinxTable ? SinxShift : 14;
  uint32_t mask = SinxTable ? (uint32_t)SinxMask : 0x3FFFu;

  uint32_t i = t >> shift;
  uint32_t fraction = t & mask;
  if (fraction == 0) return table[i];
  int64_t step = (int64_t)table[i + 1] - table[i];
  return (Fixed)(table[i] + ((step * fraction) >> shift));
}

/* Splits |deg| into its quadrant (0..3) and the angle inside it. */
static uint32_t splitQuadrant(Fixed deg, uint32_t *inside)
{
  uint32_t m = magnitude(deg);
  uint32_t whole = m >> 16;
  *inside = ((whole % 90u) << 16) | (m & 0xFFFFu);
  return (whole / 90u) % 4u;
}

Fixed mxSinx(Fixed deg)
{
  uint32_t r;
  Fixed s;
  switch (splitQuadrant(deg, &r)) {
  case 0: s = quadrantSine(r); break;
  case 1: s = quadrantSine(RIGHT_ANGLE - r); break;
  case 2: s = -quadrantSine(r); break;
  default: s = -quadrantSine(RIGHT_ANGLE - r); break;
  }
  return deg < 0 ? -s : s;
}

Fixed mxCosx(Fixed deg)
{
  uint32_t r;
  switch (splitQuadrant(deg, &r)) {
  case 0: return quadrantSine(RIGHT_ANGLE - r);
  case 1: return -quadrantSine(r);
  case 2: return -quadrantSine(RIGHT_ANGLE - r);
  default: return quadrantSine(r);
  }
}

Fixed mxTanx(Fixed deg)
{
  return mxDivx(mxSinx(deg), mxCosx(deg));
}

Fixed mxAcosx(Fixed x)
{
  if (x < -MX_ONE || x > MX_ONE) return -1;
  if (x == MX_ONE) return 0;

  const Fixed *table = AcosxTable ? AcosxTable : MathxAcosxTable;
  uint32_t intervals = AcosxTable ? (uint32_t)AcosxNum : 720u;
  Fixed p = mxMulx(x + MX_ONE, (Fixed)((intervals / 2) << 16));
  uint32_t i = ((uint32_t)p >> 16) % intervals;
  int64_t fraction = p & 0xFFFF;
  int64_t drop = (int64_t)table[i] - table[i + 1];
  return (Fixed)(table[i] - ((fraction * drop) >> 16));
}

Fixed mxFmodx(Fixed a, Fixed b)
{
  if (b == 0) return 0;
  Fixed whole = (Fixed)((uint32_t)mxDivx(a, b) & 0xFFFF0000u);
  return mxSubx(a, mxMulx(whole, b));
}

Fixed mxPowx(Fixed a, Fixed b)
{
  return mxFloat2Fixed(powf(mxFixed2Float(a), mxFixed2Float(b)));
}

Fixed mxDotx(const Fixed u[3], const Fixed v[3])
{
  return mxAddx(mxAddx(mxMulx(u[0], v[0]), mxMulx(u[1], v[1])), mxMulx(u[2], v[2]));
}

void mxCrossx(Fixed out[3], const Fixed u[3], const Fixed v[3])
{
  Fixed x = mxSubx(mxMulx(u[1], v[2]), mxMulx(u[2], v[1]));
  Fixed y = mxSubx(mxMulx(u[2], v[0]), mxMulx(u[0], v[2]));
  Fixed z = mxSubx(mxMulx(u[0], v[1]), mxMulx(u[1], v[0]));
  out[0] = x;
  out[1] = y;
  out[2] = z;
}

/* 1 / |v|; the squares are summed with saturation so a long vector cannot wrap. */
static Fixed inverseLength(Fixed x, Fixed y, Fixed z)
{
  Fixed squares = mxAddx(mxAddx(mxMulx(x, x), mxMulx(y, y)), mxMulx(z, z));
  return mxDivx(MX_ONE, mxSqrtx(squares));
}

void mxNormalizex(Fixed out[3], const Fixed v[3])
{
  Fixed x = v[0], y = v[1], z = v[2];
  if (x == 0 && y == 0 && z == 0) {
    out[0] = out[1] = out[2] = 0;
    return;
  }

  Fixed inv = inverseLength(x, y, z);
  if (inv == MX_ONE) {
    out[0] = x;
    out[1] = y;
    out[2] = z;
    return;
  }
  if (inv == 0) {
    /* The squares vanished: every component is below 2^-8, so the scaled ones fit. */
    x = saturate((int64_t)x * 65536);
    y = saturate((int64_t)y * 65536);
    z = saturate((int64_t)z * 65536);
    inv = inverseLength(x, y, z);
  }
  out[0] = mxMulx(x, inv);
  out[1] = mxMulx(y, inv);
  out[2] = mxMulx(z, inv);
}

Fixed mxFloat2Fixed(float f)
{
  uint32_t bits;
  memcpy(&bits, &f, sizeof bits);
  int negative = (bits >> 31) != 0;
  uint32_t exponent = (bits >> 23) & 0xFFu;

  if ((bits & 0x7FFFFFFFu) == 0) return 0;
  if (exponent == 0xFFu || f > 32768.0f || f < -32768.0f)
    return negative ? NEGATIVE_SATURATION : MX_MAX;
  if (exponent == 0) return 0; /* subnormal: far below one unit */

  uint32_t mantissa = (bits & 0x7FFFFFu) | 0x800000u;
  int shift = (int)exponent - 134;
  uint32_t value;
  if (shift >= 8) /* the hidden bit would land on bit 31 */
    return negative ? NEGATIVE_SATURATION : MX_MAX;
  if (shift >= 0)
    value = mantissa << shift;
  else if (shift > -32)
    value = mantissa >> -shift;
  else
    value = 0;
  return negative ? -(Fixed)value : (Fixed)value;
}

float mxFixed2Float(Fixed a)
{
  if (a == 0) return 0.0f;
  return (float)((double)a / 65536.0);
}

static Fixed *copyTable(const Fixed *table, int n)
{
  Fixed *copy = malloc((size_t)n * sizeof *copy);
  if (copy != NULL) memcpy(copy, table, (size_t)n * sizeof *copy);
  return copy;
}

int mxSetSinxTable(const Fixed *table, int n)
{
  if (table == NULL) {
    free(SinxTable);
    SinxTable = NULL;
    return 1;
  }
  if (n <= 90 || (n - 1) % 90 != 0) return 0;
  int perDegree = (n - 1) / 90;
  /* The lookup splits an angle into index and fraction by shifting, which needs a
   * power of two of entries per degree, and at most one entry per unit. */
  if (perDegree > 0x10000 || (perDegree & (perDegree - 1)) != 0) return 0;

  Fixed *copy = copyTable(table, n);
  free(SinxTable);
  SinxTable = NULL;
  if (copy == NULL) return 0;

  int log2 = 0;
  while ((1 << (log2 + 1)) <= perDegree) ++log2;
  SinxShift = 16 - log2;
  SinxMask = (1 << SinxShift) - 1;
  SinxTable = copy;
  return 1;
}

int mxSetAcosxTable(const Fixed *table, int n)
{
  if (table == NULL) {
    free(AcosxTable);
    AcosxTable = NULL;
    return 1;
  }
  /* (n - 1) / 2 is used as a 16.16 factor, so it must stay below 32768. */
  if (n < 3 || n % 2 == 0 || n > 65535) return 0;

  Fixed *copy = copyTable(table, n);
  free(AcosxTable);
  AcosxTable = NULL;
  if (copy == NULL) return 0;

  AcosxNum = n - 1;
  AcosxTable = copy;
  return 1;
}
