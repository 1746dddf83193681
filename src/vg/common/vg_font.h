/* The OpenVG font record and its deletion. The record holds what the object table and the
 * deletion use; `next` stays first. */
#ifndef OVG_VG_COMMON_VG_FONT_H
#define OVG_VG_COMMON_VG_FONT_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct OVGfont {
    struct OVGfont *next; /* chain link in the object table */
    VGint refCount;
    VGboolean deleted;
} OVGfont;

/* Frees the record when nothing holds it; else marks it deleted. */
void VGFUNC_DeleteVGFont(OVGfont *font);

/* Object parameters: count values read or written, scalar 1 from the single-value entry points.
 * Each returns the error to record. No font parameter is kept yet: each answers
 * VG_ILLEGAL_ARGUMENT_ERROR. */
VGErrorCode VGFUNC_SetFontParami(OVGfont *font, VGint param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetFontParamf(OVGfont *font, VGint param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetFontParami(const OVGfont *font, VGint param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetFontParamf(const OVGfont *font, VGint param, VGint count, VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetFontVector(const OVGfont *font, VGint param, VGint *result);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_FONT_H */
