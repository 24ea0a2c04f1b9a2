// What the game's sound costs: starting a one-shot (microseconds a Play),
// the rolling loop's update in a frame, and the mixing of a frame's worth of
// sound, against the game's own frame in play with the ball rolling.
// The mix runs on the sound device's own thread in a real program; here the
// loopback device mixes it on demand, so it is timed apart.
//
//   kolvar_sound_bench [media root, default "."] [frames, default 300]
#include <DSoundTestSeam.h>
#include <Win32TestSeam.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "GameMain.h"
#include "GameObjects.h"
#include "GameRules.h"
#include "GameSound.h"
#include "Level.h"
#include "Physics.h"

#include <Newton.h>

namespace {

const unsigned kMixRate = 48000;

// Median microseconds of one call of what, over rounds of reps calls.
template <typename F>
double MedianMicroseconds(int rounds, int reps, F what)
{
    std::vector<double> us;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < reps; ++i) what();
        us.push_back(bench::MillisecondsSince(t0) * 1000.0 / reps);
    }
    return bench::Median(us);
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 0;
    if (!bench::StartLoopBench(argc, argv, &frames)) return 1;
    DSound_UseLoopbackForTests(kMixRate);
    if (!GameStartup()) {
        std::fprintf(stderr, "bench: the game could not start (no GL context?)\n");
        return 1;
    }
    if (!audio.IsAvailable()) {
        std::fprintf(stderr, "bench: the loopback sound device did not open\n");
        return 1;
    }
    win32test::SetActiveWindow(windowHandle);
    std::vector<std::int16_t> mix(2 * kMixRate / 60);

    // The ball rolls at 5 units a second over a board with nothing on it:
    // the loop plays and follows it every frame.
    FillGrid(0);
    coinCount = 0;
    std::vector<double> frameMs;
    bench::FrameCounts counts;
    auto roll = [&](int n, std::vector<double>* times) {
        for (int f = 0; f < n; ++f) {
            if (f % 100 == 0) PlaceBall(D3DXVECTOR3(10.0f, 1.0f, 60.0f));
            const float velocity[3] = {5.0f, 0.0f, 0.0f};
            const float omega[3] = {0.0f, 0.0f, -5.0f};
            NewtonBodySetVelocity(ballBody, velocity);
            NewtonBodySetOmega(ballBody, omega);
            bench::RunLoopFrames(1, GameFrameCount, GameLoopPass, times, &counts);
        }
    };
    roll(60, nullptr);
    roll(frames, &frameMs);
    const double frame = bench::Median(frameMs);
    std::printf("ball at (%.1f, %.2f, %.1f), rolling sound %s\n", ballPosition.x, ballPosition.y, ballPosition.z,
                RollingSoundPlaying() ? "playing" : "silent");

    const double update = MedianMicroseconds(15, 2000, UpdateRollingSound);
    const double play = MedianMicroseconds(15, 200, [] { PlayCoinSound(false); });
    const double mixed = MedianMicroseconds(15, 20, [&] { DSound_RenderForTests(mix.data(), kMixRate / 60); });

    std::printf("game frame, ball rolling   %8.3f ms median over %d frames\n", frame, frames);
    std::printf("rolling loop update        %8.2f us a frame = %.3f %% of the frame (target < 1 %%)\n", update,
                100.0 * update / (frame * 1000.0));
    std::printf("one-shot Play              %8.2f us\n", play);
    std::printf("mix of 1/60 s, all voices  %8.2f us (the device's thread)\n", mixed);
    std::fflush(stdout);
    GameShutdown();
    return 0;
}
