// The terrain built from the generated media in the documented calling order
// (run in a folder where kmediagen and vterrainmedia wrote media/): hills,
// valleys and a plain under the water, all four layers, every chunk drawn
// from afar, and a camera walked over the ground at the reported height.
#include <EngineFixture.h>

#include <cmath>
#include <memory>

#include "vTerrain.h"

namespace {

using rendertest::Image;

const float kWaterHeight = 32.0f / 255.0f * 64.0f;  // water level of the generated media (byte 32)

class TerrainMediaTest : public rendertest::EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (IsSkipped()) return;
        terrain.reset(new vTerrain);
        terrain->GenerateEmpty(255);
        terrain->CreateChunks();
        terrain->ApplyHeight("media\\TerrData\\heights.raw", 0, 0);
        terrain->CalcNormals();
        terrain->GenerateAlphaMaps(0, 0);
    }
    void ReleaseResources() override { terrain.reset(); }

    void LookAt(D3DXVECTOR3 eye, D3DXVECTOR3 at)
    {
        D3DXMATRIX view;
        D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        objDevice->SetTransform(D3DTS_VIEW, &view);
    }

    std::unique_ptr<vTerrain> terrain;
};

TEST_F(TerrainMediaTest, BuildsFromTheGeneratedMedia)
{
    ASSERT_TRUE(terrain->m_ready);
    EXPECT_TRUE(terrain->m_heightsLoaded);
    EXPECT_TRUE(terrain->m_layersLoaded);
    EXPECT_NE(terrain->m_effect, nullptr);
    EXPECT_TRUE(win32test::MessageBoxLog().empty());  // every texture loaded
    for (vTexture& layer : terrain->m_layerTextures) EXPECT_TRUE(layer.IsLoaded());

    // Hills and valleys, and the plain around (200, 90) under the water.
    const s_vChunkDesc& any = terrain->m_chunks[4];
    EXPECT_GT(any.boundingBox.max.y - any.boundingBox.min.y, 25.0f);
    EXPECT_LT(terrain->GetHeight(D3DXVECTOR3(200, 0, 90)), kWaterHeight);
    EXPECT_GT(terrain->GetHeight(D3DXVECTOR3(60, 0, 200)), kWaterHeight);

    // All four layers appear in the alpha map.
    D3DLOCKED_RECT locked;
    ASSERT_EQ(terrain->m_alphaTexture->LockRect(0, &locked, NULL, D3DLOCK_READONLY), D3D_OK);
    long count[4] = {};
    for (int b = 0; b < 255; ++b)
        for (int a = 0; a < 255; ++a) {
            const unsigned char* t = (const unsigned char*)locked.pBits + locked.Pitch * b + 4 * a;
            for (int k = 0; k < 4; ++k)
                if (t[k] == 255) ++count[k];
        }
    terrain->m_alphaTexture->UnlockRect(0);
    for (int k = 0; k < 4; ++k) EXPECT_GT(count[k], 100) << "channel " << k;
    EXPECT_GT(count[0], count[1] + count[2] + count[3]);  // mostly grass
}

TEST_F(TerrainMediaTest, AllNineChunksFromAfar)
{
    ASSERT_TRUE(terrain->m_ready);
    LookAt(D3DXVECTOR3(127.5f, 260, -120), D3DXVECTOR3(127.5f, 0, 127.5f));
    BeginFrame();
    terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
    const D3D9FrameStats stats = rendertest::CurrentStats();
    EXPECT_EQ(stats.drawCalls, 9u);
    EXPECT_EQ(stats.primitives, 130050u);
    const Image image = rendertest::ReadRenderTarget();
    const long black = rendertest::FindColor(image, 0x000000, 2).count;
    EXPECT_LT(black, (long)image.width * image.height * 8 / 10);  // the terrain fills a good part of the view
    EXPECT_NE(image.At(image.width / 2, image.height / 2), 0u);
}

TEST_F(TerrainMediaTest, WalkingAtTheReportedHeight)
{
    ASSERT_TRUE(terrain->m_ready);
    for (int step = 0; step < 8; ++step) {
        const float x = 20.0f + 25.0f * step, z = 40.0f + 17.0f * step;
        const float ground = terrain->GetHeight(D3DXVECTOR3(x, 0, z));
        const float surface = terrain->GetSurfaceHeight(D3DXVECTOR3(x, 0, z));
        // The two queries agree to within the cell's relief.
        EXPECT_NEAR(ground, surface, 3.0f) << step;
        const D3DXVECTOR3 eye(x, surface + 1.8f, z);
        LookAt(eye, D3DXVECTOR3(x + 10.0f, surface - 1.0f, z + 6.0f));
        BeginFrame();
        terrain->RenderAll(false, D3DXVECTOR3(0, 0, 0), false);
        EXPECT_GE(rendertest::CurrentStats().drawCalls, 1u) << step;
        const Image image = rendertest::ReadRenderTarget();
        // Standing on the ground: the bottom of the view is ground, not sky.
        long groundPixels = 0;
        for (int px = 0; px < image.width; px += 8)
            if (image.At(px, image.height - 4) != 0) ++groundPixels;
        EXPECT_GT(groundPixels, image.width / 8 * 9 / 10) << step;
    }
}

}  // namespace
