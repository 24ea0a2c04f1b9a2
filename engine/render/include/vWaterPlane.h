// A large horizontal water surface showing a planar reflection of the scene,
// distorted by a scrolling du/dv map, drawn through media\fx\water.fx.
//
// Each frame, with the main camera's view and projection set:
//   BeginRender(...); draw the scene to be reflected; EndRender();
//   engine Clear (binds the back buffer again); draw the scene; RenderSurface(...).
// The camera must not move between BeginRender and RenderSurface.
//
// The effect gets "ViewProj" (world -> clip space of the main camera),
// "Mprojtex" (world -> projective coordinates of the reflection image),
// "Water" (the reflection image), "Dudv" (the distortion map) and
// "DudvOffset" (its scroll), and draws the surface with its current
// technique's pass 0.
//
// Surface (height h, normals up, textures repeated 1000 times per side):
//
//   z = 20480   1 -------- 3
//               |       /  |    strip 0 1 2 3
//               |    /     |
//   z = 0       0 -------- 2
//             x = 0    x = 20480
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "vFrustum.h"
#include "vRenderTarget.h"

class vTexture;

// Vertex of the water surface (FVF XYZ | NORMAL | TEX1, 32 bytes).
struct s_vWaterVertex {
    float x, y, z;     // world position
    float nx, ny, nz;  // normal (up)
    float u, v;        // texture coordinates
};

constexpr DWORD kWaterVertexFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;  // 0x112

class vWaterPlane {
public:
    vWaterPlane();                                     // target not ready, no effect
    ~vWaterPlane();                                    // releases the target and the effect
    vWaterPlane(const vWaterPlane& other);             // shares other's target and effect
    vWaterPlane& operator=(const vWaterPlane& other);  // releases ours, shares other's

    // Builds the surface at y = height, the 256 x 256 reflection target (its
    // failures show the target's messages) and the effect from
    // "media\fx\water.fx" (without it RenderSurface draws nothing). Objects
    // made by an earlier call are released. Always true. The effect is read
    // from the working directory, or where it lacks it from the engine's
    // installed data (share/vorpex/fx/water.fx).
    bool InitSurface(float height);
    // Starts the reflection pass from the device's current view and
    // projection: clears the reflection image to 0xFF4D4DFF, binds it, and
    // sets the view mirrored in the water plane, the same projection with its
    // near plane moved onto the water (only what lies above the water is
    // drawn) and the opposite cull order, and rebuilds the view frustum from
    // that view and projection, so that the reflected scene is culled with
    // its own frustum. Without the effect it does nothing (see
    // IsReflecting). kept: the position is accepted and not used.
    void BeginRender(D3DXVECTOR3 position);
    // Ends the reflection pass: the projection, view, cull mode and frustum
    // planes found by BeginRender are restored. The reflection image stays bound until the
    // engine's Clear binds the back buffer. Nothing after a BeginRender that did nothing.
    void EndRender();
    // True between a BeginRender that bound the reflection image and its
    // EndRender; a caller draws the reflected scene only then.
    bool IsReflecting() const { return m_reflecting; }
    // Draws the surface with the matrices of the last BeginRender. A null
    // dudv keeps the distortion map set before; the offset is always set.
    void RenderSurface(vTexture* dudv, float dudvOffset);
    ID3DXEffect* GetEffect();  // borrowed; null before InitSurface or without the file

private:
    vRenderTarget m_reflectionTarget;  // 256 x 256
    ID3DXEffect* m_effect;             // owned
    D3DXMATRIX m_reflection;           // mirror in the water plane
    D3DXMATRIX m_reflectedTexProj;     // "Mprojtex"
    D3DXMATRIX m_savedView;            // the view found by BeginRender
    D3DXMATRIX m_textureBias;          // clip x, y -> texture u, v (v down)
    D3DXMATRIX m_viewProj;             // "ViewProj"
    s_vWaterVertex m_surface[4];
    float m_height;
    DWORD m_savedCullMode;           // the cull mode found by BeginRender
    TFrustumPlane m_savedPlanes[6];  // the frustum found by BeginRender
    bool m_reflecting;               // a reflection pass is open
};
