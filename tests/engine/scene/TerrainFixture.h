// The engine opened in a temporary working folder that holds the terrain's
// media: solid-colour detail textures, the alpha-map image, the effect from
// the source tree, and height and layer tables written by each test.
#pragma once

#include <EngineFixture.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vTerrain.h"

namespace terraintest {

const int kSide = 4096;

// The detail textures' colours (0xRRGGBB): grass, mud, concrete, bricks.
const uint32_t kLayerColour[4] = {0x00FF00, 0xFF0000, 0x0000FF, 0xFFFF00};

// Uncompressed 24-bit BMP, bottom row first as the format stores it.
inline bool WriteSolidBmp(const std::string& file, int width, int height, uint32_t rgb)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    const int rowBytes = (width * 3 + 3) & ~3;
    const uint32_t dataSize = (uint32_t)(rowBytes * height);
    unsigned char header[54] = {'B', 'M'};
    auto put32 = [&header](int at, uint32_t v) {
        for (int k = 0; k < 4; ++k) header[at + k] = (unsigned char)(v >> (8 * k));
    };
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)width);
    put32(22, (uint32_t)height);
    header[26] = 1;
    header[28] = 24;
    put32(34, dataSize);
    std::fwrite(header, 1, sizeof(header), f);
    std::vector<unsigned char> row((size_t)rowBytes, 0);
    for (int x = 0; x < width; ++x) {
        row[3 * x + 0] = (unsigned char)(rgb & 0xFF);
        row[3 * x + 1] = (unsigned char)((rgb >> 8) & 0xFF);
        row[3 * x + 2] = (unsigned char)((rgb >> 16) & 0xFF);
    }
    for (int y = 0; y < height; ++y) std::fwrite(row.data(), 1, row.size(), f);
    std::fclose(f);
    return true;
}

// A table file of rows x 4096 bytes, byte(row, column).
inline bool WriteTable(const std::string& file, int rows, const std::function<unsigned char(int, int)>& byte)
{
    std::vector<unsigned char> bytes((size_t)rows * kSide);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kSide; ++c) bytes[(size_t)r * kSide + c] = byte(r, c);
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline bool WriteBytes(const std::string& file, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

class TerrainFixture : public rendertest::EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (IsSkipped()) return;
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        previous = cwd;
        namespace fs = std::filesystem;
        fs::create_directories(temp.path / "media" / "fx");
        fs::create_directories(temp.path / "media" / "TerrData");
        fs::copy_file(fs::path(KOLVAR_MEDIA_DIR) / "fx" / "terrain.fx", temp.path / "media" / "fx" / "terrain.fx");
        ASSERT_TRUE(WriteSolidBmp(temp.File("media/grass.bmp"), 8, 8, kLayerColour[0]));
        ASSERT_TRUE(WriteSolidBmp(temp.File("media/mud.bmp"), 8, 8, kLayerColour[1]));
        ASSERT_TRUE(WriteSolidBmp(temp.File("media/concrete.bmp"), 8, 8, kLayerColour[2]));
        ASSERT_TRUE(rendertest::WriteSolidTga(temp.File("media/bricks01def.tga"), 8, 8, 0xFF000000u | kLayerColour[3]));
        ASSERT_TRUE(rendertest::WriteSolidTga(temp.File("media/alphamap.tga"), 8, 8, 0xFF808080u));
        ASSERT_EQ(chdir(temp.path.c_str()), 0);
        terrain.reset(new vTerrain);
    }

    void ReleaseResources() override { terrain.reset(); }

    void TearDown() override
    {
        EngineFixture::TearDown();
        if (!previous.empty()) (void)chdir(previous.c_str());
    }

    // The layer table file, byte(row z, column x).
    void WriteLayers(int rows, const std::function<unsigned char(int, int)>& byte)
    {
        ASSERT_TRUE(WriteTable(temp.File("media/TerrData/terrtex.btd"), rows, byte));
    }

    // The vertices as the buffer holds them.
    std::vector<s_vTerrainVertex> Vertices()
    {
        std::vector<s_vTerrainVertex> out;
        void* data = nullptr;
        if (!terrain->m_vertexBuffer || FAILED(terrain->m_vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY)))
            return out;
        out.assign((const s_vTerrainVertex*)data, (const s_vTerrainVertex*)data + terrain->m_numVertices);
        terrain->m_vertexBuffer->Unlock();
        return out;
    }

    // The first count indices of a chunk.
    std::vector<WORD> Indices(int chunk, int count)
    {
        std::vector<WORD> out;
        void* data = nullptr;
        IDirect3DIndexBuffer9* buffer = terrain->m_chunks[chunk].indexBuffer;
        if (!buffer || FAILED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY))) return out;
        out.assign((const WORD*)data, (const WORD*)data + count);
        buffer->Unlock();
        return out;
    }

    // GenerateEmpty, CreateChunks, heights from the table file "heights.raw".
    void Build(int size, bool withHeights = true)
    {
        terrain->GenerateEmpty(size);
        terrain->CreateChunks();
        if (withHeights) terrain->ApplyHeight("heights.raw", 0, 0);
        terrain->CalcNormals();
    }

    std::unique_ptr<vTerrain> terrain;
    std::string previous;
};

}  // namespace terraintest
