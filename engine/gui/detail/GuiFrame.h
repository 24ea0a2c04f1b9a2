// Drawing shared by the framed widgets (text box, list box, window).
#pragma once

#include "vTwoDee.h"

class vTexture;

namespace vgui {

constexpr int kFrameThickness = 2;

// The frame around (x, y, width, height) as four 2-pixel strips of the
// border texture: top, bottom, left, right.
inline void DrawFrameStrips(vTwoDee* twoDee, vTexture* border, int x, int y, int width, int height)
{
    if (!twoDee) return;
    twoDee->DrawTextureWithScale(border, x, y, width, kFrameThickness, 1.0f);
    twoDee->DrawTextureWithScale(border, x, y + height - kFrameThickness, width, kFrameThickness, 1.0f);
    twoDee->DrawTextureWithScale(border, x, y, kFrameThickness, height, 1.0f);
    twoDee->DrawTextureWithScale(border, x + width - kFrameThickness, y, kFrameThickness, height, 1.0f);
}

}  // namespace vgui
