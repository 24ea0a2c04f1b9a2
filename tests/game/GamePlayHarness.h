// Drives the real game headless through the program driver: start-up once per
// process, the real loop pass by pass on the virtual clock, injected keys, and
// the back buffer read back.
#pragma once

#include <gtest/gtest.h>

#include <ProgramDriver.h>
#include <RequireDevice.h>

#include <Win32TestSeam.h>

#include <cstdint>

#include "GameMain.h"
#include "GameObjects.h"
#include "GamePause.h"
#include "GameRules.h"
#include "Level.h"
#include "Physics.h"

namespace play {

using programdriver::Dump;
using programdriver::Frame;
using programdriver::Frames;
using programdriver::Press;
using programdriver::ReadFrame;
using programdriver::RunUntilQuit;
using rendertest::Image;

// The folder of this run's settings and records (XDG_CONFIG_HOME and
// XDG_DATA_HOME under it), emptied before the game first starts.
std::string PlayerFolder();
// Starts the game the first time; false (with the reason in *why) when it cannot run here.
bool EnsureStarted(std::string* why);
// Back to the level at its start, in play and not paused, keys released, total score 0.
void ResetToLevel(int level);

void PressWithControl(int virtualKey);

// Puts the ball at (x, y, z) at rest; the real loop takes it from there.
void PlaceBall(float x, float y, float z);
D3DXVECTOR3 BallBodyPosition();
// The first bomb tile of the level away from the board's edge.
bool FindBomb(int* cx, int* cz);

// Pixels in [x0, x1) x [y0, y1) within tolerance of colour (per channel, alpha ignored).
int CountColour(const Image& image, int x0, int y0, int x1, int y1, uint32_t colour, int tolerance);

}  // namespace play

class GamePlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!play::EnsureStarted(&why)) RENDERTEST_NO_DEVICE(why);
        play::ResetToLevel(1);
    }
};
