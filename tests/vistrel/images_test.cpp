#include "images.h"

#include "drawingsurface.h"
#include "drawsummary.h"
#include "framebufferroot.h"
#include "lz.h"
#include "messagecapture.h"
#include "ovg_init.h"
#include "recordingdrawport.h"
#include "vx_fbdev.h"

#include <stb/stb_image_write.h>

#include <gtest/gtest.h>

#include <QDir>

#include <vector>

using namespace vistrel;
using vnq::test::FramebufferBoardRoot;
using vnq::test::MessageCapture;
using vnq::test::summarizeDrawing;
using Bytes = std::vector<unsigned char>;

namespace {

class Pictures : public DrawingSurface {
protected:
    void SetUp() override
    {
        DrawingSurface::SetUp();
        ASSERT_TRUE(root.makeDir("/VnQo/app/Parts"));
    }
    void TearDown() override
    {
        DrawingSurface::TearDown();
        setCacheFileWriter(nullptr);
    }

    // A PNG of one colour (with a different top-left pixel) at a board path.
    void writePng(const QString& boardPath, int width, int height, int channels, const Bytes& colour,
                  const Bytes& corner)
    {
        Bytes pixels;
        for (int i = 0; i < width * height; ++i)
            pixels.insert(pixels.end(), (i == 0 ? corner : colour).begin(), (i == 0 ? corner : colour).end());
        ASSERT_TRUE(stbi_write_png(root.path(boardPath).toUtf8().constData(), width, height, channels, pixels.data(),
                                   width * channels));
    }

    // The decompressed content of a cache file.
    Bytes cacheContent(const QString& boardPath)
    {
        QByteArray stream = root.readFile(boardPath);
        Bytes out(8 + 480 * 272 * 2);
        int n = LZ_Uncompress(reinterpret_cast<unsigned char*>(stream.data()), out.data(),
                              static_cast<unsigned>(stream.size()), static_cast<unsigned>(out.size()));
        out.resize(n < 0 ? 0 : static_cast<size_t>(n));
        return out;
    }

    QStringList drawn() const { return summarizeDrawing(port.calls()); }

    QStringList leftovers() const
    {
        return QDir(root.path("/VnQo/app/Parts")).entryList(QDir::Files).filter(".tmp");
    }

    const QString png = QStringLiteral("/VnQo/app/Parts/a.png");
    const QString cache = QStringLiteral("/VnQo/app/Parts/a.png.4444");
};

}  // namespace

TEST_F(Pictures, FirstDrawWritesTheCacheAndLaterDrawsNeedOnlyIt)
{
    writePng(png, 100, 50, 4, {0x12, 0x34, 0x56, 0x78}, {0xFF, 0x00, 0x00, 0xFF});
    gui_image_button(37, 41, "/VnQo/app/Parts/a.png");
    EXPECT_EQ(drawn(), QStringList{"image 100x50 at 37,41"});
    const Bytes content = cacheContent(cache);
    ASSERT_EQ(content.size(), 8u + 100 * 50 * 2);
    EXPECT_EQ(Bytes(content.begin(), content.begin() + 8), (Bytes{100, 0, 0, 0, 50, 0, 0, 0}));
    EXPECT_EQ(Bytes(content.begin() + 8, content.begin() + 12), (Bytes{0x0F, 0xF0, 0x31, 0x75}));
    EXPECT_TRUE(leftovers().isEmpty());

    // The picture went through a temporary image of its own size, destroyed after the draw.
    const DrawCall* upload = nullptr;
    for (const DrawCall& call : port.calls())
        if (call.function == "vgImageSubData")
            upload = &call;
    ASSERT_TRUE(upload);
    EXPECT_NE(upload->text.find(", 200, " + std::to_string(VG_sABGR_4444) + ", 0, 0, 100, 50)"), std::string::npos);
    EXPECT_EQ(port.liveImageCount(), 2);

    ASSERT_TRUE(QFile::remove(root.path(png)));
    port.clearCalls();
    gui_image_button(0, 222, "/VnQo/app/Parts/a.png");
    EXPECT_EQ(drawn(), QStringList{"image 100x50 at 0,222"});
}

TEST_F(Pictures, FullScreenPictureGoesThroughTheWorkImageAndRgbGetsFullAlpha)
{
    writePng(png, 480, 272, 3, {0x20, 0x40, 0x60}, {0xFF, 0xFF, 0xFF});
    gui_image_button(0, 0, "/VnQo/app/Parts/a.png");
    EXPECT_EQ(drawn(), QStringList{"image 480x272 at 0,0"});
    const RecordedImage* work = port.image(vgImage4444);
    EXPECT_EQ(work->pixels[0], 0xFFFFu);
    EXPECT_EQ(work->pixels[1], 0xF642u);
    EXPECT_EQ(port.liveImageCount(), 2);
    const Bytes content = cacheContent(cache);
    ASSERT_EQ(content.size(), 8u + 480 * 272 * 2);
    for (size_t i = 11; i < content.size(); i += 2)
        ASSERT_EQ(content[i] >> 4, 0xF) << i;
}

TEST_F(Pictures, MissingPictureAndOversizePictureDrawNothing)
{
    testing::internal::CaptureStdout();
    gui_image_button(0, 0, "/VnQo/app/Parts/none.png");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed load image(/VnQo/app/Parts/none.png)\n");

    writePng(png, 481, 272, 4, {1, 2, 3, 4}, {1, 2, 3, 4});
    MessageCapture log;
    gui_image_button(0, 0, "/VnQo/app/Parts/a.png");
    ASSERT_EQ(log.messages().size(), 1);
    EXPECT_TRUE(log.messages()[0].contains("481 x 272")) << qPrintable(log.messages()[0]);
    EXPECT_TRUE(drawn().isEmpty());
    EXPECT_FALSE(root.exists(cache));
}

TEST_F(Pictures, DamagedCacheFilesAreReplacedFromThePicture)
{
    writePng(png, 10, 5, 4, {0x12, 0x34, 0x56, 0x78}, {0x12, 0x34, 0x56, 0x78});
    gui_image_button(0, 0, "/VnQo/app/Parts/a.png");
    const QByteArray good = root.readFile(cache);
    auto streamOf = [](Bytes content) {
        Bytes out(LZ_CompressBound(static_cast<unsigned>(content.size())));
        out.resize(LZ_Compress(content.data(), out.data(), static_cast<unsigned>(content.size())));
        return QByteArray(reinterpret_cast<const char*>(out.data()), static_cast<int>(out.size()));
    };
    const struct {
        const char* what;
        QByteArray file;
    } cases[] = {
        {"empty", QByteArray()},
        {"truncated", good.left(good.size() - 2)},
        {"garbage", QByteArray("\x01\x01\x85\x80\x80\x80\x80\x01", 8)},
        {"wrong size", streamOf({10, 0, 0, 0, 6, 0, 0, 0, 1, 2})},
        {"zero width", streamOf({0, 0, 0, 0, 5, 0, 0, 0})},
        {"too many pixels", streamOf({0x00, 0x04, 0, 0, 0x00, 0x04, 0, 0, 1, 2})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(root.writeFile(cache, c.file));
        port.clearCalls();
        MessageCapture log;
        gui_image_button(5, 6, "/VnQo/app/Parts/a.png");
        EXPECT_EQ(log.messages().size(), 1);
        EXPECT_EQ(drawn(), QStringList{"image 10x5 at 5,6"});
        EXPECT_EQ(root.readFile(cache), good);
    }
    // Without the picture a damaged cache draws nothing and is gone.
    ASSERT_TRUE(QFile::remove(root.path(png)));
    ASSERT_TRUE(root.writeFile(cache, QByteArray()));
    port.clearCalls();
    testing::internal::CaptureStdout();
    gui_image_button(5, 6, "/VnQo/app/Parts/a.png");
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(drawn().isEmpty());
    EXPECT_FALSE(root.exists(cache));
    EXPECT_TRUE(leftovers().isEmpty());
}

TEST_F(Pictures, UnwritableCacheStillDrawsAndIsLoggedOnce)
{
    writePng(png, 10, 5, 4, {1, 2, 3, 4}, {1, 2, 3, 4});
    int attempts = 0;
    setCacheFileWriter([&](const std::string&, const unsigned char*, size_t) {
        ++attempts;
        return false;
    });
    MessageCapture log;
    gui_image_button(0, 0, "/VnQo/app/Parts/a.png");
    gui_image_button(0, 0, "/VnQo/app/Parts/a.png");
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(log.messages().size(), 1);
    EXPECT_EQ(drawn(), (QStringList{"image 10x5 at 0,0", "image 10x5 at 0,0"}));
    EXPECT_FALSE(root.exists(cache));
}
