/* Deletion of font records. */
#include "vg/common/vg_font.h"

#include "vg/common/vg_arena.h"

void VGFUNC_DeleteVGFont(OVGfont *font)
{
    if (font->refCount != 0) {
        font->deleted = VG_TRUE;
        return;
    }
    VGFUNC_ArenaFree(font);
}

VGErrorCode VGFUNC_SetFontParami(OVGfont *font, VGint param, VGint count, const VGint *values, int scalar)
{
    (void)font, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_SetFontParamf(OVGfont *font, VGint param, VGint count, const VGfloat *values, int scalar)
{
    (void)font, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetFontParami(const OVGfont *font, VGint param, VGint count, VGint *values, int scalar)
{
    (void)font, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetFontParamf(const OVGfont *font, VGint param, VGint count, VGfloat *values, int scalar)
{
    (void)font, (void)param, (void)count, (void)values, (void)scalar;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetFontVector(const OVGfont *font, VGint param, VGint *result)
{
    (void)font, (void)param, (void)result;
    return VG_ILLEGAL_ARGUMENT_ERROR;
}
