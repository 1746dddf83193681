// GPU start-up and shut-down, command recording and microcode, on the simulated GPU.
#include <gmock/gmock.h>

#include <cstring>
#include <ostream>

#include "gpu_test_support.h"

namespace gputest {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr int kAllResets = CGL_INIT_MM_REGS | CGL_INIT_TEVG_REGS | CGL_INIT_RZ_REGS | CGL_INIT_PE_REGS |
                           CGL_INIT_SPC_REGS | CGL_INIT_XPT_REGS | CGL_INIT_VG_UCODE;

class StartUp : public GpuTest {
protected:
    // Index of the first decoded write of reg to unit.
    long firstWrite(Unit unit, uint32_t reg, uint32_t value) const
    {
        return find([=](const Event& e) {
            return e.kind == Kind::Write && e.unit == unit && e.reg == reg && e.value == value;
        });
    }
};

TEST_F(StartUp, ModeZeroOpensTheGpuAndResetsNothing)
{
    gpu.scriptReads(LX_MISC_CTRL, {0x2});  // the SPC-FIFO terminator is on
    CaptureStdout();
    EXPECT_EQ(cglInit(0), 0);
    std::string out = GetCapturedStdout();

    EXPECT_THAT(out, StartsWith(std::string("CGL-SID: \"") + CglRevisionId + "\"\n"));
    EXPECT_THAT(out, HasSubstr("CFifoBase: "));
    EXPECT_TRUE(gpu.open());
    EXPECT_EQ(CglCFifoTermon, 0);
    EXPECT_EQ(CglSFifoTermon, 1);
    EXPECT_EQ(CglUcodeLoadable, 1);
    EXPECT_TRUE(cglCmdDumpModeEqual(CGL_DUMP_EXECUTE));
    EXPECT_TRUE(gpu.cfifoWords().empty());
    EXPECT_TRUE(gpu.sfifoWords().empty());

    EXPECT_EQ(cglFinish(), 0);
    EXPECT_EQ(CglUcodeLoadable, 0);
    EXPECT_FALSE(gpu.open());
    EXPECT_EQ(gpu.memoryWindow(), 0u);
}

TEST_F(StartUp, EveryModeBitRunsItsResetInOrder)
{
    CaptureStdout();
    cglInit(kAllResets);
    GetCapturedStdout();
    word32 base = cglGetTxmemBase();

    // Memory-mapped reset: the registers in table order, leaving both terminators on.
    long start = find([](const Event& e) {
        return e.stream == Stream::Mmio && e.kind == Kind::Write && e.reg == LX_INTR_MASK && e.value == 0;
    });
    ASSERT_GE(start, 0);
    std::vector<RegValue> mm;
    for (size_t i = static_cast<size_t>(start); i < gpu.log().size() && mm.size() < 6; ++i) {
        const Event& e = gpu.log()[i];
        if (e.stream == Stream::Mmio && e.kind == Kind::Write)
            mm.emplace_back(e.reg, e.value);
    }
    EXPECT_EQ(mm, (std::vector<RegValue>{{LX_INTR_MASK, 0}, {LX_INTR_CLEAR, 0xffffffff}, {LX_MISC_CTRL, 7},
                                         {LX_READBACK_CTRL, 0}, {LX_OPTION_DISABLE, 0}, {LX_MISC_CTRL1, 0}}));
    EXPECT_EQ(CglCFifoTermon, 1);
    EXPECT_EQ(CglSFifoTermon, 1);

    // Then the units, in the order TE, XPT, RZ, PE, SPC, each closed by its sync.
    long te = firstWrite(Unit::VPCtrl, LX_TE_SYNC, 1);
    long xpt = firstWrite(Unit::XPT, LX_XPT_SYNC, 1);
    long rz = firstWrite(Unit::RZ, LX_RZ_VG_MODE, 0);
    long pe = firstWrite(Unit::PE, LX_PE_OVG_CBUF0_ADDR, base);
    long spc = firstWrite(Unit::SPC, LX_SPC_TX0_UVMASK, 0xff00ff);
    long dma = find([](const Event& e) { return e.kind == Kind::Dma; });
    EXPECT_GE(dma, 0);
    EXPECT_LT(dma, te);
    EXPECT_LT(te, xpt);
    EXPECT_LT(xpt, rz);
    EXPECT_LT(rz, pe);
    EXPECT_LT(pe, spc);

    EXPECT_EQ(countEvents(Stream::CFifo, Kind::Write, Unit::RZ, LX_RZ_COLOR), 1u);
    EXPECT_EQ(writes(Unit::RZ).size(), 202u);
    EXPECT_EQ(gpu.reg(Unit::XPT, LX_XPT_YT_MIN), 0x7ff07ffu);
    EXPECT_EQ(gpu.reg(Unit::XPT, LX_XPT_SWAP), 1u);
    EXPECT_EQ(gpu.reg(Unit::PE, LX_PE_OVG_CBUF1_ADDR), base + 0x80000);
    EXPECT_EQ(gpu.reg(Unit::PE, LX_PE_OVG_CBUF2_ADDR), base + 0x100000);
    EXPECT_EQ(gpu.reg(Unit::PE, LX_PE_OVG_AMBUF_ADDR), base + 0x40000);
    EXPECT_EQ(gpu.reg(Unit::PE, LX_PE_OVG_CBUF0_FMT), 0x1000000u);
    EXPECT_EQ(gpu.reg(Unit::SPC, LX_SPC_MASK_PTN1), 0xffffffffu);
    EXPECT_EQ(gpu.select(Stream::SFifo, Kind::Sync, Unit::SPC).size(), 8u);  // one per register, one more
    float one = 1.0f;
    uint32_t oneBits;
    std::memcpy(&oneBits, &one, 4);
    EXPECT_EQ(gpu.reg(Unit::VPConst, LX_VCNST_OVG_CONST00 * 4 + 1), oneBits);
    EXPECT_EQ(gpu.reg(Unit::VPConst, LX_VCNST_OVG_GENFLAG * 4 + 3), 4u);

    expectArmTriggerWaitDisarm();
}

TEST_F(StartUp, TheDrawingMicrocodeIsPlacedPublishedAndItsEntryCodeLoaded)
{
    CaptureStdout();
    cglInit(CGL_INIT_VG_UCODE);
    GetCapturedStdout();
    word32 addr = cglGetTxmemBase() + CGL_VG_UCODE_OFFSET;

    word32 size = 0;
    const word32* image = nullptr;
    ASSERT_EQ(cglGetUcodeInfo(CGL_UCODE_DRAW, &size, &image), 1);
    std::vector<word32> placed(size);
    cglReadMemory32A(addr, placed.data(), size);
    EXPECT_EQ(placed, std::vector<word32>(image, image + size));

    // The resident entry code went into the instruction RAM by DMA.
    const vgdrawModInf_t& entry = CglVGModinfTable[0];
    std::vector<word32> iram(gpu.iram().begin(), gpu.iram().begin() + entry.codesize * 3);
    EXPECT_EQ(iram, std::vector<word32>(image, image + entry.codesize * 3));
    EXPECT_EQ(gpu.reg(Unit::VPCtrl, LX_DMA_IN_SADDR), addr);
    EXPECT_EQ(gpu.reg(Unit::VPCtrl, LX_DMA_IN_COUNT), entry.codesize * 3 - 1);
    EXPECT_EQ(gpu.reg(Unit::VPCtrl, LX_DMA_IN_MODE), 0u);

    // Each overlay module is published in its constant: address, run address, words - 1.
    for (int i = 1; i < CGL_MODINF_COUNT - 1; ++i) {
        const vgdrawModInf_t& m = CglVGModinfTable[i];
        EXPECT_EQ(CglVGGModinfTxAddr[i], addr + m.ofs * 12);
        EXPECT_EQ(gpu.reg(Unit::VPConst, m.regaddr * 4 + 0), addr + m.ofs * 12) << m.regaddr;
        EXPECT_EQ(gpu.reg(Unit::VPConst, m.regaddr * 4 + 1), m.daddr) << m.regaddr;
        EXPECT_EQ(gpu.reg(Unit::VPConst, m.regaddr * 4 + 2), m.codesize * 3 - 1) << m.regaddr;
    }
    expectArmTriggerWaitDisarm();
}

TEST_F(StartUp, TheOverlayTableSkipsTheEntryCodeRecord)
{
    CaptureStdout();
    cglInit(0);
    GetCapturedStdout();
    gpu.clearLog();
    cglVGUcodeTableSet();

    std::vector<uint32_t> constants;
    for (const RegValue& w : writes(Unit::VPConst))
        if (w.first % 4 == 0)
            constants.push_back(w.first / 4);
    std::vector<uint32_t> expected;
    for (uint32_t c = 112; c <= 137; ++c)
        expected.push_back(c);
    EXPECT_EQ(constants, expected);
    EXPECT_EQ(countEvents(Stream::CFifo, Kind::Write, Unit::CF, LX_CF_MISC_NT), 26u);
    EXPECT_EQ(writes(Unit::VPCtrl).back(), RegValue(LX_VP_CTRL3, 0));
}

TEST_F(StartUp, MicrocodeImagesAndTablesAnswerTheirQueries)
{
    const struct {
        int id;
        int result;
        word32 words;
    } cases[] = {{19, 0, 0}, {20, 1, 4011 * 3}, {21, 1, 78 * 3}, {22, 1, 241 * 3}, {23, 1, 201 * 3}, {24, 0, 0}};
    for (const auto& c : cases) {
        word32 size = 99;
        const word32* image = vgucode_mtx;  // an unknown image clears what was there
        EXPECT_EQ(cglGetUcodeInfo(c.id, &size, &image), c.result) << c.id;
        EXPECT_EQ(size, c.words) << c.id;
        EXPECT_EQ(image != nullptr, c.result == 1) << c.id;
    }
    EXPECT_EQ(cglGetUcodeInfo(21, nullptr, nullptr), 1);
    EXPECT_EQ(cglUcode2Memory(24, 0x1234), 0x1234u);

    const vgdrawModInf_t* table = nullptr;
    int entries = 0;
    cglGetModinfInfo(&table, &entries);
    EXPECT_EQ(table, CglVGModinfTable);
    EXPECT_EQ(entries, 28);
    EXPECT_EQ(table[27].regaddr, 0xffffffffu);
    cglGetModinfInfo(nullptr, &entries);  // nothing without a table pointer
}

// ---- Command recording ----

struct RecordCase {
    word32 mode;
    bool recorded;
    bool executed;
};

void PrintTo(const RecordCase& c, std::ostream* os)
{
    *os << "mode_" << c.mode;
}

class Recording : public StartUp, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(Recording, SendsCommandFifoWordsByModeAndSpcWordsAlways)
{
    const RecordCase& c = GetParam();
    CaptureStdout();
    cglInit(CGL_INIT_MM_REGS);  // terminators on
    GetCapturedStdout();
    std::vector<word32> buffer(16, 0);
    size_t cfifoBefore = gpu.cfifoWords().size();
    if (c.mode == CGL_DUMP_RECORD) {
        // Recording only: FIFO-space and interrupt waits return at once.
        gpu.config().cfifoDepth = 0;
        cglSetCFifoAvailable(0);
    }

    cglBeginCmdDump(buffer.data(), c.mode);
    cglWriteRZReg1(LX_RZ_COLOR, 0xff00ff00);
    cglWriteSPCReg1(LX_SPC_RASTER_SIZE, 2);
    if (c.mode == CGL_DUMP_RECORD) {
        cglWaitIntrOn(CGL_INTR_XPT_SYNC);
        cglWaitIntr();
        cglWaitIntrOff(CGL_INTR_XPT_SYNC);
    }
    word32 recorded = cglEndCmdDump();

    const std::vector<word32> packet = {0x470c1001, 0xff00ff00, CGL_TERMINATOR};
    EXPECT_EQ(recorded, c.recorded ? 3u : 0u);
    if (c.recorded) {
        EXPECT_EQ(std::vector<word32>(buffer.begin(), buffer.begin() + 3), packet);
    }
    EXPECT_EQ(gpu.cfifoWords().size() - cfifoBefore, c.executed ? 3u : 0u);
    EXPECT_EQ(gpu.reg(Unit::RZ, LX_RZ_COLOR), c.executed ? 0xff00ff00u : 0u);
    EXPECT_EQ(gpu.reg(Unit::SPC, LX_SPC_RASTER_SIZE), 2u);
    EXPECT_TRUE(cglCmdDumpModeEqual(CGL_DUMP_EXECUTE));
    EXPECT_EQ(CglPutCFifoFunc, &cglPutCFifo32_E);
}

INSTANTIATE_TEST_SUITE_P(Modes, Recording,
                         ::testing::Values(RecordCase{1, false, true}, RecordCase{2, true, false},
                                           RecordCase{3, true, true}, RecordCase{7, false, true}));

TEST_F(StartUp, ARecordingCanBeSuspendedResumedAndReplayed)
{
    CaptureStdout();
    cglInit(CGL_INIT_MM_REGS);
    GetCapturedStdout();
    std::vector<word32> buffer(32, 0);

    cglBeginCmdDump(buffer.data(), CGL_DUMP_RECORD);
    EXPECT_EQ(cglCheckCmdDumpMode(2), 2u);
    cglWriteRZReg1(LX_RZ_COLOR, 1);
    word32* list = nullptr;
    word32 mode = 0, length = 0;
    cglPendingCmdDump(&list, &mode, &length);
    EXPECT_EQ(list, buffer.data());
    EXPECT_EQ(mode, CGL_DUMP_RECORD);
    EXPECT_EQ(length, 3u);
    EXPECT_TRUE(cglCmdDumpModeEqual(CGL_DUMP_EXECUTE));

    cglWriteRZReg1(LX_RZ_COVERAGE, 5);  // while suspended: executed, not recorded
    EXPECT_EQ(gpu.reg(Unit::RZ, LX_RZ_COVERAGE), 5u);

    cglRestoreCmdDumpStat(list, mode, length);
    cglWriteRZReg1(LX_RZ_VG_MODE, 2);
    cglWritePEReg1(LX_PE_OVG_CH_MASK, 0xf);
    cglWriteCFReg1(LX_CF_OUTPUT_CTRL, 4);
    word32 recorded = cglEndCmdDump();
    EXPECT_EQ(recorded, 12u);
    EXPECT_EQ(gpu.reg(Unit::RZ, LX_RZ_COLOR), 0u);

    cglCallCmdDump(buffer.data(), recorded);
    EXPECT_EQ(gpu.reg(Unit::RZ, LX_RZ_COLOR), 1u);
    EXPECT_EQ(gpu.reg(Unit::RZ, LX_RZ_VG_MODE), 2u);
    EXPECT_EQ(gpu.reg(Unit::CF, LX_CF_OUTPUT_CTRL), 4u);
}

TEST_F(StartUp, CommandBuffersInGpuMemoryAreDecodedAtTheirKick)
{
    CaptureStdout();
    cglInit(0);
    GetCapturedStdout();
    word32 buffer = cglGetTxmemBase() + 0x10000;
    std::vector<word32> words(8);
    cglBeginCmdDump(words.data(), CGL_DUMP_RECORD);
    cglWriteXPTReg1(LX_XPT_SYNC_H, 0);  // terminators are off: two words each
    cglWritePEReg1(LX_PE_OVG_SYNC, 1);
    word32 n = cglEndCmdDump();
    ASSERT_EQ(n, 4u);
    cglWriteMemory32A(buffer, words.data(), n);

    gpu.clearLog();
    cglWaitIntrOn(CGL_INTR_PE_SYNC);
    cglWriteMemReg32(LX_CM_ADDR, buffer);
    cglWriteMemReg32(LX_CM_WCOUNT, n - 1);
    cglWaitIntr();
    cglWaitIntrOff(CGL_INTR_PE_SYNC);

    std::vector<Event> kicks = gpu.select(Stream::CmdBuf, Kind::Kick, Unit::None);
    ASSERT_EQ(kicks.size(), 1u);
    EXPECT_EQ(kicks[0].reg, buffer);
    EXPECT_EQ(kicks[0].value, 4u);
    EXPECT_EQ(gpu.select(Stream::CmdBuf, Kind::Write, Unit::PE).size(), 1u);
    expectArmTriggerWaitDisarm();
}

}  // namespace
}  // namespace gputest
