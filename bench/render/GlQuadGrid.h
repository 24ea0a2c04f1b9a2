// The reference the model grid is measured against: the same textured
// quads, one draw call and one matrix upload each, issued straight to
// OpenGL with one static vertex buffer, one texture and one trivial program,
// depth-tested, alpha-blended and bilinear-filtered as the engine's defaults ask.
#pragma once

#include <vector>

// Opens its own window and context of the given size; false when that fails.
bool GlGridOpen(int width, int height);
// Draws count quads per frame, each placed by its own 4 x 4 matrix (16 floats,
// column-major for GL, already multiplied by view and projection), for frames
// frames; appends one time in milliseconds per frame. count 0: clear and swap only.
void GlGridRun(const std::vector<float>& matrices, int count, int frames, std::vector<double>& times);
void GlGridClose();
