// Textures, render targets, 2D drawing, font, particles, math utilities,
// memory buffer, sky box and water plane.
#include "SymbolTable.h"

#include "vMemoryBuffer.h"
#include "vParticleEmitter.h"
#include "vRenderTarget.h"
#include "vSimpleFont.h"
#include "vSkyBox.h"
#include "vTexture.h"
#include "vTwoDee.h"
#include "vWaterPlane.h"

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
    VORPEX_SYMBOL(static_cast<vRenderTarget& (vRenderTarget::*)(const vRenderTarget&)>(&vRenderTarget::operator=)),

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

    VORPEX_SYMBOL(&vMemoryBuffer::push),
    VORPEX_SYMBOL(&vMemoryBuffer::pushstring),
    VORPEX_SYMBOL(&vMemoryBuffer::pushsizebuffer),
    VORPEX_SYMBOL(&vMemoryBuffer::grow),
    VORPEX_SYMBOL(&vMemoryBuffer::copybuffer),
    VORPEX_SYMBOL(&vMemoryBuffer::copybuffer2),
    VORPEX_SYMBOL(&vMemoryBuffer::copyvar),
    VORPEX_SYMBOL(&vMemoryBuffer::GetSize),
    VORPEX_SYMBOL(&vMemoryBuffer::GetNumVars),
    VORPEX_SYMBOL(&vMemoryBuffer::GetVar),
    VORPEX_SYMBOL(&vMemoryBuffer::clear),
    VORPEX_SYMBOL(static_cast<vMemoryBuffer& (vMemoryBuffer::*)(const vMemoryBuffer&)>(&vMemoryBuffer::operator=)),
    VORPEX_SYMBOL(&vMemoryIterator::ResetIterator),
    VORPEX_SYMBOL(&vMemoryIterator::GetPosition),
    VORPEX_SYMBOL(static_cast<int (vMemoryIterator::*)(const char*)>(&vMemoryIterator::GetInt)),
    VORPEX_SYMBOL(static_cast<float (vMemoryIterator::*)(const char*)>(&vMemoryIterator::GetFloat)),
    VORPEX_SYMBOL(static_cast<char* (vMemoryIterator::*)(const char*, int)>(&vMemoryIterator::GetString)),
    VORPEX_SYMBOL(static_cast<long (vMemoryIterator::*)(const char*, int, int*)>(&vMemoryIterator::GetInt)),
    VORPEX_SYMBOL(static_cast<long (vMemoryIterator::*)(const char*, int, float*)>(&vMemoryIterator::GetFloat)),
    VORPEX_SYMBOL(static_cast<long (vMemoryIterator::*)(const char*, int, int, char**)>(&vMemoryIterator::GetString)),
    VORPEX_SYMBOL(&SetAllocationCallbacks),

    VORPEX_SYMBOL(&vSkyBox::Init),
    VORPEX_SYMBOL(&vSkyBox::Update),
    VORPEX_SYMBOL(&vSkyBox::Render),
    VORPEX_SYMBOL(static_cast<vSkyBox& (vSkyBox::*)(const vSkyBox&)>(&vSkyBox::operator=)),

    VORPEX_SYMBOL(&vWaterPlane::InitSurface),
    VORPEX_SYMBOL(&vWaterPlane::BeginRender),
    VORPEX_SYMBOL(&vWaterPlane::EndRender),
    VORPEX_SYMBOL(&vWaterPlane::RenderSurface),
    VORPEX_SYMBOL(&vWaterPlane::GetEffect),
    VORPEX_SYMBOL(&vWaterPlane::IsReflecting),
    VORPEX_SYMBOL(static_cast<vWaterPlane& (vWaterPlane::*)(const vWaterPlane&)>(&vWaterPlane::operator=)),
    VORPEX_SYMBOL(&ev_CBAlloc),
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
        vMemoryBuffer buffer;
        vMemoryBuffer bufferCopy(buffer);
        vMemoryIterator iterator;
        vSkyBox sky;
        vSkyBox skyCopy(sky);
        vWaterPlane water;
        vWaterPlane waterCopy(water);
    }
} constructedRender;
}  // namespace
