// The engine terrain's run-time data: four tileable detail textures, the
// alpha-map image, the 4096 x 4096 height image and the texture-layer table
// derived from the same heights. The height file itself is made from the
// height image by the engine (tools/terrain/vterrainmedia).
//
// Landscape, in table samples (x along a row, z down the rows): rolling hills,
// winding valleys, and every 512 samples a round plain that lies below the
// water level (byte 32). Layers: concrete on steep slopes, mud in hollows,
// bricks on a few paths, grass elsewhere (the plains included).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace media {

constexpr int kTerrainSide = 4096;               // samples per table row and column
constexpr std::uint8_t kTerrainWaterLevel = 32;  // height byte of the water surface
constexpr float kTerrainHeightScale = 64.0f;     // world height of byte 255 (the engine's default)

// Files written by GenerateTerrainMedia, relative to the root.
std::vector<std::string> TerrainMediaFileNames();
// The height image the engine converts, and the height file it writes.
constexpr const char* kTerrainHeightImage = "media/TerrData/heightmap.tga";
constexpr const char* kTerrainHeightFile = "media/TerrData/heights.raw";

// Height bytes, row z, column x: kTerrainSide^2 bytes, row-major.
std::vector<std::uint8_t> MakeTerrainHeights();
// Layer bytes (0 grass, 1 mud, 2 concrete, 3 bricks) for the heights.
std::vector<std::uint8_t> MakeTerrainLayers(const std::vector<std::uint8_t>& heights);

// Writes the terrain media under root/media/; false and an error naming the
// file on the first failure.
bool GenerateTerrainMedia(const std::string& root, std::string& error);

}  // namespace media
