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
