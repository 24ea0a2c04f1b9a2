// D3DXCOLOR to 32-bit ARGB the way the engine's drawing classes convert it.
#pragma once

#include <d3dx9math.h>

namespace vrender {
namespace detail {

// 255 at or above 1.0, 0 at or below 0.0, else trunc(c * 255 + 0.5).
inline DWORD ChannelToByte(float c)
{
    if (c >= 1.0f)
        return 255;
    if (!(c > 0.0f))    // also NaN
        return 0;
    return (DWORD)(c * 255.0f + 0.5f);
}

inline DWORD ColorToArgb(const D3DXCOLOR& c)
{
    return (ChannelToByte(c.a) << 24) | (ChannelToByte(c.r) << 16) | (ChannelToByte(c.g) << 8) |
           ChannelToByte(c.b);
}

}  // namespace detail
}  // namespace vrender
