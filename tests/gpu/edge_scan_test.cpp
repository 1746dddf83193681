// The rasterizer's edge scan against its sample rule, sample by sample: random polygons, some on
// half-unit coordinates so that edges run through sample points, on each grid and fill rule,
// with windows cutting through them and one buffer set reused from scan to scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "model/edge_scan.h"

namespace {

using simgpu::Coverage;
using simgpu::Edge;
using simgpu::EdgeList;
using simgpu::Rect;
using simgpu::ScanSettings;

// Whether sample (sx, sy), in sample units, is inside: the windings of the edges holding its
// line (upper end included, lower excluded) that cross the line at or left of it.
bool sampleInside(const std::vector<Edge>& edges, double sx, double sy, bool evenOdd)
{
    int winding = 0;
    for (const Edge& e : edges)
        if (e.y0 <= sy && sy < e.y1 && e.x0 + (e.x1 - e.x0) * ((sy - e.y0) / (e.y1 - e.y0)) <= sx)
            winding += e.winding;
    return evenOdd ? (winding & 1) != 0 : winding != 0;
}

// The edges holding a sample line of pixel row y.
uint32_t rowCrossings(const std::vector<Edge>& edges, uint32_t y, unsigned grid)
{
    uint32_t n = 0;
    for (const Edge& e : edges) {
        bool holds = false;
        for (unsigned j = 0; j < grid; ++j) {
            const double sy = grid * y + j + 0.5;
            holds = holds || (e.y0 <= sy && sy < e.y1);
        }
        n += holds;
    }
    return n;
}

EdgeList randomPolygons(std::mt19937& random, double size, bool halfUnits)
{
    std::uniform_real_distribution<double> coordinate(-8, size);
    EdgeList list;
    const int polygons = 1 + static_cast<int>(random() % 3);
    for (int p = 0; p < polygons; ++p) {
        std::vector<double> xs, ys;
        const int corners = 3 + static_cast<int>(random() % 8);
        for (int i = 0; i < corners; ++i) {
            double x = coordinate(random), y = coordinate(random);
            if (halfUnits) {
                x = std::round(x * 2) / 2;
                y = std::round(y * 2) / 2;
            }
            xs.push_back(x);
            ys.push_back(y);
        }
        for (int i = 0; i < corners; ++i)
            list.add(xs[i], ys[i], xs[(i + 1) % corners], ys[(i + 1) % corners]);
    }
    return list;
}

TEST(EdgeScan, EverySampleFollowsTheRuleAndTheCoverageHoldsEveryCoveredPixel)
{
    std::mt19937 random(7);
    simgpu::ScanBuffers work;
    Coverage coverage;
    for (unsigned grid : {1u, 2u, 4u})
        for (bool evenOdd : {false, true})
            for (int n = 0; n < 60; ++n) {
                SCOPED_TRACE("grid " + std::to_string(grid) + (evenOdd ? " even-odd" : " non-zero") + ", polygon " +
                             std::to_string(n));
                const EdgeList list = randomPolygons(random, 24.0 * grid, n % 3 == 0);
                ScanSettings settings;
                settings.grid = grid;
                settings.evenOdd = evenOdd;
                const uint32_t left = random() % 6, top = random() % 6;
                const uint32_t width = random() % 20, height = random() % 20;
                settings.window = Rect{left, top, left + 4 + width, top + 4 + height};
                settings.maxCrossings = 1000;
                const simgpu::ScanResult result = simgpu::scanEdges(list.edges(), settings, coverage, work);
                ASSERT_FALSE(result.overflow);
                uint32_t most = 0;
                for (uint32_t y = settings.window.top; y <= settings.window.bottom; ++y)
                    most = std::max(most, rowCrossings(list.edges(), y, grid));
                EXPECT_EQ(result.mostCrossings, most);
                const Rect& c = coverage.window;
                if (!coverage.empty()) {
                    EXPECT_TRUE(c.left >= settings.window.left && c.right <= settings.window.right &&
                                c.top >= settings.window.top && c.bottom <= settings.window.bottom);
                    EXPECT_EQ(coverage.masks.size(),
                              static_cast<size_t>(c.right - c.left + 1) * (c.bottom - c.top + 1));
                }
                for (uint32_t y = settings.window.top; y <= settings.window.bottom; ++y)
                    for (uint32_t x = settings.window.left; x <= settings.window.right; ++x) {
                        uint16_t expected = 0;
                        for (unsigned j = 0; j < grid; ++j)
                            for (unsigned i = 0; i < grid; ++i)
                                if (sampleInside(list.edges(), grid * x + i + 0.5, grid * y + j + 0.5, evenOdd))
                                    expected = static_cast<uint16_t>(expected | 1u << (i + grid * j));
                        const bool held = !coverage.empty() && x >= c.left && x <= c.right && y >= c.top &&
                                          y <= c.bottom;
                        if (!held) {
                            ASSERT_EQ(expected, 0) << "pixel " << x << ", " << y << " outside the coverage";
                            continue;
                        }
                        ASSERT_EQ(coverage.mask(x, y), expected) << "pixel " << x << ", " << y;
                    }
            }
}

// Geometry wholly outside the window, on each side, covers nothing: the scan leaves the coverage
// empty or all clear, whatever the grid, and keeps inside the window's columns and rows.
TEST(EdgeScan, GeometryWhollyOutsideTheWindowCoversNothing)
{
    simgpu::ScanBuffers work;
    Coverage coverage;
    const struct {
        const char* side;
        double left, top, right, bottom;  // a square in pixels
    } squares[] = {
        {"left", -10, 2, -3, 6},   {"left, touching", -4, 2, 0, 6}, {"right", 40, 2, 50, 6},
        {"above", 2, -9, 6, -2},   {"below", 2, 40, 6, 44},         {"above left", -9, -9, -2, -2},
        {"far left", -1e9, 2, -1e8, 6},
    };
    const Rect windows[] = {{0, 0, 31, 31}, {8, 8, 31, 31}};
    for (unsigned grid : {1u, 2u, 4u})
        for (const Rect& window : windows)
            for (const auto& s : squares) {
                SCOPED_TRACE(std::string(s.side) + ", grid " + std::to_string(grid) + ", window from " +
                             std::to_string(window.left));
                // The second window's squares lie outside it by as much as the first's.
                const double dx = window.left, dy = window.top;
                EdgeList list;
                const double g = grid;
                const double l = (s.left + dx) * g, t = (s.top + dy) * g, r = (s.right + dx) * g,
                             b = (s.bottom + dy) * g;
                list.add(l, t, l, b);
                list.add(l, b, r, b);
                list.add(r, b, r, t);
                list.add(r, t, l, t);
                ScanSettings settings;
                settings.grid = grid;
                settings.window = window;
                settings.maxCrossings = 16;
                const simgpu::ScanResult result = simgpu::scanEdges(list.edges(), settings, coverage, work);
                ASSERT_FALSE(result.overflow);
                if (coverage.empty())
                    continue;
                const Rect& c = coverage.window;
                ASSERT_TRUE(c.left >= window.left && c.right <= window.right && c.left <= c.right &&
                            c.top >= window.top && c.bottom <= window.bottom && c.top <= c.bottom);
                ASSERT_EQ(coverage.masks.size(), static_cast<size_t>(c.right - c.left + 1) * (c.bottom - c.top + 1));
                for (uint16_t m : coverage.masks)
                    ASSERT_EQ(m, 0);
            }
}

}  // namespace

namespace {

// Edges wholly left of a window that starts at the left end: a closed shape there covers
// nothing, and a lone downward edge there covers its lines across the whole window.
TEST(EdgeScan, EdgesLeftOfAWindowAtTheLeftEnd)
{
    simgpu::ScanBuffers work;
    Coverage coverage;
    ScanSettings settings;
    settings.grid = 4;
    settings.window = Rect{0, 0, 9, 9};
    settings.maxCrossings = 1000;

    EdgeList triangle;
    triangle.add(-12, 4, -2, 8);
    triangle.add(-2, 8, -12, 30);
    triangle.add(-12, 30, -12, 4);
    simgpu::scanEdges(triangle.edges(), settings, coverage, work);
    EXPECT_TRUE(coverage.empty());

    EdgeList lone;
    lone.add(-3, 0, -3, 8);  // pixel rows 0 and 1 of a 4 x 4 grid
    simgpu::scanEdges(lone.edges(), settings, coverage, work);
    ASSERT_FALSE(coverage.empty());
    EXPECT_EQ(coverage.window.right, settings.window.right);
    for (uint32_t y = 0; y <= 9; ++y)
        for (uint32_t x = 0; x <= 9; ++x) {
            const bool held = x >= coverage.window.left && x <= coverage.window.right && y >= coverage.window.top &&
                              y <= coverage.window.bottom;
            EXPECT_EQ(held ? coverage.mask(x, y) : 0, y < 2 ? 0xFFFF : 0) << "pixel " << x << ", " << y;
        }
}

}  // namespace
