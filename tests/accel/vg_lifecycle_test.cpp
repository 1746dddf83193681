// The OpenVG library's life cycle as EGL drives it, on the simulated GPU: start and stop,
// contexts created, bound, swapped and deleted, flush, finish and the error of the current
// context.
#include "gpu_test_support.h"

#include <cstdlib>

#include "memmanage/gmalloc.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_lifecycle.h"
#include "vgcontextfixture.h"

namespace gputest {
namespace {

class Lifecycle : public GpuTest {
protected:
    vnq::test::TestSurface window{480, 272, 16, 0, 0};

    void SetUp() override
    {
        unsetenv("OVG_XPTNUM_LOG2");
        pltInit(0);
        ASSERT_NE(vgInit(), 0);
        giveBuffers(window);
    }

    void TearDown() override
    {
        vgTerminate();
        GpuTest::TearDown();
    }

    static void giveBuffers(vnq::test::TestSurface& s)
    {
        s.disp0.addr = VGALFUNC_VAlloc(s.disp0.width, s.disp0.height, 16, 32, 0, 0, 0);
        s.disp1.addr = VGALFUNC_VAlloc(s.disp1.width, s.disp1.height, 16, 32, 0, 0, 0);
    }

    static OVGcontext* newContext(OVGcontext* share = nullptr)
    {
        return static_cast<OVGcontext*>(vgCreateContext(share));
    }
};

TEST_F(Lifecycle, InitIsOnceAndTerminateLeavesNoContext)
{
    EXPECT_NE(vgInit(), 0);
    OVGcontext* ctx = newContext();
    ASSERT_NE(ctx, nullptr);
    ASSERT_EQ(vgMakeCurrent(ctx, &window.surface, &window.surface), 1);
    EXPECT_EQ(VGVAL_vgcurrentcontexthandle, ctx);
    EXPECT_NE(vgTerminate(), 0);
    EXPECT_EQ(VGVAL_vgcurrentcontexthandle, nullptr);
    EXPECT_EQ(vgisinitialized, 0);
    EXPECT_EQ(vgGetError(), VG_NO_CONTEXT_ERROR);
    vgDeleteContext(ctx);
}

TEST_F(Lifecycle, CreateFailsWhenTheLayerCannotStart)
{
    vgTerminate();
    gmFailBlockAllocations(1, 1000);
    EXPECT_EQ(vgCreateContext(nullptr), nullptr);
    gmFailBlockAllocations(1, 0);
}

TEST_F(Lifecycle, MakeCurrentWithoutSurfacesReleasesOrKeepsTheSurface)
{
    OVGcontext* ctx = newContext();
    ASSERT_EQ(vgMakeCurrent(ctx, &window.surface, &window.surface), 1);
    EXPECT_EQ(vgMakeCurrent(ctx, nullptr, nullptr), 0);
    EXPECT_EQ(VGVAL_vgcurrentcontexthandle, ctx);
    EXPECT_EQ(ctx->drawSurface, &window.surface);
    EXPECT_EQ(vgMakeCurrent(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(VGVAL_vgcurrentcontexthandle, nullptr);
    vgDeleteContext(ctx);
}

TEST_F(Lifecycle, ZeroSizeSurfaceBindsButSwapDoesNothing)
{
    vnq::test::TestSurface empty{0, 272, 16, 0, 0};
    OVGcontext* ctx = newContext();
    ASSERT_EQ(vgMakeCurrent(ctx, &empty.surface, &empty.surface), 1);
    EXPECT_EQ(vgnonzerosizedsurface, 0);
    gpu.clearLog();
    vgSwapBuffers(ctx);
    EXPECT_TRUE(writes(Unit::PE).empty());
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgDeleteContext(ctx);
}

TEST_F(Lifecycle, SwapOfAContextThatIsNotCurrentDoesNothing)
{
    OVGcontext* ctx = newContext();
    OVGcontext* other = newContext();
    ASSERT_EQ(vgMakeCurrent(ctx, &window.surface, &window.surface), 1);
    EXPECT_EQ(vgnonzerosizedsurface, 1);
    const int back = window.surface.back;
    gpu.clearLog();
    vgSwapBuffers(other);
    vgSwapBuffers(nullptr);
    EXPECT_TRUE(writes(Unit::PE).empty());
    vgSwapBuffers(ctx);
    vgFinish();
    EXPECT_FALSE(writes(Unit::PE).empty());
    EXPECT_EQ(window.surface.back, back);  // the surface record is EGL's to toggle
    vgDeleteContext(other);
    vgDeleteContext(ctx);
}

TEST_F(Lifecycle, DeletingTheCurrentContextFinishesFirstAndClearsTheLayersContext)
{
    OVGcontext* ctx = newContext();
    ASSERT_EQ(vgMakeCurrent(ctx, &window.surface, &window.surface), 1);
    EXPECT_EQ(VGALVAL_LX740_ALcontexthandle, ctx);
    gpu.clearLog();
    vgDeleteContext(ctx);
    EXPECT_NE(find([](const Event& e) {
                  return e.stream == Stream::Driver && e.kind == Kind::Ioctl && e.reg == OVG_IOC_WAIT_INTR;
              }),
              -1);
    EXPECT_EQ(VGVAL_vgcurrentcontexthandle, nullptr);
    EXPECT_EQ(VGALVAL_LX740_ALcontexthandle, nullptr);
    EXPECT_EQ(vgGetError(), VG_NO_CONTEXT_ERROR);
    vgDeleteContext(nullptr);
}

TEST_F(Lifecycle, FlushAndFinishNeedACurrentContext)
{
    gpu.clearLog();
    vgFlush();
    vgFinish();
    EXPECT_TRUE(gpu.log().empty());
    OVGcontext* ctx = newContext();
    ASSERT_EQ(vgMakeCurrent(ctx, &window.surface, &window.surface), 1);
    gpu.clearLog();
    vgFlush();
    EXPECT_FALSE(gpu.log().empty());
    vgFinish();
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    vgDeleteContext(ctx);
}

TEST_F(Lifecycle, AFailedMakeCurrentKeepsThePreviousContextAndSurface)
{
    vnq::test::TestSurface tall{480, 600, 16, 0, 0};
    giveBuffers(tall);
    OVGcontext* first = newContext();
    OVGcontext* second = newContext(first);
    ASSERT_EQ(vgMakeCurrent(first, &window.surface, &window.surface), 1);
    gmFailBlockAllocations(1, 2);  // the taller surface's first rasterizer buffer, and its retry
    EXPECT_EQ(vgMakeCurrent(second, &tall.surface, &tall.surface), 0);
    EXPECT_EQ(VGVAL_vgcurrentcontexthandle, first);
    EXPECT_EQ(VGALVAL_LX740_ALcontexthandle, first);
    EXPECT_EQ(first->drawSurface, &window.surface);
    EXPECT_EQ(second->drawSurface, nullptr);
    EXPECT_EQ(VGALVAL_surface_height, 272);
    EXPECT_EQ(vgnonzerosizedsurface, 1);
    vgDeleteContext(second);
    vgDeleteContext(first);
}

TEST_F(Lifecycle, ARebindThatRunsOutOfMemoryKeepsThePreviousContextWithoutBuffers)
{
    vnq::test::TestSurface tall{480, 600, 16, 0, 0};
    giveBuffers(tall);
    OVGcontext* first = newContext();
    OVGcontext* second = newContext(first);
    ASSERT_EQ(vgMakeCurrent(first, &window.surface, &window.surface), 1);
    gmFailBlockAllocations(1, 1000);
    testing::internal::CaptureStdout();
    EXPECT_EQ(vgMakeCurrent(second, &tall.surface, &tall.surface), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    gmFailBlockAllocations(1, 0);
    EXPECT_EQ(VGVAL_vgcurrentcontexthandle, first);
    EXPECT_EQ(first->drawSurface, &window.surface);
    EXPECT_NE(out.find("out of GPU memory"), std::string::npos) << out;
    // Bound again once memory is back.
    EXPECT_EQ(vgMakeCurrent(first, &window.surface, &window.surface), 1);
    vgDeleteContext(second);
    vgDeleteContext(first);
}

}  // namespace
}  // namespace gputest
