// The GPU model's stroker at register level: stroke lists shaped as the library builds them
// (a subpath start, segment packets, an end run), with the per-draw stroke and dash constants
// and the cap and join selections, widened into coverage that is checked against areas and
// pixel sets computed here.
#include "path_fixture.h"

#include <cmath>
#include <functional>
#include <string>
#include <tuple>

namespace gputest {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr word32 kButt = 66, kRoundCap = 64, kSquare = 62;
constexpr word32 kMiter = 56, kRoundJoin = 58, kBevel = 60;
constexpr word32 kStart = 901, kEnd = 912, kLine = 919, kQuad = 926, kCubic = 933, kArc = 940;

// A stroke list and its constants, as the stroke pass sends them.
struct Stroke : Commands {
    // A constant of raw words (the dash indices are integers).
    Stroke& words(word32 index, std::vector<word32> values)
    {
        std::vector<word32> p{CGL_PKT_HEADER(CGL_OP_VPCONST_WRITE, index * 4, values.size())};
        p.insert(p.end(), values.begin(), values.end());
        packets.push_back(p);
        return *this;
    }
    // A cap or join selection: the entry run on a start word.
    Stroke& select(word32 entry)
    {
        ctrl(LX_TE_SYNC, 0).ctrl(LX_VP_IADDR, entry).ctrl(LX_TE_SYNC, 0).start();
        return *this;
    }
    // Width and miter limit, solid, and the division constants for a width of a few pixels.
    Stroke& width(float w, float miterLimit = 4)
    {
        const float m = std::max(miterLimit, 1.0f) * w;
        const float q = w * w;
        constant(LX_VCNST_OVG_STROKE_PARAM, {w / 2, m * m});
        constant(LX_VCNST_OVG_DASH_EN, {0});
        constant(LX_VCNST_OVG_STROKE_ON, {1});
        constant(LX_VCNST_OVG_DIV_STROKE_TH1, {1.23f, 1.23f, 0.5f, 0.5f});
        constant(LX_VCNST_OVG_DIV_STROKE_TH2, {0.06f, 0.06f, 0, 0.0005f});
        constant(LX_VCNST_OVG_DIV_ANGLE, {0.9848077f, 0.17364818f, 0.9848077f, 0.17364818f});
        constant(LX_VCNST_JOIN_ANGLE_TH, {1 - 0.1786062f / q});
        return *this;
    }
    // The dash start state (pattern value `index`, `rest` of it left, drawn or not).
    Stroke& dashState(unsigned index, float rest, bool on)
    {
        words(LX_VCNST_OVG_DASH_IDX, {index / 4, index % 4});
        constant(LX_VCNST_OVG_DASH_REST, {rest});
        constant(LX_VCNST_OVG_STROKE_ON, {on ? 1.0f : 0.0f});
        return *this;
    }
    Stroke& dash(const std::vector<float>& pattern)
    {
        const word32 last = static_cast<word32>(pattern.size() - 1);
        constant(LX_VCNST_OVG_DASH_EN, {1});
        words(LX_VCNST_OVG_MAX_DASH_IDX, {last / 4, last % 4});
        for (size_t i = 0; i < pattern.size(); i += 4)
            constant(LX_VCNST_OVG_DASH_PATTERN0 + static_cast<word32>(i / 4),
                     std::vector<float>(pattern.begin() + i, pattern.begin() + std::min(i + 4, pattern.size())));
        return *this;
    }
    Stroke& set(word32 index, std::vector<float> values)
    {
        constant(index, values);
        return *this;
    }
    // A start word for `entry`; with the closed flag first for the end entry.
    Stroke& startWord(word32 entry, word32 control = 0)
    {
        ctrl(LX_VP_IADDR, entry).ctrl(LX_VP_CTRL0, control).start();
        return *this;
    }
    Stroke& segment(word32 entry, std::vector<float> values)
    {
        ctrl(LX_VP_IADDR, entry).data(values);
        return *this;
    }
    Stroke& moveTo(float x, float y) { return segment(kStart, {x, y}); }
    Stroke& lineTo(float x, float y) { return segment(kLine, {x, y}); }
    Stroke& end(bool closed)
    {
        ctrl(LX_VP_IADDR, kEnd).ctrl(LX_VP_CTRL0, closed ? 1 : 0).ctrl(LX_TE_SYNC, 0).start();
        return *this;
    }
    Stroke& polyline(const std::vector<std::pair<float, float>>& points, bool closed = false)
    {
        moveTo(points[0].first, points[0].second);
        for (size_t i = 1; i < points.size(); ++i)
            lineTo(points[i].first, points[i].second);
        return end(closed);
    }
};

// A stroke list starting with the width and the cap and join selections.
Stroke pen(float width, word32 cap, word32 join, float miterLimit = 4)
{
    Stroke s;
    s.width(width, miterLimit).select(cap).select(join);
    return s;
}

class Strokes : public GpuPaths {
public:
    // One sample a pixel, at its centre.
    void hard()
    {
        quality(0);
        matrix({1, 0, 0, 1, 0, 0});
    }
    void draw(const Stroke& s)
    {
        send(s);
        scan();
    }
    // Coverage of the pixels inside the user box [x0, x1] x [y0, y1] and outside it.
    void expectBox(const std::vector<uint32_t>& c, double x0, double y0, double x1, double y1) const
    {
        for (uint32_t y = 0; y < kHeight; ++y)
            for (uint32_t x = 0; x < kWidth; ++x) {
                const double ux = x + 0.5, uy = kHeight - y - 0.5;
                const bool in = ux > x0 && ux < x1 && uy > y0 && uy < y1;
                ASSERT_EQ(at(c, x, y), in ? 255u : 0u) << x << "," << y;
            }
    }
};

TEST_F(Strokes, CapsOfAWidth4LineCoverTheirAreas)
{
    struct Case {
        word32 cap;
        float x0, y0, x1, y1;
        double area, tolerance;
    } const cases[] = {
        {kButt, 10, 50, 110, 50, 400, 0},
        {kSquare, 10, 50, 110, 50, 416, 0},
        {kRoundCap, 10, 50, 110, 50, 400 + 4 * kPi, 0.01},
        {kButt, 60, 10, 60, 90, 320, 0},
        {kSquare, 60, 10, 60, 90, 336, 0},
        // 45 degrees, 60 sqrt 2 long: the 4 x 4 sample grid lies along the edges, within 2%
        {kButt, 20, 20, 80, 80, 4 * 60 * std::sqrt(2.0), 0.02},
        {kSquare, 20, 20, 80, 80, 4 * (60 * std::sqrt(2.0) + 4), 0.02},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("cap " + std::to_string(c.cap) + " from " + std::to_string(c.x0) + "," + std::to_string(c.y0));
        SetUp();
        draw(Stroke().width(4).select(c.cap).select(kMiter).polyline({{c.x0, c.y0}, {c.x1, c.y1}}));
        EXPECT_NEAR(coveredPixels(coverage()), c.area, c.tolerance * c.area + 1e-9);
    }

    // Without anti-aliasing the butt and square lines are their boxes, pixel for pixel.
    for (auto [cap, grow] : {std::pair<word32, double>{kButt, 0}, {kSquare, 2}}) {
        SetUp();
        hard();
        draw(pen(4, cap, kMiter).polyline({{10, 50}, {110, 50}}));
        expectBox(coverage(), 10 - grow, 48, 110 + grow, 52);
    }
}

// The polyline (20, 20), (60, 20), (60, 60) at width 8 with butt caps: the two bodies cover
// 624 pixels, the outer corner square of 16 is what joins fill in.
TEST_F(Strokes, JoinsFillTheOuterCornerOfARightAngle)
{
    struct Case {
        word32 join;
        float miterLimit;
        double area, tolerance;
    } const cases[] = {
        {kMiter, 4, 640, 0},
        {kMiter, 1.5f, 640, 0},  // sqrt 2 is within
        {kMiter, 1.4f, 632, 0.5},  // beyond: bevelled
        {kBevel, 4, 632, 0.5},
        {kRoundJoin, 4, 624 + 4 * kPi, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("join " + std::to_string(c.join) + " limit " + std::to_string(c.miterLimit));
        SetUp();
        draw(pen(8, kButt, c.join, c.miterLimit).polyline({{20, 20}, {60, 20}, {60, 60}}));
        EXPECT_NEAR(coveredPixels(coverage()), c.area, c.tolerance);
    }
}

// A sharp turn of 30 degrees between the directions' reverse: the miter reaches
// 1 / sin(15 degrees) = 3.86 half widths out, within a limit of 4 and beyond one of 3.8.
TEST_F(Strokes, ASharpMiterIsDrawnWithinItsLimitAndBevelledBeyond)
{
    const double half = 4, angle = 15 * kPi / 180;
    // The tip triangle beyond the bevel: the miter quadrilateral less the bevel triangle.
    const double tipLength = half / std::sin(angle), bevelDepth = half * std::sin(angle);
    const double tip = (tipLength - bevelDepth) * half * std::cos(angle);
    const float dx = static_cast<float>(40 * std::cos(2 * angle)), dy = static_cast<float>(40 * std::sin(2 * angle));
    double areas[2] = {};
    for (int i = 0; i < 2; ++i) {
        SetUp();
        draw(pen(8, kButt, kMiter, i == 0 ? 4.0f : 3.8f).polyline({{70, 40}, {20, 40}, {20 + dx, 40 + dy}}));
        areas[i] = coveredPixels(coverage());
    }
    EXPECT_NEAR(areas[0] - areas[1], tip, 0.05 * tip);
}

TEST_F(Strokes, AClosedSquareCoversItsRingExactly)
{
    hard();
    draw(pen(4, kButt, kMiter).polyline({{20, 20}, {60, 20}, {60, 60}, {20, 60}}, true));
    const std::vector<uint32_t> c = coverage();
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            const double ux = x + 0.5, uy = kHeight - y - 0.5;
            const bool outer = ux > 18 && ux < 62 && uy > 18 && uy < 62;
            const bool inner = ux > 22 && ux < 58 && uy > 22 && uy < 58;
            ASSERT_EQ(at(c, x, y), outer && !inner ? 255u : 0u) << x << "," << y;
        }
    // Bevelled, each corner loses a triangle of 2.
    SetUp();
    draw(pen(4, kButt, kBevel).polyline({{20, 20}, {60, 20}, {60, 60}, {20, 60}}, true));
    EXPECT_NEAR(coveredPixels(coverage()), 640 - 8, 0.5);
}

// A start and an end run with the closed flag (a MOVE_TO closed, or a line to its own start)
// is a dot by the cap.
TEST_F(Strokes, ZeroLengthSubpathsAreDotsByTheirCap)
{
    struct Case {
        word32 cap;
        double area, tolerance;
    } const cases[] = {{kButt, 0, 0}, {kSquare, 64, 0}, {kRoundCap, 16 * kPi, 0.02 * 16 * kPi}};
    for (const Case& c : cases) {
        SCOPED_TRACE("cap " + std::to_string(c.cap));
        SetUp();
        draw(Stroke().width(8).select(c.cap).select(kMiter).moveTo(40, 40).end(true));
        EXPECT_NEAR(coveredPixels(coverage()), c.area, c.tolerance);
    }
    SetUp();
    hard();
    draw(pen(8, kSquare, kBevel).moveTo(40, 40).lineTo(40, 40).end(true));
    expectBox(coverage(), 36, 36, 44, 44);
}

// The columns a dashed horizontal line from x0 to x1 covers without anti-aliasing, walked from
// the dash state here.
std::vector<bool> dashedColumns(const std::vector<float>& pattern, unsigned index, double rest, bool on, double x0,
                                double x1, unsigned& endIndex, double& endRest, bool& endOn)
{
    std::vector<bool> columns(kWidth, false);
    double at = x0;
    while (true) {
        const double next = std::min(at + rest, x1);
        if (on)
            for (uint32_t x = 0; x < kWidth; ++x)
                if (x + 0.5 > at && x + 0.5 < next)
                    columns[x] = true;
        if (at + rest >= x1) {
            rest -= x1 - at;
            break;
        }
        at += rest;
        index = (index + 1) % pattern.size();
        rest = pattern[index];
        on = !on;
    }
    endIndex = index, endRest = rest, endOn = on;
    return columns;
}

void expectRow(const std::vector<uint32_t>& c, float userY, const std::vector<bool>& columns)
{
    for (uint32_t x = 0; x < kWidth; ++x)
        ASSERT_EQ(GpuPaths::at(c, x, GpuPaths::row(userY)), columns[x] ? 255u : 0u)
            << "column " << x << " at y " << userY;
}

TEST_F(Strokes, DashesWalkThePatternFromTheirStateAndWrap)
{
    struct Case {
        const char* name;
        std::vector<float> pattern;
        unsigned index;
        float rest;
        bool on;
    } const cases[] = {
        {"(10, 5): seven dashes", {10, 5}, 0, 10, true},
        {"phase 3", {10, 5}, 0, 7, true},
        {"phase 12, in the gap", {10, 5}, 1, 3, false},
        {"four values from the third", {6, 4, 2, 4}, 2, 1, true},
        {"six values over two constants", {3, 2, 7, 3, 1, 4}, 4, 0.25f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        hard();
        draw(pen(2, kButt, kMiter).dash(c.pattern).dashState(c.index, c.rest, c.on).polyline({{10, 50}, {110, 50}}));
        unsigned i;
        double r;
        bool on;
        const std::vector<bool> expected = dashedColumns(c.pattern, c.index, c.rest, c.on, 10, 110, i, r, on);
        const std::vector<uint32_t> got = coverage();
        expectRow(got, 50, expected);
        if (c.rest == 10) {  // (10, 5) from the start: dashes at 10, 25, ... 100
            int starts = 0;
            for (uint32_t x = 1; x < kWidth; ++x)
                starts += at(got, x, row(50)) && !at(got, x - 1, row(50));
            EXPECT_EQ(starts, 7);
        }
    }
}

// Two subpaths of 30 in one list: without the phase reset the walk runs on into the second,
// with it (the start state written before each start) both begin alike.
TEST_F(Strokes, TheDashRunsOnAcrossSubpathsUnlessReset)
{
    const std::vector<float> pattern{7, 4};
    for (bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "running on");
        SetUp();
        hard();
        Stroke s;
        s.width(2).select(kButt).select(kMiter).dash(pattern).dashState(0, 7, true);
        s.polyline({{10, 30}, {40, 30}});
        if (reset)
            s.dashState(0, 7, true);
        s.polyline({{10, 60}, {40, 60}});
        draw(s);
        unsigned i;
        double r;
        bool on;
        const std::vector<bool> first = dashedColumns(pattern, 0, 7, true, 10, 40, i, r, on);
        const std::vector<bool> second =
            reset ? first : dashedColumns(pattern, i, r, on, 10, 40, i, r, on);
        const std::vector<uint32_t> c = coverage();
        expectRow(c, 30, first);
        expectRow(c, 60, second);
    }
    // A later draw's state written again restarts the walk.
    SetUp();
    hard();
    draw(pen(2, kButt, kMiter).dash(pattern).dashState(0, 7, true).polyline({{10, 30}, {40, 30}}));
    draw(Stroke().dashState(0, 7, true).polyline({{10, 60}, {40, 60}}));
    const std::vector<uint32_t> c = coverage();
    for (uint32_t x = 0; x < kWidth; ++x)
        ASSERT_EQ(at(c, x, row(30)), at(c, x, row(60))) << x;
}

TEST_F(Strokes, DashEndsTakeCapsAndCornersInsideADashStayJoins)
{
    // Round caps on (10, 10) dashes of width 4 along 0..60: three dashes, each 10 x 4 and a disc.
    draw(pen(4, kRoundCap, kMiter).dash({10, 10}).dashState(0, 10, true).polyline({{20, 50}, {80, 50}}));
    EXPECT_NEAR(coveredPixels(coverage()), 3 * (40 + 4 * kPi), 0.01 * 3 * (40 + 4 * kPi));
    // A corner inside a 100-long dash keeps its miter: as the solid polyline.
    SetUp();
    draw(pen(8, kButt, kMiter).dash({100, 10}).dashState(0, 100, true).polyline({{20, 20}, {60, 20}, {60, 60}}));
    EXPECT_NEAR(coveredPixels(coverage()), 640, 1e-9);
    // Around a closed square of 160 (width 4, miters) from phase 20 of (30, 10): the dash over
    // the start joins the first one at the corner, so every dash with its corners covers
    // 4 x its length: 4 x 120. One dash the whole way round is the ring.
    for (auto [pattern, rest, area] : {std::tuple<float, float, double>{30, 10, 480}, {200, 200, 640}}) {
        SCOPED_TRACE("dash " + std::to_string(pattern));
        SetUp();
        draw(pen(4, kButt, kMiter)
                 .dash({pattern, 10})
                 .dashState(0, rest, true)
                 .polyline({{20, 20}, {60, 20}, {60, 60}, {20, 60}}, true));
        EXPECT_NEAR(coveredPixels(coverage()), area, 1e-9);
    }
    // The enable at 0 strokes solid whatever the pattern.
    SetUp();
    draw(pen(4, kButt, kMiter)
             .dash({1, 1})
             .dashState(0, 1, true)
             .set(LX_VCNST_OVG_DASH_EN, {0})
             .polyline({{10, 50}, {110, 50}}));
    EXPECT_NEAR(coveredPixels(coverage()), 400, 1e-9);
}

// Curves and arcs widened by 4 with butt caps cover width times length (their curvature radii
// stay above the half width); the length is summed here over fine steps.
TEST_F(Strokes, CurvesAndArcsCoverWidthTimesLength)
{
    const auto length = [](const std::function<std::pair<double, double>(double)>& f) {
        double sum = 0;
        auto p = f(0);
        for (int i = 1; i <= 20000; ++i) {
            const auto q = f(i / 20000.0);
            sum += std::hypot(q.first - p.first, q.second - p.second);
            p = q;
        }
        return sum;
    };
    const auto quadratic = [](double t) {
        const double u = 1 - t;
        return std::pair<double, double>{u * u * 20 + 2 * u * t * 64 + t * t * 108,
                                         u * u * 20 + 2 * u * t * 80 + t * t * 20};
    };
    const auto cubic = [](double t) {
        const double u = 1 - t;
        return std::pair<double, double>{u * u * u * 20 + 3 * u * u * t * 40 + 3 * u * t * t * 90 + t * t * t * 110,
                                         u * u * u * 20 + 3 * u * u * t * 80 + 3 * u * t * t * 80 + t * t * t * 30};
    };
    struct Case {
        const char* name;
        Stroke list;
        double area;
    } const cases[] = {
        {"quadratic", Stroke().moveTo(20, 20).segment(kQuad, {64, 80, 108, 20}).end(false), 4 * length(quadratic)},
        {"cubic", Stroke().moveTo(20, 20).segment(kCubic, {40, 80, 90, 80, 110, 30}).end(false), 4 * length(cubic)},
        // a circle of radius 30 as two small counter-clockwise arcs, closed: its ring
        {"circle of two arcs",
         Stroke()
             .moveTo(94, 48)
             .segment(kArc, {34, 48, -60, 0, 30, 30, 1, 0, 9})
             .segment(kArc, {94, 48, 60, 0, 30, 30, 1, 0, 9})
             .end(true),
         2 * kPi * 30 * 4},
        // a half ellipse of radii 40 and 20, rotated by 90 degrees
        {"rotated half ellipse",
         Stroke().moveTo(64, 8).segment(kArc, {64, 88, 0, 80, 40, 20, 0, 1, 10}).end(false),
         4 * length([](double t) {
             return std::pair<double, double>{64 + 20 * std::sin(kPi * t), 48 - 40 * std::cos(kPi * t)};
         })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        draw(pen(4, kButt, kMiter));
        draw(c.list);
        EXPECT_NEAR(coveredPixels(coverage()), c.area, 0.01 * c.area);
    }
}

// The pen is a circle in user space: a scale of 2 across x makes it an ellipse twice as wide
// as it is high.
TEST_F(Strokes, ANonUniformScaleGivesAnEllipticalPen)
{
    struct Case {
        const char* name;
        word32 cap;
        std::vector<std::pair<float, float>> points;
        bool closed;
        double area, tolerance;
    } const cases[] = {
        {"horizontal", kButt, {{10, 50}, {50, 50}}, false, 80 * 4, 0},
        {"vertical", kButt, {{30, 20}, {30, 60}}, false, 8 * 40, 0},
        {"dot", kRoundCap, {{30, 50}}, true, kPi * 4 * 2, 0.02 * kPi * 8},
        {"square dot", kSquare, {{30, 50}}, true, 8 * 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        matrix({2, 0, 0, 1, 0, 0});
        draw(Stroke().width(4).select(c.cap).select(kMiter).polyline(c.points, c.closed));
        EXPECT_NEAR(coveredPixels(coverage()), c.area, c.tolerance + 1e-9);
    }
}

// Selections hold across draws until another is made; a microcode reload forgets them, and a
// stroke without one is a protocol error.
TEST_F(Strokes, SelectionsLastUntilChangedOrTheMicrocodeReloads)
{
    const Stroke dot = Stroke().moveTo(40, 40).end(true);
    draw(pen(4, kSquare, kMiter));
    draw(dot);
    EXPECT_EQ(coveredPixels(coverage()), 16);
    draw(Stroke().select(kButt));
    setTarget(kWidth);
    draw(dot);
    EXPECT_EQ(coveredPixels(coverage()), 0);
    draw(Stroke().select(kSquare));
    loadMicrocode(kStaticInstructions);
    draw(dot);
    expectOneError("without a cap and a join");
    EXPECT_EQ(coveredPixels(coverage()), 0);
}

TEST_F(Strokes, WhatTheStrokerDoesNotKnowIsAProtocolError)
{
    struct Case {
        const char* name;
        Stroke list;
        const char* error;
    } const cases[] = {
        {"unknown closed flag", Stroke().moveTo(20, 20).lineTo(40, 20).startWord(kEnd, 2),
         "unknown bits"},
        {"a segment outside a subpath", Stroke().lineTo(40, 20), "outside a subpath"},
        {"an end without a start", Stroke().end(false), "without its start"},
        {"a start word for a subpath start", Stroke().startWord(kStart),
         "without segment data"},
        {"data for a cap", Stroke().segment(kButt, {1, 2}), "takes none"},
        {"a line of three words", Stroke().moveTo(1, 2).segment(kLine, {1, 2, 3}), "3 data words instead of 2"},
        {"an unknown dash enable", Stroke().set(LX_VCNST_OVG_DASH_EN, {0.5f}).polyline({{20, 20}, {40, 20}}),
         "DASH_EN"},
        {"a dash index past the last", Stroke().dash({4, 4}).dashState(2, 1, true).polyline({{20, 20}, {40, 20}}),
         "before the current one"},
        {"an unknown drawn flag",
         Stroke().dashState(0, 1, true).set(LX_VCNST_OVG_STROKE_ON, {0.5f}).polyline({{20, 20}, {40, 20}}),
         "dash state"},
        {"a pattern without length", Stroke().dash({0, 0}).dashState(0, 0, true).polyline({{20, 20}, {40, 20}}),
         "without length"},
        {"a negative dash", Stroke().dash({4, -1}).dashState(0, 1, true).polyline({{20, 20}, {40, 20}}), "dash length"},
        {"a negative width", Stroke().set(LX_VCNST_OVG_STROKE_PARAM, {-1, 4}).polyline({{20, 20}, {40, 20}}),
         "no width"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        draw(pen(4, kRoundCap, kRoundJoin));
        draw(c.list);
        expectOneError(c.error);
        EXPECT_EQ(coveredPixels(coverage()), 0);
    }
}

// Values out of range drop what they touch; tiny dashes and zero steps stay bounded.
TEST_F(Strokes, OutOfRangeValuesAreDroppedAndTheWorkIsBounded)
{
    const float nan = NAN, inf = INFINITY;
    // A start not finite drops its subpath; a segment not finite is left out and the next
    // joins on from the last point.
    draw(pen(4, kButt, kMiter));
    draw(Stroke().moveTo(nan, 20).lineTo(60, 20).end(false).moveTo(10, 50).lineTo(60, inf).lineTo(60, 50).end(false));
    EXPECT_NEAR(coveredPixels(coverage()), 200, 1e-9);
    // Dashes of 1e-6 along a line 100 long stop after the most dashes a subpath walks.
    SetUp();
    draw(pen(4, kButt, kMiter).dash({1e-6f, 1e-6f}).dashState(0, 1e-6f, true).polyline({{10, 50}, {110, 50}}));
    EXPECT_LT(coveredPixels(coverage()), 1);
    // Round pieces with no angle step and curves with no tolerance take the most pieces (each
    // piece its own polygon: a row crosses many, more than the fixture's edge buffer allows).
    SetUp();
    cglWriteXPTReg1(LX_XPT_XSIZE, 65535);
    draw(pen(8, kRoundCap, kRoundJoin)
             .set(LX_VCNST_OVG_DIV_ANGLE, {1, 1, 1, 1})
             .set(LX_VCNST_OVG_DIV_STROKE_TH1, {0, 0, 0, 0})
             .set(LX_VCNST_OVG_DIV_STROKE_TH2, {0, 0, 0, 0})
             .moveTo(20, 20).end(true));
    EXPECT_NEAR(coveredPixels(coverage()), 16 * kPi, 0.01 * 16 * kPi);
    // The quadratic as finely cut covers what the usual thresholds give.
    double areas[2] = {};
    for (int fine = 0; fine < 2; ++fine) {
        SetUp();
        cglWriteXPTReg1(LX_XPT_XSIZE, 65535);
        Stroke s;
        s.width(4).select(kButt).select(kBevel);
        if (fine)
            s.set(LX_VCNST_OVG_DIV_STROKE_TH1, {0, 0, 0, 0}).set(LX_VCNST_OVG_DIV_STROKE_TH2, {0, 0, 0, 0});
        draw(s.moveTo(20, 20).segment(kQuad, {64, 80, 108, 20}).end(false));
        areas[fine] = coveredPixels(coverage());
    }
    EXPECT_NEAR(areas[1], areas[0], 0.01 * areas[0]);
}

}  // namespace
}  // namespace gputest
