// ID3DXMesh over the device's vertex and index buffers, and the .X loader.
#include "d3dx9mesh.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "d3dx9math.h"
#include "d3dx/Buffer.h"
#include "d3dx/FileBytes.h"
#include "d3dx/FvfLayout.h"
#include "d3dx/XFileReader.h"
#include "d3d9/Unknown.h"

namespace {

// Lock flags a static buffer understands: the mesh's buffers are never
// dynamic, so discarding or no-overwrite requests read and write the data in place.
DWORD StaticLockFlags(DWORD flags)
{
    return flags & ~DWORD(D3DLOCK_DISCARD | D3DLOCK_NOOVERWRITE);
}

class Mesh final : public d3d9gl::Unknown<ID3DXMesh> {
public:
    Mesh(IDirect3DDevice9* device, DWORD options, DWORD fvf, DWORD faces, DWORD vertices)
        : device_(device), options_(options), fvf_(fvf), faces_(faces), vertices_(vertices),
          layout_(d3dx::detail::LayoutOfFvf(fvf)), attributes_(faces, 0)
    {
        device_->AddRef();
    }

    // Creates the buffers; false (with the device's result) when it refuses.
    HRESULT Create()
    {
        if (layout_.stride == 0) return D3DERR_INVALIDCALL;
        // Managed buffers can be locked and drawn alike, which is what a
        // system-memory mesh is asked to do here.
        HRESULT hr =
            device_->CreateVertexBuffer(vertices_ * DWORD(layout_.stride), 0, fvf_, D3DPOOL_MANAGED, &vb_, nullptr);
        if (FAILED(hr) || !vb_) return FAILED(hr) ? hr : E_FAIL;
        UINT indexBytes = (options_ & D3DXMESH_32BIT) ? 4 : 2;
        hr = device_->CreateIndexBuffer(faces_ * 3 * indexBytes, 0,
                                        (options_ & D3DXMESH_32BIT) ? D3DFMT_INDEX32 : D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                        &ib_, nullptr);
        if (FAILED(hr) || !ib_) return FAILED(hr) ? hr : E_FAIL;
        RebuildTable();
        return D3D_OK;
    }

    // ID3DXBaseMesh
    HRESULT DrawSubset(DWORD attribId) override
    {
        bool any = false;
        for (const D3DXATTRIBUTERANGE& r : table_) {
            if (r.AttribId != attribId || r.FaceCount == 0) continue;
            if (!any) {
                device_->SetFVF(fvf_);
                device_->SetStreamSource(0, vb_, 0, UINT(layout_.stride));
                device_->SetIndices(ib_);
                any = true;
            }
            HRESULT hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, r.VertexStart, r.VertexCount,
                                                       r.FaceStart * 3, r.FaceCount);
            if (FAILED(hr)) return hr;
        }
        return D3D_OK;
    }
    DWORD GetNumFaces() override { return faces_; }
    DWORD GetNumVertices() override { return vertices_; }
    DWORD GetFVF() override { return fvf_; }
    DWORD GetNumBytesPerVertex() override { return DWORD(layout_.stride); }
    DWORD GetOptions() override { return options_; }
    HRESULT GetDevice(LPDIRECT3DDEVICE9* device) override
    {
        if (!device) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    HRESULT CloneMeshFVF(DWORD options, DWORD fvf, LPDIRECT3DDEVICE9 device, LPD3DXMESH* cloneMesh) override;
    HRESULT GetVertexBuffer(LPDIRECT3DVERTEXBUFFER9* vb) override
    {
        if (!vb) return D3DERR_INVALIDCALL;
        vb_->AddRef();
        *vb = vb_;
        return D3D_OK;
    }
    HRESULT GetIndexBuffer(LPDIRECT3DINDEXBUFFER9* ib) override
    {
        if (!ib) return D3DERR_INVALIDCALL;
        ib_->AddRef();
        *ib = ib_;
        return D3D_OK;
    }
    HRESULT LockVertexBuffer(DWORD flags, LPVOID* data) override
    {
        if (!data) return D3DERR_INVALIDCALL;
        return vb_->Lock(0, 0, data, StaticLockFlags(flags));
    }
    HRESULT UnlockVertexBuffer() override { return vb_->Unlock(); }
    HRESULT LockIndexBuffer(DWORD flags, LPVOID* data) override
    {
        if (!data) return D3DERR_INVALIDCALL;
        return ib_->Lock(0, 0, data, StaticLockFlags(flags));
    }
    HRESULT UnlockIndexBuffer() override { return ib_->Unlock(); }
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override
    {
        if (!size) return D3DERR_INVALIDCALL;
        if (table) std::copy(table_.begin(), table_.end(), table);
        *size = DWORD(table_.size());
        return D3D_OK;
    }

    // ID3DXMesh
    HRESULT LockAttributeBuffer(DWORD, DWORD** data) override
    {
        if (!data) return D3DERR_INVALIDCALL;
        *data = attributes_.data();
        return D3D_OK;
    }
    HRESULT UnlockAttributeBuffer() override
    {
        RebuildTable();
        return D3D_OK;
    }

    std::vector<DWORD>& Attributes() { return attributes_; }

    // One subset per run of equal attributes, with the vertex range its faces use.
    void RebuildTable()
    {
        table_.clear();
        std::vector<uint32_t> indices(size_t(faces_) * 3);
        void* p = nullptr;
        if (ib_ && SUCCEEDED(ib_->Lock(0, 0, &p, D3DLOCK_READONLY)) && p) {
            for (size_t i = 0; i < indices.size(); ++i)
                indices[i] = (options_ & D3DXMESH_32BIT) ? static_cast<uint32_t*>(p)[i] : static_cast<uint16_t*>(p)[i];
            ib_->Unlock();
        }
        for (DWORD f = 0; f < faces_; ++f) {
            if (table_.empty() || table_.back().AttribId != attributes_[f] ||
                table_.back().FaceStart + table_.back().FaceCount != f)
                table_.push_back(D3DXATTRIBUTERANGE{attributes_[f], f, 0, 0, 0});
            D3DXATTRIBUTERANGE& r = table_.back();
            uint32_t lo = UINT32_MAX, hi = 0;
            for (int k = 0; k < 3; ++k) {
                lo = std::min(lo, indices[size_t(f) * 3 + k]);
                hi = std::max(hi, indices[size_t(f) * 3 + k]);
            }
            hi = std::min<uint32_t>(hi, vertices_ ? vertices_ - 1 : 0);
            lo = std::min(lo, hi);
            DWORD end = r.FaceCount ? r.VertexStart + r.VertexCount : lo;
            DWORD start = r.FaceCount ? std::min<DWORD>(r.VertexStart, lo) : lo;
            end = std::max<DWORD>(end, hi + 1);
            r.VertexStart = start;
            r.VertexCount = end - start;
            ++r.FaceCount;
        }
    }

private:
    ~Mesh()
    {
        if (ib_) ib_->Release();
        if (vb_) vb_->Release();
        device_->Release();
    }

    IDirect3DDevice9* device_;
    DWORD options_, fvf_, faces_, vertices_;
    d3dx::detail::FvfLayout layout_;
    IDirect3DVertexBuffer9* vb_ = nullptr;
    IDirect3DIndexBuffer9* ib_ = nullptr;
    std::vector<DWORD> attributes_;
    std::vector<D3DXATTRIBUTERANGE> table_;
};

HRESULT MakeMesh(DWORD faces, DWORD vertices, DWORD options, DWORD fvf, IDirect3DDevice9* device, Mesh** out)
{
    *out = nullptr;
    if (!device || faces == 0 || vertices == 0) return D3DERR_INVALIDCALL;
    if (vertices > 0xFFFF && !(options & D3DXMESH_32BIT)) return D3DERR_INVALIDCALL;
    if (d3dx::detail::LayoutOfFvf(fvf).stride == 0) return D3DERR_INVALIDCALL;
    Mesh* mesh = new (std::nothrow) Mesh(device, options, fvf, faces, vertices);
    if (!mesh) return E_OUTOFMEMORY;
    HRESULT hr = mesh->Create();
    if (FAILED(hr)) {
        mesh->Release();
        return hr;
    }
    *out = mesh;
    return D3D_OK;
}

// Copies what two vertex layouts share; parts only the target has are zero
// (diffuse opaque white).
void CopyVertex(const uint8_t* src, const d3dx::detail::FvfLayout& s, uint8_t* dst, const d3dx::detail::FvfLayout& d)
{
    std::memset(dst, 0, size_t(d.stride));
    std::memcpy(dst + d.position, src + s.position, 4 * size_t(std::min(3, s.positionFloats)));
    if (d.normal >= 0 && s.normal >= 0) std::memcpy(dst + d.normal, src + s.normal, 12);
    if (d.pointSize >= 0 && s.pointSize >= 0) std::memcpy(dst + d.pointSize, src + s.pointSize, 4);
    if (d.diffuse >= 0) {
        if (s.diffuse >= 0)
            std::memcpy(dst + d.diffuse, src + s.diffuse, 4);
        else
            std::memset(dst + d.diffuse, 0xFF, 4);
    }
    if (d.specular >= 0 && s.specular >= 0) std::memcpy(dst + d.specular, src + s.specular, 4);
    for (int t = 0; t < d.texCount && t < s.texCount; ++t)
        std::memcpy(dst + d.tex[t], src + s.tex[t], 4 * size_t(std::min(d.texFloats[t], s.texFloats[t])));
}

HRESULT Mesh::CloneMeshFVF(DWORD options, DWORD fvf, LPDIRECT3DDEVICE9 device, LPD3DXMESH* cloneMesh)
{
    if (!cloneMesh) return D3DERR_INVALIDCALL;
    *cloneMesh = nullptr;
    if (!device) return D3DERR_INVALIDCALL;
    if (vertices_ > 0xFFFF) options |= D3DXMESH_32BIT;
    Mesh* clone = nullptr;
    HRESULT hr = MakeMesh(faces_, vertices_, options, fvf, device, &clone);
    if (FAILED(hr)) return hr;
    void *src = nullptr, *dst = nullptr;
    hr = vb_->Lock(0, 0, &src, D3DLOCK_READONLY);
    if (SUCCEEDED(hr)) {
        hr = clone->LockVertexBuffer(0, &dst);
        if (SUCCEEDED(hr)) {
            for (DWORD v = 0; v < vertices_; ++v)
                CopyVertex(static_cast<uint8_t*>(src) + size_t(v) * layout_.stride, layout_,
                           static_cast<uint8_t*>(dst) + size_t(v) * clone->layout_.stride, clone->layout_);
            clone->UnlockVertexBuffer();
        }
        vb_->Unlock();
    }
    if (SUCCEEDED(hr)) hr = ib_->Lock(0, 0, &src, D3DLOCK_READONLY);
    if (SUCCEEDED(hr)) {
        hr = clone->LockIndexBuffer(0, &dst);
        if (SUCCEEDED(hr)) {
            bool from32 = options_ & D3DXMESH_32BIT, to32 = clone->options_ & D3DXMESH_32BIT;
            for (size_t i = 0; i < size_t(faces_) * 3; ++i) {
                uint32_t v = from32 ? static_cast<uint32_t*>(src)[i] : static_cast<uint16_t*>(src)[i];
                if (to32)
                    static_cast<uint32_t*>(dst)[i] = v;
                else
                    static_cast<uint16_t*>(dst)[i] = uint16_t(v);
            }
            clone->UnlockIndexBuffer();
        }
        ib_->Unlock();
    }
    if (FAILED(hr)) {
        clone->Release();
        return hr;
    }
    clone->attributes_ = attributes_;
    clone->RebuildTable();
    *cloneMesh = clone;
    return D3D_OK;
}

D3DCOLORVALUE ColourOf(const float* rgba)
{
    return D3DCOLORVALUE{rgba[0], rgba[1], rgba[2], rgba[3]};
}

// The material buffer: the D3DXMATERIAL array, then the texture names it points to.
ID3DXBuffer* MaterialBuffer(const std::vector<d3dx::detail::XMaterial>& materials)
{
    size_t head = materials.size() * sizeof(D3DXMATERIAL);
    size_t size = head;
    for (const auto& m : materials)
        if (m.hasTexture) size += m.textureFile.size() + 1;
    ID3DXBuffer* buffer = d3dx::detail::MakeBuffer(nullptr, size);
    if (!buffer) return nullptr;
    auto* base = static_cast<uint8_t*>(buffer->GetBufferPointer());
    auto* out = reinterpret_cast<D3DXMATERIAL*>(base);
    char* names = reinterpret_cast<char*>(base + head);
    for (size_t i = 0; i < materials.size(); ++i) {
        const auto& m = materials[i];
        D3DMATERIAL9 mat{};
        mat.Diffuse = ColourOf(m.diffuse);
        mat.Specular = ColourOf(m.specular);
        mat.Emissive = ColourOf(m.emissive);
        mat.Power = m.power;
        out[i].MatD3D = mat;
        out[i].pTextureFilename = nullptr;
        if (m.hasTexture) {
            std::memcpy(names, m.textureFile.c_str(), m.textureFile.size() + 1);
            out[i].pTextureFilename = names;
            names += m.textureFile.size() + 1;
        }
    }
    return buffer;
}

// Three neighbours per face (0xFFFFFFFF: none): faces sharing an edge.
ID3DXBuffer* AdjacencyBuffer(const d3dx::detail::XMeshData& data)
{
    size_t faces = data.FaceCount();
    std::vector<DWORD> adj(faces * 3, 0xFFFFFFFFu);
    std::map<std::pair<uint32_t, uint32_t>, std::pair<uint32_t, int>> open;
    for (uint32_t f = 0; f < faces; ++f) {
        for (int e = 0; e < 3; ++e) {
            uint32_t a = data.indices[f * 3 + e], b = data.indices[f * 3 + (e + 1) % 3];
            auto other = open.find({b, a});
            if (other != open.end()) {
                adj[f * 3 + e] = other->second.first;
                adj[other->second.first * 3 + other->second.second] = f;
                open.erase(other);
            } else {
                open[{a, b}] = {f, e};
            }
        }
    }
    return d3dx::detail::MakeBuffer(adj.data(), adj.size() * sizeof(DWORD));
}

ID3DXBuffer* EffectInstanceBuffer(size_t count)
{
    return d3dx::detail::MakeBuffer(nullptr, std::max<size_t>(1, count) * sizeof(D3DXEFFECTINSTANCE));
}

}  // namespace

HRESULT WINAPI D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, LPDIRECT3DDEVICE9 device,
                                 LPD3DXMESH* mesh)
{
    if (!mesh) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    Mesh* made = nullptr;
    HRESULT hr = MakeMesh(numFaces, numVertices, options, fvf, device, &made);
    if (SUCCEEDED(hr)) *mesh = made;
    return hr;
}

HRESULT WINAPI D3DXLoadMeshFromXInMemory(LPCVOID memory, DWORD sizeOfMemory, DWORD options, LPDIRECT3DDEVICE9 device,
                                         LPD3DXBUFFER* adjacency, LPD3DXBUFFER* materials,
                                         LPD3DXBUFFER* effectInstances, DWORD* numMaterials, LPD3DXMESH* mesh)
{
    if (mesh) *mesh = nullptr;
    if (adjacency) *adjacency = nullptr;
    if (materials) *materials = nullptr;
    if (effectInstances) *effectInstances = nullptr;
    if (!device || !mesh || !memory) return D3DERR_INVALIDCALL;

    d3dx::detail::XMeshData data;
    if (!d3dx::detail::ReadXFile(static_cast<const uint8_t*>(memory), sizeOfMemory, data, nullptr))
        return D3DXERR_INVALIDDATA;
    size_t vertexCount = data.VertexCount();
    if (vertexCount > 0xFFFF) options |= D3DXMESH_32BIT;
    if (vertexCount > 0xFFFFFFF || data.FaceCount() > 0xFFFFFFF) return D3DXERR_INVALIDDATA;

    DWORD fvf = D3DFVF_XYZ | (data.hasNormals ? D3DFVF_NORMAL : 0) | (data.hasTexCoords ? D3DFVF_TEX1 : 0);
    Mesh* made = nullptr;
    HRESULT hr = MakeMesh(DWORD(data.FaceCount()), DWORD(vertexCount), options, fvf, device, &made);
    if (FAILED(hr)) return hr;
    d3dx::detail::FvfLayout layout = d3dx::detail::LayoutOfFvf(fvf);

    void* p = nullptr;
    hr = made->LockVertexBuffer(0, &p);
    if (SUCCEEDED(hr)) {
        auto* bytes = static_cast<uint8_t*>(p);
        for (size_t v = 0; v < vertexCount; ++v) {
            uint8_t* out = bytes + v * size_t(layout.stride);
            std::memcpy(out + layout.position, &data.positions[v * 3], 12);
            if (data.hasNormals) std::memcpy(out + layout.normal, &data.normals[v * 3], 12);
            if (data.hasTexCoords) std::memcpy(out + layout.tex[0], &data.texCoords[v * 2], 8);
        }
        made->UnlockVertexBuffer();
        hr = made->LockIndexBuffer(0, &p);
    }
    if (SUCCEEDED(hr)) {
        bool wide = made->GetOptions() & D3DXMESH_32BIT;
        for (size_t i = 0; i < data.indices.size(); ++i) {
            if (wide)
                static_cast<uint32_t*>(p)[i] = data.indices[i];
            else
                static_cast<uint16_t*>(p)[i] = uint16_t(data.indices[i]);
        }
        made->UnlockIndexBuffer();
        std::copy(data.attributes.begin(), data.attributes.end(), made->Attributes().begin());
        made->RebuildTable();
    }

    ID3DXBuffer *mat = nullptr, *adj = nullptr, *fx = nullptr;
    if (SUCCEEDED(hr) && materials && !(mat = MaterialBuffer(data.materials))) hr = E_OUTOFMEMORY;
    if (SUCCEEDED(hr) && adjacency && !(adj = AdjacencyBuffer(data))) hr = E_OUTOFMEMORY;
    if (SUCCEEDED(hr) && effectInstances && !(fx = EffectInstanceBuffer(data.materials.size()))) hr = E_OUTOFMEMORY;
    if (FAILED(hr)) {
        if (mat) mat->Release();
        if (adj) adj->Release();
        if (fx) fx->Release();
        made->Release();
        return hr;
    }
    if (materials) *materials = mat;
    if (adjacency) *adjacency = adj;
    if (effectInstances) *effectInstances = fx;
    if (numMaterials) *numMaterials = DWORD(data.materials.size());
    *mesh = made;
    return D3D_OK;
}

HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR fileName, DWORD options, LPDIRECT3DDEVICE9 device, LPD3DXBUFFER* adjacency,
                                  LPD3DXBUFFER* materials, LPD3DXBUFFER* effectInstances, DWORD* numMaterials,
                                  LPD3DXMESH* mesh)
{
    if (mesh) *mesh = nullptr;
    if (adjacency) *adjacency = nullptr;
    if (materials) *materials = nullptr;
    if (effectInstances) *effectInstances = nullptr;
    if (!fileName || !device || !mesh) return D3DERR_INVALIDCALL;
    std::vector<uint8_t> bytes;
    if (!d3dx::detail::ReadFileBytes(fileName, bytes)) return E_FAIL;
    if (bytes.empty() || bytes.size() > 0xFFFFFFFFu) return D3DXERR_INVALIDDATA;
    return D3DXLoadMeshFromXInMemory(bytes.data(), DWORD(bytes.size()), options, device, adjacency, materials,
                                     effectInstances, numMaterials, mesh);
}
