// Free helpers of the engine: picking, mouse position, vector and matrix
// operations, the engine's random numbers, triangle normals and debug lines.
// The drawing helpers use objDevice and leave the states they set in place.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

// World point under screen pixel (x, y) at depth z (0 near plane, 1 far plane),
// through the current viewport, ev_matrix3DProj and the given view. Origin without a device.
D3DXVECTOR3 GetMouse3D(float x, float y, D3DXMATRIX* view, float z);
// Cursor in client coordinates of the window; with hideCursor the cursor is
// hidden inside the window and shown outside (one ShowCursor call per query).
POINT GetLocalMousePos(HWND hWnd, bool hideCursor);
float DistanceVector3D(D3DXVECTOR3 a, D3DXVECTOR3 b);  // length of b - a
// New narrow copy of a zero-terminated string of 16-bit units; units above 255
// become '?'. The caller releases it with delete[]; NULL in gives an empty string.
char* wstring2string(const unsigned short* text);
// Limits an angle: above 3.1415925 it becomes -3.1415925, below -3.1415925 it
// becomes 3.1415925 (one step, not a modular wrap).
// kept: the bound one ulp below pi and the single step, as programs expect them.
void FixAngle(float& angle);

// The engine's own 15-bit generator (multiplier 214013, increment 2531011),
// state per thread starting at 1, never reseeded. 0 ... 32767.
int EngineRand();
float RndNumber(float low, float high);  // in [low, high], both ends reachable
D3DXVECTOR3 GetRandomVector();           // uniform direction, length 1

// out = RotationY(angle) x Scaling(*scale), translation *position. Null out: nothing.
void CreateTrigMatrix(D3DXMATRIX* out, D3DXVECTOR3* position, float angle, D3DXVECTOR3* scale);
// Replaces the matrix by a scaling, keeping its translation. Null matrix: nothing.
void RescaleMatrix(D3DXMATRIX* matrix, D3DXVECTOR3 scale);
void SetMatrixPosition(D3DXMATRIX* matrix, D3DXVECTOR3 position);     // writes _41, _42, _43
void TransformVectorCoord(D3DXVECTOR3* vector, D3DXMATRIX* matrix);   // in place, with w divide
void TransformVectorNormal(D3DXVECTOR3* vector, D3DXMATRIX* matrix);  // in place, no translation
void MatrixInvert(D3DXMATRIX* matrix);                                // in place
void ScaleVector(D3DXVECTOR3* vector, float factor);                  // in place
// Unit normal of triangle (a, b, c), (b - a) x (c - a); zero for a degenerate triangle.
D3DXVECTOR3 CalculateTrisNormal(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c);

// One world-space line; leaves lighting off and the world transform identity.
void Draw3DLine(D3DXVECTOR3 from, D3DXVECTOR3 to, DWORD color);
// Horizontal circle of 20 Draw3DLine segments around centre.
void Draw3DCircle(D3DXVECTOR3 centre, float radius, DWORD color);
