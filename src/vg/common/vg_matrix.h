/* The transformation matrices of an OpenVG context. Each record carries an identity flag
 * (the values are not valid and the matrix is the identity) and a dirty flag (changed
 * since the acceleration layer last loaded it; the layer clears it after loading). Only
 * the image-user-to-surface matrix keeps a projective bottom row; every other matrix is
 * forced affine by each operation. */
#ifndef OVG_VG_COMMON_VG_MATRIX_H
#define OVG_VG_COMMON_VG_MATRIX_H

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_value.h"

#ifdef __cplusplus
extern "C" {
#endif

#define OVG_MATRIX_IDENTITY 1u
#define OVG_MATRIX_DIRTY    4u

typedef struct {
  VGvalue m[9];      /* column-major: sx, shy, w0, shx, sy, w1, tx, ty, w2 */
  VGbitfield flag;   /* OVG_MATRIX_IDENTITY | OVG_MATRIX_DIRTY */
  VGMatrixMode mode; /* which of the context's matrices this is */
} OVGmatrix;

extern const VGvalue VGVAL_ovg_mtx_identity[9];

void VGFUNC_InitMatrix(OVGmatrix *m, VGMatrixMode mode);
void VGFUNC_SetIdentity(OVGmatrix *m);
VGbitfield VGFUNC_IsIdentity(const OVGmatrix *m);
VGbitfield VGFUNC_IsDirty(const OVGmatrix *m);
/* The nine values: the record's own, or the identity table for an identity matrix. */
const VGvalue *VGFUNC_GetMatrix(const OVGmatrix *m);

/* M = M x T, M x S, M x Sh, M x R(angle in degrees). */
void VGFUNC_Translate(OVGmatrix *m, VGfloat tx, VGfloat ty);
void VGFUNC_Scale(OVGmatrix *m, VGfloat sx, VGfloat sy);
void VGFUNC_Shear(OVGmatrix *m, VGfloat shx, VGfloat shy);
void VGFUNC_Rotate(OVGmatrix *m, VGfloat angle);
/* M = the nine values / M x the nine values. */
void VGFUNC_LoadMatrix(OVGmatrix *m, const VGvalue values[9]);
void VGFUNC_Multiply(OVGmatrix *m, const VGvalue values[9]);

/* The bodies of the matrix entry points, applied to the current context's selected
 * matrix: client pointers are checked (null or not 4-byte aligned gives
 * VG_ILLEGAL_ARGUMENT_ERROR and nothing is read or written), client values are copied
 * before use, fixed-point values are converted. They return the error to record. */
VGErrorCode VGFUNC_LoadClientMatrix(OVGmatrix *m, const VGfloat *values);
VGErrorCode VGFUNC_LoadClientMatrixx(OVGmatrix *m, const VGfixed *values);
VGErrorCode VGFUNC_MultClientMatrix(OVGmatrix *m, const VGfloat *values);
VGErrorCode VGFUNC_MultClientMatrixx(OVGmatrix *m, const VGfixed *values);
VGErrorCode VGFUNC_GetClientMatrix(const OVGmatrix *m, VGfloat *values);
VGErrorCode VGFUNC_GetClientMatrixx(const OVGmatrix *m, VGfixed *values);
void VGFUNC_Translatex(OVGmatrix *m, VGfixed tx, VGfixed ty);
void VGFUNC_Scalex(OVGmatrix *m, VGfixed sx, VGfixed sy);
void VGFUNC_Shearx(OVGmatrix *m, VGfixed shx, VGfixed shy);
void VGFUNC_Rotatex(OVGmatrix *m, VGfixed angle);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_MATRIX_H */
