// The media the benches write for themselves, through the media generator's
// own writers (link kolvartools).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "kmf/KmfLevel.h"
#include "media/Image.h"
#include "media/TgaFile.h"

namespace bench {

// A width x height 32-bit Targa file at path whose pixel (x, y), row 0 at the
// top, is pixel(x, y) as 0xAARRGGBB; false, with the reason on stderr, when
// it cannot be written.
template <typename Pixel>
bool WriteTga(const std::string& path, int width, int height, Pixel pixel)
{
    media::Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pixel(x, y);
            image.At(x, y) = media::Rgba{float((c >> 16) & 0xFF) / 255.0f, float((c >> 8) & 0xFF) / 255.0f,
                                         float(c & 0xFF) / 255.0f, float(c >> 24) / 255.0f};
        }
    std::string error;
    if (kmf::WriteFileBytes(path, media::EncodeTga(image), error)) return true;
    std::fprintf(stderr, "bench: %s\n", error.c_str());
    return false;
}

}  // namespace bench
