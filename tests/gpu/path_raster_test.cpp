// The GPU model's path drawing at register level: the drawing entries gather edges from the
// segments the library sends, the rasterizer's edge scan turns them into coverage by the fill
// rule and the anti-aliasing mode, and the constant colour lands by that coverage.
#include "path_fixture.h"

#include <cmath>
#include <functional>
#include <string>

#include "model/gpu_model.h"

namespace gputest {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The value a channel drawn white over black takes at n of `total` samples.
uint32_t share(uint32_t n, uint32_t total)
{
    return (255 * n + total / 2) / total;
}

Commands square(float left, float bottom, float size, bool clockwise = false)
{
    const float r = left + size, t = bottom + size;
    if (clockwise)
        return GpuPaths::polygon({{left, bottom}, {left, t}, {r, t}, {r, bottom}});
    return GpuPaths::polygon({{left, bottom}, {r, bottom}, {r, t}, {left, t}});
}

using PathRaster = GpuPaths;

TEST_F(PathRaster, ASquareAtWholeCoordinatesCoversExactlyItsPixels)
{
    struct Case {
        uint32_t mode;
        Route route;
        word32 flip;
        uint32_t firstRow;  // the square's rows from the top of memory
    } const cases[] = {
        {0, Route::Fifo, 0, kHeight - 40},   {4, Route::Fifo, 0, kHeight - 40},
        {8, Route::Fifo, 0, kHeight - 40},   {8, Route::Buffer, 0, kHeight - 40},
        {0, Route::Buffer, 0, kHeight - 40}, {4, Route::Fifo, kNoFlip, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.route == Route::Buffer ? " from a command buffer" : "") +
                     (c.flip ? " without flip" : ""));
        SetUp();
        quality(c.mode);
        matrix({1, 0, 0, 1, 0, 0}, c.flip);
        send(square(20, 30, 10), c.route);
        scan();
        const std::vector<uint32_t> got = coverage();
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x) {
                const bool inside = x >= 20 && x < 30 && y >= c.firstRow && y < c.firstRow + 10;
                ASSERT_EQ(at(got, x, y), inside ? 255u : 0u) << x << "," << y;
            }
    }
}

TEST_F(PathRaster, AnEdgeThroughPixelCentresIsHalfCoveredOrHardWithoutAntiAliasing)
{
    struct Case {
        uint32_t mode;
        uint32_t left, right;  // value of the columns 10 and 20
    } const cases[] = {
        {8, share(8, 16), share(8, 16)},
        {4, share(2, 4), share(2, 4)},
        {0, 255, 0},  // centres on the left edge are in, on the right edge out
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        SetUp();
        quality(c.mode);
        matrix({1, 0, 0, 1, 0, 0});
        send(square(10.5f, 10, 10));
        scan();
        const std::vector<uint32_t> got = coverage();
        for (uint32_t y = row(19); y <= row(10); ++y) {
            EXPECT_EQ(at(got, 9, y), 0u);
            EXPECT_EQ(at(got, 10, y), c.left);
            for (uint32_t x = 11; x < 20; ++x)
                ASSERT_EQ(at(got, x, y), 255u);
            EXPECT_EQ(at(got, 20, y), c.right);
            EXPECT_EQ(at(got, 21, y), 0u);
        }
        EXPECT_NEAR(coveredPixels(got), 10 * (9 + (c.left + c.right) / 255.0), 1e-9);
    }
}

TEST_F(PathRaster, FillRulesDecideOverlapsAndHoles)
{
    // A five-pointed star drawn in one stroke winds twice around its centre.
    std::vector<std::pair<float, float>> star;
    for (int i = 0; i < 5; ++i) {
        const double a = kPi / 2 + i * 4 * kPi / 5;
        star.push_back({float(64 + 40 * std::cos(a)), float(48 + 40 * std::sin(a))});
    }
    Commands sameWay = square(24, 8, 80);
    for (const auto& p : square(44, 28, 40).packets)
        sameWay.packets.push_back(p);
    Commands opposite = square(24, 8, 80);
    for (const auto& p : square(44, 28, 40, true).packets)
        opposite.packets.push_back(p);
    struct Case {
        const char* name;
        Commands path;
        bool evenOdd;
        bool centre;  // the pixel at (64, 48)
        float ringX, ringY;  // a point inside once
    } const cases[] = {
        {"star, non-zero", polygon(star), false, true, 64, 80},
        {"star, even-odd", polygon(star), true, false, 64, 80},
        {"nested squares the same way, non-zero", sameWay, false, true, 30, 48},
        {"nested squares the same way, even-odd", sameWay, true, false, 30, 48},
        {"nested squares opposite ways, non-zero", opposite, false, false, 30, 48},
        {"nested squares opposite ways, even-odd", opposite, true, false, 30, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        quality(0, c.evenOdd);
        matrix({1, 0, 0, 1, 0, 0});
        send(c.path);
        scan();
        const std::vector<uint32_t> got = coverage();
        EXPECT_EQ(at(got, 64, row(48)), c.centre ? 255u : 0u);
        EXPECT_EQ(at(got, uint32_t(c.ringX), row(c.ringY)), 255u);
    }
}

TEST_F(PathRaster, ACircleOfFourCubicsCoversItsAreaSymmetrically)
{
    const float r = 40, cx = 64, cy = 48, k = 0.5522847498f * r;
    const Commands circle = Commands().list(kCubicEntry, {
                                                             {cx + r, cy, cx + r, cy + k, cx + k, cy + r, cx, cy + r},
                                                             {cx, cy + r, cx - k, cy + r, cx - r, cy + k, cx - r, cy},
                                                             {cx - r, cy, cx - r, cy - k, cx - k, cy - r, cx, cy - r},
                                                             {cx, cy - r, cx + k, cy - r, cx + r, cy - k, cx + r, cy},
                                                         });
    for (uint32_t mode : {8u, 4u}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        SetUp();
        quality(mode);
        matrix({1, 0, 0, 1, 0, 0});
        send(circle);
        scan();
        const std::vector<uint32_t> got = coverage();
        EXPECT_NEAR(coveredPixels(got), kPi * r * r, 0.005 * kPi * r * r);
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x) {
                // Mirrored about x = 64 and about the row boundary at user y = 48.
                ASSERT_EQ(at(got, x, y), at(got, 127 - x, y)) << x << "," << y;
                ASSERT_EQ(at(got, x, y), at(got, x, 95 - y)) << x << "," << y;
            }
    }
}

// An elliptical arc with radii 30 and 20 over a 40-unit horizontal chord, closed by a line:
// in the circle the ellipse maps to, the chord spans the angle t = 2 asin(2 / 3), and the
// small segment's area is (t - sin t) / 2 x 30 x 20.
TEST_F(PathRaster, TheFourArcKindsFillTheirSegmentOfTheEllipse)
{
    const double t = 2 * std::asin(2.0 / 3.0);
    const double small = (t - std::sin(t)) / 2 * 600, large = kPi * 600 - small;
    struct Case {
        float kind;
        double area;
        bool below;  // the region lies below the chord (user y < 48)
    } const cases[] = {{9, small, true}, {10, small, false}, {11, large, true}, {12, large, false}};
    struct Rotation {
        const char* name;
        float rh, rv, cosRot, sinRot;
    } const rotations[] = {{"unrotated", 30, 20, 1, 0}, {"turned by 90 degrees", 20, 30, 0, 1}};
    for (const Rotation& rot : rotations)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(rot.name) + ", kind " + std::to_string(int(c.kind)));
            SetUp();
            send(Commands()
                     .list(kArcEntry, {{44, 48, 84, 48, 40, 0, rot.rh, rot.rv, rot.cosRot, rot.sinRot, c.kind}})
                     .list(kLineEntry, {{84, 48, 44, 48}}));
            scan();
            const std::vector<uint32_t> got = coverage();
            // The pieces stay within 0.06 of the arc, inside it.
            EXPECT_NEAR(coveredPixels(got), c.area, 0.01 * c.area + 2);
            EXPECT_EQ(at(got, 64, row(c.below ? 44 : 52)), 255u);
            EXPECT_EQ(at(got, 64, row(c.below ? 52 : 44)), 0u);
        }
}

TEST_F(PathRaster, AnArcWithAZeroRadiusOrRadiiTooSmallStillJoinsItsEnds)
{
    const auto triangle = [](const std::vector<float>& hypotenuse, word32 entry) {
        return Commands().list(kLineEntry, {{10, 10, 50, 10}, {10, 50, 10, 10}}).list(entry, {hypotenuse});
    };
    SetUp();
    send(triangle({50, 10, 10, 50}, kLineEntry));
    scan();
    const std::vector<uint32_t> asLine = coverage();
    EXPECT_NEAR(coveredPixels(asLine), 800, 6);

    SetUp();
    send(triangle({50, 10, 10, 50, -40, 40, 0, 25, 1, 0, 10}, kArcEntry));
    scan();
    EXPECT_EQ(coverage(), asLine);

    // Radii of 1 grow until the arc is the half ellipse over the chord.
    SetUp();
    send(triangle({50, 10, 10, 50, -40, 40, 1, 1, 1, 0, 9}, kArcEntry));
    scan();
    const double halfDisc = kPi * 800 / 2;
    EXPECT_NEAR(coveredPixels(coverage()), 800 + halfDisc, 0.01 * (800 + halfDisc));
}

TEST_F(PathRaster, EdgesGatherUntilTheScanWhichUsesThemUp)
{
    struct Case {
        const char* name;
        std::function<void(GpuPaths&)> between;  // after the square's edges, before the scan
        double drawn;
    } const cases[] = {
        {"scanned", [](GpuPaths&) {}, 100},
        {"two lists gather", [](GpuPaths& t) { t.send(square(60, 30, 10)); }, 200},
        {"LX_XPT_INIT drops them", [](GpuPaths&) { cglWriteXPTReg1(LX_XPT_INIT, 3); }, 0},
        {"a scan before uses them up",
         [](GpuPaths& t) {
             scan();
             t.setTarget(kWidth);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        send(square(20, 30, 10));
        c.between(*this);
        scan();
        EXPECT_EQ(coveredPixels(coverage()), c.drawn);
        EXPECT_EQ(cglReadMemReg32(LX_INTR_STAT) & 0x40u, 0u);
    }
}

// Ten thin triangles side by side put twenty edges on each of their rows.
TEST_F(PathRaster, TheMostCrossingsOfARowAreKeptAndTooManyDrawNothing)
{
    Commands teeth;
    for (int i = 0; i < 10; ++i)
        for (const auto& p : polygon({{10.0f + 8 * i, 10}, {14.0f + 8 * i, 10}, {12.0f + 8 * i, 60}}).packets)
            teeth.packets.push_back(p);
    struct Case {
        word32 xsize, numMaxBefore, numMaxAfter;
        bool overflow;
    } const cases[] = {{20, 0, 20, false}, {19, 0, 20, true}, {1024, 25, 25, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("XSIZE " + std::to_string(c.xsize) + ", NUMMAX " + std::to_string(c.numMaxBefore));
        SetUp();
        cglWriteMemReg32(LX_INTR_CLEAR, 0xFFFFFFFFu);
        cglWriteXPTReg1(LX_XPT_XSIZE, c.xsize);
        cglWriteXPTReg1(LX_XPT_NUMMAX, c.numMaxBefore);
        send(teeth);
        scan();
        EXPECT_EQ(gpu.reg(Unit::XPT, LX_XPT_NUMMAX), c.numMaxAfter);
        EXPECT_EQ(cglReadMemReg32(LX_INTR_STAT) & 0x40u, c.overflow ? 0x40u : 0u);
        EXPECT_NEAR(coveredPixels(coverage()), c.overflow ? 0 : 10 * 4 * 50 / 2, c.overflow ? 0 : 15);
    }
}

TEST_F(PathRaster, DerivedMatricesChangeOnlyWhenTheirEntryRuns)
{
    // New path rows without entry 0 leave the square where the old matrix put it.
    send(Commands()
             .constant(LX_VCNST_OVG_PU2S1, {1, 0, 50})
             .constant(LX_VCNST_OVG_PU2S2, {0, 1, 0}));
    send(square(20, 30, 10));
    scan();
    EXPECT_EQ(at(coverage(), 25, row(35)), 255u);
    EXPECT_EQ(at(coverage(), 75, row(35)), 0u);

    SetUp();
    send(Commands().constant(LX_VCNST_OVG_PU2S1, {1, 0, 50}).constant(LX_VCNST_OVG_PU2S2, {0, 1, 0}).run(0, 1));
    send(square(20, 30, 10));
    scan();
    EXPECT_EQ(at(coverage(), 25, row(35)), 0u);
    EXPECT_EQ(at(coverage(), 75, row(35)), 255u);

    // A new anti-aliasing scale counts from the next run of entry 0 too: the square drawn at
    // the old scale of 4 in mode 0 lands four times as far out.
    SetUp();
    matrix({1, 0, 0, 1, 0, 0}, kNoFlip);
    quality(0);
    send(square(5, 5, 5));
    scan();
    EXPECT_EQ(coveredPixels(coverage()), 400);

    // The paint matrices compose the paint rows with the path matrix when entry 21 or entry
    // 0's paint bits run.
    SetUp();
    const simgpu::VpDerived& d = gpu.model().vertexProcessor().derived();
    send(Commands()
             .constant(LX_VCNST_OVG_FP2U1, {2, 0, 3})
             .constant(LX_VCNST_OVG_FP2U2, {0, 2, 5})
             .constant(LX_VCNST_OVG_SP2U1, {1, 0, 7})
             .constant(LX_VCNST_OVG_SP2U2, {0, 1, 0})
             .run(21, 1));
    EXPECT_EQ(d.fillPaint.m.apply({1, 1}).x, 5);
    EXPECT_EQ(d.fillPaint.m.apply({1, 1}).y, kHeight - 7.0);
    send(Commands().constant(LX_VCNST_OVG_FP2U1, {1, 0, 0}).run(0, 4));
    EXPECT_EQ(d.fillPaint.m.apply({1, 1}).x, 5) << "entry 21 did not run";
    EXPECT_EQ(d.strokePaintToDevice.m.apply({1, 1}).x, 8);
    send(Commands().run(0, 2).run(21, 2));
    EXPECT_EQ(d.fillPaintToDevice.m.apply({1, 1}).x, 1);
    EXPECT_EQ(d.strokePaint.m.apply({1, 1}).x, 8);
}

TEST_F(PathRaster, AMultisampledTargetGetsEachCoveredSample)
{
    setTarget(kWidth, 4);
    quality(36);
    matrix({1, 0, 0, 1, 0, 0}, kNoFlip);
    send(square(10.5f, 10, 10));
    scan();
    const std::vector<uint32_t> got = coverage();
    const uint32_t line = kWidth * 4;
    for (uint32_t s = 0; s < 4; ++s) {
        // Sample i + 2 j sits at (x + 0.25 + 0.5 i, y + 0.25 + 0.5 j).
        EXPECT_EQ(got[15 * line + 10 * 4 + s], s % 2 ? 255u : 0u) << "sample " << s;
        EXPECT_EQ(got[15 * line + 15 * 4 + s], 255u) << "sample " << s;
        EXPECT_EQ(got[15 * line + 20 * 4 + s], s % 2 ? 0u : 255u) << "sample " << s;
    }
    EXPECT_NEAR(coveredPixels(got), 4 * 100, 1e-6);
}

TEST_F(PathRaster, CoverageBlendsIntoWhatTheTargetHeldUnderMaskAndScissor)
{
    // Over a grey of 0x40, half coverage of white is 0x40 + (0xFF - 0x40) / 2 rounded; the
    // channel mask keeps alpha, the scissor stops at column 14.
    std::vector<word32> grey(kWidth * kHeight, 0x40404040u);
    cglWriteMemory32A(target(), grey.data(), static_cast<word32>(grey.size()));
    cglWritePEReg1(LX_PE_OVG_CH_MASK, 1);
    const word32 rect[] = {0 | 0u << 16, (kHeight - 1) | 14u << 16};
    cglWriteRZRegs(LX_RZ_SCI_RECT_LT00, rect, 2);
    cglWriteRZReg1(LX_RZ_SCI_ENABLE, 1);
    send(square(10.5f, 10, 10));
    scan();
    std::vector<word32> words(kWidth * kHeight);
    cglReadMemory32A(target(), words.data(), static_cast<word32>(words.size()));
    const simgpu::PixelFormat& f = *simgpu::pixelFormat(0);
    const uint32_t half = (0x40 * 8 + 0xFF * 8 + 8) / 16;
    EXPECT_EQ(simgpu::unpackColour(f, words[row(15) * kWidth + 10]), half * 0x01010100u | 0x40u);
    EXPECT_EQ(simgpu::unpackColour(f, words[row(15) * kWidth + 14]), 0xFFFFFF40u);
    EXPECT_EQ(simgpu::unpackColour(f, words[row(15) * kWidth + 15]), 0x40404040u);
}

TEST_F(PathRaster, InImageModeTheScanStartsAtTheNextEdgeUnitWrite)
{
    cglWriteXPTReg1(LX_XPT_MODE, 8 | 64);
    send(square(20, 30, 10));
    cglWriteXPTReg1(LX_XPT_EDGE_SCAN_START, 1);
    EXPECT_EQ(coveredPixels(coverage()), 0);
    cglWriteXPTReg1(LX_XPT_SYNC, 0);
    EXPECT_EQ(coveredPixels(coverage()), 100);
    cglWriteXPTReg1(LX_XPT_INIT, 2);
}

TEST_F(PathRaster, SegmentsWithValuesOutOfRangeAreDropped)
{
    const float inf = INFINITY, nan = NAN;
    send(Commands()
             .list(kLineEntry, {{20, 30, 30, 30}, {30, 30, nan, 40}, {30, 30, 30, 40}, {30, 40, 20, 40}, {20, 40, 20, 30}})
             .list(kQuadEntry, {{60, 60, 60, inf, 70, 70}})
             .list(kCubicEntry, {{60, 60, 70, 60, 70, -inf, 80, 70}})
             .list(kArcEntry, {{60, 60, 70, 70, 10, 10, nan, 5, 1, 0, 9}})
             // far right of every sample, where it changes no winding
             .list(kLineEntry, {{3e38f, 0, 3e38f, 90}}));
    scan();
    EXPECT_EQ(coveredPixels(coverage()), 100);
}

// A parabola over the chord from (10, 10) to (90, 10) with its top at y = 50 covers 2/3 of
// its 80 x 40 box; the half disc of radius 20 over (80, 40) to (120, 40) half of 400 pi.
TEST_F(PathRaster, ZeroThresholdsCutCurvesIntoTheMostPiecesAndStillDrawThem)
{
    send(Commands()
             .constant(LX_VCNST_OVG_DIV_FILL_TH1, {0, 0, 1, 1})
             .constant(LX_VCNST_OVG_DIV_FILL_TH2, {0, 0})
             .constant(LX_VCNST_OVG_DIV_ANGLE, {1, 1, 1, 1})
             .list(kQuadEntry, {{10, 10, 50, 90, 90, 10}})
             .list(kArcEntry, {{120, 40, 80, 40, -40, 0, 20, 20, 1, 0, 9}})
             .list(kLineEntry, {{90, 10, 10, 10}, {80, 40, 120, 40}}));
    scan();
    const double area = 80 * 40 * 2 / 3.0 + 200 * kPi;
    EXPECT_NEAR(coveredPixels(coverage()), area, 0.005 * area);
}

TEST_F(PathRaster, WhatTheModelDoesNotKnowIsAProtocolError)
{
    struct Case {
        const char* name;
        std::function<void(GpuPaths&)> act;
        const char* error;
    } const cases[] = {
        {"an entry after a filter's microcode",
         [](GpuPaths& t) {
             t.loadMicrocode(78);
             t.send(Commands().list(kLineEntry, {{20, 30, 20, 40}}));
         },
         "without the drawing microcode"},
        {"an entry after a DMA over part of the static part",
         [](GpuPaths& t) {
             t.loadMicrocode(kStaticInstructions - 1);
             t.send(Commands().run(0, 1));
         },
         "without the drawing microcode"},
        {"an unknown entry", [](GpuPaths& t) { t.send(Commands().run(49, 0)); }, "unknown entry"},
        {"a segment entry without data",
         [](GpuPaths& t) { t.send(Commands().ctrl(LX_VP_IADDR, kLineEntry).start()); }, "without segment data"},
        {"data for entry 0", [](GpuPaths& t) { t.send(Commands().list(0, {{1, 2}})); }, "takes none"},
        {"a line of five words", [](GpuPaths& t) { t.send(Commands().list(kLineEntry, {{1, 2, 3, 4, 5}})); },
         "5 data words instead of 4"},
        {"an unknown arc kind",
         [](GpuPaths& t) { t.send(Commands().list(kArcEntry, {{1, 2, 3, 4, 2, 2, 5, 5, 1, 0, 13}})); },
         "unknown arc kind"},
        {"unknown control bits", [](GpuPaths& t) { t.send(Commands().run(21, 4)); }, "unknown bits"},
        {"a negative threshold",
         [](GpuPaths& t) {
             t.send(Commands().constant(LX_VCNST_OVG_DIV_FILL_TH2, {-1}).list(kQuadEntry, {{1, 2, 3, 4, 5, 1}}));
         },
         "not distances"},
        {"a threshold that is not a number",
         [](GpuPaths& t) {
             t.send(Commands().constant(LX_VCNST_OVG_DIV_FILL_TH1, {NAN}).list(kCubicEntry, {{1, 2, 3, 4, 5, 1, 7, 8}}));
         },
         "not distances"},
        {"an angle that has no cosine",
         [](GpuPaths& t) {
             t.send(Commands().constant(LX_VCNST_OVG_DIV_ANGLE, {2}).list(kArcEntry, {{1, 2, 3, 4, 2, 2, 5, 5, 1, 0, 9}}));
         },
         "no cosine"},
        {"a scale of zero", [](GpuPaths& t) { t.send(Commands().constant(LX_VCNST_OVG_AASCALE, {0}).run(0, 1)); },
         "no scale"},
        {"an unknown edge mode", [](GpuPaths&) { cglWriteXPTReg1(LX_XPT_MODE, 12); }, "XPT register 96"},
        {"anti-aliasing without the PE's coverage unit",
         [](GpuPaths&) { cglWritePEReg1(LX_PE_OVG_AALIAS_EN, 0); }, "without LX_PE_OVG_AALIAS_EN 3"},
        {"an unknown coverage setting", [](GpuPaths&) { cglWritePEReg1(LX_PE_OVG_AALIAS_EN, 1); }, "AALIAS_EN"},
        {"the multisampled mode on a plain target", [](GpuPaths& t) { t.quality(36); }, "is not modelled"},
        {"a window past the line", [](GpuPaths&) { cglWriteXPTReg1(LX_XPT_SCI_XR, 100000); }, "beyond the line"},
        {"a window past GPU memory", [](GpuPaths&) { cglWriteXPTReg1(LX_XPT_SCI_YB, 0x7FFFFFFF); },
         "outside GPU memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        send(square(60, 30, 10));
        cglWriteXPTReg1(LX_XPT_INIT, 3);
        c.act(*this);
        scan();
        expectOneError(c.error);
        EXPECT_EQ(coveredPixels(coverage()), 0);
    }
}

}  // namespace
}  // namespace gputest
