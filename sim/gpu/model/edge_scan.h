#pragma once

// The rasterizer's edge scan: polygon edges in subsample units (one unit is one sample step
// of the anti-aliasing grid, rows going down) become per-pixel coverage. A pixel's samples sit
// at the centres of its grid cells: pixel (px, py) of a g x g grid has sample (i, j) at
// (g px + i + 0.5, g py + j + 0.5). A sample is inside when the edges crossing its sample
// line to its left (a crossing exactly at the sample counts) wind non-zero, or an odd number of
// times under even-odd. An edge covers the sample lines from its top end (included) to its
// bottom end (excluded), so samples on left and top edges are in, on right and bottom edges
// out. The scan knows no registers; the GPU model feeds it.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rect.h"

namespace simgpu {

struct Edge {
    double x0, y0, x1, y1;  // y0 < y1
    int winding;            // +1 for an edge drawn downwards, -1 upwards
};

// Edges gathered for the next scan. An edge that crosses no sample line (horizontal, or
// between two lines) can never count and is not kept.
class EdgeList {
public:
    void add(double x0, double y0, double x1, double y1);
    void clear() { edges_.clear(); }
    bool empty() const { return edges_.empty(); }
    const std::vector<Edge>& edges() const { return edges_; }

private:
    std::vector<Edge> edges_;
};

struct ScanSettings {
    unsigned grid = 1;     // samples per pixel side: 1, 2 or 4
    bool evenOdd = false;  // else non-zero
    Rect window{0, 0, 0, 0};  // pixels scanned, inclusive
    uint32_t maxCrossings = 0;  // edges a pixel row may hold
};

// The samples covered in each pixel of a part of the window that holds every covered pixel:
// bit i + grid x j of a pixel's mask is sample (i, j). An empty part covers nothing.
struct Coverage {
    Rect window{0, 0, 0, 0};
    unsigned grid = 1;
    std::vector<uint16_t> masks;  // row by row over `window`

    uint16_t mask(uint32_t x, uint32_t y) const
    {
        return masks[static_cast<size_t>(y - window.top) * (window.right - window.left + 1) + (x - window.left)];
    }
    unsigned samples() const { return grid * grid; }
    // The samples a mask covers, its bits counted in parallel (the build does not assume a
    // popcount instruction).
    static unsigned count(uint16_t mask)
    {
        unsigned v = mask - ((mask >> 1) & 0x5555u);
        v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
        v = (v + (v >> 4)) & 0x0F0Fu;
        return (v + (v >> 8)) & 0x1Fu;
    }
    bool empty() const { return masks.empty(); }
};

struct ScanResult {
    uint32_t mostCrossings = 0;  // the most edges crossing one pixel row of the window
    bool overflow = false;       // mostCrossings > maxCrossings: nothing is covered
};

// The scan's working memory, kept from one scan to the next so that a scan allocates nothing
// once the buffers have grown to its size.
struct ScanBuffers {
    struct Span {  // an edge's sample lines in the window, [first, end)
        int64_t first, end;
        const Edge* edge;
    };
    struct Line {  // an edge as x0 + dx (y - y0) / dy over its sample lines [first, end)
        double x0, y0, dx, dy;
        int64_t first, end;
        int winding;
    };
    struct Crossing {  // where the edge of lines[line] crosses the current sample line
        double x;
        uint32_t line;
    };
    std::vector<Span> spans;
    std::vector<uint32_t> lineStart;
    std::vector<int64_t> rowDelta;
    std::vector<int32_t> lineWinding;
    std::vector<Line> lines;
    std::vector<Crossing> active;
    std::vector<uint16_t> steps;
};

ScanResult scanEdges(const std::vector<Edge>& edges, const ScanSettings& settings, Coverage& out,
                     ScanBuffers& work);

}  // namespace simgpu
