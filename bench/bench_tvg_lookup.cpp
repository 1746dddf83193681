// The software lookup on a 480 x 272 screen-sized image in GPU memory of the simulated board:
// the path the GPU lookup falls back to when its work memory runs out. The display server fades
// with six such lookups at 80 ms ticks, so one lookup is the per-frame cost.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "accel_bench_support.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_tvg_filter.h"

namespace {

constexpr int kWidth = 480, kHeight = 272;

OVGcontext context{};

void startFilters()
{
    startLayerParts();
    context.filterChannelMask = VG_RED | VG_GREEN | VG_BLUE | VG_ALPHA;
    VGALVAL_LX740_ALcontexthandle = &context;
}

OVGimage screenImage(VGImageFormat format)
{
    OVGimage img{};
    img.format = format;
    img.buffer = VGHAL_ALcreateImage(kWidth, kHeight, 16);
    img.activeRect = {0, 0, kWidth, kHeight};
    std::vector<word32> words(static_cast<size_t>(img.buffer->stride * kHeight / 4));
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<word32>(i * 2654435761u);
    cglWriteMemory32A(img.buffer->addr, words.data(), static_cast<word32>(words.size()));
    return img;
}

void lookup565(benchmark::State& state, VGImageFormat destination, VGboolean outputLinear)
{
    startFilters();
    OVGimage src = screenImage(VG_sRGB_565), dst = screenImage(destination);
    std::array<VGubyte, 256> id{}, alpha{};
    for (int i = 0; i < 256; ++i) {
        id[static_cast<size_t>(i)] = static_cast<VGubyte>(i);
        alpha[static_cast<size_t>(i)] = static_cast<VGubyte>(i * 135 / 255);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(
            VGALFUNC_TVGmemLookup(&dst, &src, id.data(), id.data(), id.data(), alpha.data(), outputLinear, VG_FALSE));
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    VGHAL_ALdeleteImage(src.buffer, &src);
    VGHAL_ALdeleteImage(dst.buffer, &dst);
}

void BM_SoftwareLookup565To565(benchmark::State& state)
{
    lookup565(state, VG_sRGB_565, VG_FALSE);
}
BENCHMARK(BM_SoftwareLookup565To565)->Unit(benchmark::kMillisecond);

// One fade step: identity colours, scaled alpha, output linear, into the 4444 image.
void BM_SoftwareLookupFadeStep565To4444(benchmark::State& state)
{
    lookup565(state, VG_sABGR_4444, VG_TRUE);
}
BENCHMARK(BM_SoftwareLookupFadeStep565To4444)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
