// Bounding volumes, culling and models.
#include "SymbolTable.h"

#include "vAnimatedModel.h"
#include "vBoundingBox.h"
#include "vModel.h"
#include "vNode3D.h"
#include "vStaticModel.h"
#include "vTerrain.h"

VORPEX_SYMBOLS{
    VORPEX_SYMBOL(&vBoundingBox::PlaneXIntr),
    VORPEX_SYMBOL(&vBoundingBox::PlaneYIntr),
    VORPEX_SYMBOL(&vBoundingBox::PlaneZIntr),
    VORPEX_SYMBOL(&vBoundingBox::RayIntersect),
    VORPEX_SYMBOL(&CullAABB),
    VORPEX_SYMBOL(&WOBBfromLOBB),
    VORPEX_SYMBOL(&AABBfromOBB),
    VORPEX_SYMBOL(&CornersFromAABB),
    VORPEX_SYMBOL(&DrawOBB),
    VORPEX_SYMBOL(&DrawAABB),

    VORPEX_SYMBOL(&vModel::LoadModel),
    VORPEX_SYMBOL(&vModel::Update),
    VORPEX_SYMBOL(&vModel::Render),
    VORPEX_SYMBOL(&vModel::GetMeshTextureDesc),
    VORPEX_SYMBOL(&vStaticModel::LoadModel),
    VORPEX_SYMBOL(&vStaticModel::LoadModelTextures),
    VORPEX_SYMBOL(&vStaticModel::Render),
    VORPEX_SYMBOL(&vStaticModel::RenderSubset),
    VORPEX_SYMBOL(&vStaticModel::DebugRenderSubset),
    VORPEX_SYMBOL(&vStaticModel::Intersect),
    VORPEX_SYMBOL(&vStaticModel::Kill),
    VORPEX_SYMBOL(&vStaticModel::BuildPhysicsGeometry),

    VORPEX_SYMBOL(&vTerrain::GenerateEmpty),
    VORPEX_SYMBOL(&vTerrain::ApplyHeight),
    VORPEX_SYMBOL(&vTerrain::CalcNormals),
    VORPEX_SYMBOL(&vTerrain::GetHeight),
    VORPEX_SYMBOL(&vTerrain::GetSurfaceHeight),
    VORPEX_SYMBOL(&vTerrain::CreateHeightFileFromBitmap),
    VORPEX_SYMBOL(&vTerrain::CreateChunks),
    VORPEX_SYMBOL(&vTerrain::GenerateAlphaMaps),
    VORPEX_SYMBOL(&vTerrain::RenderAll),
    VORPEX_SYMBOL(&vTerrain::RenderChunk),
    VORPEX_SYMBOL(static_cast<vTerrain& (vTerrain::*)(const vTerrain&)>(&vTerrain::operator=)),
};

// Constructors and destructors come from the library when the objects are made.
namespace {
struct ConstructedScene {
    ConstructedScene()
    {
        vModel* models[] = {new vModel, new vStaticModel, new vAnimatedModel};
        for (vModel* model : models) delete model;
        vStaticModel staticModel;
        vStaticModel staticCopy(staticModel);
        vTerrain terrain;
        vTerrain terrainCopy(terrain);
        s_vChunkDesc chunk = {};
        (void)chunk;
        s_vModelTexture record = {};
        vNode3D node = {};
        (void)record;
        (void)node;
    }
} constructedScene;
}  // namespace
