#include "media/TgaFile.h"

namespace media {

std::vector<std::uint8_t> EncodeTga(const Image& image)
{
    const int w = image.Width(), h = image.Height();
    std::vector<std::uint8_t> out(18, 0);
    out[2] = 2;  // uncompressed true-colour
    out[12] = static_cast<std::uint8_t>(w & 0xFF);
    out[13] = static_cast<std::uint8_t>(w >> 8);
    out[14] = static_cast<std::uint8_t>(h & 0xFF);
    out[15] = static_cast<std::uint8_t>(h >> 8);
    out[16] = 32;                                          // bits per pixel
    out[17] = 0x08;                                        // 8 attribute (alpha) bits, origin at the bottom left
    const std::vector<std::uint8_t> bgra = image.Bgra8();  // top row first
    for (int y = h - 1; y >= 0; --y) {
        const auto row = bgra.begin() + static_cast<std::ptrdiff_t>(y) * w * 4;
        out.insert(out.end(), row, row + w * 4);
    }
    return out;
}

}  // namespace media
