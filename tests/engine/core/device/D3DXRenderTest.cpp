// D3DX resources on a real headless device: textures drawn from files,
// meshes drawn by subset, text drawn and measured, effects, saved surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <d3d9.h>
#include <d3dx9.h>

#include <DeviceStats.h>
#include <RenderFixture.h>

using rendertest::RenderTestDevice;

#include "D3DXTestFiles.h"
#include "d3dx/ImageCodec.h"

using namespace d3dxtest;

namespace {

struct RhwTexVertex {
    float x, y, z, rhw;
    float u, v;
};

// Draws the texture over the pixel rectangle (x0, y0) .. (x1, y1), one texel per pixel when sizes match.
void DrawTexturedRect(IDirect3DDevice9* dev, IDirect3DBaseTexture9* tex, float x0, float y0, float x1, float y1)
{
    RhwTexVertex v[4] = {{x0 - 0.5f, y0 - 0.5f, 0, 1, 0, 0},
                         {x1 - 0.5f, y0 - 0.5f, 0, 1, 1, 0},
                         {x0 - 0.5f, y1 - 0.5f, 0, 1, 0, 1},
                         {x1 - 0.5f, y1 - 0.5f, 0, 1, 1, 1}};
    dev->SetTexture(0, tex);
    dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    dev->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(RhwTexVertex));
}

// The box around every pixel brighter than half in any channel.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool any() const { return right >= 0; }
};
Ink FindInk(const std::vector<uint32_t>& px, int w, int h, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1)
{
    if (x1 < 0) x1 = w;
    if (y1 < 0) y1 = h;
    Ink ink;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            uint32_t c = px[size_t(y) * w + x];
            if (((c >> 16) & 0xFF) > 128 || ((c >> 8) & 0xFF) > 128 || (c & 0xFF) > 128) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
        }
    return ink;
}

// ---------------------------------------------------------------------------
// Textures

TEST(D3DXTexture, TgaDrawnOnScreenShowsItsOwnPixels)
{
    RenderTestDevice dev(64, 64);
    REQUIRE_RENDER_DEVICE(dev);
    std::string path = ScratchPath("quadrants.tga");
    ASSERT_TRUE(WriteBytes(path, Tga32(8, 8, Quadrants(8, 8))));
    IDirect3DTexture9* tex = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileExA(dev.device(), path.c_str(), 0, 0, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                           D3DX_FILTER_POINT, D3DX_FILTER_POINT, 0, &info, nullptr, &tex),
              D3D_OK);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(info.Width, 8u);
    dev.device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    dev.device()->BeginScene();
    DrawTexturedRect(dev.device(), tex, 0, 0, 32, 32);
    dev.device()->EndScene();
    EXPECT_EQ(dev.Pixel(4, 4), 0xFFFF0000u);
    EXPECT_EQ(dev.Pixel(28, 4), 0xFF00FF00u);
    EXPECT_EQ(dev.Pixel(4, 28), 0xFF0000FFu);
    EXPECT_EQ(dev.Pixel(28, 28), 0xFFFFFFFFu);
    EXPECT_EQ(dev.Pixel(40, 40), 0xFF000000u);
    tex->Release();
}

TEST(D3DXTexture, SizeFormatMipsAndColourKey)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    std::vector<uint32_t> src(300 * 200, 0xFF204060u);
    src[0] = 0xFF000000u;  // the key colour in the top-left corner
    std::string path = ScratchPath("odd300x200.tga");
    ASSERT_TRUE(WriteBytes(path, Tga32(300, 200, src)));

    IDirect3DTexture9* tex = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileExA(dev.device(), path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 0, 0,
                                           D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_POINT, D3DX_FILTER_POINT,
                                           0xFF000000u, &info, nullptr, &tex),
              D3D_OK);
    EXPECT_EQ(info.Width, 300u);
    EXPECT_EQ(info.Height, 200u);
    EXPECT_EQ(tex->GetLevelCount(), 9u);  // 300 -> 150 -> ... -> 1
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto* row = static_cast<const uint32_t*>(lr.pBits);
    EXPECT_EQ(row[0], 0u);  // keyed: transparent black
    EXPECT_EQ(row[1], 0xFF204060u);
    tex->UnlockRect(0);
    tex->Release();

    // A4R4G4B4 in system memory, one level.
    ASSERT_EQ(D3DXCreateTextureFromFileExA(dev.device(), path.c_str(), 0, 0, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_SYSTEMMEM,
                                           D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, nullptr, nullptr, &tex),
              D3D_OK);
    EXPECT_EQ(tex->GetLevelCount(), 1u);
    D3DSURFACE_DESC desc{};
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
    EXPECT_EQ(desc.Width, 300u);
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<const uint16_t*>(lr.pBits)[1], 0xF246);
    tex->UnlockRect(0);
    tex->Release();

    IDirect3DTexture9* empty = nullptr;
    ASSERT_EQ(D3DXCreateTexture(dev.device(), 64, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &empty), D3D_OK);
    empty->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(desc.Height, 32u);
    empty->Release();
}

TEST(D3DXTexture, BadImageFilesFailAndLeaveNoTexture)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    std::vector<uint8_t> good = Tga32(4, 4, Quadrants(4, 4));
    std::string truncated = ScratchPath("truncated.tga"), empty = ScratchPath("empty.bmp"),
                corrupt = ScratchPath("corrupt.png");
    WriteBytes(truncated, std::vector<uint8_t>(good.begin(), good.begin() + 30));
    WriteBytes(empty, {});
    WriteBytes(corrupt, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 1, 2, 3, 4, 5, 6, 7, 8, 9});
    for (const std::string& name : {std::string("d3dx_scratch/missing.tga"), truncated, empty, corrupt}) {
        IDirect3DTexture9* tex = reinterpret_cast<IDirect3DTexture9*>(1);
        EXPECT_LT(D3DXCreateTextureFromFileExA(dev.device(), name.c_str(), 0, 0, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                               D3DX_FILTER_POINT, D3DX_FILTER_POINT, 0, nullptr, nullptr, &tex),
                  0)
            << name;
        EXPECT_EQ(tex, nullptr);
    }
}

TEST(D3DXTexture, SavedJpegDecodesToNearlyTheSamePixels)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(dev.device()->CreateOffscreenPlainSurface(64, 48, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &surface, nullptr),
              D3D_OK);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(surface->LockRect(&lr, nullptr, 0), D3D_OK);
    std::vector<uint32_t> q = Quadrants(32, 32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            bool inside = x >= 8 && x < 40 && y >= 8 && y < 40;
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] =
                inside ? q[size_t(y - 8) * 32 + (x - 8)] : 0xFF777777u;
        }
    surface->UnlockRect();

    RECT part = {8, 8, 40, 40};
    std::string jpg = ScratchPath("shot.jpg"), bmp = ScratchPath("shot.bmp");
    ASSERT_EQ(D3DXSaveSurfaceToFileA(jpg.c_str(), D3DXIFF_JPG, surface, nullptr, &part), D3D_OK);
    ASSERT_EQ(D3DXSaveSurfaceToFileA(bmp.c_str(), D3DXIFF_BMP, surface, nullptr, &part), D3D_OK);
    RECT outside = {70, 50, 90, 60};
    std::string offSurface = ScratchPath("off.jpg"), partly = ScratchPath("partly.png");
    std::remove(offSurface.c_str());
    EXPECT_LT(D3DXSaveSurfaceToFileA(offSurface.c_str(), D3DXIFF_JPG, surface, nullptr, &outside), 0);
    EXPECT_TRUE(ReadBytes(offSurface).empty());
    // A rectangle reaching past the surface keeps the part on it.
    RECT overhang = {-10, 40, 20, 60};
    ASSERT_EQ(D3DXSaveSurfaceToFileA(partly.c_str(), D3DXIFF_PNG, surface, nullptr, &overhang), D3D_OK);
    surface->Release();
    std::vector<uint8_t> png = ReadBytes(partly);
    d3dx::detail::ArgbImage clipped;
    ASSERT_TRUE(d3dx::detail::DecodeImage(png.data(), png.size(), clipped, nullptr));
    EXPECT_EQ(clipped.width, 20);
    EXPECT_EQ(clipped.height, 8);
    EXPECT_EQ(clipped.pixels[0], 0xFF777777u);

    std::vector<uint8_t> bytes = ReadBytes(jpg);
    d3dx::detail::ArgbImage image;
    ASSERT_TRUE(d3dx::detail::DecodeImage(bytes.data(), bytes.size(), image, nullptr));
    EXPECT_EQ(image.kind, d3dx::detail::kImageJpg);
    ASSERT_EQ(image.width, 32);
    ASSERT_EQ(image.height, 32);
    for (int y : {4, 27})
        for (int x : {4, 27}) {
            uint32_t want = q[size_t(y) * 32 + x], got = image.pixels[size_t(y) * 32 + x];
            for (int s = 0; s < 24; s += 8)
                EXPECT_NEAR(int((want >> s) & 0xFF), int((got >> s) & 0xFF), 16) << x << "," << y;
        }
    bytes = ReadBytes(bmp);
    ASSERT_TRUE(d3dx::detail::DecodeImage(bytes.data(), bytes.size(), image, nullptr));
    EXPECT_EQ(image.pixels, q);  // BMP is exact
}

// ---------------------------------------------------------------------------
// Meshes

struct LoadedCube {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    ~LoadedCube()
    {
        if (mesh) mesh->Release();
        if (materials) materials->Release();
    }
};

HRESULT LoadCube(IDirect3DDevice9* dev, LoadedCube& out)
{
    std::string path = ScratchPath("cube.x");
    WriteText(path, kTwoMaterialCube);
    return D3DXLoadMeshFromXA("d3dx_scratch\\cube.x", D3DXMESH_SYSTEMMEM, dev, nullptr, &out.materials, nullptr,
                              &out.count, &out.mesh);
}

TEST(D3DXMesh, CubeWithTwoMaterialsReadsBack)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    LoadedCube cube;
    ASSERT_EQ(LoadCube(dev.device(), cube), D3D_OK);
    EXPECT_EQ(cube.mesh->GetNumFaces(), 12u);
    EXPECT_EQ(cube.mesh->GetNumVertices(), 8u);
    EXPECT_EQ(cube.mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_TEX1));
    ASSERT_EQ(cube.count, 2u);
    auto* mats = static_cast<D3DXMATERIAL*>(cube.materials->GetBufferPointer());
    EXPECT_FLOAT_EQ(mats[0].MatD3D.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(mats[0].MatD3D.Diffuse.b, 0.0f);
    EXPECT_FLOAT_EQ(mats[0].MatD3D.Power, 8.0f);
    ASSERT_NE(mats[0].pTextureFilename, nullptr);
    EXPECT_STREQ(mats[0].pTextureFilename, "red.tga");
    EXPECT_FLOAT_EQ(mats[1].MatD3D.Diffuse.b, 1.0f);
    EXPECT_EQ(mats[1].pTextureFilename, nullptr);

    // Indices are 16-bit and point at real vertices; the bounds are the cube's.
    void* p = nullptr;
    ASSERT_EQ(cube.mesh->LockIndexBuffer(D3DLOCK_READONLY, &p), D3D_OK);
    for (int i = 0; i < 36; ++i) EXPECT_LT(static_cast<uint16_t*>(p)[i], 8u);
    cube.mesh->UnlockIndexBuffer();
    ASSERT_EQ(cube.mesh->LockVertexBuffer(D3DLOCK_READONLY, &p), D3D_OK);
    D3DXVECTOR3 lo, hi;
    D3DXComputeBoundingBox(static_cast<D3DXVECTOR3*>(p), 8, D3DXGetFVFVertexSize(cube.mesh->GetFVF()), &lo, &hi);
    cube.mesh->UnlockVertexBuffer();
    EXPECT_FLOAT_EQ(lo.z, 4.0f);
    EXPECT_FLOAT_EQ(hi.z, 6.0f);
    EXPECT_FLOAT_EQ(hi.x, 1.0f);

    DWORD ranges = 0;
    cube.mesh->GetAttributeTable(nullptr, &ranges);
    EXPECT_EQ(ranges, 2u);

    // A position-only clone for ray tests: same faces, 12-byte vertices.
    ID3DXMesh* clone = nullptr;
    ASSERT_EQ(cube.mesh->CloneMeshFVF(D3DXMESH_SYSTEMMEM, D3DFVF_XYZ, dev.device(), &clone), D3D_OK);
    EXPECT_EQ(clone->GetNumBytesPerVertex(), 12u);
    EXPECT_EQ(clone->GetNumFaces(), 12u);
    ASSERT_EQ(clone->LockVertexBuffer(D3DLOCK_DISCARD, &p), D3D_OK);  // discard reads the data as it is
    D3DXComputeBoundingBox(static_cast<D3DXVECTOR3*>(p), 8, 12, &lo, &hi);
    clone->UnlockVertexBuffer();
    EXPECT_FLOAT_EQ(lo.z, 4.0f);
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(clone->GetVertexBuffer(&vb), D3D_OK);
    vb->Release();
    clone->Release();
}

TEST(D3DXMesh, DrawSubsetDrawsExactlyTheFacesOfItsMaterial)
{
    RenderTestDevice dev(64, 64);
    REQUIRE_RENDER_DEVICE(dev);
    LoadedCube cube;
    ASSERT_EQ(LoadCube(dev.device(), cube), D3D_OK);
    IDirect3DDevice9* d = dev.device();
    D3DXMATRIX identity, proj;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixPerspectiveFovLH(&proj, 1.0f, 1.0f, 0.5f, 100.0f);
    d->SetTransform(D3DTS_WORLD, &identity);
    d->SetTransform(D3DTS_VIEW, &identity);
    d->SetTransform(D3DTS_PROJECTION, &proj);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetTexture(0, nullptr);

    auto drawn = [&](DWORD subset, DWORD cull, DWORD* primitives) {
        d->SetRenderState(D3DRS_CULLMODE, cull);
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        d->BeginScene();
        D3D9FrameStats before{}, after{};
        D3D9_GetFrameStats(d, &before, nullptr);
        EXPECT_EQ(cube.mesh->DrawSubset(subset), D3D_OK);
        D3D9_GetFrameStats(d, &after, nullptr);
        d->EndScene();
        *primitives = after.primitives - before.primitives;
        return dev.Pixel(32, 32);
    };
    DWORD prims = 0;
    // Subset 0 holds the front face (toward the camera), the left and the top.
    EXPECT_EQ(drawn(0, D3DCULL_CCW, &prims), 0xFFFFFFFFu);
    EXPECT_EQ(prims, 6u);
    // Subset 1 (back, right, bottom) faces away: nothing shows with culling...
    EXPECT_EQ(drawn(1, D3DCULL_CCW, &prims), 0xFF000000u);
    EXPECT_EQ(prims, 6u);
    // ...and its back face fills the centre without it.
    EXPECT_EQ(drawn(1, D3DCULL_NONE, &prims), 0xFFFFFFFFu);
    // A subset the mesh does not have draws nothing.
    EXPECT_EQ(drawn(7, D3DCULL_NONE, &prims), 0xFF000000u);
    EXPECT_EQ(prims, 0u);
}

TEST(D3DXMesh, BadXFilesFailAndLeaveNoMesh)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    std::string cube = kTwoMaterialCube;
    std::string truncated = ScratchPath("truncated.x"), empty = ScratchPath("empty.x"),
                corrupt = ScratchPath("corrupt.x");
    WriteText(truncated, cube.substr(0, cube.size() / 3));
    WriteText(empty, "");
    WriteText(corrupt, "xof 0303txt 0032\nMesh { 3; zz;0.0;0.0;, }\n");
    for (const std::string& name : {std::string("d3dx_scratch/missing.x"), truncated, empty, corrupt}) {
        ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(1);
        ID3DXBuffer* mats = reinterpret_cast<ID3DXBuffer*>(1);
        DWORD n = 99;
        EXPECT_LT(
            D3DXLoadMeshFromXA(name.c_str(), D3DXMESH_SYSTEMMEM, dev.device(), nullptr, &mats, nullptr, &n, &mesh), 0)
            << name;
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(mats, nullptr);
        EXPECT_EQ(n, 99u);
    }
}

// ---------------------------------------------------------------------------
// Fonts

struct FontScene {
    explicit FontScene(int w, int h) : dev(w, h) {}
    std::vector<uint32_t> Draw(ID3DXFont* font, const char* text, RECT r, DWORD format, D3DCOLOR colour,
                               INT* height = nullptr)
    {
        dev.device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        dev.device()->BeginScene();
        INT got = font->DrawTextA(nullptr, text, -1, &r, format, colour);
        if (height) *height = got;
        dev.device()->EndScene();
        return dev.ReadPixels();
    }
    RenderTestDevice dev;
};

TEST(D3DXFont, InkStartsAtThePointAndTheNextLineOneLineLower)
{
    FontScene s(200, 120);
    REQUIRE_RENDER_DEVICE(s.dev);
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(s.dev.device(), 24, 0, 400, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial", &font),
              D3D_OK);
    TEXTMETRICA tm{};
    ASSERT_TRUE(font->GetTextMetricsA(&tm));
    EXPECT_EQ(tm.tmHeight, 24);

    INT height = 0;
    std::vector<uint32_t> px = s.Draw(font, "H\nH", RECT{20, 10, 200, 120}, DT_NOCLIP, 0xFFFFFFFF, &height);
    EXPECT_EQ(height, 48);
    Ink first = FindInk(px, 200, 120, 0, 0, 200, 10 + 24);
    Ink second = FindInk(px, 200, 120, 0, 10 + 24, 200, 120);
    ASSERT_TRUE(first.any() && second.any());
    EXPECT_GE(first.left, 20);
    EXPECT_LE(first.left, 24);  // the H's left bearing is a pixel or two
    EXPECT_GE(first.top, 10);
    EXPECT_LE(first.top, 10 + 8);  // cap height sits just under the cell top
    EXPECT_EQ(second.left, first.left);
    EXPECT_EQ(second.top - first.top, tm.tmHeight);
    EXPECT_EQ(FindInk(px, 200, 120, 0, 0, 20, 120).any(), false);
    font->Release();
}

TEST(D3DXFont, RightVCentreSingleLineEndsAtTheRightEdge)
{
    FontScene s(200, 80);
    REQUIRE_RENDER_DEVICE(s.dev);
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(s.dev.device(), 20, 0, 900, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              ANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial", &font),
              D3D_OK);
    std::vector<uint32_t> px =
        s.Draw(font, "OK", RECT{10, 10, 150, 70}, DT_RIGHT | DT_VCENTER | DT_SINGLELINE, 0xFFFFFFFF);
    Ink ink = FindInk(px, 200, 80);
    ASSERT_TRUE(ink.any());
    EXPECT_LE(ink.right, 149);
    EXPECT_GE(ink.right, 146);
    int middle = (ink.top + ink.bottom) / 2;
    EXPECT_NEAR(middle, 40, 4);
    font->Release();
}

TEST(D3DXFont, CharWidthsAddUpToTheDrawnWidth)
{
    FontScene s(300, 60);
    REQUIRE_RENDER_DEVICE(s.dev);
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(s.dev.device(), 30, 0, 900, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              ANTIALIASED_QUALITY, DEFAULT_PITCH, "Comic Sans MS", &font),
              D3D_OK);
    const char* text = "Minefield";
    HDC dc = font->GetDC();
    ASSERT_NE(dc, nullptr);
    int sum = 0;
    for (const char* c = text; *c; ++c) {
        INT w = 0;
        ASSERT_TRUE(GetCharWidth32A(dc, UINT(*c), UINT(*c), &w));
        EXPECT_GT(w, 0);
        sum += w;
    }
    RECT measure = {0, 0, 0, 0};
    font->DrawTextA(nullptr, text, -1, &measure, DT_CALCRECT, 0xFFFFFFFF);
    EXPECT_EQ(measure.right, sum);
    EXPECT_EQ(measure.bottom, 30);

    std::vector<uint32_t> px = s.Draw(font, text, RECT{10, 10, 300, 60}, DT_NOCLIP, 0xFFFFFFFF);
    Ink ink = FindInk(px, 300, 60);
    ASSERT_TRUE(ink.any());
    // Ink spans the advances less the bearings at either end.
    EXPECT_NEAR(ink.right + 1 - ink.left, sum, 5);
    EXPECT_NEAR(ink.left, 10, 3);
    font->Release();
}

TEST(D3DXFont, TextIsClippedToTheRectangleUnlessNoClip)
{
    FontScene s(120, 60);
    REQUIRE_RENDER_DEVICE(s.dev);
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(s.dev.device(), 30, 0, 400, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              ANTIALIASED_QUALITY, DEFAULT_PITCH, "Courier New", &font),
              D3D_OK);
    RECT box = {10, 10, 30, 25};
    std::vector<uint32_t> clipped = s.Draw(font, "WWWW", box, 0, 0xFFFFFFFF);
    Ink in = FindInk(clipped, 120, 60);
    ASSERT_TRUE(in.any());
    EXPECT_GE(in.left, 10);
    EXPECT_LE(in.right, 29);
    EXPECT_LE(in.bottom, 24);
    std::vector<uint32_t> free = s.Draw(font, "WWWW", box, DT_NOCLIP, 0xFFFFFFFF);
    EXPECT_GT(FindInk(free, 120, 60).right, 60);
    font->Release();
}

TEST(D3DXFont, GlyphsTakeTheColourAndTheCallersStatesSurvive)
{
    FontScene s(100, 60);
    REQUIRE_RENDER_DEVICE(s.dev);
    IDirect3DDevice9* d = s.dev.device();
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(d, 48, 0, 900, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              DEFAULT_PITCH, "Arial", &font),
              D3D_OK);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(D3DXCreateTexture(d, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    d->SetTexture(0, tex);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    d->SetRenderState(D3DRS_LIGHTING, TRUE);
    d->SetRenderState(D3DRS_FOGENABLE, TRUE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);

    std::vector<uint32_t> px = s.Draw(font, "I", RECT{20, 5, 100, 60}, DT_NOCLIP, 0xFF00FF00);
    Ink ink = FindInk(px, 100, 60);
    ASSERT_TRUE(ink.any());
    // The middle of the stem is fully covered: exactly the asked colour.
    EXPECT_EQ(px[size_t((ink.top + ink.bottom) / 2) * 100 + (ink.left + ink.right) / 2], 0xFF00FF00u);

    DWORD v = 0;
    d->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
    EXPECT_EQ(v, DWORD(FALSE));
    d->GetRenderState(D3DRS_CULLMODE, &v);
    EXPECT_EQ(v, DWORD(D3DCULL_CW));
    d->GetRenderState(D3DRS_LIGHTING, &v);
    EXPECT_EQ(v, DWORD(TRUE));
    d->GetRenderState(D3DRS_FOGENABLE, &v);
    EXPECT_EQ(v, DWORD(TRUE));
    d->GetTextureStageState(0, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, DWORD(D3DTOP_ADD));
    d->GetSamplerState(0, D3DSAMP_MAGFILTER, &v);
    EXPECT_EQ(v, DWORD(D3DTEXF_LINEAR));
    d->GetFVF(&v);
    EXPECT_EQ(v, DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
    IDirect3DBaseTexture9* bound = nullptr;
    d->GetTexture(0, &bound);
    EXPECT_EQ(bound, tex);
    if (bound) bound->Release();
    d->SetTexture(0, nullptr);
    tex->Release();
    font->Release();
}

TEST(D3DXFont, WideTextDrawsLikeNarrowText)
{
    FontScene s(160, 40);
    REQUIRE_RENDER_DEVICE(s.dev);
    ID3DXFont* font = nullptr;
    ASSERT_EQ(D3DXCreateFontA(s.dev.device(), 24, 0, 400, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              ANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial", &font),
              D3D_OK);
    std::vector<uint32_t> narrow = s.Draw(font, "Score", RECT{5, 5, 160, 40}, DT_NOCLIP, 0xFFFFFFFF);
    const WORD wide[] = {'S', 'c', 'o', 'r', 'e', 0};
    s.dev.device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    s.dev.device()->BeginScene();
    RECT r = {5, 5, 160, 40};
    font->DrawTextW(nullptr, wide, -1, &r, DT_NOCLIP, 0xFFFFFFFF);
    s.dev.device()->EndScene();
    EXPECT_EQ(s.dev.ReadPixels(), narrow);
    font->Release();
}

// ---------------------------------------------------------------------------
// Effects

const char* kColourEffect = R"(
shared {
    uniform mat4 WorldViewProj;
    uniform vec4 Colour;
}
technique Flat {
    pass P0 {
        vertex {
            in vec4 POSITION;
            void main() { gl_Position = WorldViewProj * vec4(POSITION.xyz, 1.0); }
        }
        fragment {
            out vec4 colour;
            void main() { colour = Colour; }
        }
    }
}
)";

struct XyzVertex {
    float x, y, z;
};

TEST(D3DXEffect, ColourParameterShowsInThePixels)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    ID3DXEffect* fx = nullptr;
    ID3DXBuffer* errors = nullptr;
    HRESULT hr = D3DXCreateEffect(d, kColourEffect, UINT(std::strlen(kColourEffect)), nullptr, nullptr, 0, nullptr, &fx,
                                  &errors);
    ASSERT_EQ(hr, D3D_OK) << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVECTOR4 colour(1.0f, 0.0f, 0.5f, 1.0f);
    EXPECT_EQ(fx->SetMatrix("WorldViewProj", &identity), D3D_OK);
    EXPECT_EQ(fx->SetVector("Colour", &colour), D3D_OK);
    EXPECT_LT(fx->SetFloat("NoSuchParameter", 1.0f), 0);
    EXPECT_LT(fx->SetTexture("Colour", nullptr), 0);

    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    d->BeginScene();
    d->SetFVF(D3DFVF_XYZ);
    XyzVertex quad[4] = {{-1, -1, 0.5f}, {-1, 1, 0.5f}, {1, -1, 0.5f}, {1, 1, 0.5f}};
    UINT passes = 0;
    ASSERT_EQ(fx->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 1u);
    ASSERT_EQ(fx->BeginPass(0), D3D_OK);
    EXPECT_EQ(fx->CommitChanges(), D3D_OK);
    d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(XyzVertex));
    fx->EndPass();
    fx->End();
    d->EndScene();
    uint32_t c = dev.Pixel(16, 16);
    EXPECT_EQ((c >> 16) & 0xFF, 0xFFu);
    EXPECT_EQ((c >> 8) & 0xFF, 0x00u);
    EXPECT_NEAR(int(c & 0xFF), 128, 1);
    fx->Release();
}

TEST(D3DXEffect, BadEffectsFailWithTheReasonInTheErrorBuffer)
{
    RenderTestDevice dev(16, 16);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    struct Case {
        std::string text;
        const char* expect;
    } cases[] = {
        {"technique T { pass P { vertex { void main() {} } }", "line"},
        {std::string(kColourEffect)
             .replace(std::string(kColourEffect).find("colour = Colour;"), 16, "colour = Colour + undefinedThing;"),
         "fragment stage"},
    };
    for (const Case& c : cases) {
        ID3DXEffect* fx = reinterpret_cast<ID3DXEffect*>(1);
        ID3DXBuffer* errors = nullptr;
        EXPECT_LT(D3DXCreateEffect(d, c.text.data(), UINT(c.text.size()), nullptr, nullptr, 0, nullptr, &fx, &errors),
                  0);
        EXPECT_EQ(fx, nullptr);
        ASSERT_NE(errors, nullptr);
        std::string message = static_cast<const char*>(errors->GetBufferPointer());
        errors->Release();
        EXPECT_NE(message.find(c.expect), std::string::npos) << message;
    }
    ID3DXEffect* fx = nullptr;
    ID3DXBuffer* errors = nullptr;
    EXPECT_LT(D3DXCreateEffectFromFileA(d, "d3dx_scratch\\missing.fx", nullptr, nullptr, 0, nullptr, &fx, &errors), 0);
    EXPECT_EQ(fx, nullptr);
    ASSERT_NE(errors, nullptr);
    EXPECT_NE(std::string(static_cast<const char*>(errors->GetBufferPointer())).find("missing.fx"), std::string::npos);
    errors->Release();
}

TEST(D3DXEffect, TheEnginesWaterAndTerrainEffectsCompileAndDraw)
{
    RenderTestDevice dev(32, 32);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(D3DXCreateTexture(d, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] = 0xFFFFFFFFu;
    tex->UnlockRect(0);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (const char* name : {KOLVAR_MEDIA_DIR "/fx/water.fx", KOLVAR_MEDIA_DIR "/fx/terrain.fx"}) {
        ID3DXEffect* fx = nullptr;
        ID3DXBuffer* errors = nullptr;
        HRESULT hr = D3DXCreateEffectFromFileA(d, name, nullptr, nullptr, 0, nullptr, &fx, &errors);
        ASSERT_EQ(hr, D3D_OK) << name << ": " << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
        // Every parameter the engine sets exists with its kind.
        for (const char* m : {"ViewProj", "Mprojtex", "World", "WorldViewProj"}) {
            if (fx->GetParameterByName(nullptr, m)) {
                EXPECT_EQ(fx->SetMatrix(m, &identity), D3D_OK) << m;
            }
        }
        for (const char* t : {"Water", "Dudv", "alphatex1", "tex01", "tex02", "tex03", "tex04"}) {
            if (fx->GetParameterByName(nullptr, t)) {
                EXPECT_EQ(fx->SetTexture(t, tex), D3D_OK) << t;
            }
        }
        if (fx->GetParameterByName(nullptr, "DudvOffset")) {
            EXPECT_EQ(fx->SetFloat("DudvOffset", 0.25f), D3D_OK);
        }

        struct V {
            float x, y, z, nx, ny, nz, u, v, u1, v1;
        } quad[4] = {{-1, -1, 0.5f, 0, 1, 0, 0, 1, 0, 1},
                     {-1, 1, 0.5f, 0, 1, 0, 0, 0, 0, 0},
                     {1, -1, 0.5f, 0, 1, 0, 1, 1, 1, 1},
                     {1, 1, 0.5f, 0, 1, 0, 1, 0, 1, 0}};
        d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        d->BeginScene();
        d->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2);
        UINT passes = 0;
        ASSERT_EQ(fx->Begin(&passes, 0), D3D_OK);
        ASSERT_GE(passes, 1u);
        fx->BeginPass(0);
        d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(V));
        fx->EndPass();
        fx->End();
        d->EndScene();
        EXPECT_NE(dev.Pixel(16, 16), 0xFF000000u) << name << " drew nothing";
        fx->Release();
    }
    tex->Release();
}

}  // namespace
