// eglSwapBuffers of a 480 x 272 window on the simulated board's 16-bit screen: the wait for
// OpenVG, the copy engine moving the back buffer into the framebuffer between the driver's
// requests, and the flip. The display server posts at most once per 80 ms tick; the time per swap
// is what counts. Argument: 0 configuration 1, 1 its multisampled twin 17 (the swap then also
// resolves four samples a pixel).
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <VX/vxlib.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "EGL/egl/egl_lx_types.h"
#include "cgl.h"
#include "framebufferroot.h"
#include "simfb.h"
#include "simgpu.h"

namespace {

constexpr int kWidth = 480, kHeight = 272;

// Runs f with the process's standard output sent nowhere (the GPU's start-up lines).
template <typename F>
auto quietly(F f)
{
    std::fflush(stdout);
    const int saved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
    auto result = f();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    return result;
}

EGLDisplay display = EGL_NO_DISPLAY;

void BM_EglSwapBuffers(benchmark::State& state)
{
    const bool multisampled = state.range(0) != 0;
    const EGLint attribs[] = {EGL_CONFIG_ID, multisampled ? 17 : 1, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    eglChooseConfig(display, attribs, &config, 1, &count);
    eglBindAPI(EGL_OPENVG_API);
    VXDisplay* vx = static_cast<VXDisplay*>(display);
    EGLSurface surface =
        eglCreateWindowSurface(display, config, VXCreateWindow(vx, 0, 0, kWidth, kHeight, 16), nullptr);
    EGLContext ctx = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (count != 1 || !eglMakeCurrent(display, surface, surface, ctx)) {
        state.SkipWithError("EGL start-up failed");
    } else {
        // Something other than zeroes in both colour buffers (and the samples).
        const EGLsurface* s = static_cast<const EGLsurface*>(surface);
        const word32 words = static_cast<word32>(s->surface_width * kHeight / 2);
        std::vector<uint32_t> pattern(4 * words);
        for (size_t i = 0; i < pattern.size(); ++i)
            pattern[i] = static_cast<uint32_t>(i * 2654435761u);
        cglWriteMemory32A(s->color_buffer0, pattern.data(), words);
        cglWriteMemory32A(s->color_buffer1, pattern.data(), words);
        if (multisampled)
            cglWriteMemory32A(s->sample_buffer, pattern.data(), 4 * words);

        int64_t swaps = 0;
        for (auto _ : state) {
            if (!eglSwapBuffers(display, surface)) {
                state.SkipWithError("eglSwapBuffers failed");
                break;
            }
            // The framebuffer keeps the driver's requests for tests; drop them now and then.
            if ((++swaps & 255) == 0)
                simfb::device().clearLog();
        }
        if (!simgpu::device().errors().empty())
            state.SkipWithError(simgpu::device().errors().front().c_str());
        state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
        state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(display, surface);
    eglDestroyContext(display, ctx);
    simfb::device().clearLog();
}
BENCHMARK(BM_EglSwapBuffers)->ArgName("msaa")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

// One board root and one EGL display for the whole run, as in the display server.
int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const vnq::test::FramebufferBoardRoot root(kWidth, kHeight, 16);
    if (!root.isValid()) {
        std::fprintf(stderr, "bench_egl_swap: could not make a board root\n");
        return 1;
    }
    simgpu::device().setLogLimit(0);
    const bool up = quietly([] {
        display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        return eglInitialize(display, nullptr, nullptr) == EGL_TRUE;
    });
    if (up)
        benchmark::RunSpecifiedBenchmarks();
    else
        std::fprintf(stderr, "bench_egl_swap: eglInitialize failed (0x%04x)\n", static_cast<unsigned>(eglGetError()));
    quietly([] { return eglTerminate(display); });
    benchmark::Shutdown();
    return up ? 0 : 1;
}
