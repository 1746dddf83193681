// The display server's pixel copies end to end on the GPU model, through OpenVG's acceleration
// layer on a 480 x 272 RGB565 window made current through EGL: the whole window into a 565
// image (get pixels, the screen copy) and a 480 x 272 sABGR_4444 image into a 565 image (copy
// image, a converting SPC copy).
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <VG/openvg.h>
#include <VG/openvg_vendor.h>
#include <VX/vxlib.h>

#include <cstdio>

#include "framebufferroot.h"
#include "simgpu.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_al_lx740_pixelcopy.h"

namespace {

constexpr int kWidth = 480, kHeight = 272;
constexpr EGLint kRgb565Config = 1;

struct Scene {
    vnq::test::FramebufferBoardRoot root{kWidth, kHeight, 16};
    EGLDisplay dpy = EGL_NO_DISPLAY;
    bool ready = false;

    Scene()
    {
        dpy = eglGetDisplay(EGL_DEFAULT_DISPLAY);
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

// An image record over a new buffer of the layer.
struct Image {
    OVGimage record{};

    Image(VGImageFormat format, int bits)
    {
        record.buffer = VGHAL_ALcreateImage(kWidth, kHeight, bits);
        record.format = format;
        record.activeRect = {0, 0, kWidth, kHeight};
    }
    ~Image() { VGHAL_ALdeleteImage(record.buffer, &record); }
};

bool usable(benchmark::State& state, const Image& a, const Image& b)
{
    if (!scene().ready || !a.record.buffer || !b.record.buffer) {
        state.SkipWithError("no OpenVG surface or images on the simulated GPU");
        return false;
    }
    return true;
}

void failOnProtocolErrors(benchmark::State& state)
{
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
}

void BM_GetPixelsWindowInto565Image(benchmark::State& state)
{
    scene();
    Image image(VG_sRGB_565, 16);
    if (!usable(state, image, image))
        return;
    const OVGrect rect{0, 0, kWidth, kHeight};
    for (auto _ : state)
        benchmark::DoNotOptimize(VGHAL_ALgetPixels(&image.record, 0, 0, &rect));
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_GetPixelsWindowInto565Image)->Unit(benchmark::kMillisecond);

void BM_CopyImage4444Into565(benchmark::State& state)
{
    scene();
    Image source(VG_sABGR_4444, 16), destination(VG_sRGB_565, 16);
    if (!usable(state, source, destination))
        return;
    const OVGrect rect{0, 0, kWidth, kHeight};
    for (auto _ : state)
        benchmark::DoNotOptimize(VGHAL_ALcopyImage(&destination.record, 0, 0, &source.record, &rect, 0));
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_CopyImage4444Into565)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
