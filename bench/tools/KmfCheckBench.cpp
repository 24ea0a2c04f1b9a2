// Cost of one level check (CheckKmfBytes: read, route search, report) on the
// six shipped levels and on copies of them with tiles flipped, coins moved
// or made inactive, the kind of file a fuzzer or a careless editor makes.
// Target: 1 ms or less a check (1,000 checks a second) on this machine in
// the plain build, for the fuzz target's sake.
#include "kmf/KmfChecker.h"
#include "kmf/KmfLevel.h"
#include "kmf/LevelText.h"
#include "kmf/ShippedLevels.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::vector<std::uint8_t>> ShippedFiles()
{
    std::vector<std::vector<std::uint8_t>> files;
    for (int n = 1; n <= kmf::kShippedLevelCount; ++n) {
        kmf::LevelText text;
        std::string error;
        if (!kmf::CompileLevelText(kmf::ShippedLevelText(n), text, error)) std::abort();
        files.push_back(kmf::SerializeKmf(text.level));
    }
    return files;
}

// Damaged copies, the same ones every run.
std::vector<std::vector<std::uint8_t>> DamagedFiles()
{
    std::mt19937 random(23);
    std::vector<std::vector<std::uint8_t>> files;
    const std::vector<std::vector<std::uint8_t>> shipped = ShippedFiles();
    for (int k = 0; k < 120; ++k) {
        kmf::KmfLevel level = kmf::ParseKmf(shipped[k % shipped.size()]).level;
        const int flips = 1 << (k % 8);  // 1 ... 128 tiles
        for (int f = 0; f < flips; ++f) level.grid[random() % kmf::kCellCount] = random() % 3 == 0 ? 0 : 1;
        if (!level.coins.empty()) {
            kmf::KmfCoin& coin = level.coins[random() % level.coins.size()];
            if (k % 5 == 0) coin.active = 0;
            coin.position.x += float(int(random() % 9) - 4);
        }
        files.push_back(kmf::SerializeKmf(level));
    }
    return files;
}

void Check(benchmark::State& state, const std::vector<std::vector<std::uint8_t>>& files)
{
    std::size_t i = 0, completable = 0;
    for (auto _ : state) {
        const kmf::KmfReport report = kmf::CheckKmfBytes(files[i++ % files.size()]);
        completable += report.completable;
        benchmark::DoNotOptimize(report);
    }
    state.counters["checks/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["completable"] = double(completable) / double(state.iterations());
}

void BM_CheckShippedLevels(benchmark::State& state)
{
    Check(state, ShippedFiles());
}
BENCHMARK(BM_CheckShippedLevels)->Unit(benchmark::kMicrosecond);

void BM_CheckDamagedLevels(benchmark::State& state)
{
    Check(state, DamagedFiles());
}
BENCHMARK(BM_CheckDamagedLevels)->Unit(benchmark::kMicrosecond);

}  // namespace
