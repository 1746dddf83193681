// GPU memory access by width and the buffer layouts written to the GPU.
#include "gpu_test_support.h"

namespace gputest {
namespace {

class GpuMemory : public GpuTest {
protected:
    void SetUp() override
    {
        pltInit(0);
        base = cglGetTxmemBase();
        gpu.clearLog();
    }

    word32 base = 0;
};

TEST_F(GpuMemory, NarrowWritesChangeOnlyTheirPartOfTheWord)
{
    struct Case {
        const char* name;
        void (*write)(word32 addr, word32 data);
        word32 offset, data, expected;
    };
    const Case cases[] = {
        {"16 low", cglWriteMemory16, 0, 0xabcd, 0x1122abcd},   {"16 high", cglWriteMemory16, 2, 0xabcd, 0xabcd3344},
        {"16 high odd", cglWriteMemory16, 3, 0xabcd, 0xabcd3344}, {"8 byte 0", cglWriteMemory8, 0, 0xee, 0x112233ee},
        {"8 byte 1", cglWriteMemory8, 1, 0xee, 0x1122ee44},    {"8 byte 3", cglWriteMemory8, 3, 0x1ee, 0xee223344},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cglWriteMemory32(base + 0x100, 0x11223344);
        c.write(base + 0x100 + c.offset, c.data);
        EXPECT_EQ(cglReadMemory32(base + 0x100), c.expected);
    }
    cglWriteMemory32(base + 0x100, 0x11223344);
    EXPECT_EQ(cglReadMemory16(base + 0x102), 0x1122u);
    EXPECT_EQ(cglReadMemory8(base + 0x101), 0x33u);
    EXPECT_EQ(cglReadMemory8(base + 0x103), 0x11u);
}

TEST_F(GpuMemory, ArraysAndClearsWorkElementByElement)
{
    const uint16_t halves[3] = {0x1111, 0x2222, 0x3333};
    const uint8_t bytes[3] = {0xa1, 0xa2, 0xa3};
    cglClearMemArea32(base, 4, 0xffffffff);
    cglWriteMemory16A(base + 2, halves, 3);
    cglWriteMemory8A(base + 9, bytes, 3);
    EXPECT_EQ(cglReadMemory32(base), 0x1111ffffu);
    EXPECT_EQ(cglReadMemory32(base + 4), 0x33332222u);
    EXPECT_EQ(cglReadMemory32(base + 8), 0xa3a2a1ffu);

    uint16_t readHalves[3];
    uint8_t readBytes[3];
    cglReadMemory16A(base + 2, readHalves, 3);
    cglReadMemory8A(base + 9, readBytes, 3);
    EXPECT_EQ(readHalves[2], 0x3333);
    EXPECT_EQ(readBytes[1], 0xa2);

    cglClearMemArea16(base + 12, 3, 0x5a5a);  // an odd count ends in the low half of a word
    EXPECT_EQ(cglReadMemory32(base + 12), 0x5a5a5a5au);
    EXPECT_EQ(cglReadMemory32(base + 16), 0x00005a5au);
}

TEST_F(GpuMemory, RasterizerBuffersAreLaidOutByEntrySize)
{
    struct Case {
        word32 sm;
        word32 end;
        std::vector<RegValue> regs;
    };
    const Case cases[] = {
        {1, 0x818c0,
         {{LX_XPT_BUF_BASE0, 0x1008}, {LX_XPT_BUF_BASE1, 0x40c08}, {LX_XPT_NUM_BASE0, 0x80900},
          {LX_XPT_NUM_BASE1, 0x80c00}, {LX_XPT_LW_BUF_BASE0, 0x80f00}, {LX_XPT_LW_BUF_BASE1, 0x81200},
          {LX_XPT_SORTBUF_BASE, 0x81500}}},
        {2, 0x101880,
         {{LX_XPT_BUF_BASE0, 0x1008}, {LX_XPT_BUF_BASE1, 0x80808}, {LX_XPT_NUM_BASE0, 0x100100},
          {LX_XPT_NUM_BASE1, 0x100400}, {LX_XPT_LW_BUF_BASE0, 0x100700}, {LX_XPT_LW_BUF_BASE1, 0x100c00},
          {LX_XPT_SORTBUF_BASE, 0x101100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sm);
        gpu.clearLog();
        EXPECT_EQ(cglAssignXPTBuf(0x1003, 480, 272, c.sm), c.end);
        EXPECT_EQ(writes(Unit::XPT), c.regs);
    }
}

TEST_F(GpuMemory, ColourAndMaskBuffersStartOn32ByteBoundaries)
{
    EXPECT_EQ(cglAssignAMBuf(0x1001, 10, 10, 8), 0x1020u + 100);
    EXPECT_EQ(cglAssignCBufVG(0x1001, 10, 10, 16), 0x11e0u + 200);
    EXPECT_EQ(writes(Unit::PE), (std::vector<RegValue>{{LX_PE_OVG_AMBUF_ADDR, 0x1020},
                                                       {LX_PE_OVG_CBUF0_ADDR, 0x1020},
                                                       {LX_PE_OVG_CBUF1_ADDR, 0x1100},
                                                       {LX_PE_OVG_CBUF2_ADDR, 0x11e0}}));

    const word32 code[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(cglAssignVPInst(base + 0x40, 6, code), base + 0x40 + 24);
    EXPECT_EQ(cglReadMemory32(base + 0x54), 6u);
}

}  // namespace
}  // namespace gputest
