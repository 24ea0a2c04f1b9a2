// The engine's sky and water textures: six sky box faces and a tileable
// du/dv distortion map for the water, under <root>/media/.
//
// The faces are one sky painted by direction (a gradient from a pale horizon
// to a deep zenith, a sun, a darker haze below the horizon), so neighbouring
// faces agree along their shared edges. Each face maps its pixels to the
// cube the way the sky box's face table does (u right, v down, seen from
// inside), in the sky box's face order:
//
//   0 media/sky/sky_front.tga  +z  (the sun stands in this face, right of centre)
//   1 media/sky/sky_right.tga  +x
//   2 media/sky/sky_back.tga   -z
//   3 media/sky/sky_left.tga   -x
//   4 media/sky/sky_up.tga     +y
//   5 media/sky/sky_down.tga   -y
#pragma once

#include <string>
#include <vector>

#include "media/Image.h"

namespace media {

constexpr int kSkyFaceSize = 256;
constexpr int kDudvSize = 128;

// The direction (x, y, z) from the cube's centre through texture point (u, v)
// of a face, not normalised (a point on the cube from -1 to 1).
void SkyFaceDirection(int face, float u, float v, float out[3]);
// The sun's direction, unit length.
void SkySunDirection(float out[3]);

Image MakeSkyFace(int face);  // kSkyFaceSize square, opaque; face 0 ... 5
// kDudvSize square, opaque: red and green are offsets around 0.5 (128) that
// tile seamlessly in both directions; blue is 0.5.
Image MakeDudvMap();

// The files written, relative to the root, '/'-separated: the faces in face order, then the map.
std::vector<std::string> SkyWaterFileNames();
// Writes them; false and an error naming the file on the first failure.
bool WriteSkyWaterMedia(const std::string& root, std::string& error);

}  // namespace media
