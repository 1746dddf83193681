// The framebuffer window system on the simulated framebuffer: display life cycle, windows and
// pixmaps, the OSD plane's driver requests, queries and the fatal diagnostics.
#include <gtest/gtest.h>

#include <VX/vxlib.h>

#include <fcntl.h>
#include <linux/fb.h>

#include <QFile>
#include <cerrno>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framebufferroot.h"
#include "simfb.h"
#include "simgpu.h"

namespace {

using Lines = std::vector<std::string>;

class WindowSystem : public ::testing::Test {
protected:
    vnq::test::FramebufferBoardRoot root;
    simfb::SimFb& fb = simfb::device();

    VXDisplay* open()
    {
        VXDisplay* dpy = VXOpenDisplay(nullptr);
        EXPECT_NE(dpy, nullptr);
        return dpy;
    }
};

TEST_F(WindowSystem, StorageSizeAndSizeLimits)
{
    VXDisplay* dpy = open();
    struct Case {
        int width, height;
        int error, swidth, sheight;
    } const cases[] = {
        {1, 1, 0, 8, 1},        {0, 0, 0, 0, 0},     {2048, 2048, 0, 2048, 2048}, {2047, 5, 0, 2048, 5},
        {2049, 1, VX_BAD_VALUE, 0, 0}, {-1, 1, VX_BAD_VALUE, 0, 0}, {1, 2049, VX_BAD_VALUE, 0, 0},
        {1, -1, VX_BAD_VALUE, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        for (bool pixmap : {false, true}) {
            VXWindow win = pixmap ? VXCreatePixmap(dpy, nullptr, c.width, c.height, 32)
                                  : VXCreateWindow(dpy, 3, 4, c.width, c.height, 16);
            EXPECT_EQ(VXGetError(), c.error);
            if (c.error) {
                EXPECT_EQ(win, nullptr);
                continue;
            }
            ASSERT_NE(win, nullptr);
            int swidth = -1, sheight = -1, width = -1, x = -1;
            VXQueryWindow(dpy, win, VX_WINDOW_SWIDTH, &swidth);
            VXQueryWindow(dpy, win, VX_WINDOW_SHEIGHT, &sheight);
            VXQueryWindow(dpy, win, VX_WINDOW_WIDTH, &width);
            VXQueryWindow(dpy, win, VX_WINDOW_X, &x);
            EXPECT_EQ(swidth, c.swidth);
            EXPECT_EQ(sheight, c.sheight);
            EXPECT_EQ(width, c.width);
            EXPECT_EQ(x, pixmap ? 0 : 3);
            EXPECT_EQ(VXGetError(), 0);
        }
    }
}

TEST_F(WindowSystem, ErrorsAreFirstWinsAndHandlesAreChecked)
{
    VXDisplay* dpy = open();
    VXDisplay* bogus = reinterpret_cast<VXDisplay*>(&root);
    EXPECT_EQ(VXCreatePixmap(dpy, nullptr, 8, 8, 24), nullptr);  // depth 24: bad value
    EXPECT_EQ(VXCreateWindow(nullptr, 0, 0, 8, 8, 16), nullptr);  // bad display
    EXPECT_EQ(VXGetError(), VX_BAD_VALUE);
    EXPECT_EQ(VXGetError(), 0);

    VXWindow win = VXCreateWindow(dpy, 0, 0, 8, 8, 24);  // a window's depth is not checked
    VXPixmap pix = VXCreatePixmap(dpy, win, 8, 8, 16);
    ASSERT_NE(win, nullptr);
    ASSERT_NE(pix, nullptr);
    struct Case {
        void (*call)(VXDisplay*, VXWindow);
        VXDisplay* dpy;
        VXWindow target;
        int error;
    } const wrong[] = {
        {VXDestroyWindow, dpy, pix, VX_BAD_WINDOW},
        {VXFreePixmap, dpy, win, VX_BAD_PIXMAP},
        {VXDestroyWindow, bogus, win, VX_BAD_DISPLAY},
        {VXFreePixmap, nullptr, pix, VX_BAD_DISPLAY},
    };
    for (const Case& c : wrong) {
        c.call(c.dpy, c.target);
        EXPECT_EQ(VXGetError(), c.error);
    }
    int valid = 0;
    VXQueryWindow(dpy, win, VX_WINDOW_VALID, &valid);
    EXPECT_EQ(valid, 1);
    VXQueryWindow(dpy, pix, VX_WINDOW_VALID, &valid);
    EXPECT_EQ(valid, 1);

    VXDestroyWindow(dpy, win);
    VXFreePixmap(dpy, pix);
    EXPECT_EQ(VXGetError(), 0);
    valid = 7;
    VXQueryWindow(dpy, win, VX_WINDOW_VALID, &valid);
    EXPECT_EQ(valid, 0);
    EXPECT_EQ(VXGetError(), VX_BAD_WINDOW);
}

TEST_F(WindowSystem, OpeningTwiceOpensTheDeviceOnceAndCloseReleasesIt)
{
    testing::internal::CaptureStdout();
    VXDisplay* dpy = open();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("line_length = 960\n480x272, 16 bpp: "), std::string::npos) << out;
    EXPECT_EQ(VXOpenDisplay(nullptr), dpy);
    EXPECT_EQ(fb.log(), (Lines{"open /dev/fb0"}));
    EXPECT_NE(simgpu::device().gpuPointer(simfb::kDefaultSmemStart, root.info().smemLen), nullptr);

    int fd = -1;
    VXQueryDisplay(dpy, VX_DISPLAY_FBFD, &fd);
    EXPECT_GE(fd, 0);
    VXCreateWindow(dpy, 0, 0, 480, 272, 16);
    VXCloseDisplay(dpy);
    EXPECT_EQ(VXGetError(), 0);
    VXQueryDisplay(dpy, VX_DISPLAY_FBFD, &fd);
    EXPECT_EQ(fd, -1);
    EXPECT_EQ(fb.log(), (Lines{"open /dev/fb0", "close"}));
    EXPECT_EQ(simgpu::device().gpuPointer(simfb::kDefaultSmemStart, 4), nullptr);
    EXPECT_EQ(root.readFile("/var/log/sim-fb.log"), "open /dev/fb0\nclose\n");

    VXOpenDisplay(nullptr);
    EXPECT_EQ(fb.log().size(), 3u);
    VXCloseDisplay(nullptr);
    EXPECT_EQ(VXGetError(), VX_BAD_DISPLAY);
}

TEST_F(WindowSystem, FrameBufferMappingIsTheScreenFile)
{
    VXDisplay* dpy = open();
    struct fb_fix_screeninfo finfo;
    VXQueryDisplay(dpy, VX_DISPLAY_FINFO, &finfo);
    EXPECT_EQ(finfo.smem_len, root.info().smemLen);
    EXPECT_EQ(finfo.smem_start, simfb::kDefaultSmemStart);
    // What the GPU writes at the bus address shows in the file and to the CPU's mapping alike.
    uint8_t* gpu = simgpu::device().gpuPointer(simfb::kDefaultSmemStart + 960, 2);
    ASSERT_NE(gpu, nullptr);
    gpu[0] = 0x1f;
    gpu[1] = 0xf8;
    VXCloseDisplay(dpy);
    QByteArray file = root.readFile("/dev/fb0");
    ASSERT_EQ(file.size(), static_cast<int>(root.info().smemLen));
    EXPECT_EQ(static_cast<uint8_t>(file[960]), 0x1f);
    EXPECT_EQ(static_cast<uint8_t>(file[961]), 0xf8);
}

TEST_F(WindowSystem, QueriesWriteTheirDocumentedWidth)
{
    VXDisplay* dpy = VXOpenDisplay2("OSD", nullptr);
    VXWindow win = VXCreateWindow(dpy, 0, 0, 10, 10, 16);
    // Prefilled with 0xAA: a pointer-sized answer fills 8 bytes, an int answer 4.
    struct Case {
        bool window;
        int attribute;
        size_t width;
        uint64_t expected;
    } const cases[] = {
        {true, VX_WINDOW_ADDR, sizeof(uintptr_t), 0xFFFFFFFFu},
        {true, VX_WINDOW_DEPTH, sizeof(int), 16},
        {false, VX_DISPLAY_OSD_OFFSET, sizeof(uintptr_t), 480 * 272 * 2},
        {false, VX_DISPLAY_OSD, sizeof(int), 1},
        {false, VX_DISPLAY_OSD_VISIBLE, sizeof(int), 0},
        {false, VX_DISPLAY_VALID, sizeof(int), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attribute);
        unsigned char buffer[16];
        std::memset(buffer, 0xAA, sizeof buffer);
        if (c.window)
            VXQueryWindow(dpy, win, c.attribute, buffer);
        else
            VXQueryDisplay(dpy, c.attribute, buffer);
        uint64_t value = 0;
        std::memcpy(&value, buffer, c.width);
        EXPECT_EQ(value, c.expected);
        EXPECT_EQ(buffer[c.width], 0xAA);
    }
    struct fb_var_screeninfo vinfo;
    VXQueryDisplay(dpy, VX_DISPLAY_VINFO, &vinfo);
    EXPECT_EQ(vinfo.xres, 480u);
    EXPECT_EQ(vinfo.bits_per_pixel, 16u);
    EXPECT_EQ(vinfo.green.offset, 5u);
    EXPECT_EQ(vinfo.green.length, 6u);
    EXPECT_EQ(VXGetError(), 0);

    int answer = 5;
    VXQueryDisplay(dpy, 0x4000, &answer);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(VXGetError(), VX_BAD_ATTRIBUTE);
    VXQueryWindow(dpy, win, 3, &answer);
    EXPECT_EQ(VXGetError(), VX_BAD_ATTRIBUTE);

    // A null value makes a query do nothing at all, not even an error.
    VXQueryDisplay(nullptr, VX_DISPLAY_FBFD, nullptr);
    VXQueryDisplay(dpy, 0x4000, nullptr);
    VXQueryWindow(dpy, nullptr, VX_WINDOW_WIDTH, nullptr);
    EXPECT_EQ(VXGetError(), 0);
    // A configuration with a null value is refused.
    Lines before = fb.log();
    VXConfigDisplay(dpy, VX_DISPLAY_OSD_VISIBLE, nullptr);
    EXPECT_EQ(VXGetError(), VX_BAD_VALUE);
    VXConfigDisplay(dpy, 0x100, nullptr);
    EXPECT_EQ(VXGetError(), VX_BAD_ATTRIBUTE);
    EXPECT_EQ(fb.log(), before);
}

TEST_F(WindowSystem, OsdPlaneSetUpAndShutDownOrder)
{
    const unsigned key = 0x00FF8040;
    VXDisplay* dpy = VXOpenDisplay2("osd", &key);
    ASSERT_NE(dpy, nullptr);
    const unsigned show[] = {1};
    VXConfigDisplay(dpy, VX_DISPLAY_OSD_VISIBLE, show);
    int visible = 0;
    VXQueryDisplay(dpy, VX_DISPLAY_OSD_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
    const unsigned keyOff[] = {1, 0, 0};
    VXConfigDisplay(dpy, VX_DISPLAY_OSD, keyOff);  // plane already on: only the key again
    const unsigned off[] = {0};
    VXConfigDisplay(dpy, VX_DISPLAY_OSD, off);
    VXConfigDisplay(dpy, VX_DISPLAY_OSD, off);  // already off: nothing sent
    EXPECT_EQ(VXGetError(), 0);
    EXPECT_EQ(fb.log(), (Lines{
                            "open /dev/fb0",
                            "ioctl 0x400476a0 cmd 2 color 0x00000000",
                            "ioctl 0x400476a0 cmd 8 color 0x0000fc08",
                            "ioctl 0x4004763e",
                            "ioctl 0x400476a0 cmd 4 color 0x00000000",
                            "ioctl 0x400476a0 cmd 3 color 0x00000000",
                            "ioctl 0x400476a0 cmd 9 color 0x00000000",
                            "ioctl 0x400476a0 cmd 4 color 0x00000000",
                            "ioctl 0x400476a0 cmd 1 color 0x00000000",
                        }));
    fb.clearLog();
    // Opening again without the OSD only updates the flags; a fresh open shuts the plane down.
    VXOpenDisplay2("osd", nullptr);
    VXCloseDisplay(dpy);
    VXOpenDisplay(nullptr);
    EXPECT_EQ(fb.log(), (Lines{"close", "open /dev/fb0", "ioctl 0x400476a0 cmd 4 color 0x00000000",
                               "ioctl 0x400476a0 cmd 1 color 0x00000000"}));
    EXPECT_EQ(VXOpenDisplay("fb1"), nullptr);
    EXPECT_EQ(VXGetError(), VX_BAD_VALUE);
}

TEST(WindowSystemAt32, ColourKeyIsSentUnpacked)
{
    vnq::test::FramebufferBoardRoot root(480, 272, 32);
    const unsigned key = 0x00FF8040;
    VXOpenDisplay2("OSD", &key);
    EXPECT_EQ(simfb::device().log().at(2), "ioctl 0x400476a0 cmd 8 color 0x00ff8040");
}

using WindowSystemDeathTest = WindowSystem;

TEST_F(WindowSystemDeathTest, EnvironmentFailuresAreFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            root.writeFile("/dev/fb0.info", "");
            VXOpenDisplay(nullptr);
        },
        "Assertion `fbfd >= 0' failed");
    EXPECT_DEATH(
        {
            simfb::device().failRequest(FBIOGET_VSCREENINFO, EIO);
            VXOpenDisplay(nullptr);
        },
        "Assertion `err != -1' failed");
    EXPECT_DEATH(
        {
            simfb::device().failRequest(simfb::SimFb::kMmap, ENOMEM);
            VXOpenDisplay(nullptr);
        },
        "frame_buffer != \\(\\(void \\*\\) -1\\)");
    EXPECT_DEATH(
        {
            simfb::FbInfo shortMemory = root.info();
            shortMemory.smemLen = shortMemory.osdOffset + shortMemory.lineLength * shortMemory.yres - 1;
            root.rewriteInfo(shortMemory);
            VXOpenDisplay("osd");
        },
        "vxdisplay->finfo.smem_len >= \\(vxdisplay->osd_offset \\+ frame_buffer_size\\)");
    EXPECT_DEATH(
        {
            root.rewriteInfo(simfb::boardScreen(480, 272, 8));
            const unsigned key = 1;
            VXOpenDisplay2("osd", &key);
        },
        "bits_per_pixel == 16 \\|\\| vxdisplay->vinfo.bits_per_pixel == 32");
}

// A framebuffer device takes several opens at once, as the display server opens it beside the
// window system; the screen memory stays the GPU's until the last descriptor closes.
TEST_F(WindowSystem, DeviceOpensSeveralTimesAndKeepsItsMemoryUntilTheLastClose)
{
    const int first = fb.devOpen("/dev/fb0", O_RDWR);
    ASSERT_GE(first, 0);
    VXDisplay* dpy = open();
    ASSERT_NE(dpy, nullptr);
    int second = -1;
    VXQueryDisplay(dpy, VX_DISPLAY_FBFD, &second);
    ASSERT_GE(second, 0);
    EXPECT_NE(second, first);

    fb_var_screeninfo var{};
    EXPECT_EQ(fb.devIoctl(first, FBIOGET_VSCREENINFO, &var), 0);
    EXPECT_EQ(var.xres, 480u);
    EXPECT_EQ(fb.devClose(first), 0);
    EXPECT_TRUE(fb.isOpen());
    EXPECT_NE(simgpu::device().gpuPointer(simfb::kDefaultSmemStart, 4), nullptr);
    EXPECT_EQ(fb.devIoctl(second, FBIOGET_VSCREENINFO, &var), 0);
    errno = 0;
    EXPECT_EQ(fb.devIoctl(first, FBIOGET_VSCREENINFO, &var), -1);
    EXPECT_EQ(errno, EBADF);

    VXCloseDisplay(dpy);
    EXPECT_FALSE(fb.isOpen());
    EXPECT_EQ(simgpu::device().gpuPointer(simfb::kDefaultSmemStart, 4), nullptr);
    EXPECT_EQ(fb.devClose(second), -1);
}

TEST_F(WindowSystem, MissingDeviceFailsOpenWithEnoent)
{
    ASSERT_TRUE(QFile::remove(root.path("/dev/fb0")));
    errno = 0;
    EXPECT_EQ(fb.devOpen("/dev/fb0", O_RDWR), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(fb.devOpen("/dev/fb1", O_RDWR), -1);
    EXPECT_EQ(errno, ENOENT);
    fb.failRequest(simfb::SimFb::kOpen, EACCES, 1);
    root.rewriteInfo(root.info());
    simfb::writeFramebuffer(root.path("/dev/fb0").toStdString(), root.info());
    EXPECT_EQ(fb.devOpen("/dev/fb0", O_RDWR), -1);
    EXPECT_EQ(errno, EACCES);
    int fd = fb.devOpen("/dev/fb0", O_RDWR);
    ASSERT_GE(fd, 0);
    fb.failRequest(0x40047643ul, EAGAIN, 2);
    EXPECT_EQ(fb.devIoctl(fd, 0x40047643ul, nullptr), -1);
    EXPECT_EQ(fb.devIoctl(fd, 0x40047643ul, nullptr), -1);
    EXPECT_EQ(fb.devIoctl(fd, 0x40047643ul, nullptr), 0);
    EXPECT_EQ(fb.log().back(), "ioctl 0x40047643");
    EXPECT_EQ(fb.log().at(fb.log().size() - 2), "ioctl 0x40047643 failed: Resource temporarily unavailable");
}

}  // namespace
