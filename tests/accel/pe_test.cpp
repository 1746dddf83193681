// The pixel-engine state writers, read back as the register writes the simulated GPU decodes
// from the command buffer.
#include "accel_test_support.h"

#include "vg/al_lx740/vg_al_lx740_pe.h"

namespace gputest {
namespace {

using Writes = std::vector<RegValue>;

class PeWriters : public AccelTest {
protected:
    void SetUp() override
    {
        AccelTest::SetUp();
        surface.disp0.addr = 0x1000;
        surface.disp1.addr = 0x40000;
        colorbuffer = &surface.disp0;
        frontbuffer = &surface.disp1;
        VGALVAL_backbuffer = 0;
        VGALVAL_colorbuffer_stride = surface.disp0.stride;
        VGALVAL_surface_bpp = 16;
        VGALVAL_surface_format_lx = 24;
    }

    // What a writer put into the command buffer, per unit.
    Writes run(void (*writer)(), Unit unit = Unit::PE)
    {
        gpu.clearLog();
        writer();
        RUNCME();
        return fetched(unit);
    }
};

TEST_F(PeWriters, ColourBufferByBackBufferMultisampleAndPremultiplication)
{
    const word32 fmt = 480u << 16 | 24;
    EXPECT_EQ(run(lx_colorbuffer), (Writes{{LX_PE_OVG_CCACHE_FLUSH, 1}, {LX_PE_OVG_CBUF0_ADDR, 0x1000},
                                           {LX_PE_OVG_CBUF1_ADDR, 0x40000}, {LX_PE_OVG_CBUF0_FMT, fmt},
                                           {LX_PE_OVG_CBUF1_FMT, fmt}, {LX_PE_OVG_CCLAMP2ALPHA_EN, 2},
                                           {LX_PE_OVG_COLOR_PREMALPHA_EN, 3}, {LX_PE_OVG_MSAA_ENABLE, 0}}));
    VGALVAL_backbuffer = 1;
    VGALVAL_lx740renderingmode = VGAL_RM_MULTISAMPLE | VGAL_RM_PREMULTIPLIED;
    VGALVAL_surface_addr = 0x90000;
    EXPECT_EQ(run(lx_colorbuffer), (Writes{{LX_PE_OVG_CCACHE_FLUSH, 1}, {LX_PE_OVG_CBUF1_ADDR, 0x1000},
                                           {LX_PE_OVG_CBUF0_ADDR, 0x40000}, {LX_PE_OVG_CBUF0_FMT, fmt},
                                           {LX_PE_OVG_CBUF1_FMT, fmt}, {LX_PE_OVG_CBUF2_ADDR, 0x90000},
                                           {LX_PE_OVG_CBUF2_FMT, fmt}, {LX_PE_OVG_CCLAMP2ALPHA_EN, 3},
                                           {LX_PE_OVG_COLOR_PREMALPHA_EN, 0}, {LX_PE_OVG_MSAA_ENABLE, 1}}));
}

TEST_F(PeWriters, MaskBufferMaskUnitAndBasicState)
{
    EXPECT_EQ(run(lx_maskbuffer), (Writes{{LX_PE_OVG_AM_EN, 0}}));
    for (auto [bpp, fmt] : {std::pair{1, 2u}, {4, 1u}, {8, 0u}}) {
        surface.mask.bpp = bpp;
        surface.mask.addr = 0x7000;
        VGALVAL_maskbuffer = &surface.mask;
        EXPECT_EQ(run(lx_maskbuffer),
                  (Writes{{LX_PE_OVG_AMC_INVAL, 1}, {LX_PE_OVG_AMBUF_ADDR, 0x7000}, {LX_PE_OVG_AMBUF_FMT, fmt}}));
    }
    VGALVAL_lx740renderingmode = VGAL_RM_MASKING;
    EXPECT_EQ(run(lx_amu), (Writes{{LX_PE_OVG_CTEST_EN, 1}, {LX_PE_OVG_ALTCOV_EN, 0}, {LX_PE_OVG_AM_EN, 1}}));
    EXPECT_EQ(run(lx_pebasic), (Writes{{LX_PE_OVG_COV2ALPHA, 0}, {LX_PE_OVG_TXC_MODE, 0},
                                       {LX_PE_OVG_TX0_RED2ALPHA, 0}, {LX_PE_OVG_TX1_RED2ALPHA, 0}}));
}

TEST_F(PeWriters, BlendUnitForTheTenModes)
{
    struct Case {
        VGBlendMode mode;
        word32 cstep1, cstep2, astep1, astep2;
    } const cases[] = {
        {VG_BLEND_SRC, 0, 0x10000, 0, 0},           {VG_BLEND_SRC_OVER, 0, 0x81100, 0x1, 0x80100},
        {VG_BLEND_DST_OVER, 0, 0x70001, 0x12, 0x83100}, {VG_BLEND_SRC_IN, 0x1100, 0x60000, 0x11, 0x40000},
        {VG_BLEND_DST_IN, 0x2200, 0x60000, 0x11, 0x40000}, {VG_BLEND_MULTIPLY, 0x100, 0x82011, 0x1, 0x80100},
        {VG_BLEND_SCREEN, 0, 0x82200, 0x1, 0x80100},   {VG_BLEND_DARKEN, 0, 0x91101, 0x1, 0x80100},
        {VG_BLEND_LIGHTEN, 0, 0xA1101, 0x1, 0x80100},  {VG_BLEND_ADDITIVE, 0, 0x70000, 0, 0x83300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ctx.blendMode = c.mode;
        VGALVAL_lx740_ctxdirty = 0x4;
        Writes steps;
        for (word32 i = 0; i < 3; ++i) {
            steps.emplace_back(LX_PE_OVG_BLEN_FUNC_RSTEP1 + 2 * i, c.cstep1);
            steps.emplace_back(LX_PE_OVG_BLEN_FUNC_RSTEP2 + 2 * i, c.cstep2);
        }
        steps.emplace_back(LX_PE_OVG_BLEN_FUNC_ASTEP1, c.astep1);
        steps.emplace_back(LX_PE_OVG_BLEN_FUNC_ASTEP2, c.astep2);
        steps.emplace_back(LX_PE_OVG_BLEN_EN, 1);
        EXPECT_EQ(run(lx_blu), steps);
        EXPECT_EQ(VGALVAL_lx740_ctxdirty, 0u);
    }
    EXPECT_EQ(run(lx_blu), (Writes{{LX_PE_OVG_BLEN_EN, 1}}));  // nothing dirty
}

TEST_F(PeWriters, ExtensionBlendUnit)
{
    ctx.blendUnitEXT = 0x40005101;
    ctx.blendFuncEXT[0] = 0x40005301;  // factor 1 -> code 1, source colour at bit 16
    ctx.blendFuncEXT[1] = 0x4000530A;  // index 10 gives 0 in the destination tables
    ctx.blendFuncEXT[2] = 0x4000530A;  // ... but 15 in the source ones, source alpha at bit 0
    ctx.blendFuncEXT[3] = 0x40005302;  // factor 2 -> code 10, destination alpha at bit 8
    ctx.blendEquationEXT[0] = 0x40005401;
    ctx.blendEquationEXT[1] = 0x40005402;
    ctx.blendColorEXT = 0x11223344;
    VGALVAL_lx740_ctxdirty = 0x38000004;
    EXPECT_EQ(run(lx_blu), (Writes{{LX_PE_OES_BLEN_EQU, 0x10002}, {LX_PE_OES_BLEN_FUNC, 0x10A0F},
                                   {LX_PE_OES_SCOLOR, 0x11223344}, {LX_PE_OES_DCOLOR, 0x11223344},
                                   {LX_PE_OVG_BLEN_EN, 5}}));
    EXPECT_EQ(VGALVAL_lx740_ctxdirty, 0x4u);  // the OpenVG blend mode waits for its unit
    EXPECT_EQ(run(lx_blu), (Writes{{LX_PE_OVG_BLEN_EN, 5}}));
    EXPECT_EQ(VGALVAL_lx740_ctxdirty, 0x4u);
}

TEST_F(PeWriters, PipelineRowsWithAndWithoutColourTransform)
{
    struct Case {
        bool sourceLinear, luminance, linear;
        word32 plain[2], transformed[2];
    } const cases[] = {
        {false, false, false, {0, 0}, {3, 0}}, {false, false, true, {3, 1}, {3, 1}},
        {false, true, false, {3, 3}, {3, 3}},  {false, true, true, {3, 1}, {3, 1}},
        {true, false, false, {3, 2}, {3, 2}},  {true, false, true, {0, 0}, {3, 0}},
        {true, true, false, {3, 2}, {3, 2}},   {true, true, true, {3, 0}, {3, 0}},
    };
    const VGvalue values[8] = {1.5f, 1.0f, -0.25f, 0.0f, -0.1f, 0.5f, 1.0f, -1.0f};
    std::copy(values, values + 8, ctx.colorTransformValues);
    for (const Case& c : cases) {
        for (int transform : {0, 1}) {
            SCOPED_TRACE(testing::Message() << c.sourceLinear << c.luminance << c.linear << " transform " << transform);
            color_transform = transform;
            VGALVAL_lx740renderingmode = VGAL_RM_DRAW_PATH | VGAL_RM_PAINT_COLOR |
                                         (c.sourceLinear ? VGAL_RM_PATTERN_LINEAR : 0) |
                                         (c.luminance ? VGAL_RM_LUMINANCE : 0) | (c.linear ? VGAL_RM_LINEAR : 0);
            const word32* pair = transform ? c.transformed : c.plain;
            Writes expected{{LX_PE_OVG_TX1_EN, 0},
                            {LX_PE_OVG_CCU_MPX_CTRL, 8},
                            {LX_PE_OVG_RGB2L_EN, c.luminance ? 1u : 0u},
                            {LX_PE_OVG_IMGCOMB_FUNC, 3}};
            if (transform) {
                // 16.16 values with 13 fewer fraction bits, rounded down: red scale 1.5 -> 12,
                // red bias -0.1 -> -1, green scale 1.0 -> 8, green bias 0.5 -> 4, blue scale
                // -0.25 -> -2, blue bias 1.0 -> 8, alpha scale 0 -> 0, alpha bias -1.0 -> -8.
                const word32 words[8] = {12, 0xFFFFFFFF, 8, 4, 0xFFFFFFFE, 8, 0, 0xFFFFFFF8};
                for (word32 i = 0; i < 8; ++i)
                    expected.emplace_back(LX_PE_OVG_CTRANS_RSCALE + i, words[i]);
            }
            expected.emplace_back(LX_PE_OVG_PREMALPHA_EN, pair[0]);
            expected.emplace_back(LX_PE_OVG_CTRANS_EN, transform);
            expected.emplace_back(LX_PE_OVG_GAMMA_EN, pair[1]);
            EXPECT_EQ(run(lx_pepipe), expected);
        }
    }
}

TEST_F(PeWriters, PipelineModeAdditions)
{
    struct Case {
        const char* name;
        word32 renderingMode;
        VGBlendMode blend;
        word32 alpha;
        int transform;
        word32 mode;
    } const cases[] = {
        {"opaque colour, source over", VGAL_RM_DRAW_PATH | VGAL_RM_PAINT_COLOR, VG_BLEND_SRC_OVER, 255, 0, 0x10001},
        {"with scissoring", VGAL_RM_DRAW_PATH | VGAL_RM_PAINT_COLOR | VGAL_RM_SCISSORING, VG_BLEND_SRC_OVER, 255, 0, 1},
        {"translucent colour", VGAL_RM_DRAW_PATH | VGAL_RM_PAINT_COLOR, VG_BLEND_SRC_OVER, 254, 0, 1},
        {"transparent, destination in", VGAL_RM_DRAW_PATH | VGAL_RM_PAINT_COLOR, VG_BLEND_DST_IN, 0, 0, 0x10001},
        {"colour transform", VGAL_RM_DRAW_PATH | VGAL_RM_PAINT_COLOR, VG_BLEND_SRC_OVER, 255, 1, 1},
        {"source blend, multisampled", VGAL_RM_DRAW_PATH | VGAL_RM_MULTISAMPLE, VG_BLEND_SRC, 0, 1, 0x90001},
    };
    vgmode_paint = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VGALVAL_lx740renderingmode = c.renderingMode;
        ctx.blendMode = c.blend;
        paintcoloralpha = c.alpha;
        color_transform = c.transform;
        EXPECT_EQ(run(lx_pepipe, Unit::RZ), (Writes{{LX_RZ_VG_MODE, c.mode}}));
    }
}

TEST_F(PeWriters, MultisampleResolveEntry)
{
    switchModelOff();
    VGALVAL_surface_width = 470;
    VGALVAL_surface_height = 272;
    VGALVAL_surface_addr = 0x90000;
    VGALVAL_colorbuffer_addr = 0x1000;
    VGALVAL_lx740_cmode_msaa = 0x10000000;
    gpu.clearLog();
    VGALFUNC_lx_fsaa();
    std::vector<word32> table;
    for (const Event& e : gpu.log())
        if (e.kind == Kind::Write && e.unit == Unit::PETable)
            table.push_back(e.value);
    // Row of 480 pixels, 10 of them past the surface's width; the GPU MMU is on.
    EXPECT_EQ(table, (std::vector<word32>{469 | 0x10000000 | 271 << 12, (10 << 16 | 40) + 0xC000, 0x90000, 0x1000}));
    EXPECT_EQ(ioctls(OVG_IOC_WAIT_INTR), 2u);
}

}  // namespace
}  // namespace gputest
