#include "vEngine.h"

#include <cstring>

// ---------------------------------------------------------------------------
// Engine globals
// ---------------------------------------------------------------------------
IDirect3D9* objD3D = nullptr;
IDirect3DDevice9* objDevice = nullptr;
vEngineVaribles m_engineVars;
D3DXMATRIX ev_matrixIdentity;
D3DXMATRIX ev_matrix3DProj;
D3DXMATRIX ev_matrix3DProj2;
D3DXMATRIX ev_matrix2DProj;
D3DXVECTOR3 ev_vectorZero;
D3DXVECTOR3 ev_vectorOne(1.0f, 1.0f, 1.0f);

#include "core/detail/ComRef.h"

namespace {

void ShowInitFailure()
{
    MessageBoxA(NULL, "Failed to initialize Direct3D", "Error!", MB_OK);
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and set-up
// ---------------------------------------------------------------------------
vEngine::vEngine()
    : m_backColor(0.0f, 0.0f, 0.0f, 0.0f), m_debugFont(nullptr), m_deviceReady(false), m_fpsNextTick(0),
      m_frameCount(0), m_fps(0), m_backBuffer(nullptr), m_swapChains{nullptr, nullptr}, m_activeSwapChain(0),
      m_hWnd(NULL), m_hWndSecondary(NULL), m_screenshotIndex(0), m_showFps(false), m_showWindowSize(false)
{
    std::memset(&m_presentParams, 0, sizeof(m_presentParams));
    std::memset(m_keyStates, 0, sizeof(m_keyStates));
    m_framerate.m_speedFactor = 0.01f;
}

vEngine::~vEngine()
{
    Kill();
}

long vEngine::InitWindowed(HWND hWnd)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(hWnd, &client);
    if (!PrepareInit(hWnd, client.right - client.left, client.bottom - client.top, TRUE)) return E_FAIL;
    m_engineVars.presentParams = m_presentParams;

    long result = SetupDevice(&m_presentParams);
    if (FAILED(result)) return result;

    PostInit();
    return S_OK;
}

long vEngine::InitFullscreen(HWND hWnd, int width, int height)
{
    if (!PrepareInit(hWnd, width, height, FALSE)) return E_FAIL;

    // The engine's copy is taken before the full-screen size is filled in.
    m_engineVars.presentParams = m_presentParams;
    m_presentParams.BackBufferWidth = (UINT)width;
    m_presentParams.BackBufferHeight = (UINT)height;
    m_presentParams.FullScreen_RefreshRateInHz = 75;

    long result = SetupDevice(&m_presentParams);
    if (FAILED(result)) return result;

    PostInit();
    return S_OK;
}

bool vEngine::PrepareInit(HWND hWnd, int width, int height, BOOL windowed)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(hWnd, &client);
    m_engineVars.clientRect = client;
    m_engineVars.width = width;
    m_engineVars.height = height;
    m_engineVars.hWnd = hWnd;
    m_hWnd = hWnd;
    m_hWndSecondary = hWnd;

    objD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!objD3D) {
        m_deviceReady = false;
        return false;
    }

    D3DDISPLAYMODE mode;
    std::memset(&mode, 0, sizeof(mode));
    if (FAILED(objD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) {
        m_deviceReady = false;
        ShowInitFailure();
        mode.Format = D3DFMT_UNKNOWN;
    }

    std::memset(&m_presentParams, 0, sizeof(m_presentParams));
    m_presentParams.BackBufferCount = 1;
    m_presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    m_presentParams.Windowed = windowed;
    m_presentParams.EnableAutoDepthStencil = TRUE;
    m_presentParams.PresentationInterval = D3DPRESENT_INTERVAL_ONE;

    D3DFORMAT format = mode.Format;
    if (IsDepthFormatOk(D3DFMT_D24S8, format, format)) {
        m_presentParams.BackBufferFormat = format;
        m_presentParams.AutoDepthStencilFormat = D3DFMT_D24S8;
    } else if (IsDepthFormatOk(D3DFMT_D16, format, format)) {
        m_presentParams.BackBufferFormat = format;
        m_presentParams.AutoDepthStencilFormat = D3DFMT_D16;
    }
    return true;
}

bool vEngine::IsDepthFormatOk(D3DFORMAT depthFormat, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat)
{
    if (!objD3D) return false;
    if (FAILED(objD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, adapterFormat, D3DUSAGE_DEPTHSTENCIL,
                                         D3DRTYPE_SURFACE, depthFormat)))
        return false;
    return objD3D->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, adapterFormat, backBufferFormat,
                                          depthFormat) == S_OK;
}

long vEngine::SetupDevice(D3DPRESENT_PARAMETERS* params)
{
    D3DCAPS9 caps;
    std::memset(&caps, 0, sizeof(caps));
    if (FAILED(objD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) {
        m_deviceReady = false;
        return E_FAIL;
    }

    DWORD flags =
        caps.VertexProcessingCaps != 0 ? D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING;

    if (FAILED(
            objD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_engineVars.hWnd, flags, params, &objDevice))) {
        objDevice = nullptr;
        ShowInitFailure();
        m_deviceReady = false;
        return E_FAIL;
    }
    m_deviceReady = true;
    return S_OK;
}

void vEngine::PostInit()
{
    D3DXMatrixIdentity(&ev_matrixIdentity);

    float aspect = (float)m_engineVars.width / (float)m_engineVars.height;
    // kept: the field of view 45.0 is handed on as radians (not 45 degrees), as the engine always has.
    D3DXMatrixPerspectiveFovLH(&ev_matrix3DProj, 45.0f, aspect, 1.0f, 9999.0f);
    D3DXMatrixPerspectiveFovLH(&ev_matrix3DProj2, 45.0f, aspect, 0.001f, 100.0f);
    D3DXMatrixOrthoLH(&ev_matrix2DProj, (float)m_engineVars.width, (float)m_engineVars.height, 1.0f, 10.0f);

    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);
    objDevice->SetTransform(D3DTS_VIEW, &ev_matrixIdentity);

    m_backColor = D3DXCOLOR(0.7f, 0.7f, 1.0f, 1.0f);
    m_showFps = true;
    m_showWindowSize = true;

    if (FAILED(D3DXCreateFontA(objDevice, 18, 0, 400, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               ANTIALIASED_QUALITY, DEFAULT_PITCH, "Courier New", &m_debugFont)))
        m_debugFont = nullptr;

    objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    objDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_AMBIENT, (D3DCOLOR)D3DXCOLOR(0.2f, 0.2f, 0.2f, 1.0f));
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    objDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    objDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

    objDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    objDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    objDevice->SetSamplerState(1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    objDevice->SetSamplerState(1, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);

    vcore::ReleaseRef(m_backBuffer);
    objDevice->GetRenderTarget(0, &m_backBuffer);
    vcore::ReleaseRef(m_swapChains[0]);
    vcore::ReleaseRef(m_swapChains[1]);
    if (FAILED(objDevice->GetSwapChain(0, &m_swapChains[0]))) m_swapChains[0] = nullptr;
    if (FAILED(objDevice->CreateAdditionalSwapChain(&m_presentParams, &m_swapChains[1]))) m_swapChains[1] = nullptr;

    SetActiveSwapChain(0);
}

// ---------------------------------------------------------------------------
// Swap chains
// ---------------------------------------------------------------------------
void vEngine::SetBackColor(D3DXCOLOR color)
{
    m_backColor = color;
}

void vEngine::SetActiveSwapChain(int index)
{
    m_activeSwapChain = index;
}

void vEngine::SetSecondaryHWND(HWND hWnd)
{
    m_hWndSecondary = hWnd;
}

void vEngine::SetupSwapChains()
{
    if (!objDevice || m_activeSwapChain < 0 || m_activeSwapChain > 1) return;
    IDirect3DSwapChain9* chain = m_swapChains[m_activeSwapChain];
    if (!chain) return;
    IDirect3DSurface9* backBuffer = nullptr;
    if (FAILED(chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) || !backBuffer) return;
    // One reference is held; the previous back buffer's is dropped when replaced.
    vcore::ReleaseRef(m_backBuffer);
    m_backBuffer = backBuffer;
    objDevice->SetRenderTarget(0, m_backBuffer);
}

void vEngine::Kill()
{
    vcore::ReleaseRef(m_backBuffer);
    vcore::ReleaseRef(m_swapChains[0]);
    vcore::ReleaseRef(m_swapChains[1]);
    vcore::ReleaseRef(objDevice);
    vcore::ReleaseRef(objD3D);
    vcore::ReleaseRef(m_debugFont);
    m_deviceReady = false;
}

// ---------------------------------------------------------------------------
// Timing and keys
// ---------------------------------------------------------------------------
float vEngine::GetSpeedfactor()
{
    return m_framerate.m_speedFactor;
}

void vEngine::SetTimingMode(e_vTimeMode mode)
{
    m_framerate.SetTimingMode(mode);
}

bool vEngine::GetKeyPressed(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

bool vEngine::GetKeyPressedOnce(int virtualKey)
{
    unsigned char& latch = m_keyStates[virtualKey & 0xFF];
    if (GetKeyState(virtualKey) < 0) {
        if (latch == 0) {
            latch = 1;
            return true;
        }
        return false;
    }
    latch = 0;
    return false;
}
