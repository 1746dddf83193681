// Building the stroke command list of a 1000-segment path (lines, quadratics and cubics in
// turn, dashed with phase reset so every subpath start carries the dash state) on the 480 x 272
// window scene: the pass preparation with its stroke and dash constants and coordinate
// conversion, the walk, and the list's placement in GPU work memory. The path is marked changed
// before each build, which drops the list of the build before.
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <VG/openvg.h>

#include <vector>

#include "simgpu.h"
#include "vg/al_lx740/vg_al_lx740_drawpath.h"
#include "vg/common/vg_frame.h"
#include "vg/common/vg_path.h"
#include "vg/common/vg_share.h"
#include "vgwindowscene.h"

namespace {

constexpr int kSegments = 1000;

vnq::bench::VgWindowScene& scene()
{
    static vnq::bench::VgWindowScene s;
    return s;
}

// A zigzag across the window of kSegments segments, a new subpath every 50.
VGPath longPath()
{
    std::vector<VGubyte> segments;
    std::vector<float> data;
    for (int i = 0; i < kSegments; ++i) {
        const float x = float(10 + (i % 50) * 9), y = float(10 + (i / 50) * 12);
        if (i % 50 == 0) {
            segments.push_back(VG_MOVE_TO_ABS);
            data.insert(data.end(), {x, y});
        }
        switch (i % 3) {
        case 0:
            segments.push_back(VG_LINE_TO_ABS);
            data.insert(data.end(), {x + 9, y + 6});
            break;
        case 1:
            segments.push_back(VG_QUAD_TO_ABS);
            data.insert(data.end(), {x + 4, y - 4, x + 9, y});
            break;
        default:
            segments.push_back(VG_CUBIC_TO_ABS);
            data.insert(data.end(), {x + 3, y + 8, x + 6, y - 8, x + 9, y + 3});
            break;
        }
    }
    const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
    vgAppendPathData(p, VGint(segments.size()), segments.data(), data.data());
    return p;
}

void BM_StrokeListBuild(benchmark::State& state)
{
    if (!scene().ready) {
        state.SkipWithError("no OpenVG surface on the simulated GPU");
        return;
    }
    const VGPath handle = longPath();
    const VGfloat dashes[] = {6, 3};
    vgSetfv(VG_STROKE_DASH_PATTERN, 2, dashes);
    vgSeti(VG_STROKE_DASH_PHASE_RESET, VG_TRUE);
    vgSetf(VG_STROKE_LINE_WIDTH, 2);
    vgDrawPath(handle, VG_STROKE_PATH);  // the state validated once
    OVGpath* path = VGFUNC_FindPath(VGVAL_vgcurrentcontexthandle->sharedState, handle);
    int words = 0;
    for (auto _ : state) {
        path->dirty = 1;
        chooseFunction(path, 1);
        drawPathStroke(path);
        words = static_cast<ALpath*>(path->aldep)->stroke_cmd_count;
        state.PauseTiming();
        vgFinish();  // hands the constants over and releases the dropped lists
        state.ResumeTiming();
    }
    state.counters["words"] = words;
    vgDestroyPath(handle);
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
    else if (vgGetError() != VG_NO_ERROR)
        state.SkipWithError("an OpenVG error was recorded");
    state.SetItemsProcessed(state.iterations() * kSegments);
}
BENCHMARK(BM_StrokeListBuild)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
