// The terrain's grid, height and layer tables, normals, height queries, height
// files, chunk index buffers and alpha map, read back from the device's
// buffers and from the files on disk.
#include "TerrainFixture.h"

#include <cmath>
#include <fstream>
#include <iterator>

namespace {

using terraintest::kSide;
using terraintest::TerrainFixture;
using terraintest::WriteBytes;
using terraintest::WriteTable;

const float kUnit = 0.003921569f;  // 1/255

class TerrainTest : public TerrainFixture {};

TEST_F(TerrainTest, FlatGridVerticesFollowTheLayout)
{
    terrain->GenerateEmpty(3);
    ASSERT_TRUE(terrain->m_ready);
    EXPECT_EQ(terrain->m_numVertices, 16);
    EXPECT_EQ(terrain->m_numTriangles, 18);
    EXPECT_EQ(sizeof(s_vTerrainVertex), 40u);
    D3DVERTEXBUFFER_DESC desc = {};
    ASSERT_EQ(terrain->m_vertexBuffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 16u * 40u);
    EXPECT_EQ(desc.FVF, 0x212u);

    const std::vector<s_vTerrainVertex> v = Vertices();
    ASSERT_EQ(v.size(), 16u);
    const s_vTerrainVertex& five = v[5];  // column 1, row 1
    EXPECT_FLOAT_EQ(five.position.x, 1.0f);
    EXPECT_FLOAT_EQ(five.position.y, 0.0f);
    EXPECT_FLOAT_EQ(five.position.z, 1.0f);
    EXPECT_FLOAT_EQ(five.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(five.detailU, 8.0f / 3.0f);
    EXPECT_FLOAT_EQ(five.detailV, 8.0f / 3.0f);
    EXPECT_FLOAT_EQ(five.alphaU, 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(five.alphaV, 1.0f / 3.0f);
    // Column 3, row 2 with a cell size of 1.
    EXPECT_FLOAT_EQ(v[4 * 2 + 3].position.x, 3.0f);
    EXPECT_FLOAT_EQ(v[4 * 2 + 3].position.z, 2.0f);
    EXPECT_FLOAT_EQ(v[4 * 2 + 3].detailU, 8.0f);
}

TEST_F(TerrainTest, SizesThatBreakTheChunksAreRefused)
{
    for (int size : {0, -3, 10, 256, 258}) {
        win32test::ClearMessageBoxLog();
        terrain->GenerateEmpty(size);
        terrain->CreateChunks();
        EXPECT_FALSE(terrain->m_ready) << size;
        EXPECT_EQ(terrain->m_vertexBuffer, nullptr) << size;
        EXPECT_TRUE(MessageBoxShown("Error!: Terrain size must be a multiple of 3 from 3 to 255")) << size;
    }
    BeginFrame();
    terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);
    EXPECT_EQ(terrain->GetHeight(D3DXVECTOR3(1, 0, 1)), 0.0f);
    // The largest size that keeps indices in 16 bits works.
    terrain->GenerateEmpty(255);
    terrain->CreateChunks();
    EXPECT_TRUE(terrain->m_ready);
    EXPECT_EQ(terrain->m_numVertices, 65536);
}

TEST_F(TerrainTest, HeightsComeFromTheTableWithTheOffsets)
{
    // Row r, column c holds (r * 16 + c) & 0xFF in the first rows; byte 255
    // at (1, 1) and 128 at (1, 2).
    ASSERT_TRUE(WriteTable("heights.raw", 8, [](int r, int c) {
        if (r == 1 && c == 1) return (unsigned char)255;
        if (r == 1 && c == 2) return (unsigned char)128;
        return (unsigned char)((r * 16 + c + 7) & 0xFF);
    }));
    terrain->GenerateEmpty(3);
    terrain->CreateChunks();
    terrain->ApplyHeight("heights.raw", 0, 0);
    EXPECT_TRUE(terrain->m_heightsLoaded);
    std::vector<s_vTerrainVertex> v = Vertices();
    EXPECT_EQ(v[0].position.y, 0.0f);                              // position 0 gives 0, whatever its byte
    EXPECT_FLOAT_EQ(v[5].position.y, 64.0f);                       // 255
    EXPECT_NEAR(v[6].position.y, 128.0f / 255.0f * 64.0f, 1e-4f);  // 128: about 32.125
    EXPECT_NEAR(v[4 * 3 + 2].position.y, (3 * 16 + 2 + 7) * kUnit * 64.0f, 1e-4f);

    // Offsets pick another window of the loaded table; the file is not read again.
    std::remove("heights.raw");
    terrain->ApplyHeight("heights.raw", 1, 2);
    v = Vertices();
    EXPECT_NEAR(v[0].position.y, (2 * 16 + 1 + 7) * kUnit * 64.0f, 1e-4f);
    EXPECT_NEAR(v[4 * 1 + 2].position.y, (3 * 16 + 3 + 7) * kUnit * 64.0f, 1e-4f);
}

TEST_F(TerrainTest, ChunkBoxesCarryTheWholeGridsHeightRange)
{
    terrain->GenerateEmpty(9);
    terrain->CreateChunks();
    for (const s_vChunkDesc& c : terrain->m_chunks) {
        EXPECT_EQ(c.boundingBox.min.y, -10.0f);
        EXPECT_EQ(c.boundingBox.max.y, 10.0f);
    }
    // One high sample at vertex (8, 8), the rest 20, row 0 column 0 aside.
    ASSERT_TRUE(
        WriteTable("heights.raw", 10, [](int r, int c) { return (unsigned char)(r == 8 && c == 8 ? 250 : 20); }));
    terrain->ApplyHeight("heights.raw", 0, 0);
    for (const s_vChunkDesc& c : terrain->m_chunks) {
        EXPECT_EQ(c.boundingBox.min.y, 0.0f);
        EXPECT_NEAR(c.boundingBox.max.y, 250 * kUnit * 64.0f, 1e-4f);
    }
    // A second call resets and recomputes them.
    terrain->ApplyHeight("heights.raw", 20, 0);
    for (const s_vChunkDesc& c : terrain->m_chunks) {
        EXPECT_NEAR(c.boundingBox.min.y, 20 * kUnit * 64.0f, 1e-4f);
        EXPECT_NEAR(c.boundingBox.max.y, 20 * kUnit * 64.0f, 1e-4f);
    }
}

TEST_F(TerrainTest, ShortEmptyMissingAndLongHeightFiles)
{
    // Short: two rows and two bytes; everything after repeats the last byte (9).
    std::vector<unsigned char> bytes(2 * kSide + 2, 3);
    bytes.back() = 9;
    ASSERT_TRUE(WriteBytes("short.raw", bytes));
    terrain->GenerateEmpty(3);
    terrain->CreateChunks();
    terrain->ApplyHeight("short.raw", 0, 0);
    std::vector<s_vTerrainVertex> v = Vertices();
    EXPECT_NEAR(v[4 * 1 + 1].position.y, 3 * kUnit * 64.0f, 1e-4f);  // row 1
    EXPECT_NEAR(v[4 * 2 + 0].position.y, 3 * kUnit * 64.0f, 1e-4f);  // row 2, column 0
    EXPECT_NEAR(v[4 * 2 + 1].position.y, 9 * kUnit * 64.0f, 1e-4f);  // the file's last byte
    EXPECT_NEAR(v[4 * 2 + 2].position.y, 9 * kUnit * 64.0f, 1e-4f);  // past the end
    EXPECT_NEAR(v[4 * 3 + 3].position.y, 9 * kUnit * 64.0f, 1e-4f);
    EXPECT_NEAR(terrain->GetHeight(D3DXVECTOR3(4000.5f, 0, 4000.5f)), 9 * kUnit * 64.0f, 1e-3f);

    // Missing: the grid stays as it was and the table counts as loaded (all zero).
    vTerrain missing;
    missing.GenerateEmpty(3);
    missing.CreateChunks();
    missing.ApplyHeight("none.raw", 0, 0);
    EXPECT_TRUE(missing.m_heightsLoaded);
    EXPECT_EQ(missing.m_chunks[4].boundingBox.max.y, 10.0f);  // boxes untouched too
    ASSERT_TRUE(WriteBytes("none.raw", std::vector<unsigned char>(kSide * 4, 200)));
    missing.ApplyHeight("none.raw", 0, 0);  // not read again
    EXPECT_EQ(missing.m_chunks[4].boundingBox.max.y, 0.0f);

    // Empty: all zero.
    ASSERT_TRUE(WriteBytes("empty.raw", {}));
    vTerrain empty;
    empty.GenerateEmpty(3);
    empty.CreateChunks();
    empty.ApplyHeight("empty.raw", 1, 1);
    EXPECT_EQ(empty.m_chunks[0].boundingBox.max.y, 0.0f);

    // Longer than the table: the first 16 MB count. The last table byte is
    // 77, the one after it 200.
    {
        std::ofstream out("long.raw", std::ios::binary);
        std::vector<char> zeros(kSide, 0);
        for (int r = 0; r < kSide; ++r) out.write(zeros.data(), zeros.size());
        out.seekp((std::streamoff)kSide * kSide - 1);
        out.put((char)77);
        out.put((char)200);
        out.put((char)201);
    }
    vTerrain longer;
    longer.GenerateEmpty(3);
    longer.CreateChunks();
    longer.ApplyHeight("long.raw", kSide - 4, kSide - 4);  // vertex (3, 3) is the last sample
    EXPECT_NEAR(longer.m_chunks[0].boundingBox.max.y, 77 * kUnit * 64.0f, 1e-4f);
}

TEST_F(TerrainTest, OffsetsOutsideTheTableGiveZero)
{
    ASSERT_TRUE(WriteTable("heights.raw", kSide, [](int, int) { return (unsigned char)100; }));
    terrain->GenerateEmpty(3);
    terrain->CreateChunks();
    terrain->ApplyHeight("heights.raw", -2, -1);
    std::vector<s_vTerrainVertex> v = Vertices();
    EXPECT_EQ(v[0].position.y, 0.0f);                                  // before the table
    EXPECT_NEAR(v[4 * 1 + 3].position.y, 100 * kUnit * 64.0f, 1e-4f);  // row 0, column 1
    for (auto offsets : {std::make_pair(0, kSide), std::make_pair(-1000000000, 0),
                         std::make_pair(2000000000, 2000000000), std::make_pair(0, -kSide - 10)}) {
        terrain->ApplyHeight("heights.raw", offsets.first, offsets.second);
        for (const s_vTerrainVertex& vertex : Vertices()) EXPECT_EQ(vertex.position.y, 0.0f);
    }
    // A column past 4095 runs into the next row, still inside the table.
    terrain->ApplyHeight("heights.raw", kSide - 2, 0);
    EXPECT_NEAR(Vertices()[3].position.y, 100 * kUnit * 64.0f, 1e-4f);
}

TEST_F(TerrainTest, NormalsOfFlatGroundAndOfARamp)
{
    ASSERT_TRUE(WriteTable("heights.raw", 8, [](int, int) { return (unsigned char)0; }));
    Build(6);
    for (const s_vTerrainVertex& v : Vertices()) {
        EXPECT_NEAR(v.normal.x, 0.0f, 1e-6f);
        EXPECT_NEAR(v.normal.y, -1.0f, 1e-6f);
        EXPECT_NEAR(v.normal.z, 0.0f, 1e-6f);
    }

    // Height rising along x by 51 bytes per cell: every face has the normal
    // (k, -1, 0) / |...| with k = 51/255 * 64 = 12.8 (pointing below the
    // surface, as the flat normals do), and smoothing keeps it.
    vTerrain ramp;
    ASSERT_TRUE(WriteTable("ramp.raw", 8, [](int, int c) { return (unsigned char)(c < 6 ? 51 * (c - 1) : 0); }));
    ramp.GenerateEmpty(3);
    ramp.CreateChunks();
    ramp.ApplyHeight("ramp.raw", 1, 1);
    ramp.CalcNormals();
    void* data = nullptr;
    ASSERT_EQ(ramp.m_vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const s_vTerrainVertex* v = (const s_vTerrainVertex*)data;
    const float k = 51.0f * kUnit * 64.0f;
    const float length = std::sqrt(k * k + 1.0f);
    for (int j = 0; j <= 3; ++j)
        for (int i = 0; i <= 3; ++i) {
            const D3DXVECTOR3& n = v[4 * j + i].normal;
            EXPECT_NEAR(n.x, k / length, 1e-5f) << i << "," << j;
            EXPECT_NEAR(n.y, -1.0f / length, 1e-5f) << i << "," << j;
            EXPECT_NEAR(n.z, 0.0f, 1e-5f) << i << "," << j;
        }
    ramp.m_vertexBuffer->Unlock();
}

// Rows 0 ... 5 and columns 0 ... 5 hold distinct bytes; the last row and
// column of the table hold 240 and 250, the corner 255.
unsigned char QueryByte(int r, int c)
{
    if (r == kSide - 1 && c == kSide - 1) return 255;
    if (r == kSide - 1) return 240;
    if (c == kSide - 1) return 250;
    return (unsigned char)((r * 37 + c * 11) % 200);
}

TEST_F(TerrainTest, GetHeightInterpolatesTheTable)
{
    EXPECT_EQ(terrain->GetHeight(D3DXVECTOR3(2.5f, 0, 3.25f)), 0.0f);  // before GenerateEmpty
    ASSERT_TRUE(WriteTable("heights.raw", kSide, QueryByte));
    Build(9);
    auto H = [](int r, int c) { return QueryByte(r, c) * kUnit * 64.0f; };

    // Rows 3 and 4, columns 2 and 3, u = 0.5, v = 0.25.
    float expected = H(3, 2) * 0.5f * 0.75f + H(4, 2) * 0.5f * 0.25f + H(3, 3) * 0.5f * 0.75f + H(4, 3) * 0.5f * 0.25f;
    EXPECT_NEAR(terrain->GetHeight(D3DXVECTOR3(2.5f, 0, 3.25f)), expected, 1e-3f);
    EXPECT_EQ(terrain->m_lastCellX, 2);
    EXPECT_EQ(terrain->m_lastCellZ, 3);
    // Cell (1, 1) with u = v = -0.5: extrapolated.
    expected = H(1, 1) * 1.5f * 1.5f + H(2, 1) * 1.5f * -0.5f + H(1, 2) * -0.5f * 1.5f + H(2, 2) * 0.25f;
    EXPECT_NEAR(terrain->GetHeight(D3DXVECTOR3(0.5f, 0, 0.5f)), expected, 1e-3f);
    EXPECT_EQ(terrain->m_lastCellX, 1);
    EXPECT_EQ(terrain->GetHeight(D3DXVECTOR3(5000.0f, 0, 1.0f)), 0.0f);
    EXPECT_EQ(terrain->GetHeight(D3DXVECTOR3(1.0f, 0, 4097.0f)), 0.0f);
    EXPECT_EQ(terrain->GetHeight(D3DXVECTOR3(NAN, 0, 1.0f)), 0.0f);

    // Cells 4095 and 4096 stay on the table's last row and column.
    EXPECT_NEAR(terrain->GetHeight(D3DXVECTOR3(4095.0f, 0, 4095.0f)), H(kSide - 1, kSide - 1), 1e-3f);
    EXPECT_NEAR(terrain->GetHeight(D3DXVECTOR3(4096.5f, 0, 4096.5f)), H(kSide - 1, kSide - 1), 1e-3f);
    EXPECT_NEAR(terrain->GetHeight(D3DXVECTOR3(4095.5f, 0, 10.0f)), H(10, kSide - 1), 1e-3f);
    // Far negative positions clamp to cell 1 and extrapolate from it.
    const float farAway = terrain->GetHeight(D3DXVECTOR3(-1e30f, 0, 1.0f));
    EXPECT_EQ(terrain->m_lastCellX, 1);
    EXPECT_FALSE(std::isnan(farAway));

    // A larger cell size scales positions before the lookup.
    vTerrain wide;
    wide.m_cellSize = 2.0f;
    wide.GenerateEmpty(3);
    wide.CreateChunks();
    wide.ApplyHeight("heights.raw", 0, 0);
    EXPECT_NEAR(wide.GetHeight(D3DXVECTOR3(5.0f, 0, 6.5f)), terrain->GetHeight(D3DXVECTOR3(2.5f, 0, 3.25f)), 1e-3f);
}

TEST_F(TerrainTest, HeightFileFromAFourByFourImage)
{
    // Green of pixel (column x, row y) = 16 * x + y + 1.
    ASSERT_TRUE(rendertest::WriteTga("small.tga", 4, 4, [](int x, int y) {
        return 0xFF000000u | (uint32_t)(x * 7) << 16 | (uint32_t)(16 * x + y + 1) << 8 | (uint32_t)(y * 3);
    }));
    terrain->CreateHeightFileFromBitmap("small.tga", "small.raw");
    std::ifstream in("small.raw", std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 16u);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(bytes[k], 16 * (k / 4) + (k % 4) + 1) << k;  // column k / 4, row k % 4

    // Nothing is written for a missing image or one wider than tall.
    terrain->CreateHeightFileFromBitmap("absent.tga", "absent.raw");
    EXPECT_FALSE(std::filesystem::exists("absent.raw"));
    ASSERT_TRUE(rendertest::WriteSolidTga("wide.tga", 8, 2, 0xFF00FF00));
    terrain->CreateHeightFileFromBitmap("wide.tga", "wide.raw");
    EXPECT_FALSE(std::filesystem::exists("wide.raw"));
    // A name that cannot be created writes nothing and fails quietly.
    terrain->CreateHeightFileFromBitmap("small.tga", "no\\such\\folder.raw");
}

// The six indices of quad (x, z) on an n-cell grid, split along (x, z)-(x+1, z+1) or the other diagonal.
std::vector<WORD> Quad(int n, int x, int z, bool mainDiagonal)
{
    auto v = [n](int i, int j) { return (WORD)((n + 1) * j + i); };
    if (mainDiagonal) return {v(x, z), v(x + 1, z), v(x + 1, z + 1), v(x, z), v(x + 1, z + 1), v(x, z + 1)};
    return {v(x, z), v(x + 1, z), v(x, z + 1), v(x + 1, z), v(x + 1, z + 1), v(x, z + 1)};
}

TEST_F(TerrainTest, ChunksOfANineCellGrid)
{
    terrain->GenerateEmpty(9);
    terrain->CreateChunks();
    ASSERT_TRUE(terrain->m_ready);
    EXPECT_EQ(terrain->m_numIndices, 6 * 81);
    EXPECT_EQ(terrain->m_numTriangles / 9, 18);
    const s_vChunkDesc& c = terrain->m_chunks[1 + 3 * 2];
    EXPECT_EQ(c.origin, D3DXVECTOR3(3, 0, 6));
    EXPECT_EQ(c.boundingBox.min, D3DXVECTOR3(3, -10, 6));
    EXPECT_EQ(c.boundingBox.max, D3DXVECTOR3(6, 10, 9));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(c.layerTextures[k], &terrain->m_layerTextures[k]);

    // 54 indices covering cells x 3 ... 5, z 6 ... 8; with cs = 3 the split
    // alternates by column in every row.
    const std::vector<WORD> indices = Indices(1 + 3 * 2, 54);
    std::vector<WORD> expected;
    for (int z = 6; z < 9; ++z)
        for (int x = 3; x < 6; ++x) {
            const std::vector<WORD> q = Quad(9, x, z, (x - 3) % 2 == 0);
            expected.insert(expected.end(), q.begin(), q.end());
        }
    EXPECT_EQ(indices, expected);
}

TEST_F(TerrainTest, SplitsFormACheckerboardOnEvenChunkWidths)
{
    terrain->GenerateEmpty(6);
    terrain->CreateChunks();
    ASSERT_TRUE(terrain->m_ready);
    for (int chunk = 0; chunk < 9; ++chunk) {
        const int x0 = 2 * (chunk % 3), z0 = 2 * (chunk / 3);
        const std::vector<WORD> indices = Indices(chunk, 24);
        std::vector<WORD> expected;
        for (int z = z0; z < z0 + 2; ++z)
            for (int x = x0; x < x0 + 2; ++x) {
                const std::vector<WORD> q = Quad(6, x, z, (x - x0 + z - z0) % 2 == 0);
                expected.insert(expected.end(), q.begin(), q.end());
            }
        EXPECT_EQ(indices, expected) << chunk;
    }
}

TEST_F(TerrainTest, AlphaMapTexelsPerLayer)
{
    // Row 0: layers 0, 1, 2, 3, 7, 255; row 1: 3 everywhere; the rest 1.
    const unsigned char row0[6] = {0, 1, 2, 3, 7, 255};
    WriteLayers(3, [&row0](int r, int c) {
        if (r == 0) return c < 6 ? row0[c] : (unsigned char)2;
        return (unsigned char)(r == 1 ? 3 : 1);
    });
    terrain->GenerateEmpty(6);
    terrain->CreateChunks();
    terrain->GenerateAlphaMaps(0, 0);
    ASSERT_TRUE(terrain->m_layersLoaded);
    ASSERT_NE(terrain->m_alphaTexture, nullptr);
    D3DSURFACE_DESC desc = {};
    terrain->m_alphaTexture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 6u);
    EXPECT_EQ(desc.Height, 6u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);

    auto texel = [this](int a, int b) {
        D3DLOCKED_RECT locked;
        std::vector<int> out;
        if (FAILED(terrain->m_alphaTexture->LockRect(0, &locked, NULL, D3DLOCK_READONLY))) return out;
        const unsigned char* p = (const unsigned char*)locked.pBits + locked.Pitch * b + 4 * a;
        out.assign(p, p + 4);
        terrain->m_alphaTexture->UnlockRect(0);
        return out;
    };
    const std::vector<int> grass = {255, 0, 0, 0}, mud = {0, 255, 0, 0}, concrete = {0, 0, 255, 0},
                           bricks = {0, 0, 0, 255};
    EXPECT_EQ(texel(0, 0), grass);
    EXPECT_EQ(texel(1, 0), mud);
    EXPECT_EQ(texel(2, 0), concrete);
    EXPECT_EQ(texel(3, 0), bricks);
    EXPECT_EQ(texel(4, 0), grass);  // 7
    EXPECT_EQ(texel(5, 0), grass);  // 255
    EXPECT_EQ(texel(2, 1), bricks);
    EXPECT_EQ(texel(0, 5), mud);

    // Offsets: texel (a, b) from column 2 + a, row 1 + b; outside the table, grass.
    terrain->GenerateAlphaMaps(2, 1);
    EXPECT_EQ(texel(0, 0), bricks);
    EXPECT_EQ(texel(0, 1), mud);
    terrain->GenerateAlphaMaps(-100, -5000);
    EXPECT_EQ(texel(3, 3), grass);
    terrain->GenerateAlphaMaps(kSide * kSide, kSide);
    EXPECT_EQ(texel(5, 5), grass);
}

TEST_F(TerrainTest, MissingLayerTableIsTriedAgain)
{
    terrain->GenerateEmpty(3);
    terrain->CreateChunks();
    terrain->GenerateAlphaMaps(0, 0);
    EXPECT_FALSE(terrain->m_layersLoaded);
    IDirect3DTexture9* first = terrain->m_alphaTexture;
    ASSERT_NE(first, nullptr);
    WriteLayers(1, [](int, int) { return (unsigned char)2; });
    terrain->GenerateAlphaMaps(0, 0);
    EXPECT_TRUE(terrain->m_layersLoaded);
    EXPECT_EQ(terrain->m_alphaTexture, first);  // the same map, now filled
}

TEST_F(TerrainTest, MissingAndBrokenMediaAreNamedWithTheirReason)
{
    // Without its effect, its height file and its layer table the terrain goes
    // on as before, and each is named once on standard error.
    std::remove("media/fx/terrain.fx");
    testing::internal::CaptureStderr();
    terrain->GenerateEmpty(3);
    terrain->CreateChunks();
    terrain->ApplyHeight("none.raw", 0, 0);
    terrain->GenerateAlphaMaps(0, 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(terrain->m_ready);
    EXPECT_EQ(terrain->m_effect, nullptr);
    EXPECT_NE(err.find("terrain: media\\fx\\terrain.fx: cannot open the file: No such file or directory\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("terrain: none.raw: cannot open the file: No such file or directory\n"), std::string::npos)
        << err;
    EXPECT_NE(err.find("terrain: media\\TerrData\\terrtex.btd: cannot open the file: No such file or directory\n"),
              std::string::npos)
        << err;

    // An effect that does not compile gives its compile log.
    ASSERT_TRUE(WriteBytes("media/fx/terrain.fx", {'t', 'e', 'c', 'h', 'n', 'i', 'q', 'u', 'e', ' ', 'T', ' ', '{'}));
    vTerrain broken;
    testing::internal::CaptureStderr();
    broken.GenerateEmpty(3);
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(broken.m_effect, nullptr);
    EXPECT_NE(err.find("terrain: media\\fx\\terrain.fx: cannot compile: "), std::string::npos) << err;
    EXPECT_EQ(err.find("terrain.fx: media"), std::string::npos) << err;  // the file named once
}

TEST_F(TerrainTest, EverythingTheTerrainCreatedGoesWithIt)
{
    ASSERT_TRUE(WriteTable("heights.raw", 4, [](int, int) { return (unsigned char)5; }));
    WriteLayers(4, [](int, int) { return (unsigned char)1; });
    Build(6);
    terrain->GenerateAlphaMaps(0, 0);
    ASSERT_NE(terrain->m_effect, nullptr);
    // Hold a reference of our own to each object; once the terrain (and its
    // copy) are gone, ours must be the last.
    std::vector<IUnknown*> held = {terrain->m_vertexBuffer, terrain->m_alphaTexture, terrain->m_effect,
                                   terrain->m_layerTextures[0].GetTexture()};
    for (const s_vChunkDesc& c : terrain->m_chunks) held.push_back(c.indexBuffer);
    for (IUnknown* object : held) {
        ASSERT_NE(object, nullptr);
        object->AddRef();
    }
    {
        vTerrain copy(*terrain);
        EXPECT_EQ(copy.m_chunks[3].layerTextures[1], &copy.m_layerTextures[1]);
        EXPECT_NE(copy.m_heightTable, terrain->m_heightTable);
        EXPECT_NEAR(copy.GetHeight(D3DXVECTOR3(2, 0, 2)), 5 * kUnit * 64.0f, 1e-4f);
        vTerrain assigned;
        assigned = copy;
        vTerrain& same = assigned;
        assigned = same;
        EXPECT_TRUE(assigned.m_ready);
    }
    terrain.reset();
    for (IUnknown* object : held) EXPECT_EQ(object->Release(), 0u);
}

}  // namespace
