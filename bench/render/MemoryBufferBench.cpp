// vMemoryBuffer push cost: n pushes of a 4-byte value into a fresh buffer
// for n = 1k, 10k and 100k (time per push stays flat: filling grows
// linearly), and n pushstring calls with the length.
#include <benchmark/benchmark.h>

#include "vMemoryBuffer.h"

namespace {

void BM_Push4Bytes(benchmark::State& state)
{
    const int n = (int)state.range(0);
    for (auto _ : state) {
        vMemoryBuffer buffer;
        for (int i = 0; i < n; ++i) buffer.push(&i, 4);
        benchmark::DoNotOptimize(buffer.GetSize());
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetComplexityN(n);
}
BENCHMARK(BM_Push4Bytes)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);

void BM_PushString(benchmark::State& state)
{
    const int n = (int)state.range(0);
    for (auto _ : state) {
        vMemoryBuffer buffer;
        for (int i = 0; i < n; ++i) buffer.pushstring("a short name", true);
        benchmark::DoNotOptimize(buffer.GetSize());
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetComplexityN(n);
}
BENCHMARK(BM_PushString)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
