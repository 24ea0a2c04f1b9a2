#include "vModel.h"

#include "vEngine.h"

// The arrays as allocated, freed by the last copy that holds them (the
// public pointers may be written by the program).
struct vModel::SharedArrays {
    long refs;    // copies holding the arrays
    DWORD count;  // entries in each array
    D3DMATERIAL9* materials;
    char** textureNames;  // the names themselves are owned too
    vTexture** textures;
};

vModel::vModel()
    : m_materials(nullptr), m_textureNames(nullptr), m_textures(nullptr), m_numSubsets(0), m_shared(nullptr)
{
    D3DXMatrixIdentity(&m_matWorld);
    m_boundingBox.min = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    m_boundingBox.max = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    for (D3DXVECTOR3& corner : m_localOBB) corner = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

vModel::~vModel()
{
    ReleaseArrays();
}

vModel::vModel(const vModel& other)
    : m_matWorld(other.m_matWorld), m_materials(other.m_materials), m_textureNames(other.m_textureNames),
      m_textures(other.m_textures), m_numSubsets(other.m_numSubsets), m_boundingBox(other.m_boundingBox),
      m_shared(other.m_shared)
{
    for (int k = 0; k < 8; ++k) m_localOBB[k] = other.m_localOBB[k];
    if (m_shared) ++m_shared->refs;
}

vModel& vModel::operator=(const vModel& other)
{
    if (this == &other) return *this;
    if (other.m_shared) ++other.m_shared->refs;
    ReleaseArrays();
    m_matWorld = other.m_matWorld;
    m_materials = other.m_materials;
    m_textureNames = other.m_textureNames;
    m_textures = other.m_textures;
    m_numSubsets = other.m_numSubsets;
    m_boundingBox = other.m_boundingBox;
    for (int k = 0; k < 8; ++k) m_localOBB[k] = other.m_localOBB[k];
    m_shared = other.m_shared;
    return *this;
}

long vModel::LoadModel(const char* /*fileName*/)
{
    return S_OK;
}

void vModel::Update() {}

void vModel::Render() {}

char* vModel::GetMeshTextureDesc(int subset)
{
    if (!m_textureNames || subset < 0 || (DWORD)subset >= m_numSubsets) return nullptr;
    return m_textureNames[subset];
}

void vModel::AllocateArrays(DWORD count)
{
    ReleaseArrays();
    m_materials = new D3DMATERIAL9[count]();
    m_textureNames = new char*[count]();
    m_textures = new vTexture*[count]();
    m_numSubsets = count;
    m_shared = new SharedArrays{1, count, m_materials, m_textureNames, m_textures};
}

void vModel::ReleaseArrays()
{
    if (m_shared && --m_shared->refs == 0) {
        for (DWORD i = 0; i < m_shared->count; ++i) delete[] m_shared->textureNames[i];
        delete[] m_shared->textureNames;
        delete[] m_shared->materials;
        delete[] m_shared->textures;
        delete m_shared;
    }
    m_shared = nullptr;
    m_materials = nullptr;
    m_textureNames = nullptr;
    m_textures = nullptr;
    m_numSubsets = 0;
}

void vModel::SetLocalBounds(const D3DXVECTOR3& min, const D3DXVECTOR3& max)
{
    m_boundingBox.min = min;
    m_boundingBox.max = max;
    CornersFromAABB(m_boundingBox, m_localOBB);
}
