// The view frustum: six planes rebuilt from the device's view and projection
// at the start of every frame, used by all culling during that frame.
#pragma once

#include <d3dx9.h>

// Plane a*x + b*y + c*z + d = 0. For the frustum planes the normal points out
// of the view volume: a positive distance means outside.
struct TFrustumPlane {
    float a, b, c, d;  // the plane's coefficients

    // Scales the plane so (a, b, c) has unit length; a zero normal is left alone.
    void Normalise();
    // Signed distance of the point from the plane (scaled by |normal|).
    float DistanceToPoint(D3DXVECTOR3 point);
};

// 0 left, 1 right, 2 top, 3 bottom, 4 near (clip z = -w), 5 far.
// Zero until the first frame.
extern TFrustumPlane ev_frustumPlanes[6];

// Rebuilds ev_frustumPlanes from objDevice's current view and projection
// transforms; does nothing without a device.
void CalculateViewFrustum();
