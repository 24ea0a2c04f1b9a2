// Render-state and debug services: fog, lighting, depth test, debug lines and
// circles, perspective changes and screenshots on disk.
#include "CoreEngineFixture.h"

#include <cmath>
#include <cstdio>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <DeviceStats.h>

#include "vCamera.h"
#include "vMathUtils.h"

using namespace rendertest;

namespace {

DWORD RenderState(D3DRENDERSTATETYPE state)
{
    DWORD value = 0xDEADBEEF;
    objDevice->GetRenderState(state, &value);
    return value;
}

DWORD FloatBits(float f)
{
    DWORD d;
    std::memcpy(&d, &f, sizeof(d));
    return d;
}

bool FileExists(const std::string& name)
{
    struct stat st;
    return stat(name.c_str(), &st) == 0;
}

// Runs the test body in a fresh, empty working directory.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        char cwd[4096];
        if (getcwd(cwd, sizeof(cwd))) previous_ = cwd;
        char pattern[] = "/tmp/core_screenshots_XXXXXX";
        if (mkdtemp(pattern)) {
            path_ = pattern;
            ok_ = chdir(path_.c_str()) == 0;
        }
    }
    ~ScratchDirectory()
    {
        if (!previous_.empty() && chdir(previous_.c_str()) != 0) {
        }
    }
    bool ok() const { return ok_; }

private:
    std::string previous_, path_;
    bool ok_ = false;
};

class Services : public EngineTest {
protected:
    // Eye above the origin-facing scene: identity view, the engine's projection.
    void BeginFrame()
    {
        camera.SetLookAt(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1));
        ASSERT_EQ(engine->Clear(), S_OK);
    }
    vCamera camera;
};

}  // namespace

TEST_F(Services, FogLightingAndDepthStates)
{
    engine->SetFog(10.0f, 250.0f, 0.5f, D3DXCOLOR(0.5f, 0.25f, 1.0f, 1.0f));
    EXPECT_EQ(RenderState(D3DRS_FOGENABLE), (DWORD)TRUE);
    EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0xFF8040FFu);
    EXPECT_EQ(RenderState(D3DRS_FOGTABLEMODE), (DWORD)D3DFOG_LINEAR);
    EXPECT_EQ(RenderState(D3DRS_FOGSTART), FloatBits(10.0f));
    EXPECT_EQ(RenderState(D3DRS_FOGEND), FloatBits(250.0f));
    EXPECT_EQ(RenderState(D3DRS_FOGDENSITY), FloatBits(0.5f));

    engine->DebugLight();
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), (DWORD)TRUE);
    EXPECT_EQ(RenderState(D3DRS_AMBIENT), 0x00202020u);
    EXPECT_EQ(RenderState(D3DRS_SPECULARENABLE), (DWORD)FALSE);
    D3DLIGHT9 light;
    ASSERT_EQ(objDevice->GetLight(0, &light), S_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Diffuse.r, 1.0f);
    EXPECT_EQ(light.Diffuse.a, 0.0f);
    EXPECT_EQ(light.Specular.a, 1.0f);
    float len = std::sqrt(0.01f + 0.64f + 0.01f);
    EXPECT_NEAR(light.Direction.x, 0.1f / len, 1e-6f);
    EXPECT_NEAR(light.Direction.y, -0.8f / len, 1e-6f);
    EXPECT_EQ(light.Range, 1000.0f);
    EXPECT_EQ(light.Attenuation2, 5.0f);
    BOOL enabled = FALSE;
    objDevice->GetLightEnable(0, &enabled);
    EXPECT_TRUE(enabled);

    // Whatever the flag, lighting and lights 0-3 end up off.
    objDevice->LightEnable(3, TRUE);
    engine->SetFPPLighting(true);
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), (DWORD)FALSE);
    for (DWORD i = 0; i < 4; ++i) {
        enabled = TRUE;
        objDevice->GetLightEnable(i, &enabled);
        EXPECT_FALSE(enabled) << "light " << i;
    }

    engine->SetZEnable(false);
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), (DWORD)FALSE);
    engine->SetZEnable(true);
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), (DWORD)TRUE);
}

TEST_F(Services, DebugLineAndCircleReachTheScreen)
{
    engine->m_showFps = false;
    engine->m_showWindowSize = false;
    engine->SetBackColor(D3DXCOLOR(0, 0, 0, 1));
    BeginFrame();
    // A horizontal red line through the middle, 20 units ahead.
    engine->DebugLine(D3DXVECTOR3(-50, 0, 20), D3DXVECTOR3(50, 0, 20), 0xFFFF0000);
    // A green circle seen from above-front: its nearest and farthest points sit
    // on the vertical centre line, below the middle.
    D3D9FrameStats before, after;
    ASSERT_EQ(D3D9_GetFrameStats(objDevice, &before, NULL), S_OK);
    Draw3DCircle(D3DXVECTOR3(0, -8, 30), 6.0f, 0xFF00FF00);
    ASSERT_EQ(D3D9_GetFrameStats(objDevice, &after, NULL), S_OK);
    EXPECT_EQ(after.drawCalls - before.drawCalls, 20u) << "one line per segment";
    EXPECT_EQ(after.primitives - before.primitives, 20u);
    ASSERT_EQ(engine->Present(), S_OK);
    Image image = ReadPresentedClient(hwnd);
    ASSERT_EQ(image.width, kClientWidth);

    int redRows = 0;
    for (int y = kClientHeight / 2 - 2; y <= kClientHeight / 2 + 2; ++y)
        redRows += image.Argb(kClientWidth / 2, y) == 0xFFFF0000u;
    EXPECT_GE(redRows, 1);
    EXPECT_EQ(image.Argb(10, 10), 0xFF000000u);

    // Project the circle's points with the engine's matrices and find green there.
    int hits = 0, tries = 0;
    for (int k = 0; k < 20; ++k) {
        float a = k * 0.31415924f;
        D3DXVECTOR3 p(6.0f * std::cos(a), -8.0f, 30.0f + 6.0f * std::sin(a)), clip;
        D3DXVec3TransformCoord(&clip, &p, &ev_matrix3DProj);
        int x = (int)std::lround((clip.x + 1.0f) * 0.5f * kClientWidth);
        int y = (int)std::lround((1.0f - clip.y) * 0.5f * kClientHeight);
        if (x < 1 || y < 1 || x >= kClientWidth - 1 || y >= kClientHeight - 1) continue;
        ++tries;
        bool green = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) green |= (image.Argb(x + dx, y + dy) & 0x00FFFFFF) == 0x0000FF00u;
        hits += green;
    }
    EXPECT_GT(tries, 10);
    EXPECT_EQ(hits, tries);
    // Lighting stays off, the world transform stays identity.
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), (DWORD)FALSE);
}

TEST_F(Services, ChangePerspectiveTakesEffectAtTheNextClear)
{
    BeginFrame();
    D3DXMATRIX before;
    objDevice->GetTransform(D3DTS_PROJECTION, &before);
    engine->ChangePerspective(45.0f, 0.1f, 500.0f);
    D3DXMATRIX now;
    objDevice->GetTransform(D3DTS_PROJECTION, &now);
    EXPECT_EQ(now._33, before._33);  // the device is not told yet
    EXPECT_NEAR(ev_matrix3DProj._33, 500.0f / (500.0f - 0.1f), 1e-6f);
    EXPECT_NEAR(ev_matrix3DProj._22, 1.0f / std::tan(22.5f), 1e-4f);
    ASSERT_EQ(engine->Present(), S_OK);

    BeginFrame();
    objDevice->GetTransform(D3DTS_PROJECTION, &now);
    EXPECT_EQ(now._33, ev_matrix3DProj._33);
    EXPECT_EQ(now._43, ev_matrix3DProj._43);
    ASSERT_EQ(engine->Present(), S_OK);
}

TEST_F(Services, ScreenshotsAreNumberedAndShowTheWindow)
{
    ScratchDirectory scratch;
    ASSERT_TRUE(scratch.ok());
    engine->m_showFps = false;
    engine->m_showWindowSize = false;
    engine->SetBackColor(D3DXCOLOR(0.0f, 0.5f, 1.0f, 1.0f));
    BeginFrame();
    ASSERT_EQ(engine->Present(), S_OK);

    char base[] = "KolvarV1";
    engine->TakeScreenshot(base);
    EXPECT_TRUE(FileExists("KolvarV1_0.jpg"));
    engine->TakeScreenshot(base);
    EXPECT_TRUE(FileExists("KolvarV1_1.jpg"));
    EXPECT_FALSE(FileExists("KolvarV1_2.jpg"));

    // An existing number is skipped.
    FILE* f = std::fopen("KolvarV1_2.jpg", "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    engine->TakeScreenshot(base);
    EXPECT_TRUE(FileExists("KolvarV1_3.jpg"));

    // The image is the window's screen area, frame included; the client area
    // holds the frame's colour.
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load("KolvarV1_0.jpg", &w, &h, &n, 3);
    ASSERT_NE(pixels, nullptr) << "not a readable JPEG";
    RECT window;
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(w, window.right - window.left);
    EXPECT_EQ(h, window.bottom - window.top);
    POINT client = {kClientWidth / 2, kClientHeight / 2};
    ClientToScreen(hwnd, &client);
    int x = client.x - window.left, y = client.y - window.top;
    if (x >= 0 && y >= 0 && x < w && y < h) {
        const unsigned char* p = pixels + ((size_t)y * w + x) * 3;
        EXPECT_NEAR(p[0], 0, 10);
        EXPECT_NEAR(p[1], 128, 10);
        EXPECT_NEAR(p[2], 255, 10);
    } else {
        ADD_FAILURE() << "client centre outside the screenshot";
    }
    stbi_image_free(pixels);
}

TEST_F(Services, OverlongScreenshotNameWritesNothing)
{
    ScratchDirectory scratch;
    ASSERT_TRUE(scratch.ok());
    BeginFrame();
    ASSERT_EQ(engine->Present(), S_OK);
    std::string base(300, 'k');
    engine->TakeScreenshot(&base[0]);  // returns instead of searching forever
    EXPECT_EQ(engine->m_screenshotIndex, 0);
}

TEST_F(Services, TheNamedScreenshotReportsTheFileItWrote)
{
    ScratchDirectory scratch;
    ASSERT_TRUE(scratch.ok());
    BeginFrame();
    ASSERT_EQ(engine->Present(), S_OK);

    // The number goes on from the engine's own index whatever the base name,
    // so the name cannot be guessed from the files of one base name alone.
    EXPECT_EQ(engine->TakeScreenshot(std::string("a")), "a_0.jpg");
    EXPECT_EQ(engine->TakeScreenshot(std::string("a")), "a_1.jpg");
    EXPECT_EQ(engine->TakeScreenshot(std::string("b")), "b_1.jpg");
    EXPECT_TRUE(FileExists("a_0.jpg"));
    EXPECT_TRUE(FileExists("a_1.jpg"));
    EXPECT_TRUE(FileExists("b_1.jpg"));
    EXPECT_FALSE(FileExists("b_0.jpg"));

    // Both calls share the index: the old one steps past the file the new one wrote.
    char base[] = "b";
    engine->TakeScreenshot(base);
    EXPECT_TRUE(FileExists("b_2.jpg"));
    EXPECT_EQ(engine->TakeScreenshot(std::string("b")), "b_3.jpg");

    // Nothing written, nothing named.
    EXPECT_EQ(engine->TakeScreenshot(std::string(300, 'k')), "");
}

TEST_F(Services, ALiteralNameTakesTheShotAsTheOtherCallsDo)
{
    ScratchDirectory scratch;
    ASSERT_TRUE(scratch.ok());
    BeginFrame();
    ASSERT_EQ(engine->Present(), S_OK);

    // The constant name numbers on the same index and says what it wrote.
    EXPECT_EQ(engine->TakeScreenshot("lit"), "lit_0.jpg");
    char base[] = "lit";
    engine->TakeScreenshot(base);
    EXPECT_TRUE(FileExists("lit_1.jpg"));
    const char* constant = "lit";
    EXPECT_EQ(engine->TakeScreenshot(constant), "lit_2.jpg");
    // Both files hold the same picture size as the char* call's.
    int w0 = 0, h0 = 0, w1 = 0, h1 = 0, n = 0;
    ASSERT_EQ(stbi_info("lit_0.jpg", &w0, &h0, &n), 1);
    ASSERT_EQ(stbi_info("lit_1.jpg", &w1, &h1, &n), 1);
    EXPECT_EQ(w0, w1);
    EXPECT_EQ(h0, h1);

    // Null writes nothing and names nothing; a null constant still picks the char* call.
    EXPECT_EQ(engine->TakeScreenshot(static_cast<const char*>(nullptr)), "");
    engine->TakeScreenshot(nullptr);
    EXPECT_FALSE(FileExists("lit_3.jpg"));
    EXPECT_EQ(engine->TakeScreenshot(std::string(300, 'k').c_str()), "");
}

TEST_F(Services, PickingAndTheMouseInClientCoordinates)
{
    // Screen centre through the identity view: on the z axis, at the near
    // plane for depth 0 and at the far plane for depth 1.
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    D3DXVECTOR3 nearPoint = GetMouse3D(kClientWidth / 2.0f, kClientHeight / 2.0f, &view, 0.0f);
    EXPECT_NEAR(nearPoint.x, 0.0f, 1e-3f);
    EXPECT_NEAR(nearPoint.y, 0.0f, 1e-3f);
    EXPECT_NEAR(nearPoint.z, 1.0f, 1e-3f);
    D3DXVECTOR3 farPoint = GetMouse3D(kClientWidth / 2.0f, kClientHeight / 2.0f, &view, 1.0f);
    EXPECT_NEAR(farPoint.z, 9999.0f, 5.0f);
    // The left edge of the screen lies on the left frustum edge.
    D3DXVECTOR3 left = GetMouse3D(0.0f, kClientHeight / 2.0f, &view, 0.0f);
    EXPECT_NEAR(left.x, -1.0f / ev_matrix3DProj._11, 1e-3f);

    win32test::MouseMove(hwnd, 50, 60);
    POINT p = GetLocalMousePos(hwnd, false);
    EXPECT_EQ(p.x, 50);
    EXPECT_EQ(p.y, 60);

    // With the flag, each query inside the window hides the cursor once more.
    int counter = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    p = GetLocalMousePos(hwnd, true);  // inside: counter - 1
    EXPECT_EQ(p.x, 50);
    EXPECT_EQ(ShowCursor(TRUE), counter);  // back where it was
}
