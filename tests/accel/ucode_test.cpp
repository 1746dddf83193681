// Vertex-processor microcode: the four copies in GPU memory, the drawing entry with its overlay
// descriptors and DMA, the filter switches and the stroke entry points.
#include "accel_test_support.h"

#include <algorithm>
#include <map>

#include "vg/al_lx740/vg_al_lx740_ucode.h"

namespace gputest {
namespace {

class Microcode : public AccelTest {
protected:
    void SetUp() override
    {
        AccelTest::SetUp();
        ASSERT_EQ(VGALFUNC_al_lx740_ucode_init(), 0);
        gpu.clearLog();
    }

    static std::vector<word32> image(int id)
    {
        word32 size = 0;
        const word32* data = nullptr;
        cglGetUcodeInfo(id, &size, &data);
        return std::vector<word32>(data, data + size);
    }

    // VP constant components written from command buffers: constant -> its words.
    std::map<word32, std::vector<word32>> constants() const
    {
        std::map<word32, std::vector<word32>> out;
        for (const Event& e : gpu.log())
            if (e.stream == Stream::CmdBuf && e.kind == Kind::Write && e.unit == Unit::VPConst)
                out[e.reg / 4].push_back(e.value);
        return out;
    }

    size_t dmas() const { return gpu.select(Stream::Gpu, Kind::Dma, Unit::VPIRam).size(); }
    bool iramStartsWith(const std::vector<word32>& code, size_t words) const
    {
        return std::equal(code.begin(), code.begin() + static_cast<long>(words), gpu.iram().begin());
    }
};

TEST_F(Microcode, TheCopiesEqualTheImages)
{
    const word32 addrs[4] = {ucode_path_addr, ucode_cmat_addr, ucode_conv_addr, ucode_sconv_addr};
    for (int i = 0; i < 4; ++i) {
        std::vector<word32> expected = image(CGL_UCODE_FIRST + i);
        std::vector<word32> copy(expected.size());
        cglReadMemory32A(addrs[i], copy.data(), static_cast<word32>(copy.size()));
        EXPECT_EQ(copy, expected) << "image " << CGL_UCODE_FIRST + i;
    }
    EXPECT_EQ(ucode_path_static_size, 875u * 3);
}

TEST_F(Microcode, TheDrawingEntryLoadsOnceAndAfterEveryFilter)
{
    VGALFUNC_setpathucodeentry();
    auto c = constants();
    EXPECT_EQ(c[112], (std::vector<word32>{ucode_path_addr + 875 * 12, 875, 77}));
    EXPECT_EQ(c[113], (std::vector<word32>{ucode_path_addr + 901 * 12, 875, 59}));
    EXPECT_EQ(c[126], (std::vector<word32>{ucode_path_addr + 1456 * 12, 1109, 581}));
    EXPECT_EQ(c[137], (std::vector<word32>{ucode_path_addr + 3815 * 12, 1109, 587}));
    EXPECT_EQ(c[0], (std::vector<word32>{cglFloatTo32F(0.0f), cglFloatTo32F(1.0f), cglFloatTo32F(0.5f),
                                         cglFloatTo32F(-0.5f)}));
    EXPECT_EQ(c[76], (std::vector<word32>{cglFloatTo32F(9.0f), 0, 0, 0}));
    EXPECT_EQ(c[4], (std::vector<word32>{0, 1, 2, 4}));
    EXPECT_EQ(dmas(), 1u);
    EXPECT_TRUE(iramStartsWith(image(CGL_UCODE_DRAW), 875 * 3));

    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_FILL);
    RUNCME();
    gpu.clearLog();
    VGALFUNC_setpathucodeentry();  // already loaded
    RUNCME();
    EXPECT_TRUE(gpu.select(Stream::CmdBuf, Kind::Kick, Unit::None).empty());

    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_COLOR_MATRIX);
    EXPECT_TRUE(iramStartsWith(image(CGL_UCODE_MTX), 78 * 3));
    EXPECT_NE(ctx.pathUserToSurface.flag & OVG_MATRIX_DIRTY, 0u);
    gpu.clearLog();
    VGALFUNC_setpathucodeentry();
    EXPECT_EQ(dmas(), 1u);
    EXPECT_TRUE(iramStartsWith(image(CGL_UCODE_DRAW), 875 * 3));
}

TEST_F(Microcode, FilterBytesChooseTheCopy)
{
    struct Case {
        word32 mode;
        int id;
        word32 words;
    } const cases[] = {
        {VGAL_UCODE_CONVOLVE, CGL_UCODE_CONV, 241 * 3},
        {VGAL_UCODE_SEPARABLE, CGL_UCODE_SPCONV, 201 * 3},
        {48, CGL_UCODE_SPCONV, 201 * 3},
        {VGAL_UCODE_COLOR_MATRIX, CGL_UCODE_MTX, 78 * 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        VGALFUNC_al_lx740_ucode_set(c.mode);
        EXPECT_TRUE(iramStartsWith(image(c.id), c.words));
    }
}

TEST_F(Microcode, CapAndJoinEntriesGoOutWhenTheyChange)
{
    switchModelOff();  // the cap and join entries are selected, no stroke is drawn
    auto entries = [this] {
        RUNCME();
        std::vector<word32> out;
        for (const Event& e : gpu.log())
            if (e.stream == Stream::CmdBuf && e.kind == Kind::VpStart)
                out.push_back(e.value);
        gpu.clearLog();
        return out;
    };
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_STROKE | VGAL_UCODE_CAP_BUTT | VGAL_UCODE_JOIN_MITER);
    EXPECT_EQ(entries(), (std::vector<word32>{66, 56}));
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_FILL);
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_STROKE | VGAL_UCODE_CAP_BUTT | VGAL_UCODE_JOIN_MITER);
    EXPECT_TRUE(entries().empty());
    ctx.strokeJoinStyle = VG_JOIN_ROUND;
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_STROKE | VGAL_UCODE_CAP_BUTT | VGAL_UCODE_JOIN_ROUND);
    EXPECT_EQ(entries(), (std::vector<word32>{58}));
    ctx.strokeJoinStyle = VG_JOIN_BEVEL;
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_STROKE | VGAL_UCODE_CAP_SQUARE | VGAL_UCODE_JOIN_BEVEL);
    EXPECT_EQ(entries(), (std::vector<word32>{62, 60}));
    VGALFUNC_al_lx740_ucode_set(VGAL_UCODE_STROKE | VGAL_UCODE_CAP_ROUND | VGAL_UCODE_JOIN_BEVEL);
    EXPECT_EQ(entries(), (std::vector<word32>{64}));
}

}  // namespace
}  // namespace gputest
