// The GPU model's flattening of curves and arcs: every chord stays within the tolerance of the
// curve, no segment takes more than the piece cap, and the polylines end where the segments end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "model/flatten.h"

namespace {

using simgpu::Flattening;
using simgpu::kMaxPieces;
using simgpu::Point;

constexpr double kPi = 3.14159265358979323846;

double distanceToSegment(const Point& p, const Point& a, const Point& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// The farthest the curve, sampled finely, strays from the polyline through `points`.
double strayOf(const std::function<Point(double)>& curve, const std::vector<Point>& points)
{
    double worst = 0;
    for (int i = 0; i <= 4000; ++i) {
        const Point p = curve(i / 4000.0);
        double nearest = INFINITY;
        for (size_t k = 0; k + 1 < points.size(); ++k)
            nearest = std::min(nearest, distanceToSegment(p, points[k], points[k + 1]));
        worst = std::max(worst, nearest);
    }
    return worst;
}

struct Curve {
    const char* name;
    std::vector<Point> p;
};

Point bezier(const std::vector<Point>& p, double t)
{
    std::vector<Point> q = p;
    for (size_t n = q.size(); n > 1; --n)
        for (size_t i = 0; i + 1 < n; ++i)
            q[i] = Point{q[i].x + t * (q[i + 1].x - q[i].x), q[i].y + t * (q[i + 1].y - q[i].y)};
    return q[0];
}

const Curve kCurves[] = {
    {"glyph-sized quadratic", {{0, 0}, {3, 8}, {6, 1}}},
    {"wide quadratic", {{0, 0}, {200, 300}, {400, -50}}},
    {"straight quadratic", {{0, 0}, {1, 1}, {2, 2}}},
    {"cubic with a loop", {{0, 0}, {100, 100}, {0, 100}, {100, 0}}},
    {"quarter circle cubic", {{40, 0}, {40, 22.09}, {22.09, 40}, {0, 40}}},
};

TEST(Flatten, EveryChordStaysWithinTheTolerance)
{
    for (const Curve& c : kCurves)
        for (double tolerance : {0.5, 0.06, 0.005}) {
            SCOPED_TRACE(std::string(c.name) + ", tolerance " + std::to_string(tolerance));
            std::vector<Point> points{c.p.front()};
            if (c.p.size() == 3)
                simgpu::flattenQuadratic(c.p.data(), Flattening{tolerance, 0}, points);
            else
                simgpu::flattenCubic(c.p.data(), Flattening{tolerance, 0}, points);
            EXPECT_LE(points.size() - 1, kMaxPieces);
            EXPECT_EQ(points.back().x, c.p.back().x);
            EXPECT_EQ(points.back().y, c.p.back().y);
            EXPECT_LE(strayOf([&](double t) { return bezier(c.p, t); }, points), tolerance);
        }
}

TEST(Flatten, PiecesStopAtTheCap)
{
    struct Case {
        const char* name;
        Flattening f;
        std::vector<Point> p;
        size_t pieces;
    } const cases[] = {
        {"zero tolerance", {0, 0}, {{0, 0}, {3, 8}, {6, 1}}, kMaxPieces},
        {"zero tolerance on a straight curve", {0, 0}, {{0, 0}, {1, 1}, {2, 2}}, kMaxPieces},
        {"a curve far larger than the tolerance", {1e-6, 0}, {{0, 0}, {3e38, 3e38}, {-3e38, 0}}, kMaxPieces},
        {"a tolerance beyond the curve", {INFINITY, 0}, {{0, 0}, {3, 8}, {6, 1}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Point> points;
        simgpu::flattenQuadratic(c.p.data(), c.f, points);
        EXPECT_EQ(points.size(), c.pieces);
    }
}

// Arcs of a circle of radius 10 about the origin, from (10, 0).
TEST(Flatten, ArcPiecesKeepToTheToleranceAndTheAngleStep)
{
    struct Case {
        const char* name;
        Flattening f;
        double sweep;  // radians, counter-clockwise
        size_t fewestPieces, mostPieces;
    } const cases[] = {
        {"fine tolerance", {0.01, kPi}, kPi / 2, 18, 30},
        {"angle step of 10 degrees", {1, 10 * kPi / 180}, kPi, 18, 19},
        {"no angle step", {1, 0}, kPi / 2, kMaxPieces, kMaxPieces},
        {"zero tolerance", {0, kPi}, kPi / 2, kMaxPieces, kMaxPieces},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Point end{10 * std::cos(c.sweep), 10 * std::sin(c.sweep)};
        const simgpu::Arc arc{{10, 0}, end, {end.x - 10, end.y}, 10, 10, 1, 0, c.sweep > kPi, true};
        std::vector<Point> points{arc.start};
        simgpu::flattenArc(arc, c.f, points);
        EXPECT_GE(points.size() - 1, c.fewestPieces);
        EXPECT_LE(points.size() - 1, c.mostPieces);
        EXPECT_EQ(points.back().x, end.x);
        if (c.f.tolerance > 0) {
            EXPECT_LE(strayOf([&](double t) { return Point{10 * std::cos(t * c.sweep), 10 * std::sin(t * c.sweep)}; },
                              points),
                      c.f.tolerance);
        }
    }
}

}  // namespace
