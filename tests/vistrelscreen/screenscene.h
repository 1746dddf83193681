#pragma once

#include "capturingdrawport.h"
#include "fontoptions.h"
#include "framebufferroot.h"
#include "goldenimage.h"
#include "guimodule.h"
#include "ovg_init.h"
#include "packagedfont.h"
#include "vx_fbdev.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

// The display server in this process on the real drawing port, in a temporary board root with
// a simulated 480x272 RGB565 screen that never waits for a vertical sync. Messages go straight
// to GuiModule; the port keeps every frame a swap shows.
class ScreenScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        vistrel::argvFontPath = packagedFont();
        ASSERT_FALSE(vistrel::argvFontPath.empty()) << VNQ_NO_FONT_MESSAGE;
        ASSERT_TRUE(root.makeDir(QStringLiteral("/tmp")));
        ASSERT_TRUE(root.makeDir(QStringLiteral("/VnQo/app/Parts")));
        ASSERT_TRUE(root.writeFile(QStringLiteral("/VnQo/app/App/start.xml"),
                                   "<items><action>Clear</action><action>Flash</action></items>"));
        ASSERT_TRUE(QDir::setCurrent(root.path(QStringLiteral("/VnQo/app/App"))));
        vistrel::setDrawPort(&port);
        testing::internal::CaptureStdout();
        ASSERT_EQ(vistrel::init_ovg(), 0);
        module = vistrel::GuiModule::getInstance(QStringLiteral("/tmp/vistrel.uds"));
        testing::internal::GetCapturedStdout();
        port.clearFrames();
    }
    // EGL is stopped and the window system's display closed, so the next scene of this process
    // starts as the display server does, on its own screen.
    void TearDown() override
    {
        const vistrel::ovg_priv_s& priv = vistrel::ovg_priv;
        testing::internal::CaptureStdout();
        eglMakeCurrent(priv.egl_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglTerminate(priv.egl_display);
        testing::internal::GetCapturedStdout();
        VXCloseDisplay(priv.native_display);
        vx_fb_close(priv.fd);
        vistrel::setDrawPort(nullptr);
    }

    // The stored message screens/<name>.xml, sent whole.
    void sendStored(const char* name)
    {
        QFile file(QStringLiteral(VNQ_SCREEN_MESSAGES "/%1.xml").arg(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        module->messageReceived(QString::fromUtf8(file.readAll()).trimmed());
    }

    // Writes a picture of width x height pixels, colour(x, y) each, as a PNG at the board path.
    void putPicture(const QString& boardPath, int width, int height,
                    const std::function<uint32_t(int x, int y)>& rgbaAt)
    {
        vnq::test::RgbaImage image{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t c = rgbaAt(x, y);
                uint8_t* p = &image.bytes[(size_t(y) * width + x) * 4];
                p[0] = uint8_t(c >> 24), p[1] = uint8_t(c >> 16), p[2] = uint8_t(c >> 8), p[3] = uint8_t(c);
            }
        ASSERT_TRUE(root.makeDir(QFileInfo(boardPath).path()));
        ASSERT_TRUE(vnq::test::writePngFile(root.path(boardPath).toStdString(), image));
    }

    const vnq::test::ScreenFrame& frame(size_t i) const { return port.frames().at(i); }
    const vnq::test::ScreenFrame& lastFrame() const { return port.frames().back(); }

    vnq::test::FramebufferBoardRoot root;
    vnq::test::CapturingDrawPort port;
    vistrel::GuiModule* module = nullptr;
};

// RGB565 helpers for the values worked out in the tests.
namespace rgb565 {

inline uint16_t pack(int r5, int g6, int b5)
{
    return uint16_t(r5 << 11 | g6 << 5 | b5);
}

// From colour channels in 0..1, rounded to the nearest step.
inline uint16_t fromUnit(double r, double g, double b)
{
    return pack(int(std::lround(r * 31)), int(std::lround(g * 63)), int(std::lround(b * 31)));
}

inline double red(uint32_t v) { return ((v >> 11) & 31) / 31.0; }
inline double green(uint32_t v) { return ((v >> 5) & 63) / 63.0; }
inline double blue(uint32_t v) { return (v & 31) / 31.0; }

// Whether each field of the two values differs by at most one step.
inline bool withinOneStep(uint32_t a, uint32_t b)
{
    return std::abs(int((a >> 11) & 31) - int((b >> 11) & 31)) <= 1 &&
           std::abs(int((a >> 5) & 63) - int((b >> 5) & 63)) <= 1 && std::abs(int(a & 31) - int(b & 31)) <= 1;
}

}  // namespace rgb565

// The pictures of the scenes, as stb_image_write stores them: RGBA 8888 per pixel.
namespace pictures {

// A full-screen gradient: red along x, green along y, blue falling along x; opaque.
inline uint32_t gradient(int x, int y)
{
    const uint32_t r = uint32_t(x * 255 / 479), g = uint32_t(y * 255 / 271), b = 255 - r;
    return r << 24 | g << 16 | b << 8 | 0xFF;
}

// Orange whose alpha falls from opaque at the left column to nearly clear at the right.
constexpr uint32_t kOrange = 0xFF880000u;  // red 255, green 136, blue 0
inline uint32_t alphaRamp(int x, int)
{
    return kOrange | uint32_t(255 - x * 255 / 100);
}

}  // namespace pictures

// The pure green that "Clear" leaves.
constexpr uint16_t kClearGreen565 = 0x07E0;

// Saves the frame as a golden screen of the area, the rule of the screen tests: channels within
// 8 (one RGB565 step), at most 0.5 % of the pixels beyond.
inline void expectGoldenScreen(const std::string& name, const vnq::test::RgbaImage& image)
{
    expectGoldenImage(name, image, 8, 0.005);
}
