#pragma once

// Shared pieces of the acceleration-layer tests: a fixture with the GPU started, work memory
// and command buffers ready and a default context on a 480 x 272 window surface.

#include "gpu_test_support.h"

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vgcontextfixture.h"

namespace gputest {

// The last value written to reg among the writes, 0xDEAD when none was.
inline word32 lastValue(const std::vector<RegValue>& writes, word32 reg)
{
    word32 v = 0xDEADu;
    for (const RegValue& rv : writes)
        if (rv.first == reg)
            v = rv.second;
    return v;
}

class AccelTest : public GpuTest {
protected:
    vnq::test::TestSurface surface{480, 272, 16, 0, 0};
    OVGcontext ctx{};

    void SetUp() override
    {
        pltInit(0);
        VGALFUNC_al_lx740_rect_init();
        ASSERT_EQ(VGALFUNC_lx_cmdbuffer_alloc(), 1);
        vnq::test::initDefaultContext(ctx, &surface.surface);
        VGALVAL_LX740_ALcontexthandle = &ctx;
        VGALVAL_lx740renderingmode = 0;
        VGALVAL_lx740_ctxdirty = 0;
        gpu.clearLog();
    }
};

}  // namespace gputest
