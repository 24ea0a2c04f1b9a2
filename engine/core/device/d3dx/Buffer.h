// ID3DXBuffer made by the D3DX code: a copy of some bytes, or a message.
#pragma once

#include <cstddef>
#include <string>

#include "d3dx9core.h"

namespace d3dx {
namespace detail {

// A new buffer holding a copy of size bytes (zeros when data is null); null when out of memory.
ID3DXBuffer* MakeBuffer(const void* data, size_t size);
// A buffer holding text and its terminating zero.
ID3DXBuffer* MakeTextBuffer(const std::string& text);

}  // namespace detail
}  // namespace d3dx
