#include "render/detail/TextureFormat.h"

#include "vEngine.h"

namespace vrender {
namespace detail {

D3DFORMAT ChooseTextureFormat(DWORD usage)
{
    if (!objD3D) return D3DFMT_UNKNOWN;
    const D3DFORMAT adapterFormat = m_engineVars.presentParams.BackBufferFormat;
    const D3DFORMAT candidates[] = {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4};
    for (D3DFORMAT format : candidates) {
        if (SUCCEEDED(objD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, adapterFormat, usage,
                                                D3DRTYPE_TEXTURE, format)))
            return format;
    }
    return D3DFMT_UNKNOWN;
}

}  // namespace detail
}  // namespace vrender
