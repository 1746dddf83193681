// What the display server mends holds on the real drawing stack: a bad cache file is made again
// from its picture, a picture larger than the screen is refused and leaves the screen alone, and
// an OpenVG error pending at a swap is logged.
#include "screenscene.h"

#include "drawport.h"
#include "messagecapture.h"

namespace {

class MendedScreen : public ScreenScene {};

TEST_F(MendedScreen, BadCacheFileIsRedrawnFromItsPicture)
{
    putPicture(QStringLiteral("/VnQo/app/Parts/ramp.png"), 100, 50, pictures::alphaRamp);
    ASSERT_TRUE(root.writeFile(QStringLiteral("/VnQo/app/Parts/ramp.png.4444"), QByteArray(40, '\x5a')));
    sendStored("ramp");
    ASSERT_EQ(port.frames().size(), 1u);
    EXPECT_EQ(lastFrame().at(37, 41), rgb565::fromUnit(1, 8 / 15.0, 0));
    EXPECT_NE(root.readFile(QStringLiteral("/VnQo/app/Parts/ramp.png.4444")), QByteArray(40, '\x5a'));
}

TEST_F(MendedScreen, PictureLargerThanTheScreenIsRefused)
{
    vnq::test::MessageCapture log;
    putPicture(QStringLiteral("/VnQo/app/Parts/huge.png"), 481, 272, [](int, int) { return 0xFF0000FFu; });
    sendStored("oversize");
    ASSERT_EQ(port.frames().size(), 1u);
    int wrong = 0;
    for (uint32_t v : lastFrame().screen.values)
        wrong += v != kClearGreen565;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(log.matching(QStringLiteral("picture too large")).size(), 1) << log.messages().join('\n').toStdString();
}

TEST_F(MendedScreen, PendingOpenVgErrorIsLoggedAtTheSwap)
{
    vnq::test::MessageCapture log;
    vistrel::drawPort().vgClear(0, 0, -1, 10);  // a width below one, which the library answers with 0x1001
    sendStored("clear");
    ASSERT_EQ(port.frames().size(), 1u);
    EXPECT_EQ(log.matching(QStringLiteral("vgGetError() = 0x1001, eglGetError() = 0x3000")).size(), 1)
        << log.messages().join('\n').toStdString();
    EXPECT_EQ(lastFrame().at(0, 0), kClearGreen565);
}

}  // namespace
