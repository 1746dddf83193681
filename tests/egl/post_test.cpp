// Posting: the back buffer reaches the simulated framebuffer through the GPU's copy engine,
// clipped to the frame, bracketed by the driver's requests, and the buffers flip.
#include "egl_test_support.h"

#include <QFile>

#include <cstdint>
#include <string>
#include <vector>

#include "EGL/egl/egl_lx_types.h"
#include "cgl.h"
#include "simfb.h"

namespace egltest {
namespace {

constexpr int kWidth = 480, kHeight = 272;

class Posting : public EglTest {
protected:
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext ctx = EGL_NO_CONTEXT;

    void SetUp() override
    {
        initialize();
        ASSERT_TRUE(eglBindAPI(EGL_OPENVG_API));
    }
    void TearDown() override
    {
        release();
        EXPECT_EQ(terminate(), "");
        EglTest::TearDown();
    }

    void makeCurrent(EGLint configId, int x, int y, int depth = 16)
    {
        surface = eglCreateWindowSurface(dpy, config(configId), VXCreateWindow(vx(), x, y, kWidth, kHeight, depth),
                                         nullptr);
        ASSERT_NE(surface, EGL_NO_SURFACE);
        ctx = eglCreateContext(dpy, config(configId), EGL_NO_CONTEXT, nullptr);
        ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    }
    void release()
    {
        eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (surface != EGL_NO_SURFACE)
            eglDestroySurface(dpy, surface);
        if (ctx != EGL_NO_CONTEXT)
            eglDestroyContext(dpy, ctx);
        surface = EGL_NO_SURFACE;
        ctx = EGL_NO_CONTEXT;
    }

    EGLsurface* record() const { return static_cast<EGLsurface*>(surface); }
    EGLGpuAddress backBuffer() const { return record()->back_buffer ? record()->color_buffer1 : record()->color_buffer0; }

    // Fills the 16-bit back buffer with a pattern that names each pixel; the pattern.
    std::vector<uint16_t> fillBackBuffer(uint16_t salt)
    {
        std::vector<uint16_t> pixels(static_cast<size_t>(record()->surface_width) * kHeight);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint16_t>(i * 7 + salt);
        cglWriteMemory16A(backBuffer(), pixels.data(), static_cast<word32>(pixels.size()));
        return pixels;
    }

    std::vector<uint16_t> frame() const
    {
        QFile file(root.path("/dev/fb0"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.read(kWidth * kHeight * 2);
        std::vector<uint16_t> pixels(kWidth * kHeight);
        memcpy(pixels.data(), bytes.constData(), std::min<size_t>(bytes.size(), pixels.size() * 2));
        return pixels;
    }
};

TEST_F(Posting, SwapCopiesTheWindowsPartOfTheFrameAndFlips)
{
    struct Case {
        int x, y;
        std::vector<std::string> requests;
    } const cases[] = {
        {0, 0, {"ioctl 0x40047640", "ioctl 0x40047641"}},
        {-10, 0, {"ioctl 0x40047640", "ioctl 0x40047641"}},
        {20, -5, {"ioctl 0x40047640", "ioctl 0x40047641"}},
        {kWidth, 0, {}},
        {0, kHeight + 3, {}},
        {2147483600, 0, {}},
    };
    uint16_t salt = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        makeCurrent(1, c.x, c.y);
        const std::vector<uint16_t> pattern = fillBackBuffer(salt++);
        std::vector<uint16_t> expected = frame();
        for (int sy = 0; sy < kHeight; ++sy)
            for (int sx = 0; sx < kWidth; ++sx) {
                const int64_t wx = int64_t(sx) - c.x, wy = int64_t(sy) - c.y;
                if (wx >= 0 && wx < kWidth && wy >= 0 && wy < kHeight)
                    expected[sy * kWidth + sx] = pattern[wy * record()->surface_width + wx];
            }
        const EGLBoolean before = record()->back_buffer;
        simfb::device().clearLog();

        EXPECT_TRUE(eglSwapBuffers(dpy, surface));
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
        EXPECT_EQ(simfb::device().log(), c.requests);
        EXPECT_EQ(frame() == expected, true);
        EXPECT_NE(record()->back_buffer, before);
        release();
    }
}

TEST_F(Posting, ABufferOfAnotherDepthThanTheFramePrintsAndDoesNotFlip)
{
    makeCurrent(8, 0, 0, 32);
    const std::vector<uint16_t> before = frame();
    simfb::device().clearLog();

    testing::internal::CaptureStdout();
    EXPECT_FALSE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "NativeSwapBuffers failed: surface_dpp (32) != fb_dpp (16)\n");
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    EXPECT_FALSE(record()->back_buffer);
    EXPECT_TRUE(simfb::device().log().empty());
    EXPECT_EQ(frame() == before, true);
}

}  // namespace
}  // namespace egltest
