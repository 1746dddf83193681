// Labels on the real screen: where the alignment modes put the ink, the ink's colour, and the
// golden screen of Japanese and ASCII labels in the six modes, three sizes and several colours.
#include "screenscene.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>

namespace {

// The left and right side bearings of a glyph of the packaged font at px pixels, in pixels.
struct Bearings {
    double left = 0, right = 0;
};

Bearings bearingsOf(unsigned code, int px)
{
    Bearings b;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, vistrel::argvFontPath.c_str(), 0, &face) == 0 &&
        FT_Set_Pixel_Sizes(face, FT_UInt(px), FT_UInt(px)) == 0 &&
        FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_DEFAULT) == 0) {
        const FT_Glyph_Metrics& m = face->glyph->metrics;
        b.left = m.horiBearingX / 64.0;
        b.right = (m.horiAdvance - m.horiBearingX - m.width) / 64.0;
    } else {
        ADD_FAILURE() << "cannot read the glyph metrics of the packaged font";
    }
    if (face)
        FT_Done_Face(face);
    if (library)
        FT_Done_FreeType(library);
    return b;
}

// The columns of the pixels in rows [top, bottom) that are not the cleared green.
struct Ink {
    int left = INT_MAX, right = INT_MIN;  // right is one past the last inked column
};

Ink inkIn(const vnq::test::ScreenFrame& f, int top, int bottom)
{
    Ink ink;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < 480; ++x)
            if (f.at(x, y) != kClearGreen565) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x + 1);
            }
    return ink;
}

class TextScreen : public ScreenScene {};

TEST_F(TextScreen, AlignmentModesPlaceTheInkAroundX)
{
    sendStored("text_align");
    ASSERT_EQ(port.frames().size(), 1u);
    const vnq::test::ScreenFrame& f = lastFrame();
    const Bearings h = bearingsOf('H', 36);

    // Mode 1 at x 240, rows from 30: the text's advance is centred on x.
    const Ink centred = inkIn(f, 30, 30 + 44);
    ASSERT_LT(centred.left, centred.right) << "no ink of the centred label";
    const double inkCentre = (centred.left + centred.right) / 2.0;
    EXPECT_NEAR(inkCentre, 240 + (h.left - h.right) / 2, 1.0) << centred.left << " .. " << centred.right;

    // Mode 2 at x 400, rows from 110: the text's advance ends at x.
    const Ink right = inkIn(f, 110, 110 + 44);
    ASSERT_LT(right.left, right.right) << "no ink of the right-aligned label";
    EXPECT_NEAR(right.right, 400 - h.right, 1.0);
}

TEST_F(TextScreen, GlyphInkHasTheLabelsColour)
{
    sendStored("text_align");
    ASSERT_EQ(port.frames().size(), 1u);
    const vnq::test::ScreenFrame& f = lastFrame();
    // Inside the strokes of the blue glyph on green: pixels whose neighbours are all mostly
    // covered (green below a quarter; the anti-aliased rim and the notches between strokes are
    // partly covered and are left out).
    const auto covered = [&f](int x, int y) { return ((f.at(x, y) >> 5) & 63) < 16; };
    int inside = 0, wrong = 0;
    for (int y = 191; y < 190 + 44; ++y)
        for (int x = 56; x < 110; ++x) {
            bool interior = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    interior &= covered(x + dx, y + dy);
            if (!interior)
                continue;
            ++inside;
            if (!rgb565::withinOneStep(f.at(x, y), 0x001F) && wrong++ == 0)
                ADD_FAILURE() << "first off-colour ink at " << x << ", " << y << ": 0x" << std::hex << f.at(x, y);
        }
    EXPECT_GT(inside, 50) << "the glyph has no inside";
    EXPECT_EQ(wrong, 0) << "of " << inside;
}

TEST_F(TextScreen, LabelsInEveryModeMatchTheGoldenScreen)
{
    putPicture(QStringLiteral("/VnQo/app/Parts/gradient.png"), 480, 272, pictures::gradient);
    sendStored("text");
    ASSERT_EQ(port.frames().size(), 1u);
    expectGoldenScreen("text", lastFrame().rgba());
}

}  // namespace
