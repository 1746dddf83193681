// The acceleration layer's life cycle on the simulated GPU: create and destroy, binding a
// context and its surface, swap and finish.
#include "gpu_test_support.h"

#include <algorithm>
#include <cstdlib>

#include "memmanage/gmalloc.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_color.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"
#include "vg/common/vg_share.h"
#include "vgcontextfixture.h"

namespace gputest {
namespace {

class Layer : public GpuTest {
protected:
    vnq::test::TestSurface surface{480, 272, 16, 0, 0};
    OVGcontext ctx{};

    void SetUp() override
    {
        unsetenv("OVG_XPTNUM_LOG2");
        pltInit(0);
        vnq::test::initDefaultContext(ctx, &surface.surface);
    }

    // A fresh pool hands out its first byte: nothing is held.
    static bool allocatorHoldsNothing()
    {
        MemAddr probe = gmMalloc(16, 16);
        bool fresh = probe == cglGetTxmemBase();
        gmFree(probe);
        return fresh;
    }

    void bindWindow()
    {
        surface.disp0.addr = VGALFUNC_VAlloc(480, 272, 16, 32, 0, 0, 0);
        surface.disp1.addr = VGALFUNC_VAlloc(480, 272, 16, 32, 0, 0, 0);
        ASSERT_EQ(VGHAL_ALmakeCurrent(&ctx), 1);
    }

};

TEST_F(Layer, CreateLoadsTheGammaTablesAndDestroyGivesEverythingBack)
{
    ASSERT_EQ(VGHAL_ALcreate(), 1);
    for (word32 table : {0x20000u, 0x30000u}) {
        const unsigned char* entries = table == 0x20000u ? gtable : itable;
        for (word32 offset : {0u, 64u, 128u})
            for (word32 k : {0u, 1u, 63u})
                EXPECT_EQ(gpu.peTable(table + offset + k),
                          entries[4 * k] | entries[4 * k + 1] << 8 | entries[4 * k + 2] << 16 |
                              static_cast<word32>(entries[4 * k + 3]) << 24)
                    << std::hex << table << " + " << offset << " + " << k;
    }
    const word32 first = VGALVAL_lx740cmdbuffer_addr[0];
    EXPECT_EQ(VGHAL_ALcreate(), 1);  // already up: nothing taken
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_addr[0], first);

    EXPECT_EQ(VGHAL_ALdestroy(), 1);
    EXPECT_TRUE(allocatorHoldsNothing());
    // A second destroy frees nothing, not even a block that took an old buffer's place.
    word32 other = VGALFUNC_VAlloc(2048, 1, 32, 16, 0, 0, 0);
    EXPECT_EQ(VGHAL_ALdestroy(), 1);
    EXPECT_NE(gmMalloc(16, 16), other);
}

TEST_F(Layer, AFailingCommandBufferUndoesTheStart)
{
    gmFailBlockAllocations(7, 1);  // four microcode copies, then the third command buffer
    EXPECT_EQ(VGHAL_ALcreate(), 0);
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_size, 0u);
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_addr[0], CGL_NO_ADDRESS);
    EXPECT_TRUE(allocatorHoldsNothing());
}

TEST(LayerFormats, EveryRowOfTheSurfaceFormatTable)
{
    struct Case {
        int bpp, alphabits, order, luminance;
        word32 code;
        int software;
        word32 cmode;
        int keeps;
    } const cases[] = {
        {32, 8, 0, 0, 0, 1, 0, 0},          {32, 8, 1, 0, 1, 11, 0, 0},         {32, 8, 2, 0, 2, 15, 0, 0},
        {32, 8, 3, 0, 3, 20, 0, 0},         {32, 8, 7, 0, 3, 20, 0, 0},         {32, 0, 0, 0, 4, 0, 0, 0},
        {32, 0, 1, 0, 5, 10, 0, 0},         {32, 0, 2, 0, 6, 14, 0, 0},         {32, 0, 3, 0, 7, 19, 0, 0},
        {16, 0, 0, 0, 24, 4, 0x10000000, 0}, {16, 0, 1, 0, 24, 4, 0x10000000, 0}, {16, 0, 2, 0, 25, 18, 0x10000000, 0},
        {16, 0, 3, 0, 25, 18, 0x10000000, 0}, {16, 1, 0, 0, 16, 2, 0x14000000, 0}, {16, 1, 1, 0, 17, 12, 0x1C000000, 0},
        {16, 1, 2, 0, 18, 16, 0x14000000, 0}, {16, 1, 3, 0, 19, 21, 0x1C000000, 0}, {16, 4, 0, 0, 20, 3, 0x18000000, 0},
        {16, 4, 1, 0, 21, 13, 0x18000000, 0}, {16, 4, 2, 0, 22, 17, 0x18000000, 0}, {16, 4, 3, 0, 23, 22, 0x18000000, 0},
        {8, 0, 0, 1, 32, 5, 0x20000000, 0},  {8, 8, 2, 0, 33, 6, 0x20000000, 0},  {4, 4, 0, 0, 48, 9, 0, 1},
        {1, 1, 0, 1, 65, 7, 0, 1},           {1, 1, 0, 0, 64, 8, 0, 1},           {2, 0, 0, 0, 64, 8, 0, 1},
    };
    for (const Case& c : cases) {
        VGALsurfaceformat f = VGALFUNC_lx_surfaceformat(c.bpp, c.alphabits, c.order, c.luminance);
        EXPECT_EQ(f.code, c.code) << c.bpp << "/" << c.alphabits << "/" << c.order;
        EXPECT_EQ(f.software, c.software) << c.bpp << "/" << c.alphabits << "/" << c.order;
        EXPECT_EQ(f.keeps_cmode, c.keeps);
        if (!c.keeps) {
            EXPECT_EQ(f.cmode_msaa, c.cmode) << c.bpp << "/" << c.alphabits << "/" << c.order;
        }
    }
}

TEST_F(Layer, MakeCurrentBindsTheSurface)
{
    ASSERT_EQ(VGHAL_ALcreate(), 1);
    surface.surface.back = 1;
    surface.surface.alphaformat = 0x308C;  // premultiplied
    surface.surface.colorspace = 0x308A;   // linear
    const OVGpaint radial{};
    const OVGimage image{};
    currentpaint = &radial;
    VGALVAL_currentimage = &image;
    gpu.clearLog();
    bindWindow();
    EXPECT_EQ(currentpaint, nullptr);  // the next drawing resends paint and image
    EXPECT_EQ(VGALVAL_currentimage, nullptr);
    EXPECT_EQ(VGALVAL_lx740renderingmode, VGAL_RM_LINEAR | VGAL_RM_PREMULTIPLIED);
    EXPECT_EQ(colorbuffer, &surface.disp1);
    EXPECT_EQ(frontbuffer, &surface.disp0);
    EXPECT_EQ(VGALVAL_surface_format_lx, 24u);
    EXPECT_EQ(VGALVAL_lx740_dirty, 7u);
    EXPECT_EQ(VGALVAL_lx740_ctxdirty, 0xFFFFFFFFu);
    EXPECT_EQ(xptheight, 272);
    RUNCME();
    const std::vector<RegValue> pe = fetched(Unit::PE);
    const std::vector<RegValue> expected{
        {LX_PE_OVG_FRAME_CTRL, 0},          {LX_PE_OVG_BUF_SWAP, 1},          {LX_PE_OVG_CCACHE_FLUSH, 1},
        {LX_PE_OVG_TXC_INVAL, 3},           {LX_PE_OVG_ATEST_EN, 0},          {LX_PE_OVG_CHROMAKEY_CTRL, 0},
        {LX_PE_OVG_TX0_CHROMAKEY_CTRL, 0},  {LX_PE_OVG_TX1_CHROMAKEY_CTRL, 0}, {LX_PE_OVG_ALTCOV_EN, 0},
        {LX_PE_OVG_MSAA_ENABLE, 0},         {LX_PE_OVG_CE_MODE, 0}};
    EXPECT_EQ(pe, expected);
    EXPECT_EQ(fetched(Unit::VPCtrl), (std::vector<RegValue>{{LX_DMA_IN_MODE, 1}, {LX_VP_CTRL3, 0}}));
    EXPECT_EQ(countEvents(Stream::Mmio, Kind::Write, Unit::Mem, LX_SP_WINCLIP_RB), 1u);

    // An empty surface gets no rasterizer buffers.
    lx_xptterm();
    surface.disp1.width = 0;
    ASSERT_EQ(VGHAL_ALmakeCurrent(&ctx), 1);
    EXPECT_EQ(xptheight, 0);
    EXPECT_NE(VGALVAL_lx740renderingmode & VGAL_RM_EMPTY, 0u);
}

TEST_F(Layer, SwapAlternatesTheDisplayBuffers)
{
    ASSERT_EQ(VGHAL_ALcreate(), 1);
    surface.surface.mode = 0;
    bindWindow();
    RUNCME();
    gpu.clearLog();
    VGHAL_ALswapBuffers(&ctx);  // single-buffered: nothing
    EXPECT_TRUE(gpu.log().empty());

    surface.surface.mode = 1;
    bindWindow();
    for (word32 swap : {1u, 0x10000u, 1u}) {
        ALbuffer* drawn = colorbuffer;
        gpu.clearLog();
        VGHAL_ALswapBuffers(&ctx);
        std::vector<RegValue> pe = fetched(Unit::PE);
        ASSERT_FALSE(pe.empty());
        EXPECT_NE(std::find(pe.begin(), pe.end(), RegValue(LX_PE_OVG_BUF_SWAP, swap)), pe.end());
        EXPECT_EQ(frontbuffer, drawn);
        EXPECT_EQ(VGALVAL_colorbuffer_addr, colorbuffer->addr);
        EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 1u);
    }
    surface.multisample.addr = VGALFUNC_VAlloc(480 * 4, 272, 16, 32, 0, 0, 0);
    surface.multisample.bpp = 16;
    surface.multisample.stride = 480 * 4 * 2;
    surface.surface.multisample = &surface.multisample;
    surface.surface.back = 0;
    bindWindow();
    for (word32 swap : {2u, 0x10002u}) {
        gpu.clearLog();
        VGHAL_ALswapBuffers(&ctx);
        std::vector<RegValue> pe = fetched(Unit::PE);
        EXPECT_NE(std::find(pe.begin(), pe.end(), RegValue(LX_PE_OVG_BUF_SWAP, swap)), pe.end());
    }
}

int overflowCount = -1, overflowNumMax = -1;
int overflowCallback(int count, int nummax)
{
    overflowCount = count;
    overflowNumMax = nummax;
    return 512;
}

TEST_F(Layer, FinishHandlesTheRasterizerOverflow)
{
    ASSERT_EQ(VGHAL_ALcreate(), 1);
    bindWindow();
    EXPECT_EQ(VGHAL_ALfinish(), 0);  // no callback

    ALextSetCallbackXPTOVF(overflowCallback);
    cglWriteXPTReg1(LX_XPT_NUMMAX, 1500);
    gpu.scriptReads(LX_INTR_STAT, {0x40});
    gpu.clearLog();
    EXPECT_EQ(VGHAL_ALfinish(), 0);
    EXPECT_EQ(overflowCount, 1024);
    EXPECT_EQ(overflowNumMax, 1500);
    EXPECT_EQ(xptinfo.xsize, 512u);
    EXPECT_EQ(VGALVAL_xptbufstatus, 1);
    EXPECT_EQ(countEvents(Stream::Mmio, Kind::Write, Unit::Mem, LX_INTR_CLEAR), 1u + 2u * ioctls(OVG_IOC_WAIT_INTR));
    RUNCME();
    std::vector<RegValue> xpt = fetched(Unit::XPT);
    EXPECT_NE(std::find(xpt.begin(), xpt.end(), RegValue(LX_XPT_INIT, 4)), xpt.end());
    EXPECT_NE(std::find(xpt.begin(), xpt.end(), RegValue(LX_XPT_NUMMAX, 0)), xpt.end());
    bool cleared = false;
    for (const Event& e : gpu.log())
        cleared = cleared || (e.kind == Kind::Write && e.reg == LX_INTR_CLEAR && e.value == 0xC0);
    EXPECT_TRUE(cleared);
}

TEST_F(Layer, AMultisampledFinishResolvesIntoTheColourBuffer)
{
    ASSERT_EQ(VGHAL_ALcreate(), 1);
    surface.multisample.addr = VGALFUNC_VAlloc(480 * 4, 272, 16, 32, 0, 0, 0);
    surface.multisample.bpp = 16;
    surface.multisample.stride = 480 * 4 * 2;
    surface.surface.multisample = &surface.multisample;
    bindWindow();
    gpu.clearLog();
    EXPECT_EQ(VGHAL_ALfinish(), 0);
    std::vector<word32> entry;
    for (const Event& e : gpu.log())
        if (e.kind == Kind::Write && e.unit == Unit::PETable)
            entry.push_back(e.value);
    ASSERT_EQ(entry.size(), 4u);
    EXPECT_EQ(entry[0], 479u | 0x10000000u | 271u << 12);  // RGB565: colour mode 0x10000000
    EXPECT_EQ(entry[2], surface.multisample.addr);
    EXPECT_EQ(entry[3], surface.disp0.addr);
}

TEST_F(Layer, FinishOnAnEmptySurfaceWaitsForIdle)
{
    ASSERT_EQ(VGHAL_ALcreate(), 1);
    surface.disp0.width = 0;
    ASSERT_EQ(VGHAL_ALmakeCurrent(&ctx), 1);
    gpu.scriptReads(LX_BUSY_STAT, {0, 0x4, 0});
    gpu.clearLog();
    EXPECT_EQ(VGHAL_ALfinish(), 0);
    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 1u);
    EXPECT_GE(mmioReads(LX_BUSY_STAT), 3u);
    expectArmTriggerWaitDisarm();
}

}  // namespace
}  // namespace gputest
