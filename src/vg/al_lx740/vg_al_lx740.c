/* The acceleration layer's global state. */
#include "vg/al_lx740/vg_al_lx740.h"

#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"

word32 VGALVAL_lx740renderingmode;
word32 VGALVAL_lx740_dirty;
word32 VGALVAL_lx740_ctxdirty;
int VGALVAL_backbuffer;
const void *VGALVAL_currentimage;
int VGALVAL_changepepipe;

void VGHAL_ALflush(void)
{
    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    RUNCME();
}
