#pragma once

// Curves and elliptical arcs of the path entries as polylines, in the path's user units.
// A curve is cut into equal parameter steps, as many as keep the distance between the curve
// and each chord within the tolerance; an arc into equal angle steps that also keep each step
// within the largest angle allowed. For a stroke, curve pieces whose direction may turn by more
// than a given angle are cut in halves further (the pen held across the direction follows it).
// No segment takes more than kMaxPieces pieces, so the work stays bounded whatever the
// thresholds.

#include <limits>
#include <vector>

namespace simgpu {

struct Point {
    double x, y;
};

struct Flattening {
    double tolerance;     // chord error, user units; 0 cuts every segment into kMaxPieces
    double maxArcStep;    // radians an arc piece may span; 0 likewise
    // Radians a curve's direction may turn across one piece; 0 cuts a turning curve as finely as
    // the cap allows.
    double maxTurn = std::numeric_limits<double>::infinity();
};

constexpr unsigned kMaxPieces = 1024;

// Each appends the segment's points after its first one (the caller has the start point).
void flattenQuadratic(const Point p[3], const Flattening& f, std::vector<Point>& out);
void flattenCubic(const Point p[4], const Flattening& f, std::vector<Point>& out);

// An arc from `start` to `end` given as OpenVG 1.1 gives it: the end point relative to the
// start (d), the radii, the rotation's cosine and sine as they stand, and whether it is the
// large one and counter-clockwise. Radii too small to join the points are scaled up; a zero
// radius gives the straight line; an end point equal to the start gives nothing.
struct Arc {
    Point start, end, d;
    double rh, rv, cosRot, sinRot;
    bool large, counterClockwise;
};
void flattenArc(const Arc& arc, const Flattening& f, std::vector<Point>& out);

// The directions a segment leaves its start in and reaches its end in, not made unit; zero
// where it has none (all its points equal, or an arc that gives nothing).
struct EndDirections {
    Point start{0, 0}, end{0, 0};
};
EndDirections quadraticDirections(const Point p[3]);
EndDirections cubicDirections(const Point p[4]);
EndDirections arcDirections(const Arc& arc);

}  // namespace simgpu
