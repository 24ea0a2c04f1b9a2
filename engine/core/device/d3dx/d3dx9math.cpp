// D3DX math with the documented formulas: row vectors, left-handed
// matrices unless the name ends in RH.
#include "d3dx9math.h"

#include <string.h>

#include <algorithm>

namespace {

D3DXMATRIX Multiply(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

D3DXMATRIX Identity()
{
    D3DXMATRIX r;
    D3DXMatrixIdentity(&r);
    return r;
}

// 255 at or above 1.0, 0 at or below 0.0 (and for NaN), else trunc(c * 255 + 0.5).
DWORD ColorChannel(float c)
{
    if (c >= 1.0f) return 255;
    if (!(c > 0.0f)) return 0;
    return (DWORD)(c * 255.0f + 0.5f);
}

}  // namespace

// --- value types ------------------------------------------------------------

D3DXMATRIX::D3DXMATRIX(const FLOAT* f)
{
    memcpy(&_11, f, sizeof(float) * 16);
}

D3DXMATRIX::D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14, FLOAT f21, FLOAT f22, FLOAT f23, FLOAT f24,
                       FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34, FLOAT f41, FLOAT f42, FLOAT f43, FLOAT f44)
{
    _11 = f11;
    _12 = f12;
    _13 = f13;
    _14 = f14;
    _21 = f21;
    _22 = f22;
    _23 = f23;
    _24 = f24;
    _31 = f31;
    _32 = f32;
    _33 = f33;
    _34 = f34;
    _41 = f41;
    _42 = f42;
    _43 = f43;
    _44 = f44;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat)
{
    *this = Multiply(*this, mat);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat)
{
    for (int i = 0; i < 16; ++i) (&_11)[i] += (&mat._11)[i];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat)
{
    for (int i = 0; i < 16; ++i) (&_11)[i] -= (&mat._11)[i];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(FLOAT f)
{
    for (int i = 0; i < 16; ++i) (&_11)[i] *= f;
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator/=(FLOAT f)
{
    return *this *= 1.0f / f;
}

D3DXMATRIX D3DXMATRIX::operator-() const
{
    D3DXMATRIX r = *this;
    return r *= -1.0f;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const
{
    return Multiply(*this, mat);
}
D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r = *this;
    return r += mat;
}
D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r = *this;
    return r -= mat;
}
D3DXMATRIX D3DXMATRIX::operator*(FLOAT f) const
{
    D3DXMATRIX r = *this;
    return r *= f;
}
D3DXMATRIX D3DXMATRIX::operator/(FLOAT f) const
{
    D3DXMATRIX r = *this;
    return r /= f;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const
{
    for (int i = 0; i < 16; ++i)
        if ((&_11)[i] != (&mat._11)[i]) return false;
    return true;
}

D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const
{
    D3DXQUATERNION r;
    D3DXQuaternionMultiply(&r, this, &q);
    return r;
}

D3DXCOLOR::D3DXCOLOR(DWORD argb)
{
    const float f = 1.0f / 255.0f;
    a = f * (float)((argb >> 24) & 0xff);
    r = f * (float)((argb >> 16) & 0xff);
    g = f * (float)((argb >> 8) & 0xff);
    b = f * (float)(argb & 0xff);
}

D3DXCOLOR::operator DWORD() const
{
    return (ColorChannel(a) << 24) | (ColorChannel(r) << 16) | (ColorChannel(g) << 8) | ColorChannel(b);
}

// --- 2D vectors -------------------------------------------------------------

FLOAT WINAPI D3DXVec2Length(const D3DXVECTOR2* v)
{
    return v ? sqrtf(v->x * v->x + v->y * v->y) : 0.0f;
}
FLOAT WINAPI D3DXVec2LengthSq(const D3DXVECTOR2* v)
{
    return v ? v->x * v->x + v->y * v->y : 0.0f;
}
FLOAT WINAPI D3DXVec2Dot(const D3DXVECTOR2* a, const D3DXVECTOR2* b)
{
    return (a && b) ? a->x * b->x + a->y * b->y : 0.0f;
}
FLOAT WINAPI D3DXVec2CCW(const D3DXVECTOR2* a, const D3DXVECTOR2* b)
{
    return (a && b) ? a->x * b->y - a->y * b->x : 0.0f;
}

D3DXVECTOR2* WINAPI D3DXVec2Add(D3DXVECTOR2* o, const D3DXVECTOR2* a, const D3DXVECTOR2* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR2(a->x + b->x, a->y + b->y);
    return o;
}

D3DXVECTOR2* WINAPI D3DXVec2Subtract(D3DXVECTOR2* o, const D3DXVECTOR2* a, const D3DXVECTOR2* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR2(a->x - b->x, a->y - b->y);
    return o;
}

D3DXVECTOR2* WINAPI D3DXVec2Scale(D3DXVECTOR2* o, const D3DXVECTOR2* v, FLOAT s)
{
    if (!o || !v) return nullptr;
    *o = D3DXVECTOR2(v->x * s, v->y * s);
    return o;
}

D3DXVECTOR2* WINAPI D3DXVec2Lerp(D3DXVECTOR2* o, const D3DXVECTOR2* a, const D3DXVECTOR2* b, FLOAT s)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR2(a->x + s * (b->x - a->x), a->y + s * (b->y - a->y));
    return o;
}

D3DXVECTOR2* WINAPI D3DXVec2Minimize(D3DXVECTOR2* o, const D3DXVECTOR2* a, const D3DXVECTOR2* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR2(std::min(a->x, b->x), std::min(a->y, b->y));
    return o;
}

D3DXVECTOR2* WINAPI D3DXVec2Maximize(D3DXVECTOR2* o, const D3DXVECTOR2* a, const D3DXVECTOR2* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR2(std::max(a->x, b->x), std::max(a->y, b->y));
    return o;
}

D3DXVECTOR2* WINAPI D3DXVec2Normalize(D3DXVECTOR2* o, const D3DXVECTOR2* v)
{
    if (!o || !v) return nullptr;
    const float len = D3DXVec2Length(v);
    if (len == 0.0f)
        *o = D3DXVECTOR2(0.0f, 0.0f);
    else
        *o = D3DXVECTOR2(v->x / len, v->y / len);
    return o;
}

D3DXVECTOR4* WINAPI D3DXVec2Transform(D3DXVECTOR4* o, const D3DXVECTOR2* v, const D3DXMATRIX* m)
{
    if (!o || !v || !m) return nullptr;
    const D3DXVECTOR2 in = *v;
    *o = D3DXVECTOR4(in.x * m->_11 + in.y * m->_21 + m->_41, in.x * m->_12 + in.y * m->_22 + m->_42,
                     in.x * m->_13 + in.y * m->_23 + m->_43, in.x * m->_14 + in.y * m->_24 + m->_44);
    return o;
}

D3DXVECTOR2* WINAPI D3DXVec2TransformCoord(D3DXVECTOR2* o, const D3DXVECTOR2* v, const D3DXMATRIX* m)
{
    if (!o || !v || !m) return nullptr;
    D3DXVECTOR4 t;
    D3DXVec2Transform(&t, v, m);
    *o = D3DXVECTOR2(t.x / t.w, t.y / t.w);
    return o;
}

D3DXVECTOR2* WINAPI D3DXVec2TransformNormal(D3DXVECTOR2* o, const D3DXVECTOR2* v, const D3DXMATRIX* m)
{
    if (!o || !v || !m) return nullptr;
    const D3DXVECTOR2 in = *v;
    *o = D3DXVECTOR2(in.x * m->_11 + in.y * m->_21, in.x * m->_12 + in.y * m->_22);
    return o;
}

// --- 3D vectors -------------------------------------------------------------

FLOAT WINAPI D3DXVec3Length(const D3DXVECTOR3* v)
{
    return v ? sqrtf(v->x * v->x + v->y * v->y + v->z * v->z) : 0.0f;
}
FLOAT WINAPI D3DXVec3LengthSq(const D3DXVECTOR3* v)
{
    return v ? v->x * v->x + v->y * v->y + v->z * v->z : 0.0f;
}
FLOAT WINAPI D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    return (a && b) ? a->x * b->x + a->y * b->y + a->z * b->z : 0.0f;
}

D3DXVECTOR3* WINAPI D3DXVec3Cross(D3DXVECTOR3* o, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3Add(D3DXVECTOR3* o, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR3(a->x + b->x, a->y + b->y, a->z + b->z);
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3Subtract(D3DXVECTOR3* o, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR3(a->x - b->x, a->y - b->y, a->z - b->z);
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3Scale(D3DXVECTOR3* o, const D3DXVECTOR3* v, FLOAT s)
{
    if (!o || !v) return nullptr;
    *o = D3DXVECTOR3(v->x * s, v->y * s, v->z * s);
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3Lerp(D3DXVECTOR3* o, const D3DXVECTOR3* a, const D3DXVECTOR3* b, FLOAT s)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR3(a->x + s * (b->x - a->x), a->y + s * (b->y - a->y), a->z + s * (b->z - a->z));
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3Minimize(D3DXVECTOR3* o, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR3(std::min(a->x, b->x), std::min(a->y, b->y), std::min(a->z, b->z));
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3Maximize(D3DXVECTOR3* o, const D3DXVECTOR3* a, const D3DXVECTOR3* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXVECTOR3(std::max(a->x, b->x), std::max(a->y, b->y), std::max(a->z, b->z));
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3Normalize(D3DXVECTOR3* o, const D3DXVECTOR3* v)
{
    if (!o || !v) return nullptr;
    const float len = D3DXVec3Length(v);
    if (len == 0.0f)
        *o = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    else
        *o = D3DXVECTOR3(v->x / len, v->y / len, v->z / len);
    return o;
}

D3DXVECTOR4* WINAPI D3DXVec3Transform(D3DXVECTOR4* o, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    if (!o || !v || !m) return nullptr;
    const D3DXVECTOR3 in = *v;
    *o = D3DXVECTOR4(
        in.x * m->_11 + in.y * m->_21 + in.z * m->_31 + m->_41, in.x * m->_12 + in.y * m->_22 + in.z * m->_32 + m->_42,
        in.x * m->_13 + in.y * m->_23 + in.z * m->_33 + m->_43, in.x * m->_14 + in.y * m->_24 + in.z * m->_34 + m->_44);
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3TransformCoord(D3DXVECTOR3* o, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    if (!o || !v || !m) return nullptr;
    D3DXVECTOR4 t;
    D3DXVec3Transform(&t, v, m);
    *o = D3DXVECTOR3(t.x / t.w, t.y / t.w, t.z / t.w);
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3TransformNormal(D3DXVECTOR3* o, const D3DXVECTOR3* v, const D3DXMATRIX* m)
{
    if (!o || !v || !m) return nullptr;
    const D3DXVECTOR3 in = *v;
    *o = D3DXVECTOR3(in.x * m->_11 + in.y * m->_21 + in.z * m->_31, in.x * m->_12 + in.y * m->_22 + in.z * m->_32,
                     in.x * m->_13 + in.y * m->_23 + in.z * m->_33);
    return o;
}

namespace {

D3DXMATRIX WorldViewProjection(const D3DXMATRIX* proj, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    D3DXMATRIX m = world ? *world : Identity();
    if (view) m = Multiply(m, *view);
    if (proj) m = Multiply(m, *proj);
    return m;
}

}  // namespace

D3DXVECTOR3* WINAPI D3DXVec3Project(D3DXVECTOR3* o, const D3DXVECTOR3* v, const D3DVIEWPORT9* vp,
                                    const D3DXMATRIX* proj, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    if (!o || !v) return nullptr;
    const D3DXMATRIX m = WorldViewProjection(proj, view, world);
    D3DXVECTOR3 c;
    D3DXVec3TransformCoord(&c, v, &m);
    if (!vp) return &(*o = c);  // normalised device coordinates
    o->x = (float)vp->X + (1.0f + c.x) * (float)vp->Width * 0.5f;
    o->y = (float)vp->Y + (1.0f - c.y) * (float)vp->Height * 0.5f;
    o->z = vp->MinZ + c.z * (vp->MaxZ - vp->MinZ);
    return o;
}

D3DXVECTOR3* WINAPI D3DXVec3Unproject(D3DXVECTOR3* o, const D3DXVECTOR3* v, const D3DVIEWPORT9* vp,
                                      const D3DXMATRIX* proj, const D3DXMATRIX* view, const D3DXMATRIX* world)
{
    if (!o || !v || (vp && (vp->Width == 0 || vp->Height == 0))) return nullptr;
    const D3DXMATRIX m = WorldViewProjection(proj, view, world);
    D3DXMATRIX inv;
    if (!D3DXMatrixInverse(&inv, nullptr, &m)) return nullptr;
    if (!vp) return D3DXVec3TransformCoord(o, v, &inv);  // from normalised device coordinates
    const float depthRange = vp->MaxZ - vp->MinZ;
    D3DXVECTOR3 c;
    c.x = 2.0f * (v->x - (float)vp->X) / (float)vp->Width - 1.0f;
    c.y = 1.0f - 2.0f * (v->y - (float)vp->Y) / (float)vp->Height;
    c.z = depthRange != 0.0f ? (v->z - vp->MinZ) / depthRange : v->z - vp->MinZ;
    return D3DXVec3TransformCoord(o, &c, &inv);
}

// --- 4D vectors -------------------------------------------------------------

FLOAT WINAPI D3DXVec4Length(const D3DXVECTOR4* v)
{
    return v ? sqrtf(v->x * v->x + v->y * v->y + v->z * v->z + v->w * v->w) : 0.0f;
}

FLOAT WINAPI D3DXVec4Dot(const D3DXVECTOR4* a, const D3DXVECTOR4* b)
{
    return (a && b) ? a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w : 0.0f;
}

D3DXVECTOR4* WINAPI D3DXVec4Normalize(D3DXVECTOR4* o, const D3DXVECTOR4* v)
{
    if (!o || !v) return nullptr;
    const float len = D3DXVec4Length(v);
    *o = len == 0.0f ? D3DXVECTOR4(0, 0, 0, 0) : *v / len;
    return o;
}

D3DXVECTOR4* WINAPI D3DXVec4Transform(D3DXVECTOR4* o, const D3DXVECTOR4* v, const D3DXMATRIX* m)
{
    if (!o || !v || !m) return nullptr;
    const D3DXVECTOR4 in = *v;
    for (int j = 0; j < 4; ++j)
        (&o->x)[j] = in.x * m->m[0][j] + in.y * m->m[1][j] + in.z * m->m[2][j] + in.w * m->m[3][j];
    return o;
}

D3DXVECTOR4* WINAPI D3DXVec4Lerp(D3DXVECTOR4* o, const D3DXVECTOR4* a, const D3DXVECTOR4* b, FLOAT s)
{
    if (!o || !a || !b) return nullptr;
    *o = *a + (*b - *a) * s;
    return o;
}

// --- Matrices ---------------------------------------------------------------

D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* o)
{
    if (!o) return nullptr;
    memset(o, 0, sizeof(*o));
    o->_11 = o->_22 = o->_33 = o->_44 = 1.0f;
    return o;
}

BOOL WINAPI D3DXMatrixIsIdentity(const D3DXMATRIX* m)
{
    return m && *m == Identity();
}

FLOAT WINAPI D3DXMatrixDeterminant(const D3DXMATRIX* pm)
{
    if (!pm) return 0.0f;
    const float(*m)[4] = pm->m;
    const float s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const float s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const float s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const float s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const float s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const float s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    const float c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    const float c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    const float c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    const float c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    const float c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    const float c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];
    return s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
}

D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* o, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
    if (!o || !a || !b) return nullptr;
    *o = Multiply(*a, *b);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixMultiplyTranspose(D3DXMATRIX* o, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
    if (!D3DXMatrixMultiply(o, a, b)) return nullptr;
    return D3DXMatrixTranspose(o, o);
}

D3DXMATRIX* WINAPI D3DXMatrixTranspose(D3DXMATRIX* o, const D3DXMATRIX* m)
{
    if (!o || !m) return nullptr;
    const D3DXMATRIX in = *m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) o->m[i][j] = in.m[j][i];
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixInverse(D3DXMATRIX* o, FLOAT* pDeterminant, const D3DXMATRIX* pm)
{
    if (!o || !pm) return nullptr;
    const float(*m)[4] = pm->m;
    const float s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const float s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const float s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const float s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const float s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const float s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    const float c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    const float c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    const float c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    const float c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    const float c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    const float c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];
    const float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (pDeterminant) *pDeterminant = det;
    if (det == 0.0f || !isfinite(det)) return nullptr;
    const float k = 1.0f / det;
    D3DXMATRIX r;
    r.m[0][0] = (m[1][1] * c5 - m[1][2] * c4 + m[1][3] * c3) * k;
    r.m[0][1] = (-m[0][1] * c5 + m[0][2] * c4 - m[0][3] * c3) * k;
    r.m[0][2] = (m[3][1] * s5 - m[3][2] * s4 + m[3][3] * s3) * k;
    r.m[0][3] = (-m[2][1] * s5 + m[2][2] * s4 - m[2][3] * s3) * k;
    r.m[1][0] = (-m[1][0] * c5 + m[1][2] * c2 - m[1][3] * c1) * k;
    r.m[1][1] = (m[0][0] * c5 - m[0][2] * c2 + m[0][3] * c1) * k;
    r.m[1][2] = (-m[3][0] * s5 + m[3][2] * s2 - m[3][3] * s1) * k;
    r.m[1][3] = (m[2][0] * s5 - m[2][2] * s2 + m[2][3] * s1) * k;
    r.m[2][0] = (m[1][0] * c4 - m[1][1] * c2 + m[1][3] * c0) * k;
    r.m[2][1] = (-m[0][0] * c4 + m[0][1] * c2 - m[0][3] * c0) * k;
    r.m[2][2] = (m[3][0] * s4 - m[3][1] * s2 + m[3][3] * s0) * k;
    r.m[2][3] = (-m[2][0] * s4 + m[2][1] * s2 - m[2][3] * s0) * k;
    r.m[3][0] = (-m[1][0] * c3 + m[1][1] * c1 - m[1][2] * c0) * k;
    r.m[3][1] = (m[0][0] * c3 - m[0][1] * c1 + m[0][2] * c0) * k;
    r.m[3][2] = (-m[3][0] * s3 + m[3][1] * s1 - m[3][2] * s0) * k;
    r.m[3][3] = (m[2][0] * s3 - m[2][1] * s1 + m[2][2] * s0) * k;
    *o = r;
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* o, FLOAT sx, FLOAT sy, FLOAT sz)
{
    if (!D3DXMatrixIdentity(o)) return nullptr;
    o->_11 = sx;
    o->_22 = sy;
    o->_33 = sz;
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* o, FLOAT x, FLOAT y, FLOAT z)
{
    if (!D3DXMatrixIdentity(o)) return nullptr;
    o->_41 = x;
    o->_42 = y;
    o->_43 = z;
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* o, FLOAT angle)
{
    if (!D3DXMatrixIdentity(o)) return nullptr;
    const float c = cosf(angle), s = sinf(angle);
    o->_22 = c;
    o->_23 = s;
    o->_32 = -s;
    o->_33 = c;
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* o, FLOAT angle)
{
    if (!D3DXMatrixIdentity(o)) return nullptr;
    const float c = cosf(angle), s = sinf(angle);
    o->_11 = c;
    o->_13 = -s;
    o->_31 = s;
    o->_33 = c;
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationZ(D3DXMATRIX* o, FLOAT angle)
{
    if (!D3DXMatrixIdentity(o)) return nullptr;
    const float c = cosf(angle), s = sinf(angle);
    o->_11 = c;
    o->_12 = s;
    o->_21 = -s;
    o->_22 = c;
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationAxis(D3DXMATRIX* o, const D3DXVECTOR3* axis, FLOAT angle)
{
    if (!o || !axis) return nullptr;
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, axis);
    const float c = cosf(angle), s = sinf(angle), t = 1.0f - c;
    D3DXMatrixIdentity(o);
    o->_11 = t * v.x * v.x + c;
    o->_12 = t * v.x * v.y + s * v.z;
    o->_13 = t * v.x * v.z - s * v.y;
    o->_21 = t * v.x * v.y - s * v.z;
    o->_22 = t * v.y * v.y + c;
    o->_23 = t * v.y * v.z + s * v.x;
    o->_31 = t * v.x * v.z + s * v.y;
    o->_32 = t * v.y * v.z - s * v.x;
    o->_33 = t * v.z * v.z + c;
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationQuaternion(D3DXMATRIX* o, const D3DXQUATERNION* q)
{
    if (!o || !q) return nullptr;
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    D3DXMatrixIdentity(o);
    o->_11 = 1.0f - 2.0f * (y * y + z * z);
    o->_12 = 2.0f * (x * y + z * w);
    o->_13 = 2.0f * (x * z - y * w);
    o->_21 = 2.0f * (x * y - z * w);
    o->_22 = 1.0f - 2.0f * (x * x + z * z);
    o->_23 = 2.0f * (y * z + x * w);
    o->_31 = 2.0f * (x * z + y * w);
    o->_32 = 2.0f * (y * z - x * w);
    o->_33 = 1.0f - 2.0f * (x * x + y * y);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* o, FLOAT yaw, FLOAT pitch, FLOAT roll)
{
    if (!o) return nullptr;
    D3DXMATRIX rz, rx, ry;
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    *o = Multiply(Multiply(rz, rx), ry);
    return o;
}

namespace {

D3DXMATRIX* LookAt(D3DXMATRIX* o, const D3DXVECTOR3& eye, const D3DXVECTOR3& forward, const D3DXVECTOR3& up)
{
    D3DXVECTOR3 z, x, y;
    D3DXVec3Normalize(&z, &forward);
    D3DXVec3Cross(&x, &up, &z);
    D3DXVec3Normalize(&x, &x);
    D3DXVec3Cross(&y, &z, &x);
    *o = D3DXMATRIX(x.x, y.x, z.x, 0.0f, x.y, y.y, z.y, 0.0f, x.z, y.z, z.z, 0.0f, -D3DXVec3Dot(&x, &eye),
                    -D3DXVec3Dot(&y, &eye), -D3DXVec3Dot(&z, &eye), 1.0f);
    return o;
}

}  // namespace

D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* o, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up)
{
    if (!o || !eye || !at || !up) return nullptr;
    return LookAt(o, *eye, *at - *eye, *up);
}

D3DXMATRIX* WINAPI D3DXMatrixLookAtRH(D3DXMATRIX* o, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up)
{
    if (!o || !eye || !at || !up) return nullptr;
    return LookAt(o, *eye, *eye - *at, *up);
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* o, FLOAT fovy, FLOAT aspect, FLOAT zn, FLOAT zf)
{
    if (!o) return nullptr;
    const float ys = 1.0f / tanf(fovy * 0.5f);
    const float xs = ys / aspect;
    memset(o, 0, sizeof(*o));
    o->_11 = xs;
    o->_22 = ys;
    o->_33 = zf / (zf - zn);
    o->_34 = 1.0f;
    o->_43 = -zn * zf / (zf - zn);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovRH(D3DXMATRIX* o, FLOAT fovy, FLOAT aspect, FLOAT zn, FLOAT zf)
{
    if (!o) return nullptr;
    const float ys = 1.0f / tanf(fovy * 0.5f);
    const float xs = ys / aspect;
    memset(o, 0, sizeof(*o));
    o->_11 = xs;
    o->_22 = ys;
    o->_33 = zf / (zn - zf);
    o->_34 = -1.0f;
    o->_43 = zn * zf / (zn - zf);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveLH(D3DXMATRIX* o, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf)
{
    if (!o) return nullptr;
    memset(o, 0, sizeof(*o));
    o->_11 = 2.0f * zn / w;
    o->_22 = 2.0f * zn / h;
    o->_33 = zf / (zf - zn);
    o->_34 = 1.0f;
    o->_43 = zn * zf / (zn - zf);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* o, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                                    FLOAT zf)
{
    if (!o) return nullptr;
    memset(o, 0, sizeof(*o));
    o->_11 = 2.0f * zn / (r - l);
    o->_22 = 2.0f * zn / (t - b);
    o->_31 = (l + r) / (l - r);
    o->_32 = (t + b) / (b - t);
    o->_33 = zf / (zf - zn);
    o->_34 = 1.0f;
    o->_43 = zn * zf / (zn - zf);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoLH(D3DXMATRIX* o, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf)
{
    if (!D3DXMatrixIdentity(o)) return nullptr;
    o->_11 = 2.0f / w;
    o->_22 = 2.0f / h;
    o->_33 = 1.0f / (zf - zn);
    o->_43 = zn / (zn - zf);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoRH(D3DXMATRIX* o, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf)
{
    if (!D3DXMatrixIdentity(o)) return nullptr;
    o->_11 = 2.0f / w;
    o->_22 = 2.0f / h;
    o->_33 = 1.0f / (zn - zf);
    o->_43 = zn / (zn - zf);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* o, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf)
{
    if (!D3DXMatrixIdentity(o)) return nullptr;
    o->_11 = 2.0f / (r - l);
    o->_22 = 2.0f / (t - b);
    o->_33 = 1.0f / (zf - zn);
    o->_41 = (l + r) / (l - r);
    o->_42 = (t + b) / (b - t);
    o->_43 = zn / (zn - zf);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* o, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf)
{
    if (!D3DXMatrixOrthoOffCenterLH(o, l, r, b, t, zn, zf)) return nullptr;
    o->_33 = 1.0f / (zn - zf);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixReflect(D3DXMATRIX* o, const D3DXPLANE* plane)
{
    if (!o || !plane) return nullptr;
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    *o = D3DXMATRIX(1.0f - 2.0f * p.a * p.a, -2.0f * p.a * p.b, -2.0f * p.a * p.c, 0.0f, -2.0f * p.b * p.a,
                    1.0f - 2.0f * p.b * p.b, -2.0f * p.b * p.c, 0.0f, -2.0f * p.c * p.a, -2.0f * p.c * p.b,
                    1.0f - 2.0f * p.c * p.c, 0.0f, -2.0f * p.d * p.a, -2.0f * p.d * p.b, -2.0f * p.d * p.c, 1.0f);
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixShadow(D3DXMATRIX* o, const D3DXVECTOR4* light, const D3DXPLANE* plane)
{
    if (!o || !light || !plane) return nullptr;
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    const float pl[4] = {p.a, p.b, p.c, p.d};
    const float l[4] = {light->x, light->y, light->z, light->w};
    const float dot = pl[0] * l[0] + pl[1] * l[1] + pl[2] * l[2] + pl[3] * l[3];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) o->m[i][j] = (i == j ? dot : 0.0f) - pl[i] * l[j];
    return o;
}

D3DXMATRIX* WINAPI D3DXMatrixAffineTransformation(D3DXMATRIX* o, FLOAT scaling, const D3DXVECTOR3* center,
                                                  const D3DXQUATERNION* rotation, const D3DXVECTOR3* translation)
{
    if (!o) return nullptr;
    D3DXMatrixScaling(o, scaling, scaling, scaling);
    if (rotation) {
        D3DXMATRIX r, t;
        D3DXMatrixRotationQuaternion(&r, rotation);
        if (center) {
            D3DXMatrixTranslation(&t, -center->x, -center->y, -center->z);
            *o = Multiply(*o, t);
        }
        *o = Multiply(*o, r);
        if (center) {
            D3DXMatrixTranslation(&t, center->x, center->y, center->z);
            *o = Multiply(*o, t);
        }
    }
    if (translation) {
        o->_41 += translation->x;
        o->_42 += translation->y;
        o->_43 += translation->z;
    }
    return o;
}

// --- Quaternions ------------------------------------------------------------

D3DXQUATERNION* WINAPI D3DXQuaternionIdentity(D3DXQUATERNION* o)
{
    if (!o) return nullptr;
    *o = D3DXQUATERNION(0, 0, 0, 1);
    return o;
}

FLOAT WINAPI D3DXQuaternionLength(const D3DXQUATERNION* q)
{
    return q ? sqrtf(q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w) : 0.0f;
}

FLOAT WINAPI D3DXQuaternionDot(const D3DXQUATERNION* a, const D3DXQUATERNION* b)
{
    return (a && b) ? a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w : 0.0f;
}

D3DXQUATERNION* WINAPI D3DXQuaternionNormalize(D3DXQUATERNION* o, const D3DXQUATERNION* q)
{
    if (!o || !q) return nullptr;
    const float len = D3DXQuaternionLength(q);
    *o = len == 0.0f ? D3DXQUATERNION(0, 0, 0, 0) : *q * (1.0f / len);
    return o;
}

D3DXQUATERNION* WINAPI D3DXQuaternionConjugate(D3DXQUATERNION* o, const D3DXQUATERNION* q)
{
    if (!o || !q) return nullptr;
    *o = D3DXQUATERNION(-q->x, -q->y, -q->z, q->w);
    return o;
}

D3DXQUATERNION* WINAPI D3DXQuaternionInverse(D3DXQUATERNION* o, const D3DXQUATERNION* q)
{
    if (!o || !q) return nullptr;
    const float n = D3DXQuaternionDot(q, q);
    if (n == 0.0f) {
        *o = D3DXQUATERNION(0, 0, 0, 0);
        return o;
    }
    *o = D3DXQUATERNION(-q->x / n, -q->y / n, -q->z / n, q->w / n);
    return o;
}

D3DXQUATERNION* WINAPI D3DXQuaternionMultiply(D3DXQUATERNION* o, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2)
{
    if (!o || !q1 || !q2) return nullptr;
    // The Hamilton product q2 q1: q1's rotation first.
    const D3DXQUATERNION a = *q2, b = *q1;
    *o = D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                        a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
    return o;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationAxis(D3DXQUATERNION* o, const D3DXVECTOR3* axis, FLOAT angle)
{
    if (!o || !axis) return nullptr;
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, axis);
    const float s = sinf(angle * 0.5f);
    *o = D3DXQUATERNION(v.x * s, v.y * s, v.z * s, cosf(angle * 0.5f));
    return o;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationMatrix(D3DXQUATERNION* o, const D3DXMATRIX* pm)
{
    if (!o || !pm) return nullptr;
    const D3DXMATRIX& m = *pm;
    const float trace = m._11 + m._22 + m._33;
    if (trace > 0.0f) {
        const float s = 2.0f * sqrtf(trace + 1.0f);
        *o = D3DXQUATERNION((m._23 - m._32) / s, (m._31 - m._13) / s, (m._12 - m._21) / s, 0.25f * s);
    } else if (m._11 > m._22 && m._11 > m._33) {
        const float s = 2.0f * sqrtf(1.0f + m._11 - m._22 - m._33);
        *o = D3DXQUATERNION(0.25f * s, (m._12 + m._21) / s, (m._31 + m._13) / s, (m._23 - m._32) / s);
    } else if (m._22 > m._33) {
        const float s = 2.0f * sqrtf(1.0f + m._22 - m._11 - m._33);
        *o = D3DXQUATERNION((m._12 + m._21) / s, 0.25f * s, (m._23 + m._32) / s, (m._31 - m._13) / s);
    } else {
        const float s = 2.0f * sqrtf(1.0f + m._33 - m._11 - m._22);
        *o = D3DXQUATERNION((m._31 + m._13) / s, (m._23 + m._32) / s, 0.25f * s, (m._12 - m._21) / s);
    }
    return o;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* o, FLOAT yaw, FLOAT pitch, FLOAT roll)
{
    if (!o) return nullptr;
    D3DXQUATERNION qy, qx, qz, t;
    const D3DXVECTOR3 ax(1, 0, 0), ay(0, 1, 0), az(0, 0, 1);
    D3DXQuaternionRotationAxis(&qz, &az, roll);
    D3DXQuaternionRotationAxis(&qx, &ax, pitch);
    D3DXQuaternionRotationAxis(&qy, &ay, yaw);
    D3DXQuaternionMultiply(&t, &qz, &qx);
    return D3DXQuaternionMultiply(o, &t, &qy);
}

D3DXQUATERNION* WINAPI D3DXQuaternionSlerp(D3DXQUATERNION* o, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                           FLOAT t)
{
    if (!o || !q1 || !q2) return nullptr;
    float cosom = D3DXQuaternionDot(q1, q2);
    float sign = 1.0f;
    if (cosom < 0.0f) {
        cosom = -cosom;
        sign = -1.0f;
    }
    float k0 = 1.0f - t, k1 = t;
    if (1.0f - cosom > 0.0001f) {
        const float omega = acosf(cosom);
        const float sinom = sinf(omega);
        k0 = sinf((1.0f - t) * omega) / sinom;
        k1 = sinf(t * omega) / sinom;
    }
    k1 *= sign;
    *o = D3DXQUATERNION(k0 * q1->x + k1 * q2->x, k0 * q1->y + k1 * q2->y, k0 * q1->z + k1 * q2->z,
                        k0 * q1->w + k1 * q2->w);
    return o;
}

// --- Planes -----------------------------------------------------------------

FLOAT WINAPI D3DXPlaneDot(const D3DXPLANE* p, const D3DXVECTOR4* v)
{
    return (p && v) ? p->a * v->x + p->b * v->y + p->c * v->z + p->d * v->w : 0.0f;
}

FLOAT WINAPI D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v)
{
    return (p && v) ? p->a * v->x + p->b * v->y + p->c * v->z + p->d : 0.0f;
}

FLOAT WINAPI D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v)
{
    return (p && v) ? p->a * v->x + p->b * v->y + p->c * v->z : 0.0f;
}

D3DXPLANE* WINAPI D3DXPlaneNormalize(D3DXPLANE* o, const D3DXPLANE* p)
{
    if (!o || !p) return nullptr;
    const float len = sqrtf(p->a * p->a + p->b * p->b + p->c * p->c);
    if (len == 0.0f)
        *o = D3DXPLANE(0, 0, 0, 0);
    else
        *o = D3DXPLANE(p->a / len, p->b / len, p->c / len, p->d / len);
    return o;
}

D3DXPLANE* WINAPI D3DXPlaneFromPointNormal(D3DXPLANE* o, const D3DXVECTOR3* point, const D3DXVECTOR3* normal)
{
    if (!o || !point || !normal) return nullptr;
    *o = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
    return o;
}

D3DXPLANE* WINAPI D3DXPlaneFromPoints(D3DXPLANE* o, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2, const D3DXVECTOR3* v3)
{
    if (!o || !v1 || !v2 || !v3) return nullptr;
    const D3DXVECTOR3 e1 = *v2 - *v1, e2 = *v3 - *v1;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &e1, &e2);
    D3DXVec3Normalize(&n, &n);
    return D3DXPlaneFromPointNormal(o, v1, &n);
}

D3DXVECTOR3* WINAPI D3DXPlaneIntersectLine(D3DXVECTOR3* o, const D3DXPLANE* p, const D3DXVECTOR3* v1,
                                           const D3DXVECTOR3* v2)
{
    if (!o || !p || !v1 || !v2) return nullptr;
    const D3DXVECTOR3 dir = *v2 - *v1;
    const float denom = D3DXPlaneDotNormal(p, &dir);
    if (denom == 0.0f) return nullptr;
    const float t = -D3DXPlaneDotCoord(p, v1) / denom;
    *o = *v1 + dir * t;
    return o;
}

D3DXPLANE* WINAPI D3DXPlaneTransform(D3DXPLANE* o, const D3DXPLANE* p, const D3DXMATRIX* m)
{
    if (!o || !p || !m) return nullptr;
    const D3DXVECTOR4 v(p->a, p->b, p->c, p->d);
    D3DXVECTOR4 r;
    D3DXVec4Transform(&r, &v, m);
    *o = D3DXPLANE(r.x, r.y, r.z, r.w);
    return o;
}

// --- Colours ----------------------------------------------------------------

D3DXCOLOR* WINAPI D3DXColorAdd(D3DXCOLOR* o, const D3DXCOLOR* a, const D3DXCOLOR* b)
{
    if (!o || !a || !b) return nullptr;
    *o = *a + *b;
    return o;
}

D3DXCOLOR* WINAPI D3DXColorSubtract(D3DXCOLOR* o, const D3DXCOLOR* a, const D3DXCOLOR* b)
{
    if (!o || !a || !b) return nullptr;
    *o = *a - *b;
    return o;
}

D3DXCOLOR* WINAPI D3DXColorScale(D3DXCOLOR* o, const D3DXCOLOR* c, FLOAT s)
{
    if (!o || !c) return nullptr;
    *o = *c * s;
    return o;
}

D3DXCOLOR* WINAPI D3DXColorModulate(D3DXCOLOR* o, const D3DXCOLOR* a, const D3DXCOLOR* b)
{
    if (!o || !a || !b) return nullptr;
    *o = D3DXCOLOR(a->r * b->r, a->g * b->g, a->b * b->b, a->a * b->a);
    return o;
}

D3DXCOLOR* WINAPI D3DXColorLerp(D3DXCOLOR* o, const D3DXCOLOR* a, const D3DXCOLOR* b, FLOAT s)
{
    if (!o || !a || !b) return nullptr;
    *o = *a + (*b - *a) * s;
    return o;
}

D3DXCOLOR* WINAPI D3DXColorNegative(D3DXCOLOR* o, const D3DXCOLOR* c)
{
    if (!o || !c) return nullptr;
    *o = D3DXCOLOR(1.0f - c->r, 1.0f - c->g, 1.0f - c->b, c->a);
    return o;
}

// --- Geometry helpers -------------------------------------------------------

BOOL WINAPI D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                             const D3DXVECTOR3* rayPos, const D3DXVECTOR3* rayDir, FLOAT* pU, FLOAT* pV, FLOAT* pDist)
{
    if (!p0 || !p1 || !p2 || !rayPos || !rayDir) return FALSE;
    const D3DXVECTOR3 e1 = *p1 - *p0, e2 = *p2 - *p0;
    D3DXVECTOR3 pvec;
    D3DXVec3Cross(&pvec, rayDir, &e2);
    const float det = D3DXVec3Dot(&e1, &pvec);
    if (fabsf(det) < 1e-12f) return FALSE;
    const float inv = 1.0f / det;
    const D3DXVECTOR3 tvec = *rayPos - *p0;
    const float u = D3DXVec3Dot(&tvec, &pvec) * inv;
    if (u < 0.0f || u > 1.0f) return FALSE;
    D3DXVECTOR3 qvec;
    D3DXVec3Cross(&qvec, &tvec, &e1);
    const float v = D3DXVec3Dot(rayDir, &qvec) * inv;
    if (v < 0.0f || u + v > 1.0f) return FALSE;
    const float t = D3DXVec3Dot(&e2, &qvec) * inv;
    if (t < 0.0f) return FALSE;
    if (pU) *pU = u;
    if (pV) *pV = v;
    if (pDist) *pDist = t;
    return TRUE;
}

BOOL WINAPI D3DXSphereBoundProbe(const D3DXVECTOR3* center, FLOAT radius, const D3DXVECTOR3* rayPos,
                                 const D3DXVECTOR3* rayDir)
{
    if (!center || !rayPos || !rayDir) return FALSE;
    const D3DXVECTOR3 d = *rayPos - *center;
    const float a = D3DXVec3Dot(rayDir, rayDir);
    const float b = 2.0f * D3DXVec3Dot(&d, rayDir);
    const float c = D3DXVec3Dot(&d, &d) - radius * radius;
    const float disc = b * b - 4.0f * a * c;
    if (disc < 0.0f || a == 0.0f) return FALSE;
    const float sq = sqrtf(disc);
    return (-b + sq) / (2.0f * a) >= 0.0f ? TRUE : FALSE;
}

BOOL WINAPI D3DXBoxBoundProbe(const D3DXVECTOR3* pMin, const D3DXVECTOR3* pMax, const D3DXVECTOR3* rayPos,
                              const D3DXVECTOR3* rayDir)
{
    if (!pMin || !pMax || !rayPos || !rayDir) return FALSE;
    float tmin = -FLT_MAX, tmax = FLT_MAX;
    const float lo[3] = {pMin->x, pMin->y, pMin->z}, hi[3] = {pMax->x, pMax->y, pMax->z};
    const float o[3] = {rayPos->x, rayPos->y, rayPos->z}, d[3] = {rayDir->x, rayDir->y, rayDir->z};
    for (int i = 0; i < 3; ++i) {
        if (d[i] == 0.0f) {
            if (o[i] < lo[i] || o[i] > hi[i]) return FALSE;
            continue;
        }
        float t1 = (lo[i] - o[i]) / d[i], t2 = (hi[i] - o[i]) / d[i];
        if (t1 > t2) std::swap(t1, t2);
        tmin = std::max(tmin, t1);
        tmax = std::min(tmax, t2);
        if (tmin > tmax) return FALSE;
    }
    return tmax >= 0.0f ? TRUE : FALSE;
}

HRESULT WINAPI D3DXComputeBoundingBox(const D3DXVECTOR3* first, DWORD count, DWORD stride, D3DXVECTOR3* pMin,
                                      D3DXVECTOR3* pMax)
{
    if (!first || !pMin || !pMax || count == 0) return D3DERR_INVALIDCALL;
    const BYTE* p = reinterpret_cast<const BYTE*>(first);
    D3DXVECTOR3 v;
    memcpy(&v, p, sizeof(v));
    D3DXVECTOR3 lo = v, hi = v;
    for (DWORD i = 1; i < count; ++i) {
        memcpy(&v, p + (size_t)i * stride, sizeof(v));
        D3DXVec3Minimize(&lo, &lo, &v);
        D3DXVec3Maximize(&hi, &hi, &v);
    }
    *pMin = lo;
    *pMax = hi;
    return D3D_OK;
}

HRESULT WINAPI D3DXComputeBoundingSphere(const D3DXVECTOR3* first, DWORD count, DWORD stride, D3DXVECTOR3* pCenter,
                                         FLOAT* pRadius)
{
    if (!first || !pCenter || !pRadius || count == 0) return D3DERR_INVALIDCALL;
    const BYTE* p = reinterpret_cast<const BYTE*>(first);
    D3DXVECTOR3 sum(0, 0, 0), v;
    for (DWORD i = 0; i < count; ++i) {
        memcpy(&v, p + (size_t)i * stride, sizeof(v));
        sum += v;
    }
    const D3DXVECTOR3 c = sum / (float)count;
    float r = 0.0f;
    for (DWORD i = 0; i < count; ++i) {
        memcpy(&v, p + (size_t)i * stride, sizeof(v));
        const D3DXVECTOR3 d = v - c;
        r = std::max(r, D3DXVec3Length(&d));
    }
    *pCenter = c;
    *pRadius = r;
    return D3D_OK;
}

UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf)
{
    UINT size = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
        case 0:
            break;
        case D3DFVF_XYZ:
            size = 12;
            break;
        case D3DFVF_XYZRHW:
            size = 16;
            break;
        case D3DFVF_XYZB1:
            size = 16;
            break;
        case D3DFVF_XYZB2:
            size = 20;
            break;
        case D3DFVF_XYZB3:
            size = 24;
            break;
        case D3DFVF_XYZB4:
            size = 28;
            break;
        case D3DFVF_XYZB5:
            size = 32;
            break;
        case D3DFVF_XYZW:
            size = 16;
            break;
        default:
            return 0;
    }
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_PSIZE) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    const UINT texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (texCount > 8) return 0;
    for (UINT i = 0; i < texCount; ++i) {
        switch ((fvf >> (16 + 2 * i)) & 3) {
            case D3DFVF_TEXTUREFORMAT1:
                size += 4;
                break;
            case D3DFVF_TEXTUREFORMAT2:
                size += 8;
                break;
            case D3DFVF_TEXTUREFORMAT3:
                size += 12;
                break;
            case D3DFVF_TEXTUREFORMAT4:
                size += 16;
                break;
        }
    }
    return size;
}

// --- Float helpers ----------------------------------------------------------

D3DXFLOAT16* WINAPI D3DXFloat32To16Array(D3DXFLOAT16* o, const FLOAT* in, UINT n)
{
    if (!o || !in) return nullptr;
    for (UINT i = 0; i < n; ++i) {
        uint32_t b;
        memcpy(&b, &in[i], 4);
        const uint32_t sign = (b >> 16) & 0x8000;
        const uint32_t rawExp = (b >> 23) & 0xff;
        const int exp = (int)rawExp - 127 + 15;
        uint32_t mant = b & 0x7fffff;
        WORD h;
        if (rawExp == 0xff || exp >= 32) {
            h = (WORD)(sign | 0x7fff);  // no infinity or NaN: the largest magnitude
        } else if (exp <= 0) {
            if (exp < -10)
                h = (WORD)sign;
            else {
                mant |= 0x800000;
                const int shift = 14 - exp;
                h = (WORD)(sign | ((mant + (1u << (shift - 1))) >> shift));
            }
        } else {
            // Rounding may carry into the exponent; past exponent 31 it saturates.
            const uint32_t magnitude = ((uint32_t)exp << 10) + ((mant + 0x1000) >> 13);
            h = (WORD)(sign | (magnitude > 0x7fff ? 0x7fff : magnitude));
        }
        o[i].value = h;
    }
    return o;
}

FLOAT* WINAPI D3DXFloat16To32Array(FLOAT* o, const D3DXFLOAT16* in, UINT n)
{
    if (!o || !in) return nullptr;
    for (UINT i = 0; i < n; ++i) {
        const WORD h = in[i].value;
        const float sign = (h & 0x8000) ? -1.0f : 1.0f;
        const int exp = (h >> 10) & 0x1f;
        const int mant = h & 0x3ff;
        if (exp == 0)
            o[i] = sign * ldexpf((float)mant, -24);
        else  // exponent 31 too: finite, up to 131008
            o[i] = sign * ldexpf((float)(mant | 0x400), exp - 25);
    }
    return o;
}
