// The GPU model's work on a 480 x 272 surface, driven through the register library as the
// library drives it: the fast clear, the slow clear (the rasterizer's window mode), a
// copy-engine copy, plain and converting, an SPC copy converting through the pixel pipeline,
// glyph-sized paths flattened and scanned, filled and stroked, and a full-screen image drawn
// nearest and bilinear.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "cgl.h"
#include "simgpu.h"

namespace {

constexpr word32 kWidth = 480, kHeight = 272;
constexpr word32 kRgb565 = 24, kAbgr4444 = 23;

word32 surface()
{
    static word32 address = 0;
    if (!address) {
        pltInit(0);
        address = cglGetTxmemBase() + 0x100000;
        cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, address);
        cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, kRgb565 | kWidth << 16);
        simgpu::device().setLogLimit(0);
    }
    return address;
}

void failOnProtocolErrors(benchmark::State& state)
{
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
}

void BM_ModelFastClear(benchmark::State& state)
{
    surface();
    const word32 words[] = {0xF800, 0, (kHeight - 1) | (kWidth - 1) << 16, 1};
    for (auto _ : state)
        cglWritePERegs(LX_PE_OVG_CBUF_CVAL, words, 4);
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelFastClear);

void BM_ModelSlowClear(benchmark::State& state)
{
    surface();
    cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 2);
    cglWritePEReg1(LX_PE_OVG_CCU_MPX_CTRL, 8);
    cglWriteRZReg1(LX_RZ_VG_MODE, 0x10000);
    cglWriteRZReg1(LX_RZ_COLOR, 0x00FF00FF);
    cglWriteXPTReg1(LX_XPT_MODE, 16);
    const word32 window[] = {0, kHeight - 1, 0, kWidth - 1};
    for (auto _ : state) {
        cglWriteXPTRegs(LX_XPT_SCI_YT, window, 4);
        cglWriteXPTReg1(LX_XPT_INIT, 0);
        cglWriteXPTReg1(LX_XPT_SWAP, 0x89);
    }
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelSlowClear);

// Argument: the colour mode (0x04000000 a 16-bit copy, 0x40000000 RGB565 to 32 bits).
void BM_ModelCopy(benchmark::State& state)
{
    const word32 mode = static_cast<word32>(state.range(0));
    caTable table;
    cglClearCAT(&table);
    table.saddr = surface();
    table.daddr = surface() + 0x100000;
    table.sxsize = kWidth;
    table.sysize = kHeight;
    table.same = table.dame = 1;
    cglWritePEReg1(LX_PE_OVG_CE_MODE, 0);
    cglSetCAT(mode, 0, &table);
    for (auto _ : state)
        cglWritePEReg1(LX_PE_OVG_CP_START, 0);
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelCopy)->Arg(0x04000000)->Arg(0x40000000);

// A 4444 texture into the 565 surface through the SPC rectangle command; argument 1 also
// converts to linear and back (both gamma tables) as an sRGB-to-linear copy does.
void BM_ModelSpcCopy(benchmark::State& state)
{
    const word32 texture = surface() + 0x200000;
    cglWriteMemReg32(LX_SP_WINCLIP_LT, 0);
    cglWriteMemReg32(LX_SP_WINCLIP_RB, 0x07FF07FF);
    const word32 state0[][2] = {
        {LX_PE_OVG_CCU_MPX_CTRL, 0},    {LX_PE_OVG_TX1_EN, 1},         {LX_PE_OVG_TX1_ADDR, texture},
        {LX_PE_OVG_TX1_SIZE, kWidth | kHeight << 16}, {LX_PE_OVG_TX1_FMT, 20},
        {LX_PE_OVG_GAMMA_EN, static_cast<word32>(state.range(0) ? 3 : 0)},
    };
    for (const auto& r : state0)
        cglWritePEReg1(r[0], r[1]);
    const word32 words[] = {0x1000, 0, (kWidth - 1) | (kHeight - 1) << 16, 0};
    for (auto _ : state)
        cglWriteSFifo32A(words, 4);
    failOnProtocolErrors(state);
    cglWritePEReg1(LX_PE_OVG_TX1_EN, 0);
    cglWritePEReg1(LX_PE_OVG_GAMMA_EN, 0);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelSpcCopy)->Arg(0)->Arg(1);

word32 floatWord(float f)
{
    word32 w;
    std::memcpy(&w, &f, sizeof w);
    return w;
}

constexpr int kGlyphSegments = 40;

// The quadratics of one glyph-like outline, about 20 pixels across, centred at (cx, cy): a
// ring whose control points swing in and out; each from its start point (x0, y0, cx, cy, x1,
// y1).
std::vector<std::vector<float>> glyphSegments(float cx, float cy)
{
    constexpr double kPi = 3.14159265358979323846;
    std::vector<std::vector<float>> segments;
    for (int i = 0; i < kGlyphSegments; ++i) {
        const double a0 = 2 * kPi * i / kGlyphSegments, a1 = 2 * kPi * (i + 1) / kGlyphSegments, am = (a0 + a1) / 2;
        const double rc = i % 2 ? 13 : 7;
        segments.push_back({float(cx + 10 * std::cos(a0)), float(cy + 10 * std::sin(a0)), float(cx + rc * std::cos(am)),
                            float(cy + rc * std::sin(am)), float(cx + 10 * std::cos(a1)), float(cy + 10 * std::sin(a1))});
    }
    return segments;
}

void appendData(std::vector<word32>& words, const float* data, word32 n)
{
    words.push_back(CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, n));
    for (word32 i = 0; i < n; ++i)
        words.push_back(floatWord(data[i]));
}

void appendControl(std::vector<word32>& words, word32 reg, word32 value)
{
    words.push_back(CGL_PKT_HEADER(CGL_OP_VPCTRL_WRITE, reg, 1));
    words.push_back(value);
}

// The glyph as a fill list, the words the library builds for a command buffer of its own.
std::vector<word32> glyphList(float cx, float cy)
{
    std::vector<word32> words;
    appendControl(words, LX_VP_IADDR, 880);
    for (const auto& s : glyphSegments(cx, cy))
        appendData(words, s.data(), 6);
    return words;
}

// The glyph as a stroke list: the subpath start, its quadratics from the current point and the
// end run, closed.
std::vector<word32> glyphStrokeList(float cx, float cy)
{
    const auto segments = glyphSegments(cx, cy);
    std::vector<word32> words;
    appendControl(words, LX_VP_IADDR, 901);
    appendData(words, segments[0].data(), 2);
    appendControl(words, LX_VP_IADDR, 926);
    for (const auto& s : segments)
        appendData(words, s.data() + 2, 4);
    appendControl(words, LX_VP_IADDR, 912);
    appendControl(words, LX_VP_CTRL0, 1);
    appendControl(words, LX_TE_SYNC, 0);
    words.push_back(CGL_PKT_HEADER(CGL_OP_VP_START, 0, 0));
    return words;
}

void vpConstant(word32 index, std::vector<float> values)
{
    cglWriteVPConstRegsf(index, values.data(), static_cast<word32>(values.size()));
}

// The drawing microcode's static part (875 instructions) into the instruction RAM from `at`.
void loadDrawingMicrocode(word32 at)
{
    std::vector<word32> image(875 * 3, 0);
    cglWriteMemory32A(at, image.data(), static_cast<word32>(image.size()));
    cglWriteVPCtrlReg1(LX_DMA_IN_MODE, 1);
    cglWriteVPCtrlReg1(LX_DMA_IN_SADDR, at);
    cglWriteVPCtrlReg1(LX_DMA_IN_DADDR, 0);
    cglWriteVPCtrlReg1(LX_DMA_IN_COUNT, static_cast<word32>(image.size() - 1));
}

// An entry run on a start word through the command FIFO.
void runEntry(word32 entry)
{
    cglWriteVPCtrlReg1(LX_VP_IADDR, entry);
    const word32 start[] = {CGL_PKT_HEADER(CGL_OP_VP_START, 0, 0), CGL_TERMINATOR};
    cglWriteCFifo32A(start, cglReadMemReg32(LX_MISC_CTRL) & CGL_MISC_CTRL_CFIFO_TERM ? 2 : 1);
}

// The path drawing's state at better quality (4 x 4 samples) on the surface, with the
// drawing microcode's static part loaded and the path matrix derived; the address lists may
// go to.
word32 pathDrawing()
{
    const word32 target = surface();
    cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, target);
    loadDrawingMicrocode(target + 0x200000);
    cglWritePEReg1(LX_PE_OVG_TX0_PAINT_SEL, 2);
    cglWritePEReg1(LX_PE_OVG_CCU_MPX_CTRL, 8);
    cglWritePEReg1(LX_PE_OVG_IMGCOMB_FUNC, 3);
    cglWritePEReg1(LX_PE_OVG_AALIAS_EN, 3);
    cglWriteRZReg1(LX_RZ_VG_MODE, 0x10000);
    cglWriteRZReg1(LX_RZ_COLOR, 0x202020FF);
    const word32 window[] = {0, kHeight - 1, 0, kWidth - 1};
    cglWriteXPTRegs(LX_XPT_SCI_YT, window, 4);
    cglWriteXPTReg1(LX_XPT_XSIZE, 1024);
    cglWriteXPTReg1(LX_XPT_MODE, 8);
    vpConstant(LX_VCNST_OVG_AASCALE, {4, 1, 1});
    vpConstant(LX_VCNST_OVG_SCSIZE, {float(kHeight)});
    vpConstant(LX_VCNST_OVG_DIV_FILL_TH1, {1.23f, 1.23f, 1, 1});
    vpConstant(LX_VCNST_OVG_DIV_FILL_TH2, {0.06f, 0.06f});
    vpConstant(LX_VCNST_OVG_PU2S1, {1, 0, 0});
    vpConstant(LX_VCNST_OVG_PU2S2, {0, 1, 0});
    cglWriteVPCtrlReg1(LX_VP_CTRL0, 1);
    runEntry(0);
    return target + 0x300000;
}

// 128 glyphs, one list each from a command buffer and one scan each, as the path drawing
// sends them.
void drawGlyphs(benchmark::State& state, word32 lists, std::vector<word32> (*list)(float, float))
{
    std::vector<word32> addresses, counts;
    word32 next = lists;
    for (int n = 0; n < 128; ++n) {
        const std::vector<word32> words = list(float(12 + 24 * (n % 20)), float(16 + 36 * (n / 20)));
        cglWriteMemory32A(next, words.data(), static_cast<word32>(words.size()));
        addresses.push_back(next);
        counts.push_back(static_cast<word32>(words.size()));
        next += static_cast<word32>(words.size() * 4 + 64) & ~31u;
    }
    for (auto _ : state)
        for (size_t n = 0; n < addresses.size(); ++n) {
            cglWriteMemReg32(LX_CM_ADDR, addresses[n]);
            cglWriteMemReg32(LX_CM_WCOUNT, counts[n] - 1);
            cglWriteXPTReg1(LX_XPT_SWAP, 60);
        }
    failOnProtocolErrors(state);
    state.SetItemsProcessed(state.iterations() * 128);
}

void BM_ModelGlyphPaths(benchmark::State& state)
{
    drawGlyphs(state, pathDrawing(), glyphList);
}
BENCHMARK(BM_ModelGlyphPaths);

// A full-screen 565 image drawn at the identity at better quality, as the image drawing sends
// it: the sample point, the image quad's size packet and the scan in image mode. Argument 1
// samples bilinearly (sample point at the pixel corner), 0 nearest (at the centre); 2 draws an
// opaque 4444 image nearest as the display server draws its pictures: its texels premultiplied,
// blended over, the source clamped to alpha, the destination premultiplied and the result
// unpremultiplied.
void BM_ModelImageDraw(benchmark::State& state)
{
    const bool filter = state.range(0) == 1;
    const bool picture = state.range(0) == 2;
    const word32 target = surface(), texture = target + 0x400000;
    cglWritePEReg1(LX_PE_OVG_CBUF0_ADDR, target);
    loadDrawingMicrocode(target + 0x200000);
    std::vector<word32> texels(kWidth * kHeight / 2);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<word32>(i * 2654435761u) | (picture ? 0xF000F000u : 0);
    cglWriteMemory32A(texture, texels.data(), static_cast<word32>(texels.size()));
    const word32 state0[][2] = {
        {LX_PE_OVG_TX0_PAINT_SEL, 2}, {LX_PE_OVG_CCU_MPX_CTRL, 0}, {LX_PE_OVG_IMGCOMB_FUNC, 0},
        {LX_PE_OVG_AALIAS_EN, 3},     {LX_PE_OVG_TX1_EN, 1},       {LX_PE_OVG_TX1_ADDR, texture},
        {LX_PE_OVG_TX1_SIZE, kWidth | kHeight << 16},              {LX_PE_OVG_TX1_FMT, kRgb565},
        {LX_PE_OVG_TX1_FILTER, filter}, {LX_PE_OVG_TX1_CHILDIMG_EN, 0}, {LX_PE_OVG_GAMMA_EN, 0},
    };
    for (const auto& r : state0)
        cglWritePEReg1(r[0], r[1]);
    // Blended over: the colour and alpha steps of source over destination.
    const word32 over[][2] = {
        {LX_PE_OVG_TX1_FMT, kAbgr4444},         {LX_PE_OVG_BLEN_EN, 1},
        {LX_PE_OVG_BLEN_FUNC_RSTEP2, 0x81100},  {LX_PE_OVG_BLEN_FUNC_GSTEP2, 0x81100},
        {LX_PE_OVG_BLEN_FUNC_BSTEP2, 0x81100},  {LX_PE_OVG_BLEN_FUNC_ASTEP1, 0x1},
        {LX_PE_OVG_BLEN_FUNC_ASTEP2, 0x80100},  {LX_PE_OVG_CCLAMP2ALPHA_EN, 2},
        {LX_PE_OVG_COLOR_PREMALPHA_EN, 3},      {LX_PE_OVG_TX1_PREMALPHA_EN, 1},
    };
    if (picture)
        for (const auto& r : over)
            cglWritePEReg1(r[0], r[1]);
    cglWriteRZReg1(LX_RZ_VG_MODE, 0x10004);
    cglWriteRZReg1(LX_RZ_IMG_USCALE, kWidth);
    cglWriteRZReg1(LX_RZ_IMG_VSCALE, kHeight);
    const word32 window[] = {0, kHeight - 1, 0, kWidth - 1};
    cglWriteXPTRegs(LX_XPT_SCI_YT, window, 4);
    cglWriteXPTReg1(LX_XPT_XSIZE, 1024);
    cglWriteXPTReg1(LX_XPT_MODE, 8 | 64);
    vpConstant(LX_VCNST_OVG_AASCALE, {4, 1, 1});
    vpConstant(LX_VCNST_OVG_SCSIZE, {float(kHeight)});
    vpConstant(LX_VCNST_OVG_IU2S1, {1, 0, 0});
    vpConstant(LX_VCNST_OVG_IU2S2, {0, 1, 0});
    vpConstant(LX_VCNST_OVG_IU2S3, {0, 0, 1});
    const float origin = filter ? 0.0f : 0.5f;
    vpConstant(LX_VCNST_OVG_IMG_ORIGIN, {origin, origin, 1});
    cglWriteVPCtrlReg1(LX_VP_CTRL0, 1);
    cglWriteVPCtrlReg1(LX_VP_IADDR, 7);
    const bool terminators = (cglReadMemReg32(LX_MISC_CTRL) & CGL_MISC_CTRL_CFIFO_TERM) != 0;
    const word32 start[] = {CGL_PKT_HEADER(CGL_OP_VP_START, 0, 0), CGL_TERMINATOR};
    cglWriteCFifo32A(start, terminators ? 2 : 1);
    cglWriteVPCtrlReg1(LX_VP_IADDR, 947);
    const word32 size[] = {CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, 4), floatWord(float(kWidth)), floatWord(float(kHeight)),
                           floatWord(1.0f / kWidth), floatWord(1.0f / kHeight), CGL_TERMINATOR};
    for (auto _ : state) {
        cglWriteCFifo32A(size, terminators ? 6 : 5);
        cglWriteXPTReg1(LX_XPT_EDGE_SCAN_START, 1);
        cglWriteXPTReg1(LX_XPT_SYNC, 0);
        cglWriteXPTReg1(LX_XPT_INIT, 2);
    }
    failOnProtocolErrors(state);
    cglWritePEReg1(LX_PE_OVG_TX1_EN, 0);
    cglWritePEReg1(LX_PE_OVG_TX1_FILTER, 0);
    for (const auto& r : over)
        cglWritePEReg1(r[0], 0);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ModelImageDraw)->Arg(0)->Arg(1)->Arg(2);

// The same glyphs stroked 1.5 wide with round joins and caps; argument 1 dashed (3, 2).
void BM_ModelGlyphStrokes(benchmark::State& state)
{
    const word32 lists = pathDrawing();
    vpConstant(LX_VCNST_OVG_STROKE_PARAM, {0.75f, 36});
    vpConstant(LX_VCNST_OVG_DIV_STROKE_TH1, {1.23f, 1.23f, 0.5f, 0.5f});
    vpConstant(LX_VCNST_OVG_DIV_STROKE_TH2, {0.06f, 0.06f, 0, 0.0005f});
    vpConstant(LX_VCNST_OVG_DIV_ANGLE, {0.9848077f, 0.17364818f, 0.8660254f, 0.5f});
    vpConstant(LX_VCNST_JOIN_ANGLE_TH, {1 - 0.1786062f / 2.25f});
    vpConstant(LX_VCNST_OVG_DASH_EN, {float(state.range(0))});
    const word32 dashIndex[] = {0, 0, 0, 1};
    cglWriteVPConstRegs(LX_VCNST_OVG_DASH_IDX, dashIndex, 2);
    cglWriteVPConstRegs(LX_VCNST_OVG_MAX_DASH_IDX, dashIndex + 2, 2);
    vpConstant(LX_VCNST_OVG_DASH_PATTERN0, {3, 2});
    vpConstant(LX_VCNST_OVG_DASH_REST, {3});
    vpConstant(LX_VCNST_OVG_STROKE_ON, {1});
    runEntry(64);
    runEntry(58);
    drawGlyphs(state, lists, glyphStrokeList);
}
BENCHMARK(BM_ModelGlyphStrokes)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
