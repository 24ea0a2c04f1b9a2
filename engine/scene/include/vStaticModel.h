// A mesh loaded from a DirectX .X file: drawn with frustum culling, by
// subset or in wireframe, and tested against rays. Copies share the mesh
// (each holds a reference); the destructor releases what Kill has not.
#pragma once

#include "vModel.h"

#include <d3dx9mesh.h>

#include <memory>
#include <string>

class vStaticModel : public vModel {
public:
    vStaticModel();
    ~vStaticModel() override;                            // releases the arrays and both meshes
    vStaticModel(const vStaticModel& other);             // shares arrays and meshes (AddRef)
    vStaticModel& operator=(const vStaticModel& other);  // releases ours, shares other's mesh and arrays

    // Loads the mesh (system memory), its bounds, materials (ambient = diffuse
    // - 0.3) and texture names; a model loaded before is released first.
    // 0, or E_FAIL with "Error loading Static Model" (the model stays empty).
    // fileName is relative to the working directory; a "media\..." file not
    // there is read from the engine's installed data (share/vorpex).
    long LoadModel(const char* fileName) override;
    // Loads the texture each subset's material names (GetMeshTextureDesc), relative
    // to the folder of the mesh file (a name starting with a separator is taken
    // as it is), and puts it in the subset's slot. The model owns these textures
    // (its copies share them). A texture that cannot be loaded is reported as
    // every texture load is (a line on standard error and the "Error!" box) and
    // its subset draws untextured. 0, or E_FAIL when a texture failed or no mesh
    // is loaded.
    long LoadModelTextures();
    void Update() override;  // nothing
    // Sets the world transform, moves the bounds to world space and draws
    // every subset unless the box lies outside the frustum.
    void Render() override;
    // One subset, not culled. Nothing for a subset the model does not have.
    void RenderSubset(int subset);
    // One subset in wireframe, not culled; leaves the fill mode solid.
    void DebugRenderSubset(int subset);
    // Nearest hit of the ray with the triangles, moved by the world matrix's
    // translation only. Distances in multiples of |rayDir|; 9999 and false on
    // a miss. u and v belong to the nearest hit. Null outputs are skipped.
    bool Intersect(D3DXVECTOR3* rayPos, D3DXVECTOR3* rayDir, D3DXVECTOR3* outPoint, D3DXVECTOR3* outNormal, float* outU,
                   float* outV, float* outDistance);
    // Releases the mesh; the model draws and hits nothing afterwards. Safe to call again.
    void Kill();
    void BuildPhysicsGeometry();  // nothing

    ID3DXMesh* m_mesh;           // the loaded mesh, one reference
    ID3DXMesh* m_collisionMesh;  // position-only clone made by the first Intersect

private:
    struct OwnedTextures;  // one texture per subset, made with the mesh, shared by the copies

    void DrawSubset(DWORD subset, bool setMaterialAlways);
    void ReleaseMeshes();

    std::string m_folder;  // folder of the loaded mesh file, with its final separator ("" for none)
    std::shared_ptr<OwnedTextures> m_ownedTextures;
};
