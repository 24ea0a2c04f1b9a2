// Axis-aligned boxes, their eight-corner form and culling against the
// frame's view frustum.
//
// Corner k of a box takes max.x when bit 0 of k is set, max.y for bit 1,
// max.z for bit 2, else the min value:
//
//        6 -------- 7
//       /|         /|      y
//      2 -------- 3 |      |  z
//      | 4 -------|-5      | /
//      |/         |/       |/
//      0 -------- 1        +---- x
#pragma once

#include <d3dx9math.h>

struct vBoundingBox {
    D3DXVECTOR3 min;  // smallest x, y, z
    D3DXVECTOR3 max;  // largest x, y, z

    // Does the segment (x0, y0, z0)-(x1, y1, z1) cross the plane x = planeX
    // inside [minY, maxY] x [minZ, maxZ] (bounds inclusive)? A segment parallel
    // to the plane never does. The box itself is not read.
    bool PlaneXIntr(float x0, float y0, float z0, float x1, float y1, float z1, float planeX, float minY, float maxY,
                    float minZ, float maxZ);
    // Plane y = planeY, ranges of x then z.
    bool PlaneYIntr(float x0, float y0, float z0, float x1, float y1, float z1, float planeY, float minX, float maxX,
                    float minZ, float maxZ);
    // Plane z = planeZ, ranges of x then y.
    bool PlaneZIntr(float x0, float y0, float z0, float x1, float y1, float z1, float planeZ, float minX, float maxX,
                    float minY, float maxY);
    // Does the segment from start to end cross any face of this box? A segment
    // wholly inside crosses none.
    bool RayIntersect(D3DXVECTOR3 start, D3DXVECTOR3 end);
};

// 0: the box lies entirely outside the frustum, 1: it crosses a plane, 2:
// entirely inside. Before the first frame (zero planes) every box gives 1.
int CullAABB(vBoundingBox box);
// worldCorners[k] = localCorners[k] transformed by matrix (with w divide), k = 0 ... 7.
void WOBBfromLOBB(D3DXVECTOR3* worldCorners, D3DXVECTOR3* localCorners, D3DXMATRIX* matrix);
// The axis-aligned box enclosing the eight corners.
void AABBfromOBB(vBoundingBox* box, D3DXVECTOR3* corners);
// The eight corners of the box in the order above.
void CornersFromAABB(const vBoundingBox& box, D3DXVECTOR3* corners);
// The twelve edges between the eight corners as opaque black debug lines.
void DrawOBB(D3DXVECTOR3* corners);
// DrawOBB of the box's corners.
void DrawAABB(vBoundingBox box);
