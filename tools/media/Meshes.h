// The game's meshes, built to fit how the game places them.
#pragma once

#include "media/XMesh.h"

namespace media {

// Lit material colours chosen for the game's light (one white directional
// light nearly straight down, ambient = diffuse - 0.3): 0.64 shows a level
// face at the texture's own brightness, darker on slopes.
constexpr float kLevelFaceDiffuse = 0.64f;

constexpr float kShadowPlaneHalf = 1.5f;   // shadow quad: 3 x 3 units
constexpr float kShadowPlaneDrop = 1.05f;  // drawn at ball-centre height; lies this far lower
constexpr float kCoinRadius = 0.7f;
constexpr float kCoinHalfThickness = 0.1f;
constexpr float kGoalPadRadius = 1.6f;
constexpr float kGoalRingInner = 1.75f;
constexpr float kGoalRingOuter = 2.25f;

XMesh MakeBoardMesh();        // 90 x 90 x 2 slab, top at y = 0, centred on x and z; one texture cell per tile
XMesh MakeBallMesh();         // sphere of radius 1, grid-textured
XMesh MakeShadowPlaneMesh();  // level 3 x 3 quad facing up
XMesh MakeCoinMesh();         // upright disc in the x-y plane, turning about y
XMesh MakeBombPlaneMesh();    // one 2 x 2 tile facing up at y = 0
XMesh MakeGoalMesh();         // material 0: the goal pad; material 1: the ring around it

}  // namespace media
