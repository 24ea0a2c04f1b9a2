// Writes the game's run-time data: every texture, mesh and level file under
// <root>/kMedia/, levels under <root>/kMedia/kMaps/, sounds under
// <root>/kMedia/sounds/ (Sounds.h); and the engine's sky and water textures
// (SkyWaterMedia.h), GUI skin (GuiMedia.h, media/gui/) and terrain media
// (TerrainMedia.h) under <root>/media/.
#pragma once

#include <string>
#include <vector>

namespace media {

// Every file the generator writes, relative to the root, '/'-separated.
std::vector<std::string> MediaFileNames();

// Generates the tree. The same build always writes the same bytes. Returns
// false and an error naming the file on the first failure (a level design
// that does not compile, a directory or file that cannot be written).
bool GenerateMedia(const std::string& root, std::string& error);

}  // namespace media
