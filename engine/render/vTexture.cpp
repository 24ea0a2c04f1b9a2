#include "vTexture.h"

#include <d3dx9.h>

#include "core/detail/ComRef.h"
#include "core/detail/LoadFailure.h"
#include "render/detail/TextureFormat.h"
#include "vEngine.h"

vTexture::vTexture()
    : m_texture(nullptr), m_hasColorKey(false), m_loadCount(0), m_width(0), m_height(0), m_loaded(false)
{
}

vTexture::~vTexture()
{
    Kill();
}

vTexture::vTexture(const vTexture& other)
    : m_texture(other.m_texture), m_hasColorKey(other.m_hasColorKey), m_loadCount(other.m_loadCount),
      m_width(other.m_width), m_height(other.m_height), m_loaded(other.m_loaded)
{
    vcore::ShareRef(m_texture);
}

vTexture& vTexture::operator=(const vTexture& other)
{
    vcore::AssignRef(m_texture, other.m_texture);
    m_hasColorKey = other.m_hasColorKey;
    m_loadCount = other.m_loadCount;
    m_width = other.m_width;
    m_height = other.m_height;
    m_loaded = other.m_loaded;
    return *this;
}

long vTexture::LoadTextureFromFile(const char* file, DWORD colourKey, int mipLevels)
{
    const D3DFORMAT format = vrender::detail::ChooseTextureFormat(0);
    if (format == D3DFMT_UNKNOWN) {
        MessageBoxA(NULL, "Error finding a suitable format for a texture!", "Error!", MB_OKCANCEL);
        return E_FAIL;
    }

    // A reload replaces the texture: the old one goes whatever the outcome.
    Kill();

    D3DXIMAGE_INFO info = {};
    IDirect3DTexture9* texture = nullptr;
    HRESULT hr = E_FAIL;
    if (objDevice && file) {
        hr = D3DXCreateTextureFromFileExA(objDevice, file, 0, 0, (UINT)(mipLevels < 0 ? 0 : mipLevels), 0, format,
                                          D3DPOOL_MANAGED, D3DX_FILTER_POINT, D3DX_FILTER_POINT, colourKey, &info, NULL,
                                          &texture);
    }
    if (FAILED(hr) || !texture) {
        vcore::ReleaseRef(texture);
        vcore::LogLoadFailure("texture", file, hr, "image");
        MessageBoxA(NULL, "Error loading texture!", "Error!", MB_OKCANCEL);
        return E_FAIL;
    }

    m_texture = texture;
    m_width = (int)info.Width;
    m_height = (int)info.Height;
    m_hasColorKey = colourKey != 0;
    m_loadCount = 1;
    m_loaded = true;
    return S_OK;
}

void vTexture::UseTexture(int stage)
{
    if (objDevice) objDevice->SetTexture((DWORD)stage, m_texture);
}

IDirect3DBaseTexture9* vTexture::GetTexture()
{
    return m_texture;
}

int vTexture::GetWidth()
{
    return m_width;
}

int vTexture::GetHeight()
{
    return m_height;
}

void vTexture::Kill()
{
    vcore::ReleaseRef(m_texture);
}
