#pragma once

// The acceleration layer's parts that GPU-side benchmarks need, started once per process on the
// simulated GPU: the device, work memory and command buffers.

#include "cgl.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"

inline void startLayerParts()
{
    static bool started = false;
    if (started)
        return;
    pltInit(0);
    VGALFUNC_al_lx740_rect_init();
    VGALFUNC_lx_cmdbuffer_alloc();
    started = true;
}
