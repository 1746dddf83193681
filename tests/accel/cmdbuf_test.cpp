// The acceleration layer's command buffers on the simulated GPU: packets that do not fit kick
// first, buffers rotate, every kick waits for the command master, WAITCMDDONE waits for the
// pixel-engine sync and a flush never waits.
#include "accel_test_support.h"

namespace gputest {
namespace {

class CommandBuffers : public AccelTest {
protected:
    std::vector<Event> kicks() const { return gpu.select(Stream::CmdBuf, Kind::Kick, Unit::None); }
};

TEST_F(CommandBuffers, APacketThatDoesNotFitKicksFirstAndBuffersRotate)
{
    switchModelOff();  // the lone start word runs no microcode
    const word32 first = VGALVAL_lx740cmdbuffer_addr[0];
    for (int i = 0; i < 1023; ++i)
        PEW(LX_PE_OVG_CBUF_CVAL, static_cast<word32>(i));
    SETCMD(VGAL_VP_START);  // 2047 words: the next two-word packet does not fit
    EXPECT_TRUE(kicks().empty());
    PEW(LX_PE_OVG_CBUF_CVAL, 5000);
    ASSERT_EQ(kicks().size(), 1u);
    EXPECT_EQ(kicks()[0].reg, first);
    EXPECT_EQ(kicks()[0].value, 2047u);
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_count, 2u);

    for (int i = 0; i < 1022; ++i)
        PEW(LX_PE_OVG_CBUF_CVAL, 1);
    PEW(LX_PE_OVG_CBUF_CVAL, 2);  // exactly full: 2 + 1023 x 2 words
    EXPECT_EQ(kicks().size(), 1u);
    PEW(LX_PE_OVG_CBUF_CVAL, 3);
    ASSERT_EQ(kicks().size(), 2u);
    EXPECT_EQ(kicks()[1].reg, VGALVAL_lx740cmdbuffer_addr[1]);
    EXPECT_EQ(kicks()[1].value, 2048u);  // LX_CM_WCOUNT 2047
    RUNCME();
    PEW(LX_PE_OVG_CBUF_CVAL, 4);
    RUNCME();
    ASSERT_EQ(kicks().size(), 4u);
    EXPECT_EQ(kicks()[2].reg, VGALVAL_lx740cmdbuffer_addr[2]);
    EXPECT_EQ(kicks()[3].reg, first);
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_sel, 1);
    EXPECT_EQ(fetched(Unit::PE).back(), RegValue(LX_PE_OVG_CBUF_CVAL, 4));
    EXPECT_EQ(countEvents(Stream::CmdBuf, Kind::VpStart, Unit::VPCtrl, LX_VP_IADDR), 1u);

    RUNCME();  // an empty buffer is not handed over
    EXPECT_EQ(kicks().size(), 4u);
}

TEST_F(CommandBuffers, EveryKickWaitsForTheCommandMaster)
{
    gpu.scriptReads(LX_BUSY_STAT, {CGL_BUSY_CMD_MASTER, CGL_BUSY_CMD_MASTER, 0});
    PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    RUNCME();
    long start = find([](const Event& e) { return e.kind == Kind::Write && e.reg == LX_CM_ADDR; });
    ASSERT_GE(start, 0);
    long lastBusy = -1;
    for (long i = 0; i < start; ++i)
        if (gpu.log()[i].kind == Kind::Read && gpu.log()[i].reg == LX_BUSY_STAT)
            lastBusy = i;
    EXPECT_EQ(mmioReads(LX_BUSY_STAT), 3u);
    EXPECT_GE(lastBusy, 0);
}

TEST_F(CommandBuffers, WaitCmdDoneWaitsForThePixelEngineSyncAndFlushNeverWaits)
{
    VGHAL_ALflush();
    EXPECT_EQ(fetched(Unit::XPT), (std::vector<RegValue>{{LX_XPT_SYNC_H, 0}}));
    EXPECT_EQ(fetched(Unit::PE), (std::vector<RegValue>{{LX_PE_OVG_CCACHE_FLUSH, 1}}));
    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 0u);
    EXPECT_EQ(countEvents(Stream::Mmio, Kind::Write, Unit::Mem, LX_INTR_CLEAR), 0u);
    gpu.clearLog();

    PEW(LX_PE_OVG_CH_MASK, 0);
    WAITCMDDONE();
    EXPECT_EQ(fetched(Unit::PE), (std::vector<RegValue>{{LX_PE_OVG_CH_MASK, 0}, {LX_PE_OVG_SYNC, 1}}));
    EXPECT_EQ(fetched(Unit::XPT), (std::vector<RegValue>{{LX_XPT_SYNC_H, 0}}));
    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 1u);
    expectArmTriggerWaitDisarm();
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_count, 0u);
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_sel, 2);
}

TEST_F(CommandBuffers, RunsAreSplitIntoPacketsThatFit)
{
    switchModelOff();
    std::vector<word32> values(21);
    for (word32 i = 0; i < values.size(); ++i)
        values[i] = i == 12 ? 0x89 : i;
    VGALFUNC_lx_writeregs(CGL_OP_XPT_WRITE, 100, values.data(), 21);  // 100..120 around LX_XPT_SWAP
    std::vector<word32> long_run(5000, 7);
    VGALFUNC_lx_writeregs(CGL_OP_RZ_WRITE, 0, long_run.data(), 5000);
    RUNCME();
    std::vector<RegValue> xpt = fetched(Unit::XPT);
    ASSERT_EQ(xpt.size(), 22u);
    EXPECT_EQ(xpt[12], RegValue(LX_XPT_EDGE_SCAN_START, 1));  // before LX_XPT_SWAP with bit 3
    EXPECT_EQ(xpt[13], RegValue(LX_XPT_SWAP, 0x89));
    EXPECT_EQ(xpt.back(), RegValue(120, 20));
    std::vector<RegValue> rz = fetched(Unit::RZ);
    ASSERT_EQ(rz.size(), 5000u);
    EXPECT_EQ(rz.back(), RegValue(4999, 7));
    // The edge-unit packets, then three packets of 2047, 2047 and 906 words, each whole in a buffer.
    EXPECT_EQ(kicks().size(), 4u);
}

TEST_F(CommandBuffers, ReleasingTwiceFreesNothingMore)
{
    VGALFUNC_lx_cmdbuffer_free();
    EXPECT_EQ(VGALVAL_freelistcount, 3);
    VGALFUNC_lx_cmdbuffer_free();
    EXPECT_EQ(VGALVAL_freelistcount, 3);
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_addr[0], CGL_NO_ADDRESS);
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_size, 0u);
}

using CommandBuffersDeathTest = CommandBuffers;

TEST_F(CommandBuffersDeathTest, RawWordsLongerThanABufferAreAnAssertion)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<word32> words(2049, 0);
    EXPECT_DEATH(SETCMDA(words.data(), 2049), "count <= VGALVAL_lx740cmdbuffer_size");
}

}  // namespace
}  // namespace gputest
