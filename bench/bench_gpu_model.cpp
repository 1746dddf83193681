// The GPU model's work on a 480 x 272 surface, driven through the register library as the
// library drives it: the fast clear, the slow clear (the rasterizer's window mode), a
// copy-engine copy, plain and converting, an SPC copy converting through the pixel pipeline,
// and glyph-sized paths flattened and scanned.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "cgl.h"
#include "simgpu.h"

namespace {

constexpr word32 kWidth = 480, kHeight = 272;
constexpr word32 kRgb565 = 24;

word32 surface()
{
    static word32 address = 0;
    if (!address) {
        pltInit(0);
        address = cglGetTxmemBase() + 0x100000;
        cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, address);
        cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, kRgb565 | kWidth << 16);
        simgpu::device().setLogLimit(0);
    }
    return address;
}

void failOnProtocolErrors(benchmark::State& state)
{
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
}

void BM_ModelFastClear(benchmark::State& state)
{
    surface();
    const word32 words[] = {0xF800, 0, (kHeight - 1) | (kWidth - 1) << 16, 1};
    for (auto _ : state)
        cglWritePERegs(LX_PE_OVG_CBUF_CVAL, words, 4);
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelFastClear);

void BM_ModelSlowClear(benchmark::State& state)
{
    surface();
    cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 2);
    cglWritePEReg1(LX_PE_OVG_CCU_MPX_CTRL, 8);
    cglWriteRZReg1(LX_RZ_VG_MODE, 0x10000);
    cglWriteRZReg1(LX_RZ_COLOR, 0x00FF00FF);
    cglWriteXPTReg1(LX_XPT_MODE, 16);
    const word32 window[] = {0, kHeight - 1, 0, kWidth - 1};
    for (auto _ : state) {
        cglWriteXPTRegs(LX_XPT_SCI_YT, window, 4);
        cglWriteXPTReg1(LX_XPT_INIT, 0);
        cglWriteXPTReg1(LX_XPT_SWAP, 0x89);
    }
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelSlowClear);

// Argument: the colour mode (0x04000000 a 16-bit copy, 0x40000000 RGB565 to 32 bits).
void BM_ModelCopy(benchmark::State& state)
{
    const word32 mode = static_cast<word32>(state.range(0));
    caTable table;
    cglClearCAT(&table);
    table.saddr = surface();
    table.daddr = surface() + 0x100000;
    table.sxsize = kWidth;
    table.sysize = kHeight;
    table.same = table.dame = 1;
    cglWritePEReg1(LX_PE_OVG_CE_MODE, 0);
    cglSetCAT(mode, 0, &table);
    for (auto _ : state)
        cglWritePEReg1(LX_PE_OVG_CP_START, 0);
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelCopy)->Arg(0x04000000)->Arg(0x40000000);

// A 4444 texture into the 565 surface through the SPC rectangle command; argument 1 also
// converts to linear and back (both gamma tables) as an sRGB-to-linear copy does.
void BM_ModelSpcCopy(benchmark::State& state)
{
    const word32 texture = surface() + 0x200000;
    cglWriteMemReg32(LX_SP_WINCLIP_LT, 0);
    cglWriteMemReg32(LX_SP_WINCLIP_RB, 0x07FF07FF);
    const word32 state0[][2] = {
        {LX_PE_OVG_CCU_MPX_CTRL, 0},    {LX_PE_OVG_TX1_EN, 1},         {LX_PE_OVG_TX1_ADDR, texture},
        {LX_PE_OVG_TX1_SIZE, kWidth | kHeight << 16}, {LX_PE_OVG_TX1_FMT, 20},
        {LX_PE_OVG_GAMMA_EN, static_cast<word32>(state.range(0) ? 3 : 0)},
    };
    for (const auto& r : state0)
        cglWritePEReg1(r[0], r[1]);
    const word32 words[] = {0x1000, 0, (kWidth - 1) | (kHeight - 1) << 16, 0};
    for (auto _ : state)
        cglWriteSFifo32A(words, 4);
    failOnProtocolErrors(state);
    cglWritePEReg1(LX_PE_OVG_TX1_EN, 0);
    cglWritePEReg1(LX_PE_OVG_GAMMA_EN, 0);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelSpcCopy)->Arg(0)->Arg(1);

word32 floatWord(float f)
{
    word32 w;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

// One glyph-like outline of 40 quadratics, about 20 pixels across, centred at (cx, cy): a
// ring whose control points swing in and out. The words are a fill list as the library builds
// it, and a command buffer of its own.
std::vector<word32> glyphList(float cx, float cy)
{
    constexpr int kSegments = 40;
    constexpr double kPi = 3.14159265358979323846;
    std::vector<word32> words{CGL_PKT_HEADER(CGL_OP_VPCTRL_WRITE, LX_VP_IADDR, 1), 880};
    for (int i = 0; i < kSegments; ++i) {
        const double a0 = 2 * kPi * i / kSegments, a1 = 2 * kPi * (i + 1) / kSegments, am = (a0 + a1) / 2;
        const double rc = i % 2 ? 13 : 7;
        const float data[6] = {float(cx + 10 * std::cos(a0)), float(cy + 10 * std::sin(a0)),
                               float(cx + rc * std::cos(am)), float(cy + rc * std::sin(am)),
                               float(cx + 10 * std::cos(a1)), float(cy + 10 * std::sin(a1))};
        words.push_back(CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, 6));
        for (float f : data)
            words.push_back(floatWord(f));
    }
    return words;
}

void vpConstant(word32 index, std::vector<float> values)
{
    cglWriteVPConstRegsf(index, values.data(), static_cast<word32>(values.size()));
}

// 128 glyphs filled at better quality (4 x 4 samples), one scan each, as the path drawing
// sends them: each fill list from a command buffer, then the scan.
void BM_ModelGlyphPaths(benchmark::State& state)
{
    const word32 target = surface();
    cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, target);
    const word32 microcode = target + 0x200000, lists = target + 0x300000;
    std::vector<word32> image(875 * 3, 0);
    cglWriteMemory32A(microcode, image.data(), static_cast<word32>(image.size()));
    cglWriteVPCtrlReg1(LX_DMA_IN_MODE, 1);
    cglWriteVPCtrlReg1(LX_DMA_IN_SADDR, microcode);
    cglWriteVPCtrlReg1(LX_DMA_IN_DADDR, 0);
    cglWriteVPCtrlReg1(LX_DMA_IN_COUNT, static_cast<word32>(image.size() - 1));
    cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 2);
    cglWritePEReg1(LX_PE_OVG_CCU_MPX_CTRL, 8);
    cglWritePEReg1(LX_PE_OVG_AALIAS_EN, 3);
    cglWriteRZReg1(LX_RZ_VG_MODE, 0x10000);
    cglWriteRZReg1(LX_RZ_COLOR, 0x202020FF);
    const word32 window[] = {0, kHeight - 1, 0, kWidth - 1};
    cglWriteXPTRegs(LX_XPT_SCI_YT, window, 4);
    cglWriteXPTReg1(LX_XPT_XSIZE, 1024);
    cglWriteXPTReg1(LX_XPT_MODE, 8);
    vpConstant(LX_VCNST_OVG_AASCALE, {4, 1, 1});
    vpConstant(LX_VCNST_OVG_SCSIZE, {float(kHeight)});
    vpConstant(LX_VCNST_OVG_DIV_FILL_TH1, {1.23f, 1.23f, 1, 1});
    vpConstant(LX_VCNST_OVG_DIV_FILL_TH2, {0.06f, 0.06f});
    vpConstant(LX_VCNST_OVG_PU2S1, {1, 0, 0});
    vpConstant(LX_VCNST_OVG_PU2S2, {0, 1, 0});
    cglWriteVPCtrlReg1(LX_VP_CTRL0, 1);
    cglWriteVPCtrlReg1(LX_VP_IADDR, 0);
    const word32 start[] = {CGL_PKT_HEADER(CGL_OP_VP_START, 0, 0), CGL_TERMINATOR};
    cglWriteCFifo32A(start, cglReadMemReg32(LX_MISC_CTRL) & CGL_MISC_CTRL_CFIFO_TERM ? 2 : 1);

    std::vector<word32> addresses, counts;
    word32 next = lists;
    for (int n = 0; n < 128; ++n) {
        const std::vector<word32> words = glyphList(float(12 + 24 * (n % 20)), float(16 + 36 * (n / 20)));
        cglWriteMemory32A(next, words.data(), static_cast<word32>(words.size()));
        addresses.push_back(next);
        counts.push_back(static_cast<word32>(words.size()));
        next += static_cast<word32>(words.size() * 4 + 64) & ~31u;
    }
    for (auto _ : state)
        for (size_t n = 0; n < addresses.size(); ++n) {
            cglWriteMemReg32(LX_CM_ADDR, addresses[n]);
            cglWriteMemReg32(LX_CM_WCOUNT, counts[n] - 1);
            cglWriteXPTReg1(LX_XPT_SWAP, 60);
        }
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * 128);
}
BENCHMARK(BM_ModelGlyphPaths);

}  // namespace

BENCHMARK_MAIN();
