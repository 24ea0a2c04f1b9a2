// Textured rectangles in screen pixels (origin top left, y down) and the
// world quad: a 2 x 2 quad lying flat in the plane y = 0.
//
//   1 ---- 3      screen quad, drawn as a strip 0 1 2 3
//   |    / |      (vertex 1 top left, 3 top right,
//   |  /   |       0 bottom left, 2 bottom right)
//   0 ---- 2
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9math.h>

class vTexture;

// Vertex of the screen and world quads (FVF XYZ | DIFFUSE | TEX1, 24 bytes).
struct s_vQuadVertex {
    float x, y, z;  // position
    DWORD color;    // ARGB
    float u, v;     // texture coordinates
};

constexpr DWORD kQuadVertexFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;  // 0x142

class vTwoDee {
public:
    vTwoDee();  // white quad with the default texture coordinates

    // Enter the 2D setup: 2D projection, identity view and world, no lighting,
    // no depth test; the view is saved, the quad's colours and UVs reset.
    void Begin2D();
    // Back to the 3D projection and the saved view, identity world, depth test on.
    void End2D();

    // The image at its file size, top-left corner at pixel (x, y). Null texture: untextured.
    void DrawTexture(vTexture* texture, int x, int y);
    // The image stretched to width x height; s = 1 puts its top-left corner at
    // (x, y), s = 0 centres it there.
    void DrawTextureWithScale(vTexture* texture, int x, int y, int width, int height, float s);
    // A raw device texture (a render target's) stretched to width x height at (x, y).
    void DrawD3DTexWithScale(IDirect3DTexture9* texture, int x, int y, int width, int height);
    // Position and size as fractions of the screen (0 ... 1).
    void DrawTextureWorld(vTexture* texture, float x, float y, float width, float height);
    // The image width x height centred on the screen projection of a world
    // point (ev_matrix3DProj and the given view). kept: the factor is accepted and not used.
    void DrawProjected3D(vTexture* texture, D3DXVECTOR3* position, D3DXMATRIX* view, int width, int height,
                         float factor);

    // Vertex colours 0 to 3 (bottom left, top left, bottom right, top right), saturated to bytes.
    void SetColors(D3DXCOLOR c0, D3DXCOLOR c1, D3DXCOLOR c2, D3DXCOLOR c3);
    void ResetColors();  // all four opaque white
    // Texture coordinates of vertices 0 to 3.
    void SetUV(D3DXVECTOR2 t0, D3DXVECTOR2 t1, D3DXVECTOR2 t2, D3DXVECTOR2 t3);
    void ResetUVs();  // (0,1) (0,0) (1,1) (1,0)
    // Coordinates that show the texture one texel per pixel on a width x height
    // quad, tiling where the quad is larger. Nothing for a null or empty texture.
    void FollowUV(int width, int height, vTexture* texture);
    // Stage 0 takes its alpha argument 1 from the vertex colour (true) or the texture.
    void SetVertexAlpha(bool vertexAlpha);

    const s_vQuadVertex* GetQuad() const { return m_quad; }  // the four vertices

private:
    void DrawQuad(IDirect3DBaseTexture9* texture, float sx, float sy, float tx, float ty);
    void SetQuadPositions(float s);

    s_vQuadVertex m_quad[4];
    D3DXMATRIX m_savedView;
};

// World quad, one copy shared by all callers. The static one lives in a
// managed vertex buffer, the dynamic one in memory.
void InitDynamicQuad();    // the four vertices with the default UVs
void InitStaticQuad();     // (re)creates the 96-byte vertex buffer
void ReleaseStaticQuad();  // releases the buffer; safe to call again
// UVs of the dynamic quad: a for (0,0), b for (1,0), c for (0,1), d for (1,1).
void ChangeUV(D3DXVECTOR2 a, D3DXVECTOR2 b, D3DXVECTOR2 c, D3DXVECTOR2 d);
void SetStaticVB();  // stream 0 = the static buffer, stride 24
// Draws the quad scaled to 2*scale.x by 2*scale.y, turned by angle about y,
// placed at position. Lighting goes off; no texture is bound here. With the
// static buffer the caller must have called SetStaticVB.
void RenderQuad(D3DXVECTOR3 position, D3DXVECTOR2 scale, float angle, bool useStaticBuffer);
