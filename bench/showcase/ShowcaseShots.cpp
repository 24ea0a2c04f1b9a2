// The showcase's picture at each camera spot of its default list, headless
// at 1024 x 768 on the virtual clock, saved as PNG files for comparing the
// pictures of two builds.
//
//   vorpex_showcase_shots <media root> <output folder> <name prefix> [earlier prefix]
//
// With an earlier prefix, each picture is compared with the one of that
// prefix in the same folder: the count of pixels whose largest channel
// difference reaches 8, 32 and 64 (the status line's rows left out: its frame
// time differs), and a difference picture, <prefix>_diff_spotN.png, eight
// times amplified.
// Each spot gets 60 frames (the fountain fills) before its picture is taken.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdlib>

#include <Win32TestSeam.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ShowcaseApp.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: vorpex_showcase_shots <media root> <output folder> <name prefix> [earlier prefix]\n");
        return 2;
    }
    const std::string out = argv[2], prefix = argv[3];
    int frames = 0;
    char* loopArgs[] = {argv[0], argv[1]};
    if (!bench::StartLoopBench(2, loopArgs, &frames)) return 1;
    if (!showcase::Startup(POINT{-8, -31})) {
        std::fprintf(stderr, "shots: the showcase could not start (no GL context?)\n");
        return 1;
    }
    showcase::World& w = showcase::Scene();
    win32test::SetActiveWindow(w.window);
    for (int i = 0; i < w.spots.Count(); ++i) {
        showcase::MoveCameraTo(w.spots.At(i));
        for (int f = 0; f < 60; ++f) {
            win32test::AdvanceVirtualTimeMs(16.0);
            const unsigned long before = showcase::FrameCount();
            while (showcase::FrameCount() == before) showcase::LoopPass();
            showcase::MoveCameraTo(w.spots.At(i));  // the status line's camera stays put
        }
        // The last frame again without presenting is not possible through the
        // loop; the back buffer still holds the presented frame.
        const std::vector<std::uint32_t> argb = bench::ReadBackBuffer();
        std::vector<unsigned char> rgb;
        rgb.reserve(argb.size() * 3);
        for (std::uint32_t p : argb) {
            rgb.push_back((unsigned char)(p >> 16));
            rgb.push_back((unsigned char)(p >> 8));
            rgb.push_back((unsigned char)p);
        }
        const std::string file = out + "/" + prefix + "_spot" + std::to_string(i + 1) + ".png";
        if (argb.size() != size_t(showcase::kClientWidth) * showcase::kClientHeight ||
            !stbi_write_png(file.c_str(), showcase::kClientWidth, showcase::kClientHeight, 3, rgb.data(),
                            showcase::kClientWidth * 3)) {
            std::fprintf(stderr, "shots: cannot write %s\n", file.c_str());
            return 1;
        }
        std::printf("%s: %s\n", w.spots.At(i).name.c_str(), file.c_str());
        if (argc > 4) {
            const std::string earlier = out + "/" + argv[4] + "_spot" + std::to_string(i + 1) + ".png";
            int ew = 0, eh = 0, channels = 0;
            unsigned char* e = stbi_load(earlier.c_str(), &ew, &eh, &channels, 3);
            if (!e || ew != showcase::kClientWidth || eh != showcase::kClientHeight) {
                std::fprintf(stderr, "shots: cannot compare with %s\n", earlier.c_str());
                if (e) stbi_image_free(e);
                continue;
            }
            const int rows = showcase::kClientHeight - 60;  // above the status line
            long over[3] = {};
            std::vector<unsigned char> diff(rgb.size());
            for (size_t k = 0; k < rgb.size(); k += 3) {
                int d = 0;
                for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(rgb[k + c]) - int(e[k + c])));
                for (int c = 0; c < 3; ++c) diff[k + c] = (unsigned char)std::min(255, 8 * d);
                if (k / 3 / showcase::kClientWidth >= size_t(rows)) continue;
                over[0] += d >= 8;
                over[1] += d >= 32;
                over[2] += d >= 64;
            }
            stbi_image_free(e);
            const std::string diffFile = out + "/" + prefix + "_diff_spot" + std::to_string(i + 1) + ".png";
            stbi_write_png(diffFile.c_str(), showcase::kClientWidth, showcase::kClientHeight, 3, diff.data(),
                           showcase::kClientWidth * 3);
            std::printf("  against %s: %ld pixels differ by >= 8, %ld by >= 32, %ld by >= 64 (of %d)\n",
                        earlier.c_str(), over[0], over[1], over[2], rows * showcase::kClientWidth);
        }
    }
    showcase::Shutdown();
    return 0;
}
