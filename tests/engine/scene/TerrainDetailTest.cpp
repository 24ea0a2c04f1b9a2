// The terrain's coarser levels of detail on the headless device: chunks of
// three different steps side by side leave no gap between them, the height
// query follows the detail each chunk was drawn at once the option is on,
// and the water's reflection pass culls the terrain with its own frustum.
#include "TerrainFixture.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

#include "vEngine.h"
#include "vWaterPlane.h"

namespace {

using rendertest::Image;
using terraintest::TerrainFixture;
using terraintest::WriteTable;

class TerrainDetailTest : public TerrainFixture {
protected:
    void LookAt(D3DXVECTOR3 eye, D3DXVECTOR3 at)
    {
        D3DXMATRIX view;
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        objDevice->SetTransform(D3DTS_VIEW, &view);
    }

    // A 30-cell terrain of steep waves (heights 7 to 57), one layer.
    void BuildWaves()
    {
        ASSERT_TRUE(WriteTable("heights.raw", 31, [](int r, int c) {
            return (unsigned char)(128 + 100 * std::sin(r * 0.9) * std::cos(c * 1.3));
        }));
        WriteLayers(31, [](int, int) { return (unsigned char)0; });
        Build(30);
        terrain->GenerateAlphaMaps(0, 0);
        ASSERT_TRUE(terrain->m_ready);
    }

    Image Draw()
    {
        BeginFrame();
        terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
        return rendertest::ReadRenderTarget();
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
        return POINT{(LONG)std::lround((clip.x + 1.0f) * 0.5f * ClientWidth()),
                     (LONG)std::lround((1.0f - clip.y) * 0.5f * ClientHeight())};
    }
};

// Height of the triangle of indices that covers (x, z), by its own barycentric weights.
bool HeightFrom(const std::vector<unsigned short>& indices, const std::vector<s_vTerrainVertex>& vertices, float x,
                float z, float* height)
{
    for (size_t k = 0; k + 2 < indices.size(); k += 3) {
        const D3DXVECTOR3& a = vertices[indices[k]].position;
        const D3DXVECTOR3& b = vertices[indices[k + 1]].position;
        const D3DXVECTOR3& c = vertices[indices[k + 2]].position;
        const float det = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
        if (det == 0.0f) continue;
        const float wb = ((x - a.x) * (c.z - a.z) - (c.x - a.x) * (z - a.z)) / det;
        const float wc = ((b.x - a.x) * (z - a.z) - (x - a.x) * (b.z - a.z)) / det;
        const float wa = 1.0f - wb - wc;
        if (wa >= -1e-5f && wb >= -1e-5f && wc >= -1e-5f) {
            *height = wa * a.y + wb * b.y + wc * c.y;
            return true;
        }
    }
    return false;
}

TEST_F(TerrainDetailTest, ChunksOfDifferentDetailMeetWithoutCracks)
{
    BuildWaves();
    // Steeply down from in front of the first chunk row, above every peak.
    LookAt(D3DXVECTOR3(15, 150, -5), D3DXVECTOR3(15, 0, 15));
    // The inside of the footprint: every pixel there shows the surface,
    // whatever its detail, since the eye is above the highest point.
    const POINT nearLeft = Project(D3DXVECTOR3(3, 0, 3)), farRight = Project(D3DXVECTOR3(27, 0, 27));
    const int top = std::min(nearLeft.y, farRight.y), bottom = std::max(nearLeft.y, farRight.y);
    const POINT farLeft = Project(D3DXVECTOR3(3, 0, 27)), nearRight = Project(D3DXVECTOR3(27, 0, 3));
    const int left = std::max(nearLeft.x, farLeft.x), right = std::min(farRight.x, nearRight.x);
    ASSERT_LT(top + 20, bottom);
    ASSERT_LT(left + 20, right);
    auto holes = [&](const Image& image) {
        long count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += (image.At(x, y) & 0xFFFFFF) == 0;
        return count;
    };
    const Image full = Draw();
    EXPECT_EQ(holes(full), 0);

    // From the eye at (15, -5): the middle near chunk at full detail, the two
    // beside it at step 2, the rows behind at step 4.
    terrain->m_detailDistance = 6.0f;
    const int expected[9] = {2, 1, 2, 4, 4, 4, 4, 4, 4};
    for (int c = 0; c < 9; ++c) EXPECT_EQ(terrain->ChunkStep(c, D3DXVECTOR3(0, 0, 0)), expected[c]) << c;
    D3D9_ResetFrameStats(objDevice);
    const Image mixed = Draw();
    EXPECT_LT(rendertest::CurrentStats().primitives, (DWORD)terrain->m_numTriangles / 2);
    EXPECT_EQ(holes(mixed), 0);
    EXPECT_NE(mixed.pixels, full.pixels);  // the coarse chunks do draw another surface

    // Every chunk at every step keeps each vertex of its four edges.
    const int cs = terrain->m_size / 3;
    for (int step : {1, 2, 3, 4, 8})
        for (int c = 0; c < 9; ++c) {
            const std::vector<unsigned short> indices = terrain->ChunkIndices(c, step);
            const std::set<unsigned short> used(indices.begin(), indices.end());
            const int x0 = cs * (c % 3), z0 = cs * (c / 3);
            for (int t = 0; t <= cs; ++t)
                for (const POINT& p :
                     {POINT{x0 + t, z0}, POINT{x0 + t, z0 + cs}, POINT{x0, z0 + t}, POINT{x0 + cs, z0 + t}})
                    EXPECT_TRUE(used.count((unsigned short)((terrain->m_size + 1) * p.y + p.x)))
                        << "step " << step << " chunk " << c << " edge vertex " << p.x << "," << p.y;
        }
}

TEST_F(TerrainDetailTest, SurfaceHeightFollowsTheDetailEachChunkWasDrawnAt)
{
    BuildWaves();
    const std::vector<s_vTerrainVertex> vertices = Vertices();
    LookAt(D3DXVECTOR3(15, 150, -5), D3DXVECTOR3(15, 0, 15));
    terrain->m_detailDistance = 6.0f;
    // Before any chunk is drawn, and for the chunk drawn whole, the full grid answers.
    float drawn = 0.0f;
    ASSERT_TRUE(HeightFrom(terrain->ChunkIndices(4, 1), vertices, 14.3f, 15.6f, &drawn));
    EXPECT_NEAR(terrain->GetSurfaceHeight(D3DXVECTOR3(14.3f, 0, 15.6f)), drawn, 1e-3f);
    Draw();
    int differs = 0;
    for (int c = 0; c < 9; ++c) {
        const int step = terrain->ChunkStep(c, D3DXVECTOR3(0, 0, 0));
        const std::vector<unsigned short> indices = terrain->ChunkIndices(c, step);
        const std::vector<unsigned short> whole = terrain->ChunkIndices(c, 1);
        for (float u : {0.13f, 0.5f, 0.77f})
            for (float v : {0.21f, 0.64f, 0.92f}) {
                const float x = 10.0f * (c % 3 + u), z = 10.0f * (c / 3 + v);
                ASSERT_TRUE(HeightFrom(indices, vertices, x, z, &drawn)) << c;
                EXPECT_NEAR(terrain->GetSurfaceHeight(D3DXVECTOR3(x, 0, z)), drawn, 1e-3f) << "chunk " << c;
                float full = 0.0f;
                ASSERT_TRUE(HeightFrom(whole, vertices, x, z, &full));
                differs += std::fabs(full - drawn) > 0.5f;
            }
    }
    EXPECT_GT(differs, 0);  // the coarse surface is not the full one

    // Off again: the full grid answers wherever the chunks were drawn coarse.
    terrain->m_detailDistance = 0.0f;
    ASSERT_TRUE(HeightFrom(terrain->ChunkIndices(7, 1), vertices, 14.3f, 25.6f, &drawn));
    EXPECT_NEAR(terrain->GetSurfaceHeight(D3DXVECTOR3(14.3f, 0, 25.6f)), drawn, 1e-3f);
}

TEST_F(TerrainDetailTest, TheReflectionPassCullsWithItsOwnFrustum)
{
    namespace fs = std::filesystem;
    fs::copy_file(fs::path(KOLVAR_MEDIA_DIR) / "fx" / "water.fx", temp.path / "media" / "fx" / "water.fx");
    BuildWaves();
    vWaterPlane water;
    water.InitSurface(2.0f);
    ASSERT_NE(water.GetEffect(), nullptr);

    // The frame's frustum is built looking away from the terrain.
    LookAt(D3DXVECTOR3(15, 80, -40), D3DXVECTOR3(15, 80, -100));
    BeginFrame();  // Clear: the frustum of that view
    D3D9_ResetFrameStats(objDevice);
    terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);

    // The camera turns to the terrain; its mirror image sees it from below the water.
    LookAt(D3DXVECTOR3(15, 80, -40), D3DXVECTOR3(15, 0, 15));
    water.BeginRender(D3DXVECTOR3(15, 80, -40));
    ASSERT_TRUE(water.IsReflecting());
    D3D9_ResetFrameStats(objDevice);
    terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), true);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 9u);
    water.EndRender();

    // After the pass, culling is the frame's again.
    D3D9_ResetFrameStats(objDevice);
    terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);
}

}  // namespace
