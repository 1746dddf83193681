/* The acceleration layer's global state. */
#include "vg/al_lx740/vg_al_lx740.h"

#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"

word32 VGALVAL_lx740renderingmode;
word32 VGALVAL_lx740_dirty;
word32 VGALVAL_lx740_ctxdirty;
int VGALVAL_backbuffer;
const void *VGALVAL_currentimage;
int VGALVAL_changepepipe;
word32 VGALVAL_lx740vpinstaddr = CGL_NO_ADDRESS;

OVGcontext *VGALVAL_LX740_ALcontexthandle;
ALbuffer *colorbuffer;
ALbuffer *frontbuffer;
ALbuffer *VGALVAL_maskbuffer;
word32 VGALVAL_surface_addr;
int VGALVAL_surface_width, VGALVAL_surface_height, VGALVAL_surface_stride, VGALVAL_surface_bpp;
int VGALVAL_surface_alphabits, VGALVAL_surface_flip;
int VGALVAL_surface_format;
word32 VGALVAL_surface_format_lx;
word32 VGALVAL_lx740_cmode_msaa;
word32 VGALVAL_colorbuffer_addr;
int VGALVAL_colorbuffer_width, VGALVAL_colorbuffer_height, VGALVAL_colorbuffer_stride;

word32 vgmode_paint;
word32 vgmode_image;
int color_transform;
word32 paintcoloralpha;
VGImageFormat VGALVAL_currentimageformat;

void VGHAL_ALflush(void)
{
    XPTW(LX_XPT_SYNC_H, 0);
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    RUNCME();
}
