// Rasterizer edge buffers: the entry count, the seven buffers' sizes and alignments, their
// announcement, the failure paths and the XPT set-up before drawing.
#include "accel_test_support.h"

#include <cstdlib>
#include <cstring>

#include "memmanage/gmalloc.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

namespace gputest {
namespace {

struct XptNumCase {
    const char* value;  // nullptr: unset
    unsigned count;
};

class XptNum : public ::testing::TestWithParam<XptNumCase> {};

TEST_P(XptNum, ComesFromTheEnvironment)
{
    if (GetParam().value)
        setenv("OVG_XPTNUM_LOG2", GetParam().value, 1);
    else
        unsetenv("OVG_XPTNUM_LOG2");
    EXPECT_EQ(getXptNum(), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Values, XptNum,
                         ::testing::Values(XptNumCase{"12", 2048}, XptNumCase{"0x8", 256}, XptNumCase{nullptr, 1024},
                                           XptNumCase{"0", 1}, XptNumCase{"010", 256}, XptNumCase{"-1", 2048}));

class XptBuffers : public AccelTest {
protected:
    void SetUp() override
    {
        AccelTest::SetUp();
        VGALFUNC_lx_xptclear();
        VGALVAL_surface_width = 480;
        VGALVAL_surface_height = 272;
    }

    // The edge-unit writes since the last call; no buffer register is ever sent without a buffer.
    std::vector<RegValue> xptWrites()
    {
        RUNCME();
        expectNoBaseRegisterWithoutBuffer();
        std::vector<RegValue> out = fetched(Unit::XPT);
        gpu.clearLog();
        return out;
    }

    static std::vector<RegValue> announced()
    {
        std::vector<RegValue> out{{LX_XPT_INIT, 0}, {LX_XPT_WWAIT_SYNC, 0x110A}, {LX_XPT_CACHE_FLUSH, 15}};
        const word32 words[8] = {xptinfo.xsize,   xptinfo.numbase0, xptinfo.numbase1, xptinfo.bufbase0,
                                 xptinfo.bufbase1, xptinfo.lwbase0,  xptinfo.lwbase1,  xptinfo.sortbase};
        for (word32 i = 0; i < 8; ++i)
            out.emplace_back(LX_XPT_XSIZE + i, words[i]);
        return out;
    }

    // Whether any of the buffer-set registers was written (synchronisations aside).
    static bool announcedAnything(const std::vector<RegValue>& writes)
    {
        for (const RegValue& w : writes)
            if (w.first >= LX_XPT_XSIZE && w.first <= LX_XPT_SORTBUF_BASE)
                return true;
        return false;
    }

    void expectNoBaseRegisterWithoutBuffer() const
    {
        for (const Event& e : gpu.log())
            if (e.unit == Unit::XPT && e.reg >= LX_XPT_NUM_BASE0 && e.reg <= LX_XPT_SORTBUF_BASE) {
                EXPECT_NE(e.value, CGL_NO_ADDRESS) << "XPT register " << e.reg;
            }
    }
};

TEST_F(XptBuffers, SizesAlignmentsAndAnnouncement)
{
    for (int multisample : {0, 1}) {
        SCOPED_TRACE(multisample);
        VGALVAL_lx740renderingmode = multisample ? VGAL_RM_MULTISAMPLE : 0;
        ASSERT_EQ(lx_xptinit(1024), 1);
        EXPECT_EQ(xptWrites(), announced());
        // Made one after another from a pool that starts aligned: the gaps are the sizes.
        const word32 edge = 1024 * 272 * 4, count = 384 * 2, lineWidth = (multisample ? 640 : 1152) * 2;
        EXPECT_EQ(xptinfo.bufbase1 - xptinfo.bufbase0, edge);
        EXPECT_EQ(xptinfo.numbase0 - xptinfo.bufbase1, edge);
        EXPECT_EQ(xptinfo.numbase1 - xptinfo.numbase0, count);
        EXPECT_EQ(xptinfo.lwbase0 - xptinfo.numbase1, count);
        EXPECT_EQ(xptinfo.lwbase1 - xptinfo.lwbase0, lineWidth);
        EXPECT_EQ(xptinfo.sortbase - xptinfo.lwbase1, lineWidth);
        for (word32 a : {xptinfo.bufbase0, xptinfo.bufbase1, xptinfo.sortbase})
            EXPECT_EQ(a % 32, 0u);
        for (word32 a : {xptinfo.numbase0, xptinfo.numbase1, xptinfo.lwbase0, xptinfo.lwbase1})
            EXPECT_EQ(a % 256, 0u);
        EXPECT_EQ(xptheight, 272);
        EXPECT_EQ(xptsample, multisample);
        EXPECT_EQ(xptsci.ybottom, 271u);
        EXPECT_EQ(xptsci.xright, 479u);

        const int queued = VGALVAL_freelistcount;
        ASSERT_EQ(lx_xptinit(1024), 1);  // the same again: only the announcement
        EXPECT_EQ(xptWrites(), announced());
        EXPECT_EQ(VGALVAL_freelistcount, queued);
        lx_xptterm();
        VGALFUNC_al_lx740_free_all_list(1);
        gpu.clearLog();
    }
}

TEST_F(XptBuffers, AFailingAllocationKeepsTheOldSetOrNone)
{
    for (int failing = 1; failing <= 7; ++failing) {
        SCOPED_TRACE(failing);
        // Without an old set: nothing is kept and nothing announced.
        gmFailBlockAllocations(failing, 2);
        EXPECT_EQ(lx_xptinit(1024), 0);
        EXPECT_FALSE(announcedAnything(xptWrites()));
        EXPECT_EQ(xptheight, 0);
        EXPECT_EQ(xptinfo.bufbase0, CGL_NO_ADDRESS);
        EXPECT_EQ(xptinfo.sortbase, CGL_NO_ADDRESS);

        // With one: the old set is made again and announced.
        gmFailBlockAllocations(0, 0);
        ASSERT_EQ(lx_xptinit(1024), 1);
        xptWrites();
        VGALVAL_surface_height = 300;
        gmFailBlockAllocations(failing, 2);
        EXPECT_EQ(lx_xptinit(1024), 0);
        // Freeing the replaced buffers first synchronises with the GPU, then the old set is announced.
        std::vector<RegValue> writes = xptWrites();
        const std::vector<RegValue> old = announced();
        ASSERT_GE(writes.size(), old.size());
        EXPECT_EQ(std::vector<RegValue>(writes.end() - static_cast<long>(old.size()), writes.end()), old);
        EXPECT_EQ(xptheight, 272);
        EXPECT_EQ(xptsci.ybottom, 271u);
        EXPECT_NE(xptinfo.sortbase, CGL_NO_ADDRESS);

        // Even the old sizes cannot be had: the set is freed and nothing announced.
        gmFailBlockAllocations(failing, 1000);
        EXPECT_EQ(lx_xptinit(1024), 0);
        EXPECT_FALSE(announcedAnything(xptWrites()));
        EXPECT_EQ(xptheight, 0);
        EXPECT_EQ(xptinfo.bufbase0, CGL_NO_ADDRESS);
        gmFailBlockAllocations(0, 0);
        VGALVAL_surface_height = 272;
        VGALFUNC_al_lx740_free_all_list(1);
        gpu.clearLog();
    }
}

TEST_F(XptBuffers, SetUpBeforeDrawing)
{
    ASSERT_EQ(lx_xptinit(1024), 1);
    ctx.renderingQuality = VG_RENDERING_QUALITY_FASTER;
    xptWrites();
    VGALFUNC_lx_resetxptbuffer(0);
    RUNCME();
    std::vector<RegValue> limits;
    for (const Event& e : gpu.log())
        if (e.unit == Unit::VPConst && e.reg >= LX_VCNST_OVG_SCLMT * 4 && e.reg < LX_VCNST_OVG_SCLMT * 4 + 4)
            limits.emplace_back(e.reg, e.value);
    EXPECT_EQ(limits, (std::vector<RegValue>{{LX_VCNST_OVG_SCLMT * 4, cglFloatTo32F(-0.5f)},
                                             {LX_VCNST_OVG_SCLMT * 4 + 1, cglFloatTo32F(959.5f)},
                                             {LX_VCNST_OVG_SCLMT * 4 + 2, cglFloatTo32F(0.5f)},
                                             {LX_VCNST_OVG_SCLMT * 4 + 3, cglFloatTo32F(543.5f)}}));
    EXPECT_EQ(VGALVAL_lx740renderingmode & 0x1000u, 0x1000u);
    const std::vector<RegValue> pathMode{{LX_XPT_SYNC, 0},         {LX_XPT_CACHE_FLUSH, 15}, {LX_XPT_SCI_YT, 0},
                                         {LX_XPT_SCI_YB, 271},     {LX_XPT_SCI_XL, 0},       {LX_XPT_SCI_XR, 479},
                                         {LX_XPT_SWAP, 1},         {LX_XPT_MODE, 4},         {LX_XPT_BUF_STAT, 0},
                                         {LX_XPT_INIT, 3},         {LX_XPT_WWAIT_SYNC, 0x110A}};
    EXPECT_EQ(xptWrites(), pathMode);
    VGALFUNC_lx_resetxptbuffer(0);  // path again: nothing
    EXPECT_TRUE(xptWrites().empty());
    VGALFUNC_lx_resetxptbuffer(1);  // image: the mode words again
    std::vector<RegValue> image = xptWrites();
    ASSERT_EQ(image.size(), pathMode.size());
    EXPECT_EQ(image[6], RegValue(LX_XPT_SWAP, 0));
    EXPECT_EQ(image[7], RegValue(LX_XPT_MODE, 4 | 64));
    EXPECT_EQ(image[10], RegValue(LX_XPT_WWAIT_SYNC, 0x92001B0A));
}

}  // namespace
}  // namespace gputest
