// An OpenVG image lent to EGL: its description, and the GPU copies between the image and a
// surface buffer in both directions, as the simulated GPU decodes them.
#include "accel_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_al_lx740_vgimage.h"

namespace gputest {
namespace {

using UnitWrite = std::tuple<Unit, uint32_t, uint32_t>;

class LentImage : public AccelTest {
protected:
    void TearDown() override
    {
        GpuTest::TearDown();
        VGALFUNC_lx_cmdbuffer_free();
        VGALFUNC_al_lx740_rect_terminate();
    }

    // Edge-unit and pixel-engine writes decoded from the command buffers, in order.
    std::vector<UnitWrite> commandWrites() const
    {
        std::vector<UnitWrite> out;
        for (const Event& e : gpu.log())
            if (e.stream == Stream::CmdBuf && e.kind == Kind::Write &&
                (e.unit == Unit::XPT || e.unit == Unit::PE || e.unit == Unit::PETable))
                out.emplace_back(e.unit, e.reg, e.value);
        return out;
    }

    std::vector<RegValue> mmioWrites() const
    {
        std::vector<RegValue> out;
        for (const Event& e : gpu.log())
            if (e.stream == Stream::Mmio && e.kind == Kind::Write && e.unit == Unit::Mem)
                out.emplace_back(e.reg, e.value);
        return out;
    }

    // A GPU buffer of bytes, 32-byte aligned.
    static word32 gpuBuffer(int bytes) { return VGALFUNC_VAlloc(bytes, 1, 8, 32, 0, 0, 0); }

    std::vector<word32> sfifoTail(size_t count) const
    {
        const std::vector<uint32_t>& words = gpu.sfifoWords();
        return std::vector<word32>(words.end() - static_cast<long>(std::min(count, words.size())), words.end());
    }
};

UnitWrite pe(uint32_t reg, uint32_t value)
{
    return {Unit::PE, reg, value};
}

UnitWrite xpt(uint32_t reg, uint32_t value)
{
    return {Unit::XPT, reg, value};
}

TEST_F(LentImage, DescribesTheImageForEgl)
{
    struct Case {
        VGImageFormat format;
        int width, height, bits;
        VGint rowPixels, colorspace, alphaformat;
    } const cases[] = {
        {VG_sRGBA_8888, 1, 1, 32, 8, 0x3089, 0x308B},      {VG_sRGBA_8888_PRE, 9, 2, 32, 16, 0x3089, 0x308C},
        {VG_sARGB_8888_PRE, 8, 3, 32, 8, 0x3089, 0x308C},  {VG_sL_8, 3, 1, 8, 8, 0x3089, 0x308B},
        {VG_lRGBX_8888, 17, 5, 32, 24, 0x308A, 0x308B},    {VG_lABGR_8888_PRE, 2, 2, 32, 8, 0x308A, 0x308C},
        {VG_A_8, 4, 4, 8, 8, 0x308A, 0x308B},
    };
    for (const Case& c : cases) {
        OVGimage image{};
        image.format = c.format;
        image.buffer = VGHAL_ALcreateImage(c.width, c.height, c.bits);
        ASSERT_NE(image.buffer, nullptr);
        VGint w = -1, h = -1, sw = -1, sh = -1, l = -1, a = -1;
        VGuint addr = 0;
        EXPECT_EQ(VGHAL_ALgetVGImage(&image, &w, &h, &sw, &sh, &l, &a, &addr), 0);
        EXPECT_EQ(std::make_tuple(w, h, sw, sh, l, a, addr),
                  std::make_tuple(c.width, c.height, c.rowPixels, c.height, c.colorspace, c.alphaformat,
                                  image.buffer->addr))
            << std::hex << c.format;
        VGHAL_ALreleaseVGImage(&image, addr);
        VGHAL_ALdeleteImage(image.buffer, &image);
    }
    VGALFUNC_al_lx740_free_all_list(1);
}

// A 10 x 6 image of 32 bits with rows of 16 pixels, drawn into a surface buffer whose rows
// hold 80 pixels of four samples.
TEST_F(LentImage, IntoASurfaceBufferByATexturedFill)
{
    const word32 image = gpuBuffer(64 * 6), surface = gpuBuffer(1280 * 6);
    gpu.clearLog();
    CopyScaleRect(surface, 1280, image, 64, 10, 6, VG_sRGBA_8888, 32, 0);
    RUNCME();

    const std::vector<RegValue> clip = {{LX_SP_WINCLIP_LT, 0}, {LX_SP_WINCLIP_RB, 0x07FF07FF}};
    std::vector<RegValue> seen;
    for (const RegValue& w : mmioWrites())
        if (w.first == LX_SP_WINCLIP_LT || w.first == LX_SP_WINCLIP_RB)
            seen.push_back(w);
    EXPECT_EQ(seen, clip);
    EXPECT_EQ(writes(Unit::SPC), (std::vector<RegValue>{{LX_SPC_TX1_UVMASK, 0x1FFF1FFF}}));

    const std::vector<UnitWrite> expected = {
        // Drained before the copy.
        xpt(LX_XPT_SYNC_H, 0), xpt(LX_XPT_SYNC_H, 0), pe(LX_PE_OVG_SYNC, 1), pe(LX_PE_OVG_CCACHE_FLUSH, 1),
        // The surface buffer as colour buffer 0, the image as texture 1.
        pe(LX_PE_OVG_CBUF0_ADDR, surface), pe(LX_PE_OVG_CBUF0_FMT, 0 | 80 << 16), pe(LX_PE_OVG_AM_EN, 0),
        pe(LX_PE_OVG_CTEST_EN, 0), pe(LX_PE_OVG_TXC_INVAL, 3), pe(LX_PE_OVG_TX0_EN, 0), pe(LX_PE_OVG_TX1_EN, 1),
        pe(LX_PE_OVG_TX1_FILTER, 0), pe(LX_PE_OVG_TXC_MODE, 0xF4), pe(LX_PE_OVG_TX1_CHILDIMG_EN, 0),
        pe(LX_PE_OVG_TX1_ADDR, image), pe(LX_PE_OVG_TX1_SIZE, 16 | 6 << 16), pe(LX_PE_OVG_TX1_FMT, 0),
        pe(LX_PE_OVG_TX1_WRAP, 0x101), pe(LX_PE_OVG_TX1_PAINT_SEL, 0), pe(LX_PE_OVG_TX1_RED2ALPHA, 0),
        pe(LX_PE_OVG_TX1_CLAMP2ALPHA, 0), pe(LX_PE_OVG_TX1_PREMALPHA_EN, 0), pe(LX_PE_OVG_CCU_MPX_CTRL, 0),
        pe(LX_PE_OVG_RGB2L_EN, 0), pe(LX_PE_OVG_IMGCOMB_FUNC, 0), pe(LX_PE_OVG_CTRANS_EN, 0),
        pe(LX_PE_OVG_PREMALPHA_EN, 0), pe(LX_PE_OVG_GAMMA_EN, 0), pe(LX_PE_OVG_CH_MASK, 0),
        pe(LX_PE_OVG_ACOLOR0_EN, 0), pe(LX_PE_OVG_ACOLOR1_EN, 0), pe(LX_PE_OVG_AALIAS_EN, 0),
        pe(LX_PE_OVG_COV2ALPHA, 0), pe(LX_PE_OVG_CCLAMP2ALPHA_EN, 0), pe(LX_PE_OVG_COLOR_PREMALPHA_EN, 0),
        pe(LX_PE_OVG_BLEN_EN, 0), pe(LX_PE_OVG_MSAA_ENABLE, 1), pe(LX_PE_OVG_MAX_CCACHE_LLEN, 0x100),
        xpt(LX_XPT_SYNC_H, 0), pe(LX_PE_OVG_SYNC, 1),
        // After the fill.
        pe(LX_PE_OVG_MAX_CCACHE_LLEN, 0),
    };
    EXPECT_EQ(commandWrites(), expected);
    EXPECT_EQ(sfifoTail(9), (std::vector<word32>{0x1000, 0, 9 | 5 << 16, 0, 0x318E001, 0x40000201, 0x220000, 0,
                                                 0xD000}));
    // The fill ran only after the command buffers had drained and the copy units were idle.
    const long rect = find([](const Event& e) { return e.kind == Kind::Rect; });
    const long lastPeSync = find([](const Event& e) { return e.kind == Kind::Raise && e.value == CGL_INTR_PE_SYNC; },
                                 find([](const Event& e) { return e.unit == Unit::PE && e.reg == LX_PE_OVG_MAX_CCACHE_LLEN; }));
    EXPECT_LT(lastPeSync, rect);
    expectArmTriggerWaitDisarm();
}

TEST_F(LentImage, TheFillTargetsTheColourBufferPairTheGpuReportsInUse)
{
    struct Case {
        word32 swap;
        uint32_t addrReg, fmtReg;
    } const cases[] = {
        {0, LX_PE_OVG_CBUF0_ADDR, LX_PE_OVG_CBUF0_FMT},
        {1, LX_PE_OVG_CBUF1_ADDR, LX_PE_OVG_CBUF1_FMT},
        {2, LX_PE_OVG_CBUF2_ADDR, LX_PE_OVG_CBUF2_FMT},
    };
    const word32 image = gpuBuffer(32 * 16), surface = gpuBuffer(640 * 16);
    for (const Case& c : cases) {
        PEW(LX_PE_OVG_BUF_SWAP, c.swap);
        RUNCME();
        gpu.clearLog();
        CopyScaleRect(surface, 640, image, 32, 16, 16, VG_sRGB_565, 16, 0);
        const std::vector<RegValue> peWrites = fetched(Unit::PE);
        const std::vector<RegValue> target = {{c.addrReg, surface}, {c.fmtReg, 24 | 80 << 16}};
        EXPECT_NE(std::search(peWrites.begin(), peWrites.end(), target.begin(), target.end()), peWrites.end())
            << "swap " << c.swap;
    }
    PEW(LX_PE_OVG_BUF_SWAP, 0);
    RUNCME();
}

class LentImageCopyBack : public LentImage, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        setenv("OVG_MMU_MODE", GetParam() ? "1" : "0", 1);
        LentImage::SetUp();
    }
    void TearDown() override
    {
        LentImage::TearDown();
        unsetenv("OVG_MMU_MODE");
    }
};

// A 10 x 6 image of 16 bits with rows of 16 pixels, copied back out of a surface buffer whose
// rows hold 80 pixels of four samples.
TEST_P(LentImageCopyBack, ByTheCopyEngineFromTablePositionZero)
{
    const word32 image = gpuBuffer(32 * 6), surface = gpuBuffer(640 * 6);
    const word32 stale[2] = {0xBAD, 0xBAD};
    PEW(LX_PE_OVG_TABLE_ADDR, 0x30000);  // a table write elsewhere left the position there
    VGALFUNC_lx_writetable(stale, 2);
    RUNCME();
    gpu.clearLog();
    CopyScaleRect(image, 32, surface, 640, 10, 6, VG_sARGB_1555, 16, 1);

    const word32 entry[4] = {9 | 5 << 12 | 0x1C000000u, (70 * 4 | 6 << 16) + (GetParam() ? 0xC000u : 0u), surface, image};
    const std::vector<UnitWrite> expected = {
        xpt(LX_XPT_SYNC_H, 0), xpt(LX_XPT_SYNC_H, 0), pe(LX_PE_OVG_SYNC, 1), pe(LX_PE_OVG_CCACHE_FLUSH, 1),
        pe(LX_PE_OVG_CE_MODE, 2), pe(LX_PE_OVG_TABLE_ADDR, 0),
        {Unit::PETable, 0, entry[0]}, {Unit::PETable, 1, entry[1]}, {Unit::PETable, 2, entry[2]},
        {Unit::PETable, 3, entry[3]},
        xpt(LX_XPT_SYNC_H, 0), pe(LX_PE_OVG_SYNC, 1),
        pe(LX_PE_OVG_CP_START, 0), pe(LX_PE_OVG_EXT_SYNC, 0x80000000u), pe(LX_PE_OVG_CE_MODE, 0),
        xpt(LX_XPT_SYNC_H, 0), pe(LX_PE_OVG_SYNC, 1),
    };
    EXPECT_EQ(commandWrites(), expected);
    for (word32 i = 0; i < 4; ++i)
        EXPECT_EQ(gpu.peTable(i), entry[i]);
    EXPECT_EQ(countEvents(Stream::SFifo, Kind::Rect, Unit::SPC, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Mmu, LentImageCopyBack, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& info) { return info.param ? "On" : "Off"; });

TEST_F(LentImage, BindingCopiesIntoTheSurfaceAndUnbindingCopiesBack)
{
    OVGimage image{};
    image.format = VG_sRGBA_8888;
    image.buffer = VGHAL_ALcreateImage(10, 6, 32);
    ASSERT_NE(image.buffer, nullptr);
    VGuint colour = gpuBuffer(64 * 6), sample = gpuBuffer(1280 * 6), none = CGL_NO_ADDRESS;
    WAITCMDDONE();

    gpu.clearLog();
    VGHAL_ALbindVGImage(&ctx, &image, &colour, 64, &none, 1280);
    VGHAL_ALunbindVGImage(&ctx, &image, &colour, 64, &none, 1280);
    EXPECT_TRUE(gpu.log().empty()) << "no surface buffer: nothing to copy";
    EXPECT_EQ(VGALVAL_lx740cmdbuffer_count, 0u);

    VGHAL_ALbindVGImage(&ctx, &image, &colour, 64, &sample, 1280);
    std::vector<RegValue> peWrites = fetched(Unit::PE);
    EXPECT_NE(std::find(peWrites.begin(), peWrites.end(), RegValue{LX_PE_OVG_TX1_ADDR, image.buffer->addr}),
              peWrites.end());
    EXPECT_NE(std::find(peWrites.begin(), peWrites.end(), RegValue{LX_PE_OVG_CBUF0_ADDR, sample}), peWrites.end());
    EXPECT_NE(std::find(peWrites.begin(), peWrites.end(), RegValue{LX_PE_OVG_TX1_SIZE, 16 | 6 << 16}),
              peWrites.end());

    gpu.clearLog();
    VGHAL_ALunbindVGImage(&ctx, &image, &colour, 64, &sample, 1280);
    EXPECT_EQ(gpu.peTable(2), sample);
    EXPECT_EQ(gpu.peTable(3), image.buffer->addr);
    EXPECT_EQ(gpu.peTable(1) & 0x1FFFu, (1280u * 2 / 32 - 10) * 4);

    VGHAL_ALdeleteImage(image.buffer, &image);
    VGALFUNC_al_lx740_free_all_list(1);
}

TEST_F(LentImage, DrawingAfterACopyRewritesTheStateTheCopyReplaced)
{
    const word32 image = gpuBuffer(64 * 6), surface = gpuBuffer(1280 * 6);
    for (int sample : {0, 1}) {
        OVGimage drawn{};
        VGALVAL_lx740_dirty = 0;
        VGALVAL_lx740_ctxdirty = 0;
        VGALVAL_changepepipe = 0;
        VGALVAL_currentimage = &drawn;
        if (sample)
            CopyScaleRect(image, 64, surface, 1280, 10, 6, VG_sRGBA_8888, 32, 1);
        else
            CopyScaleRect(surface, 1280, image, 64, 10, 6, VG_sRGBA_8888, 32, 0);
        EXPECT_TRUE(VGALVAL_lx740_dirty & VGAL_DIRTY_COLORBUFFER) << sample;
        EXPECT_TRUE(VGALVAL_lx740_dirty & VGAL_DIRTY_PEBASIC) << sample;
        EXPECT_NE(VGALVAL_lx740_ctxdirty, 0u);
        EXPECT_EQ(VGALVAL_changepepipe, 1);
        EXPECT_EQ(VGALVAL_currentimage, nullptr);
    }
}

}  // namespace
}  // namespace gputest
