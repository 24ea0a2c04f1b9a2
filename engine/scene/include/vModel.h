// Base of the engine's models: world matrix, per-subset materials, texture
// names and texture slots, and the model's bounds. Copies share the arrays
// (and, in the derived classes, the meshes); the last copy frees them.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9math.h>

#include "vBoundingBox.h"

class vTexture;

// Record kept for programs built against the engine; no engine code reads it.
struct s_vModelTexture {
    DWORD m_value;  // the program's value
};

class vModel {
public:
    vModel();                                // identity matrix, nothing loaded
    virtual ~vModel();                       // drops this copy's share of the arrays
    vModel(const vModel& other);             // shares other's arrays
    vModel& operator=(const vModel& other);  // drops our arrays, shares other's

    // The base loads nothing: 0. kept: fileName is not read here; the derived models read it.
    virtual long LoadModel(const char* fileName);
    virtual void Update();  // nothing
    virtual void Render();  // nothing

    void SetMatrix(D3DXMATRIX matrix) { m_matWorld = matrix; }  // the world transform of the next Render
    // Texture file named by the subset's material, or null (no name, no such
    // subset, or not loaded). Owned by the model.
    char* GetMeshTextureDesc(int subset);
    // Puts a borrowed texture in the subset's slot (null: untextured); nothing
    // for a subset the model does not have.
    void SetSubsetTextureByIndex(int subset, vTexture* texture)
    {
        if (m_textures && subset >= 0 && (DWORD)subset < m_numSubsets) m_textures[subset] = texture;
    }

    D3DXMATRIX m_matWorld;      // world transform
    D3DMATERIAL9* m_materials;  // one per subset
    char** m_textureNames;      // one per subset; null where the material names none
    vTexture** m_textures;      // one per subset; borrowed textures, null = untextured
    DWORD m_numSubsets;         // subsets (materials) of the loaded mesh
    // Model-space bounds after loading; the world-space box around the moved
    // corners after every Render.
    vBoundingBox m_boundingBox;
    D3DXVECTOR3 m_localOBB[8];  // corners of the model-space bounds

protected:
    // Fresh arrays for count subsets (names and textures null), replacing ours.
    void AllocateArrays(DWORD count);
    // Drops our share of the arrays (freed with the names by the last copy); 0 subsets.
    void ReleaseArrays();
    // Bounds and corners from the two extreme points.
    void SetLocalBounds(const D3DXVECTOR3& min, const D3DXVECTOR3& max);

private:
    struct SharedArrays;     // reference count and size of the arrays
    SharedArrays* m_shared;  // null when there are no arrays
};
