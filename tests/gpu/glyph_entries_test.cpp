// The glyph entries of the vertex processor at register level: entry 14 places the segments
// by the glyph matrix after the glyph's offset until entry 0 derives the path matrix again,
// and the words the glyph entries refuse.
#include <string>
#include <vector>

#include "path_fixture.h"

namespace gputest {
namespace {

constexpr word32 kGlyphOffset = 14, kGlyphPaint = 35;
constexpr word32 kGlyphPaths = 1;

class GlyphEntries : public GpuPaths {
protected:
    // The glyph matrix {sx, shy, shx, sy, tx, ty} in constants 71/72.
    void glyphMatrix(std::vector<float> m)
    {
        send(Commands()
                 .constant(LX_VCNST_OVG_GU2S1, {m[0], m[2], m[4]})
                 .constant(LX_VCNST_OVG_GU2S2, {m[1], m[3], m[5]}));
    }

    // A glyph's offset on entry 14 with the control word `control`.
    void offset(word32 control, float dx, float dy)
    {
        send(Commands().ctrl(LX_VP_CTRL0, control).ctrl(LX_VP_IADDR, kGlyphOffset).data({dx, dy}));
    }

    // The covered pixels of a 10 x 10 square at user (0, 0) as (first column, first row from
    // the top of memory), or (-1, -1) when the coverage is not one whole such square.
    std::pair<int, int> squareAt()
    {
        send(polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
        scan();
        const std::vector<uint32_t> got = coverage();
        int left = -1, top = -1, lit = 0, inside = 0;
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x)
                if (at(got, x, y)) {
                    if (left < 0)
                        left = int(x), top = int(y);
                    ++lit;
                    inside += at(got, x, y) == 255u && int(x) < left + 10 && int(y) < top + 10;
                }
        setTarget(kWidth);  // cleared for the next square
        return lit == 100 && inside == 100 ? std::make_pair(left, top) : std::make_pair(-1, -1);
    }
};

TEST_F(GlyphEntries, TheOffsetPlacesSegmentsUntilEntryZeroRunsAgain)
{
    matrix({1, 0, 0, 1, 40, 20});
    glyphMatrix({1, 0, 0, 1, 60, 30});
    EXPECT_EQ(squareAt(), std::make_pair(40, int(kHeight) - 30));

    offset(kGlyphPaths, 5, 3);  // flipped: the glyph at user (65, 33)
    EXPECT_EQ(squareAt(), std::make_pair(65, int(kHeight) - 43));
    offset(kGlyphPaths | kNoFlip, -4, 2);
    EXPECT_EQ(squareAt(), std::make_pair(56, 32));

    send(Commands().run(0, 1));  // the path matrix again
    EXPECT_EQ(squareAt(), std::make_pair(40, int(kHeight) - 30));
}

TEST_F(GlyphEntries, WordsTheGlyphEntriesDoNotKnowAreRefused)
{
    struct Case {
        const char* name;
        Commands commands;
        const char* error;
    } const cases[] = {
        {"a run before any glyph matrix", Commands().run(kGlyphPaint, 1), "before a glyph matrix"},
        {"an offset of three words",
         Commands().ctrl(LX_VP_CTRL0, kGlyphPaths).ctrl(LX_VP_IADDR, kGlyphOffset).data({1, 2, 3}),
         "3 data words instead of 2"},
        {"an unknown offset bit", Commands().ctrl(LX_VP_CTRL0, 16).ctrl(LX_VP_IADDR, kGlyphOffset).data({1, 2}),
         "unknown bits"},
        {"an offset without data", Commands().run(kGlyphOffset, kGlyphPaths), "without segment data"},
        {"a run with data", Commands().ctrl(LX_VP_CTRL0, 1).ctrl(LX_VP_IADDR, kGlyphPaint).data({1, 2}),
         "takes none"},
        {"an unknown run bit", Commands().run(kGlyphPaint, 8), "unknown bits"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        send(c.commands);
        expectOneError(c.error);
    }
}

}  // namespace
}  // namespace gputest
