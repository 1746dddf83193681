// Posting: the back buffer reaches the simulated framebuffer through the GPU's copy engine,
// clipped to the frame, bracketed by the driver's requests, and the buffers flip.
#include "egl_test_support.h"

#include <QFile>
#include <VG/openvg.h>

#include <algorithm>
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
#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
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
    // After a swap OpenVG draws into EGL's new back buffer and leaves the one on show alone.
    auto expectTheLayerDrawsIntoTheBackBuffer = [&](const std::vector<uint16_t>& shown) {
        EXPECT_EQ(VGALVAL_colorbuffer_addr, backBuffer());
        const VGfloat red[4] = {1, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, red);
        const BBOXINFO all{0, kWidth - 1, 0, kHeight - 1};
        VGALFUNC_lx_clearsurface(&all);
        vgFinish();
        std::vector<uint16_t> back(shown.size()), front(shown.size());
        cglReadMemory16A(backBuffer(), back.data(), static_cast<word32>(back.size()));
        cglReadMemory16A(record()->back_buffer ? record()->color_buffer0 : record()->color_buffer1, front.data(),
                         static_cast<word32>(front.size()));
        EXPECT_EQ(back == std::vector<uint16_t>(back.size(), 0xF800), true);
        EXPECT_EQ(front == shown, true);
    };
    makeCurrent(1, 0, 0);
    const std::vector<uint16_t> a = fillBackBuffer(11);
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(frame() == a, true);
    EXPECT_TRUE(record()->back_buffer);
    expectTheLayerDrawsIntoTheBackBuffer(a);
    const std::vector<uint16_t> b = fillBackBuffer(12);
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(frame() == b, true);
    EXPECT_FALSE(record()->back_buffer);
    expectTheLayerDrawsIntoTheBackBuffer(b);
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

// The rounded (half up) average of four RGB565 samples, field by field.
uint16_t average565(const uint16_t samples[4])
{
    uint32_t r = 0, g = 0, b = 0;
    for (int i = 0; i < 4; ++i) {
        r += samples[i] >> 11;
        g += (samples[i] >> 5) & 0x3F;
        b += samples[i] & 0x1F;
    }
    return static_cast<uint16_t>((r + 2) / 4 << 11 | (g + 2) / 4 << 5 | (b + 2) / 4);
}

// A multisampled window: the swap waits for OpenVG, whose finish resolves the four samples of
// each pixel into the back buffer as their average, and that back buffer is what reaches the
// frame. Twice, so the resolve follows the flip into the other colour buffer.
TEST_F(Posting, AMultisampledWindowPostsTheAverageOfItsSamples)
{
    // The whole screen, and a window narrower than its buffer's rows (13 of 16 pixels) away
    // from the corner, so the resolve's line skips (in samples and in pixels) count too.
    struct Case {
        int x, y, width, height;
    } const cases[] = {{0, 0, kWidth, kHeight}, {5, 7, 13, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        surface = eglCreateWindowSurface(dpy, config(17), VXCreateWindow(vx(), c.x, c.y, c.width, c.height, 16),
                                         nullptr);
        ASSERT_NE(surface, EGL_NO_SURFACE);
        ctx = eglCreateContext(dpy, config(17), EGL_NO_CONTEXT, nullptr);
        ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
        const int row = record()->surface_width;
        ASSERT_NE(record()->sample_buffer, EGL_NO_GPU_ADDRESS);
        ASSERT_EQ(record()->msaa_surface_width, 4 * row);
        const size_t pixels = static_cast<size_t>(row) * c.height;

        for (uint32_t salt : {1u, 2u}) {
            SCOPED_TRACE(salt);
            // Four different samples a pixel, with every remainder of the field sums by 4, so
            // both the rounding down and the rounding up show; the extremes at the first pixels.
            std::vector<uint16_t> samples(4 * pixels);
            for (size_t p = 0; p < pixels; ++p)
                for (uint32_t s = 0; s < 4; ++s) {
                    const uint32_t r = (p * 3 + s * 7 + salt) & 0x1F, g = (p * 5 + s * 19 + salt * 3) & 0x3F,
                                   b = (p * 11 + s * 13 + (p >> 4)) & 0x1F;
                    samples[4 * p + s] = static_cast<uint16_t>(r << 11 | g << 5 | b);
                }
            std::fill_n(samples.begin(), 4, uint16_t(0xFFFF));
            samples[4] = 0xFFFF, samples[5] = samples[6] = samples[7] = 0;  // 31 / 4 rounds to 8
            ASSERT_EQ(average565(&samples[0]), 0xFFFF);
            ASSERT_EQ(average565(&samples[4]), 8 << 11 | 16 << 5 | 8);
            cglWriteMemory16A(record()->sample_buffer, samples.data(), static_cast<word32>(samples.size()));
            const EGLGpuAddress back = backBuffer();
            std::vector<uint16_t> resolved(pixels);
            cglReadMemory16A(back, resolved.data(), static_cast<word32>(pixels));
            std::vector<uint16_t> expected = frame();
            for (int sy = 0; sy < c.height; ++sy)
                for (int sx = 0; sx < c.width; ++sx) {
                    const size_t p = static_cast<size_t>(sy) * row + sx;
                    resolved[p] = average565(&samples[4 * p]);
                    expected[(c.y + sy) * kWidth + c.x + sx] = resolved[p];
                }
            const EGLBoolean before = record()->back_buffer;

            EXPECT_TRUE(eglSwapBuffers(dpy, surface));
            EXPECT_EQ(eglGetError(), EGL_SUCCESS);
            EXPECT_NE(record()->back_buffer, before);
            std::vector<uint16_t> inBuffer(pixels);
            cglReadMemory16A(back, inBuffer.data(), static_cast<word32>(pixels));
            EXPECT_EQ(inBuffer == resolved, true);
            const std::vector<uint16_t> shown = frame();
            const auto wrong = std::mismatch(shown.begin(), shown.end(), expected.begin());
            EXPECT_EQ(wrong.first, shown.end()) << "first at pixel " << (wrong.first - shown.begin()) << ": "
                                                << *wrong.first << " for " << *wrong.second;
        }
        // The samples are left as written.
        std::vector<uint16_t> first(4);
        cglReadMemory16A(record()->sample_buffer, first.data(), 4);
        EXPECT_EQ(first, std::vector<uint16_t>(4, 0xFFFF));
        release();
    }
}

// The layer's surface clear (vgClear's fast clear) writes all four samples of the pixels it
// covers, so after the swap the cleared box shows the clear colour exactly and the rest the
// averages of the samples.
TEST_F(Posting, AClearOfAMultisampledWindowShowsItsColourThroughTheResolve)
{
    makeCurrent(17, 0, 0);
    const size_t pixels = static_cast<size_t>(kWidth) * kHeight;
    std::vector<uint16_t> samples(4 * pixels);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint16_t>(i % 4 == 0 ? 0xF81F : 0x07E0);  // magenta, then three greens
    cglWriteMemory16A(record()->sample_buffer, samples.data(), static_cast<word32>(samples.size()));
    const uint16_t rest = average565(&samples[0]);
    ASSERT_EQ(rest, 8 << 11 | 47 << 5 | 8);

    const VGfloat blue[4] = {0, 0, 1, 1};
    vgSetfv(VG_CLEAR_COLOR, 4, blue);
    const BBOXINFO box{100, 139, 50, 79};  // OpenVG columns and rows, the rows upward from the bottom
    VGALFUNC_lx_clearsurface(&box);
    ASSERT_EQ(vgGetError(), VG_NO_ERROR);
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));

    const std::vector<uint16_t> shown = frame();
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int vgY = kHeight - 1 - y;
            const bool cleared = x >= 100 && x < 140 && vgY >= 50 && vgY < 80;
            const uint16_t want = cleared ? 0x001F : rest;
            if (shown[y * kWidth + x] != want && ++wrong <= 5)
                ADD_FAILURE() << "(" << x << "," << y << "): " << shown[y * kWidth + x] << " for " << want;
        }
    EXPECT_EQ(wrong, 0);
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

// Pbuffers are stored bottom row first and come out turned over; windows and pixmap surfaces
// are stored top row first, as pixmaps are, and keep their row order.
TEST_F(Posting, CopyToAPixmapChecksItAndTurnsPbuffersUpsideDown)
{
    constexpr int w = 16, h = 8;
    enum Kind { Window, Pbuffer, PixmapSurface };
    struct Case {
        Kind kind;
        bool flipped;
    } const cases[] = {{Window, false}, {Pbuffer, true}, {PixmapSurface, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const EGLint size[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
        VXPixmap drawnInto = c.kind == PixmapSurface ? pixmapWithBuffer(vx(), w, h) : nullptr;
        surface = c.kind == Window    ? eglCreateWindowSurface(dpy, config(1), window(w, h), nullptr)
                  : c.kind == Pbuffer ? eglCreatePbufferSurface(dpy, config(1), size)
                                      : eglCreatePixmapSurface(dpy, config(1), drawnInto, nullptr);
        ASSERT_NE(surface, EGL_NO_SURFACE);
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
        if (drawnInto)
            VXFreePixmap(vx(), drawnInto);
    }
}

// A surface without pixels copies nothing into a pixmap of its size and succeeds: the block's
// size fields hold the size less one, so an empty block must never reach the copy engine.
TEST_F(Posting, CopyOfAnEmptySurfaceWritesNothing)
{
    struct Case {
        int width, height;
    } const cases[] = {{0, 0}, {0, 6}, {8, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const EGLint size[] = {EGL_WIDTH, c.width, EGL_HEIGHT, c.height, EGL_NONE};
        surface = eglCreatePbufferSurface(dpy, config(1), size);
        ASSERT_NE(surface, EGL_NO_SURFACE);
        ctx = eglCreateContext(dpy, config(1), EGL_NO_CONTEXT, nullptr);
        ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
        VXPixmap pixmap = VXCreatePixmap(vx(), nullptr, c.width, c.height, 16);
        pixmap->addr = gmMalloc(4096, 64);
        const std::vector<uint8_t> poison(4096, 0xA5);
        cglWriteMemory8A(static_cast<word32>(pixmap->addr), poison.data(), 4096);
        const size_t events = gpu.log().size();

        EXPECT_TRUE(eglCopyBuffers(dpy, surface, pixmap));
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
        std::vector<uint8_t> after(4096);
        cglReadMemory8A(static_cast<word32>(pixmap->addr), after.data(), 4096);
        EXPECT_EQ(after, poison);
        const auto copyStart = [](const simgpu::Event& e) {
            return e.kind == simgpu::Kind::Write && e.reg == LX_PE_OVG_CP_START;
        };
        EXPECT_EQ(find(copyStart, static_cast<long>(events)), -1);
        VXFreePixmap(vx(), pixmap);
        release();
    }
}

// The pixmap's memory as the embedding program gives it: through the pixmap query hook.
EGLGpuAddress hookedPixmapMemory = EGL_NO_GPU_ADDRESS;
uint32_t queryPixmapWithHookedMemory(EGLNativeDisplayType dpy, EGLNativePixmapType pixmap, EGLint attribute)
{
    if (attribute == EGL_NATIVE_PIXMAP_ADDR)
        return hookedPixmapMemory;
    return PORTL_NativeQueryPixmap(dpy, pixmap, attribute);
}

// A colour channel of `bits` bits widened to 8 by repeating its bits from the top.
uint32_t widen(uint32_t value, int bits)
{
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits)
        out = out << bits | value;
    return (out >> (((8 + bits - 1) / bits) * bits - 8)) & 0xFF;
}

// Source layouts (colour order 1), fields from the top: ARGB with these widths.
struct Layout {
    int a, r, g, b;
};
constexpr Layout kRgb565{0, 5, 6, 5}, kArgb1555{1, 5, 5, 5}, kArgb4444{4, 4, 4, 4}, kArgb8888{8, 8, 8, 8};

// The ARGB8888 colour of a stored source value; a layout without alpha is opaque.
uint32_t sourceColour(const Layout& l, uint32_t v)
{
    auto field = [v](int offset, int bits) { return (v >> offset) & ((1u << bits) - 1); };
    const uint32_t b = field(0, l.b), g = field(l.b, l.g), r = field(l.b + l.g, l.r);
    const uint32_t a = l.a ? widen(field(l.b + l.g + l.r, l.a), l.a) : 0xFFu;
    return a << 24 | widen(r, l.r) << 16 | widen(g, l.g) << 8 | widen(b, l.b);
}

// The colour stored in the pixmap: ARGB8888 as it is, or RGB565 keeping each channel's top bits.
uint32_t pixmapValue(uint32_t argb, int depth)
{
    if (depth == 32)
        return argb;
    return ((argb >> 19) & 0x1F) << 11 | ((argb >> 10) & 0x3F) << 5 | ((argb >> 3) & 0x1F);
}

// The eight conversions of eglCopyBuffers, on window surfaces and on pbuffers (whose rows come
// out turned over), pixel-exact against the bit replication and truncation the copy engine
// documents; the pixmap's memory is given through the query hook.
TEST_F(Posting, CopyToAPixmapConvertsEachConfigurationToEachDepthPixelExactly)
{
    constexpr int w = 16, h = 4;
    struct Case {
        EGLint config;
        Layout layout;
        int sourceBits;
        int depth;
    } const cases[] = {
        {1, kRgb565, 16, 32},   {1, kRgb565, 16, 16},   {3, kArgb1555, 16, 32}, {3, kArgb1555, 16, 16},
        {5, kArgb4444, 16, 32}, {5, kArgb4444, 16, 16}, {7, kArgb8888, 32, 32}, {7, kArgb8888, 32, 16},
    };
    // Known values first (all clear, all set, each field alone at its top and bottom bit), then
    // a spread of the rest.
    auto sourcePixels = [](const Layout& l, int bits) {
        std::vector<uint32_t> v{0, bits == 32 ? 0xFFFFFFFFu : 0xFFFFu};
        int offset = 0;
        for (int width : {l.b, l.g, l.r, l.a}) {
            if (width) {
                v.push_back(1u << offset);
                v.push_back(1u << (offset + width - 1));
                v.push_back(((1u << width) - 1) << offset);
            }
            offset += width;
        }
        for (uint32_t i = static_cast<uint32_t>(v.size()); i < w * h; ++i)
            v.push_back((i * 2654435761u) >> (32 - bits));
        return v;
    };
    EGLINL_CallbackNativeQueryPixmap = queryPixmapWithHookedMemory;
    for (const Case& c : cases)
        for (bool pbuffer : {false, true}) {
            SCOPED_TRACE("configuration " + std::to_string(c.config) + " to depth " + std::to_string(c.depth) +
                         (pbuffer ? " from a pbuffer" : " from a window"));
            const EGLint size[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
            surface = pbuffer ? eglCreatePbufferSurface(dpy, config(c.config), size)
                              : eglCreateWindowSurface(dpy, config(c.config), window(w, h, c.sourceBits), nullptr);
            ASSERT_NE(surface, EGL_NO_SURFACE);
            ctx = eglCreateContext(dpy, config(c.config), EGL_NO_CONTEXT, nullptr);
            ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
            ASSERT_EQ(record()->surface_width, w);

            const std::vector<uint32_t> source = sourcePixels(c.layout, c.sourceBits);
            if (c.sourceBits == 16) {
                const std::vector<uint16_t> narrow(source.begin(), source.end());
                cglWriteMemory16A(backBuffer(), narrow.data(), w * h);
            } else {
                cglWriteMemory32A(backBuffer(), source.data(), w * h);
            }
            const word32 pixmapBytes = w * h * c.depth / 8;
            hookedPixmapMemory = gmMalloc(pixmapBytes, 64);
            ASSERT_NE(hookedPixmapMemory, 0u);
            const std::vector<uint8_t> poison(pixmapBytes, 0xA5);
            cglWriteMemory8A(hookedPixmapMemory, poison.data(), pixmapBytes);
            VXPixmap pixmap = VXCreatePixmap(vx(), nullptr, w, h, c.depth);

            EXPECT_TRUE(eglCopyBuffers(dpy, surface, pixmap));
            EXPECT_EQ(eglGetError(), EGL_SUCCESS);
            std::vector<uint32_t> copied(w * h);
            if (c.depth == 16) {
                std::vector<uint16_t> narrow(w * h);
                cglReadMemory16A(hookedPixmapMemory, narrow.data(), w * h);
                copied.assign(narrow.begin(), narrow.end());
            } else {
                cglReadMemory32A(hookedPixmapMemory, copied.data(), w * h);
            }
            for (int r = 0; r < h; ++r)
                for (int x = 0; x < w; ++x) {
                    const uint32_t in = source[(pbuffer ? h - 1 - r : r) * w + x];
                    const uint32_t want = pixmapValue(sourceColour(c.layout, in), c.depth);
                    EXPECT_EQ(copied[r * w + x], want) << std::hex << "pixel (" << x << "," << r << ") from 0x" << in;
                }

            VXFreePixmap(vx(), pixmap);
            gmFree(hookedPixmapMemory);
            hookedPixmapMemory = EGL_NO_GPU_ADDRESS;
            release();
        }
}

// The formulas of the test above, on values worked out by hand.
TEST(PixmapConversionFormulas, WidenByRepeatingTheTopBits)
{
    EXPECT_EQ(widen(0x1F, 5), 0xFFu);
    EXPECT_EQ(widen(0x10, 5), 0x84u);
    EXPECT_EQ(widen(0x01, 5), 0x08u);
    EXPECT_EQ(widen(0x20, 6), 0x82u);
    EXPECT_EQ(widen(0x01, 6), 0x04u);
    EXPECT_EQ(widen(0x9, 4), 0x99u);
    EXPECT_EQ(widen(1, 1), 0xFFu);
    EXPECT_EQ(widen(0xAB, 8), 0xABu);
    EXPECT_EQ(sourceColour(kArgb1555, 0x8000), 0xFF000000u);
    EXPECT_EQ(sourceColour(kArgb4444, 0x1234), 0x11223344u);
    EXPECT_EQ(sourceColour(kRgb565, 0x0821), 0xFF080408u);
    EXPECT_EQ(pixmapValue(0x11223344u, 16), 0x2188u);
}

// Without the GPU MMU the copy engine takes both addresses of every copy as physical: the back
// buffer by its bus address beside the framebuffer's.
class PostingWithoutMmu : public Posting {
protected:
    void SetUp() override
    {
        setenv("OVG_MMU_MODE", "0", 1);
        Posting::SetUp();
        ASSERT_EQ(cglGetMmuMode(), 0);
    }
};

TEST_F(PostingWithoutMmu, SwapAndCopyReachTheirTargetsByPhysicalAddresses)
{
    makeCurrent(1, -10, 3);
    const std::vector<uint16_t> pattern = fillBackBuffer(21);
    const std::vector<uint16_t> expected = framed(pattern, -10, 3, -10, 3, kWidth - 10, kHeight + 3);
    EXPECT_TRUE(eglSwapBuffers(dpy, surface));
    EXPECT_EQ(frame() == expected, true);
    release();

    constexpr int w = 8, h = 2;
    surface = eglCreateWindowSurface(dpy, config(1), window(w, h), nullptr);
    ctx = eglCreateContext(dpy, config(1), EGL_NO_CONTEXT, nullptr);
    ASSERT_TRUE(eglMakeCurrent(dpy, surface, surface, ctx));
    const uint16_t pixels[w * h] = {0x0000, 0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0821, 0x8410, 0x7BEF,
                                    0x1234, 0x5678, 0x9ABC, 0xDEF0, 0x0F0F, 0xF0F0, 0x3333, 0xCCCC};
    cglWriteMemory16A(backBuffer(), pixels, w * h);
    VXPixmap pixmap = VXCreatePixmap(vx(), nullptr, w, h, 32);
    pixmap->addr = gmMalloc(w * h * 4, 64);
    EXPECT_TRUE(eglCopyBuffers(dpy, surface, pixmap));
    uint32_t copied[w * h] = {};
    cglReadMemory32A(static_cast<word32>(pixmap->addr), copied, w * h);
    for (int i = 0; i < w * h; ++i)
        EXPECT_EQ(copied[i], sourceColour(kRgb565, pixels[i])) << "pixel " << i;
    VXFreePixmap(vx(), pixmap);
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

// The clipping of a swap at 32 bits a pixel: windows off the left and top edges, fully right of
// and below the screen, and so far right that their right edge passes the largest int.
TEST_F(Posting32, SwapCopiesTheWindowsPartOfTheFrameAndFlips)
{
    struct Case {
        int x, y;
        bool copies;
    } const cases[] = {{-10, 0, true}, {20, -5, true}, {kWidth, 0, false}, {0, kHeight, false}, {2147483600, 0, false}};
    uint32_t salt = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        makeCurrent(8, c.x, c.y, 32);
        const int width = record()->surface_width;
        std::vector<uint32_t> pattern(static_cast<size_t>(width) * kHeight);
        for (size_t i = 0; i < pattern.size(); ++i)
            pattern[i] = static_cast<uint32_t>(i * 2654435761u + salt);
        ++salt;
        cglWriteMemory32A(backBuffer(), pattern.data(), static_cast<word32>(pattern.size()));
        std::vector<uint32_t> expected = frame32();
        for (int64_t sy = std::max<int64_t>(c.y, 0); sy < std::min<int64_t>(int64_t(c.y) + kHeight, kHeight); ++sy)
            for (int64_t sx = std::max<int64_t>(c.x, 0); sx < std::min<int64_t>(int64_t(c.x) + kWidth, kWidth); ++sx)
                expected[sy * kWidth + sx] = pattern[(sy - c.y) * width + (sx - c.x)];
        const EGLBoolean before = record()->back_buffer;
        simfb::device().clearLog();

        EXPECT_TRUE(eglSwapBuffers(dpy, surface));
        EXPECT_EQ(eglGetError(), EGL_SUCCESS);
        EXPECT_EQ(simfb::device().log().size(), c.copies ? 2u : 0u);
        EXPECT_EQ(frame32() == expected, true);
        EXPECT_NE(record()->back_buffer, before);
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
