// vTerrain: the object, the flat grid, the height table and its file, normals
// and height queries. Chunks, the layer table and drawing: vTerrain_chunks.cpp.
#include "vTerrain.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <Win32File.h>

#include "TerrainTable.h"
#include "vEngine.h"
#include "vMathUtils.h"

#include "core/detail/ComRef.h"
#include "core/detail/LoadFailure.h"

namespace {

// 1/255 as the float the height conversion multiplies by.
const float kByteToUnit = 0.003921569f;
// The largest grid whose vertex indices fit 16 bits: (255 + 1)^2 = 65,536.
const int kMaxSize = 255;

float HeightOfByte(unsigned char h, float scale)
{
    return (float)h * kByteToUnit * scale;
}

unsigned char* NewTable()
{
    return new unsigned char[vscene::kTableBytes]();
}

unsigned char* CopyTable(const unsigned char* table)
{
    if (!table) return nullptr;
    unsigned char* copy = new unsigned char[vscene::kTableBytes];
    std::memcpy(copy, table, vscene::kTableBytes);
    return copy;
}

}  // namespace

vTerrain::vTerrain()
    : m_vertexBuffer(nullptr), m_size(0), m_numVertices(0), m_numTriangles(0), m_numIndices(0), m_heightsLoaded(false),
      m_layersLoaded(false), m_cellSize(1.0f), m_detailTiling(8.0f), m_alphaTiling(1.0f), m_heightScale(64.0f),
      m_detailStep(1), m_detailDistance(0.0f), m_lastCellX(0), m_lastCellZ(0), m_heightTable(nullptr),
      m_layerTable(nullptr), m_alphaTexture(nullptr), m_effect(nullptr), m_ready(false)
{
    for (int& step : m_drawnStep) step = 1;
    std::memset(m_chunks, 0, sizeof(m_chunks));
    D3DXMatrixIdentity(&m_chunkWorld);
}

vTerrain::~vTerrain()
{
    ReleaseAll();
}

vTerrain::vTerrain(const vTerrain& other)
    : m_vertexBuffer(nullptr), m_heightTable(nullptr), m_layerTable(nullptr), m_alphaTexture(nullptr), m_effect(nullptr)
{
    std::memset(m_chunks, 0, sizeof(m_chunks));
    CopyFrom(other);
}

vTerrain& vTerrain::operator=(const vTerrain& other)
{
    if (this != &other) {
        ReleaseAll();
        CopyFrom(other);
    }
    return *this;
}

void vTerrain::ReleaseAll()
{
    for (s_vChunkDesc& chunk : m_chunks) vcore::ReleaseRef(chunk.indexBuffer);
    ReleaseStepIndices();
    vcore::ReleaseRef(m_vertexBuffer);
    vcore::ReleaseRef(m_alphaTexture);
    vcore::ReleaseRef(m_effect);
    delete[] m_heightTable;
    m_heightTable = nullptr;
    delete[] m_layerTable;
    m_layerTable = nullptr;
    m_alphaMapFile.Kill();
    for (vTexture& texture : m_layerTextures) texture.Kill();
    m_ready = false;
}

// Expects every owned pointer of this terrain to be null.
void vTerrain::CopyFrom(const vTerrain& other)
{
    for (int c = 0; c < 9; ++c) {
        m_chunks[c] = other.m_chunks[c];
        m_chunks[c].indexBuffer = vcore::ShareRef(other.m_chunks[c].indexBuffer);
        // Chunks point at the textures of their own terrain.
        for (int layer = 0; layer < 4; ++layer)
            for (int k = 0; k < 4; ++k)
                if (other.m_chunks[c].layerTextures[layer] == &other.m_layerTextures[k])
                    m_chunks[c].layerTextures[layer] = &m_layerTextures[k];
    }
    m_vertexBuffer = vcore::ShareRef(other.m_vertexBuffer);
    m_size = other.m_size;
    m_numVertices = other.m_numVertices;
    m_numTriangles = other.m_numTriangles;
    m_numIndices = other.m_numIndices;
    m_heightsLoaded = other.m_heightsLoaded;
    m_layersLoaded = other.m_layersLoaded;
    m_cellSize = other.m_cellSize;
    m_detailTiling = other.m_detailTiling;
    m_alphaTiling = other.m_alphaTiling;
    m_heightScale = other.m_heightScale;
    m_detailStep = other.m_detailStep;
    m_detailDistance = other.m_detailDistance;
    for (int k = 0; k < 3; ++k) {
        m_steps[k] = other.m_steps[k];
        for (IDirect3DIndexBuffer9*& buffer : m_steps[k].buffers) vcore::ShareRef(buffer);
    }
    for (int c = 0; c < 9; ++c) m_drawnStep[c] = other.m_drawnStep[c];
    m_chunkWorld = other.m_chunkWorld;
    m_lastCellX = other.m_lastCellX;
    m_lastCellZ = other.m_lastCellZ;
    m_heightTable = CopyTable(other.m_heightTable);
    m_layerTable = CopyTable(other.m_layerTable);
    m_alphaTexture = vcore::ShareRef(other.m_alphaTexture);
    m_alphaMapFile = other.m_alphaMapFile;
    for (int k = 0; k < 4; ++k) m_layerTextures[k] = other.m_layerTextures[k];
    m_effect = vcore::ShareRef(other.m_effect);
    m_ready = other.m_ready;
}

void vTerrain::GenerateEmpty(int size)
{
    // A new grid replaces the old one; the chunks must be built again.
    m_ready = false;
    for (s_vChunkDesc& chunk : m_chunks) vcore::ReleaseRef(chunk.indexBuffer);
    ReleaseStepIndices();
    vcore::ReleaseRef(m_vertexBuffer);
    vcore::ReleaseRef(m_alphaTexture);
    vcore::ReleaseRef(m_effect);

    if (size < 3 || size > kMaxSize || size % 3 != 0) {
        MessageBoxA(NULL, "Terrain size must be a multiple of 3 from 3 to 255", "Error!", MB_OK);
        return;
    }
    if (!objDevice) return;

    const int n = size;
    m_size = n;
    m_numVertices = (n + 1) * (n + 1);
    m_numTriangles = 2 * n * n;
    if (FAILED(objDevice->CreateVertexBuffer((UINT)(m_numVertices * sizeof(s_vTerrainVertex)), D3DUSAGE_WRITEONLY,
                                             kTerrainFVF, D3DPOOL_MANAGED, &m_vertexBuffer, NULL)) ||
        !m_vertexBuffer) {
        m_vertexBuffer = nullptr;
        return;
    }

    s_vTerrainVertex* vertices = nullptr;
    if (FAILED(m_vertexBuffer->Lock(0, 0, (void**)&vertices, 0)) || !vertices) {
        vcore::ReleaseRef(m_vertexBuffer);
        return;
    }
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            s_vTerrainVertex& v = vertices[(n + 1) * j + i];
            v.position = D3DXVECTOR3((float)i * m_cellSize, 0.0f, (float)j * m_cellSize);
            v.normal = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
            const float s = (float)i / (float)n;
            const float t = (float)j / (float)n;
            v.detailU = s * m_detailTiling;
            v.detailV = t * m_detailTiling;
            v.alphaU = s * m_alphaTiling;
            v.alphaV = t * m_alphaTiling;
        }
    m_vertexBuffer->Unlock();

    m_alphaMapFile.LoadTextureFromFile("media\\alphamap.tga", 0, 1);
    static const char* const kLayerFiles[4] = {"media\\grass.bmp", "media\\mud.bmp", "media\\concrete.bmp",
                                               "media\\bricks01def.tga"};
    for (int k = 0; k < 4; ++k) m_layerTextures[k].LoadTextureFromFile(kLayerFiles[k], 0, 1);
    for (s_vChunkDesc& chunk : m_chunks)
        for (int k = 0; k < 4; ++k) chunk.layerTextures[k] = &m_layerTextures[k];

    vcore::LoadEffect("terrain", "media\\fx\\terrain.fx", &m_effect);
    m_ready = true;
}

void vTerrain::ApplyHeight(const char* fileName, int offsetX, int offsetZ)
{
    if (!m_heightsLoaded) {
        // The table counts as loaded even when the file is missing: it then
        // stays all zero and later calls lift the grid from it.
        delete[] m_heightTable;
        m_heightTable = NewTable();
        m_heightsLoaded = true;
        std::string reason;
        const bool read = vscene::ReadTerrainTable(fileName, m_heightTable, &reason);
        if (!reason.empty()) vcore::LogFailure("terrain", fileName, reason.c_str());  // refused, or taken damaged
        if (!read) return;
    }
    if (!m_vertexBuffer || !m_heightTable) return;

    for (s_vChunkDesc& chunk : m_chunks) {
        chunk.boundingBox.min.y = 10000.0f;
        chunk.boundingBox.max.y = -10000.0f;
    }
    s_vTerrainVertex* vertices = nullptr;
    if (FAILED(m_vertexBuffer->Lock(0, 0, (void**)&vertices, 0)) || !vertices) return;
    const int n = m_size;
    float lowest = 10000.0f, highest = -10000.0f;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            // Position 0 itself counts as outside, like everything off the table.
            const long long p = vscene::TablePosition((long long)offsetX + i, (long long)offsetZ + j);
            const unsigned char h = p > 0 ? m_heightTable[p] : 0;
            const float y = HeightOfByte(h, m_heightScale);
            vertices[(n + 1) * j + i].position.y = y;
            if (y < lowest) lowest = y;
            if (y > highest) highest = y;
        }
    m_vertexBuffer->Unlock();
    // Every chunk carries the whole grid's range, not only its own cells'.
    for (s_vChunkDesc& chunk : m_chunks) {
        if (lowest < chunk.boundingBox.min.y) chunk.boundingBox.min.y = lowest;
        if (highest > chunk.boundingBox.max.y) chunk.boundingBox.max.y = highest;
    }
}

void vTerrain::CalcNormals()
{
    if (!m_vertexBuffer || m_size <= 0) return;
    s_vTerrainVertex* vertices = nullptr;
    if (FAILED(m_vertexBuffer->Lock(0, 0, (void**)&vertices, 0)) || !vertices) return;
    const int n = m_size;
    auto at = [vertices, n](int i, int j) -> s_vTerrainVertex& { return vertices[(n + 1) * j + i]; };

    // Face pass: each quad split from (i + 1, j) to (i, j + 1); a normal ends
    // as the last value written to it.
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const D3DXVECTOR3 t1 = CalculateTrisNormal(at(i, j).position, at(i + 1, j).position, at(i, j + 1).position);
            at(i, j).normal = t1;
            at(i + 1, j).normal = t1;
            at(i, j + 1).normal = t1;
            const D3DXVECTOR3 t2 =
                CalculateTrisNormal(at(i + 1, j).position, at(i + 1, j + 1).position, at(i, j + 1).position);
            at(i + 1, j).normal = t2;
            at(i + 1, j + 1).normal = t2;
            at(i, j + 1).normal = t2;
        }
    // Smoothing pass, in place: each vertex reads only itself and neighbours
    // later in the walk, so it sees face-pass values throughout. The last row
    // and column keep their face normals.
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            D3DXVECTOR3 sum =
                (at(i, j).normal + 2.0f * at(i + 1, j).normal + 2.0f * at(i, j + 1).normal + at(i + 1, j + 1).normal) *
                0.16666667f;
            D3DXVec3Normalize(&at(i, j).normal, &sum);
        }
    m_vertexBuffer->Unlock();
}

float vTerrain::GetHeight(D3DXVECTOR3 position)
{
    if (!m_ready || !m_heightTable) return 0.0f;
    const float reciprocal = 1.0f / m_cellSize;
    const float fx = position.x * reciprocal;
    const float fz = position.z * reciprocal;
    // Beyond cell 4096 (or not a number): nothing there.
    if (!(fx < 4097.0f) || !(fz < 4097.0f)) return 0.0f;
    const float floorX = std::floor(fx), floorZ = std::floor(fz);
    const int ix = floorX < 1.0f ? 1 : (int)floorX;
    const int iz = floorZ < 1.0f ? 1 : (int)floorZ;
    m_lastCellX = ix;
    m_lastCellZ = iz;
    // Against the clamped cell, so positions before cell 1 extrapolate.
    const float u = fx - (float)ix;
    const float v = fz - (float)iz;
    // Cells 4095 and 4096 repeat the table's last row and column.
    const int last = vscene::kTableSide - 1;
    const int x0 = ix < last ? ix : last, x1 = ix + 1 < last ? ix + 1 : last;
    const int z0 = iz < last ? iz : last, z1 = iz + 1 < last ? iz + 1 : last;
    auto H = [this](int r, int c) { return HeightOfByte(m_heightTable[r * vscene::kTableSide + c], m_heightScale); };
    const float A = H(z0, x0), B = H(z1, x0), C = H(z0, x1), D = H(z1, x1);
    return A * (1.0f - u) * (1.0f - v) + B * (1.0f - u) * v + C * u * (1.0f - v) + D * u * v;
}

float vTerrain::GetSurfaceHeight(D3DXVECTOR3 position)
{
    if (!m_ready || !m_vertexBuffer || m_size < 3) return 0.0f;
    const int n = m_size;
    const float fx = position.x / m_cellSize;
    const float fz = position.z / m_cellSize;
    if (!(fx >= 0.0f && fx <= (float)n && fz >= 0.0f && fz <= (float)n)) return 0.0f;
    const int x = fx < (float)n ? (int)fx : n - 1;
    const int z = fz < (float)n ? (int)fz : n - 1;
    const float u = fx - (float)x, v = fz - (float)z;
    const int chunk = std::min(x / (n / 3), 2) + 3 * std::min(z / (n / 3), 2);
    if (m_detailDistance > 0.0f && m_drawnStep[chunk] > 1) {
        float height = 0.0f;
        for (const StepSet& set : m_steps)
            if (set.step == m_drawnStep[chunk] && CoarseSurfaceHeight(set, chunk, fx, fz, &height)) return height;
    }

    // The chunk's split of this quad: with the row toggle flipping per row and
    // the quad toggle per quad (carried across rows), the quad is split from
    // (x, z) to (x + 1, z + 1) when lz * (cs - 1) + lx is even.
    const int cs = n / 3;
    const int lx = x - cs * (x / cs), lz = z - cs * (z / cs);
    const bool mainDiagonal = ((lz * (cs - 1) + lx) & 1) == 0;

    const s_vTerrainVertex* vertices = nullptr;
    if (FAILED(m_vertexBuffer->Lock(0, 0, (void**)&vertices, D3DLOCK_READONLY)) || !vertices) return 0.0f;
    const float h00 = vertices[(n + 1) * z + x].position.y;
    const float h10 = vertices[(n + 1) * z + x + 1].position.y;
    const float h01 = vertices[(n + 1) * (z + 1) + x].position.y;
    const float h11 = vertices[(n + 1) * (z + 1) + x + 1].position.y;
    m_vertexBuffer->Unlock();

    if (mainDiagonal) {
        if (u >= v)  // (x, z), (x + 1, z), (x + 1, z + 1)
            return h00 + u * (h10 - h00) + v * (h11 - h10);
        return h00 + v * (h01 - h00) + u * (h11 - h01);  // (x, z), (x + 1, z + 1), (x, z + 1)
    }
    if (u + v <= 1.0f)  // (x, z), (x + 1, z), (x, z + 1)
        return h00 + u * (h10 - h00) + v * (h01 - h00);
    return h11 + (1.0f - u) * (h01 - h11) + (1.0f - v) * (h10 - h11);  // (x + 1, z), (x + 1, z + 1), (x, z + 1)
}

void vTerrain::CreateHeightFileFromBitmap(const char* bitmapFile, const char* heightFile)
{
    if (!objDevice) return;
    D3DXIMAGE_INFO info = {};
    vcore::ComRef<IDirect3DTexture9> texture;
    if (FAILED(D3DXCreateTextureFromFileExA(objDevice, bitmapFile, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_A8R8G8B8,
                                            D3DPOOL_SYSTEMMEM, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, &info, NULL,
                                            texture.out())) ||
        !texture)
        return;
    // W x W pixels are walked: the image must be at least as tall as it is wide.
    D3DSURFACE_DESC desc = {};
    const UINT w = info.Width;
    if (FAILED(texture->GetLevelDesc(0, &desc)) || w == 0 || desc.Width < w || desc.Height < w) return;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, NULL, D3DLOCK_READONLY))) return;

    // Byte k: the green value of column k / W, row k % W; gathered in blocks
    // of columns so the image rows are walked in order.
    std::vector<unsigned char> bytes((size_t)w * w);
    const unsigned char* bits = (const unsigned char*)locked.pBits;
    const UINT block = 64;
    for (UINT c0 = 0; c0 < w; c0 += block) {
        const UINT c1 = c0 + block < w ? c0 + block : w;
        for (UINT row = 0; row < w; ++row) {
            const unsigned char* line = bits + (size_t)row * locked.Pitch;
            for (UINT column = c0; column < c1; ++column) bytes[(size_t)column * w + row] = line[4 * column + 1];
        }
    }
    texture->UnlockRect(0);

    FILE* f = Win32_OpenFile(heightFile, "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
