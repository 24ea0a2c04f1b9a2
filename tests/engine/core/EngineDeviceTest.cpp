// The engine on a real headless device: set-up defaults, the swap chains,
// failure reporting and Kill.
#include "CoreEngineFixture.h"

#include <cmath>

using namespace rendertest;

namespace {

DWORD RenderState(D3DRENDERSTATETYPE state)
{
    DWORD value = 0xDEADBEEF;
    objDevice->GetRenderState(state, &value);
    return value;
}

DWORD SamplerState(DWORD sampler, D3DSAMPLERSTATETYPE state)
{
    DWORD value = 0xDEADBEEF;
    objDevice->GetSamplerState(sampler, state, &value);
    return value;
}

void ExpectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tolerance)
{
    const float* pa = &a._11;
    const float* pb = &b._11;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(pa[i], pb[i], tolerance) << "element " << i;
}

class EngineSetUp : public EngineTest {};

}  // namespace

TEST_F(EngineSetUp, WindowMetricsAndPresentation)
{
    EXPECT_TRUE(engine->m_deviceReady);
    EXPECT_NE(objD3D, nullptr);
    EXPECT_NE(objDevice, nullptr);
    EXPECT_EQ(m_engineVars.width, kClientWidth);
    EXPECT_EQ(m_engineVars.height, kClientHeight);
    EXPECT_EQ(m_engineVars.clientRect.right, kClientWidth);
    EXPECT_EQ(m_engineVars.clientRect.bottom, kClientHeight);
    EXPECT_EQ(m_engineVars.hWnd, hwnd);
    EXPECT_EQ(engine->m_hWnd, hwnd);
    EXPECT_EQ(engine->m_hWndSecondary, hwnd);

    const D3DPRESENT_PARAMETERS& pp = engine->m_presentParams;
    EXPECT_EQ(pp.BackBufferCount, 1u);
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_TRUE(pp.Windowed);
    EXPECT_TRUE(pp.EnableAutoDepthStencil);
    EXPECT_EQ(pp.PresentationInterval, (UINT)D3DPRESENT_INTERVAL_ONE);
    // The engine's copy is taken before device creation, which fills in the
    // size of the windowed back buffer.
    EXPECT_EQ(m_engineVars.presentParams.BackBufferWidth, 0u);
    EXPECT_EQ(m_engineVars.presentParams.BackBufferHeight, 0u);
    D3DDISPLAYMODE mode;
    ASSERT_EQ(objD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), S_OK);
    EXPECT_EQ(pp.BackBufferFormat, mode.Format);
    EXPECT_TRUE(pp.AutoDepthStencilFormat == D3DFMT_D24S8 || pp.AutoDepthStencilFormat == D3DFMT_D16);
    EXPECT_EQ(m_engineVars.presentParams.AutoDepthStencilFormat, pp.AutoDepthStencilFormat);
    EXPECT_EQ(m_engineVars.presentParams.BackBufferFormat, pp.BackBufferFormat);

    // Taken once: resizing the window later changes neither.
    EXPECT_TRUE(engine->m_swapChains[0] != nullptr);
    EXPECT_TRUE(engine->m_swapChains[1] != nullptr);
    EXPECT_EQ(engine->m_activeSwapChain, 0);
    EXPECT_NE(engine->m_debugFont, nullptr);
}

TEST_F(EngineSetUp, MatricesAndDefaultStates)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ExpectMatrixNear(ev_matrixIdentity, identity, 0.0f);

    // The field of view 45.0 is radians: cot(22.5), not cot(pi/8).
    const float aspect = (float)kClientWidth / kClientHeight;
    const float yScale = 1.0f / std::tan(22.5f);
    EXPECT_NEAR(ev_matrix3DProj._22, yScale, 1e-4f);
    EXPECT_NEAR(ev_matrix3DProj._11, yScale / aspect, 1e-4f);
    EXPECT_NEAR(ev_matrix3DProj._33, 9999.0f / 9998.0f, 1e-6f);
    EXPECT_NEAR(ev_matrix3DProj._43, -9999.0f / 9998.0f, 1e-5f);
    EXPECT_EQ(ev_matrix3DProj._34, 1.0f);
    EXPECT_NEAR(ev_matrix3DProj2._22, yScale, 1e-4f);
    EXPECT_NEAR(ev_matrix3DProj2._33, 100.0f / (100.0f - 0.001f), 1e-6f);
    EXPECT_NEAR(ev_matrix3DProj2._43, -0.001f * 100.0f / (100.0f - 0.001f), 1e-7f);
    EXPECT_NEAR(ev_matrix2DProj._11, 2.0f / kClientWidth, 1e-7f);
    EXPECT_NEAR(ev_matrix2DProj._22, 2.0f / kClientHeight, 1e-7f);
    EXPECT_NEAR(ev_matrix2DProj._33, 1.0f / 9.0f, 1e-7f);
    EXPECT_NEAR(ev_matrix2DProj._43, -1.0f / 9.0f, 1e-7f);
    EXPECT_EQ(ev_vectorOne.x, 1.0f);
    EXPECT_EQ(ev_vectorOne.z, 1.0f);
    EXPECT_EQ(ev_vectorZero.y, 0.0f);

    D3DXMATRIX m;
    objDevice->GetTransform(D3DTS_PROJECTION, &m);
    ExpectMatrixNear(m, ev_matrix3DProj, 0.0f);
    objDevice->GetTransform(D3DTS_VIEW, &m);
    ExpectMatrixNear(m, identity, 0.0f);
    objDevice->GetTransform(D3DTS_WORLD, &m);
    ExpectMatrixNear(m, identity, 0.0f);

    EXPECT_EQ(RenderState(D3DRS_LIGHTING), (DWORD)FALSE);
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), (DWORD)TRUE);
    EXPECT_EQ(RenderState(D3DRS_AMBIENT), 0xFF333333u);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), (DWORD)D3DCULL_NONE);
    EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), (DWORD)TRUE);
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), (DWORD)D3DBLEND_SRCALPHA);
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), (DWORD)D3DBLEND_INVSRCALPHA);
    for (DWORD s = 0; s < 2; ++s) {
        EXPECT_EQ(SamplerState(s, D3DSAMP_MINFILTER), (DWORD)D3DTEXF_LINEAR);
        EXPECT_EQ(SamplerState(s, D3DSAMP_MAGFILTER), (DWORD)D3DTEXF_LINEAR);
    }

    EXPECT_FLOAT_EQ(engine->m_backColor.r, 0.7f);
    EXPECT_FLOAT_EQ(engine->m_backColor.g, 0.7f);
    EXPECT_FLOAT_EQ(engine->m_backColor.b, 1.0f);
    EXPECT_FLOAT_EQ(engine->m_backColor.a, 1.0f);
    EXPECT_TRUE(engine->m_showFps);
    EXPECT_TRUE(engine->m_showWindowSize);
}

TEST_F(EngineSetUp, DebugFontIsAMonospacedCourier)
{
    ASSERT_NE(engine->m_debugFont, nullptr);
    D3DXFONT_DESCA desc;
    ASSERT_EQ(engine->m_debugFont->GetDescA(&desc), S_OK);
    EXPECT_STREQ(desc.FaceName, "Courier New");
    EXPECT_EQ(desc.Height, 18);
    EXPECT_EQ(desc.Weight, 400u);
    EXPECT_FALSE(desc.Italic);
    // Its stand-in is monospaced: 'i' is as wide as 'W'.
    INT narrow = 0, wide = 0;
    HDC dc = engine->m_debugFont->GetDC();
    ASSERT_TRUE(GetCharWidth32A(dc, 'i', 'i', &narrow));
    ASSERT_TRUE(GetCharWidth32A(dc, 'W', 'W', &wide));
    EXPECT_GT(narrow, 0);
    EXPECT_EQ(narrow, wide);
}

TEST_F(EngineSetUp, FrameShowsTheClearColour)
{
    engine->m_showFps = false;
    engine->m_showWindowSize = false;
    ASSERT_EQ(engine->Clear(), S_OK);
    ASSERT_EQ(engine->Present(), S_OK);
    Image image = ReadPresentedClient(hwnd);
    ASSERT_EQ(image.width, kClientWidth);
    // (0.7, 0.7, 1.0) -> 179, 179, 255
    EXPECT_EQ(image.Argb(10, 10), 0xFFB3B3FFu);
    EXPECT_EQ(image.Argb(kClientWidth - 1, kClientHeight - 1), 0xFFB3B3FFu);

    engine->SetBackColor(D3DXCOLOR(0.7265625f, 0.59375f, 0.4765625f, 1.0f));
    ASSERT_EQ(engine->Clear(), S_OK);
    ASSERT_EQ(engine->Present(), S_OK);
    image = ReadPresentedClient(hwnd);
    EXPECT_EQ(image.Argb(kClientWidth / 2, kClientHeight / 2), 0xFFB9977Au);
}

TEST_F(EngineSetUp, SecondSwapChainPresentsToTheSecondWindow)
{
    HWND second = CreateTestWindow(kClientWidth, kClientHeight);
    ASSERT_NE(second, (HWND)NULL);
    engine->m_showFps = false;
    engine->m_showWindowSize = false;

    engine->SetBackColor(D3DXCOLOR(0, 0, 1, 1));
    ASSERT_EQ(engine->Clear(), S_OK);
    ASSERT_EQ(engine->Present(), S_OK);

    engine->SetSecondaryHWND(second);
    engine->SetActiveSwapChain(1);
    engine->SetBackColor(D3DXCOLOR(1, 0, 0, 1));
    ASSERT_EQ(engine->Clear(), S_OK);
    ASSERT_EQ(engine->Present(), S_OK);

    // Chain 1's last image is red in the second window.
    D3DDISPLAYMODE mode;
    ASSERT_EQ(objDevice->GetDisplayMode(0, &mode), S_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(objDevice->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                     &surface, NULL),
              S_OK);
    ASSERT_EQ(engine->m_swapChains[1]->GetFrontBufferData(surface), S_OK);
    POINT origin = {0, 0};
    ClientToScreen(second, &origin);
    Image image = ReadSurface(surface, origin.x, origin.y, 16, 16, true);
    surface->Release();
    EXPECT_EQ(image.Argb(8, 8), 0xFFFF0000u);

    // Chain 0 still shows the blue frame.
    image = ReadPresentedClient(hwnd);
    EXPECT_EQ(image.Argb(20, 20), 0xFF0000FFu);

    engine->SetActiveSwapChain(0);
    DestroyWindow(second);
}

TEST_F(EngineSetUp, KillReleasesEverythingOnce)
{
    IDirect3DDevice9* device = objDevice;
    device->AddRef();

    engine->Kill();
    EXPECT_EQ(objDevice, nullptr);
    EXPECT_EQ(objD3D, nullptr);
    EXPECT_EQ(engine->m_debugFont, nullptr);
    EXPECT_EQ(engine->m_swapChains[0], nullptr);
    EXPECT_EQ(engine->m_swapChains[1], nullptr);
    EXPECT_FALSE(engine->m_deviceReady);
    EXPECT_EQ(engine->Clear(), E_FAIL);
    EXPECT_EQ(engine->Present(), E_FAIL);
    engine->DebugText("nothing", 0, 0);
    engine->TakeScreenshot((char*)"never");
    EXPECT_EQ(engine->TakeScreenshot(std::string("never")), "");

    engine->Kill();  // releases nothing more
    // Our reference is the last one: nothing the engine made still holds the device.
    EXPECT_EQ(device->Release(), 0u);
}

TEST(EngineFailure, DeviceCreationFailureShowsTheBox)
{
    win32test::ClearMessageBoxLog();
    vEngine engine;
    // No window: there is nothing to open a device on.
    long result = engine.InitWindowed(NULL);
    EXPECT_EQ(result, E_FAIL);
    EXPECT_FALSE(engine.m_deviceReady);
    EXPECT_EQ(objDevice, nullptr);
    const auto& log = win32test::MessageBoxLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Error!: Failed to initialize Direct3D");
    EXPECT_EQ(engine.Clear(), E_FAIL);
    engine.Kill();
    EXPECT_EQ(objD3D, nullptr);
}

TEST(EngineFullscreen, RequestedSizeAndPresentation)
{
    HWND hwnd = CreateTestWindow(kClientWidth, kClientHeight);
    if (!hwnd) RENDERTEST_NO_DEVICE("no window could be created");
    {
        vEngine engine;
        long result = engine.InitFullscreen(hwnd, 200, 150);
        if (FAILED(result)) DestroyWindow(hwnd);
        ASSERT_EQ(result, S_OK) << "no full-screen device";
        EXPECT_EQ(m_engineVars.width, 200);
        EXPECT_EQ(m_engineVars.height, 150);
        EXPECT_EQ(m_engineVars.clientRect.right, kClientWidth);  // still recorded
        EXPECT_FALSE(engine.m_presentParams.Windowed);
        EXPECT_EQ(engine.m_presentParams.BackBufferWidth, 200u);
        EXPECT_EQ(engine.m_presentParams.BackBufferHeight, 150u);
        EXPECT_EQ(engine.m_presentParams.FullScreen_RefreshRateInHz, 75u);
        // The engine's copy was taken before the size was filled in.
        EXPECT_EQ(m_engineVars.presentParams.BackBufferWidth, 0u);
        EXPECT_FALSE(m_engineVars.presentParams.Windowed);
        // The projections use the requested aspect.
        EXPECT_NEAR(ev_matrix3DProj._22 / ev_matrix3DProj._11, 200.0f / 150.0f, 1e-4f);
        EXPECT_NEAR(ev_matrix2DProj._11, 2.0f / 200.0f, 1e-7f);
    }
    EXPECT_EQ(objDevice, nullptr);  // the destructor killed it
    DestroyWindow(hwnd);
}
