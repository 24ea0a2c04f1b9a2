#include "vSkyBox.h"

#include <cstdio>
#include <cstring>

#include "vEngine.h"
#include "vTexture.h"

#include "core/detail/ComRef.h"
#include "core/detail/LoadFailure.h"

namespace {

// Six faces of four vertices, each a two-triangle strip; face k uses
// vertices 4k to 4k + 3 and texture k.
const s_vSkyVertex kSkyVertices[24] = {
    // 0: z = +1
    {-1, 1, 1, 0, 0},
    {1, 1, 1, 1, 0},
    {-1, -1, 1, 0, 1},
    {1, -1, 1, 1, 1},
    // 1: x = +1
    {1, 1, 1, 0, 0},
    {1, 1, -1, 1, 0},
    {1, -1, 1, 0, 1},
    {1, -1, -1, 1, 1},
    // 2: z = -1
    {1, 1, -1, 0, 0},
    {-1, 1, -1, 1, 0},
    {1, -1, -1, 0, 1},
    {-1, -1, -1, 1, 1},
    // 3: x = -1
    {-1, 1, -1, 0, 0},
    {-1, 1, 1, 1, 0},
    {-1, -1, -1, 0, 1},
    {-1, -1, 1, 1, 1},
    // 4: y = +1
    {-1, 1, -1, 0, 0},
    {1, 1, -1, 1, 0},
    {-1, 1, 1, 0, 1},
    {1, 1, 1, 1, 1},
    // 5: y = -1
    {-1, -1, 1, 0, 0},
    {1, -1, 1, 1, 0},
    {-1, -1, -1, 0, 1},
    {1, -1, -1, 1, 1},
};

}  // namespace

vSkyBox::vSkyBox() : m_vertexBuffer(nullptr), m_faces{}
{
    D3DXMatrixIdentity(&m_world);
}

vSkyBox::~vSkyBox()
{
    vcore::ReleaseRef(m_vertexBuffer);
}

vSkyBox::vSkyBox(const vSkyBox& other) : m_vertexBuffer(vcore::ShareRef(other.m_vertexBuffer)), m_world(other.m_world)
{
    std::memcpy(m_faces, other.m_faces, sizeof(m_faces));
}

vSkyBox& vSkyBox::operator=(const vSkyBox& other)
{
    vcore::AssignRef(m_vertexBuffer, other.m_vertexBuffer);
    std::memmove(m_faces, other.m_faces, sizeof(m_faces));
    m_world = other.m_world;
    return *this;
}

void vSkyBox::Init(vTexture* face0, vTexture* face1, vTexture* face2, vTexture* face3, vTexture* face4, vTexture* face5)
{
    vTexture* faces[6] = {face0, face1, face2, face3, face4, face5};
    std::memcpy(m_faces, faces, sizeof(m_faces));
    vcore::ReleaseRef(m_vertexBuffer);
    if (!objDevice) {
        vcore::LogFailure("sky box", "its vertex buffer", "no device to make it on");
        return;
    }
    vcore::ComRef<IDirect3DVertexBuffer9> buffer;
    HRESULT hr = objDevice->CreateVertexBuffer(sizeof(kSkyVertices), D3DUSAGE_WRITEONLY, kSkyVertexFVF, D3DPOOL_MANAGED,
                                               buffer.out(), NULL);
    void* data = nullptr;
    if (SUCCEEDED(hr) && buffer) hr = buffer->Lock(0, 0, &data, 0);
    if (FAILED(hr) || !buffer || !data) {
        vcore::LogFailure("sky box", "its vertex buffer",
                          ("the device refused it (" + vcore::ResultText(hr) + ")").c_str());
        return;
    }
    std::memcpy(data, kSkyVertices, sizeof(kSkyVertices));
    buffer->Unlock();
    m_vertexBuffer = buffer.detach();
}

void vSkyBox::Update(D3DXVECTOR3 position, float size)
{
    D3DXMatrixScaling(&m_world, size, size, size);
    m_world._41 = position.x;
    m_world._42 = position.y;
    m_world._43 = position.z;
}

void vSkyBox::Render(bool textureAlpha)
{
    if (!objDevice || !m_vertexBuffer) return;
    objDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    DrawFaces(textureAlpha);
}

void vSkyBox::RenderBehind(bool textureAlpha)
{
    if (!objDevice || !m_vertexBuffer) return;
    D3DVIEWPORT9 viewport = {}, far = {};
    objDevice->GetViewport(&viewport);
    far = viewport;
    far.MinZ = 1.0f;
    far.MaxZ = 1.0f;
    objDevice->SetViewport(&far);
    objDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    DrawFaces(textureAlpha);
    objDevice->SetViewport(&viewport);
}

void vSkyBox::DrawFaces(bool textureAlpha)
{
    objDevice->SetTransform(D3DTS_WORLD, &m_world);
    objDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    objDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    objDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    objDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, textureAlpha ? D3DTA_TEXTURE : D3DTA_DIFFUSE);
    objDevice->SetStreamSource(0, m_vertexBuffer, 0, sizeof(s_vSkyVertex));
    objDevice->SetFVF(kSkyVertexFVF);
    for (int face = 0; face < 6; ++face) {
        if (!m_faces[face]) continue;
        m_faces[face]->UseTexture(0);
        objDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4 * face, 2);
    }
    objDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    objDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    objDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}
