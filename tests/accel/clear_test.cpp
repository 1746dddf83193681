// The clears: the value table, the two primitives and the surface clear on the decoded command
// log, and image clears through the GPU model.
#include "accel_test_support.h"

#include <algorithm>
#include <functional>

#include "model/pixel_format.h"
#include "vg/al_lx740/vg_al_lx740_clear.h"
#include "vg/al_lx740/vg_al_lx740_lxformat.h"

namespace gputest {
namespace {

using Writes = std::vector<RegValue>;

// On the log the clears address made-up buffers, so the GPU model stays out of these tests.
class Clear : public AccelTest {
protected:
    simgpu::Executor noModel;

    void TearDown() override
    {
        gpu.setExecutor(nullptr);
        AccelTest::TearDown();
    }

    void SetUp() override
    {
        AccelTest::SetUp();
        gpu.setExecutor(&noModel);
        VGALVAL_backbuffer = 0;
        VGALVAL_surface_width = VGALVAL_colorbuffer_width = 480;
        VGALVAL_surface_height = VGALVAL_colorbuffer_height = 272;
        VGALVAL_surface_bpp = 16;
        VGALVAL_surface_alphabits = 0;
        VGALVAL_surface_format_lx = 24;
        VGALVAL_colorbuffer_stride = 960;
        VGALVAL_surface_flip = 1;
        colorbuffer = frontbuffer = &surface.disp0;
        surface.disp0.addr = 0x100000;
        VGALVAL_lx740_dirty = 0;
        ctx.dirty = 0;
        ctx.clearColorClamp = OVGcolor{1.0f, 0.0f, 0.0f, 1.0f};
    }

    std::vector<Event> fills() const { return gpu.select(Stream::SFifo, Kind::Fill, Unit::SPC); }

    // A surface clear of box on a premultiplied surface with the scissor rectangle (0, 0, 10, 10),
    // after the clear colour and the scissoring changed.
    void clearPremultiplied(VGboolean scissoring, const BBOXINFO& box)
    {
        gpu.clearLog();
        ctx.dirty = 0x40 | 0x10;
        ctx.scissoring = scissoring;
        ctx.numScissorRects = 1;
        ctx.scissorRects[0] = OVGrect{0, 0, 10, 10};
        VGALVAL_lx740renderingmode = VGAL_RM_PREMULTIPLIED;
        VGALFUNC_lx_clearsurface(&box);
        RUNCME();
    }
};

TEST_F(Clear, ValuesByFormatCode)
{
    struct Case {
        word32 code, r, g, b, a;
        int premultiplied;
        word32 native, rgba;
    } const cases[] = {
        {0, 0x11, 0x22, 0x33, 0x44, 0, 0x11223344, 0x11223344},
        {1, 0x11, 0x22, 0x33, 0x44, 0, 0x44112233, 0x11223344},
        {3, 0x11, 0x22, 0x33, 0x44, 0, 0x44332211, 0x11223344},
        {6, 0x11, 0x22, 0x33, 0x44, 0, 0x332211FF, 0x112233FF},
        {7, 0x11, 0x22, 0x33, 0x44, 0, 0xFF332211, 0x112233FF},
        {16, 0xFF, 0x00, 0x08, 0x80, 0, 0xF803, 0xFF000880},
        {17, 0xFF, 0x00, 0x08, 0x80, 0, 0xFC01, 0xFF000880},
        {19, 0xFF, 0x00, 0x08, 0x80, 0, 0x841F, 0xFF000880},
        {16, 0x66, 0x66, 0x66, 0x66, 1, 0, 0},  // premultiplied, alpha 0.4: nothing is left
        {17, 0xFF, 0xFF, 0xFF, 0x80, 1, 0xFFFF, 0xFFFFFF80},
        {20, 0x1F, 0x2F, 0x3F, 0x4F, 0, 0x1234, 0x1F2F3F4F},
        {23, 0x1F, 0x2F, 0x3F, 0x4F, 0, 0x4321, 0x1F2F3F4F},
        {24, 0xFF, 0x04, 0x08, 0x00, 0, 0xF821, 0xFF0408FF},
        {25, 0xFF, 0x04, 0x08, 0x00, 0, 0x083F, 0xFF0408FF},
        {32, 0x80, 0x00, 0x00, 0x40, 0, 0x80, 0x80808040},
        {65, 0x80, 0x00, 0x00, 0x40, 0, 1, 0x808080FF},
        {33, 0x00, 0x00, 0x00, 0x90, 0, 0x90, 0xFFFFFF90},
        {33, 0x00, 0x00, 0x00, 0x90, 1, 0x90, 0x90909090},
        {48, 0x00, 0x00, 0x00, 0x90, 0, 0x9, 0xFFFFFF90},
        {64, 0x00, 0x00, 0x00, 0x90, 0, 1, 0xFFFFFF90},
        {26, 0x11, 0x22, 0x33, 0x44, 0, 0, 0},
        {12, 0x11, 0x22, 0x33, 0x44, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const VGALclearvalues v = VGALFUNC_lx_clear_values(c.code, c.r, c.g, c.b, c.a, c.premultiplied);
        EXPECT_EQ(v.native, c.native) << "code " << c.code;
        EXPECT_EQ(v.rgba, c.rgba) << "code " << c.code;
    }
}

TEST_F(Clear, SlowClearDrawsTheWindowThroughTheRasterizer)
{
    const BBOXINFO box{3, 12, 0, 9};
    VGALVAL_lx740_ctxdirty = 0;
    VGALFUNC_lx_slowclear(&box, 0x11223344u, 1, 272, 0, 1);
    RUNCME();
    EXPECT_EQ(fetched(Unit::RZ), (Writes{{LX_RZ_VG_MODE, 0x10000}, {LX_RZ_COLOR, 0x11223344u}}));
    EXPECT_EQ(fetched(Unit::XPT),
              (Writes{{LX_XPT_WWAIT_SYNC, 0x110A}, {LX_XPT_SWAP, 1}, {LX_XPT_CACHE_FLUSH, 15}, {LX_XPT_MODE, 16},
                      {LX_XPT_SCI_YT, 262}, {LX_XPT_SCI_YB, 271}, {LX_XPT_SCI_XL, 3}, {LX_XPT_SCI_XR, 12},
                      {LX_XPT_BUF_STAT, 0}, {LX_XPT_INIT, 0}, {LX_XPT_EDGE_SCAN_START, 1}, {LX_XPT_SWAP, 0x89},
                      {LX_XPT_SYNC, 0}}));
    EXPECT_EQ(lastValue(fetched(Unit::PE), LX_PE_OVG_MSAA_ENABLE), 1u);
    EXPECT_EQ(VGALVAL_lx740_ctxdirty, 0x80001086u);
    EXPECT_EQ(VGALVAL_lx740_dirty, VGAL_DIRTY_PEBASIC);
}

TEST_F(Clear, FastClearWidensMultisampledRowsAndFlips)
{
    struct Case {
        int flip, msaa;
        word32 lt, rb;
    } const cases[] = {
        {0, 0, 0 | 3u << 16, 9 | 12u << 16},
        {1, 0, 262 | 3u << 16, 271 | 12u << 16},
        {1, 1, 262 | 12u << 16, 271 | 51u << 16},
    };
    for (const Case& c : cases) {
        gpu.clearLog();
        const BBOXINFO box{3, 12, 0, 9};
        VGALFUNC_lx_fastclear(&box, 0xABCDu, c.flip, 272, c.msaa);
        RUNCME();
        EXPECT_EQ(fetched(Unit::PE), (Writes{{LX_PE_OVG_CCACHE_FLUSH, 1}, {LX_PE_OVG_SYNC, 0},
                                             {LX_PE_OVG_CBUF_CVAL, 0xABCDu}, {LX_PE_OVG_CBUF_CRLT, c.lt},
                                             {LX_PE_OVG_CBUF_CRRB, c.rb}, {LX_PE_OVG_CBUF_CSTART, 1},
                                             {LX_PE_OVG_EXT_SYNC, 0x80000000u}, {LX_PE_OVG_SYNC, 0}}))
            << "flip " << c.flip << " msaa " << c.msaa;
    }
}

TEST_F(Clear, SurfaceClearTakesTheFastWayWithoutScissoring)
{
    ctx.dirty = 0x40 | 0x10;
    VGALVAL_lx740renderingmode = VGAL_RM_MULTISAMPLE;
    const BBOXINFO box{0, 479, 0, 9};
    VGALFUNC_lx_clearsurface(&box);
    RUNCME();
    const Writes pe = fetched(Unit::PE);
    std::vector<word32> cbuf2;
    for (const RegValue& rv : pe)
        if (rv.first == LX_PE_OVG_CBUF2_FMT)
            cbuf2.push_back(rv.second);
    EXPECT_EQ(cbuf2, (std::vector<word32>{24u | 1920u << 16, 24u | 480u << 16}));
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_CBUF_CVAL), 0xF800u);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_CBUF_CRLT), 262u);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_CBUF_CRRB), 271u | 1919u << 16);
    EXPECT_EQ(VGALVAL_lx740_ctxdirty & 0x50u, 0u);
}

TEST_F(Clear, SurfaceClearWithScissoringTakesTheSlowWay)
{
    clearPremultiplied(VG_TRUE, BBOXINFO{0, 479, 0, 271});
    const Writes pe = fetched(Unit::PE);
    EXPECT_EQ(lastValue(pe, LX_PE_OVG_CBUF_CSTART), 0xDEADu);
    EXPECT_EQ(lastValue(fetched(Unit::RZ), LX_RZ_COLOR), 0xFF0000FFu);
    EXPECT_EQ(lastValue(fetched(Unit::RZ), LX_RZ_VG_MODE), 0u);
    EXPECT_EQ(pe[pe.size() - 2], (RegValue{LX_PE_OVG_CCLAMP2ALPHA_EN, 3}));
    EXPECT_EQ(pe[pe.size() - 1], (RegValue{LX_PE_OVG_COLOR_PREMALPHA_EN, 0}));
    EXPECT_TRUE(VGALVAL_lx740renderingmode & VGAL_RM_SCISSORING);
}

TEST_F(Clear, NothingIsClearedWhenNoScissorRectangleIsVisible)
{
    VGALVAL_lx740renderingmode = VGAL_RM_SCISSORING | VGAL_RM_SCISSOR_EMPTY;
    VGALVAL_lx740_ctxdirty = 0x40;
    const BBOXINFO box{0, 479, 0, 271};
    VGALFUNC_lx_clearsurface(&box);
    RUNCME();
    EXPECT_EQ(fetched(Unit::XPT), (Writes{{LX_XPT_SYNC, 0}}));
    EXPECT_TRUE(fetched(Unit::PE).empty());
    EXPECT_TRUE(fetched(Unit::RZ).empty());
}

TEST_F(Clear, PremultipliedOneBitAlphaAtPointFourWritesZeroEitherWay)
{
    VGALVAL_surface_format_lx = 16;
    VGALVAL_surface_alphabits = 1;
    ctx.clearColorClamp = OVGcolor{1.0f, 1.0f, 1.0f, 0.4f};
    for (VGboolean scissoring : {VG_FALSE, VG_TRUE}) {
        clearPremultiplied(scissoring, BBOXINFO{0, 9, 0, 9});
        const word32 written = scissoring ? lastValue(fetched(Unit::RZ), LX_RZ_COLOR)
                                          : lastValue(fetched(Unit::PE), LX_PE_OVG_CBUF_CVAL);
        EXPECT_EQ(written, 0u) << "scissoring " << scissoring;
    }
}

// Every clear leaves the PE pointing at what it cleared and marks for rewriting the state the
// next drawing needs: the colour buffer and basic PE state, the pipeline, the current image, and
// the context bits of what it changed; the raster clears also the mask buffer.
TEST_F(Clear, EachClearMarksTheStateItChangedForRewriting)
{
    const ALbuffer image16{16, 4, 32, 16, 0x200000, 0, 0, nullptr}, image1{64, 4, 8, 1, 0x200000, 0, 0, nullptr};
    const OVGcolor c{0, 0, 0, 1};
    const BBOXINFO box{0, 3, 0, 1};
    const struct {
        const char* what;
        std::function<void()> clear;
        word32 dirty, ctxdirty;
    } cases[] = {
        {"fast image clear", [&] { VGALFUNC_lx_clearimage(&image16, VG_sRGB_565, &box, &c); }, 5, 0x40000000},
        {"raster image clear", [&] { VGALFUNC_lx_clearimage(&image1, VG_A_1, &box, &c); }, 7, 0xC0001084},
        {"fast buffer clear", [] { VGALFUNC_lx_clearbuffer(0x200000, 32, 4, 1); }, 5, 0x40001084},
        {"raster buffer clear", [] { VGALFUNC_lx_clearbuffer(0x200000, 3, 4, 1); }, 5, 0xC0001084},
    };
    static const int someImage = 0;
    for (const auto& k : cases) {
        VGALVAL_lx740_dirty = 0;
        VGALVAL_lx740_ctxdirty = 0;
        VGALVAL_currentimage = &someImage;
        VGALVAL_changepepipe = 0;
        k.clear();
        EXPECT_EQ(VGALVAL_lx740_dirty, k.dirty) << k.what;
        EXPECT_EQ(VGALVAL_lx740_ctxdirty, k.ctxdirty) << k.what;
        EXPECT_EQ(VGALVAL_currentimage, nullptr) << k.what;
        EXPECT_EQ(VGALVAL_changepepipe, 1) << k.what;
    }
    RUNCME();
}

// An image in GPU memory of any depth, with one guard row, read back through the GPU model's
// pixel codec.
class ImageClear : public Clear {
protected:
    ALbuffer image{};

    // A zeroed image; `stride` 0 packs its rows into whole bytes.
    void make(int width, int height, int bpp = 1, int stride = 0)
    {
        gpu.setExecutor(nullptr);
        image.width = width;
        image.height = height;
        image.bpp = bpp;
        image.stride = stride ? stride : (width * bpp + 7) / 8;
        image.addr = VGALFUNC_VAlloc(image.stride * 8, height + 1, 1, 32, 0, 0, 0);
        ASSERT_NE(image.addr, CGL_NO_ADDRESS);
        const std::vector<uint8_t> zero(bytes(), 0);
        cglWriteMemory8A(image.addr, zero.data(), static_cast<word32>(zero.size()));
        gpu.clearLog();
    }

    size_t bytes() const { return static_cast<size_t>(image.stride * (image.height + 1)); }

    // The image's bytes, guard row included.
    std::vector<uint8_t> memory() const
    {
        std::vector<uint8_t> out(bytes());
        cglReadMemory8A(image.addr, out.data(), static_cast<word32>(out.size()));
        return out;
    }

    // Exactly the pixels of the box hold `rgba` (RGBA8888) in the GPU format of `format`; every
    // other byte of the rows, their padding and the guard row is still 0.
    void expectOnlyBox(const BBOXINFO& box, VGImageFormat format, uint32_t rgba) const
    {
        const simgpu::PixelFormat* layout = simgpu::pixelFormat(VGALFUNC_TVGgetLXImageFormat(format));
        ASSERT_TRUE(layout);
        ASSERT_EQ(layout->bpp, uint32_t(image.bpp));
        std::vector<uint8_t> expected(bytes(), 0);
        for (VGuint y = box.t; y <= box.b; ++y)
            for (VGuint x = box.l; x <= box.r; ++x)
                simgpu::writePixel(&expected[y * VGuint(image.stride)], x, layout->bpp, simgpu::packColour(*layout, rgba));
        const std::vector<uint8_t> got = memory();
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], expected[i]) << "byte " << i << " (row " << i / size_t(image.stride) << ")";
    }

    // Every fill keeps its position and its size inside the 11-bit fields.
    void expectFieldsFit() const
    {
        for (const Event& e : fills())
            if (e.reg == 1 || e.reg == 2) {
                EXPECT_EQ(e.value & ~0x07FF07FFu, 0u) << "fill word " << e.reg << " = " << std::hex << e.value;
            }
    }
};

TEST_F(ImageClear, ThreeThousandRowsAreClearedInBandsOf2048)
{
    make(64, 3000);
    const OVGcolor opaque{0, 0, 0, 1};
    const BBOXINFO box{0, 63, 0, 2999};
    VGALFUNC_lx_clearimage(&image, VG_A_1, &box, &opaque);
    EXPECT_EQ(fills().size(), 8u);  // two bands of one tile, four words each
    expectFieldsFit();
    expectOnlyBox(box, VG_A_1, 0x000000FF);
    expectArmTriggerWaitDisarm();
}

TEST_F(ImageClear, ColumnPastTwoThousandFortySevenIsCleared)
{
    make(2049, 3);
    const OVGcolor opaque{0, 0, 0, 1};
    const BBOXINFO box{0, 2048, 0, 2};
    VGALFUNC_lx_clearimage(&image, VG_A_1, &box, &opaque);
    expectFieldsFit();
    expectOnlyBox(box, VG_A_1, 0x000000FF);
}

// A box around the corner where four 2048 x 2048 tiles meet is cleared as four pieces, each
// addressed from its own tile with the offsets inside it.
TEST_F(ImageClear, ABoxAroundATileCornerIsClearedInFourPieces)
{
    const struct {
        VGImageFormat format;
        int bpp;
    } cases[] = {{VG_A_1, 1}, {VG_A_4, 4}};
    const BBOXINFO box{2040, 2060, 2030, 2050};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format);
        make(2072, 2056, c.bpp);
        const OVGcolor opaque{0, 0, 0, 1};
        VGALFUNC_lx_clearimage(&image, c.format, &box, &opaque);
        EXPECT_EQ(fills().size(), 16u);
        expectFieldsFit();
        expectOnlyBox(box, c.format, 0x000000FF);
    }
}

// Images of every depth, with rows that are whole lines of their format word and rows that are
// not (cleared row by row from aligned addresses): the box takes the colour in the image's
// format and no other byte changes, the bytes after each row's last pixel included.
TEST_F(ImageClear, EveryDepthChangesExactlyTheBox)
{
    struct Case {
        VGImageFormat format;
        int width, bpp, stride;
        OVGcolor colour;
        uint32_t held;  // the colour as the format holds it, RGBA8888
    } const cases[] = {
        {VG_sRGB_565, 20, 16, 48, {1, 0, 1, 1}, 0xFF00FFFF},
        {VG_sRGB_565, 20, 16, 42, {1, 0, 1, 1}, 0xFF00FFFF},
        {VG_sRGBA_5551, 20, 16, 40, {1, 0, 1, 1}, 0xFF00FFFF},
        {VG_sRGBA_4444, 13, 16, 26, {0.2f, 0.4f, 0.6f, 0.8f}, 0x336699CC},
        {VG_sRGBA_8888, 10, 32, 64, {0.2f, 0.4f, 0.6f, 0.8f}, 0x336699CC},
        {VG_sRGBA_8888, 10, 32, 44, {0.2f, 0.4f, 0.6f, 0.8f}, 0x336699CC},
        {VG_sL_8, 16, 8, 16, {1, 1, 1, 1}, 0xFFFFFFFF},
        {VG_A_8, 13, 8, 13, {0, 0, 0, 0.6f}, 0x00000099},
        {VG_A_4, 12, 4, 8, {0, 0, 0, 0.6f}, 0x00000099},
        {VG_A_4, 12, 4, 6, {0, 0, 0, 0.6f}, 0x00000099},
        {VG_A_1, 20, 1, 3, {0, 0, 0, 1}, 0x000000FF},
        {VG_BW_1, 20, 1, 5, {1, 1, 1, 1}, 0xFFFFFFFF},
    };
    const int height = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << ", stride " << c.stride);
        make(c.width, height, c.bpp, c.stride);
        const BBOXINFO box{1, VGuint(c.width - 2), 1, VGuint(height - 2)};
        VGALFUNC_lx_clearimage(&image, c.format, &box, &c.colour);
        WAITCMDDONE();
        expectOnlyBox(box, c.format, c.held);
        expectArmTriggerWaitDisarm();
    }
}

TEST_F(ImageClear, NullBufferIsIgnored)
{
    const OVGcolor opaque{0, 0, 0, 1};
    const BBOXINFO box{0, 1, 0, 1};
    VGALFUNC_lx_clearimage(nullptr, VG_A_1, &box, &opaque);
    RUNCME();
    EXPECT_TRUE(gpu.log().empty());
}

TEST_F(Clear, RowsOfAnUnalignedFourBitImageGoFromAlignedAddresses)
{
    const ALbuffer image{12, 4, 6, 4, 0x200004, 0, 0, nullptr};  // 6 bytes a row: not whole 4-bit rows
    const OVGcolor c{0, 0, 0, 1};
    const BBOXINFO box{1, 10, 1, 3};
    VGALFUNC_lx_clearimage(&image, VG_A_4, &box, &c);
    EXPECT_EQ(lastValue(fetched(Unit::PE), LX_PE_OVG_CBUF0_FMT), 48u | 0x20000000u);
    std::vector<word32> targets, positions;
    for (const Event& e : gpu.log()) {
        if (e.stream == Stream::SFifo && e.kind == Kind::Write && e.unit == Unit::PE && e.reg == LX_PE_OVG_CBUF0_ADDR)
            targets.push_back(e.value);
        if (e.kind == Kind::Fill && e.reg == 1)
            positions.push_back(e.value);
    }
    // Rows start at 0x20000A, 0x200010 and 0x200016: offsets of 20, 32 and 44 pixels from 0x200000.
    EXPECT_EQ(targets, (std::vector<word32>{0x200000, 0x200000, 0x200000}));
    EXPECT_EQ(positions, (std::vector<word32>{21, 33, 45}));
}

}  // namespace
}  // namespace gputest
