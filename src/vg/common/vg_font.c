/* Font records and their glyphs. Glyph storage is an unordered array: lookup runs from the
 * last used entry down, a new glyph is appended, a cleared one is replaced by the last. */
#include "vg/common/vg_font.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "vg/common/vg_arena.h"
#include "vg/common/vg_heap.h"
#include "vg/common/vg_image.h"
#include "vg/common/vg_path.h"

#define FONT_MIN_GLYPHS 128
#define FONT_MAX_HINT 512
#define FONT_GROWTH 128

OVGfont *VGFUNC_CreateVGFont(VGint hint)
{
    OVGfont *font = (OVGfont *)VGFUNC_ArenaAlloc(sizeof(OVGfont));
    VGint capacity = hint < FONT_MIN_GLYPHS ? FONT_MIN_GLYPHS : hint > FONT_MAX_HINT ? FONT_MAX_HINT : hint;

    if (!font)
        return NULL;
    memset(font, 0, sizeof *font);
    font->glyphs = (OVGglyph *)VGFUNC_HeapResize(NULL, (size_t)capacity * sizeof(OVGglyph));
    if (font->glyphs) {
        memset(font->glyphs, 0, (size_t)capacity * sizeof(OVGglyph));
        font->numIndices = capacity;
    }
    return font;
}

/* Glyph objects are kept as handles; a handle is the address of its record, which the glyph's
 * reference keeps alive even after the object has left the table. */
static void releaseObject(const OVGglyph *g)
{
    if (!g->object)
        return;
    if (g->type == OVG_GLYPH_PATH)
        VGFUNC_DecPath((OVGpath *)(uintptr_t)g->object);
    else
        VGFUNC_DecImage((OVGimage *)(uintptr_t)g->object);
}

static void takeObject(const OVGglyph *g)
{
    if (!g->object)
        return;
    if (g->type == OVG_GLYPH_PATH)
        VGFUNC_IncPath((OVGpath *)(uintptr_t)g->object);
    else
        VGFUNC_IncImage((OVGimage *)(uintptr_t)g->object);
}

void VGFUNC_DeleteVGFont(OVGfont *font)
{
    VGint i;
    if (font->refCount != 0) {
        font->deleted = 1;
        return;
    }
    for (i = font->numGlyphs - 1; i >= 0; i--)
        releaseObject(&font->glyphs[i]);
    free(font->glyphs);
    VGFUNC_ArenaFree(font);
}

void VGFUNC_IncFont(OVGfont *font)
{
    font->refCount++;
}

void VGFUNC_DecFont(OVGfont *font)
{
    font->refCount--;
    if (font->deleted && font->refCount == 0)
        VGFUNC_DeleteVGFont(font);
}

OVGglyph *VGFUNC_FindGlyph(const OVGfont *font, VGuint index)
{
    VGint i;
    for (i = font->numGlyphs - 1; i >= 0; i--)
        if (font->glyphs[i].index == index)
            return &font->glyphs[i];
    return NULL;
}

/* The entry after the last used one, growing the array by FONT_GROWTH entries when it is full;
 * null (the font unchanged) when it cannot grow. */
static OVGglyph *emptyGlyph(OVGfont *font)
{
    if (font->numGlyphs == font->numIndices) {
        const int64_t capacity = (int64_t)font->numIndices + FONT_GROWTH;
        OVGglyph *grown;
        if (capacity > INT32_MAX || (uint64_t)capacity > SIZE_MAX / sizeof(OVGglyph))
            return NULL;
        grown = (OVGglyph *)VGFUNC_HeapResize(font->glyphs, (size_t)capacity * sizeof(OVGglyph));
        if (!grown)
            return NULL;
        memset(grown + font->numIndices, 0, FONT_GROWTH * sizeof(OVGglyph));
        font->glyphs = grown;
        font->numIndices = (VGint)capacity;
    }
    return &font->glyphs[font->numGlyphs];
}

static VGErrorCode setGlyph(OVGfont *font, VGuint index, VGint type, VGHandle object, VGboolean isHinted,
                            const VGfloat origin[2], const VGfloat escapement[2])
{
    OVGglyph *g = VGFUNC_FindGlyph(font, index);
    if (g) {
        releaseObject(g);
    } else {
        g = emptyGlyph(font);
        if (!g)
            return VG_OUT_OF_MEMORY_ERROR;
        g->index = index;
        font->numGlyphs++;
    }
    g->type = type;
    g->isHinted = isHinted;
    g->origin[0] = origin[0];
    g->origin[1] = origin[1];
    g->escapement[0] = escapement[0];
    g->escapement[1] = escapement[1];
    g->object = object;
    takeObject(g);
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_SetGlyphToPath(OVGfont *font, VGuint index, VGHandle path, VGboolean isHinted,
                                  const VGfloat origin[2], const VGfloat escapement[2])
{
    return setGlyph(font, index, OVG_GLYPH_PATH, path, isHinted, origin, escapement);
}

VGErrorCode VGFUNC_SetGlyphToImage(OVGfont *font, VGuint index, VGHandle image, const VGfloat origin[2],
                                   const VGfloat escapement[2])
{
    return setGlyph(font, index, OVG_GLYPH_IMAGE, image, VG_FALSE, origin, escapement);
}

VGErrorCode VGFUNC_ClearGlyph(OVGfont *font, VGuint index)
{
    OVGglyph *g = VGFUNC_FindGlyph(font, index);
    if (!g)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    releaseObject(g);
    *g = font->glyphs[font->numGlyphs - 1];
    font->numGlyphs--;
    return VG_NO_ERROR;
}

/* ---- Parameters: VG_FONT_NUM_GLYPHS only, read-only ---- */

VGErrorCode VGFUNC_SetFontParami(OVGfont *font, VGint param, VGint count, const VGint *values, int scalar)
{
    (void)font, (void)count, (void)values, (void)scalar;
    return param == VG_FONT_NUM_GLYPHS ? VG_NO_ERROR : VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_SetFontParamf(OVGfont *font, VGint param, VGint count, const VGfloat *values, int scalar)
{
    (void)font, (void)count, (void)values, (void)scalar;
    return param == VG_FONT_NUM_GLYPHS ? VG_NO_ERROR : VG_ILLEGAL_ARGUMENT_ERROR;
}

VGErrorCode VGFUNC_GetFontParami(const OVGfont *font, VGint param, VGint count, VGint *values, int scalar)
{
    (void)scalar;
    if (param != VG_FONT_NUM_GLYPHS || count > 1)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    values[0] = font->numGlyphs;
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_GetFontParamf(const OVGfont *font, VGint param, VGint count, VGfloat *values, int scalar)
{
    (void)scalar;
    if (param != VG_FONT_NUM_GLYPHS || count > 1)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    values[0] = (VGfloat)font->numGlyphs;
    return VG_NO_ERROR;
}

VGErrorCode VGFUNC_GetFontVector(const OVGfont *font, VGint param, VGint *result)
{
    (void)font;
    if (param != VG_FONT_NUM_GLYPHS)
        return VG_ILLEGAL_ARGUMENT_ERROR;
    *result = 1;
    return VG_NO_ERROR;
}
