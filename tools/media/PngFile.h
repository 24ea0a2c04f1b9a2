// PNG files: 8-bit RGBA (colour type 6), no interlace. Each row takes the
// filter (None, Sub, Up or Paeth) whose output has the smallest sum of
// magnitudes, the usual choice of PNG writers; the image data is one zlib
// stream of one deflate block with the fixed Huffman codes, matches found
// through a hash of three bytes over a 32 KiB window. The same picture always
// gives the same bytes.
//
//   signature  89 50 4E 47 0D 0A 1A 0A
//   IHDR       width, height (big-endian 32 bit), 8, 6, 0, 0, 0
//   IDAT       78 01 | deflate: BFINAL 1, BTYPE 01, codes, end of block | Adler-32
//   IEND
//   each chunk: length (big-endian), type, data, CRC-32 of type and data
#pragma once

#include <cstdint>
#include <vector>

#include "media/Image.h"

namespace media {

std::vector<std::uint8_t> EncodePng(const Image& image);  // straight alpha, top row first

}  // namespace media
