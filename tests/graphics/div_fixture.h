// Shared helpers of the path subdivision tests: a path builder for segment bytes and
// coordinates of any datatype, the result lists as point vectors, hooks that record what the
// dividers report, and an allocator that fails on purpose and counts live blocks.
#pragma once

#include "vg/div/tvg_div.h"

#include <VG/openvg.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace divtest {

// Paint modes: bit 0 stroke, bit 1 fill.
constexpr uint32_t kStroke = 1, kFill = 2;

struct Pt {
  double x, y;
};
using Poly = std::vector<Pt>;

// Segment bytes and coordinates stored in one datatype.
struct PathData {
  explicit PathData(VGPathDatatype type = VG_PATH_DATATYPE_F) : type(type) {}
  PathData &seg(int byte, std::initializer_list<double> coords);
  void store(double v);

  VGPathDatatype type;
  std::vector<uint8_t> segs;
  std::vector<uint8_t> data;
};

struct PathFree {
  void operator()(tvg_div_path_t *p) const { VGALFUNC_tvg_div_path_free(p); }
};
using Result = std::unique_ptr<tvg_div_path_t, PathFree>;

// Exec with the current parameters (the datatype taken from the path).
Result exec(const PathData &path);

// The lists of one chain, in chain order (newest first).
std::vector<Poly> lists(const tvg_div_subpath_t *chain);
// Points per chunk of one list.
std::vector<int> chunkCounts(const tvg_div_data_t *list);
std::vector<Poly> allLists(const tvg_div_path_t *path);

double area(const Poly &p);  // signed, shoelace
double distanceToPolyline(Pt p, const Poly &line);
bool near(Pt a, Pt b, double tol = 1e-4);

// Hooks that record the reports as events: kind ("find", "start", "add", "join", "end",
// "turn") and values.
struct Event {
  std::string kind;
  std::vector<double> v;
};
std::vector<Event> &events();
// Installs the recording hooks and derives the enables from the paint mode.
void recordHooks(uint32_t paintMode);
// Walks the whole path with the recording hooks.
std::vector<Event> walk(const PathData &path, uint32_t paintMode);
std::string describe(const std::vector<Event> &ev);

// Allocator seam: fails the allocation numbered failAt (1-based; 0 never) and counts the
// blocks that are still allocated.
struct FailingAllocator {
  explicit FailingAllocator(long failAt);
  ~FailingAllocator();
  long allocations() const;
  long live() const;
};

}  // namespace divtest
