// The GPU model's work on a 480 x 272 surface, driven through the register library as the
// library drives it: the fast clear, the slow clear (the rasterizer's window mode), a
// copy-engine copy, plain and converting, and an SPC copy converting through the pixel pipeline.
#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
