// Command packets, SPC-FIFO words and FIFO chunking of the register library, checked on the
// words the simulated GPU received and on what it decoded from them.
#include <numeric>
#include <ostream>

#include "gpu_test_support.h"

namespace gputest {
namespace {

// Carries out nothing: these words are no drawing. It keeps the vertex-processor work.
class VpRecorder : public simgpu::Executor {
public:
    void vpStart(uint32_t entry) override { starts.push_back(entry); }
    void vpData(const std::vector<uint32_t>& words) override { packets.push_back(words); }

    std::vector<uint32_t> starts;
    std::vector<std::vector<uint32_t>> packets;
};

class Packets : public GpuTest {
protected:
    void SetUp() override
    {
        pltInit(0);
        gpu.setExecutor(&vp);
        setTerminators(true, true);
    }

    void setTerminators(bool cfifo, bool sfifo)
    {
        cglWriteMemReg32(LX_MISC_CTRL, (cfifo ? 1u : 0u) | (sfifo ? 2u : 0u));
        gpu.clearLog();
        cfifoStart = gpu.cfifoWords().size();
        sfifoStart = gpu.sfifoWords().size();
    }

    std::vector<uint32_t> cfifoSent() const
    {
        return {gpu.cfifoWords().begin() + static_cast<long>(cfifoStart), gpu.cfifoWords().end()};
    }
    std::vector<uint32_t> sfifoSent() const
    {
        return {gpu.sfifoWords().begin() + static_cast<long>(sfifoStart), gpu.sfifoWords().end()};
    }

    size_t cfifoStart = 0;
    size_t sfifoStart = 0;
    VpRecorder vp;
};

std::vector<uint32_t> counting(uint32_t n, uint32_t first = 0x1000)
{
    std::vector<uint32_t> words(n);
    std::iota(words.begin(), words.end(), first);
    return words;
}

// The packet headers found in a command-FIFO word stream, and how many terminators it had.
struct Framing {
    std::vector<uint32_t> headers;
    size_t terminators = 0;
};

Framing frame(const std::vector<uint32_t>& words, bool terminatorOn)
{
    Framing f;
    size_t i = 0;
    while (i < words.size()) {
        uint32_t header = words[i];
        f.headers.push_back(header);
        i += 1 + CGL_PKT_COUNT(header);
        if (terminatorOn && i < words.size() && words[i] == CGL_TERMINATOR) {
            ++f.terminators;
            ++i;
        }
    }
    return f;
}

struct SplitCase {
    uint32_t words;
    bool terminator;
    std::vector<uint32_t> headers;
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << c.words << (c.terminator ? "_words_terminated" : "_words");
}

class PacketSplit : public Packets, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(PacketSplit, RunsSplitIntoPacketsOfAtMost4095Words)
{
    const SplitCase& c = GetParam();
    setTerminators(c.terminator, c.terminator);
    std::vector<uint32_t> data = counting(c.words);

    cglWriteRZRegs(0, data.data(), c.words);

    Framing f = frame(cfifoSent(), c.terminator);
    EXPECT_EQ(f.headers, c.headers);
    EXPECT_EQ(f.terminators, c.terminator ? c.headers.size() : 0u);
    std::vector<RegValue> rz = writes(Unit::RZ);
    ASSERT_EQ(rz.size(), c.words);
    EXPECT_EQ(rz.back(), RegValue(c.words - 1, data.back()));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, PacketSplit,
    ::testing::Values(SplitCase{1, true, {0x47000001}},
                      SplitCase{4095, true, {0x47000fff}},
                      SplitCase{4095, false, {0x47000fff}},
                      SplitCase{4096, true, {0x47000fff, 0x47fff001}},
                      SplitCase{4096, false, {0x47000fff, 0x47fff001}}));

TEST_F(Packets, EdgeUnitRunsSplitAtTheSwapRegister)
{
    std::vector<uint32_t> data(21);  // registers 100 to 120, bit 3 clear
    for (uint32_t i = 0; i < 21; ++i)
        data[i] = 0x1000 + 0x10 * i;
    cglWriteXPTRegs(100, data.data(), 21);
    EXPECT_EQ(frame(cfifoSent(), true).headers, (std::vector<uint32_t>{0x46064000 | 12, 0x46070000 | 9}));

    // With bit 3 set in the value for LX_XPT_SWAP, the edge scan is started first.
    setTerminators(true, true);
    data[12] |= 0x8;
    cglWriteXPTRegs(100, data.data(), 21);
    std::vector<RegValue> xpt = writes(Unit::XPT);
    ASSERT_EQ(xpt.size(), 22u);
    EXPECT_EQ(xpt[11], RegValue(111, data[11]));
    EXPECT_EQ(xpt[12], RegValue(LX_XPT_EDGE_SCAN_START, 1));
    EXPECT_EQ(xpt[13], RegValue(LX_XPT_SWAP, data[12]));
    EXPECT_EQ(xpt[21], RegValue(120, data[20]));
}

TEST_F(Packets, VertexProcessorDataAndStartWordsReachTheExecutor)
{
    cglWriteVPCtrlReg1(LX_VP_IADDR, 947);
    const word32 words[] = {0x80000003, 0x3F800000, 2, 3, CGL_TERMINATOR,
                            CGL_PKT_HEADER(CGL_OP_VP_START, 0, 0), CGL_TERMINATOR,
                            CGL_PKT_HEADER(CGL_OP_PE_WRITE, LX_PE_OVG_CBUF_CVAL, 1), 7, CGL_TERMINATOR};
    cglWriteCFifo32A(words, 10);
    EXPECT_EQ(vp.packets, (std::vector<std::vector<uint32_t>>{{0x3F800000, 2, 3}}));
    EXPECT_EQ(vp.starts, std::vector<uint32_t>{947});
    EXPECT_EQ(countEvents(Stream::CFifo, Kind::VpData, Unit::VPCtrl, 2), 1u);
    EXPECT_EQ(gpu.reg(Unit::PE, LX_PE_OVG_CBUF_CVAL), 7u);
}

TEST_F(Packets, SingleWordWritersUseTheirOwnHeaders)
{
    cglWriteVPConstReg1(LX_VCNST_OVG_PATHID, 0xaa);
    cglWriteVPCtrlReg1(LX_STU_XPTAASC, 0xbb);
    cglWriteVPConstReg1f(LX_VCNST_OVG_AASCALE, 1.0f);
    EXPECT_EQ(cfifoSent(), (std::vector<uint32_t>{0x430ec001, 0xaa, CGL_TERMINATOR,  //
                                                  0x4530c001, 0xbb, CGL_TERMINATOR,  //
                                                  0x430d4001, 0x3f800000, CGL_TERMINATOR}));
    EXPECT_EQ(gpu.reg(Unit::VPConst, LX_VCNST_OVG_PATHID * 4), 0xaau);

    // Runs of constants fill x, y, z, w and go on with the next constant.
    std::vector<uint32_t> data = counting(6);
    cglWriteVPConstRegs(7, data.data(), 6);
    EXPECT_EQ(gpu.reg(Unit::VPConst, 7 * 4 + 3), data[3]);
    EXPECT_EQ(gpu.reg(Unit::VPConst, 8 * 4 + 1), data[5]);
}

TEST_F(Packets, NoTerminatorIsEverSentWhenBothAreOff)
{
    setTerminators(false, false);
    const uint32_t regs[2] = {LX_SPC_WINCLIP_LT, LX_SPC_WINCLIP_RB};
    const uint32_t vals[2] = {1, 2};
    cglWritePEReg1(LX_PE_OVG_CH_MASK, 0xf);
    cglWriteSPCRegs(regs, vals, 2);
    cglReadCFReg(LX_CF_MISC_NT, CGL_READBACK_WAIT);
    cglReadSPCReg(LX_SPC_WINCLIP_RB, CGL_READBACK_WAIT);
    for (uint32_t w : cfifoSent())
        EXPECT_NE(w, CGL_TERMINATOR);
    for (uint32_t w : sfifoSent())
        EXPECT_NE(w, CGL_TERMINATOR);
    EXPECT_EQ(gpu.reg(Unit::SPC, LX_SPC_WINCLIP_RB), 2u);
}

TEST_F(Packets, SpcRegisterWritesGoInGroupsOfFourPairsAndEndWithASync)
{
    const uint32_t regs[6] = {1, 2, 3, 4, 5, 6};
    const uint32_t vals[6] = {11, 12, 13, 14, 15, 16};
    cglWriteSPCRegs(regs, vals, 6);
    EXPECT_EQ(sfifoSent(), (std::vector<uint32_t>{0x1b003, 11, 0x20000, 12, 0x30000, 13, 0x40000, 14,
                                                  CGL_TERMINATOR, 0x5b001, 15, 0x60000, 16, CGL_TERMINATOR,
                                                  0xd000, CGL_TERMINATOR}));
    EXPECT_EQ(gpu.reg(Unit::SPC, 6), 16u);
    expectArmTriggerWaitDisarm();
}

struct TableCase {
    uint32_t tbltype, addr, words;
};

TEST_F(Packets, PixelEngineTablesAreAddressedOnceAndWrittenInPackets)
{
    std::vector<uint32_t> data = counting(4100);
    cglWritePETable(0x20000, 64, data.data(), 4100);
    Framing f = frame(cfifoSent(), true);
    EXPECT_EQ(f.headers, (std::vector<uint32_t>{0x48010001, 0x49000fff, 0x49000005}));
    EXPECT_EQ(gpu.peTable(0x20000 | 64), data[0]);
    EXPECT_EQ(gpu.peTable((0x20000 | 64) + 4099), data[4099]);
}

TEST_F(Packets, InstructionRamLoadsStayWithinTheirBank)
{
    struct Case {
        uint32_t saddr, instructions;
        std::vector<uint32_t> banks;    // LX_TE_IRAM_BANK values written
        std::vector<uint32_t> headers;  // 0x44 packets
        uint32_t firstInstruction;      // where the code lands
    };
    const Case cases[] = {
        {0, 1500, {0, 1}, {0x44000000 | 3072, 0x44000000 | 1428}, 0},
        {6, 2, {0}, {0x44004000 | 6}, 1},                       // taken down to address 4
        {1020 * 4, 10, {0, 1}, {0x44ff0000 | 12, 0x44000000 | 18}, 1020},
    };
    cglucodeLoadable(1);
    cglWriteCFReg1(LX_CF_MISC_NT, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saddr);
        setTerminators(true, true);
        std::vector<uint32_t> code = counting(c.instructions * 3, 0x5000 + c.saddr);
        EXPECT_EQ(cglLoadVPucode(c.saddr, c.instructions, code.data()), 1);

        std::vector<uint32_t> banks, headers;
        for (const Event& e : gpu.log())
            if (e.kind == Kind::Write && e.unit == Unit::VPCtrl && e.reg == LX_TE_IRAM_BANK)
                banks.push_back(e.value);
        for (uint32_t h : frame(cfifoSent(), true).headers)
            if (CGL_PKT_OPCODE(h) == CGL_OP_VPIRAM_LOAD)
                headers.push_back(h);
        EXPECT_EQ(banks, c.banks);
        EXPECT_EQ(headers, c.headers);
        std::vector<uint32_t> loaded(gpu.iram().begin() + c.firstInstruction * 3,
                                     gpu.iram().begin() + (c.firstInstruction + c.instructions) * 3);
        EXPECT_EQ(loaded, code);
        // The input type is set for the load and put back afterwards.
        EXPECT_EQ(writes(Unit::CF).front(), RegValue(LX_CF_MISC_NT, 8));
        EXPECT_EQ(gpu.reg(Unit::CF, LX_CF_MISC_NT), 5u);
    }
}

TEST_F(Packets, InstructionRamLoadWaitsUntilLoadingIsAllowed)
{
    std::vector<uint32_t> first = counting(6, 0x100), second = counting(6, 0x200);
    EXPECT_EQ(cglLoadVPucode(0, 2, first.data()), 0);   // pending
    EXPECT_EQ(cglLoadVPucode(0, 2, second.data()), 0);  // the pending load is kept
    EXPECT_TRUE(cfifoSent().empty());

    cglucodeLoadable(1);
    EXPECT_EQ(cglLoadVPucode(0, 0, nullptr), 1);  // carries out the pending load
    EXPECT_EQ(gpu.iram()[0], first[0]);
    EXPECT_EQ(gpu.iram()[5], first[5]);
    EXPECT_EQ(cglLoadVPucode(0, 0, nullptr), 0);  // nothing left
}

TEST_F(Packets, FifoWritersWaitForFreeSlotsInChunks)
{
    // The FIFOs report exactly one chunk free: a writer that asked for more would wait forever.
    gpu.config().cfifoDepth = 60;
    gpu.config().sfifoDepth = 120;
    cglSetCFifoAvailable(0);
    cglSetSFifoAvailable(0);

    std::vector<uint32_t> packet = counting(130);
    packet[0] = CGL_PKT_HEADER(CGL_OP_RZ_WRITE, 0, 129);
    setTerminators(false, false);
    cglWriteCFifo32A(packet.data(), 130);  // waits for 60, 60 and 10
    EXPECT_EQ(mmioReads(LX_CFIFO_STAT), 3u);
    EXPECT_EQ(CglCFifoAvail, 50u);
    EXPECT_EQ(writes(Unit::RZ).size(), 129u);

    std::vector<uint32_t> syncs(250, CGL_SPC_SYNC);
    cglWriteSFifo32A(syncs.data(), 250);  // waits for 120, 120 and 10
    EXPECT_EQ(mmioReads(LX_SFIFO_STAT), 3u);
    EXPECT_EQ(CglSFifoAvail, 110u);
    EXPECT_EQ(sfifoSent().size(), 250u);
}

TEST_F(Packets, ReadBackReturnsTheRegisterOnlyWhenAskedToWait)
{
    struct Case {
        const char* name;
        Unit unit;
        uint32_t reg;  // as the simulated GPU numbers it
        word32 (*read)(int sw);
    };
    const Case cases[] = {
        {"cf", Unit::CF, LX_CF_OUTPUT_CTRL, [](int sw) { return cglReadCFReg(LX_CF_OUTPUT_CTRL, sw); }},
        {"xpt", Unit::XPT, LX_XPT_MODE, [](int sw) { return cglReadXPTReg(LX_XPT_MODE, sw); }},
        {"vpconst", Unit::VPConst, LX_VCNST_OVG_SCSIZE * 4 + 2,
         [](int sw) { return cglReadVPConstReg(LX_VCNST_OVG_SCSIZE, 6, sw); }},  // component 6 & 3
        {"spc", Unit::SPC, LX_SPC_MASK_PTN1, [](int sw) { return cglReadSPCReg(LX_SPC_MASK_PTN1, sw); }},
    };
    cglWriteCFReg1(LX_CF_OUTPUT_CTRL, 0x11);
    cglWriteXPTReg1(LX_XPT_MODE, 0x22);
    const uint32_t scsize[3] = {0, 0, 0x33};
    cglWriteVPConstRegs(LX_VCNST_OVG_SCSIZE, scsize, 3);
    cglWriteSPCReg1(LX_SPC_MASK_PTN1, 0x44);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gpu.clearLog();
        EXPECT_EQ(c.read(0), 0u);
        EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), c.unit == Unit::SPC ? 1u : 0u);  // only the PE drain

        gpu.clearLog();
        EXPECT_EQ(c.read(CGL_READBACK_WAIT), gpu.reg(c.unit, c.reg));
        EXPECT_NE(gpu.reg(c.unit, c.reg), 0u);
        EXPECT_EQ(countEvents(c.unit == Unit::SPC ? Stream::SFifo : Stream::CFifo, Kind::Read, c.unit, c.reg), 1u);
        expectArmTriggerWaitDisarm();
    }
}

TEST_F(Packets, CopyAreaEntriesArePackedIntoTheirFields)
{
    struct Case {
        const char* name;
        word32 cmode;
        caTable t;
        word32 expected[4];
    };
    const Case cases[] = {
        {"largest block", 0, {0x100, 0x200, 0, 0, 2048, 2048, 0, 0, 0, 0, 0}, {0x7ff7ff, 0, 0x100, 0x200}},
        {"one pixel", CGL_CAT_PIXEL_16BPP | 0x3ffffff, {0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0}, {0x04000000, 0, 0, 0}},
        {"flags and skips", CGL_CAT_PIXEL_8BPP, {1, 2, 0x2005, 0x1fff, 10, 20, 1, 1, 1, 1, 1},
         {0x08000000 | (19 << 12) | 9, 0xffffc005, 1, 2}},
        {"only bit 0 of a flag", 0, {0, 0, 0, 0, 3, 3, 2, 2, 2, 2, 2}, {0x2002, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        word32 words[4];
        cglPackCAT(c.cmode, &c.t, words);
        EXPECT_EQ(std::vector<word32>(words, words + 4), std::vector<word32>(c.expected, c.expected + 4));
    }
    caTable t;
    cglClearCAT(&t);
    t.sxsize = t.sysize = 16;
    t.saddr = 0xabc;
    cglSetCAT(0, 1, &t);
    EXPECT_EQ(gpu.reg(Unit::PE, LX_PE_OVG_TABLE_ADDR), 4u);
    EXPECT_EQ(gpu.peTable(4), 0xf00fu);
    EXPECT_EQ(gpu.peTable(6), 0xabcu);
}

TEST_F(Packets, VertexInputTypesAreShadowedAndWritten)
{
    const struct {
        int type, size;
        word32 code;
    } codes[] = {{1, 2, 5}, {16, 4, 13}, {20, 1, 1}, {0, 4, 12}, {21, 1, 0},
                 {2, 3, 10}, {2, 4, 14}, {3, 1, 28}, {22, 4, 28}};
    for (const auto& c : codes)
        EXPECT_EQ(cglVPInputNTCode(c.type, c.size), c.code) << c.type << "," << c.size;

    cglSetVPInputNT(7, 0, 4, 1);
    EXPECT_EQ((vCFReg[1] >> 5) & 0x1f, 12u);
    EXPECT_EQ(writes(Unit::CF), (std::vector<RegValue>{{LX_CF_NTC1, vCFReg[1]}}));

    setTerminators(true, true);
    cglSetAllVPInputNT(1, 2, 1);  // code 5 in every field, one packet for both words
    const word32 ntc0 = 5 | 5 << 5 | 5 << 10 | 5 << 15 | 5 << 20 | 5 << 25, ntc1 = 5 | 5 << 5;
    EXPECT_EQ(writes(Unit::CF), (std::vector<RegValue>{{LX_CF_NTC0, ntc0}, {LX_CF_NTC1, ntc1}}));
    EXPECT_EQ(frame(cfifoSent(), true).headers, (std::vector<uint32_t>{0x42000002}));
}

TEST_F(Packets, ConfigurationValuesAreReadOnceFromTheRevision)
{
    gpu.config().ipRev = 0x05;  // bit 4 clear, field 5
    EXPECT_EQ(cglGetLXConfig(0), 256);
    EXPECT_EQ(cglGetLXConfig(1), 3072);
    gpu.config().ipRev = 0x17;
    EXPECT_EQ(cglGetLXConfig(0), 256);
    EXPECT_EQ(cglGetLXConfig(1), 3072);
    EXPECT_EQ(cglGetLXConfig(2), -1);
    EXPECT_EQ(mmioReads(LX_IP_REV), 2u);
}

TEST_F(Packets, TheSimulatedGpuRejectsMalformedStreams)
{
    cglWriteCFifo32(CGL_PKT_HEADER(CGL_OP_XPT_WRITE, 111, 2));  // crosses LX_XPT_SWAP
    cglWriteCFifo32(1);
    cglWriteCFifo32(2);
    cglWriteCFifo32(CGL_PKT_HEADER(CGL_OP_PE_WRITE, 0, 1));  // previous terminator missing
    cglWriteCFifo32(3);
    cglWriteCFifo32(CGL_TERMINATOR);
    cglWriteSFifo32(CGL_TERMINATOR);  // terminator without a command
    EXPECT_EQ(gpu.errors().size(), 3u);
    gpu.clearErrors();
}

}  // namespace
}  // namespace gputest
