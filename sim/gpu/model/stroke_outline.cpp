#include "stroke_outline.h"

#include <algorithm>
#include <cmath>

namespace simgpu {
namespace {

constexpr double kPi = 3.14159265358979323846;

Point operator+(Point a, Point b) { return Point{a.x + b.x, a.y + b.y}; }
Point operator-(Point a, Point b) { return Point{a.x - b.x, a.y - b.y}; }
Point operator*(double s, Point a) { return Point{s * a.x, s * a.y}; }
bool same(Point a, Point b) { return a.x == b.x && a.y == b.y; }
bool known(Point d) { return d.x != 0 || d.y != 0; }
double distance(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }
// The left normal of a direction (y up).
Point normal(Point d) { return Point{-d.y, d.x}; }

Point direction(Point a, Point b)
{
    const Point d = b - a;
    const double length = std::hypot(d.x, d.y);
    return Point{d.x / length, d.y / length};
}

// A point met again without a step: a corner if either is, reached as the first was and left
// as the second is.
void merge(CentrePoint& into, const CentrePoint& c)
{
    into.corner = into.corner || c.corner;
    if (!known(into.reaching))
        into.reaching = c.reaching;
    if (known(c.leaving))
        into.leaving = c.leaving;
}

// A dash (or the whole subpath): its points, consecutive ones apart (a closed one ending on
// its first), and the directions it leaves its first point in and reaches its last.
struct Piece {
    std::vector<CentrePoint> points;
    bool closed = false;
    Point startDirection{1, 0}, endDirection{1, 0};

    void push(const CentrePoint& c)
    {
        if (!points.empty() && same(points.back().p, c.p))
            merge(points.back(), c);
        else
            points.push_back(c);
    }
};

class Outline {
public:
    Outline(const StrokeStyle& style, std::vector<Polygon>& out) : s_(style), out_(out) {}

    void piece(const Piece& p)
    {
        const auto& v = p.points;
        for (size_t i = 0; i + 1 < v.size(); ++i)
            body(v[i].p, v[i + 1].p);
        for (size_t i = 1; i + 1 < v.size(); ++i)
            turn(v[i], direction(v[i - 1].p, v[i].p), direction(v[i].p, v[i + 1].p), distance(v[i - 1].p, v[i].p),
                 distance(v[i].p, v[i + 1].p));
        // A dash of no length is a single point.
        const double first = v.size() > 1 ? distance(v[0].p, v[1].p) : 0;
        const double last = v.size() > 1 ? distance(v[v.size() - 2].p, v.back().p) : 0;
        // A closed piece ends on its first point, where it joins itself.
        if (p.closed) {
            CentrePoint start = v.front();
            start.reaching = v.back().reaching;
            turn(start, p.endDirection, p.startDirection, last, first);
            return;
        }
        const Point leaving = own(v.front().leaving, p.startDirection);
        const Point reaching = own(v.back().reaching, p.endDirection);
        penTurn(v.front().p, leaving, p.startDirection, 0, first);
        penTurn(v.back().p, p.endDirection, reaching, last, 0);
        cap(v.front().p, -1 * leaving);
        cap(v.back().p, reaching);
    }

    void dot(Point at)
    {
        const double h = s_.halfWidth;
        if (s_.cap == Cap::Square)
            add({at + Point{-h, -h}, at + Point{h, -h}, at + Point{h, h}, at + Point{-h, h}});
        else if (s_.cap == Cap::Round) {
            Polygon disc;
            fan(disc, at, Point{h, 0}, 2 * kPi);
            add(std::move(disc));
        }
    }

private:
    // Keeps a polygon with area, turned counter-clockwise.
    void add(Polygon polygon)
    {
        double area = 0;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const Point& a = polygon[i];
            const Point& b = polygon[(i + 1) % polygon.size()];
            area += a.x * b.y - b.x * a.y;
        }
        if (!(area != 0))
            return;
        if (area < 0)
            std::reverse(polygon.begin(), polygon.end());
        out_.push_back(std::move(polygon));
    }

    // Points around `centre` from centre + `from` turning by `angle` (counter-clockwise when
    // positive), both ends included, in pieces no wider than the round step.
    void fan(Polygon& out, Point centre, Point from, double angle) const
    {
        const double turn = std::fabs(angle);
        double n = s_.roundStep > 0 ? std::ceil(turn / s_.roundStep) : kMaxPieces;
        n = std::min<double>(std::max(n, 1.0), kMaxPieces);
        const unsigned steps = static_cast<unsigned>(n);
        for (unsigned k = 0; k <= steps; ++k) {
            const double a = angle * k / steps, c = std::cos(a), s = std::sin(a);
            out.push_back(centre + Point{c * from.x - s * from.y, s * from.x + c * from.y});
        }
    }

    void body(Point a, Point b)
    {
        const Point n = s_.halfWidth * normal(direction(a, b));
        add({a + n, b + n, b - n, a - n});
    }

    // A segment's own direction made unit, or the piece's where it has none.
    static Point own(Point d, Point piece)
    {
        if (!known(d))
            return piece;
        const double length = std::hypot(d.x, d.y);
        return Point{d.x / length, d.y / length};
    }

    // The point `at` between pieces arriving in d0 (`before` long) and leaving in d1 (`after`):
    // inside a curve the pen turns; where two segments meet, it turns inside the first from d0
    // to that segment's own direction, joins by the selected style to the second's own
    // direction, and turns inside the second to d1.
    void turn(const CentrePoint& at, Point d0, Point d1, double before, double after)
    {
        if (!at.corner) {
            penTurn(at.p, d0, d1, before, after);
            return;
        }
        const Point reaching = own(at.reaching, d0), leaving = own(at.leaving, d1);
        penTurn(at.p, d0, reaching, before, 0);
        join(at.p, reaching, leaving, s_.join);
        penTurn(at.p, leaving, d1, 0, after);
    }

    // The pen turning about `at` from across d0 to across d1 inside one segment sweeps a wedge
    // on each side. The outer one is the round join; the inner one lies within the piece before
    // (`before` long) or after when that is long enough, and is added only where it does not.
    void penTurn(Point at, Point d0, Point d1, double before, double after)
    {
        const double cross = d0.x * d1.y - d0.y * d1.x, dot = d0.x * d1.x + d0.y * d1.y;
        if (cross == 0 && dot > 0)
            return;
        join(at, d0, d1, Join::Round);
        const double turn = std::atan2(cross, dot);
        const double reach = s_.halfWidth * std::sin(std::min(std::fabs(turn), kPi / 2));
        // A left turn's inner side is on the left.
        if (dot < s_.flatJoinCosine && reach > std::max(before, after))
            wedge(at, (turn > 0 ? 1 : -1) * s_.halfWidth * normal(d0), turn);
    }

    // The disc's sector about `at` from at + `from` turning by `angle`.
    void wedge(Point at, Point from, double angle)
    {
        Polygon sector{at};
        fan(sector, at, from, angle);
        add(std::move(sector));
    }

    // The join at `at` from direction d0 to d1, on the outer side of the turn.
    void join(Point at, Point d0, Point d1, Join style)
    {
        const double cross = d0.x * d1.y - d0.y * d1.x, dot = d0.x * d1.x + d0.y * d1.y;
        if (cross == 0 && dot > 0)
            return;
        const double turn = std::atan2(cross, dot);
        const double side = turn > 0 ? -1 : 1;  // a left turn widens on the right
        const double h = s_.halfWidth;
        const Point a = at + side * h * normal(d0), b = at + side * h * normal(d1);
        if (style == Join::Round && dot < s_.flatJoinCosine) {
            wedge(at, side * h * normal(d0), turn);
            return;
        }
        // The miter's length over the width is 1 / cos(turn / 2).
        if (style == Join::Miter && dot > -1 && 8 * h * h <= s_.miterSquared * (1 + dot)) {
            const Point tip = at + (side * h / (1 + dot)) * (normal(d0) + normal(d1));
            add({at, a, tip, b});
            return;
        }
        add({at, a, b});
    }

    // The cap at an open end leaving in direction d.
    void cap(Point at, Point d)
    {
        const Point n = s_.halfWidth * normal(d);
        if (s_.cap == Cap::Square) {
            const Point out = s_.halfWidth * d;
            add({at + n, at - n, at - n + out, at + n + out});
        } else if (s_.cap == Cap::Round) {
            Polygon half;
            fan(half, at, n, -kPi);
            add(std::move(half));
        }
    }

    const StrokeStyle& s_;
    std::vector<Polygon>& out_;
};

// The centre line without zero-length steps; a closed one ends back at its first point, which
// is then a corner.
std::vector<CentrePoint> cleaned(const std::vector<CentrePoint>& line, bool closed)
{
    std::vector<CentrePoint> v;
    for (const CentrePoint& c : line) {
        if (!v.empty() && same(v.back().p, c.p))
            merge(v.back(), c);
        else
            v.push_back(c);
    }
    if (closed && v.size() > 1) {
        v.front().corner = true;
        if (!same(v.back().p, v.front().p))
            v.push_back(CentrePoint{v.front().p, true});  // the closing line, reaching it straight
        v.back().corner = true;
    }
    return v;
}

// The dashes along a centre line of at least one step.
std::vector<Piece> dashes(const std::vector<CentrePoint>& v, bool closed, const DashPattern& dash, DashState& state)
{
    std::vector<Piece> pieces;
    Piece current;
    bool startsAtStart = state.on;  // the first dash begins with the subpath
    unsigned walked = 0;
    const Point first = direction(v[0].p, v[1].p);
    if (state.on) {
        current.push(v[0]);
        current.startDirection = first;
    }
    for (size_t i = 0; i + 1 < v.size() && walked < kMaxDashes; ++i) {
        const Point a = v[i].p, d = direction(a, v[i + 1].p);
        const double length = std::hypot(v[i + 1].p.x - a.x, v[i + 1].p.y - a.y);
        double at = 0;
        while (length - at > state.rest && walked < kMaxDashes) {
            at += state.rest;
            const Point p = a + at * d;
            current.push(CentrePoint{p, false});
            if (state.on) {
                current.endDirection = d;
                pieces.push_back(std::move(current));
                current = Piece();
            } else {
                current.startDirection = d;
            }
            state.index = (state.index + 1) % dash.values.size();
            state.rest = dash.values[state.index];
            state.on = !state.on;
            ++walked;
        }
        if (walked >= kMaxDashes)
            return pieces;
        state.rest -= length - at;
        if (state.on) {
            current.push(v[i + 1]);
            current.endDirection = d;
        }
    }
    if (!state.on)
        return pieces;
    if (closed && walked == 0) {
        current.closed = true;  // one dash all the way round
        pieces.push_back(std::move(current));
    } else if (closed && startsAtStart && !pieces.empty()) {
        // The dash running over the start carries on into the first one, joined at the start.
        Piece& head = pieces.front();
        current.points.insert(current.points.end(), head.points.begin() + 1, head.points.end());
        current.endDirection = head.endDirection;
        head = std::move(current);
    } else {
        pieces.push_back(std::move(current));
    }
    return pieces;
}

}  // namespace

void strokeSubpath(const std::vector<CentrePoint>& line, bool closed, const StrokeStyle& style,
                   const DashPattern* dash, DashState& state, std::vector<Polygon>& out)
{
    Outline outline(style, out);
    const std::vector<CentrePoint> v = cleaned(line, closed);
    if (v.size() < 2) {
        if (!v.empty() && (!dash || state.on))
            outline.dot(v.front().p);
        return;
    }
    if (dash) {
        // A dash of no length is a single point capped along the line it sits on.
        for (const Piece& p : dashes(v, closed, *dash, state))
            outline.piece(p);
        return;
    }
    Piece whole;
    whole.points = v;
    whole.closed = closed;
    whole.startDirection = direction(v[0].p, v[1].p);
    whole.endDirection = direction(v[v.size() - 2].p, v.back().p);
    outline.piece(whole);
}

}  // namespace simgpu
