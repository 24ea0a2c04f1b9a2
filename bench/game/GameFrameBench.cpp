// Frame time of the real game, headless at 1016 x 756: in play on level 1 and
// in editor mode (the whole grid drawn), each against a plain-OpenGL floor
// that issues the same number of draws and primitives in the same run.
//
//   kolvar_frame_bench [media root, default "."] [frames, default 300]
#include <Win32TestSeam.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "GameMain.h"
#include "GameObjects.h"
#include "GameRules.h"
#include "GlFloor.h"
#include "Level.h"
#include "Physics.h"

namespace {

struct Measured {
    double meanMs = 0;
    double medianMs = 0;
    double drawCalls = 0;
    double primitives = 0;
    double xrayDraws = 0;
};

int XrayBombCells()
{
    int n = 0;
    for (int cx = ballCellX - 3; cx <= ballCellX + 3; ++cx)
        for (int cz = ballCellZ - 3; cz <= ballCellZ + 3; ++cz) n += CellValue(cx, cz) != 0;
    return n;
}

// Frames of the real loop; appends each frame's wall time and counts its draws.
void RunGame(int frames, std::vector<double>* times, Measured* m)
{
    for (int f = 0; f < frames; ++f) {
        bench::FrameCounts counts;
        bench::RunLoopFrames(1, GameFrameCount, GameLoopPass, times, &counts);
        m->drawCalls += counts.drawCalls;
        m->primitives += counts.primitives;
        m->xrayDraws += XrayBombCells();
    }
}

FloorFrame FloorOf(const Measured& game)
{
    FloorFrame frame;
    frame.xrayDraws = int(game.xrayDraws + 0.5);
    frame.sceneDraws = std::max(10, int(game.drawCalls + 0.5) - frame.xrayDraws);
    frame.primitives = int(game.primitives + 0.5);
    return frame;
}

// Game and floor in alternating rounds.
void Measure(bool editor, int frames, Measured* game, Measured* floor)
{
    editorMode = editor;
    Measured counts;
    RunGame(20, nullptr, &counts);  // programs built, textures uploaded, counts for the floor
    counts.drawCalls /= 20;
    counts.primitives /= 20;
    counts.xrayDraws /= 20;
    const FloorFrame frame = FloorOf(counts);

    std::vector<double> gameTimes, floorTimes;
    Measured sum;
    FloorAlternate(
        frame, frames, [&](int n) { RunGame(n, &gameTimes, &sum); }, &floorTimes);
    const double n = double(gameTimes.size());
    *game = Measured{bench::Mean(gameTimes), bench::Median(gameTimes), sum.drawCalls / n, sum.primitives / n,
                     sum.xrayDraws / n};
    *floor = Measured{bench::Mean(floorTimes), bench::Median(floorTimes), double(frame.xrayDraws + frame.sceneDraws),
                      double(frame.primitives), double(frame.xrayDraws)};
    editorMode = false;
}

void Report(const char* name, const Measured& game, const Measured& floor)
{
    std::printf("%-8s game  %7.3f ms mean %7.3f ms median  (%.0f draws, %.0f primitives)\n", name, game.meanMs,
                game.medianMs, game.drawCalls, game.primitives);
    std::printf("%-8s floor %7.3f ms mean %7.3f ms median  (%.0f draws, %.0f primitives)\n", name, floor.meanMs,
                floor.medianMs, floor.drawCalls, floor.primitives);
    std::printf("%-8s ratio %.3f (median; target <= 1.15)\n", name, game.medianMs / floor.medianMs);
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 0;
    if (!bench::StartLoopBench(argc, argv, &frames)) return 1;
    if (!GameStartup()) {
        std::fprintf(stderr, "bench: the game could not start (no GL context?)\n");
        return 1;
    }
    win32test::SetActiveWindow(windowHandle);

    Measured settle;
    RunGame(30, nullptr, &settle);  // the ball comes to rest
    if (!FloorOpen(m_engineVars.width, m_engineVars.height)) {
        std::fprintf(stderr, "bench: the OpenGL floor could not be set up\n");
        return 1;
    }
    FloorMakeCurrent(false);
    Measured play, playFloor, editor, editorFloor;
    Measure(false, frames, &play, &playFloor);
    Measure(true, frames, &editor, &editorFloor);
    FloorClose();

    std::printf("screen %d x %d, %d frames each\n", m_engineVars.width, m_engineVars.height, frames);
    Report("play", play, playFloor);
    Report("editor", editor, editorFloor);
    std::fflush(stdout);
    GameShutdown();
    return 0;
}
