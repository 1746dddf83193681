// The display server's fade lookups on the whole stack of the simulated board: one vgLookup of a
// 480 x 272 sABGR_4444 picture into a second one (the GPU lookup through the GPU model), the same
// lookup by the software filter (the GPU lookup's fall-back), and a whole fade of six steps as
// the display server runs them (the saved 565 screen drawn, the lookup, its output drawn over the
// screen, a swap). The display server runs a fade at 80 ms ticks: the per-frame time
// ("frame" counter, seconds a frame) is what counts.
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <VG/openvg.h>
#include <VX/vxlib.h>

#include <array>
#include <cstdint>
#include <vector>

#include "egl_bench_support.h"
#include "vg/al_lx740/vg_tvg_filter.h"
#include "vg/common/vg_image.h"

namespace {

using eglbench::kScreenHeight;
using eglbench::kScreenWidth;
using Table = std::array<VGubyte, 256>;

// A window surface of configuration 1 made current, with the fade's three images.
class FadeStage {
public:
    FadeStage()
    {
        const EGLDisplay dpy = eglbench::display();
        const EGLint attribs[] = {EGL_CONFIG_ID, 1, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        eglChooseConfig(dpy, attribs, &config, 1, &count);
        eglBindAPI(EGL_OPENVG_API);
        surface_ = eglCreateWindowSurface(
            dpy, config, VXCreateWindow(static_cast<VXDisplay*>(dpy), 0, 0, kScreenWidth, kScreenHeight, 16), nullptr);
        context_ = eglCreateContext(dpy, config, EGL_NO_CONTEXT, nullptr);
        ok_ = count == 1 && eglMakeCurrent(dpy, surface_, surface_, context_);
        if (!ok_)
            return;
        picture = vgCreateImage(VG_sABGR_4444, kScreenWidth, kScreenHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
        temp = vgCreateImage(VG_sABGR_4444, kScreenWidth, kScreenHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
        saved = vgCreateImage(VG_sRGB_565, kScreenWidth, kScreenHeight, VG_IMAGE_QUALITY_NONANTIALIASED);
        // Half-transparent shade with opaque items, as a captured screen looks after its fix-up.
        std::vector<uint16_t> pixels(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0x8222);
        for (size_t i = 0; i < pixels.size(); i += 3)
            pixels[i] = static_cast<uint16_t>(0xF000u | ((i * 2654435761u) & 0x0FFFu));  // alpha on top: opaque
        vgImageSubData(picture, pixels.data(), kScreenWidth * 2, VG_sABGR_4444, 0, 0, kScreenWidth, kScreenHeight);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint16_t>(i * 40503u >> 3);
        vgImageSubData(saved, pixels.data(), kScreenWidth * 2, VG_sRGB_565, 0, 0, kScreenWidth, kScreenHeight);
        ok_ = picture != VG_INVALID_HANDLE && temp != VG_INVALID_HANDLE && saved != VG_INVALID_HANDLE &&
              vgGetError() == VG_NO_ERROR;
        for (int i = 0; i < 256; ++i)
            id[static_cast<size_t>(i)] = static_cast<VGubyte>(i);
    }
    ~FadeStage()
    {
        if (picture != VG_INVALID_HANDLE)
            vgDestroyImage(picture);
        if (temp != VG_INVALID_HANDLE)
            vgDestroyImage(temp);
        if (saved != VG_INVALID_HANDLE)
            vgDestroyImage(saved);
        const EGLDisplay dpy = eglbench::display();
        eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(dpy, surface_);
        eglDestroyContext(dpy, context_);
    }
    FadeStage(const FadeStage&) = delete;
    FadeStage& operator=(const FadeStage&) = delete;

    bool ok() const { return ok_; }
    EGLSurface surface() const { return surface_; }

    // The fade's alpha table for step alpha k: i k / 255, truncated.
    static Table alphaTable(int k)
    {
        Table t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = static_cast<VGubyte>(static_cast<int>(i * (k / 255.0)));
        return t;
    }

    VGImage picture = VG_INVALID_HANDLE, temp = VG_INVALID_HANDLE, saved = VG_INVALID_HANDLE;
    Table id{};

private:
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
    bool ok_ = false;
};

void report(benchmark::State& state, int framesPerIteration)
{
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
    state.SetItemsProcessed(state.iterations() * framesPerIteration * kScreenWidth * kScreenHeight);
    state.counters["frame"] = benchmark::Counter(framesPerIteration, benchmark::Counter::kIsIterationInvariantRate |
                                                                         benchmark::Counter::kInvert);
}

void BM_GpuLookupFadeStep(benchmark::State& state)
{
    FadeStage stage;
    if (!stage.ok()) {
        state.SkipWithError("EGL or image set-up failed");
        return;
    }
    const Table alpha = FadeStage::alphaTable(135);
    for (auto _ : state) {
        vgLookup(stage.temp, stage.picture, stage.id.data(), stage.id.data(), stage.id.data(), alpha.data(), VG_TRUE,
                 VG_FALSE);
        vgFinish();
    }
    if (vgGetError() != VG_NO_ERROR)
        state.SkipWithError("vgLookup failed");
    report(state, 1);
}
BENCHMARK(BM_GpuLookupFadeStep)->Unit(benchmark::kMillisecond);

void BM_SoftwareLookupFadeStep(benchmark::State& state)
{
    FadeStage stage;
    if (!stage.ok()) {
        state.SkipWithError("EGL or image set-up failed");
        return;
    }
    const Table alpha = FadeStage::alphaTable(135);
    const OVGimage* d = reinterpret_cast<const OVGimage*>(stage.temp);
    const OVGimage* s = reinterpret_cast<const OVGimage*>(stage.picture);
    for (auto _ : state)
        benchmark::DoNotOptimize(VGALFUNC_TVGmemLookup(d, s, stage.id.data(), stage.id.data(), stage.id.data(),
                                                       alpha.data(), VG_TRUE, VG_FALSE));
    report(state, 1);
}
BENCHMARK(BM_SoftwareLookupFadeStep)->Unit(benchmark::kMillisecond);

// Six steps, alpha 15 to 215, each the display server's: the saved screen drawn, the lookup, its
// output drawn over the screen with the image matrix at identity, a swap.
void BM_GpuFadeSixSteps(benchmark::State& state)
{
    FadeStage stage;
    if (!stage.ok()) {
        state.SkipWithError("EGL or image set-up failed");
        return;
    }
    std::array<Table, 6> alphas{};
    for (int step = 0; step < 6; ++step)
        alphas[static_cast<size_t>(step)] = FadeStage::alphaTable(15 + 40 * step);
    vgSeti(VG_MATRIX_MODE, VG_MATRIX_IMAGE_USER_TO_SURFACE);
    vgLoadIdentity();
    for (auto _ : state)
        for (const Table& alpha : alphas) {
            vgDrawImage(stage.saved);
            vgLookup(stage.temp, stage.picture, stage.id.data(), stage.id.data(), stage.id.data(), alpha.data(),
                     VG_TRUE, VG_FALSE);
            vgDrawImage(stage.temp);
            eglSwapBuffers(eglbench::display(), stage.surface());
        }
    if (vgGetError() != VG_NO_ERROR)
        state.SkipWithError("vgLookup or vgDrawImage failed");
    report(state, 6);
}
BENCHMARK(BM_GpuFadeSixSteps)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return eglbench::runOnBoard(argc, argv, "bench_gpu_lookup");
}
