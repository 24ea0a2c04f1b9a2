// Texture format choice shared by vTexture and vRenderTarget.
#pragma once

#include <d3d9.h>

namespace vrender {
namespace detail {

// A8R8G8B8 if the adapter takes it for a texture of this usage on the back
// buffer's format, else A4R4G4B4; D3DFMT_UNKNOWN when neither passes or
// there is no Direct3D object.
D3DFORMAT ChooseTextureFormat(DWORD usage);

}  // namespace detail
}  // namespace vrender
