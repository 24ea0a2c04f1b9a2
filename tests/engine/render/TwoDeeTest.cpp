// Screen quads on a 1024 x 768 headless back buffer: where each draw call's
// pixels land, vertex colours and texture coordinates, the 2D bracket's
// device state, and the world quad.
#include <EngineFixture.h>

#include "vTexture.h"
#include "vTwoDee.h"

namespace {

using rendertest::EngineFixture;
using rendertest::Extent;
using rendertest::FindColor;
using rendertest::Image;

class TwoDeeTest : public EngineFixture {
public:
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(rendertest::WriteSolidTga(temp.File("red.tga"), 256, 128, 0xFFFF0000));
        ASSERT_EQ(red.LoadTextureFromFile(temp.File("red.tga").c_str(), 0, 1), S_OK);
        ASSERT_TRUE(rendertest::WriteSolidTga(temp.File("white.tga"), 32, 32, 0xFFFFFFFF));
        ASSERT_EQ(white.LoadTextureFromFile(temp.File("white.tga").c_str(), 0, 1), S_OK);
    }

    void ReleaseResources() override
    {
        red.Kill();
        white.Kill();
    }

    Image DrawAndRead(void (*draw)(vTwoDee&, TwoDeeTest&))
    {
        BeginFrame();
        twoDee.Begin2D();
        draw(twoDee, *this);
        twoDee.End2D();
        return rendertest::ReadRenderTarget();
    }

    void ExpectExtent(const Extent& e, int left, int top, int right, int bottom)
    {
        EXPECT_EQ(e.left, left);
        EXPECT_EQ(e.top, top);
        EXPECT_EQ(e.right, right);
        EXPECT_EQ(e.bottom, bottom);
        EXPECT_EQ(e.count, (long)(right - left + 1) * (bottom - top + 1)) << "not a solid rectangle";
    }

    vTwoDee twoDee;
    vTexture red;
    vTexture white;
};

TEST_F(TwoDeeTest, DrawTextureCoversExactlyTheImagesPixels)
{
    Image image = DrawAndRead([](vTwoDee& t, TwoDeeTest& f) { t.DrawTexture(&f.red, 768, 512); });
    ASSERT_EQ(image.width, 1024);
    ASSERT_EQ(image.height, 768);
    ExpectExtent(FindColor(image, 0xFF0000, 0), 768, 512, 1023, 639);
}

TEST_F(TwoDeeTest, ScaleOffsetOnePutsTheCornerAndZeroCentres)
{
    Image corner = DrawAndRead([](vTwoDee& t, TwoDeeTest& f) { t.DrawTextureWithScale(&f.red, 0, 0, 300, 300, 1.0f); });
    ExpectExtent(FindColor(corner, 0xFF0000, 0), 0, 0, 299, 299);

    Image centred =
        DrawAndRead([](vTwoDee& t, TwoDeeTest& f) { t.DrawTextureWithScale(&f.red, 500, 400, 300, 100, 0.0f); });
    ExpectExtent(FindColor(centred, 0xFF0000, 0), 350, 350, 649, 449);

    // At the origin the centred image is cut by the screen edges.
    Image cut = DrawAndRead([](vTwoDee& t, TwoDeeTest& f) { t.DrawTextureWithScale(&f.red, 0, 0, 300, 300, 0.0f); });
    ExpectExtent(FindColor(cut, 0xFF0000, 0), 0, 0, 149, 149);
}

TEST_F(TwoDeeTest, FractionsOfTheScreenAndRawTextures)
{
    Image whole = DrawAndRead([](vTwoDee& t, TwoDeeTest& f) { t.DrawTextureWorld(&f.red, 0.0f, 0.0f, 1.0f, 1.0f); });
    ExpectExtent(FindColor(whole, 0xFF0000, 0), 0, 0, 1023, 767);

    Image quarter =
        DrawAndRead([](vTwoDee& t, TwoDeeTest& f) { t.DrawTextureWorld(&f.red, 0.5f, 0.5f, 0.25f, 0.25f); });
    ExpectExtent(FindColor(quarter, 0xFF0000, 0), 512, 384, 767, 575);

    Image raw = DrawAndRead([](vTwoDee& t, TwoDeeTest& f) {
        t.DrawD3DTexWithScale(static_cast<IDirect3DTexture9*>(f.red.GetTexture()), 10, 20, 40, 30);
    });
    ExpectExtent(FindColor(raw, 0xFF0000, 0), 10, 20, 49, 49);
}

TEST_F(TwoDeeTest, ColoursSaturateToBytesAndPersistAcrossDraws)
{
    const D3DXCOLOR c(1.5f, -0.2f, 0.5f, 1.0f);
    twoDee.Begin2D();
    twoDee.SetColors(c, c, c, c);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(twoDee.GetQuad()[i].color, 0xFFFF0080u);
    twoDee.End2D();

    BeginFrame();
    twoDee.Begin2D();  // resets to white
    EXPECT_EQ(twoDee.GetQuad()[2].color, 0xFFFFFFFFu);
    twoDee.SetColors(c, c, c, c);
    twoDee.DrawTexture(&white, 0, 0);
    twoDee.DrawTexture(&white, 100, 0);  // still the caller's colours
    EXPECT_EQ(twoDee.GetQuad()[0].color, 0xFFFF0080u);
    twoDee.End2D();
    Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.At(10, 10), 0xFF0080u);
    EXPECT_EQ(image.At(110, 10), 0xFF0080u);

    // Each corner its own colour: top left (vertex 1) blue, bottom right (vertex 2) green.
    BeginFrame();
    twoDee.Begin2D();
    const D3DXCOLOR black(0, 0, 0, 1), blue(0, 0, 1, 1), green(0, 1, 0, 1);
    twoDee.SetColors(black, blue, green, black);
    twoDee.DrawTextureWithScale(&white, 0, 0, 200, 200, 1.0f);
    twoDee.End2D();
    image = rendertest::ReadRenderTarget();
    EXPECT_GT(rendertest::Channel(image.At(2, 2), 0), 200);
    EXPECT_GT(rendertest::Channel(image.At(197, 197), 8), 200);
    twoDee.ResetColors();
    EXPECT_EQ(twoDee.GetQuad()[1].color, 0xFFFFFFFFu);
}

TEST_F(TwoDeeTest, TextureCoordinatesFollowTheImageAndTile)
{
    // A 32 x 32 image with a 16-pixel red square in its upper-left corner.
    ASSERT_TRUE(rendertest::WriteTga(temp.File("tile.tga"), 32, 32,
                                     [](int x, int y) { return (x < 16 && y < 16) ? 0xFFFF0000u : 0xFF000000u; }));
    vTexture tile;
    ASSERT_EQ(tile.LoadTextureFromFile(temp.File("tile.tga").c_str(), 0, 1), S_OK);

    BeginFrame();
    twoDee.Begin2D();
    twoDee.FollowUV(64, 32, &tile);
    const s_vQuadVertex* q = twoDee.GetQuad();
    EXPECT_FLOAT_EQ(q[2].u, 2.0f);
    EXPECT_FLOAT_EQ(q[2].v, 1.0f);
    EXPECT_FLOAT_EQ(q[3].u, 2.0f);
    EXPECT_FLOAT_EQ(q[0].v, 1.0f);
    EXPECT_FLOAT_EQ(q[1].u, 0.0f);
    objDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    twoDee.DrawTextureWithScale(&tile, 0, 0, 64, 32, 1.0f);
    twoDee.End2D();
    Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    // One texel per pixel, the image twice side by side.
    EXPECT_EQ(image.At(8, 8), 0xFF0000u);
    EXPECT_EQ(image.At(24, 8), 0x000000u);
    EXPECT_EQ(image.At(40, 8), 0xFF0000u);
    EXPECT_EQ(image.At(40, 24), 0x000000u);

    // SetUV flips it; ResetUVs brings the defaults back.
    twoDee.SetUV(D3DXVECTOR2(1, 1), D3DXVECTOR2(1, 0), D3DXVECTOR2(0, 1), D3DXVECTOR2(0, 0));
    EXPECT_FLOAT_EQ(twoDee.GetQuad()[1].u, 1.0f);
    twoDee.ResetUVs();
    EXPECT_FLOAT_EQ(twoDee.GetQuad()[0].u, 0.0f);
    EXPECT_FLOAT_EQ(twoDee.GetQuad()[0].v, 1.0f);
    EXPECT_FLOAT_EQ(twoDee.GetQuad()[3].u, 1.0f);
    EXPECT_FLOAT_EQ(twoDee.GetQuad()[3].v, 0.0f);
}

TEST_F(TwoDeeTest, TheBracketSetsAndRestoresTheDeviceState)
{
    D3DXMATRIX view;
    D3DXMatrixTranslation(&view, 1.0f, 2.0f, 3.0f);
    objDevice->SetTransform(D3DTS_VIEW, &view);
    objDevice->SetRenderState(D3DRS_LIGHTING, TRUE);

    twoDee.Begin2D();
    D3DXMATRIX m;
    DWORD value = 0;
    objDevice->GetTransform(D3DTS_PROJECTION, &m);
    EXPECT_EQ(std::memcmp(&m, &ev_matrix2DProj, sizeof(m)), 0);
    objDevice->GetTransform(D3DTS_VIEW, &m);
    EXPECT_EQ(std::memcmp(&m, &ev_matrixIdentity, sizeof(m)), 0);
    objDevice->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, (DWORD)FALSE);
    objDevice->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, (DWORD)FALSE);
    twoDee.End2D();

    objDevice->GetTransform(D3DTS_PROJECTION, &m);
    EXPECT_EQ(std::memcmp(&m, &ev_matrix3DProj, sizeof(m)), 0);
    objDevice->GetTransform(D3DTS_VIEW, &m);
    EXPECT_EQ(std::memcmp(&m, &view, sizeof(m)), 0);
    objDevice->GetTransform(D3DTS_WORLD, &m);
    EXPECT_EQ(std::memcmp(&m, &ev_matrixIdentity, sizeof(m)), 0);
    objDevice->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, (DWORD)TRUE);
    objDevice->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, (DWORD)FALSE);  // left off

    twoDee.SetVertexAlpha(true);
    objDevice->GetTextureStageState(0, D3DTSS_ALPHAARG1, &value);
    EXPECT_EQ(value, (DWORD)D3DTA_DIFFUSE);
    twoDee.SetVertexAlpha(false);
    objDevice->GetTextureStageState(0, D3DTSS_ALPHAARG1, &value);
    EXPECT_EQ(value, (DWORD)D3DTA_TEXTURE);
}

TEST_F(TwoDeeTest, ProjectedImagesCentreOnTheProjectedPoint)
{
    // With identity view the point (0, 0, 10) projects to the screen centre.
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    D3DXVECTOR3 point(0.0f, 0.0f, 10.0f);
    BeginFrame();
    twoDee.Begin2D();
    twoDee.DrawProjected3D(&red, &point, &view, 40, 20, 123.0f);
    twoDee.End2D();
    Image image = rendertest::ReadRenderTarget();
    ExpectExtent(FindColor(image, 0xFF0000, 0), 492, 374, 531, 393);
}

TEST_F(TwoDeeTest, WorldQuadFromMemoryAndFromTheStaticBuffer)
{
    InitStaticQuad();
    InitDynamicQuad();
    // Camera above the origin looking straight down (+z up on screen).
    D3DXMATRIX view;
    D3DXVECTOR3 eye(0, 20, 0), at(0, 0, 0), up(0, 0, 1);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    objDevice->SetTransform(D3DTS_VIEW, &view);

    for (bool useStatic : {false, true}) {
        BeginFrame();
        objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        white.UseTexture(0);
        if (useStatic) SetStaticVB();
        // 2 x 2 scaled by (2, 1): x 0...4, z 0...2, right of and above the centre.
        RenderQuad(D3DXVECTOR3(0, 0, 0), D3DXVECTOR2(2.0f, 1.0f), 0.0f, useStatic);
        EXPECT_EQ(rendertest::CurrentStats().drawCalls, 1u);
        Image image = rendertest::ReadRenderTarget();
        ASSERT_FALSE(image.Empty());
        Extent e = FindColor(image, 0xFFFFFF, 0);
        ASSERT_GT(e.count, 0) << (useStatic ? "static" : "dynamic");
        EXPECT_NEAR(e.left, 512, 1);
        EXPECT_NEAR(e.bottom, 383, 1);
        EXPECT_GT(e.right - e.left, (e.bottom - e.top) * 3 / 2);  // twice as wide as high
        DWORD lighting = TRUE;
        objDevice->GetRenderState(D3DRS_LIGHTING, &lighting);
        EXPECT_EQ(lighting, (DWORD)FALSE);
    }

    // Turned by half a turn about y the quad lies left of and below the centre.
    BeginFrame();
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    white.UseTexture(0);
    RenderQuad(D3DXVECTOR3(0, 0, 0), D3DXVECTOR2(1.0f, 1.0f), D3DX_PI, false);
    Extent turned = FindColor(rendertest::ReadRenderTarget(), 0xFFFFFF, 0);
    ASSERT_GT(turned.count, 0);
    EXPECT_NEAR(turned.right, 511, 1);
    EXPECT_NEAR(turned.top, 384, 1);

    // ChangeUV maps a quarter of a two-colour texture over the whole quad.
    ASSERT_TRUE(rendertest::WriteTga(temp.File("two.tga"), 2, 2,
                                     [](int x, int y) { return (x == 0 && y == 0) ? 0xFF00FF00u : 0xFF0000FFu; }));
    vTexture two;
    ASSERT_EQ(two.LoadTextureFromFile(temp.File("two.tga").c_str(), 0, 1), S_OK);
    ChangeUV(D3DXVECTOR2(0, 0), D3DXVECTOR2(0.4f, 0), D3DXVECTOR2(0, 0.4f), D3DXVECTOR2(0.4f, 0.4f));
    BeginFrame();
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    two.UseTexture(0);
    objDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    objDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    RenderQuad(D3DXVECTOR3(0, 0, 0), D3DXVECTOR2(1.0f, 1.0f), 0.0f, false);
    Image image = rendertest::ReadRenderTarget();
    EXPECT_GT(FindColor(image, 0x00FF00, 0).count, 0);
    EXPECT_EQ(FindColor(image, 0x0000FF, 0).count, 0);
    InitDynamicQuad();
    ReleaseStaticQuad();
    ReleaseStaticQuad();
}

}  // namespace
