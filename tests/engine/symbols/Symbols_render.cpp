// Textures, render targets, 2D drawing, font, particles and math utilities.
#include "SymbolTable.h"

#include "vParticleEmitter.h"
#include "vRenderTarget.h"
#include "vSimpleFont.h"
#include "vTexture.h"
#include "vTwoDee.h"

VORPEX_SYMBOLS{
    VORPEX_SYMBOL(&vTexture::LoadTextureFromFile),
    VORPEX_SYMBOL(&vTexture::UseTexture),
    VORPEX_SYMBOL(&vTexture::GetTexture),
    VORPEX_SYMBOL(&vTexture::GetWidth),
    VORPEX_SYMBOL(&vTexture::GetHeight),
    VORPEX_SYMBOL(&vTexture::Kill),
    VORPEX_SYMBOL(static_cast<vTexture& (vTexture::*)(const vTexture&)>(&vTexture::operator=)),

    VORPEX_SYMBOL(&vRenderTarget::InitRenderTarget),
    VORPEX_SYMBOL(&vRenderTarget::Begin),
    VORPEX_SYMBOL(&vRenderTarget::End),
    VORPEX_SYMBOL(&vRenderTarget::ClearRenderTarget),
    VORPEX_SYMBOL(&vRenderTarget::SetDeviceTexture),
    VORPEX_SYMBOL(&vRenderTarget::GetTexture),
    VORPEX_SYMBOL(&vRenderTarget::Kill),
    VORPEX_SYMBOL(static_cast<vRenderTarget& (vRenderTarget::*)(const vRenderTarget&)>(
        &vRenderTarget::operator=)),

    VORPEX_SYMBOL(&vTwoDee::Begin2D),
    VORPEX_SYMBOL(&vTwoDee::End2D),
    VORPEX_SYMBOL(&vTwoDee::DrawTexture),
    VORPEX_SYMBOL(&vTwoDee::DrawTextureWithScale),
    VORPEX_SYMBOL(&vTwoDee::DrawD3DTexWithScale),
    VORPEX_SYMBOL(&vTwoDee::DrawTextureWorld),
    VORPEX_SYMBOL(&vTwoDee::DrawProjected3D),
    VORPEX_SYMBOL(&vTwoDee::SetColors),
    VORPEX_SYMBOL(&vTwoDee::ResetColors),
    VORPEX_SYMBOL(&vTwoDee::SetUV),
    VORPEX_SYMBOL(&vTwoDee::ResetUVs),
    VORPEX_SYMBOL(&vTwoDee::FollowUV),
    VORPEX_SYMBOL(&vTwoDee::SetVertexAlpha),
    VORPEX_SYMBOL(&InitDynamicQuad),
    VORPEX_SYMBOL(&InitStaticQuad),
    VORPEX_SYMBOL(&ReleaseStaticQuad),
    VORPEX_SYMBOL(&ChangeUV),
    VORPEX_SYMBOL(&SetStaticVB),
    VORPEX_SYMBOL(&RenderQuad),

    VORPEX_SYMBOL(&vSimpleFont::InitFont),
    VORPEX_SYMBOL(&vSimpleFont::GetFontCharWidth),
    VORPEX_SYMBOL(&vSimpleFont::DrawTextA),
    VORPEX_SYMBOL(&vSimpleFont::DrawTextSprintf),
    VORPEX_SYMBOL(&vSimpleFont::GetFont),

    VORPEX_SYMBOL(&vParticleEmitter::Init),
    VORPEX_SYMBOL(&vParticleEmitter::SpawnParticle),
    VORPEX_SYMBOL(&vParticleEmitter::AutoSpawn),
    VORPEX_SYMBOL(&vParticleEmitter::RandomAutoSpawn),
    VORPEX_SYMBOL(&vParticleEmitter::Update),
    VORPEX_SYMBOL(&vParticleEmitter::Render),
    VORPEX_SYMBOL(&vParticleEmitter::StopKill),
    VORPEX_SYMBOL(&vParticleEmitter::SetEmitterLifeTime),
};

// Constructors and destructors come from the library when the objects are made.
namespace {
struct ConstructedRender {
    ConstructedRender()
    {
        vTexture texture;
        vTexture textureCopy(texture);
        vRenderTarget target;
        vRenderTarget targetCopy(target);
        vTwoDee twoDee;
        vSimpleFont font;
        vSimpleFont fontCopy(font);
        vParticleEmitter emitter;
        vParticleEmitter emitterCopy(emitter);
    }
} constructedRender;
}  // namespace
