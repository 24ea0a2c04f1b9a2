#include "media/SkyWaterMedia.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "kmf/KmfLevel.h"
#include "media/TgaFile.h"

namespace media {
namespace {

const float kPi = 3.14159265358979f;

// Corners of each face as the sky box lays them out: vertex 0 at (u, v) =
// (0, 0), vertex 1 at (1, 0), vertex 2 at (0, 1).
const float kFaceCorners[6][3][3] = {
    {{-1, 1, 1}, {1, 1, 1}, {-1, -1, 1}},     // +z
    {{1, 1, 1}, {1, 1, -1}, {1, -1, 1}},      // +x
    {{1, 1, -1}, {-1, 1, -1}, {1, -1, -1}},   // -z
    {{-1, 1, -1}, {-1, 1, 1}, {-1, -1, -1}},  // -x
    {{-1, 1, -1}, {1, 1, -1}, {-1, 1, 1}},    // +y
    {{-1, -1, 1}, {1, -1, 1}, {-1, -1, -1}},  // -y
};

const char* const kFaceNames[6] = {"sky_front.tga", "sky_right.tga", "sky_back.tga",
                                   "sky_left.tga",  "sky_up.tga",    "sky_down.tga"};

const Rgba kZenith = {0.16f, 0.36f, 0.78f, 1.0f};
const Rgba kHorizon = {0.74f, 0.84f, 0.95f, 1.0f};
const Rgba kHaze = {0.55f, 0.62f, 0.70f, 1.0f};
const Rgba kGround = {0.22f, 0.27f, 0.33f, 1.0f};
const Rgba kSun = {1.0f, 0.97f, 0.85f, 1.0f};

// The sky's colour in the unit direction d.
Rgba SkyColour(const float d[3])
{
    Rgba c;
    if (d[1] >= 0.0f) {
        // Pale at the horizon, deep overhead; most of the change low down.
        c = Mix(kHorizon, kZenith, std::pow(d[1], 0.6f));
    } else {
        // Below the horizon: a band of haze fading into a dark ground.
        c = Mix(kHaze, kGround, std::pow(-d[1], 0.5f));
    }
    // The sun: a disc of about 2.5 degrees with a soft glow around it.
    float sun[3];
    SkySunDirection(sun);
    const float cosAngle = d[0] * sun[0] + d[1] * sun[1] + d[2] * sun[2];
    const float angle = std::acos(std::fmax(-1.0f, std::fmin(1.0f, cosAngle)));
    const float disc = 1.0f - SmoothStep(0.040f, 0.046f, angle);
    const float glow = 0.55f * std::exp(-angle * 9.0f);
    c = Mix(c, kSun, glow);
    c = Mix(c, kSun, disc);
    c.a = 1.0f;
    return c;
}

}  // namespace

void SkyFaceDirection(int face, float u, float v, float out[3])
{
    const float(*q)[3] = kFaceCorners[face];
    for (int i = 0; i < 3; ++i) out[i] = q[0][i] + u * (q[1][i] - q[0][i]) + v * (q[2][i] - q[0][i]);
}

void SkySunDirection(float out[3])
{
    const float d[3] = {0.45f, 0.30f, 0.84f};
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (int i = 0; i < 3; ++i) out[i] = d[i] / length;
}

Image MakeSkyFace(int face)
{
    Image image(kSkyFaceSize, kSkyFaceSize);
    image.Map([face](float px, float py, const Rgba&) {
        float d[3];
        SkyFaceDirection(face, px / kSkyFaceSize, py / kSkyFaceSize, d);
        const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        for (float& c : d) c /= length;
        return SkyColour(d);
    });
    return image;
}

Image MakeDudvMap()
{
    // Sums of waves with whole numbers of periods across the tile, so the
    // map repeats without a seam.
    struct Wave {
        int fx, fy;
        float phase, weight;
    };
    const Wave red[] = {{2, 1, 0.0f, 0.45f}, {-1, 3, 1.3f, 0.30f}, {5, 4, 0.7f, 0.15f}, {3, -7, 2.1f, 0.10f}};
    const Wave green[] = {{1, -2, 0.4f, 0.45f}, {3, 1, 2.6f, 0.30f}, {-4, 5, 1.1f, 0.15f}, {7, 2, 0.2f, 0.10f}};
    auto sum = [](const Wave* waves, float x, float y) {
        float s = 0.0f;
        for (int i = 0; i < 4; ++i)
            s += waves[i].weight *
                 std::sin(2.0f * kPi * (waves[i].fx * x + waves[i].fy * y) / kDudvSize + waves[i].phase);
        return s;
    };
    Image image(kDudvSize, kDudvSize);
    image.Map([&](float px, float py, const Rgba&) {
        Rgba c;
        c.r = 0.5f + 0.5f * sum(red, px, py);
        c.g = 0.5f + 0.5f * sum(green, px, py);
        c.b = 0.5f;
        c.a = 1.0f;
        return c;
    });
    return image;
}

std::vector<std::string> SkyWaterFileNames()
{
    std::vector<std::string> names;
    for (const char* face : kFaceNames) names.push_back(std::string("media/sky/") + face);
    names.push_back("media/water/dudv.tga");
    return names;
}

bool WriteSkyWaterMedia(const std::string& root, std::string& error)
{
    namespace fs = std::filesystem;
    const fs::path base(root);
    for (const char* folder : {"media/sky", "media/water"}) {
        std::error_code ec;
        fs::create_directories(base / folder, ec);
        if (ec) {
            error = "cannot create " + (base / folder).string() + ": " + ec.message();
            return false;
        }
    }
    const std::vector<std::string> names = SkyWaterFileNames();
    for (int face = 0; face < 6; ++face)
        if (!kmf::WriteFileBytes((base / names[face]).string(), EncodeTga(MakeSkyFace(face)), error)) return false;
    return kmf::WriteFileBytes((base / names[6]).string(), EncodeTga(MakeDudvMap()), error);
}

}  // namespace media
