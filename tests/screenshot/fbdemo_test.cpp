// A whole frame through the graphics stack: vnq_fbdemo brings up EGL on a fresh board root the
// way the display server does, writes colour bars into the back buffer and swaps; vnq_fbshot's
// PNG must then hold exactly the bars, at 16 and at 32 bits per pixel.
#include <gtest/gtest.h>

#include <QProcess>

#include <array>
#include <cstdint>

#include <stb/stb_image.h>

#include "framebufferroot.h"

namespace {

int runTool(const char* tool, const QStringList& args, QByteArray* err)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(tool), args);
    p.waitForFinished(60000);
    *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(FbDemo, ColourBarsReachTheScreenshotExactly)
{
    using Rgb = std::array<uint8_t, 3>;
    const Rgb bars[8] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                         {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    for (const uint32_t bpp : {16u, 32u}) {
        SCOPED_TRACE(bpp);
        vnq::test::FramebufferBoardRoot root(480, 272, bpp);
        QByteArray err;
        ASSERT_EQ(runTool(VNQ_FBDEMO, {}, &err), 0) << err.constData();
        const QString png = root.path("/bars.png");
        ASSERT_EQ(runTool(VNQ_FBSHOT, {png}, &err), 0) << err.constData();

        int w = 0, h = 0, channels = 0;
        unsigned char* data = stbi_load(png.toLocal8Bit().constData(), &w, &h, &channels, 3);
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(w, 480);
        ASSERT_EQ(h, 272);
        int wrong = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const unsigned char* p = data + (y * w + x) * 3;
                const Rgb& want = bars[x * 8 / w];
                if (Rgb{p[0], p[1], p[2]} != want && wrong++ == 0)
                    ADD_FAILURE() << "first wrong pixel at " << x << ", " << y;
            }
        }
        EXPECT_EQ(wrong, 0);
        stbi_image_free(data);
    }
}

}  // namespace
