#pragma once

// The stroker's geometry: a subpath's flattened centre line widened into closed polygons, in
// the path's user units. Every piece (a segment body, a join, a cap, a dot) is a polygon of its
// own turned counter-clockwise, so that their union is what a non-zero scan covers. Joins and
// caps take the segments' own directions at their ends, not the flattened pieces'. Dashing
// walks the centre line over the pattern and strokes each dash as an open line of its own:
// caps at its ends, joins at the corners inside it.

#include <vector>

#include "flatten.h"

namespace simgpu {

enum class Cap { Butt, Round, Square };
enum class Join { Miter, Round, Bevel };

struct StrokeStyle {
    double halfWidth;      // user units, > 0
    double miterSquared;   // (miter limit x width)^2: a longer miter is bevelled
    Cap cap;
    Join join;
    double roundStep;      // radians a piece of a round join, cap or dot may span; 0: the most pieces
    double flatJoinCosine; // a turn whose cosine is above this is bevelled even by a round join
};

// A point of the centre line; `corner` where two segments meet (it takes the selected join),
// else a point inside one flattened curve, where the pen turns from one piece's direction to
// the next: round on both sides, as the pen held across the curve sweeps. Where a segment ends
// here (starts here), `reaching` (`leaving`) is its own direction at this end, not made unit,
// for the join or cap, the pen turning inside the segment between it and the piece next to the
// point; zero takes the piece's direction.
struct CentrePoint {
    Point p;
    bool corner;
    Point reaching{0, 0};
    Point leaving{0, 0};
};

// Where the dash walk stands: the pattern value in use, the length left of it, and whether it
// is drawn.
struct DashState {
    unsigned index;
    double rest;
    bool on;
};

// Pattern values (finite, not negative, not all 0) that the walk wraps around.
struct DashPattern {
    std::vector<double> values;
};

using Polygon = std::vector<Point>;

// Most dashes one subpath walks; the walk stops there.
constexpr unsigned kMaxDashes = 1u << 16;

// Widens one subpath. A closed subpath also runs from its last point back to its first and
// joins there; an open one gets caps. A subpath without length is a dot by the cap (a disc, a
// square along the axes, nothing for butt), drawn unless a dash walk stands in a gap. With a
// pattern, `state` is where the walk starts and is left where it ends.
void strokeSubpath(const std::vector<CentrePoint>& line, bool closed, const StrokeStyle& style,
                   const DashPattern* dash, DashState& state, std::vector<Polygon>& out);

}  // namespace simgpu
