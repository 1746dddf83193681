// The software copy of a whole 480 x 272 screen between client buffers: two conversions and the
// same-format block path.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_swcopy.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

namespace {

constexpr int kWidth = 480, kHeight = 272;

struct Buffer {
    int code, bpp;
    std::vector<uint8_t> bytes;
    Buffer(int code_, int bpp_) : code(code_), bpp(bpp_), bytes(static_cast<size_t>(kWidth * kHeight * bpp_ / 8), 0x5A)
    {
    }
};

void describe(Buffer& src, Buffer& dst)
{
    VGALVAL_src_addr = reinterpret_cast<uintptr_t>(src.bytes.data());
    VGALVAL_dst_addr = reinterpret_cast<uintptr_t>(dst.bytes.data());
    VGALVAL_src_x = VGALVAL_src_y = VGALVAL_dst_x = VGALVAL_dst_y = 0;
    VGALVAL_src_width = VGALVAL_dst_width = kWidth;
    VGALVAL_src_height = VGALVAL_dst_height = kHeight;
    VGALVAL_src_stride = kWidth * src.bpp / 8;
    VGALVAL_dst_stride = kWidth * dst.bpp / 8;
    VGALVAL_src_format = src.code, VGALVAL_src_bpp = src.bpp;
    VGALVAL_dst_format = dst.code, VGALVAL_dst_bpp = dst.bpp;
    VGALVAL_src_linear = VGALVAL_dst_linear = VGALVAL_src_pre = VGALVAL_dst_pre = 0;
    VGALVAL_src_luminance = VGALVAL_dst_luminance = 0;
    VGALVAL_dst_scale_x = VGALVAL_dst_scale_y = 0;
    VGALVAL_src_dst_same_internal_precision = 0;
}

void copyScreen(benchmark::State& state, Buffer src, Buffer dst)
{
    describe(src, dst);
    const OVGrect r{0, 0, kWidth, kHeight};
    for (auto _ : state) {
        benchmark::DoNotOptimize(VGALFUNC_TVGmemCopy(0, 0, &r, 0));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_SoftwareCopy565To8888(benchmark::State& state)
{
    copyScreen(state, Buffer(4, 16), Buffer(1, 32));
}
BENCHMARK(BM_SoftwareCopy565To8888);

void BM_SoftwareCopy4444To565(benchmark::State& state)
{
    copyScreen(state, Buffer(3, 16), Buffer(4, 16));
}
BENCHMARK(BM_SoftwareCopy4444To565);

void BM_SoftwareCopySameFormat(benchmark::State& state)
{
    copyScreen(state, Buffer(4, 16), Buffer(4, 16));
}
BENCHMARK(BM_SoftwareCopySameFormat);

}  // namespace

BENCHMARK_MAIN();
