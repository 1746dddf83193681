// "FadeIn" and "FadeOut" on the real screen: the frames of the fade one by one against OpenVG's
// rules for vgLookup and source-over blending, the final frames, and the golden fade.
#include "screenscene.h"

#include <algorithm>

namespace {

constexpr int kFadeFrames = 6;

// The shade that "FadeIn" puts where the new screen was cleared: ABGR4444 0x8222.
constexpr double kShadeColour = 2 / 15.0, kShadeAlpha = 8 / 15.0;

struct Rgb {
    double r, g, b;
};

// A channel stored in a 4-bit field: the 8-bit value's top four bits, as the image formats pack.
double packed4(double unit)
{
    return (std::lround(unit * 255) >> 4) / 15.0;
}

double srgbFromLinear(double c)
{
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

// Source-over of a non-premultiplied colour with alpha onto an opaque RGB565 pixel.
uint16_t over(Rgb src, double alpha, uint32_t dst)
{
    return rgb565::fromUnit(src.r * alpha + rgb565::red(dst) * (1 - alpha),
                            src.g * alpha + rgb565::green(dst) * (1 - alpha),
                            src.b * alpha + rgb565::blue(dst) * (1 - alpha));
}

// One fade frame's pixel: the ABGR4444 work pixel (channels as 4-bit steps) looked up with
// identity colour tables and the frame's alpha table, the result read as linear and not
// premultiplied, converted to sRGB and packed into the ABGR4444 image, which is then drawn
// over the saved screen.
uint16_t fadePixel(Rgb work, double workAlpha, int frameAlpha, uint32_t saved)
{
    const auto table = [frameAlpha](double unit) {
        const int index = int(std::lround(unit * 255));
        return static_cast<uint8_t>(index * (frameAlpha / 255.0)) / 255.0;
    };
    const auto looked = [](double unit) { return packed4(srgbFromLinear(unit)); };
    const Rgb colour{looked(work.r), looked(work.g), looked(work.b)};
    return over(colour, packed4(table(workAlpha)), saved);
}

class FadeScreen : public ScreenScene {
protected:
    void SetUp() override
    {
        ScreenScene::SetUp();
        putPicture(QStringLiteral("/VnQo/app/Parts/gradient.png"), 480, 272, pictures::gradient);
        putPicture(QStringLiteral("/VnQo/app/Parts/ramp.png"), 100, 50, pictures::alphaRamp);
        sendStored("fade_saved");
        ASSERT_EQ(port.frames().size(), 1u);
        saved = port.frames().front();
        port.clearFrames();
    }

    // The frames of one fade: the saved screen, six steps and two final frames.
    void expectFadeFrameCount() { ASSERT_EQ(port.frames().size(), size_t(1 + kFadeFrames + 2)); }

    vnq::test::ScreenFrame saved;
    // A pixel of the shaded area and one of the item (the orange picture's opaque column).
    static constexpr int kShadeX = 300, kShadeY = 30, kItemX = 37, kItemY = 41;
    const Rgb kOrange4444{1, 8 / 15.0, 0};
};

TEST_F(FadeScreen, EachFadeInFrameIsTheLookedUpScreenOverTheSavedOne)
{
    sendStored("fade_in");
    expectFadeFrameCount();
    EXPECT_EQ(frame(0).screen.values, saved.screen.values) << "the fade starts from the saved screen";
    for (int i = 0; i < kFadeFrames; ++i) {
        SCOPED_TRACE("fade-in frame " + std::to_string(i));
        const int alpha = 15 + 40 * i;
        const vnq::test::ScreenFrame& f = frame(1 + i);
        const uint16_t shade = fadePixel({kShadeColour, kShadeColour, kShadeColour}, kShadeAlpha, alpha,
                                         saved.at(kShadeX, kShadeY));
        const uint16_t item = fadePixel(kOrange4444, 1, alpha, saved.at(kItemX, kItemY));
        EXPECT_TRUE(rgb565::withinOneStep(f.at(kShadeX, kShadeY), shade))
            << std::hex << "shade 0x" << f.at(kShadeX, kShadeY) << ", expected 0x" << shade;
        EXPECT_TRUE(rgb565::withinOneStep(f.at(kItemX, kItemY), item))
            << std::hex << "item 0x" << f.at(kItemX, kItemY) << ", expected 0x" << item;
    }
}

TEST_F(FadeScreen, FadeInEndsOnTheNewScreenOverTheShadedSavedOne)
{
    sendStored("fade_in");
    expectFadeFrameCount();
    for (size_t last : {size_t(7), size_t(8)}) {
        SCOPED_TRACE("final frame " + std::to_string(last));
        const vnq::test::ScreenFrame& f = frame(last);
        EXPECT_EQ(f.at(kItemX, kItemY), rgb565::fromUnit(kOrange4444.r, kOrange4444.g, kOrange4444.b));
        const uint16_t shade = over({kShadeColour, kShadeColour, kShadeColour}, kShadeAlpha,
                                    saved.at(kShadeX, kShadeY));
        EXPECT_TRUE(rgb565::withinOneStep(f.at(kShadeX, kShadeY), shade))
            << std::hex << "shade 0x" << f.at(kShadeX, kShadeY) << ", expected 0x" << shade;
    }
    EXPECT_EQ(frame(7).screen.values, frame(8).screen.values);
}

TEST_F(FadeScreen, FadeOutEndsOnTheSavedScreen)
{
    sendStored("fade_in");
    port.clearFrames();
    sendStored("fade_out");
    ASSERT_EQ(port.frames().size(), size_t(kFadeFrames + 2));
    for (int i = 0; i < kFadeFrames; ++i) {
        SCOPED_TRACE("fade-out frame " + std::to_string(i));
        const uint16_t item = fadePixel(kOrange4444, 1, 255 - (15 + 40 * i), saved.at(kItemX, kItemY));
        EXPECT_TRUE(rgb565::withinOneStep(frame(i).at(kItemX, kItemY), item))
            << std::hex << "item 0x" << frame(i).at(kItemX, kItemY) << ", expected 0x" << item;
    }
    EXPECT_EQ(frame(kFadeFrames).screen.values, saved.screen.values);
    EXPECT_EQ(frame(kFadeFrames + 1).screen.values, saved.screen.values);
}

TEST_F(FadeScreen, FadeInFramesMatchTheGoldenStrip)
{
    sendStored("fade_in");
    expectFadeFrameCount();
    // The six steps and the final frame, one below the other.
    vnq::test::RgbaImage strip{480, 272 * (kFadeFrames + 1), {}};
    for (int i = 1; i <= kFadeFrames + 1; ++i) {
        const vnq::test::RgbaImage one = frame(size_t(i)).rgba();
        strip.bytes.insert(strip.bytes.end(), one.bytes.begin(), one.bytes.end());
    }
    expectGoldenScreen("fade_in", strip);
}

}  // namespace
