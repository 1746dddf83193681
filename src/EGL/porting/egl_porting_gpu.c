/* GPU start and stop. */
#include "EGL/porting/egl_porting.h"

#include <stdio.h>

#include "cgl.h"
#include "memmanage/gmalloc.h"

EGLBoolean PORTL_InitializeGPU(void)
{
    cglInit(0);
    return EGL_TRUE;
}

/* cglFinish unmaps the GPU memory window, so the allocator's pool, which describes it, is
 * forgotten too: a later start maps a new window and the pool is set up from that. */
void PORTL_TerminateGPU(void)
{
    int in_use = gmBlocksInUse();
    cglFinish();
    if (in_use > 0)
        printf("PORTL_TerminateGPU: %d GPU memory blocks still in use are forgotten\n", in_use);
    gmTerminate();
}
