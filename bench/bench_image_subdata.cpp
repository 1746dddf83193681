// The display server's image traffic: a whole 480 x 272 sABGR_4444 image filled from client
// memory with vgImageSubData (its image-cache load) and read back with vgGetImageSubData (its
// screen copies), through the acceleration layer on the simulated GPU.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include <VG/openvg.h>

#include "cgl.h"
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_cmdbuf.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/common/vg_context.h"
#include "vg/common/vg_frame.h"

namespace {

constexpr int kWidth = 480, kHeight = 272;

// The parts of the layer the transfers use (work memory, command buffers) and a current
// context; no drawing surface is needed.
void startOpenVG()
{
    static bool started = false;
    if (started)
        return;
    pltInit(0);
    VGALFUNC_al_lx740_rect_init();
    VGALFUNC_lx_cmdbuffer_alloc();
    OVGcontext* context = VGFUNC_CreateVGContext(nullptr);
    VGVAL_vgcurrentcontexthandle = context;
    VGALVAL_LX740_ALcontexthandle = context;
    started = true;
}

std::vector<uint16_t> screenPixels()
{
    std::vector<uint16_t> pixels(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
    return pixels;
}

void BM_ImageSubData4444(benchmark::State& state)
{
    startOpenVG();
    const VGImage image = vgCreateImage(VG_sABGR_4444, kWidth, kHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
    const std::vector<uint16_t> pixels = screenPixels();
    for (auto _ : state) {
        vgImageSubData(image, pixels.data(), kWidth * 2, VG_sABGR_4444, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    if (vgGetError() != VG_NO_ERROR)
        state.SkipWithError("vgImageSubData failed");
    vgDestroyImage(image);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ImageSubData4444);

void BM_GetImageSubData4444(benchmark::State& state)
{
    startOpenVG();
    const VGImage image = vgCreateImage(VG_sABGR_4444, kWidth, kHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
    const std::vector<uint16_t> pixels = screenPixels();
    std::vector<uint16_t> back(pixels.size());
    vgImageSubData(image, pixels.data(), kWidth * 2, VG_sABGR_4444, 0, 0, kWidth, kHeight);
    for (auto _ : state) {
        vgGetImageSubData(image, back.data(), kWidth * 2, VG_sABGR_4444, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    if (vgGetError() != VG_NO_ERROR || back != pixels)
        state.SkipWithError("vgGetImageSubData did not return the image");
    vgDestroyImage(image);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_GetImageSubData4444);

}  // namespace

BENCHMARK_MAIN();
