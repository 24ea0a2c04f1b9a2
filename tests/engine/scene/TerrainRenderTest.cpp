// The terrain drawn through its effect on the headless device: the four
// layers in their places and lit, occlusion by a hill, culling per chunk seen
// in the draw counters, the drawing offset, cull modes, and the height query
// that follows the drawn triangles.
#include "TerrainFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using rendertest::ColorDistance;
using rendertest::Image;
using terraintest::kLayerColour;
using terraintest::kSide;
using terraintest::TerrainFixture;
using terraintest::WriteTable;

// The effect's light on flat ground: 0.35 + 0.65 * (up . normalize(0.3, 1, 0.2)).
const float kFlatLight = 0.35f + 0.65f / std::sqrt(0.09f + 1.0f + 0.04f);

uint32_t Lit(uint32_t rgb, float light)
{
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) out |= (uint32_t)std::lround(((rgb >> shift) & 0xFF) * light) << shift;
    return out;
}

class TerrainRenderTest : public TerrainFixture {
protected:
    void LookAt(D3DXVECTOR3 eye, D3DXVECTOR3 at, D3DXVECTOR3 up)
    {
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        objDevice->SetTransform(D3DTS_VIEW, &view);
    }

    // Straight down onto (x, z) from the given height, +z up the screen.
    void LookDown(float x, float z, float height)
    {
        LookAt(D3DXVECTOR3(x, height, z), D3DXVECTOR3(x, 0, z), D3DXVECTOR3(0, 0, 1));
    }

    // Pixel of a world point under the current view and projection.
    POINT Project(D3DXVECTOR3 world)
    {
        D3DXMATRIX view, projection, both;
        objDevice->GetTransform(D3DTS_VIEW, &view);
        objDevice->GetTransform(D3DTS_PROJECTION, &projection);
        D3DXMatrixMultiply(&both, &view, &projection);
        D3DXVECTOR3 clip;
        D3DXVec3TransformCoord(&clip, &world, &both);
        POINT p = {(LONG)std::lround((clip.x + 1.0f) * 0.5f * ClientWidth()),
                   (LONG)std::lround((1.0f - clip.y) * 0.5f * ClientHeight())};
        return p;
    }

    uint32_t PixelAt(const Image& image, D3DXVECTOR3 world)
    {
        const POINT p = Project(world);
        if (p.x < 0 || p.y < 0 || p.x >= image.width || p.y >= image.height) return 0xDEADBEEF;
        return image.At(p.x, p.y);
    }

    // A flat 30-cell terrain whose layer table gives layer(x, z).
    void BuildFlat(unsigned char (*layer)(int x, int z))
    {
        ASSERT_TRUE(WriteTable("heights.raw", 1, [](int, int) { return (unsigned char)0; }));
        WriteLayers(31, [layer](int r, int c) { return layer(c, r); });
        Build(30);
        terrain->GenerateAlphaMaps(0, 0);
        ASSERT_TRUE(terrain->m_ready);
    }

    // One frame: clear to black, draw the terrain, read the target back.
    Image Draw(D3DXVECTOR3 offset, bool cullCounterClockwise = false, DWORD* drawCalls = nullptr)
    {
        BeginFrame();
        terrain->RenderAll(true, offset, cullCounterClockwise);
        if (drawCalls) *drawCalls = rendertest::CurrentStats().drawCalls;
        return rendertest::ReadRenderTarget();
    }
};

unsigned char Quarters(int x, int z)
{
    return (unsigned char)((x >= 15 ? 1 : 0) + (z >= 15 ? 2 : 0));
}

TEST_F(TerrainRenderTest, FourLayersLitInTheirQuarters)
{
    BuildFlat(Quarters);
    LookDown(15, 15, 40);
    DWORD draws = 0;
    const Image image = Draw(D3DXVECTOR3(0, 0, 0), false, &draws);
    EXPECT_EQ(draws, 9u);
    const D3DXVECTOR3 centres[4] = {D3DXVECTOR3(7.5f, 0, 7.5f), D3DXVECTOR3(22.5f, 0, 7.5f),
                                    D3DXVECTOR3(7.5f, 0, 22.5f), D3DXVECTOR3(22.5f, 0, 22.5f)};
    for (int layer = 0; layer < 4; ++layer) {
        const uint32_t seen = PixelAt(image, centres[layer]);
        EXPECT_LE(ColorDistance(seen, Lit(kLayerColour[layer], kFlatLight)), 6)
            << "layer " << layer << " seen " << std::hex << seen;
    }
    // Grass lies lower left on screen, bricks upper right.
    const POINT lowerLeft = Project(centres[0]), upperRight = Project(centres[3]);
    EXPECT_LT(lowerLeft.x, upperRight.x);
    EXPECT_GT(lowerLeft.y, upperRight.y);
}

TEST_F(TerrainRenderTest, SlopesFacingTheSunAreBrighter)
{
    // A ridge along x: rising towards z = 15, falling after it.
    ASSERT_TRUE(WriteTable("heights.raw", 40, [](int r, int) {
        return (unsigned char)(r <= 16 ? r * 8 : r <= 32 ? (32 - r) * 8 : 0);
    }));
    WriteLayers(1, [](int, int) { return (unsigned char)0; });
    Build(30);
    terrain->GenerateAlphaMaps(0, 0);
    LookDown(15, 15, 60);
    const Image image = Draw(D3DXVECTOR3(0, 0, 0));
    // The sun leans towards +z, so the slope facing +z (beyond the ridge) is brighter.
    const uint32_t facingSun = PixelAt(image, D3DXVECTOR3(15, terrain->GetHeight(D3DXVECTOR3(15, 0, 24)), 24));
    const uint32_t facingAway = PixelAt(image, D3DXVECTOR3(15, terrain->GetHeight(D3DXVECTOR3(15, 0, 8)), 8));
    EXPECT_GT(rendertest::Channel(facingSun, 8), rendertest::Channel(facingAway, 8) + 5)
        << std::hex << facingSun << " " << facingAway;
    EXPECT_EQ(rendertest::Channel(facingSun, 16), 0);
}

TEST_F(TerrainRenderTest, AHillHidesWhatLiesBehindIt)
{
    // Red square standing at z = 40 behind the terrain, seen over flat ground.
    auto drawWall = []() {
        struct V {
            float x, y, z;
            DWORD colour;
        } quad[4] = {
            {0, 0, 40, 0xFFFF0000}, {30, 0, 40, 0xFFFF0000}, {30, 30, 40, 0xFFFF0000}, {0, 30, 40, 0xFFFF0000}};
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        objDevice->SetTransform(D3DTS_WORLD, &identity);
        objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        objDevice->SetTexture(0, NULL);
        objDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        objDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(V));
    };
    auto centre = [&](const char* heights) {
        terrain.reset(new vTerrain);
        terrain->GenerateEmpty(30);
        terrain->CreateChunks();
        terrain->ApplyHeight(heights, 0, 0);
        terrain->CalcNormals();
        terrain->GenerateAlphaMaps(0, 0);
        LookAt(D3DXVECTOR3(15, 5, -20), D3DXVECTOR3(15, 5, 40), D3DXVECTOR3(0, 1, 0));
        BeginFrame();
        terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
        drawWall();
        const Image image = rendertest::ReadRenderTarget();
        return image.At(image.width / 2, image.height / 2);
    };
    WriteLayers(1, [](int, int) { return (unsigned char)0; });
    ASSERT_TRUE(WriteTable("flat.raw", 1, [](int, int) { return (unsigned char)0; }));
    ASSERT_TRUE(WriteTable("hill.raw", 20, [](int r, int) { return (unsigned char)(r >= 10 && r <= 14 ? 255 : 0); }));
    EXPECT_EQ(centre("flat.raw"), 0xFF0000u);
    const uint32_t hidden = centre("hill.raw");
    EXPECT_GT(ColorDistance(hidden, 0xFF0000u), 100) << std::hex << hidden;
    EXPECT_GT(rendertest::Channel(hidden, 8), 40) << std::hex << hidden;  // grass
}

// Chunk rows: grass (z 0 ... 9), mud (10 ... 19), concrete (20 ... 29).
unsigned char ByChunkRow(int, int z)
{
    return (unsigned char)(z / 10);
}

TEST_F(TerrainRenderTest, ChunksOutsideTheViewAreNotDrawnAndOffsetMovesBoth)
{
    BuildFlat(ByChunkRow);
    // Low above the middle of the top chunk row: the view covers x 9 ... 21
    // and z 20.5 ... 29.5, so only the three chunks of that row remain.
    LookDown(15, 25, 8);
    DWORD draws = 0;
    const Image plain = Draw(D3DXVECTOR3(0, 0, 0), false, &draws);
    EXPECT_EQ(draws, 3u);
    EXPECT_LE(ColorDistance(PixelAt(plain, D3DXVECTOR3(15, 0, 25)), Lit(kLayerColour[2], kFlatLight)), 6);
    EXPECT_LE(ColorDistance(PixelAt(plain, D3DXVECTOR3(10.5f, 0, 25)), Lit(kLayerColour[2], kFlatLight)), 6);
    EXPECT_LE(ColorDistance(PixelAt(plain, D3DXVECTOR3(9.5f, 0, 25)), Lit(kLayerColour[2], kFlatLight)), 6);

    // Moved 10 along z: the mud row is under the camera now.
    const Image movedZ = Draw(D3DXVECTOR3(0, 0, 10), false, &draws);
    EXPECT_EQ(draws, 3u);
    EXPECT_LE(ColorDistance(PixelAt(movedZ, D3DXVECTOR3(15, 0, 25)), Lit(kLayerColour[1], kFlatLight)), 6);

    // Moved 15 along x: the terrain starts at x = 15; one chunk in view.
    const Image movedX = Draw(D3DXVECTOR3(15, 0, 0), false, &draws);
    EXPECT_EQ(draws, 1u);
    EXPECT_EQ(PixelAt(movedX, D3DXVECTOR3(12, 0, 25)), 0u);
    EXPECT_LE(ColorDistance(PixelAt(movedX, D3DXVECTOR3(18, 0, 25)), Lit(kLayerColour[2], kFlatLight)), 6);

    // Far away along x: nothing drawn at all.
    Draw(D3DXVECTOR3(500, 0, 0), false, &draws);
    EXPECT_EQ(draws, 0u);

    // offset.y changes nothing.
    const Image movedY = Draw(D3DXVECTOR3(0, 50, 0), false, &draws);
    EXPECT_EQ(draws, 3u);
    EXPECT_EQ(movedY.pixels, plain.pixels);
}

TEST_F(TerrainRenderTest, CullModeWhileDrawingAndAfter)
{
    BuildFlat(Quarters);
    LookDown(15, 15, 40);
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    const Image seen = Draw(D3DXVECTOR3(0, 0, 0), false);
    DWORD mode = 0;
    objDevice->GetRenderState(D3DRS_CULLMODE, &mode);
    EXPECT_EQ(mode, (DWORD)D3DCULL_NONE);
    EXPECT_NE(seen.At(seen.width / 2, seen.height / 2), 0u);

    // Seen from above the triangles wind counter-clockwise: CCW culling drops them.
    DWORD draws = 0;
    const Image culled = Draw(D3DXVECTOR3(0, 0, 0), true, &draws);
    EXPECT_EQ(draws, 9u);
    EXPECT_EQ(rendertest::FindColor(culled, 0x000000, 0).count, (long)culled.width * culled.height);
    objDevice->GetRenderState(D3DRS_CULLMODE, &mode);
    EXPECT_EQ(mode, (DWORD)D3DCULL_NONE);

    // From below, CCW culling shows the underside.
    LookAt(D3DXVECTOR3(15, -40, 15), D3DXVECTOR3(15, 0, 15), D3DXVECTOR3(0, 0, 1));
    const Image below = Draw(D3DXVECTOR3(0, 0, 0), true);
    EXPECT_NE(below.At(below.width / 2, below.height / 2), 0u);
}

// Height of the drawn surface from the chunk's own index buffer: the first
// triangle whose (x, z) projection holds the point, interpolated.
bool DrawnHeight(vTerrain& t, float x, float z, float* height)
{
    const int cs = t.m_size / 3;
    const int chunk = std::min((int)(x / t.m_cellSize) / cs, 2) + 3 * std::min((int)(z / t.m_cellSize) / cs, 2);
    const WORD* indices = nullptr;
    const s_vTerrainVertex* vertices = nullptr;
    if (FAILED(t.m_chunks[chunk].indexBuffer->Lock(0, 0, (void**)&indices, D3DLOCK_READONLY))) return false;
    t.m_vertexBuffer->Lock(0, 0, (void**)&vertices, D3DLOCK_READONLY);
    bool found = false;
    for (int k = 0; k < 6 * cs * cs && !found; k += 3) {
        const D3DXVECTOR3& a = vertices[indices[k]].position;
        const D3DXVECTOR3& b = vertices[indices[k + 1]].position;
        const D3DXVECTOR3& c = vertices[indices[k + 2]].position;
        const float det = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
        const float wb = ((x - a.x) * (c.z - a.z) - (c.x - a.x) * (z - a.z)) / det;
        const float wc = ((b.x - a.x) * (z - a.z) - (x - a.x) * (b.z - a.z)) / det;
        const float wa = 1.0f - wb - wc;
        if (wa >= -1e-5f && wb >= -1e-5f && wc >= -1e-5f) {
            *height = wa * a.y + wb * b.y + wc * c.y;
            found = true;
        }
    }
    t.m_vertexBuffer->Unlock();
    t.m_chunks[chunk].indexBuffer->Unlock();
    return found;
}

TEST_F(TerrainRenderTest, SurfaceHeightFollowsTheDrawnTriangles)
{
    ASSERT_TRUE(WriteTable("heights.raw", 40,
                           [](int r, int c) { return (unsigned char)((r * 97 + c * 57 + r * c * 13) % 251); }));
    for (int size : {6, 9, 12}) {
        for (float cellSize : {1.0f, 2.5f}) {
            vTerrain t;
            t.m_cellSize = cellSize;
            t.GenerateEmpty(size);
            t.CreateChunks();
            t.ApplyHeight("heights.raw", 0, 0);
            ASSERT_TRUE(t.m_ready);
            int differs = 0;
            for (int z = 0; z < size; ++z)
                for (int x = 0; x < size; ++x)
                    for (D3DXVECTOR2 at :
                         {D3DXVECTOR2(0.5f, 0.5f), D3DXVECTOR2(0.25f, 0.7f), D3DXVECTOR2(0.8f, 0.1f)}) {
                        const float wx = (x + at.x) * cellSize, wz = (z + at.y) * cellSize;
                        float drawn = 0.0f;
                        ASSERT_TRUE(DrawnHeight(t, wx, wz, &drawn));
                        const float surface = t.GetSurfaceHeight(D3DXVECTOR3(wx, 0, wz));
                        EXPECT_NEAR(surface, drawn, 1e-3f) << size << " cell " << x << "," << z;
                        // The bilinear table query answers something else in places.
                        if (std::fabs(t.GetHeight(D3DXVECTOR3(wx, 0, wz)) - drawn) > 0.5f) ++differs;
                    }
            EXPECT_GT(differs, 0);
            // The far edges belong to the last cells; off the grid gives 0.
            float drawn = 0.0f;
            ASSERT_TRUE(DrawnHeight(t, size * cellSize, size * cellSize, &drawn));
            EXPECT_NEAR(t.GetSurfaceHeight(D3DXVECTOR3(size * cellSize, 0, size * cellSize)), drawn, 1e-3f);
            EXPECT_EQ(t.GetSurfaceHeight(D3DXVECTOR3(-0.1f, 0, 1)), 0.0f);
            EXPECT_EQ(t.GetSurfaceHeight(D3DXVECTOR3(1, 0, size * cellSize + 0.1f)), 0.0f);
        }
    }
    vTerrain notReady;
    EXPECT_EQ(notReady.GetSurfaceHeight(D3DXVECTOR3(1, 0, 1)), 0.0f);
}

TEST_F(TerrainRenderTest, NothingIsDrawnWhenTheEffectCannotBegin)
{
    BuildFlat(Quarters);
    LookDown(15, 15, 40);
    DWORD drawCalls = 0;
    Draw(D3DXVECTOR3(0, 0, 0), false, &drawCalls);
    ASSERT_EQ(drawCalls, 9u);

    // An effect already begun refuses a second Begin: no chunk is drawn
    // without its pass, and the effect is left as the caller had it.
    UINT passes = 0;
    ASSERT_EQ(terrain->m_effect->Begin(&passes, 0), D3D_OK);
    const Image image = Draw(D3DXVECTOR3(0, 0, 0), false, &drawCalls);
    EXPECT_EQ(drawCalls, 0u);
    EXPECT_EQ(image.At(image.width / 2, image.height / 2) & 0xFFFFFF, 0u);
    EXPECT_EQ(terrain->m_effect->End(), D3D_OK);
}

}  // namespace
