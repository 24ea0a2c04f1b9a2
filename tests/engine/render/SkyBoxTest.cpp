// The sky box on a 1024 x 768 headless back buffer, seen from inside: each
// face upright and unmirrored in its direction, null faces left undrawn, the
// states Render leaves, and what is drawn after it covering it.
#include <EngineFixture.h>

#include <d3dx9.h>

#include "vSkyBox.h"
#include "vTexture.h"

namespace {

using rendertest::EngineFixture;
using rendertest::Image;

const uint32_t kMarker = 0xFFFFFF;
const uint32_t kClear = 0x000000;
// Face colours in face order: +z, +x, -z, -x, +y, -y.
const uint32_t kFaceColour[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};

struct Direction {
    const char* name;
    D3DXVECTOR3 look, up;
};

// The camera looks along each face's axis; the up vectors put each face's
// texture upright as the face table lays it out.
const Direction kDirections[6] = {
    {"+z", D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0)},  {"+x", D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0)},
    {"-z", D3DXVECTOR3(0, 0, -1), D3DXVECTOR3(0, 1, 0)}, {"-x", D3DXVECTOR3(-1, 0, 0), D3DXVECTOR3(0, 1, 0)},
    {"up", D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 0, -1)}, {"down", D3DXVECTOR3(0, -1, 0), D3DXVECTOR3(0, 0, 1)},
};

class SkyBoxTest : public EngineFixture {
public:
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (IsSkipped()) return;
        // Each face its colour, with the top-left quarter white.
        for (int k = 0; k < 6; ++k) {
            const std::string file = temp.File("face" + std::to_string(k) + ".tga");
            const uint32_t colour = 0xFF000000u | kFaceColour[k];
            ASSERT_TRUE(rendertest::WriteTga(
                file, 64, 64, [colour](int x, int y) { return (x < 32 && y < 32) ? 0xFFFFFFFFu : colour; }));
            ASSERT_EQ(faces[k].LoadTextureFromFile(file.c_str(), 0, 1), S_OK);
        }
    }

    void ReleaseResources() override
    {
        sky = vSkyBox();
        for (vTexture& t : faces) t.Kill();
    }

    // Camera at eye looking along d; the sky placed there with size 50.
    Image DrawSky(const D3DXVECTOR3& eye, const Direction& d)
    {
        D3DXMATRIX view;
        D3DXVECTOR3 at = eye + d.look;
        D3DXMatrixLookAtLH(&view, &eye, &at, &d.up);
        objDevice->SetTransform(D3DTS_VIEW, &view);
        BeginFrame();
        sky.Update(eye, 50.0f);
        sky.Render(true);
        return rendertest::ReadRenderTarget();
    }

    // The top-left quarter of the screen shows the marker, the other three the face's colour.
    void ExpectFace(const Image& image, int face)
    {
        const uint32_t c = kFaceColour[face];
        EXPECT_LE(rendertest::ColorDistance(image.At(256, 192), kMarker), 8) << std::hex << image.At(256, 192);
        EXPECT_LE(rendertest::ColorDistance(image.At(768, 192), c), 8) << std::hex << image.At(768, 192);
        EXPECT_LE(rendertest::ColorDistance(image.At(256, 576), c), 8) << std::hex << image.At(256, 576);
        EXPECT_LE(rendertest::ColorDistance(image.At(768, 576), c), 8) << std::hex << image.At(768, 576);
    }

    vTexture faces[6];
    vSkyBox sky;
};

TEST_F(SkyBoxTest, EachFaceIsUprightAndUnmirroredInItsDirection)
{
    sky.Init(&faces[0], &faces[1], &faces[2], &faces[3], &faces[4], &faces[5]);
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(kDirections[k].name);
        // Away from the origin: the cube follows the camera.
        const Image image = DrawSky(D3DXVECTOR3(300.0f, -20.0f, 75.0f), kDirections[k]);
        ASSERT_FALSE(image.Empty());
        ExpectFace(image, k);
    }
}

TEST_F(SkyBoxTest, NullFacesAreLeftUndrawn)
{
    sky.Init(&faces[0], &faces[1], &faces[2], &faces[3], nullptr, nullptr);
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(kDirections[k].name);
        ExpectFace(DrawSky(D3DXVECTOR3(0, 0, 0), kDirections[k]), k);
    }
    for (int k = 4; k < 6; ++k) {
        SCOPED_TRACE(kDirections[k].name);
        const Image image = DrawSky(D3DXVECTOR3(0, 0, 0), kDirections[k]);
        EXPECT_EQ(rendertest::FindColor(image, kClear, 0).count, (long)image.width * image.height);
    }
    // Looking along a diagonal between +z and +y: the side face and the clear colour meet.
    const Direction diagonal = {"diagonal", D3DXVECTOR3(0, 1, 1), D3DXVECTOR3(0, 1, -1)};
    const Image image = DrawSky(D3DXVECTOR3(0, 0, 0), diagonal);
    EXPECT_EQ(image.At(512, 20), kClear);
    EXPECT_GT(rendertest::FindColor(image, kFaceColour[0]).count, 0);
}

TEST_F(SkyBoxTest, RenderLeavesDepthOnSamplerWrappingAndTheAlphaArgument)
{
    sky.Init(&faces[0], &faces[1], &faces[2], &faces[3], &faces[4], &faces[5]);
    for (bool textureAlpha : {true, false}) {
        objDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
        objDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        objDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
        objDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        objDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        BeginFrame();
        sky.Update(D3DXVECTOR3(0, 0, 0), 50.0f);
        sky.Render(textureAlpha);
        DWORD value = 0;
        objDevice->GetRenderState(D3DRS_ZENABLE, &value);
        EXPECT_EQ(value, (DWORD)TRUE);
        objDevice->GetRenderState(D3DRS_ZWRITEENABLE, &value);
        EXPECT_EQ(value, (DWORD)TRUE);
        objDevice->GetRenderState(D3DRS_LIGHTING, &value);
        EXPECT_EQ(value, (DWORD)FALSE);
        objDevice->GetSamplerState(0, D3DSAMP_ADDRESSU, &value);
        EXPECT_EQ(value, (DWORD)D3DTADDRESS_WRAP);
        objDevice->GetSamplerState(0, D3DSAMP_ADDRESSV, &value);
        EXPECT_EQ(value, (DWORD)D3DTADDRESS_WRAP);
        objDevice->GetTextureStageState(0, D3DTSS_ALPHAARG1, &value);
        EXPECT_EQ(value, textureAlpha ? (DWORD)D3DTA_TEXTURE : (DWORD)D3DTA_DIFFUSE);
        D3DXMATRIX world;
        objDevice->GetTransform(D3DTS_WORLD, &world);
        EXPECT_EQ(world._11, 50.0f);
    }
}

TEST_F(SkyBoxTest, WhatIsDrawnAfterTheSkyCoversIt)
{
    sky.Init(&faces[0], &faces[1], &faces[2], &faces[3], &faces[4], &faces[5]);
    DrawSky(D3DXVECTOR3(0, 0, 0), kDirections[0]);
    // A grey quad far behind the cube's face (z = 200 against the face at 50).
    struct V {
        float x, y, z;
        DWORD colour;
    } quad[4] = {
        {-20, -20, 200, 0xFF808080}, {-20, 20, 200, 0xFF808080}, {20, -20, 200, 0xFF808080}, {20, 20, 200, 0xFF808080}};
    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);
    objDevice->SetTexture(0, nullptr);
    objDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    objDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(V));
    const Image image = rendertest::ReadRenderTarget();
    EXPECT_EQ(rendertest::ColorDistance(image.At(512, 384), 0x808080), 0) << std::hex << image.At(512, 384);
    EXPECT_LE(rendertest::ColorDistance(image.At(768, 576), kFaceColour[0]), 8);
}

TEST_F(SkyBoxTest, BehindTheSceneItFillsOnlyWhatNothingCovers)
{
    sky.Init(&faces[0], &faces[1], &faces[2], &faces[3], &faces[4], &faces[5]);
    const Image before = DrawSky(D3DXVECTOR3(0, 0, 0), kDirections[0]);
    // The grey quad first, far behind the cube's face, then the sky behind it.
    BeginFrame();
    struct V {
        float x, y, z;
        DWORD colour;
    } quad[4] = {
        {-20, -20, 200, 0xFF808080}, {-20, 20, 200, 0xFF808080}, {20, -20, 200, 0xFF808080}, {20, 20, 200, 0xFF808080}};
    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);
    objDevice->SetTexture(0, nullptr);
    objDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    objDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(V));
    D3DVIEWPORT9 viewport = {};
    objDevice->GetViewport(&viewport);
    sky.Update(D3DXVECTOR3(0, 0, 0), 50.0f);
    sky.RenderBehind(true);
    const Image image = rendertest::ReadRenderTarget();
    EXPECT_EQ(rendertest::ColorDistance(image.At(512, 384), 0x808080), 0) << std::hex << image.At(512, 384);
    // Outside the quad the same sky as drawn first.
    long same = 0, outside = 0;
    for (int y = 0; y < image.height; y += 7)
        for (int x = 0; x < image.width; x += 7) {
            if (image.At(x, y) == 0xFF808080u || (image.At(x, y) & 0xFFFFFF) == 0x808080) continue;
            ++outside;
            same += image.At(x, y) == before.At(x, y);
        }
    EXPECT_GT(outside, 10000);
    EXPECT_EQ(same, outside);
    // The viewport is back; depth test and writes are on as after Render.
    D3DVIEWPORT9 after = {};
    objDevice->GetViewport(&after);
    EXPECT_EQ(after.MinZ, viewport.MinZ);
    EXPECT_EQ(after.MaxZ, viewport.MaxZ);
    EXPECT_EQ(after.Width, viewport.Width);
    DWORD z = 0, write = 0;
    objDevice->GetRenderState(D3DRS_ZENABLE, &z);
    objDevice->GetRenderState(D3DRS_ZWRITEENABLE, &write);
    EXPECT_EQ(z, (DWORD)TRUE);
    EXPECT_EQ(write, (DWORD)TRUE);
}

TEST_F(SkyBoxTest, ASecondInitReleasesTheFirstBufferAndTheSkyReleasesItsOwn)
{
    sky.Init(&faces[0], nullptr, nullptr, nullptr, nullptr, nullptr);
    DrawSky(D3DXVECTOR3(0, 0, 0), kDirections[0]);
    IDirect3DVertexBuffer9* first = nullptr;
    UINT offset = 0, stride = 0;
    ASSERT_EQ(objDevice->GetStreamSource(0, &first, &offset, &stride), D3D_OK);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(stride, 20u);

    sky.Init(&faces[0], nullptr, nullptr, nullptr, nullptr, nullptr);
    ExpectFace(DrawSky(D3DXVECTOR3(0, 0, 0), kDirections[0]), 0);  // binds the new buffer
    EXPECT_EQ(first->Release(), 0u) << "the first buffer is still held";

    IDirect3DVertexBuffer9* second = nullptr;
    ASSERT_EQ(objDevice->GetStreamSource(0, &second, &offset, &stride), D3D_OK);
    {
        vSkyBox copy(sky);  // shares the buffer and drops its own reference
    }
    sky = vSkyBox();
    objDevice->SetStreamSource(0, nullptr, 0, 0);
    EXPECT_EQ(second->Release(), 0u) << "the sky box did not release its buffer";
}

TEST_F(SkyBoxTest, ABufferThatCannotBeMadeIsSaidAndNothingIsDrawn)
{
    // Before the engine has a device, Init has nothing to make its buffer on.
    IDirect3DDevice9* device = objDevice;
    objDevice = nullptr;
    testing::internal::CaptureStderr();
    sky.Init(&faces[0], &faces[1], &faces[2], &faces[3], &faces[4], &faces[5]);
    const std::string err = testing::internal::GetCapturedStderr();
    objDevice = device;
    EXPECT_NE(err.find("sky box: its vertex buffer: no device to make it on\n"), std::string::npos) << err;
    BeginFrame();
    sky.Render(false);
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);
}

}  // namespace
