// Image files to and from plain 32-bit ARGB pixels, with no device involved:
// decoding (TGA, BMP, PNG, JPEG), colour keys, resampling, mip levels, texel
// packing and JPEG/BMP/PNG encoding. The texture loaders and the fuzz target
// share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace d3dx {
namespace detail {

// File kinds, numbered as D3DXIMAGE_FILEFORMAT numbers them.
enum ImageFileKind : int { kImageBmp = 0, kImageJpg = 1, kImageTga = 2, kImagePng = 3, kImageUnknown = -1 };

// A decoded picture, top row first, one 0xAARRGGBB value per pixel.
struct ArgbImage {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;  // the file carried an alpha channel
    ImageFileKind kind = kImageUnknown;
    std::vector<uint32_t> pixels;  // width * height
};

// Largest side and pixel count a file may declare; larger ones are refused
// before any pixel memory is taken.
constexpr int kMaxImageSide = 16384;
constexpr size_t kMaxImagePixels = size_t(1) << 26;

// Decodes a whole file held in memory. False (with a reason in error) for an
// empty, truncated, corrupt, oversized or unknown file; out is then empty.
bool DecodeImage(const uint8_t* data, size_t size, ArgbImage& out, std::string* error);

// Reads only the header: size, alpha and kind. False where DecodeImage would fail early.
bool ProbeImage(const uint8_t* data, size_t size, int& width, int& height, bool& hasAlpha, ImageFileKind& kind);

// Every pixel equal to key (all 32 bits) becomes transparent black.
void ApplyColourKey(ArgbImage& image, uint32_t key);

// Point-sampled resize to w x h (the nearest source texel for each target texel).
ArgbImage ResizePoint(const ArgbImage& src, int w, int h);

// The next mip level: half the size (at least 1), each texel the average of
// its 2x2 block (or the top-left texel of it when point is true).
ArgbImage HalveImage(const ArgbImage& src, bool point);

// Bytes per texel of a D3DFORMAT this code can pack, 0 for any other.
int TexelBytes(uint32_t d3dFormat);

// Packs one row of ARGB pixels into the texel layout of d3dFormat.
void PackRow(const uint32_t* argb, int count, uint32_t d3dFormat, uint8_t* dst);

// Unpacks one row of texels of d3dFormat into ARGB; false for a format it cannot read.
bool UnpackRow(const uint8_t* src, int count, uint32_t d3dFormat, uint32_t* argb);

// Encodes width x height ARGB pixels (top row first) as the bytes of a file
// of the given kind (BMP, JPG at quality 90, PNG, TGA). False when the kind
// is not writable or the size is empty.
bool EncodeImage(ImageFileKind kind, int width, int height, const uint32_t* argb, std::vector<uint8_t>& out);

}  // namespace detail
}  // namespace d3dx
