#include "vFrustum.h"

#include <cmath>

#include "vEngine.h"

TFrustumPlane ev_frustumPlanes[6];

void TFrustumPlane::Normalise()
{
    float length = std::sqrt(a * a + b * b + c * c);
    if (!(length > 0.0f)) return;  // a degenerate transform gives no plane; leave it rather than fill it with NaN
    float scale = 1.0f / length;
    a *= scale;
    b *= scale;
    c *= scale;
    d *= scale;
}

float TFrustumPlane::DistanceToPoint(D3DXVECTOR3 point)
{
    return a * point.x + b * point.y + c * point.z + d;
}

// The planes of the combined view-projection matrix M, from its columns
// cj = (M._1j, M._2j, M._3j, M._4j). A point is inside clip space when
// -w <= x <= w, -w <= y <= w and -w <= z <= w; each plane is the negated
// inequality, so its normal points out of the volume.
void CalculateViewFrustum()
{
    if (!objDevice) return;

    D3DXMATRIX view, projection, m;
    objDevice->GetTransform(D3DTS_VIEW, &view);
    objDevice->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&m, &view, &projection);

    const float c1[4] = {m._11, m._21, m._31, m._41};
    const float c2[4] = {m._12, m._22, m._32, m._42};
    const float c3[4] = {m._13, m._23, m._33, m._43};
    const float c4[4] = {m._14, m._24, m._34, m._44};

    auto set = [](TFrustumPlane& plane, const float* p, const float* q, float sign) {
        plane.a = -(p[0] + sign * q[0]);
        plane.b = -(p[1] + sign * q[1]);
        plane.c = -(p[2] + sign * q[2]);
        plane.d = -(p[3] + sign * q[3]);
    };
    set(ev_frustumPlanes[0], c4, c1, 1.0f);   // left
    set(ev_frustumPlanes[1], c4, c1, -1.0f);  // right
    set(ev_frustumPlanes[2], c4, c2, -1.0f);  // top
    set(ev_frustumPlanes[3], c4, c2, 1.0f);   // bottom
    set(ev_frustumPlanes[4], c4, c3, 1.0f);   // near (clip z = -w)
    set(ev_frustumPlanes[5], c4, c3, -1.0f);  // far

    for (TFrustumPlane& plane : ev_frustumPlanes) plane.Normalise();
}
