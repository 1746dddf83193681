#pragma once

#include "framebufferroot.h"
#include "ovg_init.h"
#include "recordingdrawport.h"
#include "vx_fbdev.h"

#include <gtest/gtest.h>

// A drawing surface set up by init_ovg on a recording port, in a temporary board root with a
// simulated framebuffer; the set-up's calls and its printed line are left out.
class DrawingSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        vistrel::setDrawPort(&port);
        testing::internal::CaptureStdout();
        ASSERT_EQ(vistrel::init_ovg(), 0);
        testing::internal::GetCapturedStdout();
        port.clearCalls();
    }
    void TearDown() override
    {
        vx_fb_close(vistrel::ovg_priv.fd);
        vistrel::setDrawPort(nullptr);
    }

    vnq::test::FramebufferBoardRoot root;
    vistrel::RecordingDrawPort port;
};
