// A textured cube around the viewer, one texture per face, drawn without
// depth test or depth writes so that everything drawn after it covers it.
// Place it on the camera each frame (Update) and draw it first (Render).
//
// Faces, seen from inside the cube (from -1 to 1 on every axis):
//
//              +----+
//              | 4  |  +y (top: v = 0 along z = -1)
//         +----+----+----+----+
//         | 3  | 0  | 1  | 2  |  sides: -x, +z, +x, -z, each upright
//         +----+----+----+----+  and unmirrored (u right, v down)
//              | 5  |  -y (bottom: v = 0 along z = +1)
//              +----+
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9math.h>

class vTexture;

// Vertex of the sky box (FVF XYZ | TEX1, 20 bytes).
struct s_vSkyVertex {
    float x, y, z;  // position on the unit cube
    float u, v;     // texture coordinates
};

constexpr DWORD kSkyVertexFVF = D3DFVF_XYZ | D3DFVF_TEX1;  // 0x102

class vSkyBox {
public:
    vSkyBox();                                 // no buffer, no textures, identity world
    ~vSkyBox();                                // releases the vertex buffer
    vSkyBox(const vSkyBox& other);             // shares other's vertex buffer (AddRef)
    vSkyBox& operator=(const vSkyBox& other);  // releases ours, shares other's

    // Builds the 24-vertex buffer (a managed buffer; one made before is
    // released) and keeps the six textures, borrowed, in the order +z, +x,
    // -z, -x, +y, -y. A null texture leaves its face undrawn.
    void Init(vTexture* face0, vTexture* face1, vTexture* face2, vTexture* face3, vTexture* face4, vTexture* face5);
    // Places the cube: centred on position, reaching size along every axis.
    void Update(D3DXVECTOR3 position, float size);
    // Draws the faces with depth test and writes off and sampler 0 clamped.
    // Leaves lighting off, stage 0's alpha argument 1 the texture (textureAlpha)
    // or the diffuse colour, depth test and writes on, sampler 0 wrapping.
    // Nothing before Init.
    void Render(bool textureAlpha);
    // Draws the faces behind everything drawn since the depth buffer was
    // cleared to 1: at depth 1 (viewport MinZ = MaxZ = 1) with the depth test
    // on and writes off, so only pixels nothing covers are shaded; the same
    // picture as Render before the scene, for a sky drawn after it. Leaves
    // what Render leaves and the depth function LESSEQUAL; restores the
    // viewport. Nothing before Init.
    void RenderBehind(bool textureAlpha);

private:
    // The six faces with the world matrix, writes off and the sampler and stage states of Render.
    void DrawFaces(bool textureAlpha);

    IDirect3DVertexBuffer9* m_vertexBuffer;  // 24 vertices, owned
    vTexture* m_faces[6];                    // borrowed
    D3DXMATRIX m_world;
};
