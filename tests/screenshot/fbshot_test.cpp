// vnq_fbshot turns the simulated framebuffer into a PNG: known pixels at 16 and 32 bits per
// pixel come back exactly, --osd reads the OSD plane, and missing files end with status 1.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <array>
#include <cstdint>
#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "framebufferroot.h"

namespace {

using Rgb = std::array<uint8_t, 3>;

struct ToolRun {
    int status;
    QByteArray out, err;
};

ToolRun fbshot(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VNQ_FBSHOT), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

class Screenshot : public ::testing::Test {
protected:
    // Writes one pixel value (little-endian) into the framebuffer file.
    static void poke(vnq::test::FramebufferBoardRoot& root, uint32_t plane, uint32_t x, uint32_t y, uint32_t value)
    {
        QByteArray file = root.readFile("/dev/fb0");
        const simfb::FbInfo& info = root.info();
        uint32_t bytes = info.bitsPerPixel / 8;
        std::memcpy(file.data() + plane + y * info.lineLength + x * bytes, &value, bytes);
        root.writeFile("/dev/fb0", file);
    }

    // The pixel of the PNG at (x, y).
    static Rgb pixel(const QString& png, int x, int y, int* width = nullptr, int* height = nullptr)
    {
        int w = 0, h = 0, channels = 0;
        unsigned char* data = stbi_load(png.toLocal8Bit().constData(), &w, &h, &channels, 3);
        EXPECT_NE(data, nullptr) << png.toStdString();
        if (!data)
            return {};
        EXPECT_EQ(channels, 3);
        if (width)
            *width = w;
        if (height)
            *height = h;
        Rgb out{data[(y * w + x) * 3], data[(y * w + x) * 3 + 1], data[(y * w + x) * 3 + 2]};
        stbi_image_free(data);
        return out;
    }
};

TEST_F(Screenshot, KnownPixelsComeBackExactly)
{
    struct Case {
        uint32_t bpp;
        uint32_t value;
        Rgb rgb;
    } const cases[] = {
        {16, 0xF800, {255, 0, 0}},     {16, 0x07E0, {0, 255, 0}},   {16, 0x001F, {0, 0, 255}},
        {16, 0x8410, {132, 130, 132}}, {16, 0x0821, {8, 4, 8}},     {32, 0xFF123456, {0x12, 0x34, 0x56}},
        {32, 0x00FFFFFF, {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bpp 0x" << std::hex << c.value);
        vnq::test::FramebufferBoardRoot root(32, 8, c.bpp);
        poke(root, 0, 5, 3, c.value);
        const QString png = root.path("/shot.png");
        ToolRun run = fbshot({png});
        ASSERT_EQ(run.status, 0) << run.err.constData();
        EXPECT_EQ(run.out, "vnq_fbshot: wrote " + png.toLocal8Bit() + " (32x8)\n");
        int w = 0, h = 0;
        EXPECT_EQ(pixel(png, 5, 3, &w, &h), c.rgb);
        EXPECT_EQ(w, 32);
        EXPECT_EQ(h, 8);
        EXPECT_EQ(pixel(png, 4, 3), (Rgb{0, 0, 0}));
    }
}

TEST_F(Screenshot, OsdOptionReadsTheOsdPlane)
{
    vnq::test::FramebufferBoardRoot root(16, 4, 16);
    poke(root, root.info().osdOffset, 1, 2, 0xF800);
    poke(root, 0, 1, 2, 0x001F);
    const QString png = root.path("/osd.png");
    ASSERT_EQ(fbshot({"--osd", png}).status, 0);
    EXPECT_EQ(pixel(png, 1, 2), (Rgb{255, 0, 0}));
    ASSERT_EQ(fbshot({png}).status, 0);
    EXPECT_EQ(pixel(png, 1, 2), (Rgb{0, 0, 255}));
}

// The board stub /VnQo/bin/vnq_screenshot <seconds> logs its call and saves the screen as
// /var/tmp/screenshot-<seconds>.png with the tool installed under the root's sim/tools; a
// time that is not plain digits names no file.
TEST_F(Screenshot, BoardStubSavesTheScreenUnderVarTmp)
{
    vnq::test::FramebufferBoardRoot root(16, 4, 16);
    ASSERT_TRUE(root.makeDir("/var/log"));
    ASSERT_TRUE(root.makeDir("/sim/tools"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VNQ_FBSHOT), root.path("/sim/tools/vnq_fbshot")));
    poke(root, 0, 3, 1, 0xF800);
    const QString stub = qEnvironmentVariable("VNQ_SOURCE_DIR") + "/sim/board/VnQo/bin/vnq_screenshot";
    const auto runStub = [&](const QString& seconds) {
        QProcess p;
        p.start(stub, {seconds});
        p.waitForFinished(30000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };

    ASSERT_EQ(runStub("1700000000"), 0);
    const QString png = root.path("/var/tmp/screenshot-1700000000.png");
    EXPECT_EQ(pixel(png, 3, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel(png, 0, 0), (Rgb{0, 0, 0}));

    for (const char* refused : {"", "12a", "../../x", "-1"}) {
        SCOPED_TRACE(refused);
        EXPECT_EQ(runStub(refused), 1);
    }
    EXPECT_EQ(QDir(root.path("/var/tmp")).entryList(QDir::Files), QStringList{"screenshot-1700000000.png"});
    EXPECT_EQ(root.readFile("/var/log/sim-commands.log"),
              "/VnQo/bin/vnq_screenshot 1700000000\n/VnQo/bin/vnq_screenshot \n/VnQo/bin/vnq_screenshot 12a\n"
              "/VnQo/bin/vnq_screenshot ../../x\n/VnQo/bin/vnq_screenshot -1\n");
}

TEST_F(Screenshot, MissingFilesEndWithStatusOne)
{
    vnq::test::FramebufferBoardRoot root(16, 4, 16);
    const QString png = root.path("/x.png");
    root.writeFile("/dev/fb0", QByteArray(10, '\0'));  // shorter than described
    ToolRun shortFile = fbshot({png});
    EXPECT_EQ(shortFile.status, 1);
    EXPECT_TRUE(shortFile.err.contains("shorter than its description")) << shortFile.err.constData();
    QFile::remove(root.path("/dev/fb0"));
    ToolRun noFile = fbshot({png});
    EXPECT_EQ(noFile.status, 1);
    EXPECT_TRUE(noFile.err.contains("no framebuffer file")) << noFile.err.constData();
    QFile::remove(root.path("/dev/fb0.info"));
    EXPECT_EQ(fbshot({png}).status, 1);
    EXPECT_FALSE(QFile::exists(png));
}

}  // namespace
