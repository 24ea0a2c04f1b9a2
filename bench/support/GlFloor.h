// The floor a frame of the game is measured against: the same number of draw
// calls and primitives over about the same pixels, issued straight to OpenGL
// with static vertex buffers, one texture and one trivial program:
//   256 x 256 target: the bomb tiles, side by side;
//   screen: the board (whole screen), the ball (most triangles, 70 x 70 px),
//   small models (30 x 30 px), three 2D images (300 x 300 twice, 256 x 128)
//   and five text blocks (240 x 60), all blended; then one present.
// Shared by the game's and the showcase's frame benches.
#pragma once

#include <functional>
#include <vector>

struct FloorFrame {
    int xrayDraws;   // draws into the 256 x 256 target
    int sceneDraws;  // draws into the screen
    int primitives;  // all triangles of the frame
};

// Opens its own window and context, remembering the context that was current
// (the game's); false when that fails.
bool FloorOpen(int width, int height);
// Makes the floor's context current, or the one that was current before FloorOpen.
void FloorMakeCurrent(bool floor);
// Runs frames frames of the floor (its context current), each frame's time appended to times.
void FloorRun(const FloorFrame& frame, int frames, std::vector<double>* times);
// The program and the floor in alternating rounds, so that a change in the
// machine's load shows in both: runProgram(n) runs n frames of the program
// (its own context current), then the floor runs n frames into floorTimes;
// frames in all for each side.
void FloorAlternate(const FloorFrame& frame, int frames, const std::function<void(int)>& runProgram,
                    std::vector<double>* floorTimes);
// Gives the current context back to the game.
void FloorClose();
