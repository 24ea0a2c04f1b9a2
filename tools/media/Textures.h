// The game's textures. Sizes are powers of two; the 2D images keep the size
// they are shown at on screen (Logo 256 x 128) or a size scaled evenly to it
// (the X-ray frame, drawn at 300 x 300 over the X-ray view).
#pragma once

#include "media/Image.h"

namespace media {

// X-ray view geometry: the X-ray camera sits 8 units above the buried bombs
// with a vertical scale of 1.7927, so the view spans 8.925 units; the ball is
// at its centre.
constexpr float kXRayViewUnits = 8.925f;

Image MakeXRayFrame();    // 256 x 256: bezel and label, clear window with a 1.0-unit ring around the ball
Image MakePlayerStart();  // 64 x 64: start pad
Image MakeLogo();         // 256 x 128: "KOLVAR" on a plaque
Image MakeGrid();         // 64 x 64: one board tile, edges on the image border
Image MakeBallShadow();   // 64 x 64: soft round shadow (black, alpha)
Image MakeCoinShadow();   // 64 x 64: soft shadow of an upright coin, long along u
Image MakeCoin();         // 128 x 128: gold coin face with an embossed star
Image MakeBomb();         // 128 x 128: bomb on a warning tile, opaque
Image MakeGoal();         // 128 x 128: chequered finish disc in a gold rim
Image MakeRing();         // 128 x 128: glowing ring, clear inside and out
Image MakeParticle();     // 32 x 32: soft white round sprite

}  // namespace media
