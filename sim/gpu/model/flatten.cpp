#include "flatten.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace simgpu {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Pieces of at most `step` each over `extent`; the cap when the step is zero or not a number.
unsigned piecesFor(double extent, double step)
{
    if (!(step > 0))
        return kMaxPieces;
    const double n = std::ceil(extent / step);
    if (!(n < kMaxPieces))
        return kMaxPieces;
    return std::max(1u, static_cast<unsigned>(n));
}

double length(double x, double y)
{
    return std::sqrt(x * x + y * y);
}

Point minus(const Point& a, const Point& b)
{
    return Point{a.x - b.x, a.y - b.y};
}

bool isZero(const Point& d)
{
    return d.x == 0 && d.y == 0;
}

// The angle between two directions, 0 to pi.
double angleBetween(const Point& a, const Point& b)
{
    return std::atan2(std::fabs(a.x * b.y - a.y * b.x), a.x * b.x + a.y * b.y);
}

// A quadratic (three points) or cubic (four) Bezier curve.
struct Bezier {
    const Point* p;
    unsigned degree;

    Point at(double t) const
    {
        const double s = 1 - t;
        if (degree == 2)
            return Point{s * s * p[0].x + 2 * s * t * p[1].x + t * t * p[2].x,
                         s * s * p[0].y + 2 * s * t * p[1].y + t * t * p[2].y};
        const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        return Point{a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x,
                     a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y};
    }

    // At most how far the direction turns across [t0, t1]: the derivative there is a Bezier
    // curve (a line for a quadratic) whose control vectors hold every direction it takes, so
    // the angles between the consecutive ones that are not zero bound the turn. Pi or more: it
    // may turn back (a cusp).
    double turnAcross(double t0, double t1) const
    {
        const Point d0 = minus(p[1], p[0]), d1 = minus(p[2], p[1]);
        const auto lerp = [](const Point& a, const Point& b, double t) {
            return Point{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
        };
        Point q[3];
        unsigned n = 0;
        if (degree == 2) {
            q[n++] = lerp(d0, d1, t0);
            q[n++] = lerp(d0, d1, t1);
        } else {
            const Point d2 = minus(p[3], p[2]);
            const double s0 = 1 - t0, s1 = 1 - t1;
            q[n++] = lerp(lerp(d0, d1, t0), lerp(d1, d2, t0), t0);
            q[n++] = Point{s0 * s1 * d0.x + (s0 * t1 + t0 * s1) * d1.x + t0 * t1 * d2.x,
                           s0 * s1 * d0.y + (s0 * t1 + t0 * s1) * d1.y + t0 * t1 * d2.y};
            q[n++] = lerp(lerp(d0, d1, t1), lerp(d1, d2, t1), t1);
        }
        double turn = 0;
        const Point* last = nullptr;
        for (unsigned i = 0; i < n; ++i) {
            if (isZero(q[i]))
                continue;
            if (last)
                turn += angleBetween(*last, q[i]);
            last = &q[i];
        }
        return turn;
    }

    // Appends the points of [t0, t1] after t0: t1, or while the direction may turn by more than
    // `maxTurn` across it and `depth` allows, the points of its halves.
    void refine(double t0, double t1, unsigned depth, double maxTurn, std::vector<Point>& out) const
    {
        if (depth > 0 && !(turnAcross(t0, t1) <= maxTurn)) {
            const double middle = (t0 + t1) / 2;
            refine(t0, middle, depth - 1, maxTurn, out);
            refine(middle, t1, depth - 1, maxTurn, out);
            return;
        }
        out.push_back(t1 == 1 ? p[degree] : at(t1));
    }

    // n equal parameter steps, each cut further by the turn within the cap.
    void flatten(unsigned n, double maxTurn, std::vector<Point>& out) const
    {
        unsigned depth = 0;
        while (std::isfinite(maxTurn) && (n << (depth + 1)) <= kMaxPieces)
            ++depth;
        for (unsigned i = 1; i <= n; ++i)
            refine(static_cast<double>(i - 1) / n, static_cast<double>(i) / n, depth, maxTurn, out);
    }
};

// The first of `d` that is not zero.
Point firstDirection(std::initializer_list<Point> d)
{
    for (const Point& v : d)
        if (!isZero(v))
            return v;
    return Point{0, 0};
}

}  // namespace

// A curve whose second derivative stays within M strays at most M h^2 / 8 from the chord of a
// parameter step h. For a quadratic M = 2 |p0 - 2 p1 + p2|; for a cubic M is at most 6 times
// the larger of its two second differences.
void flattenQuadratic(const Point p[3], const Flattening& f, std::vector<Point>& out)
{
    const double m = 2 * length(p[0].x - 2 * p[1].x + p[2].x, p[0].y - 2 * p[1].y + p[2].y);
    Bezier{p, 2}.flatten(piecesFor(1.0, std::sqrt(8 * f.tolerance / m)), f.maxTurn, out);
}

void flattenCubic(const Point p[4], const Flattening& f, std::vector<Point>& out)
{
    const double m = 6 * std::max(length(p[0].x - 2 * p[1].x + p[2].x, p[0].y - 2 * p[1].y + p[2].y),
                                  length(p[1].x - 2 * p[2].x + p[3].x, p[1].y - 2 * p[2].y + p[3].y));
    Bezier{p, 3}.flatten(piecesFor(1.0, std::sqrt(8 * f.tolerance / m)), f.maxTurn, out);
}

EndDirections quadraticDirections(const Point p[3])
{
    return EndDirections{firstDirection({minus(p[1], p[0]), minus(p[2], p[0])}),
                         firstDirection({minus(p[2], p[1]), minus(p[2], p[0])})};
}

EndDirections cubicDirections(const Point p[4])
{
    return EndDirections{firstDirection({minus(p[1], p[0]), minus(p[2], p[0]), minus(p[3], p[0])}),
                         firstDirection({minus(p[3], p[2]), minus(p[3], p[1]), minus(p[3], p[0])})};
}

namespace {

// An elliptical arc in its own frame: the point at angle a is the start plus the rotation of
// (rh (cx + cos a), rv (cy + sin a)); it runs from angle `from` through `sweep`.
struct ArcFrame {
    double rh, rv, cx, cy, from, sweep;

    Point at(const Arc& arc, double a) const
    {
        const double lx = rh * (cx + std::cos(a)), ly = rv * (cy + std::sin(a));
        return Point{arc.start.x + arc.cosRot * lx - arc.sinRot * ly, arc.start.y + arc.sinRot * lx + arc.cosRot * ly};
    }

    // The direction of travel at angle a.
    Point direction(const Arc& arc, double a) const
    {
        const double turn = sweep < 0 ? -1 : 1;
        const double lx = -turn * rh * std::sin(a), ly = turn * rv * std::cos(a);
        return Point{arc.cosRot * lx - arc.sinRot * ly, arc.sinRot * lx + arc.cosRot * ly};
    }
};

enum class ArcShape { Nothing, Line, Ellipse };

// The end point, turned back by the rotation and divided by the radii, lies on the unit circle
// through the origin (the start); its centre is off the chord's middle to the left for the
// small counter-clockwise and the large clockwise arc, to the right for the other two.
ArcShape arcFrame(const Arc& arc, ArcFrame& frame)
{
    double rh = std::fabs(arc.rh), rv = std::fabs(arc.rv);
    const double c = arc.cosRot, s = arc.sinRot;
    if (rh == 0 || rv == 0)
        return ArcShape::Line;
    double u = (c * arc.d.x + s * arc.d.y) / rh, v = (-s * arc.d.x + c * arc.d.y) / rv;
    double chord = length(u, v);
    if (!(chord > 0) || !std::isfinite(chord))
        return ArcShape::Nothing;
    if (chord > 2) {
        const double grow = chord / 2;
        rh *= grow;
        rv *= grow;
        u /= grow;
        v /= grow;
        chord = 2;
    }
    const double h = std::sqrt(std::max(0.0, 1 - chord * chord / 4));
    const double side = arc.counterClockwise != arc.large ? 1 : -1;
    const double cx = u / 2 - side * h * v / chord, cy = v / 2 + side * h * u / chord;
    const double from = std::atan2(-cy, -cx);
    double sweep = std::atan2(v - cy, u - cx) - from;
    if (arc.counterClockwise && sweep < 0)
        sweep += 2 * kPi;
    if (!arc.counterClockwise && sweep > 0)
        sweep -= 2 * kPi;
    frame = ArcFrame{rh, rv, cx, cy, from, sweep};
    return ArcShape::Ellipse;
}

}  // namespace

void flattenArc(const Arc& arc, const Flattening& f, std::vector<Point>& out)
{
    ArcFrame e;
    const ArcShape shape = arcFrame(arc, e);
    if (shape == ArcShape::Line)
        out.push_back(arc.end);
    if (shape != ArcShape::Ellipse)
        return;
    // An angle step a keeps the chord within r (1 - cos(a / 2)) of the unit circle's image,
    // r the larger radius.
    const double r = std::max(e.rh, e.rv);
    const double chordStep = f.tolerance >= 2 * r ? 2 * kPi : 2 * std::acos(1 - f.tolerance / r);
    const unsigned n =
        std::max(piecesFor(std::fabs(e.sweep), chordStep), piecesFor(std::fabs(e.sweep), f.maxArcStep));
    for (unsigned i = 1; i < n; ++i)
        out.push_back(e.at(arc, e.from + e.sweep * i / n));
    out.push_back(arc.end);
}

// The derivative of the ellipse at its two ends; the straight line's own direction.
EndDirections arcDirections(const Arc& arc)
{
    ArcFrame e;
    switch (arcFrame(arc, e)) {
    case ArcShape::Line: return EndDirections{arc.d, arc.d};
    case ArcShape::Ellipse: return EndDirections{e.direction(arc, e.from), e.direction(arc, e.from + e.sweep)};
    default: return EndDirections{};
    }
}

}  // namespace simgpu
