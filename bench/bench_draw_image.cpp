// A full-screen vgDrawImage end to end on the GPU model: a 480 x 272 sRGB_565 image onto a
// 480 x 272 RGB565 window made current through EGL, sampled nearest (argument 0, the image
// allows only non-antialiased quality) and bilinear (argument 1).
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <VG/openvg.h>
#include <VX/vxlib.h>

#include <vector>

#include "framebufferroot.h"
#include "simgpu.h"

namespace {

constexpr int kWidth = 480, kHeight = 272;
constexpr EGLint kRgb565Config = 1;

struct Scene {
    vnq::test::FramebufferBoardRoot root{kWidth, kHeight, 16};
    bool ready = false;

    Scene()
    {
        EGLDisplay dpy = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        if (!eglInitialize(dpy, nullptr, nullptr) || !eglBindAPI(EGL_OPENVG_API))
            return;
        const EGLint attribs[] = {EGL_CONFIG_ID, kRgb565Config, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint count = 0;
        if (!eglChooseConfig(dpy, attribs, &config, 1, &count) || count != 1)
            return;
        VXWindow win = VXCreateWindow(static_cast<VXDisplay*>(dpy), 0, 0, kWidth, kHeight, 16);
        EGLSurface surface = eglCreateWindowSurface(dpy, config, win, nullptr);
        EGLContext context = eglCreateContext(dpy, config, EGL_NO_CONTEXT, nullptr);
        ready = surface != EGL_NO_SURFACE && context != EGL_NO_CONTEXT &&
                eglMakeCurrent(dpy, surface, surface, context);
        simgpu::device().setLogLimit(0);
    }
};

Scene& scene()
{
    static Scene s;
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
