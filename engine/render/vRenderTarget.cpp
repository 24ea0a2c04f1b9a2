#include "vRenderTarget.h"

#include <d3dx9.h>

#include "render/detail/TextureFormat.h"
#include "vEngine.h"

#include "core/detail/ComRef.h"

vRenderTarget::vRenderTarget() : m_texture(nullptr), m_surface(nullptr), m_savedTarget(nullptr), m_ready(false)
{
    D3DXMatrixIdentity(&m_projection);
    D3DXMatrixIdentity(&m_savedProjection);
}

vRenderTarget::~vRenderTarget()
{
    Kill();
}

vRenderTarget::vRenderTarget(const vRenderTarget& other)
    : m_texture(vcore::ShareRef(other.m_texture)), m_surface(vcore::ShareRef(other.m_surface)),
      m_savedTarget(vcore::ShareRef(other.m_savedTarget)), m_projection(other.m_projection),
      m_savedProjection(other.m_savedProjection), m_ready(other.m_ready)
{
}

vRenderTarget& vRenderTarget::operator=(const vRenderTarget& other)
{
    if (this == &other) return *this;
    IDirect3DTexture9* texture = vcore::ShareRef(other.m_texture);
    IDirect3DSurface9* surface = vcore::ShareRef(other.m_surface);
    IDirect3DSurface9* saved = vcore::ShareRef(other.m_savedTarget);
    Kill();
    m_texture = texture;
    m_surface = surface;
    m_savedTarget = saved;
    m_projection = other.m_projection;
    m_savedProjection = other.m_savedProjection;
    m_ready = other.m_ready;
    return *this;
}

long vRenderTarget::InitRenderTarget(int width, int height)
{
    const D3DFORMAT format = vrender::detail::ChooseTextureFormat(D3DUSAGE_RENDERTARGET);
    if (format == D3DFMT_UNKNOWN) {
        MessageBoxA(NULL, "Error finding a suitable format for a rendertarget texture!", "Error!", MB_OKCANCEL);
        return E_FAIL;
    }

    Kill();

    IDirect3DTexture9* texture = nullptr;
    HRESULT hr = E_FAIL;
    if (objDevice && width > 0 && height > 0)
        hr = D3DXCreateTexture(objDevice, (UINT)width, (UINT)height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT,
                               &texture);
    if (FAILED(hr) || !texture) {
        vcore::ReleaseRef(texture);
        MessageBoxA(NULL, "Error creating a rendertarget texture.", "Error!", MB_OK);
        m_ready = false;
        return E_FAIL;
    }

    m_texture = texture;
    // 45.0 goes in as radians, the same value the engine's main projection uses.
    // kept: 45.0 taken as radians, the same number as the engine's main projection.
    D3DXMatrixPerspectiveFovLH(&m_projection, 45.0f, (float)width / (float)height, 0.1f, 1000.0f);
    m_ready = true;
    return S_OK;
}

void vRenderTarget::FetchSurfaces()
{
    // Each fetch hands out one new reference of each; drop the pair held
    // from the previous fetch so at most one pair is ever held.
    vcore::ReleaseRef(m_surface);
    vcore::ReleaseRef(m_savedTarget);
    m_texture->GetSurfaceLevel(0, &m_surface);
    objDevice->GetRenderTarget(0, &m_savedTarget);
}

void vRenderTarget::Begin()
{
    if (!m_ready || !m_texture || !objDevice) return;
    objDevice->GetTransform(D3DTS_PROJECTION, &m_savedProjection);
    objDevice->SetTransform(D3DTS_PROJECTION, &m_projection);
    FetchSurfaces();
    objDevice->SetRenderTarget(0, m_surface);
    objDevice->BeginScene();
}

void vRenderTarget::End()
{
    if (!m_ready || !m_texture || !objDevice) return;
    objDevice->EndScene();
    if (m_savedTarget) objDevice->SetRenderTarget(0, m_savedTarget);
    objDevice->SetTransform(D3DTS_PROJECTION, &m_savedProjection);
}

void vRenderTarget::ClearRenderTarget(DWORD colour)
{
    if (!m_ready || !m_texture || !objDevice) return;
    FetchSurfaces();
    objDevice->SetRenderTarget(0, m_surface);
    objDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
}

void vRenderTarget::SetDeviceTexture(int stage)
{
    if (m_ready && m_texture && objDevice) objDevice->SetTexture((DWORD)stage, m_texture);
}

IDirect3DTexture9* vRenderTarget::GetTexture()
{
    return m_texture;
}

void vRenderTarget::Kill()
{
    vcore::ReleaseRef(m_surface);
    vcore::ReleaseRef(m_savedTarget);
    vcore::ReleaseRef(m_texture);
}
