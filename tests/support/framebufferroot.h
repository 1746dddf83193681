#pragma once

#include "fb_info.h"
#include "tempboardroot.h"

namespace vnq::test {

// A temporary board root with a simulated framebuffer ("/dev/fb0" and its sidecar) of the
// asked size and depth (16: RGB565, 32: ARGB8888), OSD plane after the main plane.
class FramebufferBoardRoot : public TempBoardRoot {
public:
    explicit FramebufferBoardRoot(uint32_t xres = 480, uint32_t yres = 272, uint32_t bitsPerPixel = 16);
    explicit FramebufferBoardRoot(const simfb::FbInfo& info);

    const simfb::FbInfo& info() const { return m_info; }
    // Rewrites the sidecar (the framebuffer file is left alone).
    bool rewriteInfo(const simfb::FbInfo& info);

private:
    simfb::FbInfo m_info;
};

}  // namespace vnq::test
