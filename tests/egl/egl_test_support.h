#pragma once

// Shared pieces of the EGL tests: a simulated board (framebuffer and GPU) with helpers that
// open and initialise the display, pick configurations and make windows, and a reset of the
// porting layer's hooks.

#include <EGL/egl.h>
#include <EGL/eglhooks.h>
#include <VX/vxlib.h>

#include <string>

#include "EGL/porting/egl_porting.h"
#include "framebufferroot.h"
#include "gpu_test_support.h"
#include "memmanage/gmalloc.h"

namespace egltest {

inline void resetHooks()
{
#define EGL_HOOK_RESET(name) EGLINL_Callback##name = nullptr;
    EGL_HOOK_NAMES(EGL_HOOK_RESET)
#undef EGL_HOOK_RESET
}

class EglTest : public gputest::GpuTest {
protected:
    vnq::test::FramebufferBoardRoot root;
    EGLDisplay dpy = EGL_NO_DISPLAY;
    // GPU blocks OpenVG's acceleration layer holds once it is up.
    int layerBlocks = 0;

    void TearDown() override
    {
        resetHooks();
        GpuTest::TearDown();
    }

    VXDisplay* vx() const { return static_cast<VXDisplay*>(dpy); }

    // The default display, initialised (the GPU's start-up lines are swallowed).
    EGLDisplay initialize()
    {
        testing::internal::CaptureStdout();
        dpy = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        EGLBoolean ok = eglInitialize(dpy, nullptr, nullptr);
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(ok);
        layerBlocks = gmBlocksInUse();
        return dpy;
    }

    // Releases whatever is current and terminates the display; what was printed.
    std::string terminate()
    {
        testing::internal::CaptureStdout();
        eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglTerminate(dpy);
        return testing::internal::GetCapturedStdout();
    }

    // The configuration of an id, as the display server asks for it.
    EGLConfig config(EGLint id)
    {
        const EGLint attribs[] = {EGL_CONFIG_ID, id, EGL_NONE};
        EGLConfig chosen = nullptr;
        EGLint count = 0;
        EXPECT_TRUE(eglChooseConfig(dpy, attribs, &chosen, 1, &count));
        EXPECT_EQ(count, 1);
        return chosen;
    }

    VXWindow window(int width, int height, int depth = 16)
    {
        return VXCreateWindow(vx(), 0, 0, width, height, depth);
    }

    EGLSurface windowSurface(EGLint configId, int width, int height, const EGLint* attribs = nullptr)
    {
        return eglCreateWindowSurface(dpy, config(configId), window(width, height), attribs);
    }

    EGLint query(EGLSurface surface, EGLint attribute)
    {
        EGLint value = -12345;
        EXPECT_TRUE(eglQuerySurface(dpy, surface, attribute, &value));
        return value;
    }
};

}  // namespace egltest
