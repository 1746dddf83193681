#pragma once

// A fixture for the GPU model's pixel tests: colour buffers of kLine pixels a line and kRows
// lines behind the three register pairs, filled with a byte pattern, and the fast clear and
// SPC fill as the library sends them.

#include <vector>

#include "gpu_test_support.h"
#include "model/pixel_format.h"

namespace gputest {

constexpr uint32_t kLine = 16;  // pixels per line of every test buffer
constexpr uint32_t kRows = 6;

class GpuFills : public GpuTest {
protected:
    void SetUp() override
    {
        pltInit(0);
        base = cglGetTxmemBase();
        for (word32 reg : {LX_PE_OVG_BUF_SWAP, LX_PE_OVG_CH_MASK, LX_PE_OVG_MSAA_ENABLE, LX_PE_OVG_BLEN_EN})
            cglWritePEReg1(reg, 0);
    }

    word32 bufferAddress(unsigned pair) const { return base + 0x10000 + pair * 0x1000; }
    static uint32_t stride(uint32_t bpp, uint32_t line = kLine) { return line * bpp / 8; }

    // Points a register pair at its buffer, filled with a byte pattern. A multisampled buffer
    // passes four times the line length it names.
    void setBuffer(unsigned pair, uint32_t code, uint32_t bpp, uint8_t pattern, uint32_t storedLine = kLine)
    {
        const word32 addrRegs[] = {LX_PE_OVG_CBUF0_ADDR, LX_PE_OVG_CBUF1_ADDR, LX_PE_OVG_CBUF2_ADDR};
        const word32 fmtRegs[] = {LX_PE_OVG_CBUF0_FMT, LX_PE_OVG_CBUF1_FMT, LX_PE_OVG_CBUF2_FMT};
        std::vector<uint8_t> bytes(stride(bpp, storedLine) * kRows, pattern);
        cglWriteMemory8A(bufferAddress(pair), bytes.data(), static_cast<word32>(bytes.size()));
        cglWritePEReg1(addrRegs[pair], bufferAddress(pair));
        cglWritePEReg1(fmtRegs[pair], code | kLine << 16);
    }

    std::vector<uint8_t> bytes(unsigned pair, uint32_t bpp, uint32_t storedLine = kLine) const
    {
        std::vector<uint8_t> out(stride(bpp, storedLine) * kRows);
        cglReadMemory8A(bufferAddress(pair), out.data(), static_cast<word32>(out.size()));
        return out;
    }

    // Pixel (x, y) of buffer bytes read with bytes().
    static uint32_t pixelAt(const std::vector<uint8_t>& bytes, uint32_t x, uint32_t y, uint32_t bpp)
    {
        return simgpu::readPixel(bytes.data() + y * stride(bpp), x, bpp);
    }

    static void fastClear(uint32_t value, uint32_t left, uint32_t top, uint32_t right, uint32_t bottom)
    {
        const word32 words[] = {value, top | left << 16, bottom | right << 16, 1};
        cglWritePERegs(LX_PE_OVG_CBUF_CVAL, words, 4);
    }

    static void spcFill(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t rgba)
    {
        const word32 words[] = {CGL_SPC_FILL, x | y << 16, (w - 1) | (h - 1) << 16, rgba};
        cglWriteSFifo32A(words, 4);
    }

    word32 base = 0;
};

}  // namespace gputest
