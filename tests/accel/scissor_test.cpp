// The rasterizer's scissor rectangles on the decoded command log.
#include "accel_test_support.h"

#include <climits>

#include "vg/al_lx740/vg_al_lx740_scissor.h"

namespace gputest {
namespace {

using Writes = std::vector<RegValue>;

class Scissor : public AccelTest {
protected:
    void SetUp() override
    {
        AccelTest::SetUp();
        VGALVAL_surface_width = 480;
        VGALVAL_surface_height = 272;
        VGALVAL_lx740renderingmode = VGAL_RM_SCISSORING;
    }

    void rects(std::initializer_list<OVGrect> list)
    {
        ctx.numScissorRects = 0;
        for (const OVGrect& r : list)
            ctx.scissorRects[ctx.numScissorRects++] = r;
    }

    Writes run(int flip)
    {
        gpu.clearLog();
        lx_scissor(flip);
        RUNCME();
        return fetched(Unit::RZ);
    }

    static word32 lt(word32 top, word32 left) { return top | left << 16; }
};

TEST_F(Scissor, RectanglesArePackedFromTheLastAndOnesOutsideAreSkipped)
{
    rects({{0, 0, 10, 10}, {480, 0, 10, 10}, {20, 30, 5, 6}, {-10, -10, 10, 10}});
    VGALVAL_lx740renderingmode |= VGAL_RM_SCISSOR_EMPTY;
    EXPECT_EQ(run(0), (Writes{{LX_RZ_SCI_RECT_LT00, lt(30, 20)},
                              {LX_RZ_SCI_RECT_RB00, lt(35, 24)},
                              {LX_RZ_SCI_RECT_LT01, lt(0, 0)},
                              {LX_RZ_SCI_RECT_RB01, lt(9, 9)},
                              {LX_RZ_SCI_ENABLE, 3}}));
    EXPECT_FALSE(VGALVAL_lx740renderingmode & VGAL_RM_SCISSOR_EMPTY);
    EXPECT_EQ(fetched(Unit::XPT), (Writes{{LX_XPT_SYNC_H, 0}}));
}

TEST_F(Scissor, NoVisibleRectangleLeavesTheEnableMask)
{
    for (auto list : {std::vector<OVGrect>{}, std::vector<OVGrect>{{480, 0, 5, 5}, {0, 272, 5, 5}, {0, 0, 0, 10}}}) {
        ctx.numScissorRects = 0;
        for (const OVGrect& r : list)
            ctx.scissorRects[ctx.numScissorRects++] = r;
        VGALVAL_lx740renderingmode = VGAL_RM_SCISSORING;
        EXPECT_TRUE(run(0).empty());
        EXPECT_TRUE(VGALVAL_lx740renderingmode & VGAL_RM_SCISSOR_EMPTY);
    }
}

TEST_F(Scissor, FlippedRowsCountFromTheBottom)
{
    rects({{0, 0, 10, 10}, {5, 260, 10, 100}});
    EXPECT_EQ(run(1), (Writes{{LX_RZ_SCI_RECT_LT00, lt(0, 5)},
                              {LX_RZ_SCI_RECT_RB00, lt(11, 14)},
                              {LX_RZ_SCI_RECT_LT01, lt(262, 0)},
                              {LX_RZ_SCI_RECT_RB01, lt(271, 9)},
                              {LX_RZ_SCI_ENABLE, 3}}));
}

TEST_F(Scissor, ScissoringOffProgramsTheWholeSurface)
{
    rects({{0, 0, 10, 10}});
    VGALVAL_lx740renderingmode = VGAL_RM_SCISSOR_EMPTY;
    EXPECT_EQ(run(1), (Writes{{LX_RZ_SCI_RECT_LT00, 0}, {LX_RZ_SCI_RECT_RB00, lt(271, 479)}, {LX_RZ_SCI_ENABLE, 1}}));
    EXPECT_FALSE(VGALVAL_lx740renderingmode & VGAL_RM_SCISSOR_EMPTY);
}

TEST_F(Scissor, ExtremeRectanglesDoNotWrap)
{
    struct Case {
        OVGrect r;
        bool visible;
        word32 lt, rb;
    } const cases[] = {
        {{100, 0, INT_MAX, 10}, true, lt(0, 100), lt(9, 479)},  // reaches the right edge
        {{0, 100, 10, INT_MAX}, true, lt(100, 0), lt(271, 9)},
        {{INT_MIN, 0, INT_MAX, 10}, false, 0, 0},  // ends at x = -2
        {{INT_MIN, INT_MIN, -1, -1}, false, 0, 0},
        {{-5, -5, INT_MAX, INT_MAX}, true, lt(0, 0), lt(271, 479)},
        {{INT_MAX, 0, INT_MAX, 10}, false, 0, 0},
        {{479, 271, INT_MIN, INT_MIN}, false, 0, 0},
    };
    for (const Case& c : cases) {
        rects({c.r});
        const Writes w = run(0);
        if (c.visible)
            EXPECT_EQ(w, (Writes{{LX_RZ_SCI_RECT_LT00, c.lt}, {LX_RZ_SCI_RECT_RB00, c.rb}, {LX_RZ_SCI_ENABLE, 1}}))
                << c.r.x << "," << c.r.y << "," << c.r.width << "," << c.r.height;
        else
            EXPECT_TRUE(w.empty()) << c.r.x << "," << c.r.y << "," << c.r.width << "," << c.r.height;
    }
}

TEST_F(Scissor, ThirtyTwoRectanglesFillEveryRegisterPair)
{
    ctx.numScissorRects = 32;
    for (int i = 0; i < 32; ++i)
        ctx.scissorRects[i] = OVGrect{i, i, 1, 1};
    const Writes w = run(0);
    ASSERT_EQ(w.size(), 65u);
    EXPECT_EQ(w[0], (RegValue{LX_RZ_SCI_RECT_LT00, lt(31, 31)}));
    EXPECT_EQ(w[63], (RegValue{LX_RZ_SCI_RECT_RB31, lt(0, 0)}));
    EXPECT_EQ(w[64], (RegValue{LX_RZ_SCI_ENABLE, 0xFFFFFFFFu}));
}

}  // namespace
}  // namespace gputest
