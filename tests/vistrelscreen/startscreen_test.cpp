// The Vistrel program on the real drawing port, then ./vq shot: the PNG shows the start screen
// of /VnQo/app/App/start.xml, the "起動中" label over the cleared screen (no opening picture in
// this board root).
#include "fb_info.h"
#include "vistrelprocess.h"
#include "waituntil.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <climits>

#include <stb/stb_image.h>

namespace {

// The main plane's pixel at (x, y) of the board root's 480x272 RGB565 framebuffer file.
uint16_t screenPixel(const vnq::test::TempBoardRoot& root, int x, int y)
{
    QFile fb(root.path(QStringLiteral("/dev/fb0")));
    if (!fb.open(QIODevice::ReadOnly) || !fb.seek((qint64(y) * 480 + x) * 2))
        return 0;
    const QByteArray two = fb.read(2);
    return two.size() == 2 ? uint16_t(uint8_t(two[0]) | uint8_t(two[1]) << 8) : 0;
}

TEST(StartScreen, VqShotSavesTheStartScreenTheProgramDrew)
{
    vnq::test::TempBoardRoot root;
    const QString source = qEnvironmentVariable("VNQ_SOURCE_DIR");
    QFile startXml(source + QStringLiteral("/assets/start.xml"));
    ASSERT_TRUE(startXml.open(QIODevice::ReadOnly));
    vnq::test::VistrelProcess vistrel(root, startXml.readAll());
    vistrel.setDrawPort(QStringLiteral("ovg"));
    ASSERT_TRUE(vistrel.start()) << vistrel.output().toStdString();
    // The start screen is swapped onto the screen right after the socket opens.
    ASSERT_TRUE(vnq::test::waitUntil([&] { return screenPixel(root, 0, 0) == 0x07E0; }, 20000))
        << vistrel.output().toStdString();

    const QString png = root.path(QStringLiteral("/start.png"));
    QProcess vq;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VNQ_ROOT"), root.root());
    vq.setProcessEnvironment(environment);
    vq.setWorkingDirectory(source);
    vq.start(QStringLiteral("bash"), {QStringLiteral("./vq"), QStringLiteral("shot"), png});
    ASSERT_TRUE(vq.waitForFinished(120000));
    ASSERT_EQ(vq.exitCode(), 0) << vq.readAllStandardError().toStdString();

    int w = 0, h = 0, channels = 0;
    unsigned char* rgb = stbi_load(png.toLocal8Bit().constData(), &w, &h, &channels, 3);
    ASSERT_NE(rgb, nullptr);
    ASSERT_EQ(w, 480);
    ASSERT_EQ(h, 272);
    // Green everywhere but the black label, centred on x 240 in rows 240 to 262.
    int left = INT_MAX, right = INT_MIN, dark = 0, other = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = rgb + (y * w + x) * 3;
            const bool green = p[0] == 0 && p[1] == 255 && p[2] == 0;
            const bool inLabelRows = y >= 240 && y < 240 + 22 + 6;
            if (!green && !inLabelRows)
                ++other;
            if (inLabelRows && p[0] < 64 && p[1] < 64 && p[2] < 64) {
                ++dark;
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        }
    stbi_image_free(rgb);
    EXPECT_EQ(other, 0);
    EXPECT_GT(dark, 60) << "no label";
    EXPECT_NEAR((left + right) / 2.0, 240, 2.0);
    EXPECT_NEAR(right - left, 3 * 22, 8) << "three glyphs of 22 pixels";
}

}  // namespace
