/* The matrix entry points: each acts on the matrix VG_MATRIX_MODE selects in the current
 * context, and does nothing without one. Only the load, multiply and get forms check their
 * client pointer. */
#include <stddef.h>

#include <VG/openvg.h>
#include <VG/openvg_vendor.h>

#include "vg/common/vg_frame.h"
#include "vg/common/vg_matrix.h"

static OVGmatrix *selected(void)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    return c ? VGFUNC_GetCurrentMatrix(c) : NULL;
}

static void record(VGErrorCode error)
{
    VGFUNC_RecordError(VGVAL_vgcurrentcontexthandle, error);
}

void vgLoadIdentity(void)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_SetIdentity(m);
}

void vgLoadMatrix(const VGfloat *values)
{
    OVGmatrix *m = selected();
    if (m)
        record(VGFUNC_LoadClientMatrix(m, values));
}

void vgLoadMatrixxEXT(const VGfixed *values)
{
    OVGmatrix *m = selected();
    if (m)
        record(VGFUNC_LoadClientMatrixx(m, values));
}

void vgMultMatrix(const VGfloat *values)
{
    OVGmatrix *m = selected();
    if (m)
        record(VGFUNC_MultClientMatrix(m, values));
}

void vgMultMatrixxEXT(const VGfixed *values)
{
    OVGmatrix *m = selected();
    if (m)
        record(VGFUNC_MultClientMatrixx(m, values));
}

void vgGetMatrix(VGfloat *values)
{
    OVGmatrix *m = selected();
    if (m)
        record(VGFUNC_GetClientMatrix(m, values));
}

void vgGetMatrixxEXT(VGfixed *values)
{
    OVGmatrix *m = selected();
    if (m)
        record(VGFUNC_GetClientMatrixx(m, values));
}

void vgTranslate(VGfloat tx, VGfloat ty)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_Translate(m, tx, ty);
}

void vgTranslatexEXT(VGfixed tx, VGfixed ty)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_Translatex(m, tx, ty);
}

void vgScale(VGfloat sx, VGfloat sy)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_Scale(m, sx, sy);
}

void vgScalexEXT(VGfixed sx, VGfixed sy)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_Scalex(m, sx, sy);
}

void vgShear(VGfloat shx, VGfloat shy)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_Shear(m, shx, shy);
}

void vgShearxEXT(VGfixed shx, VGfixed shy)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_Shearx(m, shx, shy);
}

void vgRotate(VGfloat angle)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_Rotate(m, angle);
}

void vgRotatexEXT(VGfixed angle)
{
    OVGmatrix *m = selected();
    if (m)
        VGFUNC_Rotatex(m, angle);
}
