// The package test's eyes:
//   package_check_shot picture FILE   writes a 64 x 64 solid red TGA
//   package_check_shot sound FILE     writes a 0.1 s 440 Hz square wave as a WAVE file
//   package_check_shot shot FILE      checks the minimal example's screenshot:
//                                     the picture at (20, 20) of the client
//                                     area, yellow text ink near (20, 400),
//                                     the clear colour between them
// The screenshot holds the window's rectangle: the client area starts 8
// pixels right and 31 down.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kLeft = 8, kTop = 31;

bool Near(const unsigned char* p, int r, int g, int b, int tolerance)
{
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

int WritePicture(const char* file)
{
    FILE* f = std::fopen(file, "wb");
    if (!f) return 1;
    unsigned char header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 64, 0, 64, 0, 32, 0x28};
    std::fwrite(header, 1, sizeof header, f);
    const unsigned char red[4] = {0, 0, 255, 255};  // B G R A
    for (int i = 0; i < 64 * 64; ++i) std::fwrite(red, 1, 4, f);
    return std::fclose(f) == 0 ? 0 : 1;
}

int WriteSound(const char* file)
{
    FILE* f = std::fopen(file, "wb");
    if (!f) return 1;
    const unsigned rate = 22050, frames = rate / 10, bytes = frames * 2;
    auto u32 = [&](unsigned v) {
        const unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16),
                                    (unsigned char)(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    const unsigned char format[16] = {1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0};
    std::fwrite(format, 1, sizeof format, f);
    std::fwrite("data", 1, 4, f);
    u32(bytes);
    for (unsigned i = 0; i < frames; ++i) {
        const int v = (i * 440 * 2 / rate) % 2 ? -8000 : 8000;  // a square wave
        const unsigned char b[2] = {(unsigned char)(v & 0xFF), (unsigned char)((v >> 8) & 0xFF)};
        std::fwrite(b, 1, 2, f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

int CheckShot(const char* file)
{
    int w = 0, h = 0, n = 0;
    unsigned char* image = stbi_load(file, &w, &h, &n, 3);
    if (!image) {
        std::fprintf(stderr, "%s: cannot read the screenshot\n", file);
        return 1;
    }
    auto at = [&](int x, int y) { return image + (size_t(kTop + y) * w + (kLeft + x)) * 3; };
    int failures = 0;
    if (!Near(at(20 + 32, 20 + 32), 255, 0, 0, 40)) {
        std::fprintf(stderr, "no red picture at (52, 52)\n");
        ++failures;
    }
    if (!Near(at(400, 250), 0xB3, 0xB3, 0xFF, 24)) {
        std::fprintf(stderr, "no clear colour at (400, 250)\n");
        ++failures;
    }
    int ink = 0;
    for (int y = 400; y < 450; ++y)
        for (int x = 20; x < 360; ++x) ink += Near(at(x, y), 255, 255, 0, 60);
    if (ink < 200) {
        std::fprintf(stderr, "no yellow text near (20, 400): %d pixels\n", ink);
        ++failures;
    }
    stbi_image_free(image);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "picture") == 0) return WritePicture(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "shot") == 0) return CheckShot(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "sound") == 0) return WriteSound(argv[2]);
    std::fprintf(stderr, "usage: %s picture|shot|sound FILE\n", argv[0]);
    return 2;
}
