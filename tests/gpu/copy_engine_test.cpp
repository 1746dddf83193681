// The GPU model's copy engine, driven through the register library: copy-area entries started
// by LX_PE_OVG_CP_START, plain copies and conversions, backward copies, the multisample
// resolve, MMU and physical addresses, and what it refuses with nothing written.
#include "gpu_test_support.h"

#include <cstring>
#include <vector>

namespace gputest {
namespace {

constexpr word32 kSourceOffset = 0x20000;
constexpr word32 kDestinationOffset = 0x30000;
constexpr size_t kArea = 0x1000;
constexpr uint8_t kUntouched = 0x5A;
constexpr word32 kApertureBus = 0xA0000000u;

class CopyEngine : public GpuTest {
protected:
    void SetUp() override
    {
        pltInit(0);
        source = cglGetTxmemBase() + kSourceOffset;
        destination = cglGetTxmemBase() + kDestinationOffset;
        reset();
    }

    // Both areas filled with kUntouched, a plain copy engine and no copy reported done.
    void reset() const
    {
        fillBytes(source, kUntouched);
        fillBytes(destination, kUntouched);
        cglWritePEReg1(LX_PE_OVG_CE_MODE, 0);
        cglWritePEReg1(LX_PE_OVG_CH_MASK, 0);
        cglWriteMemReg32(LX_INTR_CLEAR, CGL_INTR_COPY_DONE);
    }

    void TearDown() override
    {
        GpuTest::TearDown();
        gpu.removeAperture(kApertureBus);
    }

    static void fillBytes(word32 address, uint8_t value)
    {
        std::vector<uint8_t> bytes(kArea, value);
        cglWriteMemory8A(address, bytes.data(), static_cast<word32>(bytes.size()));
    }

    static std::vector<uint8_t> readBytes(word32 address, size_t n = kArea)
    {
        std::vector<uint8_t> out(n);
        cglReadMemory8A(address, out.data(), static_cast<word32>(n));
        return out;
    }

    // Stores pixels of 8, 16 or 32 bits from `address` on, little-endian.
    static void writePixels(word32 address, uint32_t bpp, const std::vector<uint32_t>& pixels)
    {
        for (size_t i = 0; i < pixels.size(); ++i) {
            word32 at = address + static_cast<word32>(i * bpp / 8);
            if (bpp == 32)
                cglWriteMemory32(at, pixels[i]);
            else if (bpp == 16)
                cglWriteMemory16(at, pixels[i]);
            else
                cglWriteMemory8(at, pixels[i]);
        }
    }

    static uint32_t readPixel(word32 address, uint32_t bpp)
    {
        return bpp == 32 ? cglReadMemory32(address) : bpp == 16 ? cglReadMemory16(address) : cglReadMemory8(address);
    }

    // The physical (bus) address of a GPU address in the memory window.
    word32 physical(word32 address) const
    {
        return gpu.config().gpuBusBase + static_cast<word32>(address - gpu.memoryWindow());
    }

    static void start(word32 mode, const caTable& table)
    {
        cglSetCAT(mode, 0, &table);
        cglWritePEReg1(LX_PE_OVG_CP_START, 0);
    }

    static caTable entry(word32 from, word32 to, word32 width, word32 height, word32 soff = 0, word32 doff = 0)
    {
        caTable t;
        cglClearCAT(&t);
        t.saddr = from;
        t.daddr = to;
        t.sxsize = width;
        t.sysize = height;
        t.soff = soff;
        t.doff = doff;
        t.same = t.dame = 1;
        return t;
    }

    word32 source = 0, destination = 0;
};

TEST_F(CopyEngine, CopiesAndConvertsPixelExactlyWithLineSkips)
{
    // Two lines of two pixels: a source line of three pixels (skip 1), a destination line of
    // five (skip 3). Sources of 5551, 4444 and 8888 have the layouts of codes 17, 21 and 1.
    struct Case {
        const char* name;
        word32 mode;
        uint32_t sbpp, dbpp;
        std::vector<uint32_t> in;   // pixels 0 and 1 of the first line; the second line swaps them
        std::vector<uint32_t> out;
    } const cases[] = {
        {"32-bit copy", 0x00000000, 32, 32, {0x12345678, 0x00FF8040}, {0x12345678, 0x00FF8040}},
        {"16-bit copy", 0x04000000, 16, 16, {0x1234, 0xFFFF}, {0x1234, 0xFFFF}},
        {"8-bit copy", 0x08000000, 8, 8, {0x5B, 0x00}, {0x5B, 0x00}},
        {"565 to 8888", 0x40000000, 16, 32, {0xF800, 0x8410}, {0xFFFF0000, 0xFF848284}},
        {"5551 to 8888", 0x60000000, 16, 32, {0xFC00, 0x0421}, {0xFFFF0000, 0x00080808}},
        {"5551 to 565", 0x64000000, 16, 16, {0x7FFF, 0x0421}, {0xFFFF, 0x0841}},
        {"4444 to 8888", 0x80000000, 16, 32, {0xF123, 0x0FFF}, {0xFF112233, 0x00FFFFFF}},
        {"4444 to 565", 0x84000000, 16, 16, {0xF123, 0x0FFF}, {0x1106, 0xFFFF}},
        {"8888 to 565", 0x20000000, 32, 16, {0x00FF8040, 0xFF07E31F}, {0xFC08, 0x0703}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        writePixels(source, c.sbpp, {c.in[0], c.in[1], 0, c.in[1], c.in[0]});
        start(c.mode, entry(source, destination, 2, 2, 1, 3));
        const uint32_t db = c.dbpp / 8;
        for (uint32_t y = 0; y < 2; ++y)
            for (uint32_t x = 0; x < 2; ++x)
                EXPECT_EQ(readPixel(destination + (y * 5 + x) * db, c.dbpp), c.out[x ^ y]) << "pixel " << x << "," << y;
        std::vector<uint8_t> bytes = readBytes(destination);
        for (size_t i = 0; i < bytes.size(); ++i) {
            const size_t pixel = i / db, x = pixel % 5, y = pixel / 5;
            if (y >= 2 || x >= 2) {
                ASSERT_EQ(bytes[i], kUntouched) << "byte " << i;
            }
        }
    }
}

TEST_F(CopyEngine, SizeFieldsCountFromOne)
{
    struct Case {
        word32 width, height;
    } const cases[] = {{1, 1}, {2048, 1}, {1, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        reset();
        std::vector<uint8_t> ones(kArea, 0x01);
        cglWriteMemory8A(source, ones.data(), kArea);
        start(0x08000000, entry(source, destination, c.width, c.height));
        std::vector<uint8_t> bytes = readBytes(destination);
        const size_t copied = static_cast<size_t>(c.width) * c.height;
        for (size_t i = 0; i < bytes.size(); ++i)
            ASSERT_EQ(bytes[i], i < copied ? 0x01 : kUntouched) << "byte " << i;
    }
}

TEST_F(CopyEngine, ReverseCopyNamesTheLastPixelAndRunsBackwards)
{
    // Two lines of four 8-bit pixels in lines of eight, inside one buffer that holds 0, 1, 2, ...
    struct Case {
        const char* name;
        bool rvd;
        word32 from, to;  // byte offsets of the named pixels
        std::vector<uint8_t> lines;
    } const cases[] = {
        {"forward, overlapping to the left", false, 1, 0,
         {1, 2, 3, 4, 4, 5, 6, 7, 9, 10, 11, 12, 12, 13, 14, 15}},
        {"backward from the last pixel, overlapping to the right", true, 8 + 3, 8 + 4,
         {0, 0, 1, 2, 3, 5, 6, 7, 8, 8, 9, 10, 11, 13, 14, 15}},
        {"forward, overlapping to the right, repeats its first pixel", false, 0, 1,
         {0, 0, 0, 0, 0, 5, 6, 7, 8, 8, 8, 8, 8, 13, 14, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> counting(16);
        for (size_t i = 0; i < counting.size(); ++i)
            counting[i] = static_cast<uint8_t>(i);
        cglWriteMemory8A(source, counting.data(), 16);
        caTable t = entry(source + c.from, source + c.to, 4, 2, 4, 4);
        t.rvd = c.rvd;
        start(0x08000000, t);
        EXPECT_EQ(readBytes(source, 16), c.lines);
    }
}

TEST_F(CopyEngine, ResolveAveragesFourSamplesPerFieldRounded)
{
    struct Case {
        const char* name;
        word32 mode;
        uint32_t bpp;
        std::vector<uint32_t> samples;
        uint32_t average;
    } const cases[] = {
        {"32-bit", 0x00000000, 32, {0xFF000000, 0xFF000100, 0x00000101, 0x00FF0001}, 0x80400101},
        {"565", 0x10000000, 16, {0xF800, 0x0000, 0x07E0, 0x001F}, 0x4208},
        {"5551", 0x14000000, 16, {0xF801, 0x0001, 0x0000, 0x0000}, 0x4001},
        {"1555", 0x1C000000, 16, {0x8000, 0x8000, 0x8000, 0x001F}, 0x8008},
        {"4444", 0x18000000, 16, {0xF000, 0x0F00, 0x00F0, 0x000F}, 0x4444},
        {"8-bit", 0x20000000, 8, {1, 2, 3, 4}, 3},
        {"8-bit below a half", 0x20000000, 8, {0, 0, 0, 1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        cglWritePEReg1(LX_PE_OVG_CE_MODE, 2);
        // One pixel on each of two lines; the source line is 8 samples (skip 4 samples), the
        // destination line 2 pixels (skip 1).
        const uint32_t b = c.bpp / 8;
        writePixels(source, c.bpp, c.samples);
        writePixels(source + 8 * b, c.bpp, c.samples);
        start(c.mode, entry(source, destination, 1, 2, 4, 1));
        EXPECT_EQ(readPixel(destination, c.bpp), c.average);
        EXPECT_EQ(readPixel(destination + 2 * b, c.bpp), c.average);
        EXPECT_EQ(readBytes(destination + b, b), std::vector<uint8_t>(b, kUntouched));
    }
}

TEST_F(CopyEngine, SameAndDameChooseMmuOrPhysicalResolution)
{
    std::vector<uint8_t> screen(64, 0);
    gpu.addAperture(kApertureBus, screen.data(), screen.size());
    struct Case {
        const char* name;
        bool sourceThroughMmu, destinationThroughMmu;
        bool physicalSource, toScreen;
    } const cases[] = {
        {"both through the MMU", true, true, false, false},
        {"physical source in the window's bus range", false, true, true, false},
        {"into the framebuffer aperture", true, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        std::fill(screen.begin(), screen.end(), 0);
        writePixels(source, 8, {7, 8});
        caTable t = entry(c.physicalSource ? physical(source) : source, c.toScreen ? kApertureBus : destination, 2, 1);
        t.same = c.sourceThroughMmu;
        t.dame = c.destinationThroughMmu;
        start(0x08000000, t);
        if (c.toScreen)
            EXPECT_EQ(std::vector<uint8_t>(screen.begin(), screen.begin() + 3), (std::vector<uint8_t>{7, 8, 0}));
        else
            EXPECT_EQ(readBytes(destination, 3), (std::vector<uint8_t>{7, 8, kUntouched}));
    }
}

TEST_F(CopyEngine, WhatItCannotDoIsAProtocolErrorWithNothingWritten)
{
    std::vector<uint8_t> screen(64, kUntouched);
    struct Case {
        const char* name;
        void (*change)(caTable&, word32& mode, word32 words[2]);
        word32 ceMode;
        word32 channelMask;
        const char* error;
    } const cases[] = {
        {"cdm", [](caTable& t, word32&, word32*) { t.cdm = 1; }, 0, 0, "cdm"},
        {"cpw", [](caTable& t, word32&, word32*) { t.cpw = 1; }, 0, 0, "cpw"},
        {"unknown colour mode", [](caTable&, word32& mode, word32*) { mode = 0x0C000000; }, 0, 0, "unknown colour mode"},
        {"16-bit copy code in a resolve", [](caTable&, word32& mode, word32*) { mode = 0x04000000; }, 2, 0,
         "unknown colour mode"},
        {"unknown engine mode", [](caTable&, word32&, word32*) {}, 1, 0, "LX_PE_OVG_CE_MODE"},
        {"unknown entry bits", [](caTable&, word32&, word32* words) { words[0] |= 0x800; }, 0, 0, "unknown bits"},
        {"source outside memory", [](caTable& t, word32&, word32*) { t.saddr = 0x10; }, 0, 0, "source"},
        {"aperture through the MMU", [](caTable& t, word32&, word32*) { t.daddr = kApertureBus; }, 0, 0,
         "destination"},
        {"backward copy below address 0", [](caTable& t, word32&, word32*) { t.rvd = 1, t.same = 0, t.saddr = 2; }, 0,
         0, "source"},
        {"a side past the end of the aperture",
         [](caTable& t, word32&, word32*) { t.dame = 0, t.daddr = kApertureBus + 60; }, 0, 0, "destination"},
        {"channel mask", [](caTable&, word32&, word32*) {}, 0, 8, "channel mask"},
    };
    gpu.addAperture(kApertureBus, screen.data(), screen.size());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        caTable t = entry(source, destination, 8, 2);
        word32 mode = 0x08000000;
        word32 words[CGL_CAT_WORDS] = {};
        c.change(t, mode, words);
        cglPackCAT(mode, &t, words);
        c.change(t, mode, words);  // a change of the packed words lands after packing
        cglWritePEReg1(LX_PE_OVG_CE_MODE, c.ceMode);
        cglWritePEReg1(LX_PE_OVG_CH_MASK, c.channelMask);
        cglWritePETable(0, 0, words, CGL_CAT_WORDS);
        cglWritePEReg1(LX_PE_OVG_CP_START, 0);
        expectOneError(c.error);
        EXPECT_EQ(readBytes(destination), std::vector<uint8_t>(kArea, kUntouched));
        EXPECT_EQ(screen, std::vector<uint8_t>(64, kUntouched));
        EXPECT_NE(gpu.intrStat() & CGL_INTR_COPY_DONE, 0u) << "the engine still reports the copy done";
    }
}

TEST_F(CopyEngine, StartsFromTheCommandFifoAndFromACommandBuffer)
{
    const word32 buffer = cglGetTxmemBase() + 0x40000;
    for (bool fromBuffer : {false, true}) {
        SCOPED_TRACE(fromBuffer ? "command buffer" : "command FIFO");
        reset();
        writePixels(source, 8, {3, 4, 5});
        word32 words[CGL_CAT_WORDS];
        caTable t = entry(source, destination, 3, 1);
        cglPackCAT(0x08000000, &t, words);
        cglWritePETable(0, 4, words, CGL_CAT_WORDS);  // entry 1
        if (fromBuffer) {
            const word32 packet[] = {CGL_PKT_HEADER(CGL_OP_PE_WRITE, LX_PE_OVG_CP_START, 1), 1};
            cglWriteMemory32A(buffer, packet, 2);
            cglWriteMemReg32(LX_CM_ADDR, buffer);
            cglWriteMemReg32(LX_CM_WCOUNT, 1);
        } else {
            cglWritePEReg1(LX_PE_OVG_CP_START, 1);
        }
        EXPECT_EQ(readBytes(destination, 4), (std::vector<uint8_t>{3, 4, 5, kUntouched}));
    }
}


TEST_F(CopyEngine, OverlappingBlocksMoveIntactWhenTheDirectionFitsTheShift)
{
    // A 5 x 4 block of 16-bit pixels in lines of 8, inside one buffer that names each pixel,
    // moved by (dx, dy); the copy runs backwards from the last pixels when the move goes down or
    // right, as the same-region copy sends it.
    constexpr uint32_t kLinePixels = 8, kLines = 6, kW = 5, kH = 4;
    struct Case {
        const char* name;
        uint32_t sx, sy, dx, dy;
        bool rvd;
    } const cases[] = {
        {"one line down", 1, 0, 1, 1, true},
        {"one line up", 1, 2, 1, 1, false},
        {"two pixels right on the same lines", 0, 1, 2, 1, true},
        {"two pixels left on the same lines", 3, 1, 1, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> before(kLinePixels * kLines);
        for (uint32_t i = 0; i < before.size(); ++i)
            before[i] = 0x100 + i;
        writePixels(source, 16, before);
        std::vector<uint32_t> expected = before;
        for (uint32_t y = 0; y < kH; ++y)
            for (uint32_t x = 0; x < kW; ++x)
                expected[(c.dy + y) * kLinePixels + c.dx + x] = before[(c.sy + y) * kLinePixels + c.sx + x];
        const uint32_t last = c.rvd ? (kH - 1) * kLinePixels + kW - 1 : 0;  // the pixel the addresses name
        caTable t = entry(source + 2 * ((c.sy * kLinePixels + c.sx) + last),
                          source + 2 * ((c.dy * kLinePixels + c.dx) + last), kW, kH, kLinePixels - kW,
                          kLinePixels - kW);
        t.rvd = c.rvd;
        start(0x04000000, t);
        for (uint32_t i = 0; i < before.size(); ++i)
            ASSERT_EQ(readPixel(source + 2 * i, 16), expected[i]) << "pixel " << i % kLinePixels << "," << i / kLinePixels;
    }
}

TEST_F(CopyEngine, BlocksReachTheLimitsOf2048PixelsAnd2048Lines)
{
    struct Case {
        uint32_t bpp, width, height, soff, doff;
        bool rvd;
    } const cases[] = {
        {8, 2048, 2048, 2, 1, false}, {8, 2048, 2048, 2, 1, true}, {32, 2048, 3, 5, 0, true}, {16, 7, 2048, 0, 9, false},
    };
    const word32 from = cglGetTxmemBase() + 0x100000, to = cglGetTxmemBase() + 0x600000;
    const word32 modes[] = {0, 0x08000000, 0x04000000, 0, 0};  // by bytes a pixel
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bits " << c.width << "x" << c.height << (c.rvd ? " reverse" : ""));
        const uint32_t b = c.bpp / 8;
        const size_t sline = (c.width + c.soff) * b, dline = (c.width + c.doff) * b;
        const size_t slen = sline * c.height, dlen = dline * c.height;
        uint8_t* src = gpu.gpuPointer(from, slen);
        uint8_t* dst = gpu.gpuPointer(to, dlen);
        ASSERT_TRUE(src && dst);
        for (size_t i = 0; i < slen; ++i)
            src[i] = static_cast<uint8_t>(i * 7 + i / 251);
        std::fill(dst, dst + dlen, kUntouched);
        const size_t lastS = c.rvd ? slen - c.soff * b - b : 0, lastD = c.rvd ? dlen - c.doff * b - b : 0;
        caTable t = entry(from + static_cast<word32>(lastS), to + static_cast<word32>(lastD), c.width, c.height, c.soff,
                          c.doff);
        t.rvd = c.rvd;
        start(modes[b], t);
        for (uint32_t y = 0; y < c.height; ++y)
            for (size_t i = 0; i < dline; ++i)
                ASSERT_EQ(dst[y * dline + i], i < c.width * b ? src[y * sline + i] : kUntouched)
                    << "line " << y << " byte " << i;
    }
}

}  // namespace
}  // namespace gputest
