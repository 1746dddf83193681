// Stroked paths through vgDrawPath, the library's stroke list and the GPU model's stroker, on the
// 565 window and an 8888 pbuffer: exact pixels of lines and rings with butt and square caps and
// miter joins, round caps and joins by area, miters within and beyond their limit, dots of
// subpaths without length, curves and a non-uniform scale against goldens, the stroke drawn over
// the fill, and the caching of the stroke list with the path.
#include <VG/openvg.h>
#include <VG/vgu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cgl_unitreg.h"
#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/al_lx740/vg_al_lx740_objects.h"
#include "vg/al_lx740/vg_al_lx740_rect.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_path.h"
#include "vg/common/vg_share.h"
#include "refusing_allocator.h"
#include "vgsurfacefixture.h"

namespace {

using vnq::test::Refuse;
using vnq::test::VgSurfaceSpec;

constexpr EGLint kRgb565 = 1, kRgba8888 = 7;
constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0x000000FF;
constexpr double kPi = 3.14159265358979;

struct Surface {
    const char* name;
    VgSurfaceSpec spec;
};

const Surface kSurfaces[] = {
    {"565 window", {kRgb565, 128, 100, true}},
    {"8888 pbuffer", {kRgba8888, 128, 100, false}},
};

class PathStroke : public vnq::test::VgSurfaceTest {
protected:
    VGPaint paint = VG_INVALID_HANDLE;
    std::vector<VGPath> paths;

    // A black surface, a white paint for fill and stroke, width 10, butt caps, miter joins.
    void start(const VgSurfaceSpec& spec)
    {
        makeCurrent(spec);
        const VGfloat black[4] = {0, 0, 0, 1};
        vgSetfv(VG_CLEAR_COLOR, 4, black);
        vgClear(0, 0, width, height);
        paint = vgCreatePaint();
        vgSetColor(paint, kWhite);
        vgSetPaint(paint, VG_FILL_PATH | VG_STROKE_PATH);
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_BETTER);
        vgSetf(VG_STROKE_LINE_WIDTH, 10);
        vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_BUTT);
        vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_MITER);
        vgLoadIdentity();
    }

    void clear() { vgClear(0, 0, width, height); }

    VGPath path(const std::vector<VGubyte>& segments, const std::vector<float>& data)
    {
        const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
        vgAppendPathData(p, VGint(segments.size()), segments.data(), data.data());
        paths.push_back(p);
        return p;
    }

    VGPath line(float x0, float y0, float x1, float y1)
    {
        return path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS}, {x0, y0, x1, y1});
    }

    static ALpath* lists(VGPath p)
    {
        return static_cast<ALpath*>(VGFUNC_FindPath(VGVAL_vgcurrentcontexthandle->sharedState, p)->aldep);
    }

    // The picture once drawn: colour at OpenVG (x, y).
    struct Picture {
        vnq::test::RgbaImage image;
        bool flipped;
        uint32_t at(int x, int y) const
        {
            const int row = flipped ? image.height - 1 - y : y;
            const uint8_t* p = &image.bytes[(size_t(row) * image.width + x) * 4];
            return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        }
        int red(int x, int y) const { return int(at(x, y) >> 24); }
        // Pixels that are not black, with a check on each.
        size_t count(const std::function<bool(int, int)>& where = nullptr) const
        {
            size_t n = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    if (at(x, y) != kBlack && (!where || where(x, y)))
                        ++n;
            return n;
        }
        double coverage() const
        {
            double sum = 0;
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x)
                    sum += red(x, y) / 255.0;
            return sum;
        }
    };

    Picture picture() { return Picture{image(), VGALVAL_surface_flip != 0}; }

    // Every lit pixel is white and lies in [x0, x1) x [y0, y1); returns how many there are.
    static size_t whiteBox(const Picture& p, int x0, int y0, int x1, int y1)
    {
        size_t n = 0;
        for (int y = 0; y < p.image.height; ++y)
            for (int x = 0; x < p.image.width; ++x) {
                const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
                if (p.at(x, y) == kBlack)
                    continue;
                ++n;
                EXPECT_TRUE(inside && p.at(x, y) == kWhite) << x << "," << y << " " << std::hex << p.at(x, y);
            }
        return n;
    }

    // Command-master hand-overs of GPU-resident lists in the log.
    bool handedOver(word32 address) const
    {
        for (const simgpu::Event& e : gpu.log())
            if (e.stream == simgpu::Stream::Mmio && e.kind == simgpu::Kind::Write && e.unit == simgpu::Unit::Mem &&
                e.reg == LX_CM_ADDR && e.value == address)
                return true;
        return false;
    }

    // VP constant components written by any route, in order: (constant x 4 + component, word).
    std::vector<std::pair<word32, word32>> constantWrites() const
    {
        std::vector<std::pair<word32, word32>> out;
        for (const simgpu::Event& e : gpu.log())
            if (e.kind == simgpu::Kind::Write && e.unit == simgpu::Unit::VPConst)
                out.emplace_back(e.reg, e.value);
        return out;
    }

    void finish()
    {
        for (VGPath p : paths)
            vgDestroyPath(p);
        paths.clear();
        if (paint != VG_INVALID_HANDLE)
            vgDestroyPaint(paint);
        paint = VG_INVALID_HANDLE;
        EXPECT_EQ(vgGetError(), VG_NO_ERROR);
        terminate();
    }

    void TearDown() override
    {
        if (VGVAL_vgcurrentcontexthandle)
            finish();
        VgSurfaceTest::TearDown();
    }
};

TEST_F(PathStroke, LinesAtWholeCoordinatesCoverExactlyTheirBoxes)
{
    const struct {
        const char* name;
        VGCapStyle cap;
        float x0, y0, x1, y1;
        int bx0, by0, bx1, by1;  // the covered box
    } table[] = {
        {"butt", VG_CAP_BUTT, 10, 50, 110, 50, 10, 45, 110, 55},
        {"square", VG_CAP_SQUARE, 10, 50, 110, 50, 5, 45, 115, 55},
        {"vertical butt", VG_CAP_BUTT, 60, 10, 60, 90, 55, 10, 65, 90},
        {"vertical square", VG_CAP_SQUARE, 60, 10, 60, 90, 55, 5, 65, 95},
    };
    for (const Surface& s : kSurfaces)
        for (const auto& row : table) {
            SCOPED_TRACE(std::string(s.name) + ": " + row.name);
            start(s.spec);
            vgSeti(VG_STROKE_CAP_STYLE, row.cap);
            vgDrawPath(line(row.x0, row.y0, row.x1, row.y1), VG_STROKE_PATH);
            EXPECT_EQ(whiteBox(picture(), row.bx0, row.by0, row.bx1, row.by1),
                      size_t(row.bx1 - row.bx0) * size_t(row.by1 - row.by0));
            finish();
        }
}

TEST_F(PathStroke, RoundCapsAddAHalfDiscAtEachEnd)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_ROUND);
        vgDrawPath(line(10, 50, 110, 50), VG_STROKE_PATH);
        const Picture p = picture();
        EXPECT_NEAR(p.coverage() - 1000, kPi * 25, kPi * 25 * 0.02);
        EXPECT_EQ(p.at(60, 50), kWhite);
        EXPECT_EQ(p.at(6, 50), kWhite);    // inside the left cap
        EXPECT_EQ(p.at(5, 45), kBlack);    // its corner is cut off
        EXPECT_EQ(p.at(113, 50), kWhite);  // the right cap
        EXPECT_EQ(p.count([](int x, int) { return x < 5 || x >= 115; }), 0u);
        finish();
    }
}

TEST_F(PathStroke, ADiagonalLineCoversItsRectangleSymmetrically)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        vgDrawPath(line(20, 20, 80, 80), VG_STROKE_PATH);
        const Picture p = picture();
        EXPECT_NEAR(p.coverage(), 60 * std::sqrt(2.0) * 10, 60 * std::sqrt(2.0) * 10 * 0.01);
        // Symmetric about the line itself, and about its middle along the sides (the butt ends
        // run through rows of sample points, where the sample grid has no point symmetry).
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                ASSERT_NEAR(p.red(x, y), p.red(y, x), 9) << x << "," << y;
                if (x + y > 44 && x + y < 154) {
                    ASSERT_NEAR(p.red(x, y), p.red(99 - x, 99 - y), 9) << x << "," << y;
                }
            }
        EXPECT_EQ(p.at(50, 50), kWhite);
        EXPECT_EQ(p.at(50, 60), kBlack);  // its nearest corner 6.4 from the centre line
        finish();
    }
}

TEST_F(PathStroke, AClosedSquareIsARingWithSquareCorners)
{
    for (const Surface& s : kSurfaces)
        for (VGJoinStyle join : {VG_JOIN_MITER, VG_JOIN_ROUND, VG_JOIN_BEVEL}) {
            SCOPED_TRACE(std::string(s.name) + " join " + std::to_string(join));
            start(s.spec);
            vgSeti(VG_STROKE_JOIN_STYLE, join);
            vgDrawPath(path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH},
                            {20, 20, 80, 20, 80, 80, 20, 80}),
                       VG_STROKE_PATH);
            const Picture p = picture();
            if (join == VG_JOIN_MITER) {
                const auto ring = [](int x, int y) {
                    return x >= 15 && x < 85 && y >= 15 && y < 85 && !(x >= 25 && x < 75 && y >= 25 && y < 75);
                };
                EXPECT_EQ(p.count(ring), 70u * 70u - 50u * 50u);
                EXPECT_EQ(p.count(), 70u * 70u - 50u * 50u);
                EXPECT_EQ(p.at(15, 15), kWhite);
            } else {
                // The outer corners are cut: all four alike.
                EXPECT_EQ(p.at(15, 15), kBlack);
                EXPECT_EQ(p.at(16, 16), p.at(83, 83));
                EXPECT_EQ(p.at(83, 16), p.at(16, 83));
                EXPECT_EQ(p.at(50, 17), kWhite);
                EXPECT_EQ(p.at(50, 30), kBlack);
            }
            finish();
        }
}

// A line to the right, then back up-left at 30 degrees to it: the miter tip reaches 19.3 beyond
// the corner (half width / sin 15 degrees, a ratio of 3.86), so a limit of 4 keeps it and 3
// bevels it; a round join stays within the half width of the corner.
TEST_F(PathStroke, JoinsOfASharpTurn)
{
    const float dx = float(80 * std::cos(kPi / 6)), dy = float(80 * std::sin(kPi / 6));
    const struct {
        const char* name;
        VGJoinStyle join;
        float limit;
        bool tip;    // pixels beyond x = 106 near the corner
        bool round;  // the pixel between the bevel and the round edge
    } table[] = {
        {"miter within the limit", VG_JOIN_MITER, 4, true, true},
        {"miter beyond the limit", VG_JOIN_MITER, 3, false, false},
        {"round", VG_JOIN_ROUND, 4, false, true},
        {"bevel", VG_JOIN_BEVEL, 4, false, false},
    };
    for (const Surface& s : kSurfaces)
        for (const auto& row : table) {
            SCOPED_TRACE(std::string(s.name) + ": " + row.name);
            start(s.spec);
            vgSeti(VG_STROKE_JOIN_STYLE, row.join);
            vgSetf(VG_STROKE_MITER_LIMIT, row.limit);
            vgDrawPath(path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS}, {10, 50, 100, 50, 100 - dx, 50 + dy}),
                       VG_STROKE_PATH);
            const Picture p = picture();
            const size_t beyond = p.count([](int x, int) { return x >= 106; });
            if (row.tip) {
                EXPECT_GT(beyond, 30u);
                EXPECT_EQ(p.at(110, 45), kWhite);
            } else {
                EXPECT_EQ(beyond, 0u);
            }
            EXPECT_EQ(p.at(102, 47) == kWhite, row.round) << std::hex << p.at(102, 47);
            EXPECT_EQ(p.at(99, 45), kWhite);
            finish();
        }
}

// A line to the right, a half circle of radius 10 clockwise up round to its left, and a line back
// to the left: at both ends of the arc its tangent reverses the line's. A reversal exceeds
// every miter limit and is bevelled, which adds nothing; a round join is a half disc of radius 5
// ahead of the line. Nothing else reaches right of x = 36.
TEST_F(PathStroke, JoinsAtAnArcTakeItsExactTangent)
{
    const struct {
        const char* name;
        VGJoinStyle join;
        bool discs;
    } table[] = {
        {"miter", VG_JOIN_MITER, false},
        {"round", VG_JOIN_ROUND, true},
        {"bevel", VG_JOIN_BEVEL, false},
    };
    size_t halfDiscs = 0;  // pixel centres right of x = 36 within 5 of either join
    for (int y = 0; y < 64; ++y)
        for (int x = 36; x < 64; ++x)
            halfDiscs += std::hypot(x + 0.5 - 35, y + 0.5 - 20) <= 5 || std::hypot(x + 0.5 - 35, y + 0.5 - 40) <= 5;
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        start({kRgba8888, 64, 64, false});
        vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
        vgSeti(VG_STROKE_JOIN_STYLE, row.join);
        vgSetf(VG_STROKE_MITER_LIMIT, 100);
        vgDrawPath(path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_SCWARC_TO_ABS, VG_LINE_TO_ABS},
                        {5, 20, 35, 20, 10, 10, 0, 35, 40, 5, 40}),
                   VG_STROKE_PATH);
        const Picture p = picture();
        EXPECT_EQ(p.count([](int x, int) { return x >= 36; }), row.discs ? halfDiscs : 0u);
        EXPECT_EQ(p.at(25, 30), kWhite);  // the arc's far side
        finish();
    }
}

// ---- The pen's swept area ----

// A point of a centre line and its tangent there (not made unit).
struct Sample {
    double x, y, tx, ty;
};

// Samples of the quadratic or cubic Bezier with control points `p` (x, y pairs), moved by
// (dx, dy), at n + 1 equal parameter steps.
std::vector<Sample> bezier(const std::vector<double>& p, double dx, double dy, int n = 4000)
{
    const size_t degree = p.size() / 2 - 1;
    std::vector<Sample> out;
    for (int i = 0; i <= n; ++i) {
        const double t = double(i) / n;
        // De Casteljau: the last two points of the last level but one give the tangent.
        std::vector<double> q = p;
        double tx = 0, ty = 0;
        for (size_t level = degree; level > 0; --level) {
            if (level == 1)
                tx = q[2] - q[0], ty = q[3] - q[1];
            for (size_t k = 0; k < level; ++k) {
                q[2 * k] += t * (q[2 * k + 2] - q[2 * k]);
                q[2 * k + 1] += t * (q[2 * k + 3] - q[2 * k + 1]);
            }
        }
        out.push_back(Sample{q[0] + dx, q[1] + dy, tx, ty});
    }
    return out;
}

// The pixels of a w x h surface whose centres the pen of half width `half`, held across the
// tangent, passes over along `line`: where (centre - point) . tangent changes sign between two
// samples with the centre within `half` of the point there. Caps and joins are not included.
std::vector<bool> sweptPixels(const std::vector<Sample>& line, double half, int w, int h)
{
    std::vector<bool> covered(size_t(w) * size_t(h), false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            double last = 0;
            for (size_t i = 0; i < line.size() && !covered[size_t(y) * w + x]; ++i) {
                const Sample& s = line[i];
                const double g = (cx - s.x) * s.tx + (cy - s.y) * s.ty;
                if (i > 0 && (g == 0 || (g < 0) != (last < 0))) {
                    const Sample& r = line[i - 1];
                    const double f = g == last ? 0 : last / (last - g);
                    const double px = r.x + f * (s.x - r.x), py = r.y + f * (s.y - r.y);
                    covered[size_t(y) * w + x] = std::hypot(cx - px, cy - py) <= half;
                }
                last = g;
            }
        }
    return covered;
}

// Curves whose direction turns sharply within the segment, stroked with butt caps: the stroke is
// the area the pen sweeps, round on both sides of the turn, whatever the join style and the fill
// rule. Tiny curves under a wide pen sweep two opposite sectors as wide as the turn; curves
// folding back under a pen wider than their turn are covered to their outline.
TEST_F(PathStroke, CurvesWithSharpTurnsCoverThePensSweptArea)
{
    const struct {
        const char* name;
        std::vector<double> points;  // control points; a quadratic has three
        double dx, dy, width;
    } table[] = {
        {"a tiny cubic under a pen of 40", {0, 0, 0.1, 0, -0.1, 0.1, 0.2, 0.2}, 30, 30, 40},
        {"the same cubic 100 times smaller", {0, 0, 0.001, 0, -0.001, 0.001, 0.002, 0.002}, 30, 30, 40},
        {"a tiny quadratic turning back", {0, 0, 0.2, 0, 0, 0.05}, 30, 30, 30},
        {"a quadratic folding back", {6, 16, 66, 32, 6, 48}, 0, 0, 16},
        {"a cubic folding back", {8, 10, 70, 30, -10, 30, 56, 54}, 0, 0, 12},
        {"the tiny cubic 40 times larger", {0, 0, 4, 0, -4, 4, 8, 8}, 20, 20, 24},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        const std::vector<bool> reference =
            sweptPixels(bezier(row.points, row.dx, row.dy), row.width / 2, 64, 64);
        const size_t area = size_t(std::count(reference.begin(), reference.end(), true));
        const std::vector<float> data(row.points.begin(), row.points.end());
        for (VGJoinStyle join : {VG_JOIN_MITER, VG_JOIN_ROUND, VG_JOIN_BEVEL})
            for (VGFillRule rule : {VG_NON_ZERO, VG_EVEN_ODD}) {
                SCOPED_TRACE("join " + std::to_string(join) + " fill rule " + std::to_string(rule));
                start({kRgba8888, 64, 64, false});
                vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
                vgSetf(VG_STROKE_LINE_WIDTH, float(row.width));
                vgSeti(VG_STROKE_JOIN_STYLE, join);
                vgSeti(VG_FILL_RULE, rule);
                vgTranslate(float(row.dx), float(row.dy));
                const VGubyte curve = row.points.size() == 6 ? VG_QUAD_TO_ABS : VG_CUBIC_TO_ABS;
                vgDrawPath(path({VG_MOVE_TO_ABS, curve}, data), VG_STROKE_PATH);
                const Picture p = picture();
                // Pixel centres within a hair of the outline may fall either way: every pixel
                // that differs lies on the reference's outline (a neighbour is of the other
                // kind), and they are few.
                const auto in = [&reference](int x, int y) {
                    return x >= 0 && y >= 0 && x < 64 && y < 64 && reference[size_t(y) * 64 + x];
                };
                size_t differ = 0;
                for (int y = 0; y < 64; ++y)
                    for (int x = 0; x < 64; ++x) {
                        const bool expected = in(x, y);
                        if ((p.at(x, y) != kBlack) == expected)
                            continue;
                        ++differ;
                        EXPECT_TRUE(in(x - 1, y) != expected || in(x + 1, y) != expected || in(x, y - 1) != expected ||
                                    in(x, y + 1) != expected)
                            << x << "," << y << (expected ? " missing" : " extra");
                    }
                EXPECT_LE(differ, 2 + area / 40) << "of " << area;
                finish();
            }
    }
}

// An ellipse of radii 16 and 3 turned by 0, 30 or 90 degrees, two arcs closed, stroked 8 wide
// under a non-uniform scale or a shear: the pixels whose centres the stroke's geometry covers
// (within 4 of the ellipse in user space) are drawn, at the arcs' ends as everywhere, with every
// join style; only centres within a hair (0.04) of the outline may fall either way.
TEST_F(PathStroke, EllipsesUnderShearAndNonUniformScaleCoverTheirStroke)
{
    const struct {
        const char* name;
        float rotation;
        VGfloat m[4];  // x' = m0 x + m2 y, y' = m1 x + m3 y, then moved to (64, 50)
    } table[] = {
        {"scale 3 by 1", 0, {3, 0, 0, 1}},
        {"scale 3 by 1, ellipse turned 30", 30, {3, 0, 0, 1}},
        {"scale 1 by 2, ellipse turned 30", 30, {1, 0, 0, 2}},
        {"shear along x", 0, {1, 0, 0.8f, 1}},
        {"shear along y, ellipse turned 90", 90, {1, 0.6f, 0, 1}},
    };
    constexpr double kA = 16, kB = 3, kHalf = 4, kHair = 0.04;
    for (const auto& row : table) {
        // Each pixel centre's distance in user space from the ellipse, a polygon of 1000 sides
        // (within 1e-4 of it); beyond the ellipse's box widened by the pen, just far.
        const double turn = row.rotation * kPi / 180;
        std::vector<std::pair<double, double>> ellipse;
        for (int i = 0; i <= 1000; ++i) {
            const double t = 2 * kPi * i / 1000, x = kA * std::cos(t), y = kB * std::sin(t);
            ellipse.emplace_back(x * std::cos(turn) - y * std::sin(turn), x * std::sin(turn) + y * std::cos(turn));
        }
        const VGfloat* m = row.m;
        const double det = double(m[0]) * m[3] - double(m[1]) * m[2];
        std::vector<double> distance(128 * 100);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 128; ++x) {
                const double px = x + 0.5 - 64, py = y + 0.5 - 50;
                const double ux = (m[3] * px - m[2] * py) / det, uy = (m[0] * py - m[1] * px) / det;
                double nearest = kA;  // far enough
                if (std::hypot(ux, uy) < kA + 2 * kHalf) {
                    nearest = INFINITY;
                    for (size_t i = 0; i + 1 < ellipse.size(); ++i) {
                        const auto& [x0, y0] = ellipse[i];
                        const double dx = ellipse[i + 1].first - x0, dy = ellipse[i + 1].second - y0;
                        const double f = std::clamp(((ux - x0) * dx + (uy - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                        nearest = std::min(nearest, std::hypot(ux - x0 - f * dx, uy - y0 - f * dy));
                    }
                }
                distance[size_t(y) * 128 + x] = nearest;
            }
        for (VGJoinStyle join : {VG_JOIN_MITER, VG_JOIN_ROUND, VG_JOIN_BEVEL}) {
            SCOPED_TRACE(std::string(row.name) + " join " + std::to_string(join));
            start({kRgba8888, 128, 100, false});
            vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_NONANTIALIASED);
            vgSetf(VG_STROKE_LINE_WIDTH, float(2 * kHalf));
            vgSeti(VG_STROKE_JOIN_STYLE, join);
            const VGfloat matrix[9] = {m[0], m[1], 0, m[2], m[3], 0, 64, 50, 1};
            vgLoadMatrix(matrix);
            const float ex = float(kA * std::cos(turn)), ey = float(kA * std::sin(turn));
            const float a = float(kA), b = float(kB), r = row.rotation;
            vgDrawPath(path({VG_MOVE_TO_ABS, VG_SCCWARC_TO_ABS, VG_SCCWARC_TO_ABS, VG_CLOSE_PATH},
                            {ex, ey, a, b, r, -ex, -ey, a, b, r, ex, ey}),
                       VG_STROKE_PATH);
            const Picture p = picture();
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 128; ++x) {
                    const double off = distance[size_t(y) * 128 + x] - kHalf;
                    if (std::fabs(off) > kHair) {
                        ASSERT_EQ(p.at(x, y) != kBlack, off < 0) << x << "," << y << " " << off;
                    }
                }
            finish();
        }
    }
}

TEST_F(PathStroke, ASubpathWithoutLengthIsADotByItsCap)
{
    const struct {
        const char* name;
        std::vector<VGubyte> segments;
        std::vector<float> data;
    } shapes[] = {
        {"move and close", {VG_MOVE_TO_ABS, VG_CLOSE_PATH}, {50, 50}},
        {"line to the same point", {VG_MOVE_TO_ABS, VG_LINE_TO_ABS}, {50, 50, 50, 50}},
    };
    for (const Surface& s : kSurfaces)
        for (const auto& shape : shapes)
            for (VGCapStyle cap : {VG_CAP_BUTT, VG_CAP_ROUND, VG_CAP_SQUARE}) {
                SCOPED_TRACE(std::string(s.name) + ": " + shape.name + " cap " + std::to_string(cap));
                start(s.spec);
                vgSeti(VG_STROKE_CAP_STYLE, cap);
                vgDrawPath(path(shape.segments, shape.data), VG_STROKE_PATH);
                const Picture p = picture();
                if (cap == VG_CAP_BUTT) {
                    EXPECT_EQ(p.count(), 0u);
                } else if (cap == VG_CAP_SQUARE) {
                    EXPECT_EQ(whiteBox(p, 45, 45, 55, 55), 100u);
                } else {
                    EXPECT_NEAR(p.coverage(), kPi * 25, kPi * 25 * 0.02);
                    EXPECT_EQ(p.at(45, 45), kBlack);
                    EXPECT_EQ(p.at(50, 50), kWhite);
                }
                finish();
            }
}

TEST_F(PathStroke, TheStrokeGoesOverTheFillAndWidthZeroOnlyFills)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        const VGPaint red = vgCreatePaint();
        vgSetColor(red, 0xFF0000FF);
        vgSetPaint(red, VG_FILL_PATH);
        vgSetColor(paint, 0x00FF00FF);  // the stroke's
        const VGPath square = path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS, VG_CLOSE_PATH},
                                   {20, 20, 80, 20, 80, 80, 20, 80});
        vgSetf(VG_STROKE_LINE_WIDTH, 4);
        vgDrawPath(square, VG_FILL_PATH | VG_STROKE_PATH);
        Picture p = picture();
        EXPECT_EQ(p.at(21, 50), 0x00FF00FFu);  // inside the fill, under the stroke
        EXPECT_EQ(p.at(18, 50), 0x00FF00FFu);
        EXPECT_EQ(p.at(50, 50), 0xFF0000FFu);
        EXPECT_EQ(p.count(), 64u * 64u);

        clear();
        vgSetf(VG_STROKE_LINE_WIDTH, 0);
        vgDrawPath(square, VG_FILL_PATH | VG_STROKE_PATH);
        p = picture();
        EXPECT_EQ(p.count(), 60u * 60u);
        EXPECT_EQ(p.at(21, 50), 0xFF0000FFu);
        vgDestroyPaint(red);
        finish();
    }
}

// Width, miter limit, cap and join live in VP constants and microcode selections: the list
// built at the first stroke is handed over again, and the picture follows the new style.
TEST_F(PathStroke, TheListIsReusedForAnotherStyle)
{
    start(kSurfaces[1].spec);
    const VGPath p = path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_LINE_TO_ABS}, {20, 30, 60, 30, 60, 70});
    vgDrawPath(p, VG_STROKE_PATH);
    const ALpath* al = lists(p);
    ASSERT_EQ(al->stroke_cmd_target, 1);
    const word32 address = al->stroke_cmd.gpu;
    // Start (entry, packet), two lines (entry, two packets), end (entry, control, sync, start).
    EXPECT_EQ(al->stroke_cmd_count, (2 + 3) + (2 + 3 + 3) + (2 + 2 + 2 + 1));
    const size_t first = picture().count();

    const struct {
        const char* name;
        std::function<void()> change;
        std::function<bool(const Picture&)> shows;
    } table[] = {
        {"width", [] { vgSetf(VG_STROKE_LINE_WIDTH, 4); },
         [&](const Picture& q) { return q.count() < first / 2; }},
        {"cap", [] { vgSetf(VG_STROKE_LINE_WIDTH, 10), vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_SQUARE); },
         [](const Picture& q) { return q.at(16, 30) == kWhite; }},
        {"join", [] { vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_BEVEL); },
         [](const Picture& q) { return q.at(64, 26) == kBlack; }},
        {"miter limit", [] { vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_MITER), vgSetf(VG_STROKE_MITER_LIMIT, 1); },
         [](const Picture& q) { return q.at(64, 26) == kBlack && q.at(62, 28) == kWhite; }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        clear();
        row.change();
        gpu.clearLog();
        vgDrawPath(p, VG_STROKE_PATH);
        const Picture q = picture();
        EXPECT_TRUE(row.shows(q));
        EXPECT_EQ(al->stroke_cmd.gpu, address);
        EXPECT_TRUE(handedOver(address));
    }

    // New data builds the list again.
    const VGubyte more[] = {VG_LINE_TO_ABS};
    const float to[] = {20, 70};
    vgAppendPathData(p, 1, more, to);
    vgDrawPath(p, VG_STROKE_PATH);
    EXPECT_EQ(al->stroke_cmd_count, (2 + 3) + (2 + 3 + 3 + 3) + (2 + 2 + 2 + 1));
}

}  // namespace

// Curves in cells of their own, width 6 with round joins and caps: a quadratic arch, an S of one
// cubic and a rotated half ellipse, then a circle of four arcs under a scale of 3 by 1, whose
// pen is an ellipse: three times as wide at the sides as at the top and bottom.
TEST_F(PathStroke, CurvesAndANonUniformScaleMatchTheirGoldens)
{
    start(kSurfaces[1].spec);
    vgSetf(VG_STROKE_LINE_WIDTH, 6);
    vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_ROUND);
    vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_ROUND);
    vgDrawPath(path({VG_MOVE_TO_ABS, VG_QUAD_TO_ABS}, {8, 10, 20, 90, 36, 10}), VG_STROKE_PATH);
    vgDrawPath(path({VG_MOVE_TO_ABS, VG_CUBIC_TO_ABS}, {46, 10, 110, 30, 20, 70, 80, 90}), VG_STROKE_PATH);
    vgDrawPath(path({VG_MOVE_TO_ABS, VG_LCCWARC_TO_ABS}, {96, 30, 14, 8, 60, 112, 60}), VG_STROKE_PATH);
    const Picture p = picture();
    EXPECT_EQ(p.at(20, 50), kWhite);  // the arch's top at (20, 50)
    EXPECT_EQ(p.at(20, 40), kBlack);
    expectGoldenImage("stroke_curves_rgba8888", p.image);
    finish();

    start(kSurfaces[0].spec);
    vgSetf(VG_STROKE_LINE_WIDTH, 4);
    vgTranslate(64, 50);
    vgScale(3, 1);
    vgDrawPath(path({VG_MOVE_TO_ABS, VG_SCCWARC_TO_ABS, VG_SCCWARC_TO_ABS, VG_CLOSE_PATH},
                    {16, 0, 16, 16, 0, -16, 0, 16, 16, 0, 16, 0}),
               VG_STROKE_PATH);
    const Picture q = picture();
    // The ring crosses the middle row 12 wide at each side and the middle column 4 high.
    double row = 0, column = 0;
    for (int x = 0; x < width; ++x)
        row += q.red(x, 50) / 255.0;
    for (int y = 0; y < height; ++y)
        column += q.red(64, y) / 255.0;
    EXPECT_NEAR(row, 24, 0.5);
    EXPECT_NEAR(column, 8, 0.5);
    EXPECT_EQ(q.at(64 + 48, 50), kWhite);
    EXPECT_EQ(q.at(64, 50 + 16), kWhite);
    expectGoldenImage("stroke_scaled_rgb565", q.image);
    finish();
}

// vguRect and vguRoundRect paths filled in red and stroked 2 wide in green over it.
TEST_F(PathStroke, VguRectanglesFilledAndStroked)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        const VGPaint red = vgCreatePaint();
        vgSetColor(red, 0xFF0000FF);
        vgSetPaint(red, VG_FILL_PATH);
        vgSetColor(paint, 0x00FF00FF);
        vgSetf(VG_STROKE_LINE_WIDTH, 2);
        const VGPath rect = path({}, {});
        ASSERT_EQ(vguRect(rect, 20, 20, 40, 30), VGU_NO_ERROR);
        vgDrawPath(rect, VG_FILL_PATH | VG_STROKE_PATH);
        Picture p = picture();
        const auto is = [&p](uint32_t colour) {
            return [&p, colour](int x, int y) { return p.at(x, y) == colour; };
        };
        EXPECT_EQ(p.count(is(0x00FF00FF)), 42u * 32u - 38u * 28u);
        EXPECT_EQ(p.count(is(0xFF0000FF)), 38u * 28u);
        EXPECT_EQ(p.count(), 42u * 32u);
        EXPECT_EQ(p.at(19, 19), 0x00FF00FFu);
        EXPECT_EQ(p.at(21, 21), 0xFF0000FFu);

        clear();
        const VGPath round = path({}, {});
        ASSERT_EQ(vguRoundRect(round, 20, 20, 80, 60, 30, 20), VGU_NO_ERROR);
        vgDrawPath(round, VG_FILL_PATH | VG_STROKE_PATH);
        p = picture();
        EXPECT_EQ(p.at(60, 50), 0xFF0000FFu);
        EXPECT_EQ(p.at(20, 50), 0x00FF00FFu);  // the straight left side
        EXPECT_EQ(p.at(60, 79), 0x00FF00FFu);  // the top
        EXPECT_EQ(p.at(21, 21), kBlack);       // outside the rounded corner
        expectGoldenImage(std::string("vgu_roundrect_") + (s.spec.config == kRgb565 ? "rgb565" : "rgba8888"),
                          p.image);
        vgDestroyPaint(red);
        finish();
    }
}

// Every segment kind written relative, and the smooth curves and horizontal and vertical lines,
// strokes as its absolute twin does; so does the same outline in 8-bit data with a scale and
// bias.
TEST_F(PathStroke, RelativeSmoothAndScaledSegmentsStrokeAsTheirAbsoluteTwins)
{
    const std::vector<VGubyte> absolute{VG_MOVE_TO_ABS,  VG_LINE_TO_ABS,    VG_QUAD_TO_ABS, VG_QUAD_TO_ABS,
                                        VG_CUBIC_TO_ABS, VG_CUBIC_TO_ABS,   VG_LINE_TO_ABS, VG_LINE_TO_ABS,
                                        VG_SCWARC_TO_ABS, VG_CLOSE_PATH,    VG_LINE_TO_ABS};
    const std::vector<float> absoluteData{10,  10, 30,  10, 40, 30,  50, 10, 60, -10, 70, 10, 80, 30, 90, 40, 100,
                                          50, 110, 60, 120, 50, 120, 80, 120, 90, 100, 90, 10, 8,  0,  80, 90, 30, 60};
    const std::vector<VGubyte> relative{VG_MOVE_TO_REL,   VG_HLINE_TO_REL,  VG_QUAD_TO_REL,  VG_SQUAD_TO_REL,
                                        VG_CUBIC_TO_REL,  VG_SCUBIC_TO_REL, VG_VLINE_TO_REL, VG_HLINE_TO_ABS,
                                        VG_SCWARC_TO_REL, VG_CLOSE_PATH,    VG_LINE_TO_REL};
    const std::vector<float> relativeData{10, 10, 20, 10, 20, 20, 0,   20, 0,  10, 20, 20, 30, 30,
                                          40, 20, 0,  20, 30, 10, 100, 10, 8, 0,  -20, 0, 20, 50};
    const std::vector<VGubyte> bytesSegments{VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_QUAD_TO_ABS, VG_CLOSE_PATH};
    const std::vector<float> bytesTwin{10, 10, 30, 10, 40, 30, 50, 10};
    const int8_t bytes[] = {16, 16, 56, 16, 76, 56, 96, 16};  // v x 0.5 + 2

    start(kSurfaces[1].spec);
    vgSetf(VG_STROKE_LINE_WIDTH, 3);
    vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_ROUND);
    vgDrawPath(path(absolute, absoluteData), VG_STROKE_PATH);
    const vnq::test::RgbaImage expected = image();
    ASSERT_GT(picture().count(), 600u);
    clear();
    vgDrawPath(path(relative, relativeData), VG_STROKE_PATH);
    EXPECT_TRUE(image().bytes == expected.bytes);

    clear();
    vgDrawPath(path(bytesSegments, bytesTwin), VG_STROKE_PATH);
    const vnq::test::RgbaImage twin = image();
    clear();
    const VGPath small = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_S_8, 0.5f, 2, 0, 0,
                                      VG_PATH_CAPABILITY_ALL);
    vgAppendPathData(small, VGint(bytesSegments.size()), bytesSegments.data(), bytes);
    paths.push_back(small);
    vgDrawPath(small, VG_STROKE_PATH);
    EXPECT_TRUE(image().bytes == twin.bytes);
    finish();
}

// The same stroke from a GPU-resident list, from a heap list replayed through the command FIFO
// (work memory used up) and streamed by the slow path (no list, or a list that cannot grow),
// solid, dashed running on and dashed with phase reset.
TEST_F(PathStroke, HeapListsAndTheSlowPathDrawTheSamePixelsAsGpuLists)
{
    // Two subpaths: a quadratic, a cubic, an arc and a line, closed; then a zigzag of 40 lines
    // (more than a list's first 128 words).
    std::vector<VGubyte> segments{VG_MOVE_TO_ABS, VG_QUAD_TO_ABS,  VG_CUBIC_TO_ABS,
                                  VG_SCCWARC_TO_ABS, VG_LINE_TO_REL, VG_CLOSE_PATH, VG_MOVE_TO_ABS};
    std::vector<float> data{10, 10, 40, 0, 50, 20, 55, 30, 40, 40, 30, 40, 8, 8, 0, 14, 40, -4, -10, 70, 60};
    for (int i = 0; i < 40; ++i) {
        segments.push_back(VG_LINE_TO_ABS);
        data.insert(data.end(), {72 + 1.3f * float(i), i % 2 ? 60.0f : 90.0f});
    }
    const struct {
        const char* name;
        std::vector<float> dashes;
        bool reset;
    } modes[] = {{"solid", {}, false}, {"dashed", {7, 3, 2, 3}, false}, {"dashed with reset", {7, 3, 2, 3}, true}};
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.name);
        start(kSurfaces[1].spec);
        vgSetf(VG_STROKE_LINE_WIDTH, 3);
        vgSeti(VG_STROKE_JOIN_STYLE, VG_JOIN_ROUND);
        vgSeti(VG_STROKE_CAP_STYLE, VG_CAP_ROUND);
        vgSetfv(VG_STROKE_DASH_PATTERN, VGint(mode.dashes.size()), mode.dashes.data());
        vgSetf(VG_STROKE_DASH_PHASE, 2);
        vgSeti(VG_STROKE_DASH_PHASE_RESET, mode.reset);
        const VGPath p = path(segments, data);
        vgDrawPath(p, VG_STROKE_PATH);
        ASSERT_EQ(lists(p)->stroke_cmd_target, 1);
        const vnq::test::RgbaImage reference = image();
        ASSERT_GT(picture().count(), 500u);

        std::vector<word32> taken;
        for (word32 a; (a = VGALFUNC_VAlloc(4096, 64, 32, 32, 0, 0, 0)) != CGL_NO_ADDRESS;)
            taken.push_back(a);
        for (word32 a; (a = VGALFUNC_VAlloc(256, 1, 32, 32, 0, 0, 0)) != CGL_NO_ADDRESS;)
            taken.push_back(a);
        const VGPath heap = path(segments, data);
        for (int draw = 0; draw < 2; ++draw) {  // built, then replayed from the heap
            clear();
            vgDrawPath(heap, VG_STROKE_PATH);
            EXPECT_EQ(lists(heap)->stroke_cmd_target, 0);
            EXPECT_TRUE(image().bytes == reference.bytes) << "heap draw " << draw;
        }
        for (word32 a : taken)
            VGALFUNC_VFree(a);

        for (Refuse refuse : {Refuse::New, Refuse::Growth}) {
            SCOPED_TRACE(refuse == Refuse::New ? "no list" : "a list that cannot grow");
            const VGPath slow = path(segments, data);
            clear();
            {
                vnq::test::RefusingAllocator refusing(refuse);
                vgDrawPath(slow, VG_STROKE_PATH);
            }
            EXPECT_TRUE(image().bytes == reference.bytes);
            EXPECT_EQ(lists(slow)->stroke_need_update, 1);
            EXPECT_EQ(lists(slow)->stroke_cmd_count, 0);
        }
        finish();
    }
}

// ---- Dashes ----

class PathDash : public PathStroke {
protected:
    void pattern(const std::vector<float>& values, float phase, bool reset = false)
    {
        vgSetfv(VG_STROKE_DASH_PATTERN, VGint(values.size()), values.data());
        vgSetf(VG_STROKE_DASH_PHASE, phase);
        vgSeti(VG_STROKE_DASH_PHASE_RESET, reset ? VG_TRUE : VG_FALSE);
    }

    // Row y from x = 0 to 127 against a line from x = 10 to 110 dashed `on`, `off` with the
    // pattern standing at `offset` at x = 10; the whole column lit or dark.
    static void expectDashes(const Picture& p, int y, double on, double off, double offset)
    {
        for (int x = 0; x < 128; ++x) {
            const double m = std::fmod(x - 10 + offset, on + off);
            const bool lit = x >= 10 && x < 110 && (m < 0 ? m + on + off : m) < on;
            ASSERT_EQ(p.at(x, y), lit ? kWhite : kBlack) << "x " << x;
            ASSERT_EQ(p.at(x, y - 4), p.at(x, y)) << "x " << x;
            ASSERT_EQ(p.at(x, y + 4), p.at(x, y)) << "x " << x;
        }
    }

    static int runs(const Picture& p, int y)
    {
        int n = 0;
        for (int x = 1; x < 128; ++x)
            n += p.at(x, y) == kWhite && p.at(x - 1, y) != kWhite;
        return n;
    }
};

TEST_F(PathDash, TenAndFiveOnAHundredPixelsFallAtExactPlaces)
{
    const struct {
        const char* name;
        std::vector<float> pattern;
        float phase;
        double offset;  // where the pattern stands at the line's start
        int dashes;
    } table[] = {
        {"phase 0", {10, 5}, 0, 0, 7},
        {"phase 3", {10, 5}, 3, 3, 7},
        {"phase the pattern's length", {10, 5}, 15, 0, 7},
        {"phase beyond two patterns", {10, 5}, 37, 7, -1},
        {"negative phase", {10, 5}, -3, 12, 7},
        {"tiny negative phase", {10, 5}, -1e-30f, 0, 7},
        {"odd count", {10, 5, 7}, 0, 0, 7},
        {"phase 1e30", {10, 5}, 1e30f, std::fmod(double(1e30f), 15.0), -1},
    };
    for (const Surface& s : kSurfaces)
        for (const auto& row : table) {
            SCOPED_TRACE(std::string(s.name) + ": " + row.name);
            start(s.spec);
            pattern(row.pattern, row.phase);
            vgDrawPath(line(10, 50, 110, 50), VG_STROKE_PATH);
            const Picture p = picture();
            expectDashes(p, 50, 10, 5, row.offset);
            if (row.dashes > 0) {
                EXPECT_EQ(runs(p, 50), row.dashes);
            }
            finish();
        }
}

TEST_F(PathDash, APatternWithoutLengthStrokesSolid)
{
    for (const std::vector<float>& values : {std::vector<float>{0, 0}, std::vector<float>{0, 0, 5},
                                             std::vector<float>{-4, 0}, std::vector<float>{7}}) {
        SCOPED_TRACE(values.size());
        start(kSurfaces[0].spec);
        pattern(values, 2);
        vgDrawPath(line(10, 50, 110, 50), VG_STROKE_PATH);
        EXPECT_EQ(whiteBox(picture(), 10, 45, 110, 55), 1000u);
        finish();
    }
}

// Two lines, each a subpath: without phase reset the dash runs on (the second line starts 100
// into the pattern), with it each line starts at the phase. The reset mode, and in reset mode
// the start state, are carried in the list: changing them builds it again; without reset a new
// phase reuses it.
TEST_F(PathDash, PhaseResetRestartsThePatternAtEachSubpath)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        const VGPath p = path({VG_MOVE_TO_ABS, VG_LINE_TO_ABS, VG_MOVE_TO_ABS, VG_LINE_TO_ABS},
                              {10, 30, 110, 30, 10, 70, 110, 70});
        const ALpath* al = lists(p);
        const int plain = (2 + 3) + (2 + 3) + 7;  // a subpath: start, one line, end
        const struct {
            const char* name;
            bool reset;
            float phase;
            bool rebuilt;
        } steps[] = {
            {"running on", false, 0, true},   {"running on, phase 3", false, 3, false},
            {"reset", true, 3, true},         {"reset, the same phase", true, 3, false},
            {"reset, phase 0", true, 0, true}, {"running on again", false, 0, true},
        };
        word32 address = 0;
        for (const auto& step : steps) {
            SCOPED_TRACE(step.name);
            clear();
            pattern({10, 5}, step.phase, step.reset);
            gpu.clearLog();
            vgDrawPath(p, VG_STROKE_PATH);
            const Picture q = picture();
            expectDashes(q, 30, 10, 5, step.phase);
            expectDashes(q, 70, 10, 5, step.reset ? step.phase : step.phase + 100);
            // Reset mode adds the three state writes (7 words) before each start.
            EXPECT_EQ(al->stroke_cmd_count, 2 * plain + (step.reset ? 2 * 7 : 0));
            if (!step.rebuilt) {
                EXPECT_EQ(al->stroke_cmd.gpu, address);
            }
            EXPECT_TRUE(handedOver(al->stroke_cmd.gpu));
            EXPECT_EQ(al->stroke_dash_phase, step.reset ? 1 : 0);
            address = al->stroke_cmd.gpu;
        }
        finish();
    }
}

// The phase is reduced in double precision and the walk never leaves the pattern, whatever the
// phase and the rounding of the values.
TEST_F(PathDash, TheStartStateStaysInsideThePattern)
{
    const std::vector<std::vector<float>> patterns{
        {10, 5}, {0.1f, 0.2f, 0.3f, 0.4f}, {1e-7f, 3e7f}, {0, 5, 0, 5}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}};
    std::vector<float> phases{0, 1e30f, -1e30f, -1e-30f, 1e-30f, 3.4e38f, INFINITY, -INFINITY, NAN};
    for (int i = -200; i <= 200; ++i)
        phases.push_back(float(i) * 0.1f + 1e-6f * float(i % 7));
    for (const auto& values : patterns) {
        double length = 0;
        for (float v : values)
            length += v;
        for (float phase : phases) {
            SCOPED_TRACE("pattern of " + std::to_string(values.size()) + " phase " + std::to_string(phase));
            const VGALdashstart st = VGALFUNC_dashstart(values.data(), int(values.size()), phase);
            ASSERT_GE(st.index, 0);
            ASSERT_LT(st.index, int(values.size()));
            ASSERT_GE(st.rest, 0.0f);
            ASSERT_LE(st.rest, values[size_t(st.index)]);
            ASSERT_EQ(st.on, st.index % 2 == 0);
            // Where the state stands, counted from the pattern's start, is the phase modulo
            // the length (not-finite phases count as 0).
            double at = 0;
            for (int k = 0; k < st.index; ++k)
                at += values[size_t(k)];
            at += values[size_t(st.index)] - st.rest;
            double expected = std::isfinite(phase) ? std::fmod(double(phase), length) : 0;
            if (expected < 0)
                expected += length;
            if (expected >= length)
                expected = 0;
            ASSERT_NEAR(at, expected, length * 1e-6);
        }
    }
}

// The GPU holds 16 values (constants 46 to 49); a longer pattern is cut to them, and nothing
// spills into the stroke-on flag, the thresholds or the anti-aliasing scale after them.
TEST_F(PathDash, ATwentyValuePatternDrawsItsSixteenValuePrefix)
{
    for (const Surface& s : kSurfaces) {
        SCOPED_TRACE(s.name);
        start(s.spec);
        std::vector<float> values;
        for (int i = 0; i < 8; ++i)
            values.insert(values.end(), {8, 4});
        values.insert(values.end(), {1, 1, 1, 1});
        const VGPath l = line(10, 50, 110, 50);
        vgDrawPath(l, VG_STROKE_PATH);  // the thresholds are written once
        clear();
        pattern(values, 0);
        gpu.clearLog();
        vgDrawPath(l, VG_STROKE_PATH);
        const Picture p = picture();
        expectDashes(p, 50, 8, 4, 0);  // the cut pattern repeats after 96: 106 starts a dash
        std::vector<float> written;
        std::vector<word32> last;
        for (const auto& [field, word] : constantWrites()) {
            const word32 constant = field / 4;
            float f;
            std::memcpy(&f, &word, sizeof f);
            EXPECT_TRUE(constant < 50 || constant > 53 || (constant == LX_VCNST_OVG_STROKE_ON && (f == 0 || f == 1)))
                << "constant " << constant << " = " << f;
            if (constant >= LX_VCNST_OVG_DASH_PATTERN0 && constant <= LX_VCNST_OVG_DASH_PATTERN3)
                written.push_back(f);
            if (constant == LX_VCNST_OVG_MAX_DASH_IDX)
                last.push_back(word);
        }
        EXPECT_EQ(written, std::vector<float>(values.begin(), values.begin() + 16));
        EXPECT_EQ(last, (std::vector<word32>{3, 3}));
        finish();
    }
}
