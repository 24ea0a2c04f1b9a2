// Writes the game's run-time data: every texture, mesh and level file under
// <root>/kMedia/, levels under <root>/kMedia/kMaps/; and the engine's sky and
// water textures (SkyWaterMedia.h), terrain media (TerrainMedia.h) and the GUI's
// skin (media/gui/) under <root>/media/.
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
