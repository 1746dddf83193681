/* Draining the GPU before the CPU or a copy engine reads what it drew. */
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_pe.h"

void VGALFUNC_lx_full_sync(int resolve)
{
    if (resolve && (VGALVAL_lx740renderingmode & VGAL_RM_MULTISAMPLE)) {
        VGALFUNC_lx_fsaa();
    } else {
        XPTW(LX_XPT_SYNC, 0);
        PEW(LX_PE_OVG_TXC_INVAL, 3);
        PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
        WAITCMDDONE(); /* LX_XPT_SYNC_H and LX_PE_OVG_SYNC, then the hand-over and the wait */
    }
    cglWaitBusy(CGL_BUSY_AFTER_COPY, 0);
}
