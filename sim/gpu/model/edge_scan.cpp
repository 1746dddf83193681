#include "edge_scan.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace simgpu {
namespace {

// The first sample line (y = k + 0.5) at or below y, as a double clamped into [lo, hi] so that
// coordinates far outside the window convert safely.
int64_t firstLineFrom(double y, int64_t lo, int64_t hi)
{
    const double k = std::ceil(y - 0.5);
    return static_cast<int64_t>(std::min(std::max(k, static_cast<double>(lo)), static_cast<double>(hi)));
}

// Sets sample columns [from, to) of one sample row in `row`, whose first pixel is column `left`,
// the grid being 1 << shift samples a side and the row's first bit `bitRow`: single samples at
// the ends, whole pixel rows between.
void setSamples(uint16_t* row, int64_t left, int64_t from, int64_t to, unsigned shift, uint16_t bitRow)
{
    const int64_t g = int64_t{1} << shift;
    int64_t k = from;
    for (; k < to && (k & (g - 1)) != 0; ++k)
        row[(k >> shift) - left] |= static_cast<uint16_t>(1u << (bitRow + (k & (g - 1))));
    const uint16_t whole = static_cast<uint16_t>(((1u << g) - 1) << bitRow);
    for (; k + g <= to; k += g)
        row[(k >> shift) - left] |= whole;
    for (; k < to; ++k)
        row[(k >> shift) - left] |= static_cast<uint16_t>(1u << (bitRow + (k & (g - 1))));
}

}  // namespace

void EdgeList::add(double x0, double y0, double x1, double y1)
{
    int winding = 1;
    if (y1 < y0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        winding = -1;
    }
    // Lines k with y0 <= k + 0.5 < y1.
    if (!(std::ceil(y0 - 0.5) < std::ceil(y1 - 0.5)))
        return;
    edges_.push_back(Edge{x0, y0, x1, y1, winding});
}

ScanResult scanEdges(const std::vector<Edge>& edges, const ScanSettings& settings, Coverage& out)
{
    ScanResult result;
    const Rect& w = settings.window;
    const int64_t g = settings.grid;
    const unsigned shift = g == 4 ? 2 : g == 2 ? 1 : 0;
    out.grid = settings.grid;
    out.masks.clear();
    if (w.right < w.left || w.bottom < w.top)
        return result;
    const uint32_t height = w.bottom - w.top + 1;
    const int64_t lineFirst = g * w.top, lineEnd = g * (static_cast<int64_t>(w.bottom) + 1);
    const int64_t colFirst = g * w.left, colEnd = g * (static_cast<int64_t>(w.right) + 1);

    // Each edge's sample lines inside the window, [first, end); the pixel rows they touch give
    // the crossings a row holds. Nothing is covered above, below or left of every edge.
    struct Span {
        int64_t first, end;
        const Edge* edge;
    };
    std::vector<Span> spans;
    spans.reserve(edges.size());
    std::vector<int64_t> rowDelta(height + 1, 0);
    // The winding of each sample line's edges together, which is what its last run to the right
    // of every edge winds.
    std::vector<int32_t> lineWinding(static_cast<size_t>(lineEnd - lineFirst) + 1, 0);
    int64_t usedFirst = lineEnd, usedEnd = lineFirst;
    double leftmost = INFINITY, rightmost = -INFINITY;
    for (const Edge& e : edges) {
        const int64_t first = firstLineFrom(e.y0, lineFirst, lineEnd);
        const int64_t end = firstLineFrom(e.y1, lineFirst, lineEnd);
        if (first >= end)
            continue;
        spans.push_back(Span{first, end, &e});
        ++rowDelta[static_cast<size_t>(first / g - w.top)];
        --rowDelta[static_cast<size_t>((end - 1) / g - w.top + 1)];
        usedFirst = std::min(usedFirst, first);
        usedEnd = std::max(usedEnd, end);
        leftmost = std::min(leftmost, std::min(e.x0, e.x1));
        rightmost = std::max(rightmost, std::max(e.x0, e.x1));
        lineWinding[static_cast<size_t>(first - lineFirst)] += e.winding;
        lineWinding[static_cast<size_t>(end - lineFirst)] -= e.winding;
    }
    int64_t running = 0;
    for (uint32_t r = 0; r < height; ++r) {
        running += rowDelta[r];
        result.mostCrossings = std::max(result.mostCrossings, static_cast<uint32_t>(running));
    }
    if (result.mostCrossings > settings.maxCrossings) {
        result.overflow = true;
        return result;
    }
    const int64_t usedCol = firstLineFrom(leftmost, colFirst, colEnd);
    if (spans.empty() || usedCol >= colEnd)
        return result;
    // Runs between two crossings end left of the rightmost edge; only a line whose edges together
    // wind inside reaches the window's right end.
    uint32_t right = static_cast<uint32_t>((firstLineFrom(rightmost, colFirst, colEnd) - 1 + g) / g - 1);
    int32_t lastRun = 0;
    for (int64_t line = lineFirst; line < usedEnd && right < w.right; ++line) {
        lastRun += lineWinding[static_cast<size_t>(line - lineFirst)];
        if (line >= usedFirst && (settings.evenOdd ? (lastRun & 1) != 0 : lastRun != 0))
            right = w.right;
    }
    const uint32_t left = static_cast<uint32_t>(usedCol / g);
    out.window = Rect{left, static_cast<uint32_t>(usedFirst / g), std::max(left, right),
                      static_cast<uint32_t>((usedEnd - 1) / g)};
    const Rect& c = out.window;
    const uint32_t width = c.right - c.left + 1;
    out.masks.assign(static_cast<size_t>(width) * (c.bottom - c.top + 1), 0);

    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.first < b.first; });
    std::vector<const Span*> active;
    struct Crossing {
        double x;
        int winding;
    };
    std::vector<Crossing> crossings;
    size_t next = 0;
    for (int64_t line = usedFirst; line < usedEnd; ++line) {
        active.erase(std::remove_if(active.begin(), active.end(), [line](const Span* s) { return s->end <= line; }),
                     active.end());
        while (next < spans.size() && spans[next].first <= line)
            active.push_back(&spans[next++]);
        if (active.empty())
            continue;
        const double y = static_cast<double>(line) + 0.5;
        const size_t count = active.size();
        crossings.resize(count + 1);
        for (size_t k = 0; k < count; ++k) {
            const Edge& e = *active[k]->edge;
            crossings[k] = Crossing{e.x0 + (e.x1 - e.x0) * ((y - e.y0) / (e.y1 - e.y0)), e.winding};
        }
        // Crossings at one x bound no samples between them, so their order among themselves
        // does not matter.
        std::sort(crossings.begin(), crossings.begin() + static_cast<std::ptrdiff_t>(count),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        crossings[count] = Crossing{INFINITY, 0};  // the window's right end closes the last run
        uint16_t* row = &out.masks[static_cast<size_t>(line / g - c.top) * width];
        const uint16_t bitRow = static_cast<uint16_t>(g * (line % g));
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].winding;
            if (settings.evenOdd ? (winding & 1) == 0 : winding == 0)
                continue;
            // Sample columns k with crossing i <= k + 0.5 < crossing i + 1.
            const int64_t from = firstLineFrom(crossings[i].x, colFirst, colEnd);
            const int64_t to = firstLineFrom(crossings[i + 1].x, colFirst, colEnd);
            setSamples(row, c.left, from, to, shift, bitRow);
        }
    }
    return result;
}

}  // namespace simgpu
