// The copy-engine copies on pixels through the GPU model: blocks of at most 2048 x 2048, the
// copy direction of overlapping copies, whole buffers line by line as stored, and scissored
// copies on a multisampled surface.
#include "copy_test_support.h"

#include "vg/al_lx740/vg_al_lx740_swcopy.h"

namespace gputest {
namespace {

constexpr uint32_t kRvd = 0x80000000u;

int entryWidth(const std::vector<uint32_t>& e)
{
    return static_cast<int>((e[0] & 0x7FFu) + 1);
}

int entryHeight(const std::vector<uint32_t>& e)
{
    return static_cast<int>((e[0] >> 12 & 0x7FFu) + 1);
}

class CopyEnginePixels : public CopyTest {};

TEST_F(CopyEnginePixels, BetweenBuffersAcrossBandsAndTiles)
{
    const GpuBuffer src = buffer(2060, 2062, 8), dst = buffer(2060, 2060, 8);
    ASSERT_NE(src.addr, CGL_NO_ADDRESS);
    ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
    src.fill([](int x, int y) { return pattern(x, y, 8); });
    dst.fill([](int, int) { return 0xA5u; });
    // The source is a child area at (1, 2); the destination the whole buffer.
    describe(side(src, 48, 6, 1, 2, 2058, 2058), side(dst, 48, 6));
    const OVGrect rect{3, 5, 2052, 2050};
    VGALFUNC_lx_copy_ce(2, 4, &rect);

    for (int y = 0; y < dst.height; ++y)
        for (int x = 0; x < dst.width; ++x) {
            const bool inside = x >= 2 && x < 2054 && y >= 4 && y < 2054;
            const uint32_t expected = inside ? pattern(x - 2 + 3 + 1, y - 4 + 5 + 2, 8) : 0xA5u;
            ASSERT_EQ(dst.get(x, y), expected) << "at (" << x << ", " << y << ")";
        }
    const auto e = entries();
    ASSERT_EQ(e.size(), 4u);  // two bands of two tiles
    EXPECT_EQ(entryWidth(e[0]), 2048);
    EXPECT_EQ(entryHeight(e[0]), 2048);
    EXPECT_EQ(entryWidth(e[1]), 4);
    EXPECT_EQ(entryHeight(e[2]), 2);
    for (const auto& entry : e)
        EXPECT_EQ(entry[1] & kRvd, 0u);
}

struct Shift {
    const char* name;
    int dx, dy;
    bool reverse;
};

// The region (8, 8) 30 x 20 of a 64 x 40 buffer moved by one step.
const Shift kShifts[] = {
    {"one line down", 8, 9, true},
    {"one line up", 8, 7, false},
    {"three left", 5, 8, false},
    {"three right", 11, 8, true},
};

// The buffer after copying region r to (dx, dy): what the copy reads is the buffer before it.
std::vector<uint32_t> moved(const std::vector<uint32_t>& before, int width, const OVGrect& r, int dx, int dy)
{
    std::vector<uint32_t> after = before;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            after[size_t(dy + y) * width + dx + x] = before[size_t(r.y + y) * width + r.x + x];
    return after;
}

std::vector<uint32_t> contents(const GpuBuffer& b)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            out.push_back(b.get(x, y));
    return out;
}

TEST_F(CopyEnginePixels, OverlappingCopiesShiftThePatternIntact)
{
    const GpuBuffer b = buffer(64, 40, 16);
    ASSERT_NE(b.addr, CGL_NO_ADDRESS);
    const OVGrect r{8, 8, 30, 20};
    for (const Shift& s : kShifts) {
        SCOPED_TRACE(s.name);
        gpu.clearLog();
        b.fill([](int x, int y) { return pattern(x, y, 16); });
        const std::vector<uint32_t> expected = moved(contents(b), b.width, r, s.dx, s.dy);
        describe(side(b, 1, 4), side(b, 1, 4));
        VGALFUNC_lx_copy_ce_sameregion(s.dx, s.dy, &r);
        EXPECT_EQ(contents(b), expected);
        const auto e = entries();
        ASSERT_EQ(e.size(), 1u);
        EXPECT_EQ((e[0][1] & kRvd) != 0, s.reverse);
    }
}

// Tiles of a region wider than 2048 shifted right along its own rows are copied right to left,
// each from its last pixel, so no source pixel is overwritten before it is read.
TEST_F(CopyEnginePixels, WideRegionShiftedRightOnItsRowsKeepsThePattern)
{
    const GpuBuffer b = buffer(3010, 44, 8);
    ASSERT_NE(b.addr, CGL_NO_ADDRESS);
    b.fill([](int x, int y) { return pattern(x, y, 8); });
    const OVGrect r{0, 2, 3000, 40};
    const std::vector<uint32_t> expected = moved(contents(b), b.width, r, 5, 2);
    describe(side(b, 48, 6), side(b, 48, 6));
    VGALFUNC_lx_copy_ce_sameregion(5, 2, &r);
    EXPECT_EQ(contents(b), expected);
    const auto e = entries();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_NE(e[0][1] & kRvd, 0u);
    EXPECT_NE(e[1][1] & kRvd, 0u);
    EXPECT_GT(e[0][3], e[1][3]) << "the right tile goes first";
}

TEST_F(CopyEnginePixels, WholeOneBitBufferOfMoreThan2048RowsKeepsEveryLine)
{
    // 100 pixels a line in 16 bytes: the texture line length (128 pixels) is not the 16 bytes
    // copied a line.
    const GpuBuffer src = buffer(100, 2100, 1, 16), dst = buffer(100, 2100, 1, 16);
    ASSERT_NE(src.addr, CGL_NO_ADDRESS);
    ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
    for (int y = 0; y < src.height; ++y)
        for (int i = 0; i < src.stride; ++i)
            src.row(y)[i] = static_cast<uint8_t>(pattern(i, y, 8));
    std::memset(dst.bytes(), 0, size_t(dst.stride) * dst.height);
    VGALFUNC_lx_copy_ce_simple(dst.addr, src.addr, 1, src.stride, src.height);
    ASSERT_EQ(std::memcmp(dst.bytes(), src.bytes(), size_t(src.stride) * src.height), 0);
    const auto e = entries();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(entryWidth(e[0]), 16);
    EXPECT_EQ(e[1][2] - e[0][2], 2048u * 16u);
}

// A 700-pixel multisampled surface of 16-bit samples, four a pixel.
TEST_F(CopyEnginePixels, ScissoredCopyOnMultisampledSurfaceSplitsWideSpans)
{
    const int width = 700, height = 6;
    const GpuBuffer src = buffer(width * 4, height, 16), dst = buffer(width * 4, height, 16);
    ASSERT_NE(src.addr, CGL_NO_ADDRESS);
    ASSERT_NE(dst.addr, CGL_NO_ADDRESS);
    src.fill([](int x, int y) { return pattern(x, y, 16); });
    dst.fill([](int, int) { return 0u; });
    ctx.scissoring = VG_TRUE;
    ctx.numScissorRects = 2;
    ctx.scissorRects[0] = {10, 0, 600, 3};
    ctx.scissorRects[1] = {50, 2, 100, 4};
    describe(side(src, 1, 4, 0, 0, width, height), side(dst, 1, 4, 0, 0, width, height));
    VGALVAL_dst_scale_x = 2;
    const OVGrect rect{5, 0, 690, height};
    VGALFUNC_lx_copy_ce_scale_scissor(0, 0, &rect);

    auto scissored = [](int x, int y) {
        return (x >= 10 && x < 610 && y < 3) || (x >= 50 && x < 150 && y >= 2);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int s = 0; s < 4; ++s) {
                const uint32_t expected = x < 690 && scissored(x, y) ? pattern((x + 5) * 4 + s, y, 16) : 0u;
                ASSERT_EQ(dst.get(x * 4 + s, y), expected) << "pixel (" << x << ", " << y << ") sample " << s;
            }
    bool split = false;
    for (const auto& e : entries()) {
        EXPECT_LE(entryWidth(e), 2048);
        split = split || entryWidth(e) == 2048;
    }
    EXPECT_TRUE(split) << "the 600-pixel span is 2400 samples";
}

}  // namespace
}  // namespace gputest
