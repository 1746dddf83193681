// A full-screen vgDrawImage end to end on the GPU model: a 480 x 272 sRGB_565 image onto a
// 480 x 272 RGB565 window made current through EGL, sampled nearest (argument 0, the image
// allows only non-antialiased quality) and bilinear (argument 1).
#include <benchmark/benchmark.h>

#include <VG/openvg.h>

#include <vector>

#include "simgpu.h"
#include "vgwindowscene.h"

namespace {

using vnq::bench::VgWindowScene;
constexpr int kWidth = VgWindowScene::kWidth, kHeight = VgWindowScene::kHeight;

VgWindowScene& scene()
{
    static VgWindowScene s;
    return s;
}

void BM_DrawImageFullScreen(benchmark::State& state)
{
    if (!scene().ready) {
        state.SkipWithError("no OpenVG surface on the simulated GPU");
        return;
    }
    const VGbitfield quality = state.range(0) ? VG_IMAGE_QUALITY_NONANTIALIASED | VG_IMAGE_QUALITY_BETTER
                                              : VG_IMAGE_QUALITY_NONANTIALIASED;
    const VGImage image = vgCreateImage(VG_sRGB_565, kWidth, kHeight, quality);
    std::vector<VGuint> pixels(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = VGuint(i * 2654435761u) | 0xFF;
    vgImageSubData(image, pixels.data(), kWidth * 4, VG_sRGBA_8888, 0, 0, kWidth, kHeight);
    vgSeti(VG_IMAGE_QUALITY, VG_IMAGE_QUALITY_BETTER);
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
    for (auto _ : state) {
        vgDrawImage(image);
        vgFinish();
    }
    if (vgGetError() != VG_NO_ERROR)
        state.SkipWithError("vgDrawImage reported an error");
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
    vgDestroyImage(image);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_DrawImageFullScreen)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
