// The GPU model's rasterizer window mode, driven as the slow clear drives it: the XPT window
// fully covered, the rasterizer scissor, the constant colour through the PE write stage, and
// what the model refuses with nothing written.
#include "model_fixture.h"
#include "path_fixture.h"

#include <functional>
#include <vector>

#include "model/gpu_model.h"

namespace gputest {
namespace {

using simgpu::Rect;

constexpr uint8_t kPattern = 0x33;
constexpr uint32_t kRed = 0xFF0000FFu;
constexpr uint32_t kRed565 = 0xF800u;

class RasterWindow : public GpuFills {
protected:
    void SetUp() override
    {
        GpuFills::SetUp();
        cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 2);
        cglWritePEReg1(LX_PE_OVG_CCU_MPX_CTRL, 8);
        cglWriteRZReg1(LX_RZ_VG_MODE, 0);
        cglWriteRZReg1(LX_RZ_SCI_ENABLE, 0);
        cglWriteXPTReg1(LX_XPT_MODE, 16);
    }

    static void scissor(const std::vector<Rect>& rects, word32 enable)
    {
        for (word32 n = 0; n < rects.size(); ++n) {
            const Rect& r = rects[n];
            const word32 words[] = {r.top | r.left << 16, r.bottom | r.right << 16};
            cglWriteRZRegs(LX_RZ_SCI_RECT_LT00 + 2 * n, words, 2);
        }
        cglWriteRZReg1(LX_RZ_SCI_ENABLE, enable);
    }

    // The scan as the slow clear starts it; the library puts LX_XPT_EDGE_SCAN_START = 1 first.
    static void scan(const Rect& window, uint32_t rgba)
    {
        cglWriteRZReg1(LX_RZ_COLOR, rgba);
        const word32 box[] = {window.top, window.bottom, window.left, window.right};
        cglWriteXPTRegs(LX_XPT_SCI_YT, box, 4);
        cglWriteXPTReg1(LX_XPT_INIT, 0);
        cglWriteXPTReg1(LX_XPT_SWAP, 0x89);
    }

    // An edge for the scan, as a path drawing would gather it: the drawing microcode, the path
    // matrix and one line down column 0.
    void gatherAnEdge() const
    {
        loadMicrocode(base + 0x20000, kStaticInstructions);
        sendCommands(Commands()
                         .constant(LX_VCNST_OVG_AASCALE, {1, 1, 1})
                         .constant(LX_VCNST_OVG_PU2S1, {1, 0, 0})
                         .constant(LX_VCNST_OVG_PU2S2, {0, 1, 0})
                         .run(0, kNoFlip | 1)
                         .list(kLineEntry, {{0, 0, 0, 4}}),
                     Route::Fifo, 0);
    }
};

bool inside(const Rect& r, uint32_t x, uint32_t y)
{
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

TEST_F(RasterWindow, CoversTheWindowThroughTheScissor)
{
    const Rect window{2, 1, 9, 4};
    struct Case {
        const char* name;
        std::vector<Rect> rects;
        word32 enable, vgMode;
        std::function<bool(uint32_t, uint32_t)> scissored;  // inside the scissor
    } const cases[] = {
        {"scissor off", {}, 0, 0, [](uint32_t, uint32_t) { return true; }},
        {"scissor bypassed", {{0, 0, 0, 0}}, 1, 0x10000, [](uint32_t, uint32_t) { return true; }},
        {"two overlapping rectangles, one reaching past the window",
         {{1, 0, 4, 2}, {4, 2, 15, 5}},
         3,
         0,
         [](uint32_t x, uint32_t y) { return inside({1, 0, 4, 2}, x, y) || inside({4, 2, 15, 5}, x, y); }},
        {"only the enabled rectangle", {{0, 0, 15, 5}, {3, 3, 3, 3}}, 2, 0,
         [](uint32_t x, uint32_t y) { return x == 3 && y == 3; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setBuffer(0, 24, 16, kPattern);
        scissor(c.rects, c.enable);
        cglWriteRZReg1(LX_RZ_VG_MODE, c.vgMode);
        scan(window, kRed);
        std::vector<uint8_t> got = bytes(0, 16);
        for (uint32_t y = 0; y < kRows; ++y)
            for (uint32_t x = 0; x < kLine; ++x) {
                const bool drawn = inside(window, x, y) && c.scissored(x, y);
                ASSERT_EQ(simgpu::readPixel(got.data() + y * stride(16), x, 16), drawn ? kRed565 : 0x3333u)
                    << "pixel " << x << "," << y;
            }
    }
}

TEST_F(RasterWindow, WritesEverySampleOfAMultisampledTargetUnderTheChannelMask)
{
    const uint32_t storedLine = 4 * kLine;
    setBuffer(2, 0, 32, kPattern, storedLine);
    cglWritePEReg1(LX_PE_OVG_BUF_SWAP, 2);
    cglWritePEReg1(LX_PE_OVG_MSAA_ENABLE, 1);
    cglWritePEReg1(LX_PE_OVG_CH_MASK, 1);
    scan(Rect{1, 2, 2, 2}, 0xAABBCCDD);
    std::vector<uint8_t> got = bytes(2, 32, storedLine);
    for (uint32_t y = 0; y < kRows; ++y)
        for (uint32_t x = 0; x < storedLine; ++x) {
            const bool drawn = y == 2 && x >= 4 && x < 12;
            ASSERT_EQ(simgpu::readPixel(got.data(), y * storedLine + x, 32), drawn ? 0xAABBCC33u : 0x33333333u)
                << "sample " << x << " of line " << y;
        }
}

TEST_F(RasterWindow, EdgeWorkSinceTheInitialisationIsNotCovered)
{
    struct Case {
        const char* name;
        bool vpAfterInit;
    } const cases[] = {{"edges before the initialisation", false}, {"edges after it", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setBuffer(0, 33, 8, kPattern);
        if (!c.vpAfterInit)
            gatherAnEdge();
        cglWriteRZReg1(LX_RZ_COLOR, 0xFF);
        cglWriteXPTRegs(LX_XPT_SCI_YT, std::vector<word32>{0, 0, 0, 0}.data(), 4);
        cglWriteXPTReg1(LX_XPT_INIT, 0);
        if (c.vpAfterInit)
            gatherAnEdge();
        cglWriteXPTReg1(LX_XPT_SWAP, 0x89);
        EXPECT_EQ(gpu.errors().size(), c.vpAfterInit ? 1u : 0u);
        EXPECT_EQ(bytes(0, 8)[0], c.vpAfterInit ? kPattern : 0xFF);
        gpu.clearErrors();
    }
}

TEST_F(RasterWindow, WhatItDoesNotModelIsAProtocolErrorWithNothingWritten)
{
    struct Case {
        const char* name;
        void (*change)();
        uint32_t right;  // of the window
        const char* error;
    } const cases[] = {
        {"window mode with other bits", [] { cglWriteXPTReg1(LX_XPT_MODE, 18); }, 3, "XPT register 96"},
        {"blending", [] { cglWritePEReg1(LX_PE_OVG_BLEN_EN, 1); }, 3, "PE register 832"},
        {"another paint", [] { cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 0); }, 3, "PE register 356"},
        {"an unknown rasterizer mode", [] { cglWriteRZReg1(LX_RZ_VG_MODE, 0x80000); }, 3, "LX_RZ_VG_MODE"},
        {"an unknown channel mask", [] { cglWritePEReg1(LX_PE_OVG_CH_MASK, 0x10); }, 3, "channel mask"},
        {"a window past the line", [] {}, kLine, "beyond the line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        setBuffer(0, 24, 16, kPattern);
        c.change();
        scan(Rect{0, 0, c.right, 3}, kRed);
        expectOneError(c.error);
        EXPECT_EQ(bytes(0, 16), std::vector<uint8_t>(stride(16) * kRows, kPattern));
        cglWritePEReg1(LX_PE_OVG_BLEN_EN, 0);
    }
}

}  // namespace
}  // namespace gputest
