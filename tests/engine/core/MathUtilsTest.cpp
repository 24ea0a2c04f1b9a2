// The engine's free helpers: angle limiting, random numbers and directions,
// triangle normals, wide-string narrowing and the matrix helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

#include "vMathUtils.h"

namespace {

float Bits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

float Length(const D3DXVECTOR3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

template <typename F>
void InFreshThread(F f)
{
    std::thread t(f);
    t.join();
}

}  // namespace

TEST(FixAngle, LimitsWithoutWrapping)
{
    const float bound = Bits(0x40490FDA);  // 3.1415925
    float a = bound;
    FixAngle(a);
    EXPECT_EQ(a, bound);
    a = -bound;
    FixAngle(a);
    EXPECT_EQ(a, -bound);

    a = std::nextafter(bound, 4.0f);  // the float above the bound (nearest pi)
    FixAngle(a);
    EXPECT_EQ(a, -bound);
    a = -4.0f;
    FixAngle(a);
    EXPECT_EQ(a, bound);
    a = 10.0f;  // one step, not 10 - 4*pi
    FixAngle(a);
    EXPECT_EQ(a, -bound);
    a = 3.2f;
    FixAngle(a);
    EXPECT_EQ(a, -bound);
    a = 1.0f;
    FixAngle(a);
    EXPECT_EQ(a, 1.0f);
    a = NAN;
    FixAngle(a);
    EXPECT_TRUE(std::isnan(a));
}

TEST(Random, SequenceStartsFromSeedOneInEveryThread)
{
    // The classic sequence of this generator from seed 1.
    const int expected[5] = {41, 18467, 6334, 26500, 19169};
    InFreshThread([&] {
        for (int e : expected) EXPECT_EQ(EngineRand(), e);
    });
    InFreshThread([&] {
        // RndNumber draws one value: 41 / 32767 of the way from low to high.
        EXPECT_NEAR(RndNumber(0.0f, 1.0f), 41.0f / 32767.0f, 1e-7f);
        EXPECT_NEAR(RndNumber(10.0f, 20.0f), 10.0f + 10.0f * 18467.0f / 32767.0f, 1e-5f);
        EXPECT_NEAR(RndNumber(1.0f, -1.0f), 1.0f - 2.0f * 6334.0f / 32767.0f, 1e-6f);
    });
}

TEST(Random, RndNumberReachesBothEnds)
{
    InFreshThread([] {
        bool sawLow = false, sawHigh = false;
        for (int i = 0; i < 4000000 && !(sawLow && sawHigh); ++i) {
            float r = RndNumber(0.0f, 1.0f);
            ASSERT_GE(r, 0.0f);
            ASSERT_LE(r, 1.0f);
            sawLow |= (r == 0.0f);
            sawHigh |= (r == 1.0f);
        }
        EXPECT_TRUE(sawLow);
        EXPECT_TRUE(sawHigh);
        for (int i = 0; i < 100; ++i) EXPECT_EQ(RndNumber(5.0f, 5.0f), 5.0f);
    });
}

TEST(Random, RandomVectorsAreUnitAndSpreadOut)
{
    InFreshThread([] {
        D3DXVECTOR3 sum(0, 0, 0);
        float minZ = 2, maxZ = -2;
        const int n = 20000;
        for (int i = 0; i < n; ++i) {
            D3DXVECTOR3 v = GetRandomVector();
            ASSERT_NEAR(Length(v), 1.0f, 1e-5f);
            sum.x += v.x;
            sum.y += v.y;
            sum.z += v.z;
            minZ = std::fmin(minZ, v.z);
            maxZ = std::fmax(maxZ, v.z);
        }
        // Uniform on the sphere: the mean is near the centre, z spans [-1, 1].
        EXPECT_LT(Length(sum) / n, 0.03f);
        EXPECT_LT(minZ, -0.99f);
        EXPECT_GT(maxZ, 0.99f);
    });
}

TEST(Random, RandomVectorDrawsZFirstThenAngle)
{
    InFreshThread([] {
        D3DXVECTOR3 v = GetRandomVector();
        float z = 41.0f * 2.0f / 32767.0f - 1.0f;
        float theta = 18467.0f * 2.0f * 3.14159265f / 32767.0f - 3.14159265f;
        float t = std::sqrt(1.0f - z * z);
        EXPECT_NEAR(v.z, z, 1e-5f);
        EXPECT_NEAR(v.x, t * std::cos(theta), 1e-4f);
        EXPECT_NEAR(v.y, t * std::sin(theta), 1e-4f);
    });
}

TEST(TriangleNormal, UnitNormalAndDegenerateZero)
{
    D3DXVECTOR3 n = CalculateTrisNormal(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 5), D3DXVECTOR3(3, 0, 0));
    EXPECT_NEAR(n.x, 0.0f, 1e-6f);
    EXPECT_NEAR(n.y, 1.0f, 1e-6f);
    EXPECT_NEAR(n.z, 0.0f, 1e-6f);

    n = CalculateTrisNormal(D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(2, 3, 1), D3DXVECTOR3(1, 1, 4));
    // (1,2,0) x (0,0,3) = (6,-3,0) -> normalised
    EXPECT_NEAR(n.x, 6.0f / std::sqrt(45.0f), 1e-6f);
    EXPECT_NEAR(n.y, -3.0f / std::sqrt(45.0f), 1e-6f);
    EXPECT_NEAR(n.z, 0.0f, 1e-6f);

    n = CalculateTrisNormal(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(2, 2, 2));
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, 0.0f);
    EXPECT_EQ(n.z, 0.0f);
}

TEST(WideStrings, NarrowedUnitByUnit)
{
    const unsigned short empty[] = {0};
    char* s = wstring2string(empty);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s[0], 0);
    delete[] s;

    const unsigned short mixed[] = {'H', 0x1234, 0x00E9, 0x0100, 'i', 0, 'x'};
    s = wstring2string(mixed);
    EXPECT_EQ(std::strlen(s), 5u);
    EXPECT_EQ((unsigned char)s[0], 'H');
    EXPECT_EQ((unsigned char)s[1], '?');
    EXPECT_EQ((unsigned char)s[2], 0xE9);
    EXPECT_EQ((unsigned char)s[3], '?');
    EXPECT_EQ((unsigned char)s[4], 'i');
    delete[] s;

    s = wstring2string(nullptr);
    EXPECT_EQ(s[0], 0);
    delete[] s;
}

TEST(Distance, EuclideanInPrecision)
{
    EXPECT_FLOAT_EQ(DistanceVector3D(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(4, 6, 3)), 5.0f);
    EXPECT_EQ(DistanceVector3D(D3DXVECTOR3(7, 7, 7), D3DXVECTOR3(7, 7, 7)), 0.0f);
    // Large nearby values: the difference is exact, no cancellation in the square.
    EXPECT_FLOAT_EQ(DistanceVector3D(D3DXVECTOR3(1e20f, 0, 0), D3DXVECTOR3(0, 0, 0)), 1e20f);
}

TEST(MatrixHelpers, TrigMatrixRotatesThenScalesThenPlaces)
{
    D3DXMATRIX m;
    D3DXVECTOR3 position(10, 20, 30), scale(2, 3, 4);
    const float half = 1.5707963f;
    CreateTrigMatrix(&m, &position, half, &scale);
    // (1,0,0) rotated by +90 degrees about Y (left-handed) goes to (0,0,-1), then
    // z is scaled by 4 and the position added.
    D3DXVECTOR3 v(1, 0, 0);
    TransformVectorCoord(&v, &m);
    EXPECT_NEAR(v.x, 10.0f, 1e-5f);
    EXPECT_NEAR(v.y, 20.0f, 1e-5f);
    EXPECT_NEAR(v.z, 26.0f, 1e-5f);

    CreateTrigMatrix(nullptr, &position, half, &scale);  // nothing happens

    RescaleMatrix(&m, D3DXVECTOR3(5, 5, 5));
    EXPECT_FLOAT_EQ(m._11, 5.0f);
    EXPECT_FLOAT_EQ(m._13, 0.0f);
    EXPECT_FLOAT_EQ(m._31, 0.0f);
    EXPECT_FLOAT_EQ(m._41, 10.0f);
    EXPECT_FLOAT_EQ(m._42, 20.0f);
    EXPECT_FLOAT_EQ(m._43, 30.0f);
    RescaleMatrix(nullptr, D3DXVECTOR3(5, 5, 5));

    SetMatrixPosition(&m, D3DXVECTOR3(-1, -2, -3));
    EXPECT_FLOAT_EQ(m._41, -1.0f);
    EXPECT_FLOAT_EQ(m._43, -3.0f);
    EXPECT_FLOAT_EQ(m._11, 5.0f);

    D3DXVECTOR3 n(1, 1, 1);
    TransformVectorNormal(&n, &m);  // no translation
    EXPECT_FLOAT_EQ(n.x, 5.0f);
    EXPECT_FLOAT_EQ(n.z, 5.0f);

    MatrixInvert(&m);
    D3DXVECTOR3 p(4, 3, 2);
    TransformVectorCoord(&p, &m);
    EXPECT_NEAR(p.x, (4 + 1) / 5.0f, 1e-6f);
    EXPECT_NEAR(p.y, (3 + 2) / 5.0f, 1e-6f);
    EXPECT_NEAR(p.z, (2 + 3) / 5.0f, 1e-6f);

    ScaleVector(&p, -2.0f);
    EXPECT_NEAR(p.x, -2.0f, 1e-6f);
}

TEST(DebugDrawing, NoDeviceDrawsNothingAndPickingGivesOrigin)
{
    // Without a device these must be harmless.
    Draw3DLine(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1), 0xFFFFFFFF);
    Draw3DCircle(D3DXVECTOR3(0, 0, 0), 1.0f, 0xFFFFFFFF);
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    D3DXVECTOR3 p = GetMouse3D(10, 10, &view, 0.5f);
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(p.z, 0.0f);
}
