// Uncompressed 32-bit Targa files: BGRA with 8 alpha bits, stored bottom row
// first with the origin flag saying so (image descriptor 0x08), the layout
// every Targa reader shows upright.
#pragma once

#include <cstdint>
#include <vector>

#include "media/Image.h"

namespace media {

std::vector<std::uint8_t> EncodeTga(const Image& image);

}  // namespace media
