/* Matrix operations on the context's matrices, in single precision. M is post-multiplied
 * (M = M x T), as OpenVG defines it. */
#include "vg/common/vg_matrix.h"

#include <math.h>
#include <string.h>

const VGvalue VGVAL_ovg_mtx_identity[9] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};

static const double kPi = 3.14159265358979323846;

static int isProjective(const OVGmatrix *m)
{
  return m->mode == VG_MATRIX_IMAGE_USER_TO_SURFACE;
}

static void setValues(OVGmatrix *m, VGvalue m0, VGvalue m1, VGvalue m3, VGvalue m4, VGvalue m6,
                      VGvalue m7)
{
  VGvalue *v = m->m;
  v[0] = m0; v[1] = m1; v[2] = 0.0f;
  v[3] = m3; v[4] = m4; v[5] = 0.0f;
  v[6] = m6; v[7] = m7; v[8] = 1.0f;
}

static void forceAffine(OVGmatrix *m)
{
  m->m[2] = 0.0f;
  m->m[5] = 0.0f;
  m->m[8] = 1.0f;
}

static void markChanged(OVGmatrix *m)
{
  m->flag = OVG_MATRIX_DIRTY;
}

void VGFUNC_InitMatrix(OVGmatrix *m, VGMatrixMode mode)
{
  m->flag = OVG_MATRIX_IDENTITY | OVG_MATRIX_DIRTY;
  m->mode = mode;
}

void VGFUNC_SetIdentity(OVGmatrix *m)
{
  m->flag = OVG_MATRIX_IDENTITY | OVG_MATRIX_DIRTY;
}

VGbitfield VGFUNC_IsIdentity(const OVGmatrix *m)
{
  return m->flag & OVG_MATRIX_IDENTITY;
}

VGbitfield VGFUNC_IsDirty(const OVGmatrix *m)
{
  return m->flag & OVG_MATRIX_DIRTY;
}

const VGvalue *VGFUNC_GetMatrix(const OVGmatrix *m)
{
  return VGFUNC_IsIdentity(m) ? VGVAL_ovg_mtx_identity : m->m;
}

void VGFUNC_Translate(OVGmatrix *m, VGfloat tx, VGfloat ty)
{
  VGvalue *v = m->m;
  if (VGFUNC_IsIdentity(m)) {
    setValues(m, 1.0f, 0.0f, 0.0f, 1.0f, tx, ty);
  } else {
    v[6] += v[0] * tx + v[3] * ty;
    v[7] += v[1] * tx + v[4] * ty;
    if (isProjective(m))
      v[8] += v[2] * tx + v[5] * ty;
    else
      v[8] = 1.0f;
  }
  markChanged(m);
}

void VGFUNC_Scale(OVGmatrix *m, VGfloat sx, VGfloat sy)
{
  VGvalue *v = m->m;
  if (VGFUNC_IsIdentity(m)) {
    setValues(m, sx, 0.0f, 0.0f, sy, 0.0f, 0.0f);
  } else {
    v[0] *= sx;
    v[1] *= sx;
    v[3] *= sy;
    v[4] *= sy;
    if (isProjective(m)) {
      v[2] *= sx;
      v[5] *= sy;
    } else {
      v[2] = v[5] = 0.0f;
    }
  }
  markChanged(m);
}

void VGFUNC_Shear(OVGmatrix *m, VGfloat shx, VGfloat shy)
{
  VGvalue *v = m->m;
  if (VGFUNC_IsIdentity(m)) {
    setValues(m, 1.0f, shy, shx, 1.0f, 0.0f, 0.0f);
  } else {
    VGvalue m0 = v[0], m1 = v[1], m2 = v[2], m3 = v[3], m4 = v[4], m5 = v[5];
    v[0] = m0 + shy * m3;
    v[3] = m3 + shx * m0;
    v[1] = m1 + shy * m4;
    v[4] = m4 + shx * m1;
    if (isProjective(m)) {
      v[2] = m2 + shy * m5;
      v[5] = m5 + shx * m2;
    } else {
      v[2] = v[5] = 0.0f;
    }
  }
  markChanged(m);
}

void VGFUNC_Rotate(OVGmatrix *m, VGfloat angle)
{
  /* Only whole turns leave the matrix (and its flags) as it is. A small angle is applied
   * even when its cosine rounds to 1.0, so that many small steps add up. */
  if (fmodf(angle, 360.0f) == 0.0f) return;

  VGfloat a = (VGfloat)((double)angle * kPi / 180.0);
  VGfloat c = cosf(a);
  VGfloat s = sinf(a);
  VGvalue *v = m->m;
  if (VGFUNC_IsIdentity(m)) {
    setValues(m, c, s, -s, c, 0.0f, 0.0f);
  } else {
    VGvalue m0 = v[0], m1 = v[1], m2 = v[2], m3 = v[3], m4 = v[4], m5 = v[5];
    v[0] = m0 * c + m3 * s;
    v[3] = m3 * c - m0 * s;
    v[1] = m1 * c + m4 * s;
    v[4] = m4 * c - m1 * s;
    if (isProjective(m)) {
      v[2] = m2 * c + m5 * s;
      v[5] = m5 * c - m2 * s;
    } else {
      v[2] = v[5] = 0.0f;
    }
  }
  markChanged(m);
}

void VGFUNC_LoadMatrix(OVGmatrix *m, const VGvalue values[9])
{
  if (isProjective(m)) {
    memmove(m->m, values, sizeof m->m);
  } else {
    setValues(m, values[0], values[1], values[3], values[4], values[6], values[7]);
  }
  markChanged(m);
}

void VGFUNC_Multiply(OVGmatrix *m, const VGvalue values[9])
{
  VGvalue n[9];
  VGvalue *v = m->m;
  memcpy(n, values, sizeof n);

  if (VGFUNC_IsIdentity(m)) {
    memcpy(v, n, sizeof n);
  } else if (isProjective(m)) {
    VGvalue r[9];
    for (int col = 0; col < 3; ++col)
      for (int row = 0; row < 3; ++row)
        r[col * 3 + row] = v[row] * n[col * 3] + v[3 + row] * n[col * 3 + 1] + v[6 + row] * n[col * 3 + 2];
    memcpy(v, r, sizeof r);
  } else {
    VGvalue m0 = v[0], m1 = v[1], m3 = v[3], m4 = v[4], m6 = v[6], m7 = v[7];
    v[0] = m0 * n[0] + m3 * n[1];
    v[3] = m0 * n[3] + m3 * n[4];
    v[6] = m0 * n[6] + m3 * n[7] + m6;
    v[1] = m1 * n[0] + m4 * n[1];
    v[4] = m1 * n[3] + m4 * n[4];
    v[7] = m1 * n[6] + m4 * n[7] + m7;
  }
  if (!isProjective(m)) forceAffine(m);
  markChanged(m);
}
