// The display server's start-up road on the simulated board, for each configuration it uses.
#include "egl_test_support.h"

#include <VG/openvg.h>

namespace egltest {
namespace {

class DisplayServerStartUp : public EglTest, public ::testing::WithParamInterface<EGLint> {};

TEST_P(DisplayServerStartUp, MakesItsWindowSurfaceCurrentAndLeavesNoGpuBlockBehind)
{
    VXDisplay* vxdpy = VXOpenDisplay(nullptr);
    ASSERT_NE(vxdpy, nullptr);
    VXWindow win = VXCreateWindow(vxdpy, 0, 0, 480, 272, 16);
    ASSERT_NE(win, nullptr);

    testing::internal::CaptureStdout();
    dpy = eglGetDisplay(vxdpy);
    ASSERT_EQ(dpy, static_cast<EGLDisplay>(vxdpy));
    ASSERT_TRUE(eglInitialize(dpy, nullptr, nullptr));
    testing::internal::GetCapturedStdout();

    const EGLint configAttribs[] = {EGL_CONFIG_ID, GetParam(), EGL_NONE};
    EGLConfig chosen = nullptr;
    EGLint count = 0;
    ASSERT_TRUE(eglChooseConfig(dpy, configAttribs, &chosen, 1, &count));
    ASSERT_EQ(count, 1);
    ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    EGLContext context = eglCreateContext(dpy, chosen, EGL_NO_CONTEXT, nullptr);
    ASSERT_NE(context, EGL_NO_CONTEXT);
    const EGLint surfaceAttribs[] = {EGL_VG_ALPHA_FORMAT, EGL_VG_ALPHA_FORMAT_NONPRE, EGL_VG_COLORSPACE,
                                     EGL_VG_COLORSPACE_sRGB, EGL_NONE};
    EGLSurface surface = eglCreateWindowSurface(dpy, chosen, win, surfaceAttribs);
    ASSERT_NE(surface, EGL_NO_SURFACE);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, context));
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_EQ(eglGetCurrentContext(), context);
    EXPECT_EQ(eglGetCurrentSurface(EGL_DRAW), surface);

    const ALsurface* sfc = PORTL_DrawingSurface();
    ASSERT_NE(sfc->disp0, nullptr);
    EXPECT_EQ(sfc->disp0->width, 480);
    EXPECT_EQ(sfc->disp0->height, 272);
    EXPECT_EQ(sfc->disp0->bpp, GetParam() == 8 ? 32 : 16);
    EXPECT_EQ(sfc->mode, 1);
    EXPECT_EQ(sfc->mask != nullptr, GetParam() != 1);

    std::string printed = terminate();
    EXPECT_EQ(printed, "");
    EXPECT_EQ(gmBlocksInUse(), 0);
    EXPECT_FALSE(gpu.open());
    VXCloseDisplay(vxdpy);
}

INSTANTIATE_TEST_SUITE_P(Configurations, DisplayServerStartUp, ::testing::Values(1, 8, 2));

}  // namespace
}  // namespace egltest
