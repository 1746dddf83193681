// What the SPC copies send, on the device log: blocks of 2048 for wide destinations, the row
// mirror, line-by-line pieces and their addresses, and the pixel-engine copy state.
#include "copy_test_support.h"

#include <algorithm>

namespace gputest {
namespace {

constexpr word32 kSource = 0x100000u, kDestination = 0x800000u;

struct Rect4 {
    uint32_t header, x, y, w, h, u, v;
};

Rect4 decode(const std::vector<uint32_t>& r)
{
    return {r[0], r[1] & 0xFFFFu, r[1] >> 16, (r[2] & 0xFFFFu) + 1, (r[2] >> 16) + 1, r[3] & 0xFFFFu, r[3] >> 16};
}

class SpcLog : public CopyTest {
protected:
    void SetUp() override
    {
        CopyTest::SetUp();
        switchModelOff();
    }

    // A made-up buffer (no memory behind it) of w x h pixels at bpp bits.
    static VGALtransferside fake(word32 addr, int w, int h, int bpp, int stride, word32 code, int format)
    {
        VGALtransferside s{};
        s.addr = addr;
        s.width = w, s.height = h;
        s.stride = stride;
        s.bpp = bpp;
        s.format = format;
        s.twidth = stride * 8 / bpp;
        s.theight = h;
        s.format_lx = code;
        return s;
    }

    std::vector<RegValue> spcPeWrites() const
    {
        std::vector<RegValue> out;
        for (const Event& e : gpu.log())
            if (e.stream == Stream::SFifo && e.kind == Kind::Write && e.unit == Unit::PE)
                out.emplace_back(e.reg, e.value);
        return out;
    }
};

TEST_F(SpcLog, WideDestinationGoesInTwoBlockColumns)
{
    describe(fake(kSource, 3000, 10, 16, 6000, 1, 4), fake(kDestination, 3200, 10, 16, 6400, 1, 4));
    const OVGrect rect{0, 0, 3000, 10};
    VGALFUNC_lx_copy_spc(100, 0, &rect);
    const auto r = rectangles();
    ASSERT_EQ(r.size(), 2u);
    const Rect4 a = decode(r[0]), b = decode(r[1]);
    EXPECT_EQ(a.x, 100u);
    EXPECT_EQ(a.w, 1948u);  // x 100 to 2047
    EXPECT_EQ(a.u, 0u);
    EXPECT_EQ(b.x, 0u);
    EXPECT_EQ(b.w, 1052u);  // x 0 to 1051 of the next block column
    EXPECT_EQ(b.u, 1948u);
    EXPECT_EQ(a.h, 10u);
    // Each block is addressed from its origin through the SPC, with a colour-cache flush after it.
    const auto w = spcPeWrites();
    const std::vector<RegValue> expected = {{LX_PE_OVG_CBUF0_ADDR, kDestination},
                                            {LX_PE_OVG_CCACHE_FLUSH, 1},
                                            {LX_PE_OVG_CBUF0_ADDR, kDestination + 2048 * 2},
                                            {LX_PE_OVG_CCACHE_FLUSH, 1}};
    EXPECT_EQ(w, expected);
    EXPECT_EQ(lastValue(fetched(Unit::PE), LX_PE_OVG_CBUF0_FMT), 1u | 3200u << 16);
}

TEST_F(SpcLog, TallDestinationMirroredTakesEachBlockFromTheOtherEnd)
{
    describe(fake(kSource, 8, 3000, 32, 32, 0, 1), fake(kDestination, 8, 3000, 32, 32, 0, 1));
    VGALVAL_dst_flip = 1;
    const OVGrect rect{0, 0, 8, 3000};
    VGALFUNC_lx_copy_spc(0, 0, &rect);
    const auto r = rectangles();
    ASSERT_EQ(r.size(), 2u);
    const Rect4 a = decode(r[0]), b = decode(r[1]);
    EXPECT_EQ(a.header, CGL_SPC_RECT | CGL_SPC_RECT_FLIP);
    EXPECT_EQ(a.h, 2048u);
    EXPECT_EQ(a.v, 3000u - 2048u);  // destination rows 0..2047 mirror the last 2048 source rows
    EXPECT_EQ(b.h, 952u);
    EXPECT_EQ(b.v, 0u);
}

struct FlipCase {
    int src, dst;
    uint32_t header;
};

TEST_F(SpcLog, OneFlippedSideMirrorsTwoDoNot)
{
    const FlipCase cases[] = {{0, 0, CGL_SPC_RECT}, {1, 0, CGL_SPC_RECT | CGL_SPC_RECT_FLIP},
                              {0, 1, CGL_SPC_RECT | CGL_SPC_RECT_FLIP}, {1, 1, CGL_SPC_RECT}};
    for (const FlipCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.src) + " " + std::to_string(c.dst));
        gpu.clearLog();
        describe(fake(kSource, 16, 12, 16, 32, 1, 4), fake(kDestination, 16, 12, 16, 32, 1, 4));
        VGALVAL_src_flip = c.src, VGALVAL_dst_flip = c.dst;
        const OVGrect rect{1, 2, 5, 3};
        VGALFUNC_lx_copy_spc(4, 1, &rect);
        const auto r = rectangles();
        ASSERT_EQ(r.size(), 1u);
        const Rect4 a = decode(r[0]);
        EXPECT_EQ(a.header, c.header);
        EXPECT_EQ(a.y, c.dst ? 12u - 1 - 3 : 1u);
        EXPECT_EQ(a.v, c.src ? 12u - 2 - 3 : 2u);
    }
}

struct LineCase {
    const char* name;
    int dstStride, dx;
    // Piece positions and widths of the first line.
    std::vector<std::pair<uint32_t, uint32_t>> pieces;
};

TEST_F(SpcLog, LineByLineAlignsLineAddressesAndStaysInsideA2048Block)
{
    const LineCase cases[] = {
        // 20 pixels of 16 bits a line: line 1 starts 40 bytes in, 8 bytes past a 32-byte boundary.
        {"20 pixels a line", 40, 3, {{3, 10}}},
        {"rdx 2048 on a wide line", 8448, 2050, {{2, 10}}},
        {"crossing x 2048", 8448, 2040, {{2040, 8}, {0, 2}}},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        gpu.clearLog();
        describe(fake(kSource, 40, 4, 16, 80, 1, 4), fake(kDestination, c.dstStride / 2, 4, 16, c.dstStride, 1, 4));
        const OVGrect rect{0, 0, 10, 2};
        VGALFUNC_lx_copy_spc_line_by_line(c.dx, 0, &rect);
        const auto r = rectangles();
        const auto w = spcPeWrites();
        ASSERT_EQ(r.size(), 2 * c.pieces.size());
        for (size_t i = 0; i < c.pieces.size(); ++i) {
            const Rect4 p = decode(r[i]);
            EXPECT_EQ(p.x, c.pieces[i].first);
            EXPECT_EQ(p.w, c.pieces[i].second);
            EXPECT_EQ(p.h, 1u);
            EXPECT_EQ(p.u, i == 0 ? 0u : c.pieces[0].second);
        }
        // Every colour-buffer address is a multiple of 32 and addresses the piece's own block.
        std::vector<uint32_t> addresses;
        for (const RegValue& rv : w)
            if (rv.first == LX_PE_OVG_CBUF0_ADDR) {
                EXPECT_EQ(rv.second % 32, 0u);
                addresses.push_back(rv.second);
            }
        ASSERT_EQ(addresses.size(), r.size());
        const uint32_t line1 = kDestination + static_cast<uint32_t>(c.dstStride);
        const Rect4 second = decode(r[c.pieces.size()]);
        const uint32_t block = static_cast<uint32_t>(c.dx / 2048) * 2048u * 2u;
        EXPECT_EQ(addresses[c.pieces.size()] + second.x * 2u, line1 + block + (c.dx % 2048) * 2u);
    }
}

TEST_F(SpcLog, CopyStateBeforeTheRectangle)
{
    describe(fake(kSource, 16, 12, 32, 64, 2, 1), fake(kDestination, 16, 12, 16, 32, 1, 4));
    VGALVAL_src_pre = 1;
    VGALVAL_dst_channel_mask = 0;
    const OVGrect rect{0, 0, 5, 3};
    VGALFUNC_lx_copy_spc(0, 0, &rect);
    const auto pe = fetched(Unit::PE);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_TX1_FMT), 2u);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_TX1_EN), 1u);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_TX1_CLAMP2ALPHA), 1u);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_PREMALPHA_EN), 2u);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_TXC_MODE), 244u);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_TX1_ADDR), kSource);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_TX1_SIZE), 16u | 12u << 16);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_CBUF0_ADDR), kDestination);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_CBUF0_FMT), 1u | 16u << 16);
    // The end: a flush left queued and the drawing state to be rewritten.
    const word32* queued = VGALVAL_lx740cmdbuffer_direct;
    const std::vector<word32> pending(queued, queued + VGALVAL_lx740cmdbuffer_count);
    const std::vector<word32> flush = {CGL_PKT_HEADER(CGL_OP_PE_WRITE, LX_PE_OVG_CCACHE_FLUSH, 1), 0x40000201u};
    EXPECT_NE(std::search(pending.begin(), pending.end(), flush.begin(), flush.end()), pending.end());
    EXPECT_EQ(VGALVAL_lx740_ctxdirty & 0xC0001084u, 0xC0001084u);
    EXPECT_EQ(VGALVAL_changepepipe, 1);
    EXPECT_EQ(countEvents(Stream::SFifo, Kind::Sync, Unit::SPC, 0), 1u);
}

TEST_F(SpcLog, ScissoredCopyOutsideEveryRectangleDrawsNothingAndMarksTheStateStale)
{
    describe(fake(kSource, 16, 12, 16, 32, 1, 4), fake(kDestination, 64, 40, 16, 128, 1, 4));
    ctx.scissoring = VG_TRUE;
    ctx.numScissorRects = 1;
    ctx.scissorRects[0] = {40, 30, 5, 5};
    VGALVAL_lx740_ctxdirty = 0;
    const OVGrect rect{0, 0, 10, 10};
    VGALFUNC_lx_copy_spc_scissor(2, 2, &rect);
    EXPECT_TRUE(rectangles().empty());
    EXPECT_EQ(VGALVAL_lx740_ctxdirty & 0xC0001084u, 0xC0001084u);
}

}  // namespace
}  // namespace gputest
