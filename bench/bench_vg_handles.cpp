// OpenVG handles: the check every entry point makes (a handle looked up in its kind's bucket
// chain) with 10,000 live paths, for live handles and for values that are no object; and the
// low arena's allocate and free of a record against the heap's.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "vg/common/vg_arena.h"
#include "vg/common/vg_share.h"

namespace {

constexpr int kLiveObjects = 10000;

struct LivePaths {
    OVGshare* share = VGFUNC_CreateShare();
    std::vector<VGHandle> handles;

    LivePaths()
    {
        for (int i = 0; i < kLiveObjects; ++i) {
            auto* path = static_cast<OVGpath*>(VGFUNC_ArenaAlloc(sizeof(OVGpath)));
            VGFUNC_AddPath(share, path);
            handles.push_back(VGFUNC_HandleOf(path));
        }
    }
    ~LivePaths()
    {
        for (VGHandle h : handles) {
            OVGpath* path = VGFUNC_FindPath(share, h);
            VGFUNC_RemovePath(share, path);
            VGFUNC_ArenaFree(path);
        }
        free(share);
    }
};

void BM_HandleCheckLive(benchmark::State& state)
{
    LivePaths live;
    std::mt19937 rng(5);
    for (auto _ : state)
        benchmark::DoNotOptimize(VGFUNC_FindPath(live.share, live.handles[rng() % kLiveObjects]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HandleCheckLive);

// A value that is no object walks its whole chain before it is refused.
void BM_HandleCheckNonObject(benchmark::State& state)
{
    LivePaths live;
    std::mt19937 rng(6);
    for (auto _ : state)
        benchmark::DoNotOptimize(VGFUNC_IsObject(live.share, static_cast<VGHandle>(rng()) | 1u));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HandleCheckNonObject);

// Allocate a record and free the oldest of a window of live ones.
template <void* (*Alloc)(size_t), void (*Free)(void*)>
void allocateAndFree(benchmark::State& state)
{
    const size_t size = static_cast<size_t>(state.range(0));
    std::vector<void*> window(256, nullptr);
    size_t next = 0;
    for (auto _ : state) {
        Free(window[next]);
        window[next] = Alloc(size);
        benchmark::DoNotOptimize(window[next]);
        next = (next + 1) % window.size();
    }
    for (void* p : window)
        Free(p);
    state.SetItemsProcessed(state.iterations());
}

void* heapAlloc(size_t size) { return calloc(1, size); }
void heapFree(void* p) { free(p); }

void BM_ArenaAllocateFree(benchmark::State& state) { allocateAndFree<VGFUNC_ArenaAlloc, VGFUNC_ArenaFree>(state); }
void BM_HeapAllocateFree(benchmark::State& state) { allocateAndFree<heapAlloc, heapFree>(state); }
BENCHMARK(BM_ArenaAllocateFree)->Arg(48)->Arg(400);
BENCHMARK(BM_HeapAllocateFree)->Arg(48)->Arg(400);

}  // namespace

BENCHMARK_MAIN();
