// The floor a frame of the showcase is measured against: what the showcase
// draws, taken from its objects after a frame, issued the plainest way
// OpenGL allows (static buffers, one program per kind of surface, one draw
// per engine draw):
//   256 x 256 target: the terrain chunks the reflection draws (the terrain
//     effect's four-layer shading), the models (lit, textured, fogged), the
//     sky faces behind them;
//   screen: the water (the water effect's Fresnel blend over the target),
//     the terrain chunks, the models, the sky, the fountain's point sprites
//     one draw each, then the GUI and text as blended quads of the engine's
//     remaining draws and triangles.
// Matrices are D3DX matrices uploaded as they are (the shaders multiply
// M * v), depth runs 0 to 1 as the engine's device sets it.
#pragma once

#include <cstdint>
#include <vector>

struct FloorImage {
    std::vector<std::uint8_t> bgra;  // top row first
    int width = 0, height = 0;
};

// One indexed draw: its first index and index count in the buffer it reads.
struct FloorRange {
    int first = 0, count = 0;
};

// A model draw: a subset of one of the meshes, its world matrix and texture.
struct FloorModelDraw {
    int mesh = 0;
    FloorRange range;
    float world[16];
    int texture = -1;  // into ShowcaseFloorData::modelTextures; -1 untextured
};

struct FloorMesh {
    std::vector<float> vertices;  // position, normal, uv: 8 floats a vertex
    std::vector<std::uint16_t> indices;
};

// One pass of the scene: its matrices and what it draws.
struct FloorPass {
    float viewProj[16];
    float eye[3];
    std::vector<FloorRange> chunks;  // into terrainIndices
    bool cullFront = false;          // the terrain's winding turned round (the mirrored pass)
    std::vector<FloorModelDraw> models;
    float skyWorld[16];
};

struct ShowcaseFloorData {
    int width = 0, height = 0;
    std::vector<float> terrainVertices;  // 10 floats a vertex: position, normal, uv0, uv1
    std::vector<std::uint16_t> terrainIndices;
    FloorImage terrainTextures[5];  // alpha map, then the four layers
    FloorImage sky[6];
    FloorImage dudv, particle;
    std::vector<FloorImage> modelTextures;
    std::vector<FloorMesh> meshes;
    FloorPass reflection, main;
    float waterVertices[4 * 8];  // the strip: position, normal, uv
    float texProj[16];           // world -> reflection image coordinates
    float dudvOffset = 0.0f;
    float fogStart = 80.0f, fogEnd = 320.0f;
    float fogColour[3] = {0.72f, 0.78f, 0.86f};
    std::vector<float> particles;  // x, y, z of each live particle
    float particleSize = 1.0f;
    int guiDraws = 0;      // the frame's remaining draws: GUI quads and text
    int guiTriangles = 0;  // and their triangles
};

// Opens the floor's window and context and uploads data; false when that fails.
bool ShowcaseFloorOpen(const ShowcaseFloorData& data);
// Makes the floor's context current (true) or the one current before Open.
void ShowcaseFloorMakeCurrent(bool floor);
// frames timed frames of the floor, each time appended to times.
void ShowcaseFloorRun(int frames, std::vector<double>* times);
// One frame of the floor read back (0xAARRGGBB, top row first), with its draw
// and triangle counts.
std::vector<std::uint32_t> ShowcaseFloorPicture(int* draws, int* triangles);
void ShowcaseFloorClose();
