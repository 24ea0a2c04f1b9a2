// D3DX meshes: triangle lists with one attribute (material index) per face,
// drawn subset by subset, and the .X file loader that makes them.
#pragma once

#include <d3d9.h>
#include "d3dx9core.h"

// Mesh creation options.
#define D3DXMESH_32BIT 0x001
#define D3DXMESH_DONOTCLIP 0x002
#define D3DXMESH_POINTS 0x004
#define D3DXMESH_RTPATCHES 0x008
#define D3DXMESH_NPATCHES 0x4000
#define D3DXMESH_VB_SYSTEMMEM 0x010
#define D3DXMESH_VB_MANAGED 0x020
#define D3DXMESH_VB_WRITEONLY 0x040
#define D3DXMESH_VB_DYNAMIC 0x080
#define D3DXMESH_VB_SOFTWAREPROCESSING 0x8000
#define D3DXMESH_IB_SYSTEMMEM 0x100
#define D3DXMESH_IB_MANAGED 0x200
#define D3DXMESH_IB_WRITEONLY 0x400
#define D3DXMESH_IB_DYNAMIC 0x800
#define D3DXMESH_IB_SOFTWAREPROCESSING 0x10000
#define D3DXMESH_VB_SHARE 0x1000
#define D3DXMESH_USEHWONLY 0x2000
#define D3DXMESH_SYSTEMMEM 0x110
#define D3DXMESH_MANAGED 0x220
#define D3DXMESH_WRITEONLY 0x440
#define D3DXMESH_DYNAMIC 0x880
#define D3DXMESH_SOFTWAREPROCESSING 0x18000

// One material of a mesh file: the colours and the texture file name as
// written (NULL when the material names none).
struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;     // the colours of the subset
    LPSTR pTextureFilename;  // the texture file the subset names, or NULL
};
typedef D3DXMATERIAL* LPD3DXMATERIAL;  // pointer to D3DXMATERIAL

// One parameter value of an effect named by a mesh file.
struct D3DXEFFECTDEFAULT {
    LPSTR pParamName;  // the parameter's name
    DWORD Type;        // the kind of value
    DWORD NumBytes;    // the size of pValue in bytes
    LPVOID pValue;     // the value's bytes
};

// Effect instances of a mesh file's materials; .X files here name none.
struct D3DXEFFECTINSTANCE {
    LPSTR pEffectFilename;         // the effect file's name
    DWORD NumDefaults;             // the number of entries in pDefaults
    D3DXEFFECTDEFAULT* pDefaults;  // the parameter values
};

// One subset: faces FaceStart.. of attribute AttribId, using vertices VertexStart..
struct D3DXATTRIBUTERANGE {
    DWORD AttribId;     // the attribute of the subset's faces
    DWORD FaceStart;    // the first face
    DWORD FaceCount;    // the number of faces
    DWORD VertexStart;  // the first vertex the faces use
    DWORD VertexCount;  // the number of vertices from VertexStart
};

struct ID3DXMesh;
typedef ID3DXMesh* LPD3DXMESH;  // pointer to ID3DXMesh

// A mesh: vertices, triangles and the attribute of each triangle.
struct ID3DXBaseMesh : public IUnknown {
    // Draws the faces of attribute attribId with the device's current states,
    // setting its FVF, stream 0 and indices to the mesh's own.
    virtual HRESULT DrawSubset(DWORD attribId) = 0;
    // The number of faces (triangles).
    virtual DWORD GetNumFaces() = 0;
    // The number of vertices.
    virtual DWORD GetNumVertices() = 0;
    // The vertex format.
    virtual DWORD GetFVF() = 0;
    // The size of one vertex in bytes.
    virtual DWORD GetNumBytesPerVertex() = 0;
    // The D3DXMESH_* options the mesh was made with.
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE9* device) = 0;  // adds a reference
    // A copy with another vertex format: parts both formats have are copied,
    // new parts are zero (diffuse white). The caller owns the clone.
    virtual HRESULT CloneMeshFVF(DWORD options, DWORD fvf, LPDIRECT3DDEVICE9 device, LPD3DXMESH* cloneMesh) = 0;
    virtual HRESULT GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9* vertexBuffer) = 0;  // adds a reference
    virtual HRESULT GetIndexBuffer(LPDIRECT3DINDEXBUFFER9* indexBuffer) = 0;     // adds a reference
    // Maps all the vertices into *data; D3DERR_INVALIDCALL for a NULL data.
    virtual HRESULT LockVertexBuffer(DWORD flags, LPVOID* data) = 0;
    // Ends the vertex lock.
    virtual HRESULT UnlockVertexBuffer() = 0;
    // 16-bit indices, or 32-bit ones with D3DXMESH_32BIT; three per face.
    virtual HRESULT LockIndexBuffer(DWORD flags, LPVOID* data) = 0;
    // Ends the index lock.
    virtual HRESULT UnlockIndexBuffer() = 0;
    // The subsets; with table NULL only their count goes to *size.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) = 0;
};

// A mesh whose face attributes can be locked and changed.
struct ID3DXMesh : public ID3DXBaseMesh {
    // One attribute per face; after changing them, unlock rebuilds the subsets.
    virtual HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
    // Ends the attribute lock and rebuilds the subsets from the attributes.
    virtual HRESULT UnlockAttributeBuffer() = 0;
};

// An empty mesh of numFaces faces and numVertices vertices of the given
// format. D3DERR_INVALIDCALL for zero counts, no device, or more than 65535
// vertices without D3DXMESH_32BIT.
HRESULT WINAPI D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, LPDIRECT3DDEVICE9 device,
                                 LPD3DXMESH* mesh);

// Loads a .X file (text or binary; compressed ones are refused), read by the
// helper program d3dx-xfile-helper beside the library: every mesh of its frame
// hierarchy merged with the frame transforms applied, one subset per
// material, faces sorted by material. Vertex format XYZ with NORMAL and TEX1
// where the file has them. materials gets numMaterials D3DXMATERIALs;
// adjacency 3 DWORDs per face (0xFFFFFFFF: no neighbour); effectInstances one
// empty instance per material. All outputs but mesh are optional; each is
// the caller's reference. A missing, empty or corrupt file gives
// D3DXERR_INVALIDDATA (E_FAIL when it cannot be opened) and sets nothing;
// so does any file while the helper is missing.
HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR fileName, DWORD options, LPDIRECT3DDEVICE9 device, LPD3DXBUFFER* adjacency,
                                  LPD3DXBUFFER* materials, LPD3DXBUFFER* effectInstances, DWORD* numMaterials,
                                  LPD3DXMESH* mesh);
// The same from a file image held in memory.
HRESULT WINAPI D3DXLoadMeshFromXInMemory(LPCVOID memory, DWORD sizeOfMemory, DWORD options, LPDIRECT3DDEVICE9 device,
                                         LPD3DXBUFFER* adjacency, LPD3DXBUFFER* materials,
                                         LPD3DXBUFFER* effectInstances, DWORD* numMaterials, LPD3DXMESH* mesh);
