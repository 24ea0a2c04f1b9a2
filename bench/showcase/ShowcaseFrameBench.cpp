// Frame time of the showcase program, headless at 1024 x 768: terrain, sky,
// water with its reflection pass, models, fountain, GUI window and status
// line, against a plain-OpenGL floor that issues the same number of draws
// (those of the reflection pass into a 256 x 256 target) and primitives in
// the same run.
//
//   vorpex_showcase_bench [media root, default "."] [frames, default 300]
#include <Win32TestSeam.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "GlFloor.h"
#include "ShowcaseApp.h"

namespace {

// Frames of the real loop; appends each frame's wall time and counts its draws.
void RunShowcase(int frames, std::vector<double>* times, bench::FrameCounts* counts)
{
    bench::RunLoopFrames(frames, showcase::FrameCount, showcase::LoopPass, times, counts);
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 0;
    if (!bench::StartLoopBench(argc, argv, &frames)) return 1;
    if (!showcase::Startup(POINT{-8, -31})) {
        std::fprintf(stderr, "bench: the showcase could not start (no GL context?)\n");
        return 1;
    }
    showcase::World& w = showcase::Scene();
    win32test::SetActiveWindow(w.window);

    // The fountain fills up first: every live particle is a draw of its own.
    bench::FrameCounts settle;
    RunShowcase(200, nullptr, &settle);
    // The reflection pass's draws: a frame's draws with it less those without it.
    bench::FrameCounts with, without;
    w.reflection = false;
    RunShowcase(20, nullptr, &without);
    w.reflection = true;
    RunShowcase(20, nullptr, &with);
    FloorFrame frame;
    frame.xrayDraws = std::max(1, int((with.drawCalls - without.drawCalls) / 20 + 0.5));
    frame.sceneDraws = std::max(10, int(with.drawCalls / 20 + 0.5) - frame.xrayDraws);
    frame.primitives = int(with.primitives / 20 + 0.5);

    if (!FloorOpen(m_engineVars.width, m_engineVars.height)) {
        std::fprintf(stderr, "bench: the OpenGL floor could not be set up\n");
        return 1;
    }
    FloorMakeCurrent(false);

    std::vector<double> showTimes, floorTimes;
    bench::FrameCounts sum;
    FloorAlternate(
        frame, frames, [&](int n) { RunShowcase(n, &showTimes, &sum); }, &floorTimes);
    FloorClose();

    const double n = double(showTimes.size());
    std::printf("screen %d x %d, %d frames each, reflection pass %d draws\n", m_engineVars.width, m_engineVars.height,
                frames, frame.xrayDraws);
    std::printf("showcase %7.3f ms mean %7.3f ms median  (%.0f draws, %.0f primitives)\n", bench::Mean(showTimes),
                bench::Median(showTimes), sum.drawCalls / n, sum.primitives / n);
    std::printf("floor    %7.3f ms mean %7.3f ms median  (%d draws, %d primitives)\n", bench::Mean(floorTimes),
                bench::Median(floorTimes), frame.xrayDraws + frame.sceneDraws, frame.primitives);
    std::printf("ratio %.3f (median; target <= 1.15)\n", bench::Median(showTimes) / bench::Median(floorTimes));
    std::fflush(stdout);
    showcase::Shutdown();
    return 0;
}
