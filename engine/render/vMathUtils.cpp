#include "vMathUtils.h"

#include <cmath>
#include <cstring>

#include "vEngine.h"

namespace {

struct DebugLineVertex {
    float x, y, z;
    DWORD color;
};
static_assert(sizeof(DebugLineVertex) == 16, "debug line vertices are 16 bytes");

float FloatFromBits(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

const float kAngleBound = FloatFromBits(0x40490FDA);      // 3.1415925, one ulp below pi
const float kInv32767 = FloatFromBits(0x38000100);        // 1 / 32767
const float kTwoOver32767 = FloatFromBits(0x38800100);    // 2 / 32767
const float kTwoPiOver32767 = FloatFromBits(0x3949116D);  // 2 pi / 32767
const float kPi = FloatFromBits(0x40490FDB);
const float kCircleStep = FloatFromBits(0x3EA0D97B);  // 0.31415924: 20 segments

// The generator's state, per thread, starting at 1 and never reseeded.
thread_local uint32_t t_randomState = 1;

}  // namespace

D3DXVECTOR3 GetMouse3D(float x, float y, D3DXMATRIX* view, float z)
{
    D3DXVECTOR3 result(0.0f, 0.0f, 0.0f);
    if (!objDevice || !view) return result;
    D3DVIEWPORT9 viewport;
    std::memset(&viewport, 0, sizeof(viewport));
    objDevice->GetViewport(&viewport);
    D3DXVECTOR3 screen(x, y, z);
    D3DXVec3Unproject(&result, &screen, &viewport, &ev_matrix3DProj, view, &ev_matrixIdentity);
    return result;
}

POINT GetLocalMousePos(HWND hWnd, bool hideCursor)
{
    RECT windowRect = {0, 0, 0, 0};
    POINT cursor = {0, 0};
    GetWindowRect(hWnd, &windowRect);
    GetCursorPos(&cursor);
    if (hideCursor) {
        if (PtInRect(&windowRect, cursor) == 1)
            ShowCursor(FALSE);
        else
            ShowCursor(TRUE);
    }
    ScreenToClient(hWnd, &cursor);
    return cursor;
}

float DistanceVector3D(D3DXVECTOR3 a, D3DXVECTOR3 b)
{
    long double dx = (long double)a.x - b.x;
    long double dy = (long double)a.y - b.y;
    long double dz = (long double)a.z - b.z;
    return (float)std::sqrt(dx * dx + dy * dy + dz * dz);
}

char* wstring2string(const unsigned short* text)
{
    size_t length = 0;
    if (text) {
        while (text[length] != 0) ++length;
    }
    char* result = new char[length + 1];
    for (size_t i = 0; i < length; ++i) result[i] = (text[i] & 0xFF00) ? '?' : (char)(text[i] & 0xFF);
    result[length] = 0;
    return result;
}

void FixAngle(float& angle)
{
    if (angle > kAngleBound)
        angle = -kAngleBound;
    else if (angle < -kAngleBound)
        angle = kAngleBound;
}

int EngineRand()
{
    t_randomState = t_randomState * 214013u + 2531011u;
    return (int)((t_randomState >> 16) & 0x7FFF);
}

float RndNumber(float low, float high)
{
    float r = (float)EngineRand();
    return r * (high - low) * kInv32767 + low;
}

D3DXVECTOR3 GetRandomVector()
{
    float z = (float)EngineRand() * kTwoOver32767 - 1.0f;
    float t = (float)std::sqrt(1.0 - (double)z * z);
    float theta = (float)EngineRand() * kTwoPiOver32767 - kPi;
    return D3DXVECTOR3(t * std::cos(theta), t * std::sin(theta), z);
}

void CreateTrigMatrix(D3DXMATRIX* out, D3DXVECTOR3* position, float angle, D3DXVECTOR3* scale)
{
    if (!out) return;
    D3DXMATRIX rotation, scaling;
    D3DXMatrixRotationY(&rotation, angle);
    if (scale)
        D3DXMatrixScaling(&scaling, scale->x, scale->y, scale->z);
    else
        D3DXMatrixIdentity(&scaling);
    D3DXMatrixMultiply(out, &rotation, &scaling);
    if (position) {
        out->_41 = position->x;
        out->_42 = position->y;
        out->_43 = position->z;
    }
}

void RescaleMatrix(D3DXMATRIX* matrix, D3DXVECTOR3 scale)
{
    if (!matrix) return;
    float x = matrix->_41, y = matrix->_42, z = matrix->_43;
    D3DXMatrixScaling(matrix, scale.x, scale.y, scale.z);
    matrix->_41 = x;
    matrix->_42 = y;
    matrix->_43 = z;
}

void SetMatrixPosition(D3DXMATRIX* matrix, D3DXVECTOR3 position)
{
    if (!matrix) return;
    matrix->_41 = position.x;
    matrix->_42 = position.y;
    matrix->_43 = position.z;
}

void TransformVectorCoord(D3DXVECTOR3* vector, D3DXMATRIX* matrix)
{
    if (!vector || !matrix) return;
    D3DXVECTOR3 in = *vector;
    D3DXVec3TransformCoord(vector, &in, matrix);
}

void TransformVectorNormal(D3DXVECTOR3* vector, D3DXMATRIX* matrix)
{
    if (!vector || !matrix) return;
    D3DXVECTOR3 in = *vector;
    D3DXVec3TransformNormal(vector, &in, matrix);
}

void MatrixInvert(D3DXMATRIX* matrix)
{
    if (!matrix) return;
    D3DXMATRIX in = *matrix;
    D3DXMatrixInverse(matrix, NULL, &in);
}

void ScaleVector(D3DXVECTOR3* vector, float factor)
{
    if (!vector) return;
    vector->x *= factor;
    vector->y *= factor;
    vector->z *= factor;
}

D3DXVECTOR3 CalculateTrisNormal(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c)
{
    float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    D3DXVECTOR3 n(uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx);
    D3DXVec3Normalize(&n, &n);
    return n;
}

void Draw3DLine(D3DXVECTOR3 from, D3DXVECTOR3 to, DWORD color)
{
    if (!objDevice) return;
    DebugLineVertex vertices[2] = {{from.x, from.y, from.z, color}, {to.x, to.y, to.z, color}};
    objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);
    objDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    objDevice->DrawPrimitiveUP(D3DPT_LINESTRIP, 1, vertices, sizeof(DebugLineVertex));
}

void Draw3DCircle(D3DXVECTOR3 centre, float radius, DWORD color)
{
    // Segment k joins the points at angles k*step and (k+1)*step, k = -1 ... 18.
    for (int k = -1; k <= 18; ++k) {
        float a0 = (float)k * kCircleStep;
        float a1 = (float)(k + 1) * kCircleStep;
        D3DXVECTOR3 from(centre.x + radius * std::cos(a0), centre.y, centre.z + radius * std::sin(a0));
        D3DXVECTOR3 to(centre.x + radius * std::cos(a1), centre.y, centre.z + radius * std::sin(a1));
        Draw3DLine(from, to, color);
    }
}
