// The software copy on client memory: clipping, overlap order, the fast and general paths, sample
// replication, the scissored path and its edge table, refusals and a line buffer that cannot be
// had.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "vg/al_lx740/vg_al_lx740.h"
#include "vg/al_lx740/vg_al_lx740_swcopy.h"
#include "vg/al_lx740/vg_al_lx740_transfer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One side of a copy: a buffer in client memory and how it is described.
struct Side {
    int code, bpp, width, height;
    Bytes bytes;
    int linear = 0, pre = 0, luminance = 0, x = 0, y = 0;

    Side(int code_, int bpp_, int width_, int height_, uint8_t fill = 0)
        : code(code_), bpp(bpp_), width(width_), height(height_),
          bytes(static_cast<size_t>(stride() * height_), fill)
    {
    }
    int stride() const { return (width * bpp + 7) / 8; }
    uint8_t& at(int px, int row) { return bytes[static_cast<size_t>(row * stride() + px * bpp / 8)]; }
};

class SwCopy : public ::testing::Test {
protected:
    OVGcontext ctx{};

    void SetUp() override
    {
        VGALVAL_LX740_ALcontexthandle = &ctx;
        VGALVAL_dst_scale_x = VGALVAL_dst_scale_y = 0;
        VGALVAL_LXDIVOFFSET = 0;
        VGALVAL_src_dst_same_internal_precision = 0;
    }
    void TearDown() override { VGALFUNC_TVGfailLineBuffer(0); }

    static void describe(Side& src, Side& dst)
    {
        VGALVAL_src_addr = reinterpret_cast<uintptr_t>(src.bytes.data());
        VGALVAL_src_x = src.x, VGALVAL_src_y = src.y, VGALVAL_src_width = src.width, VGALVAL_src_height = src.height;
        VGALVAL_src_stride = src.stride(), VGALVAL_src_format = src.code, VGALVAL_src_bpp = src.bpp;
        VGALVAL_src_linear = src.linear, VGALVAL_src_pre = src.pre, VGALVAL_src_luminance = src.luminance;
        VGALVAL_dst_addr = reinterpret_cast<uintptr_t>(dst.bytes.data());
        VGALVAL_dst_x = dst.x, VGALVAL_dst_y = dst.y, VGALVAL_dst_width = dst.width, VGALVAL_dst_height = dst.height;
        VGALVAL_dst_stride = dst.stride(), VGALVAL_dst_format = dst.code, VGALVAL_dst_bpp = dst.bpp;
        VGALVAL_dst_linear = dst.linear, VGALVAL_dst_pre = dst.pre, VGALVAL_dst_luminance = dst.luminance;
    }

    // An A_8 image whose pixel (x, y) holds 1 + x + 16 y.
    static Side numbered(int width, int height)
    {
        Side s(6, 8, width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                s.at(x, y) = static_cast<uint8_t>(1 + x + 16 * y);
        return s;
    }

    void scissorRects(std::initializer_list<OVGrect> rects)
    {
        ctx.numScissorRects = 0;
        for (const OVGrect& r : rects)
            ctx.scissorRects[ctx.numScissorRects++] = r;
    }
};

TEST_F(SwCopy, ANegativeDestinationXCutsTheLeftOfTheSource)
{
    Side src = numbered(16, 1), dst(6, 8, 16, 1);
    describe(src, dst);
    const OVGrect r{2, 0, 10, 1};
    ASSERT_EQ(VGALFUNC_TVGmemCopy(-3, 0, &r, 0), 0);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(dst.at(x, 0), x < 7 ? src.at(x + 5, 0) : 0) << x;
}

TEST_F(SwCopy, ARectangleMovedDownInsideOneBufferRunsBottomUp)
{
    // A_8 rows take the block path, A_4 rows the general path; both must not smear row 0.
    for (auto [code, bpp] : {std::pair{6, 8}, {9, 4}}) {
        Side buffer(code, bpp, 8, 4);
        for (size_t i = 0; i < buffer.bytes.size(); ++i)
            buffer.bytes[i] = static_cast<uint8_t>(0x11 * (i / static_cast<size_t>(buffer.stride()) + 1));
        const Bytes before = buffer.bytes;
        describe(buffer, buffer);
        const OVGrect r{0, 0, 8, 3};
        ASSERT_EQ(VGALFUNC_TVGmemCopy(0, 1, &r, 0), 0);
        const size_t row = static_cast<size_t>(buffer.stride());
        EXPECT_EQ(Bytes(buffer.bytes.begin(), buffer.bytes.begin() + row), Bytes(before.begin(), before.begin() + row));
        EXPECT_EQ(Bytes(buffer.bytes.begin() + row, buffer.bytes.end()), Bytes(before.begin(), before.end() - row))
            << "code " << code;
    }
}

TEST_F(SwCopy, OverlappingScissorRectanglesMakeOneSpan)
{
    Side src = numbered(30, 1), dst(6, 8, 30, 1);
    describe(src, dst);
    scissorRects({{0, 0, 10, 1}, {5, 0, 15, 1}});
    const OVGrect r{0, 0, 30, 1};
    ASSERT_EQ(VGALFUNC_TVGmemCopy(0, 0, &r, 1), 0);
    EXPECT_EQ(VGALVAL_edge[0], 0);
    EXPECT_EQ(VGALVAL_edge[1], 20);
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(dst.at(x, 0), x < 20 ? src.at(x, 0) : 0) << x;
}

TEST_F(SwCopy, ScissoredSpansReadTheirOwnSourceColumns)
{
    Side src = numbered(16, 4), dst(6, 8, 16, 4);
    describe(src, dst);
    scissorRects({{6, 2, 3, 1}, {0, 0, 2, 16}});
    const OVGrect r{1, 0, 10, 4};
    ASSERT_EQ(VGALFUNC_TVGmemCopy(4, 1, &r, 1), 0);  // destination columns 4..13, rows 1..3
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = y == 2 && x >= 6 && x < 9;
            EXPECT_EQ(dst.at(x, y), inside ? src.at(x - 3, y - 1) : 0) << x << "," << y;
        }
}

// Inside one buffer a scissored copy along a row reads only pixels no span of the copy has
// written yet, whichever way it moves.
TEST_F(SwCopy, ScissoredSpansInsideOneBufferReadUnchangedPixels)
{
    for (int shift : {3, -3}) {
        Side buffer = numbered(16, 2);
        const Side before = buffer;
        describe(buffer, buffer);
        scissorRects({{0, 0, 5, 2}, {6, 0, 2, 2}, {9, 0, 7, 2}});
        const OVGrect r{shift > 0 ? 0 : 3, 0, 13, 2};
        ASSERT_EQ(VGALFUNC_TVGmemCopy(r.x + shift, 0, &r, 1), 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool written = x >= r.x + shift && x < r.x + shift + r.width && x != 5 && x != 8;
                ASSERT_EQ(buffer.at(x, y), before.bytes[static_cast<size_t>(y * 16 + (written ? x - shift : x))])
                    << "shift " << shift << " at " << x << "," << y;
            }
    }
}

TEST_F(SwCopy, SampleReplicationWidensAndDoublesRows)
{
    Side src = numbered(4, 2), dst(6, 8, 32, 8);
    dst.x = 1, dst.y = 1;  // usable area from (1, 1), in pixels before replication
    describe(src, dst);
    VGALVAL_dst_scale_x = 2;
    VGALVAL_dst_scale_y = 1;
    const OVGrect r{0, 0, 2, 2};
    ASSERT_EQ(VGALFUNC_TVGmemCopy(2, 1, &r, 0), 0);
    // Column 4 (dst_x + dx) = 12, rows 2 (dst_y + dy) = 4 and 5, then 6 and 7.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool inside = x >= 12 && x < 20 && y >= 4;
            EXPECT_EQ(dst.at(x, y), inside ? src.at((x - 12) / 4, (y - 4) / 2) : 0) << x << "," << y;
        }
}

TEST_F(SwCopy, SameFormatPremultipliedRowsAreClamped)
{
    Side src(1, 32, 2, 1), dst(1, 32, 2, 1);
    src.bytes = {100, 10, 50, 200, 255, 1, 2, 3};  // (R 200, A 100) and an opaque pixel
    src.pre = dst.pre = 1;
    describe(src, dst);
    const OVGrect r{0, 0, 2, 1};
    ASSERT_EQ(VGALFUNC_TVGmemCopy(0, 0, &r, 0), 0);
    EXPECT_EQ(dst.bytes, (Bytes{100, 10, 50, 100, 255, 1, 2, 3}));
}

TEST_F(SwCopy, TheGeneralPathChainsItsSteps)
{
    struct Case {
        const char* what;
        Side src, dst;
        Bytes in, out;
        int samePrecision;
    };
    auto side = [](int code, int bpp, int linear, int pre) {
        Side s(code, bpp, 1, 1);
        s.linear = linear, s.pre = pre;
        return s;
    };
    Case cases[] = {
        {"565 to 8888", side(4, 16, 0, 0), side(1, 32, 0, 0), {0x00, 0xF8}, {0xFF, 0x00, 0x00, 0xFF}, 0},
        {"4444 to 565", side(3, 16, 0, 0), side(4, 16, 0, 0), {0x0F, 0xF0}, {0x00, 0xF8}, 0},
        {"sRGB to linear", side(1, 32, 0, 0), side(1, 32, 1, 0), {9, 32, 64, 128}, {9, 4, 13, 55}, 0},
        {"premultiplied to plain", side(1, 32, 0, 1), side(15, 32, 0, 0), {100, 0, 0, 200}, {100, 255, 0, 0}, 0},
        {"plain to premultiplied 5551", side(1, 32, 0, 0), side(2, 16, 0, 1), {100, 255, 255, 255}, {0, 0}, 0},
        {"kept precision: clamp only", side(1, 32, 0, 1), side(1, 32, 1, 1), {100, 0, 0, 200}, {100, 0, 0, 100}, 1},
    };
    for (Case& c : cases) {
        c.src.bytes = c.in;
        describe(c.src, c.dst);
        VGALVAL_src_dst_same_internal_precision = c.samePrecision;
        const OVGrect r{0, 0, 1, 1};
        ASSERT_EQ(VGALFUNC_TVGmemCopy(0, 0, &r, 0), 0) << c.what;
        EXPECT_EQ(c.dst.bytes, c.out) << c.what;
    }
}

TEST_F(SwCopy, ExtremeRectanglesStayInsideBothBuffers)
{
    struct Case {
        OVGrect r;
        int dx, dy;
        OVGrect written;  // destination area; its source starts at (written.x + sdx, written.y + sdy)
        int sdx, sdy;
    } const cases[] = {
        {{INT_MIN, 0, INT_MAX, 4}, 0, 0, {0, 0, 0, 0}, 0, 0},
        {{0, 0, INT_MAX, INT_MAX}, INT_MIN, INT_MIN, {0, 0, 0, 0}, 0, 0},
        {{-5, -2, INT_MAX, INT_MAX}, 0, 0, {5, 2, 11, 2}, -5, -2},
        {{0, 0, INT_MAX, INT_MAX}, 15, 3, {15, 3, 1, 1}, -15, -3},
        {{INT_MAX, 0, 1, 1}, 0, 0, {0, 0, 0, 0}, 0, 0},
        {{INT_MIN, 0, -1, 1}, 10, 0, {0, 0, 0, 0}, 0, 0},
        {{3, 1, INT_MAX, INT_MAX}, -INT_MAX, 0, {0, 0, 0, 0}, 0, 0},
        {{INT_MIN + 1, INT_MIN + 1, INT_MAX, INT_MAX}, INT_MAX - 1, INT_MAX - 1, {0, 0, 0, 0}, 0, 0},
        {{2, 1, INT_MAX, INT_MAX}, -1, -1, {0, 0, 13, 2}, 3, 2},
    };
    for (const Case& c : cases) {
        for (int scissor : {0, 1}) {
            Side src = numbered(16, 4), dst(6, 8, 16, 4);
            describe(src, dst);
            scissorRects({{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-1, -1, INT_MAX, INT_MAX}});
            ASSERT_EQ(VGALFUNC_TVGmemCopy(c.dx, c.dy, &c.r, scissor), 0);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 16; ++x) {
                    const bool inside = x >= c.written.x && x < c.written.x + c.written.width && y >= c.written.y &&
                                        y < c.written.y + c.written.height;
                    ASSERT_EQ(dst.at(x, y), inside ? src.at(x + c.sdx, y + c.sdy) : 0)
                        << "rect " << c.r.x << "," << c.r.y << " at " << c.dx << "," << c.dy << " scissor " << scissor
                        << " pixel " << x << "," << y;
                }
        }
    }
}

TEST_F(SwCopy, ScissorEdgesOfExtremeRectangles)
{
    struct Case {
        OVGrect rect;
        int entries;
        int16_t left, right, top, bottom;
    } const cases[] = {
        {{100, 0, INT_MAX, 10}, 2, 100, 480, 0, 10},  // reaches the region's right edge
        {{INT_MIN, 0, INT_MAX, 10}, 0, 0, 0, 0, 0},   // ends left of the region
        {{INT_MIN, INT_MIN, -1, -1}, 0, 0, 0, 0, 0},
        {{-20, -20, 30, 25}, 2, 0, 10, 0, 5},
        {{479, 271, INT_MAX, INT_MAX}, 2, 479, 480, 271, 272},
    };
    for (const Case& c : cases) {
        scissorRects({c.rect});
        ASSERT_EQ(VGALFUNC_TVGmakeScissorAET(0, 0, 480, 272), c.entries) << c.rect.x << "," << c.rect.y;
        if (c.entries == 0)
            continue;
        EXPECT_EQ(VGALVAL_aetitable[0].x, c.left);
        EXPECT_EQ(VGALVAL_aetitable[0].dir, 1);
        EXPECT_EQ(VGALVAL_aetitable[1].x, c.right);
        EXPECT_EQ(VGALVAL_aetitable[1].dir, -1);
        EXPECT_EQ(VGALVAL_aetitable[0].ytop, c.top);
        EXPECT_EQ(VGALVAL_aetitable[0].ybottom, c.bottom);
    }
}

TEST_F(SwCopy, EdgeSortOrdersByColumn)
{
    const int16_t columns[] = {40, -3, 7, 7, 1000, 0, -3, 25, 12};
    const int n = sizeof columns / sizeof columns[0];
    for (int i = 0; i < n; ++i)
        VGALVAL_aetitable[i] = VGALaetentry{columns[i], 0, 1, 1};
    VGALFUNC_TVGsortAET(0, n - 1);
    for (int i = 1; i < n; ++i)
        EXPECT_LE(VGALVAL_aetitable[i - 1].x, VGALVAL_aetitable[i].x) << i;
}

TEST_F(SwCopy, ExtensionFormatsAreRefused)
{
    for (auto [srcCode, dstCode] : {std::pair{23, 1}, {1, 28}, {25, 25}, {-1, 1}}) {
        Side src(1, 32, 4, 1, 0x5A), dst(1, 32, 4, 1);
        src.code = srcCode, dst.code = dstCode;
        describe(src, dst);
        const OVGrect r{0, 0, 4, 1};
        EXPECT_EQ(VGALFUNC_TVGmemCopy(0, 0, &r, 0), VG_ILLEGAL_ARGUMENT_ERROR) << srcCode << " to " << dstCode;
        EXPECT_EQ(dst.bytes, Bytes(16, 0));
    }
}

TEST_F(SwCopy, ALineBufferThatCannotBeHadWritesNothing)
{
    for (int scissor : {0, 1}) {
        Side src = numbered(8, 2), dst(6, 8, 8, 2);
        describe(src, dst);
        scissorRects({{0, 0, 8, 2}});
        const OVGrect r{0, 0, 8, 2};
        VGALFUNC_TVGfailLineBuffer(1);
        EXPECT_EQ(VGALFUNC_TVGmemCopy(0, 0, &r, scissor), VG_OUT_OF_MEMORY_ERROR);
        EXPECT_EQ(dst.bytes, Bytes(16, 0));
        EXPECT_EQ(VGALFUNC_TVGmemCopy(0, 0, &r, scissor), 0);  // the next allocation succeeds
        EXPECT_EQ(dst.bytes, src.bytes);
    }
}

}  // namespace
