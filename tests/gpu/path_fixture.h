#pragma once

// A fixture for the GPU model's path drawing at register level: a kWidth x kHeight RGBA8888
// surface cleared to 0, the drawing microcode's static part in the instruction RAM, the XPT
// window over the surface, the PE on the constant colour, and command words shaped as the
// library sends them (VP constants, control writes, start words and segment data packets),
// through the command FIFO or a command buffer.

#include <cmath>
#include <cstring>
#include <vector>

#include "gpu_test_support.h"
#include "model/pixel_format.h"

namespace gputest {

constexpr uint32_t kWidth = 128, kHeight = 96;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kStaticInstructions = 875;
constexpr uint32_t kLineEntry = 875, kQuadEntry = 880, kCubicEntry = 887, kArcEntry = 894;
constexpr uint32_t kNoFlip = 0x80000000u;

inline word32 bitsOf(float f)
{
    word32 w;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

// Packets of a command stream, kept apart so that the FIFO can terminate each one.
struct Commands {
    std::vector<std::vector<word32>> packets;

    Commands& ctrl(word32 reg, word32 value)
    {
        packets.push_back({CGL_PKT_HEADER(CGL_OP_VPCTRL_WRITE, reg, 1), value});
        return *this;
    }
    Commands& constant(word32 index, std::vector<float> values)
    {
        std::vector<word32> p{CGL_PKT_HEADER(CGL_OP_VPCONST_WRITE, index * 4, values.size())};
        for (float v : values)
            p.push_back(bitsOf(v));
        packets.push_back(p);
        return *this;
    }
    Commands& start()
    {
        packets.push_back({CGL_PKT_HEADER(CGL_OP_VP_START, 0, 0)});
        return *this;
    }
    Commands& data(std::vector<float> values)
    {
        std::vector<word32> p{CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, values.size())};
        for (float v : values)
            p.push_back(bitsOf(v));
        packets.push_back(p);
        return *this;
    }
    // An entry run on its control word, as the path drawing runs entries 0 and 21.
    Commands& run(word32 entry, word32 control)
    {
        return ctrl(LX_VP_CTRL0, control).ctrl(LX_VP_IADDR, entry).ctrl(LX_TE_SYNC, 0).start().ctrl(LX_TE_SYNC, 0);
    }
    // A fill list: the entry written once, then one data packet a segment.
    Commands& list(word32 entry, const std::vector<std::vector<float>>& segments)
    {
        ctrl(LX_VP_IADDR, entry);
        for (const auto& s : segments)
            data(s);
        return *this;
    }
};

enum class Route { Fifo, Buffer };

// Sends the packets through the command FIFO (terminated as LX_MISC_CTRL asks) or as one
// command buffer at `buffer`.
inline void sendCommands(const Commands& c, Route route, word32 buffer)
{
    const bool terminators = (cglReadMemReg32(LX_MISC_CTRL) & CGL_MISC_CTRL_CFIFO_TERM) != 0;
    std::vector<word32> all;
    for (std::vector<word32> p : c.packets) {
        if (route == Route::Fifo && terminators)
            p.push_back(CGL_TERMINATOR);
        all.insert(all.end(), p.begin(), p.end());
    }
    if (route == Route::Fifo) {
        cglWriteCFifo32A(all.data(), static_cast<word32>(all.size()));
        return;
    }
    cglWriteMemory32A(buffer, all.data(), static_cast<word32>(all.size()));
    cglWriteMemReg32(LX_CM_ADDR, buffer);
    cglWriteMemReg32(LX_CM_WCOUNT, static_cast<word32>(all.size() - 1));
}

// A DMA of `instructions` instructions of a microcode image at `address` to instruction 0;
// the drawing microcode's static part is 875 of them.
inline void loadMicrocode(word32 address, uint32_t instructions)
{
    std::vector<word32> image(instructions * CGL_VP_INST_WORDS, 0);
    cglWriteMemory32A(address, image.data(), static_cast<word32>(image.size()));
    for (auto [reg, value] : {RegValue{LX_DMA_IN_MODE, 1}, RegValue{LX_DMA_IN_SADDR, address}, RegValue{LX_DMA_IN_DADDR, 0},
                              RegValue{LX_DMA_IN_COUNT, instructions * CGL_VP_INST_WORDS - 1}})
        cglWriteVPCtrlReg1(reg, value);
}

class GpuPaths : public GpuTest {
public:  // the tests' case tables act on the fixture
    void SetUp() override
    {
        pltInit(0);
        base = cglGetTxmemBase();
        for (word32 reg : {LX_PE_OVG_BUF_SWAP, LX_PE_OVG_CH_MASK, LX_PE_OVG_MSAA_ENABLE, LX_PE_OVG_BLEN_EN,
                           LX_PE_OVG_AALIAS_EN})
            cglWritePEReg1(reg, 0);
        cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 2);
        cglWritePEReg1(LX_PE_OVG_CCU_MPX_CTRL, 8);
        cglWriteRZReg1(LX_RZ_VG_MODE, 0);
        cglWriteRZReg1(LX_RZ_SCI_ENABLE, 0);
        cglWriteRZReg1(LX_RZ_COLOR, kWhite);
        setTarget(kWidth);
        loadMicrocode(kStaticInstructions);
        const word32 window[] = {0, kHeight - 1, 0, kWidth - 1};
        cglWriteXPTRegs(LX_XPT_SCI_YT, window, 4);
        cglWriteXPTReg1(LX_XPT_XSIZE, 1024);
        cglWriteXPTReg1(LX_XPT_NUMMAX, 0);
        send(Commands()
                 .constant(LX_VCNST_OVG_SCSIZE, {float(kHeight)})
                 .constant(LX_VCNST_OVG_DIV_FILL_TH1, {1.23f, 1.23f, 1.0f, 1.0f})
                 .constant(LX_VCNST_OVG_DIV_FILL_TH2, {0.06f, 0.06f})
                 .constant(LX_VCNST_OVG_DIV_ANGLE, {0.9848077f, 0.17364818f, 0.8660254f, 0.5f}));
        quality(8);
        matrix({1, 0, 0, 1, 0, 0});
    }

    // The colour buffer: `line` pixels a line (four samples a pixel when multisampled).
    void setTarget(uint32_t line, uint32_t samples = 1)
    {
        samples_ = samples;
        std::vector<uint8_t> zero(static_cast<size_t>(line) * samples * 4 * kHeight, 0);
        cglWriteMemory8A(target(), zero.data(), static_cast<word32>(zero.size()));
        cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, target());
        cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 0 | line << 16);
        cglWritePEReg1(LX_PE_OVG_MSAA_ENABLE, samples > 1);
        cglWriteRZReg1(LX_RZ_VG_MODE, samples > 1 ? 0x80000 : 0);
    }

    void loadMicrocode(uint32_t instructions) { gputest::loadMicrocode(microcode(), instructions); }

    // The XPT mode base (0, 4, 8 or 36) with its anti-aliasing scale and the PE coverage unit.
    void quality(uint32_t base, bool evenOdd = false)
    {
        const float scale = base == 0 ? 1.0f : base == 8 ? 4.0f : 2.0f;
        send(Commands().constant(LX_VCNST_OVG_AASCALE, {scale, 1.0f, 1.0f}));
        cglWriteXPTReg1(LX_XPT_MODE, base | (evenOdd ? 2u : 0u));
        cglWritePEReg1(LX_PE_OVG_AALIAS_EN, base == 4 || base == 8 ? 3 : 0);
    }

    // The path matrix {sx, shy, shx, sy, tx, ty} and entry 0 deriving it.
    void matrix(std::vector<float> m, word32 flip = 0)
    {
        send(Commands()
                 .constant(LX_VCNST_OVG_PU2S1, {m[0], m[2], m[4]})
                 .constant(LX_VCNST_OVG_PU2S2, {m[1], m[3], m[5]})
                 .run(0, 1 | flip));
    }

    void send(const Commands& c, Route route = Route::Fifo) const { sendCommands(c, route, commandBuffer()); }

    // The scan as the path drawing starts it (the register library puts
    // LX_XPT_EDGE_SCAN_START = 1 before the swap).
    static void scan() { cglWriteXPTReg1(LX_XPT_SWAP, 60); }

    // A closed polygon of line entries.
    static Commands polygon(const std::vector<std::pair<float, float>>& points)
    {
        std::vector<std::vector<float>> lines;
        for (size_t i = 0; i < points.size(); ++i) {
            const auto& a = points[i];
            const auto& b = points[(i + 1) % points.size()];
            lines.push_back({a.first, a.second, b.first, b.second});
        }
        return Commands().list(kLineEntry, lines);
    }

    // Coverage in 1/255 (the red channel drawn white over black), pixel by pixel, rows from
    // the top of memory; for a multisampled target sample by sample.
    std::vector<uint32_t> coverage() const
    {
        const size_t n = static_cast<size_t>(kWidth) * samples_ * kHeight;
        std::vector<word32> words(n);
        cglReadMemory32A(target(), words.data(), static_cast<word32>(n));
        std::vector<uint32_t> out(n);
        for (size_t i = 0; i < n; ++i)
            out[i] = simgpu::unpackColour(*simgpu::pixelFormat(0), words[i]) >> 24;
        return out;
    }
    static uint32_t at(const std::vector<uint32_t>& c, uint32_t x, uint32_t row) { return c[row * kWidth + x]; }
    // The row of a user y with the usual flip.
    static uint32_t row(float userY) { return kHeight - 1 - static_cast<uint32_t>(std::floor(userY)); }
    static double coveredPixels(const std::vector<uint32_t>& c)
    {
        double sum = 0;
        for (uint32_t v : c)
            sum += v / 255.0;
        return sum;
    }

    word32 target() const { return base + 0x100000; }
    word32 microcode() const { return base + 0x200000; }
    word32 commandBuffer() const { return base + 0x210000; }

    word32 base = 0;
    uint32_t samples_ = 1;
};

}  // namespace gputest
