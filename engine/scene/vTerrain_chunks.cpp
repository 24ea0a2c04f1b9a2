// vTerrain: the nine chunk index buffers, the layer table and its alpha map,
// and culled drawing through the terrain effect.
#include "vTerrain.h"

#include <algorithm>
#include <vector>

#include "TerrainTable.h"
#include "vEngine.h"

#include "core/detail/ComRef.h"
#include "core/detail/LoadFailure.h"

namespace {

// Alpha-map texel of each layer, in memory order (blue, green, red, alpha):
// grass blue, mud green, concrete red, bricks alpha. Other bytes are grass.
const unsigned char kLayerTexel[4][4] = {
    {255, 0, 0, 0},
    {0, 255, 0, 0},
    {0, 0, 255, 0},
    {0, 0, 0, 255},
};

}  // namespace

void vTerrain::CreateChunks()
{
    for (s_vChunkDesc& chunk : m_chunks) vcore::ReleaseRef(chunk.indexBuffer);
    ReleaseStepIndices();
    if (!objDevice || !m_vertexBuffer || m_size < 3) {
        m_ready = false;
        return;
    }
    const int n = m_size;
    const int cs = n / 3;
    m_numIndices = 3 * m_numTriangles;
    // Vertex (x, z) as a 16-bit index; GenerateEmpty keeps n at most 255.
    auto vertex = [n](int x, int z) { return (WORD)((n + 1) * z + x); };

    for (int chunkX = 0; chunkX < 3; ++chunkX)
        for (int chunkZ = 0; chunkZ < 3; ++chunkZ) {
            s_vChunkDesc& c = m_chunks[chunkX + 3 * chunkZ];
            // kept: each of the nine buffers has room for the whole terrain's indices; it holds its own.
            if (FAILED(objDevice->CreateIndexBuffer((UINT)(m_numTriangles * 6), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                    D3DPOOL_MANAGED, &c.indexBuffer, NULL)) ||
                !c.indexBuffer) {
                c.indexBuffer = nullptr;
                m_ready = false;
                return;
            }
            const int x0 = cs * chunkX, z0 = cs * chunkZ;
            c.origin = D3DXVECTOR3((float)x0 * m_cellSize, 0.0f, (float)z0 * m_cellSize);
            c.boundingBox.min = D3DXVECTOR3((float)x0 * m_cellSize, -10.0f, (float)z0 * m_cellSize);
            c.boundingBox.max = D3DXVECTOR3((float)(x0 + cs) * m_cellSize, 10.0f, (float)(z0 + cs) * m_cellSize);

            WORD* out = nullptr;
            if (FAILED(c.indexBuffer->Lock(0, 0, (void**)&out, 0)) || !out) {
                m_ready = false;
                return;
            }
            // Split of each quad:
            //
            //   toggles equal             toggles differ
            //   (x,z+1)---(x+1,z+1)       (x,z+1)---(x+1,z+1)
            //      |     /   |               |   \     |
            //      |   /     |               |     \   |
            //   (x,z)-----(x+1,z)         (x,z)-----(x+1,z)
            //
            // The quad toggle flips after every quad (not reset per row), the
            // row toggle after every row.
            int rowToggle = 0, quadToggle = 0;
            for (int z = z0; z < z0 + cs; ++z) {
                for (int x = x0; x < x0 + cs; ++x) {
                    if (rowToggle == quadToggle) {
                        *out++ = vertex(x, z);
                        *out++ = vertex(x + 1, z);
                        *out++ = vertex(x + 1, z + 1);
                        *out++ = vertex(x, z);
                        *out++ = vertex(x + 1, z + 1);
                        *out++ = vertex(x, z + 1);
                    } else {
                        *out++ = vertex(x, z);
                        *out++ = vertex(x + 1, z);
                        *out++ = vertex(x, z + 1);
                        *out++ = vertex(x + 1, z);
                        *out++ = vertex(x + 1, z + 1);
                        *out++ = vertex(x, z + 1);
                    }
                    quadToggle ^= 1;
                }
                rowToggle ^= 1;
            }
            c.indexBuffer->Unlock();
        }
    m_ready = true;
}

void vTerrain::GenerateAlphaMaps(int offsetX, int offsetZ)
{
    if (!objDevice || !m_vertexBuffer || m_size < 3) return;
    const int n = m_size;
    if (!m_alphaTexture)
        D3DXCreateTexture(objDevice, (UINT)n, (UINT)n, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_alphaTexture);
    if (!m_layersLoaded) {
        if (!m_layerTable) m_layerTable = new unsigned char[vscene::kTableBytes];
        // A missing table leaves the map unfilled; a later call tries again.
        static const char* const kLayerFile = "media\\TerrData\\terrtex.btd";
        std::string reason;
        const bool read = vscene::ReadTerrainTable(kLayerFile, m_layerTable, &reason);
        if (!reason.empty()) vcore::LogFailure("terrain", kLayerFile, reason.c_str());  // refused, or taken damaged
        if (!read) return;
        m_layersLoaded = true;
    }
    if (!m_alphaTexture) return;
    D3DLOCKED_RECT locked;
    if (FAILED(m_alphaTexture->LockRect(0, &locked, NULL, 0))) return;
    unsigned char* bits = (unsigned char*)locked.pBits;
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            const long long p = vscene::TablePosition((long long)offsetX + a, (long long)offsetZ + b);
            const unsigned char t = p >= 0 ? m_layerTable[p] : 0;
            const unsigned char* texel = kLayerTexel[t <= 3 ? t : 0];
            unsigned char* dest = bits + (size_t)locked.Pitch * b + 4 * a;
            dest[0] = texel[0];
            dest[1] = texel[1];
            dest[2] = texel[2];
            dest[3] = texel[3];
        }
    m_alphaTexture->UnlockRect(0);
}

void vTerrain::RenderAll(bool flag, D3DXVECTOR3 offset, bool cullCounterClockwise)
{
    if (!m_ready || !m_effect || !objDevice) return;
    m_effect->SetTexture("alphatex1", m_alphaTexture);
    objDevice->SetStreamSource(0, m_vertexBuffer, 0, sizeof(s_vTerrainVertex));
    objDevice->SetFVF(kTerrainFVF);
    objDevice->SetRenderState(D3DRS_CULLMODE, cullCounterClockwise ? D3DCULL_CCW : D3DCULL_CW);

    // Nearest chunk first, so that the depth test turns away what nearer
    // chunks hide before it is shaded. The eye is the inverse view's origin.
    int order[9];
    float distance[9];
    D3DXMATRIX view, toWorld;
    objDevice->GetTransform(D3DTS_VIEW, &view);
    const bool eyeKnown = D3DXMatrixInverse(&toWorld, nullptr, &view) != nullptr;
    for (int i = 0; i < 9; ++i) {
        const vBoundingBox& box = m_chunks[i].boundingBox;
        const float dx = 0.5f * (box.min.x + box.max.x) + offset.x - toWorld._41;
        const float dz = 0.5f * (box.min.z + box.max.z) + offset.z - toWorld._43;
        distance[i] = eyeKnown ? dx * dx + dz * dz : 0.0f;
        order[i] = i;
    }
    std::stable_sort(order, order + 9, [&](int a, int b) { return distance[a] < distance[b]; });

    static const char* const kLayerParameters[4] = {"tex01", "tex02", "tex03", "tex04"};
    for (int i : order) {
        s_vChunkDesc& c = m_chunks[i];
        for (int k = 0; k < 4; ++k)
            m_effect->SetTexture(kLayerParameters[k], c.layerTextures[k] ? c.layerTextures[k]->GetTexture() : NULL);
        RenderChunk(i % 3, i / 3, flag, offset);
    }
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

void vTerrain::RenderChunk(int chunkX, int chunkZ, bool /*flag*/, D3DXVECTOR3 offset)
{
    if (!m_ready || !m_effect || !objDevice || chunkX < 0 || chunkX > 2 || chunkZ < 0 || chunkZ > 2) return;
    s_vChunkDesc& c = m_chunks[chunkX + 3 * chunkZ];
    vBoundingBox box = c.boundingBox;
    box.min.x += offset.x;
    box.max.x += offset.x;
    box.min.z += offset.z;
    box.max.z += offset.z;
    if (CullAABB(box) == 0) return;

    D3DXMatrixTranslation(&m_chunkWorld, offset.x, 0.0f, offset.z);
    objDevice->SetTransform(D3DTS_WORLD, &m_chunkWorld);
    const int index = chunkX + 3 * chunkZ;
    const StepSet* coarse = Steps(ChunkStep(index, offset));
    objDevice->SetIndices(coarse ? coarse->buffers[index] : c.indexBuffer);
    D3DXMATRIX world, view, projection, worldView, worldViewProj;
    objDevice->GetTransform(D3DTS_WORLD, &world);
    objDevice->GetTransform(D3DTS_VIEW, &view);
    objDevice->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&worldView, &world, &view);
    D3DXMatrixMultiply(&worldViewProj, &worldView, &projection);
    m_effect->SetMatrix("World", &world);
    m_effect->SetMatrix("WorldViewProj", &worldViewProj);

    UINT passes = 0;
    if (FAILED(m_effect->Begin(&passes, 0))) return;
    if (passes > 0 && SUCCEEDED(m_effect->BeginPass(0))) {
        objDevice->DrawIndexedPrimitive(
            D3DPT_TRIANGLELIST, 0, 0, (UINT)m_numVertices, 0,
            coarse ? (UINT)(coarse->indices[index].size() / 3) : (UINT)(m_numTriangles / 9));
        m_drawnStep[index] = coarse ? coarse->step : 1;
        m_effect->EndPass();
    }
    m_effect->End();
}
