// The software Gaussian blur of a 480 x 272 screen-sized sRGBA_8888 image in GPU memory of the
// simulated board, deviation 2 in both directions: the path the GPU blur falls back to when its
// work memory runs out.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "accel_bench_support.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_tvg_filter.h"

namespace {

constexpr int kWidth = 480, kHeight = 272;

OVGcontext context{};

OVGimage screenImage()
{
    OVGimage img{};
    img.format = VG_sRGBA_8888;
    img.buffer = VGHAL_ALcreateImage(kWidth, kHeight, 32);
    img.activeRect = {0, 0, kWidth, kHeight};
    std::vector<word32> words(static_cast<size_t>(img.buffer->stride * kHeight / 4));
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<word32>(i * 2654435761u);
    cglWriteMemory32A(img.buffer->addr, words.data(), static_cast<word32>(words.size()));
    return img;
}

void BM_SoftwareGaussianBlur8888Deviation2(benchmark::State& state)
{
    startLayerParts();
    context.filterChannelMask = VG_RED | VG_GREEN | VG_BLUE | VG_ALPHA;
    VGALVAL_LX740_ALcontexthandle = &context;
    OVGimage src = screenImage(), dst = screenImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(VGALFUNC_TVGmemGaussianBlur(&dst, &src, 2.0f, 2.0f, VG_TILE_PAD));
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    VGHAL_ALdeleteImage(src.buffer, &src);
    VGHAL_ALdeleteImage(dst.buffer, &dst);
}
BENCHMARK(BM_SoftwareGaussianBlur8888Deviation2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
