/* The OpenVG font record: an unordered, growable array of glyphs, each mapping the
 * application's 32-bit index to a path or an image (or nothing) with an origin and an
 * escapement. A glyph holds one reference on its path or image from the time it is set until
 * it is replaced, cleared or the font is freed. `next` stays first: the object table chains
 * through it. */
#ifndef OVG_VG_COMMON_VG_FONT_H
#define OVG_VG_COMMON_VG_FONT_H

#include <VG/openvg.h>

#include "vg/common/vg_value.h"

#ifdef __cplusplus
extern "C" {
#endif

#define OVG_GLYPH_PATH 1
#define OVG_GLYPH_IMAGE 2

typedef struct OVGglyph {
    VGuint index;        /* the application's glyph index */
    VGHandle object;     /* the path or image, or 0 for a glyph without outline or image */
    VGint type;          /* OVG_GLYPH_PATH or OVG_GLYPH_IMAGE */
    VGboolean isHinted;  /* as given for paths; 0 for images */
    VGvalue origin[2];
    VGvalue escapement[2];
} OVGglyph;

typedef struct OVGfont {
    struct OVGfont *next; /* chain link in the object table */
    VGint numGlyphs;      /* glyphs in use: the first numGlyphs entries of glyphs */
    VGint numIndices;     /* capacity of glyphs in entries */
    VGint refCount;       /* holders of the font */
    VGint deleted;        /* destroyed while still held */
    OVGglyph *glyphs;
} OVGfont;

/* A font with room for clamp(hint, 128, 512) glyphs; when that array cannot be had the font
 * comes without one (capacity 0) and grows on first use. Null only when the record cannot be
 * had. */
OVGfont *VGFUNC_CreateVGFont(VGint hint);
/* Frees the record, releasing every glyph's object, when nothing holds it; else marks it
 * deleted, and the VGFUNC_DecFont that drops the last holder frees it. */
void VGFUNC_DeleteVGFont(OVGfont *font);
void VGFUNC_IncFont(OVGfont *font);
void VGFUNC_DecFont(OVGfont *font);

/* The glyph of index, or null. */
OVGglyph *VGFUNC_FindGlyph(const OVGfont *font, VGuint index);
/* Sets glyph index (replacing one with that index, releasing its object) to path or image
 * (0 for none, which takes no reference); 0 or VG_OUT_OF_MEMORY_ERROR with the font unchanged. */
VGErrorCode VGFUNC_SetGlyphToPath(OVGfont *font, VGuint index, VGHandle path, VGboolean isHinted,
                                  const VGfloat origin[2], const VGfloat escapement[2]);
VGErrorCode VGFUNC_SetGlyphToImage(OVGfont *font, VGuint index, VGHandle image, const VGfloat origin[2],
                                   const VGfloat escapement[2]);
/* Releases glyph index's object and moves the last glyph into its place; VG_ILLEGAL_ARGUMENT_ERROR
 * when there is no such glyph. */
VGErrorCode VGFUNC_ClearGlyph(OVGfont *font, VGuint index);

/* Object parameters: count values read or written, scalar 1 from the single-value entry points.
 * The only one is the read-only VG_FONT_NUM_GLYPHS: setting it succeeds and changes nothing. */
VGErrorCode VGFUNC_SetFontParami(OVGfont *font, VGint param, VGint count, const VGint *values, int scalar);
VGErrorCode VGFUNC_SetFontParamf(OVGfont *font, VGint param, VGint count, const VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetFontParami(const OVGfont *font, VGint param, VGint count, VGint *values, int scalar);
VGErrorCode VGFUNC_GetFontParamf(const OVGfont *font, VGint param, VGint count, VGfloat *values, int scalar);
VGErrorCode VGFUNC_GetFontVector(const OVGfont *font, VGint param, VGint *result);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_FONT_H */
