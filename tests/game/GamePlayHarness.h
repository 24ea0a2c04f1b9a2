// Drives the real game headless: start-up once per process, the real loop pass
// by pass on the virtual clock, injected keys, and the back buffer read back.
#pragma once

#include <gtest/gtest.h>

#include <RequireDevice.h>

#include <Win32TestSeam.h>

#include <cstdint>
#include <vector>

#include "GameMain.h"
#include "GameObjects.h"
#include "Level.h"
#include "Physics.h"
#include "GameRules.h"
#include "GameRules.h"
#include "Level.h"
#include "Physics.h"

namespace play {

// Starts the game the first time; false (with the reason in *why) when it cannot run here.
bool EnsureStarted(std::string* why);
// Back to level 1 at its start, in play, keys released, total score 0.
void ResetToLevel(int level);

// Advances the virtual clock by ms, then runs loop passes until one frame was drawn.
void Frame(double ms = 16.0);
void Frames(int n, double ms = 16.0);
// Runs loop passes until WM_QUIT was taken or maxPasses ran; true when the loop ended.
bool RunUntilQuit(int maxPasses);

void Press(int virtualKey);  // down, one frame, up, one frame
void PressWithControl(int virtualKey);

// Puts the ball at (x, y, z) at rest; the real loop takes it from there.
void PlaceBall(float x, float y, float z);
D3DXVECTOR3 BallBodyPosition();

// The last frame as ARGB, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};
Image ReadFrame();
// Writes the image as a binary PPM when KOLVAR_PLAY_DUMP names a folder (for looking at failures).
void DumpImage(const Image& image, const char* name);
// Pixels in [x0, x1) x [y0, y1) within tolerance of colour (per channel).
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
