#include "ovg_init.h"

#include "framebufferroot.h"
#include "recordingdrawport.h"
#include "simfb.h"
#include "vx_fbdev.h"

#include <gtest/gtest.h>

#include <linux/fb.h>

#include <cerrno>

#include <string>
#include <vector>

using namespace vistrel;
using vnq::test::FramebufferBoardRoot;
using vnq::test::TempBoardRoot;
using Names = std::vector<std::string>;

namespace {

const Names kSetUpCalls = {"VXOpenDisplay",  "eglGetDisplay",    "VXCreateWindow",         "eglInitialize",
                           "eglChooseConfig", "eglGetError",     "eglBindAPI",             "eglGetError",
                           "eglCreateContext", "eglGetError",    "eglCreateWindowSurface", "eglGetError",
                           "eglMakeCurrent",  "eglGetError",     "vgCreateImage",          "vgCreateImage"};

const DrawCall* findCall(const RecordingDrawPort& port, const std::string& function)
{
    for (const DrawCall& call : port.calls()) {
        if (call.function == function)
            return &call;
    }
    return nullptr;
}

class InitOvg : public ::testing::Test {
protected:
    void SetUp() override { setDrawPort(&port); }
    void TearDown() override
    {
        if (ovg_priv.fd >= 0)
            vx_fb_close(ovg_priv.fd);
        setDrawPort(nullptr);
    }

    RecordingDrawPort port;
};

}  // namespace

TEST_F(InitOvg, DepthSelectsTheConfigAndTheSetUpFollowsTheDrawingSurfaceOrder)
{
    const struct {
        unsigned bpp;
        EGLint configId;
        VGImageFormat surface;
    } cases[] = {{16, 1, VG_sRGB_565}, {32, 8, VG_sARGB_8888}, {24, 2, VG_sRGB_565}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bpp);
        FramebufferBoardRoot root(480, 272, c.bpp);
        port.clearCalls();
        testing::internal::CaptureStdout();
        ASSERT_EQ(init_ovg(), 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "init_ovg,::w = 480, h = 272 egl_config_id = " + std::to_string(c.configId) + "\n");
        EXPECT_EQ(port.functions(), kSetUpCalls);
        EXPECT_EQ(findCall(port, "eglChooseConfig")->attributes, (std::vector<EGLint>{EGL_CONFIG_ID, c.configId, EGL_NONE}));
        EXPECT_EQ(port.surfaceFormat(), c.surface);
        EXPECT_TRUE(simfb::device().isOpen());
        vx_fb_close(ovg_priv.fd);
    }
    EXPECT_EQ(port.calls()[2].text, "VXCreateWindow(0, 0, 480, 272, 16)");
    EXPECT_EQ(port.calls()[0].text, "VXOpenDisplay(null)");
    EXPECT_EQ(findCall(port, "eglBindAPI")->text, "eglBindAPI(" + std::to_string(EGL_OPENVG_API) + ")");
    EXPECT_EQ(findCall(port, "eglCreateContext")->attributes, std::vector<EGLint>{});
    EXPECT_EQ(findCall(port, "eglCreateWindowSurface")->attributes,
              (std::vector<EGLint>{EGL_VG_ALPHA_FORMAT, EGL_VG_ALPHA_FORMAT_NONPRE, EGL_VG_COLORSPACE,
                                   EGL_VG_COLORSPACE_sRGB, EGL_NONE}));
    const RecordedImage* saved = port.image(vgImage565);
    const RecordedImage* work = port.image(vgImage4444);
    ASSERT_TRUE(saved && work);
    EXPECT_EQ(saved->format, VG_sRGB_565);
    EXPECT_EQ(work->format, VG_sABGR_4444);
    EXPECT_EQ(saved->width * saved->height, 480 * 272);
    EXPECT_EQ(work->width * work->height, 480 * 272);
    EXPECT_EQ(findCall(port, "vgCreateImage")->text,
              "vgCreateImage(3, 480, 272, " + std::to_string(VG_IMAGE_QUALITY_NONANTIALIASED) + ")");
}

TEST_F(InitOvg, FailureAtEachCheckedStepGivesMinusOneWithTheFramebufferClosed)
{
    FramebufferBoardRoot root;
    for (const char* step : {"eglChooseConfig", "eglBindAPI", "eglCreateContext", "eglCreateWindowSurface",
                             "eglMakeCurrent"}) {
        SCOPED_TRACE(step);
        port.clearCalls();
        port.failNext(step);
        testing::internal::CaptureStdout();
        EXPECT_EQ(init_ovg(), -1);
        testing::internal::GetCapturedStdout();
        EXPECT_FALSE(simfb::device().isOpen());
        EXPECT_EQ(ovg_priv.fd, -1);
        EXPECT_EQ(port.calls().back().function, "eglGetError");
        EXPECT_EQ(findCall(port, "vgCreateImage"), nullptr);
    }
}

TEST_F(InitOvg, MissingOrUnreadableFramebufferIsReportedWithTheSystemError)
{
    {
        TempBoardRoot noScreen;
        testing::internal::CaptureStderr();
        EXPECT_EQ(init_ovg(), -1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "init_ovg: No such file or directory\n");
    }
    FramebufferBoardRoot root;
    simfb::device().failRequest(FBIOGET_VSCREENINFO, EIO);
    testing::internal::CaptureStderr();
    EXPECT_EQ(init_ovg(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "init_ovg: Input/output error\n");
    EXPECT_FALSE(simfb::device().isOpen());
    EXPECT_TRUE(port.calls().empty());
}
