/* Client-facing matrix operations: pointer checks, copies of the client's values and the
 * fixed-point conversions of the xEXT entry points. */
#include "vg/common/vg_matrix.h"

#include <string.h>

#include "mathx/mathx.h"
#include "vg/common/vg_frame.h"

typedef void (*MatrixOperation)(OVGmatrix *m, const VGvalue values[9]);

/* Checks the client's pointer, copies its nine values and applies the operation. */
static VGErrorCode applyClientFloats(OVGmatrix *m, const VGfloat *values, MatrixOperation op)
{
  if (VGFUNC_IsBadPointer(values, 4)) return VG_ILLEGAL_ARGUMENT_ERROR;
  VGvalue local[9];
  memcpy(local, values, sizeof local);
  op(m, local);
  return VG_NO_ERROR;
}

static VGErrorCode applyClientFixed(OVGmatrix *m, const VGfixed *values, MatrixOperation op)
{
  if (VGFUNC_IsBadPointer(values, 4)) return VG_ILLEGAL_ARGUMENT_ERROR;
  VGvalue local[9];
  for (int i = 0; i < 9; ++i) local[i] = mxFixed2Float(values[i]);
  op(m, local);
  return VG_NO_ERROR;
}

VGErrorCode VGFUNC_LoadClientMatrix(OVGmatrix *m, const VGfloat *values)
{
  return applyClientFloats(m, values, VGFUNC_LoadMatrix);
}

VGErrorCode VGFUNC_LoadClientMatrixx(OVGmatrix *m, const VGfixed *values)
{
  return applyClientFixed(m, values, VGFUNC_LoadMatrix);
}

VGErrorCode VGFUNC_MultClientMatrix(OVGmatrix *m, const VGfloat *values)
{
  return applyClientFloats(m, values, VGFUNC_Multiply);
}

VGErrorCode VGFUNC_MultClientMatrixx(OVGmatrix *m, const VGfixed *values)
{
  return applyClientFixed(m, values, VGFUNC_Multiply);
}

VGErrorCode VGFUNC_GetClientMatrix(const OVGmatrix *m, VGfloat *values)
{
  if (VGFUNC_IsBadPointer(values, 4)) return VG_ILLEGAL_ARGUMENT_ERROR;
  memcpy(values, VGFUNC_GetMatrix(m), 9 * sizeof *values);
  return VG_NO_ERROR;
}

VGErrorCode VGFUNC_GetClientMatrixx(const OVGmatrix *m, VGfixed *values)
{
  if (VGFUNC_IsBadPointer(values, 4)) return VG_ILLEGAL_ARGUMENT_ERROR;
  const VGvalue *source = VGFUNC_GetMatrix(m);
  for (int i = 0; i < 9; ++i) values[i] = mxFloat2Fixed(source[i]);
  return VG_NO_ERROR;
}

void VGFUNC_Translatex(OVGmatrix *m, VGfixed tx, VGfixed ty)
{
  VGFUNC_Translate(m, mxFixed2Float(tx), mxFixed2Float(ty));
}

void VGFUNC_Scalex(OVGmatrix *m, VGfixed sx, VGfixed sy)
{
  VGFUNC_Scale(m, mxFixed2Float(sx), mxFixed2Float(sy));
}

void VGFUNC_Shearx(OVGmatrix *m, VGfixed shx, VGfixed shy)
{
  VGFUNC_Shear(m, mxFixed2Float(shx), mxFixed2Float(shy));
}

void VGFUNC_Rotatex(OVGmatrix *m, VGfixed angle)
{
  VGFUNC_Rotate(m, mxFixed2Float(angle));
}
