// The floor a frame of the game is measured against: the same number of draw
// calls and primitives, the same targets (a 256 x 256 texture pass, then the
// 1016 x 756 screen) and the same presents, issued straight to OpenGL with one
// static vertex buffer, one texture and one trivial program.
#pragma once

struct FloorFrame {
    int xrayDraws;        // draws into the 256 x 256 target
    int sceneDraws;       // draws into the screen
    int trianglesPerDraw;
};

// Opens its own window and context; false when that fails.
bool FloorOpen(int width, int height);
// Milliseconds of each of frames frames.
double FloorRun(const FloorFrame& frame, int frames, double* medianMs);
void FloorClose();
