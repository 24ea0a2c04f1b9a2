#include "GameObjects.h"

// Definition order is construction order; keep engine first.
vEngine engine;
vTwoDee twoDee;
vTexture logoTexture;
vCamera mainCamera;
vGUIManager guiManager;
vSimpleFont hudFont;
vStaticModel ballModel;
vTexture startTexture;
vStaticModel shadowModel;
vTexture ballShadowTexture;
vStaticModel boardModel;
vTexture gridTexture;
vTexture bombTexture;
vStaticModel bombModel;
vTexture coinTexture;
vTexture coinShadowTexture;
vStaticModel coinModel;
vParticleEmitter coinEmitter;
vStaticModel goalModel;
vTexture goalTexture;
vTexture ringImage;
vRenderTarget xrayTarget;
vTexture xrayFrameTexture;
vCamera xrayCamera;
vTexture particleTexture;
vParticleEmitter blastEmitterA;
vParticleEmitter blastEmitterB;

HWND windowHandle = nullptr;
POINT mousePoint = {0, 0};
