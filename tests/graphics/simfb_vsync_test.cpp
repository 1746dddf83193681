// The simulated framebuffer's vertical-sync wait: its rate comes from the sidecar, and every
// request is counted.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <chrono>

#include "fb_info.h"
#include "framebufferroot.h"
#include "simfb.h"
#include "vx_fbdev.h"

TEST(SimulatedVsync, RateIsAnOptionalSidecarLine)
{
    simfb::FbInfo info = simfb::boardScreen();
    simfb::FbInfo parsed;
    ASSERT_TRUE(simfb::parseFbInfo(simfb::formatFbInfo(info), parsed));
    EXPECT_EQ(parsed.vsyncHz, 0u);
    EXPECT_EQ(simfb::formatFbInfo(info).find("vsync_hz"), std::string::npos);
    info.vsyncHz = 60;
    ASSERT_TRUE(simfb::parseFbInfo(simfb::formatFbInfo(info), parsed));
    EXPECT_EQ(parsed.vsyncHz, 60u);
}

TEST(SimulatedVsync, WaitEndsAtTheNextBoundaryOfTheRateAndEveryRequestIsCounted)
{
    simfb::FbInfo info = simfb::boardScreen();
    info.vsyncHz = 1000;
    vnq::test::FramebufferBoardRoot root(info);
    simfb::SimFb& fb = simfb::device();
    fb.resetRequestCounts();
    int fd = vx_fb_open(VX_FB_DEVICE, O_RDWR);
    ASSERT_GE(fd, 0);
    int argument = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(vx_fb_ioctl(fd, VX_FBIO_WAIT_VSYNC, &argument), 0);
    // Three waits cross three distinct 1 ms boundaries.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2));
    fb.failRequest(VX_FBIO_WAIT_VSYNC, EIO);
    EXPECT_EQ(vx_fb_ioctl(fd, VX_FBIO_WAIT_VSYNC, &argument), -1);
    EXPECT_EQ(vx_fb_ioctl(fd, VX_FBIO_OSD_ENABLE, nullptr), 0);
    EXPECT_EQ(fb.requestCount(VX_FBIO_WAIT_VSYNC), 4);
    EXPECT_EQ(fb.requestCount(VX_FBIO_OSD_ENABLE), 1);
    vx_fb_close(fd);
}
