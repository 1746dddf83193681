#include "edge_scan.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace simgpu {
namespace {

// ceil(t) for a t with lo < t <= hi, lo and hi far inside the int64_t range: truncation rounds
// toward zero, which is the ceiling for negative t and one short of it for positive t with a
// fraction.
int64_t ceilWithin(double t)
{
    const int64_t i = static_cast<int64_t>(t);
    return i + (static_cast<double>(i) < t ? 1 : 0);
}

// ceil(t) for any t, compared only (0 may stand for -0): from 2^52 on every double is whole.
double ceiling(double t)
{
    return std::fabs(t) < 4503599627370496.0 ? static_cast<double>(ceilWithin(t)) : t;
}

// The first sample line (y = k + 0.5) at or below y, ceil(y - 0.5), clamped into [lo, hi] so
// that coordinates far outside the window convert safely: lo when y - 0.5 <= lo, hi when
// y - 0.5 > hi, the integer ceiling between.
int64_t firstLineFrom(double y, int64_t lo, int64_t hi)
{
    const double t = y - 0.5;
    if (!(t > static_cast<double>(lo)))
        return lo;
    if (t > static_cast<double>(hi))
        return hi;
    return ceilWithin(t);
}

// One pixel row of the coverage, filled sample line by sample line: a run's samples in its end
// pixels are set at once; the pixels it covers whole are kept as steps up and down in `steps`
// (an entry a pixel and one past the row) and filled for all the row's lines together when the
// row is done. The runs of one line never overlap and each line has bits of its own, so adding
// the lines' whole pixels up is the same as setting them one by one.
class RowFill {
public:
    RowFill(std::vector<uint16_t>& steps, int64_t left, unsigned shift) : steps_(steps), left_(left), shift_(shift) {}

    // Finishes the row before and goes on with `row`.
    void start(uint16_t* row)
    {
        finish();
        row_ = row;
    }

    // Sets sample columns [from, to) of the sample line whose first bit is `bitRow`.
    void run(int64_t from, int64_t to, unsigned bitRow)
    {
        if (from >= to)
            return;
        const int64_t g = int64_t{1} << shift_;
        const unsigned lineBits = (1u << g) - 1;
        int64_t first = from >> shift_;
        const int64_t last = to >> shift_;  // the pixel holding column `to`, not set
        const unsigned fromBit = static_cast<unsigned>(from & (g - 1)), toBit = static_cast<unsigned>(to & (g - 1));
        if (first == last) {
            row_[first - left_] |= static_cast<uint16_t>(((1u << (toBit - fromBit)) - 1) << (bitRow + fromBit));
            return;
        }
        if (fromBit != 0)
            row_[first++ - left_] |= static_cast<uint16_t>((lineBits & ~((1u << fromBit) - 1)) << bitRow);
        if (toBit != 0)
            row_[last - left_] |= static_cast<uint16_t>(((1u << toBit) - 1) << bitRow);
        if (first == last)
            return;
        const uint16_t whole = static_cast<uint16_t>(lineBits << bitRow);
        steps_[static_cast<size_t>(first - left_)] += whole;
        steps_[static_cast<size_t>(last - left_)] -= whole;
        wholeFirst_ = std::min(wholeFirst_, first - left_);
        wholeEnd_ = std::max(wholeEnd_, last - left_);
    }

    // Fills the whole pixels of the row's lines.
    void finish()
    {
        uint16_t sum = 0;
        for (int64_t x = wholeFirst_; x < wholeEnd_; ++x) {
            sum = static_cast<uint16_t>(sum + steps_[static_cast<size_t>(x)]);
            steps_[static_cast<size_t>(x)] = 0;
            row_[x] |= sum;
        }
        if (wholeFirst_ < wholeEnd_)
            steps_[static_cast<size_t>(wholeEnd_)] = 0;
        wholeFirst_ = INT64_MAX;
        wholeEnd_ = INT64_MIN;
    }

private:
    std::vector<uint16_t>& steps_;
    const int64_t left_;
    const unsigned shift_;
    uint16_t* row_ = nullptr;
    int64_t wholeFirst_ = INT64_MAX, wholeEnd_ = INT64_MIN;
};

}  // namespace

void EdgeList::add(double x0, double y0, double x1, double y1)
{
    int winding = 1;
    if (y1 < y0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        winding = -1;
    }
    // Lines k with y0 <= k + 0.5 < y1: some exist when the first line at or below y0 lies above
    // y1.
    if (!(ceiling(y0 - 0.5) < y1 - 0.5))
        return;
    edges_.push_back(Edge{x0, y0, x1, y1, winding});
}

ScanResult scanEdges(const std::vector<Edge>& edges, const ScanSettings& settings, Coverage& out,
                     ScanBuffers& work)
{
    ScanResult result;
    const Rect& w = settings.window;
    const int64_t g = settings.grid;
    const unsigned shift = g == 4 ? 2 : g == 2 ? 1 : 0;
    out.grid = settings.grid;
    out.masks.clear();
    if (w.right < w.left || w.bottom < w.top)
        return result;
    const int64_t lineFirst = g * w.top, lineEnd = g * (static_cast<int64_t>(w.bottom) + 1);
    const int64_t colFirst = g * w.left, colEnd = g * (static_cast<int64_t>(w.right) + 1);

    // Each edge's sample lines inside the window, [first, end). Nothing is covered above, below
    // or left of every edge.
    using Span = ScanBuffers::Span;
    std::vector<Span>& spans = work.spans;
    spans.clear();
    int64_t usedFirst = lineEnd, usedEnd = lineFirst;
    double leftmost = INFINITY, rightmost = -INFINITY;
    for (const Edge& e : edges) {
        const int64_t first = firstLineFrom(e.y0, lineFirst, lineEnd);
        const int64_t end = firstLineFrom(e.y1, lineFirst, lineEnd);
        if (first >= end)
            continue;
        spans.push_back(Span{first, end, &e});
        usedFirst = std::min(usedFirst, first);
        usedEnd = std::max(usedEnd, end);
        leftmost = std::min(leftmost, std::min(e.x0, e.x1));
        rightmost = std::max(rightmost, std::max(e.x0, e.x1));
    }
    if (spans.empty())
        return result;
    // The pixel rows each edge touches give the crossings a row holds; the winding of each
    // sample line's edges together is what its last run to the right of every edge winds.
    // Rows and lines outside [usedFirst, usedEnd) hold no edge.
    const int64_t rowFirst = usedFirst / g, rowEnd = (usedEnd - 1) / g + 1;
    std::vector<int64_t>& rowDelta = work.rowDelta;
    rowDelta.assign(static_cast<size_t>(rowEnd - rowFirst) + 1, 0);
    std::vector<int32_t>& lineWinding = work.lineWinding;
    lineWinding.assign(static_cast<size_t>(usedEnd - usedFirst) + 1, 0);
    for (const Span& s : spans) {
        ++rowDelta[static_cast<size_t>(s.first / g - rowFirst)];
        --rowDelta[static_cast<size_t>((s.end - 1) / g - rowFirst + 1)];
        lineWinding[static_cast<size_t>(s.first - usedFirst)] += s.edge->winding;
        lineWinding[static_cast<size_t>(s.end - usedFirst)] -= s.edge->winding;
    }
    int64_t running = 0;
    for (int64_t r = 0; r < rowEnd - rowFirst; ++r) {
        running += rowDelta[static_cast<size_t>(r)];
        result.mostCrossings = std::max(result.mostCrossings, static_cast<uint32_t>(running));
    }
    if (result.mostCrossings > settings.maxCrossings) {
        result.overflow = true;
        return result;
    }
    const int64_t usedCol = firstLineFrom(leftmost, colFirst, colEnd);
    if (usedCol >= colEnd)
        return result;
    // Runs between two crossings end left of the rightmost edge; only a line whose edges together
    // wind inside reaches the window's right end. Edges wholly left of the window put the last
    // column a run can reach left of it (one left of column 0 for a window at the left edge):
    // then nothing is covered.
    int64_t right = (firstLineFrom(rightmost, colFirst, colEnd) - 1 + g) / g - 1;
    int32_t lastRun = 0;
    for (int64_t line = usedFirst; line < usedEnd && right < static_cast<int64_t>(w.right); ++line) {
        lastRun += lineWinding[static_cast<size_t>(line - usedFirst)];
        if (settings.evenOdd ? (lastRun & 1) != 0 : lastRun != 0)
            right = w.right;
    }
    const int64_t left = usedCol / g;
    if (right < left)
        return result;
    out.window = Rect{static_cast<uint32_t>(left), static_cast<uint32_t>(rowFirst), static_cast<uint32_t>(right),
                      static_cast<uint32_t>(rowEnd - 1)};
    const Rect& c = out.window;
    const uint32_t width = c.right - c.left + 1;
    out.masks.resize(static_cast<size_t>(width) * (c.bottom - c.top + 1));  // cleared above: all 0

    // The spans by their first line, counted out into place.
    std::vector<uint32_t>& lineStart = work.lineStart;
    lineStart.assign(static_cast<size_t>(usedEnd - usedFirst) + 1, 0);
    for (const Span& s : spans)
        ++lineStart[static_cast<size_t>(s.first - usedFirst) + 1];
    for (size_t k = 1; k < lineStart.size(); ++k)
        lineStart[k] += lineStart[k - 1];
    // Each edge's line equation, in order of first lines.
    std::vector<ScanBuffers::Line>& lines = work.lines;
    lines.resize(spans.size());
    for (const Span& s : spans) {
        const Edge& e = *s.edge;
        lines[lineStart[static_cast<size_t>(s.first - usedFirst)]++] =
            ScanBuffers::Line{e.x0, e.y0, e.x1 - e.x0, e.y1 - e.y0, s.first, s.end, e.winding};
    }
    // The edges crossing the current sample line, kept in order of their crossings from one line
    // to the next: crossings seldom change order between neighbouring lines, so an insertion sort
    // has little to do. Crossings at one x bound no samples between them, so their order among
    // themselves does not matter.
    using Crossing = ScanBuffers::Crossing;
    std::vector<Crossing>& active = work.active;
    active.clear();
    work.steps.assign(static_cast<size_t>(width) + 1, 0);
    RowFill fill(work.steps, c.left, shift);
    int64_t filling = -1;  // the pixel row being filled
    uint32_t next = 0;
    for (int64_t line = usedFirst; line < usedEnd; ++line) {
        // The edges still crossing this line, and those starting on it, with their crossings.
        const double y = static_cast<double>(line) + 0.5;
        size_t kept = 0;
        for (const Crossing& a : active) {
            const ScanBuffers::Line& l = lines[a.line];
            if (l.end > line)
                active[kept++] = Crossing{l.x0 + l.dx * ((y - l.y0) / l.dy), a.line};
        }
        active.resize(kept);
        for (; next < lines.size() && lines[next].first <= line; ++next) {
            const ScanBuffers::Line& l = lines[next];
            active.push_back(Crossing{l.x0 + l.dx * ((y - l.y0) / l.dy), next});
        }
        if (active.empty())
            continue;
        for (size_t i = 1; i < active.size(); ++i) {
            if (!(active[i].x < active[i - 1].x))
                continue;
            const Crossing moving = active[i];
            size_t j = i;
            for (; j > 0 && moving.x < active[j - 1].x; --j)
                active[j] = active[j - 1];
            active[j] = moving;
        }
        if (line / g != filling) {
            filling = line / g;
            fill.start(&out.masks[static_cast<size_t>(filling - c.top) * width]);
        }
        const unsigned bitRow = static_cast<unsigned>(g * (line % g));
        int winding = 0;
        for (size_t i = 0; i < active.size(); ++i) {
            winding += lines[active[i].line].winding;
            if (settings.evenOdd ? (winding & 1) == 0 : winding == 0)
                continue;
            // Sample columns k with crossing i <= k + 0.5 < crossing i + 1; the window's right
            // end closes the last run.
            const int64_t from = firstLineFrom(active[i].x, colFirst, colEnd);
            const int64_t to = i + 1 < active.size() ? firstLineFrom(active[i + 1].x, colFirst, colEnd) : colEnd;
            fill.run(from, to, bitRow);
        }
    }
    fill.finish();
    return result;
}

}  // namespace simgpu
