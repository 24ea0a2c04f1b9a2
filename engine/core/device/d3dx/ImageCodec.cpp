#include "d3dx/ImageCodec.h"

#include <algorithm>
#include <climits>
#include <cstring>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace d3dx {
namespace detail {
namespace {

// D3DFORMAT numbers of the texel layouts handled here.
enum : uint32_t {
    kFmtR8G8B8 = 20,
    kFmtA8R8G8B8 = 21,
    kFmtX8R8G8B8 = 22,
    kFmtR5G6B5 = 23,
    kFmtX1R5G5B5 = 24,
    kFmtA1R5G5B5 = 25,
    kFmtA4R4G4B4 = 26,
    kFmtA8 = 28,
    kFmtX4R4G4B4 = 30,
    kFmtA8B8G8R8 = 32,
    kFmtX8B8G8R8 = 33,
    kFmtL8 = 50,
};

ImageFileKind KindFromMagic(const uint8_t* d, size_t n)
{
    if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return kImagePng;
    if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return kImageJpg;
    if (n >= 2 && d[0] == 'B' && d[1] == 'M') return kImageBmp;
    // TGA has no magic number; stb's header test decides.
    return kImageTga;
}

struct StreamReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
    bool overrun;

    static int Read(void* user, char* out, int n)
    {
        auto* r = static_cast<StreamReader*>(user);
        size_t left = r->size - r->pos;
        if (n > 0 && left == 0) r->overrun = true;
        size_t count = std::min(left, size_t(n > 0 ? n : 0));
        std::memcpy(out, r->data + r->pos, count);
        r->pos += count;
        return int(count);
    }
    static void Skip(void* user, int n)
    {
        auto* r = static_cast<StreamReader*>(user);
        if (n < 0) {
            size_t back = size_t(-int64_t(n));
            r->pos = back > r->pos ? 0 : r->pos - back;
        } else if (size_t(n) > r->size - r->pos) {
            r->overrun = true;
            r->pos = r->size;
        } else {
            r->pos += size_t(n);
        }
    }
    static int Eof(void* user)
    {
        auto* r = static_cast<StreamReader*>(user);
        return r->pos >= r->size;
    }
};

inline uint32_t Expand(uint32_t v, int bits)
{  // n-bit channel to 8 bits
    return bits == 4 ? v * 17 : bits == 5 ? (v << 3) | (v >> 2) : bits == 6 ? (v << 2) | (v >> 4) : v;
}

// A PNG's chunks must each fit inside the file: the decoder sizes its
// buffers from their declared lengths before it reads them.
bool PngChunksFit(const uint8_t* d, size_t n)
{
    size_t at = 8;
    while (at + 12 <= n) {
        uint32_t length =
            (uint32_t(d[at]) << 24) | (uint32_t(d[at + 1]) << 16) | (uint32_t(d[at + 2]) << 8) | d[at + 3];
        if (length > n - at - 12) return false;
        bool end = std::memcmp(d + at + 4, "IEND", 4) == 0;
        at += 12 + size_t(length);
        if (end) return true;
    }
    return false;
}

// A JPEG's Huffman tables each hold at most 256 codes. The decoder writes a
// table's code lengths and symbols into fixed arrays of that size before it
// looks at their count, so a table claiming more is refused here. Walks the
// markers the way the decoder meets them: segments by their length, scan
// data byte by byte up to the next marker (0xFF and a byte other than 0 or a
// restart), and bytes past the end read as zero, as the decoder reads them.
// Where the decoder would stop on its own the walk stops too. The decoder
// takes any file that opens with 0xFF bytes and then 0xD8 for a JPEG, and
// tries JPEG first, so that is what this looks for, whatever the file's name
// or the rest of its first bytes say.
bool JpegTablesFit(const uint8_t* d, size_t n)
{
    auto byte = [&](size_t at) -> unsigned { return at < n ? d[at] : 0u; };
    auto word = [&](size_t at) -> size_t { return size_t(byte(at)) << 8 | byte(at + 1); };
    if (n == 0 || d[0] != 0xFF) return true;
    size_t at = 1;
    while (at < n && d[at] == 0xFF) ++at;
    if (byte(at) != 0xD8) return true;  // not a JPEG to the decoder
    ++at;
    bool inScan = false;
    while (at < n) {
        if (d[at] != 0xFF) {  // padding between segments, or scan data
            ++at;
            continue;
        }
        while (at < n && d[at] == 0xFF) ++at;  // fill bytes
        if (at >= n) return true;
        const unsigned marker = d[at++];
        if (inScan && (marker == 0 || (marker >= 0xD0 && marker <= 0xD7))) continue;  // stuffed byte, restart
        inScan = false;
        // The end of the image, or a marker the decoder stops at.
        if (marker == 0xD9 || marker == 0 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) return true;
        const size_t length = word(at);
        if (length < 2) return true;
        if (marker == 0xC4) {
            long left = long(length) - 2;
            size_t table = at + 2;
            while (left > 0) {
                size_t codes = 0;
                for (size_t i = 1; i <= 16; ++i) codes += byte(table + i);
                if (codes > 256) return false;
                table += 17 + codes;
                left -= long(17 + codes);
            }
            if (left != 0) return true;  // the decoder refuses the segment
        }
        at += length;
        inScan = marker == 0xDA;
    }
    return true;
}

// Most pixels per file byte any of the readable formats can pack (deflate
// tops out near 1032:1); a file claiming more is corrupt.
constexpr size_t kMaxPixelsPerByte = 2048;

}  // namespace

bool ProbeImage(const uint8_t* data, size_t size, int& width, int& height, bool& hasAlpha, ImageFileKind& kind)
{
    width = height = 0;
    hasAlpha = false;
    kind = kImageUnknown;
    if (!data || size == 0 || size > size_t(INT32_MAX)) return false;
    if (!JpegTablesFit(data, size)) return false;
    int w = 0, h = 0, comp = 0;
    if (!stbi_info_from_memory(data, int(size), &w, &h, &comp)) return false;
    if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) return false;
    if (size_t(w) * size_t(h) > kMaxImagePixels) return false;
    if (size_t(w) * size_t(h) > size * kMaxPixelsPerByte) return false;
    if (KindFromMagic(data, size) == kImagePng && !PngChunksFit(data, size)) return false;
    width = w;
    height = h;
    hasAlpha = comp == 2 || comp == 4;
    kind = KindFromMagic(data, size);
    return true;
}

bool DecodeImage(const uint8_t* data, size_t size, ArgbImage& out, std::string* error)
{
    out = ArgbImage();
    auto fail = [&](const char* why) {
        if (error) *error = why;
        out = ArgbImage();
        return false;
    };
    if (!data || size == 0) return fail("empty file");
    int w = 0, h = 0;
    bool alpha = false;
    ImageFileKind kind = kImageUnknown;
    if (!ProbeImage(data, size, w, h, alpha, kind)) return fail("not a readable TGA, BMP, PNG or JPEG image");
    // The decoders read through callbacks that note any attempt to read past
    // the end: a truncated file would otherwise decode with zeros for its
    // missing part.
    StreamReader reader{data, size, 0, false};
    stbi_io_callbacks io{&StreamReader::Read, &StreamReader::Skip, &StreamReader::Eof};
    int rw = 0, rh = 0, comp = 0;
    stbi_uc* rgba = stbi_load_from_callbacks(&io, &reader, &rw, &rh, &comp, 4);
    if (!rgba) return fail(stbi_failure_reason() ? stbi_failure_reason() : "corrupt image");
    if (reader.overrun) {
        stbi_image_free(rgba);
        return fail("truncated image");
    }
    if (rw != w || rh != h) {
        stbi_image_free(rgba);
        return fail("image size changed while decoding");
    }
    out.width = w;
    out.height = h;
    out.hasAlpha = alpha;
    out.kind = kind;
    out.pixels.resize(size_t(w) * size_t(h));
    const stbi_uc* p = rgba;
    for (uint32_t& px : out.pixels) {
        px = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
        p += 4;
    }
    stbi_image_free(rgba);
    return true;
}

void ApplyColourKey(ArgbImage& image, uint32_t key)
{
    for (uint32_t& px : image.pixels)
        if (px == key) px = 0;
}

ArgbImage ResizePoint(const ArgbImage& src, int w, int h)
{
    ArgbImage out;
    out.width = w;
    out.height = h;
    out.hasAlpha = src.hasAlpha;
    out.kind = src.kind;
    out.pixels.resize(size_t(w) * size_t(h));
    if (src.width <= 0 || src.height <= 0) return out;
    for (int y = 0; y < h; ++y) {
        int sy = int((int64_t(y) * src.height) / h);
        for (int x = 0; x < w; ++x) {
            int sx = int((int64_t(x) * src.width) / w);
            out.pixels[size_t(y) * w + x] = src.pixels[size_t(sy) * src.width + sx];
        }
    }
    return out;
}

ArgbImage HalveImage(const ArgbImage& src, bool point)
{
    int w = src.width > 1 ? src.width / 2 : 1;
    int h = src.height > 1 ? src.height / 2 : 1;
    if (point) return ResizePoint(src, w, h);
    ArgbImage out;
    out.width = w;
    out.height = h;
    out.hasAlpha = src.hasAlpha;
    out.kind = src.kind;
    out.pixels.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int x0 = std::min(2 * x, src.width - 1), x1 = std::min(2 * x + 1, src.width - 1);
            int y0 = std::min(2 * y, src.height - 1), y1 = std::min(2 * y + 1, src.height - 1);
            uint32_t s[4] = {src.pixels[size_t(y0) * src.width + x0], src.pixels[size_t(y0) * src.width + x1],
                             src.pixels[size_t(y1) * src.width + x0], src.pixels[size_t(y1) * src.width + x1]};
            uint32_t r = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 2;
                for (uint32_t v : s) sum += (v >> shift) & 0xFF;
                r |= (sum / 4) << shift;
            }
            out.pixels[size_t(y) * w + x] = r;
        }
    }
    return out;
}

int TexelBytes(uint32_t f)
{
    switch (f) {
        case kFmtA8R8G8B8:
        case kFmtX8R8G8B8:
        case kFmtA8B8G8R8:
        case kFmtX8B8G8R8:
            return 4;
        case kFmtR8G8B8:
            return 3;
        case kFmtR5G6B5:
        case kFmtX1R5G5B5:
        case kFmtA1R5G5B5:
        case kFmtA4R4G4B4:
        case kFmtX4R4G4B4:
            return 2;
        case kFmtA8:
        case kFmtL8:
            return 1;
        default:
            return 0;
    }
}

void PackRow(const uint32_t* argb, int count, uint32_t f, uint8_t* dst)
{
    for (int i = 0; i < count; ++i) {
        uint32_t c = argb[i];
        uint32_t a = c >> 24, r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        uint32_t v = 0;
        switch (f) {
            case kFmtA8R8G8B8:
                v = c;
                break;
            case kFmtX8R8G8B8:
                v = c | 0xFF000000u;
                break;
            case kFmtA8B8G8R8:
                v = (a << 24) | (b << 16) | (g << 8) | r;
                break;
            case kFmtX8B8G8R8:
                v = 0xFF000000u | (b << 16) | (g << 8) | r;
                break;
            case kFmtR8G8B8:
                dst[0] = uint8_t(b);
                dst[1] = uint8_t(g);
                dst[2] = uint8_t(r);
                dst += 3;
                continue;
            case kFmtR5G6B5:
                v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
                break;
            case kFmtX1R5G5B5:
                v = 0x8000u | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
                break;
            case kFmtA1R5G5B5:
                v = ((a >> 7) << 15) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
                break;
            case kFmtA4R4G4B4:
                v = ((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4);
                break;
            case kFmtX4R4G4B4:
                v = 0xF000u | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4);
                break;
            case kFmtA8:
                *dst++ = uint8_t(a);
                continue;
            case kFmtL8:
                *dst++ = uint8_t((r * 77 + g * 150 + b * 29 + 128) >> 8);
                continue;
            default:
                return;
        }
        int n = TexelBytes(f);
        for (int k = 0; k < n; ++k) dst[k] = uint8_t(v >> (8 * k));
        dst += n;
    }
}

bool UnpackRow(const uint8_t* src, int count, uint32_t f, uint32_t* argb)
{
    int n = TexelBytes(f);
    if (n == 0) return false;
    for (int i = 0; i < count; ++i, src += n) {
        uint32_t v = 0;
        for (int k = 0; k < n; ++k) v |= uint32_t(src[k]) << (8 * k);
        uint32_t a = 255, r = 0, g = 0, b = 0;
        switch (f) {
            case kFmtA8R8G8B8:
                argb[i] = v;
                continue;
            case kFmtX8R8G8B8:
                argb[i] = v | 0xFF000000u;
                continue;
            case kFmtA8B8G8R8:
                a = v >> 24;
                b = (v >> 16) & 0xFF;
                g = (v >> 8) & 0xFF;
                r = v & 0xFF;
                break;
            case kFmtX8B8G8R8:
                b = (v >> 16) & 0xFF;
                g = (v >> 8) & 0xFF;
                r = v & 0xFF;
                break;
            case kFmtR8G8B8:
                b = src[0];
                g = src[1];
                r = src[2];
                break;
            case kFmtR5G6B5:
                r = Expand(v >> 11, 5);
                g = Expand((v >> 5) & 63, 6);
                b = Expand(v & 31, 5);
                break;
            case kFmtX1R5G5B5:
            case kFmtA1R5G5B5:
                a = (f == kFmtX1R5G5B5 || (v & 0x8000)) ? 255 : 0;
                r = Expand((v >> 10) & 31, 5);
                g = Expand((v >> 5) & 31, 5);
                b = Expand(v & 31, 5);
                break;
            case kFmtA4R4G4B4:
            case kFmtX4R4G4B4:
                a = f == kFmtX4R4G4B4 ? 255 : Expand(v >> 12, 4);
                r = Expand((v >> 8) & 15, 4);
                g = Expand((v >> 4) & 15, 4);
                b = Expand(v & 15, 4);
                break;
            case kFmtA8:
                a = v;
                break;
            case kFmtL8:
                r = g = b = v;
                break;
            default:
                return false;
        }
        argb[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    return true;
}

bool EncodeImage(ImageFileKind kind, int width, int height, const uint32_t* argb, std::vector<uint8_t>& out)
{
    out.clear();
    if (width <= 0 || height <= 0 || !argb) return false;
    bool alpha = kind == kImagePng || kind == kImageTga;
    int comp = alpha ? 4 : 3;
    std::vector<uint8_t> bytes(size_t(width) * size_t(height) * comp);
    uint8_t* p = bytes.data();
    for (size_t i = 0, n = size_t(width) * size_t(height); i < n; ++i) {
        uint32_t c = argb[i];
        *p++ = uint8_t(c >> 16);
        *p++ = uint8_t(c >> 8);
        *p++ = uint8_t(c);
        if (alpha) *p++ = uint8_t(c >> 24);
    }
    auto sink = [](void* ctx, void* data, int size) {
        auto* v = static_cast<std::vector<uint8_t>*>(ctx);
        v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    };
    int ok = 0;
    switch (kind) {
        case kImageJpg:
            ok = stbi_write_jpg_to_func(sink, &out, width, height, comp, bytes.data(), 90);
            break;
        case kImageBmp:
            ok = stbi_write_bmp_to_func(sink, &out, width, height, comp, bytes.data());
            break;
        case kImagePng:
            ok = stbi_write_png_to_func(sink, &out, width, height, comp, bytes.data(), width * comp);
            break;
        case kImageTga:
            ok = stbi_write_tga_to_func(sink, &out, width, height, comp, bytes.data());
            break;
        default:
            ok = 0;
            break;
    }
    if (!ok) out.clear();
    return ok != 0 && !out.empty();
}

}  // namespace detail
}  // namespace d3dx
