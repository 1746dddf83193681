// The GPU model's copies from texture unit 1, driven with the register and SPC-FIFO words the
// copy routines send: the SPC rectangle command (mirroring, window clip, PE writes in stream
// order, multisampled targets), every stage of the pixel pipeline against values computed here
// from the formulas and the loaded gamma tables, the blend unit's mask operations, and the
// rasterizer's textured rectangle in each tiling mode.
#include "model_fixture.h"

#include <cmath>
#include <functional>
#include <vector>

#include "model/pixel_format.h"

namespace gputest {
namespace {

constexpr uint32_t kTexLine = 16, kTexRows = 6;
constexpr uint8_t kPattern = 0x5A;

double srgbToLinear(double x)
{
    return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.0556) / 1.0556, 2.4);
}

double linearToSrgb(double x)
{
    return x <= 0.00304 ? 12.92 * x : 1.0556 * std::pow(x, 1 / 2.4) - 0.0556;
}

// A 256-entry table of f on [0, 1], rounded.
std::vector<uint8_t> table(double (*f)(double))
{
    std::vector<uint8_t> out(256);
    for (int i = 0; i < 256; ++i)
        out[i] = static_cast<uint8_t>(std::lround(std::min(1.0, std::max(0.0, f(i / 255.0))) * 255));
    return out;
}

const std::vector<uint8_t> kGamma = table(linearToSrgb);
const std::vector<uint8_t> kInverseGamma = table(srgbToLinear);

uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

uint32_t channel(uint32_t colour, unsigned i)  // 0 R ... 3 A
{
    return (colour >> (24 - 8 * i)) & 0xFF;
}

// The weighted sum in 11 fraction bits, rounded as the software pixel path rounds it.
uint32_t luminance(uint32_t r, uint32_t g, uint32_t b)
{
    return (435 * r + 1464 * g + 147 * b + 1023) >> 11;
}

uint32_t times(uint32_t c, uint32_t a)  // c a / 255, rounded
{
    return static_cast<uint32_t>(std::lround(c * a / 255.0));
}

class TextureCopy : public GpuFills {
protected:
    void SetUp() override
    {
        GpuFills::SetUp();
        cglWriteMemReg32(LX_SP_WINCLIP_LT, 0);
        cglWriteMemReg32(LX_SP_WINCLIP_RB, 0x07FF07FF);
        loadGammaTables(kGamma, kGamma, kGamma, kInverseGamma, kInverseGamma, kInverseGamma);
        copyState(0, 0, 0, 0);
    }

    // Both tables as the layer loads them: 64 words a channel, entry 4k in the low byte of word k.
    static void loadGammaTables(const std::vector<uint8_t>& gr, const std::vector<uint8_t>& gg,
                                const std::vector<uint8_t>& gb, const std::vector<uint8_t>& ir,
                                const std::vector<uint8_t>& ig, const std::vector<uint8_t>& ib)
    {
        const std::vector<uint8_t>* tables[2][3] = {{&gr, &gg, &gb}, {&ir, &ig, &ib}};
        for (int t = 0; t < 2; ++t)
            for (word32 c = 0; c < 3; ++c) {
                word32 words[64];
                for (int k = 0; k < 64; ++k)
                    words[k] = static_cast<word32>((*tables[t][c])[4 * k] | (*tables[t][c])[4 * k + 1] << 8 |
                                                   (*tables[t][c])[4 * k + 2] << 16 |
                                                   static_cast<word32>((*tables[t][c])[4 * k + 3]) << 24);
                cglWritePETable(t == 0 ? 0x20000 : 0x30000, c * 64, words, 64);
            }
    }

    // The pixel-engine copy state as the copy routines set it up.
    static void copyState(word32 clamp2a, word32 preunpre, word32 gammaen, word32 rgb2l)
    {
        const RegValue state[] = {
            {LX_PE_OVG_AM_EN, 0},         {LX_PE_OVG_CTEST_EN, 0},        {LX_PE_OVG_TXC_INVAL, 3},
            {LX_PE_OVG_TXC_MODE, 244},    {LX_PE_OVG_MSAA_ENABLE, 0},     {LX_PE_OVG_TX0_EN, 0},
            {LX_PE_OVG_TX1_PAINT_SEL, 0}, {LX_PE_OVG_TX1_EN, 1},          {LX_PE_OVG_TX1_CHILDIMG_EN, 0},
            {LX_PE_OVG_TX1_FILTER, 0},    {LX_PE_OVG_TX1_WRAP, 0},        {LX_PE_OVG_TX1_RED2ALPHA, 0},
            {LX_PE_OVG_TX1_CLAMP2ALPHA, clamp2a}, {LX_PE_OVG_TX1_PREMALPHA_EN, 0}, {LX_PE_OVG_IMGCOMB_FUNC, 0},
            {LX_PE_OVG_CTRANS_EN, 0},     {LX_PE_OVG_PREMALPHA_EN, preunpre}, {LX_PE_OVG_GAMMA_EN, gammaen},
            {LX_PE_OVG_RGB2L_EN, rgb2l},  {LX_PE_OVG_CCU_MPX_CTRL, 0},    {LX_PE_OVG_BLEN_EN, 0},
            {LX_PE_OVG_COV2ALPHA, 0},     {LX_PE_OVG_COLOR_PREMALPHA_EN, 0}, {LX_PE_OVG_CCLAMP2ALPHA_EN, 0},
            {LX_PE_OVG_AALIAS_EN, 0},     {LX_PE_OVG_CH_MASK, 0},         {LX_PE_OVG_ACOLOR0_EN, 0},
            {LX_PE_OVG_ACOLOR1_EN, 0},
        };
        for (const RegValue& r : state)
            cglWritePEReg1(r.first, r.second);
    }

    word32 textureAddress() const { return base + 0x18000; }

    // Texture unit 1 on a kTexLine x kTexRows texture holding `pixels` from its first pixel on.
    void setTexture(uint32_t code, uint32_t bpp, const std::vector<uint32_t>& pixels) const
    {
        std::vector<uint8_t> bytes(kTexLine * bpp / 8 * kTexRows, 0);
        for (uint32_t i = 0; i < pixels.size(); ++i)
            simgpu::writePixel(bytes.data(), i, bpp, pixels[i]);
        cglWriteMemory8A(textureAddress(), bytes.data(), static_cast<word32>(bytes.size()));
        cglWritePEReg1(LX_PE_OVG_TX1_ADDR, textureAddress());
        cglWritePEReg1(LX_PE_OVG_TX1_SIZE, kTexLine | kTexRows << 16);
        cglWritePEReg1(LX_PE_OVG_TX1_FMT, code);
    }

    static void spcRect(uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t u, uint32_t v, bool mirror = false)
    {
        const word32 words[] = {CGL_SPC_RECT | (mirror ? CGL_SPC_RECT_FLIP : 0u), x | y << 16,
                                (w - 1) | (h - 1) << 16, u | v << 16};
        cglWriteSFifo32A(words, 4);
    }

    // One texel through the SPC from an 8888 texture into an 8888 target.
    uint32_t throughPipeline(uint32_t texel)
    {
        setBuffer(0, 0, 32, 0);
        setTexture(0, 32, {texel});
        spcRect(0, 0, 1, 1, 0, 0);
        return pixelAt(bytes(0, 32), 0, 0, 32);
    }
};

TEST_F(TextureCopy, CopiesBetweenFormatsOfOneClassBitExactly)
{
    struct Case {
        uint32_t code, bpp;
    } const cases[] = {{0, 32}, {3, 32}, {24, 16}, {17, 16}, {20, 16}, {32, 8}, {33, 8}, {48, 4}, {64, 1}, {65, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::vector<uint32_t> texels(kTexLine * 2);
        for (uint32_t i = 0; i < texels.size(); ++i)
            texels[i] = (i * 0x9E3779B9u >> 7) & (c.bpp == 32 ? 0xFFFFFFFFu : (1u << c.bpp) - 1);
        setBuffer(0, c.code, c.bpp, kPattern);
        setTexture(c.code, c.bpp, texels);
        spcRect(3, 2, 8, 2, 1, 0);
        const std::vector<uint8_t> got = bytes(0, c.bpp);
        std::vector<uint8_t> untouched(stride(c.bpp) * kRows, kPattern);
        for (uint32_t y = 0; y < kRows; ++y)
            for (uint32_t x = 0; x < kLine; ++x) {
                const bool inside = x >= 3 && x < 11 && y >= 2 && y < 4;
                const uint32_t expected = inside ? texels[(y - 2) * kTexLine + x - 3 + 1]
                                                 : simgpu::readPixel(untouched.data() + y * stride(c.bpp), x, c.bpp);
                ASSERT_EQ(pixelAt(got, x, y, c.bpp), expected) << "pixel " << x << "," << y;
            }
    }
}

TEST_F(TextureCopy, ConvertsThroughThePipelineStages)
{
    // Texels of 8888 into 8888 unless said; the copy routines' choices for each conversion.
    const uint32_t in = rgba(200, 100, 30, 128);
    const uint32_t r = channel(in, 0), g = channel(in, 1), b = channel(in, 2), a = channel(in, 3);
    const uint32_t lr = kInverseGamma[r], lg = kInverseGamma[g], lb = kInverseGamma[b];
    struct Case {
        const char* name;
        uint32_t srcCode, srcBpp, texel, dstCode, dstBpp;
        word32 clamp2a, preunpre, gammaen, rgb2l;
        uint32_t expected;  // native in the target
    } const cases[] = {
        {"565 to 8888", 24, 16, 0xA54F, 0, 32, 0, 0, 0, 0,
         rgba(0x14 << 3 | 0x14 >> 2, 0x2A << 2 | 0x2A >> 4, 0x0F << 3 | 0x0F >> 2, 255)},
        {"8888 to 565", 0, 32, in, 24, 16, 0, 0, 0, 0, (r >> 3) << 11 | (g >> 2) << 5 | b >> 3},
        {"premultiplied to not (colour clamped to alpha first)", 0, 32, rgba(100, 150, 20, 128), 0, 32, 1, 2, 0, 0,
         rgba(100 * 255 / 128, 255, 20 * 255 / 128, 128)},
        {"not premultiplied to premultiplied", 0, 32, in, 0, 32, 0, 1, 0, 0,
         rgba(times(r, a), times(g, a), times(b, a), a)},
        {"sRGB to linear", 0, 32, in, 0, 32, 0, 0, 1, 0, rgba(lr, lg, lb, a)},
        {"linear to sRGB", 0, 32, in, 0, 32, 0, 0, 2, 0, rgba(kGamma[r], kGamma[g], kGamma[b], a)},
        {"sRGB to sL_8", 0, 32, in, 32, 8, 0, 0, 3, 1, kGamma[luminance(lr, lg, lb)]},
        {"sRGB to lL_8", 0, 32, in, 32, 8, 0, 0, 1, 1, luminance(lr, lg, lb)},
        {"linear to lL_8", 0, 32, in, 32, 8, 0, 0, 0, 1, luminance(r, g, b)},
        {"premultiplied sRGB to linear", 0, 32, rgba(100, 60, 20, 128), 0, 32, 1, 3, 1, 0,
         rgba(times(kInverseGamma[100 * 255 / 128], 128),
              times(kInverseGamma[60 * 255 / 128], 128),
              times(kInverseGamma[20 * 255 / 128], 128), 128)},
        {"transparent premultiplied to not", 0, 32, rgba(0, 0, 0, 0), 0, 32, 1, 2, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        copyState(c.clamp2a, c.preunpre, c.gammaen, c.rgb2l);
        setBuffer(0, c.dstCode, c.dstBpp, 0);
        setTexture(c.srcCode, c.srcBpp, {c.texel, c.texel});
        spcRect(4, 1, 2, 1, 0, 0);
        const std::vector<uint8_t> got = bytes(0, c.dstBpp);
        EXPECT_EQ(pixelAt(got, 4, 1, c.dstBpp), c.expected);
        EXPECT_EQ(pixelAt(got, 5, 1, c.dstBpp), c.expected);
        EXPECT_EQ(pixelAt(got, 6, 1, c.dstBpp), 0u);
    }
}

TEST_F(TextureCopy, TextureStagesAndTablesActInTheirOrder)
{
    struct Case {
        const char* name;
        std::function<void()> set;
        uint32_t texel, expected;
    } const cases[] = {
        {"red to alpha", [] { cglWritePEReg1(LX_PE_OVG_TX1_RED2ALPHA, 1); }, rgba(90, 10, 20, 255),
         rgba(90, 10, 20, 90)},
        {"clamp to alpha", [] { cglWritePEReg1(LX_PE_OVG_TX1_CLAMP2ALPHA, 1); }, rgba(90, 10, 200, 50),
         rgba(50, 10, 50, 50)},
        {"texel premultiplied", [] { cglWritePEReg1(LX_PE_OVG_TX1_PREMALPHA_EN, 1); }, rgba(90, 10, 200, 50),
         rgba(times(90, 50), times(10, 50), times(200, 50), 50)},
        {"red to alpha before the premultiplication",
         [] {
             cglWritePEReg1(LX_PE_OVG_TX1_RED2ALPHA, 1);
             cglWritePEReg1(LX_PE_OVG_PREMALPHA_EN, 1);
         },
         rgba(100, 200, 50, 255), rgba(times(100, 100), times(200, 100), times(50, 100), 100)},
        {"each channel reads its own table",
         [] {
             std::vector<uint8_t> identity(256), reversed(256), half(256);
             for (int i = 0; i < 256; ++i)
                 identity[i] = static_cast<uint8_t>(i), reversed[i] = static_cast<uint8_t>(255 - i),
                 half[i] = static_cast<uint8_t>(i / 2);
             loadGammaTables(kGamma, kGamma, kGamma, identity, reversed, half);
             cglWritePEReg1(LX_PE_OVG_GAMMA_EN, 1);
         },
         rgba(1, 2, 7, 9), rgba(1, 253, 3, 9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        copyState(0, 0, 0, 0);
        loadGammaTables(kGamma, kGamma, kGamma, kInverseGamma, kInverseGamma, kInverseGamma);
        c.set();
        EXPECT_EQ(throughPipeline(c.texel), c.expected);
    }
}

TEST_F(TextureCopy, MirroredRowsClipAndMultisampledTargets)
{
    std::vector<uint32_t> texels(kTexLine * kTexRows);
    for (uint32_t i = 0; i < texels.size(); ++i)
        texels[i] = 0x100 + i;  // 565 values that name their texel
    struct Case {
        const char* name;
        bool mirror;
        word32 clipLT, clipRB;
        bool multisampled;
    } const cases[] = {
        {"plain", false, 0, 0x07FF07FF, false},
        {"mirrored rows", true, 0, 0x07FF07FF, false},
        {"clipped to columns 4-5 and rows 2-3", false, 4 | 2 << 16, 5 | 3 << 16, false},
        {"mirrored and clipped", true, 4 | 2 << 16, 5 | 3 << 16, false},
        {"four samples a pixel", false, 0, 0x07FF07FF, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t n = c.multisampled ? 4 : 1;
        setBuffer(0, 24, 16, 0, kLine * n);
        cglWritePEReg1(LX_PE_OVG_MSAA_ENABLE, c.multisampled ? 1 : 0);
        cglWriteMemReg32(LX_SP_WINCLIP_LT, c.clipLT);
        cglWriteMemReg32(LX_SP_WINCLIP_RB, c.clipRB);
        setTexture(24, 16, texels);
        spcRect(3, 1, 3, 4, 2, 1, c.mirror);  // target 3-5 x 1-4 from texels 2-4 x 1-4
        const std::vector<uint8_t> got = bytes(0, 16, kLine * n);
        for (uint32_t y = 0; y < kRows; ++y)
            for (uint32_t x = 0; x < kLine; ++x) {
                const bool clipped = x < (c.clipLT & 0xFFFF) || x > (c.clipRB & 0xFFFF) || y < (c.clipLT >> 16) ||
                                     y > (c.clipRB >> 16);
                uint32_t expected = 0;
                if (x >= 3 && x <= 5 && y >= 1 && y <= 4 && !clipped) {
                    const uint32_t j = c.mirror ? 4 - y : y - 1;  // the source row's index
                    expected = texels[(1 + j) * kTexLine + 2 + x - 3];
                }
                for (uint32_t s = 0; s < n; ++s)
                    ASSERT_EQ(simgpu::readPixel(got.data() + y * stride(16, kLine * n), x * n + s, 16), expected)
                        << "pixel " << x << "," << y << " sample " << s;
            }
    }
}

TEST_F(TextureCopy, PixelEngineWritesInTheSpcFifoActInStreamOrder)
{
    // A destination line of 8192 pixels and a texture of 8192 x 1, as the line-by-line copy sets
    // them up; each line's colour-buffer and texture addresses arrive between the rectangles.
    setBuffer(0, 33, 8, 0);
    cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 33 | 0x20000000);
    setTexture(33, 8, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19});
    cglWritePEReg1(LX_PE_OVG_TX1_SIZE, 0x12000);
    const word32 line0 = bufferAddress(0), line1 = bufferAddress(0) + kLine;
    const word32 words[] = {
        CGL_SPC_WRITE_PE | 1 | LX_PE_OVG_CBUF0_ADDR << 16, line0, LX_PE_OVG_TX1_ADDR << 16, textureAddress(),
        CGL_SPC_RECT, 2, 3 - 1, 0,
        CGL_SPC_WRITE_PE | 1 | LX_PE_OVG_CBUF0_ADDR << 16, line1, LX_PE_OVG_TX1_ADDR << 16, textureAddress() + 10,
        CGL_SPC_RECT, 1, 4 - 1, 0,
    };
    cglWriteSFifo32A(words, sizeof words / sizeof words[0]);
    const std::vector<uint8_t> got = bytes(0, 8);
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + 6), (std::vector<uint8_t>{0, 0, 0, 1, 2, 0}));
    EXPECT_EQ(std::vector<uint8_t>(got.begin() + kLine, got.begin() + kLine + 6),
              (std::vector<uint8_t>{0, 10, 11, 12, 13, 0}));
}

TEST_F(TextureCopy, BlendUnitCombinesAlphaByTheMaskOperation)
{
    struct Case {
        const char* name;
        word32 step1, step2;
        std::function<uint32_t(uint32_t s, uint32_t d)> result;
    } const cases[] = {
        {"set", 0, 0, [](uint32_t s, uint32_t) { return s; }},
        {"union", 2, 0x50000, [](uint32_t s, uint32_t d) { return s + times(d, 255 - s); }},
        {"intersect", 0x11, 0x40000, [](uint32_t s, uint32_t d) { return times(s, d); }},
        {"subtract", 1, 0x40000, [](uint32_t s, uint32_t d) { return times(d, 255 - s); }},
    };
    const std::vector<uint32_t> sources = {0, 255, 128, 77, 200, 1};
    struct Target {
        uint32_t code, bpp;
        std::vector<uint32_t> masks;  // stored values
    } const targets[] = {{33, 8, {255, 0, 128, 150, 30, 254}}, {48, 4, {15, 0, 8, 9, 2, 14}}};
    for (const Target& target : targets)
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " into code " << target.code);
            setBuffer(0, target.code, target.bpp, 0);
            std::vector<uint8_t> mask(stride(target.bpp), 0);
            for (uint32_t i = 0; i < target.masks.size(); ++i)
                simgpu::writePixel(mask.data(), i, target.bpp, target.masks[i]);
            cglWriteMemory8A(bufferAddress(0), mask.data(), static_cast<word32>(mask.size()));
            setTexture(33, 8, sources);
            // The constant colour's stages as a surface clear leaves them do not touch texels.
            cglWritePEReg1(LX_PE_OVG_CCLAMP2ALPHA_EN, 2);
            cglWritePEReg1(LX_PE_OVG_COLOR_PREMALPHA_EN, 3);
            const word32 steps[] = {c.step1, c.step2};
            cglWritePERegs(LX_PE_OVG_BLEN_FUNC_ASTEP1, steps, 2);
            cglWritePEReg1(LX_PE_OVG_BLEN_EN, 1);
            spcRect(0, 0, static_cast<uint32_t>(sources.size()), 1, 0, 0);
            const std::vector<uint8_t> got = bytes(0, target.bpp);
            const uint32_t levels = (1u << target.bpp) - 1;
            for (uint32_t i = 0; i < sources.size(); ++i) {
                const uint32_t d = target.masks[i] * 255 / levels;  // the stored alpha widened to 8 bits
                EXPECT_EQ(pixelAt(got, i, 0, target.bpp), c.result(sources[i], d) >> (8 - target.bpp))
                    << "s " << sources[i] << " d " << d;
            }
            cglWritePEReg1(LX_PE_OVG_BLEN_EN, 0);
        }
}

TEST_F(TextureCopy, WhatItDoesNotModelIsAProtocolErrorWithNothingWritten)
{
    struct Case {
        const char* name;
        std::function<void()> change;
        word32 header, position, size, source;
        const char* error;
    } const cases[] = {
        {"unknown header bit", [] {}, CGL_SPC_RECT | 2, 0, 0, 0, "unknown header"},
        {"position beyond 11 bits", [] {}, CGL_SPC_RECT, 0x800, 0, 0, "beyond 11 bits"},
        {"texture unit 1 off", [] { cglWritePEReg1(LX_PE_OVG_TX1_EN, 0); }, CGL_SPC_RECT, 0, 0, 0, "PE register 336"},
        {"a read past the texture's rows", [] {}, CGL_SPC_RECT, 0, 1 << 16, (kTexRows - 1) << 16, "texture row"},
        {"a read past the texture's line", [] {}, CGL_SPC_RECT, 0, 1, kTexLine - 1, "beyond the line"},
        {"unknown gamma setting", [] { cglWritePEReg1(LX_PE_OVG_GAMMA_EN, 4); }, CGL_SPC_RECT, 0, 0, 0,
         "LX_PE_OVG_GAMMA_EN"},
        {"unknown blend steps",
         [] {
             cglWritePEReg1(LX_PE_OVG_BLEN_EN, 1);
             cglWritePEReg1(LX_PE_OVG_BLEN_FUNC_ASTEP1, 3);
         },
         CGL_SPC_RECT, 0, 0, 0, "blend steps"},
        {"blending colour channels",
         [] {
             cglWritePEReg1(LX_PE_OVG_BLEN_EN, 1);
             cglWritePEReg1(LX_PE_OVG_BLEN_FUNC_ASTEP1, 0);
             cglWritePEReg1(LX_PE_OVG_BLEN_FUNC_ASTEP2, 0);
             cglWritePEReg1(LX_PE_OVG_CBUF0_FMT, 0 | kLine << 16);
         },
         CGL_SPC_RECT, 0, 0, 0, "colour channels"},
        {"a texture format not modelled", [] { cglWritePEReg1(LX_PE_OVG_TX1_FMT, 56); }, CGL_SPC_RECT, 0, 0, 0,
         "not modelled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        copyState(0, 0, 0, 0);
        setBuffer(0, 33, 8, kPattern);
        setTexture(33, 8, {1, 2, 3});
        c.change();
        const word32 words[] = {c.header, c.position, c.size, c.source};
        cglWriteSFifo32A(words, 4);
        expectOneError(c.error);
        EXPECT_EQ(bytes(0, 8), std::vector<uint8_t>(stride(8) * kRows, kPattern));
        cglWritePEReg1(LX_PE_OVG_BLEN_EN, 0);
    }
}


// The rasterizer's textured rectangle as the textured copy programs it: a 4 x 3 child image at
// (2, 1) of a 16 x 6 texture fills a 12 x 6 area from source offset (-4, -2).
class TexturedRectangle : public TextureCopy {
protected:
    static constexpr uint32_t kChildX = 2, kChildY = 1, kChildW = 4, kChildH = 3;
    static constexpr uint32_t kWidth = 12, kHeight = 6;
    static constexpr int kSx = -4, kSy = -2;

    void SetUp() override
    {
        TextureCopy::SetUp();
        setBuffer(0, 0, 32, kPattern);
        std::vector<uint32_t> texels(kTexLine * kTexRows);
        for (uint32_t i = 0; i < texels.size(); ++i)
            texels[i] = texel(i % kTexLine, i / kTexLine);
        setTexture(0, 32, texels);
        cglWritePEReg1(LX_PE_OVG_TX1_CHILDIMG_EN, 1);
        cglWritePEReg1(LX_PE_OVG_TX1_CHILDIMG_BBLT, kChildY | kChildX << 16);
        cglWritePEReg1(LX_PE_OVG_TX1_CHILDIMG_BBRB, (kChildY + kChildH - 1) | (kChildX + kChildW - 1) << 16);
    }

    static uint32_t texel(uint32_t x, uint32_t y) { return rgba(x, y, 0x40, 0xFF); }

    static void draw(word32 vgMode, word32 wrap, word32 fill, float wf = 1.0f, word32 right = kWidth - 1)
    {
        cglWritePEReg1(LX_PE_OVG_TX1_WRAP, wrap);
        cglWritePEReg1(LX_PE_OVG_TX1_PTFILL_COLOR, fill);
        cglWriteRZReg1(LX_RZ_SCI_ENABLE, 0);
        cglWriteRZReg1(LX_RZ_VG_MODE, vgMode);
        cglWriteRZReg1(LX_RZ_IMG_USCALE, kChildW);
        cglWriteRZReg1(LX_RZ_IMG_VSCALE, kChildH);
        cglWriteRZReg1f(LX_RZ_IMG_IWF, wf);
        cglWriteRZReg1f(LX_RZ_IMG_IWA, 0);
        cglWriteRZReg1f(LX_RZ_IMG_IWB, 0);
        cglWriteRZReg1f(LX_RZ_IMG_SF, (kSx + 0.5f) / kChildW);
        cglWriteRZReg1f(LX_RZ_IMG_TF, (kSy + 0.5f) / kChildH);
        cglWriteRZReg1f(LX_RZ_IMG_SA, 1.0f / kChildW);
        cglWriteRZReg1f(LX_RZ_IMG_TA, 0);
        cglWriteRZReg1f(LX_RZ_IMG_SB, 0);
        cglWriteRZReg1f(LX_RZ_IMG_TB, 1.0f / kChildH);
        cglWriteXPTReg1(LX_XPT_WWAIT_SYNC, 4362);
        cglWriteXPTReg1(LX_XPT_SWAP, 1);
        cglWriteXPTReg1(LX_XPT_CACHE_FLUSH, 15);
        cglWriteXPTReg1(LX_XPT_MODE, 16);
        const word32 box[] = {0, kHeight - 1, 0, right};
        cglWriteXPTRegs(LX_XPT_SCI_YT, box, 4);
        cglWriteXPTReg1(LX_XPT_BUF_STAT, 0);
        cglWriteXPTReg1(LX_XPT_INIT, 0);
        cglWriteXPTReg1(LX_XPT_SWAP, 137);
        cglWriteXPTReg1(LX_XPT_SYNC, 0);
    }
};

TEST_F(TexturedRectangle, TilesTheChildImageInEachMode)
{
    // The child texel each column and row takes (-1: the fill colour), for x - 4 = -4 .. 7 and
    // y - 2 = -2 .. 3.
    struct Case {
        const char* name;
        word32 vgMode, wrap;
        std::vector<int> columns, rows;
    } const cases[] = {
        {"pad", 4, 257, {0, 0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3}, {0, 0, 0, 1, 2, 2}},
        {"repeat", 5124, 0, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}, {1, 2, 0, 1, 2, 0}},
        {"reflect", 10244, 257, {3, 2, 1, 0, 0, 1, 2, 3, 3, 2, 1, 0}, {1, 0, 0, 1, 2, 2}},
        {"fill", 15364, 514, {-1, -1, -1, -1, 0, 1, 2, 3, -1, -1, -1, -1}, {-1, -1, 0, 1, 2, -1}},
    };
    const uint32_t fill = 0x11223344;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        draw(c.vgMode, c.wrap, fill);
        const std::vector<uint8_t> got = bytes(0, 32);
        for (uint32_t y = 0; y < kRows; ++y)
            for (uint32_t x = 0; x < kLine; ++x) {
                uint32_t expected = 0x5A5A5A5A;
                if (x < kWidth && y < kHeight) {
                    const int u = c.columns[x], v = c.rows[y];
                    expected = u < 0 || v < 0 ? fill : texel(kChildX + u, kChildY + v);
                }
                ASSERT_EQ(pixelAt(got, x, y, 32), expected) << "pixel " << x << "," << y;
            }
    }
}

TEST_F(TexturedRectangle, TheFillColourIsAnRgba8888Colour)
{
    // A 4444 texture: the fill is the RGBA8888 colour the layer packed as 4444 would store it,
    // not a 4444 value.
    setTexture(20, 16, std::vector<uint32_t>(kTexLine * kTexRows, 0x1234));
    draw(15364, 514, 0xFF00AA55);
    const std::vector<uint8_t> got = bytes(0, 32);
    EXPECT_EQ(pixelAt(got, 0, 0, 32), rgba(0xFF, 0x00, 0xAA, 0x55));
    EXPECT_EQ(pixelAt(got, 4, 2, 32), rgba(0x11, 0x22, 0x33, 0x44));  // inside the child image
}

TEST_F(TexturedRectangle, WithoutTheChildWindowReadsTheWholeTexture)
{
    cglWritePEReg1(LX_PE_OVG_TX1_CHILDIMG_EN, 0);
    draw(4, 257, 0);  // pad: column x - 4 clamped to the texture's 16, row y - 2 to its 6
    const std::vector<uint8_t> got = bytes(0, 32);
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x)
            ASSERT_EQ(pixelAt(got, x, y, 32), texel(x < 4 ? 0 : x - 4, y < 2 ? 0 : y - 2)) << x << "," << y;
}

TEST_F(TexturedRectangle, WhatItDoesNotModelIsAProtocolErrorWithNothingWritten)
{
    // The tiling is one of four pairs of rasterizer mode and texture wrap; a pair mixed from two
    // of them, or either value with a bit of its own, is refused.
    constexpr word32 kRight = kWidth - 1;
    struct Case {
        const char* name;
        std::function<void()> change;
        word32 vgMode, wrap;
        float wf;
        word32 right;
        const char* error;
    } const cases[] = {
        {"an unknown tiling", [] {}, 4 | 3 << 10, 257, 1.0f, kRight, "LX_RZ_VG_MODE"},
        {"pad with the repeat wrap", [] {}, 4, 0, 1.0f, kRight, "LX_PE_OVG_TX1_WRAP 0x00000000"},
        {"pad with the fill wrap", [] {}, 4, 514, 1.0f, kRight, "LX_PE_OVG_TX1_WRAP 0x00000202"},
        {"repeat with the pad wrap", [] {}, 5124, 257, 1.0f, kRight, "LX_PE_OVG_TX1_WRAP 0x00000101"},
        {"reflect with the fill wrap", [] {}, 10244, 514, 1.0f, kRight, "LX_PE_OVG_TX1_WRAP 0x00000202"},
        {"fill with the pad wrap", [] {}, 15364, 257, 1.0f, kRight, "LX_PE_OVG_TX1_WRAP 0x00000101"},
        {"fill with the repeat wrap", [] {}, 15364, 0, 1.0f, kRight, "LX_PE_OVG_TX1_WRAP 0x00000000"},
        {"an unknown wrap bit", [] {}, 4, 257 | 0x10000, 1.0f, kRight, "LX_PE_OVG_TX1_WRAP 0x00010101"},
        {"the scissor bypass bit", [] {}, 4 | 0x10000, 257, 1.0f, kRight, "LX_RZ_VG_MODE 0x00010004"},
        {"bilinear sampling", [] { cglWritePEReg1(LX_PE_OVG_TX1_FILTER, 1); }, 4, 257, 1.0f, kRight,
         "PE register 341"},
        {"a zero denominator", [] {}, 4, 257, 0.0f, kRight, "not finite"},
        {"a window past 2047", [] {}, 4, 257, 1.0f, 2048, "beyond 2047"},
        {"a child window past the texture",
         [] { cglWritePEReg1(LX_PE_OVG_TX1_CHILDIMG_BBRB, kTexRows | kChildX << 16); }, 4, 257, 1.0f, kRight,
         "texture row"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.change();
        draw(c.vgMode, c.wrap, 0, c.wf, c.right);
        expectOneError(c.error);
        EXPECT_EQ(bytes(0, 32), std::vector<uint8_t>(stride(32) * kRows, kPattern));
        cglWritePEReg1(LX_PE_OVG_TX1_FILTER, 0);
    }
}

}  // namespace
}  // namespace gputest
