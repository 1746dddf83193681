// CPU path subdivision of a 1000-segment path (lines, quadratics, cubics and arcs in turn):
// fill only, as the bounds queries run it, and stroked with round joins, round caps and a
// dash pattern.
#include "vg/div/tvg_div.h"

#include <VG/openvg.h>
#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Path {
  std::vector<uint8_t> segs;
  std::vector<float> data;
};

Path thousandSegments()
{
  Path p;
  p.segs.push_back(VG_MOVE_TO_ABS);
  p.data.insert(p.data.end(), {0, 0});
  for (int i = 0; i < 1000; ++i) {
    const float s = (i % 2) ? 1.0f : -1.0f;
    switch (i % 4) {
    case 0: p.segs.push_back(VG_LINE_TO_REL); p.data.insert(p.data.end(), {20, 10 * s}); break;
    case 1: p.segs.push_back(VG_QUAD_TO_REL); p.data.insert(p.data.end(), {10, 30 * s, 20, 0}); break;
    case 2: p.segs.push_back(VG_CUBIC_TO_REL); p.data.insert(p.data.end(), {5, -25, 15, 25, 20, 0}); break;
    default: p.segs.push_back(VG_SCCWARC_TO_REL); p.data.insert(p.data.end(), {12, 8, 15, 20, -5}); break;
    }
  }
  return p;
}

void run(benchmark::State &state, bool stroked)
{
  const Path p = thousandSegments();
  const float dash[] = {6, 3, 1, 3};
  for (auto _ : state) {
    VGALFUNC_tvg_div_init();
    if (stroked) {
      VGALFUNC_tvg_div_set_paint_mode(1);
      VGALFUNC_tvg_div_set_stroke_width(4);
      VGALFUNC_tvg_div_set_join_style(VG_JOIN_ROUND);
      VGALFUNC_tvg_div_set_cap_style(VG_CAP_ROUND);
      VGALFUNC_tvg_div_set_dash_pattern(4, dash);
    } else {
      VGALFUNC_tvg_div_set_paint_mode(2);
    }
    tvg_div_path_t *result = VGALFUNC_tvg_div_exec((int)p.segs.size(), p.segs.data(), p.data.data());
    benchmark::DoNotOptimize(result);
    VGALFUNC_tvg_div_path_free(result);
  }
}

void BM_DivExecFill(benchmark::State &state) { run(state, false); }
BENCHMARK(BM_DivExecFill);

void BM_DivExecStrokeRoundDashed(benchmark::State &state) { run(state, true); }
BENCHMARK(BM_DivExecStrokeRoundDashed);

}  // namespace

BENCHMARK_MAIN();
