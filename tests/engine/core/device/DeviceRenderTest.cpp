// The device drawn through and read back: what a person would see in the
// pixels, for the conventions the engine relies on.
#include <d3d9.h>
#include <d3dx9core.h>
#include <d3dx9math.h>

#include "DeviceStats.h"
#include <RenderFixture.h>

using rendertest::RenderTestDevice;

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TLVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};
const DWORD kTLFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct ColorVertex {  // 0x042
    float x, y, z;
    DWORD color;
};

struct LitVertex {  // 0x012
    float x, y, z;
    float nx, ny, nz;
};

struct TexVertex {  // 0x142
    float x, y, z;
    DWORD color;
    float u, v;
};

DWORD FloatBits(float f)
{
    DWORD d;
    memcpy(&d, &f, 4);
    return d;
}

int Channel(uint32_t c, int shift)
{
    return (int)((c >> shift) & 0xff);
}

::testing::AssertionResult ColorNear(uint32_t actual, uint32_t expected, int tol = 2)
{
    for (int s = 0; s < 32; s += 8)
        if (abs(Channel(actual, s) - Channel(expected, s)) > tol)
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not near 0x" << expected;
    return ::testing::AssertionSuccess();
}

// Every pixel of an image width pixels wide is inside within rectangle in
// and outside elsewhere.
::testing::AssertionResult InsideAndOut(const std::vector<uint32_t>& px, int width, RECT in, uint32_t inside,
                                        uint32_t outside)
{
    for (size_t i = 0; i < px.size(); ++i) {
        const int x = int(i % size_t(width)), y = int(i / size_t(width));
        const bool within = x >= in.left && x < in.right && y >= in.top && y < in.bottom;
        if (px[i] != (within ? inside : outside)) {
            char text[64];
            snprintf(text, sizeof(text), "0x%08x at %d,%d, not 0x%08x", px[i], x, y, within ? inside : outside);
            return ::testing::AssertionFailure() << text;
        }
    }
    if (px.empty()) return ::testing::AssertionFailure() << "no pixels";
    return ::testing::AssertionSuccess();
}

// A screen-space quad, corners in pixels, clockwise as seen on screen.
void DrawRect(IDirect3DDevice9* d, float x0, float y0, float x1, float y1, DWORD color, float u0 = 0, float v0 = 0,
              float u1 = 1, float v1 = 1)
{
    const TLVertex q[4] = {{x0, y0, 0.5f, 1, color, u0, v0},
                           {x1, y0, 0.5f, 1, color, u1, v0},
                           {x0, y1, 0.5f, 1, color, u0, v1},
                           {x1, y1, 0.5f, 1, color, u1, v1}};
    d->SetFVF(kTLFvf);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TLVertex)), D3D_OK);
}

void Unlit2D(IDirect3DDevice9* d)
{
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
}

void AlphaTest(IDirect3DDevice9* d, DWORD func, DWORD ref)
{
    d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d->SetRenderState(D3DRS_ALPHAFUNC, func);
    d->SetRenderState(D3DRS_ALPHAREF, ref);
}

// A 2x2 A8R8G8B8 texture: red, green on top; blue, white below.
IDirect3DTexture9* MakeQuadrantTexture(IDirect3DDevice9* d)
{
    IDirect3DTexture9* tex = nullptr;
    if (FAILED(d->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr))) return nullptr;
    D3DLOCKED_RECT lr;
    if (FAILED(tex->LockRect(0, &lr, nullptr, 0))) {
        tex->Release();
        return nullptr;
    }
    uint32_t* row0 = static_cast<uint32_t*>(lr.pBits);
    uint32_t* row1 = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + lr.Pitch);
    row0[0] = 0xFFFF0000;
    row0[1] = 0xFF00FF00;
    row1[0] = 0xFF0000FF;
    row1[1] = 0xFFFFFFFF;
    tex->UnlockRect(0);
    return tex;
}

// The quadrant texture's four colours at four pixels, one in each quarter.
void ExpectQuadrants(RenderTestDevice& dev, int left, int right, int top, int bottom)
{
    EXPECT_EQ(dev.Pixel(left, top), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(right, top), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(left, bottom), 0xFF0000FFu);
    EXPECT_EQ(dev.Pixel(right, bottom), 0xFFFFFFFFu);
}

TEST(DeviceClear, ClearColourReachesEveryPixel)
{
    RenderTestDevice dev(37, 23);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF336699, 1.0f, 0), D3D_OK);
    UINT w = 0, h = 0;
    const std::vector<uint32_t> px = dev.ReadPixels(nullptr, &w, &h);
    ASSERT_EQ(w, 37u);
    ASSERT_EQ(h, 23u);
    for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(px[i], 0xFF336699u) << "pixel " << i % w << "," << i / w;
}

TEST(DeviceClear, RectanglesAndViewportLimitTheClear)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const D3DRECT r = {4, 6, 10, 9};
    d->Clear(1, &r, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    const std::vector<uint32_t> px = dev.ReadPixels();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool in = x >= 4 && x < 10 && y >= 6 && y < 9;
            ASSERT_EQ(px[y * 32 + x], in ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
        }
    const D3DVIEWPORT9 vp = {16, 0, 16, 8, 0, 1};
    ASSERT_EQ(d->SetViewport(&vp), D3D_OK);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(dev.Pixel(20, 4), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(20, 12), 0xFF000000u);
    EXPECT_EQ(dev.Pixel(8, 4), 0xFF000000u);

    // Rectangles given but none counted: nothing. A count with no rectangles:
    // the whole viewport.
    EXPECT_EQ(d->Clear(0, &r, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    EXPECT_EQ(dev.Pixel(20, 4), 0xFF00FF00u);
    EXPECT_EQ(d->Clear(1, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    EXPECT_EQ(dev.Pixel(20, 4), 0xFF0000FFu);
    EXPECT_EQ(dev.Pixel(31, 7), 0xFF0000FFu);
    EXPECT_EQ(dev.Pixel(20, 12), 0xFF000000u);
}

// With the scissor test on a clear covers the viewport, the rectangles and the
// scissor rectangle together, colour and stencil alike; a clear cut by the
// scissor is no whole clear, neither of the presented image nor of the stencil.
TEST(DeviceClear, TheScissorRectangleLimitsTheClear)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const RECT box = {8, 8, 24, 24};
    ASSERT_EQ(d->SetScissorRect(&box), D3D_OK);
    // The scissor rectangle is set but the test is off: everything.
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    EXPECT_TRUE(InsideAndOut(dev.ReadPixels(), 32, box, 0xFF0000FFu, 0xFF0000FFu));
    d->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    EXPECT_TRUE(InsideAndOut(dev.ReadPixels(), 32, box, 0xFFFFFFFFu, 0xFF0000FFu));
    const D3DRECT corner = {0, 0, 16, 12};
    d->Clear(1, &corner, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    EXPECT_EQ(dev.Pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(4, 4), 0xFF0000FFu);    // in the rectangle, outside the scissor
    EXPECT_EQ(dev.Pixel(20, 10), 0xFFFFFFFFu);  // in the scissor, outside the rectangle
    EXPECT_EQ(dev.Pixel(10, 14), 0xFFFFFFFFu);
    const D3DVIEWPORT9 right = {16, 0, 16, 32, 0, 1};
    d->SetViewport(&right);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(dev.Pixel(20, 20), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(12, 20), 0xFFFFFFFFu);
    EXPECT_EQ(dev.Pixel(20, 4), 0xFF0000FFu);
    EXPECT_EQ(dev.Pixel(28, 20), 0xFF0000FFu);

    // After a present the image outside the scissor rectangle is kept.
    const D3DVIEWPORT9 all = {0, 0, 32, 32, 0, 1};
    d->SetViewport(&all);
    d->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    d->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_TRUE(InsideAndOut(dev.ReadPixels(), 32, box, 0xFF00FF00u, 0xFFFF0000u));

    // A stencil clear within the scissor rectangle, then a depth clear of
    // everything: the stencil outside the rectangle keeps its 0.
    d->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0);
    d->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    d->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 1);
    d->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    Unlit2D(d);
    d->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    d->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    d->SetRenderState(D3DRS_STENCILREF, 1);
    DrawRect(d, 0, 0, 32, 32, 0xFFFFFFFF);
    d->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    EXPECT_TRUE(InsideAndOut(dev.ReadPixels(), 32, box, 0xFFFFFFFFu, 0xFF000000u));
}

TEST(DeviceRasterisation, ScreenQuadCoversExactlyTheD3DPixels)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // Pre-transformed: edges on pixel centres follow the top-left rule.
    DrawRect(d, 10, 10, 20, 20, 0xFFFFFFFF);
    std::vector<uint32_t> px = dev.ReadPixels();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool in = x >= 10 && x < 20 && y >= 10 && y < 20;
            ASSERT_EQ(px[y * 32 + x], in ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
        }

    // Edges between pixel centres: a quad from 10.5 to 20.5 covers centres 11..20.
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawRect(d, 10.5f, 10.5f, 20.5f, 20.5f, 0xFFFFFFFF);
    px = dev.ReadPixels();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool in = x >= 11 && x <= 20 && y >= 11 && y <= 20;
            ASSERT_EQ(px[y * 32 + x], in ? 0xFFFFFFFFu : 0xFF000000u) << "half-pixel quad at " << x << "," << y;
        }

    // The same through an orthographic projection of the screen.
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    D3DXMATRIX proj, id;
    D3DXMatrixOrthoOffCenterLH(&proj, 0, 32, 32, 0, 0, 1);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_WORLD, &id);
    const ColorVertex q[4] = {
        {3, 5, 0.5f, 0xFFFF0000}, {7, 5, 0.5f, 0xFFFF0000}, {3, 30, 0.5f, 0xFFFF0000}, {7, 30, 0.5f, 0xFFFF0000}};
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(ColorVertex)), D3D_OK);
    px = dev.ReadPixels();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool in = x >= 3 && x < 7 && y >= 5 && y < 30;
            ASSERT_EQ(px[y * 32 + x], in ? 0xFFFF0000u : 0xFF000000u) << x << "," << y;
        }
}

TEST(DeviceTextures, TextureAppearsUprightAndUnmirrored)
{
    RenderTestDevice dev(64, 64);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DTexture9* tex = MakeQuadrantTexture(d);
    ASSERT_NE(tex, nullptr);
    d->SetTexture(0, tex);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawRect(d, 0, 0, 64, 64, 0xFFFFFFFF);
    ExpectQuadrants(dev, 8, 56, 8, 56);
    // Point filtering switches texels exactly at the middle.
    EXPECT_EQ(dev.Pixel(31, 8), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(32, 8), 0xFF00FF00u);
    d->SetTexture(0, nullptr);
    tex->Release();
}

TEST(DeviceTextures, RenderToTextureThenDrawingItStaysUpright)
{
    RenderTestDevice dev(64, 64);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DTexture9* rtTex = nullptr;
    ASSERT_EQ(d->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &rtTex, nullptr),
              D3D_OK);
    IDirect3DSurface9 *rtSurface = nullptr, *back = nullptr;
    ASSERT_EQ(rtTex->GetSurfaceLevel(0, &rtSurface), D3D_OK);
    ASSERT_EQ(d->GetRenderTarget(0, &back), D3D_OK);

    ASSERT_EQ(d->SetRenderTarget(0, rtSurface), D3D_OK);
    D3DVIEWPORT9 vp;
    d->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 32u);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    DrawRect(d, 0, 0, 32, 8, 0xFFFF0000);  // a red band along the top
    DrawRect(d, 0, 0, 4, 32, 0xFF00FF00);  // a green band down the left
    const std::vector<uint32_t> rt = dev.ReadPixels(rtSurface);
    ASSERT_EQ(rt.size(), 32u * 32u);
    EXPECT_EQ(rt[2 * 32 + 16], 0xFFFF0000u);
    EXPECT_EQ(rt[28 * 32 + 16], 0xFF000000u);
    EXPECT_EQ(rt[20 * 32 + 1], 0xFF00FF00u);

    ASSERT_EQ(d->SetRenderTarget(0, back), D3D_OK);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    d->SetTexture(0, rtTex);
    DrawRect(d, 0, 0, 64, 64, 0xFFFFFFFF);
    EXPECT_EQ(dev.Pixel(32, 4), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(32, 60), 0xFF000000u);
    EXPECT_EQ(dev.Pixel(2, 40), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(60, 40), 0xFF000000u);
    d->SetTexture(0, nullptr);
    rtSurface->Release();
    back->Release();
    rtTex->Release();
}

TEST(DeviceTextures, StageOneCombinesWithItsOwnCoordinateSet)
{
    RenderTestDevice dev(64, 64);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DTexture9* quadrants = MakeQuadrantTexture(d);
    IDirect3DTexture9* grey = nullptr;
    ASSERT_NE(quadrants, nullptr);
    ASSERT_EQ(d->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &grey, nullptr), D3D_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(grey->LockRect(0, &lr, nullptr, 0), D3D_OK);
    *static_cast<uint32_t*>(lr.pBits) = 0xFF808080;
    grey->UnlockRect(0);

    struct V2 {
        float x, y, z, rhw;
        DWORD color;
        float u0, v0, u1, v1;
    };
    // Set 1 runs right to left: stage 1 reading it shows the texture mirrored.
    const V2 q[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0, 1, 0},
                     {64, 0, 0.5f, 1, 0xFFFFFFFF, 1, 0, 0, 0},
                     {0, 64, 0.5f, 1, 0xFFFFFFFF, 0, 1, 1, 1},
                     {64, 64, 0.5f, 1, 0xFFFFFFFF, 1, 1, 0, 1}};
    d->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2);
    d->SetTexture(0, grey);
    d->SetTexture(1, quadrants);
    d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    d->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    d->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    d->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(V2)), D3D_OK);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFF008000));    // green, mirrored, times grey
    EXPECT_TRUE(ColorNear(dev.Pixel(56, 8), 0xFF800000));   // red
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 56), 0xFF808080));   // white
    EXPECT_TRUE(ColorNear(dev.Pixel(56, 56), 0xFF000080));  // blue

    // Stage 1 off again: only the grey of stage 0.
    d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(V2)), D3D_OK);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFF808080));
    d->SetTexture(0, nullptr);
    d->SetTexture(1, nullptr);
    grey->Release();
    quadrants->Release();
}

TEST(DeviceTextures, AddressModesAndFilters)
{
    RenderTestDevice dev(64, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DTexture9* tex = MakeQuadrantTexture(d);
    ASSERT_NE(tex, nullptr);
    d->SetTexture(0, tex);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // u runs 0..2 over 64 pixels: with WRAP the texture repeats.
    DrawRect(d, 0, 0, 64, 32, 0xFFFFFFFF, 0, 0, 2, 1);
    EXPECT_EQ(dev.Pixel(4, 4), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(36, 4), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(52, 4), 0xFF00FF00u);
    // With CLAMP the last column stretches across the right half.
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    DrawRect(d, 0, 0, 64, 32, 0xFFFFFFFF, 0, 0, 2, 1);
    EXPECT_EQ(dev.Pixel(36, 4), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(52, 4), 0xFF00FF00u);
    // Linear filtering blends the four texels at the middle of the texture;
    // clamped on both axes, a corner keeps its own texel.
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    DrawRect(d, 0, 0, 64, 32, 0xFFFFFFFF);
    EXPECT_TRUE(ColorNear(dev.Pixel(32, 16), 0xFF808080, 8));
    EXPECT_TRUE(ColorNear(dev.Pixel(1, 1), 0xFFFF0000, 24));
    d->SetTexture(0, nullptr);
    tex->Release();
}

// D3DSAMP_MAXMIPLEVEL and a managed texture's LOD keep the levels above them
// from ever being read, magnified and without mipmaps too; the larger of the
// two counts. Levels here: 4x4 red, 2x2 green with alpha 0, 1x1 blue.
TEST(DeviceTextures, MaxMipLevelAndLodSkipTheMoreDetailedLevels)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(d->CreateTexture(4, 4, 3, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    const uint32_t levelColour[3] = {0xFFFF0000, 0x0000FF00, 0xFF0000FF};
    for (UINT level = 0; level < 3; ++level) {
        D3DSURFACE_DESC desc;
        tex->GetLevelDesc(level, &desc);
        D3DLOCKED_RECT lr;
        ASSERT_EQ(tex->LockRect(level, &lr, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] = levelColour[level];
        tex->UnlockRect(level);
    }
    d->SetTexture(0, tex);
    auto drawn = [&] {
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        DrawRect(d, 0, 0, 16, 16, 0xFFFFFFFF);
        return dev.Pixel(8, 8) & 0xFFFFFFu;
    };
    EXPECT_EQ(drawn(), 0xFF0000u);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 1);
    EXPECT_EQ(drawn(), 0x00FF00u);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 7);  // past the last level: the last
    EXPECT_EQ(drawn(), 0x0000FFu);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    EXPECT_EQ(drawn(), 0xFF0000u);

    EXPECT_EQ(tex->GetLOD(), 0u);
    EXPECT_EQ(tex->SetLOD(1), 0u);
    EXPECT_EQ(tex->GetLOD(), 1u);
    EXPECT_EQ(drawn(), 0x00FF00u);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 2);
    EXPECT_EQ(drawn(), 0x0000FFu);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    EXPECT_EQ(drawn(), 0x00FF00u);
    EXPECT_EQ(tex->SetLOD(9), 1u);
    EXPECT_EQ(tex->GetLOD(), 2u);
    EXPECT_EQ(drawn(), 0x0000FFu);
    EXPECT_EQ(tex->SetLOD(0), 2u);
    EXPECT_EQ(drawn(), 0xFF0000u);

    // The alpha test reads the level sampled: level 1's alpha of 0 fails it.
    AlphaTest(d, D3DCMP_GREATEREQUAL, 0x80);
    EXPECT_EQ(drawn(), 0xFF0000u);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 1);
    EXPECT_EQ(drawn(), 0x000000u);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    d->SetTexture(0, nullptr);
    tex->Release();

    // Textures of other pools have no LOD.
    for (D3DPOOL pool : {D3DPOOL_DEFAULT, D3DPOOL_SYSTEMMEM}) {
        ASSERT_EQ(d->CreateTexture(4, 4, 3, 0, D3DFMT_A8R8G8B8, pool, &tex, nullptr), D3D_OK);
        EXPECT_EQ(tex->SetLOD(2), 0u);
        EXPECT_EQ(tex->GetLOD(), 0u);
        tex->Release();
    }
}

TEST(DeviceLighting, NormalsFollowTheInverseTransposeAndAreNotRenormalised)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    D3DXMATRIX proj, id, world;
    D3DXMatrixOrthoOffCenterLH(&proj, 0, 32, 32, 0, 0, 10);
    D3DXMatrixIdentity(&id);
    D3DXMatrixScaling(&world, 2, 2, 2);  // quad corners at 0..16 become 0..32
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_WORLD, &world);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    d->SetRenderState(D3DRS_AMBIENT, 0x00404040);
    D3DMATERIAL9 mat = {};
    mat.Diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    mat.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    d->SetMaterial(&mat);
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    d->SetLight(0, &light);
    d->LightEnable(0, TRUE);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    const LitVertex q[4] = {{0, 0, 1, 0, 0, -1}, {16, 0, 1, 0, 0, -1}, {0, 16, 1, 0, 0, -1}, {16, 16, 1, 0, 0, -1}};
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(LitVertex)), D3D_OK);
    // Scaled by 2, the normal shrinks to 1/2: 0.25 + 0.5 x 0.5 = 0.5.
    EXPECT_TRUE(ColorNear(dev.Pixel(16, 16), 0xFF808080));
    d->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(LitVertex)), D3D_OK);
    EXPECT_TRUE(ColorNear(dev.Pixel(16, 16), 0xFFBFBFBF));
}

TEST(DeviceLighting, DirectionalLightBrightensTheFaceTurnedTowardIt)
{
    RenderTestDevice dev(64, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    D3DXMATRIX proj, id;
    D3DXMatrixOrthoOffCenterLH(&proj, 0, 64, 32, 0, 0, 1);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_WORLD, &id);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    d->SetRenderState(D3DRS_LIGHTING, TRUE);
    d->SetRenderState(D3DRS_AMBIENT, 0x00404040);
    D3DMATERIAL9 mat = {};
    mat.Diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    mat.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    d->SetMaterial(&mat);
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};  // shining away from the viewer, into the screen
    ASSERT_EQ(d->SetLight(0, &light), D3D_OK);
    ASSERT_EQ(d->LightEnable(0, TRUE), D3D_OK);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    // Left: normal toward the viewer, so toward the light. Right: turned away.
    const LitVertex toward[4] = {
        {0, 0, 0.5f, 0, 0, -1}, {32, 0, 0.5f, 0, 0, -1}, {0, 32, 0.5f, 0, 0, -1}, {32, 32, 0.5f, 0, 0, -1}};
    const LitVertex away[4] = {
        {32, 0, 0.5f, 0, 0, 1}, {64, 0, 0.5f, 0, 0, 1}, {32, 32, 0.5f, 0, 0, 1}, {64, 32, 0.5f, 0, 0, 1}};
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, toward, sizeof(LitVertex)), D3D_OK);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, away, sizeof(LitVertex)), D3D_OK);
    // ambient 0.25 x material ambient 1 + diffuse 0.5 x N.L 1 = 0.75; away: 0.25 only.
    EXPECT_TRUE(ColorNear(dev.Pixel(16, 16), 0xFFBFBFBF));
    EXPECT_TRUE(ColorNear(dev.Pixel(48, 16), 0xFF404040));

    // Vertex colours stand in for the material's diffuse.
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    struct LitColorVertex {
        float x, y, z, nx, ny, nz;
        DWORD color;
    } colored[4] = {{0, 0, 0.5f, 0, 0, -1, 0xFFFF0000},
                    {32, 0, 0.5f, 0, 0, -1, 0xFFFF0000},
                    {0, 32, 0.5f, 0, 0, -1, 0xFFFF0000},
                    {32, 32, 0.5f, 0, 0, -1, 0xFFFF0000}};
    d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, colored, sizeof(LitColorVertex)), D3D_OK);
    EXPECT_TRUE(ColorNear(dev.Pixel(16, 16), 0xFFFF4040));

    // A light switched off leaves ambient only.
    d->LightEnable(0, FALSE);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, toward, sizeof(LitVertex)), D3D_OK);
    EXPECT_TRUE(ColorNear(dev.Pixel(16, 16), 0xFF404040));
}

TEST(DeviceAlpha, AlphaTestDiscardsAtTheReference)
{
    RenderTestDevice dev(48, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    AlphaTest(d, D3DCMP_GREATER, 0x80);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawRect(d, 0, 0, 16, 16, 0x7FFFFFFF);
    DrawRect(d, 16, 0, 32, 16, 0x80FFFFFF);
    DrawRect(d, 32, 0, 48, 16, 0x81FFFFFF);
    EXPECT_EQ(dev.Pixel(8, 8) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(dev.Pixel(24, 8) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(dev.Pixel(40, 8) & 0xFFFFFF, 0xFFFFFFu);
    // GREATEREQUAL lets the reference itself through.
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    DrawRect(d, 16, 0, 32, 16, 0x80FFFFFF);
    EXPECT_EQ(dev.Pixel(24, 8) & 0xFFFFFF, 0xFFFFFFu);
}

// Stencil marks survive clears of depth alone, whatever wrote them: draws
// with the stencil test, whole clears and partial ones.
TEST(DeviceStencil, DepthClearsLeaveTheStencilAsItWas)
{
    RenderTestDevice dev(32, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    // Shows the pixels whose stencil equals ref, white on black.
    auto showEqual = [&](DWORD ref) {
        d->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        d->SetRenderState(D3DRS_STENCILENABLE, TRUE);
        d->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
        d->SetRenderState(D3DRS_STENCILREF, ref);
        d->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
        DrawRect(d, 0, 0, 32, 16, 0xFFFFFFFF);
        d->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        return dev.ReadPixels();
    };
    auto white = [](const std::vector<uint32_t>& px, int x, int y) { return px[size_t(y * 32 + x)] == 0xFFFFFFFFu; };

    // A draw writes 1 into the left half of a stencil cleared to 0.
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0);
    d->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    d->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    d->SetRenderState(D3DRS_STENCILREF, 1);
    d->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    DrawRect(d, 0, 0, 16, 16, 0xFF0000FF);
    std::vector<uint32_t> px = showEqual(1);
    EXPECT_TRUE(white(px, 4, 8));
    EXPECT_FALSE(white(px, 24, 8));
    px = showEqual(0);
    EXPECT_FALSE(white(px, 4, 8));
    EXPECT_TRUE(white(px, 24, 8));

    // A whole clear to 3, then depth clears, one of them within a viewport.
    d->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 3);
    const D3DVIEWPORT9 left = {0, 0, 16, 16, 0, 1}, all = {0, 0, 32, 16, 0, 1};
    d->SetViewport(&left);
    d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    d->SetViewport(&all);
    px = showEqual(3);
    EXPECT_TRUE(white(px, 4, 8));
    EXPECT_TRUE(white(px, 24, 8));

    // A clear of part of the stencil to 5 stays where it was put.
    const D3DRECT part = {20, 0, 32, 16};
    d->Clear(1, &part, D3DCLEAR_STENCIL, 0, 1.0f, 5);
    d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    px = showEqual(5);
    EXPECT_FALSE(white(px, 4, 8));
    EXPECT_TRUE(white(px, 24, 8));
    px = showEqual(3);
    EXPECT_TRUE(white(px, 4, 8));
    EXPECT_FALSE(white(px, 24, 8));
}

// The alpha test and blending follow the texels and the factor they read,
// also when those change between draws and nothing else does.
TEST(DeviceAlpha, AlphaTestAndBlendFollowTexelsAndFactorAsTheyChange)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    AlphaTest(d, D3DCMP_GREATER, 0x80);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(d->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    auto fill = [&](uint32_t argb) {
        D3DLOCKED_RECT lr;
        ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] = argb;
        tex->UnlockRect(0);
    };
    // Texture coordinates only: the diffuse alpha is 1.
    struct UvVertex {
        float x, y, z, rhw, u, v;
    };
    const UvVertex quad[4] = {
        {0, 0, 0.5f, 1, 0, 0}, {16, 0, 0.5f, 1, 1, 0}, {0, 16, 0.5f, 1, 0, 1}, {16, 16, 0.5f, 1, 1, 1}};
    auto drawn = [&]() {
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        d->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
        EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(UvVertex)), D3D_OK);
        return (dev.Pixel(8, 8) & 0xFFFFFF) == 0xFF0000u;
    };
    d->SetTexture(0, tex);
    fill(0xFFFF0000);
    EXPECT_TRUE(drawn());
    fill(0x00FF0000);
    EXPECT_FALSE(drawn()) << "texels turned transparent are discarded";
    fill(0xFFFF0000);
    EXPECT_TRUE(drawn());
    // A transparent border reached by the coordinates can be discarded too.
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_BORDER);
    d->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0x00000000);
    d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    const UvVertex wide[4] = {
        {0, 0, 0.5f, 1, 1.5f, 0}, {16, 0, 0.5f, 1, 2.5f, 0}, {0, 16, 0.5f, 1, 1.5f, 1}, {16, 16, 0.5f, 1, 2.5f, 1}};
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, wide, sizeof(UvVertex)), D3D_OK);
    EXPECT_EQ(dev.Pixel(8, 8) & 0xFFFFFF, 0u) << "the border's alpha is 0";
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);

    // One texel made transparent through a rectangle lock is discarded too.
    D3DLOCKED_RECT lr;
    const RECT corner = {1, 1, 2, 2};
    ASSERT_EQ(tex->LockRect(0, &lr, &corner, 0), D3D_OK);
    *static_cast<uint32_t*>(lr.pBits) = 0x00FF0000;
    tex->UnlockRect(0);
    drawn();
    EXPECT_EQ(dev.Pixel(4, 4) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(dev.Pixel(12, 12) & 0xFFFFFF, 0u);
    fill(0xFFFF0000);

    // The texture factor's alpha, a uniform, decides as well.
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    d->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF000000);
    EXPECT_TRUE(drawn());
    d->SetRenderState(D3DRS_TEXTUREFACTOR, 0x10000000);
    EXPECT_FALSE(drawn());

    // Blending over green: full texels cover it, half ones mix with it.
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    auto over = [&]() {
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
        EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(UvVertex)), D3D_OK);
        return dev.Pixel(8, 8) | 0xFF000000u;
    };
    fill(0xFFFF0000);
    EXPECT_TRUE(ColorNear(over(), 0xFFFF0000));
    fill(0x80FF0000);
    EXPECT_TRUE(ColorNear(over(), 0xFF807F00, 2));
    fill(0xFFFF0000);
    EXPECT_TRUE(ColorNear(over(), 0xFFFF0000));
    d->SetTexture(0, nullptr);
    tex->Release();
}

TEST(DeviceAlpha, SrcAlphaInvSrcAlphaBlending)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawRect(d, 0, 0, 16, 16, 0x40FF0000);  // a quarter red over blue
    const uint32_t c = dev.Pixel(8, 8);
    EXPECT_NEAR(Channel(c, 16), 64, 2);
    EXPECT_NEAR(Channel(c, 0), 191, 2);
    EXPECT_EQ(Channel(c, 8), 0);
}

// A target without alpha (X8R8G8B8) blends as if its alpha were 1, whatever
// its storage holds; one with alpha blends with the alpha it keeps. Every
// target is cleared to blue with alpha 0, and only the target changes
// between the draws of one blend.
TEST(DeviceBlending, ATargetWithoutAlphaReadsAlphaOne)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DSurface9 *back = nullptr, *x8 = nullptr, *a8 = nullptr, *chainBack = nullptr;
    ASSERT_EQ(d->GetRenderTarget(0, &back), D3D_OK);
    ASSERT_EQ(d->CreateRenderTarget(16, 16, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &x8, nullptr), D3D_OK);
    ASSERT_EQ(d->CreateRenderTarget(16, 16, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &a8, nullptr), D3D_OK);
    D3DPRESENT_PARAMETERS pp = dev.params();
    pp.BackBufferFormat = D3DFMT_A8R8G8B8;
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(d->CreateAdditionalSwapChain(&pp, &chain), D3D_OK);
    ASSERT_EQ(chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &chainBack), D3D_OK);
    const struct {
        IDirect3DSurface9* surface;
        bool alpha;
    } targets[] = {{back, false}, {a8, true}, {x8, false}, {chainBack, true}};
    const struct {
        DWORD src, dest;
        uint32_t withoutAlpha, withAlpha;  // red drawn over blue
    } blends[] = {
        {D3DBLEND_DESTALPHA, D3DBLEND_ZERO, 0xFF0000, 0x000000},
        {D3DBLEND_ZERO, D3DBLEND_INVDESTALPHA, 0x000000, 0x0000FF},
        {D3DBLEND_SRCALPHASAT, D3DBLEND_ZERO, 0x000000, 0xFF0000},
    };
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    for (const auto& blend : blends) {
        d->SetRenderState(D3DRS_SRCBLEND, blend.src);
        d->SetRenderState(D3DRS_DESTBLEND, blend.dest);
        for (const auto& target : targets) {
            ASSERT_EQ(d->SetRenderTarget(0, target.surface), D3D_OK);
            d->Clear(0, nullptr, D3DCLEAR_TARGET, 0x000000FF, 1.0f, 0);
            DrawRect(d, 0, 0, 16, 16, 0xFFFF0000);
            EXPECT_EQ(dev.Pixel(8, 8) & 0xFFFFFFu, target.alpha ? blend.withAlpha : blend.withoutAlpha)
                << "blend " << blend.src << "/" << blend.dest << ", target " << (&target - targets);
        }
    }
    d->SetRenderTarget(0, back);
    chainBack->Release();
    chain->Release();
    a8->Release();
    x8->Release();
    back->Release();
}

TEST(DeviceCulling, DefaultCullRemovesCounterClockwiseFaces)
{
    RenderTestDevice dev(32, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    DWORD cull = 0;
    d->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, (DWORD)D3DCULL_CCW);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetFVF(kTLFvf);
    // Clockwise on screen (left) and counter-clockwise (right).
    const TLVertex cw[3] = {
        {0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {16, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {0, 16, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    const TLVertex ccw[3] = {
        {16, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {16, 16, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {32, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    auto draw = [&] {
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, cw, sizeof(TLVertex));
        d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, ccw, sizeof(TLVertex));
    };
    draw();
    EXPECT_EQ(dev.Pixel(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(dev.Pixel(19, 3), 0xFF000000u);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    draw();
    EXPECT_EQ(dev.Pixel(3, 3), 0xFF000000u);
    EXPECT_EQ(dev.Pixel(19, 3), 0xFFFFFFFFu);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    draw();
    EXPECT_EQ(dev.Pixel(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(dev.Pixel(19, 3), 0xFFFFFFFFu);
}

TEST(DeviceRasterisation, WireframeDrawsEdgesOnly)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawRect(d, 4, 4, 28, 28, 0xFFFFFFFF);
    EXPECT_EQ(dev.Pixel(16, 20), 0xFF000000u);
    EXPECT_EQ(dev.Pixel(16, 4), 0xFFFFFFFFu);
}

// Counts pixels of a column band [x0, x1) that are not the background.
int LitPixels(const std::vector<uint32_t>& px, int width, int x0, int x1)
{
    int n = 0;
    for (size_t i = 0; i < px.size(); ++i) {
        const int x = (int)(i % width);
        if (x >= x0 && x < x1 && (px[i] & 0xFFFFFF) != 0) ++n;
    }
    return n;
}

TEST(DevicePoints, PointSpriteGrowsAsItComesNearer)
{
    RenderTestDevice dev(64, 64);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    D3DXMATRIX proj, id;
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 2, 1.0f, 0.1f, 1000.0f);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_WORLD, &id);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    d->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSIZE, FloatBits(1.0f));
    d->SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0.0f));
    d->SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0.0f));
    d->SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1.0f));
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    // Size = viewport height x size / eye distance: 64 / |(-4, 0, 8)| = 7.2
    // pixels near (a 7 x 7 square), 64 / |(16, 0, 32)| = 1.8 far.
    const ColorVertex pts[2] = {{-4, 0, 8, 0xFFFFFFFF}, {16, 0, 32, 0xFFFFFFFF}};
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_POINTLIST, 2, pts, sizeof(ColorVertex)), D3D_OK);
    const std::vector<uint32_t> px = dev.ReadPixels();
    const int nearCount = LitPixels(px, 64, 0, 32), farCount = LitPixels(px, 64, 32, 64);
    EXPECT_EQ(nearCount, 49);
    EXPECT_GE(farCount, 1);
    EXPECT_LE(farCount, 4);

    // Far beyond, the size stops at POINTSIZE_MIN (1 pixel) instead of vanishing.
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const ColorVertex veryFar = {0, 0, 900, 0xFFFFFFFF};
    d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &veryFar, sizeof(ColorVertex));
    EXPECT_EQ(LitPixels(dev.ReadPixels(), 64, 0, 64), 1);
}

TEST(DevicePoints, SpriteTextureHasItsOriginAtTheTopLeft)
{
    RenderTestDevice dev(64, 64);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSIZE, FloatBits(32.0f));
    IDirect3DTexture9* tex = MakeQuadrantTexture(d);
    ASSERT_NE(tex, nullptr);
    d->SetTexture(0, tex);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->SetFVF(kTLFvf);
    const TLVertex p = {32, 32, 0.5f, 1, 0xFFFFFFFF, 0, 0};
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &p, sizeof(TLVertex)), D3D_OK);
    EXPECT_EQ(dev.Pixel(24, 24), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(40, 24), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(24, 40), 0xFF0000FFu);
    EXPECT_EQ(dev.Pixel(40, 40), 0xFFFFFFFFu);
    d->SetTexture(0, nullptr);
    tex->Release();
}

TEST(DeviceFog, LinearTableFogColoursFarGeometry)
{
    RenderTestDevice dev(48, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    D3DXMATRIX proj, id;
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 2, 3.0f, 1.0f, 100.0f);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_FOGENABLE, TRUE);
    d->SetRenderState(D3DRS_FOGCOLOR, 0xFF00FF00);
    d->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    d->SetRenderState(D3DRS_FOGSTART, FloatBits(10.0f));
    d->SetRenderState(D3DRS_FOGEND, FloatBits(20.0f));
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    // Three white walls filling a third of the view each, at depths 5, 15 and 40.
    auto wall = [&](float z, int third) {
        const float halfW = 3.0f * z, x0 = -halfW + third * (2 * halfW / 3), x1 = x0 + 2 * halfW / 3;
        const ColorVertex q[4] = {
            {x0, z, z, 0xFFFFFFFF}, {x1, z, z, 0xFFFFFFFF}, {x0, -z, z, 0xFFFFFFFF}, {x1, -z, z, 0xFFFFFFFF}};
        D3DXMATRIX w;
        D3DXMatrixIdentity(&w);
        d->SetTransform(D3DTS_WORLD, &w);
        ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(ColorVertex)), D3D_OK);
    };
    wall(5, 0);
    wall(15, 1);
    wall(40, 2);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFFFFFFFF));
    EXPECT_TRUE(ColorNear(dev.Pixel(24, 8), 0xFF80FF80, 3));
    EXPECT_TRUE(ColorNear(dev.Pixel(40, 8), 0xFF00FF00));
}

struct TLSpecVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR
    float x, y, z, rhw;
    DWORD diffuse, specular;
};

void DrawSpecRect(IDirect3DDevice9* d, float x0, float x1, float h, float z, float rhw, DWORD specular)
{
    const TLSpecVertex q[4] = {{x0, 0, z, rhw, 0xFFFFFFFF, specular},
                               {x1, 0, z, rhw, 0xFFFFFFFF, specular},
                               {x0, h, z, rhw, 0xFFFFFFFF, specular},
                               {x1, h, z, rhw, 0xFFFFFFFF, specular}};
    d->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TLSpecVertex)), D3D_OK);
}

void LinearFog(IDirect3DDevice9* d, DWORD tableMode, DWORD vertexMode, float start, float end)
{
    d->SetRenderState(D3DRS_FOGENABLE, TRUE);
    d->SetRenderState(D3DRS_FOGCOLOR, 0xFF00FF00);
    d->SetRenderState(D3DRS_FOGTABLEMODE, tableMode);
    d->SetRenderState(D3DRS_FOGVERTEXMODE, vertexMode);
    d->SetRenderState(D3DRS_FOGSTART, FloatBits(start));
    d->SetRenderState(D3DRS_FOGEND, FloatBits(end));
}

TEST(DeviceFog, PreTransformedVerticesFogByTheirZOrTheirSpecularAlpha)
{
    RenderTestDevice dev(80, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // Table fog goes by the vertex z, whatever the rhw: z 0.7 is 70 % fog.
    LinearFog(d, D3DFOG_LINEAR, D3DFOG_NONE, 0.0f, 1.0f);
    DrawSpecRect(d, 0, 16, 16, 0.7f, 0.25f, 0xFF000000);
    DrawSpecRect(d, 16, 32, 16, 0.7f, 1.0f, 0xFF000000);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFF4DFF4D, 3));
    EXPECT_TRUE(ColorNear(dev.Pixel(24, 8), 0xFF4DFF4D, 3));
    // Start and end equal: nothing before them is fogged, everything at or past them.
    LinearFog(d, D3DFOG_LINEAR, D3DFOG_NONE, 0.5f, 0.5f);
    DrawSpecRect(d, 32, 48, 16, 0.3f, 1.0f, 0xFF000000);
    DrawSpecRect(d, 48, 64, 16, 0.5f, 1.0f, 0xFF000000);
    DrawSpecRect(d, 64, 80, 16, 0.7f, 1.0f, 0xFF000000);
    EXPECT_EQ(dev.Pixel(40, 8), 0xFFFFFFFFu);
    EXPECT_EQ(dev.Pixel(56, 8), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(72, 8), 0xFF00FF00u);

    // Without a table mode the specular alpha is the fog factor; vertex fog
    // does not apply to vertices the device does not transform.
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    LinearFog(d, D3DFOG_NONE, D3DFOG_NONE, 0.0f, 1.0f);
    DrawSpecRect(d, 0, 16, 16, 0.7f, 1.0f, 0x7F000000);
    LinearFog(d, D3DFOG_NONE, D3DFOG_LINEAR, 0.0f, 1.0f);
    DrawSpecRect(d, 16, 32, 16, 0.7f, 1.0f, 0xFF000000);
    DrawSpecRect(d, 32, 48, 16, 0.7f, 1.0f, 0x00000000);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFF80FF80, 3));
    EXPECT_EQ(dev.Pixel(24, 8), 0xFFFFFFFFu);
    EXPECT_EQ(dev.Pixel(40, 8), 0xFF00FF00u);

    // Vertices the device transforms but does not light, alike.
    LinearFog(d, D3DFOG_NONE, D3DFOG_NONE, 0.0f, 1.0f);
    D3DXMATRIX proj, id;
    D3DXMatrixOrthoOffCenterLH(&proj, 0, 80, 16, 0, 0, 1);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_WORLD, &id);
    struct {
        float x, y, z;
        DWORD diffuse, specular;
    } lit[4] = {{48, 0, 0.5f, 0xFFFFFFFF, 0x7F000000},
                {64, 0, 0.5f, 0xFFFFFFFF, 0x7F000000},
                {48, 16, 0.5f, 0xFFFFFFFF, 0x7F000000},
                {64, 16, 0.5f, 0xFFFFFFFF, 0x7F000000}};
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, lit, sizeof(lit[0])), D3D_OK);
    EXPECT_TRUE(ColorNear(dev.Pixel(56, 8), 0xFF80FF80, 3));
}

TEST(DeviceFog, VertexFogByEyeDepthPerVertexTableFogByDeviceDepthPerPixel)
{
    RenderTestDevice dev(64, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    D3DXMATRIX proj, id;
    D3DXMatrixOrthoOffCenterLH(&proj, 0, 64, 16, 0, 0, 100);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_WORLD, &id);
    Unlit2D(d);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    auto quad = [&](float x0, float x1, float zLeft, float zRight) {
        const ColorVertex q[4] = {{x0, 0, zLeft, 0xFFFFFFFF},
                                  {x1, 0, zRight, 0xFFFFFFFF},
                                  {x0, 16, zLeft, 0xFFFFFFFF},
                                  {x1, 16, zRight, 0xFFFFFFFF}};
        ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(ColorVertex)), D3D_OK);
    };
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // Under an orthographic projection too, vertex fog goes by eye depth: 15 is half way.
    LinearFog(d, D3DFOG_NONE, D3DFOG_LINEAR, 10.0f, 20.0f);
    quad(0, 16, 15, 15);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFF80FF80, 3));
    // Computed at the vertices and interpolated: from depth 0 (clear) to 40
    // (all fog), the middle is half fogged and a quarter of the way is 3/4
    // clear, where depth itself (20, 10) would give all fog and none.
    quad(16, 48, 0, 40);
    EXPECT_TRUE(ColorNear(dev.Pixel(32, 8), 0xFF80FF80, 4));
    EXPECT_TRUE(ColorNear(dev.Pixel(24, 8), 0xFFBFFFBF, 4));

    // Table fog under the same projection goes by device depth (0..1), per
    // pixel: a quarter clear where depth is below the start, the middle half.
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    LinearFog(d, D3DFOG_LINEAR, D3DFOG_NONE, 0.25f, 0.75f);
    quad(16, 48, 0, 100);
    EXPECT_EQ(dev.Pixel(20, 8), 0xFFFFFFFFu);
    EXPECT_TRUE(ColorNear(dev.Pixel(32, 8), 0xFF80FF80, 4));
    EXPECT_EQ(dev.Pixel(44, 8), 0xFF00FF00u);
}

TEST(DeviceDepth, PreTransformedDepthOutsideTheRangeIsClampedNotClipped)
{
    RenderTestDevice dev(48, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    auto rect = [&](float x0, float z, DWORD color) {
        const TLVertex q[4] = {{x0, 0, z, 1, color, 0, 0},
                               {x0 + 16, 0, z, 1, color, 0, 0},
                               {x0, 16, z, 1, color, 0, 0},
                               {x0 + 16, 16, z, 1, color, 0, 0}};
        d->SetFVF(kTLFvf);
        ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TLVertex)), D3D_OK);
    };
    rect(0, -0.5f, 0xFFFF0000);
    // Clamped to 1, the far one passes a less-or-equal test against a clear to 1.
    d->SetRenderState(D3DRS_ZENABLE, TRUE);
    rect(16, 1.5f, 0xFF00FF00);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(24, 8), 0xFF00FF00u);
    // Vertices the device transforms are still clipped at the far plane.
    D3DXMATRIX proj, id;
    D3DXMatrixOrthoOffCenterLH(&proj, 0, 48, 16, 0, 0, 1);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_WORLD, &id);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    const ColorVertex far[4] = {
        {32, 0, 1.5f, 0xFF0000FF}, {48, 0, 1.5f, 0xFF0000FF}, {32, 16, 1.5f, 0xFF0000FF}, {48, 16, 1.5f, 0xFF0000FF}};
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, far, sizeof(ColorVertex)), D3D_OK);
    EXPECT_EQ(dev.Pixel(40, 8), 0xFF000000u);
}

TEST(DeviceTextures, CoordinatesAreTransformedProjectedAndGenerated)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    IDirect3DTexture9* tex = MakeQuadrantTexture(d);
    ASSERT_NE(tex, nullptr);
    Unlit2D(d);
    d->SetTexture(0, tex);
    // A quad over the whole view in clip space; (u, v) 0..1, or fixed at
    // the green quadrant's middle.
    auto quad = [&](bool ownCoords) {
        const float a = ownCoords ? 0.0f : 0.75f, b = ownCoords ? 1.0f : 0.75f, c = ownCoords ? 0.0f : 0.25f,
                    e = ownCoords ? 1.0f : 0.25f;
        const TexVertex q[4] = {{-1, 1, 0.5f, 0xFFFFFFFF, a, c},
                                {1, 1, 0.5f, 0xFFFFFFFF, b, c},
                                {-1, -1, 0.5f, 0xFFFFFFFF, a, e},
                                {1, -1, 0.5f, 0xFFFFFFFF, b, e}};
        d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TexVertex)), D3D_OK);
    };
    // Two-component coordinates take their translation from the third row.
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._31 = 0.5f;
    d->SetTransform(D3DTS_TEXTURE0, &m);
    quad(true);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFFFF0000u);  // no transform until the flags ask for one
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    quad(true);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(24, 8), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(8, 24), 0xFFFFFFFFu);
    // Projected: the first two divided by the third (here 4): all red.
    D3DXMatrixIdentity(&m);
    m._33 = 4.0f;
    d->SetTransform(D3DTS_TEXTURE0, &m);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
    quad(true);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(24, 24), 0xFFFF0000u);
    // Camera-space positions as coordinates, mapped from -1..1 to 0..1.
    D3DXMatrixScaling(&m, 0.5f, -0.5f, 1.0f);
    m._41 = 0.5f;
    m._42 = 0.5f;
    d->SetTransform(D3DTS_TEXTURE0, &m);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    quad(false);
    ExpectQuadrants(dev, 8, 24, 8, 24);
    // Camera-space normals, and the view reflected about them (the viewer
    // far away along -z): a normal turned away gives a reflection on the
    // other side.
    struct {
        float x, y, z, nx, ny, nz;
        DWORD color;
        float u, v;
    } turned[4] = {{-1, 1, 0.5f, 0.6f, 0.48f, 0.64f, 0xFFFFFFFF, 0, 0},
                   {1, 1, 0.5f, 0.6f, 0.48f, 0.64f, 0xFFFFFFFF, 0, 0},
                   {-1, -1, 0.5f, 0.6f, 0.48f, 0.64f, 0xFFFFFFFF, 0, 0},
                   {1, -1, 0.5f, 0.6f, 0.48f, 0.64f, 0xFFFFFFFF, 0, 0}};
    d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACENORMAL);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, turned, sizeof(turned[0])), D3D_OK);
    EXPECT_EQ(dev.Pixel(16, 16), 0xFF00FF00u);  // (0.8, 0.26)
    d->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, turned, sizeof(turned[0])), D3D_OK);
    EXPECT_EQ(dev.Pixel(16, 16), 0xFF0000FFu);  // (0.12, 0.81)
    // Pre-transformed vertices keep their own coordinates.
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    DrawRect(d, 0, 0, 32, 32, 0xFFFFFFFF);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(24, 24), 0xFFFFFFFFu);
    d->SetTexture(0, nullptr);
    tex->Release();
}

TEST(DeviceTextures, DotProduct3GoesToAlphaAsWell)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // (1, .5, .5) . (1, .5, .5) as signed vectors: 4 x .25 = 1 in every
    // channel, whatever the alpha operation says.
    d->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFF8080);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DOTPRODUCT3);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawRect(d, 0, 0, 16, 16, 0x00FF8080);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFFFFFFFF, 3));
    // An alpha test on it sees the dot product too.
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    AlphaTest(d, D3DCMP_GREATER, 0x80);
    DrawRect(d, 0, 0, 16, 16, 0x00FF8080);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFFFFFFFF, 3));
}

struct LitPoint {  // D3DFVF_XYZ | D3DFVF_NORMAL
    float x, y, z, nx, ny, nz;
};

// Draws lit points of three pixels facing the viewer and returns the
// colour at each one's centre.
std::vector<uint32_t> DrawLitPoints(RenderTestDevice& dev, const std::vector<D3DXVECTOR3>& at)
{
    IDirect3DDevice9* d = dev.device();
    std::vector<LitPoint> pts;
    for (const D3DXVECTOR3& p : at) pts.push_back({p.x, p.y, p.z, 0, 0, -1});
    d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    d->SetRenderState(D3DRS_POINTSIZE, FloatBits(3.0f));
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_POINTLIST, (UINT)pts.size(), pts.data(), sizeof(LitPoint)), D3D_OK);
    D3DVIEWPORT9 vp;
    D3DXMATRIX proj, view, world;
    d->GetViewport(&vp);
    d->GetTransform(D3DTS_PROJECTION, &proj);
    d->GetTransform(D3DTS_VIEW, &view);
    d->GetTransform(D3DTS_WORLD, &world);
    std::vector<uint32_t> out;
    for (const D3DXVECTOR3& p : at) {
        D3DXVECTOR3 s;
        D3DXVec3Project(&s, &p, &vp, &proj, &view, &world);
        out.push_back(dev.Pixel((int)lroundf(s.x), (int)lroundf(s.y)));
    }
    return out;
}

void WhiteMaterial(IDirect3DDevice9* d)
{
    D3DMATERIAL9 mat = {};
    mat.Diffuse = {1, 1, 1, 1};
    mat.Ambient = {1, 1, 1, 1};
    d->SetMaterial(&mat);
    d->SetRenderState(D3DRS_LIGHTING, TRUE);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
}

TEST(DeviceLighting, ASpotLightsItsInnerConeFullyAndNothingPastItsOuterCone)
{
    RenderTestDevice dev(64, 64);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    D3DXMATRIX proj, id;
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI * 2 / 3, 1.0f, 1.0f, 100.0f);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_WORLD, &id);
    WhiteMaterial(d);
    const float deg = D3DX_PI / 180;
    D3DLIGHT9 spot = {};
    spot.Type = D3DLIGHT_SPOT;
    spot.Diffuse = {1, 1, 1, 1};
    spot.Direction = {0, 0, 1};
    spot.Range = 1000;
    spot.Attenuation0 = 1;
    spot.Theta = 20 * deg;
    spot.Phi = 60 * deg;
    spot.Falloff = 1;
    ASSERT_EQ(d->SetLight(0, &spot), D3D_OK);
    d->LightEnable(0, TRUE);
    // On the axis, 20 degrees off it (between the cones) and 40 (outside both).
    const std::vector<D3DXVECTOR3> at = {{0, 0, 20}, {20 * tanf(20 * deg), 0, 20}, {20 * tanf(40 * deg), 0, 20}};
    // Between: N.L cos 20 times (cos 20 - cos 30) / (cos 10 - cos 30).
    const float between = cosf(20 * deg) * (cosf(20 * deg) - cosf(30 * deg)) / (cosf(10 * deg) - cosf(30 * deg));
    const int b = (int)lroundf(between * 255);
    std::vector<uint32_t> px = DrawLitPoints(dev, at);
    EXPECT_TRUE(ColorNear(px[0], 0xFFFFFFFF));
    EXPECT_TRUE(ColorNear(px[1], 0xFF000000u | (uint32_t)b * 0x010101u, 3));
    EXPECT_EQ(px[2], 0xFF000000u);
    // A falloff of 2 squares the fraction between the cones.
    spot.Falloff = 2;
    d->SetLight(0, &spot);
    px = DrawLitPoints(dev, at);
    const float fraction = (cosf(20 * deg) - cosf(30 * deg)) / (cosf(10 * deg) - cosf(30 * deg));
    const int b2 = (int)lroundf(cosf(20 * deg) * fraction * fraction * 255);
    EXPECT_TRUE(ColorNear(px[1], 0xFF000000u | (uint32_t)b2 * 0x010101u, 3));
}

TEST(DeviceLighting, SingularWorldMatricesStillLightProjectiveOnesDoNot)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    D3DXMATRIX proj, id, world;
    D3DXMatrixOrthoOffCenterLH(&proj, 0, 32, 32, 0, 0, 10);
    D3DXMatrixIdentity(&id);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetTransform(D3DTS_VIEW, &id);
    WhiteMaterial(d);
    d->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    d->SetLight(0, &light);
    d->LightEnable(0, TRUE);
    // Flattened onto y = 16: no inverse, yet the normal along z is kept.
    D3DXMatrixScaling(&world, 1, 0, 1);
    world._42 = 16;
    d->SetTransform(D3DTS_WORLD, &world);
    std::vector<uint32_t> px = DrawLitPoints(dev, {{16, 5, 1}});
    EXPECT_TRUE(ColorNear(px[0], 0xFFFFFFFF));
    // A projective world matrix (w = 2 halves every position): ambient only.
    world = id;
    world._44 = 2;
    d->SetTransform(D3DTS_WORLD, &world);
    px = DrawLitPoints(dev, {{16, 16, 1}});
    EXPECT_TRUE(ColorNear(px[0], 0xFF202020));
}

TEST(DeviceRasterisation, FlatShadingTakesEachTrianglesFirstVertex)
{
    RenderTestDevice dev(32, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    const TLVertex q[4] = {{0, 0, 0.5f, 1, 0xFFFF0000, 0, 0},
                           {32, 0, 0.5f, 1, 0xFF00FF00, 0, 0},
                           {0, 16, 0.5f, 1, 0xFF0000FF, 0, 0},
                           {32, 16, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    d->SetFVF(kTLFvf);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TLVertex)), D3D_OK);
    EXPECT_EQ(dev.Pixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(12, 4), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(29, 13), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(20, 12), 0xFF00FF00u);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TLVertex)), D3D_OK);
    EXPECT_NE(dev.Pixel(12, 4), 0xFFFF0000u);
}

TEST(DevicePoints, APointOfSizeZeroDrawsNothing)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const TLVertex p[2] = {{4, 8, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {12, 8, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    d->SetFVF(kTLFvf);
    d->SetRenderState(D3DRS_POINTSIZE, FloatBits(0.0f));
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, p, sizeof(TLVertex)), D3D_OK);
    EXPECT_EQ(dev.Pixel(4, 8), 0xFF000000u);
    d->SetRenderState(D3DRS_POINTSIZE, FloatBits(1.0f));
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, p + 1, sizeof(TLVertex)), D3D_OK);
    EXPECT_EQ(dev.Pixel(12, 8), 0xFFFFFFFFu);
    // Sizes given per vertex alike.
    struct {
        float x, y, z, rhw, size;
        DWORD color;
    } sized[2] = {{4, 4, 0.5f, 1, 0.0f, 0xFFFF0000}, {12, 4, 0.5f, 1, 2.0f, 0xFFFF0000}};
    d->SetFVF(D3DFVF_XYZRHW | D3DFVF_PSIZE | D3DFVF_DIFFUSE);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_POINTLIST, 2, sized, sizeof(sized[0])), D3D_OK);
    EXPECT_EQ(dev.Pixel(4, 4), 0xFF000000u);
    EXPECT_EQ(dev.Pixel(12, 4), 0xFFFF0000u);
}

TEST(DeviceCaps, TheCapsClaimOnlyWhatTheDeviceDoes)
{
    RenderTestDevice dev(8, 8);
    REQUIRE_RENDER_DEVICE(dev);
    D3DCAPS9 caps;
    ASSERT_EQ(dev.device()->GetDeviceCaps(&caps), D3D_OK);
    // No shader interface, hence no shader versions.
    EXPECT_EQ(caps.VertexShaderVersion, 0u);
    EXPECT_EQ(caps.PixelShaderVersion, 0u);
    // Not done, so not claimed.
    EXPECT_FALSE(caps.PrimitiveMiscCaps & D3DPMISCCAPS_CLIPTLVERTS);
    EXPECT_FALSE(caps.RasterCaps & D3DPRASTERCAPS_FOGRANGE);
    EXPECT_FALSE(caps.StencilCaps & D3DSTENCILCAPS_TWOSIDED);
    EXPECT_FALSE(caps.TextureOpCaps & (D3DTEXOPCAPS_BUMPENVMAP | D3DTEXOPCAPS_PREMODULATE));
    // Done, and claimed.
    EXPECT_TRUE(caps.RasterCaps & D3DPRASTERCAPS_WFOG);
    EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_PROJECTED);
    EXPECT_TRUE(caps.VertexProcessingCaps & D3DVTXPCAPS_TEXGEN);
    EXPECT_TRUE(caps.TextureOpCaps & D3DTEXOPCAPS_DOTPRODUCT3);
    // Index buffers hold 16-bit indices only, and the largest index says so.
    EXPECT_EQ(caps.MaxVertexIndex, 0xFFFFu);
    IDirect3DIndexBuffer9* ib = nullptr;
    EXPECT_EQ(dev.device()->CreateIndexBuffer(64, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &ib, nullptr),
              D3DERR_INVALIDCALL);
    // sRGB reads and writes for eight bits a channel, not for other formats.
    IDirect3D9* d3d = dev.d3d();
    auto check = [&](DWORD usage, D3DFORMAT format) {
        return d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, usage, D3DRTYPE_TEXTURE,
                                      format);
    };
    EXPECT_EQ(check(D3DUSAGE_QUERY_SRGBREAD, D3DFMT_A8R8G8B8), D3D_OK);
    EXPECT_EQ(check(D3DUSAGE_RENDERTARGET | D3DUSAGE_QUERY_SRGBWRITE, D3DFMT_X8R8G8B8), D3D_OK);
    EXPECT_EQ(check(D3DUSAGE_QUERY_SRGBREAD, D3DFMT_R5G6B5), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(check(D3DUSAGE_QUERY_SRGBWRITE, D3DFMT_A4R4G4B4), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(check(D3DUSAGE_QUERY_VERTEXTEXTURE, D3DFMT_A8R8G8B8), D3DERR_NOTAVAILABLE);
}

TEST(DeviceTextures, SrgbTexelsAreDecodedAndDrawsAndClearsEncoded)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(d->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
    *static_cast<uint32_t*>(lr.pBits) = 0xFF808080;
    tex->UnlockRect(0);
    d->SetTexture(0, tex);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    // 0x80 in sRGB is 0x37 in linear light, and back.
    d->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, TRUE);
    DrawRect(d, 0, 0, 16, 16, 0xFFFFFFFF);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFF373737, 1));
    d->SetRenderState(D3DRS_SRGBWRITEENABLE, TRUE);
    DrawRect(d, 0, 0, 16, 16, 0xFFFFFFFF);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFF808080, 1));
    d->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, FALSE);
    d->SetTexture(0, nullptr);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    DrawRect(d, 0, 0, 8, 16, 0xFF373737);
    EXPECT_TRUE(ColorNear(dev.Pixel(4, 8), 0xFF808080, 1));
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF373737, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(ColorNear(dev.Pixel(8, 8), 0xFF808080, 1));
    // Off again: values go through as they are.
    d->SetRenderState(D3DRS_SRGBWRITEENABLE, FALSE);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF373737, 1.0f, 0), D3D_OK);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFF373737u);
    tex->Release();
}

TEST(DeviceSwapChains, TwoSwapChainsEachShowTheirOwnImage)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    HWND second = CreateWindowExA(0, "RenderTestDevice", "second", WS_OVERLAPPEDWINDOW, 100, 100, 16 + 16, 16 + 39,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(second, nullptr);
    D3DPRESENT_PARAMETERS pp = dev.params();
    pp.BackBufferWidth = pp.BackBufferHeight = 0;
    pp.hDeviceWindow = second;
    IDirect3DSwapChain9 *chain0 = nullptr, *chain1 = nullptr;
    ASSERT_EQ(d->GetSwapChain(0, &chain0), D3D_OK);
    ASSERT_EQ(d->CreateAdditionalSwapChain(&pp, &chain1), D3D_OK);
    EXPECT_EQ(pp.BackBufferWidth, 16u);
    IDirect3DSurface9 *back0 = nullptr, *back1 = nullptr;
    ASSERT_EQ(chain0->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back0), D3D_OK);
    ASSERT_EQ(chain1->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back1), D3D_OK);
    EXPECT_NE(back0, back1);

    d->SetRenderTarget(0, back0);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    ASSERT_EQ(chain0->Present(nullptr, nullptr, nullptr, nullptr, 0), D3D_OK);
    d->SetRenderTarget(0, back1);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    ASSERT_EQ(chain1->Present(nullptr, nullptr, nullptr, nullptr, 0), D3D_OK);

    const std::vector<uint32_t> p0 = dev.ReadPixels(back0), p1 = dev.ReadPixels(back1);
    ASSERT_EQ(p0.size(), 32u * 32u);
    ASSERT_EQ(p1.size(), 16u * 16u);
    EXPECT_EQ(p0[5], 0xFFFF0000u);
    EXPECT_EQ(p1[5], 0xFF0000FFu);

    // What each window was shown, at its client position on the screen.
    D3DDISPLAYMODE mode;
    ASSERT_EQ(d->GetDisplayMode(0, &mode), D3D_OK);
    IDirect3DSurface9* screen = nullptr;
    ASSERT_EQ(
        d->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &screen, nullptr),
        D3D_OK);
    auto screenPixel = [&](HWND w, int cx, int cy) {
        POINT pt = {cx, cy};
        ClientToScreen(w, &pt);
        D3DLOCKED_RECT lr;
        uint32_t v = 0;
        if (SUCCEEDED(screen->LockRect(&lr, nullptr, D3DLOCK_READONLY))) {
            if (pt.x >= 0 && pt.y >= 0 && (UINT)pt.x < mode.Width && (UINT)pt.y < mode.Height)
                v = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + pt.y * lr.Pitch)[pt.x];
            screen->UnlockRect();
        }
        return v;
    };
    ASSERT_EQ(chain1->GetFrontBufferData(screen), D3D_OK);
    EXPECT_EQ(screenPixel(second, 4, 4), 0xFF0000FFu);
    ASSERT_EQ(chain0->GetFrontBufferData(screen), D3D_OK);
    EXPECT_EQ(screenPixel(dev.hwnd(), 4, 4), 0xFFFF0000u);

    // A chain presents to another window when told to.
    d->SetRenderTarget(0, back0);
    screen->Release();
    back0->Release();
    back1->Release();
    chain1->Release();
    chain0->Release();
    DestroyWindow(second);
}

TEST(DeviceSwapChains, AChainPresentsToTheWindowItIsGiven)
{
    // The engine's second chain shares the device window and is presented to
    // another window named at Present.
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    HWND other = CreateWindowExA(0, "RenderTestDevice", "other", WS_OVERLAPPEDWINDOW, 200, 50, 32, 55, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    D3DPRESENT_PARAMETERS pp = dev.params();
    pp.BackBufferWidth = pp.BackBufferHeight = 0;
    pp.hDeviceWindow = nullptr;
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(d->CreateAdditionalSwapChain(&pp, &chain), D3D_OK);
    IDirect3DSurface9* back = nullptr;
    chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    d->SetRenderTarget(0, back);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF405060, 1.0f, 0);
    ASSERT_EQ(chain->Present(nullptr, nullptr, other, nullptr, 0), D3D_OK);
    D3DDISPLAYMODE mode;
    d->GetDisplayMode(0, &mode);
    IDirect3DSurface9* screen = nullptr;
    ASSERT_EQ(
        d->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &screen, nullptr),
        D3D_OK);
    ASSERT_EQ(chain->GetFrontBufferData(screen), D3D_OK);
    POINT pt = {3, 3};
    ClientToScreen(other, &pt);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(screen->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + pt.y * lr.Pitch)[pt.x], 0xFF405060u);
    screen->UnlockRect();
    EXPECT_EQ(chain->Present(nullptr, nullptr, reinterpret_cast<HWND>(0x1234), nullptr, 0), D3DERR_INVALIDCALL);
    IDirect3DSurface9* own = nullptr;
    d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &own);
    d->SetRenderTarget(0, own);
    own->Release();
    screen->Release();
    back->Release();
    chain->Release();
    DestroyWindow(other);
}

TEST(DeviceCreation, FullScreenTakesTheRequestedSize)
{
    RenderTestDevice dev(8, 8);
    REQUIRE_RENDER_DEVICE(dev);
    HWND hwnd = CreateWindowExA(0, "RenderTestDevice", "full", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = 320;
    pp.BackBufferHeight = 240;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = FALSE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.FullScreen_RefreshRateInHz = 75;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
    IDirect3DDevice9* d = nullptr;
    ASSERT_EQ(dev.d3d()->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, 0, &pp, &d), D3D_OK);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 320u);
    EXPECT_EQ(desc.Height, 240u);
    D3DVIEWPORT9 vp;
    d->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 320u);
    EXPECT_EQ(vp.Height, 240u);
    EXPECT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    back->Release();
    d->Release();
    DestroyWindow(hwnd);
    // Full screen needs a size.
    pp.BackBufferWidth = 0;
    EXPECT_EQ(dev.d3d()->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, dev.hwnd(), 0, &pp, &d), D3DERR_INVALIDCALL);
}

TEST(DeviceSwapChains, FrontBufferDataIsTheLastPresentedImage)
{
    RenderTestDevice dev(40, 30);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF112233, 1.0f, 0);
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(d->GetSwapChain(0, &chain), D3D_OK);
    ASSERT_EQ(chain->Present(nullptr, nullptr, nullptr, nullptr, 0), D3D_OK);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);  // drawn, not presented

    D3DDISPLAYMODE mode;
    ASSERT_EQ(d->GetDisplayMode(0, &mode), D3D_OK);
    IDirect3DSurface9* screen = nullptr;
    ASSERT_EQ(
        d->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &screen, nullptr),
        D3D_OK);
    ASSERT_EQ(d->GetFrontBufferData(0, screen), D3D_OK);
    POINT tl = {0, 0}, br = {39, 29};
    ClientToScreen(dev.hwnd(), &tl);
    ClientToScreen(dev.hwnd(), &br);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(screen->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto at = [&](POINT p) {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + p.y * lr.Pitch)[p.x];
    };
    EXPECT_EQ(at(tl), 0xFF112233u);
    EXPECT_EQ(at(br), 0xFF112233u);
    if (br.x + 1 < (LONG)mode.Width) {
        EXPECT_EQ(at(POINT{br.x + 1, br.y}), 0xFF000000u);
    }
    screen->UnlockRect();
    screen->Release();
    chain->Release();
}

// The screen pixel at a client position of the device window, as
// GetFrontBufferData gives it.
uint32_t FrontPixel(RenderTestDevice& dev, int x, int y)
{
    IDirect3DDevice9* d = dev.device();
    D3DDISPLAYMODE mode;
    if (FAILED(d->GetDisplayMode(0, &mode))) return 0;
    IDirect3DSurface9* screen = nullptr;
    if (FAILED(d->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &screen,
                                              nullptr)))
        return 0;
    uint32_t v = 0;
    POINT pt = {x, y};
    ClientToScreen(dev.hwnd(), &pt);
    D3DLOCKED_RECT lr;
    if (d->GetFrontBufferData(0, screen) == D3D_OK && pt.x >= 0 && pt.y >= 0 && pt.x < (LONG)mode.Width &&
        pt.y < (LONG)mode.Height && screen->LockRect(&lr, nullptr, D3DLOCK_READONLY) == D3D_OK) {
        v = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + pt.y * lr.Pitch)[pt.x];
        screen->UnlockRect();
    }
    screen->Release();
    return v;
}

TEST(DeviceSwapChains, DrawingOverThePresentedImageKeepsBothImages)
{
    // After a present the back buffer still shows the presented image; what
    // is drawn over part of it changes the back buffer, not the front.
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0);
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(FrontPixel(dev, 4, 4), 0xFF102030u);  // before any write
    DrawRect(d, 0, 0, 16, 32, 0xFFFFFFFF);
    EXPECT_EQ(dev.Pixel(4, 4), 0xFFFFFFFFu);
    EXPECT_EQ(dev.Pixel(24, 4), 0xFF102030u);
    EXPECT_EQ(FrontPixel(dev, 4, 4), 0xFF102030u);
    EXPECT_EQ(FrontPixel(dev, 24, 4), 0xFF102030u);

    // A clear of part of the target, then of all of it, over a presented image.
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const D3DRECT left = {0, 0, 16, 32};
    d->Clear(1, &left, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(dev.Pixel(4, 4), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(24, 4), 0xFF102030u);
    EXPECT_EQ(FrontPixel(dev, 4, 4), 0xFFFFFFFFu);
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    DrawRect(d, 16, 0, 32, 32, 0xFFFF0000);
    EXPECT_EQ(dev.Pixel(4, 4), 0xFF0000FFu);
    EXPECT_EQ(dev.Pixel(24, 4), 0xFFFF0000u);
    EXPECT_EQ(FrontPixel(dev, 4, 4), 0xFF00FF00u);
    EXPECT_EQ(FrontPixel(dev, 24, 4), 0xFF102030u);
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(FrontPixel(dev, 4, 4), 0xFF0000FFu);
    EXPECT_EQ(FrontPixel(dev, 24, 4), 0xFFFF0000u);
    // Presented twice: still the same image in front and back.
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(FrontPixel(dev, 24, 4), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(24, 4), 0xFFFF0000u);
}

TEST(DeviceSwapChains, TheScissorTestHoldsAcrossAPresent)
{
    // Drawing into a texture while the back buffer is presented in between.
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(d->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &tex, nullptr),
              D3D_OK);
    IDirect3DSurface9* level = nullptr;
    IDirect3DSurface9* back = nullptr;
    tex->GetSurfaceLevel(0, &level);
    d->GetRenderTarget(0, &back);
    d->SetRenderTarget(0, level);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const RECT box = {0, 0, 8, 8};
    d->SetScissorRect(&box);
    d->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    DrawRect(d, 0, 0, 32, 32, 0xFFFFFFFF);
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    DrawRect(d, 0, 0, 32, 32, 0xFF00FF00);  // no state changed since the present
    EXPECT_EQ(dev.Pixel(4, 4), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(20, 20), 0xFF000000u);
    d->SetRenderTarget(0, back);
    back->Release();
    level->Release();
    tex->Release();
}

TEST(DeviceDepth, DepthTestAndWriteInTheBackBufferAndARenderTarget)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    IDirect3DTexture9* rtTex = nullptr;
    ASSERT_EQ(d->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &rtTex, nullptr),
              D3D_OK);
    IDirect3DSurface9 *rt = nullptr, *back = nullptr;
    rtTex->GetSurfaceLevel(0, &rt);
    d->GetRenderTarget(0, &back);
    auto quad = [&](float size, float z, DWORD color) {
        const TLVertex q[4] = {{0, 0, z, 1, color, 0, 0},
                               {size, 0, z, 1, color, 0, 0},
                               {0, size, z, 1, color, 0, 0},
                               {size, size, z, 1, color, 0, 0}};
        d->SetFVF(kTLFvf);
        ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TLVertex)), D3D_OK);
    };
    for (IDirect3DSurface9* target : {back, rt}) {
        d->SetRenderTarget(0, target);
        d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        quad(16, 0.2f, 0xFFFF0000);  // near
        quad(16, 0.6f, 0xFF0000FF);  // farther: hidden
        EXPECT_EQ(dev.ReadPixels(target)[5 * (target == back ? 32 : 16) + 5], 0xFFFF0000u);
        // With the test off the last drawn wins.
        d->SetRenderState(D3DRS_ZENABLE, FALSE);
        quad(16, 0.9f, 0xFF00FF00);
        EXPECT_EQ(dev.ReadPixels(target)[5 * (target == back ? 32 : 16) + 5], 0xFF00FF00u);
        d->SetRenderState(D3DRS_ZENABLE, TRUE);
        d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        quad(16, 0.2f, 0xFFFF0000);
        quad(16, 0.6f, 0xFF0000FF);  // passes: the near quad wrote no depth
        EXPECT_EQ(dev.ReadPixels(target)[5 * (target == back ? 32 : 16) + 5], 0xFF0000FFu);
    }
    d->SetRenderTarget(0, back);
    rt->Release();
    back->Release();
    rtTex->Release();
}

TEST(DeviceBuffers, DrawIndexedPrimitiveUP)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    const TLVertex v[4] = {{0, 0, 0.5f, 1, 0xFFFFFF00, 0, 0},
                           {16, 0, 0.5f, 1, 0xFFFFFF00, 0, 0},
                           {0, 16, 0.5f, 1, 0xFFFFFF00, 0, 0},
                           {16, 16, 0.5f, 1, 0xFFFFFF00, 0, 0}};
    const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->SetFVF(kTLFvf);
    ASSERT_EQ(d->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, idx, D3DFMT_INDEX16, v, sizeof(TLVertex)), D3D_OK);
    EXPECT_EQ(dev.Pixel(12, 12), 0xFFFFFF00u);
    const uint16_t bad[3] = {0, 1, 7};
    EXPECT_EQ(d->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 1, bad, D3DFMT_INDEX16, v, sizeof(TLVertex)),
              D3DERR_INVALIDCALL);
}

TEST(DeviceBuffers, ManagedVertexAndIndexBuffersDraw)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(d->CreateVertexBuffer(4 * sizeof(TLVertex), D3DUSAGE_WRITEONLY, kTLFvf, D3DPOOL_MANAGED, &vb, nullptr),
              D3D_OK);
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    const TLVertex q[4] = {{0, 0, 0.5f, 1, 0xFF00FFFF, 0, 0},
                           {16, 0, 0.5f, 1, 0xFF00FFFF, 0, 0},
                           {0, 16, 0.5f, 1, 0xFF00FFFF, 0, 0},
                           {16, 16, 0.5f, 1, 0xFF00FFFF, 0, 0}};
    memcpy(data, q, sizeof(q));
    ASSERT_EQ(vb->Unlock(), D3D_OK);
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(d->CreateIndexBuffer(6 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
    const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
    memcpy(data, idx, sizeof(idx));
    ib->Unlock();

    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->SetFVF(kTLFvf);
    d->SetStreamSource(0, vb, 0, sizeof(TLVertex));
    d->SetIndices(ib);
    ASSERT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFF00FFFFu);
    EXPECT_EQ(dev.Pixel(24, 24), 0xFF000000u);
    // Rewriting one vertex through a partial lock shows in the next draw.
    ASSERT_EQ(vb->Lock(3 * sizeof(TLVertex), sizeof(TLVertex), &data, 0), D3D_OK);
    TLVertex moved = q[3];
    moved.x = moved.y = 32;
    memcpy(data, &moved, sizeof(moved));
    vb->Unlock();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_EQ(dev.Pixel(24, 24), 0xFF00FFFFu);

    // Out of range: a lock outside, a draw past the end, an index past the end.
    EXPECT_EQ(vb->Lock(4 * sizeof(TLVertex), 1, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Lock(0, 5 * sizeof(TLVertex), &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 4, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);

    // DrawPrimitiveUP leaves stream 0 unset.
    DrawRect(d, 0, 0, 4, 4, 0xFFFFFFFF);
    IDirect3DVertexBuffer9* bound = vb;
    UINT off = 1, stride = 1;
    d->GetStreamSource(0, &bound, &off, &stride);
    EXPECT_EQ(bound, nullptr);
    EXPECT_EQ(stride, 0u);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);

    d->SetIndices(nullptr);
    ib->Release();
    vb->Release();
}

TEST(DeviceState, DefaultsAndReadBack)
{
    RenderTestDevice dev(8, 8);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    DWORD v = 0;
    d->GetRenderState(D3DRS_LIGHTING, &v);
    EXPECT_EQ(v, (DWORD)TRUE);
    d->GetRenderState(D3DRS_ZFUNC, &v);
    EXPECT_EQ(v, (DWORD)D3DCMP_LESSEQUAL);
    d->GetRenderState(D3DRS_ALPHAFUNC, &v);
    EXPECT_EQ(v, (DWORD)D3DCMP_ALWAYS);
    d->GetRenderState(D3DRS_POINTSIZE_MIN, &v);
    EXPECT_EQ(v, FloatBits(1.0f));
    d->GetTextureStageState(0, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, (DWORD)D3DTOP_MODULATE);
    d->GetTextureStageState(1, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, (DWORD)D3DTOP_DISABLE);
    d->GetSamplerState(0, D3DSAMP_MINFILTER, &v);
    EXPECT_EQ(v, (DWORD)D3DTEXF_POINT);

    D3DXMATRIX m, back;
    D3DXMatrixTranslation(&m, 1, 2, 3);
    d->SetTransform(D3DTS_WORLD, &m);
    d->GetTransform(D3DTS_WORLD, &back);
    EXPECT_EQ(back, m);
    d->SetRenderState(D3DRS_FOGEND, FloatBits(77.0f));
    d->GetRenderState(D3DRS_FOGEND, &v);
    EXPECT_EQ(v, FloatBits(77.0f));

    // A state block brings everything back.
    IDirect3DStateBlock9* sb = nullptr;
    ASSERT_EQ(d->CreateStateBlock(D3DSBT_ALL, &sb), D3D_OK);
    d->SetRenderState(D3DRS_FOGEND, FloatBits(1.0f));
    d->SetTransform(D3DTS_WORLD, &back);
    D3DXMatrixIdentity(&m);
    d->SetTransform(D3DTS_WORLD, &m);
    sb->Apply();
    d->GetRenderState(D3DRS_FOGEND, &v);
    EXPECT_EQ(v, FloatBits(77.0f));
    d->GetTransform(D3DTS_WORLD, &m);
    EXPECT_EQ(m, back);
    sb->Release();
}

TEST(DeviceStatsCounters, DrawsAndProgramsAreCountedPerFrame)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    D3D9_ResetFrameStats(d);
    for (int i = 0; i < 3; ++i) DrawRect(d, 0, 0, 8, 8, 0xFFFFFFFF);
    D3D9FrameStats cur = {}, prev = {};
    ASSERT_EQ(D3D9_GetFrameStats(d, &cur, &prev), D3D_OK);
    EXPECT_EQ(cur.drawCalls, 3u);
    EXPECT_EQ(cur.primitives, 6u);
    EXPECT_LE(cur.programsBuilt, 1u);
    EXPECT_EQ(cur.bytesStreamed, 3u * 4 * sizeof(TLVertex));
    d->Present(nullptr, nullptr, nullptr, nullptr);
    D3D9_GetFrameStats(d, &cur, &prev);
    EXPECT_EQ(cur.drawCalls, 0u);
    EXPECT_EQ(prev.drawCalls, 3u);
    // The same states again reuse the cached program.
    DrawRect(d, 0, 0, 8, 8, 0xFFFFFFFF);
    D3D9_GetFrameStats(d, &cur, nullptr);
    EXPECT_EQ(cur.programsBuilt, 0u);
    EXPECT_EQ(D3D9_GetFrameStats(nullptr, &cur, &prev), D3DERR_INVALIDCALL);
}

TEST(DeviceBadArguments, InvalidCallsReturnInvalidCall)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    const HRESULT bad = D3DERR_INVALIDCALL;
    EXPECT_EQ(d->SetTransform(D3DTS_WORLD, nullptr), bad);
    EXPECT_EQ(d->SetTransform((D3DTRANSFORMSTATETYPE)1000, nullptr), bad);
    EXPECT_EQ(d->SetRenderState((D3DRENDERSTATETYPE)5000, 0), bad);
    EXPECT_EQ(d->GetRenderState(D3DRS_LIGHTING, nullptr), bad);
    EXPECT_EQ(d->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_DISABLE), bad);
    EXPECT_EQ(d->SetSamplerState(99, D3DSAMP_MINFILTER, D3DTEXF_POINT), bad);
    EXPECT_EQ(d->SetTexture(99, nullptr), bad);
    EXPECT_EQ(d->SetLight(0, nullptr), bad);
    EXPECT_EQ(d->SetLight(1000, nullptr), bad);
    EXPECT_EQ(d->LightEnable(1000, TRUE), bad);
    EXPECT_EQ(d->SetMaterial(nullptr), bad);
    EXPECT_EQ(d->SetViewport(nullptr), bad);
    const D3DVIEWPORT9 tooBig = {0, 0, 1u << 30, 16, 0, 1}, wrapsAround = {0xFFFFFFF0u, 0, 32, 16, 0, 1},
                       empty = {0, 0, 0, 16, 0, 1}, depthOutside = {0, 0, 16, 16, 0, 1.5f};
    for (const D3DVIEWPORT9& vp : {tooBig, wrapsAround, empty, depthOutside}) EXPECT_EQ(d->SetViewport(&vp), bad);
    EXPECT_EQ(d->GetViewport(nullptr), bad);
    EXPECT_EQ(d->SetRenderTarget(0, nullptr), bad);
    EXPECT_EQ(d->SetRenderTarget(1, nullptr), bad);
    EXPECT_EQ(d->GetRenderTarget(0, nullptr), bad);
    EXPECT_EQ(d->Clear(0, nullptr, 0, 0, 1, 0), bad);
    EXPECT_EQ(d->GetSwapChain(1, nullptr), bad);
    IDirect3DSwapChain9* sc = nullptr;
    EXPECT_EQ(d->GetSwapChain(3, &sc), bad);
    EXPECT_EQ(sc, nullptr);
    EXPECT_EQ(d->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, nullptr), bad);
    IDirect3DTexture9* tex = nullptr;
    EXPECT_EQ(d->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), bad);
    EXPECT_EQ(d->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), bad);
    EXPECT_EQ(tex, nullptr);
    IDirect3DIndexBuffer9* ib = nullptr;
    EXPECT_EQ(d->CreateIndexBuffer(12, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &ib, nullptr), bad);
    EXPECT_EQ(d->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, nullptr, nullptr), bad);

    // Draws: no vertex format, no data, no stream, unknown primitive.
    TLVertex v[3] = {};
    d->SetFVF(0);
    EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(TLVertex)), bad);
    d->SetFVF(kTLFvf);
    EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, sizeof(TLVertex)), bad);
    EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, 4), bad);
    EXPECT_EQ(d->DrawPrimitiveUP((D3DPRIMITIVETYPE)42, 1, v, sizeof(TLVertex)), bad);
    EXPECT_EQ(d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), bad);
    EXPECT_EQ(d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), bad);
    EXPECT_EQ(d->SetStreamSource(1, nullptr, 0, 0), bad);

    // Surfaces: locks outside, default-pool locks, mismatched read-backs.
    IDirect3DSurface9* sys = nullptr;
    ASSERT_EQ(d->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &sys, nullptr), D3D_OK);
    D3DLOCKED_RECT lr;
    const RECT outside = {4, 4, 9, 8};
    EXPECT_EQ(sys->LockRect(&lr, &outside, 0), bad);
    EXPECT_EQ(sys->LockRect(nullptr, nullptr, 0), bad);
    EXPECT_EQ(sys->UnlockRect(), bad);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(d->GetRenderTarget(0, &back), D3D_OK);
    EXPECT_EQ(back->LockRect(&lr, nullptr, 0), bad);
    EXPECT_EQ(d->GetRenderTargetData(back, sys), bad);  // 16x16 into 8x8
    EXPECT_EQ(d->GetRenderTargetData(nullptr, sys), bad);
    EXPECT_EQ(d->GetRenderTargetData(sys, sys), bad);  // not a render target
    EXPECT_EQ(d->SetRenderTarget(0, sys), bad);
    EXPECT_EQ(d->GetFrontBufferData(0, nullptr), bad);
    back->Release();
    sys->Release();
    EXPECT_EQ(d->EndScene(), bad);
    EXPECT_EQ(d->BeginScene(), D3D_OK);
    EXPECT_EQ(d->BeginScene(), bad);
    EXPECT_EQ(d->EndScene(), D3D_OK);

    // The device still draws after all of that.
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    DrawRect(d, 0, 0, 16, 16, 0xFFFFFFFF);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFFFFFFFFu);
}

TEST(DeviceLifetime, ResourcesKeepTheDeviceAliveAndBindingsDoNot)
{
    RenderTestDevice dev(8, 8);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(d->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    EXPECT_EQ(tex->GetLevelCount(), 3u);
    d->AddRef();
    EXPECT_EQ(d->Release(), 2u);  // the program's reference and the texture's
    d->SetTexture(0, tex);
    EXPECT_EQ(tex->Release(), 0u);  // still bound: kept for the device, no longer counted
    d->AddRef();
    EXPECT_EQ(d->Release(), 1u);
    IDirect3DBaseTexture9* bound = nullptr;
    d->GetTexture(0, &bound);
    EXPECT_NE(bound, nullptr);
    if (bound) bound->Release();
    d->SetTexture(0, nullptr);  // frees it
}

TEST(DeviceLifetime, AWindowDestroyedFirstIsRefusedNotUsed)
{
    RenderTestDevice dev(8, 8);  // registers the window class and proves GL works here
    REQUIRE_RENDER_DEVICE(dev);
    HWND hwnd = CreateWindowExA(0, "RenderTestDevice", "short-lived", WS_OVERLAPPEDWINDOW, 0, 0, 32, 55, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    D3DPRESENT_PARAMETERS pp = dev.params();
    IDirect3DDevice9* d = nullptr;
    ASSERT_EQ(dev.d3d()->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, 0, &pp, &d), D3D_OK);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(d->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), D3D_OK);
    d->SetTexture(0, tex);
    DestroyWindow(hwnd);
    EXPECT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    tex->Release();
    d->Release();
    // The other device carries on.
    dev.device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF010203, 1.0f, 0);
    EXPECT_EQ(dev.Pixel(2, 2), 0xFF010203u);
}

TEST(DeviceCreation, FormatsAndCreationChecks)
{
    RenderTestDevice dev(8, 8);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3D9* d3d = dev.d3d();
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_D24S8),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_D16),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE,
                                     D3DFMT_A8R8G8B8),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET,
                                     D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE,
                                     D3DFMT_A4R4G4B4),
              D3D_OK);
    EXPECT_EQ(
        d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT5),
        D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_UNKNOWN, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_D24S8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(
        d3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_D24S8),
        D3D_OK);
    D3DDISPLAYMODE mode = {};
    EXPECT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_GT(mode.Width, 0u);
    D3DCAPS9 caps = {};
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_NE(caps.VertexProcessingCaps, 0u);
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr), D3DERR_INVALIDCALL);

    // A windowed device takes the client size and the display format.
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
    IDirect3DDevice9* second = nullptr;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, dev.hwnd(), D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &pp, &second),
              D3D_OK);
    EXPECT_EQ(pp.BackBufferWidth, 8u);
    EXPECT_EQ(pp.BackBufferHeight, 8u);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
    second->Release();
    dev.device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF445566, 1.0f, 0);
    EXPECT_EQ(dev.Pixel(1, 1), 0xFF445566u);

    // No depth format given with an automatic depth buffer: refused.
    pp = {};
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, dev.hwnd(), 0, &pp, &second), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &pp, &second), D3DERR_INVALIDCALL);
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
}

}  // namespace

// Every object of the layer answers IUnknown the same way: no other
// interfaces, and one count of which its creator holds the first reference.
TEST(DeviceLifetime, ObjectsShareOneReferenceCountContract)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ID3DXBuffer* buffer = nullptr;
    ASSERT_EQ(D3DXCreateBuffer(8, &buffer), D3D_OK);

    // The device's own objects too, whose owner keeps them once released.
    IDirect3DSurface9 *back = nullptr, *depth = nullptr;
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(d->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(d->GetSwapChain(0, &chain), D3D_OK);

    IUnknown* objects[] = {dev.d3d(), texture, buffer, back, depth, chain};
    for (IUnknown* object : objects) {
        void* other = reinterpret_cast<void*>(1);
        EXPECT_EQ(object->QueryInterface(IID{}, &other), E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
        const ULONG held = object->AddRef();
        EXPECT_GE(held, 2u);
        EXPECT_EQ(object->Release(), held - 1);
    }
    for (IUnknown* object : objects) {
        if (object == dev.d3d()) continue;
        EXPECT_EQ(object->Release(), 0u);
    }
}

// A frame drawn into the window's back buffer and presented costs no copy of
// the surface: the back buffer is the window's framebuffer, or, for a headless
// window nobody sees, drawn off screen and never copied. Only a single-
// buffered window's framebuffer drawn over after a present keeps the
// presented image by copying it once.
TEST(DeviceSwapChains, AFrameDrawnAndPresentedCopiesNoSurface)
{
    RenderTestDevice dev(64, 48);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040, 1.0f, 0), D3D_OK);
        DrawRect(d, 8, 8, 24, 24, 0xFFFF0000);
        ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    D3D9FrameStats last = {};
    ASSERT_EQ(D3D9_GetFrameStats(d, nullptr, &last), D3D_OK);
    EXPECT_GT(last.drawCalls, 0u);
    const char* mode = std::getenv("D3D9GL_BACKBUFFER");
    const bool singleBufferedWindow = mode && std::string(mode) == "window";
    EXPECT_EQ(last.surfaceCopies, singleBufferedWindow ? 1u : 0u);
    EXPECT_EQ(FrontPixel(dev, 10, 10), 0xFFFF0000u);
    EXPECT_EQ(FrontPixel(dev, 40, 40), 0xFF203040u);
}

// A back buffer of another size than its window (a full-screen mode) is drawn
// off screen, upright, and scaled into the window when presented: one copy a
// frame where a display shows it, none headless.
TEST(DeviceSwapChains, ABackBufferUnlikeTheWindowIsDrawnOffScreen)
{
    RenderTestDevice dev(64, 48);
    REQUIRE_RENDER_DEVICE(dev);
    D3DPRESENT_PARAMETERS pp = dev.params();
    pp.BackBufferWidth = 32;
    pp.BackBufferHeight = 24;
    pp.hDeviceWindow = dev.hwnd();
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(dev.device()->CreateAdditionalSwapChain(&pp, &chain), D3D_OK);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    IDirect3DDevice9* d = dev.device();
    ASSERT_EQ(d->SetRenderTarget(0, back), D3D_OK);
    Unlit2D(d);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    DrawRect(d, 0, 0, 32, 6, 0xFFFFFF00);  // a yellow band along the top
    ASSERT_EQ(chain->Present(nullptr, nullptr, nullptr, nullptr, 0), D3D_OK);
    D3D9FrameStats last = {};
    ASSERT_EQ(D3D9_GetFrameStats(d, nullptr, &last), D3D_OK);
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const bool nothingToShow = driver && std::string(driver) == "offscreen";
    EXPECT_EQ(last.surfaceCopies, nothingToShow ? 0u : 1u);
    UINT w = 0, h = 0;
    std::vector<uint32_t> pixels = dev.ReadPixels(back, &w, &h);
    ASSERT_EQ(w, 32u);
    EXPECT_EQ(pixels[1 * w + 5], 0xFFFFFF00u);
    EXPECT_EQ(pixels[20 * w + 5], 0xFF0000FFu);
    back->Release();
    chain->Release();
}

// A viewport may be larger than the render target, as every driver allows:
// drawing keeps its mapping to the whole viewport and, with clears, is cut to
// the target; one wholly outside it draws and clears nothing.
TEST(DeviceApi, AViewportLargerThanTheTargetIsCutToIt)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    Unlit2D(d);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const D3DVIEWPORT9 large = {16, 16, 32, 32, 0, 1};
    ASSERT_EQ(d->SetViewport(&large), D3D_OK);
    D3DVIEWPORT9 got = {};
    d->GetViewport(&got);
    EXPECT_EQ(got.Width, 32u);
    EXPECT_EQ(got.Height, 32u);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(InsideAndOut(dev.ReadPixels(), 32, {16, 16, 32, 32}, 0xFF0000FFu, 0xFF000000u));
    // The top-left quarter of clip space is the viewport's, 16 x 16 pixels;
    // the whole of it runs off the target.
    const ColorVertex quarter[4] = {
        {-1, 1, 0.5f, 0xFFFFFFFF}, {0, 1, 0.5f, 0xFFFFFFFF}, {-1, 0, 0.5f, 0xFFFFFFFF}, {0, 0, 0.5f, 0xFFFFFFFF}};
    d->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quarter, sizeof(ColorVertex)), D3D_OK);
    std::vector<uint32_t> px = dev.ReadPixels();
    EXPECT_TRUE(InsideAndOut(px, 32, {16, 16, 32, 32}, 0xFFFFFFFFu, 0xFF000000u));
    const ColorVertex corner[4] = {{-1, 1, 0.5f, 0xFFFF0000},
                                   {-0.5f, 1, 0.5f, 0xFFFF0000},
                                   {-1, 0.5f, 0.5f, 0xFFFF0000},
                                   {-0.5f, 0.5f, 0.5f, 0xFFFF0000}};
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, corner, sizeof(ColorVertex)), D3D_OK);
    px = dev.ReadPixels();
    EXPECT_EQ(px[16 * 32 + 16], 0xFFFF0000u);
    EXPECT_EQ(px[23 * 32 + 23], 0xFFFF0000u);
    EXPECT_EQ(px[24 * 32 + 24], 0xFFFFFFFFu);

    const D3DVIEWPORT9 outside = {40, 0, 8, 8, 0, 1};
    ASSERT_EQ(d->SetViewport(&outside), D3D_OK);
    EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    EXPECT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quarter, sizeof(ColorVertex)), D3D_OK);
    EXPECT_EQ(dev.ReadPixels(), px);
}

// The device's back buffer, depth buffer and swap chain count their own
// references as every object does: released, they answer 0 and stay the
// device's; held, they keep their device, and a back buffer its swap chain.
TEST(DeviceApi, TheDevicesOwnObjectsCountTheirOwnReferences)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    IDirect3DSurface9 *back = nullptr, *target = nullptr, *depth = nullptr;
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    EXPECT_EQ(back->Release(), 0u);
    ASSERT_EQ(d->GetRenderTarget(0, &target), D3D_OK);
    EXPECT_EQ(target, back);
    EXPECT_EQ(target->AddRef(), 2u);
    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(target->Release(), 0u);  // nothing more to release
    d->AddRef();
    EXPECT_EQ(d->Release(), 1u);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0);
    EXPECT_EQ(dev.Pixel(3, 3), 0xFF102030u);

    // An extra chain released while the program holds its back buffer.
    D3DPRESENT_PARAMETERS pp = dev.params();
    IDirect3DSwapChain9* extra = nullptr;
    ASSERT_EQ(d->CreateAdditionalSwapChain(&pp, &extra), D3D_OK);
    ASSERT_EQ(extra->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    EXPECT_EQ(extra->Release(), 0u);
    ASSERT_EQ(d->SetRenderTarget(0, back), D3D_OK);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF405060, 1.0f, 0);
    EXPECT_EQ(dev.Pixel(3, 3), 0xFF405060u);
    ASSERT_EQ(d->GetRenderTarget(0, &target), D3D_OK);
    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(back->Release(), 0u);  // still bound: kept, no longer counted
    ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &target), D3D_OK);
    d->SetRenderTarget(0, target);  // the extra chain goes
    target->Release();

    // A device whose program lets go of it first lives on in what it holds.
    IDirect3DDevice9* other = nullptr;
    ASSERT_EQ(dev.d3d()->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, dev.hwnd(), 0, &pp, &other), D3D_OK);
    ASSERT_EQ(other->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(other->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(other->GetSwapChain(0, &chain), D3D_OK);
    EXPECT_EQ(other->Release(), 3u);
    IDirect3DDevice9* owner = nullptr;
    ASSERT_EQ(back->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, other);
    EXPECT_EQ(owner->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF708090, 1.0f, 0), D3D_OK);
    EXPECT_EQ(owner->Release(), 3u);
    EXPECT_EQ(chain->Release(), 0u);
    EXPECT_EQ(depth->Release(), 0u);
    D3DSURFACE_DESC desc = {};
    EXPECT_EQ(back->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 16u);
    EXPECT_EQ(back->Release(), 0u);  // and the device goes with it
}

// Reset makes the back buffer and the automatic depth buffer anew from the
// parameters (a windowed size of 0 is the window's) and puts every state
// back to its default. The program must first let go of what lives with the
// back buffer; managed and system-memory resources survive.
TEST(DeviceApi, ResetRemakesTheBackBufferWithDefaultStates)
{
    RenderTestDevice dev(64, 48);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    IDirect3DTexture9* managed = MakeQuadrantTexture(d);
    ASSERT_NE(managed, nullptr);
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(d->GetSwapChain(0, &chain), D3D_OK);  // held across the reset
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, 1, 2, 3);
    const D3DVIEWPORT9 small = {4, 4, 8, 8, 0, 1};
    const RECT box = {1, 1, 2, 2};
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    d->SetScissorRect(&box);
    d->SetViewport(&small);
    d->SetTransform(D3DTS_WORLD, &moved);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    d->SetTexture(0, managed);
    d->SetFVF(kTLFvf);

    D3DPRESENT_PARAMETERS pp = dev.params();
    pp.BackBufferWidth = 800;
    pp.BackBufferHeight = 600;
    EXPECT_EQ(d->Reset(nullptr), D3DERR_INVALIDCALL);
    // Each of these, held, keeps the reset from happening; released, not.
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    IDirect3DSurface9 *target = nullptr, *plain = nullptr, *back = nullptr, *depth = nullptr;
    IDirect3DSwapChain9* extra = nullptr;
    D3DPRESENT_PARAMETERS extraParams = dev.params();
    ASSERT_EQ(d->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr), D3D_OK);
    ASSERT_EQ(d->CreateVertexBuffer(64, 0, 0, D3DPOOL_DEFAULT, &vertices, nullptr), D3D_OK);
    ASSERT_EQ(d->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indices, nullptr), D3D_OK);
    ASSERT_EQ(d->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr), D3D_OK);
    ASSERT_EQ(d->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &plain, nullptr), D3D_OK);
    ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(d->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(d->CreateAdditionalSwapChain(&extraParams, &extra), D3D_OK);
    IUnknown* held[] = {texture, vertices, indices, target, plain, back, depth, extra};
    for (size_t i = 0; i < sizeof(held) / sizeof(held[0]); ++i) {
        EXPECT_EQ(d->Reset(&pp), D3DERR_INVALIDCALL) << "with object " << i << " of " << sizeof(held) / sizeof(held[0]);
        held[i]->Release();
    }
    // A refused reset changes nothing.
    DWORD v = 0;
    d->GetRenderState(D3DRS_LIGHTING, &v);
    EXPECT_EQ(v, (DWORD)FALSE);

    IDirect3DSurface9* sys = nullptr;
    ASSERT_EQ(d->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &sys, nullptr), D3D_OK);
    ASSERT_EQ(d->Reset(&pp), D3D_OK);
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(d->GetRenderTarget(0, &back), D3D_OK);
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 800u);
    EXPECT_EQ(desc.Height, 600u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    back->Release();
    ASSERT_EQ(d->GetDepthStencilSurface(&depth), D3D_OK);
    depth->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 800u);
    EXPECT_EQ(desc.Height, 600u);
    EXPECT_EQ(desc.Format, D3DFMT_D24S8);
    depth->Release();
    D3DPRESENT_PARAMETERS chainParams = {};
    chain->GetPresentParameters(&chainParams);
    EXPECT_EQ(chainParams.BackBufferWidth, 800u);

    // Every state is the default again, the viewport and scissor the whole back buffer.
    d->GetRenderState(D3DRS_LIGHTING, &v);
    EXPECT_EQ(v, (DWORD)TRUE);
    d->GetRenderState(D3DRS_SCISSORTESTENABLE, &v);
    EXPECT_EQ(v, (DWORD)FALSE);
    d->GetRenderState(D3DRS_ZENABLE, &v);
    EXPECT_EQ(v, (DWORD)D3DZB_TRUE);
    d->GetSamplerState(0, D3DSAMP_MAGFILTER, &v);
    EXPECT_EQ(v, (DWORD)D3DTEXF_POINT);
    d->GetTextureStageState(1, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, (DWORD)D3DTOP_DISABLE);
    d->GetFVF(&v);
    EXPECT_EQ(v, 0u);
    D3DXMATRIX world;
    d->GetTransform(D3DTS_WORLD, &world);
    EXPECT_EQ(world, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    IDirect3DBaseTexture9* bound = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    d->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
    D3DVIEWPORT9 vp = {};
    d->GetViewport(&vp);
    EXPECT_EQ(vp.X, 0u);
    EXPECT_EQ(vp.Width, 800u);
    EXPECT_EQ(vp.Height, 600u);
    RECT scissor = {};
    d->GetScissorRect(&scissor);
    EXPECT_EQ(scissor.right, 800);
    EXPECT_EQ(scissor.bottom, 600);

    // One pixel drawn far out in the new back buffer, depth-tested there.
    Unlit2D(d);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    DrawRect(d, 700, 500, 701, 501, 0xFFFF0000);
    TLVertex behind[4] = {{700, 500, 0.9f, 1, 0xFF00FF00, 0, 0},
                          {701, 500, 0.9f, 1, 0xFF00FF00, 0, 0},
                          {700, 501, 0.9f, 1, 0xFF00FF00, 0, 0},
                          {701, 501, 0.9f, 1, 0xFF00FF00, 0, 0}};
    ASSERT_EQ(d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, behind, sizeof(TLVertex)), D3D_OK);
    UINT w = 0, h = 0;
    std::vector<uint32_t> px = dev.ReadPixels(nullptr, &w, &h);
    ASSERT_EQ(w, 800u);
    ASSERT_EQ(h, 600u);
    EXPECT_EQ(px[500 * 800 + 700], 0xFFFF0000u);
    EXPECT_EQ(px[500 * 800 + 699], 0xFF000000u);
    EXPECT_EQ(px[501 * 800 + 701], 0xFF000000u);

    // The managed texture kept its texels; the system-memory surface is still there.
    d->SetTexture(0, managed);
    DrawRect(d, 0, 0, 64, 64, 0xFFFFFFFF);
    EXPECT_EQ(dev.Pixel(8, 8), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(40, 40), 0xFFFFFFFFu);
    d->SetTexture(0, nullptr);
    D3DLOCKED_RECT lr;
    EXPECT_EQ(sys->LockRect(&lr, nullptr, 0), D3D_OK);
    sys->UnlockRect();

    // Full screen, which needs a size, and back.
    D3DPRESENT_PARAMETERS full = pp;
    full.Windowed = FALSE;
    full.BackBufferWidth = 0;
    EXPECT_EQ(d->Reset(&full), D3DERR_INVALIDCALL);
    full.BackBufferWidth = 320;
    full.BackBufferHeight = 240;
    ASSERT_EQ(d->Reset(&full), D3D_OK);
    d->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 320u);
    EXPECT_EQ(vp.Height, 240u);
    EXPECT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    // Back to the window's own size and the display's format, and presented.
    pp.BackBufferWidth = pp.BackBufferHeight = 0;
    pp.BackBufferFormat = D3DFMT_UNKNOWN;
    ASSERT_EQ(d->Reset(&pp), D3D_OK);
    EXPECT_EQ(pp.BackBufferWidth, 64u);
    EXPECT_EQ(pp.BackBufferHeight, 48u);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(FrontPixel(dev, 60, 40), 0xFF00FF00u);
    sys->Release();
    chain->Release();
    managed->Release();
}
