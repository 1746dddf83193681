// The GPU model's first work, driven through the register library: the pixel engine's buffer
// selection, its fast clear and the SPC fill command, in every depth from 32 to 1 bit; memory
// that resolves to nothing and settings the model does not know are protocol errors.
#include "model_fixture.h"

#include <vector>

#include "model/pixel_format.h"

namespace gputest {
namespace {

TEST_F(GpuFills, FastClearChangesOnlyTheRectangle)
{
    struct Case {
        uint32_t code, bpp;
        std::vector<uint8_t> pixel;  // the value 0xAABBCCDD at the buffer's depth
    } const cases[] = {
        {0, 32, {0xDD, 0xCC, 0xBB, 0xAA}},
        {24, 16, {0xDD, 0xCC}},
        {33, 8, {0xDD}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        setBuffer(0, c.code, c.bpp, 0x5A);
        fastClear(0xAABBCCDD, 2, 1, 5, 3);
        std::vector<uint8_t> got = bytes(0, c.bpp);
        const uint32_t bytesPerPixel = c.bpp / 8;
        for (uint32_t y = 0; y < kRows; ++y)
            for (uint32_t x = 0; x < kLine; ++x) {
                bool inside = x >= 2 && x <= 5 && y >= 1 && y <= 3;
                for (uint32_t b = 0; b < bytesPerPixel; ++b)
                    ASSERT_EQ(got[y * stride(c.bpp) + x * bytesPerPixel + b], inside ? c.pixel[b] : 0x5A)
                        << "pixel " << x << "," << y;
            }
    }
}

TEST_F(GpuFills, SpcFillWritesTheColourInTheBufferFormat)
{
    struct Case {
        uint32_t code, bpp, rgba, native;
    } const cases[] = {
        {0, 32, 0x11223344, 0x11223344},  {1, 32, 0x11223344, 0x44112233}, {3, 32, 0x11223344, 0x44332211},
        {5, 32, 0x11223344, 0xFF112233},  {24, 16, 0xFF8040FF, 0xFC08},    {25, 16, 0xFF8040FF, 0x441F},
        {16, 16, 0xFF804080, 0xFC11},     {17, 16, 0xFF804080, 0xFE08},    {20, 16, 0x12345678, 0x1357},
        {32, 8, 0x9A000001, 0x9A},        {33, 8, 0x9A000077, 0x77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        setBuffer(0, c.code, c.bpp, 0);
        spcFill(1, 2, 3, 1, c.rgba);
        std::vector<uint8_t> got = bytes(0, c.bpp);
        const uint32_t bytesPerPixel = c.bpp / 8;
        for (uint32_t x = 0; x < 5; ++x) {
            uint32_t value = 0;
            for (uint32_t b = 0; b < bytesPerPixel; ++b)
                value |= static_cast<uint32_t>(got[2 * stride(c.bpp) + x * bytesPerPixel + b]) << (8 * b);
            EXPECT_EQ(value, x >= 1 && x <= 3 ? c.native : 0u) << "pixel " << x;
        }
    }
}

TEST_F(GpuFills, SpcFillWritesNibblesAndBits)
{
    struct Case {
        const char* name;
        uint32_t code, bpp;
        uint8_t pattern;
        uint32_t x, w, rgba;
        std::vector<uint8_t> row;  // the filled row; the others keep the pattern
    } const cases[] = {
        // A_4 = A >> 4; pixel 3 is the high nibble of byte 1, pixel 6 the low nibble of byte 3.
        {"A4", 48, 4, 0x00, 3, 4, 0x000000A7, {0x00, 0xA0, 0xAA, 0x0A, 0x00, 0x00, 0x00, 0x00}},
        {"A4 over ones", 48, 4, 0xFF, 0, 1, 0x0000000F, {0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        // A_1 = A >> 7; pixel x is bit x mod 8 of byte x / 8, least significant first.
        {"A1 set", 64, 1, 0x00, 3, 8, 0x00000080, {0xF8, 0x07}},
        {"A1 clear", 64, 1, 0xFF, 3, 8, 0x0000007F, {0x07, 0xF8}},
        {"BW1 from red", 65, 1, 0x00, 9, 1, 0x800000FF, {0x00, 0x02}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setBuffer(0, c.code, c.bpp, c.pattern);
        spcFill(c.x, 2, c.w, 2, c.rgba);
        std::vector<uint8_t> got = bytes(0, c.bpp);
        for (uint32_t y = 0; y < kRows; ++y) {
            std::vector<uint8_t> row(got.begin() + y * stride(c.bpp), got.begin() + (y + 1) * stride(c.bpp));
            if (y == 2 || y == 3)
                EXPECT_EQ(row, c.row) << "row " << y;
            else
                EXPECT_EQ(row, std::vector<uint8_t>(stride(c.bpp), c.pattern)) << "row " << y;
        }
    }
}

TEST_F(GpuFills, SelectionFollowsBufSwapAndShowsInBusyStatus)
{
    struct Case {
        word32 swap;
        unsigned written;
        word32 busyBits;
    } const cases[] = {
        {0, 0, 0},           {1, 1, 1u << 24},  {2, 2, 2u << 24},
        {3, 2, 3u << 24},    {0x10000, 0, 1u << 26}, {0x20001, 1, 1u << 24 | 2u << 26},
    };
    gpu.config().busy = 0x1004;  // bits 0-12 keep their configured value
    for (const Case& c : cases) {
        SCOPED_TRACE(c.swap);
        for (unsigned pair = 0; pair < 3; ++pair)
            setBuffer(pair, 33, 8, 0x11);
        cglWritePEReg1(LX_PE_OVG_BUF_SWAP, c.swap);
        EXPECT_EQ(cglReadMemReg32(LX_BUSY_STAT), 0x1004u | c.busyBits);
        fastClear(0xEE, 0, 0, 0, 0);
        for (unsigned pair = 0; pair < 3; ++pair)
            EXPECT_EQ(bytes(pair, 8)[0], pair == c.written ? 0xEE : 0x11) << "CBUF" << pair;
    }
}

TEST_F(GpuFills, WhatCannotBeModelledIsAProtocolErrorWithMemoryUntouched)
{
    struct Case {
        const char* name;
        void (*setUp)();
        bool fastClearToo;  // blending does not touch the fast clear, which writes past it
        const char* error;
    } const cases[] = {
        {"address outside GPU memory", [] { cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, 0x10); }, true, "outside GPU memory"},
        {"multisample setting", [] { cglWritePEReg1(LX_PE_OVG_MSAA_ENABLE, 2); }, false, "multisample"},
        {"unknown format", [] { cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 9 | kLine << 16); }, true, "unknown format code 9"},
        {"unknown format past the last", [] { cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 66 | kLine << 16); }, true,
         "unknown format code 66"},
        {"vendor format 26", [] { cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 26 | kLine << 16); }, true, "format not modelled"},
        {"vendor format 56", [] { cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 56 | kLine << 16); }, true, "format not modelled"},
        {"vendor format 60", [] { cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 60 | kLine << 16); }, true, "format not modelled"},
        {"blending on for a fill", [] { cglWritePEReg1(LX_PE_OVG_BLEN_EN, 1); }, false, "PE register 832"},
    };
    for (const Case& c : cases) {
        for (bool spc : {false, true}) {
            if (!spc && !c.fastClearToo)
                continue;
            SCOPED_TRACE(testing::Message() << c.name << (spc ? " (SPC fill)" : " (fast clear)"));
            setBuffer(0, 33, 8, 0x33);
            c.setUp();
            if (spc)
                spcFill(0, 0, 4, 4, 0xFFFFFFFF);
            else
                fastClear(0xEE, 0, 0, 3, 3);
            expectOneError(c.error);
            EXPECT_EQ(bytes(0, 8), std::vector<uint8_t>(stride(8) * kRows, 0x33));
            cglWritePEReg1(LX_PE_OVG_MSAA_ENABLE, 0);
            cglWritePEReg1(LX_PE_OVG_BLEN_EN, 0);
        }
    }
}

TEST_F(GpuFills, RegisteredApertureIsWritable)
{
    std::vector<uint8_t> screen(kLine * 2 * kRows, 0);
    gpu.addAperture(0xA0000000u, screen.data(), screen.size());
    cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, 0xA0000000u);
    cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 24 | kLine << 16);
    fastClear(0xF800, 15, 5, 15, 5);
    EXPECT_EQ(screen[screen.size() - 1], 0xF8);
    EXPECT_EQ(screen[screen.size() - 2], 0x00);
    EXPECT_TRUE(gpu.errors().empty());
    fastClear(0xF800, 15, 5, 16, 5);  // one pixel past the aperture
    EXPECT_EQ(gpu.errors().size(), 1u);
    gpu.removeAperture(0xA0000000u);
    gpu.clearErrors();
    fastClear(0x07E0, 0, 0, 0, 0);
    EXPECT_EQ(gpu.errors().size(), 1u);
    EXPECT_EQ(screen[0], 0x00);
    gpu.clearErrors();
}

TEST_F(GpuFills, EveryModelledFormatRoundTrips)
{
    const uint32_t codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 32, 33, 48, 64, 65};
    for (uint32_t code : codes) {
        SCOPED_TRACE(code);
        const simgpu::PixelFormat* format = simgpu::pixelFormat(code);
        ASSERT_NE(format, nullptr);
        const uint32_t bpp = format->bpp;
        const uint32_t mask = bpp == 32 ? 0xFFFFFFFFu : (1u << bpp) - 1;
        // Every native value up to 16 bits, a sweep of 32-bit ones: decoded and encoded again it
        // is itself, with unused bits stored as ones; the format's decoder reads it alike.
        const simgpu::ColourDecoder decode(*format);
        std::vector<uint32_t> values;
        if (bpp <= 16)
            for (uint32_t v = 0; v <= mask; ++v)
                values.push_back(v);
        else
            values = {0, 0xFFFFFFFFu, 0x12345678u, 0x80808080u, 0x7F01FE10u, 0xA5A5A5A5u};
        for (uint32_t v : values) {
            ASSERT_EQ(simgpu::packColour(*format, simgpu::unpackColour(*format, v)), (v | format->fill) & mask)
                << "native value " << v;
            ASSERT_EQ(decode(v), simgpu::unpackColour(*format, v)) << "native value " << v;
        }
        // The format's encoder stores any colour as packColour() does, low bits and all.
        const simgpu::ColourEncoder encode(*format);
        uint32_t colour = 0x01234567u;
        for (int i = 0; i < 4096; ++i, colour = colour * 2654435761u + 0x9E3779B9u)
            ASSERT_EQ(encode(colour), simgpu::packColour(*format, colour)) << "colour " << colour;

        // Through the model: the fast clear stores a native value, the SPC fill the colour read
        // back from it; both pixels hold the same value.
        const uint32_t native = (0x9A5B3C7Du | format->fill) & mask;
        setBuffer(0, code, bpp, 0);
        fastClear(native, 1, 0, 1, 0);
        spcFill(2, 0, 1, 1, simgpu::unpackColour(*format, native));
        std::vector<uint8_t> got = bytes(0, bpp);
        EXPECT_EQ(pixelAt(got, 1, 0, bpp), native);
        EXPECT_EQ(pixelAt(got, 2, 0, bpp), native);
    }
}

TEST_F(GpuFills, FormatWordCarriesCodeAndLineLength)
{
    // Bit 29 alone is a line of 8192 pixels: the row-by-row clears use it for one row; the
    // whole-buffer clear views a 65528-byte line as 8-bit pixels.
    struct Case {
        word32 format;
        uint32_t column;
    } const cases[] = {{33 | 0x20000000u, 5000}, {33 | 0xFFF80000u, 65000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        setBuffer(0, 33, 8, 0);
        cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, c.format);
        fastClear(0x77, c.column, 0, c.column + 1, 0);
        EXPECT_EQ(cglReadMemory8(bufferAddress(0) + c.column), 0x77u);
        EXPECT_EQ(cglReadMemory8(bufferAddress(0) + c.column + 2), 0u);
    }
    setBuffer(0, 33, 8, 0x33);
    fastClear(0x77, 0, 0, kLine, 0);
    expectOneError("beyond the line");
    EXPECT_EQ(bytes(0, 8), std::vector<uint8_t>(stride(8) * kRows, 0x33));
}

TEST_F(GpuFills, SpcFillFieldsAreElevenBits)
{
    struct Case {
        uint32_t x, w;
        bool accepted;
    } const cases[] = {{0x7FF, 1, true}, {0x800, 1, false}, {0, 2048, true}, {0, 2049, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "x " << c.x << " width " << c.w);
        cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, bufferAddress(0));
        cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 64 | 4096 << 16);
        spcFill(c.x, 0, c.w, 1, 0xFF);
        EXPECT_EQ(gpu.errors().size(), c.accepted ? 0u : 1u);
        gpu.clearErrors();
    }
}

TEST_F(GpuFills, ChannelMaskDisablesChannelWrites)
{
    struct Case {
        uint32_t code, bpp, mask, rgba, expected;  // over a buffer of 0x11 bytes
    } const cases[] = {
        {0, 32, 0, 0xAABBCCDD, 0xAABBCCDD},  {0, 32, 8, 0xAABBCCDD, 0x11BBCCDD}, {0, 32, 1, 0xAABBCCDD, 0xAABBCC11},
        {0, 32, 6, 0xAABBCCDD, 0xAA1111DD},  {0, 32, 15, 0xAABBCCDD, 0x11111111}, {24, 16, 4, 0xFFFFFFFF, 0xF91F},
        {32, 8, 8, 0xFFFFFFFF, 0x11},        {32, 8, 7, 0xFFFFFFFF, 0xFF},       {33, 8, 8, 0x000000DD, 0xDD},
        {33, 8, 1, 0x000000DD, 0x11},        {48, 4, 1, 0x000000F0, 0x1},        {48, 4, 2, 0x000000F0, 0xF},
    };
    for (const Case& c : cases) {
        for (bool spc : {false, true}) {
            SCOPED_TRACE(testing::Message() << "code " << c.code << " mask " << c.mask << (spc ? " SPC fill" : " fast clear"));
            setBuffer(0, c.code, c.bpp, 0x11);
            cglWritePEReg1(LX_PE_OVG_CH_MASK, c.mask);
            if (spc)
                spcFill(1, 1, 1, 1, c.rgba);
            else
                fastClear(simgpu::packColour(*simgpu::pixelFormat(c.code), c.rgba), 1, 1, 1, 1);
            std::vector<uint8_t> got = bytes(0, c.bpp);
            EXPECT_EQ(pixelAt(got, 1, 1, c.bpp), c.expected);
            EXPECT_EQ(pixelAt(got, 0, 1, c.bpp), pixelAt(std::vector<uint8_t>(got.size(), 0x11), 0, 1, c.bpp));
        }
    }
}

TEST_F(GpuFills, MultisampledTargetTakesFourSamplesAPixelButTheFastClearRawSamples)
{
    const uint32_t storedLine = 4 * kLine;
    setBuffer(2, 24, 16, 0, storedLine);
    cglWritePEReg1(LX_PE_OVG_BUF_SWAP, 2);
    cglWritePEReg1(LX_PE_OVG_MSAA_ENABLE, 1);
    spcFill(1, 1, 2, 1, 0xFF0000FF);
    fastClear(0x001F, 5, 1, 5, 1);  // sample 5 of a line kLine samples long
    std::vector<uint8_t> got = bytes(2, 16, storedLine);
    for (uint32_t y = 0; y < kRows; ++y)
        for (uint32_t x = 0; x < storedLine; ++x) {
            const uint32_t at = y * storedLine + x;
            uint32_t expected = 0;
            if (at == kLine + 5)
                expected = 0x001F;
            else if (y == 1 && x >= 4 && x < 12)
                expected = 0xF800;
            ASSERT_EQ(simgpu::readPixel(got.data(), at, 16), expected) << "sample " << x << " of line " << y;
        }
}

TEST(GpuLog, KeepsTheNewestEntriesWithinItsLimitAndCountsTheRest)
{
    simgpu::SimGpu& gpu = simgpu::device();
    EXPECT_EQ(gpu.logLimit(), simgpu::SimGpu::kDefaultLogLimit);
    pltInit(0);
    gpu.setLogLimit(8);
    EXPECT_LE(gpu.log().size(), 8u);
    for (word32 i = 0; i < 40; ++i)
        cglWritePEReg1(LX_PE_OVG_CBUF_CVAL, i);
    ASSERT_FALSE(gpu.log().empty());
    EXPECT_LE(gpu.log().size(), 8u);
    EXPECT_LE(gpu.cfifoWords().size(), 8u);
    EXPECT_EQ(gpu.log().back().value, 39u);
    EXPECT_EQ(gpu.cfifoWords().back(), 39u);
    EXPECT_GE(gpu.droppedLogEntries(), 2 * 40u - 16u);
    gpu.setLogLimit(0);
    EXPECT_TRUE(gpu.log().empty());
    cglWritePEReg1(LX_PE_OVG_CBUF_CVAL, 1);
    EXPECT_TRUE(gpu.log().empty());
    EXPECT_TRUE(gpu.cfifoWords().empty());
    EXPECT_EQ(gpu.reg(Unit::PE, LX_PE_OVG_CBUF_CVAL), 1u);  // the work still happens
}

}  // namespace
}  // namespace gputest
