// D3DX: math, textures, meshes, fonts and buffers, and effects.
#pragma once

#include <d3d9.h>

#include "d3dx9math.h"
#include "d3dx9core.h"
#include "d3dx9tex.h"
#include "d3dx9mesh.h"
#include "d3dx9effect.h"
