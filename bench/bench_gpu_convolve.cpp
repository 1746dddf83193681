// Gaussian blur (deviation 4 both ways) and a 15 x 15 convolution of a 480 x 272 sRGBA_8888 image
// end to end through OpenVG on the simulated board: on the GPU model (argument 0) and by the
// software filter the GPU filter falls back to (argument 1).
#include <benchmark/benchmark.h>

#include <VG/openvg.h>

#include <functional>
#include <vector>

#include "simgpu.h"
#include "vg/al_lx740/vg_tvg_filter.h"
#include "vg/common/vg_image.h"
#include "vgwindowscene.h"

namespace {

using vnq::bench::VgWindowScene;
constexpr int kWidth = VgWindowScene::kWidth, kHeight = VgWindowScene::kHeight;

VGImage screenImage()
{
    const VGImage image = vgCreateImage(VG_sRGBA_8888, kWidth, kHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
    std::vector<VGuint> pixels(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = VGuint(i * 2654435761u);
    vgImageSubData(image, pixels.data(), kWidth * 4, VG_sRGBA_8888, 0, 0, kWidth, kHeight);
    return image;
}

const OVGimage* record(VGImage image)
{
    return reinterpret_cast<const OVGimage*>(image);
}

// gpu(dst, src) through the API, or software(dst, src) on the same images.
void run(benchmark::State& state, const std::function<void(VGImage, VGImage)>& gpu,
         const std::function<int(const OVGimage*, const OVGimage*)>& software)
{
    static const VgWindowScene scene;  // made current once, for every benchmark of the run
    if (!scene.ready) {
        state.SkipWithError("no OpenVG surface on the simulated GPU");
        return;
    }
    vgSeti(VG_FILTER_CHANNEL_MASK, VG_RED | VG_GREEN | VG_BLUE | VG_ALPHA);
    const VGImage src = screenImage(), dst = screenImage();
    for (auto _ : state) {
        if (state.range(0) == 0) {
            gpu(dst, src);
            vgFinish();
        } else {
            benchmark::DoNotOptimize(software(record(dst), record(src)));
        }
    }
    if (vgGetError() != VG_NO_ERROR)
        state.SkipWithError("the filter reported an error");
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
    vgDestroyImage(src);
    vgDestroyImage(dst);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_GaussianBlurDeviation4(benchmark::State& state)
{
    run(
        state, [](VGImage d, VGImage s) { vgGaussianBlur(d, s, 4.0f, 4.0f, VG_TILE_PAD); },
        [](const OVGimage* d, const OVGimage* s) { return VGALFUNC_TVGmemGaussianBlur(d, s, 4.0f, 4.0f, VG_TILE_PAD); });
}
BENCHMARK(BM_GaussianBlurDeviation4)->ArgName("software")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Convolve15x15(benchmark::State& state)
{
    static std::vector<VGshort> kernel;
    kernel.assign(15 * 15, 1);
    for (size_t i = 0; i < kernel.size(); ++i)
        kernel[i] = VGshort(i % 7);
    run(
        state,
        [](VGImage d, VGImage s) { vgConvolve(d, s, 15, 15, 7, 7, kernel.data(), 1.0f / 675, 0, VG_TILE_REFLECT); },
        [](const OVGimage* d, const OVGimage* s) {
            return VGALFUNC_TVGmemConvolve(d, s, 15, 15, 7, 7, kernel.data(), 1.0f / 675, 0, VG_TILE_REFLECT);
        });
}
BENCHMARK(BM_Convolve15x15)->ArgName("software")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
