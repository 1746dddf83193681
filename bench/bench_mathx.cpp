// The 16.16 fixed-point functions that path and matrix code call per vertex.
#include "mathx/mathx.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SinCos(benchmark::State& state)
{
    Fixed deg = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mxSinx(deg) + mxCosx(deg));
        deg = (deg + 0x12345) % (360 << 16);
    }
}
BENCHMARK(BM_SinCos);

void BM_MulDiv(benchmark::State& state)
{
    Fixed a = 3 << 16, b = (1 << 16) + 0x4000;
    for (auto _ : state) {
        a = mxDivx(mxMulx(a, b), b) + 1;
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_MulDiv);

void BM_Sqrt(benchmark::State& state)
{
    Fixed v = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mxSqrtx(v));
        v = (v * 7 + 13) & 0x7FFFFFFF;
    }
}
BENCHMARK(BM_Sqrt);

}  // namespace

BENCHMARK_MAIN();
