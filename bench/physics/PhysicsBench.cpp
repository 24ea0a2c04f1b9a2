// Cost of one physics step of the game's world (board, ball and a full
// table of 50 spinners) and of one level load and save. A frame at 60 Hz
// has 16.7 ms; a step should take well under a tenth of it.
#include "GameRules.h"
#include "Level.h"
#include "Physics.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void FreshWorld()
{
    if (newtonWorld) NewtonDestroy(newtonWorld);
    newtonWorld = nullptr;
    spinnerCount = 0;
    CreatePhysicsWorld();
    CreateDefaultMaterial();
    CreateBoardAndBall();
    CreateSpinnerCollision();
}

// The ball rolls steered across a board whose spinners stand in a 10 x 5
// block in its path; every frame turns the spinners, then steps.
void BM_PhysicsStep(benchmark::State& state)
{
    FreshWorld();
    const int spinners = static_cast<int>(state.range(0));
    for (int i = 0; i < spinners; ++i) AddSpinner(20.0f + 6.0f * (i % 10), 1, 30.0f + 6.0f * (i / 10));
    startPosition = D3DXVECTOR3(45, 5, 10);
    RestartLevel();
    steeringTorque = D3DXVECTOR3(70, 0, 0);
    int frame = 0;
    for (auto _ : state) {
        UpdateSpinners();
        StepPhysics(1.0f / 60.0f);
        // Back to the start now and then, so the ball keeps meeting spinners.
        if (++frame % 600 == 0) RestartLevel();
        benchmark::DoNotOptimize(ballMatrix);
    }
    state.counters["spinners"] = spinners;
}
BENCHMARK(BM_PhysicsStep)->Arg(0)->Arg(50)->Unit(benchmark::kMicrosecond);

void BM_LevelLoadSave(benchmark::State& state)
{
    FreshWorld();
    std::filesystem::create_directories("bench_levels");
    FillGrid(0);
    editorCursor = D3DXVECTOR3(10, 1, 10);
    for (int i = 0; i < 150; ++i) AddCoin();
    SaveLevel("bench_levels\\round.kmf");
    for (auto _ : state) {
        LoadLevel("bench_levels\\round.kmf");
        SaveLevel("bench_levels\\round.kmf");
    }
    std::filesystem::remove_all("bench_levels");
}
BENCHMARK(BM_LevelLoadSave)->Unit(benchmark::kMicrosecond);

}  // namespace
