#include "capturingdrawport.h"

#include "vnq_boardroot.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace vnq::test {

RgbaImage ScreenFrame::rgba() const
{
    RgbaImage image{static_cast<int>(screen.width), static_cast<int>(screen.height),
                    std::vector<uint8_t>(screen.values.size() * 4, 255)};
    for (size_t i = 0; i < screen.values.size(); ++i)
        simfb::pixelToRgb(screen.values[i], info, &image.bytes[i * 4]);
    return image;
}

EGLBoolean CapturingDrawPort::eglSwapBuffers(EGLDisplay dpy, EGLSurface surface)
{
    const EGLBoolean swapped = OvgDrawPort::eglSwapBuffers(dpy, surface);
    char fbPath[PATH_MAX];
    ScreenFrame frame;
    std::string error;
    if (!vnq_board_path(fbPath, sizeof fbPath, "/dev/fb0"))
        ADD_FAILURE() << "board root path too long";
    else if (!simfb::readFbInfo(std::string(fbPath) + ".info", frame.info))
        ADD_FAILURE() << "no screen description at " << fbPath << ".info";
    else if (!simfb::readScreen(fbPath, frame.info, false, frame.screen, &error))
        ADD_FAILURE() << error;
    m_frames.push_back(std::move(frame));
    return swapped;
}

}  // namespace vnq::test
