// Shared helpers of the path record and path operation tests: paths made and freed by the
// record operations, data appended from the subdivision tests' builder, the stored segments
// and elements read back, and an allocator of the path buffers that fails on purpose.
#pragma once

#include "div_fixture.h"
#include "vg/common/vg_path.h"
#include "vg/common/vg_path_access.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace pathtest {

struct PathDelete {
  void operator()(OVGpath *p) const { VGFUNC_DeletePath(p); }
};
using Path = std::unique_ptr<OVGpath, PathDelete>;

inline Path makePath(VGPathDatatype type, VGfloat scale = 1.0f, VGfloat bias = 0.0f, VGint shint = 0,
                     VGint chint = 0, VGbitfield cap = VG_PATH_CAPABILITY_ALL)
{
  return Path(VGFUNC_CreatePath(0, type, scale, bias, shint, chint, cap));
}

// Appends the builder's bytes and coordinates (the builder's datatype must be the path's).
inline VGErrorCode append(OVGpath *path, const divtest::PathData &d)
{
  static const uint32_t none = 0;  // a valid pointer for segments without coordinates
  return VGFUNC_AppendData(path, (VGint)d.segs.size(), d.segs.data(), d.data.empty() ? static_cast<const void *>(&none) : d.data.data());
}

// A path of the builder's datatype holding its data.
inline Path pathOf(const divtest::PathData &d, VGfloat scale = 1.0f, VGfloat bias = 0.0f)
{
  Path p = makePath(d.type, scale, bias);
  if (append(p.get(), d) != VG_NO_ERROR) p.reset();
  return p;
}

inline std::vector<int> segments(const OVGpath *p)
{
  return std::vector<int>(p->segment, p->segment + p->numSegments);
}

// Element i of the stored coordinates, as stored (no scale or bias).
inline double element(const OVGpath *p, int i)
{
  switch (p->datatype) {
  case VG_PATH_DATATYPE_S_8: return static_cast<const int8_t *>(p->data)[i];
  case VG_PATH_DATATYPE_S_16: return static_cast<const int16_t *>(p->data)[i];
  case VG_PATH_DATATYPE_S_32: return static_cast<const int32_t *>(p->data)[i];
  default: return static_cast<const float *>(p->data)[i];
  }
}

inline std::vector<double> elements(const OVGpath *p)
{
  std::vector<double> v;
  for (int i = 0; i < p->numCoords; ++i) v.push_back(element(p, i));
  return v;
}

// Installs an allocator of the path buffers that fails the call numbered failAt (1-based) and
// every later one when `andAfter`; restores realloc when it goes.
class FailingResize {
public:
  explicit FailingResize(long failAt, bool andAfter = false)
  {
    state() = {failAt, andAfter, 0};
    VGFUNC_SetHeapAllocator(resize);
  }
  ~FailingResize() { VGFUNC_SetHeapAllocator(nullptr); }
  FailingResize(const FailingResize &) = delete;
  FailingResize &operator=(const FailingResize &) = delete;
  static long calls() { return state().calls; }

private:
  struct State {
    long failAt;
    bool andAfter;
    long calls;
  };
  static State &state()
  {
    static State s;
    return s;
  }
  static void *resize(void *block, size_t size)
  {
    State &s = state();
    ++s.calls;
    if (s.calls == s.failAt || (s.andAfter && s.calls > s.failAt)) return nullptr;
    return std::realloc(block, size);
  }
};

}  // namespace pathtest
