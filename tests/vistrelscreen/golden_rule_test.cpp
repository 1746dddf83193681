// The golden screens' rule: a pixel matches when each channel is within 8 of the reference, and
// a screen matches when at most 0.5 % of its pixels do not; a mismatch names the images it
// leaves behind.
#include "screenscene.h"

#include <gtest/gtest-spi.h>

#include <QTemporaryDir>

namespace {

// A 100 x 100 grey screen with `off` pixels changed by `by` in red.
vnq::test::RgbaImage greyWith(int off, int by)
{
    vnq::test::RgbaImage image{100, 100, std::vector<uint8_t>(100 * 100 * 4, 128)};
    for (int i = 0; i < off; ++i)
        image.bytes[size_t(i) * 4] = uint8_t(128 + by);
    return image;
}

TEST(GoldenScreenRule, ToleranceAndShareOfDifferingPixels)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string golden = dir.path().toStdString();
    ASSERT_TRUE(vnq::test::writePngFile(golden + "/grey.png", greyWith(0, 0)));
    const struct {
        int off, by;
        bool matches;
    } cases[] = {
        {10000, 8, true},   // every pixel one RGB565 step away
        {50, 9, true},      // 0.5 % beyond the step
        {51, 9, false},     // just over 0.5 %
        {10000, 9, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.off) + " pixels off by " + std::to_string(c.by));
        const vnq::test::RgbaImage image = greyWith(c.off, c.by);
        if (c.matches)
            vnq::test::expectImageIn(golden, "grey", image, 8, 0.005);
        else
            EXPECT_NONFATAL_FAILURE(vnq::test::expectImageIn(golden, "grey", image, 8, 0.005),
                                    "grey.actual.png and ");
    }
    QFile::remove(QStringLiteral("grey.actual.png"));
    QFile::remove(QStringLiteral("grey.difference.png"));
}

}  // namespace
