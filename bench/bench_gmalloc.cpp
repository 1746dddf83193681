// GPU memory allocator churn: 2,000 live blocks of mixed sizes, each step frees a random one
// and allocates a new one. First fit walks the free list, so the cost per call grows with
// the fragmentation this leaves.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "memmanage/gmalloc.h"

namespace {

constexpr MemAddr kPoolBase = 0x10000000;
constexpr unsigned long kPoolSize = 0x4000000;  // 64 MiB, never touched without the GPU MMU
constexpr int kLiveBlocks = 2000;

int blockSize(std::mt19937& rng)
{
    static const int sizes[] = {16, 64, 256, 1024, 4096, 16384};
    return sizes[rng() % 6] + static_cast<int>(rng() % 64);
}

void BM_GmallocChurn(benchmark::State& state)
{
    setenv("OVG_MMU_MODE", "0", 1);
    gmInitialize(kPoolBase, kPoolSize);
    std::mt19937 rng(1234);
    std::vector<MemAddr> live;
    for (int i = 0; i < kLiveBlocks; ++i)
        live.push_back(gmMalloc(blockSize(rng), 16));
    for (auto _ : state) {
        size_t victim = rng() % live.size();
        gmFree(live[victim]);
        live[victim] = gmMalloc(blockSize(rng), 16);
        benchmark::DoNotOptimize(live[victim]);
    }
    state.SetItemsProcessed(state.iterations() * 2);  // one free and one allocation a step
    gmTerminate();
}
BENCHMARK(BM_GmallocChurn);

}  // namespace

BENCHMARK_MAIN();
