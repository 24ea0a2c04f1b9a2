// Textures and render targets on a real headless device: sizes from the
// file, colour keys, failures with their message boxes, shared copies and
// render-to-texture read back on screen.
#include <EngineFixture.h>

#include <sys/stat.h>

#include <cmath>

#include "vRenderTarget.h"
#include "vTexture.h"
#include "vTwoDee.h"

namespace {

using rendertest::EngineFixture;
using rendertest::FindColor;

// References held on a COM object, measured without changing them.
ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

class TextureTest : public EngineFixture {};

TEST_F(TextureTest, SizeIsTheFilesEvenWhenNotAPowerOfTwo)
{
    const std::string file = temp.File("odd.tga");
    ASSERT_TRUE(rendertest::WriteSolidTga(file, 100, 60, 0xFF336699));
    vTexture texture;
    EXPECT_EQ(texture.LoadTextureFromFile(file.c_str(), 0, 1), S_OK);
    EXPECT_TRUE(texture.IsLoaded());
    EXPECT_NE(texture.GetTexture(), nullptr);
    EXPECT_EQ(texture.GetWidth(), 100);
    EXPECT_EQ(texture.GetHeight(), 60);
    EXPECT_TRUE(win32test::MessageBoxLog().empty());
}

TEST_F(TextureTest, MissingFileShowsTheBoxAndBindsAsNoTexture)
{
    vTexture texture;
    testing::internal::CaptureStderr();
    EXPECT_EQ(texture.LoadTextureFromFile(temp.File("absent.tga").c_str(), 0, 1), E_FAIL);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(MessageBoxShown("Error!: Error loading texture!"));
    // Beside the box, one line naming the file and why.
    EXPECT_NE(err.find(temp.File("absent.tga") + ": cannot open the file: No such file or directory\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(texture.GetTexture(), nullptr);
    EXPECT_FALSE(texture.IsLoaded());

    // A corrupt file is refused the same way.
    const std::string corrupt = temp.File("corrupt.tga");
    ASSERT_TRUE(rendertest::WriteText(corrupt, "not an image at all"));
    win32test::ClearMessageBoxLog();
    testing::internal::CaptureStderr();
    EXPECT_EQ(texture.LoadTextureFromFile(corrupt.c_str(), 0, 1), E_FAIL);
    err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(MessageBoxShown("Error!: Error loading texture!"));
    EXPECT_NE(err.find(corrupt + ": not a readable image file"), std::string::npos) << err;

    // A folder where the image should be is named as one, not as a result code.
    const std::string folder = temp.File("folder.tga");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    win32test::ClearMessageBoxLog();
    testing::internal::CaptureStderr();
    EXPECT_EQ(texture.LoadTextureFromFile(folder.c_str(), 0, 1), E_FAIL);
    err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(MessageBoxShown("Error!: Error loading texture!"));
    EXPECT_NE(err.find("texture: " + folder + ": cannot open the file: Is a directory\n"), std::string::npos) << err;
    EXPECT_EQ(err.find("0x"), std::string::npos) << err;

    IDirect3DBaseTexture9* bound = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    texture.UseTexture(0);
    objDevice->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
}

TEST_F(TextureTest, ColourKeyMakesMatchingTexelsTransparentBlack)
{
    // Left half opaque black (the key), right half red.
    const std::string file = temp.File("keyed.tga");
    ASSERT_TRUE(rendertest::WriteTga(file, 8, 8, [](int x, int) { return x < 4 ? 0xFF000000u : 0xFFFF0000u; }));
    vTexture keyed;
    ASSERT_EQ(keyed.LoadTextureFromFile(file.c_str(), 0xFF000000, 1), S_OK);

    // Drawn with alpha blending over white: the keyed half shows the background.
    BeginFrame(D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f));
    vTwoDee twoDee;
    twoDee.Begin2D();
    objDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    objDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    twoDee.DrawTextureWithScale(&keyed, 0, 0, 80, 80, 1.0f);
    objDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    twoDee.End2D();
    rendertest::Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.At(20, 40), 0xFFFFFFu);
    EXPECT_EQ(image.At(60, 40), 0xFF0000u);
}

TEST_F(TextureTest, KillTwiceReleasesOnceAndReloadDropsTheOldTexture)
{
    const std::string file = temp.File("a.tga");
    ASSERT_TRUE(rendertest::WriteSolidTga(file, 16, 16, 0xFF00FF00));
    vTexture texture;
    ASSERT_EQ(texture.LoadTextureFromFile(file.c_str(), 0, 1), S_OK);
    IDirect3DBaseTexture9* first = texture.GetTexture();
    first->AddRef();  // keep it alive to watch its count
    EXPECT_EQ(RefCount(first), 2u);

    ASSERT_EQ(texture.LoadTextureFromFile(file.c_str(), 0, 1), S_OK);
    EXPECT_NE(texture.GetTexture(), first);
    EXPECT_EQ(RefCount(first), 1u);  // the reload released it
    first->Release();

    texture.Kill();
    EXPECT_EQ(texture.GetTexture(), nullptr);
    texture.Kill();  // nothing left to release
}

TEST_F(TextureTest, CopiesShareTheTextureAndOutliveTheOriginal)
{
    const std::string file = temp.File("shared.tga");
    ASSERT_TRUE(rendertest::WriteSolidTga(file, 16, 16, 0xFF0000FF));
    vTexture copy;
    {
        vTexture original;
        ASSERT_EQ(original.LoadTextureFromFile(file.c_str(), 0, 1), S_OK);
        copy = original;
        vTexture second(original);
        EXPECT_EQ(second.GetTexture(), original.GetTexture());
        EXPECT_EQ(RefCount(original.GetTexture()), 3u);
        copy = copy;  // self-assignment keeps the reference
        EXPECT_EQ(RefCount(original.GetTexture()), 3u);
    }
    ASSERT_NE(copy.GetTexture(), nullptr);
    EXPECT_EQ(RefCount(copy.GetTexture()), 1u);
    EXPECT_EQ(copy.GetWidth(), 16);

    BeginFrame();
    vTwoDee twoDee;
    twoDee.Begin2D();
    twoDee.DrawTexture(&copy, 10, 10);
    twoDee.End2D();
    rendertest::Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.At(15, 15), 0x0000FFu);
}

class RenderTargetTest : public EngineFixture {};

TEST_F(RenderTargetTest, ClearedDrawnIntoAndShownOnScreenUpright)
{
    // A texture red on its top half, green on its bottom half.
    const std::string file = temp.File("halves.tga");
    ASSERT_TRUE(rendertest::WriteTga(file, 16, 16, [](int, int y) { return y < 8 ? 0xFFFF0000u : 0xFF00FF00u; }));
    vTexture halves;
    ASSERT_EQ(halves.LoadTextureFromFile(file.c_str(), 0, 1), S_OK);

    vRenderTarget target;
    ASSERT_EQ(target.InitRenderTarget(256, 256), S_OK);
    ASSERT_TRUE(target.IsReady());

    // The game's order: clear, begin, draw, end, then the engine's frame.
    target.ClearRenderTarget(0xFF0000FF);
    target.Begin();
    vTwoDee twoDee;
    D3DXMATRIX savedProjection;
    objDevice->GetTransform(D3DTS_PROJECTION, &savedProjection);
    // Inside the target the screen is still the back buffer's size for 2D
    // drawing, so draw an image into the target's top-left 128 x 128.
    twoDee.Begin2D();
    // 2D maps the back buffer's size; scale so the image fills the target's upper-left quarter.
    const float sx = 256.0f / (float)m_engineVars.width;
    const float sy = 256.0f / (float)m_engineVars.height;
    twoDee.DrawTextureWithScale(&halves, 0, 0, (int)(128 / sx), (int)(128 / sy), 1.0f);
    twoDee.End2D();
    target.End();

    BeginFrame();
    twoDee.Begin2D();
    twoDee.DrawD3DTexWithScale(target.GetTexture(), 0, 0, 300, 300);
    twoDee.End2D();
    rendertest::Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    // The target's clear colour where nothing was drawn.
    EXPECT_EQ(image.At(250, 250), 0x0000FFu);
    // The image in the upper-left quarter, red on top: upright.
    EXPECT_EQ(image.At(70, 30), 0xFF0000u);
    EXPECT_EQ(image.At(70, 120), 0x00FF00u);
    rendertest::Extent red = FindColor(image, 0xFF0000);
    rendertest::Extent green = FindColor(image, 0x00FF00);
    ASSERT_GT(red.count, 0);
    ASSERT_GT(green.count, 0);
    EXPECT_LT(red.bottom, green.top + 2);
    EXPECT_NEAR(green.bottom, 149, 3);
    // Nothing beyond the drawn 300 x 300.
    EXPECT_EQ(image.At(310, 100), 0x000000u);
}

TEST_F(RenderTargetTest, BeginUsesTheTargetsProjectionAndEndRestores)
{
    vRenderTarget square, wide;
    ASSERT_EQ(square.InitRenderTarget(256, 256), S_OK);
    ASSERT_EQ(wide.InitRenderTarget(640, 480), S_OK);

    D3DXMATRIX before, during, after;
    objDevice->GetTransform(D3DTS_PROJECTION, &before);
    wide.ClearRenderTarget(0);
    wide.Begin();
    objDevice->GetTransform(D3DTS_PROJECTION, &during);
    wide.End();
    objDevice->GetTransform(D3DTS_PROJECTION, &after);

    // Fov 45.0 taken as radians: vertical scale cot(22.5).
    EXPECT_NEAR(during._22, 1.0f / std::tan(22.5f), 1e-3);
    EXPECT_NEAR(during._22 / during._11, 640.0f / 480.0f, 1e-5);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof(D3DXMATRIX)), 0);

    square.ClearRenderTarget(0);
    square.Begin();
    objDevice->GetTransform(D3DTS_PROJECTION, &during);
    square.End();
    EXPECT_NEAR(during._22 / during._11, 1.0f, 1e-6);

    // The target stays bound after End in this order (the engine's Clear rebinds the screen).
    IDirect3DSurface9* bound = nullptr;
    IDirect3DSurface9* level0 = nullptr;
    objDevice->GetRenderTarget(0, &bound);
    square.GetTexture()->GetSurfaceLevel(0, &level0);
    EXPECT_EQ(bound, level0);
    bound->Release();
    level0->Release();
}

TEST_F(RenderTargetTest, NotReadyOrKilledTargetsDoNothing)
{
    vRenderTarget never;
    IDirect3DSurface9* screen = nullptr;
    objDevice->GetRenderTarget(0, &screen);

    never.ClearRenderTarget(0xFFFFFFFF);
    never.Begin();
    never.End();
    never.SetDeviceTexture(0);
    IDirect3DSurface9* bound = nullptr;
    objDevice->GetRenderTarget(0, &bound);
    EXPECT_EQ(bound, screen);
    bound->Release();
    IDirect3DBaseTexture9* texture = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    objDevice->GetTexture(0, &texture);
    EXPECT_EQ(texture, nullptr);

    vRenderTarget target;
    ASSERT_EQ(target.InitRenderTarget(64, 64), S_OK);
    target.SetDeviceTexture(1);
    objDevice->GetTexture(1, &texture);
    EXPECT_EQ(texture, target.GetTexture());
    if (texture) texture->Release();
    objDevice->SetTexture(1, NULL);

    target.Kill();
    EXPECT_TRUE(target.IsReady());  // Kill keeps the flag
    EXPECT_EQ(target.GetTexture(), nullptr);
    target.SetDeviceTexture(1);
    objDevice->GetTexture(1, &texture);
    EXPECT_EQ(texture, nullptr);
    target.Begin();  // nothing to bind
    objDevice->GetRenderTarget(0, &bound);
    EXPECT_EQ(bound, screen);
    bound->Release();
    target.Kill();
    screen->Release();
}

TEST_F(RenderTargetTest, RepeatedFramesAndCopiesHoldNoExtraReferences)
{
    vRenderTarget target;
    ASSERT_EQ(target.InitRenderTarget(128, 128), S_OK);
    IDirect3DTexture9* texture = target.GetTexture();
    target.ClearRenderTarget(0xFF00FF00);
    target.Begin();
    target.End();
    BeginFrame();
    const ULONG settled = RefCount(texture);
    for (int frame = 0; frame < 5; ++frame) {
        target.ClearRenderTarget(0xFF00FF00);
        target.Begin();
        target.End();
        BeginFrame();
    }
    EXPECT_EQ(RefCount(texture), settled);  // each frame gives back what it takes
    {
        vRenderTarget copy(target);
        vRenderTarget assigned;
        assigned = target;
        EXPECT_EQ(copy.GetTexture(), texture);
        EXPECT_GT(RefCount(texture), settled);
    }
    EXPECT_EQ(RefCount(texture), settled);

    // Reinitialising releases everything of the old target.
    texture->AddRef();
    ASSERT_EQ(target.InitRenderTarget(64, 64), S_OK);
    EXPECT_EQ(RefCount(texture), 1u);
    texture->Release();
}

}  // namespace

namespace {

// Without an opened engine there is no Direct3D object to ask for formats.
TEST(TextureWithoutDevice, NoFormatMeansTheFormatBoxesAndNothingHeld)
{
    ASSERT_EQ(objD3D, nullptr);
    win32test::ClearMessageBoxLog();
    vTexture texture;
    EXPECT_EQ(texture.LoadTextureFromFile("kMedia\\logo.tga", 0, 1), E_FAIL);
    vRenderTarget target;
    EXPECT_EQ(target.InitRenderTarget(256, 256), E_FAIL);
    const auto& log = win32test::MessageBoxLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "Error!: Error finding a suitable format for a texture!");
    EXPECT_EQ(log[1], "Error!: Error finding a suitable format for a rendertarget texture!");
    EXPECT_EQ(texture.GetTexture(), nullptr);
    EXPECT_FALSE(target.IsReady());
    target.ClearRenderTarget(0);  // not ready: nothing, no device touched
    target.Begin();
    target.End();
}

class RenderTargetFailureTest : public rendertest::EngineFixture {};

TEST_F(RenderTargetFailureTest, ACreationFailureShowsItsBoxAndLeavesTheTargetNotReady)
{
    vRenderTarget target;
    ASSERT_EQ(target.InitRenderTarget(64, 64), S_OK);
    win32test::ClearMessageBoxLog();
    EXPECT_EQ(target.InitRenderTarget(0, 0), E_FAIL);
    ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
    EXPECT_EQ(win32test::MessageBoxLog()[0], "Error!: Error creating a rendertarget texture.");
    EXPECT_FALSE(target.IsReady());
    EXPECT_EQ(target.GetTexture(), nullptr);
}

}  // namespace
