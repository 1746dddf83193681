// Work memory of the acceleration layer on the simulated GPU: sizes with texture padding,
// cleared blocks for every view of the buffer clear, and the deferred release.
#include "accel_test_support.h"

#include "memmanage/gmalloc.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"

namespace gputest {
namespace {

class WorkMemory : public AccelTest {
protected:
    void TearDown() override
    {
        GpuTest::TearDown();
        VGALFUNC_lx_cmdbuffer_free();
        VGALFUNC_al_lx740_rect_terminate();
    }
};

TEST_F(WorkMemory, TexturePaddingByDepth)
{
    struct Case {
        unsigned long long w, h;
        int bpp;
        unsigned long long padding;
    } const cases[] = {
        {100, 30, 16, 408},  // max((100 x 2 + 4) x 2, 2 x 28)
        {10, 5, 32, 144},    // max((10 x 3 + 6) x 4, 4 x 22)
        {64, 8, 8, 0},       {65, 8, 8, 63},
        {10, 3, 4, 28},      // max(3 + 5 x 5, 27)
        {10, 8, 1, 7},       // max(1, 7)
    };
    for (const Case& c : cases)
        EXPECT_EQ(VGALFUNC_lx_texture_padding(c.w, c.h, c.bpp), c.padding) << c.w << "x" << c.h << "x" << c.bpp;

    // The block really spans pixels and padding: the next block starts right after it.
    word32 texture = VGALFUNC_VAlloc(100, 30, 16, 1, 0, 0, 1);
    word32 next = VGALFUNC_VAlloc(1, 1, 8, 1, 0, 0, 0);
    EXPECT_EQ(next - texture, 6000u + 408u);
}

TEST_F(WorkMemory, SizesThatCannotBeTakenFail)
{
    EXPECT_EQ(VGALFUNC_VAlloc(8192, 8192, 32, 16, 0, 0, 0), CGL_NO_ADDRESS);  // larger than the pool
    EXPECT_EQ(VGALFUNC_VAlloc(50000, 50000, 32, 16, 0, 0, 1), CGL_NO_ADDRESS);  // beyond 2^31 - 1 bytes
    EXPECT_EQ(VGALFUNC_VAlloc(0xFFF9, 1, 8, 16, 1, 0, 0), CGL_NO_ADDRESS);    // cleared width past 0xFFF8
    EXPECT_NE(VGALFUNC_VAlloc(0xFFF8, 1, 8, 16, 1, 0, 0), CGL_NO_ADDRESS);
    WAITCMDDONE();
}

TEST_F(WorkMemory, EveryViewOfTheBufferClearFillsExactlyTheBuffer)
{
    // Row bytes choose the view: 32 -> 32-bit, 16 -> 16-bit, 8 -> 8-bit, 4 -> 4-bit, 3 -> 1-bit
    // of 24 pixels. One- and four-bit views past 2048 pixels or rows are filled in tiles.
    const struct Case {
        word32 stride, rows;
        word32 view;   // the colour buffer's format word: code | line pixels << 16
        size_t fills;  // raster fills, 0 for the fast clear
    } cases[] = {
        {32, 5, 0 | 8u << 16, 0},        {16, 5, 24 | 8u << 16, 0},      {8, 5, 33 | 8u << 16, 0},
        {4, 5, 48 | 8u << 16, 1},        {3, 5, 64 | 24u << 16, 1},      {3, 3000, 64 | 24u << 16, 2},
        {257, 3, 64 | 2056u << 16, 2},   {1028, 2050, 48 | 2056u << 16, 4},
    };
    const word32 base = cglGetTxmemBase() + 0x200000;
    word32 addrReg, fmtReg;
    VGALFUNC_lx_colour_buffer_registers(&addrReg, &fmtReg);
    for (const Case& c : cases) {
        for (word32 cval : {0u, 1u}) {
            SCOPED_TRACE(testing::Message() << "stride " << c.stride << ", " << c.rows << " rows, cval " << cval);
            const word32 size = c.stride * c.rows;
            std::vector<uint8_t> pattern(size + 16, 0x5A);
            cglWriteMemory8A(base, pattern.data(), static_cast<word32>(pattern.size()));
            gpu.clearLog();
            VGALFUNC_lx_clearbuffer(base, c.stride, c.rows, cval);
            WAITCMDDONE();
            EXPECT_EQ(lastValue(writes(Unit::PE), fmtReg), c.view);
            EXPECT_EQ(gpu.select(Stream::SFifo, Kind::Fill, Unit::SPC).size(), 4 * c.fills);
            std::vector<uint8_t> got(pattern.size());
            cglReadMemory8A(base, got.data(), static_cast<word32>(got.size()));
            for (word32 i = 0; i < got.size(); ++i)
                ASSERT_EQ(got[i], i < size ? (cval ? 0xFF : 0x00) : 0x5A) << "byte " << i;
        }
    }
    EXPECT_TRUE(gpu.errors().empty());
}

TEST_F(WorkMemory, ClearedAllocationHasRowsOfWholeEightPixels)
{
    word32 block = VGALFUNC_VAlloc(13, 2, 8, 16, 1, 1, 0);
    word32 after = VGALFUNC_VAlloc(1, 1, 8, 1, 0, 0, 0);
    WAITCMDDONE();
    EXPECT_EQ(after - block, 32u);
    EXPECT_EQ(cglReadMemory32(block + 28), 0xFFFFFFFFu);
}

TEST_F(WorkMemory, TheListIsReleasedAfterOneSynchronisation)
{
    for (int i = 0; i < 255; ++i)
        VGALFUNC_VFree(VGALFUNC_VAlloc(16, 1, 32, 16, 0, 0, 0));
    EXPECT_EQ(VGALVAL_freelistcount, 255);
    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 0u);
    VGALFUNC_VFree(VGALFUNC_VAlloc(16, 1, 32, 16, 0, 0, 0));
    EXPECT_EQ(VGALVAL_freelistcount, 0);
    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 1u);
    expectArmTriggerWaitDisarm();
}

TEST_F(WorkMemory, AnAllocationFailingWhileBlocksWaitSucceedsAfterTheirRelease)
{
    const int big = static_cast<int>(cglGetTxmemSize() / 4 * 3);
    word32 first = VGALFUNC_VAlloc(big, 1, 8, 16, 0, 0, 0);
    ASSERT_NE(first, CGL_NO_ADDRESS);
    VGALFUNC_VFree(first);
    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 0u);
    EXPECT_NE(VGALFUNC_VAlloc(big, 1, 8, 16, 0, 0, 0), CGL_NO_ADDRESS);
    EXPECT_EQ(VGALVAL_freelistcount, 0);
    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 1u);
}

TEST_F(WorkMemory, WithoutCommandBuffersTheListIsReleasedWithoutTheGpu)
{
    word32 block = VGALFUNC_VAlloc(16, 1, 32, 16, 0, 0, 0);
    VGALFUNC_VFree(block);
    VGALFUNC_lx_cmdbuffer_free();
    VGALFUNC_al_lx740_free_all_list(1);
    EXPECT_EQ(VGALVAL_freelistcount, 0);
    EXPECT_TRUE(gpu.select(Stream::CmdBuf, Kind::Kick, Unit::None).empty());
}

}  // namespace
}  // namespace gputest
