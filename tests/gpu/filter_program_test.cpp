// The GPU model's filter microcodes at register level: which program the instruction-RAM DMA
// loaded, each program's arithmetic on a small tile of work pixels (RGBA8888, red in the top
// byte), and the packets it refuses without writing anything.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "path_fixture.h"

namespace gputest {
namespace {

constexpr uint32_t kMatrixImage = 21, kConvolveImage = 22, kSeparableImage = 23, kDrawingImage = 20;
constexpr uint32_t kStride = 32;  // bytes a row of both work buffers (8 pixels)

uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r << 24 | g << 16 | b << 8 | a;
}

class FilterPrograms : public GpuTest {
public:  // the tests' case tables act on the fixture
    void SetUp() override
    {
        pltInit(0);
        base = cglGetTxmemBase();
    }

    word32 nrm() const { return base + 0x20000; }
    word32 rst() const { return base + 0x28000; }

    // A DMA to instruction 0 of an image whose first word names it.
    void load(uint32_t image, uint32_t instructions) const
    {
        std::vector<word32> words(instructions * CGL_VP_INST_WORDS, 0);
        words[0] = image << 24;
        const word32 at = base + 0x10000;
        cglWriteMemory32A(at, words.data(), static_cast<word32>(words.size()));
        for (auto [reg, value] : {RegValue{LX_DMA_IN_MODE, 1}, RegValue{LX_DMA_IN_SADDR, at}, RegValue{LX_DMA_IN_DADDR, 0},
                                  RegValue{LX_DMA_IN_COUNT, instructions * CGL_VP_INST_WORDS - 1}})
            cglWriteVPCtrlReg1(reg, value);
    }

    // Rows of nrm (eight pixels a row); rst preset to a pattern.
    void source(const std::vector<std::vector<uint32_t>>& rows) const
    {
        std::vector<word32> words(rows.size() * 8, 0);
        for (size_t r = 0; r < rows.size(); ++r)
            std::memcpy(&words[r * 8], rows[r].data(), rows[r].size() * 4);
        cglWriteMemory32A(nrm(), words.data(), static_cast<word32>(words.size()));
        std::vector<word32> pattern(8 * 8, 0x5A5A5A5Au);
        cglWriteMemory32A(rst(), pattern.data(), static_cast<word32>(pattern.size()));
    }

    std::vector<uint32_t> result(uint32_t row, uint32_t n) const
    {
        std::vector<word32> words(n);
        cglReadMemory32A(rst() + row * kStride, words.data(), n);
        return std::vector<uint32_t>(words.begin(), words.end());
    }

    static void send(const Commands& c) { sendCommands(c, Route::Fifo, 0); }

    static Commands packet(const std::vector<word32>& words)
    {
        Commands c;
        c.ctrl(LX_VP_IADDR, 0);
        std::vector<word32> p{CGL_PKT_HEADER(CGL_OP_VP_DATA, 0, words.size())};
        p.insert(p.end(), words.begin(), words.end());
        c.packets.push_back(p);
        return c;
    }

    // The 14-word convolution packet of a kw x kh kernel on a tw x th tile.
    std::vector<word32> convolvePacket(uint32_t kw, uint32_t kh, uint32_t tw, uint32_t th, float scale, float bias,
                                       uint32_t sbuftop, uint32_t rbuftop) const
    {
        return {nrm(),           kw - 1 + tw - 1, kStride,        rst(),          tw - 1, kStride, (tw - 1) >> 2,
                th - 1,          (kw - 1) >> 2,   kh - 1,         bitsOf(scale), bitsOf(bias),   sbuftop, rbuftop};
    }

    std::vector<word32> separablePacket(uint32_t kw, uint32_t kh, uint32_t tw, uint32_t th, uint32_t vbuftop,
                                        uint32_t sbuftop, uint32_t rbuftop) const
    {
        return {nrm(),  kw - 1 + tw - 1, kStride,       rst(),        tw - 1,       kStride, (kw - 1 + tw - 1) >> 2,
                th - 1, (kw - 1) >> 2,   (kh - 1) >> 2, bitsOf(1.0f), bitsOf(0.0f), vbuftop, sbuftop, rbuftop};
    }

    word32 base = 0;
};

// R' = 0.5 R + G + 10 (offset in 0..255 units), G' = -G, B' = B x NaN, A' = 1e30 A: truncated
// toward zero, clamped, NaN as 0.
TEST_F(FilterPrograms, ColourMatrixPerPixel)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    load(kMatrixImage, 78);
    source({{rgba(100, 31, 7, 1), rgba(255, 255, 255, 0)}, {rgba(3, 0, 250, 200), rgba(0, 0, 0, 0)}});
    const std::vector<word32> words = {
        bitsOf(0.5f), bitsOf(1.0f), 0,           0,             // R
        0,            bitsOf(-1.0f), 0,          0,             // G
        0,            0,            bitsOf(nan), 0,             // B
        0,            0,            0,           bitsOf(1e30f),  // A
        bitsOf(10.0f), 0,           0,           0,
        nrm(),        kStride,      rst(),       kStride,       1, 0, 1};
    send(packet(words));
    EXPECT_EQ(result(0, 3), (std::vector<uint32_t>{rgba(91, 0, 0, 255), rgba(255, 0, 0, 0), 0x5A5A5A5Au}));
    EXPECT_EQ(result(1, 2), (std::vector<uint32_t>{rgba(11, 0, 0, 255), rgba(10, 0, 0, 0)}));
}

// A 2 x 2 kernel: C[r][p] is word p of constant 4 + r; out = scale x sum + bias per channel.
TEST_F(FilterPrograms, ConvolutionReadsTheKernelAsStored)
{
    load(kConvolveImage, 241);
    source({{rgba(10, 1, 0, 0), rgba(20, 2, 0, 0), rgba(40, 4, 0, 0)},
            {rgba(80, 8, 0, 0), rgba(160, 16, 0, 0), rgba(1, 32, 0, 0)}});
    Commands c;
    c.constant(4, {1, 2, 0, 0}).constant(5, {3, 4, 0, 0});
    send(c);
    send(packet(convolvePacket(2, 1 + 1, 2, 1, 0.5f, 3.0f, 6, 7)));
    // (10 + 2 x 20 + 3 x 80 + 4 x 160) / 2 + 3 = 468 -> 255; green (1 + 4 + 24 + 64) / 2 + 3 = 49.5.
    // Second pixel: red (20 + 80 + 480 + 4) / 2 + 3 = 295 -> 255; green (2 + 8 + 48 + 128) / 2 + 3 = 96.
    EXPECT_EQ(result(0, 3), (std::vector<uint32_t>{rgba(255, 49, 3, 3), rgba(255, 96, 3, 3), 0x5A5A5A5Au}));
}

// Horizontal taps at constant 4, vertical ones at vbuftop; zero taps past the kernel are
// skipped, so rows beyond the apron are never read.
TEST_F(FilterPrograms, SeparableRunsBothPassesAndSkipsZeroTaps)
{
    load(kSeparableImage, 201);
    source({{rgba(1, 0, 0, 0), rgba(2, 0, 0, 0), rgba(4, 0, 0, 0)}, {rgba(8, 0, 0, 0), rgba(16, 0, 0, 0), rgba(32, 0, 0, 0)}});
    Commands c;
    c.constant(4, {1, 2, 0, 0}).constant(5, {1, 10, 0, 0});
    send(c);
    // kw 2 on a 2-wide tile, one output row reading rows 0 and 1.
    send(packet(separablePacket(2, 2, 2, 1, 5, 6, 7)));
    // h(row 0) = 1 + 2 x 2 = 5, 2 + 8 = 10; h(row 1) = 8 + 32 = 40, 16 + 64 = 80; v = h0 + 10 h1.
    EXPECT_EQ(result(0, 3), (std::vector<uint32_t>{rgba(255, 0, 0, 0), rgba(255, 0, 0, 0), 0x5A5A5A5Au}));
    c = Commands();
    c.constant(5, {1, 0.25f, 0, 0});
    send(c);
    send(packet(separablePacket(2, 2, 2, 1, 5, 6, 7)));
    EXPECT_EQ(result(0, 2), (std::vector<uint32_t>{rgba(15, 0, 0, 0), rgba(30, 0, 0, 0)}));
}

// Packets a program refuses, and entries that do not run beside a filter program: a protocol
// error each, nothing written.
TEST_F(FilterPrograms, RefusedPacketsWriteNothing)
{
    const struct {
        std::string what;
        uint32_t image;
        std::function<Commands(const FilterPrograms&)> commands;
        std::string error;
    } cases[] = {
        {"matrix of 26 words", kMatrixImage,
         [](const FilterPrograms&) { return packet(std::vector<word32>(26, 0)); }, "26 data words instead of 27"},
        {"convolution into no memory", kConvolveImage,
         [](const FilterPrograms& f) {
             std::vector<word32> p = f.convolvePacket(3, 3, 4, 2, 1, 0, 7, 9);
             p[3] = 0xFFFFFF00u;
             return packet(p);
         },
         "outside GPU memory"},
        {"line buffer over the kernel", kConvolveImage,
         [](const FilterPrograms& f) { return packet(f.convolvePacket(3, 3, 4, 2, 1, 0, 6, 9)); }, "line buffers"},
        {"line buffer past constant 255", kConvolveImage,
         [](const FilterPrograms& f) { return packet(f.convolvePacket(3, 3, 200, 2, 1, 0, 7, 60)); }, "line buffers"},
        {"separable line buffer past 255", kSeparableImage,
         [](const FilterPrograms& f) { return packet(f.separablePacket(3, 3, 254, 1, 5, 6, 200)); }, "line buffers"},
        {"drawing entry after a filter", kConvolveImage,
         [](const FilterPrograms&) {
             Commands c;
             c.ctrl(LX_VP_CTRL0, 1).ctrl(LX_VP_IADDR, 0).start();
             return c;
         },
         "without the drawing microcode"},
        {"filter packet beside the drawing microcode", kDrawingImage,
         [](const FilterPrograms&) { return packet(std::vector<word32>(14, 0)); }, "takes none"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        load(c.image, c.image == kDrawingImage ? kStaticInstructions : 200);
        source({{rgba(1, 2, 3, 4)}, {rgba(5, 6, 7, 8)}, {rgba(9, 10, 11, 12)}, {rgba(1, 1, 1, 1)}});
        send(c.commands(*this));
        expectOneError(c.error);
        EXPECT_EQ(result(0, 8), std::vector<uint32_t>(8, 0x5A5A5A5Au));
    }
}

}  // namespace
}  // namespace gputest
