// The showcase program as its main() runs it, headless at 1024 x 768:
// start-up (media, terrain, GUI), a fixed number of passes of its loop
// (default 100), shut-down; the wall time of each part and the whole.
//
//   vorpex_showcase_run_bench [media root, default "."] [frames, default 100]
#include <chrono>
#include <cstdio>

#include "BenchSupport.h"
#include "FrameTimes.h"
#include "ShowcaseApp.h"

int main(int argc, char** argv)
{
    int frames = 0;
    const auto t0 = std::chrono::steady_clock::now();
    if (!bench::StartLoopBench(argc, argv, &frames)) return 1;
    if (argc < 3) frames = 100;
    if (!showcase::Startup()) {
        std::fprintf(stderr, "bench: the showcase could not start (no GL context?)\n");
        return 1;
    }
    const double startup = bench::MillisecondsSince(t0);
    const auto t1 = std::chrono::steady_clock::now();
    int drawn = 0;
    for (; drawn < frames; ++drawn)
        if (!showcase::LoopPass()) break;
    const double loop = bench::MillisecondsSince(t1);
    const auto t2 = std::chrono::steady_clock::now();
    showcase::Shutdown();
    const double shutdown = bench::MillisecondsSince(t2);
    std::printf("start-up %.0f ms, %d frames %.0f ms (%.1f ms a frame), shut-down %.0f ms, whole run %.2f s\n", startup,
                drawn, loop, drawn ? loop / drawn : 0.0, shutdown, bench::MillisecondsSince(t0) / 1000.0);
    return drawn == frames ? 0 : 1;
}
