#include "d3dx/FvfLayout.h"

namespace d3dx {
namespace detail {

FvfLayout LayoutOfFvf(uint32_t fvf)
{
    FvfLayout l;
    int off = 0;
    switch (fvf & 0x400E) {
        case 0x002:
            l.positionFloats = 3;
            break;  // XYZ
        case 0x004:
            l.positionFloats = 4;
            break;  // XYZRHW
        case 0x006:
            l.positionFloats = 4;
            break;  // XYZB1 .. B5: position plus weights
        case 0x008:
            l.positionFloats = 5;
            break;
        case 0x00a:
            l.positionFloats = 6;
            break;
        case 0x00c:
            l.positionFloats = 7;
            break;
        case 0x00e:
            l.positionFloats = 8;
            break;
        case 0x4002:
            l.positionFloats = 4;
            break;  // XYZW
        default:
            return FvfLayout();
    }
    l.position = off;
    off += 4 * l.positionFloats;
    if (fvf & 0x010) {
        l.normal = off;
        off += 12;
    }
    if (fvf & 0x020) {
        l.pointSize = off;
        off += 4;
    }
    if (fvf & 0x040) {
        l.diffuse = off;
        off += 4;
    }
    if (fvf & 0x080) {
        l.specular = off;
        off += 4;
    }
    l.texCount = int((fvf >> 8) & 0xF);
    if (l.texCount > 8) l.texCount = 8;
    for (int i = 0; i < l.texCount; ++i) {
        // D3DFVF_TEXCOORDSIZEn: 0 = 2 floats, 1 = 3, 2 = 4, 3 = 1.
        static const int kFloats[4] = {2, 3, 4, 1};
        l.texFloats[i] = kFloats[(fvf >> (16 + 2 * i)) & 3];
        l.tex[i] = off;
        off += 4 * l.texFloats[i];
    }
    l.stride = off;
    return l;
}

}  // namespace detail
}  // namespace d3dx
