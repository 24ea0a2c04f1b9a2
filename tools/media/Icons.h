// The programs' icons for the desktop's hicolor theme: Kolvar (a ball on a
// tiled board, a coin on one side and a bomb's warning tile on the other) and
// the Vorpex showcase (hills under a sky with a sun, mirrored in water). Each
// size is drawn at that size, not scaled from another: shapes are laid out on
// a 256-unit square and painted with one-pixel edges, and the finest detail
// (tile joints, ripples, the bomb's fuse) is left out where it would blur.
// Both have clear surroundings.
#pragma once

#include <string>
#include <vector>

#include "media/Image.h"

namespace media {

const std::vector<int>& IconSizes();  // 16, 32, 48, 64, 128, 256

Image MakeGameIcon(int size);      // size x size, straight alpha
Image MakeShowcaseIcon(int size);  // size x size, straight alpha

// icons/hicolor/<N>x<N>/apps/kolvar.png and .../vorpex-showcase.png for every
// size, relative to the root, '/'-separated.
std::vector<std::string> IconFileNames();

// Writes the PNG files of IconFileNames() under root (a data folder such as
// /usr/share). Returns false and an error naming the folder or file that
// could not be written.
bool GenerateIcons(const std::string& root, std::string& error);

}  // namespace media
