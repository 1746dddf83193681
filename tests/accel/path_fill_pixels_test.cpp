// Filled paths through the public entry points, on the GPU model: exact coverage of squares in
// every rendering quality, partial coverage of a half-pixel edge, both fill rules, curves, arcs
// and the closing of open subpaths, coordinate conversion, and the caching of the fill lists
// with the path (reuse under a new matrix, rebuild for new data, heap lists replayed through the
// command FIFO, the slow path when lists cannot be had, GPU-resident lists handed over in
// chunks).
#include <VG/openvg.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_path.h"
#include "vg/common/vg_heap.h"
#include "vg/common/vg_share.h"
#include "refusing_allocator.h"
#include "vgsurfacefixture.h"

namespace {

using vnq::test::VgSurfaceSpec;

constexpr EGLint kRgb565 = 1, kRgba8888 = 7;
constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0x000000FF;

struct Surface {
    const char* name;
    VgSurfaceSpec spec;
};

const Surface kSurfaces[] = {
    {"565 window", {kRgb565, 64, 48, true}},
    {"8888 pbuffer", {kRgba8888, 64, 48, false}},
};

const VGRenderingQuality kQualities[] = {VG_RENDERING_QUALITY_NONANTIALIASED, VG_RENDERING_QUALITY_FASTER,
                                         VG_RENDERING_QUALITY_BETTER};

using vnq::test::Refuse;
using vnq::test::RefusingAllocator;

class PathFill : public vnq::test::VgSurfaceTest {
protected:
    VGPaint paint = VG_INVALID_HANDLE;

    // A black surface and a white fill paint.
    void start(const VgSurfaceSpec& spec, VGRenderingQuality quality = VG_RENDERING_QUALITY_BETTER)
    {
        makeCurrent(spec);
        const VGfloat black[4] = {0, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, black);
        vgClear(0, 0, width, height);
        paint = vgCreatePaint();
        vgSetColor(paint, kWhite);
        vgSetPaint(paint, VG_FILL_PATH);
        vgSeti(VG_RENDERING_QUALITY, quality);
        vgLoadIdentity();
    }

    static VGPath floatPath(const std::vector<VGubyte>& segments, const std::vector<float>& data)
    {
        const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0,
                                      VG_PATH_CAPABILITY_ALL);
        vgAppendPathData(p, VGint(segments.size()), segments.data(), data.data());
        return p;
    }

    static std::vector<float> squareData(float x, float y, float size)
    {
        return {x, y, x + size, y, x + size, y + size, x, y + size};
    }

    static VGPath square(float x, float y, float size)
    {
        return floatPath({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH},
                         squareData(x, y, size));
    }

    static ALpath* lists(VGPath p)
    {
        return static_cast<ALpath*>(VGFUNC_FindPath(VGVAL_vgcurrentcontexthandle->sharedState, p)->aldep);
    }

    // The red channel (0..255) at OpenVG (x, y): white paint on black gives the coverage.
    int red(int x, int y) { return int(pixel(x, y) >> 24); }

    // The pixels that are not black, and the sum of their red channels.
    std::vector<std::pair<int, int>> lit()
    {
        vgFinish();
        std::vector<std::pair<int, int>> out;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixel(x, y) != kBlack)
                    out.emplace_back(x, y);
        return out;
    }

    double coverageSum()
    {
        double sum = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                sum += red(x, y) / 255.0;
        return sum;
    }

    // The command master's hand-overs (LX_CM_ADDR, LX_CM_WCOUNT) in the log.
    std::vector<std::pair<word32, word32>> handOvers() const
    {
        std::vector<std::pair<word32, word32>> out;
        for (const simgpu::Event& e : gpu.log())
            if (e.stream == simgpu::Stream::Mmio && e.kind == simgpu::Kind::Write && e.unit == simgpu::Unit::Mem) {
                if (e.reg == LX_CM_ADDR)
                    out.emplace_back(e.value, 0);
                else if (e.reg == LX_CM_WCOUNT && !out.empty())
                    out.back().second = e.value;
            }
        return out;
    }

    bool handedOver(word32 address) const
    {
        for (const auto& h : handOvers())
            if (h.first == address)
                return true;
        return false;
    }

    // No error was recorded; the paint goes.
    void release()
    {
        if (paint != VG_INVALID_HANDLE)
            vgDestroyPaint(paint);
        paint = VG_INVALID_HANDLE;
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
    }

    // The end of one case of a table: the display goes too.
    void finish()
    {
        release();
        terminate();
    }

    void TearDown() override
    {
        if (VGVAL_vgcurrentcontexthandle)
            release();
        VgSurfaceTest::TearDown();
    }
};

TEST_F(PathFill, ASquareAtWholeCoordinatesCoversExactlyItsPixelsInEveryQuality)
{
    for (const Surface& s : kSurfaces)
        for (VGRenderingQuality q : kQualities) {
            SCOPED_TRACE(std::string(s.name) + " quality " + std::to_string(q));
            start(s.spec, q);
            const VGPath p = square(10, 10, 10);
            vgDrawPath(p, VG_FILL_PATH);
            const auto pixels = lit();
            EXPECT_EQ(pixels.size(), 100u);
            for (const auto& xy : pixels) {
                EXPECT_TRUE(xy.first >= 10 && xy.first < 20 && xy.second >= 10 && xy.second < 20)
                    << xy.first << "," << xy.second;
                EXPECT_EQ(pixel(xy.first, xy.second), kWhite);
            }
            vgDestroyPath(p);
            finish();
        }
}

TEST_F(PathFill, AnEdgeThroughPixelCentresHalfCoversItsColumn)
{
    const struct {
        VGRenderingQuality quality;
        bool hard;
    } table[] = {{VG_RENDERING_QUALITY_NONANTIALIASED, true},
                 {VG_RENDERING_QUALITY_FASTER, false},
                 {VG_RENDERING_QUALITY_BETTER, false}};
    for (const auto& row : table) {
        SCOPED_TRACE("quality " + std::to_string(row.quality));
        start(kSurfaces[1].spec, row.quality);
        const VGPath p = square(10.5f, 10, 10);
        vgDrawPath(p, VG_FILL_PATH);
        for (int y = 10; y < 20; ++y) {
            EXPECT_EQ(pixel(11, y), kWhite);
            EXPECT_EQ(pixel(19, y), kWhite);
            if (row.hard) {
                EXPECT_TRUE(red(10, y) == 0 || red(10, y) == 255) << red(10, y);
                EXPECT_EQ(red(10, y) + red(20, y), 255);
            } else {
                EXPECT_NEAR(red(10, y), 128, 1);
                EXPECT_NEAR(red(20, y), 128, 1);
            }
        }
        vgDestroyPath(p);
        finish();
    }
}

TEST_F(PathFill, FillRulesDecideTheInnerAreas)
{
    // A pentagram around (32, 24) and two nested squares, the inner one drawn either way round.
    std::vector<float> star;
    for (int i = 0; i < 5; ++i) {
        const double a = -3.14159265358979 / 2 + i * 4 * 3.14159265358979 / 5;
        star.push_back(float(32 + 20 * std::cos(a)));
        star.push_back(float(24 + 20 * std::sin(a)));
    }
    const std::vector<VGubyte> starSegments{VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS,
                                            VG_LINE_TO_ABS, VG_CLOSE_PATH};
    const std::vector<VGubyte> twoSquares{VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS,
                                          VG_CLOSE_PATH,  VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS,
                                          VG_LINE_TO_ABS, VG_CLOSE_PATH};
    std::vector<float> same = squareData(10, 10, 30), inner = squareData(20, 20, 10);
    same.insert(same.end(), inner.begin(), inner.end());
    std::vector<float> opposite = squareData(10, 10, 30);
    const std::vector<float> reversed{20, 20, 20, 30, 30, 30, 30, 20};
    opposite.insert(opposite.end(), reversed.begin(), reversed.end());

    const struct {
        const char* name;
        const std::vector<VGubyte>& segments;
        const std::vector<float>& data;
        VGFillRule rule;
        int innerX, innerY;  // a point of the inner area
        bool filled;
        int outerX, outerY;  // a point covered once, filled under both rules
    } table[] = {
        {"pentagram even-odd", starSegments, star, VG_EVEN_ODD, 32, 25, false, 32, 8},
        {"pentagram non-zero", starSegments, star, VG_NON_ZERO, 32, 25, true, 32, 8},
        {"same direction even-odd", twoSquares, same, VG_EVEN_ODD, 25, 25, false, 12, 12},
        {"same direction non-zero", twoSquares, same, VG_NON_ZERO, 25, 25, true, 12, 12},
        {"opposite direction even-odd", twoSquares, opposite, VG_EVEN_ODD, 25, 25, false, 12, 12},
        {"opposite direction non-zero", twoSquares, opposite, VG_NON_ZERO, 25, 25, false, 12, 12},
    };
    for (const Surface& s : kSurfaces)
        for (const auto& row : table) {
            SCOPED_TRACE(std::string(s.name) + ": " + row.name);
            start(s.spec);
            vgSeti(VG_FILL_RULE, row.rule);
            const VGPath p = floatPath(row.segments, row.data);
            vgDrawPath(p, VG_FILL_PATH);
            EXPECT_EQ(pixel(row.innerX, row.innerY), row.filled ? kWhite : kBlack);
            EXPECT_EQ(pixel(row.outerX, row.outerY), kWhite);
            EXPECT_EQ(pixel(2, 2), kBlack);
            vgDestroyPath(p);
            finish();
        }
}

TEST_F(PathFill, ACircleOfFourCubicsCoversItsAreaSymmetrically)
{
    constexpr float r = 40, cx = 60, cy = 50, k = 0.5522847498f * r;
    start({kRgba8888, 120, 100, false});
    const VGPath p = floatPath(
        {VG_MOVE_TO_ABS, VG_CUBIC_TO_ABS, VG_CUBIC_TO_ABS, VG_CUBIC_TO_ABS, VG_CUBIC_TO_ABS, VG_CLOSE_PATH},
        {cx + r, cy,     cx + r, cy + k, cx + k, cy + r, cx,     cy + r, cx - k, cy + r, cx - r, cy + k,
         cx - r, cy,     cx - r, cy - k, cx - k, cy - r, cx,     cy - r, cx + k, cy - r, cx + r, cy - k, cx + r, cy});
    vgDrawPath(p, VG_FILL_PATH);
    EXPECT_NEAR(coverageSum(), 3.14159265 * r * r, 0.005 * 3.14159265 * r * r);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x) {
            ASSERT_NEAR(red(x, y), red(width - 1 - x, y), 2) << x << "," << y;
            ASSERT_NEAR(red(x, y), red(x, height - 1 - y), 2) << x << "," << y;
        }
    vgDestroyPath(p);
}

TEST_F(PathFill, OpenSubpathsAreClosedAndMovesAloneDrawNothing)
{
    start(kSurfaces[0].spec);
    const VGPath open = floatPath({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS},
                                  squareData(10, 10, 10));
    vgDrawPath(open, VG_FILL_PATH);
    EXPECT_EQ(lit().size(), 100u);

    // Only moves: four empty lists, nothing handed over, and the scan still starts.
    const VGPath moves = floatPath({VG_MOVE_TO_ABS, VG_MOVE_TO_ABS}, {30, 30, 40, 40});
    gpu.clearLog();
    vgDrawPath(moves, VG_FILL_PATH);
    vgFinish();
    EXPECT_EQ(lists(moves)->fill_line_cmd_count, 0);
    size_t scans = 0;
    for (const gputest::RegValue& w : fetched(simgpu::Unit::XPT))
        scans += w == gputest::RegValue{LX_XPT_SWAP, 60};
    EXPECT_EQ(scans, 1u);
    EXPECT_EQ(lit().size(), 100u);
    vgDestroyPath(open);
    vgDestroyPath(moves);
}

TEST_F(PathFill, ArcsFillTheirEllipsesAndAZeroRadiusFillsAsALine)
{
    start({kRgba8888, 64, 64, false});
    // A half disc of radius 10 closed by its diameter: the arc from (22, 32) to (42, 32).
    const VGPath half = floatPath({VG_MOVE_TO_ABS, VG_SCCWARC_TO_ABS, VG_CLOSE_PATH}, {22, 32, 10, 10, 0, 42, 32});
    vgDrawPath(half, VG_FILL_PATH);
    const double area = coverageSum();
    EXPECT_NEAR(area, 3.14159265 * 100 / 2, 3.14159265 * 100 / 2 * 0.02);
    // Exactly one side of the diameter is covered.
    EXPECT_NE(pixel(32, 27) == kWhite, pixel(32, 37) == kWhite);
    vgDestroyPath(half);

    // A triangle whose second side is an arc of radius 0: the same pixels as with a line.
    vgClear(0, 0, width, height);
    const VGPath flat = floatPath({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LCWARC_TO_ABS, VG_CLOSE_PATH},
                                  {10, 10, 40, 10, 0, 5, 30, 40, 40});
    vgDrawPath(flat, VG_FILL_PATH);
    const auto arcPixels = lit();
    vgClear(0, 0, width, height);
    const VGPath lined = floatPath({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH},
                                   {10, 10, 40, 10, 40, 40});
    vgDrawPath(lined, VG_FILL_PATH);
    EXPECT_EQ(lit(), arcPixels);
    EXPECT_GT(arcPixels.size(), 400u);
    vgDestroyPath(flat);
    vgDestroyPath(lined);
}

TEST_F(PathFill, SmallIntegerDataIsScaledAndBiased)
{
    start(kSurfaces[0].spec);
    const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_S_8, 0.5f, 1, 0, 0, VG_PATH_CAPABILITY_ALL);
    const VGubyte segments[] = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH};
    const int8_t data[] = {18, 18, 38, 18, 38, 38, 18, 38};  // 10 .. 20 after v x 0.5 + 1
    vgAppendPathData(p, 5, segments, data);
    vgDrawPath(p, VG_FILL_PATH);
    const auto pixels = lit();
    ASSERT_EQ(pixels.size(), 100u);
    EXPECT_EQ(pixels.front(), std::make_pair(10, 10));
    EXPECT_EQ(pixels.back(), std::make_pair(19, 19));
    vgDestroyPath(p);
}

TEST_F(PathFill, TheListsAreReusedUnderANewMatrixAndRebuiltForNewData)
{
    start(kSurfaces[1].spec);
    const VGPath p = square(10, 10, 10);
    vgDrawPath(p, VG_FILL_PATH);
    const ALpath* al = lists(p);
    ASSERT_EQ(al->fill_cmd_target, 1);
    const word32 address = al->fill_line_cmd.gpu;
    EXPECT_EQ(al->fill_line_cmd_count, 2 + 5 * 4);  // one entry write, four lines

    const struct {
        const char* name;
        void (*transform)();
        int x, y;  // a pixel inside the moved square
    } moves[] = {
        {"translated", [] { vgTranslate(20, 5); }, 35, 20},
        {"scaled", [] { vgScale(2, 2); }, 35, 35},
        {"rotated", [] { vgTranslate(60, 0); vgRotate(90); }, 45, 15},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.name);
        vgClear(0, 0, width, height);
        vgLoadIdentity();
        m.transform();
        gpu.clearLog();
        vgDrawPath(p, VG_FILL_PATH);
        EXPECT_EQ(pixel(m.x, m.y), kWhite);
        EXPECT_EQ(pixel(15, 15), kBlack);
        EXPECT_EQ(al->fill_line_cmd.gpu, address);  // not rebuilt
        EXPECT_TRUE(handedOver(address));
    }

    // New data drops the lists and builds them again.
    const VGubyte more[] = {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH};
    const float triangle[] = {40, 40, 50, 40, 50, 45};
    vgAppendPathData(p, 4, more, triangle);
    vgLoadIdentity();
    vgDrawPath(p, VG_FILL_PATH);
    EXPECT_EQ(al->fill_line_cmd_count, 2 + 5 * 7);
    vgDestroyPath(p);
}

TEST_F(PathFill, HeapListsAndTheSlowPathDrawTheSamePixelsAsGpuLists)
{
    const std::vector<VGubyte> segments{VG_MOVE_TO_ABS, VG_QUAD_TO_ABS, VG_CUBIC_TO_ABS, VG_SCCWARC_TO_ABS,
                                        VG_LINE_TO_ABS, VG_CLOSE_PATH};
    const std::vector<float> data{10, 10, 40, 0, 50, 20, 55, 30, 40, 40, 30, 40, 8, 8, 0, 14, 40, 10, 30};
    start(kSurfaces[1].spec);
    const VGPath p = floatPath(segments, data);
    vgDrawPath(p, VG_FILL_PATH);
    ASSERT_EQ(lists(p)->fill_cmd_target, 1);
    const auto reference = lit();
    ASSERT_GT(reference.size(), 500u);

    // Work memory used up: the lists stay on the heap and go through the command FIFO.
    std::vector<word32> taken;
    for (word32 a; (a = VGALFUNC_VAlloc(4096, 64, 32, 32, 0, 0, 0)) != CGL_NO_ADDRESS;)
        taken.push_back(a);
    for (word32 a; (a = VGALFUNC_VAlloc(256, 1, 32, 32, 0, 0, 0)) != CGL_NO_ADDRESS;)
        taken.push_back(a);
    const VGPath heap = floatPath(segments, data);
    vgClear(0, 0, width, height);
    vgDrawPath(heap, VG_FILL_PATH);
    EXPECT_EQ(lists(heap)->fill_cmd_target, 0);
    EXPECT_GT(lists(heap)->fill_quad_cmd_count, 0);
    EXPECT_EQ(lit(), reference);
    vgClear(0, 0, width, height);
    vgDrawPath(heap, VG_FILL_PATH);  // replayed from the heap
    EXPECT_EQ(lit(), reference);
    for (word32 a : taken)
        VGALFUNC_VFree(a);

    // The slow path: no list can be had, or one cannot grow during the walk (a 48-gon puts 242
    // words in the line list); the segments are streamed in path order and nothing is cached.
    std::vector<VGubyte> polygonSegments{VG_MOVE_TO_ABS};
    std::vector<float> polygon{52, 24};
    for (int i = 1; i < 48; ++i) {
        polygonSegments.push_back(VG_LINE_TO_ABS);
        polygon.insert(polygon.end(), {float(32 + 20 * std::cos(i * 3.14159265358979 / 24)),
                                       float(24 + 20 * std::sin(i * 3.14159265358979 / 24))});
    }
    polygonSegments.push_back(VG_CLOSE_PATH);
    const VGPath cachedPolygon = floatPath(polygonSegments, polygon);
    vgClear(0, 0, width, height);
    vgDrawPath(cachedPolygon, VG_FILL_PATH);
    const auto polygonReference = lit();
    ASSERT_GT(polygonReference.size(), 1000u);
    const struct {
        const char* name;
        Refuse refuse;
        const std::vector<VGubyte>& segments;
        const std::vector<float>& data;
        const std::vector<std::pair<int, int>>& reference;
    } failures[] = {
        {"no list", Refuse::New, segments, data, reference},
        {"a list that cannot grow", Refuse::Growth, polygonSegments, polygon, polygonReference},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        const VGPath slow = floatPath(f.segments, f.data);
        vgClear(0, 0, width, height);
        {
            RefusingAllocator refusing(f.refuse);
            vgDrawPath(slow, VG_FILL_PATH);
        }
        EXPECT_EQ(lit(), f.reference);
        EXPECT_EQ(lists(slow)->fill_need_update, 1);
        EXPECT_EQ(lists(slow)->fill_line_cmd_count, 0);
        vgDestroyPath(slow);
    }
    vgDestroyPath(cachedPolygon);
    vgDestroyPath(p);
    vgDestroyPath(heap);
}

TEST_F(PathFill, ListsLongerThanAHandOverGoInChunks)
{
    start(kSurfaces[1].spec);
    // A 40 x 20 rectangle whose bottom side is cut into 7000 pieces: 7003 lines, 35017 words.
    std::vector<VGubyte> segments{VG_MOVE_TO_ABS};
    std::vector<float> data{10, 10};
    for (int i = 0; i < 7000; ++i) {
        segments.push_back(VG_LINE_TO_ABS);
        data.insert(data.end(), {10 + 40.0f * float(i + 1) / 7000, 10});
    }
    segments.insert(segments.end(), {VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH});
    data.insert(data.end(), {50, 30, 10, 30});
    const VGPath p = floatPath(segments, data);
    gpu.clearLog();
    vgDrawPath(p, VG_FILL_PATH);
    const ALpath* al = lists(p);
    ASSERT_EQ(al->fill_cmd_target, 1);
    ASSERT_EQ(al->fill_line_cmd_count, 2 + 5 * 7003);
    const auto h = handOvers();
    size_t i = 0;
    while (i < h.size() && h[i].first != al->fill_line_cmd.gpu)
        ++i;
    ASSERT_LT(i + 1, h.size());
    // Whole packets only: the entry write and 6553 lines, then the rest.
    constexpr word32 first = 2 + 5 * 6553;
    EXPECT_EQ(h[i].second, first - 1);
    EXPECT_EQ(h[i + 1].first, al->fill_line_cmd.gpu + first * 4);
    EXPECT_EQ(h[i + 1].second, word32(al->fill_line_cmd_count) - first - 1);
    EXPECT_EQ(lit().size(), 800u);
    vgDestroyPath(p);
}

TEST_F(PathFill, ALinearGradientFillsAPathThroughTheFillPaintSet)
{
    start({kRgba8888, 64, 16, false});
    const VGPaint gradient = vgCreatePaint();
    vgSetParameteri(gradient, VG_PAINT_TYPE, VG_PAINT_TYPE_LINEAR_GRADIENT);
    const VGfloat ends[4] = {0, 0, 64, 0};
    vgSetParameterfv(gradient, VG_PAINT_LINEAR_GRADIENT, 4, ends);
    const VGfloat stops[10] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1};
    vgSetParameterfv(gradient, VG_PAINT_COLOR_RAMP_STOPS, 10, stops);
    vgSetPaint(gradient, VG_FILL_PATH);
    const VGPath p = floatPath({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH},
                               {0, 0, 64, 0, 64, 16, 0, 16});
    gpu.clearLog();
    vgDrawPath(p, VG_FILL_PATH);
    vgFinish();

    // Entry 21 derives the fill paint matrix, then entry 49 the paint planes of set 0.
    word32 ctrl = 0;
    std::vector<std::pair<word32, word32>> runs;
    for (const simgpu::Event& e : gpu.log())
        if (e.stream == simgpu::Stream::CmdBuf && e.kind == simgpu::Kind::Write && e.unit == simgpu::Unit::VPCtrl) {
            if (e.reg == LX_VP_CTRL0)
                ctrl = e.value;
            else if (e.reg == LX_VP_IADDR && (e.value == 21 || e.value == 49))
                runs.emplace_back(e.value, ctrl);
        }
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], std::make_pair(word32(21), word32(1)));
    EXPECT_EQ(runs[1].first, 49u);
    EXPECT_EQ(runs[1].second & 0xE000u, 0u);

    // Black to white along x: each column brighter than the one before, the middle grey.
    for (int x = 1; x < 64; ++x)
        EXPECT_GE(red(x, 8), red(x - 1, 8)) << x;
    EXPECT_NEAR(red(32, 8), 128, 6);
    EXPECT_NEAR(red(16, 8), 64, 6);
    EXPECT_EQ(pixel(32, 8) >> 8 & 0xFF, pixel(32, 8) >> 24);
    vgDestroyPath(p);
    vgDestroyPaint(gradient);
}

// A glyph-like outline of quadratics, 24 pixels tall, antialiased on the 565 window: an "o"
// bowl (outer contour and a hole drawn the other way round) with a stem, as a font's "d".
TEST_F(PathFill, AGlyphOfQuadraticsMatchesItsGolden)
{
    start({kRgb565, 48, 32, true});
    vgSeti(VG_FILL_RULE, VG_NON_ZERO);  // the stem overlaps the bowl
    std::vector<VGubyte> segments;
    std::vector<float> data;
    const auto ring = [&](float cx, float cy, float r, bool clockwise) {
        const double step = (clockwise ? -1 : 1) * 3.14159265358979 / 4, c = r / std::cos(3.14159265358979 / 8);
        segments.push_back(VG_MOVE_TO_ABS);
        data.insert(data.end(), {cx + r, cy});
        for (int i = 0; i < 8; ++i) {
            segments.push_back(VG_QUAD_TO_ABS);
            data.insert(data.end(), {float(cx + c * std::cos((i + 0.5) * step)), float(cy + c * std::sin((i + 0.5) * step)),
                                     float(cx + r * std::cos((i + 1) * step)), float(cy + r * std::sin((i + 1) * step))});
        }
        segments.push_back(VG_CLOSE_PATH);
    };
    ring(20, 11.5f, 8.5f, false);
    ring(20, 11.5f, 4.75f, true);
    // The stem from the baseline to the ascender, its top rounded by one quadratic.
    segments.insert(segments.end(), {VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_QUAD_TO_ABS, VG_CLOSE_PATH});
    data.insert(data.end(), {25.25f, 3, 29.5f, 3, 29.5f, 26, 27.4f, 28.4f, 25.25f, 26});
    const VGPath p = floatPath(segments, data);
    vgDrawPath(p, VG_FILL_PATH);
    expectGoldenImage("glyph_quadratics_rgb565", image());
    vgDestroyPath(p);
}

// The four arc kinds with a rotated ellipse (radii 12 and 6, 30 degrees), each closed by its
// chord in a cell of its own: a small arc and the large arc of the other direction share a
// centre and make the whole ellipse together; the two small arcs mirror each other.
TEST_F(PathFill, TheFourArcKindsFillTheirPartsOfTheEllipse)
{
    start({kRgba8888, 128, 64, false});
    const VGubyte kinds[4] = {VG_SCCWARC_TO_ABS, VG_SCWARC_TO_ABS, VG_LCCWARC_TO_ABS, VG_LCWARC_TO_ABS};
    std::vector<VGubyte> segments;
    std::vector<float> data;
    for (int i = 0; i < 4; ++i) {
        const float cx = 16.0f + 32.0f * float(i);
        segments.insert(segments.end(), {VG_MOVE_TO_ABS, kinds[i], VG_CLOSE_PATH});
        data.insert(data.end(), {cx - 8, 32, 12, 6, 30, cx + 8, 32});
    }
    const VGPath p = floatPath(segments, data);
    vgDrawPath(p, VG_FILL_PATH);
    double area[4] = {};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            area[x / 32] += red(x, y) / 255.0;
    const double ellipse = 3.14159265358979 * 12 * 6;
    EXPECT_NEAR(area[0] + area[3], ellipse, ellipse * 0.015);
    EXPECT_NEAR(area[1] + area[2], ellipse, ellipse * 0.015);
    EXPECT_NEAR(area[0], area[1], 1.5);
    EXPECT_LT(area[0], ellipse / 2);
    EXPECT_GT(area[2], ellipse / 2);
    // Counter-clockwise from left to right passes below the chord (y up), clockwise above.
    EXPECT_EQ(pixel(16, 29), kWhite);
    EXPECT_EQ(pixel(16, 35), kBlack);
    EXPECT_EQ(pixel(48, 33), kWhite);
    EXPECT_EQ(pixel(48, 29), kBlack);
    expectGoldenImage("arc_kinds_rgba8888", image());
    vgDestroyPath(p);
}

}  // namespace
