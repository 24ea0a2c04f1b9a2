#include "vStaticModel.h"

#include <cstring>
#include <vector>

#include <d3dx9.h>

#include "vEngine.h"
#include "vMathUtils.h"
#include "vTexture.h"

#include "core/detail/ComRef.h"
#include "core/detail/LoadFailure.h"

namespace {

// Miss distance, also the starting best distance of Intersect.
const float kNoHit = 9999.0f;

// The folder part of a mesh file name, separators of either kind, with the last one kept.
std::string FolderOf(const char* fileName)
{
    const std::string name(fileName ? fileName : "");
    const size_t last = name.find_last_of("\\/");
    return last == std::string::npos ? std::string() : name.substr(0, last + 1);
}

}  // namespace

struct vStaticModel::OwnedTextures {
    explicit OwnedTextures(DWORD count) : textures(count) {}
    std::vector<vTexture> textures;  // never resized: the model's slots point into it
};

vStaticModel::vStaticModel() : m_mesh(nullptr), m_collisionMesh(nullptr) {}

vStaticModel::~vStaticModel()
{
    ReleaseMeshes();
}

vStaticModel::vStaticModel(const vStaticModel& other)
    : vModel(other), m_mesh(vcore::ShareRef(other.m_mesh)), m_collisionMesh(vcore::ShareRef(other.m_collisionMesh)),
      m_folder(other.m_folder), m_ownedTextures(other.m_ownedTextures)
{
}

vStaticModel& vStaticModel::operator=(const vStaticModel& other)
{
    if (this == &other) return *this;
    ID3DXMesh* mesh = vcore::ShareRef(other.m_mesh);
    ID3DXMesh* collision = vcore::ShareRef(other.m_collisionMesh);
    ReleaseMeshes();
    vModel::operator=(other);
    m_mesh = mesh;
    m_collisionMesh = collision;
    m_folder = other.m_folder;
    m_ownedTextures = other.m_ownedTextures;
    return *this;
}

void vStaticModel::ReleaseMeshes()
{
    vcore::ReleaseRef(m_collisionMesh);
    vcore::ReleaseRef(m_mesh);
}

long vStaticModel::LoadModel(const char* fileName)
{
    // A reload starts from the empty model: the old mesh, clone and arrays go.
    ReleaseMeshes();
    ReleaseArrays();
    m_ownedTextures.reset();
    m_folder = FolderOf(fileName);
    SetLocalBounds(D3DXVECTOR3(0.0f, 0.0f, 0.0f), D3DXVECTOR3(0.0f, 0.0f, 0.0f));

    ID3DXBuffer* materialBuffer = nullptr;
    DWORD numMaterials = 0;
    ID3DXMesh* mesh = nullptr;
    HRESULT hr = E_FAIL;
    if (objDevice && fileName)
        hr = D3DXLoadMeshFromXA(fileName, D3DXMESH_SYSTEMMEM, objDevice, NULL, &materialBuffer, NULL, &numMaterials,
                                &mesh);
    if (FAILED(hr) || !mesh) {
        vcore::ReleaseRef(mesh);
        vcore::ReleaseRef(materialBuffer);
        vcore::LogLoadFailure("model", fileName, hr, ".X mesh");
        MessageBoxA(NULL, "Error loading Static Model", "Error!", MB_OK);
        return E_FAIL;
    }
    m_mesh = mesh;

    void* vertices = nullptr;
    if (FAILED(m_mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices)) || !vertices) {
        // The mesh stays held (Kill or the destructor releases it); no subsets.
        vcore::ReleaseRef(materialBuffer);
        return E_FAIL;
    }
    D3DXVECTOR3 min(0.0f, 0.0f, 0.0f), max(0.0f, 0.0f, 0.0f);
    D3DXComputeBoundingBox((const D3DXVECTOR3*)vertices, m_mesh->GetNumVertices(),
                           D3DXGetFVFVertexSize(m_mesh->GetFVF()), &min, &max);
    m_mesh->UnlockVertexBuffer();
    SetLocalBounds(min, max);

    AllocateArrays(numMaterials);
    m_ownedTextures = std::make_shared<OwnedTextures>(numMaterials);
    const D3DXMATERIAL* materials = materialBuffer ? (const D3DXMATERIAL*)materialBuffer->GetBufferPointer() : nullptr;
    if (materials && materialBuffer->GetBufferSize() < numMaterials * sizeof(D3DXMATERIAL)) materials = nullptr;
    for (DWORD i = 0; materials && i < numMaterials; ++i) {
        D3DMATERIAL9& m = m_materials[i];
        m = materials[i].MatD3D;
        m.Ambient.r = m.Diffuse.r - 0.3f;
        m.Ambient.g = m.Diffuse.g - 0.3f;
        m.Ambient.b = m.Diffuse.b - 0.3f;
        m.Ambient.a = m.Diffuse.a;
        const char* name = materials[i].pTextureFilename;
        if (name && lstrlenA(name) > 0) {
            const size_t length = std::strlen(name);
            m_textureNames[i] = new char[length + 1];
            std::memcpy(m_textureNames[i], name, length + 1);
        }
    }
    vcore::ReleaseRef(materialBuffer);
    return S_OK;
}

long vStaticModel::LoadModelTextures()
{
    if (!m_mesh || !m_ownedTextures) return E_FAIL;
    long result = S_OK;
    for (DWORD i = 0; i < m_numSubsets && i < m_ownedTextures->textures.size(); ++i) {
        const char* name = GetMeshTextureDesc((int)i);
        if (!name) continue;
        const bool rooted = name[0] == '\\' || name[0] == '/';
        const std::string file = rooted ? std::string(name) : m_folder + name;
        vTexture& texture = m_ownedTextures->textures[i];
        if (texture.LoadTextureFromFile(file.c_str(), 0, 1) == S_OK) {
            SetSubsetTextureByIndex((int)i, &texture);
        } else {
            SetSubsetTextureByIndex((int)i, nullptr);
            result = E_FAIL;
        }
    }
    return result;
}

void vStaticModel::Update() {}

void vStaticModel::DrawSubset(DWORD subset, bool setMaterialAlways)
{
    vTexture* texture = m_textures ? m_textures[subset] : nullptr;
    if (texture || setMaterialAlways) objDevice->SetMaterial(&m_materials[subset]);
    if (texture)
        texture->UseTexture(0);
    else
        objDevice->SetTexture(0, NULL);
    m_mesh->DrawSubset(subset);
}

void vStaticModel::Render()
{
    if (!objDevice) return;
    objDevice->SetTransform(D3DTS_WORLD, &m_matWorld);

    D3DXVECTOR3 worldCorners[8];
    WOBBfromLOBB(worldCorners, m_localOBB, &m_matWorld);
    AABBfromOBB(&m_boundingBox, worldCorners);
    if (CullAABB(m_boundingBox) == 0) return;

    if (!m_mesh || !m_materials) return;
    for (DWORD i = 0; i < m_numSubsets; ++i) DrawSubset(i, false);
}

void vStaticModel::RenderSubset(int subset)
{
    if (!objDevice) return;
    objDevice->SetTransform(D3DTS_WORLD, &m_matWorld);
    if (!m_mesh || !m_materials || subset < 0 || (DWORD)subset >= m_numSubsets) return;
    DrawSubset((DWORD)subset, false);
}

void vStaticModel::DebugRenderSubset(int subset)
{
    if (!objDevice) return;
    objDevice->SetTransform(D3DTS_WORLD, &m_matWorld);
    if (!m_mesh || !m_materials || subset < 0 || (DWORD)subset >= m_numSubsets) return;
    objDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    DrawSubset((DWORD)subset, true);
    objDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
}

bool vStaticModel::Intersect(D3DXVECTOR3* rayPos, D3DXVECTOR3* rayDir, D3DXVECTOR3* outPoint, D3DXVECTOR3* outNormal,
                             float* outU, float* outV, float* outDistance)
{
    float bestDistance = kNoHit;
    float bestU = 0.0f, bestV = 0.0f;
    D3DXVECTOR3 bestPoint(0.0f, 0.0f, 0.0f), bestNormal(0.0f, 0.0f, 0.0f);
    bool hit = false;

    if (m_mesh && !m_collisionMesh && objDevice)
        m_mesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, D3DFVF_XYZ, objDevice, &m_collisionMesh);

    void* vertexData = nullptr;
    void* indexData = nullptr;
    if (m_mesh && m_collisionMesh && rayPos && rayDir &&
        SUCCEEDED(m_collisionMesh->LockVertexBuffer(D3DLOCK_READONLY, &vertexData)) && vertexData) {
        if (SUCCEEDED(m_collisionMesh->LockIndexBuffer(D3DLOCK_READONLY, &indexData)) && indexData) {
            const D3DXVECTOR3* positions = (const D3DXVECTOR3*)vertexData;
            const DWORD numVertices = m_collisionMesh->GetNumVertices();
            const DWORD numFaces = m_collisionMesh->GetNumFaces();
            const bool wide = (m_collisionMesh->GetOptions() & D3DXMESH_32BIT) != 0;
            const D3DXVECTOR3 move(m_matWorld._41, m_matWorld._42, m_matWorld._43);
            for (DWORD face = 0; face < numFaces; ++face) {
                DWORD index[3];
                for (int k = 0; k < 3; ++k)
                    index[k] = wide ? ((const DWORD*)indexData)[face * 3 + k] : ((const WORD*)indexData)[face * 3 + k];
                if (index[0] >= numVertices || index[1] >= numVertices || index[2] >= numVertices) continue;
                const D3DXVECTOR3 p0 = positions[index[0]] + move;
                const D3DXVECTOR3 p1 = positions[index[1]] + move;
                const D3DXVECTOR3 p2 = positions[index[2]] + move;
                float u = 0.0f, v = 0.0f, distance = 0.0f;
                if (!D3DXIntersectTri(&p0, &p1, &p2, rayPos, rayDir, &u, &v, &distance)) continue;
                hit = true;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    bestU = u;
                    bestV = v;
                    bestNormal = CalculateTrisNormal(p0, p1, p2);
                    bestPoint = p0 + u * (p1 - p0) + v * (p2 - p0);
                }
            }
            m_collisionMesh->UnlockIndexBuffer();
        }
        m_collisionMesh->UnlockVertexBuffer();
    }

    if (outNormal) *outNormal = bestNormal;
    if (outU) *outU = bestU;
    if (outV) *outV = bestV;
    if (outDistance) *outDistance = bestDistance;
    if (outPoint) *outPoint = bestPoint;
    return hit;
}

void vStaticModel::Kill()
{
    vcore::ReleaseRef(m_mesh);
}

void vStaticModel::BuildPhysicsGeometry() {}
