// Pictures on the real screen: where they land, what colour an opaque pixel keeps, what "Clear"
// leaves, and the golden screen of pictures of several sizes over a full-screen gradient.
#include "screenscene.h"

namespace {

class PictureScreen : public ScreenScene {
protected:
    void putRamp() { putPicture(QStringLiteral("/VnQo/app/Parts/ramp.png"), 100, 50, pictures::alphaRamp); }
};

TEST_F(PictureScreen, ClearLeavesPureGreen)
{
    sendStored("clear");
    ASSERT_EQ(port.frames().size(), 1u);
    int wrong = 0;
    for (uint32_t v : lastFrame().screen.values)
        wrong += v != kClearGreen565;
    EXPECT_EQ(wrong, 0) << "first pixel 0x" << std::hex << lastFrame().at(0, 0);
}

TEST_F(PictureScreen, PictureLandsOnItsPositionAndNowhereElse)
{
    putRamp();
    sendStored("ramp");
    ASSERT_EQ(port.frames().size(), 1u);
    const vnq::test::ScreenFrame& f = lastFrame();
    // The picture's opaque left column: orange, read as ABGR4444 (F, 8, 0) and shown in RGB565.
    const uint16_t orange = rgb565::fromUnit(15 / 15.0, 8 / 15.0, 0);
    EXPECT_EQ(f.at(37, 41), orange);
    EXPECT_EQ(f.at(37, 90), orange);
    int outside = 0, inside = 0;
    for (int y = 0; y < 272; ++y)
        for (int x = 0; x < 480; ++x) {
            const bool in = x >= 37 && x < 137 && y >= 41 && y < 91;
            (in ? inside : outside) += f.at(x, y) != kClearGreen565;
        }
    EXPECT_EQ(outside, 0) << "pixels drawn outside the picture's rectangle";
    EXPECT_GT(inside, 90 * 50) << "the picture is missing";
}

TEST_F(PictureScreen, PicturesOfEverySizeMatchTheGoldenScreen)
{
    putPicture(QStringLiteral("/VnQo/app/Parts/gradient.png"), 480, 272, pictures::gradient);
    putRamp();
    putPicture(QStringLiteral("/VnQo/app/Parts/dot.png"), 1, 1, [](int, int) { return 0xFFFFFFFFu; });
    putPicture(QStringLiteral("/VnQo/app/Parts/wide33.png"), 33, 20,
               [](int x, int y) { return (x + y) % 2 ? 0x000000FFu : 0x2040F0FFu; });
    sendStored("pictures");
    ASSERT_EQ(port.frames().size(), 1u);
    expectGoldenScreen("pictures", lastFrame().rgba());
}

}  // namespace
