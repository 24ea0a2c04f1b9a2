#include "vBoundingBox.h"

#include <d3dx9.h>

#include "vFrustum.h"
#include "vMathUtils.h"

namespace {

const DWORD kBoxLineColor = 0xFF000000;

// Segment against an axis plane: a is the axis the plane cuts, b and c the
// two others, checked against their ranges.
bool SegmentCrossesAxisPlane(float a0, float b0, float c0, float a1, float b1, float c1, float plane, float minB,
                             float maxB, float minC, float maxC)
{
    const float da = a1 - a0;
    if (da == 0.0f) return false;
    const float t = (plane - a0) / da;
    if (t < 0.0f || t > 1.0f) return false;
    const float b = b0 + t * (b1 - b0);
    const float c = c0 + t * (c1 - c0);
    return minB <= b && b <= maxB && minC <= c && c <= maxC;
}

}  // namespace

bool vBoundingBox::PlaneXIntr(float x0, float y0, float z0, float x1, float y1, float z1, float planeX, float minY,
                              float maxY, float minZ, float maxZ)
{
    return SegmentCrossesAxisPlane(x0, y0, z0, x1, y1, z1, planeX, minY, maxY, minZ, maxZ);
}

bool vBoundingBox::PlaneYIntr(float x0, float y0, float z0, float x1, float y1, float z1, float planeY, float minX,
                              float maxX, float minZ, float maxZ)
{
    return SegmentCrossesAxisPlane(y0, x0, z0, y1, x1, z1, planeY, minX, maxX, minZ, maxZ);
}

bool vBoundingBox::PlaneZIntr(float x0, float y0, float z0, float x1, float y1, float z1, float planeZ, float minX,
                              float maxX, float minY, float maxY)
{
    return SegmentCrossesAxisPlane(z0, x0, y0, z1, x1, y1, planeZ, minX, maxX, minY, maxY);
}

bool vBoundingBox::RayIntersect(D3DXVECTOR3 s, D3DXVECTOR3 e)
{
    return PlaneXIntr(s.x, s.y, s.z, e.x, e.y, e.z, min.x, min.y, max.y, min.z, max.z) ||
           PlaneXIntr(s.x, s.y, s.z, e.x, e.y, e.z, max.x, min.y, max.y, min.z, max.z) ||
           PlaneYIntr(s.x, s.y, s.z, e.x, e.y, e.z, min.y, min.x, max.x, min.z, max.z) ||
           PlaneYIntr(s.x, s.y, s.z, e.x, e.y, e.z, max.y, min.x, max.x, min.z, max.z) ||
           PlaneZIntr(s.x, s.y, s.z, e.x, e.y, e.z, min.z, min.x, max.x, min.y, max.y) ||
           PlaneZIntr(s.x, s.y, s.z, e.x, e.y, e.z, max.z, min.x, max.x, min.y, max.y);
}

int CullAABB(vBoundingBox box)
{
    bool crossing = false;
    for (int i = 0; i < 6; ++i) {
        const TFrustumPlane& p = ev_frustumPlanes[i];
        // n: the corner deepest inside this plane; f: the one farthest out.
        const float nx = p.a >= 0.0f ? box.min.x : box.max.x;
        const float ny = p.b >= 0.0f ? box.min.y : box.max.y;
        const float nz = p.c >= 0.0f ? box.min.z : box.max.z;
        const float fx = p.a >= 0.0f ? box.max.x : box.min.x;
        const float fy = p.b >= 0.0f ? box.max.y : box.min.y;
        const float fz = p.c >= 0.0f ? box.max.z : box.min.z;
        if (p.a * nx + p.b * ny + p.c * nz + p.d > 0.0f) return 0;
        if (p.a * fx + p.b * fy + p.c * fz + p.d >= 0.0f) crossing = true;
    }
    return crossing ? 1 : 2;
}

void WOBBfromLOBB(D3DXVECTOR3* worldCorners, D3DXVECTOR3* localCorners, D3DXMATRIX* matrix)
{
    if (!worldCorners || !localCorners || !matrix) return;
    for (int k = 0; k < 8; ++k) D3DXVec3TransformCoord(&worldCorners[k], &localCorners[k], matrix);
}

void AABBfromOBB(vBoundingBox* box, D3DXVECTOR3* corners)
{
    if (!box || !corners) return;
    box->min = corners[0];
    box->max = corners[0];
    for (int k = 1; k < 8; ++k) {
        const D3DXVECTOR3& c = corners[k];
        if (c.x < box->min.x) box->min.x = c.x;
        if (c.y < box->min.y) box->min.y = c.y;
        if (c.z < box->min.z) box->min.z = c.z;
        if (c.x > box->max.x) box->max.x = c.x;
        if (c.y > box->max.y) box->max.y = c.y;
        if (c.z > box->max.z) box->max.z = c.z;
    }
}

void CornersFromAABB(const vBoundingBox& box, D3DXVECTOR3* corners)
{
    for (int k = 0; k < 8; ++k) {
        corners[k].x = (k & 1) ? box.max.x : box.min.x;
        corners[k].y = (k & 2) ? box.max.y : box.min.y;
        corners[k].z = (k & 4) ? box.max.z : box.min.z;
    }
}

void DrawOBB(D3DXVECTOR3* corners)
{
    if (!corners) return;
    static const int kEdges[12][2] = {{0, 1}, {0, 2}, {2, 3}, {3, 1}, {0, 4}, {1, 5},
                                      {2, 6}, {3, 7}, {4, 5}, {4, 6}, {6, 7}, {7, 5}};
    // Opaque black: a zero alpha would vanish under the engine's default
    // alpha blending.
    for (const auto& edge : kEdges) Draw3DLine(corners[edge[0]], corners[edge[1]], kBoxLineColor);
}

void DrawAABB(vBoundingBox box)
{
    D3DXVECTOR3 corners[8];
    CornersFromAABB(box, corners);
    DrawOBB(corners);
}
