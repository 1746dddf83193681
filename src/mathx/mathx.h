/* Saturating 16.16 fixed-point arithmetic with table-driven sine, cosine (degrees) and
 * arc cosine (radians). The trigonometric tables can be replaced at run time; the
 * replacements are process-wide and unlocked. */
#ifndef OVG_MATHX_MATHX_H
#define OVG_MATHX_MATHX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Signed 32-bit, value = integer / 65536. */
typedef int32_t Fixed;

#define MX_ONE     ((Fixed)0x10000)
#define MX_MAX     ((Fixed)0x7FFFFFFF)
#define MX_MIN     ((Fixed)INT32_MIN)

/* Built-in tables. */
extern const Fixed MathxSinxTable[361];   /* first quadrant in quarter degrees */
extern const Fixed MathxAcosxTable[721];  /* acos over [-1, 1] in 720 steps */
extern const Fixed MathxReciproTable[100];

/* Installed tables (null: the built-in one is used). */
extern Fixed *SinxTable;
extern int SinxShift;
extern int SinxMask;
extern Fixed *AcosxTable;
extern int AcosxNum;

Fixed mxAddx(Fixed a, Fixed b);
Fixed mxSubx(Fixed a, Fixed b);
Fixed mxMulx(Fixed a, Fixed b);
Fixed mxDivx(Fixed a, Fixed b);
Fixed mxSqrtx(Fixed a);
Fixed mxExpx(Fixed a);
Fixed mxFrexpx(Fixed a, int *exp);
Fixed mxSinx(Fixed deg);
Fixed mxCosx(Fixed deg);
Fixed mxTanx(Fixed deg);
Fixed mxAcosx(Fixed x);
Fixed mxFmodx(Fixed a, Fixed b);
Fixed mxPowx(Fixed a, Fixed b);
Fixed mxDotx(const Fixed u[3], const Fixed v[3]);
void mxCrossx(Fixed out[3], const Fixed u[3], const Fixed v[3]);
void mxNormalizex(Fixed out[3], const Fixed v[3]);
Fixed mxFloat2Fixed(float f);
float mxFixed2Float(Fixed a);

/* Installs a copy of a first-quadrant sine table of n entries (n - 1 a multiple of 90,
 * a power of two entries per degree, at most 65536), or drops the installed one when
 * table is null. Returns 1 when done, 0 when n is refused (the current table stays) or
 * the copy could not be allocated (no table is installed then). */
int mxSetSinxTable(const Fixed *table, int n);

/* Installs a copy of an arc-cosine table of n entries over [-1, 1] (n odd, 3..65535), or
 * drops the installed one when table is null. Results as mxSetSinxTable. */
int mxSetAcosxTable(const Fixed *table, int n);

#ifdef __cplusplus
}
#endif

#endif /* OVG_MATHX_MATHX_H */
