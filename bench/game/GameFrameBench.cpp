// Frame time of the real game, headless at 1016 x 756: in play on level 1 and
// in editor mode (the whole grid drawn), each against a plain-OpenGL floor
// that issues the same number of draws and primitives in the same run.
//
//   kolvar_frame_bench [media root, default "."] [frames, default 300]
#include <Win32TestSeam.h>

#include <DeviceStats.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "GameMain.h"
#include "GameObjects.h"
#include "GameState.h"
#include "GlFloor.h"
#include "Level.h"

namespace {

struct Measured {
    double meanMs = 0;
    double medianMs = 0;
    double drawCalls = 0;
    double primitives = 0;
    double xrayDraws = 0;
};

int XrayBombCells() {
    int n = 0;
    for (int cx = ballCellX - 3; cx <= ballCellX + 3; ++cx)
        for (int cz = ballCellZ - 3; cz <= ballCellZ + 3; ++cz)
            n += CellValue(cx, cz) != 0;
    return n;
}

Measured MeasureGame(int frames) {
    Measured m;
    std::vector<double> times;
    for (int f = 0; f < frames; ++f) {
        win32test::AdvanceVirtualTimeMs(16.0);
        const unsigned long before = GameFrameCount();
        const auto t0 = std::chrono::steady_clock::now();
        while (GameFrameCount() == before)
            GameLoopPass();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        D3D9FrameStats stats = {};
        D3D9_GetFrameStats(objDevice, nullptr, &stats);
        m.drawCalls += stats.drawCalls;
        m.primitives += stats.primitives;
        m.xrayDraws += XrayBombCells();
    }
    m.drawCalls /= frames;
    m.primitives /= frames;
    m.xrayDraws /= frames;
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    m.medianMs = sorted[sorted.size() / 2];
    for (double t : times)
        m.meanMs += t;
    m.meanMs /= frames;
    return m;
}

Measured MeasureFloor(const Measured& game, int frames) {
    FloorFrame frame;
    frame.xrayDraws = int(game.xrayDraws + 0.5);
    frame.sceneDraws = std::max(1, int(game.drawCalls + 0.5) - frame.xrayDraws - 1);
    frame.trianglesPerDraw = std::max(2, int(game.primitives / std::max(1.0, game.drawCalls) + 0.5));
    Measured m;
    m.meanMs = FloorRun(frame, frames, &m.medianMs);
    m.drawCalls = frame.xrayDraws + frame.sceneDraws + 1;
    m.primitives = m.drawCalls * frame.trianglesPerDraw;
    return m;
}

void Report(const char* name, const Measured& game, const Measured& floor) {
    std::printf("%-8s game  %7.3f ms mean %7.3f ms median  (%.0f draws, %.0f primitives)\n", name,
                game.meanMs, game.medianMs, game.drawCalls, game.primitives);
    std::printf("%-8s floor %7.3f ms mean %7.3f ms median  (%.0f draws, %.0f primitives)\n", name,
                floor.meanMs, floor.medianMs, floor.drawCalls, floor.primitives);
    std::printf("%-8s ratio %.3f (median; target <= 1.15)\n", name, game.medianMs / floor.medianMs);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (argc > 1 && chdir(argv[1]) != 0) {
        std::fprintf(stderr, "bench: cannot enter %s\n", argv[1]);
        return 1;
    }
    const int frames = argc > 2 ? std::max(10, std::atoi(argv[2])) : 300;

    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(100000);
    if (!GameStartup()) {
        std::fprintf(stderr, "bench: the game could not start (no GL context?)\n");
        return 1;
    }
    win32test::SetActiveWindow(windowHandle);

    MeasureGame(30);   // warm-up: programs built, textures uploaded, ball at rest
    const Measured play = MeasureGame(frames);
    editorMode = true;
    MeasureGame(10);
    const Measured editor = MeasureGame(frames);
    editorMode = false;

    if (!FloorOpen(m_engineVars.width, m_engineVars.height)) {
        std::fprintf(stderr, "bench: the OpenGL floor could not open its context\n");
        return 1;
    }
    MeasureFloor(play, 30);
    const Measured playFloor = MeasureFloor(play, frames);
    const Measured editorFloor = MeasureFloor(editor, frames);
    FloorClose();

    std::printf("screen %d x %d, %d frames each\n", m_engineVars.width, m_engineVars.height, frames);
    Report("play", play, playFloor);
    Report("editor", editor, editorFloor);
    GameShutdown();
    return 0;
}
