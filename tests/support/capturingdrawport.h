#pragma once

#include "fb_info.h"
#include "goldenimage.h"
#include "ovgdrawport.h"

#include <cstdint>
#include <vector>

namespace vnq::test {

// One frame of the simulated screen as a swap left it.
struct ScreenFrame {
    simfb::FbInfo info;
    simfb::ScreenPixels screen;

    // The pixel value at screen (x, y), y downwards, in the framebuffer's format.
    uint32_t at(int x, int y) const { return screen.values.at(static_cast<size_t>(y) * screen.width + x); }
    // The frame as opaque 8-bit RGBA, each colour field widened by repeating its bits.
    RgbaImage rgba() const;
};

// The real drawing port, which also copies the main plane of the simulated framebuffer of the
// board root after every eglSwapBuffers, so each frame a sequence shows (a fade's steps) can be
// looked at on its own. A frame that cannot be read fails the test.
class CapturingDrawPort : public vistrel::OvgDrawPort {
public:
    EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface surface) override;

    const std::vector<ScreenFrame>& frames() const { return m_frames; }
    void clearFrames() { m_frames.clear(); }

private:
    std::vector<ScreenFrame> m_frames;
};

}  // namespace vnq::test
