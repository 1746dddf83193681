// Posting: the back buffer reaches the simulated framebuffer through the GPU's copy engine,
// clipped to the frame, bracketed by the driver's requests, and the buffers flip.
#include "egl_test_support.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <cstdint>
#include <string>
#include <vector>

#include "EGL/egl/egl_checks.h"
#include "EGL/egl/egl_lx_types.h"
#include "cgl.h"
#include "memmanage/gmalloc.h"
#include "simfb.h"
#include "winsys/vxlib_records.h"

namespace egltest {
namespace {

constexpr int kWidth = 480, kHeight = 272;

// A 16-bit pixmap with a buffer in GPU memory (freed with the pixmap).
VXPixmap pixmapWithBuffer(VXDisplay* vx, int width, int height)
{
    VXPixmap pixmap = VXCreatePixmap(vx, nullptr, width, height, 16);
    pixmap->addr = gmMalloc(width * height * 2, 64);
    return pixmap;
}

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

    // The frame before with the screen rectangle [left, right) x [top, bottom) of the pattern, drawn
    // with its first pixel at (x, y).
    std::vector<uint16_t> framed(const std::vector<uint16_t>& pattern, int64_t x, int64_t y, int64_t left,
                                 int64_t top, int64_t right, int64_t bottom) const
    {
        std::vector<uint16_t> expected = frame();
        for (int64_t sy = std::max<int64_t>(top, 0); sy < std::min<int64_t>(bottom, kHeight); ++sy)
            for (int64_t sx = std::max<int64_t>(left, 0); sx < std::min<int64_t>(right, kWidth); ++sx)
                expected[sy * kWidth + sx] = pattern[(sy - y) * record()->surface_width + (sx - x)];
        return expected;
    }

    // The main plane, or the OSD plane.
    std::vector<uint16_t> frame(bool osd = false) const
    {
        QFile file(root.path("/dev/fb0"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.seek(osd ? root.info().osdOffset : 0));
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
        const std::vector<uint16_t> expected =
            framed(pattern, c.x, c.y, c.x, c.y, int64_t(c.x) + kWidth, int64_t(c.y) + kHeight);
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

TEST_F(Posting, TwoSwapsShowTheTwoBuffersInTurn)
{
    makeCurrent(1, 0, 0);
    const std::vector<uint16_t> a = fillBackBuffer(11);
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(frame() == a, true);
    const std::vector<uint16_t> b = fillBackBuffer(12);
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(frame() == b, true);
    EXPECT_FALSE(record()->back_buffer);
}

TEST_F(Posting, WithTheOsdPlaneTheCopyGoesToThePlane)
{
    const unsigned int osd[3] = {1, 0, 0};
    VXConfigDisplay(vx(), VX_DISPLAY_OSD, osd);
    makeCurrent(1, 0, 0);
    const std::vector<uint16_t> main = frame();
    const std::vector<uint16_t> pattern = fillBackBuffer(9);
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(frame(true) == pattern, true);
    EXPECT_EQ(frame() == main, true);
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

TEST_F(Posting, SubBufferPostCopiesTheRectangleClippedToWindowAndFrameWithoutFlipping)
{
    struct Case {
        int winX, winY;
        EGLint x, y, width, height;
        bool copies;
    } const cases[] = {
        {0, 0, 10, 20, 30, 40, true},
        {-10, 5, 0, 0, kWidth, kHeight, true},
        {0, 0, 470, 260, 2147483647, 2147483647, true},
        {0, 0, -5, -5, 10, 10, true},
        {0, 0, 10, 20, -30, 40, false},
        {0, 0, 10, 20, 30, 0, false},
        {0, 0, kWidth, 0, 10, 10, false},
        {0, 0, 2147483647, 2147483647, 2147483647, 2147483647, false},
    };
    uint16_t salt = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " " + std::to_string(c.width) + "x" +
                     std::to_string(c.height));
        makeCurrent(1, c.winX, c.winY);
        const std::vector<uint16_t> pattern = fillBackBuffer(salt++);
        const int64_t left = std::max<int64_t>(int64_t(c.winX) + c.x, c.winX);
        const int64_t top = std::max<int64_t>(int64_t(c.winY) + c.y, c.winY);
        const int64_t right = std::min<int64_t>(int64_t(c.winX) + c.x + c.width, int64_t(c.winX) + kWidth);
        const int64_t bottom = std::min<int64_t>(int64_t(c.winY) + c.y + c.height, int64_t(c.winY) + kHeight);
        const std::vector<uint16_t> expected = framed(pattern, c.winX, c.winY, left, top, right, bottom);
        simfb::device().clearLog();

        EXPECT_TRUE(eglPostSubBufferNV(dpy, surface, c.x, c.y, c.width, c.height));
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
        EXPECT_EQ(simfb::device().log().size(), c.copies ? 2u : 0u);
        EXPECT_EQ(frame() == expected, true);
        EXPECT_FALSE(record()->back_buffer);
        release();
    }
}

TEST_F(Posting, SwapAndSubBufferPostOfAPbufferDoNothingAndSucceed)
{
    const EGLint size[] = {EGL_WIDTH, 16, EGL_HEIGHT, 8, EGL_NONE};
    surface = eglCreatePbufferSurface(dpy, config(1), size);
    ctx = eglCreateContext(dpy, config(1), EGL_NO_CONTEXT, nullptr);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    simfb::device().clearLog();

    EXPECT_TRUE(eglPostSubBufferNV(dpy, surface, 0, 0, 8, 8));
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(eglGetError(), EGL_SUCCESS);
    EXPECT_TRUE(simfb::device().log().empty());
    EXPECT_FALSE(record()->back_buffer);
}

TEST_F(Posting, SwapNeedsTheCurrentDrawSurface)
{
    makeCurrent(1, 0, 0);
    EGLSurface other = eglCreateWindowSurface(dpy, config(1), window(kWidth, kHeight), nullptr);
    EXPECT_FALSE(eglSwapBuffers(dpy, other));
    EXPECT_EQ(eglGetError(), EGL_BAD_SURFACE);
    eglDestroySurface(dpy, other);
    VXDestroyWindow(vx(), static_cast<VXWindow>(record()->native));
    EXPECT_FALSE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(eglGetError(), EGL_BAD_NATIVE_WINDOW);
    eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    EXPECT_FALSE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(eglGetError(), EGL_BAD_SURFACE);
}

TEST_F(Posting, CopyWithoutAConversionForTheConfigurationFails)
{
    const EGLint size[] = {EGL_WIDTH, 8, EGL_HEIGHT, 4, EGL_NONE};
    surface = eglCreatePbufferSurface(dpy, config(13), size);
    ctx = eglCreateContext(dpy, config(13), EGL_NO_CONTEXT, nullptr);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    VXPixmap pixmap = pixmapWithBuffer(vx(), 8, 4);
    EXPECT_FALSE(eglCopyBuffers(dpy, surface, pixmap));
    VXFreePixmap(vx(), pixmap);
}

TEST_F(Posting, SwapIntervalIsClampedToTheConfigurationAndNeedsAContext)
{
    EXPECT_FALSE(eglSwapInterval(dpy, 1));
    EXPECT_EQ(eglGetError(), EGL_BAD_CONTEXT);

    makeCurrent(1, 0, 0);
    for (EGLint interval : {0, 1, 2, -7, 2147483647}) {
        SCOPED_TRACE(interval);
        EGLINL_CheckDisplay(dpy)->swap_interval = 99;
        EXPECT_TRUE(eglSwapInterval(dpy, interval));
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
        EXPECT_EQ(EGLINL_CheckDisplay(dpy)->swap_interval, 1);
    }
}

// The driver's requests around a copy, on the main plane and on the OSD plane, with failures.
TEST_F(Posting, DriverRequestsBracketTheCopyWithTheirFallBacks)
{
    const std::string eio = std::string(" failed: ") + std::strerror(EIO);
    const std::string eintr = std::string(" failed: ") + std::strerror(EINTR);
    const std::string show = "ioctl 0x400476a0 cmd 3 color 0x00000000";
    const std::string noSync = "NativeSwapBuffers: no vertical sync before showing the OSD plane\n";
    struct Case {
        bool osd;
        unsigned long failing;
        int err, times;
        std::vector<std::string> requests;
        std::string printed;
    } const cases[] = {
        {false, 0, 0, 0, {"ioctl 0x40047640", "ioctl 0x40047641"}, ""},
        {false, 0x40047640ul, EIO, 1, {"ioctl 0x40047640" + eio, "ioctl 0x0000761d", "ioctl 0x40047641"}, ""},
        {false, 0x40047641ul, EIO, 1, {"ioctl 0x40047640", "ioctl 0x40047641" + eio, "ioctl 0x0000761c"}, ""},
        {true, 0, 0, 0, {"ioctl 0x4004763e", "ioctl 0x4004763f", "ioctl 0x40047643", show}, ""},
        {true, 0x40047643ul, EINTR, 2,
         {"ioctl 0x4004763e", "ioctl 0x4004763f", "ioctl 0x40047643" + eintr, "ioctl 0x40047643" + eintr,
          "ioctl 0x40047643", show},
         ""},
        {true, 0x40047643ul, EIO, 1, {"ioctl 0x4004763e", "ioctl 0x4004763f", "ioctl 0x40047643" + eio, show}, noSync},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requests.back());
        const unsigned int osd[3] = {c.osd ? 1u : 0u, 0, 0};
        testing::internal::CaptureStdout();
        const unsigned int hidden[1] = {0};
        VXConfigDisplay(vx(), VX_DISPLAY_OSD, osd);
        VXConfigDisplay(vx(), VX_DISPLAY_OSD_VISIBLE, hidden);
        makeCurrent(1, 0, 0);
        fillBackBuffer(5);
        simfb::device().clearLog();
        if (c.failing)
            simfb::device().failRequest(c.failing, c.err, c.times);

        EXPECT_TRUE(eglSwapBuffers(dpy, surface));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(simfb::device().log(), c.requests);
        release();
    }
}

// A driver whose vertical-sync wait stays interrupted is given up on after 100 attempts.
TEST_F(Posting, AnOsdPlaneIsShownAfterAtMostAHundredInterruptedWaits)
{
    const unsigned int osd[3] = {1, 0, 0};
    VXConfigDisplay(vx(), VX_DISPLAY_OSD, osd);
    makeCurrent(1, 0, 0);
    simfb::device().resetRequestCounts();
    simfb::device().failRequest(0x40047643ul, EAGAIN, 1000);

    testing::internal::CaptureStdout();
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "NativeSwapBuffers: no vertical sync before showing the OSD plane\n");
    EXPECT_EQ(simfb::device().requestCount(0x40047643ul), 100);
    int visible = 0;
    VXQueryDisplay(vx(), VX_DISPLAY_OSD_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
    simfb::device().failRequest(0x40047643ul, 0, 0);
}

TEST_F(Posting, CopyToAPixmapChecksItAndTurnsPbuffersUpsideDown)
{
    constexpr int w = 16, h = 8;
    struct Case {
        bool window;
        bool flipped;
    } const cases[] = {{true, false}, {false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        const EGLint size[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
        surface = c.window ? eglCreateWindowSurface(dpy, config(1), window(w, h), nullptr)
                           : eglCreatePbufferSurface(dpy, config(1), size);
        ctx = eglCreateContext(dpy, config(1), EGL_NO_CONTEXT, nullptr);
        ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
        ASSERT_EQ(record()->surface_width, w);
        std::vector<uint16_t> pixels(w * h);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint16_t>(i * 13 + 1);
        cglWriteMemory16A(backBuffer(), pixels.data(), w * h);

        VXPixmap pixmap = pixmapWithBuffer(vx(), w, h);
        EXPECT_TRUE(eglCopyBuffers(dpy, surface, pixmap));
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
        std::vector<uint16_t> copied(w * h);
        cglReadMemory16A(static_cast<word32>(pixmap->addr), copied.data(), w * h);
        for (int r = 0; r < h; ++r) {
            const int from = c.flipped ? h - 1 - r : r;
            EXPECT_EQ(std::vector<uint16_t>(copied.begin() + r * w, copied.begin() + (r + 1) * w),
                      std::vector<uint16_t>(pixels.begin() + from * w, pixels.begin() + (from + 1) * w))
                << "row " << r;
        }

        VXPixmap wrongSize = pixmapWithBuffer(vx(), w, h + 1);
        EXPECT_FALSE(eglCopyBuffers(dpy, surface, wrongSize));
        EXPECT_EQ(eglGetError(), EGL_BAD_MATCH);
        VXPixmap noBuffer = VXCreatePixmap(vx(), nullptr, w, h, 16);
        EXPECT_FALSE(eglCopyBuffers(dpy, surface, noBuffer));
        EXPECT_FALSE(eglCopyBuffers(dpy, surface, window(w, h)));
        EXPECT_EQ(eglGetError(), EGL_BAD_NATIVE_PIXMAP);
        VXFreePixmap(vx(), pixmap);
        VXFreePixmap(vx(), wrongSize);
        VXFreePixmap(vx(), noBuffer);
        release();
    }
}

class Posting32 : public Posting {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(simfb::writeFramebuffer(root.path("/dev/fb0").toStdString(), simfb::boardScreen(kWidth, kHeight, 32)));
        Posting::SetUp();
    }

    std::vector<uint32_t> frame32() const
    {
        QFile file(root.path("/dev/fb0"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.read(kWidth * kHeight * 4);
        std::vector<uint32_t> pixels(kWidth * kHeight);
        memcpy(pixels.data(), bytes.constData(), std::min<size_t>(bytes.size(), pixels.size() * 4));
        return pixels;
    }
};

// Every configuration whose colour buffers are 32 bits wide posts, the RGBX ones included.
TEST_F(Posting32, AFullWindowMakesTheFrameEqualTheBackBuffer)
{
    for (EGLint id : {8, 9}) {
        SCOPED_TRACE(id);
        makeCurrent(id, 0, 0, 32);
        ASSERT_EQ(record()->surface_width, kWidth);
        std::vector<uint32_t> pixels(kWidth * kHeight);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint32_t>(i * 2654435761u + id);
        cglWriteMemory32A(backBuffer(), pixels.data(), static_cast<word32>(pixels.size()));

        EXPECT_TRUE(eglSwapBuffers(dpy, surface));
        EXPECT_EQ(frame32() == pixels, true);
        release();
    }
}

TEST_F(Posting32, SixteenBitBuffersDoNotPostToA32BitFrame)
{
    makeCurrent(1, 0, 0);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "NativeSwapBuffers failed: surface_dpp (16) != fb_dpp (32)\n");
    EXPECT_FALSE(record()->back_buffer);
}

}  // namespace
}  // namespace egltest
