/* Deletion of path records. */
#include "vg/common/vg_path.h"

#include "vg/common/vg_arena.h"

void VGFUNC_DeletePath(OVGpath *path)
{
    if (path->refCount >= 1) {
        path->deleted = VG_TRUE;
        return;
    }
    VGFUNC_ArenaFree(path);
}
