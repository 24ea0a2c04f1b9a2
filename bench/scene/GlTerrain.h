// The reference the terrain frame is measured against: the same vertices,
// the same nine index ranges and the same four-layer shading (the terrain
// effect's shaders), issued straight to OpenGL from static buffers, one draw
// and one pair of matrix uploads per chunk, with the engine's default
// sampling (point, wrap) and depth test.
#pragma once

#include <cstdint>
#include <vector>

struct GlTerrainData {
    std::vector<float> vertices;              // 10 floats per vertex: position, normal, uv0, uv1
    std::vector<std::uint16_t> indices;       // the nine chunks' indices, one after another
    std::vector<int> chunkFirst, chunkCount;  // index range of each chunk
    int vertexCount = 0;
    // Textures as BGRA bytes, top row first: alpha map, then the four layers.
    std::vector<std::uint8_t> pixels[5];
    int width[5] = {}, height[5] = {};
};

// Opens its own window and context of the given size; false when that fails.
bool GlTerrainOpen(int width, int height, const GlTerrainData& data);
// Draws the chunks for frames frames with world = identity and the given
// world x view x projection (16 floats, D3DX layout, read by GL as the
// column-vector form of the same product); appends one time in milliseconds
// per frame. draw false: clear and swap only.
void GlTerrainRun(const float* worldViewProj, bool draw, int frames, std::vector<double>& times);
// Share of pixels a frame of the chunks covers (not the black clear colour).
double GlTerrainCoverage(const float* worldViewProj);
void GlTerrainClose();
