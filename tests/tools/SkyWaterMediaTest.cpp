// The generated sky faces and du/dv map: faces laid out as the sky box
// draws them (checked against corners written out here), agreeing along
// every shared edge, the sun and the horizon where they belong, and a
// distortion map centred on 0.5 that tiles without a seam.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "TestTempDir.h"
#include "media/SkyWaterMedia.h"

namespace {

using media::Image;
using media::Rgba;

// Sky box face k: corners at (u, v) = (0, 0), (1, 0), (0, 1) on the cube -1 ... 1.
const float kCorners[6][3][3] = {
    {{-1, 1, 1}, {1, 1, 1}, {-1, -1, 1}},   {{1, 1, 1}, {1, 1, -1}, {1, -1, 1}},
    {{1, 1, -1}, {-1, 1, -1}, {1, -1, -1}}, {{-1, 1, -1}, {-1, 1, 1}, {-1, -1, -1}},
    {{-1, 1, -1}, {1, 1, -1}, {-1, 1, 1}},  {{-1, -1, 1}, {1, -1, 1}, {-1, -1, -1}},
};

float Dot3(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Texture coordinates of cube point p on face k, if p lies on that face's plane.
bool OnFace(int k, const float p[3], float& u, float& v)
{
    const float* q0 = kCorners[k][0];
    float e1[3], e2[3], d[3], n[3];
    for (int i = 0; i < 3; ++i) {
        e1[i] = kCorners[k][1][i] - q0[i];
        e2[i] = kCorners[k][2][i] - q0[i];
        d[i] = p[i] - q0[i];
    }
    n[0] = e1[1] * e2[2] - e1[2] * e2[1];
    n[1] = e1[2] * e2[0] - e1[0] * e2[2];
    n[2] = e1[0] * e2[1] - e1[1] * e2[0];
    if (std::fabs(Dot3(d, n)) > 1e-4f) return false;
    u = Dot3(d, e1) / 4.0f;
    v = Dot3(d, e2) / 4.0f;
    return u >= -1e-4f && u <= 1.0001f && v >= -1e-4f && v <= 1.0001f;
}

float Distance(const Rgba& a, const Rgba& b)
{
    return std::max({std::fabs(a.r - b.r), std::fabs(a.g - b.g), std::fabs(a.b - b.b)});
}

const Rgba& Pixel(const Image& image, float u, float v)
{
    const int n = image.Width();
    const int x = std::min(n - 1, std::max(0, (int)std::floor(u * n)));
    const int y = std::min(n - 1, std::max(0, (int)std::floor(v * n)));
    return image.At(x, y);
}

class SkyFaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int k = 0; k < 6; ++k) faces.push_back(media::MakeSkyFace(k));
    }
    std::vector<Image> faces;
};

TEST_F(SkyFaces, NeighbouringFacesAgreeAlongEveryEdge)
{
    const int n = media::kSkyFaceSize;
    int edges = 0;
    for (int a = 0; a < 6; ++a)
        for (int side = 0; side < 4; ++side)
            for (int i = 0; i < n; ++i) {
                // A point on edge `side` of face a, half a pixel along.
                const float t = (i + 0.5f) / n;
                const float u = side == 0 ? 0.0f : side == 1 ? 1.0f : t;
                const float v = side == 2 ? 0.0f : side == 3 ? 1.0f : t;
                float p[3];
                for (int c = 0; c < 3; ++c)
                    p[c] = kCorners[a][0][c] + u * (kCorners[a][1][c] - kCorners[a][0][c]) +
                           v * (kCorners[a][2][c] - kCorners[a][0][c]);
                for (int b = 0; b < 6; ++b) {
                    float ub, vb;
                    if (b == a || !OnFace(b, p, ub, vb)) continue;
                    ++edges;
                    const Rgba& ca = Pixel(faces[a], std::min(u, 0.9999f), std::min(v, 0.9999f));
                    const Rgba& cb = Pixel(faces[b], std::min(ub, 0.9999f), std::min(vb, 0.9999f));
                    ASSERT_LT(Distance(ca, cb), 0.03f) << "faces " << a << " and " << b << " at " << u << ", " << v;
                }
            }
    EXPECT_EQ(edges, 6 * 4 * n);
}

TEST_F(SkyFaces, SunHorizonZenithAndGroundWhereTheyBelong)
{
    // The sun: the disc of the front face's brightest pixels, centred where
    // its direction meets z = 1.
    float sun[3];
    media::SkySunDirection(sun);
    const float su = (sun[0] / sun[2] + 1.0f) / 2.0f, sv = (1.0f - sun[1] / sun[2]) / 2.0f;
    const Image& front = faces[0];
    double cx = 0, cy = 0;
    int count = 0;
    for (int y = 0; y < front.Height(); ++y)
        for (int x = 0; x < front.Width(); ++x) {
            const Rgba& c = front.At(x, y);
            if (c.r + c.g + c.b > 2.8f) cx += x + 0.5, cy += y + 0.5, ++count;
        }
    ASSERT_GT(count, 20);
    EXPECT_LT(count, 400);
    EXPECT_NEAR(cx / count, su * 256, 1.5);
    EXPECT_NEAR(cy / count, sv * 256, 1.5);
    // No sun behind or below.
    for (int k : {2, 3, 5})
        for (int y = 0; y < 256; y += 4)
            for (int x = 0; x < 256; x += 4) ASSERT_LT(faces[k].At(x, y).r, 0.8f) << k;

    // The side faces: pale at the horizon row, deeper blue above, darker below.
    for (int k : {1, 2, 3}) {
        const Rgba& horizon = faces[k].At(128, 127);
        const Rgba& high = faces[k].At(128, 8);
        const Rgba& low = faces[k].At(128, 248);
        EXPECT_GT(horizon.r, 0.65f) << k;
        EXPECT_LT(high.r, horizon.r - 0.2f) << k;
        EXPECT_GT(high.b, high.r + 0.3f) << k;
        EXPECT_LT(low.r + low.g + low.b, horizon.r + horizon.g + horizon.b - 0.5f) << k;
    }
    const Rgba& zenith = faces[4].At(128, 128);
    EXPECT_GT(zenith.b, zenith.r + 0.5f);
    const Rgba& nadir = faces[5].At(128, 128);
    EXPECT_LT(nadir.r + nadir.g + nadir.b, 1.0f);
}

TEST(DudvMap, CentredOnHalfAndTilesWithoutASeam)
{
    const Image map = media::MakeDudvMap();
    const int n = media::kDudvSize;
    ASSERT_EQ(map.Width(), n);
    ASSERT_EQ(map.Height(), n);
    double sumR = 0, sumG = 0;
    float lo = 1, hi = 0, step = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const Rgba& c = map.At(x, y);
            sumR += c.r;
            sumG += c.g;
            lo = std::min({lo, c.r, c.g});
            hi = std::max({hi, c.r, c.g});
            EXPECT_EQ(c.b, 0.5f);
            if (x + 1 < n) step = std::max(step, Distance(c, map.At(x + 1, y)));
            if (y + 1 < n) step = std::max(step, Distance(c, map.At(x, y + 1)));
        }
    EXPECT_NEAR(sumR / (n * n), 0.5, 0.02);
    EXPECT_NEAR(sumG / (n * n), 0.5, 0.02);
    EXPECT_LT(lo, 0.25f);
    EXPECT_GT(hi, 0.75f);
    // Across the wrap the map changes no more than between neighbours inside it.
    for (int i = 0; i < n; ++i) {
        EXPECT_LE(Distance(map.At(n - 1, i), map.At(0, i)), step * 1.01f);
        EXPECT_LE(Distance(map.At(i, n - 1), map.At(i, 0)), step * 1.01f);
    }
}

TEST(SkyWaterFiles, WrittenUnderMediaWithTheirNames)
{
    TestTempDir dir;
    ASSERT_TRUE(dir.Ok());
    std::string error;
    ASSERT_TRUE(media::WriteSkyWaterMedia(dir.Path(), error)) << error;
    const std::vector<std::string> names = media::SkyWaterFileNames();
    ASSERT_EQ(names.size(), 7u);
    EXPECT_EQ(names[0], "media/sky/sky_front.tga");
    EXPECT_EQ(names[6], "media/water/dudv.tga");
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(std::filesystem::file_size(dir.File(names[k])), 18u + 256u * 256u * 4u) << names[k];
    EXPECT_EQ(std::filesystem::file_size(dir.File(names[6])), 18u + 128u * 128u * 4u);

    // A root that cannot hold folders: an error naming the place.
    std::string failure;
    EXPECT_FALSE(media::WriteSkyWaterMedia(dir.File("media/water/dudv.tga"), failure));
    EXPECT_NE(failure.find("dudv.tga"), std::string::npos) << failure;
}

}  // namespace
