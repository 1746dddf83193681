#pragma once

// A 480 x 272 RGB565 window on the simulated board with an OpenVG context made current on it
// through EGL, the GPU model's log off: the scene of the end-to-end OpenVG benchmarks.

#include <EGL/egl.h>
#include <VX/vxlib.h>

#include "framebufferroot.h"
#include "simgpu.h"

namespace vnq::bench {

struct VgWindowScene {
    static constexpr int kWidth = 480, kHeight = 272;
    static constexpr EGLint kRgb565Config = 1;

    vnq::test::FramebufferBoardRoot root{kWidth, kHeight, 16};
    EGLDisplay dpy = EGL_NO_DISPLAY;
    bool ready = false;

    VgWindowScene()
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

}  // namespace vnq::bench
