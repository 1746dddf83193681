/* The life cycle of the OpenVG library and its contexts as the EGL porting layer drives it,
 * with vgFlush and vgFinish. */
#include "vg/common/vg_lifecycle.h"

#include <stdio.h>
#include <stdlib.h>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/common/vg_frame.h"

int vgInit(void)
{
    if (vgisinitialized == 0) {
        VGVAL_vgcurrentcontexthandle = NULL;
        vgisinitialized = VGHAL_ALcreate();
    }
    return vgisinitialized;
}

int vgTerminate(void)
{
    const int r = VGHAL_ALdestroy();
    if (r != 0) {
        vgisinitialized = 0;
        VGVAL_vgcurrentcontexthandle = NULL;
    }
    return r;
}

void *vgCreateContext(void *share)
{
    if (!vgInit())
        return NULL;
    return VGFUNC_CreateVGContext((OVGcontext *)share);
}

void vgDeleteContext(void *ctx)
{
    OVGcontext *context = (OVGcontext *)ctx;
    if (!context)
        return;
    if (context == VGVAL_vgcurrentcontexthandle) {
        vgFinish();
        VGVAL_vgcurrentcontexthandle = NULL;
    }
    /* The layer must not keep the freed record as its context. */
    if (VGALVAL_LX740_ALcontexthandle == context)
        VGALVAL_LX740_ALcontexthandle = NULL;
    VGFUNC_DeleteVGContext(context);
}

static int hasSize(const ALsurface *surface)
{
    const ALbuffer *first = surface->disp0;
    return first && first->width != 0 && first->height != 0;
}

/* Binds the context that was current before a failed make-current again. It was bound before,
 * so only a want of GPU memory for its rasterizer buffers can stop it: the context stays
 * current without them. Anything else is a broken invariant. */
static void rebindPrevious(OVGcontext *previous)
{
    const int r = VGHAL_ALmakeCurrent(previous);
    if (r == 1)
        return;
    if (r != 0) {
        fprintf(stdout, "vgMakeCurrent: unexpected result %d rebinding the previous context\n", r);
        abort();
    }
    fprintf(stdout, "vgMakeCurrent: out of GPU memory rebinding the previous context\n");
}

int vgMakeCurrent(void *ctx, ALsurface *draw, ALsurface *read)
{
    OVGcontext *previous = VGVAL_vgcurrentcontexthandle;
    OVGcontext *context = (OVGcontext *)ctx;
    ALsurface *previousSurface;
    int previousNonZero;
    int r;

    VGVAL_vgcurrentcontexthandle = context;
    if (!context || !draw || !read)
        return 0;
    previousSurface = context->drawSurface;
    previousNonZero = vgnonzerosizedsurface;
    context->drawSurface = draw;
    vgnonzerosizedsurface = hasSize(draw);

    r = VGHAL_ALmakeCurrent(context);
    if (r == 1)
        return 1;

    context->drawSurface = previousSurface;
    VGVAL_vgcurrentcontexthandle = previous;
    vgnonzerosizedsurface = previousNonZero;
    if (previous)
        rebindPrevious(previous);
    return r;
}

void vgSwapBuffers(void *ctx)
{
    if (ctx && ctx == VGVAL_vgcurrentcontexthandle && vgnonzerosizedsurface == 1)
        VGHAL_ALswapBuffers((OVGcontext *)ctx);
}

void vgFlush(void)
{
    if (VGVAL_vgcurrentcontexthandle)
        VGHAL_ALflush();
}

void vgFinish(void)
{
    OVGcontext *context = VGVAL_vgcurrentcontexthandle;
    if (context && VGHAL_ALfinish() != 0)
        VGFUNC_RecordError(context, VG_OUT_OF_MEMORY_ERROR);
}
