// Glyph-sized paths filled end to end through OpenVG on the GPU model: 128 outlines of about 40
// quadratic segments each on a 480 x 272 RGB565 window at better quality. The first draw builds
// and places each path's fill lists; redraws hand the cached lists over; both end in the model's
// flattening and scan.
#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <VG/openvg.h>

#include <cmath>
#include <vector>

#include "simgpu.h"
#include "vgwindowscene.h"

namespace {

constexpr int kGlyphs = 128, kSegments = 40;

vnq::bench::VgWindowScene& scene()
{
    static vnq::bench::VgWindowScene s;
    return s;
}

// One outline of 40 quadratics about 20 pixels across at (cx, cy): a ring whose control points
// swing in and out, as a glyph's curves do.
VGPath glyph(float cx, float cy)
{
    constexpr double kPi = 3.14159265358979323846;
    std::vector<VGubyte> segments{VG_MOVE_TO_ABS};
    std::vector<float> data{cx + 10, cy};
    for (int i = 0; i < kSegments; ++i) {
        const double a1 = 2 * kPi * (i + 1) / kSegments, am = 2 * kPi * (i + 0.5) / kSegments;
        const double rc = i % 2 ? 13 : 7;
        segments.push_back(VG_QUAD_TO_ABS);
        data.insert(data.end(), {float(cx + rc * std::cos(am)), float(cy + rc * std::sin(am)),
                                 float(cx + 10 * std::cos(a1)), float(cy + 10 * std::sin(a1))});
    }
    segments.push_back(VG_CLOSE_PATH);
    const VGPath p = vgCreatePath(VG_PATH_FORMAT_STANDARD, VG_PATH_DATATYPE_F, 1, 0, 0, 0, VG_PATH_CAPABILITY_ALL);
    vgAppendPathData(p, VGint(segments.size()), segments.data(), data.data());
    return p;
}

std::vector<VGPath> glyphs()
{
    std::vector<VGPath> paths;
    for (int n = 0; n < kGlyphs; ++n)
        paths.push_back(glyph(float(12 + 24 * (n % 20)), float(16 + 36 * (n / 20))));
    return paths;
}

void drawAll(const std::vector<VGPath>& paths)
{
    for (VGPath p : paths)
        vgDrawPath(p, VG_FILL_PATH);
    vgFinish();
}

bool usable(benchmark::State& state)
{
    if (!scene().ready) {
        state.SkipWithError("no OpenVG surface on the simulated GPU");
        return false;
    }
    vgSeti(VG_RENDERING_QUALITY, VG_RENDERING_QUALITY_BETTER);
    vgSeti(VG_FILL_RULE, VG_NON_ZERO);
    return true;
}

void finish(benchmark::State& state, const std::vector<VGPath>& paths)
{
    for (VGPath p : paths)
        vgDestroyPath(p);
    if (!simgpu::device().errors().empty())
        state.SkipWithError(simgpu::device().errors().front().c_str());
    else if (vgGetError() != VG_NO_ERROR)
        state.SkipWithError("an OpenVG error was recorded");
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}

// The first draw of new paths: conversion, list building and placement, then the scan.
void BM_PathFillFirstDraw(benchmark::State& state)
{
    if (!usable(state))
        return;
    std::vector<VGPath> all;
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<VGPath> paths = glyphs();
        state.ResumeTiming();
        drawAll(paths);
        all.insert(all.end(), paths.begin(), paths.end());
    }
    finish(state, all);
}
BENCHMARK(BM_PathFillFirstDraw)->Unit(benchmark::kMillisecond);

// Redraws from the cached lists.
void BM_PathFillCachedRedraw(benchmark::State& state)
{
    if (!usable(state))
        return;
    const std::vector<VGPath> paths = glyphs();
    drawAll(paths);
    for (auto _ : state)
        drawAll(paths);
    finish(state, paths);
}
BENCHMARK(BM_PathFillCachedRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
