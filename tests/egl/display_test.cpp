// Displays: the default display, initialisation that starts the GPU and OpenVG once,
// termination in the reverse order, and a display terminated while its objects are current.
#include "egl_test_support.h"

#include <gmock/gmock.h>

#include "winsys/vxlib_records.h"

#include <functional>
#include <vector>

namespace egltest {
namespace {

using ::testing::HasSubstr;

// The order in which EGL starts and stops the GPU and OpenVG, seen through their hooks.
std::vector<std::string> lifeCycle;

EGLBoolean recordInitializeGPU()
{
    lifeCycle.push_back("InitializeGPU");
    return PORTL_InitializeGPU();
}
void recordTerminateGPU()
{
    lifeCycle.push_back("TerminateGPU");
    PORTL_TerminateGPU();
}
EGLBoolean recordInitializeOpenVG()
{
    lifeCycle.push_back("InitializeOpenVGAPI");
    return PORTL_InitializeOpenVGAPI();
}
void recordTerminateOpenVG()
{
    lifeCycle.push_back("TerminateOpenVGAPI");
    PORTL_TerminateOpenVGAPI();
}

class Displays : public EglTest {
protected:
    void SetUp() override
    {
        lifeCycle.clear();
        EGLINL_CallbackInitializeGPU = recordInitializeGPU;
        EGLINL_CallbackTerminateGPU = recordTerminateGPU;
        EGLINL_CallbackInitializeOpenVGAPI = recordInitializeOpenVG;
        EGLINL_CallbackTerminateOpenVGAPI = recordTerminateOpenVG;
    }

    size_t deviceOpens() const { return countEvents(gputest::Stream::Driver, gputest::Kind::Open, gputest::Unit::None, 0); }

    // A current window surface and context of configuration 2 on a 100 x 50 window.
    void makeCurrent()
    {
        ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
        EGLSurface surface = windowSurface(2, 100, 50);
        EGLContext context = eglCreateContext(dpy, config(2), EGL_NO_CONTEXT, nullptr);
        ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, context));
        current = {surface, context};
    }
    std::pair<EGLSurface, EGLContext> current{};
};

TEST_F(Displays, GetDisplayOfNullOpensTheWindowSystemsDisplay)
{
    EGLDisplay opened = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    ASSERT_NE(opened, EGL_NO_DISPLAY);
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    EXPECT_EQ(opened, static_cast<EGLDisplay>(VXOpenDisplay(nullptr)));
    int fd = -1;
    VXQueryDisplay(static_cast<VXDisplay*>(opened), VX_DISPLAY_FBFD, &fd);
    EXPECT_GE(fd, 0);

    // A handle that is not the window system's display gives none, and sets no error.
    eglGetConfigs(opened, nullptr, 0, nullptr);
    int notADisplay = 0;
    EXPECT_EQ(eglGetDisplay(reinterpret_cast<VXDisplay*>(&notADisplay)), EGL_NO_DISPLAY);
    EXPECT_EQ(eglGetError(), EGL_NOT_INITIALIZED);
    EXPECT_FALSE(eglInitialize(&notADisplay, nullptr, nullptr));
    EXPECT_EQ(eglGetError(), EGL_BAD_DISPLAY);
}

TEST_F(Displays, FirstInitializeStartsTheGpuOnceThenOpenVgAndASecondDoesNothing)
{
    dpy = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    EGLint major = 0, minor = 0;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(eglInitialize(dpy, &major, &minor));
    std::string first = testing::internal::GetCapturedStdout();
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 3);
    EXPECT_EQ(lifeCycle, (std::vector<std::string>{"InitializeGPU", "InitializeOpenVGAPI"}));
    EXPECT_THAT(first, HasSubstr(std::string("CGL-SID: \"") + CglRevisionId + "\"\n"));
    EXPECT_TRUE(gpu.open());
    EXPECT_EQ(deviceOpens(), 1u);

    testing::internal::CaptureStdout();
    EXPECT_TRUE(eglInitialize(dpy, nullptr, nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    EXPECT_EQ(lifeCycle.size(), 2u);
    EXPECT_EQ(deviceOpens(), 1u);
}

EGLBoolean openVgFailsToStart()
{
    lifeCycle.push_back("InitializeOpenVGAPI");
    return EGL_FALSE;
}

TEST_F(Displays, OpenVgThatFailsToStartStopsTheGpuAgain)
{
    EGLINL_CallbackInitializeOpenVGAPI = openVgFailsToStart;
    dpy = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(eglInitialize(dpy, nullptr, nullptr));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(eglGetError(), EGL_NOT_INITIALIZED);
    EXPECT_EQ(lifeCycle, (std::vector<std::string>{"InitializeGPU", "InitializeOpenVGAPI", "TerminateGPU"}));
    EXPECT_FALSE(gpu.open());
    EGLint count = 0;
    EXPECT_FALSE(eglGetConfigs(dpy, nullptr, 0, &count));
    EXPECT_EQ(eglGetError(), EGL_NOT_INITIALIZED);
}

TEST_F(Displays, TerminateStopsOpenVgBeforeTheGpu)
{
    initialize();
    windowSurface(2, 100, 50);
    EXPECT_GT(gmBlocksInUse(), 0);
    lifeCycle.clear();
    EXPECT_EQ(terminate(), "");
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    EXPECT_EQ(lifeCycle, (std::vector<std::string>{"TerminateOpenVGAPI", "TerminateGPU"}));
    EXPECT_EQ(gmBlocksInUse(), 0);
    EXPECT_FALSE(gpu.open());
    // Terminating a display that is not initialised only succeeds.
    EXPECT_TRUE(eglTerminate(dpy));
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
}

TEST_F(Displays, TerminateWhileCurrentKeepsTheObjectsUntilTheReleasingMakeCurrent)
{
    initialize();
    makeCurrent();
    const int blocks = gmBlocksInUse();
    ASSERT_GT(blocks, 0);
    lifeCycle.clear();
    EXPECT_TRUE(eglTerminate(dpy));
    EXPECT_TRUE(lifeCycle.empty());
    EXPECT_EQ(gmBlocksInUse(), blocks);
    EXPECT_TRUE(gpu.open());

    EXPECT_TRUE(eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT));
    EXPECT_EQ(lifeCycle, (std::vector<std::string>{"TerminateOpenVGAPI", "TerminateGPU"}));
    EXPECT_EQ(gmBlocksInUse(), 0);
    EXPECT_FALSE(gpu.open());
}

TEST_F(Displays, ATerminatedDisplayIsNotInitialisedUntilInitializeRevivesIt)
{
    initialize();
    makeCurrent();
    auto [surface, context] = current;
    EGLConfig chosen = config(2);
    VXWindow win = window(16, 16);
    VXPixmap pixmap = VXCreatePixmap(vx(), nullptr, 16, 16, 16);
    ASSERT_TRUE(eglTerminate(dpy));

    EGLint value = 0;
    EGLConfig configs[1] = {};
    const EGLint byId[] = {EGL_CONFIG_ID, 2, EGL_NONE};
    const std::pair<const char*, std::function<bool()>> calls[] = {
        {"eglGetConfigs", [&] { return eglGetConfigs(dpy, configs, 1, &value); }},
        {"eglChooseConfig", [&] { return eglChooseConfig(dpy, byId, configs, 1, &value); }},
        {"eglGetConfigAttrib", [&] { return eglGetConfigAttrib(dpy, chosen, EGL_CONFIG_ID, &value); }},
        {"eglCreateContext", [&] { return eglCreateContext(dpy, chosen, EGL_NO_CONTEXT, nullptr) != nullptr; }},
        {"eglDestroyContext", [&] { return eglDestroyContext(dpy, context); }},
        {"eglQueryContext", [&] { return eglQueryContext(dpy, context, EGL_CONFIG_ID, &value); }},
        {"eglCreateWindowSurface", [&] { return eglCreateWindowSurface(dpy, chosen, win, nullptr) != nullptr; }},
        {"eglCreatePbufferSurface", [&] { return eglCreatePbufferSurface(dpy, chosen, nullptr) != nullptr; }},
        {"eglCreatePixmapSurface",
         [&] { return eglCreatePixmapSurface(dpy, chosen, pixmap, nullptr) != nullptr; }},
        {"eglCreatePbufferFromClientBuffer",
         [&] {
             return eglCreatePbufferFromClientBuffer(dpy, EGL_OPENVG_IMAGE, nullptr, chosen, nullptr) != nullptr;
         }},
        {"eglDestroySurface", [&] { return eglDestroySurface(dpy, surface); }},
        {"eglQuerySurface", [&] { return eglQuerySurface(dpy, surface, EGL_WIDTH, &value); }},
        {"eglSurfaceAttrib", [&] { return eglSurfaceAttrib(dpy, surface, EGL_MIPMAP_LEVEL, 0); }},
        {"eglMakeCurrent", [&] { return eglMakeCurrent(dpy, surface, surface, EGL_NO_CONTEXT); }},
    };
    const int blocks = gmBlocksInUse();
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(call());
        EXPECT_EQ(eglGetError(), EGL_NOT_INITIALIZED);
    }
    EXPECT_EQ(gmBlocksInUse(), blocks);

    // Initialising revives it with its table; the objects terminate released stay released.
    EXPECT_TRUE(eglInitialize(dpy, nullptr, nullptr));
    EXPECT_EQ(config(2), chosen);
    EXPECT_FALSE(eglQuerySurface(dpy, surface, EGL_WIDTH, &value));
    EXPECT_EQ(eglGetError(), EGL_BAD_SURFACE);
    EXPECT_EQ(terminate(), "");
    EXPECT_EQ(gmBlocksInUse(), 0);
    EXPECT_FALSE(gpu.open());
}

TEST_F(Displays, InitializeTerminateInitializeStartsAfreshWithAnEmptyAllocator)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        initialize();
        const uint64_t base = cglGetTxmemBase();
        const uint64_t end = base + cglGetTxmemSize();
        EGLSurface surface = windowSurface(2, 100, 50);
        ASSERT_NE(surface, EGL_NO_SURFACE);
        EXPECT_GT(gmBlocksInUse(), 0);
        const uint64_t addr = PORTL_MemAlloc(8, 8, 16, 1);
        EXPECT_GE(addr, base);
        EXPECT_LT(addr, end);
        PORTL_MemFree(static_cast<EGLGpuAddress>(addr), 1);
        EXPECT_EQ(terminate(), "");
        EXPECT_EQ(gmBlocksInUse(), 0);
    }
}

TEST_F(Displays, StoppingTheGpuForgetsBlocksStillInUseWithOneLine)
{
    initialize();
    ASSERT_NE(gmMalloc(64, 32), GM_NO_ADDRESS);
    std::string printed = terminate();
    EXPECT_EQ(printed, "PORTL_TerminateGPU: 1 GPU memory blocks still in use are forgotten\n");
    EXPECT_EQ(gmBlocksInUse(), 0);

    // The next start sets the pool up from the new window.
    initialize();
    const uint64_t base = cglGetTxmemBase();
    const uint64_t addr = PORTL_MemAlloc(8, 8, 16, 1);
    EXPECT_GE(addr, base);
    EXPECT_LT(addr, base + cglGetTxmemSize());
    PORTL_MemFree(static_cast<EGLGpuAddress>(addr), 1);
    EXPECT_EQ(terminate(), "");
}

// A board without a framebuffer, as a program that only wants pbuffers may meet it: there is no
// default display, and initialising none fails with an EGL error; the process lives on.
class DisplaysWithoutFramebuffer : public gputest::GpuTest {
protected:
    vnq::test::TempBoardRoot root;  // no /dev/fb0
};

TEST_F(DisplaysWithoutFramebuffer, GetDisplayGivesNoneAndInitializeFailsWithBadDisplay)
{
    if (VXINLIB_DisplayIsOpen())  // an earlier test of this process left its display open
        VXCloseDisplay(VXOpenDisplay(nullptr));
    const EGLDisplay none = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    EXPECT_EQ(none, EGL_NO_DISPLAY);
    EGLint major = 0, minor = 0;
    EXPECT_FALSE(eglInitialize(none, &major, &minor));
    EXPECT_EQ(eglGetError(), EGL_BAD_DISPLAY);
    EXPECT_FALSE(gpu.open());
    EXPECT_FALSE(VXINLIB_DisplayIsOpen());
}

}  // namespace
}  // namespace egltest
