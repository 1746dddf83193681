#include "div_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace divtest {

void PathData::store(double v)
{
  uint8_t b[4];
  size_t n = 4;
  switch (type) {
  case VG_PATH_DATATYPE_S_8: { int8_t i = (int8_t)std::lround(v); std::memcpy(b, &i, n = 1); break; }
  case VG_PATH_DATATYPE_S_16: { int16_t i = (int16_t)std::lround(v); std::memcpy(b, &i, n = 2); break; }
  case VG_PATH_DATATYPE_S_32: { int32_t i = (int32_t)std::lround(v); std::memcpy(b, &i, n); break; }
  default: { float f = (float)v; std::memcpy(b, &f, n); break; }
  }
  data.insert(data.end(), b, b + n);
}

PathData &PathData::seg(int byte, std::initializer_list<double> coords)
{
  segs.push_back((uint8_t)byte);
  for (double v : coords) store(v);
  return *this;
}

Result exec(const PathData &path)
{
  VGALFUNC_tvg_div_set_datatype(path.type);
  return Result(VGALFUNC_tvg_div_exec((int)path.segs.size(), path.segs.data(), path.data.data()));
}

std::vector<int> chunkCounts(const tvg_div_data_t *list)
{
  std::vector<int> counts;
  for (; list; list = list[2 * list[0].ival + 1].ptr) counts.push_back(list[0].ival);
  return counts;
}

std::vector<Poly> lists(const tvg_div_subpath_t *chain)
{
  std::vector<Poly> out;
  for (; chain; chain = chain->next) {
    Poly p;
    for (const tvg_div_data_t *c = chain->points; c; c = c[2 * c[0].ival + 1].ptr)
      for (int i = 0; i < c[0].ival; ++i) p.push_back({c[1 + 2 * i].fval, c[2 + 2 * i].fval});
    out.push_back(p);
  }
  return out;
}

std::vector<Poly> allLists(const tvg_div_path_t *path)
{
  std::vector<Poly> out;
  for (const tvg_div_subpath_t *chain : {path->fill, path->stroke_normal, path->stroke_reverse})
    for (Poly &p : lists(chain)) out.push_back(p);
  return out;
}

double area(const Poly &p)
{
  double a = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const Pt &u = p[i], &v = p[(i + 1) % p.size()];
    a += u.x * v.y - v.x * u.y;
  }
  return a / 2;
}

double distanceToPolyline(Pt p, const Poly &line)
{
  double best = INFINITY;
  for (size_t i = 0; i < line.size(); ++i) {
    const Pt a = line[i], b = line[i + 1 < line.size() ? i + 1 : i];
    const double ex = b.x - a.x, ey = b.y - a.y, l2 = ex * ex + ey * ey;
    double t = l2 > 0 ? ((p.x - a.x) * ex + (p.y - a.y) * ey) / l2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    best = std::fmin(best, std::hypot(p.x - (a.x + t * ex), p.y - (a.y + t * ey)));
  }
  return best;
}

bool near(Pt a, Pt b, double tol) { return std::fabs(a.x - b.x) <= tol && std::fabs(a.y - b.y) <= tol; }

std::vector<Event> &events()
{
  static std::vector<Event> ev;
  return ev;
}

static int onFind(int s) { events().push_back({"find", {double(s)}}); return 0; }
static int onStart(float x, float y) { events().push_back({"start", {x, y}}); return 0; }
static int onAdd(float x, float y, float tx, float ty) { events().push_back({"add", {x, y, tx, ty}}); return 0; }
static int onJoin(float x, float y, int cusp) { events().push_back({"join", {x, y, double(cusp)}}); return 0; }
static int onEnd(int closing) { events().push_back({"end", {double(closing)}}); return 0; }
static int onTurn(float x0, float y0, float x1, float y1, float a, float b, float c, float d)
{
  events().push_back({"turn", {x0, y0, x1, y1, a, b, c, d}});
  return 0;
}

void recordHooks(uint32_t paintMode)
{
  events().clear();
  VGALFUNC_tvg_div_hook_find_segment = onFind;
  VGALFUNC_tvg_div_hook_start = onStart;
  VGALFUNC_tvg_div_hook_add = onAdd;
  VGALFUNC_tvg_div_hook_join = onJoin;
  VGALFUNC_tvg_div_hook_end = onEnd;
  VGALFUNC_tvg_div_hook_turn = onTurn;
  VGALVAL_tvg_div_stroke_enable = (paintMode & 1u) != 0;
  VGALVAL_tvg_div_fill_enable = (paintMode & 2u) != 0;
}

std::vector<Event> walk(const PathData &path, uint32_t paintMode)
{
  recordHooks(paintMode);
  VGALFUNC_tvg_div_set_datatype(path.type);
  VGALFUNC_tvg_div_proc_subpath_setup();
  int n = (int)path.segs.size();
  const uint8_t *segs = path.segs.data(), *data = path.data.data();
  float sx = 0, sy = 0;
  while (n > 0)
    if (VGALFUNC_tvg_div_proc_subpath(&n, &segs, &data, &sx, &sy)) break;
  return events();
}

std::string describe(const std::vector<Event> &ev)
{
  std::string s;
  char buf[64];
  for (const Event &e : ev) {
    s += e.kind;
    for (double v : e.v) {
      std::snprintf(buf, sizeof buf, " %g", v == 0 ? 0.0 : v);  // no "-0"
      s += buf;
    }
    s += "\n";
  }
  return s;
}

static long failAtN, allocCount;
static std::set<void *> *liveBlocks;

static void *failingAlloc(size_t n)
{
  if (++allocCount == failAtN) return nullptr;
  void *p = std::malloc(n);
  liveBlocks->insert(p);
  return p;
}

static void countingFree(void *p)
{
  liveBlocks->erase(p);
  std::free(p);
}

FailingAllocator::FailingAllocator(long failAt)
{
  failAtN = failAt;
  allocCount = 0;
  liveBlocks = new std::set<void *>;
  VGALFUNC_tvg_div_set_allocator(failingAlloc, countingFree);
}

FailingAllocator::~FailingAllocator()
{
  VGALFUNC_tvg_div_set_allocator(nullptr, nullptr);
  delete liveBlocks;
  liveBlocks = nullptr;
}

long FailingAllocator::allocations() const { return allocCount; }
long FailingAllocator::live() const { return (long)liveBlocks->size(); }

}  // namespace divtest
