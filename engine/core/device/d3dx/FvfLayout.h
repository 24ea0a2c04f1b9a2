// Where each part of a flexible-vertex-format vertex sits, in bytes.
#pragma once

#include <cstdint>

namespace d3dx {
namespace detail {

struct FvfLayout {
    int stride = 0;
    int position = -1, positionFloats = 0;  // 3 (XYZ), 4 (XYZRHW, XYZW) or more with blend weights
    int normal = -1, pointSize = -1, diffuse = -1, specular = -1;
    int texCount = 0;
    int tex[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int texFloats[8] = {0, 0, 0, 0, 0, 0, 0, 0};
};

// The layout of fvf; stride 0 for a format without a position.
FvfLayout LayoutOfFvf(uint32_t fvf);

}  // namespace detail
}  // namespace d3dx
