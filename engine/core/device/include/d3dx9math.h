// D3DX math: vectors, matrices, planes, colours and quaternions with the
// platform's names and formulas. Matrices are 4x4 floats for row vectors
// (v' = v * M, translation in the fourth row), left-handed; angles are
// radians. Every function returns its pOut argument (NULL when it fails).
#pragma once

#include "d3d9types.h"

#include <float.h>
#include <math.h>

#define D3DX_PI ((FLOAT)3.141592654f)                         // Pi.
#define D3DX_1BYPI ((FLOAT)0.318309886f)                      // One over pi.
#define D3DXToRadian(degree) ((degree) * (D3DX_PI / 180.0f))  // Degrees to radians.
#define D3DXToDegree(radian) ((radian) * (180.0f / D3DX_PI))  // Radians to degrees.

#ifndef D3DX_DEFAULT
#define D3DX_DEFAULT ((UINT)-1)           // Take the default (or the file's) value.
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)   // The file's size, not rounded up to a power of two.
#define D3DX_DEFAULT_FLOAT FLT_MAX        // Take the default float value.
#define D3DX_FROM_FILE ((UINT)-3)         // Take the value stored in the file.
#define D3DFMT_FROM_FILE ((D3DFORMAT)-3)  // Take the format stored in the file.
#endif

// A 2D vector of floats with arithmetic operators.
struct D3DXVECTOR2 {
    FLOAT x, y;  // The components.

    D3DXVECTOR2() = default;
    // From an array of the components in order.
    D3DXVECTOR2(const FLOAT* f) : x(f[0]), y(f[1]) {}
    // From the components.
    D3DXVECTOR2(FLOAT fx, FLOAT fy) : x(fx), y(fy) {}

    // The components as an array of floats.
    operator FLOAT*() { return &x; }
    // The components as a read-only array of floats.
    operator const FLOAT*() const { return &x; }

    // Adds component by component; returns *this.
    D3DXVECTOR2& operator+=(const D3DXVECTOR2& v)
    {
        x += v.x;
        y += v.y;
        return *this;
    }
    // Subtracts component by component; returns *this.
    D3DXVECTOR2& operator-=(const D3DXVECTOR2& v)
    {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    // Multiplies each component by f; returns *this.
    D3DXVECTOR2& operator*=(FLOAT f)
    {
        x *= f;
        y *= f;
        return *this;
    }
    // Divides each component by f; returns *this.
    D3DXVECTOR2& operator/=(FLOAT f)
    {
        x /= f;
        y /= f;
        return *this;
    }

    // A copy.
    D3DXVECTOR2 operator+() const { return *this; }
    // Each component negated.
    D3DXVECTOR2 operator-() const { return D3DXVECTOR2(-x, -y); }
    // The sum, component by component.
    D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x + v.x, y + v.y); }
    // The difference, component by component.
    D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x - v.x, y - v.y); }
    // Each component times f.
    D3DXVECTOR2 operator*(FLOAT f) const { return D3DXVECTOR2(x * f, y * f); }
    // Each component divided by f.
    D3DXVECTOR2 operator/(FLOAT f) const { return D3DXVECTOR2(x / f, y / f); }
    // Each component times f.
    friend D3DXVECTOR2 operator*(FLOAT f, const D3DXVECTOR2& v) { return D3DXVECTOR2(f * v.x, f * v.y); }

    // True when every component is equal.
    bool operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
    // True when any component differs.
    bool operator!=(const D3DXVECTOR2& v) const { return !(*this == v); }
};
typedef D3DXVECTOR2* LPD3DXVECTOR2;  // pointer to D3DXVECTOR2

// A 3D vector of floats with arithmetic operators.
struct D3DXVECTOR3 : public D3DVECTOR {
    D3DXVECTOR3() = default;
    // From an array of the components in order.
    D3DXVECTOR3(const FLOAT* f)
    {
        x = f[0];
        y = f[1];
        z = f[2];
    }
    // From a D3DVECTOR.
    D3DXVECTOR3(const D3DVECTOR& v)
    {
        x = v.x;
        y = v.y;
        z = v.z;
    }
    // From the components.
    D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz)
    {
        x = fx;
        y = fy;
        z = fz;
    }

    // The components as an array of floats.
    operator FLOAT*() { return &x; }
    // The components as a read-only array of floats.
    operator const FLOAT*() const { return &x; }

    // Adds component by component; returns *this.
    D3DXVECTOR3& operator+=(const D3DXVECTOR3& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    // Subtracts component by component; returns *this.
    D3DXVECTOR3& operator-=(const D3DXVECTOR3& v)
    {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    // Multiplies each component by f; returns *this.
    D3DXVECTOR3& operator*=(FLOAT f)
    {
        x *= f;
        y *= f;
        z *= f;
        return *this;
    }
    // Divides each component by f; returns *this.
    D3DXVECTOR3& operator/=(FLOAT f)
    {
        x /= f;
        y /= f;
        z /= f;
        return *this;
    }

    // A copy.
    D3DXVECTOR3 operator+() const { return *this; }
    // Each component negated.
    D3DXVECTOR3 operator-() const { return D3DXVECTOR3(-x, -y, -z); }
    // The sum, component by component.
    D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return D3DXVECTOR3(x + v.x, y + v.y, z + v.z); }
    // The difference, component by component.
    D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return D3DXVECTOR3(x - v.x, y - v.y, z - v.z); }
    // Each component times f.
    D3DXVECTOR3 operator*(FLOAT f) const { return D3DXVECTOR3(x * f, y * f, z * f); }
    // Each component divided by f.
    D3DXVECTOR3 operator/(FLOAT f) const { return D3DXVECTOR3(x / f, y / f, z / f); }
    // Each component times f.
    friend D3DXVECTOR3 operator*(FLOAT f, const D3DXVECTOR3& v) { return D3DXVECTOR3(f * v.x, f * v.y, f * v.z); }

    // True when every component is equal.
    bool operator==(const D3DXVECTOR3& v) const { return x == v.x && y == v.y && z == v.z; }
    // True when any component differs.
    bool operator!=(const D3DXVECTOR3& v) const { return !(*this == v); }
};
typedef D3DXVECTOR3* LPD3DXVECTOR3;  // pointer to D3DXVECTOR3

// A 4D vector of floats with arithmetic operators.
struct D3DXVECTOR4 {
    FLOAT x, y, z, w;  // The components; w is 1 for a point, 0 for a direction.

    D3DXVECTOR4() = default;
    // From an array of the components in order.
    D3DXVECTOR4(const FLOAT* f) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    // From x, y, z of v and w = fw.
    D3DXVECTOR4(const D3DVECTOR& v, FLOAT fw) : x(v.x), y(v.y), z(v.z), w(fw) {}
    // From the components.
    D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}

    // The components as an array of floats.
    operator FLOAT*() { return &x; }
    // The components as a read-only array of floats.
    operator const FLOAT*() const { return &x; }

    // Adds component by component; returns *this.
    D3DXVECTOR4& operator+=(const D3DXVECTOR4& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        w += v.w;
        return *this;
    }
    // Subtracts component by component; returns *this.
    D3DXVECTOR4& operator-=(const D3DXVECTOR4& v)
    {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        w -= v.w;
        return *this;
    }
    // Multiplies each component by f; returns *this.
    D3DXVECTOR4& operator*=(FLOAT f)
    {
        x *= f;
        y *= f;
        z *= f;
        w *= f;
        return *this;
    }
    // Divides each component by f; returns *this.
    D3DXVECTOR4& operator/=(FLOAT f)
    {
        x /= f;
        y /= f;
        z /= f;
        w /= f;
        return *this;
    }

    // A copy.
    D3DXVECTOR4 operator+() const { return *this; }
    // Each component negated.
    D3DXVECTOR4 operator-() const { return D3DXVECTOR4(-x, -y, -z, -w); }
    // The sum, component by component.
    D3DXVECTOR4 operator+(const D3DXVECTOR4& v) const { return D3DXVECTOR4(x + v.x, y + v.y, z + v.z, w + v.w); }
    // The difference, component by component.
    D3DXVECTOR4 operator-(const D3DXVECTOR4& v) const { return D3DXVECTOR4(x - v.x, y - v.y, z - v.z, w - v.w); }
    // Each component times f.
    D3DXVECTOR4 operator*(FLOAT f) const { return D3DXVECTOR4(x * f, y * f, z * f, w * f); }
    // Each component divided by f.
    D3DXVECTOR4 operator/(FLOAT f) const { return D3DXVECTOR4(x / f, y / f, z / f, w / f); }
    // Each component times f.
    friend D3DXVECTOR4 operator*(FLOAT f, const D3DXVECTOR4& v) { return v * f; }

    // True when every component is equal.
    bool operator==(const D3DXVECTOR4& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
    // True when any component differs.
    bool operator!=(const D3DXVECTOR4& v) const { return !(*this == v); }
};
typedef D3DXVECTOR4* LPD3DXVECTOR4;  // pointer to D3DXVECTOR4

// A D3DMATRIX with constructors and arithmetic operators.
struct D3DXMATRIX : public D3DMATRIX {
    D3DXMATRIX() = default;
    // From an array of the components in order.
    D3DXMATRIX(const FLOAT* f);
    // A copy of a D3DMATRIX.
    D3DXMATRIX(const D3DMATRIX& mat) : D3DMATRIX(mat) {}
    // From the sixteen elements, row by row.
    D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14, FLOAT f21, FLOAT f22, FLOAT f23, FLOAT f24, FLOAT f31,
               FLOAT f32, FLOAT f33, FLOAT f34, FLOAT f41, FLOAT f42, FLOAT f43, FLOAT f44);

    // The element in row, col (0 .. 3).
    FLOAT& operator()(UINT row, UINT col) { return m[row][col]; }
    // The element in row, col (0 .. 3), read-only.
    FLOAT operator()(UINT row, UINT col) const { return m[row][col]; }

    // The components as an array of floats.
    operator FLOAT*() { return &_11; }
    // The components as a read-only array of floats.
    operator const FLOAT*() const { return &_11; }

    // Multiplies by mat on the right; returns *this.
    D3DXMATRIX& operator*=(const D3DXMATRIX& mat);
    // Adds component by component; returns *this.
    D3DXMATRIX& operator+=(const D3DXMATRIX& mat);
    // Subtracts component by component; returns *this.
    D3DXMATRIX& operator-=(const D3DXMATRIX& mat);
    // Multiplies each component by f; returns *this.
    D3DXMATRIX& operator*=(FLOAT f);
    // Divides each component by f; returns *this.
    D3DXMATRIX& operator/=(FLOAT f);

    // A copy.
    D3DXMATRIX operator+() const { return *this; }
    // Each component negated.
    D3DXMATRIX operator-() const;
    D3DXMATRIX operator*(const D3DXMATRIX& mat) const;  // this * mat
    // The sum, component by component.
    D3DXMATRIX operator+(const D3DXMATRIX& mat) const;
    // The difference, component by component.
    D3DXMATRIX operator-(const D3DXMATRIX& mat) const;
    // Each component times f.
    D3DXMATRIX operator*(FLOAT f) const;
    // Each component divided by f.
    D3DXMATRIX operator/(FLOAT f) const;
    // Each component times f.
    friend D3DXMATRIX operator*(FLOAT f, const D3DXMATRIX& mat) { return mat * f; }

    // True when every component is equal.
    bool operator==(const D3DXMATRIX& mat) const;
    // True when any component differs.
    bool operator!=(const D3DXMATRIX& mat) const { return !(*this == mat); }
};
typedef D3DXMATRIX* LPD3DXMATRIX;  // pointer to D3DXMATRIX

// A rotation as a quaternion (x, y, z, w).
struct D3DXQUATERNION {
    FLOAT x, y, z, w;  // The vector part (x, y, z) and the scalar part (w).

    D3DXQUATERNION() = default;
    // From an array of the components in order.
    D3DXQUATERNION(const FLOAT* f) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    // From the components.
    D3DXQUATERNION(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}

    // The components as an array of floats.
    operator FLOAT*() { return &x; }
    // The components as a read-only array of floats.
    operator const FLOAT*() const { return &x; }

    // The sum, component by component.
    D3DXQUATERNION operator+(const D3DXQUATERNION& q) const
    {
        return D3DXQUATERNION(x + q.x, y + q.y, z + q.z, w + q.w);
    }
    // The difference, component by component.
    D3DXQUATERNION operator-(const D3DXQUATERNION& q) const
    {
        return D3DXQUATERNION(x - q.x, y - q.y, z - q.z, w - q.w);
    }
    // Each component times f.
    D3DXQUATERNION operator*(FLOAT f) const { return D3DXQUATERNION(x * f, y * f, z * f, w * f); }
    D3DXQUATERNION operator*(const D3DXQUATERNION& q) const;  // D3DXQuaternionMultiply(this, q)
    // True when every component is equal.
    bool operator==(const D3DXQUATERNION& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    // True when any component differs.
    bool operator!=(const D3DXQUATERNION& q) const { return !(*this == q); }
};
typedef D3DXQUATERNION* LPD3DXQUATERNION;  // pointer to D3DXQUATERNION

// Plane a*x + b*y + c*z + d = 0.
struct D3DXPLANE {
    FLOAT a, b, c, d;  // The plane a*x + b*y + c*z + d = 0; (a, b, c) is its normal.

    D3DXPLANE() = default;
    // From an array of the components in order.
    D3DXPLANE(const FLOAT* f) : a(f[0]), b(f[1]), c(f[2]), d(f[3]) {}
    // From the components.
    D3DXPLANE(FLOAT fa, FLOAT fb, FLOAT fc, FLOAT fd) : a(fa), b(fb), c(fc), d(fd) {}

    // The components as an array of floats.
    operator FLOAT*() { return &a; }
    // The components as a read-only array of floats.
    operator const FLOAT*() const { return &a; }

    // Each component negated.
    D3DXPLANE operator-() const { return D3DXPLANE(-a, -b, -c, -d); }
    // True when every component is equal.
    bool operator==(const D3DXPLANE& p) const { return a == p.a && b == p.b && c == p.c && d == p.d; }
    // True when any component differs.
    bool operator!=(const D3DXPLANE& p) const { return !(*this == p); }
};
typedef D3DXPLANE* LPD3DXPLANE;  // pointer to D3DXPLANE

// A colour of four floats. As a DWORD each channel becomes 255 at or above
// 1.0, 0 at or below 0.0, else trunc(c * 255 + 0.5), packed as ARGB.
struct D3DXCOLOR {
    FLOAT r, g, b, a;  // Red, green, blue and alpha, 0 to 1 (values outside are kept).

    D3DXCOLOR() = default;
    // From a packed ARGB colour, each channel divided by 255.
    D3DXCOLOR(DWORD argb);
    // From an array of the components in order.
    D3DXCOLOR(const FLOAT* f) : r(f[0]), g(f[1]), b(f[2]), a(f[3]) {}
    // From a D3DCOLORVALUE.
    D3DXCOLOR(const D3DCOLORVALUE& c) : r(c.r), g(c.g), b(c.b), a(c.a) {}
    // From the components.
    D3DXCOLOR(FLOAT fr, FLOAT fg, FLOAT fb, FLOAT fa) : r(fr), g(fg), b(fb), a(fa) {}

    // Packed as ARGB, as above.
    operator DWORD() const;
    // The components as an array of floats.
    operator FLOAT*() { return &r; }
    // The components as a read-only array of floats.
    operator const FLOAT*() const { return &r; }
    // The colour as a D3DCOLORVALUE.
    operator D3DCOLORVALUE*() { return reinterpret_cast<D3DCOLORVALUE*>(&r); }
    // The colour as a read-only D3DCOLORVALUE.
    operator const D3DCOLORVALUE*() const { return reinterpret_cast<const D3DCOLORVALUE*>(&r); }
    // The colour as a D3DCOLORVALUE.
    operator D3DCOLORVALUE&() { return *reinterpret_cast<D3DCOLORVALUE*>(&r); }
    // The colour as a read-only D3DCOLORVALUE.
    operator const D3DCOLORVALUE&() const { return *reinterpret_cast<const D3DCOLORVALUE*>(&r); }

    // Adds component by component; returns *this.
    D3DXCOLOR& operator+=(const D3DXCOLOR& c)
    {
        r += c.r;
        g += c.g;
        b += c.b;
        a += c.a;
        return *this;
    }
    // Subtracts component by component; returns *this.
    D3DXCOLOR& operator-=(const D3DXCOLOR& c)
    {
        r -= c.r;
        g -= c.g;
        b -= c.b;
        a -= c.a;
        return *this;
    }
    // Multiplies each component by f; returns *this.
    D3DXCOLOR& operator*=(FLOAT f)
    {
        r *= f;
        g *= f;
        b *= f;
        a *= f;
        return *this;
    }
    // Divides each component by f; returns *this.
    D3DXCOLOR& operator/=(FLOAT f)
    {
        r /= f;
        g /= f;
        b /= f;
        a /= f;
        return *this;
    }

    // A copy.
    D3DXCOLOR operator+() const { return *this; }
    // Each component negated.
    D3DXCOLOR operator-() const { return D3DXCOLOR(-r, -g, -b, -a); }
    // The sum, component by component.
    D3DXCOLOR operator+(const D3DXCOLOR& c) const { return D3DXCOLOR(r + c.r, g + c.g, b + c.b, a + c.a); }
    // The difference, component by component.
    D3DXCOLOR operator-(const D3DXCOLOR& c) const { return D3DXCOLOR(r - c.r, g - c.g, b - c.b, a - c.a); }
    // Each component times f.
    D3DXCOLOR operator*(FLOAT f) const { return D3DXCOLOR(r * f, g * f, b * f, a * f); }
    // Each component divided by f.
    D3DXCOLOR operator/(FLOAT f) const { return D3DXCOLOR(r / f, g / f, b / f, a / f); }
    // Each component times f.
    friend D3DXCOLOR operator*(FLOAT f, const D3DXCOLOR& c) { return c * f; }

    // True when every component is equal.
    bool operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
    // True when any component differs.
    bool operator!=(const D3DXCOLOR& c) const { return !(*this == c); }
};
typedef D3DXCOLOR* LPD3DXCOLOR;  // pointer to D3DXCOLOR

// --- 2D vectors -------------------------------------------------------------
// The vector's length.
FLOAT WINAPI D3DXVec2Length(const D3DXVECTOR2* pV);
// The squared length: no square root.
FLOAT WINAPI D3DXVec2LengthSq(const D3DXVECTOR2* pV);
// The dot product.
FLOAT WINAPI D3DXVec2Dot(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
FLOAT WINAPI D3DXVec2CCW(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);  // z of the 3D cross product
// pOut = pV1 + pV2; returns pOut.
D3DXVECTOR2* WINAPI D3DXVec2Add(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
// pOut = pV1 - pV2; returns pOut.
D3DXVECTOR2* WINAPI D3DXVec2Subtract(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
// pOut = pV * s; returns pOut.
D3DXVECTOR2* WINAPI D3DXVec2Scale(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, FLOAT s);
// pOut = pV1 + s * (pV2 - pV1); returns pOut.
D3DXVECTOR2* WINAPI D3DXVec2Lerp(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2, FLOAT s);
// The smaller of each component; returns pOut.
D3DXVECTOR2* WINAPI D3DXVec2Minimize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
// The larger of each component; returns pOut.
D3DXVECTOR2* WINAPI D3DXVec2Maximize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
// A zero vector normalises to zero.
D3DXVECTOR2* WINAPI D3DXVec2Normalize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV);
// (x, y, 0, 1) * M.
D3DXVECTOR4* WINAPI D3DXVec2Transform(D3DXVECTOR4* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM);
// (x, y, 0, 1) * M, divided by w.
D3DXVECTOR2* WINAPI D3DXVec2TransformCoord(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM);
// (x, y, 0, 0) * M.
D3DXVECTOR2* WINAPI D3DXVec2TransformNormal(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM);

// --- 3D vectors -------------------------------------------------------------
// The vector's length.
FLOAT WINAPI D3DXVec3Length(const D3DXVECTOR3* pV);
// The squared length: no square root.
FLOAT WINAPI D3DXVec3LengthSq(const D3DXVECTOR3* pV);
// The dot product.
FLOAT WINAPI D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
// pOut = pV1 x pV2 (may alias either input); returns pOut.
D3DXVECTOR3* WINAPI D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
// pOut = pV1 + pV2; returns pOut.
D3DXVECTOR3* WINAPI D3DXVec3Add(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
// pOut = pV1 - pV2; returns pOut.
D3DXVECTOR3* WINAPI D3DXVec3Subtract(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
// pOut = pV * s; returns pOut.
D3DXVECTOR3* WINAPI D3DXVec3Scale(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, FLOAT s);
// pOut = pV1 + s * (pV2 - pV1); returns pOut.
D3DXVECTOR3* WINAPI D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, FLOAT s);
// The smaller of each component; returns pOut.
D3DXVECTOR3* WINAPI D3DXVec3Minimize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
// The larger of each component; returns pOut.
D3DXVECTOR3* WINAPI D3DXVec3Maximize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
// A zero vector normalises to zero.
D3DXVECTOR3* WINAPI D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV);
// (x, y, z, 1) * M.
D3DXVECTOR4* WINAPI D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
// (x, y, z, 1) * M, divided by w.
D3DXVECTOR3* WINAPI D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
// (x, y, z, 0) * M: directions and normals (no translation).
D3DXVECTOR3* WINAPI D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
// Object space to viewport pixels (x, y) and viewport depth (z). Any of the
// three matrices may be NULL (identity); with a NULL viewport, to normalised
// device coordinates.
D3DXVECTOR3* WINAPI D3DXVec3Project(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                                    const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld);
// The inverse of D3DXVec3Project (from normalised device coordinates with a
// NULL viewport); NULL when world * view * projection is singular.
D3DXVECTOR3* WINAPI D3DXVec3Unproject(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                                      const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld);

// --- 4D vectors -------------------------------------------------------------
// The vector's length.
FLOAT WINAPI D3DXVec4Length(const D3DXVECTOR4* pV);
// The dot product of all four components.
FLOAT WINAPI D3DXVec4Dot(const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2);
// The vector scaled to length 1; a zero vector normalises to zero.
D3DXVECTOR4* WINAPI D3DXVec4Normalize(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV);
// pV * M; returns pOut.
D3DXVECTOR4* WINAPI D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM);
// pOut = pV1 + s * (pV2 - pV1); returns pOut.
D3DXVECTOR4* WINAPI D3DXVec4Lerp(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2, FLOAT s);

// --- Matrices ---------------------------------------------------------------
// Sets the identity matrix; returns pOut.
D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* pOut);
// TRUE when the matrix is the identity exactly.
BOOL WINAPI D3DXMatrixIsIdentity(const D3DXMATRIX* pM);
// The matrix's determinant.
FLOAT WINAPI D3DXMatrixDeterminant(const D3DXMATRIX* pM);
// pOut = pM1 * pM2 (pM1's transform first). pOut may alias either input.
D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
// The transpose of pM1 * pM2; returns pOut.
D3DXMATRIX* WINAPI D3DXMatrixMultiplyTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
// The transpose of pM (may alias pOut); returns pOut.
D3DXMATRIX* WINAPI D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM);
// NULL (and pOut untouched) when pM is singular; pDeterminant may be NULL.
D3DXMATRIX* WINAPI D3DXMatrixInverse(D3DXMATRIX* pOut, FLOAT* pDeterminant, const D3DXMATRIX* pM);
// A scaling by sx, sy, sz along the axes; returns pOut.
D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* pOut, FLOAT sx, FLOAT sy, FLOAT sz);
// A translation by x, y, z; returns pOut.
D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* pOut, FLOAT x, FLOAT y, FLOAT z);
// Rotations, clockwise when looking along the axis toward the origin.
D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* pOut, FLOAT angle);
// A rotation about the y axis by angle radians, as D3DXMatrixRotationX.
D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* pOut, FLOAT angle);
// A rotation about the z axis by angle radians, as D3DXMatrixRotationX.
D3DXMATRIX* WINAPI D3DXMatrixRotationZ(D3DXMATRIX* pOut, FLOAT angle);
// A rotation about the axis pV (normalised first) by angle radians.
D3DXMATRIX* WINAPI D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, FLOAT angle);
// The rotation the quaternion stands for (normalised or not as given).
D3DXMATRIX* WINAPI D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ);
// Roll about z, then pitch about x, then yaw about y.
D3DXMATRIX* WINAPI D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, FLOAT yaw, FLOAT pitch, FLOAT roll);
// A left-handed view matrix from the eye toward pAt, with pUp as up.
D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                                      const D3DXVECTOR3* pUp);
// A right-handed view matrix from the eye toward pAt, with pUp as up.
D3DXMATRIX* WINAPI D3DXMatrixLookAtRH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                                      const D3DXVECTOR3* pUp);
// Depth maps near..far to 0..1.
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, FLOAT fovy, FLOAT aspect, FLOAT zn, FLOAT zf);
// As D3DXMatrixPerspectiveFovLH, right-handed.
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovRH(D3DXMATRIX* pOut, FLOAT fovy, FLOAT aspect, FLOAT zn, FLOAT zf);
// A left-handed perspective projection of a view w by h wide at the near plane.
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveLH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
// A left-handed perspective projection of the near-plane rectangle l..r, b..t.
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                                    FLOAT zf);
// A left-handed orthographic projection of a view w by h; depth zn..zf to 0..1.
D3DXMATRIX* WINAPI D3DXMatrixOrthoLH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
// As D3DXMatrixOrthoLH, right-handed.
D3DXMATRIX* WINAPI D3DXMatrixOrthoRH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
// A left-handed orthographic projection of the rectangle l..r, b..t.
D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf);
// As D3DXMatrixOrthoOffCenterLH, right-handed.
D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf);
// Reflection about the plane (normalised first).
D3DXMATRIX* WINAPI D3DXMatrixReflect(D3DXMATRIX* pOut, const D3DXPLANE* pPlane);
// Flattens onto the plane as seen from the light (w = 0: a direction).
D3DXMATRIX* WINAPI D3DXMatrixShadow(D3DXMATRIX* pOut, const D3DXVECTOR4* pLight, const D3DXPLANE* pPlane);
// Scaling, then rotation about the centre, then translation; any pointer may be NULL.
D3DXMATRIX* WINAPI D3DXMatrixAffineTransformation(D3DXMATRIX* pOut, FLOAT scaling, const D3DXVECTOR3* pRotationCenter,
                                                  const D3DXQUATERNION* pRotation, const D3DXVECTOR3* pTranslation);

// --- Quaternions ------------------------------------------------------------
// Sets the identity quaternion (0, 0, 0, 1); returns pOut.
D3DXQUATERNION* WINAPI D3DXQuaternionIdentity(D3DXQUATERNION* pOut);
// The quaternion's length.
FLOAT WINAPI D3DXQuaternionLength(const D3DXQUATERNION* pQ);
// The dot product of the four components.
FLOAT WINAPI D3DXQuaternionDot(const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2);
// The quaternion scaled to length 1; returns pOut.
D3DXQUATERNION* WINAPI D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// (-x, -y, -z, w); returns pOut.
D3DXQUATERNION* WINAPI D3DXQuaternionConjugate(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// The inverse: the conjugate divided by the squared length; returns pOut.
D3DXQUATERNION* WINAPI D3DXQuaternionInverse(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// The rotation of pQ1 followed by that of pQ2.
D3DXQUATERNION* WINAPI D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                              const D3DXQUATERNION* pQ2);
// The rotation about the axis pV (normalised first) by angle radians.
D3DXQUATERNION* WINAPI D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, FLOAT angle);
// The rotation part of the matrix as a quaternion.
D3DXQUATERNION* WINAPI D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM);
// The rotation of D3DXMatrixRotationYawPitchRoll as a quaternion.
D3DXQUATERNION* WINAPI D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pOut, FLOAT yaw, FLOAT pitch, FLOAT roll);
// The spherical blend from pQ1 (t = 0) to pQ2 (t = 1), along the shorter arc.
D3DXQUATERNION* WINAPI D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2,
                                           FLOAT t);

// --- Planes -----------------------------------------------------------------
// a*x + b*y + c*z + d*w.
FLOAT WINAPI D3DXPlaneDot(const D3DXPLANE* pP, const D3DXVECTOR4* pV);
// a*x + b*y + c*z + d: the signed distance for a normalised plane.
FLOAT WINAPI D3DXPlaneDotCoord(const D3DXPLANE* pP, const D3DXVECTOR3* pV);
// a*x + b*y + c*z: the plane's normal dotted with a direction.
FLOAT WINAPI D3DXPlaneDotNormal(const D3DXPLANE* pP, const D3DXVECTOR3* pV);
// The plane scaled so that its normal has length 1; returns pOut.
D3DXPLANE* WINAPI D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP);
// The plane through pPoint with normal pNormal (used as given, not normalised).
D3DXPLANE* WINAPI D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal);
// The plane through three points, normal (v2 - v1) x (v3 - v1) normalised.
D3DXPLANE* WINAPI D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2,
                                      const D3DXVECTOR3* pV3);
// Where the line v1..v2 meets the plane; NULL when it is parallel.
D3DXVECTOR3* WINAPI D3DXPlaneIntersectLine(D3DXVECTOR3* pOut, const D3DXPLANE* pP, const D3DXVECTOR3* pV1,
                                           const D3DXVECTOR3* pV2);
// Transforms by pM, which must be the inverse transpose of the point transform.
D3DXPLANE* WINAPI D3DXPlaneTransform(D3DXPLANE* pOut, const D3DXPLANE* pP, const D3DXMATRIX* pM);

// --- Colours ----------------------------------------------------------------
// pOut = pC1 + pC2, per channel, unclamped; returns pOut.
D3DXCOLOR* WINAPI D3DXColorAdd(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2);
// pOut = pC1 - pC2, per channel, unclamped; returns pOut.
D3DXCOLOR* WINAPI D3DXColorSubtract(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2);
// pOut = pC * s, per channel; returns pOut.
D3DXCOLOR* WINAPI D3DXColorScale(D3DXCOLOR* pOut, const D3DXCOLOR* pC, FLOAT s);
// pOut = pC1 * pC2, channel by channel; returns pOut.
D3DXCOLOR* WINAPI D3DXColorModulate(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2);
// pOut = pC1 + s * (pC2 - pC1); returns pOut.
D3DXCOLOR* WINAPI D3DXColorLerp(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2, FLOAT s);
// (1 - r, 1 - g, 1 - b, a); returns pOut.
D3DXCOLOR* WINAPI D3DXColorNegative(D3DXCOLOR* pOut, const D3DXCOLOR* pC);

// --- Geometry helpers -------------------------------------------------------
// Ray against the triangle p0 p1 p2 (either side). On a hit: TRUE, the
// barycentric pU (weight of p1) and pV (weight of p2) and the distance along
// the ray in units of |pRayDir|; any of the three outputs may be NULL.
BOOL WINAPI D3DXIntersectTri(const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                             const D3DXVECTOR3* pRayPos, const D3DXVECTOR3* pRayDir, FLOAT* pU, FLOAT* pV,
                             FLOAT* pDist);
// TRUE when the ray meets the sphere ahead of its start, or starts inside it.
BOOL WINAPI D3DXSphereBoundProbe(const D3DXVECTOR3* pCenter, FLOAT radius, const D3DXVECTOR3* pRayPosition,
                                 const D3DXVECTOR3* pRayDirection);
// TRUE when the ray meets the axis-aligned box pMin..pMax.
BOOL WINAPI D3DXBoxBoundProbe(const D3DXVECTOR3* pMin, const D3DXVECTOR3* pMax, const D3DXVECTOR3* pRayPosition,
                              const D3DXVECTOR3* pRayDirection);
// Box around numVertices positions read every stride bytes from pFirstPosition.
// D3DERR_INVALIDCALL for NULL pointers or no vertices.
HRESULT WINAPI D3DXComputeBoundingBox(const D3DXVECTOR3* pFirstPosition, DWORD numVertices, DWORD stride,
                                      D3DXVECTOR3* pMin, D3DXVECTOR3* pMax);
// A sphere around numVertices positions read as for D3DXComputeBoundingBox, centred on their average;
// D3DERR_INVALIDCALL for NULL pointers or no vertices.
HRESULT WINAPI D3DXComputeBoundingSphere(const D3DXVECTOR3* pFirstPosition, DWORD numVertices, DWORD stride,
                                         D3DXVECTOR3* pCenter, FLOAT* pRadius);
// Bytes of one vertex of the flexible vertex format; 0 for an invalid one.
UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf);

// --- Float helpers ----------------------------------------------------------
// 16-bit floats in D3DX's half format: IEEE half precision except that
// exponent 31 holds finite values (up to 131008) and there is no infinity or
// NaN; both convert to the largest magnitude, 0x7FFF or 0xFFFF.
// A 16-bit float in the format above.
struct D3DXFLOAT16 {
    WORD value;  // the raw bits
};
// Converts n floats to the 16-bit format; returns pOut.
D3DXFLOAT16* WINAPI D3DXFloat32To16Array(D3DXFLOAT16* pOut, const FLOAT* pIn, UINT n);
// Converts n 16-bit floats to floats; returns pOut.
FLOAT* WINAPI D3DXFloat16To32Array(FLOAT* pOut, const D3DXFLOAT16* pIn, UINT n);
