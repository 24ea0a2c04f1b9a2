// One frame of the game: physics step, cameras, the X-ray view of the hidden
// bombs around the ball, the board and everything on it, the rules' per-frame
// tests, the HUD images and texts, and the present.
#pragma once

#include <d3dx9.h>

extern float coinAngle;        // common spin of coins and coin shadows, radians
extern D3DXMATRIX coinMatrix;  // rotation of the coins

// Draws the bomb of cell (cellX, cellZ): nothing outside the board or on a clear
// tile; under the board in play, on it in the editor.
void DrawBombTile(int cellX, int cellZ);
// Steps, draws and presents one frame.
void RenderFrame();
