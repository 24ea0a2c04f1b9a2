// Image files: any bytes either fail or decode to exactly width x height
// pixels, which then go through colour keying, resizing and mip halving.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "d3dx/ImageCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace d3dx::detail;
    ArgbImage image;
    std::string error;
    if (!DecodeImage(data, size, image, &error)) {
        if (!image.pixels.empty()) std::abort();
        return 0;
    }
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != size_t(image.width) * size_t(image.height))
        std::abort();
    if (image.pixels.size() > 4096 * 4096) return 0;
    ApplyColourKey(image, 0xFF000000u);
    ArgbImage half = HalveImage(image, false);
    ArgbImage resized = ResizePoint(half, 7, 5);
    uint8_t row[7 * 4];
    PackRow(resized.pixels.data(), 7, 26 /* A4R4G4B4 */, row);
    return 0;
}
