// PNG files: 8-bit RGBA (colour type 6), no interlace, every row with filter
// type 0, the image data a zlib stream of stored (uncompressed) deflate
// blocks. Any PNG reader takes them; they are as large as the pixels.
//
//   signature  89 50 4E 47 0D 0A 1A 0A
//   IHDR       width, height (big-endian 32 bit), 8, 6, 0, 0, 0
//   IDAT       78 01 | blocks: final flag, LEN, ~LEN, up to 65535 bytes | Adler-32
//   IEND
//   each chunk: length (big-endian), type, data, CRC-32 of type and data
#pragma once

#include <cstdint>
#include <vector>

#include "media/Image.h"

namespace media {

std::vector<std::uint8_t> EncodePng(const Image& image);  // straight alpha, top row first

}  // namespace media
