#include "vTwoDee.h"

#include <d3dx9.h>

#include "vEngine.h"
#include "vTexture.h"

namespace {

const float kDefaultUV[4][2] = {{0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}};

float ScreenWidth()
{
    return (float)m_engineVars.width;
}

float ScreenHeight()
{
    return (float)m_engineVars.height;
}

}  // namespace

vTwoDee::vTwoDee()
{
    for (int i = 0; i < 4; ++i) {
        m_quad[i].x = m_quad[i].y = 0.0f;
        m_quad[i].z = 1.0f;
    }
    SetQuadPositions(1.0f);
    ResetColors();
    ResetUVs();
    D3DXMatrixIdentity(&m_savedView);
}

void vTwoDee::Begin2D()
{
    ResetColors();
    ResetUVs();
    if (!objDevice) return;
    objDevice->GetTransform(D3DTS_VIEW, &m_savedView);
    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix2DProj);
    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);
    objDevice->SetTransform(D3DTS_VIEW, &ev_matrixIdentity);
    objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    objDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
}

void vTwoDee::End2D()
{
    if (!objDevice) return;
    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);
    objDevice->SetTransform(D3DTS_VIEW, &m_savedView);
    objDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
}

// Quad with offset s (s = 1 is the standard quad from (0, 0) to (2, -2)).
void vTwoDee::SetQuadPositions(float s)
{
    m_quad[0].x = s - 1.0f;
    m_quad[0].y = -1.0f - s;
    m_quad[1].x = s - 1.0f;
    m_quad[1].y = 1.0f - s;
    m_quad[2].x = s + 1.0f;
    m_quad[2].y = -1.0f - s;
    m_quad[3].x = s + 1.0f;
    m_quad[3].y = 1.0f - s;
    for (int i = 0; i < 4; ++i) m_quad[i].z = 1.0f;
}

void vTwoDee::DrawQuad(IDirect3DBaseTexture9* texture, float sx, float sy, float tx, float ty)
{
    if (!objDevice) return;
    D3DXMATRIX world;
    D3DXMatrixScaling(&world, sx, sy, 1.0f);
    world._41 = tx;
    world._42 = ty;
    world._43 = 0.0f;
    objDevice->SetTexture(0, texture);
    objDevice->SetTransform(D3DTS_WORLD, &world);
    objDevice->SetStreamSource(0, NULL, 0, 0);
    objDevice->SetFVF(kQuadVertexFVF);
    objDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, m_quad, sizeof(s_vQuadVertex));
}

void vTwoDee::DrawTexture(vTexture* texture, int x, int y)
{
    const float w = texture ? (float)texture->GetWidth() : 0.0f;
    const float h = texture ? (float)texture->GetHeight() : 0.0f;
    SetQuadPositions(1.0f);
    DrawQuad(texture ? texture->GetTexture() : nullptr, w * 0.5f, h * 0.5f, (float)x - ScreenWidth() * 0.5f,
             ScreenHeight() * 0.5f - (float)y);
}

void vTwoDee::DrawTextureWithScale(vTexture* texture, int x, int y, int width, int height, float s)
{
    SetQuadPositions(s);
    DrawQuad(texture ? texture->GetTexture() : nullptr, (float)width * 0.5f, (float)height * 0.5f,
             (float)x - ScreenWidth() * 0.5f, ScreenHeight() * 0.5f - (float)y);
}

void vTwoDee::DrawD3DTexWithScale(IDirect3DTexture9* texture, int x, int y, int width, int height)
{
    SetQuadPositions(1.0f);
    DrawQuad(texture, (float)width * 0.5f, (float)height * 0.5f, (float)x - ScreenWidth() * 0.5f,
             ScreenHeight() * 0.5f - (float)y);
}

void vTwoDee::DrawTextureWorld(vTexture* texture, float x, float y, float width, float height)
{
    const float W = ScreenWidth();
    const float H = ScreenHeight();
    SetQuadPositions(1.0f);
    DrawQuad(texture ? texture->GetTexture() : nullptr, W * width * 0.5f, H * height * 0.5f, W * x - W * 0.5f,
             H * 0.5f - H * y);
}

void vTwoDee::DrawProjected3D(vTexture* texture, D3DXVECTOR3* position, D3DXMATRIX* view, int width, int height,
                              float /*factor*/)
{
    if (!objDevice || !position || !view) return;
    D3DVIEWPORT9 viewport = {};
    objDevice->GetViewport(&viewport);
    D3DXVECTOR3 projected;
    D3DXVec3Project(&projected, position, &viewport, &ev_matrix3DProj, view, &ev_matrixIdentity);
    DrawTextureWithScale(texture, (int)projected.x, (int)projected.y, width, height, 0.0f);
}

void vTwoDee::SetColors(D3DXCOLOR c0, D3DXCOLOR c1, D3DXCOLOR c2, D3DXCOLOR c3)
{
    m_quad[0].color = static_cast<DWORD>(c0);
    m_quad[1].color = static_cast<DWORD>(c1);
    m_quad[2].color = static_cast<DWORD>(c2);
    m_quad[3].color = static_cast<DWORD>(c3);
}

void vTwoDee::ResetColors()
{
    for (int i = 0; i < 4; ++i) m_quad[i].color = 0xFFFFFFFF;
}

void vTwoDee::SetUV(D3DXVECTOR2 t0, D3DXVECTOR2 t1, D3DXVECTOR2 t2, D3DXVECTOR2 t3)
{
    const D3DXVECTOR2 t[4] = {t0, t1, t2, t3};
    for (int i = 0; i < 4; ++i) {
        m_quad[i].u = t[i].x;
        m_quad[i].v = t[i].y;
    }
}

void vTwoDee::ResetUVs()
{
    for (int i = 0; i < 4; ++i) {
        m_quad[i].u = kDefaultUV[i][0];
        m_quad[i].v = kDefaultUV[i][1];
    }
}

void vTwoDee::FollowUV(int width, int height, vTexture* texture)
{
    if (!texture || texture->GetWidth() <= 0 || texture->GetHeight() <= 0) return;
    const float u = (float)width / (float)texture->GetWidth();
    const float v = (float)height / (float)texture->GetHeight();
    m_quad[0].u = 0.0f;
    m_quad[0].v = v;
    m_quad[1].u = 0.0f;
    m_quad[1].v = 0.0f;
    m_quad[2].u = u;
    m_quad[2].v = v;
    m_quad[3].u = u;
    m_quad[3].v = 0.0f;
}

void vTwoDee::SetVertexAlpha(bool vertexAlpha)
{
    if (objDevice) objDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, vertexAlpha ? D3DTA_DIFFUSE : D3DTA_TEXTURE);
}
