// eglSwapBuffers of a 480 x 272 window on the simulated board's 16-bit screen: the wait for
// OpenVG, the copy engine moving the back buffer into the framebuffer between the driver's
// requests, and the flip. The display server posts at most once per 80 ms tick; the time per swap
// is what counts. Argument: 0 configuration 1, 1 its multisampled twin 17 (the swap then also
// resolves four samples a pixel).
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <VX/vxlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "EGL/egl/egl_lx_types.h"
#include "cgl.h"
#include "egl_bench_support.h"
#include "simfb.h"
#include "simgpu.h"

namespace {

using eglbench::kScreenHeight;
using eglbench::kScreenWidth;

void BM_EglSwapBuffers(benchmark::State& state)
{
    const EGLDisplay display = eglbench::display();
    const bool multisampled = state.range(0) != 0;
    const EGLint attribs[] = {EGL_CONFIG_ID, multisampled ? 17 : 1, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    eglChooseConfig(display, attribs, &config, 1, &count);
    eglBindAPI(EGL_OPENVG_API);
    VXDisplay* vx = static_cast<VXDisplay*>(display);
    EGLSurface surface =
        eglCreateWindowSurface(display, config, VXCreateWindow(vx, 0, 0, kScreenWidth, kScreenHeight, 16), nullptr);
    EGLContext ctx = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (count != 1 || !eglMakeCurrent(display, surface, surface, ctx)) {
        state.SkipWithError("EGL start-up failed");
    } else {
        // Something other than zeroes in both colour buffers (and the samples).
        const EGLsurface* s = static_cast<const EGLsurface*>(surface);
        const word32 words = static_cast<word32>(s->surface_width * kScreenHeight / 2);
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
        state.SetItemsProcessed(state.iterations() * kScreenWidth * kScreenHeight);
        state.SetBytesProcessed(state.iterations() * kScreenWidth * kScreenHeight * 2);
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(display, surface);
    eglDestroyContext(display, ctx);
    simfb::device().clearLog();
}
BENCHMARK(BM_EglSwapBuffers)->ArgName("msaa")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return eglbench::runOnBoard(argc, argv, "bench_egl_swap");
}
