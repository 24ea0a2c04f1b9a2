// vTerrain: the coarser levels of detail of the chunks (m_detailStep,
// m_detailDistance) and the surface they draw.
//
// A chunk of cs cells at step s keeps every vertex of its four edges and
// draws its inside on the lines 1, 1 + s, 1 + 2s, ..., cs - 1 (the last span
// may be shorter). The one-cell band along each edge joins the edge's full
// row of vertices to the coarse line inside it with fans, so a chunk meets
// its neighbour on the same vertices whatever either's step:
//
//   edge   e e e e e e e        e: every vertex of the edge
//          |\ \|/ /|\ \|        c: the coarse line one cell inside
//   inside c-----c-----c
#include "vTerrain.h"

#include <algorithm>
#include <cmath>

#include "vEngine.h"

#include "core/detail/ComRef.h"

namespace {

struct GridPoint {
    int x, z;
};

// Appends the triangle with the winding of the full grid's triangles
// ((x, z), (x + 1, z), (x + 1, z + 1): counter-clockwise seen from +y in x, z).
void AddTriangle(std::vector<unsigned short>& out, int n, GridPoint p, GridPoint q, GridPoint r)
{
    const long cross = (long)(q.x - p.x) * (r.z - p.z) - (long)(q.z - p.z) * (r.x - p.x);
    if (cross == 0) return;
    if (cross < 0) std::swap(q, r);
    for (const GridPoint& g : {p, q, r}) out.push_back((unsigned short)((n + 1) * g.z + g.x));
}

// The triangles of the chunk whose first vertex is (x0, z0), cs cells a side, at step.
std::vector<unsigned short> CoarseChunk(int n, int x0, int z0, int cs, int step)
{
    std::vector<unsigned short> out;
    // The lines inside: 1, 1 + step, ..., cs - 1.
    std::vector<int> lines;
    for (int k = 1; k < cs - 1; k += step) lines.push_back(k);
    lines.push_back(cs - 1);
    auto at = [&](int x, int z) { return GridPoint{x0 + x, z0 + z}; };

    // The inside, in coarse quads.
    for (size_t j = 0; j + 1 < lines.size(); ++j)
        for (size_t i = 0; i + 1 < lines.size(); ++i) {
            const int xa = lines[i], xb = lines[i + 1], za = lines[j], zb = lines[j + 1];
            AddTriangle(out, n, at(xa, za), at(xb, za), at(xb, zb));
            AddTriangle(out, n, at(xa, za), at(xb, zb), at(xa, zb));
        }
    // The four corner cells, whole.
    for (int cz : {0, cs - 1})
        for (int cx : {0, cs - 1}) {
            AddTriangle(out, n, at(cx, cz), at(cx + 1, cz), at(cx + 1, cz + 1));
            AddTriangle(out, n, at(cx, cz), at(cx + 1, cz + 1), at(cx, cz + 1));
        }
    // The bands: along each edge, each coarse span [a, b] of the inner line
    // fans to the edge's vertices a ... b, half from a, half from b.
    // place(t, d): the point t along the band, d = 0 on the edge, 1 inside.
    auto band = [&](auto place) {
        for (size_t i = 0; i + 1 < lines.size(); ++i) {
            const int a = lines[i], b = lines[i + 1], mid = (a + b) / 2;
            for (int t = a; t < mid; ++t) AddTriangle(out, n, place(a, 1), place(t, 0), place(t + 1, 0));
            AddTriangle(out, n, place(a, 1), place(mid, 0), place(b, 1));
            for (int t = mid; t < b; ++t) AddTriangle(out, n, place(b, 1), place(t, 0), place(t + 1, 0));
        }
    };
    band([&](int t, int d) { return at(t, d); });       // z = 0
    band([&](int t, int d) { return at(t, cs - d); });  // z = cs
    band([&](int t, int d) { return at(d, t); });       // x = 0
    band([&](int t, int d) { return at(cs - d, t); });  // x = cs
    return out;
}

}  // namespace

void vTerrain::ReleaseStepIndices()
{
    for (StepSet& set : m_steps) {
        for (IDirect3DIndexBuffer9*& buffer : set.buffers) vcore::ReleaseRef(buffer);
        set = StepSet();
    }
    for (int& step : m_drawnStep) step = 1;
}

int vTerrain::ChunkStep(int chunk, D3DXVECTOR3 offset)
{
    int step = std::max(1, m_detailStep);
    if (!(m_detailDistance > 0.0f) || !objDevice) return step;
    D3DXMATRIX view, toWorld;
    objDevice->GetTransform(D3DTS_VIEW, &view);
    if (!D3DXMatrixInverse(&toWorld, nullptr, &view)) return step;
    // The distance in x and z from the eye to the nearest point of the box.
    const vBoundingBox& box = m_chunks[chunk].boundingBox;
    const float ex = toWorld._41 - offset.x, ez = toWorld._43 - offset.z;
    const float dx = std::max({box.min.x - ex, 0.0f, ex - box.max.x});
    const float dz = std::max({box.min.z - ez, 0.0f, ez - box.max.z});
    const float distance = std::sqrt(dx * dx + dz * dz);
    if (distance >= 2.0f * m_detailDistance) return 4 * step;
    if (distance >= m_detailDistance) return 2 * step;
    return step;
}

const vTerrain::StepSet* vTerrain::Steps(int step)
{
    const int cs = m_size / 3;
    if (step < 2 || cs < 3 || !objDevice || !m_vertexBuffer) return nullptr;
    StepSet* free = nullptr;
    for (StepSet& set : m_steps) {
        if (set.step == step) return &set;
        if (!free && set.step == 0) free = &set;
    }
    if (!free) {  // a fourth step: the oldest set makes room
        for (IDirect3DIndexBuffer9*& buffer : m_steps[0].buffers) vcore::ReleaseRef(buffer);
        m_steps[0] = StepSet();
        free = &m_steps[0];
    }
    StepSet set;
    set.step = step;
    for (int chunk = 0; chunk < 9; ++chunk) {
        set.indices[chunk] = CoarseChunk(m_size, cs * (chunk % 3), cs * (chunk / 3), cs, step);
        const std::vector<unsigned short>& list = set.indices[chunk];
        void* out = nullptr;
        const UINT bytes = (UINT)(list.size() * sizeof(unsigned short));
        if (FAILED(objDevice->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                                &set.buffers[chunk], NULL)) ||
            !set.buffers[chunk] || FAILED(set.buffers[chunk]->Lock(0, 0, &out, 0)) || !out) {
            for (IDirect3DIndexBuffer9*& buffer : set.buffers) vcore::ReleaseRef(buffer);
            return nullptr;
        }
        std::copy(list.begin(), list.end(), (unsigned short*)out);
        set.buffers[chunk]->Unlock();
    }
    *free = set;
    return free;
}

bool vTerrain::CoarseSurfaceHeight(const StepSet& set, int chunk, float x, float z, float* height)
{
    const std::vector<unsigned short>& list = set.indices[chunk];
    const int n = m_size;
    const s_vTerrainVertex* vertices = nullptr;
    if (FAILED(m_vertexBuffer->Lock(0, 0, (void**)&vertices, D3DLOCK_READONLY)) || !vertices) return false;
    bool found = false;
    for (size_t t = 0; t + 2 < list.size() && !found; t += 3) {
        float px[3], pz[3], py[3];
        for (int k = 0; k < 3; ++k) {
            const int i = list[t + k];
            px[k] = (float)(i % (n + 1));
            pz[k] = (float)(i / (n + 1));
            py[k] = vertices[i].position.y;
        }
        // Barycentric weights of (x, z) in the triangle, in grid units.
        const float det = (pz[1] - pz[2]) * (px[0] - px[2]) + (px[2] - px[1]) * (pz[0] - pz[2]);
        if (det == 0.0f) continue;
        const float w0 = ((pz[1] - pz[2]) * (x - px[2]) + (px[2] - px[1]) * (z - pz[2])) / det;
        const float w1 = ((pz[2] - pz[0]) * (x - px[2]) + (px[0] - px[2]) * (z - pz[2])) / det;
        const float w2 = 1.0f - w0 - w1;
        const float eps = -1e-5f;
        if (w0 >= eps && w1 >= eps && w2 >= eps) {
            *height = w0 * py[0] + w1 * py[1] + w2 * py[2];
            found = true;
        }
    }
    m_vertexBuffer->Unlock();
    return found;
}

std::vector<unsigned short> vTerrain::ChunkIndices(int chunk, int step)
{
    std::vector<unsigned short> out;
    if (!m_ready || chunk < 0 || chunk > 8) return out;
    if (step > 1) {
        const StepSet* set = Steps(step);
        if (set) return set->indices[chunk];
    }
    IDirect3DIndexBuffer9* buffer = m_chunks[chunk].indexBuffer;
    void* bits = nullptr;
    if (!buffer || FAILED(buffer->Lock(0, 0, &bits, D3DLOCK_READONLY)) || !bits) return out;
    const unsigned short* first = (const unsigned short*)bits;
    out.assign(first, first + 3 * (m_numTriangles / 9));
    buffer->Unlock();
    return out;
}
