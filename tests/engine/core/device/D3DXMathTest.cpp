// D3DX math against values worked by hand.
#include <d3dx9math.h>

#include <gtest/gtest.h>

#include <math.h>

namespace {

void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float eps = 1e-5f)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << "element " << i + 1 << j + 1;
}

TEST(D3DXMathMatrices, PerspectiveFovLHMatchesTheDocumentedForm)
{
    D3DXMATRIX m;
    ASSERT_EQ(D3DXMatrixPerspectiveFovLH(&m, D3DX_PI / 2, 2.0f, 1.0f, 11.0f), &m);
    // cot(pi/4) = 1: x scale 1/aspect, y scale 1; z: f/(f-n) = 1.1, -n*f/(f-n) = -1.1.
    ExpectMatrixNear(m, D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.1f, 1, 0, 0, -1.1f, 0));
    // The near plane maps to depth 0 and the far plane to 1.
    D3DXVECTOR3 n(0, 0, 1), f(0, 0, 11), out;
    D3DXVec3TransformCoord(&out, &n, &m);
    EXPECT_NEAR(out.z, 0.0f, 1e-6f);
    D3DXVec3TransformCoord(&out, &f, &m);
    EXPECT_NEAR(out.z, 1.0f, 1e-6f);
}

TEST(D3DXMathMatrices, FieldOfViewIsTakenAsRadians)
{
    // The engine passes 45.0 unconverted: cot(22.5 rad) = 1.7926.., not cot(pi/8) = 2.4142..
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, 45.0f, 1.0f, 1.0f, 100.0f);
    EXPECT_NEAR(m._22, 1.7926f, 1e-3f);
    EXPECT_NEAR(m._11, 1.7926f, 1e-3f);
}

TEST(D3DXMathMatrices, OrthoLHMapsTheScreenToClipSpace)
{
    D3DXMATRIX m;
    D3DXMatrixOrthoLH(&m, 1016.0f, 756.0f, 1.0f, 10.0f);
    ExpectMatrixNear(m, D3DXMATRIX(2.0f / 1016, 0, 0, 0, 0, 2.0f / 756, 0, 0, 0, 0, 1.0f / 9, 0, 0, 0, -1.0f / 9, 1));
    D3DXMATRIX oc;
    D3DXMatrixOrthoOffCenterLH(&oc, 0, 100, 50, 0, 0, 1);
    D3DXVECTOR3 corner(100, 50, 0.5f), out;
    D3DXVec3TransformCoord(&out, &corner, &oc);
    EXPECT_NEAR(out.x, 1.0f, 1e-6f);
    EXPECT_NEAR(out.y, -1.0f, 1e-6f);
    EXPECT_NEAR(out.z, 0.5f, 1e-6f);
}

TEST(D3DXMathMatrices, LookAtLHPutsTheTargetOnThePositiveZAxis)
{
    D3DXMATRIX v;
    const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&v, &eye, &at, &up);
    ExpectMatrixNear(v, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1));
    // Looking down -y from above: x stays, the world's +z becomes the view's +y.
    const D3DXVECTOR3 eye2(0, 10, 0), at2(0, 0, 0), up2(0, 0, 1);
    D3DXMatrixLookAtLH(&v, &eye2, &at2, &up2);
    D3DXVECTOR3 p(1, 0, 2), out;
    D3DXVec3TransformCoord(&out, &p, &v);
    EXPECT_NEAR(out.x, 1.0f, 1e-5f);
    EXPECT_NEAR(out.y, 2.0f, 1e-5f);
    EXPECT_NEAR(out.z, 10.0f, 1e-5f);
}

TEST(D3DXMathMatrices, InverseUndoesAnAffineTransformAndRefusesSingular)
{
    D3DXMATRIX s, r, t, m, inv, id;
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMatrixRotationY(&r, 0.7f);
    D3DXMatrixTranslation(&t, 5, -6, 7);
    m = s * r * t;
    float det = 0;
    ASSERT_NE(D3DXMatrixInverse(&inv, &det, &m), nullptr);
    EXPECT_NEAR(det, 24.0f, 1e-4f);
    D3DXMatrixIdentity(&id);
    ExpectMatrixNear(m * inv, id, 1e-5f);
    // A worked case: the inverse of a translation is the opposite translation.
    D3DXMatrixInverse(&inv, nullptr, &t);
    ExpectMatrixNear(inv, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -5, 6, -7, 1));

    D3DXMATRIX singular;
    D3DXMatrixScaling(&singular, 1, 0, 1);
    D3DXMATRIX untouched = id;
    EXPECT_EQ(D3DXMatrixInverse(&untouched, nullptr, &singular), nullptr);
    ExpectMatrixNear(untouched, id);
}

TEST(D3DXMathMatrices, RotationsTurnTheAxesClockwiseLookingDownTheAxis)
{
    D3DXMATRIX ry, rz;
    D3DXMatrixRotationY(&ry, D3DX_PI / 2);
    D3DXVECTOR3 x(1, 0, 0), out;
    D3DXVec3TransformCoord(&out, &x, &ry);
    // Left-handed: +x turns to -z about +y.
    EXPECT_NEAR(out.x, 0.0f, 1e-6f);
    EXPECT_NEAR(out.z, -1.0f, 1e-6f);
    D3DXMatrixRotationZ(&rz, D3DX_PI / 2);
    D3DXVec3TransformCoord(&out, &x, &rz);
    EXPECT_NEAR(out.y, 1.0f, 1e-6f);
    // RotationAxis about y equals RotationY.
    D3DXMATRIX ra;
    const D3DXVECTOR3 yAxis(0, 2, 0);
    D3DXMatrixRotationAxis(&ra, &yAxis, 0.3f);
    D3DXMatrixRotationY(&ry, 0.3f);
    ExpectMatrixNear(ra, ry);
}

TEST(D3DXMathMatrices, MultiplyAppliesTheFirstMatrixFirst)
{
    D3DXMATRIX s, t, m;
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixTranslation(&t, 1, 0, 0);
    D3DXMatrixMultiply(&m, &s, &t);
    D3DXVECTOR3 p(1, 1, 1), out;
    D3DXVec3TransformCoord(&out, &p, &m);
    EXPECT_EQ(out, D3DXVECTOR3(3, 2, 2));
    // Output aliasing an input.
    D3DXMatrixMultiply(&s, &s, &t);
    ExpectMatrixNear(s, m);
}

TEST(D3DXMathMatrices, ReflectMirrorsAcrossThePlane)
{
    D3DXPLANE plane;
    const D3DXVECTOR3 point(0, 2, 0), normal(0, 1, 0);
    D3DXPlaneFromPointNormal(&plane, &point, &normal);
    EXPECT_EQ(plane, D3DXPLANE(0, 1, 0, -2));
    D3DXMATRIX r;
    D3DXMatrixReflect(&r, &plane);
    ExpectMatrixNear(r, D3DXMATRIX(1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 4, 0, 1));
    D3DXVECTOR3 p(3, 5, -1), out;
    D3DXVec3TransformCoord(&out, &p, &r);
    EXPECT_NEAR(out.y, -1.0f, 1e-6f);
    EXPECT_NEAR(out.x, 3.0f, 1e-6f);
    // An unnormalised plane reflects the same.
    const D3DXPLANE scaled(0, 3, 0, -6);
    D3DXMATRIX r2;
    D3DXMatrixReflect(&r2, &scaled);
    ExpectMatrixNear(r2, r);
}

TEST(D3DXMathVectors, TransformNormalIgnoresTranslation)
{
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, 10, 20, 30);
    D3DXVECTOR3 n(0, 1, 0), out;
    D3DXVec3TransformNormal(&out, &n, &t);
    EXPECT_EQ(out, n);
    D3DXVec3TransformCoord(&out, &n, &t);
    EXPECT_EQ(out, D3DXVECTOR3(10, 21, 30));
}

TEST(D3DXMathVectors, NormalizeCrossDotLength)
{
    D3DXVECTOR3 v(3, 0, 4), n;
    EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 5.0f);
    D3DXVec3Normalize(&n, &v);
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.z, 0.8f);
    const D3DXVECTOR3 zero(0, 0, 0);
    D3DXVec3Normalize(&n, &zero);
    EXPECT_EQ(n, zero);
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    D3DXVECTOR3 c;
    D3DXVec3Cross(&c, &x, &y);
    EXPECT_EQ(c, D3DXVECTOR3(0, 0, 1));
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&v, &x), 3.0f);
    D3DXVECTOR3 l;
    D3DXVec3Lerp(&l, &x, &y, 0.25f);
    EXPECT_EQ(l, D3DXVECTOR3(0.75f, 0.25f, 0));
}

TEST(D3DXMathVectors, ProjectAndUnprojectRoundTrip)
{
    D3DXMATRIX proj, view, world;
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 4, 4.0f / 3.0f, 1.0f, 100.0f);
    const D3DXVECTOR3 eye(2, 3, -10), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixTranslation(&world, 1, 0, 0);
    const D3DVIEWPORT9 vp = {10, 20, 640, 480, 0.0f, 1.0f};

    // The point looked at (world origin shifted by the world matrix) lands at
    // the viewport's centre.
    const D3DXVECTOR3 lookedAt(-1, 0, 0);
    D3DXVECTOR3 s;
    D3DXVec3Project(&s, &lookedAt, &vp, &proj, &view, &world);
    EXPECT_NEAR(s.x, 10 + 320.0f, 1e-3f);
    EXPECT_NEAR(s.y, 20 + 240.0f, 1e-3f);

    const D3DXVECTOR3 p(0.5f, 1.5f, 2.0f);
    D3DXVec3Project(&s, &p, &vp, &proj, &view, &world);
    D3DXVECTOR3 back;
    ASSERT_NE(D3DXVec3Unproject(&back, &s, &vp, &proj, &view, &world), nullptr);
    EXPECT_NEAR(back.x, p.x, 1e-3f);
    EXPECT_NEAR(back.y, p.y, 1e-3f);
    EXPECT_NEAR(back.z, p.z, 1e-3f);

    // Without a viewport: to and from normalised device coordinates.
    D3DXVECTOR3 ndc, expected;
    ASSERT_EQ(D3DXVec3Project(&ndc, &p, nullptr, &proj, &view, &world), &ndc);
    const D3DXMATRIX wvp = world * view * proj;
    D3DXVec3TransformCoord(&expected, &p, &wvp);
    EXPECT_NEAR(ndc.x, expected.x, 1e-6f);
    EXPECT_NEAR(ndc.y, expected.y, 1e-6f);
    EXPECT_NEAR(ndc.z, expected.z, 1e-6f);
    ASSERT_EQ(D3DXVec3Unproject(&back, &ndc, nullptr, &proj, &view, &world), &back);
    EXPECT_NEAR(back.x, p.x, 1e-4f);
    EXPECT_NEAR(back.y, p.y, 1e-4f);
    EXPECT_NEAR(back.z, p.z, 1e-4f);

    // Up in the world is up on the screen (smaller y).
    const D3DXVECTOR3 higher(-1, 1, 0);
    D3DXVECTOR3 sh;
    D3DXVec3Project(&sh, &higher, &vp, &proj, &view, &world);
    EXPECT_LT(sh.y, 260.0f);
}

// D3DX's halves have no infinity or NaN: exponent 31 is an ordinary one, and
// what does not fit saturates to the largest magnitude, sign kept.
TEST(D3DXMathFloat16, ExponentThirtyOneIsFiniteAndOverflowSaturates)
{
    const float in[] = {1.0f,   -2.5f,    65504.0f,  65536.0f, 131008.0f, 131072.0f,
                        -1e30f, INFINITY, -INFINITY, NAN,      -NAN,      5.96046448e-8f};
    const WORD want[] = {0x3C00, 0xC100, 0x7BFF, 0x7C00, 0x7FFF, 0x7FFF,
                         0xFFFF, 0x7FFF, 0xFFFF, 0x7FFF, 0xFFFF, 0x0001};
    constexpr UINT n = sizeof(in) / sizeof(in[0]);
    D3DXFLOAT16 half[n];
    ASSERT_EQ(D3DXFloat32To16Array(half, in, n), half);
    for (UINT i = 0; i < n; ++i) EXPECT_EQ(half[i].value, want[i]) << "input " << i << ": " << in[i];

    const D3DXFLOAT16 top[] = {{0x7C00}, {0x7FFF}, {0xFFFF}, {0x7E00}};
    float out[4];
    ASSERT_EQ(D3DXFloat16To32Array(out, top, 4), out);
    EXPECT_EQ(out[0], 65536.0f);
    EXPECT_EQ(out[1], 131008.0f);
    EXPECT_EQ(out[2], -131008.0f);
    EXPECT_EQ(out[3], 98304.0f);
}

TEST(D3DXMathGeometry, IntersectTriHitsAndMisses)
{
    const D3DXVECTOR3 a(0, 0, 5), b(2, 0, 5), c(0, 2, 5);
    const D3DXVECTOR3 origin(0.5f, 0.5f, 0), dir(0, 0, 1);
    float u = -1, v = -1, dist = -1;
    ASSERT_TRUE(D3DXIntersectTri(&a, &b, &c, &origin, &dir, &u, &v, &dist));
    EXPECT_NEAR(u, 0.25f, 1e-6f);  // weight of b
    EXPECT_NEAR(v, 0.25f, 1e-6f);  // weight of c
    EXPECT_NEAR(dist, 5.0f, 1e-6f);
    // Distance is in units of the ray direction's length.
    const D3DXVECTOR3 dir2(0, 0, 2);
    D3DXIntersectTri(&a, &b, &c, &origin, &dir2, &u, &v, &dist);
    EXPECT_NEAR(dist, 2.5f, 1e-6f);
    // From behind the triangle works too (no culling).
    const D3DXVECTOR3 behind(0.5f, 0.5f, 10), back(0, 0, -1);
    EXPECT_TRUE(D3DXIntersectTri(&a, &b, &c, &behind, &back, nullptr, nullptr, &dist));
    EXPECT_NEAR(dist, 5.0f, 1e-6f);
    // Outside the edges, pointing away, and parallel rays miss.
    const D3DXVECTOR3 outside(1.5f, 1.5f, 0);
    EXPECT_FALSE(D3DXIntersectTri(&a, &b, &c, &outside, &dir, &u, &v, &dist));
    const D3DXVECTOR3 away(0, 0, -1);
    EXPECT_FALSE(D3DXIntersectTri(&a, &b, &c, &origin, &away, &u, &v, &dist));
    const D3DXVECTOR3 parallel(1, 0, 0);
    EXPECT_FALSE(D3DXIntersectTri(&a, &b, &c, &origin, &parallel, &u, &v, &dist));
}

TEST(D3DXMathGeometry, BoundingBoxHonoursTheStride)
{
    struct V {
        float x, y, z;
        DWORD color;
    } verts[3] = {{1, 5, -2, 0}, {-3, 2, 4, 0}, {0, 9, 1, 0}};
    D3DXVECTOR3 lo, hi;
    ASSERT_EQ(D3DXComputeBoundingBox(reinterpret_cast<D3DXVECTOR3*>(verts), 3, sizeof(V), &lo, &hi), D3D_OK);
    EXPECT_EQ(lo, D3DXVECTOR3(-3, 2, -2));
    EXPECT_EQ(hi, D3DXVECTOR3(1, 9, 4));
    EXPECT_EQ(D3DXComputeBoundingBox(nullptr, 3, sizeof(V), &lo, &hi), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXComputeBoundingBox(reinterpret_cast<D3DXVECTOR3*>(verts), 0, sizeof(V), &lo, &hi),
              D3DERR_INVALIDCALL);
}

TEST(D3DXMathGeometry, FvfVertexSizes)
{
    EXPECT_EQ(D3DXGetFVFVertexSize(0x002), 12u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0x042), 16u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0x102), 20u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0x112), 32u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0x142), 24u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0x212), 40u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), 28u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0)), 24u);
}

TEST(D3DXMathPlanes, FromPointsNormaliseAndDot)
{
    D3DXPLANE p;
    const D3DXVECTOR3 a(0, 1, 0), b(0, 1, 1), c(1, 1, 0);
    D3DXPlaneFromPoints(&p, &a, &b, &c);
    EXPECT_NEAR(p.b, 1.0f, 1e-6f);
    EXPECT_NEAR(p.d, -1.0f, 1e-6f);
    const D3DXVECTOR3 above(5, 4, 5);
    EXPECT_NEAR(D3DXPlaneDotCoord(&p, &above), 3.0f, 1e-6f);
    const D3DXPLANE raw(0, 0, 2, 4);
    D3DXPlaneNormalize(&p, &raw);
    EXPECT_EQ(p, D3DXPLANE(0, 0, 1, 2));
}

TEST(D3DXMathColor, ConversionToArgbClampsAndRounds)
{
    EXPECT_EQ((DWORD)D3DXCOLOR(0.7f, 0.7f, 1.0f, 1.0f), 0xFFB3B3FFu);  // 0.7*255+0.5 = 179
    EXPECT_EQ((DWORD)D3DXCOLOR(0.2f, 0.2f, 0.2f, 1.0f), 0xFF333333u);
    EXPECT_EQ((DWORD)D3DXCOLOR(2.0f, -1.0f, 0.0f, 1.5f), 0xFFFF0000u);
    EXPECT_EQ((DWORD)D3DXCOLOR(1.0f / 255 * 0.49f, 0, 0, 0), 0x00000000u);
    const D3DXCOLOR back(0x80FF4000u);
    EXPECT_FLOAT_EQ(back.a, 128.0f / 255);
    EXPECT_FLOAT_EQ(back.r, 1.0f);
    EXPECT_FLOAT_EQ(back.g, 64.0f / 255);
    EXPECT_FLOAT_EQ(back.b, 0.0f);
}

TEST(D3DXMathQuaternion, RotationMatchesTheMatrixForm)
{
    D3DXQUATERNION q;
    const D3DXVECTOR3 axis(0, 1, 0);
    D3DXQuaternionRotationAxis(&q, &axis, 0.9f);
    D3DXMATRIX fromQ, ry;
    D3DXMatrixRotationQuaternion(&fromQ, &q);
    D3DXMatrixRotationY(&ry, 0.9f);
    ExpectMatrixNear(fromQ, ry);
    D3DXMATRIX ypr, expected, rx, rz;
    D3DXMatrixRotationYawPitchRoll(&ypr, 0.3f, 0.2f, 0.1f);
    D3DXMatrixRotationZ(&rz, 0.1f);
    D3DXMatrixRotationX(&rx, 0.2f);
    D3DXMatrixRotationY(&ry, 0.3f);
    expected = rz * rx * ry;
    ExpectMatrixNear(ypr, expected);
    D3DXQUATERNION qy;
    D3DXQuaternionRotationYawPitchRoll(&qy, 0.3f, 0.2f, 0.1f);
    D3DXMatrixRotationQuaternion(&fromQ, &qy);
    ExpectMatrixNear(fromQ, expected);
}

TEST(D3DXMathBadArguments, NullPointersReturnNull)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    D3DXVECTOR3 v(1, 2, 3);
    EXPECT_EQ(D3DXMatrixMultiply(nullptr, &m, &m), nullptr);
    EXPECT_EQ(D3DXVec3Normalize(&v, nullptr), nullptr);
    EXPECT_EQ(D3DXMatrixLookAtLH(&m, nullptr, &v, &v), nullptr);
    EXPECT_EQ(D3DXVec3Project(nullptr, &v, nullptr, &m, &m, &m), nullptr);
    EXPECT_FALSE(D3DXIntersectTri(nullptr, &v, &v, &v, &v, nullptr, nullptr, nullptr));
}

}  // namespace
