// Boxes and culling: segment tests, corner conversions, the frustum
// classification against a brute-force corner check and against the
// engine's real frustum, and the debug box lines.
#include <EngineFixture.h>

#include <cmath>
#include <cstdlib>

#include "vBoundingBox.h"
#include "vFrustum.h"

namespace {

vBoundingBox Box(float x0, float y0, float z0, float x1, float y1, float z1)
{
    vBoundingBox b;
    b.min = D3DXVECTOR3(x0, y0, z0);
    b.max = D3DXVECTOR3(x1, y1, z1);
    return b;
}

// Restores the frame's planes after a test that wrote its own.
struct SavedPlanes {
    TFrustumPlane saved[6];
    SavedPlanes() { std::memcpy(saved, ev_frustumPlanes, sizeof(saved)); }
    ~SavedPlanes() { std::memcpy(ev_frustumPlanes, saved, sizeof(saved)); }
};

void SetPlane(int i, float a, float b, float c, float d)
{
    ev_frustumPlanes[i].a = a;
    ev_frustumPlanes[i].b = b;
    ev_frustumPlanes[i].c = c;
    ev_frustumPlanes[i].d = d;
}

// The classification worked out from all eight corners.
int BruteForceCull(const vBoundingBox& box)
{
    D3DXVECTOR3 corners[8];
    CornersFromAABB(box, corners);
    bool allInside = true;
    for (int i = 0; i < 6; ++i) {
        const TFrustumPlane& p = ev_frustumPlanes[i];
        float lowest = 1e30f, highest = -1e30f;
        for (const D3DXVECTOR3& c : corners) {
            const float d = p.a * c.x + p.b * c.y + p.c * c.z + p.d;
            lowest = std::min(lowest, d);
            highest = std::max(highest, d);
        }
        if (lowest > 0.0f) return 0;
        if (highest >= 0.0f) allInside = false;
    }
    return allInside ? 2 : 1;
}

TEST(BoundingBox, AxisPlaneSegmentTests)
{
    vBoundingBox b = Box(0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(b.PlaneXIntr(-1, 0.5f, 0.5f, 1, 0.5f, 0.5f, 0, 0, 1, 0, 1));
    // Parallel to the plane, even lying in it: never.
    EXPECT_FALSE(b.PlaneXIntr(0, 0.5f, 0.5f, 0, 0.6f, 0.6f, 0, 0, 1, 0, 1));
    // The plane beyond the segment's end, or behind its start.
    EXPECT_FALSE(b.PlaneXIntr(-2, 0.5f, 0.5f, -1, 0.5f, 0.5f, 0, 0, 1, 0, 1));
    EXPECT_FALSE(b.PlaneXIntr(1, 0.5f, 0.5f, 2, 0.5f, 0.5f, 0, 0, 1, 0, 1));
    // Bounds are inclusive; just outside is a miss.
    EXPECT_TRUE(b.PlaneXIntr(-1, 1, 1, 1, 1, 1, 0, 0, 1, 0, 1));
    EXPECT_FALSE(b.PlaneXIntr(-1, 1.01f, 0.5f, 1, 1.01f, 0.5f, 0, 0, 1, 0, 1));
    // Y: x against the first range, z against the second.
    EXPECT_TRUE(b.PlaneYIntr(5, -1, 0.5f, 5, 1, 0.5f, 0, 4, 6, 0, 1));
    EXPECT_FALSE(b.PlaneYIntr(5, -1, 0.5f, 5, 1, 0.5f, 0, 0, 1, 4, 6));
    // Z: x against the first range, y against the second.
    EXPECT_TRUE(b.PlaneZIntr(0.5f, 5, -1, 0.5f, 5, 1, 0, 0, 1, 4, 6));
    EXPECT_FALSE(b.PlaneZIntr(0.5f, 5, -1, 0.5f, 5, 1, 0, 4, 6, 0, 1));
}

TEST(BoundingBox, SegmentsAgainstTheBox)
{
    vBoundingBox b = Box(-1, -1, -1, 1, 1, 1);
    EXPECT_TRUE(b.RayIntersect(D3DXVECTOR3(-5, 0, 0), D3DXVECTOR3(0, 0, 0)));  // outside to centre
    EXPECT_TRUE(b.RayIntersect(D3DXVECTOR3(0, 0, 9), D3DXVECTOR3(0, 0, -9)));  // right through
    EXPECT_TRUE(b.RayIntersect(D3DXVECTOR3(0, 5, 0), D3DXVECTOR3(0.5f, 0, 0.5f)));
    EXPECT_FALSE(b.RayIntersect(D3DXVECTOR3(-0.5f, 0, 0), D3DXVECTOR3(0.5f, 0, 0)));  // inside
    EXPECT_FALSE(b.RayIntersect(D3DXVECTOR3(-5, 0, 0), D3DXVECTOR3(-3, 0, 0)));       // short of it
    EXPECT_FALSE(b.RayIntersect(D3DXVECTOR3(-5, 3, 0), D3DXVECTOR3(5, 3, 0)));        // passes above
}

TEST(BoundingBox, CornerOrderAndConversions)
{
    vBoundingBox b = Box(1, 2, 3, 4, 5, 6);
    D3DXVECTOR3 corners[8];
    CornersFromAABB(b, corners);
    EXPECT_EQ(corners[0], D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(corners[1], D3DXVECTOR3(4, 2, 3));
    EXPECT_EQ(corners[2], D3DXVECTOR3(1, 5, 3));
    EXPECT_EQ(corners[3], D3DXVECTOR3(4, 5, 3));
    EXPECT_EQ(corners[4], D3DXVECTOR3(1, 2, 6));
    EXPECT_EQ(corners[7], D3DXVECTOR3(4, 5, 6));

    D3DXMATRIX move;
    D3DXMatrixTranslation(&move, 10, 0, -1);
    D3DXVECTOR3 moved[8];
    WOBBfromLOBB(moved, corners, &move);
    EXPECT_EQ(moved[5], D3DXVECTOR3(14, 2, 5));
    vBoundingBox back;
    AABBfromOBB(&back, moved);
    EXPECT_EQ(back.min, D3DXVECTOR3(11, 2, 2));
    EXPECT_EQ(back.max, D3DXVECTOR3(14, 5, 5));

    // A unit cube turned 45 degrees about y: x and z reach +-sqrt(2)/2, y unchanged.
    vBoundingBox cube = Box(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f);
    CornersFromAABB(cube, corners);
    D3DXMATRIX turn;
    D3DXMatrixRotationY(&turn, D3DX_PI / 4);
    WOBBfromLOBB(moved, corners, &turn);
    AABBfromOBB(&back, moved);
    const float h = std::sqrt(2.0f) / 2.0f;
    EXPECT_NEAR(back.min.x, -h, 1e-5);
    EXPECT_NEAR(back.max.x, h, 1e-5);
    EXPECT_NEAR(back.min.z, -h, 1e-5);
    EXPECT_NEAR(back.max.z, h, 1e-5);
    EXPECT_FLOAT_EQ(back.min.y, -0.5f);
    EXPECT_FLOAT_EQ(back.max.y, 0.5f);
}

TEST(BoundingBox, ZeroPlanesMakeEveryBoxCross)
{
    SavedPlanes keep;
    std::memset(ev_frustumPlanes, 0, sizeof(TFrustumPlane) * 6);
    EXPECT_EQ(CullAABB(Box(-1, -1, -1, 1, 1, 1)), 1);
    EXPECT_EQ(CullAABB(Box(100, 100, 100, 101, 101, 101)), 1);
}

TEST(BoundingBox, CullingAgreesWithEveryCornerChecked)
{
    SavedPlanes keep;
    // A tilted, box-like volume: six unit-normal planes pointing outwards.
    const float s = std::sqrt(0.5f);
    SetPlane(0, -s, 0, -s, -2);  // left, tilted
    SetPlane(1, s, 0, -s, -2);   // right, tilted
    SetPlane(2, 0, 1, 0, -3);    // top y = 3
    SetPlane(3, 0, -1, 0, -3);   // bottom y = -3
    SetPlane(4, 0, 0, -1, 1);    // near z = 1
    SetPlane(5, 0, 0, 1, -20);   // far z = 20

    EXPECT_EQ(CullAABB(Box(-0.5f, -0.5f, 5, 0.5f, 0.5f, 6)), 2);
    EXPECT_EQ(CullAABB(Box(-0.5f, -0.5f, -6, 0.5f, 0.5f, -5)), 0);
    EXPECT_EQ(CullAABB(Box(-0.5f, 2.5f, 5, 0.5f, 3.5f, 6)), 1);
    // Touching the top plane from outside: nearest corner at distance 0, kept.
    EXPECT_EQ(CullAABB(Box(-0.5f, 3, 5, 0.5f, 4, 6)), 1);
    EXPECT_EQ(CullAABB(Box(-0.5f, 3.01f, 5, 0.5f, 4, 6)), 0);

    std::srand(7);
    auto rnd = [](float lo, float hi) { return lo + (hi - lo) * (float)std::rand() / (float)RAND_MAX; };
    int counts[3] = {0, 0, 0};
    for (int i = 0; i < 5000; ++i) {
        const float x = rnd(-30, 30), y = rnd(-8, 8), z = rnd(-10, 30);
        vBoundingBox box = Box(x, y, z, x + rnd(0, 6), y + rnd(0, 6), z + rnd(0, 6));
        const int expected = BruteForceCull(box);
        ASSERT_EQ(CullAABB(box), expected) << "box at " << x << ", " << y << ", " << z;
        ++counts[expected];
    }
    // Every class was exercised.
    EXPECT_GT(counts[0], 100);
    EXPECT_GT(counts[1], 100);
    EXPECT_GT(counts[2], 100);
}

class FrustumCullTest : public rendertest::EngineFixture {};

TEST_F(FrustumCullTest, AgainstTheEnginesFrustumWithIdentityView)
{
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    objDevice->SetTransform(D3DTS_VIEW, &view);
    BeginFrame();
    EXPECT_EQ(CullAABB(Box(-0.5f, -0.5f, 4.5f, 0.5f, 0.5f, 5.5f)), 2);
    EXPECT_EQ(CullAABB(Box(-0.5f, -0.5f, -5.5f, 0.5f, 0.5f, -4.5f)), 0);
    // The left edge of the view at depth 5 lies at x = -5 / xScale.
    const float leftEdge = -5.0f / ev_matrix3DProj._11;
    EXPECT_EQ(CullAABB(Box(leftEdge - 0.5f, -0.5f, 4.5f, leftEdge + 0.5f, 0.5f, 5.5f)), 1);
    EXPECT_EQ(CullAABB(Box(leftEdge - 3.0f, -0.5f, 4.9f, leftEdge - 1.0f, 0.5f, 5.1f)), 0);
}

TEST_F(FrustumCullTest, DrawAABBIssuesTwelveOpaqueBlackLines)
{
    BeginFrame(D3DXCOLOR(1, 1, 1, 1));
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    objDevice->SetTransform(D3DTS_VIEW, &view);
    D3D9_ResetFrameStats(objDevice);
    DrawAABB(Box(-1, -1, 4, 1, 1, 6));
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 12u);
    rendertest::Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    // Black lines, visible under the engine's default alpha blending.
    rendertest::Extent ink = rendertest::FindColor(image, 0x000000, 40);
    ASSERT_GT(ink.count, 100);
    EXPECT_LT(ink.left, 512);
    EXPECT_GT(ink.right, 512);
    // The interior of the front face stays clear.
    EXPECT_EQ(image.At(512, 384), 0xFFFFFFu);
}

}  // namespace
