// Test stand-ins for the OpenVG library's life cycle and image operations that EGL calls,
// until the OpenVG library provides them: they only count what EGL asks for.
#include "vg_standins.h"

#include <cstdlib>

#include "EGL/porting/egl_porting_vgimage.h"
#include "vg/common/vg_lifecycle.h"

namespace egltest {

VgStandIns& standIns()
{
    static VgStandIns s;
    return s;
}

}  // namespace egltest

using egltest::standIns;

extern "C" {

int vgInit(void)
{
    standIns().calls.push_back("vgInit");
    return standIns().initResult;
}

int vgTerminate(void)
{
    standIns().calls.push_back("vgTerminate");
    return 1;
}

void* vgCreateContext(void* share)
{
    (void)share;
    standIns().calls.push_back("vgCreateContext");
    ++standIns().liveContexts;
    return std::malloc(16);
}

void vgDeleteContext(void* ctx)
{
    if (!ctx)
        return;
    standIns().calls.push_back("vgDeleteContext");
    --standIns().liveContexts;
    std::free(ctx);
}

int vgMakeCurrent(void* ctx, ALsurface* draw, ALsurface* read)
{
    (void)read;
    standIns().calls.push_back(ctx ? "vgMakeCurrent" : "vgMakeCurrent(null)");
    standIns().currentSurface = draw;
    return ctx ? standIns().makeCurrentResult : 0;
}

void vgSwapBuffers(void* ctx)
{
    (void)ctx;
    standIns().calls.push_back("vgSwapBuffers");
}

void vgFinish(void)
{
    ++standIns().finishes;
}

VGErrorCode vgGetError(void)
{
    return VG_NO_ERROR;
}

int vgIsImage(void*, VGImage)
{
    return 16;
}

int vgIsMatchImage(void*, VGImage, int, int, int, int, int, int*)
{
    return 1;
}

int vgGetVGImage(void*, VGImage, int*, int*, int*, int*, int*, int*, VGuint*, int*)
{
    return 16;
}

int vgBindVGImage(void*, VGImage, VGuint*, int, VGuint*, int)
{
    return 16;
}

int vgUnbindVGImage(void*, VGImage, VGuint*, int, VGuint*, int)
{
    return 16;
}

void vgReleaseVGImage(VGImage, VGuint*)
{
}

}  // extern "C"
