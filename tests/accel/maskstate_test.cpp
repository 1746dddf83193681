// The mask-side pixel-engine writers, mask operations with an image and mask-layer copies, on
// the decoded command log and the SPC-FIFO words.
#include "accel_test_support.h"

#include <algorithm>

#include "vg/al_lx740/vg_al_lx740_maskstate.h"
#include "vg/al_lx740/vg_al_lx740_ucode.h"
#include "vg/al_lx740/vg_al_lx740_xpt.h"

namespace gputest {
namespace {

using Writes = std::vector<RegValue>;
using Words = std::vector<uint32_t>;

struct Op {
    VGMaskOperation op;
    word32 astep1, astep2;
};
const Op kOps[] = {
    {VG_SET_MASK, 0, 0}, {VG_UNION_MASK, 2, 0x50000}, {VG_INTERSECT_MASK, 0x11, 0x40000}, {VG_SUBTRACT_MASK, 1, 0x40000}};

class MaskState : public AccelTest {
protected:
    ALbuffer mask{480, 272, 480, 8, 0x80000, 0, 0};
    size_t sfifoMark = 0;

    void SetUp() override
    {
        AccelTest::SetUp();
        VGALVAL_maskbuffer = &mask;
        VGALVAL_backbuffer = 0;
        VGALVAL_surface_flip = 0;
        VGALVAL_surface_height = VGALVAL_colorbuffer_height = 272;
        mark();
    }

    void mark()
    {
        gpu.clearLog();
        sfifoMark = gpu.sfifoWords().size();
    }

    // Words pushed into the SPC FIFO since the mark, terminators left out.
    Words spcWords() const
    {
        Words out(gpu.sfifoWords().begin() + static_cast<long>(sfifoMark), gpu.sfifoWords().end());
        out.erase(std::remove(out.begin(), out.end(), CGL_TERMINATOR), out.end());
        return out;
    }

    Writes pe()
    {
        RUNCME();
        return fetched(Unit::PE);
    }

    static bool wrote(const Writes& w, word32 reg)
    {
        return std::any_of(w.begin(), w.end(), [reg](const RegValue& rv) { return rv.first == reg; });
    }
};

TEST_F(MaskState, MaskTargetViews)
{
    struct Case {
        int bpp, force;
        word32 multisample;
        word32 fmtReg, fmt;
    } const cases[] = {
        {8, 0, 0, LX_PE_OVG_CBUF0_FMT, 33u | 480u << 16},
        {4, 0, 0, LX_PE_OVG_CBUF0_FMT, 48u | 960u << 16},
        {1, 0, 0, LX_PE_OVG_CBUF0_FMT, 64u | 3840u << 16},
        {8, 1, 0, LX_PE_OVG_CBUF0_FMT, 64u | 3840u << 16},  // forced 1-bit view
        {8, 0, VGAL_RM_MULTISAMPLE, LX_PE_OVG_CBUF2_FMT, 33u | 480u << 16},
        {8, 1, VGAL_RM_MULTISAMPLE, 0, 0},  // no colour-buffer registers
    };
    for (const Case& c : cases) {
        mask.bpp = c.bpp;
        VGALVAL_lx740renderingmode = c.multisample;
        VGALVAL_lx740_ctxdirty = 0;
        mark();
        VGALFUNC_lx_setstate_mask(nullptr, c.force);
        const Writes w = pe();
        for (word32 reg : {LX_PE_OVG_CBUF0_FMT, LX_PE_OVG_CBUF1_FMT, LX_PE_OVG_CBUF2_FMT})
            EXPECT_EQ(wrote(w, reg), reg == c.fmtReg) << "bpp " << c.bpp << " force " << c.force;
        if (c.fmtReg) {
            EXPECT_EQ(lastValue(w, c.fmtReg), c.fmt);
        }
        EXPECT_EQ(lastValue(w, LX_PE_OVG_CH_MASK), 0u);
        EXPECT_EQ(fetched(Unit::RZ), (Writes{{LX_RZ_SCI_ENABLE, 0}}));
        EXPECT_EQ(VGALVAL_lx740_dirty, 7u);
        EXPECT_EQ(VGALVAL_lx740_ctxdirty, 0xC0000010u);
    }
    // A mask layer given by the caller, into the back buffer's register pair.
    ALbuffer layer{64, 64, 16, 4, 0x90000, 1, 0};
    VGALVAL_lx740renderingmode = 0;
    VGALVAL_backbuffer = 1;
    mark();
    VGALFUNC_lx_setstate_mask(&layer, 0);
    const Writes w = pe();
    EXPECT_EQ(lastValue(w, LX_PE_OVG_CBUF1_ADDR), 0x90000u);
    EXPECT_EQ(lastValue(w, LX_PE_OVG_CBUF1_FMT), 48u | 32u << 16);
}

TEST_F(MaskState, RenderingIntoTheMaskBlendsByOperation)
{
    for (const Op& op : kOps)
        for (word32 rm : {0u, VGAL_RM_SCISSORING, VGAL_RM_MULTISAMPLE, VGAL_RM_MULTISAMPLE | VGAL_RM_SCISSORING}) {
            SCOPED_TRACE(testing::Message() << "op " << std::hex << op.op << " mode " << rm);
            const bool ms = rm & VGAL_RM_MULTISAMPLE;
            const bool scissorRow = (rm & VGAL_RM_SCISSORING) && (op.op == VG_SET_MASK || op.op == VG_INTERSECT_MASK);
            VGALVAL_lx740renderingmode = rm;
            VGALVAL_xptbufstatus = 0;
            mark();
            VGALFUNC_lx_setstate_render_to_mask_a2(op.op);
            const Writes w = pe();
            ASSERT_GE(w.size(), 3u);
            EXPECT_EQ(w[w.size() - 3], (RegValue{LX_PE_OVG_BLEN_EN, 1}));
            EXPECT_EQ(w[w.size() - 2], (RegValue{LX_PE_OVG_BLEN_FUNC_ASTEP1, op.astep1}));
            EXPECT_EQ(w[w.size() - 1], (RegValue{LX_PE_OVG_BLEN_FUNC_ASTEP2, op.astep2}));
            EXPECT_EQ(lastValue(w, ms ? LX_PE_OVG_CBUF2_FMT : LX_PE_OVG_CBUF0_FMT), (ms ? 64u : 33u) | 480u << 16);
            EXPECT_EQ(lastValue(w, LX_PE_OVG_MSAA_ENABLE), ms ? 1u : 0u);
            EXPECT_EQ(lastValue(w, LX_PE_OVG_COV2ALPHA), 2u);
            const word32 mode = ms ? (scissorRow ? 0x88000u : 0x80000u)
                                   : scissorRow ? 0x8000u : op.op == VG_SET_MASK ? 0x10000u : 0u;
            EXPECT_EQ(fetched(Unit::RZ), (Writes{{LX_RZ_COLOR, 0xFFFFFFFFu}, {LX_RZ_VG_MODE, mode}}));
            EXPECT_EQ(VGALVAL_xptbufstatus, 1);
            EXPECT_EQ(VGALVAL_changepepipe, 1);
        }
}

TEST_F(MaskState, RenderingIntoTheMaskChoosesTheXptMode)
{
    switchModelOff();  // the stroke mode selects cap and join entries; nothing is drawn
    VGALVAL_aamode = 8;
    struct Case {
        int mode;
        VGMaskOperation op;
        VGFillRule rule;
        word32 xptMode;
    } const cases[] = {
        {0, VG_SET_MASK, VG_EVEN_ODD, 8 | 16 | 2},     {0, VG_UNION_MASK, VG_NON_ZERO, 8},
        {0, VG_INTERSECT_MASK, VG_NON_ZERO, 8 | 16},   {0, VG_SUBTRACT_MASK, VG_EVEN_ODD, 8 | 2},
        {1, VG_SET_MASK, VG_EVEN_ODD, 8 | 16},         {1, VG_SUBTRACT_MASK, VG_EVEN_ODD, 8},
    };
    for (const Case& c : cases) {
        ctx.fillRule = c.rule;
        mark();
        VGALFUNC_lx_setstate_render_to_mask_b(c.mode, c.op);
        RUNCME();
        EXPECT_EQ(fetched(Unit::XPT), (Writes{{LX_XPT_SYNC, 0}, {LX_XPT_MODE, c.xptMode}}))
            << "mode " << c.mode << " op " << std::hex << c.op;
        EXPECT_EQ(currentucodetype & 3u, c.mode == 0 ? VGAL_UCODE_FILL : VGAL_UCODE_STROKE);
    }
}

TEST_F(MaskState, AnImageIsBlendedIntoTheMaskByOneRectangle)
{
    // The buffers are made-up addresses: only the programming is checked here.
    switchModelOff();
    ALbuffer image{100, 50, 200, 16, 0x40000, 0, 0};
    struct Case {
        int flip, layer;
        Words rect;
    } const cases[] = {
        {0, 0, {0x1000, 5 | 7u << 16, 9 | 19u << 16, 1 | 2u << 16}},
        {1, 0, {0x1004, 5 | 245u << 16, 9 | 19u << 16, 1 | 2u << 16}},  // 272 - 7 - 20
        {1, 1, {0x1000, 5 | 245u << 16, 9 | 19u << 16, 1 | 28u << 16}},  // layer rows mirrored: 50 - 2 - 20
    };
    for (const Op& op : kOps)
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "op " << std::hex << op.op << " flip " << c.flip << " layer " << c.layer);
            VGALVAL_surface_flip = c.flip;
            image.masklayer = c.layer;
            mark();
            EXPECT_EQ(VGALFUNC_lx_drawmask(5, 7, 1, 2, 10, 20, &image, VG_sRGB_565, op.op), 0);
            EXPECT_EQ(spcWords(), (Words{c.rect[0], c.rect[1], c.rect[2], c.rect[3], CGL_SPC_SYNC}));
            const Writes w = pe();
            EXPECT_EQ(lastValue(w, LX_PE_OVG_BLEN_FUNC_ASTEP1), op.astep1);
            EXPECT_EQ(lastValue(w, LX_PE_OVG_BLEN_FUNC_ASTEP2), op.astep2);
            EXPECT_EQ(lastValue(w, LX_PE_OVG_TX1_FMT), 24u);
            EXPECT_EQ(lastValue(w, LX_PE_OVG_TX1_SIZE), 100u | 50u << 16);
            EXPECT_EQ(lastValue(w, LX_PE_OVG_TX1_RED2ALPHA), 1u);  // 565 has no alpha
            EXPECT_EQ(lastValue(w, LX_PE_OVG_CCACHE_FLUSH), 0x40000201u);
            EXPECT_EQ(lastValue(w, LX_PE_OVG_MAX_CCACHE_LLEN), 0u);
        }
    expectArmTriggerWaitDisarm();
}

TEST_F(MaskState, AMultisampledMaskLayerGoesInPiecesOfFiveHundredAndTwelvePixels)
{
    // The buffers are made-up addresses: only the programming is checked here.
    switchModelOff();
    ALbuffer layer{1200, 40, 1200, 1, 0x40000, 1, 0};
    const Words target = {0x22E002, 0, 0x3180000, 0x40000201, 0x20000};
    auto piece = [&](word32 addr, word32 x, word32 y, word32 pixels, word32 rows, word32 sx, word32 sy) {
        Words w = target;
        for (word32 v : {addr, 0x1000u, x * 4 | y << 16, (pixels * 4 - 1) | (rows - 1) << 16, sy << 16 | sx * 4})
            w.push_back(v);
        return w;
    };
    struct Case {
        int dx, w;
        std::vector<Words> pieces;
    } const cases[] = {
        {3, 1, {piece(0x80000, 3, 7, 1, 4, 2, 3)}},  // one pixel wide: one piece
        {500, 30, {piece(0x80000, 500, 7, 12, 4, 2, 3), piece(0x80100, 0, 7, 18, 4, 14, 3)}},
        {1000, 100, {piece(0x80100, 488, 7, 24, 4, 2, 3), piece(0x80200, 0, 7, 76, 4, 26, 3)}},
    };
    VGALVAL_lx740renderingmode = VGAL_RM_MULTISAMPLE;
    for (const Case& c : cases) {
        mark();
        VGALFUNC_lx_drawmask(c.dx, 7, 2, 3, c.w, 4, &layer, VG_A_1, VG_UNION_MASK);
        Words expected;
        for (const Words& p : c.pieces)
            expected.insert(expected.end(), p.begin(), p.end());
        expected.push_back(CGL_SPC_SYNC);
        EXPECT_EQ(spcWords(), expected) << "dx " << c.dx << " width " << c.w;
        const Writes w = pe();
        EXPECT_EQ(lastValue(w, LX_PE_OVG_CBUF2_FMT), 480u << 19 | 64u);
        EXPECT_EQ(lastValue(w, LX_PE_OVG_TX1_FMT), 64u);
        EXPECT_EQ(lastValue(w, LX_PE_OVG_TX1_SIZE), 9600u | 40u << 16);
    }
}

TEST_F(MaskState, AnEightBitLayerIsCopiedByTheCopyEngine)
{
    // The buffers are made-up addresses: only the programming is checked here.
    switchModelOff();
    ALbuffer layer{64, 32, 64, 8, 0x90000, 1, 0};
    VGALVAL_surface_flip = 1;
    mark();
    VGALFUNC_lx_copymask(&layer, 4, 5, 6, 7, 10, 3);
    RUNCME();
    std::vector<word32> table;
    for (const Event& e : gpu.log())
        if (e.kind == Kind::Write && e.unit == Unit::PETable)
            table.push_back(e.value);
    const word32 sy = 272 - 7 - 3, dy = 32 - 5 - 3;
    EXPECT_EQ(table, (std::vector<word32>{9u | 0x8000000u | 2u << 12,
                                          ((480u - 10u) | (64u - 10u) << 16) + (cglGetMmuMode() ? 0xC000u : 0u),
                                          0x80000u + sy * 480u + 6u, 0x90000u + dy * 64u + 4u}));
    const Writes w = fetched(Unit::PE);
    EXPECT_EQ(w.back(), (RegValue{LX_PE_OVG_EXT_SYNC, 0x80000000u}));
    EXPECT_TRUE(spcWords().empty());
}

TEST_F(MaskState, AOneBitLayerIsCopiedInTilesAndMarksTheSurfaceState)
{
    // The buffers are made-up addresses: only the programming is checked here.
    switchModelOff();
    ALbuffer layer{4096, 8, 512, 1, 0x90000, 1, 0};
    mask.stride = 60, mask.bpp = 1;
    VGALVAL_lx740_dirty = 0;
    VGALVAL_lx740_ctxdirty = 0;
    mark();
    VGALFUNC_lx_copymask(&layer, 2040, 1, 6, 7, 20, 3);
    const Words target = {0x22E002, 0, 0x3180000, 0x40000201, 0x20000};
    Words expected = target;
    for (word32 v : {0x90000u, 0x1000u, 2040u | 1u << 16, 7u | 2u << 16, 6u | 7u << 16})
        expected.push_back(v);
    expected.insert(expected.end(), target.begin(), target.end());
    for (word32 v : {0x90000u + 2048u / 8u, 0x1000u, 0u | 1u << 16, 11u | 2u << 16, 14u | 7u << 16})
        expected.push_back(v);
    expected.push_back(CGL_SPC_SYNC);
    EXPECT_EQ(spcWords(), expected);
    const Writes w = pe();
    EXPECT_EQ(lastValue(w, LX_PE_OVG_CBUF0_ADDR), 0x90000u);
    EXPECT_EQ(lastValue(w, LX_PE_OVG_CBUF0_FMT), 64u | 4096u << 16);
    EXPECT_EQ(lastValue(w, LX_PE_OVG_TX1_SIZE), 480u | 272u << 16);
    EXPECT_EQ(lastValue(w, LX_PE_OVG_BLEN_EN), 0u);
    EXPECT_EQ(VGALVAL_lx740_dirty, 7u);
    EXPECT_EQ(VGALVAL_lx740_ctxdirty & 0xC0001084u, 0xC0001084u);
}

}  // namespace
}  // namespace gputest
