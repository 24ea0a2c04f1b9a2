// The game's engine objects: program-lifetime globals, constructed in this
// order before the entry point runs and destroyed in reverse, so the engine
// (first) outlives every texture, model, font and target.
#pragma once

#include <windows.h>

#include "vCamera.h"
#include "vEngine.h"
#include "vGUIManager.h"
#include "vMathUtils.h"
#include "vParticleEmitter.h"
#include "vRenderTarget.h"
#include "vSimpleFont.h"
#include "vStaticModel.h"
#include "vTexture.h"
#include "vTwoDee.h"

extern vEngine engine;            // device, frame cycle, timing, key latches
extern vTwoDee twoDee;            // HUD images
extern vTexture logoTexture;      // logo in the lower right
extern vCamera mainCamera;        // follows the ball
extern vGUIManager guiManager;    // receives every window message; holds no widgets
extern vSimpleFont hudFont;       // HUD and overlay texts
extern vStaticModel ballModel;    // the ball; also the start marker in the editor
extern vTexture startTexture;     // loaded, never drawn
extern vStaticModel shadowModel;  // ball shadow and coin shadows
extern vTexture ballShadowTexture;
extern vStaticModel boardModel;
extern vTexture gridTexture;  // texture of board and ball
extern vTexture bombTexture;
extern vStaticModel bombModel;  // one bomb tile
extern vTexture coinTexture;
extern vTexture coinShadowTexture;
extern vStaticModel coinModel;
extern vParticleEmitter coinEmitter;  // coin pick-up burst
extern vStaticModel goalModel;
extern vTexture goalTexture;
extern vTexture ringImage;
extern vRenderTarget xrayTarget;        // 256 x 256 X-ray view
extern vTexture xrayFrameTexture;       // frame drawn over the X-ray view
extern vCamera xrayCamera;              // looks straight down at the hidden bombs
extern vTexture particleTexture;        // texture of all three emitters
extern vParticleEmitter blastEmitterA;  // bomb explosion, first part; also the E-key burst
extern vParticleEmitter blastEmitterB;  // bomb explosion, second part

extern HWND windowHandle;  // the game window once the engine is open on it
extern POINT mousePoint;   // cursor in client coordinates, refreshed every frame
