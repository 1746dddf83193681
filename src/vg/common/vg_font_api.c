/* The font entry points: handles, pointers and arguments checked in the order that decides
 * which error is recorded, then the font operations or the acceleration layer's glyph drawing. */
#include <stddef.h>

#include <VG/openvg.h>

#include "vg/al_lx740/vg_al_lx740_draw.h"
#include "vg/common/vg_font.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_image.h"

/* The font of handle in the current context's table, or null with VG_BAD_HANDLE_ERROR. */
static OVGfont *fontOf(OVGcontext *c, VGFont handle)
{
    OVGfont *f = VGFUNC_FindFont(c->sharedState, handle);
    if (!f)
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
    return f;
}

static int badPaintModes(VGbitfield paintModes)
{
    return paintModes > (VG_FILL_PATH | VG_STROKE_PATH);
}

VGFont vgCreateFont(VGint glyphCapacityHint)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGfont *f;

    if (!c)
        return VG_INVALID_HANDLE;
    if (glyphCapacityHint < 0) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return VG_INVALID_HANDLE;
    }
    f = VGFUNC_CreateVGFont(glyphCapacityHint);
    if (!f) {
        VGFUNC_RecordError(c, VG_OUT_OF_MEMORY_ERROR);
        return VG_INVALID_HANDLE;
    }
    VGFUNC_AddFont(c->sharedState, f);
    return (VGFont)VGFUNC_HandleOf(f);
}

void vgDestroyFont(VGFont font)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGfont *f = c ? fontOf(c, font) : NULL;
    if (!f)
        return;
    VGFUNC_RemoveFont(c->sharedState, f);
    VGFUNC_DeleteVGFont(f);
}

void vgSetGlyphToPath(VGFont font, VGuint glyphIndex, VGPath path, VGboolean isHinted,
                      const VGfloat glyphOrigin[2], const VGfloat escapement[2])
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGfont *f = c ? fontOf(c, font) : NULL;

    if (!f)
        return;
    if (path != VG_INVALID_HANDLE && !VGFUNC_FindPath(c->sharedState, path)) {
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
        return;
    }
    if (VGFUNC_IsBadPointer(glyphOrigin, 4) || VGFUNC_IsBadPointer(escapement, 4)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    VGFUNC_RecordError(c, VGFUNC_SetGlyphToPath(f, glyphIndex, path, isHinted, glyphOrigin, escapement));
}

void vgSetGlyphToImage(VGFont font, VGuint glyphIndex, VGImage image, const VGfloat glyphOrigin[2],
                       const VGfloat escapement[2])
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGfont *f = c ? fontOf(c, font) : NULL;
    OVGimage *img = NULL;

    if (!f)
        return;
    if (image != VG_INVALID_HANDLE && !(img = VGFUNC_FindImage(c->sharedState, image))) {
        VGFUNC_RecordError(c, VG_BAD_HANDLE_ERROR);
        return;
    }
    if (VGFUNC_IsBadPointer(glyphOrigin, 4) || VGFUNC_IsBadPointer(escapement, 4)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    if (img && VGFUNC_IsRenderTarget(img)) {
        VGFUNC_RecordError(c, VG_IMAGE_IN_USE_ERROR);
        return;
    }
    VGFUNC_RecordError(c, VGFUNC_SetGlyphToImage(f, glyphIndex, image, glyphOrigin, escapement));
}

void vgClearGlyph(VGFont font, VGuint glyphIndex)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGfont *f = c ? fontOf(c, font) : NULL;
    if (f)
        VGFUNC_RecordError(c, VGFUNC_ClearGlyph(f, glyphIndex));
}

void vgDrawGlyph(VGFont font, VGuint glyphIndex, VGbitfield paintModes, VGboolean allowAutoHinting)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGfont *f = c ? fontOf(c, font) : NULL;

    if (!f)
        return;
    if (badPaintModes(paintModes)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    if (!vgnonzerosizedsurface)
        return;
    VGFUNC_RecordError(c, VGHAL_ALdrawGlyphs(f, 1, &glyphIndex, NULL, NULL, paintModes, allowAutoHinting));
}

void vgDrawGlyphs(VGFont font, VGint glyphCount, const VGuint *glyphIndices, const VGfloat *adjustments_x,
                  const VGfloat *adjustments_y, VGbitfield paintModes, VGboolean allowAutoHinting)
{
    OVGcontext *c = VGVAL_vgcurrentcontexthandle;
    OVGfont *f = c ? fontOf(c, font) : NULL;

    if (!f)
        return;
    if (glyphCount <= 0 || VGFUNC_IsBadPointer(glyphIndices, 4) ||
        (adjustments_x && VGFUNC_IsBadPointer(adjustments_x, 4)) ||
        (adjustments_y && VGFUNC_IsBadPointer(adjustments_y, 4)) || badPaintModes(paintModes)) {
        VGFUNC_RecordError(c, VG_ILLEGAL_ARGUMENT_ERROR);
        return;
    }
    if (!vgnonzerosizedsurface)
        return;
    VGFUNC_RecordError(c, VGHAL_ALdrawGlyphs(f, glyphCount, glyphIndices, adjustments_x, adjustments_y,
                                             paintModes, allowAutoHinting));
}
