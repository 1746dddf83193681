#include "fonttext.h"

#include "drawsummary.h"
#include "fontoptions.h"
#include "packagedfont.h"
#include "recordingdrawport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace vistrel;
using vnq::test::summarizeDrawing;

namespace {

class Text : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string font = packagedFont();
        ASSERT_FALSE(font.empty()) << VNQ_NO_FONT_MESSAGE;
        argvFontPath = font;
        argvFontSpace = 0;
        argvFontStroke = 1.0f;
        setDrawPort(&port);
        ASSERT_EQ(font_init(), 0);
    }
    void TearDown() override
    {
        font_fin();
        setDrawPort(nullptr);
    }

    float measure(const char* text, int px = 36)
    {
        float width = -1;
        font_set(px, &width, text);
        font_draw(0, 0);
        port.clearCalls();
        return width;
    }

    std::vector<const DrawCall*> pathDraws() const
    {
        std::vector<const DrawCall*> draws;
        for (const DrawCall& call : port.calls())
            if (call.function == "vgDrawPath")
                draws.push_back(&call);
        return draws;
    }

    RecordingDrawPort port;
    const float white[4] = {1, 1, 1, 1};
};

}  // namespace

TEST(Utf8Decoder, CharactersAndBrokenSequencesNeverPassTheNul)
{
    const struct {
        std::vector<char> bytes;  // exactly the text and its NUL, so ASan sees any read past it
        unsigned code;
        int taken;
        const char* printed;
    } cases[] = {
        {{'A', 0}, 'A', 1, ""},
        {{'\xC3', '\xA9', 0}, 0xE9, 2, ""},
        {{'\xE3', '\x81', '\x82', 0}, 0x3042, 3, ""},
        {{'\xF0', '\x9F', '\x98', '\x80', 0}, 0x1F600, 4, ""},
        {{'\xF0', '\x9F', 'x', '\x80', 0}, 0x3013, 4, "ここに来るのは変？ 0xf0,0x9f,0x78,0x80,0x00,0x00\n"},
        {{'\xFF', 'a', 'b', 'c', 'd', 'e', 'f', 0}, 0x3013, 4, "ここに来るのは変？ 0xff,0x61,0x62,0x63,0x64,0x65\n"},
        {{'\x80', 0}, 0x3013, 1, "ここに来るのは変？ 0x80,0x00,0x00,0x00,0x00,0x00\n"},
        {{'\xC3', 0}, 0x3013, 1, "ここに来るのは変？ 0xc3,0x00,0x00,0x00,0x00,0x00\n"},
        {{'\xE3', '\x81', 0}, 0x3013, 2, "ここに来るのは変？ 0xe3,0x81,0x00,0x00,0x00,0x00\n"},
        {{'\xF0', '\x9F', '\x98', 0}, 0x3013, 3, "ここに来るのは変？ 0xf0,0x9f,0x98,0x00,0x00,0x00\n"},
        {{0}, 0, 0, ""},
    };
    for (const auto& c : cases) {
        auto text = std::make_unique<char[]>(c.bytes.size());
        std::memcpy(text.get(), c.bytes.data(), c.bytes.size());
        unsigned code = 0;
        testing::internal::CaptureStdout();
        EXPECT_EQ(font_utf8_decode(text.get(), &code), c.taken);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(code, c.code);
    }
}

TEST_F(Text, WidthIsTheAdvancesPlusTheSpaceAndMissingCharactersStandIn)
{
    const float a = measure("A"), b = measure("B");
    EXPECT_GT(a, 0);
    EXPECT_FLOAT_EQ(measure("AB"), a + b);
    EXPECT_FLOAT_EQ(measure("AB", 18), (a + b) / 2);
    EXPECT_EQ(measure(""), 0);
    argvFontSpace = 3;
    EXPECT_FLOAT_EQ(measure("AB"), a + b + 6);
    argvFontSpace = 0;
    EXPECT_FLOAT_EQ(measure("\x01"), measure(" "));
    EXPECT_FLOAT_EQ(measure("\xEE\x80\x80"), measure("〓"));  // U+E000 is not in the font
    EXPECT_NE(measure("〓"), measure(" "));
}

TEST_F(Text, ModesPlaceTheFirstGlyphAndMoveTheOffsets)
{
    const float w = measure("AB", 20);
    const struct {
        int mode;
        float x, offx;  // where "AB" starts and *offx afterwards; before: offx 100, offy 7
        float baselineDrop;
    } cases[] = {
        {0, 10, 10 + w, 0},         {1, 10 - w / 2, 10 + w / 2, 0}, {2, 10 - w, 10 - w, 0},
        {3, 110, 110 + w, 7},       {4, 110 - w / 2, 110 + w / 2, 7}, {5, 110 - w, 110 - w, 7},
        {7, 10, 100, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        port.clearCalls();
        float offx = 100, offy = 7;
        gui_text(10, 30, white, "AB", 20, c.mode, &offx, &offy);
        const auto draws = pathDraws();
        ASSERT_EQ(draws.size(), 2u);
        EXPECT_FLOAT_EQ(draws[0]->matrix[6], c.x);
        EXPECT_FLOAT_EQ(draws[0]->matrix[7], 272 - 30 - 20 - c.baselineDrop);
        EXPECT_FLOAT_EQ(offx, c.offx);
        EXPECT_EQ(offy, 30);
    }

    // After "AB" at (10, 20), a mode-3 label at (4, 0) starts 4 pixels after it with its top at y 20.
    port.clearCalls();
    float offx = 0, offy = 0;
    gui_text(10, 20, white, "AB", 20, 0, &offx, &offy);
    gui_text(4, 0, white, "C", 20, 3, &offx, &offy);
    EXPECT_EQ(summarizeDrawing(port.calls()),
              (QStringList{"text 2 glyphs at 10,40", QStringLiteral("text 1 glyphs at %1,40").arg(std::lround(14 + w))}));
    const auto draws = pathDraws();
    EXPECT_FLOAT_EQ(draws[2]->matrix[6], 14 + w);
    EXPECT_FLOAT_EQ(draws[2]->matrix[7], 272 - 20 - 20);
    EXPECT_FLOAT_EQ(offx, 14 + w + measure("C", 20));
    EXPECT_EQ(offy, 0);
}

TEST_F(Text, GlyphsAreFilledAndStrokedAndFreedAtMost128AtATime)
{
    argvFontStroke = 1.5f;
    const std::string text(130, 'A');
    float width = 0;
    font_set(36, &width, text.c_str());
    EXPECT_FLOAT_EQ(width, 130 * measure("A"));
    font_set(36, &width, text.c_str());
    EXPECT_EQ(glyph_string_len, 128);
    EXPECT_EQ(port.livePathCount(), 128);
    font_draw(0, 0);
    EXPECT_EQ(pathDraws().size(), 128u);
    for (const DrawCall* draw : pathDraws())
        EXPECT_EQ(draw->text, "vgDrawPath(" + std::to_string(draw->handle) + ", 3)");
    EXPECT_EQ(port.strokeWidth(), 1.5f);
    EXPECT_EQ(port.livePathCount(), 0);
    EXPECT_EQ(glyph_string_len, 0);
}

TEST_F(Text, OutlinesAreInPixelsOfTheAskedHeight)
{
    float width = 0;
    font_set(36, &width, "g");
    const RecordedPath native = *port.path(glyph_string[0].handle);
    font_set(18, &width, "g");
    const RecordedPath half = *port.path(glyph_string[0].handle);
    ASSERT_EQ(native.segments, half.segments);
    ASSERT_FALSE(native.coordinates.empty());
    for (size_t i = 0; i < native.coordinates.size(); ++i) {
        EXPECT_EQ(half.coordinates[i], native.coordinates[i] / 2);
        const float units = native.coordinates[i] * 64;
        EXPECT_EQ(units, std::round(units));  // 26.6 units / 64
    }
    for (VGubyte segment : native.segments)
        EXPECT_TRUE(segment == VG_MOVE_TO_ABS || segment == VG_LINE_TO_ABS || segment == VG_QUAD_TO_ABS ||
                    segment == VG_CUBIC_TO_ABS);
}

TEST(TextWithoutFont, MissingFontFileMeasuresAndDrawsNothing)
{
    RecordingDrawPort port;
    setDrawPort(&port);
    argvFontPath = "/nonexistent/" + std::string(300, 'f') + ".ttf";
    testing::internal::CaptureStdout();
    EXPECT_EQ(font_init(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "failed to load \n");
    float offx = 0, offy = 0;
    const float colour[4] = {0, 0, 0, 1};
    testing::internal::CaptureStdout();
    gui_text(0, 0, colour, "AB", 20, 0, &offx, &offy);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "failed to load glyph 'A'\n");
    EXPECT_EQ(offx, 0);
    EXPECT_EQ(port.livePathCount(), 0);
    setDrawPort(nullptr);
}
