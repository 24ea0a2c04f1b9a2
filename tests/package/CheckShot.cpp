// The package and guide tests' eyes:
//   package_check_shot picture FILE   writes a 64 x 64 solid red TGA
//   package_check_shot sound FILE     writes a 0.1 s 440 Hz square wave as a WAVE file
//   package_check_shot shot FILE      checks the minimal example's screenshot:
//                                     the picture at (20, 20) of the client
//                                     area, yellow text ink near (20, 400),
//                                     the clear colour between them
//   package_check_shot guide FILE     checks the guide program's screenshot
//                                     (examples/guide, 800 x 600 client area):
//                                     sky, terrain, water, the textured ball,
//                                     the GUI window and the white text line
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

// Mean colour of a rectangle of the client area (x0 <= x < x1, y0 <= y < y1).
struct Mean {
    double r = 0, g = 0, b = 0;
};

Mean MeanOf(const unsigned char* image, int w, int x0, int y0, int x1, int y1)
{
    Mean m;
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = image + (size_t(kTop + y) * w + (kLeft + x)) * 3;
            m.r += p[0];
            m.g += p[1];
            m.b += p[2];
            ++n;
        }
    m.r /= n;
    m.g /= n;
    m.b /= n;
    return m;
}

int CheckGuideShot(const char* file)
{
    int w = 0, h = 0, n = 0;
    unsigned char* image = stbi_load(file, &w, &h, &n, 3);
    if (!image) {
        std::fprintf(stderr, "%s: cannot read the screenshot\n", file);
        return 1;
    }
    if (w < kLeft + 800 || h < kTop + 600) {
        std::fprintf(stderr, "%s: %d x %d is smaller than the window\n", file, w, h);
        stbi_image_free(image);
        return 1;
    }
    int failures = 0;
    auto expect = [&](bool ok, const char* what, const Mean& m) {
        if (ok) return;
        std::fprintf(stderr, "no %s: mean colour %.0f %.0f %.0f\n", what, m.r, m.g, m.b);
        ++failures;
    };
    // The sky above the hills: the sky box's light blue, not the grey-blue clear
    // colour (184 199 219) nor the reflection image's clear colour (77 77 255).
    const Mean sky = MeanOf(image, w, 292, 9, 492, 29);
    expect(sky.b > sky.r + 60 && sky.g > sky.r + 20, "sky at the top", sky);
    // The grassy hills across the water: green.
    const Mean grass = MeanOf(image, w, 300, 135, 440, 150);
    expect(grass.g > grass.r + 30 && grass.g > grass.b + 30, "terrain on the hills", grass);
    // The water in front: blue with the sky's green in it, so it reflects the
    // sky and not the reflection image's clear colour.
    const Mean water = MeanOf(image, w, 592, 449, 692, 489);
    // (The clear colour shows as deep blue: about 41 62 151 against 53 91 136.)
    expect(water.b > water.r + 50 && water.b - water.g < 65 && water.b < 200, "water in front, showing the sky", water);
    // The ball with its grid texture: light and greenish grey (untextured and lit
    // it takes the device's material and does not show like this).
    const Mean ball = MeanOf(image, w, 317, 314, 347, 344);
    expect(ball.g > ball.r + 15 && ball.r > 80 && ball.b > 80, "textured ball on the water", ball);
    // The GUI window's bar, top right: the light skin.
    const Mean bar = MeanOf(image, w, 640, 27, 770, 36);
    expect(bar.r > 190 && bar.g > 190 && bar.b > 190, "GUI window at the top right", bar);
    // The text line, bottom left: white ink.
    int ink = 0;
    for (int y = 550; y < 580; ++y)
        for (int x = 20; x < 230; ++x) ink += Near(image + (size_t(kTop + y) * w + (kLeft + x)) * 3, 255, 255, 255, 40);
    if (ink < 200) {
        std::fprintf(stderr, "no white text near (20, 550): %d pixels\n", ink);
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
    if (argc == 3 && std::strcmp(argv[1], "guide") == 0) return CheckGuideShot(argv[2]);
    std::fprintf(stderr, "usage: %s picture|shot|sound|guide FILE\n", argv[0]);
    return 2;
}
