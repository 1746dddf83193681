#include "flatten.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

// A curve whose second derivative stays within M strays at most M h^2 / 8 from the chord of a
// parameter step h. For a quadratic M = 2 |p0 - 2 p1 + p2|; for a cubic M is at most 6 times
// the larger of its two second differences.
void flattenQuadratic(const Point p[3], const Flattening& f, std::vector<Point>& out)
{
    const double m = 2 * length(p[0].x - 2 * p[1].x + p[2].x, p[0].y - 2 * p[1].y + p[2].y);
    const unsigned n = piecesFor(1.0, std::sqrt(8 * f.tolerance / m));
    for (unsigned i = 1; i < n; ++i) {
        const double t = static_cast<double>(i) / n, s = 1 - t;
        out.push_back(Point{s * s * p[0].x + 2 * s * t * p[1].x + t * t * p[2].x,
                            s * s * p[0].y + 2 * s * t * p[1].y + t * t * p[2].y});
    }
    out.push_back(p[2]);
}

void flattenCubic(const Point p[4], const Flattening& f, std::vector<Point>& out)
{
    const double m = 6 * std::max(length(p[0].x - 2 * p[1].x + p[2].x, p[0].y - 2 * p[1].y + p[2].y),
                                  length(p[1].x - 2 * p[2].x + p[3].x, p[1].y - 2 * p[2].y + p[3].y));
    const unsigned n = piecesFor(1.0, std::sqrt(8 * f.tolerance / m));
    for (unsigned i = 1; i < n; ++i) {
        const double t = static_cast<double>(i) / n, s = 1 - t;
        const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        out.push_back(Point{a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x,
                            a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y});
    }
    out.push_back(p[3]);
}

// The end point, turned back by the rotation and divided by the radii, lies on the unit circle
// through the origin (the start); its centre is off the chord's middle to the left for the
// small counter-clockwise and the large clockwise arc, to the right for the other two.
void flattenArc(const Arc& arc, const Flattening& f, std::vector<Point>& out)
{
    double rh = std::fabs(arc.rh), rv = std::fabs(arc.rv);
    const double c = arc.cosRot, s = arc.sinRot;
    if (rh == 0 || rv == 0) {
        out.push_back(arc.end);
        return;
    }
    double u = (c * arc.d.x + s * arc.d.y) / rh, v = (-s * arc.d.x + c * arc.d.y) / rv;
    double chord = length(u, v);
    if (!(chord > 0) || !std::isfinite(chord))
        return;
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

    // An angle step a keeps the chord within r (1 - cos(a / 2)) of the unit circle's image,
    // r the larger radius.
    const double r = std::max(rh, rv);
    const double chordStep = f.tolerance >= 2 * r ? 2 * kPi : 2 * std::acos(1 - f.tolerance / r);
    const unsigned n = std::max(piecesFor(std::fabs(sweep), chordStep), piecesFor(std::fabs(sweep), f.maxArcStep));
    for (unsigned i = 1; i < n; ++i) {
        const double a = from + sweep * i / n;
        const double lx = rh * (cx + std::cos(a)), ly = rv * (cy + std::sin(a));
        out.push_back(Point{arc.start.x + c * lx - s * ly, arc.start.y + s * lx + c * ly});
    }
    out.push_back(arc.end);
}

}  // namespace simgpu
