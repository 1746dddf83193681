// The acceleration layer's hot paths on the simulated GPU: one-register packets with the kicks
// they cause, and texture-sized work memory taken and given back through the deferred list.
#include <benchmark/benchmark.h>

#include "accel_bench_support.h"

namespace {

void BM_OneRegisterPackets(benchmark::State& state)
{
    startLayerParts();
    for (auto _ : state)
        PEW(LX_PE_OVG_CCACHE_FLUSH, 1);
    RUNCME();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OneRegisterPackets)->Iterations(1000000);

void BM_TextureAllocAndDeferredFree(benchmark::State& state)
{
    startLayerParts();
    for (auto _ : state) {
        word32 block = VGALFUNC_VAlloc(100, 30, 16, 32, 0, 0, 1);
        benchmark::DoNotOptimize(block);
        VGALFUNC_VFree(block);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextureAllocAndDeferredFree);

}  // namespace

BENCHMARK_MAIN();
